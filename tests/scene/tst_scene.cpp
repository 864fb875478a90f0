#include <QtTest>

#include <QApplication>
#include <QFile>
#include <QGraphicsDropShadowEffect>
#include <QGraphicsEllipseItem>
#include <QGraphicsRectItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QImageReader>
#include <QImageWriter>
#include <QInputDialog>
#include <QMouseEvent>
#include <QPainter>
#include <QSvgRenderer>
#include <QTemporaryDir>

#include <functional>
#include <memory>

#include "imaging/drawflags.h"
#include "imaging/testphotos.h"
#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/shadowproperties.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "scene/bandrenderer.h"
#include "scene/cacheddropshadoweffect.h"
#include "scene/documentinneritem.h"
#include "scene/documentitem.h"
#include "scene/documentrenderer.h"
#include "scene/graphicsbackgrounditem.h"
#include "scene/overlaygestures.h"
#include "scene/pageexport.h"
#include "scene/scene.h"
#include "scene/scenetesttheme.h"
#include "scene/shadowswatcher.h"
#include "scene/stickeritem.h"
#include "scene/textoverlayitem.h"
#include "scene/watermark.h"
#include "support/filesizelimit.h"
#include "themes/builtinthemes.h"
#include "themes/themeregistry.h"
#include "undo/undostack.h"

using Probes = QList<QPair<QPoint, QColor>>;
using TestPhotos::near;

namespace {

// The largest difference of any colour channel between two images.
int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        for (int x = 0; x < a.width(); ++x)
            largest = qMax(largest, TestPhotos::channelDistance(a.pixel(x, y), b.pixel(x, y)));
    }
    return largest;
}

// How many pixels of `area` match.
int countPixels(const QImage &image, const QRect &area, const std::function<bool(QRgb)> &match)
{
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x)
            count += match(image.pixel(x, y)) ? 1 : 0;
    }
    return count;
}

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
        // Events go to the viewport directly; a view that never shows makes the
        // gestures' own checks fail.
        (void)QTest::qWaitForWindowExposed(&view);
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

QImage blank(const QSize &size, const QColor &colour = canvas)
{
    QImage image(size, QImage::Format_ARGB32_Premultiplied);
    image.fill(colour);
    return image;
}

// A plain item that reports its deletion.
class WatchedItem : public QGraphicsRectItem
{
public:
    explicit WatchedItem(bool *alive)
        : QGraphicsRectItem(0, 0, 10, 10)
        , m_alive(alive)
    {
        *m_alive = true;
    }
    ~WatchedItem() override { *m_alive = false; }

private:
    bool *m_alive;
};

struct Setup
{
    QPointF offset;
    qreal blurRadius;
    QColor color;
    qreal rotation;
    qreal opacity;
};

// A filled red ellipse with a shadow, `scale` times its size on a scene of
// 160 x 120.
class Blob : public QGraphicsEllipseItem
{
public:
    Blob(QGraphicsScene &scene, QGraphicsDropShadowEffect *effect, const Setup &setup,
        QPointF position, qreal scale = 1)
        : QGraphicsEllipseItem(-30, -20, 60, 40)
    {
        setPen(Qt::NoPen);
        setBrush(QColor(200, 40, 40));
        setPos(position);
        setRotation(setup.rotation);
        setOpacity(setup.opacity);
        effect->setOffset(setup.offset * scale);
        effect->setBlurRadius(setup.blurRadius * scale);
        effect->setColor(setup.color);
        setGraphicsEffect(effect);
        scene.addItem(this);
    }
};

