#include "imagedecoder.h"

#include <QBuffer>
#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <QtMath>

#include <mutex>

#include "imaging/jpegmarkers.h"
#ifdef TESSELO_HAVE_TURBOJPEG
#include "imaging/turbojpegdecoder.h"
#endif

namespace {

// The reader's own allocation limit (128 MB by default) would refuse
// ordinary 40-megapixel scans; the decoder does its own checks against the
// declared size, so the reader may allocate as much as those allow.
void raiseReaderAllocationLimit()
{
    static std::once_flag once;
    std::call_once(once, [] {
        const int limitMb = int(ImageDecoder::maximumDecodeBytes >> 20);
        if (QImageReader::allocationLimit() < limitMb)
            QImageReader::setAllocationLimit(limitMb);
    });
}

bool transposes(int orientation)
{
    return orientation >= 5 && orientation <= 8;
}

QSize upright(const QSize &stored, int orientation)
{
    return transposes(orientation) ? stored.transposed() : stored;
}

qint64 pixelCount(const QSize &size)
{
    return qint64(size.width()) * qint64(size.height());
}

int bytesPerPixel(QImage::Format format)
{
    if (format == QImage::Format_Invalid)
        return 4;
    return qMax(4, QImage::toPixelFormat(format).bitsPerPixel() / 8);
}

// The size a dimension must at least keep for `scale`; the small tolerance
// keeps exact products (1000 x 0.5) from rounding up.
int requiredLength(int length, qreal scale)
{
    return qMax(1, qCeil(length * scale - 1e-6));
}

QImage normalized(QImage image)
{
    if (image.isNull())
        return image;
    const QImage::Format format
        = image.hasAlphaChannel() ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32;
    if (image.format() != format)
        image.convertTo(format);
    return image;
}

} // namespace

struct ImageDecoder::Private
{
    QString path;
    QByteArray jpegData;
    bool isJpeg = false;
    int orientation = 1;
    // Stored size, before the orientation is applied.
    QSize storedSize;
    QImage::Format readerFormat = QImage::Format_Invalid;
    QString error;

    void inspect();
    QImage readJpeg(qreal minimumScale);
    QImage readWithReader(qreal minimumScale);
    bool fail(const QString &message)
    {
        error = message;
        storedSize = QSize();
        return false;
    }
};

void ImageDecoder::Private::inspect()
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        fail(file.errorString());
        return;
    }
    isJpeg = JpegMarkers::isJpeg(file.peek(3));
    if (isJpeg) {
        jpegData = file.readAll();
        if (!JpegMarkers::hasCompleteScan(jpegData)) {
            fail(QStringLiteral("Truncated or damaged JPEG data"));
            return;
        }
        orientation = JpegMarkers::exifOrientation(jpegData);
#ifdef TESSELO_HAVE_TURBOJPEG
        TurboJpegDecoder turbo;
        if (turbo.readHeader(jpegData))
            storedSize = turbo.size();
#endif
        if (!storedSize.isValid()) {
            QBuffer buffer(&jpegData);
            buffer.open(QIODevice::ReadOnly);
            QImageReader reader(&buffer, "jpeg");
            storedSize = reader.size();
        }
    } else {
        file.close();
        QImageReader reader(path);
        reader.setAutoTransform(true);
        if (!reader.canRead()) {
            fail(reader.errorString());
            return;
        }
        storedSize = reader.size();
        readerFormat = reader.imageFormat();
        if (reader.transformation() & QImageIOHandler::TransformationRotate90)
            orientation = 6; // only whether the sides swap matters here
    }
    if (!storedSize.isValid()) {
        // Formats that cannot tell their size before decoding are checked
        // by the reader's allocation limit instead.
        if (isJpeg)
            fail(QStringLiteral("Unreadable JPEG header"));
        return;
    }
    if (pixelCount(storedSize) > ImageDecoder::maximumPixels)
        fail(QStringLiteral("Image too large: %1 x %2")
                 .arg(storedSize.width())
                 .arg(storedSize.height()));
}

