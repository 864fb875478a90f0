#pragma once

// Shared by the artwork tools, which are built from one source file each.

#include <QImage>
#include <QPainter>
#include <QSaveFile>
#include <QSvgRenderer>

// Renders the SVG at `size` times `scale` pixels onto transparency and
// writes it to `path` as a PNG that says it stands for `size`.
inline bool writeSvgAsPng(QSvgRenderer &renderer, const QSize &size, int scale, const QString &path)
{
    QImage image(size * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    renderer.render(&painter, QRectF(QPointF(0, 0), QSizeF(size * scale)));
    painter.end();
    if (scale > 1)
        image.setDevicePixelRatio(scale);
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && image.save(&file, "PNG") && file.commit();
}