// The scene on a light canvas, `scale` image pixels per scene unit.
QImage render(QGraphicsScene &scene, qreal dpr, qreal scale = 1)
{
    QImage image(QSize(160, 120) * dpr * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(QColor(250, 250, 240));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.QGraphicsScene::render(
        &painter, QRectF(QPointF(0, 0), QSizeF(160, 120) * scale), QRectF(0, 0, 160, 120));
    painter.end();
    return image;
}

// A scene with one shadowed blob, kept across renders.
template<typename Effect> struct Stage
{
    explicit Stage(const Setup &setup, QPointF position = QPointF(80, 60))
        : scene(0, 0, 160, 120)
        , effect(new Effect)
        , blob(new Blob(scene, effect, setup, position))
    {
    }

    QImage render(qreal dpr = 1) { return ::render(scene, dpr); }

    QGraphicsScene scene;
    Effect *effect;
    Blob *blob;
};

// The blob on a program scene, drawn for the screen or for output, where the
// plain scene drawing is used: the program scene draws pages, and this one
// has none.
QImage renderOnScene(const Setup &setup, qreal scale, bool output)
{
    Document document(false);
    Scene scene(&document);
    scene.setSceneRect(0, 0, 160, 120);
    new Blob(scene, new CachedDropShadowEffect, setup, QPointF(80, 60), scale);
    scene.setRenderFlag(DirectRender, output);
    return render(scene, 1, scale);
}

// Photos inside a group item, each watched for shadows.
struct WatcherFixture
{
    explicit WatcherFixture(int count = 3)
    {
        properties.setEnabled(true);
        scene.addItem(groupItem);
        for (int i = 0; i < count; ++i)
            items.append(new QGraphicsRectItem(i * 10, 0, 8, 8, groupItem));
        for (QGraphicsItem *item : std::as_const(items))
            watcher.addItem(item);
    }

    QGraphicsScene scene;
    ShadowProperties properties;
    QGraphicsRectItem *groupItem = new QGraphicsRectItem(0, 0, 100, 100);
    QList<QGraphicsItem *> items;
    ShadowsWatcher watcher { &properties, groupItem };
};

const QColor PageColor(40, 90, 160);

// A 400 x 300 page with one red photo at the top left.
std::unique_ptr<Document> makeDocument()
{
    auto document = std::make_unique<Document>(false);
    document->setPageSize(PageSize(PageSize::Pixels, QSizeF(400, 300)));
    auto *theme = new SceneTestTheme(document.get());
    theme->background->setColor(PageColor);
    theme->photos = { { QRectF(20, 20, 100, 80), QColor(200, 40, 40), 0 } };
    document->setTheme(theme);
    return document;
}

// A 600 x 400 page of turned, shadowed photos with a text and a sticker
// across them, and at will a photo too large to be kept between bands.
std::unique_ptr<Document> makeShadowedDocument(bool large)
{
    auto document = std::make_unique<Document>(false);
    document->setPageSize(PageSize(PageSize::Pixels, QSizeF(600, 400)));
    auto *theme = new SceneTestTheme(document.get());
    theme->background->setColor(QColor(230, 220, 200));
    theme->shadows->setEnabled(true);
    theme->shadows->setBlurRadius(12);
    theme->photos = { { QRectF(40, 30, 200, 150), QColor(200, 40, 40), 0 },
        { QRectF(260, 120, 220, 200), QColor(40, 120, 200), 17 },
        { QRectF(100, 220, 150, 140), QColor(60, 170, 80), -8 } };
    if (large)
        theme->photos.prepend({ QRectF(20, 20, 560, 360), QColor(90, 60, 30), 3 });
    document->setTheme(theme);
    TextOverlayProperties *text = document->addTextOverlay();
    text->setText(QStringLiteral("Across the bands"));
    text->setPosition(QPointF(0.5, 0.5));
    document->addSticker(QStringLiteral(":/stickers/heart.svg"))->setPosition(QPointF(0.8, 0.3));
    return document;
}

// A Mosaic page of real photo files, with frames and shadows as the
// theme draws them.
std::unique_ptr<Document> makePhotoDocument(const QTemporaryDir &folder)
{
    QList<QUrl> urls;
    for (int i = 0; i < 4; ++i) {
        const QString path = folder.filePath(QStringLiteral("photo%1.jpg").arg(i));
        if (!TestPhotos::photoLike(QSize(640 + 32 * i, 480), quint32(i + 1)).save(path, "jpeg", 90))
            return nullptr;
        urls.append(QUrl::fromLocalFile(path));
    }
    auto document = std::make_unique<Document>(false);
    document->setPageSize(PageSize(PageSize::Pixels, QSizeF(900, 600)));
    if (!document->imageList()->insertUrls(0, urls, false))
        return nullptr;
    document->setTheme(ThemeRegistry::createTheme(BuiltInThemes::MosaicId, document.get()));
    document->addTextOverlay()->setText(QStringLiteral("On top"));
    return document;
}

// The whole page drawn at once, the reference for the banded paths.
QImage renderWhole(Document *document, const QSize &size, QImage::Format format)
{
    QImage image(size, format);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    DocumentRenderer::render(document, &painter, QRectF(QPointF(0, 0), size));
    return image;
}

// Bounding box of the pixels the watermark made brighter than a black page,
// and the brightest of them.
QRect markedArea(const QImage &image, int *brightest = nullptr)
{
    QRect area;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const int grey = qGray(image.pixel(x, y));
            if (brightest)
                *brightest = qMax(*brightest, grey);
            if (grey > 60)
                area |= QRect(x, y, 1, 1);
        }
    }
    return area;
}

