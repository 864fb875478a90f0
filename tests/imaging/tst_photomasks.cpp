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

QPointF elementPoint(const QPainterPath &path, int i)
{
    const QPainterPath::Element e = path.elementAt(i);
    return QPointF(e.x, e.y);
}

} // namespace

class TestPhotoMasks : public QObject
{
    Q_OBJECT

private slots:
    void labels();
    void activeCodes_data();
    void activeCodes();
    void boundingRect_data();
    void boundingRect();
    void containment_data();
    void containment();
    void mirrorSymmetry_data();
    void mirrorSymmetry();
    void starVertices();
    void hexagonVertices();
    void hexagonOnTallRect();
    void heartCurves();
    void diamondVertices();
    void emptyRect_data();
    void emptyRect();
};

void TestPhotoMasks::labels()
{
    const QStringList expected { "None", "Circle", "Heart", "Star", "Diamond", "Hexagon" };
    QCOMPARE(maskNames(), expected);
    QCOMPARE(maskCount, int(expected.size()));
}

void TestPhotoMasks::activeCodes_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("active");
    QTest::newRow("-3") << -3 << false;
    QTest::newRow("None") << 0 << false;
    QTest::newRow("Circle") << 1 << true;
    QTest::newRow("Hexagon") << 5 << true;
    QTest::newRow("6") << 6 << false;
}

void TestPhotoMasks::activeCodes()
{
    QFETCH(int, mask);
    QFETCH(bool, active);
    QCOMPARE(isActive(mask), active);
}

void TestPhotoMasks::boundingRect_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QRectF>("expected");

    QTest::newRow("None") << 0 << wide;
    QTest::newRow("unknown 9") << 9 << wide;
    QTest::newRow("unknown -1") << -1 << wide;
    QTest::newRow("Circle") << 1 << wide;
    // Curve extremes: x reaches 0.68314 rx either side, the lobes rise to
    // 0.54758 ry above the centre, the tip sits on the bottom edge.
    QTest::newRow("Heart") << 2
                           << QRectF(QPointF(110 - 68.314, 70 - 27.379), QPointF(178.314, 120));
    // R = 50; outer points at -90, -18, 54, 126, 198 degrees.
    QTest::newRow("Star") << 3
                          << QRectF(QPointF(110 - 50 * std::cos(M_PI / 10), 20),
                                 QPointF(110 + 50 * std::cos(M_PI / 10),
                                     70 + 50 * std::sin(3 * M_PI / 10)));
    QTest::newRow("Diamond") << 4 << wide;
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
    QVERIFY2(fuzzyEqual(bounds, expected, 0.01),
        qPrintable(QStringLiteral("got (%1, %2) - (%3, %4)")
                       .arg(bounds.left())
                       .arg(bounds.top())
                       .arg(bounds.right())
                       .arg(bounds.bottom())));
}

