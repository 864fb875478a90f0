#include "stickeritem.h"

#include <QPainter>
#include <QSvgRenderer>

#include "model/stickerproperties.h"
#include "scene/connecteach.h"

StickerItem::StickerItem(StickerProperties *properties, QGraphicsItem *parent)
    : OverlayItem(properties, tr("Rotate sticker"), parent)
    , m_properties(properties)
{
    if (properties) {
        connectEach(properties, this, &StickerItem::onPropertyChanged,
            &StickerProperties::stickerPathChanged, &StickerProperties::positionChanged,
            &StickerProperties::rotationChanged, &StickerProperties::scaleChanged,
            &StickerProperties::opacityChanged);
    }
    onPropertyChanged();
}

StickerItem::~StickerItem() = default;

StickerProperties *StickerItem::properties() const
{
    return m_properties;
}

void StickerItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    painter->save();
    painter->setRenderHint(QPainter::Antialiasing, true);
    painter->setRenderHint(QPainter::SmoothPixmapTransform, true);
    if (m_renderer)
        m_renderer->render(painter, overlayRect());
    else if (!m_pixmap.isNull())
        // The rectangle is in page units, which may be inches: rounding it
        // to whole units would distort the picture.
        painter->drawPixmap(overlayRect(), m_pixmap, QRectF(m_pixmap.rect()));
    painter->restore();

    paintSelection(painter);
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
        setOverlayRect(QRectF(-side / 2, -(side / aspect) / 2, side, side / aspect));
    else
        setOverlayRect(QRectF(-(side * aspect) / 2, -side / 2, side * aspect, side));
    applyPlacement();
    update();
}
