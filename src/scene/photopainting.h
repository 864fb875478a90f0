#pragma once

#include <functional>

class FrameProperties;
class QPainter;
class QPainterPath;
class QRectF;

// The drawing that photos of both layout themes share: frame, photo and
// selection outline, in that order.
namespace PhotoPainting {

// Fills `rect` with the frame colour while frames are on.
void paintFrame(QPainter *painter, const QRectF &rect, const FrameProperties *frames);

// Draws a photo through `draw`, clipped to `clip` (unless it is empty) and
// with colour filter `filter` over `rect`. `flags` are the scene's draw
// flags of this pass.
void paintPhoto(QPainter *painter, int flags, int filter, const QRectF &rect,
    const QPainterPath &clip, const std::function<void(QPainter *)> &draw);

// The selection outline along the inside of `rect`, two device pixels
// thick at any zoom.
void paintSelectionRing(QPainter *painter, const QRectF &rect);

} // namespace PhotoPainting
