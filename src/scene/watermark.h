#pragma once

#include <QString>

class QImage;
class QPainter;
class QSize;

// Where drawWatermark puts the text.
enum WatermarkPosition {
    WatermarkCenter = 0,
    WatermarkBottomRight = 1,
    WatermarkBottomLeft = 2,
    WatermarkTopRight = 3,
    WatermarkTopLeft = 4,
};

// Writes a white text with a soft dark shadow onto an exported image, its
// size following the image height. Does nothing for a null image or an
// empty text. `opacity` is a percentage.
void drawWatermark(QImage *image, const QString &text, int position, int opacity);

// The same onto `painter`, for an image of `imageSize` of which the painter
// may show only a part (a band of a page drawn band by band).
void drawWatermark(
    QPainter *painter, const QSize &imageSize, const QString &text, int position, int opacity);
