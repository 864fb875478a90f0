#include <QtTest>

#include <QImage>

#include "scene/watermark.h"

namespace {

// Bounding box of the pixels the watermark made brighter than the page.
QRect markedArea(const QImage &image, int threshold = 60)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        const QRgb *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qGray(line[x]) > threshold)
                area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

QImage page(int width = 800, int height = 600)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    return image;
}

} // namespace

class TestWatermark : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void placement_data();
    void placement();
    void opacity_data();
    void opacity();
    void sizeFollowsImageHeight();
    void nothingToDraw();
};

void TestWatermark::placement_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<QRect>("region"); // where the text must lie, within an 800 x 600 page

    QTest::newRow("center") << int(WatermarkCenter) << QRect(200, 250, 400, 100);
    QTest::newRow("bottom right") << int(WatermarkBottomRight) << QRect(400, 500, 400, 100);
    QTest::newRow("bottom left") << int(WatermarkBottomLeft) << QRect(0, 500, 400, 100);
    QTest::newRow("top right") << int(WatermarkTopRight) << QRect(400, 0, 400, 100);
    QTest::newRow("top left") << int(WatermarkTopLeft) << QRect(0, 0, 400, 100);
}

void TestWatermark::placement()
{
    QFETCH(int, position);
    QFETCH(QRect, region);
    QImage image = page();
    drawWatermark(&image, QStringLiteral("Tesselo"), position, 100);
    const QRect area = markedArea(image);
    QVERIFY(!area.isEmpty());
    QVERIFY2(region.contains(area), qPrintable(QStringLiteral("text at %1,%2 %3x%4")
                                                   .arg(area.x()).arg(area.y())
                                                   .arg(area.width()).arg(area.height())));
    // The margin keeps corner texts off the edges.
    QVERIFY(area.left() > 10 && area.right() < 790 && area.top() > 10 && area.bottom() < 590);
}

void TestWatermark::opacity_data()
{
    QTest::addColumn<int>("opacity");
    QTest::newRow("full") << 100;
    QTest::newRow("half") << 50;
    QTest::newRow("faint") << 5;
}

void TestWatermark::opacity()
{
    QFETCH(int, opacity);
    QImage image = page();
    drawWatermark(&image, QStringLiteral("||||||||"), WatermarkCenter, opacity);
    int brightest = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            brightest = qMax(brightest, qGray(image.pixel(x, y)));
    // White over black at the given alpha.
    QVERIFY2(qAbs(brightest - int(opacity / 100.0 * 255)) <= 3, qPrintable(QString::number(brightest)));
}

void TestWatermark::sizeFollowsImageHeight()
{
    QImage small = page(800, 300), large = page(800, 1200);
    drawWatermark(&small, QStringLiteral("Tesselo"), WatermarkCenter, 100);
    drawWatermark(&large, QStringLiteral("Tesselo"), WatermarkCenter, 100);
    const int smallHeight = markedArea(small).height(), largeHeight = markedArea(large).height();
    // 12 pt at least on a small image (0.03 x 300 = 9), 36 pt on the large one.
    QVERIFY(largeHeight > 2 * smallHeight);
}

void TestWatermark::nothingToDraw()
{
    QImage image = page(100, 100);
    const QImage before = image;
    drawWatermark(&image, QString(), WatermarkCenter, 100);
    QCOMPARE(image, before);
    drawWatermark(nullptr, QStringLiteral("x"), WatermarkCenter, 100);
    QImage null;
    drawWatermark(&null, QStringLiteral("x"), WatermarkCenter, 100);
    QVERIFY(null.isNull());
}

QTEST_MAIN(TestWatermark)
#include "tst_watermark.moc"
