#include <QAbstractItemModelTester>
#include <QAction>
#include <QApplication>
#include <QGraphicsView>
#include <QItemSelection>
#include <QItemSelectionModel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPointer>
#include <QPolygonF>
#include <QRandomGenerator>
#include <QSemaphore>
#include <QSignalSpy>
#include <QTest>
#include <QThread>
#include <QThreadPool>

#include <cmath>

#include "model/backgroundproperties.h"
#include "model/frameproperties.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/itemtransformundocommand.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "scene/documentitem.h"
#include "scene/scene.h"
#include "themes/builtinthemes.h"
#include "themes/photodrop/passworkers.h"
#include "themes/photodrop/photodroparrangement.h"
#include "themes/photodrop/photodropitem.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodropsceneitem.h"
#include "themes/photodrop/photodroptheme.h"
#include "themes/photodrop/photodropthemearrangecommand.h"
#include "themes/themetestdata.h"
#include "undo/propertyundocommand.h"

using namespace ThemeTestData;

namespace {

// Each photo's x, y, zoom and relative rotation.
using Placement = QList<qreal>;

QList<Placement> placements(const PhotoDropTheme *theme)
{
    QList<Placement> result;
    for (const auto &item : theme->items()->items()) {
        const ItemTransform *t = item->transform();
        result.append({ t->position().x(), t->position().y(), t->zoom(), t->rotationRelative() });
    }
    return result;
}

// Runs its action whenever it is assigned, as a setter called by an
// assignment does.
struct Nesting
{
    std::function<void()> action;
    double value() const { return 0; }
    void assign(double) { action(); }
};

// A Photo Drop page at scale 1 in a scene (and, on request, a view) whose
// scene rectangle leaves the page's 9-pixel margin on every side, so that a
// page point p is the scene point p + (9, 9).
struct Page
{
    QScopedPointer<Document> document;
    PhotoDropTheme *theme = nullptr;
    QScopedPointer<Scene> scene; // members go in reverse: view, scene, then document
    QScopedPointer<QGraphicsView> view;
    PhotoDropSceneItem *layer = nullptr;

    bool build(const QSizeF &pageSize, const QList<QUrl> &urls)
    {
        document.reset(newDocument(pageSize, urls, BuiltInThemes::PhotoDropId));
        theme = document ? qobject_cast<PhotoDropTheme *>(document->theme()) : nullptr;
        if (!theme)
            return false;
        scene.reset(new Scene(document.data()));
        scene->setSceneRect(QRectF(QPointF(0, 0), pageSize + QSizeF(18, 18)));
        layer = qobject_cast<PhotoDropSceneItem *>(scene->documentItem()->sceneLayer());
        document->undoStack()->clear();
        return layer;
    }

    UndoStack *stack() const { return document->undoStack(); }
    QItemSelectionModel *selection() const { return scene->selectionModel(); }
    PhotoDropItemProperties *photo(int row) const { return theme->items()->at(row).data(); }

    void place(int row, const QPointF &position, qreal zoom)
    {
        ItemTransform *transform = photo(row)->transform();
        transform->setPosition(position);
        transform->setZoom(zoom);
        transform->setRotationRelative(0);
    }

    void mouse(QEvent::Type type, const QPointF &pagePoint, Qt::MouseButton button,
        Qt::MouseButtons buttons)
    {
        const QPoint pos = view->mapFromScene(layer->mapToScene(pagePoint));
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

    // The photos in the order their items are stacked, bottom first, and in
    // the order of their rows.
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

    // The selected rows, as the selection model has them.
    QList<int> selectedRows() const
    {
        QList<int> rows;
        for (const QModelIndex &index : selection()->selectedIndexes())
            rows.append(index.row());
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    void select(const QList<int> &rows)
    {
        selection()->clearSelection();
        for (int row : rows)
            selection()->select(document->imageList()->index(row), QItemSelectionModel::Select);
    }
};

double polygonArea(const QPolygonF &polygon)
{
    double sum = 0;
    for (int k = 0; k + 1 < polygon.size(); ++k)
        sum += polygon[k].x() * polygon[k + 1].y() - polygon[k + 1].x() * polygon[k].y();
    if (!polygon.isEmpty() && !polygon.isClosed())
        sum += polygon.last().x() * polygon.first().y() - polygon.first().x() * polygon.last().y();
    return std::abs(sum) / 2;
}

QPolygonF photoPolygon(const PhotoDropPlacement &placement, qreal rotation, const QRectF &rect)
{
    const QTransform matrix = QTransform()
                                  .translate(placement.position.x(), placement.position.y())
                                  .scale(placement.zoom, placement.zoom)
                                  .rotate(rotation);
    return matrix.map(QPolygonF(rect));
}

// The total overlap of all pairs, measured with Qt's own polygon clipping.
double totalOverlap(const std::vector<QPolygonF> &polygons)
{
    double total = 0;
    for (std::size_t i = 0; i < polygons.size(); ++i) {
        for (std::size_t j = i + 1; j < polygons.size(); ++j)
            total += polygonArea(polygons[i].intersected(polygons[j]));
    }
    return total;
}

std::vector<PhotoDropArrangement::Photo> throwPile(int count, const QSizeF &page, qreal variation)
{
    static const QSize proportions[]
        = { { 400, 300 }, { 300, 400 }, { 1920, 1080 }, { 500, 500 }, { 200, 300 }, { 900, 300 } };
    std::vector<PhotoDropArrangement::Photo> photos;
    for (int k = 0; k < count; ++k) {
        const QSizeF unit = PhotoDropArrangement::unitSize(proportions[k % 6]);
        PhotoDropArrangement::Photo photo;
        photo.placement = PhotoDropArrangement::randomPlacement(unit, page, k + 2, 0, variation);
        photo.rotation
            = PhotoDropArrangement::rotationDegrees(photo.placement.rotationRelative, 0, variation);
        photo.rect = PhotoDropArrangement::collisionRect(unit, 0.08);
        photos.push_back(photo);
    }
    return photos;
}

} // namespace

class TestPhotoDrop : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BuiltInThemes::registerAll(); }
    void cleanup()
    {
        QThreadPool::globalInstance()->setMaxThreadCount(QThread::idealThreadCount());
        RandomGenerator::reseed();
    }

