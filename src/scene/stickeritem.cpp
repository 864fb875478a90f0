#include "stickeritem.h"

#include <QCursor>
#include <QPainter>
#include <QPainterPath>
#include <QSvgRenderer>

#include "model/stickerproperties.h"
#include "scene/documentinneritem.h"
#include "scene/overlaygestures.h"

StickerItem::StickerItem(StickerProperties *properties, QGraphicsItem *parent)
    : OverlayItem(properties, tr("Rotate sticker"), parent)
    , m_properties(properties)
{
    // Movable stays off: the item moves only through its parts, so that
    // every move is an undoable edit.
    setFlag(ItemIsSelectable, true);
    setFlag(ItemIsMovable, false);
    setAcceptHoverEvents(true);
    setCursor(Qt::SizeAllCursor);

    if (properties) {
        connect(properties, &StickerProperties::stickerPathChanged, this,
            &StickerItem::onPropertyChanged);
        connect(properties, &StickerProperties::positionChanged, this,
            &StickerItem::onPropertyChanged);
        connect(properties, &StickerProperties::rotationChanged, this,
            &StickerItem::onPropertyChanged);
        connect(properties, &StickerProperties::scaleChanged, this,
            &StickerItem::onPropertyChanged);
        connect(properties, &StickerProperties::opacityChanged, this,
            &StickerItem::onPropertyChanged);
    }
    followPage();
    onPropertyChanged();
}

StickerItem::~StickerItem() = default;

StickerProperties *StickerItem::properties() const
{
    return m_properties;
}

QRectF StickerItem::boundingRect() const
{
    return m_stickerRect;
}

QPainterPath StickerItem::shape() const
{
    QPainterPath path;
    path.addRect(m_stickerRect);
    return path;
}

void StickerItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (m_renderer)
        m_renderer->render(painter, m_stickerRect);
    else if (!m_pixmap.isNull())
        // The rectangle is in page units, which may be inches: rounding it
        // to whole units would distort the picture.
        painter->drawPixmap(m_stickerRect, m_pixmap, QRectF(m_pixmap.rect()));
    painter->restore();

    if (isSelected())
        OverlayGestures::paintSelectionFrame(painter, m_stickerRect);
}

int StickerItem::hitTest(const QPointF &pos)
{
    return OverlayGestures::hitTest(m_stickerRect, pos);
}

QPointF StickerItem::transformCenter() const
{
    return m_stickerRect.center();
}

void StickerItem::onPropertyChanged()
{
    if (!m_properties)
        return;
    const QString path = m_properties->stickerPath();
    if (!m_loaded || path != m_loadedPath)
        load(path);
    layOut();
}

void StickerItem::load(const QString &path)
{
    m_renderer.reset();
    m_pixmap = QPixmap();
    m_loadedPath = path;
    m_loaded = true;
    if (path.isEmpty())
        return;
    if (path.endsWith(QLatin1String(".svg"), Qt::CaseInsensitive)) {
        m_renderer = std::make_unique<QSvgRenderer>(path);
        if (!m_renderer->isValid())
            m_renderer.reset();
    } else {
        m_pixmap.load(path);
    }
}

void StickerItem::layOut()
{
    prepareGeometryChange();

    // Without a page the sticker has no size yet; it gets one when it is
    // put on a page.
    qreal side = 0;
    QRectF page;
    if (QGraphicsItem *parent = parentItem()) {
        page = parent->boundingRect();
        side = PageFraction * qMin(page.width(), page.height());
    }

    qreal aspect = 1;
    if (m_renderer && !m_renderer->viewBoxF().isEmpty())
        aspect = m_renderer->viewBoxF().width() / m_renderer->viewBoxF().height();
    else if (!m_pixmap.isNull())
        aspect = qreal(m_pixmap.width()) / m_pixmap.height();

    // The longer side is `side`; the other follows the picture's aspect.
    if (aspect >= 1)
        m_stickerRect = QRectF(-side / 2, -(side / aspect) / 2, side, side / aspect);
    else
        m_stickerRect = QRectF(-(side * aspect) / 2, -side / 2, side * aspect, side);

    if (parentItem())
        setPos(OverlayGestures::pagePoint(m_properties->position(), page));
    setRotation(m_properties->rotation());
    setScale(m_properties->scale());
    setOpacity(m_properties->opacity());
    update();
}

QVariant StickerItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemParentHasChanged) {
        followPage();
        onPropertyChanged();
    }
    return EditableGraphicsObject::itemChange(change, value);
}

void StickerItem::followPage()
{
    // Size and position are fractions of the page: a new page size resizes
    // and moves the sticker with it.
    auto *page = qobject_cast<DocumentInnerItem *>(parentObject());
    if (page == m_page)
        return;
    if (m_page)
        disconnect(m_page, nullptr, this, nullptr);
    m_page = page;
    if (page)
        connect(page, &DocumentInnerItem::geometryChanged, this, &StickerItem::onPropertyChanged);
}
