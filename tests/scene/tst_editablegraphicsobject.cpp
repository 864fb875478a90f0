#include <QtTest>

#include <QApplication>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>

#include "model/document.h"
#include "scene/editablegraphicsobject.h"
#include "scene/editcursors.h"
#include "scene/scene.h"

namespace {

QString point(const QPointF &p)
{
    return QStringLiteral("(%1,%2)").arg(p.x()).arg(p.y());
}

// Reports every hook the framework calls, in order.
class ProbeItem : public EditableGraphicsObject
{
public:
    ProbeItem() { setFlags(ItemIsSelectable | ItemIsMovable); }

    QRectF boundingRect() const override { return QRectF(-50, -50, 100, 100); }
    void paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) override { }

    int part = NoPart;
    int pressTurnsInto = -1;
    bool dragAccepted = false;
    QPointF forcedLastPos;
    bool forceLastPos = false;
    QStringList log;
    QList<int> fastDrawDuringDrag;

protected:
    int hitTest(const QPointF &pos) override
    {
        return boundingRect().contains(pos) ? part : int(NoPart);
    }
    void partPressed(int &p) override
    {
        log << QStringLiteral("pressed %1").arg(p);
        if (pressTurnsInto >= 0)
            p = pressTurnsInto;
    }
    void partDragged(int &p) override
    {
        log << QStringLiteral("dragged %1 %2->%3")
                   .arg(p)
                   .arg(point(lastPos()), point(currentPos()));
        if (auto *s = qobject_cast<Scene *>(scene()))
            fastDrawDuringDrag << s->fastDrawCount();
        if (forceLastPos)
            setLastPos(forcedLastPos);
    }
    void partReleased(int &p) override { log << QStringLiteral("released %1").arg(p); }
    void clickReleased(QGraphicsSceneMouseEvent *) override { log << QStringLiteral("click"); }
    bool startDrag(QWidget *) override
    {
        log << QStringLiteral("startDrag");
        return dragAccepted;
    }
    QPointF transformCenter() const override { return QPointF(0, 0); }
};

struct MouseDriver
{
    QGraphicsScene *scene;
    QPointF pressScenePos;
    QPointF lastScenePos;

    void send(QEvent::Type type, const QPointF &scenePos, Qt::MouseButton button,
        Qt::MouseButtons buttons)
    {
        QGraphicsSceneMouseEvent event(type);
        event.setScenePos(scenePos);
        event.setScreenPos(scenePos.toPoint());
        event.setLastScenePos(lastScenePos);
        event.setLastScreenPos(lastScenePos.toPoint());
        event.setButton(button);
        event.setButtons(buttons);
        event.setButtonDownScenePos(Qt::LeftButton, pressScenePos);
        event.setButtonDownScreenPos(Qt::LeftButton, pressScenePos.toPoint());
        event.setAccepted(false);
        QCoreApplication::sendEvent(scene, &event);
        lastScenePos = scenePos;
    }
    void press(const QPointF &pos, Qt::MouseButton button = Qt::LeftButton)
    {
        pressScenePos = lastScenePos = pos;
        send(QEvent::GraphicsSceneMousePress, pos, button, button);
    }
    void move(const QPointF &pos)
    {
        send(QEvent::GraphicsSceneMouseMove, pos, Qt::NoButton, Qt::LeftButton);
    }
    void release(const QPointF &pos, Qt::MouseButton button = Qt::LeftButton)
    {
        send(QEvent::GraphicsSceneMouseRelease, pos, button, Qt::NoButton);
    }
};

void hover(QGraphicsScene &scene, const QPointF &pos)
{
    QGraphicsSceneHoverEvent event(QEvent::GraphicsSceneHoverMove);
    event.setScenePos(pos);
    event.setScreenPos(pos.toPoint());
    QCoreApplication::sendEvent(&scene, &event);
}

} // namespace

class TestEditableGraphicsObject : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void gestures_data();
    void gestures();
    void fastDrawHold();
    void deletedWhileDraggingGivesTheHoldBack();
    void subclassChoosesTheLastPosition();
    void rightButtonNeitherSelectsNorDrags();
    void cursors_data();
    void cursors();
    void cursorShapes_data();
    void cursorShapes();
};

void TestEditableGraphicsObject::initTestCase()
{
    QApplication::setStartDragDistance(10);
}

