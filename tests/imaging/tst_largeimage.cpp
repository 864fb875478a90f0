#include <QPainter>
#include <QTest>

#include "imaging/largeimage.h"

class TestLargeImage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void behavesAsAnImage_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QImage::Format>("format");
        QTest::newRow("small, ordinary memory")
            << QSize(64, 48) << QImage::Format_ARGB32_Premultiplied;
        QTest::newRow("large, mapped") << QSize(3001, 1999) << QImage::Format_ARGB32_Premultiplied;
        QTest::newRow("large, odd row length") << QSize(3001, 1999) << QImage::Format_RGB888;
        QTest::newRow("large, one byte a pixel") << QSize(5003, 1001) << QImage::Format_Grayscale8;
    }

    void behavesAsAnImage()
    {
        QFETCH(QSize, size);
        QFETCH(QImage::Format, format);
        QImage image = LargeImage::create(size, format);
        QCOMPARE(image.size(), size);
        QCOMPARE(image.format(), format);
        QCOMPARE(image.bytesPerLine(), QImage(size, format).bytesPerLine());

        image.fill(Qt::white);
        QPainter(&image).fillRect(QRect(10, 10, 20, 20), Qt::black);
        QCOMPARE(image.pixelColor(15, 15), QColor(Qt::black));
        QCOMPARE(image.pixelColor(size.width() - 1, size.height() - 1), QColor(Qt::white));

        // Copies share the pixels until one is written to; the buffer lives
        // as long as any of them.
        QImage copy = image;
        image = QImage();
        QCOMPARE(copy.pixelColor(15, 15), QColor(Qt::black));
        QImage written = copy;
        written.setPixelColor(15, 15, Qt::white);
        QCOMPARE(copy.pixelColor(15, 15), QColor(Qt::black));
    }

    void refusesWhatCannotBe()
    {
        QVERIFY(LargeImage::create(QSize(), QImage::Format_RGB32).isNull());
        QVERIFY(LargeImage::create(QSize(0, 100), QImage::Format_RGB32).isNull());
        QVERIFY(LargeImage::create(QSize(100, 100), QImage::Format_Invalid).isNull());
        // More than the address space can give: a null image, not a crash.
        QVERIFY(LargeImage::create(QSize(1 << 30, 1 << 30), QImage::Format_ARGB32).isNull());
    }

    void recyclesWithinAScope()
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
};

QTEST_GUILESS_MAIN(TestLargeImage)
#include "tst_largeimage.moc"