    // The theme and its photos.

    void arrangeAndRandomizeUndo()
    {
        RandomGenerator::seed(21);
        Page page;
        QVERIFY(page.build(QSizeF(3000, 2000), {}));
        PhotoDropTheme *theme = page.theme;
        UndoStack *stack = page.stack();
        // Nothing to arrange or throw is no step.
        theme->rearrange();
        theme->randomize();
        QCOMPARE(stack->count(), 0);
        QVERIFY(page.document->imageList()->insertUrls(0, images(6), false));
        theme->rotationRestrictions()->setVariation(20);
        stack->clear();
        const QList<Placement> thrown = placements(theme);

        // Arranging moves the photos about the page and keeps their turns;
        // arranging again goes on from there, in the same step.
        theme->rearrange();
        const QList<Placement> once = placements(theme);
        theme->rearrange();
        const QList<Placement> twice = placements(theme);
        QVERIFY(once != thrown && twice != once);
        for (int row = 0; row < 6; ++row)
            QCOMPARE(twice[row][3], thrown[row][3]);
        QCOMPARE(stack->count(), 1);
        QSignalSpy moved(theme->items()->at(0)->transform(), &ItemTransform::positionChanged);
        stack->undo();
        QCOMPARE(moved.count(), 1);
        compareUndoRedo(
            stack, [theme] { return placements(theme); }, thrown, twice);

        // A randomize is a step of its own that moves every photo, and no
        // arrangement merges into it.
        theme->randomize();
        const QList<Placement> randomized = placements(theme);
        for (int row = 0; row < 6; ++row)
            QVERIFY(randomized[row] != twice[row]);
        theme->rearrange();
        stack->undo();
        QCOMPARE(placements(theme), randomized);
        stack->undo();
        QCOMPARE(placements(theme), twice);
    }

    void nestedArrangeCommandsMerge()
    {
        // Two arrangements pushed while one step first runs: the second is
        // merged before it runs, so what it adds must still take effect.
        Document document(true);
        UndoStack *stack = document.undoStack();
        ItemTransform first(&document);
        ItemTransform second(&document);
        Nesting nesting { [&] {
            auto *a = new PhotoDropThemeArrangeCommand;
            a->addCommand(new ItemTransformUndoCommand(&first, QPointF(1, 1), 1, 0));
            stack->push(a);
            auto *b = new PhotoDropThemeArrangeCommand;
            b->addCommand(new ItemTransformUndoCommand(&first, QPointF(2, 2), 1, 0));
            b->addCommand(new ItemTransformUndoCommand(&second, QPointF(3, 3), 1, 0));
            stack->push(b);
        } };
        using Command = PropertyUndoCommand<Nesting, double, &Nesting::assign, &Nesting::value>;
        stack->push(new Command(QStringLiteral("Nesting"), &nesting, 1));
        QCOMPARE(stack->count(), 1);
        QCOMPARE(std::pair(first.position(), second.position()),
            std::pair(QPointF(2, 2), QPointF(3, 3)));
        compareUndoRedo(
            stack, [&] { return std::pair(first.position(), second.position()); },
            std::pair(QPointF(0, 0), QPointF(0, 0)), std::pair(QPointF(2, 2), QPointF(3, 3)));
    }

    void photoUndoSteps()
    {
        Document document(true);
        UndoStack *stack = document.undoStack();
        PhotoDropItemProperties item(&document, nullptr);
        PhotoDropItemProperties other(&document, nullptr);

        // Choosing what the photo has records a step; the next change of the
        // photo merges with it, another photo's change is a step of its own.
        item.setFilterType(0);
        item.setFilterType(1);
        other.setFilterType(2);
        // Scripts and panels reach the settings by name; a filter and a mask
        // change are separate steps even on one photo.
        QVERIFY(item.setProperty("maskShape", 1));
        QVERIFY(item.setProperty("filterType", 99)); // kept as it is, for newer files
        QCOMPARE(stack->count(), 4);
        compareUndoRedo(
            stack,
            [&] {
                return QList<int> { item.filterType(), item.maskShape(), other.filterType() };
            },
            QList<int> { 0, 0, 0 }, QList<int> { 99, 1, 2 });
    }

