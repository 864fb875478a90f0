#pragma once

#include <QImage>
#include <QImageWriter>
#include <QRandomGenerator>
#include <QSize>
#include <QString>

// Test photos for the benchmarks, made in memory.
namespace BenchPhotos {

// Noise over two crossing gradients, with a few soft bands, so that the
// encoder sees something like a photograph rather than flat colour.
inline QImage photograph(const QSize &size, quint32 seed)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    const int phase = int(seed % 97);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        const int band = ((y + phase * 13) / 37) % 2 ? 12 : -12;
        for (int x = 0; x < size.width(); x += 2) {
            const quint32 bits = random.generate();
            for (int k = 0; k < 2 && x + k < size.width(); ++k) {
                const int n = int((bits >> (k * 16)) & 0x1F) - 16;
                const int r = qBound(0, (x + k) * 230 / size.width() + 10 + n + band, 255);
                const int g = qBound(0, y * 200 / size.height() + 30 + n, 255);
                const int b = qBound(0, ((x + k + y + phase) % 512) / 3 + 40 + n - band, 255);
                line[x + k] = qRgb(r, g, b);
            }
        }
    }
    return image;
}

inline bool writePhoto(const QString &path, const QSize &size, quint32 seed, const char *format)
{
    QImageWriter writer(path, format);
    if (qstrcmp(format, "jpeg") == 0) {
        writer.setQuality(90);
        writer.setProgressiveScanWrite(false);
        writer.setOptimizedWrite(false);
    }
    return writer.write(photograph(size, seed));
}

} // namespace BenchPhotos
