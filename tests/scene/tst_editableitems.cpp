#include <QtTest>

#include <QApplication>
#include <QGraphicsView>
#include <QImageWriter>
#include <QInputDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <memory>

#include "imaging/drawflags.h"
#include "imaging/testphotos.h"
#include "model/document.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "scene/documentinneritem.h"
#include "scene/documentitem.h"
#include "scene/overlaygestures.h"
#include "scene/scene.h"
#include "scene/scenetestimages.h"
#include "scene/scenetesttheme.h"
#include "scene/stickeritem.h"
#include "scene/textoverlayitem.h"
#include "undo/undostack.h"

namespace {

// A4 portrait in inches, as in the page-size presets.
const PageSize a4Inches(PageSize::Inches, QSizeF(8.27, 11.69));
const PageSize square300(PageSize::Pixels, QSizeF(300, 300));

// A document with a flat coloured page in a scene that lays the page out at
// scale 1 (the scene rectangle leaves exactly the shadow margins).
struct PageFixture
{
    explicit PageFixture(const PageSize &size, const QColor &background = Qt::white)
        : document(std::make_unique<Document>(true))
    {
        document->setPageSize(size);
        auto *theme = new SceneTestTheme(document.get());
        theme->background->setColor(background);
        document->setTheme(theme);
        document->undoStack()->clear();
        scene = std::make_unique<Scene>(document.get());
        const qreal margin = 2 * DocumentItem::ShadowMargin + 4;
        scene->setSceneRect(QRectF(QPointF(), size.size() + QSizeF(margin, margin)));
        scene->setRenderFlag(DirectRender, true);
    }

    DocumentInnerItem *page() const { return scene->documentItem()->innerItem(); }
    UndoStack *stack() const { return document->undoStack(); }
    TextOverlayItem *addText() { return new TextOverlayItem(document->addTextOverlay(), page()); }
    StickerItem *addSticker(const QString &path = QStringLiteral(":/stickers/heart.svg"))
    {
        return new StickerItem(document->addSticker(path), page());
    }

    // The page drawn at `pixelsPerUnit` image pixels per page unit.
    QImage render(qreal pixelsPerUnit) const
    {
        const QSizeF size = document->pageSize().size() * pixelsPerUnit;
        QImage image(size.toSize(), QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        scene->render(&painter, QRectF(QPointF(0, 0), size));
        return image;
    }

    std::unique_ptr<Document> document;
    std::unique_ptr<Scene> scene;
};

// The stored value of a text's or a sticker's property.
QVariant stored(QGraphicsItem *item, const char *name)
{
    if (auto *text = dynamic_cast<TextOverlayItem *>(item))
        return text->properties()->property(name);
    return static_cast<StickerItem *>(item)->properties()->property(name);
}

// Mouse input through a real, shown view, so that the scene's grabbing,
// hover and double-click handling take part.
struct ViewMouse
{
    explicit ViewMouse(QGraphicsScene *scene)
        : view(scene)
    {
        view.setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view.resize(scene->sceneRect().size().toSize() + QSize(40, 40));
        view.show();
    }

