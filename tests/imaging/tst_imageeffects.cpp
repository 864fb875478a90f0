#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTest>

#include <cmath>

#include "imaging/imagefilters.h"
#include "imaging/photomasks.h"
#include "testphotos.h"

using namespace ImageFilters;
using PhotoMasks::maskOutline;
using TestPhotos::channelDistance;

namespace {

QImage filled(QImage::Format format, const QColor &colour)
{
    QImage image(5, 3, format);
    image.fill(colour);
    return image;
}

// A wide rectangle: centre (110, 70), half sides rx = 100, ry = 50.
const QRectF wide(10, 20, 200, 100);

// The rect through two corners given as centre offsets of the wide one.
QRectF aroundCentre(qreal left, qreal top, qreal right, qreal bottom)
{
    return QRectF(QPointF(110 + left, 70 + top), QPointF(110 + right, 70 + bottom));
}

} // namespace

// The per-pixel looks of a photo: colour filters and clipping masks.
class TestImageEffects : public QObject
{
    Q_OBJECT

private slots:
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
        QCOMPARE(isActive(filter), filter >= 1 && filter < filterCount);
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

    void paintFilteredNothingToDraw()
    {
        // A collapsed painter, an empty rect and a rect off the device.
        QImage target = filled(QImage::Format_RGB32, Qt::white);
        bool called = false;
        const auto content = [&](QPainter *) { called = true; };
        {
            QPainter painter(&target);
            painter.scale(0, 0);
            paintFiltered(&painter, QRectF(0, 0, 10, 10), Sepia, QPainterPath(), content);
            painter.resetTransform();
            paintFiltered(&painter, QRectF(), Sepia, QPainterPath(), content);
            paintFiltered(&painter, QRectF(30, 30, 10, 10), Sepia, QPainterPath(), content);
        }
        QVERIFY(!called);
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
    }

    void boundingRect_data()
    {
        QTest::addColumn<int>("mask");
        QTest::addColumn<QRectF>("expected");

        const qreal root3 = std::sqrt(3.0);
        // Curve extremes: x reaches 0.68314 rx either side, the lobes rise to
        // 0.54758 ry above the centre, the tip sits on the bottom edge.
        QTest::newRow("Heart") << 2 << aroundCentre(-68.314, -27.379, 68.314, 50);
        // R = 50, pointed at top and bottom, flat sides at +-R cos 30.
        QTest::newRow("Hexagon") << 5 << aroundCentre(-25 * root3, -50, 25 * root3, 50);
    }

    void boundingRect()
    {
        QFETCH(int, mask);
        QFETCH(QRectF, expected);
        const QRectF bounds = maskOutline(mask, wide).boundingRect();
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
        QCOMPARE(PhotoMasks::isActive(mask), mask > 0 && mask < PhotoMasks::maskCount);
    }
};

QTEST_MAIN(TestImageEffects)
#include "tst_imageeffects.moc"
