#include "photogridgraphicsitem.h"

#include <QApplication>
#include <QDrag>
#include <QGraphicsSceneContextMenuEvent>
#include <QGraphicsView>
#include <QLineF>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>
#include <QScopedPointer>
#include <QtMath>

#include <cstring>
#include <utility>

#include "imaging/drawflags.h"
#include "imaging/photomasks.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/replacesender.h"
#include "model/rotationrestriction.h"
#include "model/transformedimagesource.h"
#include "scene/connecteach.h"
#include "scene/photopainting.h"
#include "scene/scene.h"
#include "themes/photogrid/innerimagehandler.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/photogridtheme.h"
#include "ui/choicemenu.h"

const char *const PhotoGridGraphicsItem::MimeType = "application/photo-grid-props-ptr";

namespace {

// A restriction that allows less turn than this (degrees) is taken as none:
// the cell offers no rotation handle for a turn nobody could see.
constexpr qreal MinimumVariation = 0.0001;
// The drag picture is left out for cells larger than this on screen
// (device pixels a side): a picture that size would cost more than it shows.
constexpr int MaximumDragPictureSide = 4096;
// The drag picture is faded so that the cells under it stay visible.
constexpr qreal DragPictureOpacity = 0.7;

// The turn, in degrees clockwise, that carries the line centre -> previous
// onto the line centre -> current; 0 when either is a point.
qreal turnBetween(const QPointF &centre, const QPointF &previous, const QPointF &current)
{
    const QLineF toCurrent(centre, current);
    const QLineF toPrevious(centre, previous);
    if (toCurrent.length() <= 0 || toPrevious.length() <= 0)
        return 0;
    // Line angles grow counter-clockwise on screen, rotations clockwise.
    qreal turn = toCurrent.angleTo(toPrevious);
    if (turn > 180)
        turn -= 360;
    return turn;
}

// Scaling by `s` about `centre`, then (first, in row-vector order) moving
// by -offset: the map q -> centre + s (q - centre - offset).
QTransform scaleAbout(const QPointF &centre, qreal s, const QPointF &offset = QPointF())
{
    QTransform t;
    t.translate(centre.x(), centre.y());
    t.scale(s, s);
    t.translate(-centre.x() - offset.x(), -centre.y() - offset.y());
    return t;
}

bool containsWithTolerance(const QRectF &outer, const QRectF &inner)
{
    const qreal eps = 1e-6 * qMax(1.0, qMax(outer.width(), outer.height()));
    return inner.left() >= outer.left() - eps && inner.right() <= outer.right() + eps
        && inner.top() >= outer.top() - eps && inner.bottom() <= outer.bottom() + eps;
}

//  The visible part V of the image is brought inside the image I: first
//  shrunk about its centre until it fits, then slid back over the edge.
//
//      +---- I ----+               +---- I ----+
//      |       +---|--+            |    +----+ |
//      |       | V |  |     ->     |    | V' | |
//      |       +---|--+            |    +----+ |
//      +-----------+               +-----------+
//
//  The correction C is the map whose inverse carries V onto V'.
QTransform correctionFor(const QRectF &visible, const QRectF &image)
{
    if (image.isEmpty() || visible.isEmpty() || containsWithTolerance(image, visible))
        return QTransform();
    const qreal s
        = qMax(1.0, qMax(visible.width() / image.width(), visible.height() / image.height()));
    QRectF shrunk(0, 0, visible.width() / s, visible.height() / s);
    shrunk.moveCenter(visible.center());
    QPointF offset;
    if (shrunk.left() < image.left())
        offset.setX(image.left() - shrunk.left());
    else if (shrunk.right() > image.right())
        offset.setX(image.right() - shrunk.right());
    if (shrunk.top() < image.top())
        offset.setY(image.top() - shrunk.top());
    else if (shrunk.bottom() > image.bottom())
        offset.setY(image.bottom() - shrunk.bottom());
    return scaleAbout(visible.center(), s, offset);
}

} // namespace