    QPoint at(const QPointF &scenePos) const { return view.mapFromScene(scenePos); }
    void send(
        QEvent::Type type, const QPoint &pos, Qt::MouseButton button, Qt::MouseButtons buttons)
    {
        QWidget *viewport = view.viewport();
        QMouseEvent event(type, QPointF(pos), QPointF(viewport->mapToGlobal(pos)), button, buttons,
            Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    void move(const QPoint &pos) { send(QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton); }
    void press(const QPoint &pos)
    {
        send(QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
        send(QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
    }
    void release(const QPoint &pos)
    {
        send(QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
    }

    QGraphicsView view;
};

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
    bool dragAccepted = false;
    QStringList log;
    QList<int> fastDrawDuringDrag;

protected:
    int hitTest(const QPointF &pos) override
    {
        return boundingRect().contains(pos) ? part : int(NoPart);
    }
    void partPressed(int &p) override { log << QStringLiteral("pressed %1").arg(p); }
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

// A probe item at (100, 100) on a scene of 400 x 300, driven through a view.
struct ProbeFixture
{
    ProbeFixture()
    {
        scene.setSceneRect(0, 0, 400, 300);
        item->setPos(100, 100);
        scene.addItem(item);
        mouse = std::make_unique<ViewMouse>(&scene);
    }

    QPoint at(qreal x, qreal y) const { return mouse->at(QPointF(x, y)); }

    Document document { false };
    Scene scene { &document };
    ProbeItem *item = new ProbeItem;
    std::unique_ptr<ViewMouse> mouse;
};

} // namespace

// Items the user edits on the page: the gestures all of them share, and
// texts and stickers in particular.
class TestEditableItems : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QApplication::setStartDragDistance(10);
        QVERIFY(m_files.isValid());
        QVERIFY(TestPhotos::writeFile(m_files.filePath(QStringLiteral("wide.SVG")),
            "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 200 100\">"
            "<rect x=\"0\" y=\"0\" width=\"200\" height=\"100\" fill=\"#00ff00\"/></svg>"));
        QVERIFY(TestPhotos::writeFile(
            m_files.filePath(QStringLiteral("broken.svg")), "<svg this is not"));
        QImage tall(40, 80, QImage::Format_RGB32);
        tall.fill(Qt::blue);
        QVERIFY(QImageWriter(m_files.filePath(QStringLiteral("tall.png")), "png").write(tall));
    }

    // A big white "H" on a grey pixel page: the text colour shows inside the
    // text box, its black shadow beside the strokes, and nothing outside the
    // box. Dark text casts a light shadow.
    void textPainting()
    {
        QCOMPARE(TextOverlayItem::shadowColor(QColor(0, 0, 139)).rgb(), qRgb(255, 255, 255));
        const QColor textColor(Qt::white);
        const QColor background(128, 128, 128);
        PageFixture fixture(square300, background);
        TextOverlayItem *item = fixture.addText();
        TextOverlayProperties *overlay = item->properties();
        overlay->setText(QStringLiteral("H"));
        overlay->setColor(textColor);
        QFont font = overlay->font();
        font.setPointSizeF(90); // 120 px on a pixel page
        overlay->setFont(font);

        QImage image = fixture.render(1);
        const QRect box = item->mapRectToParent(item->textRect()).toAlignedRect();
        const int shadowGrey = 64; // half black over grey 128
        const int textPixels
            = countPixels(image, box, [&](QRgb p) { return near(p, textColor, 10); });
        const int shadowPixels = countPixels(image, box,
            [&](QRgb p) { return qAbs(qGray(p) - shadowGrey) < 12 && !near(p, textColor, 40); });
        QVERIFY2(textPixels > 500, qPrintable(QString::number(textPixels)));
        // The shadow is 2% of a line down and right: a thin band of a pixel or
        // two beside each stroke edge.
        QVERIFY2(shadowPixels > 40 && shadowPixels < textPixels,
            qPrintable(QString::number(shadowPixels)));
        // Nothing outside the box and its antialiased rim.
        QPainter(&image).fillRect(box.adjusted(-1, -1, 1, 1), background);
        QCOMPARE(
            countPixels(image, image.rect(), [&](QRgb p) { return !near(p, background, 8); }), 0);
    }

    // Every shipped sticker loads.
    void stickerLibrary()
    {
        const QString folder = QStringLiteral(":/stickers/");
        const QStringList files = QDir(folder).entryList(
            { QStringLiteral("*.svg"), QStringLiteral("*.png") }, QDir::Files);
        QVERIFY(files.contains(QStringLiteral("heart.svg")));
        for (const QString &file : files)
            QVERIFY2(QSvgRenderer(folder + file).isValid(), qPrintable(file));
    }

    void stickerLayout_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<QColor>("fill"); // of the whole box, where it is flat

        // The longer side is 15% of the page width.
        const qreal side = 0.15 * 8.27;
        QTest::newRow("upper-case SVG extension")
            << QStringLiteral("wide.SVG") << QSizeF(side, side / 2) << QColor(Qt::green);
        // On a page in inches the picture fills its whole box: the box is not
        // rounded to whole inches.
        QTest::newRow("PNG picture 40 x 80")
            << QStringLiteral("tall.png") << QSizeF(side / 2, side) << QColor(Qt::blue);
        QTest::newRow("not an SVG")
            << QStringLiteral("broken.svg") << QSizeF(side, side) << QColor();
    }

    void stickerLayout()
    {
        QFETCH(QString, path);
        QFETCH(QSizeF, size);
        QFETCH(QColor, fill);

        if (!path.startsWith(QLatin1Char(':')))
            path = m_files.filePath(path);
        PageFixture fixture(a4Inches);
        StickerItem *item = fixture.addSticker(path);
        const QRectF rect = item->stickerRect();
        QVERIFY2(
            qAbs(rect.width() - size.width()) < 1e-9 && qAbs(rect.height() - size.height()) < 1e-9,
            qPrintable(QStringLiteral("%1 x %2").arg(rect.width()).arg(rect.height())));
        if (fill.isValid()) {
            // The middle row at 100 pixels per inch crosses the box's width.
            const QImage image = fixture.render(100);
            const int y = qRound(11.69 / 2 * 100);
            const int columns = countPixels(
                image, QRect(0, y, image.width(), 1), [&](QRgb p) { return near(p, fill, 40); });
            QVERIFY2(qAbs(columns - size.width() * 100) <= 2, qPrintable(QString::number(columns)));
        }

        // An unreadable sticker still keeps its box and can be moved.
        item->properties()->setPosition(QPointF(0.1, 0.2));
        QCOMPARE(item->pos(), QPointF(0.827, 11.69 * 0.2));
    }

    // Turning and scaling steps around the centre, including the centre itself,
    // which must neither divide by zero nor shrink the item to nothing.
    void dragSteps()
    {
        using namespace OverlayGestures;
        const QPointF centre(0, 0);
        // Item coordinates, y down: 30 degrees counter-clockwise adds 330.
        const QPointF turned(10 * std::cos(M_PI / 6), -10 * std::sin(M_PI / 6));
        QVERIFY(qAbs(turnedRotation(100, centre, QPointF(10, 0), turned) - 430) < 1e-6);
        QVERIFY(qAbs(scaledScale(1.5, centre, QPointF(0, -30), QPointF(0, -10)) - 0.5) < 1e-9);
        QCOMPARE(turnedRotation(100, centre, QPointF(10, 0), centre), 100.0);
        QCOMPARE(scaledScale(1.5, centre, QPointF(10, 0), centre), 0.01);
        QCOMPARE(turnedRotation(100, centre, centre, QPointF(10, 0)), 100.0);
        QCOMPARE(scaledScale(1.5, centre, centre, QPointF(10, 0)), 1.5);
    }

    // Dragging the border band a quarter turn clockwise around the centre turns
    // the sticker by about 90 degrees and scales it by the change of distance;
    // dragging the centre then moves it exactly under the pointer. Each whole
    // gesture is one undo step.
    void dragRotateScaleAndMove()
    {
        PageFixture fixture(square300);
        EditableGraphicsObject *item = fixture.addSticker();
        ViewMouse mouse(fixture.scene.get());
        QVERIFY(QTest::qWaitForWindowExposed(&mouse.view));

        // Start in the band right of the centre, then go round a quarter circle
        // clockwise (downwards on screen), growing to 1.5 times the distance.
        const QRectF rect = item->boundingRect();
        const QPointF centre = item->mapToScene(rect.center());
        const qreal radius = rect.width() * 0.45;
        const int steps = 30;
        fixture.stack()->clear();
        auto pointAt = [&](int step) {
            const qreal angle = M_PI / 2 * step / steps;
            const qreal r = radius * (1 + 0.5 * step / steps);
            return mouse.at(centre + QPointF(r * std::cos(angle), r * std::sin(angle)));
        };
        mouse.press(pointAt(0));
        for (int step = 1; step <= steps; ++step)
            mouse.move(pointAt(step));
        mouse.release(pointAt(steps));

        // Pixel rounding of the pointer costs a little precision.
        const qreal rotation = stored(item, "rotation").toReal();
        const qreal scale = stored(item, "scale").toReal();
        QVERIFY2(qAbs(rotation - 90) < 2, qPrintable(QString::number(rotation)));
        QVERIFY2(qAbs(scale - 1.5) < 0.03, qPrintable(QString::number(scale)));
        QCOMPARE(item->rotation(), rotation);
        QCOMPARE(fixture.stack()->count(), 1);
        fixture.stack()->undo();
        QCOMPARE(stored(item, "scale").toReal(), 1.0);
        QCOMPARE(item->rotation(), 0.0);
        fixture.stack()->redo();
        QCOMPARE(item->scale(), scale);

        // A later move of the same item is a step of its own.
        const QPointF startScene = item->scenePos();
        const QPoint start = mouse.at(startScene);
        mouse.press(start);
        for (int i = 1; i <= 10; ++i)
            mouse.move(start + i * QPoint(5, -3));
        mouse.release(start + QPoint(50, -30));
        QCOMPARE(stored(item, "position").toPointF(), QPointF(0.5 + 50.0 / 300, 0.5 - 30.0 / 300));
        QCOMPARE(item->scenePos(), startScene + QPointF(50, -30));
        QCOMPARE(fixture.stack()->count(), 2);
        fixture.stack()->undo();
        QCOMPARE(item->scenePos(), startScene);
    }

    // Without a page to refer to, dragging changes nothing.
    void dragWithoutPage()
    {
        Document document(true);
        TextOverlayProperties *overlay = document.addTextOverlay();
        QGraphicsScene scene(0, 0, 200, 200);
        auto *item = new TextOverlayItem(overlay);
        scene.addItem(item);
        item->setPos(100, 100);
        ViewMouse mouse(&scene);
        QVERIFY(QTest::qWaitForWindowExposed(&mouse.view));
        const QPoint start = mouse.at(QPointF(100, 100));
        mouse.press(start);
        mouse.move(start + QPoint(20, 20));
        mouse.release(start + QPoint(20, 20));
        QCOMPARE(item->pos(), QPointF(100, 100));
        QCOMPARE(document.undoStack()->count(), 0);
    }

    // Positions and sticker sizes are fractions of the page: a new page size
    // moves stickers and resizes them with it.
    void followsThePage()
    {
        PageFixture fixture(square300);
        StickerItem *sticker = fixture.addSticker();
        sticker->properties()->setPosition(QPointF(0.75, 0.25));
        fixture.document->setPageSize(PageSize(PageSize::Pixels, QSizeF(900, 600)));
        const QRectF page = fixture.page()->boundingRect();
        QCOMPARE(
            sticker->pos(), page.topLeft() + QPointF(0.75 * page.width(), 0.25 * page.height()));
        const QRectF box = sticker->stickerRect();
        QCOMPARE(qMax(box.width(), box.height()), StickerItem::PageFraction * page.height());
    }

    void doubleClickEditing_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("steps");
        QTest::newRow("new text") << QStringLiteral("Hello\nthere") << true
                                  << QStringLiteral("Hello\nthere") << 1;
        QTest::newRow("emptied") << QString() << true << QStringLiteral("Text") << 0;
        QTest::newRow("cancelled")
            << QStringLiteral("Ignored") << false << QStringLiteral("Text") << 0;
    }

