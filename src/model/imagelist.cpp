#include "imagelist.h"

#include <QDataStream>
#include <QIODevice>
#include <QIcon>
#include <QMimeData>
#include <QUndoCommand>
#include <QWidget>

#include <algorithm>

#include "imaging/imagecache.h"
#include "model/document.h"
#include "model/iconengine.h"
#include "model/modelinsertcommand.h"
#include "model/modelmovecommand.h"
#include "undo/undostack.h"

namespace {

const char mimeFormatPrefix[] = "application/image-source-list/";
const char uriListFormat[] = "text/uri-list";

ImageList::WaitHook &waitHook()
{
    static ImageList::WaitHook hook;
    return hook;
}

} // namespace

ImageList::ImageList(Document *document, QObject *parent)
    : ModelListBase(document, parent)
{
}

ImageList::~ImageList() = default;

void ImageList::setWaitHook(WaitHook hook)
{
    waitHook() = std::move(hook);
}

QWidget *ImageList::dialogParent() const
{
    return m_dialogParent.data();
}

void ImageList::setDialogParent(QWidget *parent)
{
    m_dialogParent = parent;
}

QVariant ImageList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count() || index.column() != 0)
        return QVariant();
    const Item &item = at(index.row());
    switch (role) {
    case Qt::DisplayRole:
        return item->objectName();
    case Qt::DecorationRole:
        return QIcon(new IconEngine(item));
    case Qt::UserRole:
        return item->source();
    default:
        return QVariant();
    }
}

Qt::ItemFlags ImageList::flags(const QModelIndex &index) const
{
    Qt::ItemFlags result = ModelListBase::flags(index);
    if (index.isValid())
        result |= Qt::ItemIsDragEnabled;
    else
        result |= Qt::ItemIsDropEnabled;
    return result;
}

Qt::DropActions ImageList::supportedDropActions() const
{
    return Qt::CopyAction | Qt::MoveAction;
}

QString ImageList::mimeFormat() const
{
    return QLatin1String(mimeFormatPrefix) + QString::number(quintptr(this));
}

QStringList ImageList::mimeTypes() const
{
    return { QLatin1String(uriListFormat), mimeFormat() };
}

QMimeData *ImageList::mimeData(const QModelIndexList &indexes) const
{
    QList<qint32> rows;
    for (const QModelIndex &index : indexes) {
        if (index.isValid())
            rows.append(index.row());
    }
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setByteOrder(QDataStream::BigEndian);
    stream << qint64(quintptr(this));
    stream << qint32(rows.size());
    for (qint32 row : std::as_const(rows))
        stream << row;
    auto *data = new QMimeData;
    data->setData(mimeFormat(), bytes);
    return data;
}

QList<int> ImageList::rowsFromMimeData(const QMimeData *data) const
{
    QList<int> rows;
    if (!data || !data->hasFormat(mimeFormat()))
        return rows;
    const QByteArray bytes = data->data(mimeFormat());
    QDataStream stream(bytes);
    stream.setByteOrder(QDataStream::BigEndian);
    qint64 identity = 0;
    qint32 size = 0;
    stream >> identity >> size;
    if (stream.status() != QDataStream::Ok || identity != qint64(quintptr(this)) || size < 0
        || size > bytes.size() / 4)
        return rows;
    for (qint32 i = 0; i < size; ++i) {
        qint32 row = -1;
        stream >> row;
        if (stream.status() != QDataStream::Ok)
            return {};
        if (row >= 0 && row < count() && !rows.contains(row))
            rows.append(row);
    }
    return rows;
}

QSharedPointer<ImageSource> ImageList::sourceFromMimeData(const QMimeData *data) const
{
    const QList<int> rows = rowsFromMimeData(data);
    return rows.size() == 1 ? at(rows.first()) : Item();
}

bool ImageList::dropMimeData(
    const QMimeData *data, Qt::DropAction action, int row, int, const QModelIndex &parent)
{
    if (action == Qt::IgnoreAction)
        return true;
    if (parent.isValid() || !data)
        return false;
    if (row < 0 || row > count())
        row = count();

    if (action == Qt::MoveAction) {
        QList<int> rows = rowsFromMimeData(data);
        // The view that started the drag will ask to remove these rows once
        // the drop returns; the reorder below has already done the move.
        m_pendingMoveRemovals += int(rows.size());
        if (!rows.isEmpty()) {
            std::sort(rows.begin(), rows.end());
            int upperStart = row;
            if (rows.removeAll(row) > 0)
                upperStart = row + 1;

            // Gather the rows into one block around the drop row:
            //
            //     rows  a . b . [row] . c . d     ->  . . . a b [row] c d . .
            //
            // rows above it slide down to just before it (nearest first),
            // rows below it slide up to just after it (nearest first). Each
            // move leaves the rows still to be handled where they were.
            QList<std::pair<int, int>> moves; // (row, target index)
            int target = row - 1;
            for (qsizetype i = rows.size() - 1; i >= 0; --i) {
                if (rows.at(i) >= row)
                    continue;
                if (rows.at(i) < target)
                    moves.append({ rows.at(i), target });
                --target;
            }
            target = upperStart;
            for (int source : std::as_const(rows)) {
                if (source < row)
                    continue;
                if (source > target)
                    moves.append({ source, target });
                ++target;
            }
            if (!moves.isEmpty()) {
                UndoStack *stack = undoStack();
                if (stack)
                    stack->beginMacro(tr("Reordering %n images", nullptr, int(rows.size())));
                for (const auto &[source, to] : std::as_const(moves))
                    moveItems(source, source, source < to ? to + 1 : to);
                if (stack)
                    stack->endMacro();
            }
            return true;
        }
    }

    if (data->hasUrls())
        return insertUrls(row, data->urls(), true);
    return false;
}

