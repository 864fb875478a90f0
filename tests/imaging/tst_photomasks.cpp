#include <QPainterPath>
#include <QTest>

#include <cmath>

#include "imaging/photomasks.h"

using namespace PhotoMasks;

namespace {

// A wide rectangle: centre (110, 70), half sides rx = 100, ry = 50.
const QRectF wide(10, 20, 200, 100);

// The rect through two corners given as centre offsets of the wide one.
QRectF aroundCentre(qreal left, qreal top, qreal right, qreal bottom)
{
    return QRectF(QPointF(110 + left, 70 + top), QPointF(110 + right, 70 + bottom));
}

} // namespace

class TestPhotoMasks : public QObject
{
    Q_OBJECT

private slots:
    void boundingRect_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QRectF>("rect");
        QTest::addColumn<QRectF>("expected");

        const qreal root3 = std::sqrt(3.0);
        QTest::newRow("unknown 9") << 9 << wide << wide;
        // Curve extremes: x reaches 0.68314 rx either side, the lobes rise to
        // 0.54758 ry above the centre, the tip sits on the bottom edge.
        QTest::newRow("Heart") << 2 << wide << aroundCentre(-68.314, -27.379, 68.314, 50);
        // R = 50; outer points at -90, -18, 54, 126, 198 degrees.
        const qreal starX = 50 * std::cos(M_PI / 10);
        QTest::newRow("Star") << 3 << wide
                              << aroundCentre(-starX, -50, starX, 50 * std::sin(3 * M_PI / 10));
        // R = 50, pointed at top and bottom, flat sides at +-R cos 30.
        QTest::newRow("Hexagon") << 5 << wide << aroundCentre(-25 * root3, -50, 25 * root3, 50);
        // On a tall photo the radius is the half width, so the hexagon leaves
        // the top and bottom of the photo uncovered.
        QTest::newRow("Hexagon, tall")
            << 5 << QRectF(0, 0, 100, 300)
            << QRectF(QPointF(50 - 25 * root3, 100), QPointF(50 + 25 * root3, 200));
    }

    void boundingRect()
    {
        QFETCH(int, mask);
        QFETCH(QRectF, rect);
        QFETCH(QRectF, expected);
        const QRectF bounds = maskOutline(mask, rect).boundingRect();
        const qreal off = (bounds.topLeft() - expected.topLeft()).manhattanLength()
            + (bounds.bottomRight() - expected.bottomRight()).manhattanLength();
        QVERIFY2(off < 0.01, qPrintable(QStringLiteral("off by %1").arg(off)));
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
        const QRectF tall(0, 0, 100, 300);
        QTest::newRow("None corner") << 0 << wide << QPointF(11, 21) << true;
        QTest::newRow("Circle corner") << 1 << wide << QPointF(12, 22) << false;
        QTest::newRow("Heart left lobe") << 2 << wide << QPointF(70, 55) << true;
        QTest::newRow("Heart above dip") << 2 << wide << QPointF(110, 58) << false;
        QTest::newRow("Star arm at -18 deg") << 3 << wide << polar(40, -M_PI / 10) << true;
        QTest::newRow("Star notch at -54 deg") << 3 << wide << polar(30, -0.3 * M_PI) << false;
        QTest::newRow("Diamond outside") << 4 << wide << QPointF(55, 40) << false;
        QTest::newRow("Hexagon inside side") << 5 << wide << QPointF(67.5, 70) << true;
        QTest::newRow("Hexagon beyond side") << 5 << wide << QPointF(66, 70) << false;
        QTest::newRow("Hexagon, tall, above") << 5 << tall << QPointF(50, 50) << false;
        QTest::newRow("Hexagon, tall, centre") << 5 << tall << QPointF(50, 150) << true;
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
        for (int mask = 0; mask <= maskCount; ++mask) // one unknown code
            QTest::addRow("mask %d", mask) << mask;
    }

    void emptyRect()
    {
        QFETCH(int, mask);
        // A photo whose image is not read yet may have no size at all.
        const QPainterPath path = maskOutline(mask, QRectF(5, 5, 0, 0));
        QCOMPARE(path.boundingRect().size(), QSizeF(0, 0));
        QVERIFY(!path.contains(QPointF(6, 6)));
        QCOMPARE(isActive(mask), mask > 0 && mask < maskCount);
    }
};

QTEST_MAIN(TestPhotoMasks)
#include "tst_photomasks.moc"
