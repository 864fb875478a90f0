#include "imaging/imagefilters.h"

#include <QCoreApplication>
#include <QPaintDevice>
#include <QPainter>
#include <QPainterPath>
#include <QRectF>

#include <array>
#include <cmath>

#include "imaging/translatedlabels.h"

namespace ImageFilters {

namespace {

const char *const filterLabels[filterCount] = {
    QT_TRANSLATE_NOOP("ImageFilters", "None"),
    QT_TRANSLATE_NOOP("ImageFilters", "Grayscale"),
    QT_TRANSLATE_NOOP("ImageFilters", "Sepia"),
    QT_TRANSLATE_NOOP("ImageFilters", "Warm"),
    QT_TRANSLATE_NOOP("ImageFilters", "Cool"),
    QT_TRANSLATE_NOOP("ImageFilters", "High Contrast"),
};

// Every filter is an optional grey conversion followed by one lookup per
// channel, so a pixel costs a few table reads whatever the filter.
struct ChannelTables
{
    bool grayFirst = false;
    std::array<uchar, 256> red {};
    std::array<uchar, 256> green {};
    std::array<uchar, 256> blue {};
};

uchar clampChannel(int value)
{
    return uchar(qBound(0, value, 255));
}

ChannelTables makeTables(int filterType)
{
    ChannelTables t;
    t.grayFirst = filterType == Grayscale || filterType == Sepia;
    for (int c = 0; c < 256; ++c) {
        int r = c, g = c, b = c;
        switch (filterType) {
        case Sepia:
            r = c + 30;
            g = c + 10;
            b = c - 20;
            break;
        case Warm:
            r = c + 20;
            g = c + 10;
            b = c - 15;
            break;
        case Cool:
            r = c - 15;
            g = c + 5;
            b = c + 25;
            break;
        case HighContrast:
            // Converting to int truncates toward zero, as the formula asks.
            r = g = b = int((c - 128) * 1.5 + 128);
            break;
        default:
            break;
        }
        t.red[c] = clampChannel(r);
        t.green[c] = clampChannel(g);
        t.blue[c] = clampChannel(b);
    }
    return t;
}

const ChannelTables &tablesFor(int filterType)
{
    static const std::array<ChannelTables, filterCount> tables = [] {
        std::array<ChannelTables, filterCount> all;
        for (int i = 0; i < filterCount; ++i)
            all[i] = makeTables(i);
        return all;
    }();
    return tables[filterType];
}

inline QRgb filterStraight(QRgb p, const ChannelTables &t)
{
    int r = qRed(p), g = qGreen(p), b = qBlue(p);
    if (t.grayFirst)
        r = g = b = (299 * r + 587 * g + 114 * b) / 1000;
    return qRgba(t.red[r], t.green[g], t.blue[b], qAlpha(p));
}

void filterStraightLine(QRgb *line, int width, const ChannelTables &t)
{
    for (int x = 0; x < width; ++x)
        line[x] = filterStraight(line[x], t);
}

// Premultiplied pixels are filtered on their straight colours; otherwise a
// brightening filter would push a colour above its alpha and corrupt the
// pixel. Opaque and fully transparent pixels need no conversion.
void filterPremultipliedLine(QRgb *line, int width, const ChannelTables &t)
{
    for (int x = 0; x < width; ++x) {
        const QRgb p = line[x];
        const int alpha = qAlpha(p);
        if (alpha == 255)
            line[x] = filterStraight(p, t);
        else if (alpha != 0)
            line[x] = qPremultiply(filterStraight(qUnpremultiply(p), t));
    }
}

} // namespace

bool isActive(int filterType)
{
    return filterType > None && filterType < filterCount;
}

QStringList filterNames()
{
    return translatedLabels("ImageFilters", filterLabels);
}

QRgb filterPixel(QRgb argb, int filterType)
{
    if (!isActive(filterType))
        return argb;
    return filterStraight(argb, tablesFor(filterType));
}

QImage applyFilter(QImage image, int filterType)
{
    if (!isActive(filterType) || image.isNull())
        return image;

    switch (image.format()) {
    case QImage::Format_RGB32:
    case QImage::Format_ARGB32:
    case QImage::Format_ARGB32_Premultiplied:
        break;
    default:
        image.convertTo(
            image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
        break;
    }

    const ChannelTables &tables = tablesFor(filterType);
    const bool premultiplied = image.format() == QImage::Format_ARGB32_Premultiplied;
    const int width = image.width();
    for (int y = 0; y < image.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        if (premultiplied)
            filterPremultipliedLine(line, width, tables);
        else
            filterStraightLine(line, width, tables);
    }
    return image;
}

void paintFiltered(QPainter *painter, const QRectF &rect, int filterType, const QPainterPath &clip,
    const std::function<void(QPainter *)> &paintContent)
{
    if (!painter || !paintContent)
        return;

    // The device transform includes the device pixel ratio, so the buffer
    // holds real device pixels and the filter works at output resolution.
    const QTransform toDevice = painter->deviceTransform();
    QRect deviceRect = toDevice.mapRect(rect).toAlignedRect();

    // Only the part on the device can be seen; a deep zoom would otherwise
    // ask for a buffer far larger than the screen. The bound is generous
    // because devices disagree on whether their size is in device pixels.
    if (const QPaintDevice *device = painter->device()) {
        const int ratio = int(std::ceil(qMax<qreal>(1.0, device->devicePixelRatio())));
        if (device->width() > 0 && device->height() > 0)
            deviceRect &= QRect(0, 0, device->width() * ratio, device->height() * ratio);
    }
    if (deviceRect.isEmpty())
        return;

    QImage buffer(deviceRect.size(), QImage::Format_ARGB32_Premultiplied);
    if (buffer.isNull())
        return;
    buffer.fill(Qt::transparent);
    {
        QPainter offscreen(&buffer);
        offscreen.setRenderHints(painter->renderHints());
        offscreen.setTransform(
            toDevice * QTransform::fromTranslate(-deviceRect.left(), -deviceRect.top()));
        if (!clip.isEmpty())
            offscreen.setClipPath(clip);
        paintContent(&offscreen);
    }
    buffer = applyFilter(std::move(buffer), filterType);

    const qreal ratio = painter->device() ? painter->device()->devicePixelRatio() : 1.0;
    buffer.setDevicePixelRatio(ratio);
    painter->save();
    painter->resetTransform();
    painter->drawImage(QPointF(deviceRect.topLeft()) / ratio, buffer);
    painter->restore();
}

} // namespace ImageFilters
