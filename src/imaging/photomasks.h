#pragma once

#include <QPainterPath>
#include <QStringList>

class QRectF;

// The outlines a photo can be clipped to, in both layout themes. The codes
// are stored in documents, so their values never change.
namespace PhotoMasks {

enum MaskShape {
    None = 0,
    Circle = 1,
    Heart = 2,
    Star = 3,
    Diamond = 4,
    Hexagon = 5,
};

// Number of mask codes, None included; codes run from 0 to count - 1.
constexpr int maskCount = 6;

// True for the codes that clip (1 ... 5). Unknown codes count as None
// everywhere, because documents may carry values from elsewhere.
bool isActive(int maskShape);

// The translated menu labels, indexed by mask code.
QStringList maskNames();

// The outline of `maskShape` laid into `rect` (y grows downward). None and
// unknown codes give the rectangle itself, so a caller that always clips
// shows the whole photo; callers that skip clipping for None test isActive().
// The heart's control points lie outside `rect`; its curves stay inside.
QPainterPath maskOutline(int maskShape, const QRectF &rect);

} // namespace PhotoMasks
