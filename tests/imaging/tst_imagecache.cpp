#include <QBuffer>
#include <QElapsedTimer>
#include <QImageWriter>
#include <QImageReader>
#include <QSignalSpy>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QtConcurrent>

#include <cmath>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif

#include "imaging/decodequeue.h"
#include "imaging/drawflags.h"
#include "imaging/imagecache.h"
#include "imaging/imagedecoder.h"
#include "imaging/testphotos.h"

using Key = ImageCache::LevelKey;

class TestImageCache : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void levelChain_data();
    void levelChain();
    void levelChainFromReducedDecode_data();
    void levelChainFromReducedDecode();
    void levelChoice_data();
    void levelChoice();
    void keySymmetry_data();
    void keySymmetry();
    void pixelLimit_data();
    void pixelLimit();

    void transformIdentityShares();
    void transformRotatedTiles_data();
    void transformRotatedTiles();
    void transformQuarterTurnContent();

    void cacheImageStoresOnce();
    void eviction_data();
    void eviction();
    void evictionSparesRecentEntries();

    void orientation_data();
    void orientation();
    void orientationThroughCache();
    void reducedDecodeKeepsMinimum();
    void directRender();
    void sizesOnly();
    void decodeQueue();

    void goodInput_data();
    void goodInput();
    void badInput_data();
    void badInput();

private:
    QUrl writePhoto(const QString &name, const QByteArray &bytes);
    QUrl writeJpeg(const QString &name, const QImage &image);
    qint64 sumOfEntries() const;

    QTemporaryDir m_dir;
    qint64 m_fakeNow = 0;
};

void TestImageCache::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestImageCache::init()
{
    ImageCache *cache = ImageCache::instance();
    cache->clear();
    cache->setByteLimit(ImageCache::defaultByteLimit);
    m_fakeNow = 1000000;
    cache->setClock([this] { return m_fakeNow; });
}

void TestImageCache::cleanup()
{
    ImageCache::instance()->setClock({});
    ImageCache::instance()->clear();
}

QUrl TestImageCache::writePhoto(const QString &name, const QByteArray &bytes)
{
    const QString path = m_dir.filePath(name);
    if (!TestPhotos::writeFile(path, bytes))
        return QUrl();
    return QUrl::fromLocalFile(path);
}

QUrl TestImageCache::writeJpeg(const QString &name, const QImage &image)
{
    return writePhoto(name, TestPhotos::encode(image, "jpeg", 90));
}

qint64 TestImageCache::sumOfEntries() const
{
    qint64 sum = 0;
    ImageCache *cache = ImageCache::instance();
    for (const QUrl &url : cache->cachedUrls())
        sum += cache->entry(url)->sizeInBytes();
    return sum;
}

// ---------------------------------------------------------------------------

void TestImageCache::levelChain_data()
{
    QTest::addColumn<QSize>("fullSize");
    QTest::addColumn<QList<qreal>>("scales");
    QTest::addColumn<QList<QSize>>("sizes");

    const qreal s4000 = std::sqrt(1048576.0 / 12000000.0);
    QTest::newRow("4000x3000") << QSize(4000, 3000) << QList<qreal> { s4000 / 2, s4000 }
                               << QList<QSize> { QSize(590, 443), QSize(1182, 886) };
    QTest::newRow("200x150 keeps only itself")
        << QSize(200, 150) << QList<qreal> { 1.0 } << QList<QSize> { QSize(200, 150) };
    QTest::newRow("1000x1000 under the limit")
        << QSize(1000, 1000) << QList<qreal> { 0.5, 1.0 }
        << QList<QSize> { QSize(500, 500), QSize(1000, 1000) };
    const qreal s6000 = std::sqrt(1048576.0 / 24000000.0);
    QTest::newRow("6000x4000") << QSize(6000, 4000) << QList<qreal> { s6000 / 2, s6000 }
                               << QList<QSize> { QSize(627, 418), QSize(1254, 836) };
    QTest::newRow("portrait 3000x4000")
        << QSize(3000, 4000) << QList<qreal> { s4000 / 2, s4000 }
        << QList<QSize> { QSize(443, 590), QSize(886, 1182) };
}

