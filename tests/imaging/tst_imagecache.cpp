#include <QElapsedTimer>
#include <QSignalSpy>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>

#include <cmath>

#ifdef Q_OS_LINUX
#include <sys/resource.h>
#endif

#include "imaging/decodequeue.h"
#include "imaging/drawflags.h"
#include "imaging/imagecache.h"
#include "imaging/testphotos.h"

using Key = ImageCache::LevelKey;

class TestImageCache : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void levelChoice();
    void pixelLimit();

    void transformImage();

    void cacheImageStoresOnce();
    void eviction_data();
    void eviction();
    void evictionSparesRecentEntries();

    void orientation_data();
    void orientation();
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

void TestImageCache::levelChoice()
{
    // A 4000 x 3000 photo keeps level 0 at the pixel limit (1182 x 886) and
    // level 1 at half that; drawing takes the smallest level that is not
    // enlarged, and the smaller one while the user drags.
    const QUrl url = writeJpeg(QStringLiteral("choice.jpg"), TestPhotos::quadrants(QSize(4000, 3000)));
    QVERIFY(ImageCache::cacheImage(url));
    ImageCache *cache = ImageCache::instance();
    QCOMPARE(cache->entry(url)->levels.size(), 2);
    const struct
    {
        qreal scale;
        int flags;
        QSize size;
    } cases[] = { { 0.1, 0, QSize(590, 443) },
                  { 0.2, 0, QSize(1182, 886) },
                  { 3.0, 0, QSize(1182, 886) },
                  { 1.0, FastDraw, QSize(590, 443) } };
    for (const auto &c : cases) {
        QImage image;
        QTransform transform;
        const QTransform device = QTransform::fromScale(c.scale, c.scale);
        QVERIFY(cache->findImage(url, device, c.flags, image, transform));
        QCOMPARE(image.size(), c.size);
        // The transform maps the full-size picture onto the image.
        QVERIFY(qAbs(transform.m11() * 4000 - c.size.width()) < 2.0);
        QCOMPARE(transform.m12(), 0.0);
    }
}

void TestImageCache::pixelLimit()
{
    struct Case
    {
        QSize size;
        qreal angle;
        qreal scale;
        int limit;
        qreal expected;
    };
    // 1000 x 1000 turned by 45 degrees has a bounding box of 2 million pixels.
    const Case cases[] = { { QSize(1024, 1024), 0, 1, 1048576, 1 },
                           { QSize(4000, 3000), 0, 0.05, 10240, std::sqrt(10240.0 / 12e6) },
                           { QSize(1000, 1000), 45, 1, 1048576, std::sqrt(1048576.0 / 1e6) } };
    for (const Case &c : cases) {
        const Key key = ImageCache::decompose(QTransform().rotate(c.angle).scale(c.scale, c.scale));
        const Key limited = ImageCache::limitPixels(key, c.size, c.limit);
        QVERIFY2(qAbs(limited.scale - c.expected) < 1e-9,
                 qPrintable(QString::number(limited.scale)));
        QCOMPARE(limited.sin, key.sin);
    }
}