ExportSettings settingsFor(const QByteArray &format, const QSize &size)
{
    ExportSettings settings;
    settings.format = format;
    settings.size = size;
    return settings;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(Setup)

// The page in the editing scene and in output: the items the user edits and
// their gestures, fitting, themes, backgrounds, shadows, and export to image
// files.
class TestScene : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        BuiltInThemes::registerAll();
        QApplication::setStartDragDistance(10);
        QVERIFY(m_dir.isValid());
        QVERIFY(TestPhotos::writeFile(m_dir.filePath(QStringLiteral("wide.SVG")),
            "<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 200 100\">"
            "<rect x=\"0\" y=\"0\" width=\"200\" height=\"100\" fill=\"#00ff00\"/></svg>"));
        QVERIFY(TestPhotos::writeFile(
            m_dir.filePath(QStringLiteral("broken.svg")), "<svg this is not"));
        QImage tall(40, 80, QImage::Format_RGB32);
        tall.fill(Qt::blue);
        QVERIFY(QImageWriter(m_dir.filePath(QStringLiteral("tall.png")), "png").write(tall));
    }

    // A big white "H" on a grey pixel page: the text colour shows inside the
    // text box and nothing outside the box. Dark text casts a light shadow.
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
        const int textPixels
            = countPixels(image, box, [&](QRgb p) { return near(p, textColor, 10); });
        QVERIFY2(textPixels > 500, qPrintable(QString::number(textPixels)));
        // Nothing outside the box and its antialiased rim.
        QPainter(&image).fillRect(box.adjusted(-1, -1, 1, 1), background);
        QCOMPARE(
            countPixels(image, image.rect(), [&](QRgb p) { return !near(p, background, 8); }), 0);
    }

    // Every shipped sticker loads.
    void stickerLibrary()
    {
        const QStringList files = StickerProperties::availableStickers();
        QVERIFY(files.contains(QStringLiteral(":/stickers/heart.svg")));
        for (const QString &file : files)
            QVERIFY2(QSvgRenderer(file).isValid(), qPrintable(file));
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
            path = m_dir.filePath(path);
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

        // An unreadable sticker still keeps its box and can be moved. Positions
        // and sizes are fractions of the page: they follow a new page size.
        item->properties()->setPosition(QPointF(0.1, 0.2));
        QCOMPARE(item->pos(), QPointF(0.827, 11.69 * 0.2));
        fixture.document->setPageSize(PageSize(PageSize::Inches, QSizeF(16.54, 23.38)));
        QCOMPARE(item->pos(), QPointF(1.654, 23.38 * 0.2));
        QCOMPARE(item->stickerRect().size(), rect.size() * 2);
    }

    // Turning and scaling steps that start or end on the centre must neither
    // divide by zero nor shrink the item to nothing.
    void dragSteps()
    {
        using namespace OverlayGestures;
        const QPointF centre(0, 0);
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
        StickerItem *item = fixture.addSticker();
        StickerProperties *sticker = item->properties();
        ViewMouse mouse(fixture.scene.get());

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
        const qreal rotation = sticker->rotation();
        const qreal scale = sticker->scale();
        QVERIFY2(qAbs(rotation - 90) < 2, qPrintable(QString::number(rotation)));
        QVERIFY2(qAbs(scale - 1.5) < 0.03, qPrintable(QString::number(scale)));
        QCOMPARE(item->rotation(), rotation);
        QCOMPARE(fixture.stack()->count(), 1);
        fixture.stack()->undo();
        QCOMPARE(sticker->scale(), 1.0);
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
        QCOMPARE(sticker->position(), QPointF(0.5 + 50.0 / 300, 0.5 - 30.0 / 300));
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
        const QPoint start = mouse.at(QPointF(100, 100));
        mouse.press(start);
        mouse.move(start + QPoint(20, 20));
        mouse.release(start + QPoint(20, 20));
        QCOMPARE(item->pos(), QPointF(100, 100));
        QCOMPARE(document.undoStack()->count(), 0);
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
        const QPoint at = f.at(100, 100);
        f.mouse->send(QEvent::MouseButtonPress, at, Qt::RightButton, Qt::RightButton);
        f.mouse->send(QEvent::MouseMove, at + QPoint(30, 0), Qt::NoButton, Qt::RightButton);
        f.mouse->send(
            QEvent::MouseButtonRelease, at + QPoint(30, 0), Qt::RightButton, Qt::NoButton);
        QVERIFY(!item->isSelected());
        QVERIFY(item->log.isEmpty());
        QCOMPARE(item->pos(), QPointF(100, 100));
    }

    // Holds nest, an unmatched end stays at zero, and only the first hold and
    // the last release are announced.
    void fastDrawCounter()
    {
        Document document(false);
        Scene scene(&document);
        QSignalSpy spy(&scene, &Scene::fastDrawChanged);
        const QString steps = QStringLiteral("-++-+--");
        const QList<int> counts { 0, 1, 2, 1, 2, 1, 0 };
        for (int i = 0; i < steps.size(); ++i) {
            if (steps.at(i) == QLatin1Char('+'))
                scene.beginFastDraw();
            else
                scene.endFastDraw();
            QCOMPARE(scene.fastDrawCount(), counts.at(i));
            QCOMPARE(bool(scene.drawFlags() & FastDraw), counts.at(i) > 0);
        }
        QCOMPARE(spy.count(), 2);
        QCOMPARE(spy.first().first().toBool(), true);
        QCOMPARE(spy.last().first().toBool(), false);
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
        auto *first = new WatchedItem(&firstAlive);
        scene.setOverlayItem(first, owner);
        auto *second = new WatchedItem(&secondAlive);
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
        scene.setOverlayItem(new WatchedItem(&firstAlive), nullptr);
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

        document.setTheme(nullptr);
        QVERIFY(!item->innerItem() && !item->sceneLayer());
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
        QVERIFY(editingLayer && editing.documentItem()->sceneLayer() == editingLayer);

        // The page fills its place, with no page shadow around it and nothing
        // of the photo that sticks out over its edge.
        const QRect inside = expectedPage.adjusted(2, 2, -2, -2);
        QCOMPARE(image.pixelColor(inside.topLeft()), pageColor);
        QCOMPARE(image.pixelColor(inside.topRight()), photoColor);
        const QPointF photo = QPointF(150, 75) * expectedPage.width() / 200.0;
        QCOMPARE(image.pixelColor(expectedPage.topLeft() + photo.toPoint()), photoColor);
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
        QTest::newRow("picture that cannot be read leaves the page clear")
            << picture << 0.0 << QStringLiteral("gone.png") << QSize(30, 20) << 0
            << Probes { { QPoint(0, 0), canvas }, { QPoint(29, 19), canvas } };

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
                qPrintable(QColor(actual).name()));
        }
    }

    void looksLikeTheStockEffect_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<qreal>("outputScale");
        QTest::newRow("turned, wide blur, half transparent item")
            << Setup { { -3, 6 }, 15, QColor(20, 40, 90), 25, 0.5 } << 1.0;
        QTest::newRow("offset only") << Setup { { 6, 6 }, 0, QColor(0, 0, 0, 160), 10, 1 } << 1.0;
        QTest::newRow("no blur, no offset") << Setup { { 0, 0 }, 0, QColor(0, 0, 0), 0, 1 } << 1.0;
        // A large page: the output shadow is blurred from an eighth of the pixels.
        QTest::newRow("large page") << Setup { { 4, 6 }, 10, QColor(0, 0, 0, 200), 15, 1 } << 8.0;
    }

    // On screen the cached shadow looks like the stock effect's; drawn for
    // output at the page's own scale it looks like the screen's.
    void looksLikeTheStockEffect()
    {
        QFETCH(Setup, setup);
        QFETCH(qreal, outputScale);
        Stage<CachedDropShadowEffect> cached(setup);
        const QImage stock = Stage<QGraphicsDropShadowEffect>(setup).render();
        QCOMPARE(cached.render(), stock);
        // A shadow was made, unless there is none to draw.
        const bool shadowless = setup.offset.isNull() && setup.blurRadius == 0;
        QCOMPARE(cached.effect->blurCount(), shadowless ? 0 : 1);

        const QImage screen = renderOnScene(setup, outputScale, false);
        // The same shadow up to rounding: no channel off by more than 3 %.
        const int difference = largestDifference(screen, renderOnScene(setup, outputScale, true));
        QVERIFY2(difference <= 8, qPrintable(QString::number(difference)));
    }

    // The shadow is blurred again only when its look, the item's outline or
    // the device pixel ratio changes, and always matches the stock effect.
    void blursOnlyWhenNeeded()
    {
        const Setup setup { { 4, 5 }, 9, QColor(0, 0, 0, 170), 0, 1 };
        Stage<CachedDropShadowEffect> cached(setup, QPointF(70, 60));
        Stage<QGraphicsDropShadowEffect> stock(setup, QPointF(70, 60));
        int expectedBlurs = 0;
        auto step = [&](qreal dpr, bool blurs) {
            expectedBlurs += blurs;
            return cached.render(dpr) == stock.render(dpr)
                && cached.effect->blurCount() == expectedBlurs;
        };
        auto both = [&](auto change) {
            change(cached.blob);
            change(stock.blob);
        };
        QVERIFY(step(1, true));
        QVERIFY(step(1, false));

        // Moving reuses the shadow: upright by any step, turned by whole pixels.
        both([](Blob *blob) { blob->setPos(blob->pos() + QPointF(7.25, -3.5)); });
        QVERIFY(step(1, false));
        both([](Blob *blob) { blob->setRotation(30); });
        QVERIFY(step(1, true));
        both([](Blob *blob) { blob->setPos(blob->pos() + QPointF(9, 4)); });
        QVERIFY(step(1, false));

        // A new colour inside the same outline casts the same shadow, yet the
        // item shows its new colour; a new outline casts a new shadow.
        both([](Blob *blob) { blob->setBrush(QColor(30, 160, 60)); });
        QVERIFY(step(1, false));
        both([](Blob *blob) { blob->setRect(-40, -20, 80, 40); });
        QVERIFY(step(1, true));

        // So does every change of the shadow's look.
        const QList<QPair<const char *, QVariant>> looks { { "color", QColor(0, 0, 120, 200) },
            { "offset", QPointF(-5, 2) }, { "blurRadius", 3.0 } };
        for (const auto &[property, value] : looks) {
            QVERIFY(cached.effect->setProperty(property, value));
            QVERIFY(stock.effect->setProperty(property, value));
            QVERIFY2(step(1, true), property);
        }

        // Another device pixel ratio needs a shadow of its own.
        QVERIFY(step(2, true));
        QVERIFY(step(1, true));
    }

    // The watcher gives every photo a shadow in device pixels: angle 270
    // points down, (0, 20) at scale 2, which a quarter turn clockwise takes
    // to (-20, 0).
    void deviceValues()
    {
        WatcherFixture f;
        f.properties.setColor(QColor(10, 20, 30, 128));
        f.properties.setDistance(10);
        f.properties.setAngle(270);
        f.properties.setBlurRadius(4);
        QVERIFY(f.watcher.isDirty());
        f.watcher.recompute(QTransform().rotate(90).scale(2, 2));
        QVERIFY(!f.watcher.isDirty());
        QCOMPARE(f.watcher.effectCount(), f.items.size());
        for (QGraphicsItem *item : std::as_const(f.items)) {
            QGraphicsDropShadowEffect *effect = f.watcher.effect(item);
            QVERIFY(effect && effect->isEnabled());
            QCOMPARE(effect->offset(), QPointF(-20, 0));
            QCOMPARE(effect->blurRadius(), 8.0);
            QCOMPARE(effect->color(), QColor(10, 20, 30, 128));
        }
    }

    void groupSwitchesEffects()
    {
        WatcherFixture f;
        f.properties.setBlurRadius(5);
        f.watcher.recompute(QTransform());

        // One shadow for the whole group, or one per photo; whichever effects
        // exist carry the current values.
        for (bool group : { true, false }) {
            f.properties.setGroup(group);
            QCOMPARE(f.watcher.effectCount(), group ? 1 : int(f.items.size()));
            const auto owners = group ? QList<QGraphicsItem *> { f.groupItem } : f.items;
            for (QGraphicsItem *item : owners) {
                auto *effect = qobject_cast<CachedDropShadowEffect *>(item->graphicsEffect());
                QVERIFY(effect);
                QCOMPARE(effect->blurRadius(), 5.0);
            }
            for (QGraphicsItem *item : std::as_const(f.items))
                QCOMPARE(item->graphicsEffect() != nullptr, !group);
        }
    }

    void itemsComeAndGo()
    {
        WatcherFixture f(2);
        f.properties.setDistance(4);
        f.properties.setBlurRadius(6);
        QGraphicsItem *first = f.items.at(0);
        QGraphicsEffect *firstEffect = first->graphicsEffect();
        // Adding again changes nothing.
        f.watcher.addItem(first);
        QCOMPARE(first->graphicsEffect(), firstEffect);
        f.watcher.recompute(QTransform::fromScale(2, 2));

        QPointer<QGraphicsEffect> removed = f.items.at(1)->graphicsEffect();
        f.watcher.removeItem(f.items.at(1));
        QVERIFY(!removed);
        f.watcher.removeItem(f.items.at(1));

        // An item added later shows the same shadow as the others at once.
        auto *late = new QGraphicsTextItem(QStringLiteral("photo"), f.groupItem);
        f.watcher.addItem(late);
        QCOMPARE(f.watcher.effect(late)->offset(), QPointF(8, 0));

        // A deleted item is forgotten; group switches touch neither it nor the
        // removed one.
        delete late;
        QCOMPARE(f.watcher.effectCount(), 1);
        f.properties.setGroup(true);
        f.properties.setGroup(false);
        QVERIFY(!f.items.at(1)->graphicsEffect());
        QCOMPARE(f.watcher.effectCount(), 1);
        f.watcher.recompute(QTransform::fromScale(3, 3));
    }

    void bandsMakeTheWholePage_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::addColumn<int>("rows");
        QTest::addColumn<bool>("large");
        QTest::newRow("bands of 37 rows") << QSize(1200, 800) << 37 << false;
        QTest::newRow("large item, bands of 500") << QSize(4500, 3000) << 500 << true;
    }

    void bandsMakeTheWholePage()
    {
        QFETCH(QSize, size);
        QFETCH(int, rows);
        QFETCH(bool, large);
        const auto document = makeShadowedDocument(large);
        const QImage whole = renderWhole(document.get(), size, QImage::Format_RGB32);

        QImage banded(size, QImage::Format_RGB32);
        BandRenderer renderer(document.get(), size);
        renderer.plan(rows);
        for (int top = 0; top < size.height(); top += rows) {
            QImage band(size.width(), rows, QImage::Format_RGB32);
            band.fill(Qt::white);
            QVERIFY(renderer.drawBand(&band, top));
            QPainter(&banded).drawImage(0, top, band);
        }
        // Shadows and edges may round apart by a few levels; nothing more.
        const int difference = largestDifference(whole, banded);
        QVERIFY2(difference <= (large ? 24 : 6), qPrintable(QString::number(difference)));
        // And the page is really there: the red photo and the shadows.
        QVERIFY(qRed(banded.pixel(size.width() * 100 / 600, size.width() * 60 / 600)) > 150);
    }

    void unfinishedWriteLeavesOldFile_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<bool>("photos");
        QTest::addColumn<int>("fileSizeLimitKb"); // 0: none; -1: cancelled at the first step
        QTest::newRow("cancelled, photos, jpg drawn in bands") << QByteArray("jpg") << true << -1;
        QTest::newRow("cancelled, sticker only, png") << QByteArray("png") << false << -1;
        QTest::newRow("unknown format") << QByteArray("nosuchformat") << false << 0;
        // 1.6 MB of BMP, beyond a limit that fails the write like a full disk.
        QTest::newRow("disk full") << QByteArray("bmp") << false << 64;
    }

    // A cancelled or failed write leaves the file that was there before and
    // nothing else; a failure says why.
    void unfinishedWriteLeavesOldFile()
    {
        QFETCH(QByteArray, format);
        QFETCH(bool, photos);
        QFETCH(int, fileSizeLimitKb);
        const bool cancel = fileSizeLimitKb < 0;
        QTemporaryDir folder;
        const auto document = photos ? makePhotoDocument(folder) : makeDocument();
        QVERIFY(document && document->theme());
        document->addSticker(QStringLiteral(":/stickers/heart.svg"));
        const QString name = QStringLiteral("page.") + QString::fromLatin1(format);
        const QString path = folder.filePath(name);
        QVERIFY(TestPhotos::writeFile(path, "older picture"));
        PageExport page(document.get(), settingsFor(format, QSize(900, 600)));
        QList<std::pair<int, int>> steps;
        page.setProgress([&](int done, int total) {
            steps.append({ done, total });
            return !cancel;
        });
        PageExport::Result result = PageExport::Result::Written;
        {
            const FileSizeLimit limit(qint64(fileSizeLimitKb) * 1024);
            QVERIFY(limit.isActive());
            result = page.write(path);
        }

        QCOMPARE(readFile(path), QByteArray("older picture"));
        QCOMPARE(
            QDir(folder.path()).entryList({ QStringLiteral("page*") }, QDir::Files | QDir::Hidden),
            QStringList { name });
        if (!cancel) {
            QCOMPARE(result, PageExport::Result::Failed);
            QVERIFY(!page.errorString().isEmpty());
            QVERIFY(fileSizeLimitKb || page.errorString().contains(QString::fromLatin1(format)));
            return;
        }
        QCOMPARE(result, PageExport::Result::Cancelled);
        QCOMPARE(steps.size(), 1);
        QVERIFY(steps.first().first <= steps.first().second);
        // With photos: asked after the first one, with the photos and the
        // writing still to come.
        QVERIFY(!photos || (steps.first().first == 1 && steps.first().second >= 5));
    }

    void formats_data()
    {
        QTest::addColumn<QByteArray>("format");
        QTest::addColumn<QSize>("size");
        for (const QByteArray &format : { QByteArray("png"), QByteArray("jpg"), QByteArray("bmp") })
            QTest::newRow(format.constData()) << format << QSize(200, 150);
        // Forced to another aspect, the page leaves a transparent margin below.
        QTest::newRow("png, margin below") << QByteArray("png") << QSize(200, 200);
    }

    void formats()
    {
        QFETCH(QByteArray, format);
        QFETCH(QSize, size);
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("page.") + QString::fromLatin1(format));
        const auto document = makeDocument();
        const ExportSettings settings = settingsFor(format, size);
        QCOMPARE(PageExport(document.get(), settings).write(path), PageExport::Result::Written);

        const QImage image = QImageReader(path).read();
        QCOMPARE(image.size(), size);
        // The page colour in the lower right corner, the photo at the top left.
        const QRgb corner = image.pixel(180, 130);
        QVERIFY2(near(corner, PageColor, 7), qPrintable(QColor(corner).name()));
        QVERIFY(qRed(image.pixel(30, 25)) > 150);
        // Opaque pages lose their alpha channel; a margin stays transparent.
        const bool margin = size.height() > 150;
        QCOMPARE(image.hasAlphaChannel(), margin);
        if (margin)
            QVERIFY(qAlpha(image.pixel(100, size.height() - 5)) == 0
                && qAlpha(image.pixel(100, 2)) == 255);
    }

    // The document's texts and stickers are drawn on the page.
    void overlaysAreDrawn()
    {
        const auto document = makeDocument();
        TextOverlayProperties *text = document->addTextOverlay();
        text->setText(QStringLiteral("HELLO"));
        text->setColor(Qt::yellow);
        text->setPosition(QPointF(0.5, 0.75));
        document->addSticker(QStringLiteral(":/stickers/heart.svg"))
            ->setPosition(QPointF(0.75, 0.25));

        const QImage image = renderWhole(document.get(), QSize(800, 600), QImage::Format_RGB32);
        auto yellow = [](QRgb c) { return qRed(c) > 200 && qGreen(c) > 200 && qBlue(c) < 80; };
        QVERIFY(countPixels(image, QRect(200, 350, 400, 200), yellow) > 50);
        // The sticker covers the flat page colour around its position.
        auto notPage = [](QRgb c) { return !near(c, PageColor, 20); };
        QVERIFY(countPixels(image, QRect(520, 80, 160, 140), notPage) > 200);
    }

    void watermark_data()
    {
        QTest::addColumn<int>("position");
        QTest::addColumn<int>("opacity");
        QTest::addColumn<QRect>("region"); // where the text must lie, within an 800 x 600 page
        QTest::newRow("center") << int(WatermarkCenter) << 100 << QRect(200, 250, 400, 100);
        QTest::newRow("bottom right, faint")
            << int(WatermarkBottomRight) << 30 << QRect(400, 500, 400, 100);
    }

    void watermark()
    {
        QFETCH(int, position);
        QFETCH(int, opacity);
        QFETCH(QRect, region);

        QImage image = blank(QSize(800, 600), Qt::black);
        drawWatermark(&image, QStringLiteral("Tesselo ||||"), position, opacity);
        int brightest = 0;
        const QRect area = markedArea(image, &brightest);
        QVERIFY(!area.isEmpty());
        QVERIFY(region.contains(area));
        // White over black at the given alpha.
        QVERIFY2(qAbs(brightest - int(opacity / 100.0 * 255)) <= 3,
            qPrintable(QString::number(brightest)));

        // A page written band by band carries the same mark as one drawn whole.
        QImage banded = blank(image.size(), Qt::black);
        const int rows = 37;
        for (int top = 0; top < banded.height(); top += rows) {
            QImage band = banded.copy(0, top, 800, rows);
            {
                QPainter painter(&band);
                painter.translate(0, -top);
                drawWatermark(
                    &painter, banded.size(), QStringLiteral("Tesselo ||||"), position, opacity);
            }
            QPainter(&banded).drawImage(0, top, band);
        }
        QCOMPARE(banded, image);
    }

    void watermarkWithNothingToDraw()
    {
        QImage image = blank(QSize(100, 100), Qt::black);
        const QImage before = image;
        drawWatermark(&image, QString(), WatermarkCenter, 100);
        QCOMPARE(image, before);
        drawWatermark(nullptr, QStringLiteral("x"), WatermarkCenter, 100);
        QImage null;
        drawWatermark(&null, QStringLiteral("x"), WatermarkCenter, 100);
        QVERIFY(null.isNull());
    }

private:
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestScene)
#include "tst_scene.moc"