QImage ImageDecoder::Private::readJpeg(qreal minimumScale)
{
    const int neededWidth = requiredLength(storedSize.width(), minimumScale);
    const int neededHeight = requiredLength(storedSize.height(), minimumScale);
    const qint64 maximumDecodePixels = ImageDecoder::maximumDecodeBytes / 4;
    const bool reductionAllowed = minimumScale < 1.0;

#ifdef TESSELO_HAVE_TURBOJPEG
    TurboJpegDecoder turbo;
    if (turbo.readHeader(jpegData)) {
        const QList<QSize> sizes = turbo.scaledSizes();
        QSize chosen;
        for (const QSize &size : sizes) {
            if (size.width() >= neededWidth && size.height() >= neededHeight) {
                chosen = size;
                break;
            }
        }
        if (!chosen.isValid() && !sizes.isEmpty())
            chosen = sizes.last();
        if (pixelCount(chosen) > maximumDecodePixels) {
            chosen = QSize();
            if (reductionAllowed) {
                for (const QSize &size : sizes) {
                    if (pixelCount(size) <= maximumDecodePixels)
                        chosen = size;
                }
            }
            if (!chosen.isValid()) {
                error = QStringLiteral("Image too large to decode");
                return QImage();
            }
        }
        QImage image = turbo.decode(jpegData, chosen);
        if (!image.isNull())
            return image;
        // Colour spaces TurboJPEG cannot convert (CMYK) go to the reader.
    }
#endif

    QBuffer buffer(&jpegData);
    buffer.open(QIODevice::ReadOnly);
    QImageReader reader(&buffer, "jpeg");
    reader.setAutoTransform(false); // the orientation is applied by the caller
    // The reader's JPEG handler decodes at 1/2, 1/4 and 1/8 natively; ask
    // for exactly such a size so that no extra scaling pass runs.
    int divisor = 1;
    if (reader.supportsOption(QImageIOHandler::ScaledSize)) {
        for (int candidate : { 8, 4, 2 }) {
            const QSize size((storedSize.width() + candidate - 1) / candidate,
                (storedSize.height() + candidate - 1) / candidate);
            if (size.width() >= neededWidth && size.height() >= neededHeight) {
                divisor = candidate;
                break;
            }
        }
        while (divisor < 8 && reductionAllowed
            && pixelCount(storedSize) / (qint64(divisor) * divisor) > maximumDecodePixels)
            divisor *= 2;
    }
    const QSize decodeSize((storedSize.width() + divisor - 1) / divisor,
        (storedSize.height() + divisor - 1) / divisor);
    if (pixelCount(decodeSize) > maximumDecodePixels) {
        error = QStringLiteral("Image too large to decode");
        return QImage();
    }
    if (divisor > 1)
        reader.setScaledSize(decodeSize);
    QImage image = reader.read();
    if (image.isNull())
        error = reader.errorString();
    return image;
}

QImage ImageDecoder::Private::readWithReader(qreal)
{
    if (storedSize.isValid()
        && pixelCount(storedSize) * bytesPerPixel(readerFormat)
            > ImageDecoder::maximumDecodeBytes) {
        error = QStringLiteral("Image too large to decode");
        return QImage();
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    QImage image = reader.read();
    if (image.isNull())
        error = reader.errorString();
    return image;
}

ImageDecoder::ImageDecoder(const QString &path)
    : d(std::make_unique<Private>())
{
    raiseReaderAllocationLimit();
    d->path = path;
    d->inspect();
}

ImageDecoder::~ImageDecoder() = default;

QSize ImageDecoder::size() const
{
    return upright(d->storedSize, d->orientation);
}

int ImageDecoder::orientation() const
{
    return d->isJpeg ? d->orientation : 1;
}

bool ImageDecoder::canRead() const
{
    return d->error.isEmpty();
}

QString ImageDecoder::errorString() const
{
    return d->error;
}

QImage ImageDecoder::read(qreal minimumScale)
{
    if (!d->error.isEmpty())
        return QImage();
    minimumScale = qBound(qreal(0), minimumScale, qreal(1));
    QImage image;
    if (d->isJpeg) {
        if (!d->storedSize.isValid())
            return QImage();
        image = applyOrientation(d->readJpeg(minimumScale), d->orientation);
    } else {
        image = d->readWithReader(minimumScale); // the reader applies the orientation
        if (!image.isNull() && !d->storedSize.isValid())
            d->storedSize = upright(image.size(), d->orientation);
    }
    return normalized(image);
}

QImage ImageDecoder::applyOrientation(const QImage &image, int orientation)
{
    if (image.isNull())
        return image;
    // Exif orientations as mirror or flip first, then a clockwise turn.
    switch (orientation) {
    case 2:
        return image.mirrored(true, false);
    case 3:
        return image.mirrored(true, true);
    case 4:
        return image.mirrored(false, true);
    case 5:
        return image.mirrored(false, true).transformed(QTransform().rotate(90));
    case 6:
        return image.transformed(QTransform().rotate(90));
    case 7:
        return image.mirrored(true, false).transformed(QTransform().rotate(90));
    case 8:
        return image.transformed(QTransform().rotate(270));
    default:
        return image;
    }
}
