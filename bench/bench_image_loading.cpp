// Loading photos into the image cache compared with the plain decoding of
// the same files.
//
// Makes its own photos in a temporary folder (24 baseline JPEGs of
// 6000 x 4000, noise over gradients, quality 90, and a few PNGs), then
// measures in one run:
//   - the floor: every file decoded once at full size with QImageReader on
//     the global thread pool;
//   - the cache: the same files loaded through the background run the image
//     list uses when photos are added;
//   - for reference, the cache's work done from full-size decodes.

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QImage>
#include <QImageReader>
#include <QTemporaryDir>
#include <QThreadPool>
#include <QUrl>
#include <QtConcurrent>

#include <cstdio>

#include "benchphotos.h"
#include "imaging/imagecache.h"
#include "imaging/imagedecoder.h"

namespace {

constexpr int jpegCount = 24;
constexpr int pngCount = 3;
const QSize jpegSize(6000, 4000);
const QSize pngSize(2400, 1600);

void print(const char *name, double value)
{
    std::printf("%s: %.3f\n", name, value);
    std::fflush(stdout);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid()) {
        std::fprintf(stderr, "cannot create a temporary folder\n");
        return 1;
    }

    struct Photo
    {
        QString path;
        QSize size;
        const char *format;
        quint32 seed;
    };
    QList<Photo> photos;
    for (int i = 0; i < jpegCount; ++i)
        photos.append({ dir.filePath(QStringLiteral("photo-%1.jpg").arg(i)), jpegSize, "jpeg",
            quint32(i + 1) });
    for (int i = 0; i < pngCount; ++i)
        photos.append({ dir.filePath(QStringLiteral("scan-%1.png").arg(i)), pngSize, "png",
            quint32(100 + i) });

    const QList<bool> written = QtConcurrent::blockingMapped(photos, [](const Photo &photo) {
        return BenchPhotos::writePhoto(photo.path, photo.size, photo.seed, photo.format);
    });
    if (written.contains(false)) {
        std::fprintf(stderr, "cannot write the test photos\n");
        return 1;
    }
    QStringList paths;
    QList<QUrl> urls;
    for (const Photo &photo : std::as_const(photos)) {
        paths.append(photo.path);
        urls.append(QUrl::fromLocalFile(photo.path));
    }
    std::printf("files: %d\n", int(paths.size()));
    std::printf("threads: %d\n", QThreadPool::globalInstance()->maxThreadCount());

    // Warm the file cache so that both runs read from memory.
    QtConcurrent::blockingMap(paths, [](const QString &path) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            file.readAll();
    });

    // The floor: one full decode per file.
    QElapsedTimer timer;
    timer.start();
    const QList<bool> decoded = QtConcurrent::blockingMapped(paths, [](const QString &path) {
        QImageReader reader(path);
        return !reader.read().isNull();
    });
    const double decodeSeconds = timer.nsecsElapsed() / 1e9;
    if (decoded.contains(false)) {
        std::fprintf(stderr, "the reader failed on a test photo\n");
        return 1;
    }

    // For reference: the cache's work (level building) from full decodes.
    timer.restart();
    QtConcurrent::blockingMap(paths, [](const QString &path) {
        ImageDecoder decoder(path);
        const QImage image = decoder.read(1.0);
        ImageCache::buildEntry(image, decoder.size());
    });
    const double fullDecodeCacheSeconds = timer.nsecsElapsed() / 1e9;

    // The cache as the image list loads it.
    ImageCache *cache = ImageCache::instance();
    cache->clear();
    timer.restart();
    QFuture<QUrl> future = ImageCache::cacheImages(urls);
    future.waitForFinished();
    const double cacheSeconds = timer.nsecsElapsed() / 1e9;
    if (future.resultCount() != urls.size()) {
        std::fprintf(
            stderr, "the cache refused %d photos\n", int(urls.size() - future.resultCount()));
        return 1;
    }

    print("decode_seconds", decodeSeconds);
    print("cache_load_full_decode_seconds", fullDecodeCacheSeconds);
    print("cache_load_seconds", cacheSeconds);
    std::printf("cache_bytes_after_load: %lld\n", static_cast<long long>(cache->totalBytes()));
    print("load_vs_decode_ratio", cacheSeconds / decodeSeconds);
    return 0;
}
