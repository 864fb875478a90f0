#include <QtTest>

#include <QBuffer>
#include <QColorSpace>
#include <QColorTransform>
#include <QImage>
#include <QImageReader>
#include <QPainter>
#include <QPainterPath>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QThreadPool>

#include <cmath>

#include "imaging/decodequeue.h"
#include "imaging/drawflags.h"
#include "imaging/heifdecoder.h"
#include "imaging/imagecache.h"
#include "imaging/imagedecoder.h"
#include "imaging/imagefilters.h"
#include "imaging/jpegmarkers.h"
#include "imaging/jpegwriter.h"
#include "imaging/largeimage.h"
#include "imaging/photomasks.h"
#include "imaging/pngwriter.h"
#include "imaging/testphotos.h"

using Key = ImageCache::LevelKey;
using namespace ImageFilters;
using namespace TestPhotos;
using PhotoMasks::maskOutline;

namespace {

const QSize sampleSize(64, 48);

// A JPEG marker stream: the segments, one scan of `scan` bytes, the end
// marker and `tail`. The scan is not decodable; only the markers matter.
QByteArray markerStream(const QByteArray &segments, const QByteArray &scan = QByteArray(16, 'x'),
    bool withEnd = true, const QByteArray &tail = {})
{
    QByteArray bytes = QByteArray::fromHex("FFD8") + segments;
    bytes += segment(0xDA, QByteArray::fromHex("010100003F00")) + scan;
    return bytes + (withEnd ? QByteArray::fromHex("FFD9") : QByteArray()) + tail;
}

// A marker stream with one Exif segment (see exifPayload()).
QByteArray exifStream(
    bool little, quint16 value, quint16 magic = 42, quint32 ifdOffset = 8, quint16 tag = 0x0112)
{
    return markerStream(segment(0xE1, exifPayload(little, value, magic, ifdOffset, tag)));
}

QByteArray flat(const QColor &color, const char *format)
{
    QImage image(sampleSize, QImage::Format_RGB32);
    image.fill(color);
    return encode(image, format, 100);
}

QByteArray sample(const QString &name)
{
    QFile file(QFINDTESTDATA(QStringLiteral("data/") + name));
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray withBoxSize(QByteArray heif, const QByteArray &type, quint32 size)
{
    const qsizetype at = heif.indexOf(type);
    if (at >= 4)
        heif.replace(at - 4, 4, put32(size));
    return heif;
}

// A device that takes a few bytes and then refuses, like a full disk.
class FullDevice : public QBuffer
{
public:
    explicit FullDevice(qint64 room)
        : m_room(room)
    {
    }

protected:
    qint64 writeData(const char *data, qint64 length) override
    {
        return buffer().size() + length > m_room ? -1 : QBuffer::writeData(data, length);
    }

private:
    qint64 m_room;
};

QImage readBack(const QByteArray &bytes, const char *format)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return QImageReader(&buffer, format).read();
}

// The pixels alone: our writers also say the picture is sRGB.
QImage pixelsOf(QImage image)
{
    image.setColorSpace(QColorSpace());
    return image;
}

QByteArray jpeg(const QImage &image)
{
    return encode(image, "jpeg", 90);
}

QImage filled(QImage::Format format, const QColor &colour)
{
    QImage image(5, 3, format);
    image.fill(colour);
    return image;
}

// A wide rectangle: centre (110, 70), half sides rx = 100, ry = 50.
const QRectF wide(10, 20, 200, 100);

} // namespace

