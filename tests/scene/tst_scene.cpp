#include <QtTest>

#include <QDir>
#include <QGraphicsRectItem>
#include <QGraphicsView>
#include <QItemSelectionModel>
#include <QPainter>
#include <QTemporaryDir>

#include "imaging/drawflags.h"
#include "model/document.h"
#include "model/imagelist.h"
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
    void renderFlags_data();
    void renderFlags();
    void selectionModelFollowsTheImageList();
    void overlayItem();
    void overlayGoesWithItsOwner();
    void overlayDeletedElsewhere();
    void renderPageParts_data();
    void renderPageParts();
    void documentRender_data();
    void documentRender();
    void documentRenderShadowsInOutputPixels();
    void createdSceneShowsTheDocument();
    void previewPages();

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

    QTest::newRow("one hold") << "+-" << QList<int> { 1, 0 } << QList<bool> { true, false };
    QTest::newRow("nested holds") << "++-+--" << QList<int> { 1, 2, 1, 2, 1, 0 }
                                  << QList<bool> { true, false };
    QTest::newRow("two drags") << "+-+-" << QList<int> { 1, 0, 1, 0 }
                               << QList<bool> { true, false, true, false };
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

void TestScene::renderFlags_data()
{
    QTest::addColumn<bool>("direct");
    QTest::addColumn<bool>("dragging");
    QTest::addColumn<int>("renderFlags");
    QTest::addColumn<int>("drawFlags");
    QTest::newRow("editing") << false << false << 0 << 0;
    QTest::newRow("dragging") << false << true << 0 << int(FastDraw);
    QTest::newRow("output") << true << false << int(DirectRender) << int(DirectRender);
    QTest::newRow("output while dragging")
        << true << true << int(DirectRender) << int(DirectRender | FastDraw);
}

void TestScene::renderFlags()
{
    QFETCH(bool, direct);
    QFETCH(bool, dragging);
    QFETCH(int, renderFlags);
    QFETCH(int, drawFlags);

    Document document(false);
    SceneTestTheme *theme = installTheme(document);
    Scene scene(&document);
    scene.setRenderFlag(DirectRender, direct);
    if (dragging)
        scene.beginFastDraw();
    QCOMPARE(scene.renderFlags(), renderFlags);
    QCOMPARE(scene.drawFlags(), drawFlags);
    QCOMPARE(Scene::drawFlags(theme->layer->items.first()), drawFlags);

    // Items see the flags while they paint.
    scene.setSceneRect(0, 0, 218, 118);
    QImage image = blank(QSize(200, 100));
    QPainter painter(&image);
    scene.render(&painter);
    painter.end();
    QCOMPARE(theme->layer->items.first()->lastDrawFlags, drawFlags);

    // Switching a flag off again clears only that flag.
    scene.setRenderFlag(DirectRender, false);
    QCOMPARE(scene.renderFlags(), 0);
    scene.setRenderFlag(DirectRender, false);
    QCOMPARE(scene.renderFlags(), 0);
    // An item outside any Scene draws with no flags.
    QGraphicsRectItem loose;
    QCOMPARE(Scene::drawFlags(&loose), 0);
    QCOMPARE(Scene::drawFlags(nullptr), 0);
}

void TestScene::selectionModelFollowsTheImageList()
{
    Document document(false);
    Scene scene(&document);
    QVERIFY(scene.selectionModel());
    QCOMPARE(scene.selectionModel()->model(), document.imageList());
    QCOMPARE(scene.selectionModel()->parent(), &scene);
    QCOMPARE(scene.document(), &document);
    QVERIFY(scene.documentItem());
    QCOMPARE(scene.documentItem()->scene(), &scene);
}

void TestScene::overlayItem()
{
    Document document(false);
    Scene scene(&document);
    QGraphicsRectItem owner(0, 0, 5, 5);
    bool firstAlive = false;
    bool secondAlive = false;

    auto *first = new OverlayItem(&firstAlive);
    scene.setOverlayItem(first, &owner);
    QCOMPARE(first->scene(), &scene);
    QCOMPARE(scene.overlayItem(), first);
    QCOMPARE(scene.overlayOwner(), &owner);

    auto *second = new OverlayItem(&secondAlive);
    scene.setOverlayItem(second, &owner);
    QVERIFY(!firstAlive);
    QVERIFY(secondAlive);
    QCOMPARE(scene.overlayItem(), second);
    // Added last, it is painted above everything else.
    QCOMPARE(scene.items(Qt::DescendingOrder).first(), second);

    scene.setOverlayItem(nullptr, nullptr);
    QVERIFY(!secondAlive);
    QVERIFY(!scene.overlayItem());
    QVERIFY(!scene.overlayOwner());
}

