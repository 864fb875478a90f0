#include "innerimagehandler.h"

#include <QGraphicsScene>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include "model/imagesource.h"
#include "model/transformedimagesource.h"
#include "scene/scene.h"
#include "themes/photogrid/photogridgraphicsitem.h"
#include "themes/photogrid/photogriditemproperties.h"

namespace {

// Sets a flag for as long as it lives.
class FlagScope
{
public:
    explicit FlagScope(bool &flag)
        : m_flag(flag)
        , m_previous(flag)
    {
        m_flag = true;
    }
    ~FlagScope() { m_flag = m_previous; }
    Q_DISABLE_COPY(FlagScope)

private:
    bool &m_flag;
    bool m_previous;
};

} // namespace

InnerImageHandler::InnerImageHandler(PhotoGridGraphicsItem *item, QGraphicsItem *parent)
    : QGraphicsObject(parent)
    , m_item(item)
{
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton);
    // Above the page and everything on it.
    setZValue(1e6);
    if (item) {
        connect(item, &PhotoGridGraphicsItem::photoShapeChanged, this,
            &InnerImageHandler::imageAreaChanged);
        connect(item, &PhotoGridGraphicsItem::scenePositionChanged, this,
            &InnerImageHandler::imageAreaChanged);
        connect(item, &PhotoGridGraphicsItem::cursorChanged, this,
            &InnerImageHandler::itemCursorChanged);
        if (item->properties())
            connect(item->properties().data(), &PhotoGridItemProperties::sourceChanged, this,
                &InnerImageHandler::_sourceChanged);
        setCursor(item->cursor());
    }
    connectSource();
    m_imageArea = computeImageArea();
}

InnerImageHandler::~InnerImageHandler() = default;

PhotoGridGraphicsItem *InnerImageHandler::item() const
{
    return m_item;
}

QRectF InnerImageHandler::boundingRect() const
{
    return m_sceneRect;
}

QRectF InnerImageHandler::computeImageArea() const
{
    const PhotoGridItemProperties *cell = m_item ? m_item->properties().data() : nullptr;
    const QSharedPointer<ImageSource> image = cell ? cell->image() : nullptr;
    if (!image)
        return QRectF();
    const QRectF whole(QPointF(0, 0), QSizeF(image->size()));
    return (m_item->imageTransform() * m_item->sceneTransform()).mapRect(whole);
}

void InnerImageHandler::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!m_item)
        return;
    const PhotoGridItemProperties *cell = m_item->properties().data();
    const QSharedPointer<ImageSource> image = cell ? cell->image() : nullptr;
    const QTransform toScene = m_item->sceneTransform();
    const QPainterPath outline = toScene.map(m_item->photoShape());
    const int flags = Scene::drawFlags(m_item);

    if (image) {
        const QTransform transform = m_item->imageTransform() * toScene;
        // The whole picture, faded, so that the user sees what the crop
        // leaves out.
        painter->save();
        painter->setOpacity(0.5);
        painter->setTransform(transform, true);
        image->draw(painter, flags);
        painter->restore();
        // Its cropped part at full strength.
        painter->save();
        painter->setClipPath(outline, Qt::IntersectClip);
        painter->setTransform(transform, true);
        image->draw(painter, flags);
        painter->restore();
    }

    QPainterPath veil;
    veil.addRect(m_sceneRect);
    veil = veil.subtracted(outline);
    painter->fillPath(veil, QColor(0, 0, 0, 128));
}

void InnerImageHandler::sceneRectChanged(const QRectF &rect)
{
    if (rect == m_sceneRect)
        return;
    prepareGeometryChange();
    m_sceneRect = rect;
}

void InnerImageHandler::imageAreaChanged()
{
    const QRectF area = computeImageArea();
    update(m_imageArea.united(area));
    m_imageArea = area;
}

void InnerImageHandler::itemCursorChanged(const QCursor &cursor)
{
    setCursor(cursor);
}

void InnerImageHandler::_sourceChanged()
{
    connectSource();
    imageAreaChanged();
}

void InnerImageHandler::_queueUdpate()
{
    imageAreaChanged();
}

