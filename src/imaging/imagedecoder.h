#pragma once

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

#include <memory>

// Decodes one image file, upright and within safe limits.
//
// The orientation tag of photos is applied, so sizes and pixels are those of
// the picture as it is meant to be seen. A file is refused (size() invalid,
// read() null) when it is missing, not an image, truncated, or declares more
// pixels than the program is prepared to handle; the declared size is
// checked before any pixel buffer is allocated.
//
// Pictures come back in sRGB: an embedded colour profile (a phone's Display
// P3, a camera's Adobe RGB) is converted, so colours match other viewers.
// HEIC and AVIF photos are read through libheif when it is built in.
//
// A JPEG can be decoded at a reduced scale: read(scale) returns the
// smallest reduction the decoder supports that still covers `scale` times
// the full size, so a caller that needs a small version of a large photo
// does not pay for decoding every pixel.
class ImageDecoder
{
public:
    // No picture larger than this is accepted, whatever its format.
    static constexpr qint64 maximumPixels = qint64(1) << 28;
    // The most memory one decode may allocate for its pixels.
    static constexpr qint64 maximumDecodeBytes = qint64(512) << 20;

    explicit ImageDecoder(const QString &path);
    // A decoder of bytes held in memory, for data that never was a file.
    static std::unique_ptr<ImageDecoder> fromData(const QByteArray &data);
    ~ImageDecoder();
    Q_DISABLE_COPY(ImageDecoder)

    // The upright full size; invalid when the file cannot be decoded (and,
    // for the rare formats that tell their size only by decoding, until
    // read() has succeeded).
    QSize size() const;
    // False once the file is known to be unreadable or refused.
    bool canRead() const;
    // The Exif orientation (1 to 8) found for a JPEG, 1 otherwise.
    int orientation() const;
    QString errorString() const;

    // Decodes the upright picture, in RGB32 or, when it has transparency,
    // ARGB32_Premultiplied. Its width and height are at least
    // ceil(`minimumScale` x the full width and height), unless a file too
    // large to decode whole must be reduced further; 1 gives the full size.
    // Returns a null image on failure.
    QImage read(qreal minimumScale = 1.0);

    // Turns an image stored with Exif `orientation` upright.
    static QImage applyOrientation(const QImage &image, int orientation);

    // The size to decode at, from the sizes a decoder offers (ascending):
    // the smallest that covers `needed`, or the largest when none does.
    // When that has more than `maximumPixels`, the largest size within the
    // limit if `reductionAllowed`, else none (an invalid size).
    static QSize chooseDecodeSize(const QList<QSize> &available, const QSize &needed,
        qint64 maximumPixels, bool reductionAllowed);

    // The suffixes of the image files the program reads, lower case and
    // sorted, for file dialogs.
    static QStringList fileSuffixes();

private:
    ImageDecoder();

    struct Private;
    std::unique_ptr<Private> d;
};