void TestImageCache::levelChain()
{
    QFETCH(QSize, fullSize);
    QFETCH(QList<qreal>, scales);
    QFETCH(QList<QSize>, sizes);

    QImage image(fullSize, QImage::Format_RGB32);
    image.fill(Qt::darkCyan);
    const ImageCache::CacheEntry entry = ImageCache::buildEntry(image, fullSize);
    QCOMPARE(entry.fullSize, fullSize);
    QCOMPARE(entry.levels.size(), scales.size());
    int i = 0;
    for (auto it = entry.levels.cbegin(); it != entry.levels.cend(); ++it, ++i) {
        QVERIFY2(qAbs(it.key() - scales.at(i)) < 1e-9, qPrintable(QString::number(it.key())));
        QCOMPARE(it->image.size(), sizes.at(i));
        QCOMPARE(it->transform, QTransform::fromScale(it.key(), it.key()));
    }
    if (fullSize == QSize(200, 150)) // the decoded image itself, not a copy
        QCOMPARE(entry.levels.first().image.cacheKey(), image.cacheKey());
    QCOMPARE(entry.sizeInBytes(), [&] {
        qint64 bytes = 0;
        for (const auto &level : entry.levels)
            bytes += level.image.sizeInBytes();
        return bytes;
    }());
}

void TestImageCache::levelChainFromReducedDecode_data()
{
    QTest::addColumn<QSize>("fullSize");
    QTest::addColumn<QSize>("decodedSize");
    QTest::newRow("4000x3000 from a quarter") << QSize(4000, 3000) << QSize(1000, 750);
    QTest::newRow("6000x4000 from a quarter") << QSize(6000, 4000) << QSize(1500, 1000);
    QTest::newRow("odd sides rounded up") << QSize(4001, 2999) << QSize(1001, 750);
}

void TestImageCache::levelChainFromReducedDecode()
{
    QFETCH(QSize, fullSize);
    QFETCH(QSize, decodedSize);

    QImage full(fullSize, QImage::Format_RGB32);
    full.fill(Qt::darkRed);
    QImage reduced(decodedSize, QImage::Format_RGB32);
    reduced.fill(Qt::darkRed);
    const ImageCache::CacheEntry fromFull = ImageCache::buildEntry(full, fullSize);
    const ImageCache::CacheEntry fromReduced = ImageCache::buildEntry(reduced, fullSize);
    QCOMPARE(fromReduced.fullSize, fullSize);
    QCOMPARE(fromReduced.levels.keys(), fromFull.levels.keys());
    for (auto it = fromFull.levels.cbegin(); it != fromFull.levels.cend(); ++it)
        QCOMPARE(fromReduced.levels.value(it.key()).image.size(), it->image.size());
}

void TestImageCache::levelChoice_data()
{
    QTest::addColumn<qreal>("deviceScale");
    QTest::addColumn<int>("flags");
    QTest::addColumn<QSize>("expectedSize");

    QTest::newRow("scale 0.1 takes level 1") << 0.1 << 0 << QSize(590, 443);
    QTest::newRow("scale 0.2 takes level 0") << 0.2 << 0 << QSize(1182, 886);
    QTest::newRow("scale 1.0 takes level 0") << 1.0 << 0 << QSize(1182, 886);
    QTest::newRow("scale 3.0 takes level 0") << 3.0 << 0 << QSize(1182, 886);
    QTest::newRow("fast draw at 1.0 takes level 1") << 1.0 << int(FastDraw) << QSize(590, 443);
    QTest::newRow("fast draw at 0.01 takes level 1") << 0.01 << int(FastDraw) << QSize(590, 443);
}

void TestImageCache::levelChoice()
{
    QFETCH(qreal, deviceScale);
    QFETCH(int, flags);
    QFETCH(QSize, expectedSize);

    const QUrl url = writeJpeg(QStringLiteral("choice.jpg"), TestPhotos::quadrants(QSize(4000, 3000)));
    QVERIFY(ImageCache::cacheImage(url));
    QImage image;
    QTransform transform;
    QVERIFY(ImageCache::instance()->findImage(url, QTransform::fromScale(deviceScale, deviceScale),
                                              flags, image, transform));
    QCOMPARE(image.size(), expectedSize);
    // The transform maps the full-size picture onto the image.
    QVERIFY(qAbs(transform.m11() * 4000 - expectedSize.width()) < 2.0);
    QCOMPARE(transform.m12(), 0.0);
}

void TestImageCache::keySymmetry_data()
{
    QTest::addColumn<QTransform>("a");
    QTest::addColumn<QTransform>("b");
    QTest::addColumn<qreal>("scale");

    QTest::newRow("30 and -30 degrees") << QTransform().rotate(30) << QTransform().rotate(-30) << 1.0;
    QTest::newRow("60 and 120 degrees") << QTransform().rotate(60) << QTransform().rotate(120) << 1.0;
    QTest::newRow("mirrored") << QTransform::fromScale(-2, 2) << QTransform::fromScale(2, 2) << 2.0;
    QTest::newRow("scaled rotation") << QTransform().scale(0.5, 0.5).rotate(45)
                                     << QTransform().scale(0.5, 0.5).rotate(-45) << 0.5;
    QTest::newRow("translation ignored")
        << QTransform().translate(100, -40).rotate(10) << QTransform().rotate(-10) << 1.0;
}

