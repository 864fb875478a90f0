#include "recoverymanager.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLockFile>
#include <QMessageBox>
#include <QPushButton>
#include <QSaveFile>
#include <QStandardPaths>
#include <QUuid>

#include <algorithm>

#include "io/documentfile.h"
#include "model/document.h"
#include "undo/undostack.h"

namespace {

const QString lockName = QStringLiteral("instance.lock");

QString newId()
{
    return QUuid::createUuid().toString(QUuid::WithoutBraces);
}

// Locks are judged by their owner only: a running instance may hold its
// lock for days, so the age of the lock file says nothing.
std::unique_ptr<QLockFile> lockFor(const QString &folder)
{
    auto lock = std::make_unique<QLockFile>(QDir(folder).filePath(lockName));
    lock->setStaleLockTime(0);
    return lock;
}

bool writeAtomically(const QString &path, const std::function<bool(QIODevice *)> &write)
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || !write(&file)) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

} // namespace

RecoveryManager::RecoveryManager(const QString &folder, QObject *parent)
    : QObject(parent)
    , m_folder(folder)
    , m_instanceFolder(QDir(folder).filePath(newId()))
{
    QDir().mkpath(m_instanceFolder);
    m_lock = lockFor(m_instanceFolder);
    m_lock->tryLock(0);
    m_timer.setInterval(defaultInterval);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        writeCopies();
        const bool pending = std::any_of(m_watched.cbegin(), m_watched.cend(),
            [](const Watched &watched) { return watched.changed; });
        if (!pending)
            m_timer.stop();
    });
}

RecoveryManager::~RecoveryManager()
{
    m_timer.stop();
    for (Document *document : m_watched.keys())
        unwatch(document);
    // Claimed copies nobody answered for stay for the next start.
    for (const std::shared_ptr<QLockFile> &claim : std::as_const(m_claims))
        claim->unlock();
    m_lock->unlock();
    QDir(m_instanceFolder).removeRecursively();
}

QString RecoveryManager::defaultFolder()
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::AppDataLocation))
        .filePath(QStringLiteral("recovery"));
}

QString RecoveryManager::copyFile(const QString &id, const QString &suffix) const
{
    return QDir(m_instanceFolder).filePath(id + QLatin1Char('.') + suffix);
}

void RecoveryManager::watch(Document *document, const QString &originalPath)
{
    UndoStack *stack = document ? document->undoStack() : nullptr;
    if (!stack || m_watched.contains(document))
        return;
    m_watched.insert(document, { originalPath, newId(), false });
    connect(
        stack, &QUndoStack::indexChanged, this, [this, document] { documentChanged(document); });
    connect(stack, &QUndoStack::cleanChanged, this, [this, document](bool clean) {
        auto it = m_watched.find(document);
        if (clean && it != m_watched.end()) {
            removeCopy(it->id);
            it->changed = false;
        }
    });
    // A document deleted without unwatch() is gone all the same.
    connect(document, &QObject::destroyed, this, [this, document] {
        const auto it = m_watched.find(document);
        if (it != m_watched.end()) {
            removeCopy(it->id);
            m_watched.erase(it);
        }
    });
    if (!stack->isClean())
        documentChanged(document);
}

void RecoveryManager::setOriginalPath(Document *document, const QString &originalPath)
{
    const auto it = m_watched.find(document);
    if (it != m_watched.end())
        it->originalPath = originalPath;
}

void RecoveryManager::unwatch(Document *document)
{
    const auto it = m_watched.find(document);
    if (it == m_watched.end())
        return;
    removeCopy(it->id);
    m_watched.erase(it);
    disconnect(document, nullptr, this, nullptr);
    if (UndoStack *stack = document->undoStack())
        disconnect(stack, nullptr, this, nullptr);
}

QString RecoveryManager::copyPath(Document *document) const
{
    const auto it = m_watched.constFind(document);
    if (it == m_watched.cend())
        return QString();
    const QString path = copyFile(it->id, QStringLiteral("tsq"));
    return QFileInfo::exists(path) ? path : QString();
}

void RecoveryManager::setInterval(int milliseconds)
{
    m_timer.setInterval(milliseconds);
}

void RecoveryManager::documentChanged(Document *document)
{
    const auto it = m_watched.find(document);
    if (it == m_watched.end())
        return;
    it->changed = true;
    if (!m_timer.isActive())
        m_timer.start();
}

bool RecoveryManager::writeCopies()
{
    bool allWritten = true;
    for (auto it = m_watched.begin(); it != m_watched.end(); ++it) {
        if (!it->changed)
            continue;
        if (it.key()->undoStack()->isClean()) {
            it->changed = false;
            continue;
        }
        allWritten = writeCopy(it.key(), it.value()) && allWritten;
    }
    return allWritten;
}

bool RecoveryManager::writeCopy(Document *document, Watched &watched)
{
    QDir().mkpath(m_instanceFolder);
    const bool copied = writeAtomically(copyFile(watched.id, QStringLiteral("tsq")),
        [document](QIODevice *device) { return DocumentFile::write(*document, device); });
    if (!copied)
        return false;
    const QJsonObject about { { QStringLiteral("originalPath"), watched.originalPath },
        { QStringLiteral("savedAt"),
            QDateTime::currentDateTimeUtc().toString(Qt::ISODateWithMs) } };
    const bool described = writeAtomically(copyFile(watched.id, QStringLiteral("json")),
        [&about](QIODevice *device) { return device->write(QJsonDocument(about).toJson()) >= 0; });
    watched.changed = !described;
    return described;
}

