#include <QAction>
#include <QApplication>
#include <QDir>
#include <QGraphicsEffect>
#include <QGraphicsView>
#include <QImage>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cmath>

#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/randomgenerator.h"
#include "model/shadowproperties.h"
#include "scene/documentinneritem.h"
#include "scene/documentitem.h"
#include "scene/scene.h"
#include "scene/shadowswatcher.h"
#include "themes/builtinthemes.h"
#include "themes/photodrop/photodropitem.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodropsceneitem.h"
#include "themes/photodrop/photodroptheme.h"
#include "themes/photodrop/photodropthemepropertieswidget.h"
#include "undo/undostack.h"

namespace {

// A Photo Drop page at scale 1 in a scene (and, on request, a view) whose
// scene rectangle leaves the page's 9-pixel margin on every side, so that a
// page point p is the scene point p + (9, 9).
struct Page
{
    QScopedPointer<Document> document;
    PhotoDropTheme *theme = nullptr;
    QScopedPointer<Scene> scene;
    QScopedPointer<QGraphicsView> view;
    PhotoDropSceneItem *layer = nullptr;

    ~Page()
    {
        view.reset();
        scene.reset();
        document.reset();
    }

    bool build(const QSizeF &pageSize, const QList<QUrl> &urls)
    {
        document.reset(new Document(true));
        document->setPageSize(PageSize(PageSize::Pixels, pageSize));
        if (!urls.isEmpty() && !document->imageList()->insertUrls(0, urls, false))
            return false;
        document->setThemeId(BuiltInThemes::PhotoDropId);
        theme = qobject_cast<PhotoDropTheme *>(document->theme());
        if (!theme)
            return false;
        scene.reset(new Scene(document.data()));
        scene->setSceneRect(QRectF(QPointF(0, 0), pageSize + QSizeF(18, 18)));
        layer = qobject_cast<PhotoDropSceneItem *>(scene->documentItem()->sceneLayer());
        // Until the theme hands out its layer, the test puts one on the page.
        if (!layer)
            layer = new PhotoDropSceneItem(theme, scene->documentItem()->innerItem(), scene.data());
        document->undoStack()->clear();
        return true;
    }

    bool show()
    {
        view.reset(new QGraphicsView(scene.data()));
        view->setFrameShape(QFrame::NoFrame);
        view->setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->resize(scene->sceneRect().size().toSize());
        view->show();
        return QTest::qWaitForWindowExposed(view.data());
    }

    UndoStack *stack() const { return document->undoStack(); }
    QItemSelectionModel *selection() const { return scene->selectionModel(); }
    PhotoDropItemProperties *photo(int row) const { return theme->items()->at(row).data(); }

    void place(int row, const QPointF &position, qreal zoom, qreal rotationRelative = 0)
    {
        ItemTransform *transform = photo(row)->transform();
        transform->setPosition(position);
        transform->setZoom(zoom);
        transform->setRotationRelative(rotationRelative);
    }

    QPoint viewPoint(const QPointF &pagePoint) const
    {
        return view->mapFromScene(layer->mapToScene(pagePoint));
    }

    void mouse(QEvent::Type type, const QPointF &pagePoint, Qt::MouseButton button,
        Qt::MouseButtons buttons)
    {
        const QPoint pos = viewPoint(pagePoint);
        QMouseEvent event(type, QPointF(pos), QPointF(view->viewport()->mapToGlobal(pos)), button,
            buttons, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &event);
    }

    // The page alone, one pixel per page unit.
    QImage render()
    {
        const QSize size = document->pageSize().size().toSize();
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::magenta);
        QPainter painter(&image);
        scene->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
        return image;
    }

    // The photos' properties in the order their items are stacked,
    // bottom first.
    QList<PhotoDropItemProperties *> stackedPhotos() const
    {
        QList<PhotoDropItemProperties *> result;
        for (QGraphicsItem *child : layer->groupItem()->childItems()) {
            auto *item = qobject_cast<PhotoDropItem *>(child->toGraphicsObject());
            result.append(item ? item->properties() : nullptr);
        }
        return result;
    }

    QList<PhotoDropItemProperties *> rowPhotos() const
    {
        QList<PhotoDropItemProperties *> result;
        for (const auto &item : theme->items()->items())
            result.append(item.data());
        return result;
    }

    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (const QModelIndex &index : selection()->selectedIndexes())
            rows.append(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    QList<int> selectedItemRows() const
    {
        QList<int> rows;
        for (int row = 0; row < layer->photoItems().size(); ++row) {
            if (layer->photoItem(row)->isSelected())
                rows.append(row);
        }
        return rows;
    }

    void select(const QList<int> &rows)
    {
        selection()->clearSelection();
        for (int row : rows)
            selection()->select(document->imageList()->index(row), QItemSelectionModel::Select);
    }
};

bool near(const QColor &actual, const QColor &expected, int tolerance)
{
    return qAbs(actual.red() - expected.red()) <= tolerance
        && qAbs(actual.green() - expected.green()) <= tolerance
        && qAbs(actual.blue() - expected.blue()) <= tolerance;
}

QString describe(const QColor &color)
{
    return QStringLiteral("(%1, %2, %3)").arg(color.red()).arg(color.green()).arg(color.blue());
}

bool samePoint(const QPointF &a, const QPointF &b, qreal tolerance)
{
    return qAbs(a.x() - b.x()) <= tolerance && qAbs(a.y() - b.y()) <= tolerance;
}

} // namespace