void TestImageCache::keySymmetry()
{
    QFETCH(QTransform, a);
    QFETCH(QTransform, b);
    QFETCH(qreal, scale);

    const Key ka = ImageCache::decompose(a);
    const Key kb = ImageCache::decompose(b);
    QVERIFY(qAbs(ka.scale - kb.scale) < 1e-12);
    QVERIFY(qAbs(ka.sin - kb.sin) < 1e-12);
    QVERIFY(qAbs(ka.cos - kb.cos) < 1e-12);
    QVERIFY(qAbs(ka.scale - scale) < 1e-12);
    QVERIFY(ka.sin >= 0 && ka.cos >= 0);
    // The level transform of a key reproduces its key.
    const Key again = ImageCache::decompose(ImageCache::levelTransform(ka));
    QVERIFY(qAbs(again.scale - ka.scale) < 1e-12 && qAbs(again.sin - ka.sin) < 1e-12);
}

void TestImageCache::pixelLimit_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("angle");
    QTest::addColumn<qreal>("scale");
    QTest::addColumn<int>("limit");
    QTest::addColumn<qreal>("expected");

    QTest::newRow("small image untouched") << QSize(200, 150) << 0.0 << 1.0 << 1048576 << 1.0;
    QTest::newRow("exactly at the limit") << QSize(1024, 1024) << 0.0 << 1.0 << 1048576 << 1.0;
    QTest::newRow("large image limited") << QSize(4000, 3000) << 0.0 << 1.0 << 1048576
                                         << std::sqrt(1048576.0 / 12e6);
    QTest::newRow("fast draw limit") << QSize(4000, 3000) << 0.0 << 0.05 << 10240
                                     << std::sqrt(10240.0 / 12e6);
    // 1000 x 1000 turned by 45 degrees has a bounding box of 2 million pixels.
    QTest::newRow("rotation counts the bounding box")
        << QSize(1000, 1000) << 45.0 << 1.0 << 1048576 << std::sqrt(1048576.0 / 1e6);
}

void TestImageCache::pixelLimit()
{
    QFETCH(QSize, size);
    QFETCH(qreal, angle);
    QFETCH(qreal, scale);
    QFETCH(int, limit);
    QFETCH(qreal, expected);

    const Key key = ImageCache::decompose(QTransform().rotate(angle).scale(scale, scale));
    const Key limited = ImageCache::limitPixels(key, size, limit);
    QVERIFY2(qAbs(limited.scale - expected) < 1e-9, qPrintable(QString::number(limited.scale)));
    QCOMPARE(limited.sin, key.sin);
}

// ---------------------------------------------------------------------------

void TestImageCache::transformIdentityShares()
{
    QImage source(300, 200, QImage::Format_RGB32);
    source.fill(Qt::green);
    QCOMPARE(ImageCache::transformImage(source, QTransform(), false).cacheKey(), source.cacheKey());
    const QImage half = ImageCache::transformImage(source, QTransform::fromScale(0.5, 0.5), false);
    QCOMPARE(half.size(), QSize(150, 100));
    // Absurd outputs are refused instead of allocated.
    QVERIFY(ImageCache::transformImage(source, QTransform::fromScale(5000, 5000), false).isNull());
    QVERIFY(ImageCache::transformImage(source, QTransform().rotate(30).scale(5000, 5000), true).isNull());
}

void TestImageCache::transformRotatedTiles_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<qreal>("angle");
    QTest::addColumn<qreal>("scale");

    QTest::newRow("30 degrees, several tiles") << QSize(700, 400) << 30.0 << 1.0;
    QTest::newRow("-75 degrees scaled down") << QSize(900, 650) << -75.0 << 0.5;
    QTest::newRow("10 degrees enlarged") << QSize(200, 120) << 10.0 << 2.5;
}

