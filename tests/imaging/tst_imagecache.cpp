#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include "imaging/decodequeue.h"
#include "imaging/drawflags.h"
#include "imaging/imagecache.h"
#include "imaging/testphotos.h"

using Key = ImageCache::LevelKey;
using namespace TestPhotos;

namespace {

QByteArray jpeg(const QImage &image)
{
    return encode(image, "jpeg", 90);
}

} // namespace

class TestImageCache : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

    void init()
    {
        ImageCache *cache = ImageCache::instance();
        cache->clear();
        cache->setByteLimit(ImageCache::defaultByteLimit);
        m_fakeNow = 1000000;
        cache->setClock([this] { return m_fakeNow; });
    }

    void cleanup()
    {
        ImageCache::instance()->setClock({});
        ImageCache::instance()->clear();
    }

    void cacheImageStoresOnce()
    {
        const QUrl url = write(QStringLiteral("twice.jpg"), jpeg(photoLike(QSize(1600, 1200))));
        QFuture<QUrl> future = ImageCache::cacheImages({ url, url, url, url });
        future.waitForFinished();
        QCOMPARE(future.results(), (QList<QUrl> { url, url, url, url }));
        ImageCache *cache = ImageCache::instance();
        QCOMPARE(cache->cachedUrls(), QList<QUrl> { url });
        QCOMPARE(cache->totalBytes(), cache->entry(url)->sizeInBytes());
    }

    void eviction_data()
    {
        QTest::addColumn<QList<qint64>>("accessTimes"); // of entries a, b, c, d
        QTest::addColumn<int>("budgetInEntries");
        QTest::addColumn<qint64>("now");
        QTest::addColumn<QString>("survivors");

        // Entry e is added last at `now`; eviction runs with it kept.
        QTest::newRow("recent entries stay above budget") << QList<qint64> { 0, 1000, 12000,
            13000 } << 1 << qint64(20000) << QStringLiteral("cde");
        QTest::newRow("exactly ten seconds is old") << QList<qint64> { 10000, 15000, 15000, 15000 }
                                                    << 4 << qint64(20000) << QStringLiteral("bcde");
        QTest::newRow("equal times in address order") << QList<qint64> { 5000, 5000, 5000,
            5000 } << 3 << qint64(20000) << QStringLiteral("cde");
    }

    void eviction()
    {
        QFETCH(QList<qint64>, accessTimes);
        QFETCH(int, budgetInEntries);
        QFETCH(qint64, now);
        QFETCH(QString, survivors);

        ImageCache *cache = ImageCache::instance();
        QMap<QChar, QUrl> urls;
        qint64 entryBytes = 0;
        for (int i = 0; i < 5; ++i) {
            const QChar name = QChar('a' + i);
            urls[name] = write(QStringLiteral("evict-%1.png").arg(name),
                encode(photoLike(QSize(300, 300), i), "png"));
        }
        for (int i = 0; i < 4; ++i) {
            m_fakeNow = accessTimes.at(i);
            QVERIFY(ImageCache::cacheImage(urls[QChar('a' + i)]));
            entryBytes = cache->entry(urls[QChar('a' + i)])->sizeInBytes();
        }
        cache->setByteLimit(entryBytes * budgetInEntries);
        m_fakeNow = now;
        QVERIFY(ImageCache::cacheImage(urls[QChar('e')]));

        QString present;
        for (auto it = urls.cbegin(); it != urls.cend(); ++it) {
            if (cache->contains(it.value()))
                present.append(it.key());
        }
        QCOMPARE(present, survivors);
        QCOMPARE(cache->totalBytes(), entryBytes * qint64(survivors.size()));
        QCOMPARE(cache->totalBytes(), sumOfEntries());
    }

    void orientation()
    {
        // A photo stored sideways with an orientation tag of 6 (turn 90
        // degrees): the cached level and output rendering both see it upright.
        const QByteArray sideways
            = withExifOrientation(encode(quadrants(QSize(160, 80)), "jpeg", 95), 6);
        const QUrl url = write(QStringLiteral("orientation.jpg"), sideways);
        ImageCache *cache = ImageCache::instance();
        QVERIFY(ImageCache::cacheImage(url));
        QCOMPARE(cache->imageSize(url), QSize(80, 160));
        QImage direct;
        QTransform transform;
        QVERIFY(cache->findImage(
            url, QTransform::fromScale(0.5, 0.5), DirectRender, direct, transform));
        for (const QImage &image : { cache->entry(url)->levels.last().image, direct }) {
            const int w = image.width();
            const int h = image.height();
            QCOMPARE(h, 2 * w);
            QVERIFY(near(image.pixel(w / 4, h / 4), Qt::blue));
            QVERIFY(near(image.pixel(3 * w / 4, h / 4), Qt::red));
        }
    }

    void directRender()
    {
        const QUrl url = write(QStringLiteral("direct.jpg"), jpeg(quadrants(QSize(1200, 900))));
        ImageCache *cache = ImageCache::instance();
        QImage image;
        QTransform transform;

        // Above the picture's own size: the whole picture, enlarged by the
        // painter, and not limited by the cache's pixel limit.
        QVERIFY(
            cache->findImage(url, QTransform::fromScale(1.5, 1.5), DirectRender, image, transform));
        QCOMPARE(image.size(), QSize(1200, 900));
        QCOMPARE(transform, QTransform());
        QVERIFY(!cache->contains(url)); // nothing is cached by output rendering

        // Below it: the smallest reduced decode that still covers the device
        // scale (3/8 for 0.3), with the transform that lays it over the picture.
        QVERIFY(
            cache->findImage(url, QTransform::fromScale(0.3, 0.3), DirectRender, image, transform));
        QCOMPARE(image.size(), QSize(450, 338));
        QCOMPARE(transform.map(QPointF(1200, 900)), QPointF(450, 338));

        // A picture decoded far above the device scale (a PNG is never
        // reduced while decoding) is rendered at the exact scale and turn.
        const QUrl png
            = write(QStringLiteral("direct.png"), encode(quadrants(QSize(1200, 900)), "png"));
        const QTransform rotated = QTransform().rotate(20).scale(0.2, 0.2);
        QVERIFY(cache->findImage(png, rotated, DirectRender, image, transform));
        const Key key = ImageLevels::decompose(rotated);
        QCOMPARE(transform, ImageLevels::levelTransform(key));
        QCOMPARE(
            image.width(), qCeil(1200 * key.cos * key.scale) + qCeil(900 * key.sin * key.scale));
    }

    void sizesOnly()
    {
        const QUrl url = write(QStringLiteral("sizes.jpg"), jpeg(photoLike(QSize(1600, 1200))));
        const QUrl broken = write(QStringLiteral("sizes-broken.jpg"),
            encode(photoLike(QSize(640, 480)), "jpeg", 90).left(900));
        ImageCache *cache = ImageCache::instance();
        cache->setSizesOnly(true);
        const auto restore = qScopeGuard([cache] { cache->setSizesOnly(false); });

        // Loading checks the file and keeps its size, without pixels.
        QVERIFY(ImageCache::cacheImage(url));
        QVERIFY(!ImageCache::cacheImage(broken));
        QCOMPARE(cache->imageSize(url), QSize(1600, 1200));
        QVERIFY(cache->entry(url)->hasSizeOnly());
        QCOMPARE(cache->totalBytes(), 0);

        // Drawing on screen still finds a level, made when first asked for.
        QSignalSpy loaded(cache, &ImageCache::imageLoaded);
        QImage image;
        QTransform transform;
        QVERIFY(cache->findImage(url, QTransform::fromScale(0.25, 0.25), 0, image, transform));
        QCOMPARE(loaded.count(), 1);
        QVERIFY(!cache->entry(url)->hasSizeOnly());
        QVERIFY(image.width() >= 400);
        QCOMPARE(cache->totalBytes(), sumOfEntries());
    }

    void decodeQueue()
    {
        QList<QUrl> urls;
        for (int i = 0; i < 6; ++i)
            urls.append(write(
                QStringLiteral("queued%1.jpg").arg(i), jpeg(photoLike(QSize(800 + 16 * i, 600)))));
        Key half;
        half.scale = 0.5;
        Key turned = ImageLevels::decompose(QTransform().rotate(30).scale(0.3, 0.3));

        DecodeQueue queue;
        for (const QUrl &url : std::as_const(urls))
            queue.note(url, half);
        queue.note(urls.first(), half); // the same photo drawn alike again: one decode
        queue.note(urls.first(), turned);
        QCOMPARE(queue.count(), 7);
        queue.start();
        // A few at a time, however long the queue.
        QVERIFY(queue.inFlight() <= ImageCache::loadingPool()->maxThreadCount() + 1);

        // What is taken is what a decode of its own would give; keys reached
        // through another chain of transforms still match.
        Key nearlyHalf = half;
        nearlyHalf.scale = 0.5 * (1 + 1e-13);
        const ImageCache::OutputDecode first = queue.take(urls.first(), nearlyHalf);
        QCOMPARE(first.image, ImageCache::decodeForOutput(urls.first(), half).image);
        QCOMPARE(first.fullSize, QSize(800, 600));
        QCOMPARE(first.image.size(), QSize(400, 300));
        QCOMPARE(queue.take(urls.first(), turned).image.size(), QSize(300, 225));
        // The second draw alike is served by the same decode.
        QCOMPARE(queue.take(urls.first(), half).image, first.image);
        for (int i = 1; i < 6; ++i) {
            QVERIFY(queue.inFlight() <= ImageCache::loadingPool()->maxThreadCount() + 1);
            QCOMPARE(queue.take(urls.at(i), half).fullSize, QSize(800 + 16 * i, 600));
        }
        QCOMPARE(queue.count(), 0);
        // Not noted (or taken already): the caller decodes itself.
        QVERIFY(queue.take(urls.first(), half).image.isNull());

        // Through the cache: a noting lookup draws nothing and queues the
        // photo; the drawing lookup takes it.
        ImageCache *cache = ImageCache::instance();
        cache->setDecodeQueue(&queue);
        const auto unset = qScopeGuard([cache] { cache->setDecodeQueue(nullptr); });
        QImage image;
        QTransform transform;
        const QTransform device = QTransform::fromScale(0.5, 0.5);
        QVERIFY(
            cache->findImage(urls.first(), device, DirectRender | CollectImages, image, transform));
        QVERIFY(image.isNull());
        QCOMPARE(queue.count(), 1);
        queue.start();
        QVERIFY(cache->findImage(urls.first(), device, DirectRender, image, transform));
        QCOMPARE(queue.count(), 0);
        QCOMPARE(image.size(), QSize(400, 300));
    }

private:
    QUrl write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        return writeFile(path, bytes) ? QUrl::fromLocalFile(path) : QUrl();
    }

    qint64 sumOfEntries() const
    {
        qint64 sum = 0;
        ImageCache *cache = ImageCache::instance();
        for (const QUrl &url : cache->cachedUrls())
            sum += cache->entry(url)->sizeInBytes();
        return sum;
    }

    QTemporaryDir m_dir;
    qint64 m_fakeNow = 0;
};

QTEST_MAIN(TestImageCache)
#include "tst_imagecache.moc"