class TestPhotoDropItems : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void geometry_data();
    void geometry();
    void geometryFollowsFramesAndImage();
    void hitTest_data();
    void hitTest();
    void drawing_data();
    void drawing();
    void selectionRingKeepsItsScreenWidth();

    void dragging_data();
    void dragging();

    void stackingFollowsRows();
    void itemGoesWithItsProperties();

    void selectionMirrored_data();
    void selectionMirrored();

    void contextMenu_data();
    void contextMenu();
    void contextMenuChoices_data();
    void contextMenuChoices();

    void stackingActionTexts_data();
    void stackingActionTexts();
    void stackingActionsEnabled_data();
    void stackingActionsEnabled();
    void stackingActionsMovePhotos_data();
    void stackingActionsMovePhotos();
    void actionsWithoutScene();

    void propertiesWidget_data();
    void propertiesWidget();

    void previewPage();
    void themeHandsOutLayerAndPages();

private:
    QUrl writeImage(const QSize &size, const QColor &color);
    QList<QUrl> writeImages(int count, const QSize &size = QSize(200, 100));

    QTemporaryDir m_dir;
    int m_fileCount = 0;
};

void TestPhotoDropItems::initTestCase()
{
    QVERIFY(m_dir.isValid());
    BuiltInThemes::registerAll();
}

void TestPhotoDropItems::cleanup()
{
    RandomGenerator::reseed();
}

QUrl TestPhotoDropItems::writeImage(const QSize &size, const QColor &color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    const QString path = m_dir.filePath(QStringLiteral("photo%1.png").arg(m_fileCount++));
    if (!image.save(path))
        return QUrl();
    return QUrl::fromLocalFile(path);
}

QList<QUrl> TestPhotoDropItems::writeImages(int count, const QSize &size)
{
    QList<QUrl> urls;
    for (int k = 0; k < count; ++k)
        urls.append(writeImage(size, QColor::fromHsv((k * 67) % 360, 200, 220)));
    return urls;
}

// ---------------------------------------------------------------------------
// Geometry and drawing

void TestPhotoDropItems::geometry_data()
{
    QTest::addColumn<QSize>("imageSize");
    QTest::addColumn<qreal>("frameSize");
    QTest::addColumn<bool>("framesOn");
    QTest::addColumn<QSizeF>("photoSize");
    QTest::addColumn<qreal>("frameWidth");

    QTest::newRow("landscape, frame 0.08")
        << QSize(400, 300) << 0.08 << true << QSizeF(0.92, 0.69) << 0.03;
    QTest::newRow("landscape, frames off")
        << QSize(400, 300) << 0.08 << false << QSizeF(1, 0.75) << 0.0;
    QTest::newRow("portrait, frame 0.1")
        << QSize(300, 400) << 0.1 << true << QSizeF(0.675, 0.9) << 0.0375;
    QTest::newRow("square, frame 0.2") << QSize(100, 100) << 0.2 << true << QSizeF(0.8, 0.8) << 0.1;
    QTest::newRow("frame size 0") << QSize(200, 100) << 0.0 << true << QSizeF(1, 0.5) << 0.0;
}

void TestPhotoDropItems::geometry()
{
    QFETCH(QSize, imageSize);
    QFETCH(qreal, frameSize);
    QFETCH(bool, framesOn);
    QFETCH(QSizeF, photoSize);
    QFETCH(qreal, frameWidth);

    Page page;
    QVERIFY(page.build(QSizeF(800, 600), { writeImage(imageSize, Qt::gray) }));
    page.theme->frames()->setSize(frameSize);
    page.theme->frames()->setEnabled(framesOn);
    PhotoDropItem *item = page.layer->photoItem(0);
    QVERIFY(item);

    const qreal e = 1e-9;
    QVERIFY(qAbs(item->photoRect().width() - photoSize.width()) < e);
    QVERIFY(qAbs(item->photoRect().height() - photoSize.height()) < e);
    QVERIFY(samePoint(item->photoRect().center(), QPointF(0, 0), e));
    QVERIFY(qAbs(item->frameWidth() - frameWidth) < e);
    const QRectF outer
        = item->photoRect().adjusted(-frameWidth, -frameWidth, frameWidth, frameWidth);
    QVERIFY(samePoint(item->outerRect().topLeft(), outer.topLeft(), e));
    QVERIFY(samePoint(item->outerRect().bottomRight(), outer.bottomRight(), e));
    QCOMPARE(item->boundingRect(), item->outerRect());
    QVERIFY(item->flags() & QGraphicsItem::ItemIsSelectable);

    // The item lies where the photo's transform puts it.
    page.place(0, QPointF(300, 200), 250, 0);
    const QRectF onPage = item->mapRectToParent(item->outerRect());
    QVERIFY(samePoint(onPage.center(), QPointF(300, 200), 1e-3));
    QVERIFY(qAbs(onPage.width() - outer.width() * 250) < 1e-3);
    QVERIFY(qAbs(onPage.height() - outer.height() * 250) < 1e-3);
}

void TestPhotoDropItems::geometryFollowsFramesAndImage()
{
    Page page;
    QVERIFY(page.build(QSizeF(800, 600), { writeImage(QSize(400, 300), Qt::gray) }));
    PhotoDropItem *item = page.layer->photoItem(0);
    QVERIFY(qAbs(item->photoRect().width() - 0.92) < 1e-9);

    page.theme->frames()->setEnabled(false);
    QVERIFY(qAbs(item->photoRect().width() - 1.0) < 1e-9);
    QCOMPARE(item->frameWidth(), 0.0);
    page.stack()->undo();
    QVERIFY(qAbs(item->photoRect().width() - 0.92) < 1e-9);

    page.theme->frames()->setSize(0.2);
    QVERIFY(qAbs(item->photoRect().width() - 0.8) < 1e-9);
    QVERIFY(qAbs(item->frameWidth() - 0.075) < 1e-9);

    // A quarter turn of the image turns the photo's shape.
    page.photo(0)->source()->rotate90(1);
    QVERIFY(qAbs(item->photoRect().width() - 0.6) < 1e-9);
    QVERIFY(qAbs(item->photoRect().height() - 0.8) < 1e-9);
}

