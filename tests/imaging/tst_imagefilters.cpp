#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QTest>

#include <algorithm>
#include <cmath>

#include "imaging/imagefilters.h"

using namespace ImageFilters;

namespace {

// The filter formulas written out plainly, independent of the lookup tables
// of the implementation, to compare whole images against.
QRgb referenceFilter(QRgb p, int filter)
{
    int r = qRed(p), g = qGreen(p), b = qBlue(p);
    switch (filter) {
    case 1:
        r = g = b = (299 * r + 587 * g + 114 * b) / 1000;
        break;
    case 2: {
        const int grey = (299 * r + 587 * g + 114 * b) / 1000;
        r = std::min(grey + 30, 255);
        g = std::min(grey + 10, 255);
        b = std::max(grey - 20, 0);
        break;
    }
    case 3:
        r = std::min(r + 20, 255);
        g = std::min(g + 10, 255);
        b = std::max(b - 15, 0);
        break;
    case 4:
        r = std::max(r - 15, 0);
        g = std::min(g + 5, 255);
        b = std::min(b + 25, 255);
        break;
    case 5: {
        auto stretch = [](int c) {
            const double v = std::trunc((c - 128) * 1.5 + 128);
            return int(std::clamp(v, 0.0, 255.0));
        };
        r = stretch(r);
        g = stretch(g);
        b = stretch(b);
        break;
    }
    default:
        break;
    }
    return qRgba(r, g, b, qAlpha(p));
}

QString formatName(QImage::Format format)
{
    switch (format) {
    case QImage::Format_RGB32:
        return QStringLiteral("RGB32");
    case QImage::Format_ARGB32:
        return QStringLiteral("ARGB32");
    case QImage::Format_ARGB32_Premultiplied:
        return QStringLiteral("ARGB32_Premultiplied");
    default:
        return QString::number(int(format));
    }
}

} // namespace

class TestImageFilters : public QObject
{
    Q_OBJECT

private slots:
    void opaquePixels_data();
    void opaquePixels();
    void everyChannelValue_data();
    void everyChannelValue();
    void straightAlphaKept_data();
    void straightAlphaKept();
    void premultipliedAlpha_data();
    void premultipliedAlpha();
    void transparentStaysTransparent_data();
    void transparentStaysTransparent();
    void otherFormatsConverted_data();
    void otherFormatsConverted();
    void sourceImageUntouched();
    void nullImage();
    void labels();
    void activeCodes_data();
    void activeCodes();
    void paintFilteredOnTransformedPainter();
    void paintFilteredClip();
    void paintFilteredEmptyRect();
    void paintFilteredHighDpi();
    void paintFilteredHugeRect();
};