PhotoGridGraphicsItem::PhotoGridGraphicsItem(
    const QSharedPointer<PhotoGridItemProperties> &properties, PhotoGridTheme *theme,
    QGraphicsItem *parent)
    : EditableGraphicsObject(parent)
    , m_properties(properties)
    , m_theme(theme)
{
    // Cells never move by dragging: a drag exchanges images instead.
    setFlag(ItemIsSelectable, true);
    setFlag(ItemIsMovable, false);
    setFlag(ItemSendsGeometryChanges, true);
    setFlag(ItemSendsScenePositionChanges, true);
    setAcceptHoverEvents(true);

    if (PhotoGridItemProperties *cell = m_properties.data()) {
        connect(cell, &PhotoGridItemProperties::rectChanged, this,
            &PhotoGridGraphicsItem::_rectChanged);
        connect(cell, &PhotoGridItemProperties::angleChanged, this,
            &PhotoGridGraphicsItem::_angleChanged);
        connect(cell, &PhotoGridItemProperties::sourceChanged, this,
            &PhotoGridGraphicsItem::_sourceChanged);
        connectEach(cell, this, &PhotoGridGraphicsItem::_queueUpdate,
            &PhotoGridItemProperties::filterTypeChanged,
            &PhotoGridItemProperties::maskShapeChanged);
    }
    if (theme) {
        connect(theme, &PhotoGridTheme::borderChanged, this, &PhotoGridGraphicsItem::_rectChanged);
        if (FrameProperties *frames = theme->frames()) {
            connectEach(frames, this, &PhotoGridGraphicsItem::_frameSizeChanged,
                &FrameProperties::sizeChanged, &FrameProperties::enabledChange);
            connect(frames, &FrameProperties::colorChanged, this,
                &PhotoGridGraphicsItem::_frameColorChanged);
        }
    }
    connectSource();
    _angleChanged();
    updateCell();
    attachToScene(qobject_cast<Scene *>(scene()));
}

PhotoGridGraphicsItem::~PhotoGridGraphicsItem()
{
    detachFromScene();
}

PhotoGridTheme *PhotoGridGraphicsItem::theme() const
{
    return m_theme;
}

ImageSource *PhotoGridGraphicsItem::image() const
{
    return m_image;
}

QRectF PhotoGridGraphicsItem::imageRect() const
{
    const ImageSource *source = image();
    return source ? QRectF(QPointF(0, 0), QSizeF(source->size())) : QRectF();
}

bool PhotoGridGraphicsItem::itemToImage(const QTransform &crop, QTransform *map) const
{
    bool invertible = false;
    *map = (crop * m_fitTransform).inverted(&invertible);
    return invertible;
}

QRectF PhotoGridGraphicsItem::visibleImageRect(const QTransform &crop) const
{
    QTransform toImage;
    return itemToImage(crop, &toImage) ? toImage.mapRect(m_pictureRect) : QRectF();
}

QTransform PhotoGridGraphicsItem::correctionTransform() const
{
    if (!m_source)
        return QTransform();
    return correctionFor(visibleImageRect(m_source->transform()), imageRect());
}

QTransform PhotoGridGraphicsItem::effectiveCrop() const
{
    if (!m_source)
        return QTransform();
    return correctionTransform() * m_source->transform();
}

QTransform PhotoGridGraphicsItem::imageTransform() const
{
    return effectiveCrop() * m_fitTransform;
}

QPainterPath PhotoGridGraphicsItem::photoShape() const
{
    QPainterPath path;
    path.addRect(m_pictureRect);
    return path;
}

QRectF PhotoGridGraphicsItem::boundingRect() const
{
    return m_cellRect;
}

void PhotoGridGraphicsItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (m_cellRect.isEmpty())
        return;
    PhotoPainting::paintFrame(painter, m_cellRect, m_theme ? m_theme->frames() : nullptr);

    const int flags = Scene::drawFlags(this);
    m_paintedFast = flags & FastDraw;
    const ImageSource *source = image();
    if (source && m_properties && !m_pictureRect.isEmpty()) {
        const int mask = m_properties->maskShape();
        const QPainterPath clip = PhotoMasks::isActive(mask)
            ? PhotoMasks::maskOutline(mask, m_pictureRect)
            : photoShape();
        const QTransform transform = imageTransform();
        PhotoPainting::paintPhoto(painter, flags, m_properties->filterType(), m_pictureRect, clip,
            [source, flags, transform](QPainter *target) {
                target->setTransform(transform, true);
                source->draw(target, flags);
            });
    }
    if (isSelected() && !m_imageMode)
        PhotoPainting::paintSelectionRing(painter, m_cellRect);
}

int PhotoGridGraphicsItem::hitTest(const QPointF &pos)
{
    if (!isSelected() || !m_cellRect.contains(pos))
        return NoPart;
    const QRectF inner(m_cellRect.left() + m_cellRect.width() / 4,
        m_cellRect.top() + m_cellRect.height() / 4, m_cellRect.width() / 2,
        m_cellRect.height() / 2);
    if (m_imageMode)
        return inner.contains(pos) ? SecondMovePart : SecondRotateScalePart;
    if (inner.contains(pos))
        return NoPart;
    const RotationRestriction *restriction = m_properties ? m_properties->restriction() : nullptr;
    return restriction && restriction->variation() > MinimumVariation ? RotatePart : NoPart;
}