    void photosAndTheirList()
    {
        Document document(true);
        auto *item = new PhotoDropItemProperties(&document, nullptr);
        QPointer<ItemTransform> transform = item->transform();

        // The photo shares its image and does not own it.
        auto image = QSharedPointer<ImageSource>::create();
        QWeakPointer<ImageSource> weak = image;
        item->setSource(image);
        image.reset();
        QVERIFY(!weak.isNull());
        item->setSource({});
        QVERIFY(weak.isNull());

        // The transform is the photo's own and goes with it.
        delete item;
        QVERIFY(transform.isNull());

        // The list holds the photos by row.
        PhotoDropItemPropertiesList list;
        QAbstractItemModelTester tester(
            &list, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QList<QSharedPointer<PhotoDropItemProperties>> items;
        for (int k = 0; k < 4; ++k)
            items.append(QSharedPointer<PhotoDropItemProperties>::create(nullptr, nullptr));
        QVERIFY(list.insertItem(0, items[0]) && list.insertItem(1, items[2]));
        QVERIFY(list.insertItem(1, items[1]));
        // Rows outside the list and null photos are refused.
        QVERIFY(!list.insertItem(7, items[3]) && !list.insertItem(-1, items[3]));
        QVERIFY(!list.insertItem(0, {}));
        QCOMPARE(list.items(), items.mid(0, 3));
        QCOMPARE(list.data(list.index(1), PhotoDropItemPropertiesList::ItemRole).value<QObject *>(),
            items[1].data());

        QVERIFY(list.removeItems(1, 1));
        QCOMPARE(list.items(), decltype(items)({ items[0], items[2] }));
        QVERIFY(!list.removeItems(1, 2) && !list.removeItems(0, 0));

        // Once nothing else holds the photos, clearing the list drops them.
        QWeakPointer<PhotoDropItemProperties> held = items[0];
        items.clear();
        list.clear();
        QVERIFY(held.isNull());
    }

    void recycling()
    {
        Page page;
        QVERIFY(page.build(QSizeF(3000, 2000), images(4)));
        PhotoDropTheme *theme = page.theme;
        Document *document = page.document.data();
        theme->rearrange();
        UndoStack *stack = document->undoStack();
        stack->clear();
        auto items = theme->items()->items();
        const QList<Placement> before = placements(theme);

        // Removed photos come back, where they were, with an undo.
        QVERIFY(document->imageList()->removeRows(1, 2));
        QCOMPARE(std::pair(theme->items()->count(), theme->recycledCount()), std::pair(2, 4));
        stack->undo();
        stack->redo();
        stack->undo();
        const auto photos
            = [theme] { return std::pair(theme->items()->items(), placements(theme)); };
        QCOMPARE(photos(), std::pair(items, before));

        // A page-size change sends every image out and back to its old photo.
        document->setPageSize(PageSize(PageSize::Pixels, QSizeF(2000, 3000)));
        QCOMPARE(photos(), std::pair(items, before));

        // Once no step holds a removed image, its photo is dropped with it.
        QWeakPointer<PhotoDropItemProperties> item = items.at(0);
        QWeakPointer<ImageSource> image = document->imageList()->at(0);
        items.clear();
        QVERIFY(document->imageList()->removeRows(0, 1));
        const int recycled = theme->recycledCount();
        QVERIFY(!image.isNull() && !item.isNull());
        stack->clear();
        QVERIFY(image.isNull() && item.isNull());
        QCOMPARE(theme->recycledCount(), recycled - 1);
    }

    void stacking_data()
    {
        QTest::addColumn<QString>("operation");
        QTest::addColumn<QList<int>>("selection");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<QString>("stepText");

        // Squares of side 100 in a row along x; they overlap when their
        // centres are less than 100 apart:
        //
        //     A 100   E 130   B 160   D 190            C 400
        //
        // A overlaps B, D, E; B overlaps A, D, E; D overlaps A, B, E; C none.
        QTest::newRow("forward: nearest above") << "bringForward" << QList<int> { 0 } << "BACDE"
                                                << "Bringing Forward";
        QTest::newRow("front: highest above") << "bringToFront" << QList<int> { 0 } << "BCDEA"
                                              << "Bringing to Front";
        QTest::newRow("front: nothing above overlaps")
            << "bringToFront" << QList<int> { 2 } << "ABCDE"
            << "";
        QTest::newRow("front: two, the upper travels along")
            << "bringToFront" << QList<int> { 0, 1 } << "CDEBA"
            << "Bringing to Front";
        QTest::newRow("backward: two, the lower travels along")
            << "sendBackward" << QList<int> { 3, 4 } << "AEDBC"
            << "Sending Backward";
    }

    void stacking()
    {
        QFETCH(QString, operation);
        QFETCH(QList<int>, selection);
        QFETCH(QString, expected);
        QFETCH(QString, stepText);
        Page page;
        QVERIFY(page.build(QSizeF(1000, 1000), images(5, { { 20, 20 } })));
        const qreal xs[] = { 100, 160, 400, 190, 130 };
        for (int row = 0; row < 5; ++row) {
            page.photo(row)->setObjectName(QString(QChar('A' + row)));
            page.place(row, QPointF(xs[row], 100), 100);
        }
        PhotoDropTheme *theme = page.theme;
        UndoStack *stack = page.stack();
        stack->clear();
        auto order = [theme] {
            QString names;
            for (const auto &item : theme->items()->items())
                names += item->objectName();
            return names;
        };

        QItemSelection selected;
        for (int row : selection)
            selected.select(theme->items()->index(row), theme->items()->index(row));
        QVERIFY(QMetaObject::invokeMethod(
            theme, operation.toLatin1().constData(), Q_ARG(QItemSelection, selected)));
        QCOMPARE(order(), expected);
        // The theme follows the image list, which is what was moved.
        for (int row = 0; row < 5; ++row)
            QCOMPARE(theme->items()->at(row)->source(), page.document->imageList()->at(row));
        QCOMPARE(stack->count(), stepText.isEmpty() ? 0 : 1);
        if (stepText.isEmpty())
            return;
        QCOMPARE(stack->text(0), stepText);
        stack->undo();
        QCOMPARE(order(), QStringLiteral("ABCDE"));
    }

    // The photos on the page.

    void drawing()
    {
        //  Page 400 x 300; a 2:1 photo of zoom 200 centred at (200, 150). With
        //  frame size 0.1: photo 180 x 90 at (110, 105), frame 5 wide, outer
        //  rectangle 190 x 100 at (105, 100).
        const QColor frame(0, 200, 0);
        const QColor background(40, 40, 40);
        Page page;
        QVERIFY(page.build(
            QSizeF(400, 300), { m_photos.write(QSize(200, 100), QColor(100, 100, 100)) }));
        page.theme->background()->setColor(background);
        page.theme->frames()->setColor(frame);
        page.theme->frames()->setSize(0.1);
        page.place(0, QPointF(200, 150), 200);
        page.photo(0)->setFilterType(4);
        page.photo(0)->setMaskShape(4);

        // The cool filter tints the middle; outside the diamond mask, the
        // photo's corner shows the frame.
        const QImage image = page.render();
        const QPair<QPoint, QColor> probes[]
            = { { QPoint(200, 150), QColor(85, 105, 125) }, { QPoint(107, 150), frame },
                  { QPoint(113, 107), frame }, { QPoint(60, 150), background } };
        for (const auto &[point, expected] : probes) {
            const QColor actual = image.pixelColor(point);
            QVERIFY2(near(actual, expected),
                qPrintable(QStringLiteral("%1 at %2").arg(actual.name()).arg(point.x())));
        }
    }

    void dragging_data()
    {
        QTest::addColumn<QList<QPointF>>("path");
        QTest::addColumn<QPointF>("expectedPosition");
        QTest::addColumn<qreal>("expectedZoom");
        QTest::addColumn<qreal>("expectedRotation");

        //  The outer rectangle is 192 x 100 around (200, 150); its middle 70 %
        //  moves, the band around it turns and scales about the centre. As y
        //  grows downward, the turn through (285, 172.8) to 30 degrees goes
        //  clockwise on screen.
        const QPointF centre(200, 150);
        const QPointF rim(288, 150);
        // Whole-pixel pointer positions do not keep the radius exactly, so a
        // turn may scale by a hair as well.
        QTest::newRow("move") << QList<QPointF> { centre, centre + QPointF(20, 12),
            centre + QPointF(40, 24) }
                              << QPointF(240, 174) << 200.0 << 0.0;
        QTest::newRow("turn") << QList<QPointF> { rim, QPointF(285, 172.8), QPointF(276.2, 194) }
                              << centre << 200.0 << 30.0;
        QTest::newRow("scale") << QList<QPointF> { rim, QPointF(310, 150), QPointF(332, 150) }
                               << centre << 300.0 << 0.0;
    }

    void dragging()
    {
        QFETCH(QList<QPointF>, path);
        QFETCH(QPointF, expectedPosition);
        QFETCH(qreal, expectedZoom);
        QFETCH(qreal, expectedRotation);

        Page page;
        QVERIFY(page.build(QSizeF(400, 300), { m_photos.write(QSize(200, 100), Qt::gray) }));
        page.view.reset(new QGraphicsView(page.scene.data()));
        page.view->setFrameShape(QFrame::NoFrame);
        page.view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        page.view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        page.view->resize(page.scene->sceneRect().size().toSize());
        page.view->show();
        QVERIFY(QTest::qWaitForWindowExposed(page.view.data()));
        page.place(0, QPointF(200, 150), 200);
        page.stack()->clear();
        ItemTransform *transform = page.photo(0)->transform();

        page.mouse(QEvent::MouseButtonPress, path.first(), Qt::LeftButton, Qt::LeftButton);
        for (int k = 1; k < path.size(); ++k)
            page.mouse(QEvent::MouseMove, path.at(k), Qt::NoButton, Qt::LeftButton);
        QVERIFY(page.scene->fastDrawCount() > 0); // drawing is cheap while dragging
        page.mouse(QEvent::MouseButtonRelease, path.last(), Qt::LeftButton, Qt::NoButton);
        QCOMPARE(page.scene->fastDrawCount(), 0);

        QVERIFY(QLineF(transform->position(), expectedPosition).length() < 1.5);
        QVERIFY(qAbs(transform->zoom() - expectedZoom) < expectedZoom * 0.02);
        QVERIFY(qAbs(transform->rotation() - expectedRotation) < 1.5);

        // The whole gesture is one undo step, which puts the photo back.
        QCOMPARE(page.stack()->count(), 1);
        page.stack()->undo();
        QCOMPARE(
            std::tuple(transform->position(), transform->zoom(), transform->rotationRelative()),
            std::tuple(QPointF(200, 150), 200.0, 0.0));
        // The press selected the photo, which is no undo step.
        QCOMPARE(page.selectedRows(), QList<int>({ 0 }));
    }

    void itemsFollowRows()
    {
        Page page;
        QVERIFY(page.build(QSizeF(800, 600), writeImages(4)));
        ImageList *images = page.document->imageList();

        // Photos inserted in the middle are thrown onto the page within the
        // insertion step and stacked at their rows.
        page.theme->rotationRestrictions()->setVariation(40);
        page.stack()->clear();
        QVERIFY(images->insertUrls(1, writeImages(2), false));
        QCOMPARE(page.stack()->count(), 1);
        for (int row : { 1, 2 }) {
            const QRectF onPage = PhotoDropTheme::outline(page.photo(row)).boundingRect();
            QVERIFY(QRectF(-1, -1, 802, 602).contains(onPage));
        }
        QCOMPARE(page.stackedPhotos(), page.rowPhotos());

        // Removing a row deletes its item at once; the photo stays for an undo.
        QPointer<PhotoDropItem> removed = page.layer->photoItem(2);
        QVERIFY(images->removeRows(2, 2));
        QVERIFY(!removed);
        page.stack()->undo();
        QCOMPARE(page.stackedPhotos(), page.rowPhotos());

        // A quarter turn of an image turns its photo's shape.
        QRectF turned(QPointF(), page.layer->photoItem(0)->photoRect().size().transposed());
        turned.moveCenter(QPointF(0, 0));
        page.photo(0)->source()->rotate90(1);
        QCOMPARE(page.layer->photoItem(0)->photoRect(), turned);

        // An item whose photo goes away goes too, without a page around it.
        Document document(false);
        FrameProperties frames;
        auto *properties = new PhotoDropItemProperties(&document, nullptr);
        QPointer<PhotoDropItem> item = new PhotoDropItem(properties, &frames);
        delete properties;
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QVERIFY(!item);
    }

    void contextMenu()
    {
        Page page;
        QVERIFY(page.build(QSizeF(800, 600), writeImages(3)));
        page.photo(1)->setFilterType(2);
        page.photo(1)->setMaskShape(-3); // unknown: shows as none
        page.stack()->clear();

        page.select({ 1 });
        QScopedPointer<QMenu> menu(page.layer->createContextMenu());
        auto *filterMenu = menu->findChild<QMenu *>(QStringLiteral("filterMenu"));
        auto *maskMenu = menu->findChild<QMenu *>(QStringLiteral("maskMenu"));
        QVERIFY(filterMenu && maskMenu);
        // The photo's filter is checked; its unknown mask shows as none.
        QVERIFY(filterMenu->actions().at(2)->isChecked());
        QVERIFY(maskMenu->actions().at(0)->isChecked());

        // A choice is one undo step on the selected photo alone.
        filterMenu->actions().at(3)->trigger();
        maskMenu->actions().at(5)->trigger();
        const auto choices = [&page] {
            return QList<int> { page.photo(1)->filterType(), page.photo(1)->maskShape(),
                page.photo(0)->filterType() };
        };
        QCOMPARE(page.stack()->count(), 2);
        compareUndoRedo(page.stack(), choices, QList<int> { 2, -3, 0 }, QList<int> { 3, 5, 0 });
    }

    void stackingActions()
    {
        Page page;
        QVERIFY(page.build(QSizeF(800, 600), writeImages(4)));
        //  Row 0 and row 1 overlap; row 2 lies apart in the corner; row 3 covers
        //  row 1 only.
        page.place(0, QPointF(150, 150), 150);
        page.place(1, QPointF(230, 150), 150);
        page.place(2, QPointF(700, 60), 40);
        page.place(3, QPointF(330, 190), 100);
        page.stack()->clear();
        const QList<QAction *> actions = page.layer->actions();
        const auto enabled = [&](const QList<int> &rows) {
            page.select(rows);
            QList<bool> states;
            for (QAction *action : actions)
                states.append(action->isEnabled());
            return states;
        };
        // The top photo has nothing to rise above; selected photos do not count.
        QCOMPARE(enabled({ 3 }), QList<bool>({ false, false, true, true }));
        QCOMPARE(enabled({ 0, 1, 3 }), QList<bool>(4, false));
        QCOMPARE(enabled({ 1 }), QList<bool>(4, true));
        const QList<PhotoDropItemProperties *> before = page.rowPhotos();
        for (QAction *action : actions) {
            // The photo moves with its selection, in one step, and comes back.
            action->trigger();
            QVERIFY(page.rowPhotos() != before);
            QCOMPARE(page.stackedPhotos(), page.rowPhotos());
            QCOMPARE(page.photo(page.selectedRows().first()), before.at(1));
            page.stack()->undo();
            QCOMPARE(page.stackedPhotos(), before);
        }

        // Moving the photo apart refreshes the actions.
        page.place(1, QPointF(80, 560), 10);
        for (QAction *action : actions)
            QVERIFY(!action->isEnabled());
    }

    void themeChanges()
    {
        Page page;
        QVERIFY(page.build(QSizeF(800, 600), writeImages(3)));
        // Another theme takes the page down with the photos on it.
        QPointer<PhotoDropSceneItem> gone = page.layer;
        page.document->setThemeId(BuiltInThemes::MosaicId);
        QVERIFY(!gone);
        // Coming back builds the photos within the theme change, not in steps
        // of their own, and the appearance objects record in the document.
        page.document->setThemeId(BuiltInThemes::PhotoDropId);
        auto *theme = qobject_cast<PhotoDropTheme *>(page.document->theme());
        QVERIFY(theme);
        QCOMPARE(theme->items()->count(), 3);
        theme->shadows()->setBlurRadius(theme->shadows()->blurRadius() + 5);
        QCOMPARE(page.stack()->count(), 3);
        page.stack()->setIndex(0);
        QVERIFY(qobject_cast<PhotoDropSceneItem *>(page.scene->documentItem()->sceneLayer()));
    }

    // The arrangement on plain numbers.

    void combinations()
    {
        auto pairsOf = [](const auto &container) {
            QList<QPoint> seen;
            for (std::ptrdiff_t index = 0; index < container.size(); ++index)
                seen.append(QPoint(container[index].first, container[index].second));
            return seen;
        };
        QVERIFY(pairsOf(CombinationsContainer(1)).isEmpty());
        QCOMPARE(pairsOf(CombinationsContainer(4)),
            QList<QPoint>({ { 0, 1 }, { 0, 2 }, { 1, 2 }, { 0, 3 }, { 1, 3 }, { 2, 3 } }));
        // Every photo of one group against every photo of another, row by row.
        QCOMPARE(pairsOf(OrederedCombiantioinsConatiner(2, 3)),
            QList<QPoint>({ { 0, 0 }, { 0, 1 }, { 0, 2 }, { 1, 0 }, { 1, 1 }, { 1, 2 } }));

        // The pair solved for an index agrees with counting the pairs, far into
        // the sequence where the square root rounds.
        const int count = 3000;
        std::ptrdiff_t index = 0;
        for (int second = 1; second < count; ++second) {
            for (int first = 0; first < second; ++first, ++index) {
                const IndexPair pair = CombinationsContainer::pairAt(index);
                if (pair.first != first || pair.second != second)
                    QFAIL(qPrintable(QStringLiteral("pair %1 is wrong").arg(index)));
            }
        }
        QCOMPARE(CombinationsContainer(count).size(), index);
    }

    void randomPlacement()
    {
        // A wide photo among 8 on a portrait page, turned up to a quarter turn
        // either way of 30 degrees.
        const QSizeF page(2000, 3000);
        const QSizeF unit = PhotoDropArrangement::unitSize(QSize(900, 300));
        const QRectF local(QPointF(-unit.width() / 2, -unit.height() / 2), unit);
        const QSizeF fitted = unit.scaled(page, Qt::KeepAspectRatio);
        RandomGenerator::seed(7);
        for (int draw = 0; draw < 300; ++draw) {
            const PhotoDropPlacement p
                = PhotoDropArrangement::randomPlacement(unit, page, 8, 30, 90);
            QVERIFY(p.rotationRelative >= -1.0 && p.rotationRelative < 1.0);
            // The turned photo's box gets the n-th part of the area it could fill.
            const qreal degrees = PhotoDropArrangement::rotationDegrees(p.rotationRelative, 30, 90);
            const QRectF box = QTransform().scale(p.zoom, p.zoom).rotate(degrees).mapRect(local);
            const double share = fitted.width() * fitted.height() / 8;
            QVERIFY(qAbs(box.width() * box.height() - share) < 1e-6 * share);
            // The box stays on the page when it fits.
            if (box.width() <= page.width() && box.height() <= page.height())
                QVERIFY(QRectF(QPointF(0, 0), page)
                            .adjusted(-1e-9, -1e-9, 1e-9, 1e-9)
                            .contains(box.translated(p.position)));
        }
    }

    void intersectionCenter()
    {
        // Against Qt's general polygon clipping: the centre lies inside the
        // overlap Qt finds, for rotated rectangles in every relation.
        QRandomGenerator random(1234);
        const auto thrown = [&random](const QRectF &rect) {
            return QTransform()
                .translate(random.bounded(100.0), random.bounded(100.0))
                .scale(30 + random.bounded(30.0), 30 + random.bounded(30.0))
                .rotate(random.bounded(360.0))
                .map(QPolygonF(rect));
        };
        int overlapping = 0;
        for (int k = 0; k < 500; ++k) {
            const QPolygonF a = thrown(QRectF(-0.5, -0.4, 1.0, 0.8));
            const QPolygonF b = thrown(QRectF(-0.3, -0.5, 0.6, 1.0));
            const QPolygonF qtOverlap = a.intersected(b);
            QPointF center;
            const bool found = PhotoDropArrangement::intersectionCenter(a, b, &center);
            const double area = polygonArea(qtOverlap);
            if (area > 1.0) {
                QVERIFY(found);
                QVERIFY(qtOverlap.containsPoint(center, Qt::OddEvenFill));
                ++overlapping;
            } else if (area == 0.0) {
                QVERIFY(!found);
            }
        }
        QVERIFY(overlapping > 50);

        // Touching or degenerate: no overlap either way round.
        const QRectF square(0, 0, 1, 1);
        for (const QRectF &other : { QRectF(1, 1, 1, 1), QRectF(0.5, 0.5, 0, 0) }) {
            QPointF center;
            QVERIFY(!PhotoDropArrangement::intersectionCenter(square, other, &center));
            QVERIFY(!PhotoDropArrangement::intersectionCenter(other, square, &center));
        }
    }

    void onePhoto()
    {
        // No pairs and no contact: thrown half off the page's left edge, it
        // grows until a corner leaves the page, then the bounds hold it and
        // push it back inside.
        const PhotoDropArrangement::Photo photo { { QPointF(0, 1000), 100, 0 }, 10,
            PhotoDropArrangement::collisionRect(QSizeF(1, 0.75), 0.08) };
        PhotoDropArrangement arrangement(QSizeF(3000, 2000), { photo });
        arrangement.run(500);
        const QRectF box = photoPolygon(arrangement.placement(0), 10, photo.rect).boundingRect();
        // It grew to about the page's height and stays on the page, up to the
        // same 5 % the relaxation of many photos is allowed.
        QVERIFY(box.height() > 1800);
        QVERIFY(QRectF(-100, -100, 3200, 2200).contains(box));
    }

    void overlapSeparation_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QSizeF>("page");
        QTest::addColumn<qreal>("variation");
        QTest::addColumn<qreal>("squeeze");
        // Thrown as the theme throws new photos.
        QTest::newRow("20 on portrait") << 20 << QSizeF(2000, 3000) << 30.0 << 1.0;
        // Heaped in the middle: the photos first shrink out of each other's way.
        QTest::newRow("20 heaped") << 20 << QSizeF(3000, 2000) << 20.0 << 0.3;
    }