void TestImageFilters::opaquePixels_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<int>("filter");
    QTest::addColumn<QColor>("input");
    QTest::addColumn<QColor>("expected");

    struct Case
    {
        const char *name;
        int filter;
        QColor input;
        QColor expected;
    };
    const Case cases[] = {
        { "none", 0, QColor(12, 34, 56), QColor(12, 34, 56) },
        { "unknown 6", 6, QColor(12, 34, 56), QColor(12, 34, 56) },
        { "unknown -1", -1, QColor(12, 34, 56), QColor(12, 34, 56) },
        { "grayscale red", 1, QColor(255, 0, 0), QColor(76, 76, 76) },
        { "grayscale green", 1, QColor(0, 255, 0), QColor(149, 149, 149) },
        { "grayscale blue", 1, QColor(0, 0, 255), QColor(29, 29, 29) },
        { "grayscale white", 1, QColor(255, 255, 255), QColor(255, 255, 255) },
        { "grayscale mixed", 1, QColor(10, 200, 30), QColor(123, 123, 123) },
        { "sepia white", 2, QColor(255, 255, 255), QColor(255, 255, 235) },
        { "sepia black", 2, QColor(0, 0, 0), QColor(30, 10, 0) },
        { "sepia mixed", 2, QColor(10, 200, 30), QColor(153, 133, 103) },
        { "sepia dark blue", 2, QColor(0, 0, 100), QColor(41, 21, 0) },
        { "sepia light grey", 2, QColor(240, 240, 240), QColor(255, 250, 220) },
        { "warm mid", 3, QColor(100, 150, 200), QColor(120, 160, 185) },
        { "warm clamps", 3, QColor(240, 250, 10), QColor(255, 255, 0) },
        { "warm black", 3, QColor(0, 0, 0), QColor(20, 10, 0) },
        { "cool mid", 4, QColor(100, 150, 200), QColor(85, 155, 225) },
        { "cool clamps", 4, QColor(10, 252, 240), QColor(0, 255, 255) },
        { "cool white", 4, QColor(255, 255, 255), QColor(240, 255, 255) },
        { "contrast 0 100 128", 5, QColor(0, 100, 128), QColor(0, 86, 128) },
        { "contrast 200 255 129", 5, QColor(200, 255, 129), QColor(236, 255, 129) },
        { "contrast truncates", 5, QColor(127, 44, 43), QColor(126, 2, 0) },
        { "contrast near white", 5, QColor(212, 213, 1), QColor(254, 255, 0) },
    };
    const QImage::Format formats[]
        = { QImage::Format_RGB32, QImage::Format_ARGB32, QImage::Format_ARGB32_Premultiplied };
    for (QImage::Format format : formats) {
        for (const Case &c : cases) {
            QTest::addRow("%s %s", c.name, qPrintable(formatName(format)))
                << format << c.filter << c.input << c.expected;
        }
    }
}

void TestImageFilters::opaquePixels()
{
    QFETCH(QImage::Format, format);
    QFETCH(int, filter);
    QFETCH(QColor, input);
    QFETCH(QColor, expected);

    QImage image(7, 3, format);
    image.fill(input);
    const QImage result = applyFilter(image, filter);
    QCOMPARE(result.format(), format);
    QCOMPARE(result.size(), image.size());
    for (int y = 0; y < result.height(); ++y) {
        for (int x = 0; x < result.width(); ++x)
            QCOMPARE(QColor(result.pixel(x, y)), expected);
    }
    QCOMPARE(QColor(filterPixel(input.rgba(), filter)), expected);
}

void TestImageFilters::everyChannelValue_data()
{
    QTest::addColumn<int>("filter");
    for (int filter = 0; filter < filterCount; ++filter)
        QTest::addRow("filter %d", filter) << filter;
}

void TestImageFilters::everyChannelValue()
{
    QFETCH(int, filter);

    // Every red and green value meets every blue value at least once.
    QImage image(256, 256, QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x)
            image.setPixel(x, y, qRgb(x, y, (x * 7 + y * 13) & 255));
    }
    const QImage result = applyFilter(image, filter);
    QCOMPARE(result.format(), QImage::Format_RGB32);
    for (int y = 0; y < 256; ++y) {
        for (int x = 0; x < 256; ++x) {
            const QRgb expected = referenceFilter(image.pixel(x, y), filter);
            if (result.pixel(x, y) != expected) {
                QFAIL(qPrintable(QStringLiteral("pixel (%1, %2): got %3, expected %4")
                                     .arg(x)
                                     .arg(y)
                                     .arg(result.pixel(x, y), 8, 16)
                                     .arg(expected, 8, 16)));
            }
        }
    }
}

void TestImageFilters::straightAlphaKept_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("alpha");
    QTest::addColumn<QColor>("expected");

    // All from the straight colour (100, 150, 200).
    const QColor expected[] = { QColor(100, 150, 200), QColor(140, 140, 140), QColor(170, 150, 120),
        QColor(120, 160, 185), QColor(85, 155, 225), QColor(86, 161, 236) };
    for (int alpha : { 0, 1, 77, 254 }) {
        for (int filter = 0; filter < filterCount; ++filter)
            QTest::addRow("filter %d alpha %d", filter, alpha)
                << filter << alpha << expected[filter];
    }
}