void InnerImageHandler::connectSource()
{
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    const PhotoGridItemProperties *cell = m_item ? m_item->properties().data() : nullptr;
    TransformedImageSource *source = cell ? cell->source().data() : nullptr;
    m_source = source;
    if (!source)
        return;
    connect(
        source, &TransformedImageSource::transformChanged, this, &InnerImageHandler::_queueUdpate);
    connect(source, &TransformedImageSource::imageChanged, this, &InnerImageHandler::_queueUdpate);
}

QVariant InnerImageHandler::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemSceneChange) {
        if (QGraphicsScene *old = scene())
            disconnect(old, nullptr, this, nullptr);
    } else if (change == ItemSceneHasChanged) {
        if (auto *now = value.value<QGraphicsScene *>()) {
            connect(
                now, &QGraphicsScene::sceneRectChanged, this, &InnerImageHandler::sceneRectChanged);
            sceneRectChanged(now->sceneRect());
        }
    }
    return QGraphicsObject::itemChange(change, value);
}

// ---------------------------------------------------------------------------
// Passing the pointer on to the cell

void InnerImageHandler::forwardMouse(QGraphicsSceneMouseEvent *event)
{
    QGraphicsScene *scene = this->scene();
    if (!m_item || !scene || m_item->scene() != scene) {
        event->ignore();
        return;
    }
    const QPointF pos = event->pos();
    const QPointF lastPos = event->lastPos();
    const QPointF downPos = event->buttonDownPos(Qt::LeftButton);
    event->setPos(m_item->mapFromScene(event->scenePos()));
    event->setLastPos(m_item->mapFromScene(event->lastScenePos()));
    event->setButtonDownPos(
        Qt::LeftButton, m_item->mapFromScene(event->buttonDownScenePos(Qt::LeftButton)));
    {
        // The cell may end image mode from inside this event; the overlay
        // then goes after it.
        QPointer<InnerImageHandler> self(this);
        FlagScope forwarding(m_forwarding);
        scene->sendEvent(m_item, event);
        if (!self)
            return;
    }
    event->setPos(pos);
    event->setLastPos(lastPos);
    event->setButtonDownPos(Qt::LeftButton, downPos);
    event->accept();
}

void InnerImageHandler::forwardHover(QGraphicsSceneHoverEvent *event)
{
    QGraphicsScene *scene = this->scene();
    if (!m_item || !scene || m_item->scene() != scene)
        return;
    QGraphicsSceneHoverEvent hover(QEvent::GraphicsSceneHoverMove);
    hover.setScenePos(event->scenePos());
    hover.setScreenPos(event->screenPos());
    hover.setLastScenePos(event->lastScenePos());
    hover.setLastScreenPos(event->lastScreenPos());
    hover.setPos(m_item->mapFromScene(event->scenePos()));
    hover.setLastPos(m_item->mapFromScene(event->lastScenePos()));
    hover.setModifiers(event->modifiers());
    hover.setWidget(event->widget());
    FlagScope forwarding(m_forwarding);
    scene->sendEvent(m_item, &hover);
}

void InnerImageHandler::hoverEnterEvent(QGraphicsSceneHoverEvent *event)
{
    forwardHover(event);
}

void InnerImageHandler::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    forwardHover(event);
}

void InnerImageHandler::hoverLeaveEvent(QGraphicsSceneHoverEvent *event)
{
    QGraphicsObject::hoverLeaveEvent(event);
}

void InnerImageHandler::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    m_pressOutside = false;
    if (!m_item || event->button() != Qt::LeftButton) {
        event->ignore();
        return;
    }
    if (!m_item->shape().contains(m_item->mapFromScene(event->scenePos()))) {
        // A press beside the cell leaves image mode and goes on to whatever
        // lies there.
        m_pressOutside = true;
        {
            FlagScope forwarding(m_forwarding);
            m_item->setImageMode(false);
        }
        event->ignore();
        return;
    }
    forwardMouse(event);
}

void InnerImageHandler::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (!m_pressOutside)
        forwardMouse(event);
}

void InnerImageHandler::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (!m_pressOutside)
        forwardMouse(event);
    m_pressOutside = false;
}
