#include "photogridsceneitem.h"

#include <QGraphicsScene>
#include <QGraphicsSceneDragDropEvent>
#include <QMimeData>
#include <QPainter>

#include <cstring>

#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/replacesender.h"
#include "model/transformedimagesource.h"
#include "scene/graphicsbackgrounditem.h"
#include "scene/shadowswatcher.h"
#include "themes/photogrid/photogridgraphicsitem.h"

PhotoGridSceneItem::PhotoGridSceneItem(
    PhotoGridTheme *theme, QGraphicsItem *parent, QGraphicsScene *scene)
    : SceneLayer(theme ? theme->document() : nullptr, parent)
    , m_theme(theme)
{
    Document *document = theme ? theme->document() : nullptr;
    setAcceptDrops(true);
    m_backgroundItem = new GraphicsBackgroundItem(theme ? theme->background() : nullptr, this);
    // The cells share a parent above the background, so that one shadow can
    // be cast for all of them and never falls on the background.
    m_groupItem = new SceneLayer(document, this);
    m_groupItem->setFlag(ItemHasNoContents, true);
    m_shadows = new ShadowsWatcher(theme ? theme->shadows() : nullptr, m_groupItem, this);
    connect(m_shadows, &ShadowsWatcher::needUpdate, this, &PhotoGridSceneItem::queueUpdate);

    if (theme) {
        connect(theme, &PhotoGridTheme::itemInserted, this, &PhotoGridSceneItem::itemInserted);
        connect(theme, &PhotoGridTheme::itemRemoved, this, &PhotoGridSceneItem::itemRemoved);
        for (const auto &cell : theme->items())
            itemInserted(cell);
    }
    attachToScene(this->scene() ? this->scene() : scene);
}

PhotoGridSceneItem::~PhotoGridSceneItem()
{
    // The cell items go while the layer and its shadows are whole.
    const auto items = m_items;
    m_items.clear();
    for (PhotoGridGraphicsItem *item : items) {
        m_shadows->removeItem(item);
        delete item;
    }
}

PhotoGridTheme *PhotoGridSceneItem::theme() const
{
    return m_theme;
}

QList<PhotoGridGraphicsItem *> PhotoGridSceneItem::cellItems() const
{
    QList<PhotoGridGraphicsItem *> result;
    if (!m_theme)
        return result;
    for (const auto &cell : m_theme->items()) {
        if (PhotoGridGraphicsItem *item = m_items.value(cell.data()))
            result.append(item);
    }
    return result;
}

PhotoGridGraphicsItem *PhotoGridSceneItem::cellItem(const PhotoGridItemProperties *cell) const
{
    return m_items.value(cell);
}

PhotoGridGraphicsItem *PhotoGridSceneItem::cellItemAt(const QPointF &pos) const
{
    // Children are listed bottom first; the last hit is on top.
    PhotoGridGraphicsItem *found = nullptr;
    for (QGraphicsItem *child : m_groupItem->childItems()) {
        auto *item = qobject_cast<PhotoGridGraphicsItem *>(child->toGraphicsObject());
        if (item && item->isVisible() && item->contains(item->mapFromItem(this, pos)))
            found = item;
    }
    return found;
}

PhotoGridItemPropertiesSharedPointer PhotoGridSceneItem::sourceCell(const QMimeData *data) const
{
    const QString format = QString::fromLatin1(PhotoGridGraphicsItem::MimeType);
    if (!m_theme || !data || !data->hasFormat(format))
        return {};
    const QByteArray bytes = data->data(format);
    quint64 address = 0;
    if (bytes.size() != int(sizeof(address)))
        return {};
    std::memcpy(&address, bytes.constData(), sizeof(address));
    // The address means something only when it is one of our own cells;
    // anything else is never dereferenced.
    return m_theme->findItem(quintptr(address));
}

QSharedPointer<ImageSource> PhotoGridSceneItem::draggedImage(const QMimeData *data) const
{
    Document *document = m_theme ? m_theme->document() : nullptr;
    if (!data || !document || !document->imageList())
        return {};
    return document->imageList()->sourceFromMimeData(data);
}

bool PhotoGridSceneItem::documentAccepts(const QMimeData *data) const
{
    Document *document = m_theme ? m_theme->document() : nullptr;
    return data && document && document->imageList() && data->hasUrls();
}