    void overlapSeparation()
    {
        QFETCH(int, count);
        QFETCH(QSizeF, page);
        QFETCH(qreal, variation);
        QFETCH(qreal, squeeze);
        RandomGenerator::seed(3);
        std::vector<PhotoDropArrangement::Photo> photos = throwPile(count, page, variation);
        const QPointF middle(page.width() / 2, page.height() / 2);
        for (auto &photo : photos)
            photo.placement.position = middle + (photo.placement.position - middle) * squeeze;
        PhotoDropArrangement arrangement(page, photos);
        arrangement.run(500);
        std::vector<QPolygonF> before;
        std::vector<QPolygonF> after;
        double photoArea = 0;
        for (int k = 0; k < count; ++k) {
            const PhotoDropArrangement::Photo &photo = photos[k];
            before.push_back(photoPolygon(photo.placement, photo.rotation, photo.rect));
            after.push_back(photoPolygon(arrangement.placement(k), photo.rotation, photo.rect));
            photoArea += polygonArea(after.back());
            // The rotations are the photos' own; the run only moves and scales.
            QCOMPARE(arrangement.placement(k).rotationRelative, photo.placement.rotationRelative);
        }
        const double overlapBefore = totalOverlap(before);
        const double overlapAfter = totalOverlap(after);
        QVERIFY(overlapBefore > 0);
        QVERIFY2(overlapAfter < 0.2 * overlapBefore,
            qPrintable(QStringLiteral("%1 -> %2").arg(overlapBefore).arg(overlapAfter)));
        // Photos thrown over the page use it.
        QVERIFY(squeeze < 1 || photoArea >= 0.3 * page.width() * page.height());
        // And they stay on it, up to the last small steps of the relaxation.
        const qreal tolerance = 0.05 * qMin(page.width(), page.height());
        const QRectF allowed
            = QRectF(QPointF(0, 0), page).adjusted(-tolerance, -tolerance, tolerance, tolerance);
        for (const QPolygonF &polygon : after)
            QVERIFY(allowed.contains(polygon.boundingRect()));
    }

