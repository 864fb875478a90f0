#include "photodropitem.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>

#include <utility>

#include "imaging/drawflags.h"
#include "imaging/photomasks.h"
#include "model/frameproperties.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/linkedtransform.h"
#include "model/replacesender.h"
#include "scene/connecteach.h"
#include "scene/photopainting.h"
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
        connectEach(properties, this, &PhotoDropItem::_queueUpdate,
            &PhotoDropItemProperties::filterTypeChanged,
            &PhotoDropItemProperties::maskShapeChanged);
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

    PhotoPainting::paintFrame(painter, m_outerRect, m_frames);
    const int flags = Scene::drawFlags(this);
    m_paintedFast = flags & FastDraw;
    const ImageSource *source = m_properties ? m_properties->source().data() : nullptr;
    if (source && !m_photoRect.isEmpty()) {
        const int mask = m_properties->maskShape();
        const QPainterPath clip = PhotoMasks::isActive(mask)
            ? PhotoMasks::maskOutline(mask, m_photoRect)
            : QPainterPath();
        const QRectF photoRect = m_photoRect;
        PhotoPainting::paintPhoto(painter, flags, m_properties->filterType(), m_photoRect, clip,
            [source, flags, photoRect](QPainter *target) {
                source->drawInRect(target, flags, photoRect, Qt::KeepAspectRatioByExpanding);
            });
    }
    if (isSelected())
        PhotoPainting::paintSelectionRing(painter, m_outerRect);
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
    if (!replaceSender(m_source, source, this) || !source)
        return;
    // The size of a picture is known once its file has been read; the later
    // notices may bring it too, so they all recompute the shape (which only
    // repaints when nothing changed).
    connectEach(source, this, &PhotoDropItem::_sourceSizeChanged, &ImageSource::sizeChanged,
        &ImageSource::stateChanged, &ImageSource::drawQualityIncrized);
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
    if (Scene *scene = std::exchange(m_scene, nullptr))
        scene->release(this);
}
