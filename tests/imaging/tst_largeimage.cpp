#include <QPainter>
#include <QTest>

#include "imaging/largeimage.h"

class TestLargeImage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void behavesAsAnImage_data();
    void behavesAsAnImage();
    void refusesWhatCannotBe();
};

void TestLargeImage::behavesAsAnImage_data()
{
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QImage::Format>("format");
    QTest::newRow("small, ordinary memory") << QSize(64, 48) << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("large, mapped") << QSize(3001, 1999) << QImage::Format_ARGB32_Premultiplied;
    QTest::newRow("large, odd row length") << QSize(3001, 1999) << QImage::Format_RGB888;
    QTest::newRow("large, one byte a pixel") << QSize(5003, 1001) << QImage::Format_Grayscale8;
}

void TestLargeImage::behavesAsAnImage()
{
    QFETCH(QSize, size);
    QFETCH(QImage::Format, format);
    QImage image = LargeImage::create(size, format);
    const QImage reference(size, format);
    QCOMPARE(image.size(), size);
    QCOMPARE(image.format(), format);
    QCOMPARE(image.bytesPerLine(), reference.bytesPerLine());

    image.fill(Qt::white);
    {
        QPainter painter(&image);
        painter.fillRect(QRect(10, 10, 20, 20), Qt::black);
    }
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

void TestLargeImage::refusesWhatCannotBe()
{
    QVERIFY(LargeImage::create(QSize(), QImage::Format_RGB32).isNull());
    QVERIFY(LargeImage::create(QSize(0, 100), QImage::Format_RGB32).isNull());
    QVERIFY(LargeImage::create(QSize(100, 100), QImage::Format_Invalid).isNull());
    // More than the address space can give: a null image, not a crash.
    QVERIFY(LargeImage::create(QSize(1 << 30, 1 << 30), QImage::Format_ARGB32).isNull());
}

QTEST_GUILESS_MAIN(TestLargeImage)
#include "tst_largeimage.moc"
