#include "imagelevels.h"

#include <cmath>

namespace ImageLevels {

LevelKey decompose(const QTransform &transform)
{
    const qreal sx
        = std::sqrt(transform.m11() * transform.m11() + transform.m12() * transform.m12());
    const qreal sy
        = std::sqrt(transform.m21() * transform.m21() + transform.m22() * transform.m22());
    LevelKey key;
    key.scale = (qAbs(sx) + qAbs(sy)) / 2.0;
    if (sx == 0.0 || sy == 0.0)
        return key; // degenerate: nothing to draw, keep the angle neutral
    // Signs are dropped: a rotation by -a and one by a resample alike.
    key.sin = (qAbs(transform.m12() / sx) + qAbs(transform.m21() / sy)) / 2.0;
    key.cos = (qAbs(transform.m11() / sx) + qAbs(transform.m22() / sy)) / 2.0;
    return key;
}

LevelKey limitPixels(LevelKey key, const QSize &size, int limit)
{
    const qreal w = size.width();
    const qreal h = size.height();
    // The bounding box of the picture rotated and scaled by the key.
    const qreal boxWidth = (w * key.cos + h * key.sin) * key.scale;
    const qreal boxHeight = (w * key.sin + h * key.cos) * key.scale;
    if (std::floor(boxWidth * boxHeight) > limit && w * h > 0)
        key.scale = std::sqrt(limit / (w * h));
    return key;
}

QTransform levelTransform(const LevelKey &key)
{
    return QTransform(
        key.cos * key.scale, key.sin * key.scale, -key.sin * key.scale, key.cos * key.scale, 0, 0);
}

QSize fitToAspect(const QSize &requested, const QSize &aspect)
{
    if (requested.isEmpty() || aspect.isEmpty())
        return QSize();
    // The width the aspect ratio gives at the requested height, compared
    // exactly; the other side is truncated.
    const double widthAtHeight = double(requested.height()) * aspect.width() / aspect.height();
    if (widthAtHeight <= requested.width())
        return QSize(qMax(1, int(widthAtHeight)), requested.height());
    const double heightAtWidth = double(requested.width()) * aspect.height() / aspect.width();
    return QSize(requested.width(), qMax(1, int(heightAtWidth)));
}

QSize scaledSize(const QSize &size, qreal scale)
{
    if (size.isEmpty())
        return QSize();
    const QSize requested(
        qMax(1, qRound(size.width() * scale)), qMax(1, qRound(size.height() * scale)));
    return fitToAspect(requested, size);
}

} // namespace ImageLevels
