#pragma once

// Test inputs made in code: photo-like images, JPEGs with an orientation
// tag, damaged and oversized files.

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QRandomGenerator>
#include <QString>
#include <QtEndian>

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

inline QByteArray encode(const QImage &image, const char *format, int quality = -1)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    QImageWriter writer(&buffer, format);
    writer.setQuality(quality);
    writer.write(image);
    return bytes;
}

// Inserts an Exif block carrying `orientation` right after the
// start-of-image marker of a JPEG.
// The block is big-endian ("MM") unless `littleEndian` is set ("II").
inline QByteArray withExifOrientation(QByteArray jpeg, int orientation, bool littleEndian = false)
{
    QByteArray tiff;
    if (littleEndian) {
        tiff.append("II", 2);
        tiff.append(QByteArray::fromHex("2A0008000000")); // magic 42, IFD0 at offset 8
        tiff.append(QByteArray::fromHex("0100")); // one entry
        tiff.append(QByteArray::fromHex("12010300"
                                        "01000000")); // Orientation, SHORT, count 1
        const uchar value[4] = { uchar(orientation), 0, 0, 0 };
        tiff.append(reinterpret_cast<const char *>(value), 4);
    } else {
        tiff.append("MM", 2);
        tiff.append(QByteArray::fromHex("002A00000008"));
        tiff.append(QByteArray::fromHex("0001"));
        tiff.append(QByteArray::fromHex("01120003"
                                        "00000001"));
        const uchar value[4] = { 0, uchar(orientation), 0, 0 };
        tiff.append(reinterpret_cast<const char *>(value), 4);
    }
    tiff.append(QByteArray::fromHex("00000000")); // no next IFD
    QByteArray payload("Exif\0\0", 6);
    payload.append(tiff);
    QByteArray segment = QByteArray::fromHex("FFE1");
    const quint16 length = quint16(payload.size() + 2);
    segment.append(char(length >> 8)).append(char(length & 0xFF));
    segment.append(payload);
    jpeg.insert(2, segment);
    return jpeg;
}

// Inserts `profile` as APP2 "ICC_PROFILE" chunks of at most `chunkSize`
// bytes right after the start-of-image marker, as cameras and phones do.
inline QByteArray withIccProfile(
    const QByteArray &jpeg, const QByteArray &profile, int chunkSize = 65000)
{
    QByteArray segments;
    const int count = int((profile.size() + chunkSize - 1) / chunkSize);
    for (int i = 0; i < count; ++i) {
        QByteArray payload("ICC_PROFILE\0", 12);
        payload.append(char(i + 1)).append(char(count));
        payload.append(profile.mid(qsizetype(i) * chunkSize, chunkSize));
        const int length = int(payload.size()) + 2;
        segments.append(char(0xFF)).append(char(0xE2));
        segments.append(char(length >> 8)).append(char(length & 0xFF));
        segments.append(payload);
    }
    return jpeg.left(2) + segments + jpeg.mid(2);
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
    QByteArray chunk;
    const quint32 length = qToBigEndian(quint32(data.size()));
    chunk.append(reinterpret_cast<const char *>(&length), 4);
    QByteArray body(type, 4);
    body.append(data);
    chunk.append(body);
    const quint32 crc = qToBigEndian(crc32(body));
    chunk.append(reinterpret_cast<const char *>(&crc), 4);
    return chunk;
}

// A small, well-formed PNG whose header declares `size`: the kind of file
// that makes a careless decoder allocate gigabytes.
inline QByteArray pngDeclaring(const QSize &size)
{
    QByteArray png = QByteArray::fromHex("89504E470D0A1A0A");
    QByteArray header;
    const quint32 width = qToBigEndian(quint32(size.width()));
    const quint32 height = qToBigEndian(quint32(size.height()));
    header.append(reinterpret_cast<const char *>(&width), 4);
    header.append(reinterpret_cast<const char *>(&height), 4);
    header.append(QByteArray::fromHex("0806000000")); // 8-bit RGBA, no interlace
    png.append(pngChunk("IHDR", header));
    png.append(pngChunk("IDAT", qCompress(QByteArray(64, '\0')).mid(4)));
    png.append(pngChunk("IEND", QByteArray()));
    return png;
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

} // namespace TestPhotos