void TestImageCache::transformImage()
{
    // Nothing to do shares the image; absurd outputs are refused instead of
    // allocated.
    const QImage source = TestPhotos::quadrants(QSize(600, 300));
    QCOMPARE(ImageCache::transformImage(source, QTransform(), false).cacheKey(), source.cacheKey());
    QVERIFY(ImageCache::transformImage(source, QTransform::fromScale(5000, 5000), false).isNull());
    QVERIFY(ImageCache::transformImage(source, QTransform().rotate(30).scale(5000, 5000), true).isNull());

    // A quarter turn clockwise: the left column becomes the top row.
    const QImage turned = ImageCache::transformImage(source, QTransform().rotate(90), true);
    QCOMPARE(turned.size(), QSize(300, 600));
    QCOMPARE(QColor(turned.pixel(75, 150)), QColor(Qt::blue));
    QCOMPARE(QColor(turned.pixel(225, 450)), QColor(Qt::green));
    QCOMPARE(qAlpha(turned.pixel(0, 0)), 255);

    // A turn in several tiles: the same result on the thread pool, clear
    // corners, and no gaps along the tile seams inside the picture.
    QImage plain(QSize(900, 650), QImage::Format_RGB32);
    plain.fill(QColor(200, 40, 10));
    const QTransform transform = QTransform().rotate(-75).scale(0.5, 0.5);
    const Key key = ImageCache::decompose(transform);
    const QImage sequential = ImageCache::transformImage(plain, transform, false);
    const QSize expected(qCeil(900 * key.cos * key.scale) + qCeil(650 * key.sin * key.scale),
                         qCeil(650 * key.cos * key.scale) + qCeil(900 * key.sin * key.scale));
    QCOMPARE(sequential.size(), expected);
    QVERIFY(expected.width() > 256);
    QCOMPARE(ImageCache::transformImage(plain, transform, true), sequential);
    QCOMPARE(qAlpha(sequential.pixel(0, 0)), 0);
    QCOMPARE(qAlpha(sequential.pixel(expected.width() - 1, expected.height() - 1)), 0);
    const QTransform toOutput = QTransform::fromTranslate(-450, -325) * transform
        * QTransform::fromTranslate(expected.width() / 2.0, expected.height() / 2.0);
    const QTransform fromOutput = toOutput.inverted();
    for (int seam = 256; seam < expected.width(); seam += 256) {
        for (int y = 0; y < expected.height(); ++y) {
            if (!QRectF(3, 3, 894, 644).contains(fromOutput.map(QPointF(seam, y))))
                continue; // not well inside the turned picture
            QCOMPARE(QColor(sequential.pixel(seam, y)).rgba(), QColor(200, 40, 10).rgba());
            QCOMPARE(qAlpha(sequential.pixel(seam - 1, y)), 255);
        }
    }
}

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
    ImageCache *cache = ImageCache::instance();

    // The cached levels and output rendering at a reduced decode both see
    // the upright picture.
    QVERIFY(ImageCache::cacheImage(url));
    QCOMPARE(cache->imageSize(url), uprightSize);
    const QImage level0 = cache->entry(url)->levels.last().image;
    QCOMPARE(level0.size(), uprightSize);
    QImage direct;
    QTransform transform;
    QVERIFY(cache->findImage(url, QTransform::fromScale(0.5, 0.5), DirectRender, direct,
                             transform));
    QCOMPARE(direct.size(), uprightSize / 2);

    for (const QImage &image : { level0, direct }) {
        const int w = image.width();
        const int h = image.height();
        const QList<QPoint> samples { { w / 4, h / 4 }, { 3 * w / 4, h / 4 }, { w / 4, 3 * h / 4 },
                                      { 3 * w / 4, 3 * h / 4 } };
        for (int i = 0; i < 4; ++i)
            QVERIFY2(TestPhotos::near(image.pixel(samples.at(i)), corners.at(i)),
                     qPrintable(QStringLiteral("corner %1 of a %2 x %3 image is %4")
                                    .arg(i)
                                    .arg(w)
                                    .arg(h)
                                    .arg(QColor(image.pixel(samples.at(i))).name())));
    }
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

    // Through the cache: a noting lookup draws nothing and queues the
    // photo; the drawing lookup takes it.
    ImageCache *cache = ImageCache::instance();
    cache->setDecodeQueue(&queue);
    const auto unset = qScopeGuard([cache] { cache->setDecodeQueue(nullptr); });
    QImage image;
    QTransform transform;
    const QTransform device = QTransform::fromScale(0.5, 0.5);
    QVERIFY(cache->findImage(urls.first(), device, DirectRender | CollectImages, image, transform));
    QVERIFY(image.isNull());
    QCOMPARE(queue.count(), 1);
    queue.start();
    QVERIFY(cache->findImage(urls.first(), device, DirectRender, image, transform));
    QCOMPARE(queue.count(), 0);
    QCOMPARE(image.size(), QSize(400, 300));
}

void TestImageCache::goodInput_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<bool>("alpha");

    const QImage photo = TestPhotos::photoLike(QSize(640, 480));
    const QByteArray jpeg = TestPhotos::encode(photo, "jpeg", 90);
    QImage translucent(300, 200, QImage::Format_ARGB32);
    translucent.fill(QColor(10, 200, 30, 100));

    QTest::newRow("data after the end marker")
        << QStringLiteral("trailer.jpg") << jpeg + QByteArray("camera trailer").repeated(50)
        << QSize(640, 480) << false;
    QTest::newRow("little-endian orientation tag")
        << QStringLiteral("intel.jpg") << TestPhotos::withExifOrientation(jpeg, 8, true)
        << QSize(480, 640) << false;
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
    QTest::newRow("missing") << QStringLiteral("missing.jpg") << QByteArray();
    QTest::newRow("truncated jpeg") << QStringLiteral("cut.jpg") << jpeg.left(jpeg.size() / 2);
    QTest::newRow("jpeg cut before its scan") << QStringLiteral("header.jpg") << jpeg.left(300);
    QTest::newRow("not an image") << QStringLiteral("notes.png")
                                  << QByteArray("These are notes, not pixels.\n").repeated(40);
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

    // Drawing or measuring it later finds an empty picture and draws nothing.
    QVERIFY(cache->imageSize(url).isEmpty());
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