void TestPhotoMasks::containment_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<bool>("inside");

    QTest::newRow("None centre") << 0 << QPointF(110, 70) << true;
    QTest::newRow("None corner") << 0 << QPointF(11, 21) << true;
    QTest::newRow("None outside") << 0 << QPointF(5, 5) << false;

    QTest::newRow("Circle centre") << 1 << QPointF(110, 70) << true;
    QTest::newRow("Circle near top") << 1 << QPointF(110, 21) << true;
    QTest::newRow("Circle near right") << 1 << QPointF(209, 70) << true;
    QTest::newRow("Circle corner") << 1 << QPointF(12, 22) << false;
    QTest::newRow("Circle off diagonal") << 1 << QPointF(200, 30) << false;

    QTest::newRow("Heart centre") << 2 << QPointF(110, 70) << true;
    QTest::newRow("Heart near tip") << 2 << QPointF(110, 118) << true;
    QTest::newRow("Heart left lobe") << 2 << QPointF(70, 55) << true;
    QTest::newRow("Heart right lobe") << 2 << QPointF(150, 55) << true;
    QTest::newRow("Heart above dip") << 2 << QPointF(110, 58) << false;
    QTest::newRow("Heart top edge") << 2 << QPointF(110, 22) << false;
    QTest::newRow("Heart left edge") << 2 << QPointF(20, 70) << false;
    QTest::newRow("Heart bottom corner") << 2 << QPointF(40, 115) << false;

    QTest::newRow("Star centre") << 3 << QPointF(110, 70) << true;
    QTest::newRow("Star top point") << 3 << QPointF(110, 22) << true;
    QTest::newRow("Star arm at -18 deg")
        << 3 << QPointF(110 + 40 * std::cos(-M_PI / 10), 70 + 40 * std::sin(-M_PI / 10)) << true;
    QTest::newRow("Star notch at -54 deg")
        << 3 << QPointF(110 + 30 * std::cos(-0.3 * M_PI), 70 + 30 * std::sin(-0.3 * M_PI)) << false;
    QTest::newRow("Star below centre") << 3 << QPointF(110, 95) << false;

    QTest::newRow("Diamond centre") << 4 << QPointF(110, 70) << true;
    QTest::newRow("Diamond inside") << 4 << QPointF(70, 60) << true;
    QTest::newRow("Diamond left point") << 4 << QPointF(12, 70) << true;
    QTest::newRow("Diamond outside") << 4 << QPointF(55, 40) << false;
    QTest::newRow("Diamond corner") << 4 << QPointF(205, 115) << false;

    QTest::newRow("Hexagon centre") << 5 << QPointF(110, 70) << true;
    QTest::newRow("Hexagon top point") << 5 << QPointF(110, 22) << true;
    QTest::newRow("Hexagon inside side") << 5 << QPointF(67.5, 70) << true;
    QTest::newRow("Hexagon beyond side") << 5 << QPointF(66, 70) << false;
    QTest::newRow("Hexagon left of photo") << 5 << QPointF(20, 70) << false;
    QTest::newRow("Hexagon right of photo") << 5 << QPointF(200, 70) << false;
}

void TestPhotoMasks::containment()
{
    QFETCH(int, mask);
    QFETCH(QPointF, point);
    QFETCH(bool, inside);
    QCOMPARE(maskOutline(mask, wide).contains(point), inside);
}

void TestPhotoMasks::mirrorSymmetry_data()
{
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("upDown");

    QTest::newRow("Circle") << 1 << true;
    QTest::newRow("Heart") << 2 << false;
    QTest::newRow("Star") << 3 << false;
    QTest::newRow("Diamond") << 4 << true;
    QTest::newRow("Hexagon") << 5 << true;
}

void TestPhotoMasks::mirrorSymmetry()
{
    QFETCH(int, mask);
    QFETCH(bool, upDown);

    // Every shape is symmetric about the vertical centre line; some about
    // the horizontal one too. Sample points stay off the exact axes.
    const QPainterPath path = maskOutline(mask, wide);
    const QPointF c = wide.center();
    int insideCount = 0;
    for (qreal y = wide.top() + 0.37; y < wide.bottom(); y += 3.1) {
        for (qreal x = wide.left() + 0.41; x < c.x(); x += 2.9) {
            const QPointF p(x, y);
            const bool in = path.contains(p);
            insideCount += in;
            QCOMPARE(path.contains(QPointF(2 * c.x() - x, y)), in);
            if (upDown)
                QCOMPARE(path.contains(QPointF(x, 2 * c.y() - y)), in);
        }
    }
    QVERIFY(insideCount > 50);
}