void TestImageCache::transformRotatedTiles()
{
    QFETCH(QSize, size);
    QFETCH(qreal, angle);
    QFETCH(qreal, scale);

    QImage source(size, QImage::Format_RGB32);
    source.fill(QColor(200, 40, 10));
    const QTransform transform = QTransform().rotate(angle).scale(scale, scale);
    const Key key = ImageCache::decompose(transform);

    const QImage sequential = ImageCache::transformImage(source, transform, false);
    const QImage parallel = ImageCache::transformImage(source, transform, true);
    const QSize expected(qCeil(size.width() * key.cos * key.scale) + qCeil(size.height() * key.sin * key.scale),
                         qCeil(size.height() * key.cos * key.scale) + qCeil(size.width() * key.sin * key.scale));
    QCOMPARE(sequential.size(), expected);
    QVERIFY(sequential.width() > 256 || sequential.height() > 256); // more than one tile
    QCOMPARE(parallel, sequential);

    // The centre is the picture, the corners of the bounding box are clear,
    // and tile seams leave no gaps inside the picture.
    const QPoint centre(expected.width() / 2, expected.height() / 2);
    QCOMPARE(QColor(sequential.pixel(centre)).rgb(), QColor(200, 40, 10).rgb());
    QCOMPARE(qAlpha(sequential.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(sequential.pixel(expected.width() - 1, expected.height() - 1)), 0);
    const QTransform toOutput = QTransform::fromTranslate(-size.width() / 2.0, -size.height() / 2.0)
        * transform * QTransform::fromTranslate(expected.width() / 2.0, expected.height() / 2.0);
    for (int seam = 256; seam < expected.width(); seam += 256) {
        for (int y = 0; y < expected.height(); ++y) {
            // Only points well inside the turned picture.
            const QPointF inPicture = toOutput.inverted().map(QPointF(seam, y));
            if (!QRectF(QPointF(3, 3), QSizeF(size) - QSizeF(6, 6)).contains(inPicture))
                continue;
            QCOMPARE(qAlpha(sequential.pixel(seam, y)), 255);
            QCOMPARE(qAlpha(sequential.pixel(seam - 1, y)), 255);
        }
    }
}

void TestImageCache::transformQuarterTurnContent()
{
    // A quarter turn clockwise: the left column becomes the top row.
    const QImage source = TestPhotos::quadrants(QSize(600, 300));
    const QImage turned = ImageCache::transformImage(source, QTransform().rotate(90), true);
    QCOMPARE(turned.size(), QSize(300, 600));
    QCOMPARE(QColor(turned.pixel(75, 150)), QColor(Qt::blue));
    QCOMPARE(QColor(turned.pixel(225, 150)), QColor(Qt::red));
    QCOMPARE(QColor(turned.pixel(75, 450)), QColor(Qt::yellow));
    QCOMPARE(QColor(turned.pixel(225, 450)), QColor(Qt::green));
    QCOMPARE(qAlpha(turned.pixel(0, 0)), 255);
}

// ---------------------------------------------------------------------------

void TestImageCache::cacheImageStoresOnce()
{
    const QUrl url = writeJpeg(QStringLiteral("twice.jpg"), TestPhotos::photoLike(QSize(1600, 1200)));
    QFuture<QUrl> future = ImageCache::cacheImages({ url, url, url, url });
    future.waitForFinished();
    QCOMPARE(future.results(), (QList<QUrl> { url, url, url, url }));
    ImageCache *cache = ImageCache::instance();
    QCOMPARE(cache->cachedUrls(), QList<QUrl> { url });
    QCOMPARE(cache->totalBytes(), cache->entry(url)->sizeInBytes());
    QCOMPARE(cache->entry(url)->fullSize, QSize(1600, 1200));
}

void TestImageCache::eviction_data()
{
    QTest::addColumn<QList<qint64>>("accessTimes"); // of entries a, b, c, d
    QTest::addColumn<int>("budgetInEntries");
    QTest::addColumn<qint64>("now");
    QTest::addColumn<QString>("survivors");

    // Entry e is added last at `now`; eviction runs with it kept.
    QTest::newRow("oldest goes first")
        << QList<qint64> { 0, 1000, 2000, 3000 } << 4 << qint64(20000) << QStringLiteral("bcde");
    QTest::newRow("as many as needed")
        << QList<qint64> { 0, 1000, 2000, 3000 } << 2 << qint64(20000) << QStringLiteral("de");
    QTest::newRow("recent entries stay above budget")
        << QList<qint64> { 0, 1000, 12000, 13000 } << 1 << qint64(20000) << QStringLiteral("cde");
    QTest::newRow("exactly ten seconds is old")
        << QList<qint64> { 10000, 15000, 15000, 15000 } << 4 << qint64(20000) << QStringLiteral("bcde");
    QTest::newRow("equal times in address order")
        << QList<qint64> { 5000, 5000, 5000, 5000 } << 3 << qint64(20000) << QStringLiteral("cde");
    QTest::newRow("under budget nothing goes")
        << QList<qint64> { 0, 0, 0, 0 } << 5 << qint64(20000) << QStringLiteral("abcde");
}

void TestImageCache::eviction()
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
        urls[name] = writePhoto(QStringLiteral("evict-%1.png").arg(name),
                                TestPhotos::encode(TestPhotos::photoLike(QSize(300, 300), i), "png"));
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

void TestImageCache::evictionSparesRecentEntries()
{
    // Over budget with every entry used in the last ten seconds: nothing
    // goes, and a lookup refreshes an entry so that it stays.
    ImageCache *cache = ImageCache::instance();
    QList<QUrl> urls;
    for (int i = 0; i < 3; ++i)
        urls << writePhoto(QStringLiteral("recent-%1.png").arg(i),
                           TestPhotos::encode(TestPhotos::photoLike(QSize(300, 300), i), "png"));
    cache->setByteLimit(1);
    for (const QUrl &url : urls) {
        m_fakeNow += 1000;
        QVERIFY(ImageCache::cacheImage(url));
    }
    QCOMPARE(cache->cachedUrls().size(), 3);

    // Fifteen seconds later the first photo is drawn again, the others not.
    m_fakeNow += 15000;
    QImage image;
    QTransform transform;
    QVERIFY(cache->findImage(urls.at(0), QTransform(), 0, image, transform));
    QVERIFY(!image.isNull());
    QVERIFY(cache->contains(urls.at(0)));
    QVERIFY(!cache->contains(urls.at(1)));
    QVERIFY(!cache->contains(urls.at(2)));
    QCOMPARE(cache->totalBytes(), sumOfEntries());

    // An evicted photo is read again on demand.
    QSignalSpy loaded(cache, &ImageCache::imageLoaded);
    QCOMPARE(cache->imageSize(urls.at(1)), QSize(300, 300));
    QCOMPARE(loaded.count(), 1);
    QCOMPARE(loaded.first().first().toUrl(), urls.at(1));
}

// ---------------------------------------------------------------------------

void TestImageCache::orientation_data()
{
    QTest::addColumn<int>("orientation");
    QTest::addColumn<QSize>("uprightSize");
    QTest::addColumn<QList<QColor>>("corners"); // top-left, top-right, bottom-left, bottom-right

    const QSize wide(160, 80);
    const QSize tall(80, 160);
    QTest::newRow("1 upright") << 1 << wide << QList<QColor> { Qt::red, Qt::green, Qt::blue, Qt::yellow };
    QTest::newRow("2 mirrored") << 2 << wide << QList<QColor> { Qt::green, Qt::red, Qt::yellow, Qt::blue };
    QTest::newRow("3 half turn") << 3 << wide << QList<QColor> { Qt::yellow, Qt::blue, Qt::green, Qt::red };
    QTest::newRow("4 flipped") << 4 << wide << QList<QColor> { Qt::blue, Qt::yellow, Qt::red, Qt::green };
    QTest::newRow("5 transposed") << 5 << tall << QList<QColor> { Qt::red, Qt::blue, Qt::green, Qt::yellow };
    QTest::newRow("6 rotate 90") << 6 << tall << QList<QColor> { Qt::blue, Qt::red, Qt::yellow, Qt::green };
    QTest::newRow("7 transversed") << 7 << tall << QList<QColor> { Qt::yellow, Qt::green, Qt::blue, Qt::red };
    QTest::newRow("8 rotate 270") << 8 << tall << QList<QColor> { Qt::green, Qt::yellow, Qt::red, Qt::blue };
}

void TestImageCache::orientation()
{
    QFETCH(int, orientation);
    QFETCH(QSize, uprightSize);
    QFETCH(QList<QColor>, corners);

    const QByteArray jpeg = TestPhotos::withExifOrientation(
        TestPhotos::encode(TestPhotos::quadrants(QSize(160, 80)), "jpeg", 95), orientation);
    const QUrl url = writePhoto(QStringLiteral("orientation-%1.jpg").arg(orientation), jpeg);

    ImageDecoder decoder(url.toLocalFile());
    QCOMPARE(decoder.orientation(), orientation);
    QCOMPARE(decoder.size(), uprightSize);
    const QImage image = decoder.read();
    QCOMPARE(image.size(), uprightSize);
    const int w = uprightSize.width();
    const int h = uprightSize.height();
    const QList<QPoint> samples { { w / 4, h / 4 }, { 3 * w / 4, h / 4 }, { w / 4, 3 * h / 4 },
                                  { 3 * w / 4, 3 * h / 4 } };
    for (int i = 0; i < 4; ++i)
        QVERIFY2(TestPhotos::near(image.pixel(samples.at(i)), corners.at(i)),
                 qPrintable(QStringLiteral("corner %1 is %2").arg(i).arg(QColor(image.pixel(samples.at(i))).name())));

    // The image library's own reading agrees.
    QImageReader reader(url.toLocalFile());
    reader.setAutoTransform(true);
    const QImage reference = reader.read();
    QCOMPARE(reference.size(), uprightSize);
    for (const QPoint &point : samples)
        QVERIFY(TestPhotos::near(image.pixel(point), QColor(reference.pixel(point)), 24));
}

void TestImageCache::orientationThroughCache()
{
    // A 1600 x 800 photo stored sideways with "rotate 90": everything sees
    // the upright 800 x 1600 picture.
    const QByteArray jpeg = TestPhotos::withExifOrientation(
        TestPhotos::encode(TestPhotos::quadrants(QSize(1600, 800)), "jpeg", 90), 6);
    const QUrl url = writePhoto(QStringLiteral("portrait.jpg"), jpeg);
    ImageCache *cache = ImageCache::instance();

    QVERIFY(ImageCache::cacheImage(url));
    QCOMPARE(cache->imageSize(url), QSize(800, 1600));
    const ImageCache::CacheEntry entry = *cache->entry(url);
    const qreal s0 = std::sqrt(1048576.0 / (800.0 * 1600.0));
    QCOMPARE(entry.levels.first().image.size(), QSize(362, 724)); // level 1
    QCOMPARE(entry.levels.last().image.size(), ImageCache::scaledSize(QSize(800, 1600), s0));
    const QImage level0 = entry.levels.last().image;
    QVERIFY(level0.height() > level0.width());
    QVERIFY(TestPhotos::near(level0.pixel(level0.width() / 4, level0.height() / 4), Qt::blue));
    QVERIFY(TestPhotos::near(level0.pixel(3 * level0.width() / 4, level0.height() / 4), Qt::red));

    // Loaded on demand (after a clear) it is the same.
    cache->clear();
    QCOMPARE(cache->imageSize(url), QSize(800, 1600));

    // The exact-scale path for output.
    QImage image;
    QTransform transform;
    QVERIFY(cache->findImage(url, QTransform::fromScale(0.5, 0.5), DirectRender, image, transform));
    QCOMPARE(image.size(), QSize(400, 800));
    QVERIFY(TestPhotos::near(image.pixel(100, 200), Qt::blue));
    QVERIFY(TestPhotos::near(image.pixel(300, 600), Qt::green));
}

void TestImageCache::reducedDecodeKeepsMinimum()
{
    const QUrl url = writeJpeg(QStringLiteral("reduce.jpg"), TestPhotos::photoLike(QSize(4000, 3000)));
    ImageDecoder full(url.toLocalFile());
    QCOMPARE(full.size(), QSize(4000, 3000));
    QCOMPARE(full.read().size(), QSize(4000, 3000));

    const qreal s0 = std::sqrt(1048576.0 / 12e6);
    ImageDecoder reduced(url.toLocalFile());
    const QImage image = reduced.read(s0);
    QVERIFY(image.width() >= qCeil(4000 * s0) && image.height() >= qCeil(3000 * s0));
    QVERIFY2(image.width() < 4000, "a large JPEG is decoded at a reduced scale");
    QCOMPARE(reduced.size(), QSize(4000, 3000));
}

void TestImageCache::directRender()
{
    const QUrl url = writeJpeg(QStringLiteral("direct.jpg"), TestPhotos::quadrants(QSize(1200, 900)));
    ImageCache *cache = ImageCache::instance();
    QImage image;
    QTransform transform;

    // Above the picture's own size: the whole picture, enlarged by the
    // painter, and not limited by the cache's pixel limit.
    QVERIFY(cache->findImage(url, QTransform::fromScale(1.5, 1.5), DirectRender, image, transform));
    QCOMPARE(image.size(), QSize(1200, 900));
    QCOMPARE(transform, QTransform());
    QVERIFY(!cache->contains(url)); // nothing is cached by output rendering

    // Below it: the smallest reduced decode that still covers the device
    // scale (3/8 for 0.3), with the transform that lays it over the picture.
    QVERIFY(cache->findImage(url, QTransform::fromScale(0.3, 0.3), DirectRender, image, transform));
    QCOMPARE(image.size(), QSize(450, 338));
    QCOMPARE(transform.map(QPointF(1200, 900)), QPointF(450, 338));

    // A turned device leaves the turning to the painter.
    QVERIFY(cache->findImage(url, QTransform().rotate(20).scale(0.4, 0.4), DirectRender, image,
                             transform));
    QCOMPARE(image.size(), QSize(600, 450));
    QCOMPARE(transform, QTransform::fromScale(0.5, 0.5));

    // A picture decoded far above the device scale (a PNG is never
    // reduced while decoding) is rendered at the exact scale and turn.
    const QUrl png = writePhoto(QStringLiteral("direct.png"),
                                TestPhotos::encode(TestPhotos::quadrants(QSize(1200, 900)), "png"));
    const QTransform rotated = QTransform().rotate(20).scale(0.2, 0.2);
    QVERIFY(cache->findImage(png, rotated, DirectRender, image, transform));
    const Key key = ImageCache::decompose(rotated);
    QCOMPARE(transform, ImageCache::levelTransform(key));
    QCOMPARE(image.width(), qCeil(1200 * key.cos * key.scale) + qCeil(900 * key.sin * key.scale));
}

void TestImageCache::sizesOnly()
{
    const QUrl url = writeJpeg(QStringLiteral("sizes.jpg"), TestPhotos::photoLike(QSize(1600, 1200)));
    const QUrl broken = writePhoto(QStringLiteral("sizes-broken.jpg"),
                                   TestPhotos::encode(TestPhotos::photoLike(QSize(640, 480)), "jpeg", 90).left(900));
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

void TestImageCache::decodeQueue()
{
    QList<QUrl> urls;
    for (int i = 0; i < 6; ++i)
        urls.append(writeJpeg(QStringLiteral("queued%1.jpg").arg(i),
                              TestPhotos::photoLike(QSize(800 + 16 * i, 600))));
    Key half;
    half.scale = 0.5;
    Key turned = ImageCache::decompose(QTransform().rotate(30).scale(0.3, 0.3));

    DecodeQueue queue;
    for (const QUrl &url : std::as_const(urls))
        queue.note(url, half);
    queue.note(urls.first(), half); // the same photo drawn alike again
    queue.note(urls.first(), turned);
    QCOMPARE(queue.count(), 7);
    queue.start();
    // A few at a time, however long the queue.
    QVERIFY(queue.inFlight() <= QThreadPool::globalInstance()->maxThreadCount() + 1);

    // What is taken is what a decode of its own would give; keys reached
    // through another chain of transforms still match.
    Key nearlyHalf = half;
    nearlyHalf.scale = 0.5 * (1 + 1e-13);
    const ImageCache::OutputDecode first = queue.take(urls.first(), nearlyHalf);
    QCOMPARE(first.image, ImageCache::decodeForOutput(urls.first(), half).image);
    QCOMPARE(first.fullSize, QSize(800, 600));
    QCOMPARE(first.image.size(), QSize(400, 300));
    QCOMPARE(queue.take(urls.first(), turned).image.size(), QSize(300, 225));
    for (int i = 1; i < 6; ++i) {
        QVERIFY(queue.inFlight() <= QThreadPool::globalInstance()->maxThreadCount() + 1);
        QCOMPARE(queue.take(urls.at(i), half).fullSize, QSize(800 + 16 * i, 600));
    }
    QCOMPARE(queue.count(), 0);
    // Not noted (or taken already): the caller decodes itself.
    QVERIFY(queue.take(urls.first(), half).image.isNull());
}

// ---------------------------------------------------------------------------

void TestImageCache::goodInput_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("alpha");

    const QImage photo = TestPhotos::photoLike(QSize(640, 480));
    const QByteArray jpeg = TestPhotos::encode(photo, "jpeg", 90);
    QByteArray progressive;
    {
        QBuffer buffer(&progressive);
        buffer.open(QIODevice::WriteOnly);
        QImageWriter writer(&buffer, "jpeg");
        writer.setProgressiveScanWrite(true);
        writer.write(photo);
    }
    QImage translucent(300, 200, QImage::Format_ARGB32);
    translucent.fill(QColor(10, 200, 30, 100));

    QTest::newRow("data after the end marker")
        << QStringLiteral("trailer.jpg") << jpeg + QByteArray("camera trailer").repeated(50)
        << QSize(640, 480) << false;
    QTest::newRow("little-endian orientation tag")
        << QStringLiteral("intel.jpg") << TestPhotos::withExifOrientation(jpeg, 8, true)
        << QSize(480, 640) << false;
    QTest::newRow("progressive") << QStringLiteral("progressive.jpg") << progressive
                                 << QSize(640, 480) << false;
    QTest::newRow("grayscale") << QStringLiteral("gray.jpg")
                               << TestPhotos::encode(photo.convertToFormat(QImage::Format_Grayscale8), "jpeg", 90)
                               << QSize(640, 480) << false;
    QTest::newRow("png with alpha") << QStringLiteral("alpha.png")
                                    << TestPhotos::encode(translucent, "png") << QSize(300, 200) << true;
    QTest::newRow("jpeg named .png") << QStringLiteral("misnamed.png") << jpeg << QSize(640, 480) << false;
}

void TestImageCache::goodInput()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);
    QFETCH(QSize, size);
    QFETCH(bool, alpha);

    const QUrl url = writePhoto(name, bytes);
    QVERIFY(ImageCache::cacheImage(url));
    const ImageCache::CacheEntry entry = *ImageCache::instance()->entry(url);
    QCOMPARE(entry.fullSize, size);
    const QImage level0 = entry.levels.last().image;
    QCOMPARE(level0.size(), size);
    QCOMPARE(level0.format(), alpha ? QImage::Format_ARGB32_Premultiplied : QImage::Format_RGB32);
    if (alpha)
        QCOMPARE(qAlpha(level0.pixel(10, 10)), 100);
}