QPointF PhotoGridGraphicsItem::transformCenter() const
{
    return m_imageMode ? m_pictureRect.center() : QPointF(0, 0);
}

void PhotoGridGraphicsItem::setImageMode(bool on)
{
    if (m_imageMode != on) {
        m_imageMode = on;
        update();
    }
    updateOverlay();
}

void PhotoGridGraphicsItem::updateOverlay()
{
    Scene *scene = m_scene;
    if (!scene)
        return;
    const bool wanted = m_imageMode && isSelected();
    if (wanted) {
        if (scene->overlayOwner() != this)
            scene->setOverlayItem(new InnerImageHandler(this), this);
        return;
    }
    if (scene->overlayOwner() != this)
        return;
    auto *handler = dynamic_cast<InnerImageHandler *>(scene->overlayItem());
    if (handler && handler->isForwarding()) {
        // The overlay is passing one of its own events on to this cell; it
        // goes once that event is over.
        handler->setVisible(false);
        QPointer<PhotoGridGraphicsItem> self(this);
        QMetaObject::invokeMethod(
            this,
            [self] {
                if (self)
                    self->updateOverlay();
            },
            Qt::QueuedConnection);
        return;
    }
    scene->setOverlayItem(nullptr, nullptr);
}

// ---------------------------------------------------------------------------
// Gestures

void PhotoGridGraphicsItem::turnCell(const QPointF &previous, const QPointF &current)
{
    if (!m_properties)
        return;
    const QPointF centre = mapToParent(QPointF(0, 0));
    const qreal turn = turnBetween(centre, mapToParent(previous), mapToParent(current));
    if (turn != 0)
        m_properties->setAngle(m_properties->angle() + turn);
}

void PhotoGridGraphicsItem::panImage(const QPointF &previous, const QPointF &current)
{
    if (!m_source || !image())
        return;
    const QTransform crop = effectiveCrop();
    QTransform toImage;
    if (!itemToImage(crop, &toImage))
        return;
    const QPointF step = toImage.map(current) - toImage.map(previous);
    const QRectF visible = toImage.mapRect(m_pictureRect);
    const QRectF whole = imageRect();
    // The image moves by the step, the visible part the other way; it must
    // stay on the image.
    qreal dx = qMax(step.x(), visible.right() - whole.right());
    dx = qMin(dx, visible.left() - whole.left());
    qreal dy = qMax(step.y(), visible.bottom() - whole.bottom());
    dy = qMin(dy, visible.top() - whole.top());
    m_source->setTransform(QTransform::fromTranslate(dx, dy) * crop);
}

void PhotoGridGraphicsItem::turnAndZoomImage(const QPointF &previous, const QPointF &current)
{
    if (!m_source || !image())
        return;
    const QPointF centre = m_pictureRect.center();
    const QLineF toCurrent(centre, current);
    const QLineF toPrevious(centre, previous);
    if (toCurrent.length() <= 0 || toPrevious.length() <= 0)
        return;
    const QTransform crop = effectiveCrop();
    QTransform toImage;
    if (!itemToImage(crop, &toImage))
        return;
    const QPointF c = toImage.map(centre);
    const qreal turn = turnBetween(centre, previous, current);
    const qreal zoom = toCurrent.length() / toPrevious.length();

    QTransform step;
    step.translate(c.x(), c.y());
    step.rotate(turn);
    step.scale(zoom, zoom);
    step.translate(-c.x(), -c.y());
    QTransform result = step * crop;

    // Zooming out (or turning) may bring the image's edge into the picture:
    // zoom in about the centre just enough that every corner of the visible
    // area stays on the image.
    QTransform resultToImage;
    if (!itemToImage(result, &resultToImage))
        return;
    const QRectF whole = imageRect();
    const QPolygonF corners = resultToImage.map(QPolygonF(m_pictureRect));
    qreal needed = 1;
    auto require = [&needed](qreal reach, qreal room) {
        if (reach > 0 && room > 1e-9)
            needed = qMax(needed, reach / room);
    };
    for (const QPointF &corner : corners) {
        require(corner.x() - c.x(), whole.right() - c.x());
        require(c.x() - corner.x(), c.x() - whole.left());
        require(corner.y() - c.y(), whole.bottom() - c.y());
        require(c.y() - corner.y(), c.y() - whole.top());
    }
    if (needed > 1)
        result = scaleAbout(c, needed) * result;
    m_source->setTransform(result);
}