// Photos from file to pixels and back: decoding whatever the file's state,
// the cache of decoded levels, filters and masks, and the image writers.
class TestImaging : public QObject
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

    void formats_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QImage>("expected");
        QTest::addColumn<int>("tolerance");

        const QImage quads = quadrants(sampleSize);
        const QImage grey = quads.convertToFormat(QImage::Format_Grayscale8);
        QByteArray png16 = encode(quads.convertToFormat(QImage::Format_RGBA64), "png");
        QCOMPARE(int(uchar(png16.at(24))), 16); // the IHDR bit depth: a true 16-bit file

        QTest::newRow("jpeg") << "a.jpg" << encode(quads, "jpeg", 95) << quads << 24;
        QTest::newRow("greyscale jpeg") << "c.jpg" << encode(grey, "jpeg", 95)
                                        << grey.convertToFormat(QImage::Format_RGB32) << 8;
        QTest::newRow("cmyk jpeg") << "d.jpg" << sample("cmyk.jpg") << quads << 40;
        QTest::newRow("16-bit png") << "e.png" << png16 << quads << 1;
        QTest::newRow("gif") << "h.gif" << sample("quadrants.gif") << quads << 0;
        if (!HeifDecoder::suffixes().isEmpty()) {
            QTest::newRow("heic") << "j.heic" << sample("quadrants.heic") << quads << 24;
            QTest::newRow("heic turned by its transform")
                << "l.heic" << sample("rotated.heic") << quads.transformed(QTransform().rotate(90))
                << 24;
            // Named wrongly on purpose: the content decides, not the suffix.
            QTest::newRow("heic named .jpg") << "m.jpg" << sample("quadrants.heic") << quads << 24;
        }
    }

    void formats()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(QImage, expected);
        QFETCH(int, tolerance);
        QVERIFY(!bytes.isEmpty());

        ImageDecoder decoder(write(name, bytes).toLocalFile());
        QVERIFY2(decoder.canRead(), qPrintable(decoder.errorString()));
        QCOMPARE(decoder.size(), expected.size());
        const QImage image = decoder.read();
        QCOMPARE(image.size(), expected.size());
        QVERIFY(image.format() == QImage::Format_RGB32
            || image.format() == QImage::Format_ARGB32_Premultiplied);
        for (int quadrant = 0; quadrant < 4; ++quadrant) {
            const QPoint centre((quadrant % 2 * 2 + 1) * expected.width() / 4,
                (quadrant / 2 * 2 + 1) * expected.height() / 4);
            const int distance = channelDistance(image.pixel(centre), expected.pixel(centre));
            QVERIFY2(distance <= tolerance,
                qPrintable(QStringLiteral("quadrant %1 off by %2").arg(quadrant).arg(distance)));
        }
        // The same bytes from memory decode alike.
        const auto fromMemory = ImageDecoder::fromData(bytes);
        QCOMPARE(fromMemory->read(), image);
    }

    void colourProfiles_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QColorSpace>("space");
        QTest::addColumn<int>("tolerance");

        const QColor colour(200, 100, 50);
        const QColorSpace p3(QColorSpace::DisplayP3);
        const QByteArray jpeg = flat(colour, "jpeg");
        // Profiles bigger than one segment come in several numbered chunks.
        QTest::newRow("display p3 jpeg, profile in chunks")
            << withSegments(jpeg, iccChunks(p3.iccProfile(), 150)) << p3 << 4;
        if (!HeifDecoder::suffixes().isEmpty()) {
            QTest::newRow("display p3 heic, coded primaries") << sample("p3.heic") << p3 << 5;
        }
    }

    void colourProfiles()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QColorSpace, space);
        QFETCH(int, tolerance);

        const QRgb stored = qRgb(200, 100, 50);
        const QRgb expected = space.transformationToColorSpace(QColorSpace::SRgb).map(stored);
        QVERIFY(channelDistance(stored, expected) > 3 * tolerance); // the conversion shows

        const auto decoder = ImageDecoder::fromData(bytes);
        const QImage image = decoder->read();
        QVERIFY2(!image.isNull(), qPrintable(decoder->errorString()));
        QCOMPARE(image.colorSpace(), QColorSpace(QColorSpace::SRgb));
        const QRgb pixel = image.pixel(image.width() / 2, image.height() / 2);
        QVERIFY2(channelDistance(pixel, expected) <= tolerance,
            qPrintable(QStringLiteral("got %1, expected %2")
                           .arg(QColor(pixel).name(), QColor(expected).name())));
    }

    // A PNG is decoded whole, then kept in levels within the pixel limit.
    void cacheKeepsToItsLimit()
    {
        const QUrl url
            = write(QStringLiteral("big.png"), encode(photoLike(QSize(1600, 1200)), "png"));
        ImageCache *cache = ImageCache::instance();
        QVERIFY(ImageCache::cacheImage(url));
        const auto entry = cache->entry(url);
        QVERIFY(entry);
        QCOMPARE(entry->fullSize, QSize(1600, 1200));
        for (const ImageCache::CachedLevel &level : entry->levels)
            QVERIFY(qint64(level.image.width()) * level.image.height() <= cache->pixelLimit());
    }

    void damaged_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("decodes");

        const QByteArray jpeg = encode(photoLike(QSize(800, 600)), "jpeg", 90);
        QTest::newRow("missing") << "missing.jpg" << QByteArray() << false;
        QTest::newRow("zero bytes") << "empty.jpg" << QByteArray("") << false;
        QTest::newRow("text renamed to .jpg")
            << "notes.jpg" << QByteArray("Shopping: eggs, milk.\n").repeated(20) << false;
        QTest::newRow("truncated jpeg") << "cut.jpg" << jpeg.left(jpeg.size() * 2 / 3) << false;
        QTest::newRow("png declaring 100000 x 100000")
            << "huge.png" << pngDeclaring(QSize(100000, 100000)) << false;
        // A 1-bit greyscale PNG of 16384 x 16384 pixels, all black: some 30 KB on
        // disk that would take a gigabyte once decoded to 32-bit pixels.
        const QByteArray bomb = png(QSize(16384, 16384), QByteArray::fromHex("0100"), 16384 * 2049);
        QVERIFY(bomb.size() < 100 * 1024);
        QTest::newRow("decompression bomb") << "bomb.png" << bomb << false;
        // Found by fuzzing: a text chunk declaring 1.8 GB in a file of a few
        // hundred bytes, which Qt's reader would allocate before failing.
        QByteArray longChunk = encode(quadrants(sampleSize), "png");
        longChunk.insert(
            longChunk.size() - 12, put32(0x6DE50025) + QByteArray("tEXtdate:modify\0", 16));
        QTest::newRow("png chunk longer than the file") << "chunk.png" << longChunk << false;
        // IFD0 and its Exif pointer both lead back to IFD0.
        const QByteArray loop = QByteArray("MM") + put16(42) + put32(8) + put16(1) + put16(0x8769)
            + put16(4) + put32(1) + put32(8) + put32(8);
        QTest::newRow("exif block pointing into itself")
            << "loop.jpg" << withSegments(jpeg, segment(0xE1, QByteArray("Exif\0\0", 6) + loop))
            << true;
        if (!HeifDecoder::suffixes().isEmpty()) {
            const QByteArray heic = sample("quadrants.heic");
            QTest::newRow("heic with a broken box")
                << "box.heic" << withBoxSize(heic, "ipco", 0xFFFFFFF0u) << false;
            QTest::newRow("heic with an empty box")
                << "tiny.heic" << withBoxSize(heic, "hvcC", 8) << false;
            QTest::newRow("truncated heic") << "cut.heic" << heic.left(heic.size() / 2) << false;
        }
    }

    void damaged()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, decodes);

        const QString path = m_dir.filePath(name);
        QFile::remove(path);
        QVERIFY(bytes.isNull() || writeFile(path, bytes));
        ImageDecoder decoder(path);
        const QImage image = decoder.read();
        QCOMPARE(!image.isNull(), decodes);
        QCOMPARE(decoder.errorString().isEmpty(), decodes);
        QCOMPARE(!ImageDecoder::fromData(bytes)->read().isNull(), decodes);
        const QUrl url = QUrl::fromLocalFile(path);
        ImageCache *cache = ImageCache::instance();
        QCOMPARE(ImageCache::cacheImage(url), decodes);
        QCOMPARE(cache->contains(url), decodes);
        if (!decodes) {
            // Drawing or measuring it later finds an empty picture and draws nothing.
            QVERIFY(cache->imageSize(url).isEmpty());
            QImage drawn(1, 1, QImage::Format_RGB32);
            QTransform transform;
            QVERIFY(cache->findImage(url, QTransform(), 0, drawn, transform));
            QVERIFY(drawn.isNull());
            QVERIFY(!cache->findImage(url, QTransform(), DirectRender, drawn, transform));
            QCOMPARE(cache->totalBytes(), qint64(0));
        }
        cache->clear();
        // Nothing above may have allocated the pixels the files declare.
        QVERIFY2(peakMemoryMb() < 400, qPrintable(QString::number(peakMemoryMb())));
    }

    void chooseDecodeSize_data()
    {
        QTest::addColumn<QSize>("needed");
        QTest::addColumn<qint64>("maximumPixels");
        QTest::addColumn<bool>("reductionAllowed");
        QTest::addColumn<QSize>("expected");

        const qint64 plenty = qint64(1) << 30;
        QTest::newRow("exactly an eighth") << QSize(500, 375) << plenty << true << QSize(500, 375);
        QTest::newRow("one pixel over an eighth, in height")
            << QSize(500, 376) << plenty << true << QSize(1000, 750);
        QTest::newRow("nothing covers: the largest")
            << QSize(5000, 100) << plenty << true << QSize(4000, 3000);
        QTest::newRow("too large, reduced")
            << QSize(4000, 3000) << qint64(3000000) << true << QSize(2000, 1500);
        QTest::newRow("too large, no reduction")
            << QSize(4000, 3000) << qint64(3000000) << false << QSize();
        QTest::newRow("nothing within the limit")
            << QSize(10, 10) << qint64(100) << true << QSize();
    }

    void chooseDecodeSize()
    {
        QFETCH(QSize, needed);
        QFETCH(qint64, maximumPixels);
        QFETCH(bool, reductionAllowed);
        QFETCH(QSize, expected);

        const QList<QSize> available { { 500, 375 }, { 1000, 750 }, { 2000, 1500 },
            { 4000, 3000 } };
        QCOMPARE(ImageDecoder::chooseDecodeSize(available, needed, maximumPixels, reductionAllowed),
            expected);
        QCOMPARE(
            ImageDecoder::chooseDecodeSize({}, needed, maximumPixels, reductionAllowed), QSize());
    }

    void markers_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("orientation");
        QTest::addColumn<bool>("complete");

        for (bool little : { false, true }) {
            for (int orientation = 1; orientation <= 8; ++orientation) {
                QTest::addRow("orientation %d, %s", orientation, little ? "II" : "MM")
                    << exifStream(little, quint16(orientation)) << orientation << true;
            }
        }
        QTest::newRow("orientation out of range") << exifStream(false, 9) << 1 << true;
        QTest::newRow("bad tiff magic") << exifStream(true, 6, 43) << 1 << true;
        QTest::newRow("ifd offset past the end") << exifStream(false, 6, 42, 4096) << 1 << true;
        QTest::newRow("ifd offset into the header") << exifStream(true, 6, 42, 0) << 1 << true;
        QTest::newRow("other tag only") << exifStream(false, 6, 42, 8, 0x0110) << 1 << true;
        const QByteArray exif = segment(0xE1, exifPayload(false, 6));
        QByteArray longSegment = exif;
        longSegment[2] = char(0x7F);
        QTest::newRow("app1 length past the end") << markerStream(longSegment) << 1 << false;
        QTest::newRow("fill bytes before markers")
            << markerStream(QByteArray::fromHex("FFFFFF") + exif) << 6 << true;
        QTest::newRow("stuffed bytes and restart markers in the scan")
            << markerStream(exif, QByteArray::fromHex("12FF0034FFD056FFD778FFFF009A")) << 6 << true;
        QTest::newRow("data after the end marker") << markerStream(exif, QByteArray(8, 'x'), true,
            "camera trailer \xFF\xD8 more") << 6 << true;
        QTest::newRow("truncated scan")
            << markerStream(exif, QByteArray(40, 'x'), false) << 6 << false;
        QTest::newRow("no scan at all")
            << QByteArray::fromHex("FFD8") + exif + QByteArray::fromHex("FFD9") << 6 << false;
        QTest::newRow("not a jpeg") << QByteArray("GIF89a and more") << 1 << false;
    }

    void markers()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, orientation);
        QFETCH(bool, complete);

        QCOMPARE(JpegMarkers::exifOrientation(bytes), orientation);
        QCOMPARE(JpegMarkers::hasCompleteScan(bytes), complete);
        // Every prefix is read without running past the data.
        for (qsizetype length = 0; length < bytes.size(); ++length) {
            const QByteArray prefix = bytes.left(length);
            QVERIFY(JpegMarkers::exifOrientation(prefix) >= 1);
            JpegMarkers::hasCompleteScan(prefix);
            JpegMarkers::iccProfile(prefix);
        }
    }

    void iccProfile_data()
    {
        QTest::addColumn<QByteArray>("segments");
        QTest::addColumn<bool>("found");

        const QByteArray profile = QColorSpace(QColorSpace::DisplayP3).iccProfile();
        const int third = int(profile.size() + 2) / 3;
        QTest::newRow("one chunk") << iccChunks(profile, 65000) << true;
        QTest::newRow("three chunks out of order")
            << iccChunks(profile, third, { 3, 1, 2 }) << true;
        QTest::newRow("missing chunk") << iccChunks(profile, third, { 1, 3 }) << false;
        QTest::newRow("repeated chunk") << iccChunks(profile, third, { 1, 2, 2, 3 }) << false;
        QTest::newRow("chunk numbered zero") << iccChunks(profile, third, { 0, 1, 2 }) << false;
        QTest::newRow("counts disagree")
            << iccChunks(profile, third, { 1, 2 }) + iccChunks(profile, third, { 3 }, 4) << false;
        QTest::newRow("none") << segment(0xE2, QByteArray("MPF\0", 4)) << false;
    }

    void iccProfile()
    {
        QFETCH(QByteArray, segments);
        QFETCH(bool, found);

        const QByteArray profile = QColorSpace(QColorSpace::DisplayP3).iccProfile();
        QCOMPARE(JpegMarkers::iccProfile(markerStream(segments)), found ? profile : QByteArray());
    }

    // Decoded pixels of large photos live in mapped memory, here with rows
    // of an odd length; sizes that cannot be are refused.
    void largeImageBehavesAsAnImage()
    {
        const QSize size(3001, 1999);
        QImage image = LargeImage::create(size, QImage::Format_RGB888);
        QCOMPARE(image.bytesPerLine(), QImage(size, QImage::Format_RGB888).bytesPerLine());
        image.fill(Qt::white);
        QPainter(&image).fillRect(QRect(10, 10, 20, 20), Qt::black);
        QCOMPARE(image.pixelColor(size.width() - 1, size.height() - 1), QColor(Qt::white));

        // Copies share the pixels until one is written to; the buffer lives
        // as long as any of them.
        QImage copy = image;
        image = QImage();
        QImage written = copy;
        written.setPixelColor(15, 15, Qt::white);
        QCOMPARE(copy.pixelColor(15, 15), QColor(Qt::black));

        QVERIFY(LargeImage::create(QSize(), QImage::Format_RGB32).isNull());
        QVERIFY(LargeImage::create(QSize(0, 100), QImage::Format_RGB32).isNull());
        QVERIFY(LargeImage::create(QSize(100, 100), QImage::Format_Invalid).isNull());
        // More than the address space can give: a null image, not a crash.
        QVERIFY(LargeImage::create(QSize(1 << 30, 1 << 30), QImage::Format_ARGB32).isNull());
    }

    void largeImageRecyclesWithinAScope()
    {
#ifndef Q_OS_LINUX
        QSKIP("Buffers are mapped on Linux only.");
#else
        const QSize size(2000, 1500);
        {
            const LargeImage::Recycling recycling;
            const uchar *first = LargeImage::create(size, QImage::Format_RGB32).constBits();
            QVERIFY(LargeImage::recycledBytes() >= size_t(size.width()) * size.height() * 4);
            // A buffer of like size comes back; one far smaller does not take it.
            QVERIFY(
                LargeImage::create(QSize(400, 3000), QImage::Format_RGB32).constBits() != first);
            QImage again = LargeImage::create(QSize(1990, 1500), QImage::Format_ARGB32);
            QCOMPARE(again.constBits(), first);
            QCOMPARE(again.size(), QSize(1990, 1500));
            again.fill(Qt::blue);
            QCOMPARE(again.pixel(1989, 1499), QColor(Qt::blue).rgb());
        }
        // The last scope lets everything go; without a scope nothing is kept.
        QCOMPARE(LargeImage::recycledBytes(), size_t(0));
        LargeImage::create(size, QImage::Format_RGB32);
        QCOMPARE(LargeImage::recycledBytes(), size_t(0));
#endif
    }

    // In bands of an odd number of rows.
    void jpegInBandsEqualsQtsWriter()
    {
        const int quality = 75;
        const int bandRows = 37;
        const QImage image = TestPhotos::photoLike(QSize(301, 203), 7);
        QBuffer written;
        written.open(QIODevice::WriteOnly);
        JpegWriter writer(&written, image.size(), quality, 96);
        for (int top = 0; top < image.height(); top += bandRows) {
            const int rows = qMin(bandRows, image.height() - top);
            QVERIFY(writer.writeRows(image.copy(0, top, image.width(), rows), rows));
        }
        QVERIFY(writer.finish());
        const QImage ours = readBack(written.data(), "jpeg");
        QCOMPARE(ours.colorSpace(), QColorSpace(QColorSpace::SRgb));
        const QByteArray qts = TestPhotos::encode(image, "jpeg", quality);
        QCOMPARE(pixelsOf(ours), pixelsOf(readBack(qts, "jpeg")));

        // A device that stops taking bytes, like a full disk, fails the writer.
        FullDevice full(2000);
        full.open(QIODevice::WriteOnly);
        JpegWriter failing(&full, image.size(), quality, 96);
        QVERIFY(!failing.writeRows(image, image.height()) || !failing.finish());
        QVERIFY(!failing.errorString().isEmpty());
    }

    void pngRoundTrip_data()
    {
        QTest::addColumn<QImage>("image");
        QTest::addColumn<bool>("alpha");
        QImage strips = TestPhotos::photoLike(QSize(257, 1500), 3);
        strips.setDotsPerMeterX(11811);
        strips.setDotsPerMeterY(5906);
        QTest::newRow("opaque photo, many strips, own resolution") << strips << false;
        QImage translucent
            = TestPhotos::photoLike(QSize(120, 90), 4).convertToFormat(QImage::Format_ARGB32);
        for (int y = 0; y < translucent.height(); ++y) {
            for (int x = 0; x < translucent.width(); ++x)
                translucent.setPixel(
                    x, y, (translucent.pixel(x, y) & 0xFFFFFF) | uint((x * 2 + y) % 256) << 24);
        }
        QTest::newRow("translucent") << translucent << true;
    }

    void pngRoundTrip()
    {
        QFETCH(QImage, image);
        QFETCH(bool, alpha);
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        QString error;
        QVERIFY2(PngWriter::write(image, &buffer, &error), qPrintable(error));
        const QImage read = readBack(buffer.data(), "png");
        QCOMPARE(read.hasAlphaChannel(), alpha);
        QCOMPARE(read.colorSpace(), QColorSpace(QColorSpace::SRgb));
        QCOMPARE(pixelsOf(read.convertToFormat(image.format())), image);
        QCOMPARE(QSize(read.dotsPerMeterX(), read.dotsPerMeterY()),
            QSize(image.dotsPerMeterX(), image.dotsPerMeterY()));

        // Half the room the file needs, like a full disk: the write fails and says why.
        FullDevice full(buffer.size() / 2);
        full.open(QIODevice::WriteOnly);
        QVERIFY(!PngWriter::write(image, &full, &error));
        QVERIFY(!error.isEmpty());
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
        // What is taken is what a decode of its own would give; keys reached
        // through another chain of transforms still match.
        Key nearlyHalf = half;
        nearlyHalf.scale = 0.5 * (1 + 1e-13);
        const ImageCache::OutputDecode first = queue.take(urls.first(), nearlyHalf);
        QCOMPARE(first.image, ImageCache::decodeForOutput(urls.first(), half).image);
        QCOMPARE(first.image.size(), QSize(400, 300));
        QCOMPARE(queue.take(urls.first(), turned).image.size(), QSize(300, 225));
        // The second draw alike is served by the same decode.
        QCOMPARE(queue.take(urls.first(), half).image, first.image);
        // A few at a time, however long the queue.
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

    void knownValues_data()
    {
        QTest::addColumn<int>("filter");
        QTest::addColumn<QColor>("input");
        QTest::addColumn<QColor>("expected");

        // Worked out by hand.
        QTest::newRow("unknown code 6") << 6 << QColor(12, 34, 56) << QColor(12, 34, 56);
        QTest::newRow("grayscale mixed") << 1 << QColor(10, 200, 30) << QColor(123, 123, 123);
        QTest::newRow("sepia light grey") << 2 << QColor(240, 240, 240) << QColor(255, 250, 220);
        QTest::newRow("warm") << 3 << QColor(100, 200, 250) << QColor(120, 210, 235);
        QTest::newRow("cool clamps") << 4 << QColor(10, 252, 240) << QColor(0, 255, 255);
        QTest::newRow("contrast truncates") << 5 << QColor(127, 44, 43) << QColor(126, 2, 0);
    }

    void knownValues()
    {
        QFETCH(int, filter);
        QFETCH(QColor, input);
        QFETCH(QColor, expected);
        QCOMPARE(QColor(filterPixel(input.rgba(), filter)), expected);
    }

    void wholeImages_data()
    {
        QTest::addColumn<int>("filter");
        for (int filter = 0; filter < filterCount; ++filter)
            QTest::addRow("filter %d", filter) << filter;
    }

    void wholeImages()
    {
        QFETCH(int, filter);

        // The whole-image path gives what the pixel function does, for every
        // red and green value meeting every blue value at least once.
        QImage image(256, 256, QImage::Format_RGB32);
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x)
                image.setPixel(x, y, qRgb(x, y, (x * 7 + y * 13) & 255));
        }
        const QImage copy = image;
        const QImage result = applyFilter(image, filter);
        QCOMPARE(result.format(), QImage::Format_RGB32);
        QCOMPARE(image, copy); // source untouched
        for (int y = 0; y < 256; ++y) {
            for (int x = 0; x < 256; ++x) {
                if (result.pixel(x, y) != filterPixel(image.pixel(x, y), filter))
                    QFAIL(qPrintable(QStringLiteral("pixel (%1, %2) differs").arg(x).arg(y)));
            }
        }

        // Premultiplied: stored pixels stay valid premultiplied values with
        // the same alpha, and their straight colour is the filtered one up to
        // the rounding that premultiplying at this alpha brings.
        for (const QColor &input : { QColor(250, 245, 240, 100), QColor(5, 20, 12, 250) }) {
            const QImage result
                = applyFilter(filled(QImage::Format_ARGB32_Premultiplied, input), filter);
            QCOMPARE(result.format(), QImage::Format_ARGB32_Premultiplied);
            const QRgb raw = result.pixel(3, 1);
            QCOMPARE(qAlpha(raw), input.alpha());
            QVERIFY(qMax(qRed(raw), qMax(qGreen(raw), qBlue(raw))) <= qAlpha(raw));
            const QRgb expected = filterPixel(input.rgba(), filter);
            QVERIFY2(channelDistance(qUnpremultiply(raw), expected)
                    <= int(std::ceil(255.0 / input.alpha())) + 1,
                qPrintable(QStringLiteral("%1 vs %2").arg(raw, 8, 16).arg(expected, 8, 16)));
        }

        // A transparent buffer with an opaque spot in it, as an offscreen
        // rendering of a masked photo looks: the clear parts stay clear.
        QImage masked = filled(QImage::Format_ARGB32_Premultiplied, Qt::transparent);
        masked.setPixel(4, 2, qRgb(0, 0, 0));
        const QImage spot = applyFilter(masked, filter);
        QCOMPARE(spot.pixel(0, 0), QRgb(0));
        QCOMPARE(spot.pixel(4, 2), filterPixel(qRgb(0, 0, 0), filter));
        QVERIFY(applyFilter(QImage(), filter).isNull());

        // Other formats are converted (no filter leaves them as they are).
        QCOMPARE(
            applyFilter(filled(QImage::Format_Grayscale8, QColor(90, 90, 90)), filter).pixel(1, 1),
            filterPixel(qRgb(90, 90, 90), filter));
    }

    void paintFilteredOnTransformedPainter()
    {
        QImage target = filled(QImage::Format_RGB32, Qt::white).scaled(100, 100);
        QPainterPath circle;
        circle.addEllipse(QRectF(-10, -10, 20, 20));
        {
            QPainter painter(&target);
            painter.translate(50, 50);
            painter.rotate(30);
            painter.scale(2, 2);
            paintFiltered(&painter, QRectF(-10, -10, 20, 20), Grayscale, circle,
                [](QPainter *p) { p->fillRect(QRectF(-50, -50, 100, 100), Qt::red); });
        }
        QCOMPARE(target.pixel(50, 50), qRgb(76, 76, 76));
        QCOMPARE(target.pixel(43, 25), qRgb(255, 255, 255)); // inside the rect, outside the circle
        // Nothing red reaches the page, not even at the antialiased edges.
        QCOMPARE(
            target.convertToFormat(QImage::Format_Grayscale8).convertToFormat(QImage::Format_RGB32),
            target);
    }

    void paintFilteredBuffer()
    {
        // A device of 200 x 200 pixels at ratio 2 is 100 x 100 units; the
        // filtered buffer must cover exactly the device pixels of the rect.
        QImage target = filled(QImage::Format_ARGB32_Premultiplied, Qt::white).scaled(200, 200);
        target.setDevicePixelRatio(2);
        QSize bufferSize;
        const auto content = [&](QPainter *p) {
            bufferSize = QSize(p->device()->width(), p->device()->height());
            p->fillRect(QRectF(-100, -100, 200, 200), QColor(100, 150, 200));
        };
        {
            QPainter painter(&target);
            paintFiltered(&painter, QRectF(10, 10, 30, 30), Grayscale, QPainterPath(), content);
        }
        QCOMPARE(bufferSize, QSize(60, 60));
        QCOMPARE(target.pixel(79, 79), qRgb(140, 140, 140));
        QCOMPARE(target.pixel(80, 80), qRgb(255, 255, 255));

        // A rect far larger than the device only needs a device-sized buffer.
        QImage small(64, 48, QImage::Format_RGB32);
        {
            QPainter painter(&small);
            painter.scale(1e4, 1e4);
            paintFiltered(&painter, QRectF(-100, -100, 200, 200), Cool, QPainterPath(), content);
        }
        QVERIFY(bufferSize.width() <= 64 && bufferSize.height() <= 48);
        QCOMPARE(small.pixel(63, 47), qRgb(85, 155, 225));

        // A collapsed painter, an empty rect and a rect off the device draw
        // nothing at all.
        bufferSize = QSize();
        {
            QPainter painter(&small);
            painter.scale(0, 0);
            paintFiltered(&painter, QRectF(0, 0, 10, 10), Sepia, QPainterPath(), content);
            painter.resetTransform();
            paintFiltered(&painter, QRectF(), Sepia, QPainterPath(), content);
            paintFiltered(&painter, QRectF(70, 50, 10, 10), Sepia, QPainterPath(), content);
        }
        QCOMPARE(bufferSize, QSize());
    }

    void containment_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<QPointF>("point");
        QTest::addColumn<bool>("inside");

        const auto polar = [](qreal radius, qreal angle) {
            return QPointF(110 + radius * std::cos(angle), 70 + radius * std::sin(angle));
        };
        // On a tall photo the radius is the half width, so the hexagon leaves
        // the top and bottom of the photo uncovered.
        const QRectF tall(0, 0, 100, 300);
        QTest::newRow("None corner") << 0 << wide << QPointF(11, 21) << true;
        QTest::newRow("Circle corner") << 1 << wide << QPointF(12, 22) << false;
        QTest::newRow("Heart above dip") << 2 << wide << QPointF(110, 58) << false;
        QTest::newRow("Star notch at -54 deg") << 3 << wide << polar(30, -0.3 * M_PI) << false;
        QTest::newRow("Diamond outside") << 4 << wide << QPointF(55, 40) << false;
        QTest::newRow("Hexagon inside side") << 5 << wide << QPointF(67.5, 70) << true;
        QTest::newRow("Hexagon, tall, above") << 5 << tall << QPointF(50, 50) << false;
    }

    void containment()
    {
        QFETCH(int, mask);
        QFETCH(QRectF, rect);
        QFETCH(QPointF, point);
        QFETCH(bool, inside);
        QCOMPARE(maskOutline(mask, rect).contains(point), inside);
    }

    void emptyRect_data()
    {
        QTest::addColumn<int>("mask");
        for (int mask = 0; mask <= PhotoMasks::maskCount; ++mask) // one unknown code
            QTest::addRow("mask %d", mask) << mask;
    }

    void emptyRect()
    {
        QFETCH(int, mask);
        // A photo whose image is not read yet may have no size at all.
        const QPainterPath path = maskOutline(mask, QRectF(5, 5, 0, 0));
        QCOMPARE(path.boundingRect().size(), QSizeF(0, 0));
        QVERIFY(!path.contains(QPointF(6, 6)));
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

QTEST_MAIN(TestImaging)
#include "tst_imaging.moc"
