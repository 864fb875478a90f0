#include "cacheddropshadoweffect.h"

#include <QPainter>

// Qt's own blur, the one QGraphicsDropShadowEffect uses. It is exported by
// QtWidgets but declared in no public header; using it keeps the cached
// shadow pixel for pixel equal to the stock effect.
Q_DECL_IMPORT void qt_blurImage(
    QPainter *p, QImage &blurImage, qreal radius, bool quality, bool alphaOnly, int transposed = 0);

CachedDropShadowEffect::CachedDropShadowEffect(QObject *parent)
    : QGraphicsDropShadowEffect(parent)
{
}

void CachedDropShadowEffect::draw(QPainter *painter)
{
    if (blurRadius() <= 0 && offset().isNull()) {
        drawSource(painter);
        return;
    }

    // The source in device pixels, padded to the shadow's reach, as the
    // stock effect draws it; the graphics view keeps it between repaints
    // while the item's content and transform stay the same.
    QPoint position;
    const QPixmap source
        = sourcePixmap(Qt::DeviceCoordinates, &position, PadToEffectiveBoundingRect);
    if (source.isNull())
        return;

    const qreal deviceScale = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    if (!cacheMatches(source, deviceScale))
        renderShadow(source, deviceScale);
    else
        m_sourceKey = source.cacheKey();

    const QTransform restore = painter->worldTransform();
    painter->setWorldTransform(QTransform());
    painter->drawImage(position, m_shadow);
    painter->drawPixmap(position, source);
    painter->setWorldTransform(restore);
}

bool CachedDropShadowEffect::cacheMatches(const QPixmap &source, qreal deviceScale) const
{
    if (m_shadow.isNull() || m_offset != offset() || m_blurRadius != blurRadius()
        || m_color != color() || m_devicePixelRatio != source.devicePixelRatio()
        || m_deviceScale != deviceScale)
        return false;
    if (source.cacheKey() == m_sourceKey)
        return true;
    // A source drawn anew (a turned item moved, or an item repainted within
    // the same outline) casts the same shadow when its alpha channel is
    // unchanged.
    if (source.size() != m_sourceSize)
        return false;
    return source.toImage().convertToFormat(QImage::Format_Alpha8) == m_sourceAlpha;
}

void CachedDropShadowEffect::renderShadow(const QPixmap &source, qreal deviceScale)
{
    // The same steps as Qt's drop shadow filter: the source at the shadow
    // offset, its alpha blurred, then tinted with the shadow colour.
    QImage shifted(source.size(), QImage::Format_ARGB32_Premultiplied);
    shifted.setDevicePixelRatio(source.devicePixelRatio());
    shifted.fill(0);
    QPainter shiftPainter(&shifted);
    shiftPainter.setCompositionMode(QPainter::CompositionMode_Source);
    shiftPainter.drawPixmap(offset(), source);
    shiftPainter.end();

    QImage blurred(shifted.size(), QImage::Format_ARGB32_Premultiplied);
    blurred.setDevicePixelRatio(source.devicePixelRatio());
    blurred.fill(0);
    QPainter blurPainter(&blurred);
    qt_blurImage(&blurPainter, shifted, blurRadius(), false, true);
    blurPainter.end();

    QPainter tintPainter(&blurred);
    tintPainter.setCompositionMode(QPainter::CompositionMode_SourceIn);
    tintPainter.fillRect(blurred.rect(), color());
    tintPainter.end();

    m_shadow = blurred;
    m_sourceKey = source.cacheKey();
    m_sourceSize = source.size();
    m_sourceAlpha = source.toImage().convertToFormat(QImage::Format_Alpha8);
    m_offset = offset();
    m_blurRadius = blurRadius();
    m_color = color();
    m_devicePixelRatio = source.devicePixelRatio();
    m_deviceScale = deviceScale;
    ++m_blurCount;
}
