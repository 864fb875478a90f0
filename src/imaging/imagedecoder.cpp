#include "imagedecoder.h"

#include <QBuffer>
#include <QColorSpace>
#include <QFile>
#include <QImageReader>
#include <QTransform>
#include <QtMath>

#include <mutex>

#include "imaging/heifdecoder.h"
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

// Leaves the picture in sRGB. A profile the picture carries wins over
// `fallbackProfile` (the JPEG's own, for decoders that do not read it).
QImage toSrgb(QImage image, const QByteArray &fallbackProfile)
{
    if (image.isNull())
        return image;
    QColorSpace space = image.colorSpace();
    if (!space.isValid() && !fallbackProfile.isEmpty())
        space = QColorSpace::fromIccProfile(fallbackProfile);
    const QColorSpace srgb(QColorSpace::SRgb);
    if (space.isValid() && space != srgb) {
        image.setColorSpace(space);
        image.convertToColorSpace(srgb);
    }
    image.setColorSpace(srgb);
    return image;
}

// How many bytes of a file tell its format.
constexpr qint64 headLength = 64;

const QByteArray pngSignature = QByteArrayLiteral("\x89PNG\r\n\x1a\n");

// Whether every chunk of a PNG fits in the file. Qt's reader allocates
// what a chunk declares before it reads it, so a few hundred bytes whose
// text chunk claims 1.8 GB would cost that much memory to refuse.
bool pngChunksFit(QIODevice *device)
{
    const qint64 size = device->size();
    qint64 pos = pngSignature.size();
    while (pos + 12 <= size) {
        if (!device->seek(pos))
            return false;
        const QByteArray header = device->read(8);
        if (header.size() != 8)
            return false;
        const quint32 length = (quint32(uchar(header[0])) << 24) | (quint32(uchar(header[1])) << 16)
            | (quint32(uchar(header[2])) << 8) | quint32(uchar(header[3]));
        if (length > 0x7FFFFFFFu || pos + 12 + qint64(length) > size)
            return false;
        if (header.mid(4, 4) == "IEND")
            return true;
        pos += 12 + qint64(length);
    }
    return pos == size; // a file cut between chunks; the reader says what is missing
}

} // namespace

struct ImageDecoder::Private
{
    enum class Kind { Jpeg, Heif, Other };

    QString path;
    // The whole file for JPEG and HEIF, and for decoders made from memory.
    QByteArray data;
    bool inMemory = false;
    Kind kind = Kind::Other;
    QByteArray iccProfile;
    HeifDecoder heif;
    int orientation = 1;
    // Stored size, before the orientation is applied.
    QSize storedSize;
    QImage::Format readerFormat = QImage::Format_Invalid;
    QString error;

    void inspect();
    bool load(QFile *file);
    void inspectJpeg();
    void inspectWithReader();
    QImage readJpeg(qreal minimumScale);
    QImage readHeif();
    QImage readWithReader();
    // A reader of the file or of the bytes in memory.
    std::unique_ptr<QImageReader> makeReader(QBuffer *buffer, const QByteArray &format = {});
    bool fail(const QString &message)
    {
        error = message;
        storedSize = QSize();
        return false;
    }
};

std::unique_ptr<QImageReader> ImageDecoder::Private::makeReader(
    QBuffer *buffer, const QByteArray &format)
{
    if (!inMemory && kind == Kind::Other)
        return std::make_unique<QImageReader>(path, format);
    buffer->setData(data);
    buffer->open(QIODevice::ReadOnly);
    return std::make_unique<QImageReader>(buffer, format);
}

bool ImageDecoder::Private::load(QFile *file)
{
    if (inMemory)
        return true;
    data = file->readAll();
    if (file->error() != QFileDevice::NoError)
        return fail(file->errorString());
    return true;
}

