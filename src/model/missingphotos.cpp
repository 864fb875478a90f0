#include "missingphotos.h"

#include <QDirIterator>
#include <QFileInfo>
#include <QHash>
#include <QSet>
#include <QUrl>

#include <algorithm>

#include "model/imagelist.h"
#include "model/imagesource.h"
#include "undo/undostack.h"

namespace {

QString localPath(const ImageSource &source)
{
    return source.source().toLocalFile();
}

// How many folder names, counted from the file upwards, two paths share.
int sharedTrailingFolders(const QString &a, const QString &b)
{
    const QStringList left = QFileInfo(a).path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    const QStringList right = QFileInfo(b).path().split(QLatin1Char('/'), Qt::SkipEmptyParts);
    int shared = 0;
    while (shared < left.size() && shared < right.size()
        && left[left.size() - 1 - shared] == right[right.size() - 1 - shared])
        ++shared;
    return shared;
}

// Every file under `folder` whose name is one of `names`, by name.
QHash<QString, QStringList> filesNamed(const QString &folder, const QSet<QString> &names)
{
    QHash<QString, QStringList> found;
    QDirIterator it(folder, QDir::Files | QDir::Readable, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QFileInfo info = it.nextFileInfo();
        if (names.contains(info.fileName()))
            found[info.fileName()].append(info.absoluteFilePath());
    }
    for (QStringList &paths : found)
        paths.sort();
    return found;
}

} // namespace

QList<QSharedPointer<ImageSource>> MissingPhotos::find(const ImageList *images)
{
    QList<QSharedPointer<ImageSource>> missing;
    for (const QSharedPointer<ImageSource> &image : images->items()) {
        const QString path = localPath(*image);
        if (!path.isEmpty() && !QFileInfo::exists(path))
            missing.append(image);
    }
    return missing;
}

QString MissingPhotos::bestCandidate(const QString &lastPath, const QStringList &candidates)
{
    if (candidates.size() <= 1)
        return candidates.value(0);
    int bestScore = -1;
    QStringList best;
    for (const QString &candidate : candidates) {
        const int score = sharedTrailingFolders(lastPath, candidate);
        if (score > bestScore) {
            bestScore = score;
            best = { candidate };
        } else if (score == bestScore) {
            best.append(candidate);
        }
    }
    if (best.size() == 1)
        return best.first();
    const qint64 size = QFileInfo(best.first()).size();
    const bool copies = std::all_of(best.cbegin(), best.cend(),
        [size](const QString &path) { return QFileInfo(path).size() == size; });
    return copies ? best.first() : QString();
}

int MissingPhotos::relink(ImageList *images, const QString &folder)
{
    const QList<QSharedPointer<ImageSource>> missing = find(images);
    if (missing.isEmpty() || folder.isEmpty() || !QFileInfo(folder).isDir())
        return 0;
    QSet<QString> names;
    for (const QSharedPointer<ImageSource> &image : missing)
        names.insert(QFileInfo(localPath(*image)).fileName());
    const QHash<QString, QStringList> found = filesNamed(folder, names);

    QList<std::pair<QSharedPointer<ImageSource>, QString>> moves;
    for (const QSharedPointer<ImageSource> &image : missing) {
        const QString path = localPath(*image);
        const QString target = bestCandidate(path, found.value(QFileInfo(path).fileName()));
        if (!target.isEmpty())
            moves.append({ image, target });
    }
    if (moves.isEmpty())
        return 0;
    UndoStack *stack = images->undoStack();
    if (stack)
        stack->beginMacro(tr("Locating %n photos", nullptr, int(moves.size())));
    for (const auto &[image, target] : std::as_const(moves))
        image->setSource(QUrl::fromLocalFile(target));
    if (stack)
        stack->endMacro();
    return int(moves.size());
}
