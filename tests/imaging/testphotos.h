#pragma once

// Test inputs made in code: photo-like images, JPEGs with an orientation
// tag, damaged and oversized files.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QList>
#include <QPainter>
#include <QRandomGenerator>
#include <QString>

#include <sys/resource.h>

namespace TestPhotos {

// A gradient with noise, which compresses like a photograph.
inline QImage photoLike(const QSize &size, quint32 seed = 1)
{
    QImage image(size, QImage::Format_RGB32);
    QRandomGenerator random(seed);
    for (int y = 0; y < size.height(); ++y) {
        auto *line = reinterpret_cast<QRgb *>(image.scanLine(y));
        for (int x = 0; x < size.width(); ++x) {
            const int noise = int(random.bounded(40)) - 20;
            const int r = qBound(0, x * 255 / qMax(1, size.width() - 1) + noise, 255);
            const int g = qBound(0, y * 255 / qMax(1, size.height() - 1) + noise, 255);
            const int b = qBound(0, 128 + noise, 255);
            line[x] = qRgb(r, g, b);
        }
    }
    return image;
}

// Four flat quadrants: red top-left, green top-right, blue bottom-left,
// yellow bottom-right. Colours survive JPEG compression well enough to be
// told apart.
inline QImage quadrants(const QSize &size)
{
    QImage image(size, QImage::Format_RGB32);
    QPainter painter(&image);
    const int w = size.width() / 2;
    const int h = size.height() / 2;
    painter.fillRect(0, 0, w, h, Qt::red);
    painter.fillRect(w, 0, size.width() - w, h, Qt::green);
    painter.fillRect(0, h, w, size.height() - h, Qt::blue);
    painter.fillRect(w, h, size.width() - w, size.height() - h, Qt::yellow);
    return image;
}

inline QByteArray encode(
    const QImage &image, const char *format, int quality = -1, bool progressive = false)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.setProgressiveScanWrite(progressive);
    writer.write(image);
    return bytes;
}

inline QByteArray put16(quint16 value, bool little = false)
{
    const char bigEndian[2] = { char(value >> 8), char(value & 0xFF) };
    const char littleEndian[2] = { bigEndian[1], bigEndian[0] };
    return QByteArray(little ? littleEndian : bigEndian, 2);
}

inline QByteArray put32(quint32 value, bool little = false)
{
    return little ? put16(value & 0xFFFF, true) + put16(value >> 16, true)
                  : put16(value >> 16) + put16(value & 0xFFFF);
}

// A JPEG marker segment: marker, big-endian length, payload.
inline QByteArray segment(uchar marker, const QByteArray &payload)
{
    return QByteArray(1, char(0xFF)) + char(marker) + put16(quint16(payload.size() + 2)) + payload;
}

// An Exif payload whose first IFD holds one SHORT entry `tag` = `value`,
// big-endian ("MM") unless `little` is set ("II").
inline QByteArray exifPayload(
    bool little, quint16 value, quint16 magic = 42, quint32 ifdOffset = 8, quint16 tag = 0x0112)
{
    QByteArray tiff = little ? QByteArray("II") : QByteArray("MM");
    tiff += put16(magic, little) + put32(ifdOffset, little);
    tiff += put16(1, little) + put16(tag, little) + put16(3, little) + put32(1, little);
    tiff += put16(value, little) + put16(0, little) + put32(0, little);
    return QByteArray("Exif\0\0", 6) + tiff;
}

// The profile cut into APP2 "ICC_PROFILE" chunks of `chunkSize` bytes,
// numbered in `order` (1-based) of `count`; by default all, in order.
inline QByteArray iccChunks(
    const QByteArray &profile, int chunkSize, QList<int> order = {}, int count = 0)
{
    QList<QByteArray> pieces;
    for (qsizetype at = 0; at < profile.size(); at += chunkSize)
        pieces.append(profile.mid(at, chunkSize));
    if (order.isEmpty()) {
        for (int i = 1; i <= pieces.size(); ++i)
            order.append(i);
    }
    QByteArray segments;
    for (int number : order) {
        QByteArray payload("ICC_PROFILE\0", 12);
        payload.append(char(number)).append(char(count ? count : pieces.size()));
        segments += segment(0xE2, payload + pieces.value(number - 1));
    }
    return segments;
}

// `segments` put right after the start-of-image marker of a JPEG.
inline QByteArray withSegments(const QByteArray &jpeg, const QByteArray &segments)
{
    return jpeg.left(2) + segments + jpeg.mid(2);
}

inline QByteArray withExifOrientation(const QByteArray &jpeg, int orientation)
{
    return withSegments(jpeg, segment(0xE1, exifPayload(false, quint16(orientation))));
}

inline quint32 crc32(const QByteArray &data)
{
    quint32 crc = 0xFFFFFFFFu;
    for (char c : data) {
        crc ^= uchar(c);
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return crc ^ 0xFFFFFFFFu;
}

inline QByteArray pngChunk(const char *type, const QByteArray &data)
{
    const QByteArray body = QByteArray(type, 4) + data;
    return put32(quint32(data.size())) + body + put32(crc32(body));
}

// A well-formed PNG of `size` in the given IHDR bit depth and colour type,
// whose pixel rows are `rows` (all zero bytes: black or clear).
inline QByteArray png(const QSize &size, const QByteArray &depthAndType, qsizetype rows)
{
    const QByteArray header = put32(quint32(size.width())) + put32(quint32(size.height()))
        + depthAndType + QByteArray(3, '\0'); // no interlace
    return QByteArray::fromHex("89504E470D0A1A0A") + pngChunk("IHDR", header)
        + pngChunk("IDAT", qCompress(QByteArray(rows, '\0'), 9).mid(4))
        + pngChunk("IEND", QByteArray());
}

// A small PNG whose header declares `size` but whose data is a few bytes:
// the kind of file that makes a careless decoder allocate gigabytes.
inline QByteArray pngDeclaring(const QSize &size)
{
    return png(size, QByteArray::fromHex("0806"), 64); // 8-bit RGBA
}

inline bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

// Whether `color` is close to `expected` (JPEG shifts colours a little).
inline bool near(QRgb color, const QColor &expected, int tolerance = 48)
{
    return qAbs(qRed(color) - expected.red()) <= tolerance
        && qAbs(qGreen(color) - expected.green()) <= tolerance
        && qAbs(qBlue(color) - expected.blue()) <= tolerance;
}

// The largest difference of any colour channel.
inline int channelDistance(QRgb a, QRgb b)
{
    return qMax(
        qAbs(qRed(a) - qRed(b)), qMax(qAbs(qGreen(a) - qGreen(b)), qAbs(qBlue(a) - qBlue(b))));
}

// The peak memory of this process so far, in megabytes.
inline qint64 peakMemoryMb()
{
    rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss / 1024; // kilobytes on Linux
}

} // namespace TestPhotos
