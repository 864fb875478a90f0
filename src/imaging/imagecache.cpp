#include "imagecache.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QMutex>
#include <QThread>
#include <QThreadPool>
#include <QtConcurrent>

#include <algorithm>

#include "imaging/decodequeue.h"
#include "imaging/drawflags.h"
#include "imaging/exactrenderer.h"
#include "imaging/imagedecoder.h"

using namespace ImageLevels;
using ExactRenderer::renderTransformed;
using ExactRenderer::transformImage;

namespace {

// Guards the entries, the byte count and the pending set of the one cache.
QBasicMutex cacheMutex;

// The bytes held by the images of a map of levels.
template<typename Levels> qint64 levelBytes(const Levels &levels)
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

ImageCache::CacheEntry ImageCache::buildEntry(
    const QImage &decoded, const QSize &fullSize, int pixelLimit)
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
    bool announce = false;
    {
        QMutexLocker locker(&cacheMutex);
        bool loaded = false;
        if (!cache->ensureEntry(locker, url, EntryUse::Background, &loaded))
            return false;
        if (!loaded)
            return true;
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
        size = ensureEntry(locker, url, EntryUse::Size, &loaded)->fullSize;
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
        const CacheEntry *entry = ensureEntry(locker, url, EntryUse::Drawing, &loaded);
        const LevelKey key = limitPixels(
            deviceKey, entry->fullSize, (flags & FastDraw) ? fastDrawPixelLimit : m_pixelLimit);
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
        imageTransform
            = QTransform::fromScale(decodedScale, decoded.image.height() / full.height());
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

ImageCache::CacheEntry *ImageCache::ensureEntry(
    QMutexLocker<QBasicMutex> &locker, const QUrl &url, EntryUse use, bool *loaded)
{
    const auto serves = [use](const CacheEntry &entry) {
        switch (use) {
        case EntryUse::Background:
            return !entry.isNull(); // a failed entry is tried again
        case EntryUse::Size:
            return true;
        case EntryUse::Drawing:
            return !entry.hasSizeOnly();
        }
        return true;
    };
    const auto stored = [this, &url, &serves]() -> CacheEntry * {
        const auto it = m_entries.find(url);
        return it != m_entries.end() && serves(*it) ? &it.value() : nullptr;
    };
    // Only lookups made for the interface count as a use of the entry.
    const bool touch = use != EntryUse::Background;

    if (CacheEntry *entry = stored()) {
        if (touch)
            entry->lastAccess = currentTime();
        return entry;
    }
    const int pixelLimit = m_pixelLimit;
    const bool sizesOnly = m_sizesOnly && use != EntryUse::Drawing;
    // Decode without the lock so that lookups and the background loading go
    // on; another thread may store the same file meanwhile.
    locker.unlock();
    CacheEntry built = loadEntry(url, pixelLimit, sizesOnly);
    locker.relock();
    if (CacheEntry *entry = stored()) {
        if (touch)
            entry->lastAccess = currentTime();
        return entry;
    }
    if (use == EntryUse::Background && built.isNull())
        return nullptr;
    built.lastAccess = currentTime();
    insertEntry(url, std::move(built));
    *loaded = true;
    return &m_entries[url];
}

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