void PhotoGridGraphicsItem::partPressed(int &)
{
    m_imageDragged = false;
}

void PhotoGridGraphicsItem::partReleased(int &part)
{
    if ((part == SecondMovePart || part == SecondRotateScalePart) && !m_imageDragged)
        setImageMode(false);
}

void PhotoGridGraphicsItem::partDragged(int &part)
{
    if (part == SecondMovePart || part == SecondRotateScalePart)
        m_imageDragged = true;
    switch (part) {
    case RotatePart: {
        // The cell turns under the pointer; the next step starts from the
        // pointer as seen in the turned item.
        const QPointF current = mapToParent(currentPos());
        turnCell(lastPos(), currentPos());
        setLastPos(mapFromParent(current));
        break;
    }
    case SecondMovePart:
        panImage(lastPos(), currentPos());
        break;
    case SecondRotateScalePart:
        turnAndZoomImage(lastPos(), currentPos());
        break;
    default:
        break;
    }
}

void PhotoGridGraphicsItem::clickReleased(QGraphicsSceneMouseEvent *)
{
    if (isSelected())
        setImageMode(!m_imageMode);
}

bool PhotoGridGraphicsItem::startDrag(QWidget *widget)
{
    if (!widget || !m_properties)
        return false;
    auto *mime = new QMimeData;
    mime->setData(QString::fromLatin1(MimeType), encodeAddress(m_properties.data()));

    // A picture of the cell as the view shows it, faded.
    QPixmap pixmap;
    QPoint hotSpot;
    auto *view = qobject_cast<QGraphicsView *>(widget->parentWidget());
    const QTransform toDevice
        = view ? sceneTransform() * view->viewportTransform() : sceneTransform();
    const QRect device = toDevice.mapRect(m_cellRect).toAlignedRect();
    if (!device.isEmpty() && device.width() < MaximumDragPictureSide
        && device.height() < MaximumDragPictureSide) {
        QImage picture(device.size(), QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::transparent);
        QPainter painter(&picture);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.setOpacity(DragPictureOpacity);
        painter.setTransform(toDevice * QTransform::fromTranslate(-device.left(), -device.top()));
        paint(&painter, nullptr, nullptr);
        painter.end();
        pixmap = QPixmap::fromImage(picture);
        hotSpot = toDevice.map(currentPos()).toPoint() - device.topLeft();
    }

    auto *drag = new QDrag(widget);
    drag->setMimeData(mime);
    if (!pixmap.isNull()) {
        drag->setPixmap(pixmap);
        drag->setHotSpot(hotSpot);
    }
    Qt::DropActions actions = Qt::CopyAction | Qt::MoveAction;
    Document *document = m_theme ? m_theme->document() : nullptr;
    if (document && document->imageList())
        actions |= document->imageList()->supportedDropActions();
    drag->exec(actions, Qt::CopyAction);
    return true;
}

QByteArray PhotoGridGraphicsItem::encodeAddress(const PhotoGridItemProperties *cell)
{
    const quint64 address = quint64(reinterpret_cast<quintptr>(cell));
    QByteArray data(int(sizeof(address)), '\0');
    std::memcpy(data.data(), &address, sizeof(address));
    return data;
}

// ---------------------------------------------------------------------------
// Context menu

QMenu *PhotoGridGraphicsItem::createContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    PhotoGridItemProperties *cell = m_properties.data();
    if (!cell)
        return menu;
    ChoiceMenu::addFilterAndMask(menu, cell);
    return menu;
}

void PhotoGridGraphicsItem::contextMenuEvent(QGraphicsSceneContextMenuEvent *event)
{
    QScopedPointer<QMenu> menu(createContextMenu(event->widget()));
    menu->exec(event->screenPos());
    event->accept();
}

// ---------------------------------------------------------------------------
// Following the model

void PhotoGridGraphicsItem::updateCell()
{
    QRectF area = m_properties ? m_properties->rect() : QRectF();
    const qreal border = m_theme ? m_theme->border() : 0;
    area.adjust(border, border, -border, -border);
    // A border wider than the cell leaves nothing to show.
    const QSizeF size(qMax(0.0, area.width()), qMax(0.0, area.height()));
    const QRectF cell(QPointF(-size.width() / 2, -size.height() / 2), size);
    if (cell.size() != m_cellRect.size())
        prepareGeometryChange();
    m_cellRect = cell;
    setPos(area.center());
    updatePicture();
}