    void doubleClickEditing()
    {
        QFETCH(QString, typed);
        QFETCH(bool, accept);
        QFETCH(QString, expected);
        QFETCH(int, steps);

        PageFixture fixture(square300);
        TextOverlayItem *item = fixture.addText();
        ViewMouse mouse(fixture.scene.get());
        QVERIFY(QTest::qWaitForWindowExposed(&mouse.view));
        const QPoint at = mouse.at(item->scenePos());

        // Answers the modal input dialog once it shows.
        QTimer answer;
        connect(&answer, &QTimer::timeout, this, [&] {
            auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
            if (!dialog)
                return;
            answer.stop();
            dialog->setTextValue(typed);
            accept ? dialog->accept() : dialog->reject();
        });
        answer.start(10);

        mouse.press(at);
        mouse.release(at);
        mouse.send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
        mouse.release(at);

        QCOMPARE(item->properties()->text(), expected);
        QCOMPARE(fixture.stack()->count(), steps);
    }

    void gestures_data()
    {
        QTest::addColumn<int>("part");
        QTest::addColumn<bool>("selectedBefore");
        QTest::addColumn<bool>("holdPastDragTime");
        QTest::addColumn<bool>("dragAccepted");
        QTest::addColumn<QList<QPointF>>("moves");
        QTest::addColumn<QStringList>("expectedLog");
        QTest::addColumn<QPointF>("expectedShift");

        const QList<QPointF> none;
        QTest::newRow("click selects an unselected item")
            << 0 << false << false << false << none << QStringList { "pressed 0", "released 256" }
            << QPointF();
        QTest::newRow("small quick move moves the selection")
            << 0 << true << false << false << QList<QPointF> { { 3, 2 } }
            << QStringList { "pressed 0", "click" } << QPointF(3, 2);
        QTest::newRow("far move starts a drag")
            << 0 << true << false << true << QList<QPointF> { { 15, 0 } }
            << QStringList { "pressed 0", "startDrag", "click" } << QPointF();
        QTest::newRow("refused drag moves the selection")
            << 0 << true << true << false << QList<QPointF> { { 1, 0 }, { 4, 0 } }
            << QStringList { "pressed 0", "startDrag", "startDrag", "click" } << QPointF(4, 0);
        QTest::newRow("selecting press then refused drag is a part drag")
            << 0 << false << false << false << QList<QPointF> { { 20, 0 } }
            << QStringList { "pressed 0", "startDrag", "dragged 256 (0,0)->(20,0)", "released 256" }
            << QPointF();
        QTest::newRow("a handle never starts a drag")
            << 3 << true << true << true << QList<QPointF> { { 30, 0 } }
            << QStringList { "pressed 3", "dragged 3 (0,0)->(30,0)", "released 3" } << QPointF();
    }

