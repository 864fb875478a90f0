#pragma once

#include <QFuture>
#include <QHash>
#include <QImage>
#include <QList>
#include <QMap>
#include <QMutex>
#include <QObject>
#include <QSet>
#include <QSize>
#include <QTransform>
#include <QUrl>

#include <functional>
#include <optional>

#include "imaging/imagelevels.h"

class DecodeQueue;
class QThreadPool;

// The process-wide store of decoded photos.
//
// Every file is decoded once into a chain of reduced versions (a mip chain)
// whose largest member has at most `pixelLimit` pixels and whose smallest
// still has sides of at least 256 pixels. Painting asks findImage() for the
// version that suits its device transform; output rendering asks for an
// image made from the file at the exact device scale. The cache keeps to a
// soft memory budget: entries used within the last ten seconds are never
// evicted, so what is on screen stays cached even above the budget.
//
// cacheImage() may run on any thread (it is the predicate of the
// background loading); everything else belongs to the GUI thread. One
// static mutex guards the entries, the byte count and the pending set.
class ImageCache : public QObject
{
    Q_OBJECT

public:
    using LevelKey = ImageLevels::LevelKey;

    // One stored version of a picture and the transform it was made under.
    struct CachedLevel
    {
        LevelKey key;
        QTransform transform;
        QImage image;
    };

    // A picture decoded for output: the decode, the file's upright full
    // size and the key it was decoded for (the device's, capped).
    struct OutputDecode
    {
        QImage image;
        QSize fullSize;
        LevelKey key;
    };

    struct CacheEntry
    {
        QSize fullSize;
        qint64 lastAccess = 0;
        QMap<qreal, CachedLevel> levels;
        QMap<LevelKey, CachedLevel> exactLevels;

        // An entry for a file that could not be decoded: size 0 x 0 and one
        // null level, so that painting it draws nothing without retrying.
        bool isNull() const { return fullSize.isEmpty(); }
        // An entry read in sizes-only mode: the size without pixels.
        bool hasSizeOnly() const { return !isNull() && levels.isEmpty(); }
        qint64 sizeInBytes() const;
    };

    // Milliseconds since the epoch; replaceable so that the ten-second rule
    // can be tested without waiting.
    using Clock = std::function<qint64()>;

    static constexpr qint64 defaultByteLimit = 268435456;
    static constexpr int defaultPixelLimit = 1048576;
    static constexpr int fastDrawPixelLimit = 10240;
    // Output rendering makes at most this many pixels of one photo.
    static constexpr int directRenderPixelLimit = 1 << 27;
    static constexpr qint64 evictionAgeMs = 10000;
    static constexpr int minimumLevelSide = 256;

    static ImageCache *instance();

    // Makes sure the file is cached; false when it cannot be decoded. Safe
    // on any thread; the predicate of cacheImages().
    static bool cacheImage(const QUrl &url);
    // The background loading of a batch: a filter over `urls` on the
    // loading pool whose results are the readable files, in order.
    static QFuture<QUrl> cacheImages(const QList<QUrl> &urls);
    // The threads that decode files. Decoding runs long, so it keeps off
    // Qt's global pool: Qt's own drawing and image conversions wait for
    // work they queue there, and would hold the interface still until a
    // whole batch of photos was read.
    static QThreadPool *loadingPool();

    // Whether the cache holds a decoded picture for `url` (entries of files
    // that failed to decode do not count).
    bool contains(const QUrl &url) const;
    // The upright full pixel size, loading the file when it is not cached;
    // empty for an unreadable file.
    QSize imageSize(const QUrl &url);
    // The image to draw for `url` under `deviceTransform`, and the transform
    // it was made under (see DrawFlag). With DirectRender the image is made
    // from the file at the exact scale and not cached.
    bool findImage(const QUrl &url, const QTransform &deviceTransform, int flags, QImage &image,
        QTransform &imageTransform);

    // Decodes `url` for output under a device transform of `deviceKey`: at
    // the smallest reduced scale the decoder offers that still covers the
    // device scale. Safe on any thread.
    static OutputDecode decodeForOutput(const QUrl &url, const LevelKey &deviceKey);
    // While set, output lookups note their pictures in `queue` (with
    // CollectImages) or take them from it. The queue belongs to the caller
    // and must be unset before it goes.
    void setDecodeQueue(DecodeQueue *queue);
    DecodeQueue *decodeQueue() const { return m_decodeQueue; }

    // Builds the mip chain of a picture of `fullSize` from `decoded`, which
    // may be a reduced decode as long as it is at least as large as level 0.
    static CacheEntry buildEntry(
        const QImage &decoded, const QSize &fullSize, int pixelLimit = defaultPixelLimit);

    qint64 totalBytes() const;
    qint64 byteLimit() const;
    // Takes effect at the next insertion or lookup.
    void setByteLimit(qint64 limit);
    // For runs that only render output: loading reads each file's size and
    // checks its data but decodes no pixels, since output rendering decodes
    // at the exact scale anyway. Lookups for drawing on screen still get
    // their levels, made when first asked for.
    bool sizesOnly() const;
    void setSizesOnly(bool sizesOnly);
    int pixelLimit() const { return m_pixelLimit; }

    // Inspection: a copy of the entry (its images are shared, not copied).
    std::optional<CacheEntry> entry(const QUrl &url) const;
    QList<QUrl> cachedUrls() const;
    // Drops every entry.
    void clear();
    // A null clock restores the system clock.
    void setClock(Clock clock);

Q_SIGNALS:
    // A file was loaded on demand by imageSize() or findImage().
    void imageLoaded(const QUrl &url);
    // A better picture for `url` is available (announced from the GUI
    // thread after the background loading stored it).
    void imageCached(const QUrl &url);

private Q_SLOTS:
    void _sayImageCached();

private:
    ImageCache();
    ~ImageCache() override;

    // What a caller needs of an entry: the background loading any readable
    // one (and it stores no failures), a size lookup any at all, drawing one
    // with pixels.
    enum class EntryUse { Background, Size, Drawing };

    static CacheEntry loadEntry(const QUrl &url, int pixelLimit, bool sizesOnly);
    bool findOutputImage(const QUrl &url, const LevelKey &deviceKey, int flags, QImage &image,
        QTransform &imageTransform);

    // The following run with the mutex held.
    // The entry for `url` that serves `use`, decoding the file with the
    // mutex released when there is none yet. Sets `loaded` when this call
    // stored the entry; null only for Background when the file is unreadable.
    CacheEntry *ensureEntry(
        QMutexLocker<QBasicMutex> &locker, const QUrl &url, EntryUse use, bool *loaded);
    qint64 currentTime() const;
    CacheEntry *lookup(const QUrl &url);
    void insertEntry(const QUrl &url, CacheEntry entry);
    void evict(const QUrl &keep);

    qint64 m_totalBytes = 0;
    qint64 m_byteLimit = defaultByteLimit;
    int m_pixelLimit = defaultPixelLimit;
    bool m_sizesOnly = false;
    DecodeQueue *m_decodeQueue = nullptr;
    QSet<QUrl> m_pendingCached;
    QHash<QUrl, CacheEntry> m_entries;
    Clock m_clock;
};