void PhotoGridGraphicsItem::updatePicture()
{
    FrameProperties *frames = m_theme ? m_theme->frames() : nullptr;
    const qreal frameSize = frames && frames->enabled() ? frames->size() : 0.0;
    const qreal width = qMin(m_cellRect.width(), m_cellRect.height()) * 0.5 * frameSize;
    QRectF picture = m_cellRect.adjusted(width, width, -width, -width);
    if (!picture.isValid())
        picture = QRectF(m_cellRect.center(), QSizeF(0, 0));
    m_pictureRect = picture;
    const ImageSource *source = image();
    m_fitTransform = source ? source->imageTransform(m_pictureRect, Qt::KeepAspectRatioByExpanding)
                            : QTransform();
    update();
    Q_EMIT photoShapeChanged();
}

void PhotoGridGraphicsItem::connectSource()
{
    TransformedImageSource *source = m_properties ? m_properties->source().data() : nullptr;
    if (replaceSender(m_source, source, this) && source) {
        connect(source, &TransformedImageSource::imageChanged, this,
            &PhotoGridGraphicsItem::_sourceImageChanged);
        connect(source, &TransformedImageSource::transformChanged, this,
            &PhotoGridGraphicsItem::_sourceTransformChaged);
    }
    connectImage();
}

void PhotoGridGraphicsItem::connectImage()
{
    ImageSource *picture = m_source ? m_source->source().data() : nullptr;
    if (!replaceSender(m_image, picture, this) || !picture)
        return;
    connectEach(picture, this, &PhotoGridGraphicsItem::_sourceSizeChanged,
        &ImageSource::sizeChanged, &ImageSource::stateChanged);
    connect(picture, &ImageSource::drawQualityIncrized, this, &PhotoGridGraphicsItem::_queueUpdate);
}

void PhotoGridGraphicsItem::_rectChanged()
{
    updateCell();
}

void PhotoGridGraphicsItem::_angleChanged()
{
    if (m_properties)
        setRotation(m_properties->angle());
}

void PhotoGridGraphicsItem::_sourceChanged()
{
    connectSource();
    updatePicture();
}

void PhotoGridGraphicsItem::_sourceImageChanged()
{
    connectImage();
    updatePicture();
}

void PhotoGridGraphicsItem::_sourceTransformChaged()
{
    update();
}

void PhotoGridGraphicsItem::_frameColorChanged()
{
    update();
}

void PhotoGridGraphicsItem::_frameSizeChanged()
{
    updatePicture();
}

void PhotoGridGraphicsItem::_sourceSizeChanged()
{
    updatePicture();
}

void PhotoGridGraphicsItem::_queueUpdate()
{
    update();
}

void PhotoGridGraphicsItem::_fastDrawChanged(bool fastDraw)
{
    // What was drawn cheaply during a drag gets full quality back after it.
    if (!fastDraw && m_paintedFast)
        update();
}

// ---------------------------------------------------------------------------
// Scene

QVariant PhotoGridGraphicsItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    switch (change) {
    case ItemSceneChange:
        detachFromScene();
        break;
    case ItemSceneHasChanged:
        attachToScene(qobject_cast<Scene *>(value.value<QGraphicsScene *>()));
        break;
    case ItemSelectedHasChanged:
        // Selecting or deselecting a cell always ends its image mode.
        setImageMode(false);
        break;
    case ItemPositionHasChanged:
    case ItemTransformHasChanged:
    case ItemScenePositionHasChanged:
    case ItemRotationHasChanged:
    case ItemScaleHasChanged:
        Q_EMIT scenePositionChanged();
        break;
    case ItemCursorHasChanged:
        Q_EMIT cursorChanged(cursor());
        break;
    default:
        break;
    }
    return EditableGraphicsObject::itemChange(change, value);
}

void PhotoGridGraphicsItem::attachToScene(Scene *scene)
{
    if (scene == m_scene)
        return;
    detachFromScene();
    m_scene = scene;
    if (scene)
        connect(scene, &Scene::fastDrawChanged, this, &PhotoGridGraphicsItem::_fastDrawChanged);
}

void PhotoGridGraphicsItem::detachFromScene()
{
    Scene *scene = std::exchange(m_scene, nullptr);
    if (!scene)
        return;
    m_imageMode = false;
    scene->release(this);
}
