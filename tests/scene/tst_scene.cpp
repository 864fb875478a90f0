#include <QtTest>

#include <QGraphicsRectItem>
#include <QImageWriter>
#include <QPainter>
#include <QTemporaryDir>

#include "imaging/drawflags.h"
#include "model/backgroundproperties.h"
#include "model/document.h"
#include "scene/documentinneritem.h"
#include "scene/documentitem.h"
#include "scene/documentrenderer.h"
#include "scene/graphicsbackgrounditem.h"
#include "scene/scene.h"
#include "scene/scenetestimages.h"
#include "scene/scenetesttheme.h"

using Probes = QList<QPair<QPoint, QColor>>;

namespace {

const QColor canvas(0, 255, 0);
const QColor pageColor(230, 230, 250);
const QColor photoColor(200, 30, 30);

// One photo in the right half of a 200 x 100 page, and one sticking out over
// the top right corner, which the page clips.
SceneTestTheme *installTheme(Document &document)
{
    auto *theme = new SceneTestTheme(&document);
    theme->background->setColor(pageColor);
    theme->photos = { { QRectF(120, 20, 60, 60), photoColor, 0 },
        { QRectF(180, -20, 60, 40), photoColor, 0 } };
    document.setTheme(theme);
    return theme;
}

QImage blank(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(canvas);
    return image;
}

// A plain item that reports its deletion.
class OverlayItem : public QGraphicsRectItem
{
public:
    explicit OverlayItem(bool *alive)
        : QGraphicsRectItem(0, 0, 10, 10)
        , m_alive(alive)
    {
        *m_alive = true;
    }
    ~OverlayItem() override { *m_alive = false; }

private:
    bool *m_alive;
};

} // namespace

