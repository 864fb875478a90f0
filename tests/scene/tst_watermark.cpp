#include <QtTest>

#include <QPainter>

#include <QImage>

#include "scene/watermark.h"

namespace {

QImage page(int width = 800, int height = 600)
{
    QImage image(width, height, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::black);
    return image;
}

// Bounding box of the pixels the watermark made brighter than the page, and
// the brightest of them.
QRect markedArea(const QImage &image, int *brightest = nullptr)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            if (brightest)
                *brightest = qMax(*brightest, grey);
            if (grey > 60)
                area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

} // namespace

class TestWatermark : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void drawing_data();
    void drawing();
    void sizeFollowsImageHeight();
    void nothingToDraw();
    void bandsMakeTheWholeMark_data();
    void bandsMakeTheWholeMark();
};

void TestWatermark::drawing_data()
{
    QTest::addColumn<int>("position");
    QTest::addColumn<int>("opacity");
    QTest::addColumn<QRect>("region"); // where the text must lie, within an 800 x 600 page

    QTest::newRow("center") << int(WatermarkCenter) << 100 << QRect(200, 250, 400, 100);
    QTest::newRow("bottom right, faint")
        << int(WatermarkBottomRight) << 30 << QRect(400, 500, 400, 100);
}

void TestWatermark::drawing()
{
    QFETCH(int, position);
    QFETCH(int, opacity);
    QFETCH(QRect, region);

    QImage image = page();
    drawWatermark(&image, QStringLiteral("Tesselo ||||"), position, opacity);
    int brightest = 0;
    const QRect area = markedArea(image, &brightest);
    QVERIFY(!area.isEmpty());
    QVERIFY(region.contains(area));
    // The margin keeps corner texts off the edges.
    QVERIFY(area.left() > 10 && area.right() < 790 && area.top() > 10 && area.bottom() < 590);
    // White over black at the given alpha.
    QVERIFY2(
        qAbs(brightest - int(opacity / 100.0 * 255)) <= 3, qPrintable(QString::number(brightest)));
}

void TestWatermark::sizeFollowsImageHeight()
{
    QImage small = page(800, 300), large = page(800, 1200);
    drawWatermark(&small, QStringLiteral("Tesselo"), WatermarkCenter, 100);
    drawWatermark(&large, QStringLiteral("Tesselo"), WatermarkCenter, 100);
    // 12 pt at least on a small image (0.03 x 300 = 9), 36 pt on the large one.
    QVERIFY(markedArea(large).height() > 2 * markedArea(small).height());
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

void TestWatermark::bandsMakeTheWholeMark_data()
{
    QTest::addColumn<int>("position");
    QTest::newRow("center") << int(WatermarkCenter);
    QTest::newRow("bottom right") << int(WatermarkBottomRight);
    QTest::newRow("top left") << int(WatermarkTopLeft);
}

void TestWatermark::bandsMakeTheWholeMark()
{
    // A page written band by band carries the same mark as one drawn whole.
    QFETCH(int, position);
    QImage whole = page(800, 600);
    drawWatermark(&whole, QStringLiteral("Tesselo ||||"), position, 60);
    QImage banded = page(800, 600);
    const int rows = 37;
    for (int top = 0; top < banded.height(); top += rows) {
        QImage band = banded.copy(0, top, 800, rows);
        {
            QPainter painter(&band);
            painter.translate(0, -top);
            drawWatermark(&painter, banded.size(), QStringLiteral("Tesselo ||||"), position, 60);
        }
        QPainter(&banded).drawImage(0, top, band);
    }
    QCOMPARE(banded, whole);
}

QTEST_MAIN(TestWatermark)
#include "tst_watermark.moc"
