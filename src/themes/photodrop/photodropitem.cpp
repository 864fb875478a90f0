#include "photodropitem.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>

#include "imaging/drawflags.h"
#include "imaging/imagefilters.h"
#include "imaging/photomasks.h"
#include "model/frameproperties.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/linkedtransform.h"
#include "scene/scene.h"
#include "themes/photodrop/photodroparrangement.h"
#include "themes/photodrop/photodropitemproperties.h"

PhotoDropItem::PhotoDropItem(
    PhotoDropItemProperties *properties, FrameProperties *frames, QGraphicsItem *parent)
    : EditableGraphicsObject(parent)
    , m_properties(properties)
    , m_frames(frames)
{
    // Not movable: the photo moves only through its parts, so that every
    // move is an undoable change of its transform.
    setFlag(ItemIsSelectable, true);
    setFlag(ItemIsMovable, false);

    if (properties) {
        // The item deletes the transforms it carries, so it gets its own
        // link to the photo's transform rather than the transform itself.
        setTransformations({ new LinkedTransform(properties->transform()) });
        connect(properties, &PhotoDropItemProperties::filterTypeChanged, this,
            &PhotoDropItem::_queueUpdate);
        connect(properties, &PhotoDropItemProperties::maskShapeChanged, this,
            &PhotoDropItem::_queueUpdate);
        connect(properties, &PhotoDropItemProperties::sourceChanged, this,
            &PhotoDropItem::_sourceChanged);
        connect(properties, &QObject::destroyed, this, &QObject::deleteLater);
        connectSource(properties->source().data());
    }
    if (frames) {
        connect(frames, &FrameProperties::sizeChanged, this, &PhotoDropItem::frameSizeChanged);
        connect(frames, &FrameProperties::colorChanged, this, &PhotoDropItem::frameColorChanged);
        connect(frames, &FrameProperties::enabledChange, this, &PhotoDropItem::frameEnabledChange);
    }
    recomputeGeometry();
    // Made as the child of an item already on a scene, the item never sees
    // its scene change.
    attachToScene(qobject_cast<Scene *>(scene()));
}

PhotoDropItem::~PhotoDropItem()
{
    // The scene announces the selection change of this item's removal while
    // only the QGraphicsItem part is left; nothing must reach this object then.
    detachFromScene();
}

PhotoDropItemProperties *PhotoDropItem::properties() const
{
    return m_properties;
}

FrameProperties *PhotoDropItem::frames() const
{
    return m_frames;
}

QRectF PhotoDropItem::boundingRect() const
{
    return m_outerRect;
}

QPainterPath PhotoDropItem::shape() const
{
    QPainterPath path;
    path.addRect(m_outerRect);
    return path;
}

QPainterPath PhotoDropItem::opaqueArea() const
{
    // A masked photo without a frame lets the photos below show around the
    // mask; only the frame makes the whole rectangle opaque.
    const bool framed = m_frames && m_frames->enabled();
    if (!framed && m_properties && PhotoMasks::isActive(m_properties->maskShape()))
        return PhotoMasks::maskOutline(m_properties->maskShape(), m_photoRect);
    return shape();
}

void PhotoDropItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_outerRect.isEmpty())
        return;

    if (m_frames && m_frames->enabled()) {
        painter->setPen(Qt::NoPen);
        painter->fillRect(m_outerRect, m_frames->color());
    }

    const int flags = Scene::drawFlags(this);
    m_paintedFast = flags & FastDraw;
    const ImageSource *source = m_properties ? m_properties->source().data() : nullptr;
    if (source && !m_photoRect.isEmpty()) {
        const int filter = m_properties->filterType();
        const int mask = m_properties->maskShape();
        const QPainterPath clip = PhotoMasks::isActive(mask)
            ? PhotoMasks::maskOutline(mask, m_photoRect)
            : QPainterPath();
        const QRectF photoRect = m_photoRect;
        auto drawPhoto = [source, flags, photoRect](QPainter *target) {
            source->drawInRect(target, flags, photoRect, Qt::KeepAspectRatioByExpanding);
        };
        // A noting pass needs the picture named, not filtered.
        if (!ImageFilters::isActive(filter) || (flags & CollectImages)) {
            painter->save();
            if (!clip.isEmpty())
                painter->setClipPath(clip, Qt::IntersectClip);
            drawPhoto(painter);
            painter->restore();
        } else {
            // Filtered at the device's resolution, over the photo's own
            // device pixels only.
            ImageFilters::paintFiltered(painter, m_photoRect, filter, clip, drawPhoto);
        }
    }

    if (isSelected()) {
        // Two device pixels thick at any zoom.
        const QTransform toItem = painter->deviceTransform().inverted();
        const qreal thickness
            = QLineF(toItem.map(QPointF(0, 0)), toItem.map(QPointF(2, 2))).length();
        const QRectF inner = m_outerRect.adjusted(thickness, thickness, -thickness, -thickness);
        QPainterPath ring;
        ring.addRect(m_outerRect);
        if (inner.isValid())
            ring.addRect(inner);
        painter->setPen(Qt::NoPen);
        painter->setBrush(QColor(0, 0, 255));
        painter->drawPath(ring);
    }
}

