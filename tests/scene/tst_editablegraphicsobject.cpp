#include <QtTest>

#include <QApplication>
#include <QGraphicsSceneMouseEvent>
#include <QGraphicsView>

#include "imaging/drawflags.h"
#include "model/document.h"
#include "scene/editablegraphicsobject.h"
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

} // namespace

class TestEditableGraphicsObject : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { QApplication::setStartDragDistance(10); }

    void gestures_data()
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
            << 0 << -1 << false << false << false << none
            << QStringList { "pressed 0", "released 256" } << QPointF();
        QTest::newRow("press hook changes the part")
            << 3 << 12 << true << false << false << QList<QPointF> { { 2, 2 } }
            << QStringList { "pressed 3", "dragged 12 (0,0)->(2,2)", "released 12" } << QPointF();
        QTest::newRow("small quick move moves the selection")
            << 0 << -1 << true << false << false << QList<QPointF> { { 3, 2 } }
            << QStringList { "pressed 0", "click" } << QPointF(3, 2);
        QTest::newRow("far move starts a drag")
            << 0 << -1 << true << false << true << QList<QPointF> { { 15, 0 } }
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

    void gestures()
    {
        QFETCH(int, part);
        QFETCH(int, pressTurnsInto);
        QFETCH(bool, selectedBefore);
        QFETCH(bool, holdPastDragTime);
        QFETCH(bool, dragAccepted);
        QFETCH(QList<QPointF>, moves);
        QFETCH(QStringList, expectedLog);
        QFETCH(QPointF, expectedShift);

        Document document(false);
        Scene scene(&document);
        scene.setSceneRect(0, 0, 400, 300);
        auto *item = new ProbeItem;
        item->part = part;
        item->pressTurnsInto = pressTurnsInto;
        item->dragAccepted = dragAccepted;
        // A press held past the drag time is one whose drag time is over at once.
        item->setStartDragTime(holdPastDragTime ? 0 : 100000);
        item->setPos(100, 100);
        scene.addItem(item);
        item->setSelected(selectedBefore);

        MouseDriver mouse { &scene, {}, {} };
        const QPointF start(100, 100);
        mouse.press(start);
        QVERIFY(item->isSelected());
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

    void fastDrawHold()
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
        for (int x : { 104, 108, 112 })
            mouse.move(QPointF(x, 100));
        // One hold however long the drag.
        QCOMPARE(item->fastDrawDuringDrag, (QList<int> { 1, 1, 1 }));
        QCOMPARE(scene.drawFlags() & FastDraw, int(FastDraw));
        mouse.release(QPointF(112, 100));
        QCOMPARE(scene.fastDrawCount(), 0);
        QCOMPARE(spy.count(), 2);

        // An item deleted while dragging gives its hold back.
        item->part = EditableGraphicsObject::RotatePart;
        mouse.press(QPointF(112, 100));
        mouse.move(QPointF(112, 120));
        QCOMPARE(scene.fastDrawCount(), 1);
        delete item;
        QCOMPARE(scene.fastDrawCount(), 0);
        QCOMPARE(spy.count(), 4);

        // The scene dies with the hold of a second item taken.
        auto *other = new ProbeItem;
        other->part = EditableGraphicsObject::MovePart;
        scene.addItem(other);
        mouse.press(QPointF(0, 0));
        mouse.move(QPointF(20, 0));
        QVERIFY(other->holdsFastDraw());
    }

    void rightButtonNeitherSelectsNorDrags()
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
};

QTEST_MAIN(TestEditableGraphicsObject)
#include "tst_editablegraphicsobject.moc"