void RecoveryManager::removeCopy(const QString &id)
{
    QFile::remove(copyFile(id, QStringLiteral("tsq")));
    QFile::remove(copyFile(id, QStringLiteral("json")));
}

QList<RecoveryManager::Recovered> RecoveryManager::orphans()
{
    QList<Recovered> found;
    const QDir root(m_folder);
    const QString own = QFileInfo(m_instanceFolder).fileName();
    for (const QString &name : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString folder = root.filePath(name);
        if (name == own)
            continue;
        if (!m_claims.contains(folder)) {
            std::unique_ptr<QLockFile> lock = lockFor(folder);
            if (!lock->tryLock(0))
                continue; // its instance still runs
            m_claims.insert(folder, std::move(lock));
        }
        const QDir dir(folder);
        for (const QString &copy :
            dir.entryList({ QStringLiteral("*.tsq") }, QDir::Files, QDir::Name)) {
            Recovered recovered;
            recovered.copyPath = dir.filePath(copy);
            recovered.savedAt = QFileInfo(recovered.copyPath).lastModified();
            QFile about(dir.filePath(QFileInfo(copy).completeBaseName() + QStringLiteral(".json")));
            if (about.open(QIODevice::ReadOnly)) {
                const QJsonObject object = QJsonDocument::fromJson(about.readAll()).object();
                recovered.originalPath = object.value(QStringLiteral("originalPath")).toString();
                const QDateTime savedAt = QDateTime::fromString(
                    object.value(QStringLiteral("savedAt")).toString(), Qt::ISODateWithMs);
                if (savedAt.isValid())
                    recovered.savedAt = savedAt.toLocalTime();
            }
            found.append(recovered);
        }
    }
    releaseEmptyClaims();
    std::sort(found.begin(), found.end(),
        [](const Recovered &a, const Recovered &b) { return a.savedAt > b.savedAt; });
    return found;
}

std::unique_ptr<Document> RecoveryManager::recover(const Recovered &recovered, QString *errorText)
{
    std::unique_ptr<Document> document = DocumentFile::open(recovered.copyPath, errorText, true);
    if (!document)
        return nullptr;
    // Unsaved, so that closing asks and saving writes the original file.
    document->undoStack()->resetClean();
    watch(document.get(), recovered.originalPath);
    Watched &watched = m_watched[document.get()];
    // The copy moves into this instance's folder: it stays the document's
    // copy until the next one is written, so a second crash loses nothing.
    QDir().mkpath(m_instanceFolder);
    const QString aboutPath = QFileInfo(recovered.copyPath).path() + QLatin1Char('/')
        + QFileInfo(recovered.copyPath).completeBaseName() + QStringLiteral(".json");
    if (QFile::rename(recovered.copyPath, copyFile(watched.id, QStringLiteral("tsq")))) {
        QFile::rename(aboutPath, copyFile(watched.id, QStringLiteral("json")));
        watched.changed = false;
    } // else our own copy is written at the next round
    releaseEmptyClaims();
    return document;
}

void RecoveryManager::discard(const Recovered &recovered)
{
    QFile::remove(recovered.copyPath);
    QFile::remove(QFileInfo(recovered.copyPath).path() + QLatin1Char('/')
        + QFileInfo(recovered.copyPath).completeBaseName() + QStringLiteral(".json"));
    releaseEmptyClaims();
}

void RecoveryManager::releaseEmptyClaims()
{
    for (auto it = m_claims.begin(); it != m_claims.end();) {
        QDir dir(it.key());
        if (!dir.entryList({ QStringLiteral("*.tsq") }, QDir::Files).isEmpty()) {
            ++it;
            continue;
        }
        it.value()->unlock();
        dir.removeRecursively();
        it = m_claims.erase(it);
    }
}

int RecoveryManager::offerRecoveries(QWidget *parent, const OpenFunction &open)
{
    int count = 0;
    for (const Recovered &recovered : orphans()) {
        const QString name = recovered.originalPath.isEmpty()
            ? tr("a new collage")
            : QStringLiteral("\u201C%1\u201D").arg(QFileInfo(recovered.originalPath).fileName());
        QMessageBox box(QMessageBox::Question, tr("Recover collage", "message box title"),
            tr("Tesselo did not close properly. Unsaved changes to %1 were kept on %2.",
                "message box content")
                .arg(name, QLocale().toString(recovered.savedAt, QLocale::ShortFormat)),
            QMessageBox::NoButton, parent);
        box.setInformativeText(tr("Recover opens them as unsaved changes; Discard deletes them."));
        QPushButton *recoverButton = box.addButton(tr("Recover"), QMessageBox::AcceptRole);
        QPushButton *discardButton = box.addButton(tr("Discard"), QMessageBox::DestructiveRole);
        box.setDefaultButton(recoverButton);
        box.exec();
        if (box.clickedButton() == discardButton) {
            discard(recovered);
        } else if (box.clickedButton() == recoverButton) {
            QString error;
            std::unique_ptr<Document> document = recover(recovered, &error);
            if (!document) {
                QMessageBox::critical(parent, DocumentFile::openErrorTitle(), error);
                continue;
            }
            open(std::move(document), recovered.originalPath);
            ++count;
        }
    }
    return count;
}
