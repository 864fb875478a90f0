// Decoding a 12-megapixel photo (4000 x 3000) in each format the program
// reads, next to JPEG's time for the same picture.
//
// The photo is made in memory and written in every format: JPEG (baseline
// and progressive), PNG (8 and 16 bits), WebP, TIFF, and with libheif HEIC
// and AVIF. Each file is decoded whole by ImageDecoder, the best of three
// runs, and once more at the reduced scale the image cache asks for.
//
//   decode_ms_<format>        full decode
//   cache_decode_ms_<format>  decode at the cache's scale (sqrt(2^20 / 12M))
//   ratio_<format>_to_jpeg    full decode time over JPEG's
//   file_kb_<format>          size of the file

#include <QBuffer>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QTemporaryDir>
#include <QtMath>

#include <cstdio>
#include <functional>

#ifdef TESSELO_HAVE_HEIF
#include <libheif/heif.h>
#endif

#include "benchphotos.h"
#include "imaging/imagecache.h"
#include "imaging/imagedecoder.h"
#include "imaging/testphotos.h"

namespace {

const QSize photoSize(4000, 3000);

void print(const QString &name, double value)
{
    std::printf("%s: %.1f\n", qPrintable(name), value);
    std::fflush(stdout);
}

#ifdef TESSELO_HAVE_HEIF
heif_error appendBytes(heif_context *, const void *data, size_t size, void *target)
{
    static_cast<QByteArray *>(target)->append(static_cast<const char *>(data), qsizetype(size));
    return { heif_error_Ok, heif_suberror_Unspecified, "" };
}

QByteArray encodeWithHeif(const QImage &photo, heif_compression_format format)
{
    const QImage rgb = photo.convertToFormat(QImage::Format_RGB888);
    heif_context *context = heif_context_alloc();
    heif_encoder *encoder = nullptr;
    QByteArray bytes;
    if (heif_context_get_encoder_for_format(context, format, &encoder).code == heif_error_Ok) {
        heif_encoder_set_lossy_quality(encoder, 80);
        // Encoding speed only; the decoder's work is the same.
        heif_encoder_set_parameter(encoder, "preset", "ultrafast");
        heif_encoder_set_parameter(encoder, "speed", "9");
        heif_image *image = nullptr;
        heif_image_create(
            rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
        heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
        int stride = 0;
        uint8_t *plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
        for (int y = 0; y < rgb.height(); ++y)
            memcpy(plane + qsizetype(y) * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
        if (heif_context_encode_image(context, image, encoder, nullptr, nullptr).code
            == heif_error_Ok) {
            heif_writer writer { 1, appendBytes };
            heif_context_write(context, &writer, &bytes);
        }
        heif_image_release(image);
        heif_encoder_release(encoder);
    }
    heif_context_free(context);
    return bytes;
}
#endif

double bestOfThree(const std::function<bool()> &work)
{
    double best = 1e12;
    for (int i = 0; i < 3; ++i) {
        QElapsedTimer timer;
        timer.start();
        if (!work())
            return -1;
        best = qMin(best, double(timer.nsecsElapsed()) / 1e6);
    }
    return best;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    const QImage photo = BenchPhotos::photograph(photoSize, 17);

    QList<std::pair<QString, QByteArray>> files {
        { "jpeg", TestPhotos::encode(photo, "jpeg", 90) },
        { "jpeg_progressive", TestPhotos::encode(photo, "jpeg", 90, true) },
        { "png", TestPhotos::encode(photo, "png", -1) },
        { "png16", TestPhotos::encode(photo.convertToFormat(QImage::Format_RGBA64), "png", -1) },
        { "webp", TestPhotos::encode(photo, "webp", 80) },
        { "tiff", TestPhotos::encode(photo, "tiff", -1) },
    };
#ifdef TESSELO_HAVE_HEIF
    heif_init(nullptr);
    files.append({ "heic", encodeWithHeif(photo, heif_compression_HEVC) });
    files.append({ "avif", encodeWithHeif(photo, heif_compression_AV1) });
#endif

    const qreal cacheScale
        = qSqrt(qreal(ImageCache::defaultPixelLimit) / (photoSize.width() * photoSize.height()));
    double jpegTime = 0;
    for (const auto &[name, bytes] : files) {
        if (bytes.isEmpty()) {
            std::printf("# %s: no encoder\n", qPrintable(name));
            continue;
        }
        const QString path = dir.filePath(QStringLiteral("photo.") + name);
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return 1;
        file.close();
        const double full
            = bestOfThree([&path] { return ImageDecoder(path).read().size() == photoSize; });
        const double reduced = bestOfThree(
            [&path, cacheScale] { return !ImageDecoder(path).read(cacheScale).isNull(); });
        if (name == QLatin1String("jpeg"))
            jpegTime = full;
        print(QStringLiteral("file_kb_") + name, bytes.size() / 1024.0);
        print(QStringLiteral("decode_ms_") + name, full);
        print(QStringLiteral("cache_decode_ms_") + name, reduced);
        if (jpegTime > 0 && full > 0)
            std::printf("ratio_%s_to_jpeg: %.2f\n", qPrintable(name), full / jpegTime);
    }
    return 0;
}
