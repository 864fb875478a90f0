#include <QtTest>

#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include "imaging/drawflags.h"
#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/imagesource.h"
#include "scene/graphicsbackgrounditem.h"
#include "scene/scene.h"

class TestBackground : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void painting_data();
    void painting();
    void gradientEnds_data();
    void gradientEnds();
    void picture_data();
    void picture();
    void missingPictureDrawsNothing();
    void changesRepaint_data();
    void changesRepaint();
    void followsThePageSize();

private:
    QTemporaryDir m_dir;
    QString m_picturePath;
};

namespace {

const QColor canvas(10, 250, 10);

// Paints the background item of a page of `pageSize` at scale 1.
QImage paintBackground(BackgroundProperties *background, const QSize &pageSize, int renderFlags = 0)
{
    Document document(false);
    Scene scene(&document);
    scene.setRenderFlag(DirectRender, renderFlags & DirectRender);
    auto *item = new GraphicsBackgroundItem(background);
    scene.addItem(item);
    QImage image(pageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(canvas);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    scene.QGraphicsScene::render(
        &painter, QRectF(QPointF(), pageSize), QRectF(QPointF(), pageSize));
    painter.end();
    return image;
}

bool near(const QColor &a, const QColor &b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance && qAbs(a.alpha() - b.alpha()) <= tolerance;
}

QString describe(const QColor &c)
{
    return QStringLiteral("(%1, %2, %3, %4)")
        .arg(c.red())
        .arg(c.green())
        .arg(c.blue())
        .arg(c.alpha());
}

class CountingBackground : public GraphicsBackgroundItem
{
public:
    using GraphicsBackgroundItem::GraphicsBackgroundItem;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override
    {
        ++paintCount;
        GraphicsBackgroundItem::paint(painter, option, widget);
    }
    int paintCount = 0;
};

} // namespace

void TestBackground::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // A 40 x 20 picture: red left half, blue right half, a green top row.
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QPainter painter(&picture);
    painter.fillRect(0, 0, 20, 20, Qt::red);
    painter.end();
    m_picturePath = m_dir.filePath(QStringLiteral("halves.png"));
    QImageWriter writer(m_picturePath);
    QVERIFY(writer.write(picture));
}

void TestBackground::painting_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QColor>("expectedCentre");
    QTest::newRow("none leaves the page clear") << int(BackgroundProperties::None) << canvas;
    QTest::newRow("colour") << int(BackgroundProperties::Color) << QColor(200, 120, 30);
    QTest::newRow("clear colour") << int(BackgroundProperties::Color) << QColor(0, 0, 0, 0);
}

void TestBackground::painting()
{
    QFETCH(int, type);
    QFETCH(QColor, expectedCentre);

    Document document(false);
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(30, 20)));
    BackgroundProperties background(&document);
    background.setType(BackgroundProperties::Type(type));
    if (type == BackgroundProperties::Color)
        background.setColor(expectedCentre);
    const QImage image = paintBackground(&background, QSize(30, 20));
    QColor expected = expectedCentre;
    if (expected.alpha() == 0)
        expected = canvas; // a clear colour shows what lies below
    for (const QPoint &p : { QPoint(0, 0), QPoint(15, 10), QPoint(29, 19) })
        QVERIFY2(near(image.pixelColor(p), expected, 0), qPrintable(describe(image.pixelColor(p))));
}

void TestBackground::gradientEnds_data()
{
    QTest::addColumn<qreal>("angle");
    QTest::addColumn<QPoint>("startPoint");
    QTest::addColumn<QPoint>("endPoint");
    QTest::addColumn<QPoint>("middlePoint");

    // Page 100 x 60; points just inside the edges.
    QTest::newRow("0: top to bottom") << 0.0 << QPoint(50, 0) << QPoint(50, 59) << QPoint(10, 30);
    QTest::newRow("90: left to right") << 90.0 << QPoint(0, 30) << QPoint(99, 30) << QPoint(50, 5);
    QTest::newRow("180: bottom to top")
        << 180.0 << QPoint(50, 59) << QPoint(50, 0) << QPoint(90, 30);
    QTest::newRow("270: right to left")
        << 270.0 << QPoint(99, 30) << QPoint(0, 30) << QPoint(50, 55);
    QTest::newRow("45: top left to bottom right")
        << 45.0 << QPoint(0, 0) << QPoint(99, 59) << QPoint(50, 30);
    QTest::newRow("-45: top right to bottom left")
        << -45.0 << QPoint(99, 0) << QPoint(0, 59) << QPoint(50, 30);
}