void TestPhotoMasks::starVertices()
{
    const QPainterPath path = maskOutline(Star, wide);
    const QPointF c = wide.center();
    const qreal R = 50;
    QVERIFY(path.elementCount() >= 10);
    QCOMPARE(elementPoint(path, 0), QPointF(110, 20)); // straight above the centre
    for (int k = 0; k < 10; ++k) {
        const QPointF v = elementPoint(path, k);
        const QPointF d = v - c;
        const qreal radius = std::hypot(d.x(), d.y());
        QVERIFY(std::abs(radius - (k % 2 == 0 ? R : 0.38 * R)) < 1e-9);
        const qreal angle = std::atan2(d.y(), d.x());
        const qreal expected = std::remainder(k * M_PI / 5 - M_PI / 2, 2 * M_PI);
        QVERIFY(std::abs(std::remainder(angle - expected, 2 * M_PI)) < 1e-9);
    }
    // Closed back onto the first vertex.
    QCOMPARE(path.currentPosition(), QPointF(110, 20));
}

void TestPhotoMasks::hexagonVertices()
{
    const QPainterPath path = maskOutline(Hexagon, wide);
    const QPointF c = wide.center();
    QVERIFY(path.elementCount() >= 6);
    for (int k = 0; k < 6; ++k) {
        const QPointF d = elementPoint(path, k) - c;
        QVERIFY(std::abs(std::hypot(d.x(), d.y()) - 50) < 1e-9);
    }
    QVERIFY((elementPoint(path, 1) - QPointF(110, 120)).manhattanLength() < 1e-9); // below
    QVERIFY((elementPoint(path, 4) - QPointF(110, 20)).manhattanLength() < 1e-9); // above
    QVERIFY(
        (elementPoint(path, 0) - QPointF(110 + 25 * std::sqrt(3.0), 95)).manhattanLength() < 1e-9);
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

void TestPhotoMasks::heartCurves()
{
    const QPainterPath path = maskOutline(Heart, wide);
    QCOMPARE(path.elementCount(), 7);
    const QPointF expected[] = {
        QPointF(110, 120), // tip
        QPointF(110 - 110, 70 - 10), // left curve, first control
        QPointF(110 - 70, 70 - 55), // left curve, second control
        QPointF(110, 70 - 7.5), // dip
        QPointF(110 + 70, 70 - 55), // right curve, first control
        QPointF(110 + 110, 70 - 10), // right curve, second control
        QPointF(110, 120), // back at the tip
    };
    const QPainterPath::ElementType types[] = {
        QPainterPath::MoveToElement,
        QPainterPath::CurveToElement,
        QPainterPath::CurveToDataElement,
        QPainterPath::CurveToDataElement,
        QPainterPath::CurveToElement,
        QPainterPath::CurveToDataElement,
        QPainterPath::CurveToDataElement,
    };
    for (int i = 0; i < 7; ++i) {
        QCOMPARE(path.elementAt(i).type, types[i]);
        QVERIFY2((elementPoint(path, i) - expected[i]).manhattanLength() < 1e-9,
            qPrintable(QString::number(i)));
    }
    // The control points reach outside the rectangle, the curves do not.
    const QRectF controls = path.controlPointRect();
    QVERIFY(controls.left() < wide.left());
    QVERIFY(controls.right() > wide.right());
    QVERIFY(controls.top() < wide.top());
    QVERIFY(wide.contains(path.boundingRect()));
}

void TestPhotoMasks::diamondVertices()
{
    const QPainterPath path = maskOutline(Diamond, wide);
    QVERIFY(path.elementCount() >= 4);
    QCOMPARE(elementPoint(path, 0), QPointF(110, 20));
    QCOMPARE(elementPoint(path, 1), QPointF(210, 70));
    QCOMPARE(elementPoint(path, 2), QPointF(110, 120));
    QCOMPARE(elementPoint(path, 3), QPointF(10, 70));
}

void TestPhotoMasks::emptyRect_data()
{
    QTest::addColumn<int>("mask");
    for (int mask = 0; mask < maskCount; ++mask)
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
}

QTEST_MAIN(TestPhotoMasks)
#include "tst_photomasks.moc"
