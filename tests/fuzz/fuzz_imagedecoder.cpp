// libFuzzer target of the photo decoding path: the JPEG marker reader
// (orientation, colour profile, scan check), the choice of a reduced decode
// size, and decoding through TurboJPEG, libheif and Qt's readers, each input
// at a reduced scale picked from its first byte.

#include <QByteArray>
#include <QCoreApplication>
#include <QImage>
#include <QImageReader>
#include <QtMath>

#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzzmessages.h"
#include "imaging/imagedecoder.h"
#include "imaging/jpegmarkers.h"

namespace {

// Pictures this large are legitimate and decoded as designed; the fuzzer
// hunts faults, not the time and memory a large picture needs.
constexpr qint64 fuzzPixelLimit = qint64(4) << 20;

} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    qInstallMessageHandler(quietMessages);
    static QCoreApplication app(*argc, *argv);
    // The first decoder raises the readers' allocation limit for real
    // photos; formats that tell their size only by decoding get less here.
    ImageDecoder::fromData(QByteArray());
    QImageReader::setAllocationLimit(64);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (JpegMarkers::exifOrientation(bytes) < 1)
        abort();
    JpegMarkers::hasCompleteScan(bytes);
    JpegMarkers::iccProfile(bytes);

    const auto decoder = ImageDecoder::fromData(bytes);
    const QSize full = decoder->size();
    if (!decoder->canRead()
        || (full.isValid() && qint64(full.width()) * full.height() > fuzzPixelLimit))
        return 0;
    const qreal scale = size > 0 ? (data[0] % 8 + 1) / 8.0 : 1.0;
    const QImage image = decoder->read(scale);
    if (image.isNull())
        return 0;
    // A JPEG goes through our own choice of the decode size: it must cover
    // the asked-for scale of the upright size.
    if (JpegMarkers::isJpeg(bytes)
        && (image.width() < qCeil(full.width() * scale - 1e-6)
            || image.height() < qCeil(full.height() * scale - 1e-6)))
        abort();
    if (image.format() != QImage::Format_RGB32
        && image.format() != QImage::Format_ARGB32_Premultiplied)
        abort();
    const QImage turned = ImageDecoder::applyOrientation(image, int(size % 8) + 1);
    if (turned.isNull())
        abort();
    return 0;
}