void TestPhotoDropItems::hitTest_data()
{
    QTest::addColumn<QPointF>("fraction"); // of the outer rectangle's half size
    QTest::addColumn<int>("part");
    QTest::newRow("centre") << QPointF(0, 0) << 3;
    QTest::newRow("inside the middle") << QPointF(0.65, -0.65) << 3;
    QTest::newRow("band, right") << QPointF(0.75, 0) << 12;
    QTest::newRow("band, corner") << QPointF(-0.95, 0.95) << 12;
    QTest::newRow("band, top") << QPointF(0, -0.8) << 12;
    QTest::newRow("outside") << QPointF(1.1, 0) << 0;
    QTest::newRow("outside, below") << QPointF(0, 1.2) << 0;
}

void TestPhotoDropItems::hitTest()
{
    QFETCH(QPointF, fraction);
    QFETCH(int, part);
    Page page;
    QVERIFY(page.build(QSizeF(800, 600), { writeImage(QSize(400, 300), Qt::gray) }));
    PhotoDropItem *item = page.layer->photoItem(0);
    const QRectF outer = item->outerRect();
    const QPointF pos(outer.center().x() + fraction.x() * outer.width() / 2,
        outer.center().y() + fraction.y() * outer.height() / 2);
    QCOMPARE(item->hitTest(pos), part);
}

void TestPhotoDropItems::drawing_data()
{
    QTest::addColumn<QColor>("imageColor");
    QTest::addColumn<bool>("framesOn");
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("mask");
    QTest::addColumn<QColor>("centre");
    QTest::addColumn<QColor>("frameBand"); // inside the outer rectangle, left of the photo
    QTest::addColumn<QColor>("photoCorner"); // inside the photo rectangle, outside any mask

    const QColor frame(0, 200, 0);
    const QColor background(40, 40, 40);
    const QColor red(255, 0, 0);
    QTest::newRow("frame") << red << true << 0 << 0 << red << frame << red;
    QTest::newRow("no frame") << red << false << 0 << 0 << red << red << red;
    QTest::newRow("grayscale") << red << true << 1 << 0 << QColor(76, 76, 76) << frame
                               << QColor(76, 76, 76);
    QTest::newRow("sepia of white") << QColor(Qt::white) << true << 2 << 0 << QColor(255, 255, 235)
                                    << frame << QColor(255, 255, 235);
    QTest::newRow("high contrast") << QColor(100, 128, 200) << true << 5 << 0
                                   << QColor(86, 128, 236) << frame << QColor(86, 128, 236);
    QTest::newRow("unknown filter") << red << true << 42 << 0 << red << frame << red;
    QTest::newRow("circle mask, frame") << red << true << 0 << 1 << red << frame << frame;
    QTest::newRow("circle mask, no frame") << red << false << 0 << 1 << red << red << background;
    QTest::newRow("diamond mask and cool filter")
        << QColor(100, 100, 100) << true << 4 << 4 << QColor(85, 105, 125) << frame << frame;
    QTest::newRow("unknown mask") << red << true << 0 << 17 << red << frame << red;
}

void TestPhotoDropItems::drawing()
{
    QFETCH(QColor, imageColor);
    QFETCH(bool, framesOn);
    QFETCH(int, filter);
    QFETCH(int, mask);
    QFETCH(QColor, centre);
    QFETCH(QColor, frameBand);
    QFETCH(QColor, photoCorner);

    //  Page 400 x 300; a 2:1 photo of zoom 200 centred at (200, 150).
    //  With frame size 0.1: photo 180 x 90 at (110, 105), frame 5 wide,
    //  outer rectangle 190 x 100 at (105, 100). Without frames the photo
    //  covers 200 x 100 at (100, 100).
    Page page;
    QVERIFY(page.build(QSizeF(400, 300), { writeImage(QSize(200, 100), imageColor) }));
    page.theme->background()->setColor(QColor(40, 40, 40));
    page.theme->frames()->setColor(QColor(0, 200, 0));
    page.theme->frames()->setSize(0.1);
    page.theme->frames()->setEnabled(framesOn);
    page.place(0, QPointF(200, 150), 200, 0);
    page.photo(0)->setFilterType(filter);
    page.photo(0)->setMaskShape(mask);

    const QImage image = page.render();
    struct Probe
    {
        QPoint point;
        QColor expected;
        const char *name;
    };
    const Probe probes[] = {
        { QPoint(200, 150), centre, "centre" },
        { QPoint(107, 150), frameBand, "frame band" },
        { QPoint(113, 107), photoCorner, "photo corner" },
        { QPoint(60, 150), QColor(40, 40, 40), "beside the photo" },
    };
    for (const Probe &probe : probes) {
        const QColor actual = image.pixelColor(probe.point);
        QVERIFY2(near(actual, probe.expected, 2),
            qPrintable(
                QStringLiteral("%1: %2, expected %3")
                    .arg(QLatin1String(probe.name), describe(actual), describe(probe.expected))));
    }
}

void TestPhotoDropItems::selectionRingKeepsItsScreenWidth()
{
    Page page;
    QVERIFY(page.build(QSizeF(400, 300), { writeImage(QSize(200, 100), Qt::white) }));
    page.theme->frames()->setColor(Qt::white);
    page.place(0, QPointF(200, 150), 200, 0);
    // Outer rectangle: 0.96 x 0.5 at zoom 200, so x from 104 to 296.
    QImage plain = page.render();
    QVERIFY(near(plain.pixelColor(105, 150), Qt::white, 0));

    page.select({ 0 });
    QVERIFY(page.layer->photoItem(0)->isSelected());
    for (qreal scale : { 1.0, 2.0 }) {
        const QSize size = (QSizeF(400, 300) * scale).toSize();
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter painter(&image);
        page.scene->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
        // The ring is the length of the device vector (2, 2), about 2.8
        // pixels, at any scale.
        const int left = qRound(104 * scale);
        const int y = qRound(150 * scale);
        QVERIFY2(near(image.pixelColor(left + 1, y), QColor(0, 0, 255), 0),
            qPrintable(describe(image.pixelColor(left + 1, y))));
        QVERIFY(near(image.pixelColor(left + 2, y), QColor(0, 0, 255), 0));
        QVERIFY(near(image.pixelColor(left + 4, y), Qt::white, 0));
    }
}