void ImageDecoder::Private::inspect()
{
    QFile file(path);
    if (!inMemory && !file.open(QIODevice::ReadOnly)) {
        fail(file.errorString());
        return;
    }
    const QByteArray head = inMemory ? data.left(headLength) : file.peek(headLength);
    if (JpegMarkers::isJpeg(head))
        kind = Kind::Jpeg;
    else if (HeifDecoder::isHeif(head))
        kind = Kind::Heif;
    if (kind != Kind::Other && !load(&file))
        return;
    if (kind == Kind::Other && head.startsWith(pngSignature)) {
        QBuffer memory(&data);
        memory.open(QIODevice::ReadOnly);
        if (!pngChunksFit(inMemory ? static_cast<QIODevice *>(&memory) : &file)) {
            fail(QStringLiteral("Damaged PNG: a chunk runs past the end of the file"));
            return;
        }
    }
    file.close();

    switch (kind) {
    case Kind::Jpeg:
        inspectJpeg();
        break;
    case Kind::Heif:
        if (heif.readHeader(data))
            storedSize = heif.size();
        else
            fail(heif.errorString());
        break;
    case Kind::Other:
        inspectWithReader();
        break;
    }
    if (!error.isEmpty())
        return;
    if (!storedSize.isValid()) {
        // Formats that cannot tell their size before decoding are checked
        // by the reader's allocation limit instead.
        if (kind == Kind::Jpeg)
            fail(QStringLiteral("Unreadable JPEG header"));
        return;
    }
    if (pixelCount(storedSize) > ImageDecoder::maximumPixels)
        fail(QStringLiteral("Image too large: %1 x %2")
                 .arg(storedSize.width())
                 .arg(storedSize.height()));
}

void ImageDecoder::Private::inspectJpeg()
{
    if (!JpegMarkers::hasCompleteScan(data)) {
        fail(QStringLiteral("Truncated or damaged JPEG data"));
        return;
    }
    orientation = JpegMarkers::exifOrientation(data);
    iccProfile = JpegMarkers::iccProfile(data);
#ifdef TESSELO_HAVE_TURBOJPEG
    TurboJpegDecoder turbo;
    if (turbo.readHeader(data))
        storedSize = turbo.size();
#endif
    if (!storedSize.isValid()) {
        QBuffer buffer;
        storedSize = makeReader(&buffer, "jpeg")->size();
    }
}

void ImageDecoder::Private::inspectWithReader()
{
    QBuffer buffer;
    const std::unique_ptr<QImageReader> reader = makeReader(&buffer);
    reader->setAutoTransform(true);
    if (!reader->canRead()) {
        fail(reader->errorString());
        return;
    }
    storedSize = reader->size();
    readerFormat = reader->imageFormat();
    if (reader->transformation() & QImageIOHandler::TransformationRotate90)
        orientation = 6; // only whether the sides swap matters here
}

QImage ImageDecoder::Private::readJpeg(qreal minimumScale)
{
    const QSize needed(requiredLength(storedSize.width(), minimumScale),
        requiredLength(storedSize.height(), minimumScale));
    const qint64 maximumDecodePixels = ImageDecoder::maximumDecodeBytes / 4;
    const bool reductionAllowed = minimumScale < 1.0;

#ifdef TESSELO_HAVE_TURBOJPEG
    TurboJpegDecoder turbo;
    if (turbo.readHeader(data)) {
        const QSize chosen
            = chooseDecodeSize(turbo.scaledSizes(), needed, maximumDecodePixels, reductionAllowed);
        if (!chosen.isValid()) {
            error = QStringLiteral("Image too large to decode");
            return QImage();
        }
        QImage image = turbo.decode(data, chosen);
        if (!image.isNull())
            return image;
        // Colour spaces TurboJPEG cannot convert (CMYK) go to the reader.
    }
#endif

    QBuffer buffer;
    const std::unique_ptr<QImageReader> reader = makeReader(&buffer, "jpeg");
    reader->setAutoTransform(false); // the orientation is applied by the caller
    // The reader's JPEG handler decodes at 1/2, 1/4 and 1/8 natively; ask
    // for exactly such a size so that no extra scaling pass runs.
    QList<QSize> sizes;
    if (reader->supportsOption(QImageIOHandler::ScaledSize)) {
        for (int divisor : { 8, 4, 2 })
            sizes.append(QSize((storedSize.width() + divisor - 1) / divisor,
                (storedSize.height() + divisor - 1) / divisor));
    }
    sizes.append(storedSize);
    const QSize chosen = chooseDecodeSize(sizes, needed, maximumDecodePixels, reductionAllowed);
    if (!chosen.isValid()) {
        error = QStringLiteral("Image too large to decode");
        return QImage();
    }
    if (chosen != storedSize)
        reader->setScaledSize(chosen);
    QImage image = reader->read();
    if (image.isNull())
        error = reader->errorString();
    return image;
}