int PhotoDropItem::hitTest(const QPointF &pos)
{
    if (!m_outerRect.contains(pos))
        return NoPart;
    QRectF middle(
        0, 0, m_outerRect.width() * MoveAreaFraction, m_outerRect.height() * MoveAreaFraction);
    middle.moveCenter(m_outerRect.center());
    return middle.contains(pos) ? MovePart : RotateScalePart;
}

QPointF PhotoDropItem::transformCenter() const
{
    return m_photoRect.center();
}

void PhotoDropItem::partDragged(int &part)
{
    if (!m_properties)
        return;
    ItemTransform *transform = m_properties->transform();
    // Pointer positions on the page, where the transform lives.
    const QPointF previous = mapToParent(lastPos());
    const QPointF current = mapToParent(currentPos());

    if (part == MovePart) {
        transform->setPosition(transform->position() + (current - previous));
    } else if (part == RotateScalePart) {
        const QPointF centre = mapToParent(transformCenter());
        const QLineF toCurrent(centre, current);
        const QLineF toPrevious(centre, previous);
        if (toCurrent.length() > 0 && toPrevious.length() > 0) {
            // Line angles grow counter-clockwise on screen, rotations
            // clockwise: the angle from the current line to the previous
            // one turns the photo with the pointer.
            qreal turn = toCurrent.angleTo(toPrevious);
            if (turn > 180)
                turn -= 360;
            transform->setRotation(transform->rotation() + turn);
            transform->setZoom(
                qMax(1e-5, transform->zoom() * toCurrent.length() / toPrevious.length()));
        }
    } else {
        return;
    }
    // The item has moved under the pointer; the next step starts from the
    // pointer as seen in the item's new coordinates.
    setLastPos(mapFromParent(current));
}

QVariant PhotoDropItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemSceneChange)
        detachFromScene();
    else if (change == ItemSceneHasChanged)
        attachToScene(qobject_cast<Scene *>(value.value<QGraphicsScene *>()));
    return EditableGraphicsObject::itemChange(change, value);
}

void PhotoDropItem::sceneSelectionChanged()
{
    const bool selected = isSelected();
    if (selected == m_reportedSelected)
        return;
    m_reportedSelected = selected;
    Q_EMIT selectedChanged(selected);
}

void PhotoDropItem::frameSizeChanged(qreal)
{
    recomputeGeometry();
}

void PhotoDropItem::frameColorChanged()
{
    update();
}

void PhotoDropItem::frameEnabledChange(bool)
{
    recomputeGeometry();
}

void PhotoDropItem::_sourceSizeChanged()
{
    recomputeGeometry();
}

void PhotoDropItem::_sourceChanged(ImageSource *source)
{
    connectSource(source);
    recomputeGeometry();
}

void PhotoDropItem::_queueUpdate()
{
    update();
}

void PhotoDropItem::_fastDrawChanged(bool fastDraw)
{
    // A photo drawn in full quality may stay so while another one is
    // dragged; repainting the whole page at the start of every drag would
    // stall it. What was drawn cheaply during the drag gets full quality
    // back once the drag is over.
    if (!fastDraw && m_paintedFast)
        update();
}

void PhotoDropItem::recomputeGeometry()
{
    const ImageSource *source = m_properties ? m_properties->source().data() : nullptr;
    const QSizeF unit = PhotoDropArrangement::unitSize(source ? source->size() : QSize());
    const qreal f = (m_frames && m_frames->enabled()) ? qBound(0.0, m_frames->size(), 1.0) : 0.0;

    const QSizeF photo = unit * (1 - f);
    const QRectF photoRect(QPointF(-photo.width() / 2, -photo.height() / 2), photo);
    const qreal frameWidth = qMin(unit.width() * f, unit.height() * f) / 2;
    const QRectF outerRect = photoRect.adjusted(-frameWidth, -frameWidth, frameWidth, frameWidth);

    if (photoRect != m_photoRect || frameWidth != m_frameWidth || outerRect != m_outerRect) {
        prepareGeometryChange();
        m_photoRect = photoRect;
        m_frameWidth = frameWidth;
        m_outerRect = outerRect;
    }
    update();
}

void PhotoDropItem::connectSource(ImageSource *source)
{
    if (m_source == source)
        return;
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = source;
    if (!source)
        return;
    connect(source, &ImageSource::sizeChanged, this, &PhotoDropItem::_sourceSizeChanged);
    // The size of a picture is known once its file has been read; both
    // notices may bring it, so they recompute the shape (which only repaints
    // when nothing changed).
    connect(source, &ImageSource::stateChanged, this, &PhotoDropItem::_sourceSizeChanged);
    connect(source, &ImageSource::drawQualityIncrized, this, &PhotoDropItem::_sourceSizeChanged);
}

void PhotoDropItem::attachToScene(Scene *scene)
{
    if (scene == m_scene)
        return;
    detachFromScene();
    m_scene = scene;
    if (!scene)
        return;
    m_reportedSelected = isSelected();
    connect(scene, &QGraphicsScene::selectionChanged, this, &PhotoDropItem::sceneSelectionChanged);
    connect(scene, &Scene::fastDrawChanged, this, &PhotoDropItem::_fastDrawChanged);
}

void PhotoDropItem::detachFromScene()
{
    if (!m_scene)
        return;
    Scene *scene = m_scene;
    m_scene = nullptr;
    disconnect(scene, nullptr, this, nullptr);
    if (scene->overlayOwner() == this)
        scene->setOverlayItem(nullptr, nullptr);
}