    void gestures()
    {
        QFETCH(int, part);
        QFETCH(bool, selectedBefore);
        QFETCH(bool, holdPastDragTime);
        QFETCH(bool, dragAccepted);
        QFETCH(QList<QPointF>, moves);
        QFETCH(QStringList, expectedLog);
        QFETCH(QPointF, expectedShift);

        ProbeFixture f;
        ProbeItem *item = f.item;
        item->part = part;
        item->dragAccepted = dragAccepted;
        // A press held past the drag time is one whose drag time is over at once.
        item->setStartDragTime(holdPastDragTime ? 0 : 100000);
        item->setSelected(selectedBefore);
        QVERIFY(QTest::qWaitForWindowExposed(&f.mouse->view));

        const QPoint start = f.at(100, 100);
        f.mouse->press(start);
        QVERIFY(item->isSelected());
        for (const QPointF &step : moves)
            f.mouse->move(start + step.toPoint());
        f.mouse->release(start + (moves.isEmpty() ? QPoint() : moves.last().toPoint()));

        QCOMPARE(item->log, expectedLog);
        QCOMPARE(item->pos(), QPointF(100, 100) + expectedShift);
        QVERIFY(item->isSelected());
        QCOMPARE(item->activePart(), 0);
        QCOMPARE(f.scene.fastDrawCount(), 0);
    }