void TestScene::overlayGoesWithItsOwner()
{
    Document document(false);
    Scene scene(&document);
    auto *owner = new SceneTestPhotoItem({ QRectF(0, 0, 10, 10), Qt::red, 0 }, nullptr);
    scene.addItem(owner);
    bool alive = false;
    scene.setOverlayItem(new OverlayItem(&alive), owner);
    QVERIFY(alive);
    delete owner;
    QVERIFY(!alive);
    QVERIFY(!scene.overlayItem());
    QVERIFY(!scene.overlayOwner());
}

void TestScene::overlayDeletedElsewhere()
{
    Document document(false);
    Scene scene(&document);
    auto *overlay = new SceneTestPhotoItem({ QRectF(0, 0, 10, 10), Qt::red, 0 }, nullptr);
    scene.setOverlayItem(overlay, nullptr);
    delete overlay;
    QVERIFY(!scene.overlayItem());
    // Replacing it later does not touch the deleted item.
    bool alive = false;
    scene.setOverlayItem(new OverlayItem(&alive), nullptr);
    QVERIFY(alive);
}

void TestScene::renderPageParts_data()
{
    QTest::addColumn<QRectF>("source");
    QTest::addColumn<QSize>("targetSize");
    QTest::addColumn<QPoint>("pagePixel");
    QTest::addColumn<QPoint>("photoPixel");
    QTest::addColumn<QPoint>("canvasPixel");

    // Page 200 x 100, photo at (120, 20, 60, 60).
    QTest::newRow("null source is the whole page")
        << QRectF() << QSize(100, 50) << QPoint(30, 25) << QPoint(75, 25) << QPoint(-1, -1);
    QTest::newRow("right half") << QRectF(0.5, 0, 0.5, 1) << QSize(100, 100) << QPoint(5, 50)
                                << QPoint(50, 50) << QPoint(-1, -1);
    // The graphics view anchors a page that keeps its aspect at the top left.
    QTest::newRow("whole page into a square keeps its aspect")
        << QRectF(0, 0, 1, 1) << QSize(100, 100) << QPoint(10, 25) << QPoint(75, 25)
        << QPoint(50, 75);
}

void TestScene::renderPageParts()
{
    QFETCH(QRectF, source);
    QFETCH(QSize, targetSize);
    QFETCH(QPoint, pagePixel);
    QFETCH(QPoint, photoPixel);
    QFETCH(QPoint, canvasPixel);

    Document document(false);
    installTheme(document);
    Scene scene(&document);
    scene.setSceneRect(0, 0, 800, 600);
    QImage image = blank(targetSize);
    QPainter painter(&image);
    scene.render(&painter, QRectF(QPointF(), targetSize), source);
    painter.end();
    QCOMPARE(image.pixelColor(pagePixel), page);
    QCOMPARE(image.pixelColor(photoPixel), photoColor);
    if (canvasPixel.x() >= 0)
        QCOMPARE(image.pixelColor(canvasPixel), canvas);
}

