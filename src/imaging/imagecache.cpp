#include "imagecache.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMutex>
#include <QPainter>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent>
#include <QtMath>

#include <algorithm>
#include <cmath>

#include "imaging/decodequeue.h"
#include "imaging/drawflags.h"
#include "imaging/imagedecoder.h"

namespace {

// Guards the entries, the byte count and the pending set of the one cache.
QBasicMutex cacheMutex;

// One tile of an exact-scale rendering.
struct TransformedImageSourceStruct
{
    const QImage *source = nullptr;
    QSizeF logicalSize;
    QTransform transform;
    QRect tile;
    int supersampling = ImageCache::supersampling;
    QSize outputSize;
    QUrl url;
};

struct TransformationResult
{
    QImage image;
    QRect tile;
    QSize outputSize;
    QTransform transform;
};

struct PixmapCachingResults
{
    QUrl url;
    QTransform transform;
    QImage image;
};

TransformationResult renderTile(const TransformedImageSourceStruct &job)
{
    const int factor = job.supersampling;
    QImage supersampled(job.tile.size() * factor, QImage::Format_ARGB32_Premultiplied);
    supersampled.fill(Qt::transparent);
    {
        QPainter painter(&supersampled);
        if (factor == 1) // filtered sampling stands in for the supersampling
            painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.scale(factor, factor);
        painter.translate(-job.tile.topLeft());
        painter.translate(job.outputSize.width() / 2.0, job.outputSize.height() / 2.0);
        painter.setTransform(job.transform, true);
        const QSizeF size = job.logicalSize;
        const QRectF target(-size.width() / 2.0, -size.height() / 2.0, size.width(), size.height());
        painter.drawImage(target, *job.source);
    }
    if (factor == 1)
        return { supersampled, job.tile, job.outputSize, job.transform };
    return { supersampled.scaled(job.tile.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
             job.tile, job.outputSize, job.transform };
}

void collectTile(PixmapCachingResults &result, const TransformationResult &tile)
{
    if (result.image.isNull()) {
        result.image = QImage(tile.outputSize, QImage::Format_ARGB32_Premultiplied);
        result.image.fill(Qt::transparent);
        result.transform = tile.transform;
    }
    QPainter painter(&result.image);
    painter.drawImage(tile.tile.topLeft(), tile.image);
}

qint64 levelBytes(const QMap<qreal, ImageCache::CachedLevel> &levels)
{
    qint64 bytes = 0;
    for (const ImageCache::CachedLevel &level : levels)
        bytes += level.image.sizeInBytes();
    return bytes;
}

qint64 levelBytes(const QMap<ImageCache::LevelKey, ImageCache::CachedLevel> &levels)
{
    qint64 bytes = 0;
    for (const ImageCache::CachedLevel &level : levels)
        bytes += level.image.sizeInBytes();
    return bytes;
}

} // namespace

qint64 ImageCache::CacheEntry::sizeInBytes() const
{
    return levelBytes(levels) + levelBytes(exactLevels);
}

ImageCache::ImageCache()
{
    // Signals must come from the GUI thread even when the first user was a
    // background loader.
    if (QCoreApplication *app = QCoreApplication::instance()) {
        if (thread() != app->thread())
            moveToThread(app->thread());
    }
}

ImageCache::~ImageCache() = default;

ImageCache *ImageCache::instance()
{
    static ImageCache cache;
    return &cache;
}

// ---------------------------------------------------------------------------
// Level arithmetic

ImageCache::LevelKey ImageCache::decompose(const QTransform &transform)
{
    const qreal sx = std::sqrt(transform.m11() * transform.m11() + transform.m12() * transform.m12());
    const qreal sy = std::sqrt(transform.m21() * transform.m21() + transform.m22() * transform.m22());
    LevelKey key;
    key.scale = (qAbs(sx) + qAbs(sy)) / 2.0;
    if (sx == 0.0 || sy == 0.0)
        return key; // degenerate: nothing to draw, keep the angle neutral
    // Signs are dropped: a rotation by -a and one by a resample alike.
    key.sin = (qAbs(transform.m12() / sx) + qAbs(transform.m21() / sy)) / 2.0;
    key.cos = (qAbs(transform.m11() / sx) + qAbs(transform.m22() / sy)) / 2.0;
    return key;
}

ImageCache::LevelKey ImageCache::limitPixels(LevelKey key, const QSize &size, int limit)
{
    const qreal w = size.width();
    const qreal h = size.height();
    // The bounding box of the picture rotated and scaled by the key.
    const qreal boxWidth = (w * key.cos + h * key.sin) * key.scale;
    const qreal boxHeight = (w * key.sin + h * key.cos) * key.scale;
    if (std::floor(boxWidth * boxHeight) > limit && w * h > 0)
        key.scale = std::sqrt(limit / (w * h));
    return key;
}

QTransform ImageCache::levelTransform(const LevelKey &key)
{
    return QTransform(key.cos * key.scale, key.sin * key.scale, -key.sin * key.scale,
                      key.cos * key.scale, 0, 0);
}

QSize ImageCache::fitToAspect(const QSize &requested, const QSize &aspect)
{
    if (requested.isEmpty() || aspect.isEmpty())
        return QSize();
    // The width the aspect ratio gives at the requested height, compared
    // exactly; the other side is truncated.
    const double widthAtHeight = double(requested.height()) * aspect.width() / aspect.height();
    if (widthAtHeight <= requested.width())
        return QSize(qMax(1, int(widthAtHeight)), requested.height());
    const double heightAtWidth = double(requested.width()) * aspect.height() / aspect.width();
    return QSize(requested.width(), qMax(1, int(heightAtWidth)));
}

QSize ImageCache::scaledSize(const QSize &size, qreal scale)
{
    if (size.isEmpty())
        return QSize();
    const QSize requested(qMax(1, qRound(size.width() * scale)), qMax(1, qRound(size.height() * scale)));
    return fitToAspect(requested, size);
}

ImageCache::CacheEntry ImageCache::buildEntry(const QImage &decoded, const QSize &fullSize,
                                              int pixelLimit)
{
    CacheEntry entry;
    if (decoded.isNull() || fullSize.isEmpty()) {
        entry.fullSize = QSize(0, 0);
        entry.levels.insert(1.0, CachedLevel { LevelKey(), QTransform(), QImage() });
        return entry;
    }
    entry.fullSize = fullSize;

    const LevelKey key0 = limitPixels(LevelKey(), fullSize, pixelLimit);
    CachedLevel level { key0, levelTransform(key0), QImage() };
    if (decoded.size() == fullSize) {
        level.image = transformImage(decoded, level.transform, false);
    } else {
        // A reduced decode: its size is the decoder's, so size level 0 from
        // the full size to keep the chain identical to a full decode's.
        const QSize target = scaledSize(fullSize, key0.scale);
        level.image = decoded.size() == target
            ? decoded
            : decoded.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }
    entry.levels.insert(key0.scale, level);

    // Each level halves the one before it, until a side would drop below
    // the minimum. Sizes keep the picture's own aspect ratio rather than
    // that of the rounded level before, so rounding does not drift down the
    // chain.
    for (;;) {
        const QSize halved(qMax(1, qRound(level.image.width() * 0.5)),
                           qMax(1, qRound(level.image.height() * 0.5)));
        const QSize next = fitToAspect(halved, fullSize);
        if (next.width() < minimumLevelSide || next.height() < minimumLevelSide)
            break;
        LevelKey key = level.key;
        key.scale *= 0.5;
        level = CachedLevel { key, levelTransform(key),
                              level.image.scaled(next, Qt::IgnoreAspectRatio, Qt::SmoothTransformation) };
        entry.levels.insert(key.scale, level);
    }
    return entry;
}

// ---------------------------------------------------------------------------
// Exact transforms

QImage ImageCache::transformImage(const QImage &source, const QTransform &transform, bool parallel)
{
    return renderTransformed(source, source.size(), transform, parallel);
}

QImage ImageCache::renderTransformed(const QImage &source, const QSizeF &logicalSize,
                                     const QTransform &transform, bool parallel)
{
    if (source.isNull() || logicalSize.isEmpty())
        return QImage();
    if (transform.isIdentity() && QSizeF(source.size()) == logicalSize)
        return source;

    const LevelKey key = decompose(transform);
    const qreal w = logicalSize.width();
    const qreal h = logicalSize.height();
    if (key.sin == 0.0 && qFuzzyCompare(key.cos, 1.0)) {
        const QSize target = scaledSize(logicalSize.toSize(), key.scale);
        if (target.isEmpty() || qint64(target.width()) * target.height() > ImageDecoder::maximumPixels)
            return QImage();
        return source.size() == target
            ? source
            : source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    // Rotated: the output is the bounding box of the turned picture.
    const qreal s = key.scale;
    const QSize outputSize(qCeil(w * key.cos * s) + qCeil(h * key.sin * s),
                           qCeil(h * key.cos * s) + qCeil(w * key.sin * s));
    if (outputSize.isEmpty()
        || qint64(outputSize.width()) * outputSize.height() > ImageDecoder::maximumPixels)
        return QImage();
    // Supersampling averages many source pixels into one output pixel. When
    // the picture was decoded close to the output scale (at most two source
    // pixels per output pixel) bilinear filtering with antialiased edges
    // gives the same result at a sixteenth of the work.
    const qreal sourcePerOutput = source.width() / qMax(w * s, qreal(1));
    const int factor = sourcePerOutput <= 2.0 ? 1 : supersampling;
    const int columns = outputSize.width() / tileSide + 1;
    const int rows = outputSize.height() / tileSide + 1;
    const QRect outputRect(QPoint(0, 0), outputSize);
    QList<TransformedImageSourceStruct> jobs;
    jobs.reserve(columns * rows);
    for (int column = columns - 1; column >= 0; --column) {
        for (int row = rows - 1; row >= 0; --row) {
            const QRect tile(tileSide * column, tileSide * row, tileSide, tileSide);
            if (!tile.intersects(outputRect))
                continue; // the spare column or row of an exact multiple
            jobs.append({ &source, logicalSize, transform, tile, factor, outputSize, QUrl() });
        }
    }

    PixmapCachingResults result;
    if (parallel) {
        result = QtConcurrent::mappedReduced<PixmapCachingResults>(
                     QThreadPool::globalInstance(), jobs, renderTile, collectTile,
                     QtConcurrent::UnorderedReduce | QtConcurrent::SequentialReduce)
                     .result();
    } else {
        for (const TransformedImageSourceStruct &job : std::as_const(jobs))
            collectTile(result, renderTile(job));
    }
    return result.image;
}

// ---------------------------------------------------------------------------
// Loading

ImageCache::CacheEntry ImageCache::loadEntry(const QUrl &url, int pixelLimit, bool sizesOnly)
{
    ImageDecoder decoder(url.toLocalFile());
    if (url.isEmpty() || !decoder.canRead())
        return buildEntry(QImage(), QSize());
    if (sizesOnly && decoder.size().isValid()) {
        CacheEntry entry;
        entry.fullSize = decoder.size();
        return entry;
    }
    // Level 0 is all that is kept of the full picture, so a decoder that can
    // reduce while decoding only needs to deliver that much.
    qreal scale = 1.0;
    if (decoder.size().isValid())
        scale = limitPixels(LevelKey(), decoder.size(), pixelLimit).scale;
    const QImage decoded = decoder.read(scale);
    return buildEntry(decoded, decoder.size(), pixelLimit);
}

bool ImageCache::cacheImage(const QUrl &url)
{
    ImageCache *cache = instance();
    int pixelLimit = defaultPixelLimit;
    bool sizesOnly = false;
    {
        QMutexLocker locker(&cacheMutex);
        const auto it = cache->m_entries.constFind(url);
        if (it != cache->m_entries.constEnd() && !it->isNull())
            return true;
        pixelLimit = cache->m_pixelLimit;
        sizesOnly = cache->m_sizesOnly;
    }

    CacheEntry entry = loadEntry(url, pixelLimit, sizesOnly);
    if (entry.isNull())
        return false;

    bool announce = false;
    {
        QMutexLocker locker(&cacheMutex);
        const auto it = cache->m_entries.constFind(url);
        if (it != cache->m_entries.constEnd() && !it->isNull())
            return true; // another thread was faster; keep its entry
        entry.lastAccess = cache->currentTime();
        cache->insertEntry(url, std::move(entry));
        cache->evict(url);
        announce = cache->m_pendingCached.isEmpty();
        cache->m_pendingCached.insert(url);
    }
    if (announce)
        QMetaObject::invokeMethod(cache, &ImageCache::_sayImageCached, Qt::QueuedConnection);
    return true;
}

QThreadPool *ImageCache::loadingPool()
{
    static QThreadPool pool;
    return &pool;
}

QFuture<QUrl> ImageCache::cacheImages(const QList<QUrl> &urls)
{
    return QtConcurrent::filtered(loadingPool(), urls, &ImageCache::cacheImage);
}

void ImageCache::_sayImageCached()
{
    QSet<QUrl> pending;
    {
        QMutexLocker locker(&cacheMutex);
        pending.swap(m_pendingCached);
    }
    // Emitted without the lock: receivers paint, and painting looks up the
    // cache.
    for (const QUrl &url : std::as_const(pending))
        Q_EMIT imageCached(url);
}

// ---------------------------------------------------------------------------
// Lookups

bool ImageCache::contains(const QUrl &url) const
{
    QMutexLocker locker(&cacheMutex);
    const auto it = m_entries.constFind(url);
    return it != m_entries.constEnd() && !it->isNull();
}

QSize ImageCache::imageSize(const QUrl &url)
{
    if (url.isEmpty())
        return QSize();
    bool loaded = false;
    QSize size;
    {
        QMutexLocker locker(&cacheMutex);
        CacheEntry *entry = lookup(url);
        if (!entry) {
            const int pixelLimit = m_pixelLimit;
            const bool sizesOnly = m_sizesOnly;
            // Decode without the lock so that background loading goes on.
            locker.unlock();
            CacheEntry built = loadEntry(url, pixelLimit, sizesOnly);
            locker.relock();
            entry = lookup(url);
            if (!entry) {
                built.lastAccess = currentTime();
                insertEntry(url, std::move(built));
                entry = lookup(url);
                loaded = true;
            }
        }
        size = entry->fullSize;
        evict(url);
    }
    if (loaded)
        Q_EMIT imageLoaded(url);
    return size;
}

bool ImageCache::findImage(const QUrl &url, const QTransform &deviceTransform, int flags,
                           QImage &image, QTransform &imageTransform)
{
    if (url.isEmpty())
        return false;
    const LevelKey deviceKey = decompose(deviceTransform);

    if (flags & DirectRender)
        return findOutputImage(url, deviceKey, flags, image, imageTransform);

    bool loaded = false;
    {
        QMutexLocker locker(&cacheMutex);
        CacheEntry *entry = lookup(url);
        if (!entry || entry->hasSizeOnly()) {
            const int pixelLimit = m_pixelLimit;
            locker.unlock();
            CacheEntry built = loadEntry(url, pixelLimit, false);
            locker.relock();
            entry = lookup(url);
            if (!entry || entry->hasSizeOnly()) {
                built.lastAccess = currentTime();
                insertEntry(url, std::move(built));
                entry = lookup(url);
                loaded = true;
            }
        }
        const LevelKey key = limitPixels(deviceKey, entry->fullSize,
                                         (flags & FastDraw) ? fastDrawPixelLimit : m_pixelLimit);
        const CachedLevel *level = nullptr;
        const auto exact = entry->exactLevels.constFind(key);
        if (exact != entry->exactLevels.constEnd()) {
            level = &exact.value();
        } else {
            // The smallest level that is large enough, else the largest.
            auto it = entry->levels.lowerBound(key.scale);
            if (it == entry->levels.end())
                --it;
            level = &it.value();
        }
        image = level->image;
        imageTransform = level->transform;
        evict(url);
    }
    if (loaded)
        Q_EMIT imageLoaded(url);
    return true;
}

ImageCache::OutputDecode ImageCache::decodeForOutput(const QUrl &url, const LevelKey &deviceKey)
{
    ImageDecoder decoder(url.toLocalFile());
    if (!decoder.canRead())
        return {};
    // Far beyond the picture's own resolution nothing is gained; cap the
    // output so that an extreme zoom cannot ask for gigabytes.
    LevelKey key = deviceKey;
    if (decoder.size().isValid())
        key = limitPixels(deviceKey, decoder.size(), directRenderPixelLimit);
    OutputDecode decoded;
    decoded.image = decoder.read(qMin(key.scale, qreal(1.0)));
    decoded.fullSize = decoder.size().isValid() ? decoder.size() : decoded.image.size();
    decoded.key = key;
    return decoded;
}

bool ImageCache::findOutputImage(const QUrl &url, const LevelKey &deviceKey, int flags,
                                 QImage &image, QTransform &imageTransform)
{
    if (flags & CollectImages) {
        // The noting pass draws nothing.
        if (m_decodeQueue)
            m_decodeQueue->note(url, deviceKey);
        image = QImage();
        imageTransform = QTransform();
        return true;
    }
    OutputDecode decoded;
    if (m_decodeQueue)
        decoded = m_decodeQueue->take(url, deviceKey);
    if (m_decodeQueue && m_decodeQueue->isCancelled()) {
        // The render was cancelled: finish it without pictures.
        image = QImage();
        imageTransform = QTransform();
        return true;
    }
    if (decoded.image.isNull())
        decoded = decodeForOutput(url, deviceKey);
    if (decoded.image.isNull() || decoded.fullSize.isEmpty())
        return false;
    const QSizeF full(decoded.fullSize);
    const qreal decodedScale = decoded.image.width() / full.width();
    if (decodedScale <= 2 * decoded.key.scale) {
        // Decoded close to the output scale: the painter's filtered drawing
        // gives what an exact rendering would, without making another
        // picture of the same size.
        image = decoded.image;
        imageTransform = QTransform::fromScale(decodedScale, decoded.image.height() / full.height());
    } else {
        imageTransform = levelTransform(decoded.key);
        image = renderTransformed(decoded.image, full, imageTransform, true);
    }
    return !image.isNull();
}

void ImageCache::setDecodeQueue(DecodeQueue *queue)
{
    m_decodeQueue = queue;
}

// ---------------------------------------------------------------------------
// Budget

qint64 ImageCache::currentTime() const
{
    return m_clock ? m_clock() : QDateTime::currentMSecsSinceEpoch();
}

ImageCache::CacheEntry *ImageCache::lookup(const QUrl &url)
{
    const auto it = m_entries.find(url);
    if (it == m_entries.end())
        return nullptr;
    it->lastAccess = currentTime();
    return &it.value();
}

void ImageCache::insertEntry(const QUrl &url, CacheEntry entry)
{
    const auto it = m_entries.constFind(url);
    if (it != m_entries.constEnd())
        m_totalBytes -= it->sizeInBytes();
    m_totalBytes += entry.sizeInBytes();
    m_entries.insert(url, std::move(entry));
}

void ImageCache::evict(const QUrl &keep)
{
    if (m_totalBytes <= m_byteLimit)
        return;
    const qint64 now = currentTime();
    QList<std::pair<qint64, QUrl>> candidates;
    for (auto it = m_entries.constBegin(); it != m_entries.constEnd(); ++it) {
        if (it.key() != keep && now - it->lastAccess >= evictionAgeMs)
            candidates.append({ it->lastAccess, it.key() });
    }
    std::sort(candidates.begin(), candidates.end());
    for (const auto &candidate : std::as_const(candidates)) {
        if (m_totalBytes <= m_byteLimit)
            break;
        const auto it = m_entries.find(candidate.second);
        m_totalBytes -= it->sizeInBytes();
        m_entries.erase(it);
    }
    if (m_totalBytes <= m_byteLimit)
        return;
    // Still above budget: the exact renderings go; mip levels of recently
    // used pictures never do.
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it.key() == keep)
            continue;
        m_totalBytes -= levelBytes(it->exactLevels);
        it->exactLevels.clear();
    }
}