// ---------------------------------------------------------------------------
// Direct manipulation through a view

void TestPhotoDropItems::dragging_data()
{
    QTest::addColumn<QString>("gesture");
    QTest::addColumn<QPointF>("expectedPosition");
    QTest::addColumn<qreal>("expectedZoom");
    QTest::addColumn<qreal>("expectedRotation");
    QTest::addColumn<QString>("undoText");

    QTest::newRow("move") << "move" << QPointF(240, 174) << 200.0 << 0.0
                          << QStringLiteral("Moving %1");
    // Whole-pixel pointer positions do not keep the radius exactly, so a
    // turn may scale by a hair as well.
    QTest::newRow("turn") << "turn" << QPointF(200, 150) << 200.0 << 30.0
                          << QStringLiteral("(Rotating|Changing) %1");
    QTest::newRow("turn back") << "turn back" << QPointF(200, 150) << 200.0 << -20.0
                               << QStringLiteral("(Rotating|Changing) %1");
    QTest::newRow("scale") << "scale" << QPointF(200, 150) << 300.0 << 0.0
                           << QStringLiteral("Scaling %1");
}

void TestPhotoDropItems::dragging()
{
    QFETCH(QString, gesture);
    QFETCH(QPointF, expectedPosition);
    QFETCH(qreal, expectedZoom);
    QFETCH(qreal, expectedRotation);
    QFETCH(QString, undoText);

    Page page;
    QVERIFY(page.build(QSizeF(400, 300), { writeImage(QSize(200, 100), Qt::gray) }));
    QVERIFY(page.show());
    page.place(0, QPointF(200, 150), 200, 0);
    page.stack()->clear();
    ItemTransform *transform = page.photo(0)->transform();

    //  The outer rectangle is 192 x 100 around (200, 150); its middle 70 %
    //  moves, the band around it turns and scales about the centre.
    const QPointF centre(200, 150);
    QList<QPointF> path;
    if (gesture == QLatin1String("move")) {
        for (int step = 0; step <= 4; ++step)
            path.append(centre + QPointF(10, 6) * step);
    } else if (gesture.startsWith(QLatin1String("turn"))) {
        const qreal end = gesture == QLatin1String("turn") ? 30 : -20;
        for (int step = 0; step <= 10; ++step) {
            // y grows downward: a growing angle turns clockwise on screen.
            const qreal angle = qDegreesToRadians(end * step / 10);
            path.append(centre + QPointF(std::cos(angle), std::sin(angle)) * 88);
        }
    } else {
        for (int step = 0; step <= 5; ++step)
            path.append(centre + QPointF(88 + 44 * step / 5.0, 0));
    }

    page.mouse(QEvent::MouseButtonPress, path.first(), Qt::LeftButton, Qt::LeftButton);
    for (int k = 1; k < path.size(); ++k)
        page.mouse(QEvent::MouseMove, path.at(k), Qt::NoButton, Qt::LeftButton);
    QVERIFY(page.scene->fastDrawCount() > 0); // drawing is cheap while dragging
    page.mouse(QEvent::MouseButtonRelease, path.last(), Qt::LeftButton, Qt::NoButton);
    QCOMPARE(page.scene->fastDrawCount(), 0);

    QVERIFY2(samePoint(transform->position(), expectedPosition, 1.0),
        qPrintable(QStringLiteral("%1, %2")
                       .arg(transform->position().x())
                       .arg(transform->position().y())));
    QVERIFY2(qAbs(transform->zoom() - expectedZoom) < expectedZoom * 0.02,
        qPrintable(QString::number(transform->zoom())));
    QVERIFY2(qAbs(transform->rotation() - expectedRotation) < 1.5,
        qPrintable(QString::number(transform->rotation())));

    // The whole gesture is one undo step, which puts the photo back.
    QCOMPARE(page.stack()->count(), 1);
    const QRegularExpression text(QStringLiteral("^%1$").arg(
        undoText.arg(QRegularExpression::escape(page.photo(0)->source()->objectName()))));
    QVERIFY2(text.match(page.stack()->text(0)).hasMatch(), qPrintable(page.stack()->text(0)));
    page.stack()->undo();
    QCOMPARE(transform->position(), centre);
    QCOMPARE(transform->zoom(), 200.0);
    QCOMPARE(transform->rotationRelative(), 0.0);
    // The press selected the photo, which is no undo step.
    QCOMPARE(page.selectedRows(), QList<int>({ 0 }));
}

// ---------------------------------------------------------------------------
// Rows, stacking and selection