bool ImageList::removeRows(int row, int count, const QModelIndex &parent)
{
    if (m_pendingMoveRemovals > 0) {
        m_pendingMoveRemovals = qMax(0, m_pendingMoveRemovals - count);
        return true;
    }
    if (parent.isValid() || count <= 0 || row < 0 || row + count > this->count())
        return false;
    pushOrRun(new ModelInsertCommand<Item>(
        tr("Removing %n images", nullptr, count), this, items().mid(row, count), row, false));
    return true;
}

std::optional<QList<QUrl>> ImageList::readFiles(const QList<QUrl> &urls, bool interactive)
{
    QFuture<QUrl> future = ImageCache::cacheImages(urls);
    if (const WaitHook &hook = waitHook())
        hook(QFuture<void>(future), m_dialogParent.data(), interactive);
    else
        future.waitForFinished();
    // Files decoded before a cancel stay cached; they are simply not added.
    if (!future.isFinished() || future.isCanceled())
        return std::nullopt;
    return future.results();
}

bool ImageList::insertUrls(int row, const QList<QUrl> &urls, bool interactive)
{
    if (row < 0 || row > count())
        return false;
    const std::optional<QList<QUrl>> readable = readFiles(urls, interactive);
    if (!readable)
        return false;
    // Every file that passed was decodable. It is not checked against the
    // cache again: in a long batch over the memory budget the first files
    // may already have been evicted, and they are read again when drawn.
    QList<Item> newItems;
    for (const QUrl &url : *readable) {
        Item source(new ImageSource());
        source->setSource(url); // no document yet: assigned, not recorded
        source->setDocument(document());
        newItems.append(source);
    }
    if (newItems.isEmpty())
        return false;
    // The dialog ran the event loop; keep the row inside the list as it is now.
    row = qMin(row, count());
    pushOrRun(new ModelInsertCommand<Item>(
        tr("Inserting %n images", nullptr, int(newItems.size())), this, newItems, row, true));
    return true;
}

bool ImageList::readAllFiles(bool interactive)
{
    QList<QUrl> urls;
    urls.reserve(count());
    for (const Item &item : items())
        urls.append(item->source());
    return readFiles(urls, interactive).has_value();
}

bool ImageList::removeSelection(const QItemSelection &selection)
{
    if (selection.isEmpty())
        return true;
    const QModelIndexList indexes = selection.indexes();
    QList<int> rows;
    for (const QModelIndex &index : indexes) {
        if (index.isValid() && index.model() == this && !rows.contains(index.row()))
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    // Contiguous runs as (first row, length).
    QList<std::pair<int, int>> runs;
    for (int row : std::as_const(rows)) {
        if (!runs.isEmpty() && runs.last().first + runs.last().second == row)
            ++runs.last().second;
        else
            runs.append({ row, 1 });
    }

    UndoStack *stack = undoStack();
    if (stack)
        stack->beginMacro(tr("Removing %n images", nullptr, int(indexes.size())));
    bool removed = true;
    // From the last run to the first, so that earlier rows keep their index.
    for (qsizetype i = runs.size() - 1; i >= 0 && removed; --i)
        removed = removeRows(runs.at(i).first, runs.at(i).second);
    if (stack)
        stack->endMacro();
    return removed;
}

bool ImageList::moveItems(int first, int last, int destination)
{
    if (!isValidMove(first, last, destination))
        return false;
    pushOrRun(new ModelMoveCommand<Item>(QString(), this, first, last, destination));
    return true;
}

void ImageList::rotateSelected(const QItemSelection &selection, int turns)
{
    if (selection.isEmpty())
        return;
    const QModelIndexList indexes = selection.indexes();
    UndoStack *stack = undoStack();
    const bool macro = stack && indexes.size() > 1;
    if (macro)
        stack->beginMacro(tr("Rotating %n images", nullptr, int(indexes.size())));
    for (const QModelIndex &index : indexes) {
        if (!index.isValid() || index.model() != this || index.row() >= count())
            continue;
        at(index.row())->rotate90(turns);
        Q_EMIT dataChanged(index, index);
    }
    if (macro)
        stack->endMacro();
}

QModelIndex ImageList::indexOf(const QSharedPointer<ImageSource> &source) const
{
    for (int row = 0; row < count(); ++row) {
        if (at(row) == source)
            return index(row);
    }
    return QModelIndex();
}

void ImageList::itemAdded(const Item &item)
{
    connect(item.data(), &ImageSource::sizeChanged, this, &ImageList::_sourceSizeChanged,
        Qt::UniqueConnection);
    connect(item.data(), &ImageSource::drawQualityIncrized, this, &ImageList::_drawQualityIncrized,
        Qt::UniqueConnection);
}

void ImageList::itemRemoved(const Item &item)
{
    if (items().contains(item))
        return; // still in the list at another row
    disconnect(item.data(), nullptr, this, nullptr);
}

void ImageList::_sourceSizeChanged()
{
    emitRowChanged(sender());
}

void ImageList::_drawQualityIncrized()
{
    emitRowChanged(sender());
}

void ImageList::emitRowChanged(QObject *source)
{
    for (int row = count() - 1; row >= 0; --row) {
        if (at(row).data() == source) {
            const QModelIndex changed = index(row);
            Q_EMIT dataChanged(changed, changed, {});
            return;
        }
    }
}

void ImageList::pushOrRun(QUndoCommand *command)
{
    if (UndoStack *stack = undoStack()) {
        stack->push(command);
    } else {
        command->redo();
        delete command;
    }
}
