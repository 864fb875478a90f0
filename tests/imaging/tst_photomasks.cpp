#include <QPainterPath>
#include <QTest>

#include <cmath>

#include "imaging/photomasks.h"

using namespace PhotoMasks;

namespace {

// A wide rectangle: centre (110, 70), half sides rx = 100, ry = 50.
const QRectF wide(10, 20, 200, 100);

bool fuzzyEqual(const QRectF &a, const QRectF &b, qreal eps)
{
    return std::abs(a.left() - b.left()) < eps && std::abs(a.top() - b.top()) < eps
        && std::abs(a.right() - b.right()) < eps && std::abs(a.bottom() - b.bottom()) < eps;
}

} // namespace

class TestPhotoMasks : public QObject
{
    Q_OBJECT

private slots:
    void boundingRect_data();
    void boundingRect();
    void containment_data();
    void containment();
    void hexagonOnTallRect();
    void emptyRect_data();
    void emptyRect();
};

void TestPhotoMasks::boundingRect_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QRectF>("expected");

    QTest::newRow("unknown 9") << 9 << wide;
    // Curve extremes: x reaches 0.68314 rx either side, the lobes rise to
    // 0.54758 ry above the centre, the tip sits on the bottom edge.
    QTest::newRow("Heart") << 2
                           << QRectF(QPointF(110 - 68.314, 70 - 27.379), QPointF(178.314, 120));
    // R = 50; outer points at -90, -18, 54, 126, 198 degrees.
    QTest::newRow("Star") << 3
                          << QRectF(QPointF(110 - 50 * std::cos(M_PI / 10), 20),
                                 QPointF(110 + 50 * std::cos(M_PI / 10),
                                     70 + 50 * std::sin(3 * M_PI / 10)));
    // R = 50, pointed at top and bottom, flat sides at +-R cos 30.
    QTest::newRow("Hexagon") << 5
                             << QRectF(QPointF(110 - 50 * std::sqrt(3.0) / 2, 20),
                                    QPointF(110 + 50 * std::sqrt(3.0) / 2, 120));
}

void TestPhotoMasks::boundingRect()
{
    QFETCH(int, mask);
    QFETCH(QRectF, expected);

    const QRectF bounds = maskOutline(mask, wide).boundingRect();
    QVERIFY(fuzzyEqual(bounds, expected, 0.01));
}

void TestPhotoMasks::containment_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("inside");

    QTest::newRow("None corner") << 0 << QPointF(11, 21) << true;
    QTest::newRow("Circle corner") << 1 << QPointF(12, 22) << false;
    QTest::newRow("Heart left lobe") << 2 << QPointF(70, 55) << true;
    QTest::newRow("Heart above dip") << 2 << QPointF(110, 58) << false;
    QTest::newRow("Star arm at -18 deg")
        << 3 << QPointF(110 + 40 * std::cos(-M_PI / 10), 70 + 40 * std::sin(-M_PI / 10)) << true;
    QTest::newRow("Star notch at -54 deg")
        << 3 << QPointF(110 + 30 * std::cos(-0.3 * M_PI), 70 + 30 * std::sin(-0.3 * M_PI)) << false;
    QTest::newRow("Diamond outside") << 4 << QPointF(55, 40) << false;
    QTest::newRow("Hexagon inside side") << 5 << QPointF(67.5, 70) << true;
    QTest::newRow("Hexagon beyond side") << 5 << QPointF(66, 70) << false;
}

void TestPhotoMasks::containment()
{
    QFETCH(int, mask);
    QFETCH(QPointF, point);
    QFETCH(bool, inside);
    QCOMPARE(maskOutline(mask, wide).contains(point), inside);
}

void TestPhotoMasks::hexagonOnTallRect()
{
    // On a tall photo the radius is the half width, so the hexagon leaves
    // the top and bottom of the photo uncovered.
    const QRectF tall(0, 0, 100, 300);
    const QPainterPath path = maskOutline(Hexagon, tall);
    const QRectF bounds = path.boundingRect();
    QVERIFY(fuzzyEqual(bounds,
        QRectF(QPointF(50 - 25 * std::sqrt(3.0), 100), QPointF(50 + 25 * std::sqrt(3.0), 200)),
        1e-6));
    QVERIFY(!path.contains(QPointF(50, 50)));
    QVERIFY(path.contains(QPointF(50, 150)));
}

void TestPhotoMasks::emptyRect_data()
{
    QTest::addColumn<int>("mask");
    for (int mask = 0; mask <= maskCount; ++mask) // one unknown code
        QTest::addRow("mask %d", mask) << mask;
}

void TestPhotoMasks::emptyRect()
{
    QFETCH(int, mask);
    // A photo whose image is not read yet may have no size at all.
    const QPainterPath path = maskOutline(mask, QRectF(5, 5, 0, 0));
    const QRectF bounds = path.boundingRect();
    QVERIFY(bounds.width() == 0 && bounds.height() == 0);
    QVERIFY(!path.contains(QPointF(6, 6)));
    QCOMPARE(isActive(mask), mask > 0 && mask < maskCount);
}

QTEST_MAIN(TestPhotoMasks)
#include "tst_photomasks.moc"