void TestImageFilters::straightAlphaKept()
{
    QFETCH(int, filter);
    QFETCH(int, alpha);
    QFETCH(QColor, expected);

    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(QColor(100, 150, 200, alpha));
    const QImage result = applyFilter(image, filter);
    QCOMPARE(result.format(), QImage::Format_ARGB32);
    const QRgb p = result.pixel(2, 1);
    QCOMPARE(qAlpha(p), alpha);
    QCOMPARE(qRed(p), expected.red());
    QCOMPARE(qGreen(p), expected.green());
    QCOMPARE(qBlue(p), expected.blue());
}

void TestImageFilters::premultipliedAlpha_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<QColor>("input");

    for (int alpha : { 100, 128, 200, 250 }) {
        for (int filter = 1; filter < filterCount; ++filter) {
            QTest::addRow("filter %d alpha %d mid", filter, alpha)
                << filter << QColor(100, 150, 200, alpha);
            QTest::addRow("filter %d alpha %d bright", filter, alpha)
                << filter << QColor(250, 245, 240, alpha);
            QTest::addRow("filter %d alpha %d dark", filter, alpha)
                << filter << QColor(5, 20, 12, alpha);
        }
    }
}

void TestImageFilters::premultipliedAlpha()
{
    QFETCH(int, filter);
    QFETCH(QColor, input);

    QImage image(5, 2, QImage::Format_ARGB32_Premultiplied);
    image.fill(input);
    const QImage result = applyFilter(image, filter);
    QCOMPARE(result.format(), QImage::Format_ARGB32_Premultiplied);

    // Stored pixels must stay valid premultiplied values with the same alpha.
    const QRgb raw = result.pixel(3, 1);
    QCOMPARE(qAlpha(raw), input.alpha());
    QVERIFY(qRed(raw) <= qAlpha(raw));
    QVERIFY(qGreen(raw) <= qAlpha(raw));
    QVERIFY(qBlue(raw) <= qAlpha(raw));

    // Their straight colour is the filtered straight colour, up to the
    // rounding that premultiplying at this alpha brings.
    const QRgb straight = qUnpremultiply(raw);
    const QRgb expected = referenceFilter(input.rgba(), filter);
    const int tolerance = int(std::ceil(255.0 / input.alpha())) + 1;
    QVERIFY2(std::abs(qRed(straight) - qRed(expected)) <= tolerance,
        qPrintable(QStringLiteral("red %1 vs %2").arg(qRed(straight)).arg(qRed(expected))));
    QVERIFY2(std::abs(qGreen(straight) - qGreen(expected)) <= tolerance,
        qPrintable(QStringLiteral("green %1 vs %2").arg(qGreen(straight)).arg(qGreen(expected))));
    QVERIFY2(std::abs(qBlue(straight) - qBlue(expected)) <= tolerance,
        qPrintable(QStringLiteral("blue %1 vs %2").arg(qBlue(straight)).arg(qBlue(expected))));
}

void TestImageFilters::transparentStaysTransparent_data()
{
    QTest::addColumn<int>("filter");
    for (int filter = 0; filter < filterCount; ++filter)
        QTest::addRow("filter %d", filter) << filter;
}