void TestPhotoDropItems::stackingFollowsRows()
{
    Page page;
    QVERIFY(page.build(QSizeF(800, 600), writeImages(4)));
    ImageList *images = page.document->imageList();
    QCOMPARE(page.layer->photoItems().size(), 4);
    QCOMPARE(page.stackedPhotos(), page.rowPhotos());

    // A row move of the image list (as the strip or a stacking action does).
    QVERIFY(images->moveItems(0, 0, 4));
    QCOMPARE(page.stackedPhotos(), page.rowPhotos());
    QVERIFY(images->moveItems(3, 3, 1));
    QCOMPARE(page.stackedPhotos(), page.rowPhotos());
    page.stack()->undo();
    page.stack()->undo();
    QCOMPARE(page.stackedPhotos(), page.rowPhotos());

    // A photo inserted in the middle is stacked at its row.
    QVERIFY(images->insertUrls(1, writeImages(2), false));
    QCOMPARE(page.layer->photoItems().size(), 6);
    QCOMPARE(page.stackedPhotos(), page.rowPhotos());
    QCOMPARE(page.layer->photoItem(1)->properties(), page.photo(1));

    QVERIFY(images->removeRows(2, 2));
    QCOMPARE(page.layer->photoItems().size(), 4);
    QCOMPARE(page.stackedPhotos(), page.rowPhotos());
    page.stack()->undo();
    QCOMPARE(page.stackedPhotos(), page.rowPhotos());

    // A page-size change rebuilds every photo.
    page.document->setPageSize(PageSize(PageSize::Pixels, QSizeF(600, 800)));
    QCOMPARE(page.layer->photoItems().size(), 6);
    QCOMPARE(page.stackedPhotos(), page.rowPhotos());
    for (int row = 0; row < 6; ++row)
        QCOMPARE(page.layer->photoItem(row)->properties(), page.photo(row));
}

void TestPhotoDropItems::itemGoesWithItsProperties()
{
    Document document(false);
    FrameProperties frames;
    auto *properties = new PhotoDropItemProperties(&document, nullptr);
    QPointer<PhotoDropItem> item = new PhotoDropItem(properties, &frames);
    delete properties;
    QVERIFY(item);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QVERIFY(!item);

    // Removing a row deletes its item at once; the photo stays for an undo.
    Page page;
    QVERIFY(page.build(QSizeF(800, 600), writeImages(3)));
    QPointer<PhotoDropItem> second = page.layer->photoItem(1);
    QVERIFY(page.document->imageList()->removeRows(1, 1));
    QVERIFY(!second);
    QCOMPARE(page.layer->photoItems().size(), 2);
    page.stack()->undo();
    QCOMPARE(page.layer->photoItems().size(), 3);
    QCOMPARE(page.layer->photoItem(1)->properties(), page.photo(1));
}

void TestPhotoDropItems::selectionMirrored_data()
{
    QTest::addColumn<QString>("how");
    QTest::addColumn<QList<int>>("rows");
    QTest::addColumn<QList<int>>("expected");

    QTest::newRow("model selects one") << "model" << QList<int> { 2 } << QList<int> { 2 };
    QTest::newRow("model selects two") << "model" << QList<int> { 0, 3 } << QList<int> { 0, 3 };
    QTest::newRow("items select two") << "items" << QList<int> { 1, 2 } << QList<int> { 1, 2 };
    QTest::newRow("click selects one") << "click" << QList<int> { 3 } << QList<int> { 3 };
    QTest::newRow("click replaces") << "click after model" << QList<int> { 1 } << QList<int> { 1 };
    QTest::newRow("click on the page clears")
        << "click beside" << QList<int> { 0, 1 } << QList<int> {};
    QTest::newRow("model clears") << "model clears" << QList<int> { 0, 2 } << QList<int> {};
    QTest::newRow("scene clears") << "scene clears" << QList<int> { 1, 3 } << QList<int> {};
}

