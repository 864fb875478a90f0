#include <QtTest>

#include <QGraphicsRectItem>
#include <QPainter>

#include "imaging/drawflags.h"
#include "model/document.h"
#include "scene/documentitem.h"
#include "scene/documentrenderer.h"
#include "scene/scene.h"
#include "scene/scenetesttheme.h"

class TestScene : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fastDrawCounter_data();
    void fastDrawCounter();
    void overlayItemLifetime();
    void documentRender_data();
    void documentRender();
    void documentRenderShadowsInOutputPixels();

private:
    static SceneTestTheme *installTheme(Document &document);
};

namespace {

const QColor canvas(0, 255, 0);
const QColor page(230, 230, 250);
const QColor photoColor(200, 30, 30);

QImage blank(const QSize &size)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(canvas);
    return image;
}

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

SceneTestTheme *TestScene::installTheme(Document &document)
{
    auto *theme = new SceneTestTheme(&document);
    theme->background->setColor(page);
    // One photo in the right half of a 200 x 100 page, and one sticking out
    // over the top right corner, which the page clips.
    theme->photos = { { QRectF(120, 20, 60, 60), photoColor, 0 },
        { QRectF(180, -20, 60, 40), photoColor, 0 } };
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(200, 100)));
    document.setTheme(theme);
    return theme;
}

void TestScene::fastDrawCounter_data()
{
    QTest::addColumn<QString>("steps");
    QTest::addColumn<QList<int>>("counts");
    QTest::addColumn<QList<bool>>("emittedStates");

    QTest::newRow("nested holds") << "++-+--" << QList<int> { 1, 2, 1, 2, 1, 0 }
                                  << QList<bool> { true, false };
    QTest::newRow("unmatched end stays at zero")
        << "-+-" << QList<int> { 0, 1, 0 } << QList<bool> { true, false };
}

void TestScene::fastDrawCounter()
{
    QFETCH(QString, steps);
    QFETCH(QList<int>, counts);
    QFETCH(QList<bool>, emittedStates);

    Document document(false);
    Scene scene(&document);
    QSignalSpy spy(&scene, &Scene::fastDrawChanged);
    QCOMPARE(scene.fastDrawCount(), 0);
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
void TestScene::overlayItemLifetime()
{
    Document document(false);
    Scene scene(&document);
    auto *owner = new SceneTestPhotoItem({ QRectF(0, 0, 10, 10), Qt::red, 0 }, nullptr);
    scene.addItem(owner);
    bool firstAlive = false;
    bool secondAlive = false;
    auto *first = new OverlayItem(&firstAlive);
    scene.setOverlayItem(first, owner);
    QCOMPARE(first->scene(), &scene);
    QCOMPARE(scene.overlayOwner(), owner);

    auto *second = new OverlayItem(&secondAlive);
    scene.setOverlayItem(second, owner);
    QVERIFY(!firstAlive);
    QVERIFY(secondAlive);
    // Added last, it is painted above everything else.
    QCOMPARE(scene.items(Qt::DescendingOrder).first(), second);

    delete owner;
    QVERIFY(!secondAlive);
    QVERIFY(!scene.overlayItem());
    QVERIFY(!scene.overlayOwner());

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

void TestScene::documentRender_data()
{
    QTest::addColumn<QSize>("targetSize");
    QTest::addColumn<QRectF>("source");
    QTest::addColumn<QRect>("expectedPage");

    QTest::newRow("square target") << QSize(200, 200) << QRectF() << QRect(0, 0, 200, 100);
    QTest::newRow("around the page")
        << QSize(240, 120) << QRectF(-0.1, -0.1, 1.2, 1.2) << QRect(20, 10, 200, 100);
}

void TestScene::documentRender()
{
    QFETCH(QSize, targetSize);
    QFETCH(QRectF, source);
    QFETCH(QRect, expectedPage);

    Document document(false);
    SceneTestTheme *theme = installTheme(document);
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
    QCOMPARE(image.pixelColor(inside.topLeft()), page);
    QCOMPARE(image.pixelColor(inside.bottomLeft()), page);
    QCOMPARE(image.pixelColor(inside.topRight()), photoColor);
    QCOMPARE(image.pixelColor(inside.bottomRight()), page);
    const int scale = expectedPage.width() / 200;
    QCOMPARE(image.pixelColor(expectedPage.topLeft() + QPoint(150, 50) * scale), photoColor);
    for (int x = 0; x < targetSize.width(); ++x) {
        for (int y = 0; y < targetSize.height(); ++y) {
            if (!expectedPage.contains(x, y))
                QCOMPARE(image.pixelColor(x, y), canvas);
        }
    }
}

void TestScene::documentRenderShadowsInOutputPixels()
{
    Document document(false);
    SceneTestTheme *theme = installTheme(document);
    // A hard shadow 5 page units straight down.
    theme->shadows->setEnabled(true);
    theme->shadows->setColor(QColor(0, 0, 0));
    theme->shadows->setAngle(270);
    theme->shadows->setDistance(5);
    theme->shadows->setBlurRadius(0);

    QImage image = blank(QSize(400, 200));
    QPainter painter(&image);
    DocumentRenderer::render(&document, &painter, QRectF(0, 0, 400, 200));
    painter.end();
    // At scale 2 the photo ends at y = 160 and its shadow 10 pixels lower.
    QCOMPARE(image.pixelColor(300, 150), photoColor);
    QCOMPARE(image.pixelColor(300, 165), QColor(0, 0, 0));
    QCOMPARE(image.pixelColor(300, 175), page);
    QCOMPARE(image.pixelColor(238, 150), page);
}

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