    // A drag holds fast drawing once however long it lasts, and gives the
    // hold back when it ends or its item is deleted; a scene may die with a
    // hold taken.
    void fastDrawHold()
    {
        QApplication::setStartDragTime(100000);
        ProbeFixture f;
        f.item->part = EditableGraphicsObject::MovePart;
        f.mouse->press(f.at(100, 100));
        for (int x : { 104, 108, 112 })
            f.mouse->move(f.at(x, 100));
        QCOMPARE(f.item->fastDrawDuringDrag, (QList<int> { 1, 1, 1 }));
        f.mouse->release(f.at(112, 100));
        QCOMPARE(f.scene.fastDrawCount(), 0);

        f.item->part = EditableGraphicsObject::RotatePart;
        f.mouse->press(f.at(112, 100));
        f.mouse->move(f.at(112, 120));
        QCOMPARE(f.scene.fastDrawCount(), 1);
        delete f.item;
        QCOMPARE(f.scene.fastDrawCount(), 0);

        auto *other = new ProbeItem;
        other->part = EditableGraphicsObject::MovePart;
        f.scene.addItem(other);
        f.mouse->press(f.at(10, 10));
        f.mouse->move(f.at(30, 10));
        QVERIFY(other->holdsFastDraw());
    }

    void rightButtonNeitherSelectsNorDrags()
    {
        QApplication::setStartDragTime(100000);
        ProbeFixture f;
        ProbeItem *item = f.item;
        item->part = EditableGraphicsObject::MovePart;
        QVERIFY(QTest::qWaitForWindowExposed(&f.mouse->view));
        const QPoint at = f.at(100, 100);
        f.mouse->send(QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
        f.mouse->send(QEvent::MouseMove, at + QPoint(30, 0), Qt::NoButton, Qt::RightButton);
        f.mouse->send(
            QEvent::MouseButtonRelease, at + QPoint(30, 0), Qt::RightButton, Qt::NoButton);
        QVERIFY(!item->isSelected());
        QVERIFY(item->log.isEmpty());
        QCOMPARE(item->pos(), QPointF(100, 100));

        // The left button does reach the item through the same view.
        f.mouse->press(at);
        f.mouse->release(at);
        QVERIFY(item->isSelected());
        QCOMPARE(item->log, (QStringList { "pressed 3", "click" }));
    }

private:
    QTemporaryDir m_files;
};

QTEST_MAIN(TestEditableItems)
#include "tst_editableitems.moc"