qint64 ImageCache::totalBytes() const
{
    QMutexLocker locker(&cacheMutex);
    return m_totalBytes;
}

qint64 ImageCache::byteLimit() const
{
    QMutexLocker locker(&cacheMutex);
    return m_byteLimit;
}

bool ImageCache::sizesOnly() const
{
    QMutexLocker locker(&cacheMutex);
    return m_sizesOnly;
}

void ImageCache::setSizesOnly(bool sizesOnly)
{
    QMutexLocker locker(&cacheMutex);
    m_sizesOnly = sizesOnly;
}

void ImageCache::setByteLimit(qint64 limit)
{
    QMutexLocker locker(&cacheMutex);
    m_byteLimit = limit;
}

std::optional<ImageCache::CacheEntry> ImageCache::entry(const QUrl &url) const
{
    QMutexLocker locker(&cacheMutex);
    const auto it = m_entries.constFind(url);
    if (it == m_entries.constEnd())
        return std::nullopt;
    return *it;
}

QList<QUrl> ImageCache::cachedUrls() const
{
    QMutexLocker locker(&cacheMutex);
    return m_entries.keys();
}

void ImageCache::clear()
{
    QMutexLocker locker(&cacheMutex);
    m_entries.clear();
    m_pendingCached.clear();
    m_totalBytes = 0;
}

void ImageCache::setClock(Clock clock)
{
    QMutexLocker locker(&cacheMutex);
    m_clock = std::move(clock);
}
