#include "watermark.h"

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>

namespace {

QPointF baselineOrigin(int position, const QSizeF &image, const QRectF &text, qreal margin)
{
    const qreal w = image.width(), h = image.height();
    const qreal tw = text.width(), th = text.height();
    switch (position) {
    case WatermarkBottomRight:
        return { w - tw - margin, h - margin };
    case WatermarkBottomLeft:
        return { margin, h - margin };
    case WatermarkTopRight:
        return { w - tw - margin, th + margin };
    case WatermarkTopLeft:
        return { margin, th + margin };
    case WatermarkCenter:
    default:
        return { (w - tw) / 2, (h + th) / 2 };
    }
}

} // namespace

void drawWatermark(QImage *image, const QString &text, int position, int opacity)
{
    if (!image || image->isNull() || text.isEmpty())
        return;
    QPainter painter(image);
    drawWatermark(&painter, image->size(), text, position, opacity);
}

void drawWatermark(
    QPainter *painter, const QSize &imageSize, const QString &text, int position, int opacity)
{
    if (!painter || imageSize.isEmpty() || text.isEmpty())
        return;
    painter->save();
    painter->setRenderHints(QPainter::Antialiasing | QPainter::TextAntialiasing);

    const qreal size = qMax(imageSize.height() * 0.03, 12.0);
    QFont font(QStringLiteral("Helvetica"));
    font.setPointSize(int(size));
    font.setWeight(QFont::Medium);
    painter->setFont(font);

    const QRectF bounds = QFontMetricsF(font).boundingRect(text);
    const QPointF origin = baselineOrigin(position, imageSize, bounds, size * 1.5);
    const qreal alpha = opacity / 100.0;

    painter->setPen(QColor(0, 0, 0, int(alpha * 80)));
    painter->drawText(origin + QPointF(size * 0.05, size * 0.05), text);
    painter->setPen(QColor(255, 255, 255, int(alpha * 255)));
    painter->drawText(origin, text);
    painter->restore();
}