void TestEditableGraphicsObject::gestures_data()
{
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("pressTurnsInto");
    QTest::addColumn<bool>("selectedBefore");
    QTest::addColumn<bool>("holdPastDragTime");
    QTest::addColumn<bool>("dragAccepted");
    QTest::addColumn<QList<QPointF>>("moves");
    QTest::addColumn<QStringList>("expectedLog");
    QTest::addColumn<QPointF>("expectedShift");

    const QList<QPointF> none;
    QTest::newRow("click selects an unselected item")
        << 0 << -1 << false << false << false << none << QStringList { "pressed 0", "released 256" }
        << QPointF();
    QTest::newRow("click on a selected item") << 0 << -1 << true << false << false << none
                                              << QStringList { "pressed 0", "click" } << QPointF();
    QTest::newRow("click on a move handle") << 3 << -1 << true << false << false << none
                                            << QStringList { "pressed 3", "click" } << QPointF();
    QTest::newRow("drag the move handle")
        << 3 << -1 << true << false << false << QList<QPointF> { { 5, 0 }, { 10, 5 } }
        << QStringList { "pressed 3", "dragged 3 (0,0)->(5,0)", "dragged 3 (5,0)->(10,5)",
               "released 3" }
        << QPointF();
    QTest::newRow("drag the rotate handle")
        << 8 << -1 << false << false << false << QList<QPointF> { { 0, 20 } }
        << QStringList { "pressed 8", "dragged 8 (0,0)->(0,20)", "released 8" } << QPointF();
    QTest::newRow("drag the second handle set")
        << 192 << -1 << true << false << false << QList<QPointF> { { -3, -4 } }
        << QStringList { "pressed 192", "dragged 192 (0,0)->(-3,-4)", "released 192" } << QPointF();
    QTest::newRow("press hook changes the part")
        << 3 << 12 << true << false << false << QList<QPointF> { { 2, 2 } }
        << QStringList { "pressed 3", "dragged 12 (0,0)->(2,2)", "released 12" } << QPointF();
    QTest::newRow("small quick move moves the selection")
        << 0 << -1 << true << false << false << QList<QPointF> { { 3, 2 } }
        << QStringList { "pressed 0", "click" } << QPointF(3, 2);
    QTest::newRow("far move starts a drag")
        << 0 << -1 << true << false << true << QList<QPointF> { { 15, 0 } }
        << QStringList { "pressed 0", "startDrag", "click" } << QPointF();
    QTest::newRow("hold then a small move starts a drag")
        << 0 << -1 << true << true << true << QList<QPointF> { { 1, 0 } }
        << QStringList { "pressed 0", "startDrag", "click" } << QPointF();
    QTest::newRow("refused drag moves the selection")
        << 0 << -1 << true << true << false << QList<QPointF> { { 1, 0 }, { 4, 0 } }
        << QStringList { "pressed 0", "startDrag", "startDrag", "click" } << QPointF(4, 0);
    QTest::newRow("selecting press then refused drag is a part drag")
        << 0 << -1 << false << false << false << QList<QPointF> { { 20, 0 } }
        << QStringList { "pressed 0", "startDrag", "dragged 256 (0,0)->(20,0)", "released 256" }
        << QPointF();
    QTest::newRow("a handle never starts a drag")
        << 3 << -1 << true << true << true << QList<QPointF> { { 30, 0 } }
        << QStringList { "pressed 3", "dragged 3 (0,0)->(30,0)", "released 3" } << QPointF();
}

void TestEditableGraphicsObject::gestures()
{
    QFETCH(int, part);
    QFETCH(int, pressTurnsInto);
    QFETCH(bool, selectedBefore);
    QFETCH(bool, holdPastDragTime);
    QFETCH(bool, dragAccepted);
    QFETCH(QList<QPointF>, moves);
    QFETCH(QStringList, expectedLog);
    QFETCH(QPointF, expectedShift);

    QApplication::setStartDragTime(holdPastDragTime ? 30 : 100000);
    Document document(false);
    Scene scene(&document);
    scene.setSceneRect(0, 0, 400, 300);
    auto *item = new ProbeItem;
    item->part = part;
    item->pressTurnsInto = pressTurnsInto;
    item->dragAccepted = dragAccepted;
    item->setPos(100, 100);
    scene.addItem(item);
    item->setSelected(selectedBefore);

    MouseDriver mouse { &scene, {}, {} };
    const QPointF start(100, 100);
    mouse.press(start);
    QVERIFY(item->isSelected());
    if (holdPastDragTime)
        QTest::qWait(60);
    for (const QPointF &step : moves)
        mouse.move(start + step);
    mouse.release(start + (moves.isEmpty() ? QPointF() : moves.last()));

    QCOMPARE(item->log, expectedLog);
    QCOMPARE(item->pos(), QPointF(100, 100) + expectedShift);
    QVERIFY(item->isSelected());
    QCOMPARE(item->activePart(), 0);
    QCOMPARE(scene.fastDrawCount(), 0);
    QVERIFY(!item->holdsFastDraw());
}