void TestPhotoDropItems::selectionMirrored()
{
    QFETCH(QString, how);
    QFETCH(QList<int>, rows);
    QFETCH(QList<int>, expected);

    Page page;
    QVERIFY(page.build(QSizeF(800, 400), writeImages(4)));
    QVERIFY(page.show());
    // Four photos side by side, apart.
    for (int row = 0; row < 4; ++row)
        page.place(row, QPointF(100 + 200 * row, 200), 150);

    if (how == QLatin1String("model")) {
        page.select(rows);
    } else if (how == QLatin1String("items")) {
        for (int row : rows)
            page.layer->photoItem(row)->setSelected(true);
    } else if (how.startsWith(QLatin1String("click"))) {
        if (how == QLatin1String("click after model"))
            page.select({ 0, 2 });
        if (how == QLatin1String("click beside"))
            page.select(rows);
        const QPointF at = how == QLatin1String("click beside")
            ? QPointF(400, 380)
            : page.photo(rows.first())->transform()->position();
        page.mouse(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
        page.mouse(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
    } else if (how == QLatin1String("model clears")) {
        page.select(rows);
        QCOMPARE(page.selectedItemRows(), rows);
        page.selection()->clearSelection();
    } else if (how == QLatin1String("scene clears")) {
        for (int row : rows)
            page.layer->photoItem(row)->setSelected(true);
        QCOMPARE(page.selectedRows(), rows);
        page.scene->clearSelection();
    }
    QCOMPARE(page.selectedRows(), expected);
    QCOMPARE(page.selectedItemRows(), expected);

    // The selection follows the photos when their rows move.
    if (expected.size() == 1 && expected.first() != 0) {
        PhotoDropItemProperties *photo = page.photo(expected.first());
        QVERIFY(page.document->imageList()->moveItems(expected.first(), expected.first(), 0));
        QCOMPARE(page.photo(0), photo);
        QCOMPARE(page.selectedRows(), QList<int>({ 0 }));
        QCOMPARE(page.selectedItemRows(), QList<int>({ 0 }));
    }
}

// ---------------------------------------------------------------------------
// Context menu and actions

void TestPhotoDropItems::contextMenu_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("mask");
    QTest::addColumn<bool>("submenus");
    QTest::addColumn<QString>("checkedFilter");
    QTest::addColumn<QString>("checkedMask");

    QTest::newRow("nothing selected") << QList<int> {} << 0 << 0 << false << QString() << QString();
    QTest::newRow("one photo, plain") << QList<int> { 1 } << 0 << 0 << true << "None"
                                      << "None";
    QTest::newRow("one photo, sepia and star") << QList<int> { 0 } << 2 << 3 << true << "Sepia"
                                               << "Star";
    QTest::newRow("one photo, high contrast and hexagon")
        << QList<int> { 2 } << 5 << 5 << true << "High Contrast"
        << "Hexagon";
    QTest::newRow("unknown codes show as none") << QList<int> { 1 } << 9 << -3 << true << "None"
                                                << "None";
    QTest::newRow("two photos") << QList<int> { 0, 2 } << 1 << 1 << false << QString() << QString();
}

void TestPhotoDropItems::contextMenu()
{
    QFETCH(QList<int>, selected);
    QFETCH(int, filter);
    QFETCH(int, mask);
    QFETCH(bool, submenus);
    QFETCH(QString, checkedFilter);
    QFETCH(QString, checkedMask);

    Page page;
    QVERIFY(page.build(QSizeF(800, 600), writeImages(3)));
    for (int row : selected) {
        page.photo(row)->setFilterType(filter);
        page.photo(row)->setMaskShape(mask);
    }
    page.select(selected);

    QScopedPointer<QMenu> menu(page.layer->createContextMenu());
    const QList<QAction *> entries = menu->actions();
    QVERIFY(entries.size() >= 4);
    QCOMPARE(entries.mid(0, 4), page.layer->actions());
    if (!submenus) {
        QCOMPARE(entries.size(), 4);
        return;
    }
    QCOMPARE(entries.size(), 7);
    QVERIFY(entries.at(4)->isSeparator());
    QMenu *filterMenu = entries.at(5)->menu();
    QMenu *maskMenu = entries.at(6)->menu();
    QVERIFY(filterMenu && maskMenu);
    QCOMPARE(filterMenu->title(), QStringLiteral("Filter"));
    QCOMPARE(maskMenu->title(), QStringLiteral("Mask"));

    auto labels = [](QMenu *m) {
        QStringList result;
        for (QAction *a : m->actions())
            result.append(a->text());
        return result;
    };
    auto checked = [](QMenu *m) {
        QStringList result;
        for (QAction *a : m->actions()) {
            if (!a->isCheckable())
                return QStringList { QStringLiteral("not checkable: ") + a->text() };
            if (a->isChecked())
                result.append(a->text());
        }
        return result;
    };
    QCOMPARE(labels(filterMenu),
        QStringList({ "None", "Grayscale", "Sepia", "Warm", "Cool", "High Contrast" }));
    QCOMPARE(
        labels(maskMenu), QStringList({ "None", "Circle", "Heart", "Star", "Diamond", "Hexagon" }));
    QCOMPARE(checked(filterMenu), QStringList({ checkedFilter }));
    QCOMPARE(checked(maskMenu), QStringList({ checkedMask }));
}

void TestPhotoDropItems::contextMenuChoices_data()
{
    QTest::addColumn<QString>("submenu");
    QTest::addColumn<int>("entry");
    QTest::addColumn<int>("filter");
    QTest::addColumn<int>("mask");
    QTest::addColumn<QString>("undoText");

    QTest::newRow("warm") << "Filter" << 3 << 3 << 0 << "Change filter";
    QTest::newRow("grayscale") << "Filter" << 1 << 1 << 0 << "Change filter";
    QTest::newRow("heart") << "Mask" << 2 << 0 << 2 << "Change mask";
    QTest::newRow("hexagon") << "Mask" << 5 << 0 << 5 << "Change mask";
}

void TestPhotoDropItems::contextMenuChoices()
{
    QFETCH(QString, submenu);
    QFETCH(int, entry);
    QFETCH(int, filter);
    QFETCH(int, mask);
    QFETCH(QString, undoText);

    Page page;
    QVERIFY(page.build(QSizeF(800, 600), writeImages(3)));
    page.select({ 1 });
    QScopedPointer<QMenu> menu(page.layer->createContextMenu());
    QMenu *sub = nullptr;
    for (QAction *action : menu->actions()) {
        if (action->menu() && action->menu()->title() == submenu)
            sub = action->menu();
    }
    QVERIFY(sub);
    sub->actions().at(entry)->trigger();

    QCOMPARE(page.photo(1)->filterType(), filter);
    QCOMPARE(page.photo(1)->maskShape(), mask);
    QCOMPARE(page.photo(0)->filterType(), 0);
    QCOMPARE(page.photo(2)->maskShape(), 0);
    QCOMPARE(page.stack()->count(), 1);
    QCOMPARE(page.stack()->text(0), undoText);
    page.stack()->undo();
    QCOMPARE(page.photo(1)->filterType(), 0);
    QCOMPARE(page.photo(1)->maskShape(), 0);
}

void TestPhotoDropItems::stackingActionTexts_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QKeySequence>("shortcut");
    QTest::newRow("front") << 0 << "Bring to Front" << QKeySequence(Qt::Key_Home);
    QTest::newRow("forward") << 1 << "Bring Forward" << QKeySequence(Qt::Key_PageUp);
    QTest::newRow("backward") << 2 << "Send Backward" << QKeySequence(Qt::Key_PageDown);
    QTest::newRow("back") << 3 << "Send to Back" << QKeySequence(Qt::Key_End);
}

void TestPhotoDropItems::stackingActionTexts()
{
    QFETCH(int, index);
    QFETCH(QString, text);
    QFETCH(QKeySequence, shortcut);
    Page page;
    QVERIFY(page.build(QSizeF(800, 600), writeImages(1)));
    const QList<QAction *> actions = page.layer->actions();
    QCOMPARE(actions.size(), 4);
    QCOMPARE(actions.at(index)->text(), text);
    QCOMPARE(actions.at(index)->shortcut(), shortcut);
}