void TestImageFilters::transparentStaysTransparent()
{
    QFETCH(int, filter);

    // A transparent buffer with an opaque spot in it, as an offscreen
    // rendering of a masked photo looks.
    QImage image(10, 10, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    image.setPixel(4, 4, qRgb(0, 0, 0));
    const QImage result = applyFilter(image, filter);
    QCOMPARE(result.pixel(0, 0), QRgb(0));
    QCOMPARE(result.pixel(9, 9), QRgb(0));
    QCOMPARE(result.pixel(4, 4), referenceFilter(qRgb(0, 0, 0), filter));
}

void TestImageFilters::otherFormatsConverted_data()
{
    QTest::addColumn<QImage::Format>("format");
    QTest::addColumn<QImage::Format>("resultFormat");
    QTest::addColumn<QColor>("input");

    QTest::newRow("RGB888") << QImage::Format_RGB888 << QImage::Format_RGB32
                            << QColor(100, 150, 200);
    QTest::newRow("Grayscale8") << QImage::Format_Grayscale8 << QImage::Format_RGB32
                                << QColor(90, 90, 90);
    QTest::newRow("RGBA8888 opaque")
        << QImage::Format_RGBA8888 << QImage::Format_ARGB32_Premultiplied << QColor(100, 150, 200);
    QTest::newRow("RGBA8888 transparent")
        << QImage::Format_RGBA8888 << QImage::Format_ARGB32_Premultiplied
        << QColor(100, 150, 200, 0);
}

void TestImageFilters::otherFormatsConverted()
{
    QFETCH(QImage::Format, format);
    QFETCH(QImage::Format, resultFormat);
    QFETCH(QColor, input);

    QImage image(3, 3, format);
    image.fill(input);
    for (int filter = 1; filter < filterCount; ++filter) {
        const QImage result = applyFilter(image, filter);
        QCOMPARE(result.format(), resultFormat);
        const QRgb expected = input.alpha() == 0 ? QRgb(0) : referenceFilter(input.rgba(), filter);
        QCOMPARE(result.pixel(1, 1), expected);
    }
}

void TestImageFilters::sourceImageUntouched()
{
    QImage image(6, 6, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(255, 0, 0));
    const QImage copy = image;
    const QImage result = applyFilter(image, Sepia);
    QCOMPARE(image.pixel(2, 2), qRgb(255, 0, 0));
    QCOMPARE(copy.pixel(2, 2), qRgb(255, 0, 0));
    QCOMPARE(result.pixel(2, 2), qRgb(106, 86, 56));

    // Moving the only reference in filters the pixels where they are.
    QImage moved(6, 6, QImage::Format_ARGB32_Premultiplied);
    moved.fill(QColor(255, 0, 0));
    const uchar *bits = moved.constBits();
    QImage filtered = applyFilter(std::move(moved), Grayscale);
    QCOMPARE(filtered.constBits(), bits);
    QCOMPARE(filtered.pixel(0, 0), qRgb(76, 76, 76));
}

void TestImageFilters::nullImage()
{
    for (int filter = 0; filter < filterCount; ++filter)
        QVERIFY(applyFilter(QImage(), filter).isNull());
}

void TestImageFilters::labels()
{
    const QStringList expected { "None", "Grayscale", "Sepia", "Warm", "Cool", "High Contrast" };
    QCOMPARE(filterNames(), expected);
    QCOMPARE(filterCount, int(expected.size()));
}

void TestImageFilters::activeCodes_data()
{
    QTest::addColumn<int>("filter");
    QTest::addColumn<bool>("active");
    QTest::newRow("-1") << -1 << false;
    QTest::newRow("None") << 0 << false;
    QTest::newRow("Grayscale") << 1 << true;
    QTest::newRow("High Contrast") << 5 << true;
    QTest::newRow("6") << 6 << false;
    QTest::newRow("127") << 127 << false;
}

void TestImageFilters::activeCodes()
{
    QFETCH(int, filter);
    QFETCH(bool, active);
    QCOMPARE(isActive(filter), active);
}

void TestImageFilters::paintFilteredOnTransformedPainter()
{
    QImage target(100, 100, QImage::Format_RGB32);
    target.fill(Qt::white);
    {
        QPainter painter(&target);
        painter.translate(50, 50);
        painter.rotate(30);
        painter.scale(2, 2);
        paintFiltered(&painter, QRectF(-10, -10, 20, 20), Grayscale, QPainterPath(),
            [](QPainter *p) { p->fillRect(QRectF(-10, -10, 20, 20), Qt::red); });
    }
    QCOMPARE(target.pixel(50, 50), qRgb(76, 76, 76));
    QCOMPARE(target.pixel(60, 40), qRgb(76, 76, 76));
    QCOMPARE(target.pixel(2, 2), qRgb(255, 255, 255));
    QCOMPARE(target.pixel(97, 97), qRgb(255, 255, 255));
    // Nothing red reaches the page, not even at the antialiased edges.
    for (int y = 0; y < target.height(); ++y) {
        for (int x = 0; x < target.width(); ++x) {
            const QRgb p = target.pixel(x, y);
            QVERIFY(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p));
        }
    }
}

