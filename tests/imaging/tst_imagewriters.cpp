#include <QtTest>

#include <QBuffer>
#include <QColorSpace>
#include <QImageReader>
#include <QImageWriter>

#include "imaging/jpegwriter.h"
#include "imaging/pngwriter.h"
#include "testphotos.h"

namespace {

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

class TestImageWriters : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
};

QTEST_MAIN(TestImageWriters)
#include "tst_imagewriters.moc"