namespace {

//  Row 0 and row 1 overlap; row 2 lies apart in the corner; row 3 covers
//  row 1 only.
//
//      +----------+------+                 [2]
//      |   [0]    | [1]  |-----+
//      +----------+------+ [3] |
//                        +-----+
void placeOverlapping(Page &page)
{
    page.place(0, QPointF(150, 150), 150);
    page.place(1, QPointF(230, 150), 150);
    page.place(2, QPointF(700, 60), 40);
    page.place(3, QPointF(330, 190), 100);
    page.stack()->clear();
}

} // namespace

void TestPhotoDropItems::stackingActionsEnabled_data()
{
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<bool>("raise");
    QTest::addColumn<bool>("lower");
    QTest::newRow("nothing selected") << QList<int> {} << false << false;
    QTest::newRow("bottom photo under another") << QList<int> { 0 } << true << false;
    QTest::newRow("photo between two") << QList<int> { 1 } << true << true;
    QTest::newRow("top photo over another") << QList<int> { 3 } << false << true;
    QTest::newRow("photo alone") << QList<int> { 2 } << false << false;
    QTest::newRow("selected photos do not count") << QList<int> { 0, 1, 3 } << false << false;
    QTest::newRow("two selected") << QList<int> { 0, 3 } << true << true;
}

void TestPhotoDropItems::stackingActionsEnabled()
{
    QFETCH(QList<int>, selected);
    QFETCH(bool, raise);
    QFETCH(bool, lower);
    Page page;
    QVERIFY(page.build(QSizeF(800, 600), writeImages(4)));
    placeOverlapping(page);
    page.select(selected);
    QCOMPARE(page.layer->bringToFrontAction()->isEnabled(), raise);
    QCOMPARE(page.layer->bringForwardAction()->isEnabled(), raise);
    QCOMPARE(page.layer->sendBackwardAction()->isEnabled(), lower);
    QCOMPARE(page.layer->sendToBackAction()->isEnabled(), lower);

    // Moving a photo away refreshes them.
    if (!selected.isEmpty()) {
        for (int row : selected)
            page.place(row, QPointF(60 + 20 * row, 560), 10);
        QVERIFY(!page.layer->bringToFrontAction()->isEnabled());
        QVERIFY(!page.layer->sendToBackAction()->isEnabled());
    }
}

void TestPhotoDropItems::stackingActionsMovePhotos_data()
{
    QTest::addColumn<int>("action");
    QTest::addColumn<QList<int>>("selected");
    QTest::addColumn<QList<int>>("order"); // old rows, bottom first
    QTest::addColumn<QString>("undoText");

    QTest::newRow("front") << 0 << QList<int> { 0 } << QList<int> { 1, 0, 2, 3 }
                           << "Bringing to Front";
    QTest::newRow("front from the middle")
        << 0 << QList<int> { 1 } << QList<int> { 0, 2, 3, 1 } << "Bringing to Front";
    QTest::newRow("forward") << 1 << QList<int> { 1 } << QList<int> { 0, 2, 3, 1 }
                             << "Bringing Forward";
    QTest::newRow("backward") << 2 << QList<int> { 3 } << QList<int> { 0, 3, 1, 2 }
                              << "Sending Backward";
    QTest::newRow("back") << 3 << QList<int> { 1 } << QList<int> { 1, 0, 2, 3 }
                          << "Sending to Back";
    QTest::newRow("nothing to pass")
        << 0 << QList<int> { 2 } << QList<int> { 0, 1, 2, 3 } << QString();
}

void TestPhotoDropItems::stackingActionsMovePhotos()
{
    QFETCH(int, action);
    QFETCH(QList<int>, selected);
    QFETCH(QList<int>, order);
    QFETCH(QString, undoText);
    Page page;
    QVERIFY(page.build(QSizeF(800, 600), writeImages(4)));
    placeOverlapping(page);
    const QList<PhotoDropItemProperties *> before = page.rowPhotos();
    page.select(selected);

    page.layer->actions().at(action)->trigger();

    QList<PhotoDropItemProperties *> expected;
    for (int row : order)
        expected.append(before.at(row));
    QCOMPARE(page.rowPhotos(), expected);
    QCOMPARE(page.stackedPhotos(), expected);
    if (undoText.isEmpty()) {
        QCOMPARE(page.stack()->count(), 0);
        return;
    }
    QCOMPARE(page.stack()->count(), 1);
    QCOMPARE(page.stack()->text(0), undoText);
    // The selection went with the photo, and the actions follow its new place.
    QCOMPARE(page.selectedRows().size(), selected.size());
    QVERIFY(page.layer->photoItem(page.selectedRows().first())->isSelected());
    QCOMPARE(page.photo(page.selectedRows().first()), before.at(selected.first()));

    page.stack()->undo();
    QCOMPARE(page.rowPhotos(), before);
    QCOMPARE(page.stackedPhotos(), before);
}

void TestPhotoDropItems::actionsWithoutScene()
{
    Page page;
    QVERIFY(page.build(QSizeF(800, 600), writeImages(4)));
    placeOverlapping(page);
    page.select({ 1 });
    QVERIFY(page.layer->bringToFrontAction()->isEnabled());

    // A layer off any scene has no selection to act on.
    PhotoDropSceneItem loose(page.theme);
    QCOMPARE(loose.photoItems().size(), 4);
    for (QAction *action : loose.actions())
        QVERIFY(!action->isEnabled());
    loose.actions().first()->trigger();
    QCOMPARE(page.stack()->count(), 0);
    QScopedPointer<QMenu> menu(loose.createContextMenu());
    QCOMPARE(menu->actions().size(), 4);
}

// ---------------------------------------------------------------------------
// Properties page