void TestBackground::gradientEnds()
{
    QFETCH(qreal, angle);
    QFETCH(QPoint, startPoint);
    QFETCH(QPoint, endPoint);
    QFETCH(QPoint, middlePoint);

    const QColor start(255, 255, 0);
    const QColor end(0, 0, 255);
    Document document(false);
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(100, 60)));
    BackgroundProperties background(&document);
    background.setType(BackgroundProperties::Gradient);
    background.setGradientAngle(angle);
    background.setGradientStartColor(start);
    background.setGradientEndColor(end);
    const QImage image = paintBackground(&background, QSize(100, 60));

    QVERIFY2(near(image.pixelColor(startPoint), start, 12),
        qPrintable(describe(image.pixelColor(startPoint))));
    QVERIFY2(near(image.pixelColor(endPoint), end, 12),
        qPrintable(describe(image.pixelColor(endPoint))));
    // Half way along the gradient the colour is half way between.
    const QColor middle = image.pixelColor(middlePoint);
    QVERIFY2(near(middle, QColor(128, 128, 128), 16), qPrintable(describe(middle)));
}

void TestBackground::picture_data()
{
    QTest::addColumn<QSize>("pageSize");
    QTest::addColumn<int>("renderFlags");
    QTest::newRow("square page, screen") << QSize(100, 100) << 0;
    QTest::newRow("square page, direct") << QSize(100, 100) << int(DirectRender);
    QTest::newRow("tall page") << QSize(50, 200) << 0;
    QTest::newRow("wide page, fast") << QSize(200, 50) << int(FastDraw);
}

void TestBackground::picture()
{
    QFETCH(QSize, pageSize);
    QFETCH(int, renderFlags);

    Document document(false);
    document.setPageSize(PageSize(PageSize::Pixels, pageSize));
    BackgroundProperties background(&document);
    background.setType(BackgroundProperties::Picture);
    background.setBackgroundUrl(QUrl::fromLocalFile(m_picturePath));
    QCOMPARE(background.image()->state(), ImageSource::Ready);

    const QImage image = paintBackground(&background, pageSize, renderFlags);
    // The picture covers the page: no canvas shows anywhere.
    for (int y = 0; y < pageSize.height(); y += 7)
        for (int x = 0; x < pageSize.width(); x += 7)
            QVERIFY2(!near(image.pixelColor(x, y), canvas, 40),
                qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
    // Centred: the left of the page is red and the right blue when the
    // whole width of the picture is visible (wide pages), or the seam is
    // in the middle (tall pages crop the sides).
    const int w = pageSize.width();
    const int h = pageSize.height();
    QVERIFY2(near(image.pixelColor(w / 4, h / 2), QColor(Qt::red), 40),
        qPrintable(describe(image.pixelColor(w / 4, h / 2))));
    QVERIFY2(near(image.pixelColor(3 * w / 4, h / 2), QColor(Qt::blue), 40),
        qPrintable(describe(image.pixelColor(3 * w / 4, h / 2))));
}

void TestBackground::missingPictureDrawsNothing()
{
    Document document(false);
    BackgroundProperties background(&document);
    background.setType(BackgroundProperties::Picture);
    QImage image = paintBackground(&background, QSize(30, 30));
    QCOMPARE(image.pixelColor(15, 15), canvas);

    // A file that cannot be read draws nothing either.
    background.setBackgroundUrl(QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("gone.png"))));
    image = paintBackground(&background, QSize(30, 30));
    QCOMPARE(image.pixelColor(15, 15), canvas);
}

void TestBackground::changesRepaint_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("type") << QByteArray("type") << QVariant(int(BackgroundProperties::Gradient));
    QTest::newRow("colour") << QByteArray("color") << QVariant(QColor(Qt::red));
    QTest::newRow("gradient angle") << QByteArray("gradientAngle") << QVariant(30.0);
    QTest::newRow("start colour") << QByteArray("gradientStartColor") << QVariant(QColor(Qt::red));
    QTest::newRow("end colour") << QByteArray("gradientEndColor") << QVariant(QColor(Qt::red));
    QTest::newRow("picture") << QByteArray("url") << QVariant();
}

void TestBackground::changesRepaint()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);

    Document document(false);
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(100, 80)));
    BackgroundProperties background(&document);
    QGraphicsScene scene(0, 0, 100, 80);
    auto *item = new CountingBackground(&background);
    scene.addItem(item);
    QGraphicsView view(&scene);
    view.resize(140, 120);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QTRY_VERIFY(item->paintCount > 0);
    // Nothing changes, nothing is painted.
    QTest::qWait(50);
    const int before = item->paintCount;
    QTest::qWait(50);
    QCOMPARE(item->paintCount, before);

    if (property == "url")
        background.setBackgroundUrl(QUrl::fromLocalFile(m_picturePath));
    else
        QVERIFY(background.setProperty(property, value));
    QTRY_VERIFY(item->paintCount > before);
}

void TestBackground::followsThePageSize()
{
    Document document(false);
    BackgroundProperties background(&document);
    GraphicsBackgroundItem item(&background);
    QCOMPARE(item.boundingRect(), QRectF(0, 0, 300, 300));
    document.setPageSize(PageSize(PageSize::Inches, QSizeF(8.5, 11)));
    QCOMPARE(item.boundingRect(), QRectF(0, 0, 8.5, 11));
    QCOMPARE(item.background(), &background);
}

QTEST_MAIN(TestBackground)
#include "tst_background.moc"