class TestScene : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fastDrawCounter_data()
    {
        QTest::addColumn<QString>("steps");
        QTest::addColumn<QList<int>>("counts");
        QTest::addColumn<QList<bool>>("emittedStates");
        QTest::newRow("nested holds")
            << "++-+--" << QList<int> { 1, 2, 1, 2, 1, 0 } << QList<bool> { true, false };
        QTest::newRow("unmatched end stays at zero")
            << "-+-" << QList<int> { 0, 1, 0 } << QList<bool> { true, false };
    }

    void fastDrawCounter()
    {
        QFETCH(QString, steps);
        QFETCH(QList<int>, counts);
        QFETCH(QList<bool>, emittedStates);

        Document document(false);
        Scene scene(&document);
        QSignalSpy spy(&scene, &Scene::fastDrawChanged);
        for (int i = 0; i < steps.size(); ++i) {
            if (steps.at(i) == QLatin1Char('+'))
                scene.beginFastDraw();
            else
                scene.endFastDraw();
            QCOMPARE(scene.fastDrawCount(), counts.at(i));
            QCOMPARE(bool(scene.drawFlags() & FastDraw), counts.at(i) > 0);
        }
        QList<bool> emitted;
        for (const QList<QVariant> &arguments : spy)
            emitted << arguments.at(0).toBool();
        QCOMPARE(emitted, emittedStates);
    }

    // The scene owns one overlay at a time; it goes when replaced, with its
    // owner, and is forgotten when deleted elsewhere.
    void overlayItemLifetime()
    {
        Document document(false);
        Scene scene(&document);
        auto *owner = new SceneTestPhotoItem({ QRectF(0, 0, 10, 10), Qt::red, 0 }, nullptr);
        scene.addItem(owner);
        bool firstAlive = false;
        bool secondAlive = false;
        auto *first = new OverlayItem(&firstAlive);
        scene.setOverlayItem(first, owner);
        auto *second = new OverlayItem(&secondAlive);
        scene.setOverlayItem(second, owner);
        QVERIFY(!firstAlive && secondAlive);

        delete owner;
        QVERIFY(!secondAlive);
        QVERIFY(!scene.overlayItem() && !scene.overlayOwner());

        auto *overlay = new SceneTestPhotoItem({ QRectF(0, 0, 10, 10), Qt::red, 0 }, nullptr);
        scene.setOverlayItem(overlay, nullptr);
        delete overlay;
        QVERIFY(!scene.overlayItem());
        // Replacing it later does not touch the deleted item.
        scene.setOverlayItem(new OverlayItem(&firstAlive), nullptr);
        QVERIFY(firstAlive);
        scene.setOverlayItem(nullptr, nullptr);
        QVERIFY(!firstAlive);
    }

    void pageFitting_data()
    {
        QTest::addColumn<QSizeF>("viewSize");
        QTest::addColumn<PageSize>("pageSize");
        QTest::addColumn<QRectF>("expectedPage");
        QTest::addColumn<qreal>("expectedScale");

        // available = view - 18 in each direction; the page keeps its aspect.
        QTest::newRow("wide strip in 800x600")
            << QSizeF(800, 600) << PageSize(PageSize::Pixels, QSizeF(4000, 1000))
            << QRectF(9, 202.25, 782, 195.5) << 0.1955;
        QTest::newRow("letter in inches in 400x400")
            << QSizeF(400, 400) << PageSize(PageSize::Inches, QSizeF(8.5, 11))
            << QRectF(52.4091, 9, 295.1818, 382) << 34.727273;
        QTest::newRow("view smaller than the margins")
            << QSizeF(12, 12) << PageSize(PageSize::Pixels, QSizeF(300, 300)) << QRectF(6, 6, 0, 0)
            << 0.0;
    }

    // The page is fitted again when the view or the page size changes.
    void pageFitting()
    {
        QFETCH(QSizeF, viewSize);
        QFETCH(PageSize, pageSize);
        QFETCH(QRectF, expectedPage);
        QFETCH(qreal, expectedScale);

        Document document(false);
        document.setPageSize(PageSize(PageSize::Pixels, QSizeF(2480, 3508)));
        SceneTestTheme *theme = installTheme(document);
        Scene scene(&document);
        scene.setSceneRect(0, 0, 1000, 1018);
        scene.setSceneRect(QRectF(QPointF(0, 0), viewSize));
        document.setPageSize(pageSize);

        DocumentItem *item = scene.documentItem();
        DocumentInnerItem *inner = item->innerItem();
        const QRectF page = item->pageRect();
        auto close = [](QPointF a, QPointF b) { return (a - b).manhattanLength() < 0.01; };
        QVERIFY(close(page.topLeft(), expectedPage.topLeft())
            && close(page.bottomRight(), expectedPage.bottomRight()));
        QVERIFY2(qAbs(inner->scale() - expectedScale) < 1e-5,
            qPrintable(QString::number(inner->scale())));
        // The page's corners in document units land on the page's corners.
        QCOMPARE(inner->pos(), page.topLeft());
        const QSizeF size = pageSize.size();
        QVERIFY(close(inner->mapToScene(QPointF(size.width(), size.height())), page.bottomRight()));
        QCOMPARE(theme->layer->boundingRect(), QRectF(QPointF(), size));
        if (!page.isEmpty())
            QCOMPARE(scene.pageRect(), page);
    }

    void themeChangeRebuildsThePage()
    {
        Document document(false);
        Scene scene(&document);
        scene.setSceneRect(0, 0, 800, 600);
        DocumentItem *item = scene.documentItem();
        // No theme: no page, and rendering leaves the target untouched.
        QVERIFY(!item->innerItem());
        QVERIFY(scene.pageRect().isEmpty());
        QImage image = blank(QSize(40, 30));
        QPainter painter(&image);
        scene.render(&painter);
        painter.end();
        QCOMPARE(image.pixelColor(20, 15), canvas);

        QPointer<SceneTestLayer> firstLayer = installTheme(document)->layer;
        QPointer<DocumentInnerItem> firstInner = item->innerItem();
        QVERIFY(firstInner && firstLayer);

        SceneTestTheme *second = installTheme(document);
        QVERIFY(!firstInner && !firstLayer);
        QCOMPARE(item->sceneLayer(), second->layer.data());
        QCOMPARE(second->layer->parentItem(), item->innerItem());

        document.setTheme(nullptr);
        QVERIFY(!item->innerItem() && !item->sceneLayer());
        QVERIFY(item->pageRect().isEmpty());
    }

    void deletedThemeTakesItsLayer()
    {
        auto *document = new Document(false);
        auto *scene = new Scene(document);
        scene->setSceneRect(0, 0, 800, 600);
        QPointer<SceneTestLayer> layer = installTheme(*document)->layer;
        QVERIFY(layer);

        // The document (and with it the theme) goes before the scene.
        delete document;
        QVERIFY(!layer);
        QVERIFY(!scene->documentItem()->innerItem());
        scene->setSceneRect(0, 0, 400, 300);
        delete scene;
    }

    void documentRender_data()
    {
        QTest::addColumn<QSize>("targetSize");
        QTest::addColumn<QRectF>("source");
        QTest::addColumn<QRect>("expectedPage");
        QTest::newRow("square target") << QSize(200, 200) << QRectF() << QRect(0, 0, 200, 100);
        QTest::newRow("around the page")
            << QSize(240, 120) << QRectF(-0.1, -0.1, 1.2, 1.2) << QRect(20, 10, 200, 100);
        QTest::newRow("twice the size") << QSize(400, 200) << QRectF() << QRect(0, 0, 400, 200);
    }

    void documentRender()
    {
        QFETCH(QSize, targetSize);
        QFETCH(QRectF, source);
        QFETCH(QRect, expectedPage);

        Document document(false);
        document.setPageSize(PageSize(PageSize::Pixels, QSizeF(200, 100)));
        SceneTestTheme *theme = installTheme(document);
        // A hard shadow 5 page units straight down.
        theme->shadows->setEnabled(true);
        theme->shadows->setColor(QColor(0, 0, 0));
        theme->shadows->setAngle(270);
        theme->shadows->setDistance(5);
        theme->shadows->setBlurRadius(0);
        // The editing window's scene is alive meanwhile; rendering must not
        // disturb it.
        Scene editing(&document);
        editing.setSceneRect(0, 0, 800, 600);
        QPointer<SceneTestLayer> editingLayer = theme->layer;

        QImage image = blank(targetSize);
        QPainter painter(&image);
        DocumentRenderer::render(&document, &painter, QRectF(QPointF(), targetSize), source);
        painter.end();

        // The temporary scene and its layer are gone again.
        QVERIFY(!theme->layer);
        QVERIFY(editingLayer);
        QCOMPARE(editing.documentItem()->sceneLayer(), editingLayer.data());

        // The page fills its place, with no page shadow around it and nothing
        // of the photo that sticks out over its edge.
        const QRect inside = expectedPage.adjusted(2, 2, -2, -2);
        QCOMPARE(image.pixelColor(inside.topLeft()), pageColor);
        QCOMPARE(image.pixelColor(inside.topRight()), photoColor);
        // Below the photo, which ends at y = 80, its shadow in output pixels.
        const qreal scale = expectedPage.width() / 200.0;
        auto probe = [&](qreal x, qreal y) {
            return image.pixelColor(expectedPage.topLeft() + (QPointF(x, y) * scale).toPoint());
        };
        QCOMPARE(probe(150, 75), photoColor);
        QCOMPARE(probe(150, 82.5), QColor(0, 0, 0));
        QCOMPARE(probe(150, 87.5), pageColor);
        QPainter(&image).fillRect(expectedPage, canvas);
        QCOMPARE(countPixels(image, image.rect(), [](QRgb p) { return p != canvas.rgba(); }), 0);
    }

    void background_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<qreal>("gradientAngle"); // from yellow to blue
        QTest::addColumn<QString>("file");
        QTest::addColumn<QSize>("pageSize");
        QTest::addColumn<int>("renderFlags");
        QTest::addColumn<Probes>("probes");

        // A 40 x 20 picture: red left half, blue right half.
        QVERIFY(m_dir.isValid());
        QImage halves(40, 20, QImage::Format_RGB32);
        halves.fill(Qt::blue);
        QPainter(&halves).fillRect(0, 0, 20, 20, Qt::red);
        QVERIFY(QImageWriter(m_dir.filePath(QStringLiteral("halves.png"))).write(halves));

        const QColor grey(128, 128, 128), yellow(255, 255, 0), blue(0, 0, 255);
        const int gradient = BackgroundProperties::Gradient;
        const int picture = BackgroundProperties::Picture;
        const QSize small(30, 20);
        const Probes clear { { QPoint(0, 0), canvas }, { QPoint(29, 19), canvas } };
        QTest::newRow("none leaves the page clear")
            << int(BackgroundProperties::None) << 0.0 << QString() << small << 0 << clear;
        QTest::newRow("picture that cannot be read")
            << picture << 0.0 << QStringLiteral("gone.png") << small << 0 << clear;

        // A gradient on a 100 x 60 page, probed just inside the corners and half
        // way, where the colour is half way between.
        QTest::newRow("gradient -45: top right to bottom left")
            << gradient << -45.0 << QString() << QSize(100, 60) << 0
            << Probes { { QPoint(99, 0), yellow }, { QPoint(0, 59), blue },
                   { QPoint(50, 30), grey } };

        // The picture covers the page, centred: the seam between its halves
        // stays in the middle whether the page crops the sides or the top.
        QTest::newRow("picture on a tall page, direct")
            << picture << 0.0 << QStringLiteral("halves.png") << QSize(50, 200) << int(DirectRender)
            << Probes { { QPoint(12, 100), Qt::red }, { QPoint(37, 100), Qt::blue } };
        QTest::newRow("picture on a wide page, fast")
            << picture << 0.0 << QStringLiteral("halves.png") << QSize(200, 50) << int(FastDraw)
            << Probes { { QPoint(50, 25), Qt::red }, { QPoint(150, 25), Qt::blue } };
    }

    // The background item of a page, painted at scale 1.
    void background()
    {
        QFETCH(int, type);
        QFETCH(qreal, gradientAngle);
        QFETCH(QString, file);
        QFETCH(QSize, pageSize);
        QFETCH(int, renderFlags);
        QFETCH(Probes, probes);

        Document document(false);
        document.setPageSize(PageSize(PageSize::Pixels, pageSize));
        BackgroundProperties background(&document);
        background.setType(BackgroundProperties::Type(type));
        background.setColor(QColor(200, 120, 30)); // seen only as a colour background
        background.setGradientAngle(gradientAngle);
        background.setGradientStartColor(QColor(255, 255, 0));
        background.setGradientEndColor(QColor(0, 0, 255));
        if (!file.isEmpty())
            background.setBackgroundUrl(QUrl::fromLocalFile(m_dir.filePath(file)));

        Scene scene(&document);
        scene.setRenderFlag(DirectRender, renderFlags & DirectRender);
        scene.addItem(new GraphicsBackgroundItem(&background));
        QImage image = blank(pageSize);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        const QRectF rect(QPointF(), pageSize);
        scene.QGraphicsScene::render(&painter, rect, rect);
        painter.end();

        // Scaled pictures blend at their seam more than gradients at a probe.
        const int tolerance = type == BackgroundProperties::Picture ? 40 : 16;
        for (const auto &[point, expected] : probes) {
            const QRgb actual = image.pixel(point);
            QVERIFY2(near(actual, expected, tolerance) && qAlpha(actual) == 255,
                qPrintable(QStringLiteral("%1,%2: %3")
                               .arg(point.x())
                               .arg(point.y())
                               .arg(QColor(actual).name())));
        }
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