void TestPhotoDropItems::propertiesWidget_data()
{
    QTest::addColumn<QString>("button");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QString>("undoText");
    QTest::newRow("arrange") << "arrangeButton"
                             << "Arrange"
                             << "Arranging items";
    QTest::newRow("randomize") << "randomizeButton"
                               << "Randomize"
                               << "Randomizing";
}

void TestPhotoDropItems::propertiesWidget()
{
    QFETCH(QString, button);
    QFETCH(QString, label);
    QFETCH(QString, undoText);
    RandomGenerator::seed(7);
    Page page;
    QVERIFY(page.build(QSizeF(800, 600), writeImages(3)));
    // A pile in one spot, so that arranging has work to do.
    for (int row = 0; row < 3; ++row)
        page.place(row, QPointF(400 + 10 * row, 300), 150);
    page.stack()->clear();
    auto positions = [&page] {
        QList<QPointF> result;
        for (int row = 0; row < 3; ++row)
            result.append(page.photo(row)->transform()->position());
        return result;
    };
    const QList<QPointF> before = positions();

    PhotoDropThemePropertiesWidget widget(page.theme);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    auto *push = widget.findChild<QPushButton *>(button);
    QVERIFY(push);
    QCOMPARE(push->text(), label);
    QTest::mouseClick(push, Qt::LeftButton);

    QCOMPARE(page.stack()->count(), 1);
    QCOMPARE(page.stack()->text(0), undoText);
    QVERIFY(positions() != before);
    page.stack()->undo();
    QCOMPARE(positions(), before);
}

// ---------------------------------------------------------------------------
// A real page

void TestPhotoDropItems::previewPage()
{
    RandomGenerator::seed(20261206);
    QList<QUrl> samples;
    for (int k = 1; k <= 7; ++k)
        samples.append(QUrl::fromLocalFile(QStringLiteral(":/samples/sample%1.jpg").arg(k)));
    Page page;
    QVERIFY(page.build(QSizeF(1500, 1000), samples));
    QCOMPARE(page.layer->photoItems().size(), 7);
    page.theme->background()->setColor(QColor(196, 160, 112));
    page.theme->shadows()->setEnabled(true);
    page.theme->rotationRestrictions()->setVariation(15);
    page.theme->randomize();
    page.photo(1)->setFilterType(2); // sepia
    page.photo(3)->setMaskShape(2); // heart
    page.photo(6)->setFilterType(1); // grayscale
    page.photo(6)->setMaskShape(1); // circle
    QVERIFY(page.show());
    page.select({ 4 });
    QCoreApplication::processEvents();

    const QImage shot
        = page.view->viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    if (const QByteArray dir = qgetenv("TESSELO_PREVIEW_DIR"); !dir.isEmpty()) {
        QDir().mkpath(QString::fromLocal8Bit(dir));
        QVERIFY(shot.save(QString::fromLocal8Bit(dir) + QStringLiteral("/photodrop-page.png")));
    }

    // Shadows are on, one per photo, in device pixels.
    ShadowsWatcher *watcher = page.layer->shadowsWatcher();
    QVERIFY(watcher->appliedEnabled());
    QVERIFY(watcher->appliedBlurRadius() > 0);
    for (PhotoDropItem *item : page.layer->photoItems())
        QVERIFY(item->graphicsEffect() && item->graphicsEffect()->isEnabled());

    // The grey, circled photo lies on top: its centre is grey.
    const QPoint top = page.viewPoint(page.photo(6)->transform()->position());
    const QColor grey = shot.pixelColor(top);
    QVERIFY2(qAbs(grey.red() - grey.green()) <= 1 && qAbs(grey.green() - grey.blue()) <= 1,
        qPrintable(describe(grey)));
    // The photos are drawn: many colours on the page, not only the cork.
    QSet<QRgb> colours;
    for (int y = 0; y < shot.height(); y += 4) {
        for (int x = 0; x < shot.width(); x += 4)
            colours.insert(shot.pixel(x, y));
    }
    QVERIFY(colours.size() > 2000);
}

void TestPhotoDropItems::themeHandsOutLayerAndPages()
{
    Document document(true);
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(800, 600)));
    QVERIFY(document.imageList()->insertUrls(0, writeImages(3), false));
    document.setThemeId(BuiltInThemes::PhotoDropId);
    auto *theme = qobject_cast<PhotoDropTheme *>(document.theme());
    QVERIFY(theme);
    Scene scene(&document);
    SceneLayer *handedOut = scene.documentItem()->sceneLayer();
    if (!handedOut)
        QSKIP("the theme does not hand out its layer yet");

    auto *layer = qobject_cast<PhotoDropSceneItem *>(handedOut);
    QVERIFY(layer);
    QCOMPARE(layer->theme(), theme);
    QCOMPARE(layer->parentItem(), scene.documentItem()->innerItem());
    QCOMPARE(layer->photoItems().size(), 3);
    QCOMPARE(layer->actions().size(), 4);

    QWidget panel;
    const QList<QWidget *> pages = theme->createPropertyWidgets(&panel);
    QStringList classes;
    for (QWidget *page : pages)
        classes.append(QString::fromLatin1(page->metaObject()->className()));
    QCOMPARE(classes,
        QStringList({ "PhotoDropThemePropertiesWidget", "ShadowControlWidget", "FrameControlWidget",
            "BackgroundControlWidget" }));

    // Another theme takes the page down with the photos on it.
    QPointer<PhotoDropSceneItem> gone = layer;
    document.setThemeId(BuiltInThemes::MosaicId);
    QVERIFY(!gone);
    document.undoStack()->undo();
    QVERIFY(qobject_cast<PhotoDropSceneItem *>(scene.documentItem()->sceneLayer()));
}

QTEST_MAIN(TestPhotoDropItems)
#include "tst_photodropitems.moc"