void TestImageCache::badInput_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");

    const QByteArray jpeg = TestPhotos::encode(TestPhotos::photoLike(QSize(800, 600)), "jpeg", 90);
    const QByteArray png = TestPhotos::encode(TestPhotos::photoLike(QSize(800, 600)), "png");
    QTest::newRow("missing") << QStringLiteral("missing.jpg") << QByteArray();
    QTest::newRow("empty") << QStringLiteral("empty.jpg") << QByteArray("");
    QTest::newRow("truncated jpeg") << QStringLiteral("cut.jpg") << jpeg.left(jpeg.size() / 2);
    QTest::newRow("jpeg cut before its scan")
        << QStringLiteral("header.jpg") << jpeg.left(300);
    QTest::newRow("truncated png") << QStringLiteral("cut.png") << png.left(png.size() / 2);
    QTest::newRow("not an image") << QStringLiteral("notes.png")
                                  << QByteArray("These are notes, not pixels.\n").repeated(40);
    QTest::newRow("png declaring 50000 x 50000")
        << QStringLiteral("huge.png") << TestPhotos::pngDeclaring(QSize(50000, 50000));
    QTest::newRow("png declaring 20000 x 20000")
        << QStringLiteral("large.png") << TestPhotos::pngDeclaring(QSize(20000, 20000));
}

