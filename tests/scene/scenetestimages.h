#pragma once

// Pixel checks the scene and output tests share.

#include <QImage>
#include <QRect>

#include <functional>

#include "imaging/testphotos.h"

using TestPhotos::near;

// The largest difference of any colour channel between two images.
inline int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            largest = qMax(largest, TestPhotos::channelDistance(a.pixel(x, y), b.pixel(x, y)));
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
