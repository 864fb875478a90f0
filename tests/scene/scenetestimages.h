#pragma once

// Pixel checks the scene and output tests share.

#include <QColor>
#include <QImage>
#include <QRect>

#include <algorithm>
#include <functional>

// Whether every colour channel of `pixel` is within `tolerance` of `colour`.
inline bool near(QRgb pixel, const QColor &colour, int tolerance)
{
    return qAbs(qRed(pixel) - colour.red()) <= tolerance
        && qAbs(qGreen(pixel) - colour.green()) <= tolerance
        && qAbs(qBlue(pixel) - colour.blue()) <= tolerance;
}

// The largest difference of any colour channel between two images.
inline int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x) {
            const QRgb p = a.pixel(x, y), q = b.pixel(x, y);
            largest = std::max({ largest, qAbs(qRed(p) - qRed(q)), qAbs(qGreen(p) - qGreen(q)),
                qAbs(qBlue(p) - qBlue(q)) });
        }
    }
    return largest;
}

// How many pixels of `area` match.
inline int countPixels(
    const QImage &image, const QRect &area, const std::function<bool(QRgb)> &match)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += match(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}
