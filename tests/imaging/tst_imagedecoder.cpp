#include <QtTest>

#include <QBuffer>
#include <QColorSpace>
#include <QColorTransform>
#include <QImageReader>
#include <QTemporaryDir>

#include "imaging/drawflags.h"
#include "imaging/heifdecoder.h"
#include "imaging/imagecache.h"
#include "imaging/imagedecoder.h"
#include "imaging/jpegmarkers.h"
#include "imaging/jpegwriter.h"
#include "imaging/largeimage.h"
#include "imaging/pngwriter.h"
#include "testphotos.h"

using namespace TestPhotos;

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

QByteArray flat(const QColor &color, const char *format, const QColorSpace &space = {})
{
    QImage image(sampleSize, QImage::Format_RGB32);
    image.fill(color);
    image.setColorSpace(space);
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

} // namespace

// Reading image files whatever their state, and writing them.
class TestImageDecoder : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QVERIFY(m_dir.isValid()); }

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

        ImageDecoder decoder(write(name, bytes));
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
        QTest::newRow("display p3 png") << flat(colour, "png", p3) << p3 << 2;
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

    void cacheKeepsToItsLimit_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QByteArray>("bytes");

        const QImage large = photoLike(QSize(1600, 1200));
        QTest::newRow("jpeg") << "big.jpg" << encode(large, "jpeg", 90);
        QTest::newRow("png") << "big.png" << encode(large, "png");
    }

    void cacheKeepsToItsLimit()
    {
        QFETCH(QString, name);
        QFETCH(QByteArray, bytes);

        const QUrl url = QUrl::fromLocalFile(write(name, bytes));
        ImageCache *cache = ImageCache::instance();
        QVERIFY(ImageCache::cacheImage(url));
        const auto entry = cache->entry(url);
        QVERIFY(entry);
        QCOMPARE(entry->fullSize, QSize(1600, 1200));
        for (const ImageCache::CachedLevel &level : entry->levels)
            QVERIFY(qint64(level.image.width()) * level.image.height() <= cache->pixelLimit());
        cache->clear();
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
    // of an odd length.
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
    }

    void largeImageRefusesWhatCannotBe()
    {
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

    void jpegInBandsEqualsQtsWriter_data()
    {
        QTest::addColumn<int>("quality");
        QTest::addColumn<int>("bandRows");
        QTest::newRow("quality 75, odd bands") << 75 << 37;
        QTest::newRow("quality 10, one band") << 10 << 1000;
    }

    void jpegInBandsEqualsQtsWriter()
    {
        QFETCH(int, quality);
        QFETCH(int, bandRows);
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
        QTest::newRow("one row") << TestPhotos::photoLike(QSize(50, 1), 5) << false;
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
    }

    // Both writers report a device that stops taking bytes, like a full disk.
    void fullDevice()
    {
        const QImage image = TestPhotos::photoLike(QSize(640, 480));
        FullDevice forJpeg(2000);
        forJpeg.open(QIODevice::WriteOnly);
        JpegWriter writer(&forJpeg, image.size(), 92, 96);
        QVERIFY(!writer.writeRows(image, image.height()) || !writer.finish());
        QVERIFY(!writer.errorString().isEmpty());

        FullDevice forPng(TestPhotos::encode(image, "png").size() / 2);
        forPng.open(QIODevice::WriteOnly);
        QString error;
        QVERIFY(!PngWriter::write(image, &forPng, &error));
        QVERIFY(!error.isEmpty());
    }

private:
    QString write(const QString &name, const QByteArray &bytes)
    {
        const QString path = m_dir.filePath(name);
        return writeFile(path, bytes) ? path : QString();
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestImageDecoder)
#include "tst_imagedecoder.moc"