void TestImageCache::badInput()
{
    QFETCH(QString, name);
    QFETCH(QByteArray, bytes);

    const QString path = m_dir.filePath(name);
    QFile::remove(path);
    if (!bytes.isNull())
        QVERIFY(TestPhotos::writeFile(path, bytes));
    const QUrl url = QUrl::fromLocalFile(path);
    ImageCache *cache = ImageCache::instance();

#ifdef Q_OS_LINUX
    rusage before {};
    getrusage(RUSAGE_SELF, &before);
#endif
    QElapsedTimer timer;
    timer.start();
    QVERIFY(!ImageCache::cacheImage(url));
    QVERIFY(!cache->contains(url));
    QCOMPARE(cache->totalBytes(), qint64(0));

    // Drawing or measuring it later finds an empty picture and draws nothing.
    QCOMPARE(cache->imageSize(url).isEmpty(), true);
    QImage image(1, 1, QImage::Format_RGB32);
    QTransform transform;
    QVERIFY(cache->findImage(url, QTransform(), 0, image, transform));
    QVERIFY(image.isNull());
    QVERIFY(!cache->findImage(url, QTransform(), DirectRender, image, transform));
    QVERIFY(!cache->contains(url));
    QCOMPARE(cache->totalBytes(), qint64(0));
    QVERIFY(timer.elapsed() < 5000);
#ifdef Q_OS_LINUX
    rusage after {};
    getrusage(RUSAGE_SELF, &after);
    // ru_maxrss is in kilobytes: refusing a file must not touch big buffers.
    QVERIFY2(after.ru_maxrss - before.ru_maxrss < 200 * 1024,
             qPrintable(QStringLiteral("peak memory grew by %1 kB").arg(after.ru_maxrss - before.ru_maxrss)));
#endif
}

QTEST_MAIN(TestImageCache)
#include "tst_imagecache.moc"