void TestScene::documentRender_data()
{
    QTest::addColumn<QSize>("targetSize");
    QTest::addColumn<QRectF>("source");
    QTest::addColumn<QRect>("expectedPage");

    QTest::newRow("exact size") << QSize(200, 100) << QRectF() << QRect(0, 0, 200, 100);
    QTest::newRow("twice the size") << QSize(400, 200) << QRectF() << QRect(0, 0, 400, 200);
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

void TestScene::createdSceneShowsTheDocument()
{
    Document document(false);
    SceneTestTheme *theme = installTheme(document);
    QObject owner;
    QPointer<Scene> scene = DocumentRenderer::createScene(&document, &owner);
    QVERIFY(scene);
    QCOMPARE(scene->parent(), &owner);
    QCOMPARE(scene->document(), &document);
    QCOMPARE(scene->renderFlags(), 0);
    QVERIFY(theme->layer);
    QCOMPARE(theme->layer->scene(), scene.data());
}

void TestScene::previewPages()
{
    // Sample pages for looking at: written when a folder is named in
    // TESSELO_SCENE_PREVIEW_DIR, checked for their basic look always.
    const QString folder = qEnvironmentVariable("TESSELO_SCENE_PREVIEW_DIR");

    struct Sample
    {
        QString name;
        bool group;
        int backgroundType;
    };
    const QList<Sample> samples {
        { QStringLiteral("per-photo-shadows-gradient"), false, BackgroundProperties::Gradient },
        { QStringLiteral("group-shadow-colour"), true, BackgroundProperties::Color },
        { QStringLiteral("picture"), false, BackgroundProperties::Picture },
    };
    // A picture of another aspect than the page: sky over a meadow, with a
    // sun in the middle, so that covering and centring show.
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString picturePath = dir.filePath(QStringLiteral("meadow.png"));
    {
        QImage picture(600, 600, QImage::Format_RGB32);
        QPainter painter(&picture);
        QLinearGradient sky(0, 0, 0, 400);
        sky.setColorAt(0, QColor(90, 140, 210));
        sky.setColorAt(1, QColor(200, 225, 245));
        painter.fillRect(0, 0, 600, 400, sky);
        painter.fillRect(0, 400, 600, 200, QColor(80, 150, 70));
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setBrush(QColor(250, 220, 80));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(QPointF(300, 300), 60, 60);
        painter.end();
        QVERIFY(picture.save(picturePath));
    }
    for (const Sample &sample : samples) {
        Document document(false);
        document.setPageSize(PageSize(PageSize::Pixels, QSizeF(1200, 800)));
        auto *theme = new SceneTestTheme(&document);
        theme->background->setType(BackgroundProperties::Type(sample.backgroundType));
        theme->background->setColor(QColor(0xc4, 0x95, 0x6a));
        theme->background->setGradientStartColor(QColor(250, 240, 220));
        theme->background->setGradientEndColor(QColor(120, 150, 190));
        theme->background->setGradientAngle(30);
        theme->shadows->setEnabled(true);
        theme->shadows->setBlurRadius(24);
        theme->shadows->setDistance(10);
        theme->shadows->setAngle(315);
        theme->shadows->setColor(QColor(0, 0, 0, 200));
        theme->shadows->setGroup(sample.group);
        if (sample.backgroundType == BackgroundProperties::Picture)
            theme->background->setBackgroundUrl(QUrl::fromLocalFile(picturePath));
        theme->photos = {
            { QRectF(100, 100, 400, 280), QColor(240, 240, 235), -8 },
            { QRectF(420, 220, 360, 360), QColor(70, 110, 160), 6 },
            { QRectF(760, 120, 320, 240), QColor(180, 70, 60), 12 },
            { QRectF(700, 460, 400, 260), QColor(230, 190, 60), -4 },
        };
        document.setTheme(theme);

        Scene scene(&document);
        QGraphicsView view(&scene);
        view.setFrameShape(QFrame::NoFrame);
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        view.setBackgroundBrush(QColor(200, 200, 200));
        view.resize(640, 460);
        scene.setSceneRect(0, 0, 640, 460);
        const QImage shot = view.viewport()->grab().toImage();
        // The page shadow darkens the grey just outside the page.
        const QRectF pageRect = scene.pageRect();
        const QPoint above(int(pageRect.center().x()), int(pageRect.top()) - 2);
        QVERIFY(shot.pixelColor(above).value() < 180);
        QCOMPARE(shot.pixelColor(2, 2), QColor(200, 200, 200));

        QImage output(1200, 800, QImage::Format_ARGB32_Premultiplied);
        output.fill(Qt::transparent);
        QPainter painter(&output);
        painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        DocumentRenderer::render(&document, &painter, QRectF(0, 0, 1200, 800));
        painter.end();
        // The page is fully painted, photos and shadows included.
        QCOMPARE(output.pixelColor(0, 0).alpha(), 255);
        QCOMPARE(output.pixelColor(300, 240), QColor(240, 240, 235));
        if (sample.backgroundType == BackgroundProperties::Picture) {
            // The square picture covers the 3:2 page at twice its size,
            // centred: its horizon (y = 400) lands at y = 600.
            QVERIFY(output.pixelColor(40, 20).blue() > 180);
            QVERIFY(output.pixelColor(40, 590).blue() > 200);
            QCOMPARE(output.pixelColor(40, 610), QColor(80, 150, 70));
            QCOMPARE(output.pixelColor(1190, 790), QColor(80, 150, 70));
        }

        if (!folder.isEmpty()) {
            QDir().mkpath(folder);
            QVERIFY(shot.save(QDir(folder).filePath(sample.name + QStringLiteral("-view.png"))));
            QVERIFY(
                output.save(QDir(folder).filePath(sample.name + QStringLiteral("-render.png"))));
        }
    }
}

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