void TestImageFilters::paintFilteredClip()
{
    QImage target(100, 100, QImage::Format_RGB32);
    target.fill(Qt::black);
    QPainterPath circle;
    circle.addEllipse(QRectF(10, 10, 80, 80));
    {
        QPainter painter(&target);
        paintFiltered(&painter, QRectF(10, 10, 80, 80), Warm, circle,
            [](QPainter *p) { p->fillRect(QRectF(0, 0, 100, 100), QColor(100, 150, 200)); });
    }
    QCOMPARE(target.pixel(50, 50), qRgb(120, 160, 185));
    QCOMPARE(target.pixel(12, 12), qRgb(0, 0, 0)); // inside the rect, outside the circle
    QCOMPARE(target.pixel(95, 50), qRgb(0, 0, 0)); // outside the rect
}

void TestImageFilters::paintFilteredEmptyRect()
{
    QImage target(20, 20, QImage::Format_RGB32);
    target.fill(Qt::white);
    bool called = false;
    {
        QPainter painter(&target);
        painter.scale(0, 0);
        paintFiltered(&painter, QRectF(0, 0, 10, 10), Sepia, QPainterPath(), [&](QPainter *p) {
            called = true;
            p->fillRect(QRectF(0, 0, 10, 10), Qt::black);
        });
        painter.resetTransform();
        paintFiltered(&painter, QRectF(), Sepia, QPainterPath(), [&](QPainter *p) {
            called = true;
            p->fillRect(QRectF(0, 0, 10, 10), Qt::black);
        });
        // Entirely off the device.
        paintFiltered(&painter, QRectF(30, 30, 10, 10), Sepia, QPainterPath(), [&](QPainter *p) {
            called = true;
            p->fillRect(QRectF(0, 0, 40, 40), Qt::black);
        });
    }
    QVERIFY(!called);
    for (int y = 0; y < target.height(); ++y) {
        for (int x = 0; x < target.width(); ++x)
            QCOMPARE(target.pixel(x, y), qRgb(255, 255, 255));
    }
}

void TestImageFilters::paintFilteredHighDpi()
{
    // A device of 200 x 200 pixels at ratio 2 is 100 x 100 units; the
    // filtered buffer must cover exactly the device pixels of the rect.
    QImage target(200, 200, QImage::Format_ARGB32_Premultiplied);
    target.setDevicePixelRatio(2);
    target.fill(Qt::white);
    QSize bufferSize;
    {
        QPainter painter(&target);
        paintFiltered(
            &painter, QRectF(10, 10, 30, 30), Grayscale, QPainterPath(), [&](QPainter *p) {
                bufferSize = p->device()->width() > 0
                    ? QSize(p->device()->width(), p->device()->height())
                    : QSize();
                p->fillRect(QRectF(10, 10, 30, 30), Qt::red);
            });
    }
    QCOMPARE(bufferSize, QSize(60, 60));
    QCOMPARE(target.pixel(20, 20), qRgb(76, 76, 76));
    QCOMPARE(target.pixel(79, 79), qRgb(76, 76, 76));
    QCOMPARE(target.pixel(19, 19), qRgb(255, 255, 255));
    QCOMPARE(target.pixel(80, 80), qRgb(255, 255, 255));
}

void TestImageFilters::paintFilteredHugeRect()
{
    QImage target(64, 48, QImage::Format_RGB32);
    target.fill(Qt::white);
    QSize bufferSize;
    {
        QPainter painter(&target);
        painter.scale(1e4, 1e4);
        const QRectF huge(-100, -100, 200, 200);
        paintFiltered(&painter, huge, Cool, QPainterPath(), [&](QPainter *p) {
            bufferSize = QSize(p->device()->width(), p->device()->height());
            p->fillRect(huge, QColor(100, 150, 200));
        });
    }
    QVERIFY(bufferSize.width() <= 64 && bufferSize.height() <= 48);
    QCOMPARE(target.pixel(0, 0), qRgb(85, 155, 225));
    QCOMPARE(target.pixel(63, 47), qRgb(85, 155, 225));
}

QTEST_MAIN(TestImageFilters)
#include "tst_imagefilters.moc"