Qt::DropAction PhotoGridSceneItem::dropActionAt(const QMimeData *data, const QPointF &pos) const
{
    PhotoGridGraphicsItem *target = cellItemAt(pos);
    const PhotoGridItemProperties *cell = target ? target->properties().data() : nullptr;
    if (cell) {
        if (const auto source = sourceCell(data)) {
            if (source.data() != cell && source->source() != cell->source())
                return Qt::MoveAction;
        } else if (const auto image = draggedImage(data)) {
            if (cell->image() != image)
                return Qt::CopyAction;
        }
    }
    return documentAccepts(data) ? Qt::CopyAction : Qt::IgnoreAction;
}

Qt::DropAction PhotoGridSceneItem::drop(const QMimeData *data, const QPointF &pos)
{
    if (!m_theme || !data)
        return Qt::IgnoreAction;
    PhotoGridGraphicsItem *target = cellItemAt(pos);
    PhotoGridItemProperties *cell = target ? target->properties().data() : nullptr;
    if (cell) {
        if (const auto source = sourceCell(data)) {
            // Exchanging with itself or with a cell of the same source
            // changes nothing and is refused.
            return m_theme->exchangeImages(source.data(), cell) ? Qt::MoveAction : Qt::IgnoreAction;
        }
        if (const auto image = draggedImage(data))
            return m_theme->placeImage(cell, image) ? Qt::CopyAction : Qt::IgnoreAction;
    }
    if (!documentAccepts(data))
        return Qt::IgnoreAction;
    Document *document = m_theme->document();
    return document->imageList()->dropMimeData(data, Qt::CopyAction, -1, 0, QModelIndex())
        ? Qt::CopyAction
        : Qt::IgnoreAction;
}

void PhotoGridSceneItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // Shadows are sized in device pixels and follow the zoom the page is
    // painted at.
    m_shadows->recompute(painter->transform());
}

// ---------------------------------------------------------------------------
// Following the cells

void PhotoGridSceneItem::itemInserted(PhotoGridItemPropertiesSharedPointer p)
{
    if (!p || m_items.contains(p.data()))
        return;
    auto *item = new PhotoGridGraphicsItem(p, m_theme, m_groupItem);
    m_items.insert(p.data(), item);
    m_shadows->addItem(item);
}

void PhotoGridSceneItem::itemRemoved(PhotoGridItemPropertiesSharedPointer p)
{
    PhotoGridGraphicsItem *item = m_items.take(p.data());
    if (!item)
        return;
    if (m_dragTarget == item)
        m_dragTarget = nullptr;
    m_shadows->removeItem(item);
    delete item;
}

void PhotoGridSceneItem::queueUpdate()
{
    update();
}

// ---------------------------------------------------------------------------
// Drag and drop

void PhotoGridSceneItem::clearDragState()
{
    m_dragSource.reset();
    m_dragImage.reset();
    m_dragTarget = nullptr;
}

void PhotoGridSceneItem::dragEnterEvent(QGraphicsSceneDragDropEvent *event)
{
    clearDragState();
    const QMimeData *data = event->mimeData();
    m_dragSource = sourceCell(data);
    if (!m_dragSource)
        m_dragImage = draggedImage(data);
    event->setAccepted(m_dragSource || m_dragImage || documentAccepts(data));
}

void PhotoGridSceneItem::dragMoveEvent(QGraphicsSceneDragDropEvent *event)
{
    m_dragTarget = cellItemAt(event->pos());
    const Qt::DropAction action = dropActionAt(event->mimeData(), event->pos());
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

void PhotoGridSceneItem::dragLeaveEvent(QGraphicsSceneDragDropEvent *event)
{
    clearDragState();
    event->accept();
}

void PhotoGridSceneItem::dropEvent(QGraphicsSceneDragDropEvent *event)
{
    const Qt::DropAction action = drop(event->mimeData(), event->pos());
    clearDragState();
    if (action == Qt::IgnoreAction) {
        event->ignore();
        return;
    }
    event->setDropAction(action);
    event->accept();
}

QVariant PhotoGridSceneItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemSceneHasChanged)
        attachToScene(value.value<QGraphicsScene *>());
    return SceneLayer::itemChange(change, value);
}

void PhotoGridSceneItem::attachToScene(QGraphicsScene *scene)
{
    if (replaceSender(m_scene, scene, m_shadows) && scene)
        connect(scene, &QGraphicsScene::sceneRectChanged, m_shadows, &ShadowsWatcher::update);
}
