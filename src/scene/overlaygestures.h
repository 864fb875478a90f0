#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>

class QPainter;

// The geometry that text overlays and stickers share: where on the page
// they sit, which part of them a point grabs, and what a drag step does to
// their position, rotation and scale. Plain functions so that tests can
// check the arithmetic without a scene.
namespace OverlayGestures {

// Scale factor of the border band: the inner 70% of the item's width and
// height moves it, the rest turns and scales it.
constexpr qreal BorderFraction = 0.15;
constexpr qreal MinimumDragScale = 0.01;

// Position of an item on the page from its position in fractions of the
// page width and height.
QPointF pagePoint(const QPointF &fraction, const QRectF &page);

// 0 outside `rect`; 3 (move) inside the rectangle shrunk by 15% of its
// width left and right and 15% of its height top and bottom; 12 (rotate
// and scale) in the remaining border band.
int hitTest(const QRectF &rect, const QPointF &pos);

// The fraction position after the item moved by `delta` page units.
QPointF movedPosition(const QPointF &position, const QPointF &delta, const QSizeF &page);

// The rotation after the pointer went from `last` to `current` around
// `centre` (item coordinates). The step is the angle from the current line
// to the last one, in [0, 360): a clockwise step of x adds x, a
// counter-clockwise one adds 360 - x. A step touching the centre adds 0.
qreal turnedRotation(
    qreal rotation, const QPointF &centre, const QPointF &last, const QPointF &current);

// The scale after the same step: scaled by the ratio of the pointer's
// distances from the centre, never below 0.01. A step that starts on the
// centre has no ratio and keeps the scale.
qreal scaledScale(qreal scale, const QPointF &centre, const QPointF &last, const QPointF &current);

// The frame of a selected overlay or sticker: a thin solid blue outline
// with a faint blue fill.
void paintSelectionFrame(QPainter *painter, const QRectF &rect);

} // namespace OverlayGestures
