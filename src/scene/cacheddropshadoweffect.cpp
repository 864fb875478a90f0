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
        const auto *scene = qobject_cast<const Scene *>(m_item->scene());
        const QRect bandOutput = scene ? scene->bandOutput() : QRect();
        if (Scene::drawFlags(m_item) & CollectImages) {
            // A pass that only notes pictures needs no shadow. In bands the
            // item is drawn by the first band that shows it, and by later
            // ones only when it is too large to be kept between bands.
            if (bandOutput.isNull() || !m_bandNoted || !keepsBandContent(bandOutput))
                drawSource(painter);
            m_bandNoted = true;
        } else if (!bandOutput.isNull()) {
            drawForBandOutput(painter, bandOutput);
        } else {
            drawForOutput(painter);
        }
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

QImage CachedDropShadowEffect::sourceImage(QPainter *painter, const QRect &rect)
{
    if (painter->device()->devicePixelRatio() != 1)
        return QImage();
    QImage content = LargeImage::create(rect.size(), QImage::Format_ARGB32_Premultiplied);
    if (content.isNull())
        return content;
    content.fill(Qt::transparent);
    {
        QPainter contentPainter(&content);
        contentPainter.setRenderHints(painter->renderHints());
        contentPainter.setWorldTransform(
            painter->worldTransform() * QTransform::fromTranslate(-rect.x(), -rect.y()));
        drawSource(&contentPainter);
    }
    return content;
}

void CachedDropShadowEffect::drawForOutput(QPainter *painter)
{
    const QPaintDevice *device = painter->device();
    const QRect rect = outputRect(QRect(0, 0, device->width(), device->height()));
    QImage content;
    QImage shadow;
    int factor = 1;
    if (!makeContentAndShadow(painter, rect, &content, &shadow, &factor))
        return;
    const QTransform restore = painter->worldTransform();
    painter->setWorldTransform(QTransform());
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(QRectF(rect.topLeft() + offset(), QSizeF(shadow.size() * factor)), shadow);
    painter->restore();
    painter->drawImage(rect.topLeft(), content);
    painter->setWorldTransform(restore);
}

QRect CachedDropShadowEffect::outputRect(const QRect &output) const
{
    return boundingRectFor(sourceBoundingRect(Qt::DeviceCoordinates)).toAlignedRect() & output;
}

bool CachedDropShadowEffect::keepsBandContent(const QRect &output) const
{
    const QRect rect = outputRect(output);
    return qint64(rect.width()) * rect.height() * 4 <= MaximumKeptBandBytes;
}

void CachedDropShadowEffect::drawLargeForBandOutput(QPainter *painter, const QRect &output)
{
    if (!m_bandMade) {
        m_bandMade = true;
        const QRect rect = outputRect(output);
        if (rect.isEmpty())
            return;
        // The shadow is soft: it is made from the item drawn straight at the
        // reduced size, without a buffer of the item's full size.
        int factor = reductionFor(blurRadius());
        QImage reduced((rect.width() + factor - 1) / factor, (rect.height() + factor - 1) / factor,
            QImage::Format_ARGB32_Premultiplied);
        if (!reduced.isNull() && painter->device()->devicePixelRatio() == 1) {
            reduced.fill(Qt::transparent);
            {
                QPainter reducedPainter(&reduced);
                reducedPainter.setRenderHints(painter->renderHints());
                reducedPainter.setWorldTransform(painter->worldTransform()
                    * QTransform::fromTranslate(-rect.x(), -rect.y())
                    * QTransform::fromScale(1.0 / factor, 1.0 / factor));
                drawSource(&reducedPainter);
            }
            m_bandShadow = shadowFromReduced(reduced, &factor);
            m_bandShadowRect = QRectF(QPointF(rect.topLeft() - output.topLeft()) + offset(),
                QSizeF(m_bandShadow.size() * factor));
        }
    }
    drawBandShadow(painter, output);
    drawSource(painter);
}

void CachedDropShadowEffect::drawForBandOutput(QPainter *painter, const QRect &output)
{
    const QPaintDevice *device = painter->device();
    if (!keepsBandContent(output)) {
        drawLargeForBandOutput(painter, output);
        return;
    }
    if (!m_bandMade) {
        m_bandMade = true;
        // The item is measured against the whole output, as drawForOutput()
        // does, so that the bands together show what the whole page would.
        const QRect rect = outputRect(output);
        QImage content;
        int factor = 1;
        if (!makeContentAndShadow(painter, rect, &content, &m_bandShadow, &factor))
            return;
        m_bandShadowRect = QRectF(QPointF(rect.topLeft() - output.topLeft()) + offset(),
            QSizeF(m_bandShadow.size() * factor));
        m_bandContent = content;
        m_bandContentPosition = rect.topLeft() - output.topLeft();
    }
    drawBandShadow(painter, output);
    if (m_bandContent.isNull())
        return;
    const QTransform restore = painter->worldTransform();
    painter->setWorldTransform(QTransform());
    painter->drawImage(m_bandContentPosition + output.topLeft(), m_bandContent);
    painter->setWorldTransform(restore);

    // Only what lies below this band is needed again.
    const int drawnRows = device->height() - (m_bandContentPosition.y() + output.top());
    if (drawnRows >= m_bandContent.height()) {
        m_bandContent = QImage();
    } else if (drawnRows > 0) {
        m_bandContent = m_bandContent.copy(
            0, drawnRows, m_bandContent.width(), m_bandContent.height() - drawnRows);
        m_bandContentPosition.ry() += drawnRows;
    }
}

void CachedDropShadowEffect::drawBandShadow(QPainter *painter, const QRect &output)
{
    if (m_bandShadow.isNull())
        return;
    const QTransform restore = painter->worldTransform();
    painter->setWorldTransform(QTransform());
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    painter->drawImage(m_bandShadowRect.translated(output.topLeft()), m_bandShadow);
    painter->restore();
    painter->setWorldTransform(restore);
    // Not needed again once the bands are past it.
    if (m_bandShadowRect.bottom() + output.top() <= painter->device()->height())
        m_bandShadow = QImage();
}

bool CachedDropShadowEffect::makeContentAndShadow(
    QPainter *painter, const QRect &rect, QImage *content, QImage *shadow, int *factor)
{
    if (rect.isEmpty())
        return false;
    *content = sourceImage(painter, rect);
    if (content->isNull()) {
        drawSource(painter); // no room for a buffer: the item without its shadow
        return false;
    }
    *factor = reductionFor(blurRadius());
    *shadow = reducedShadow(*content, factor);
    return true;
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
    return shadowFromReduced(alpha, reduction);
}

QImage CachedDropShadowEffect::shadowFromReduced(QImage alpha, int *reduction) const
{
    const int factor = *reduction;
    const QSize size = alpha.size();
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
