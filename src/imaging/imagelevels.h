#pragma once

#include <QSize>
#include <QTransform>
#include <QtGlobal>

// The arithmetic of the image cache's levels, as plain functions that need
// no cache. A level is a picture resampled for one scale and rotation; what
// tells levels apart is the key below.
namespace ImageLevels {

// A transform reduced to what matters for resampling: its scale and its
// rotation folded into [0, 90] degrees.
struct LevelKey
{
    qreal scale = 1.0;
    qreal sin = 0.0;
    qreal cos = 1.0;

    friend bool operator==(const LevelKey &a, const LevelKey &b)
    {
        return a.scale == b.scale && a.sin == b.sin && a.cos == b.cos;
    }
    friend bool operator!=(const LevelKey &a, const LevelKey &b) { return !(a == b); }
    friend bool operator<(const LevelKey &a, const LevelKey &b)
    {
        if (a.scale != b.scale)
            return a.scale < b.scale;
        if (a.sin != b.sin)
            return a.sin < b.sin;
        return a.cos < b.cos;
    }
};

LevelKey decompose(const QTransform &transform);
// `key` with its scale lowered so that a picture of `size` under it covers
// at most `limit` pixels (its rotated bounding box counts).
LevelKey limitPixels(LevelKey key, const QSize &size, int limit);
QTransform levelTransform(const LevelKey &key);
// The size a picture of `size` gets when scaled by `scale` with its aspect
// ratio kept: the scaled size rounded, then shrunk to the aspect ratio of
// `size`.
QSize scaledSize(const QSize &size, qreal scale);
// `requested` shrunk to the aspect ratio of `aspect`.
QSize fitToAspect(const QSize &requested, const QSize &aspect);

} // namespace ImageLevels