QImage ImageDecoder::Private::readHeif()
{
    if (pixelCount(storedSize) * 4 > ImageDecoder::maximumDecodeBytes) {
        error = QStringLiteral("Image too large to decode");
        return QImage();
    }
    QImage image = heif.decode();
    if (image.isNull())
        error = heif.errorString();
    return image;
}

QImage ImageDecoder::Private::readWithReader()
{
    if (storedSize.isValid()
        && pixelCount(storedSize) * bytesPerPixel(readerFormat)
            > ImageDecoder::maximumDecodeBytes) {
        error = QStringLiteral("Image too large to decode");
        return QImage();
    }
    QBuffer buffer;
    const std::unique_ptr<QImageReader> reader = makeReader(&buffer);
    reader->setAutoTransform(true);
    QImage image = reader->read();
    if (image.isNull())
        error = reader->errorString();
    return image;
}

ImageDecoder::ImageDecoder()
    : d(std::make_unique<Private>())
{
    raiseReaderAllocationLimit();
}

ImageDecoder::ImageDecoder(const QString &path)
    : ImageDecoder()
{
    d->path = path;
    d->inspect();
}

std::unique_ptr<ImageDecoder> ImageDecoder::fromData(const QByteArray &data)
{
    std::unique_ptr<ImageDecoder> decoder(new ImageDecoder());
    decoder->d->data = data;
    decoder->d->inMemory = true;
    decoder->d->inspect();
    return decoder;
}

ImageDecoder::~ImageDecoder() = default;

QSize ImageDecoder::size() const
{
    return upright(d->storedSize, d->orientation);
}

int ImageDecoder::orientation() const
{
    return d->kind == Private::Kind::Jpeg ? d->orientation : 1;
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
    switch (d->kind) {
    case Private::Kind::Jpeg:
        if (!d->storedSize.isValid())
            return QImage();
        return applyOrientation(
            toSrgb(normalized(d->readJpeg(minimumScale)), d->iccProfile), d->orientation);
    case Private::Kind::Heif:
        return toSrgb(normalized(d->readHeif()), {}); // libheif turns it upright
    case Private::Kind::Other:
        break;
    }
    QImage image = toSrgb(normalized(d->readWithReader()), {}); // the reader turns it upright
    if (!image.isNull() && !d->storedSize.isValid())
        d->storedSize = upright(image.size(), d->orientation);
    return image;
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

QSize ImageDecoder::chooseDecodeSize(
    const QList<QSize> &available, const QSize &needed, qint64 maximumPixels, bool reductionAllowed)
{
    QSize chosen;
    for (const QSize &size : available) {
        if (size.width() >= needed.width() && size.height() >= needed.height()) {
            chosen = size;
            break;
        }
    }
    if (!chosen.isValid() && !available.isEmpty())
        chosen = available.last();
    if (!chosen.isValid() || pixelCount(chosen) <= maximumPixels)
        return chosen;
    chosen = QSize();
    if (reductionAllowed) {
        for (const QSize &size : available) {
            if (pixelCount(size) <= maximumPixels)
                chosen = size;
        }
    }
    return chosen;
}

QStringList ImageDecoder::fileSuffixes()
{
    QStringList suffixes = HeifDecoder::suffixes();
    const QList<QByteArray> formats = QImageReader::supportedImageFormats();
    for (const QByteArray &format : formats)
        suffixes.append(QString::fromLatin1(format).toLower());
    suffixes.sort();
    suffixes.removeDuplicates();
    return suffixes;
}
