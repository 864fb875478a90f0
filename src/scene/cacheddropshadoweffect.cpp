#include "cacheddropshadoweffect.h"

#include <QGraphicsItem>
#include <QPainter>

#include <array>

#include "imaging/drawflags.h"
#include "imaging/largeimage.h"
#include "scene/scene.h"

// Qt's own blur, the one QGraphicsDropShadowEffect uses. It is exported by
// QtWidgets but declared in no public header; using it keeps the cached
// shadow pixel for pixel equal to the stock effect.
Q_DECL_IMPORT void qt_blurImage(
    QPainter *p, QImage &blurImage, qreal radius, bool quality, bool alphaOnly, int transposed = 0);

namespace {

// How many device pixels one pixel of an output shadow is averaged from: a
// power of two that leaves the blur at least eight pixels wide. Qt's blur
// halves once more from a radius of 4, as it does for on-screen shadows.
int reductionFor(qreal blurRadius)
{
    int factor = 1;
    while (factor < 16 && blurRadius / (factor * 2) >= 8)
        factor *= 2;
    return factor;
}

} // namespace

CachedDropShadowEffect::CachedDropShadowEffect(QGraphicsItem *item, QObject *parent)
    : QGraphicsDropShadowEffect(parent)
    , m_item(item)
{
}

void CachedDropShadowEffect::draw(QPainter *painter)
{
    if (blurRadius() <= 0 && offset().isNull()) {
        drawSource(painter);
        return;
    }
    if (rendersForOutput()) {
        // A pass that only notes pictures needs no shadow.
        if (Scene::drawFlags(m_item) & CollectImages)
            drawSource(painter);
        else
            drawForOutput(painter);
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

bool CachedDropShadowEffect::rendersForOutput() const
{
    return m_item && (Scene::drawFlags(m_item) & DirectRender);
}

void CachedDropShadowEffect::drawForOutput(QPainter *painter)
{
    const QPaintDevice *device = painter->device();
    const QRect deviceRect(0, 0, device->width(), device->height());
    const QRect rect
        = boundingRectFor(sourceBoundingRect(Qt::DeviceCoordinates)).toAlignedRect() & deviceRect;
    if (rect.isEmpty())
        return;
    QImage content = LargeImage::create(rect.size(), QImage::Format_ARGB32_Premultiplied);
    if (content.isNull() || device->devicePixelRatio() != 1) {
        drawSource(painter); // no room for a buffer: the page without its shadow
        return;
    }
    content.fill(Qt::transparent);
    {
        QPainter contentPainter(&content);
        contentPainter.setRenderHints(painter->renderHints());
        contentPainter.setWorldTransform(
            painter->worldTransform() * QTransform::fromTranslate(-rect.x(), -rect.y()));
        drawSource(&contentPainter);
    }

    int factor = reductionFor(blurRadius());
    const QImage shadow = reducedShadow(content, &factor);
    const QTransform restore = painter->worldTransform();
    painter->setWorldTransform(QTransform());
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(QRectF(rect.topLeft() + offset(), QSizeF(shadow.size() * factor)), shadow);
    painter->restore();
    painter->drawImage(rect.topLeft(), content);
    painter->setWorldTransform(restore);
}

QImage CachedDropShadowEffect::reducedShadow(const QImage &content, int *reduction) const
{
    const int factor = *reduction;
    // The alpha channel averaged over blocks of factor x factor pixels.
    const QSize size(
        (content.width() + factor - 1) / factor, (content.height() + factor - 1) / factor);
    QImage alpha(size, QImage::Format_ARGB32_Premultiplied);
    std::vector<quint32> sums(size_t(size.width()));
    const quint32 area = quint32(factor * factor);
    for (int y = 0; y < size.height(); ++y) {
        std::fill(sums.begin(), sums.end(), 0);
        const int lastRow = qMin(content.height(), (y + 1) * factor);
        for (int row = y * factor; row < lastRow; ++row) {
            const auto *line = reinterpret_cast<const QRgb *>(content.constScanLine(row));
            for (int block = 0; block < size.width(); ++block) {
                const int end = qMin(content.width(), (block + 1) * factor);
                quint32 sum = 0;
                for (int x = block * factor; x < end; ++x)
                    sum += quint32(qAlpha(line[x]));
                sums[size_t(block)] += sum;
            }
        }
        auto *out = reinterpret_cast<QRgb *>(alpha.scanLine(y));
        for (int x = 0; x < size.width(); ++x)
            out[x] = qRgba(0, 0, 0, int((sums[size_t(x)] + area / 2) / area));
    }
    // Without a painter Qt's blur leaves its result in `alpha`, at half
    // the size when it reduced once more.
    if (blurRadius() > 0)
        qt_blurImage(nullptr, alpha, blurRadius() / factor, false, true);
    if (alpha.width() < size.width())
        *reduction *= 2;

    // Tinted as the stock filter does: the colour kept where the blur is.
    std::array<QRgb, 256> tint;
    const QColor shade = color();
    for (int value = 0; value < 256; ++value)
        tint[size_t(value)] = qPremultiply(
            qRgba(shade.red(), shade.green(), shade.blue(), (value * shade.alpha() + 127) / 255));
    for (int y = 0; y < alpha.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(alpha.scanLine(y));
        for (int x = 0; x < alpha.width(); ++x)
            line[x] = tint[size_t(qAlpha(line[x]))];
    }
    return alpha;
}