    void sameResultOnAnyPool_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("threads");
        QTest::newRow("30 photos, three threads") << 30 << 3;
        QTest::newRow("a large pile") << PhotoDropArrangement::parallelPhotoCount << 2;
    }

    void sameResultOnAnyPool()
    {
        // The pushes are summed in a fixed order, so neither the thread schedule
        // nor running inline shows in the result: a seeded layout is reproduced
        // exactly.
        QFETCH(int, count);
        QFETCH(int, threads);
        QThreadPool::globalInstance()->setMaxThreadCount(threads);
        RandomGenerator::seed(11);
        const QSizeF page(3000, 2000);
        const std::vector<PhotoDropArrangement::Photo> photos = throwPile(count, page, 20);
        const auto run = [&](PhotoDropArrangement::Threading threading) {
            PhotoDropArrangement arrangement(page, photos);
            arrangement.setThreading(threading);
            arrangement.run(count > 100 ? 40 : 500);
            std::vector<double> result;
            for (int k = 0; k < count; ++k) {
                const PhotoDropPlacement p = arrangement.placement(k);
                result.insert(result.end(), { p.position.x(), p.position.y(), p.zoom });
            }
            return result;
        };
        // Compared bit for bit: QCOMPARE would forgive small differences.
        const std::vector<double> pooled = run(PhotoDropArrangement::Threading::Pool);
        QVERIFY(run(PhotoDropArrangement::Threading::Inline) == pooled);
        QVERIFY(run(PhotoDropArrangement::Threading::Automatic) == pooled);
    }

    void workersCoverEveryIndexOnce()
    {
        QThreadPool::globalInstance()->setMaxThreadCount(4);
        PassWorkers workers(4);
        QVERIFY(workers.helperCount() > 0);
        for (std::ptrdiff_t size : { 0, 1, 2, 7, 1000 }) {
            std::vector<std::atomic<int>> visits(static_cast<std::size_t>(size));
            for (int step = 0; step < 50; ++step) {
                workers.forEachRange(size, [&](std::ptrdiff_t begin, std::ptrdiff_t end) {
                    for (std::ptrdiff_t k = begin; k < end; ++k)
                        ++visits[std::size_t(k)];
                });
            }
            for (const std::atomic<int> &count : visits)
                QCOMPARE(count.load(), 50);
        }
    }

    void busyPoolRunsInline()
    {
        // With every pool thread taken, the calling thread does each step alone
        // instead of waiting for helpers that cannot come.
        QThreadPool *pool = QThreadPool::globalInstance();
        pool->setMaxThreadCount(2);
        QSemaphore release;
        for (int k = 0; k < 2; ++k)
            pool->start([&release] { release.acquire(); });
        PassWorkers workers(2);
        QCOMPARE(workers.helperCount(), 0);
        int calls = 0;
        workers.forEachRange(10, [&](std::ptrdiff_t begin, std::ptrdiff_t end) {
            ++calls;
            QCOMPARE(end - begin, std::ptrdiff_t(10));
        });
        QCOMPARE(calls, 1);
        release.release(2);
        pool->waitForDone();
    }

    void degeneratePhotos()
    {
        PhotoDropArrangement empty(QSizeF(100, 100), {});
        empty.run(500);
        QCOMPARE(empty.count(), 0);

        // A photo whose image has no size has no area: nothing divides by it,
        // and its zero short side does not freeze the others.
        const PhotoDropArrangement::Photo broken { { QPointF(500, 500), 200, 0 }, 0,
            PhotoDropArrangement::collisionRect(PhotoDropArrangement::unitSize(QSize()), 0.08) };
        const QRectF square(-0.5, -0.5, 1, 1);
        PhotoDropArrangement arrangement(QSizeF(1000, 1000),
            { broken, { { QPointF(480, 500), 300, 0 }, 0, square },
                { { QPointF(520, 500), 300, 0 }, 0, square } });
        arrangement.run(500);
        for (int k = 0; k < 3; ++k) {
            const PhotoDropPlacement placement = arrangement.placement(k);
            QVERIFY(
                std::isfinite(placement.position.x() + placement.position.y() + placement.zoom));
        }
        // The two real photos slid apart.
        QVERIFY(
            arrangement.placement(2).position.x() - arrangement.placement(1).position.x() > 200);

        // A push at the photo's own centre has no direction: no force, and no
        // division by zero, but it still counts as pressure.
        TemporyItemData item;
        item.transform.position = QPointF(5, 5);
        item.transform.zoom = 1;
        item.rect = QRectF(-0.5, -0.5, 1, 1);
        item.start();
        PhotoDropArrangement::push(item, QPointF(5, 5), 2.0, 0);
        item.collectPushes();
        QCOMPARE(
            std::tuple(item.force[0], item.force[1], item.pressure), std::tuple(0.0f, 0.0f, 2.0));
    }

private:
    // Photos of mixed proportions, or of `sizes` in turn.
    QList<QUrl> images(int count,
        const QList<QSize> &sizes = { { 40, 30 }, { 30, 40 }, { 64, 36 }, { 50, 50 }, { 90, 30 } })
    {
        return m_photos.cycle(count, sizes);
    }
    QList<QUrl> writeImages(int count) { return images(count, { { 200, 100 } }); }

    PhotoFiles m_photos;
};

QTEST_MAIN(TestPhotoDrop)
#include "tst_photodrop.moc"
