#include <QtTest>

#include <QGraphicsScene>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include "imaging/drawflags.h"
#include "model/backgroundproperties.h"
#include "model/document.h"
#include "scene/graphicsbackgrounditem.h"
#include "scene/scene.h"

using Probes = QList<QPair<QPoint, QColor>>;

class TestBackground : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void painting_data();
    void painting();

private:
    QTemporaryDir m_dir;
};

namespace {

const QColor canvas(10, 250, 10);

} // namespace

void TestBackground::initTestCase()
{
    QVERIFY(m_dir.isValid());
    // A 40 x 20 picture: red left half, blue right half.
    QImage picture(40, 20, QImage::Format_RGB32);
    picture.fill(Qt::blue);
    QPainter painter(&picture);
    painter.fillRect(0, 0, 20, 20, Qt::red);
    painter.end();
    QVERIFY(QImageWriter(m_dir.filePath(QStringLiteral("halves.png"))).write(picture));
}

void TestBackground::painting_data()
{
    QTest::addColumn<int>("type");
    QTest::addColumn<QColor>("color");
    QTest::addColumn<qreal>("gradientAngle"); // from yellow to blue
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("pageSize");
    QTest::addColumn<int>("renderFlags");
    QTest::addColumn<int>("tolerance");
    QTest::addColumn<Probes>("probes");

    const QColor orange(200, 120, 30), grey(128, 128, 128), yellow(255, 255, 0), blue(0, 0, 255);
    const int color = BackgroundProperties::Color;
    const int gradient = BackgroundProperties::Gradient;
    const int picture = BackgroundProperties::Picture;
    const QSize small(30, 20);
    const Probes clear { { QPoint(0, 0), canvas }, { QPoint(29, 19), canvas } };
    QTest::newRow("none leaves the page clear") << int(BackgroundProperties::None) << orange << 0.0
                                                << QString() << small << 0 << 0 << clear;
    QTest::newRow("clear colour shows what lies below")
        << color << QColor(0, 0, 0, 0) << 0.0 << QString() << small << 0 << 0 << clear;
    QTest::newRow("picture that cannot be read")
        << picture << orange << 0.0 << QStringLiteral("gone.png") << small << 0 << 0 << clear;

    // Gradients on a 100 x 60 page, probed just inside the edges and half
    // way, where the colour is half way between.
    const QSize page(100, 60);
    QTest::newRow("gradient 90: left to right")
        << gradient << orange << 90.0 << QString() << page << 0 << 16
        << Probes { { QPoint(0, 30), yellow }, { QPoint(99, 30), blue }, { QPoint(50, 5), grey } };
    QTest::newRow("gradient -45: top right to bottom left")
        << gradient << orange << -45.0 << QString() << page << 0 << 16
        << Probes { { QPoint(99, 0), yellow }, { QPoint(0, 59), blue }, { QPoint(50, 30), grey } };

    // The picture covers the page, centred: the seam between its halves
    // stays in the middle whether the page crops the sides or the top.
    QTest::newRow("picture on a tall page, direct")
        << picture << orange << 0.0 << QStringLiteral("halves.png") << QSize(50, 200)
        << int(DirectRender) << 40
        << Probes { { QPoint(0, 0), Qt::red }, { QPoint(12, 100), Qt::red },
               { QPoint(37, 100), Qt::blue }, { QPoint(49, 199), Qt::blue } };
    QTest::newRow("picture on a wide page, fast")
        << picture << orange << 0.0 << QStringLiteral("halves.png") << QSize(200, 50)
        << int(FastDraw) << 40
        << Probes { { QPoint(0, 0), Qt::red }, { QPoint(50, 25), Qt::red },
               { QPoint(150, 25), Qt::blue }, { QPoint(199, 49), Qt::blue } };
}

void TestBackground::painting()
{
    QFETCH(int, type);
    QFETCH(QColor, color);
    QFETCH(qreal, gradientAngle);
    QFETCH(QString, file);
    QFETCH(QSize, pageSize);
    QFETCH(int, renderFlags);
    QFETCH(int, tolerance);
    QFETCH(Probes, probes);

    Document document(false);
    document.setPageSize(PageSize(PageSize::Pixels, pageSize));
    BackgroundProperties background(&document);
    background.setType(BackgroundProperties::Type(type));
    background.setColor(color);
    background.setGradientAngle(gradientAngle);
    background.setGradientStartColor(QColor(255, 255, 0));
    background.setGradientEndColor(QColor(0, 0, 255));
    if (!file.isEmpty())
        background.setBackgroundUrl(QUrl::fromLocalFile(m_dir.filePath(file)));

    // The background item of the page, painted at scale 1.
    Scene scene(&document);
    scene.setRenderFlag(DirectRender, renderFlags & DirectRender);
    scene.addItem(new GraphicsBackgroundItem(&background));
    QImage image(pageSize, QImage::Format_ARGB32_Premultiplied);
    image.fill(canvas);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    scene.QGraphicsScene::render(
        &painter, QRectF(QPointF(), pageSize), QRectF(QPointF(), pageSize));
    painter.end();

    for (const auto &[point, expected] : probes) {
        const QColor actual = image.pixelColor(point);
        QVERIFY2(qAbs(actual.red() - expected.red()) <= tolerance
                && qAbs(actual.green() - expected.green()) <= tolerance
                && qAbs(actual.blue() - expected.blue()) <= tolerance && actual.alpha() == 255,
            qPrintable(
                QStringLiteral("%1,%2: %3").arg(point.x()).arg(point.y()).arg(actual.name())));
    }
}

QTEST_MAIN(TestBackground)
#include "tst_background.moc"