void TestEditableGraphicsObject::fastDrawHold()
{
    QApplication::setStartDragTime(100000);
    Document document(false);
    Scene scene(&document);
    auto *item = new ProbeItem;
    item->part = EditableGraphicsObject::MovePart;
    item->setPos(100, 100);
    scene.addItem(item);
    QSignalSpy spy(&scene, &Scene::fastDrawChanged);

    MouseDriver mouse { &scene, {}, {} };
    mouse.press(QPointF(100, 100));
    QCOMPARE(scene.fastDrawCount(), 0);
    mouse.move(QPointF(104, 100));
    mouse.move(QPointF(108, 100));
    mouse.move(QPointF(112, 100));
    // One hold however long the drag.
    QCOMPARE(item->fastDrawDuringDrag, (QList<int> { 1, 1, 1 }));
    QCOMPARE(scene.fastDrawCount(), 1);
    QCOMPARE(scene.drawFlags() & 2, 2);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).toBool(), true);
    mouse.release(QPointF(112, 100));
    QCOMPARE(scene.fastDrawCount(), 0);
    QCOMPARE(scene.drawFlags() & 2, 0);
    QCOMPARE(spy.count(), 2);
    QCOMPARE(spy.at(1).at(0).toBool(), false);
}

void TestEditableGraphicsObject::deletedWhileDraggingGivesTheHoldBack()
{
    QApplication::setStartDragTime(100000);
    Document document(false);
    Scene scene(&document);
    auto *item = new ProbeItem;
    item->part = EditableGraphicsObject::RotatePart;
    scene.addItem(item);
    QSignalSpy spy(&scene, &Scene::fastDrawChanged);
    MouseDriver mouse { &scene, {}, {} };
    mouse.press(QPointF(0, 0));
    mouse.move(QPointF(0, 20));
    QCOMPARE(scene.fastDrawCount(), 1);
    delete item;
    QCOMPARE(scene.fastDrawCount(), 0);
    QCOMPARE(spy.count(), 2);
    // The scene dies with the hold of a second item taken.
    auto *other = new ProbeItem;
    other->part = EditableGraphicsObject::MovePart;
    scene.addItem(other);
    mouse.press(QPointF(0, 0));
    mouse.move(QPointF(20, 0));
    QVERIFY(other->holdsFastDraw());
}

void TestEditableGraphicsObject::subclassChoosesTheLastPosition()
{
    QApplication::setStartDragTime(100000);
    Document document(false);
    Scene scene(&document);
    auto *item = new ProbeItem;
    item->part = EditableGraphicsObject::MovePart;
    item->forceLastPos = true;
    item->forcedLastPos = QPointF(-7, -7);
    scene.addItem(item);
    MouseDriver mouse { &scene, {}, {} };
    mouse.press(QPointF(0, 0));
    mouse.move(QPointF(5, 0));
    mouse.move(QPointF(10, 0));
    mouse.release(QPointF(10, 0));
    QCOMPARE(item->log,
        (QStringList {
            "pressed 3", "dragged 3 (0,0)->(5,0)", "dragged 3 (-7,-7)->(10,0)", "released 3" }));
}

void TestEditableGraphicsObject::rightButtonNeitherSelectsNorDrags()
{
    QApplication::setStartDragTime(100000);
    Document document(false);
    Scene scene(&document);
    scene.setSceneRect(0, 0, 200, 200);
    auto *item = new ProbeItem;
    item->part = EditableGraphicsObject::MovePart;
    item->setPos(100, 100);
    scene.addItem(item);

    QGraphicsView view(&scene);
    view.setFrameShape(QFrame::NoFrame);
    view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view.resize(200, 200);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    QCOMPARE(view.mapFromScene(QPointF(100, 100)), QPoint(100, 100));

    QTest::mousePress(view.viewport(), Qt::RightButton, {}, QPoint(100, 100));
    QTest::mouseMove(view.viewport(), QPoint(130, 100));
    QTest::mouseRelease(view.viewport(), Qt::RightButton, {}, QPoint(130, 100));
    QVERIFY(!item->isSelected());
    QVERIFY(item->log.isEmpty());
    QCOMPARE(item->pos(), QPointF(100, 100));
    QCOMPARE(scene.fastDrawCount(), 0);

    // The left button does reach the item through the same view.
    QTest::mouseClick(view.viewport(), Qt::LeftButton, {}, QPoint(100, 100));
    QVERIFY(item->isSelected());
    QCOMPARE(item->log, (QStringList { "pressed 3", "click" }));
}

void TestEditableGraphicsObject::cursors_data()
{
    QTest::addColumn<int>("part");
    QTest::addColumn<int>("shape");
    QTest::addColumn<QSize>("pixmapSize");
    QTest::newRow("none") << 0 << int(Qt::ArrowCursor) << QSize();
    QTest::newRow("move") << 3 << int(Qt::BitmapCursor) << QSize(29, 29);
    QTest::newRow("second move") << 48 << int(Qt::BitmapCursor) << QSize(29, 29);
    QTest::newRow("rotate") << 8 << int(Qt::BitmapCursor) << QSize();
    QTest::newRow("second rotate and scale") << 192 << int(Qt::BitmapCursor) << QSize();
    QTest::newRow("unknown part") << 5 << int(Qt::ArrowCursor) << QSize();
}

void TestEditableGraphicsObject::cursors()
{
    QFETCH(int, part);
    QFETCH(int, shape);
    QFETCH(QSize, pixmapSize);

    Document document(false);
    Scene scene(&document);
    auto *item = new ProbeItem;
    item->part = part;
    scene.addItem(item);
    hover(scene, QPointF(20, 0));
    QCOMPARE(item->hoverPart(), part);
    QCOMPARE(int(item->cursor().shape()), shape);
    if (pixmapSize.isValid())
        QCOMPARE(item->cursor().pixmap().size(), pixmapSize);
    if (shape == Qt::BitmapCursor) {
        const QPixmap pixmap = item->cursor().pixmap();
        QCOMPARE(item->cursor().hotSpot(), QPoint(pixmap.width() / 2, pixmap.height() / 2));
        // White inside, dark outline, transparent around.
        const QImage image = pixmap.toImage();
        QCOMPARE(image.pixelColor(0, 0).alpha(), 0);
        bool white = false;
        bool black = false;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                const QColor c = image.pixelColor(x, y);
                white |= c == QColor(Qt::white);
                black |= c.alpha() > 200 && c.value() < 80;
            }
        }
        QVERIFY(white);
        QVERIFY(black);
    }
    // Leaving the item restores the arrow.
    hover(scene, QPointF(300, 300));
    QCOMPARE(item->hoverPart(), 0);
    QCOMPARE(item->cursor().shape(), Qt::ArrowCursor);
}

void TestEditableGraphicsObject::cursorShapes_data()
{
    QTest::addColumn<QLineF>("line");
    QTest::addColumn<qreal>("radius");
    QTest::newRow("short line to the right") << QLineF(0, 0, 5, 0) << 16.0;
    QTest::newRow("line upwards") << QLineF(10, 10, 10, -14) << 24.0;
    QTest::newRow("long diagonal") << QLineF(0, 0, 100, 100) << 32.0;
}

void TestEditableGraphicsObject::cursorShapes()
{
    QFETCH(QLineF, line);
    QFETCH(qreal, radius);

    const QPainterPath arrow = EditCursors::doubleArrow();
    QCOMPARE(arrow.boundingRect(), QRectF(-13.5, -5.5, 27, 11));
    QCOMPARE(EditCursors::moveShape().boundingRect(), QRectF(-13.5, -13.5, 27, 27));
    QVERIFY(EditCursors::moveShape().contains(QPointF(0, 12)));
    QVERIFY(EditCursors::moveShape().contains(QPointF(12, 0)));
    QVERIFY(!EditCursors::moveShape().contains(QPointF(10, 10)));

    // The curved arrow crosses the line at the origin and runs across it,
    // its tips at the angles a +- 13.8 / r on the circle of radius r.
    const QPainterPath rotate = EditCursors::rotateShape(line);
    const qreal a = line.angle();
    const QPointF centre = QLineF::fromPolar(radius, a).p2();
    auto onCircle
        = [&](qreal degrees, qreal r) { return QLineF::fromPolar(r, a + degrees).p2() - centre; };
    const qreal gamma = qRadiansToDegrees(4.6 * 3 / radius);
    QVERIFY(rotate.contains(QPointF(0, 0)));
    QVERIFY(rotate.contains(onCircle(gamma * 0.9, radius)));
    QVERIFY(rotate.contains(onCircle(-gamma * 0.9, radius)));
    QVERIFY(!rotate.contains(onCircle(gamma * 1.1, radius)));
    QVERIFY(!rotate.contains(onCircle(0, radius + 4)));
    QVERIFY(!rotate.contains(onCircle(0, radius - 4)));

    // With scaling, a straight arrow along the line is added.
    const QPainterPath both = EditCursors::rotateScaleShape(line);
    const QPointF along = QLineF::fromPolar(12, a).p2();
    QVERIFY(both.contains(along));
    QVERIFY(both.contains(-along));
    QVERIFY(!rotate.contains(along));
    QVERIFY(both.contains(onCircle(gamma * 0.9, radius)));
}

QTEST_MAIN(TestEditableGraphicsObject)
#include "tst_editablegraphicsobject.moc"
