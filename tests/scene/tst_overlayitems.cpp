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
#include "model/document.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "scene/documentinneritem.h"
#include "scene/documentitem.h"
#include "scene/overlaygestures.h"
#include "scene/scene.h"
#include "scene/scenetesttheme.h"
#include "scene/stickeritem.h"
#include "scene/textoverlayitem.h"
#include "undo/undostack.h"

namespace {

// A4 portrait in inches, as in the page-size presets.
const PageSize a4Inches(PageSize::Inches, QSizeF(8.27, 11.69));

enum Kind { Text, Sticker };

// A document with a flat coloured page in a scene that lays the page out at
// scale 1 (the scene rectangle leaves exactly the shadow margins).
struct PageFixture
{
    explicit PageFixture(const PageSize &size, const QColor &background = Qt::white)
    {
        document = std::make_unique<Document>(true);
        document->setPageSize(size);
        theme = new SceneTestTheme(document.get());
        theme->background->setColor(background);
        document->setTheme(theme);
        document->undoStack()->clear();
        scene = std::make_unique<Scene>(document.get());
        const qreal margin = 2 * DocumentItem::ShadowMargin + 4;
        scene->setSceneRect(
            QRectF(0, 0, size.size().width() + margin, size.size().height() + margin));
        scene->setRenderFlag(DirectRender, true);
    }

    DocumentInnerItem *page() const { return scene->documentItem()->innerItem(); }
    UndoStack *stack() const { return document->undoStack(); }

    TextOverlayItem *addText()
    {
        return new TextOverlayItem(document->addTextOverlay(), page());
    }
    StickerItem *addSticker(const QString &path)
    {
        return new StickerItem(document->addSticker(path), page());
    }
    EditableGraphicsObject *add(int kind)
    {
        if (kind == Text)
            return addText();
        return addSticker(QStringLiteral(":/stickers/heart.svg"));
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
    SceneTestTheme *theme = nullptr;
    std::unique_ptr<Scene> scene;
};

QRectF itemRect(QGraphicsItem *item)
{
    return item->boundingRect();
}

QPointF storedPosition(QGraphicsItem *item)
{
    if (auto *text = dynamic_cast<TextOverlayItem *>(item))
        return text->properties()->position();
    return static_cast<StickerItem *>(item)->properties()->position();
}

qreal storedRotation(QGraphicsItem *item)
{
    if (auto *text = dynamic_cast<TextOverlayItem *>(item))
        return text->properties()->rotation();
    return static_cast<StickerItem *>(item)->properties()->rotation();
}

qreal storedScale(QGraphicsItem *item)
{
    if (auto *text = dynamic_cast<TextOverlayItem *>(item))
        return text->properties()->scale();
    return static_cast<StickerItem *>(item)->properties()->scale();
}

int grey(QRgb pixel)
{
    return qGray(pixel);
}

bool near(QRgb pixel, const QColor &colour, int tolerance)
{
    return qAbs(qRed(pixel) - colour.red()) <= tolerance
        && qAbs(qGreen(pixel) - colour.green()) <= tolerance
        && qAbs(qBlue(pixel) - colour.blue()) <= tolerance;
}

// Pixels inside `area` (image coordinates) whose colour differs from
// `background` by more than a little.
int countDifferent(const QImage &image, const QRect &area, const QColor &background)
{
    int count = 0;
    const QRect bounded = area.intersected(image.rect());
    for (int y = bounded.top(); y <= bounded.bottom(); ++y)
        for (int x = bounded.left(); x <= bounded.right(); ++x)
            if (!near(image.pixel(x, y), background, 8))
                ++count;
    return count;
}

// Mouse input through a real view, so that the scene's grabbing, hover and
// double-click handling take part.
struct ViewMouse
{
    QGraphicsView *view;

    QPoint at(const QPointF &scenePos) const { return view->mapFromScene(scenePos); }

    void send(QEvent::Type type, const QPoint &pos, Qt::MouseButton button,
        Qt::MouseButtons buttons) const
    {
        QWidget *viewport = view->viewport();
        QMouseEvent event(type, QPointF(pos), QPointF(viewport->mapToGlobal(pos)), button,
            buttons, Qt::NoModifier);
        QApplication::sendEvent(viewport, &event);
    }
    void move(const QPoint &pos) const
    {
        send(QEvent::MouseMove, pos, Qt::NoButton, Qt::LeftButton);
    }
    void press(const QPoint &pos) const
    {
        send(QEvent::MouseMove, pos, Qt::NoButton, Qt::NoButton);
        send(QEvent::MouseButtonPress, pos, Qt::LeftButton, Qt::LeftButton);
    }
    void release(const QPoint &pos) const
    {
        send(QEvent::MouseButtonRelease, pos, Qt::LeftButton, Qt::NoButton);
    }
};

std::unique_ptr<QGraphicsView> showView(Scene *scene)
{
    auto view = std::make_unique<QGraphicsView>(scene);
    view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    view->resize(scene->sceneRect().size().toSize() + QSize(40, 40));
    view->show();
    return view;
}

// Answers the next modal input dialog once it shows.
void answerInputDialog(const QString &text, bool accept)
{
    auto *timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, text, accept] {
        auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        timer->stop();
        timer->deleteLater();
        dialog->setTextValue(text);
        if (accept)
            dialog->accept();
        else
            dialog->reject();
    });
    timer->start();
}

void writeSvg(const QString &path, const QSizeF &viewBox, const QColor &fill)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(QStringLiteral("<svg xmlns=\"http://www.w3.org/2000/svg\" viewBox=\"0 0 %1 %2\">"
                              "<rect x=\"0\" y=\"0\" width=\"%1\" height=\"%2\" fill=\"%3\"/></svg>")
                   .arg(viewBox.width())
                   .arg(viewBox.height())
                   .arg(fill.name())
                   .toUtf8());
}

void writePng(const QString &path, const QSize &size, const QColor &fill)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(fill);
    QImageWriter writer(path, "png");
    QVERIFY(writer.write(image));
}

} // namespace

class TestOverlayItems : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void itemSetUp_data();
    void itemSetUp();

    void textLayout_data();
    void textLayout();
    void textFollowsProperties();
    void shadowColor_data();
    void shadowColor();
    void textPainting_data();
    void textPainting();
    void selectedFrame_data();
    void selectedFrame();

    void stickerLayout_data();
    void stickerLayout();
    void stickerPainting_data();
    void stickerPainting();
    void pictureStickerOnInchPage();
    void itemsFollowPageSize();

    void hitTest_data();
    void hitTest();
    void dragSteps_data();
    void dragSteps();
    void dragMove_data();
    void dragMove();
    void dragRotateScale_data();
    void dragRotateScale();
    void dragWithoutPage();
    void doubleClickEditing_data();
    void doubleClickEditing();

    void composedPage();

private:
    QTemporaryDir m_files;
};

void TestOverlayItems::initTestCase()
{
    QVERIFY(m_files.isValid());
}

void TestOverlayItems::itemSetUp_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("text") << int(Text);
    QTest::newRow("sticker") << int(Sticker);
}

void TestOverlayItems::itemSetUp()
{
    QFETCH(int, kind);
    PageFixture fixture(a4Inches);
    EditableGraphicsObject *item = fixture.add(kind);
    QVERIFY(item->flags() & QGraphicsItem::ItemIsSelectable);
    QVERIFY(!(item->flags() & QGraphicsItem::ItemIsMovable));
    QVERIFY(item->acceptHoverEvents());
    QCOMPARE(item->cursor().shape(), Qt::SizeAllCursor);
    QCOMPARE(item->parentItem(), fixture.page());
    // Above the theme's layer: later children of the page draw on top.
    const QList<QGraphicsItem *> children = fixture.page()->childItems();
    QVERIFY(children.indexOf(fixture.theme->layer.data()) < children.indexOf(item));
    QCOMPARE(item->boundingRect().center(), QPointF(0, 0));
    QCOMPARE(item->shape().boundingRect(), item->boundingRect());
    QCOMPARE(item->transformCenter(), item->boundingRect().center());
    QCOMPARE(item->pos(), QPointF(8.27 / 2, 11.69 / 2));
}

void TestOverlayItems::textLayout_data()
{
    QTest::addColumn<PageSize>("pageSize");
    QTest::addColumn<qreal>("points");
    QTest::addColumn<QString>("text");
    QTest::addColumn<qreal>("em"); // expected font size in page units
    QTest::addColumn<int>("lines");

    QTest::newRow("A4 inches, default") << a4Inches << 24.0 << QStringLiteral("Text") << 1.0 / 3
                                        << 1;
    QTest::newRow("A4 inches, 72 pt") << a4Inches << 72.0 << QStringLiteral("Text") << 1.0 << 1;
    QTest::newRow("A4 inches, two lines")
        << a4Inches << 24.0 << QStringLiteral("Two\nlines") << 1.0 / 3 << 2;
    QTest::newRow("centimetres") << PageSize(PageSize::Centimeters, QSizeF(21, 29.7)) << 24.0
                                 << QStringLiteral("Text") << 24 * 2.54 / 72 << 1;
    QTest::newRow("pixels") << PageSize(PageSize::Pixels, QSizeF(1080, 1080)) << 24.0
                            << QStringLiteral("Text") << 32.0 << 1;
}

void TestOverlayItems::textLayout()
{
    QFETCH(PageSize, pageSize);
    QFETCH(qreal, points);
    QFETCH(QString, text);
    QFETCH(qreal, em);
    QFETCH(int, lines);

    PageFixture fixture(pageSize);
    TextOverlayItem *item = fixture.addText();
    TextOverlayProperties *overlay = item->properties();
    QFont font = overlay->font();
    font.setPointSizeF(points);
    overlay->setFont(font);
    overlay->setText(text);

    const QRectF rect = item->textRect();
    QCOMPARE(item->boundingRect(), rect);
    QVERIFY(qAbs(rect.center().x()) < 1e-9 && qAbs(rect.center().y()) < 1e-9);
    // A line is a little more than the font size; 10% of the height is
    // added above and below.
    const qreal lineHeight = rect.height() / 1.2 / lines;
    QVERIFY2(lineHeight > 1.0 * em && lineHeight < 1.5 * em,
        qPrintable(QString::number(lineHeight / em)));
    QVERIFY(rect.width() > 0.5 * em);
    QCOMPARE(item->pos(),
        QPointF(pageSize.size().width() / 2, pageSize.size().height() / 2));

    // Sizes are proportional to the point size and do not depend on the
    // device the text is measured on.
    font.setPointSizeF(points * 2);
    overlay->setFont(font);
    QCOMPARE(item->textRect().height(), 2 * rect.height());
    QCOMPARE(item->textRect().width(), 2 * rect.width());
}

void TestOverlayItems::textFollowsProperties()
{
    PageFixture fixture(a4Inches);
    TextOverlayItem *item = fixture.addText();
    TextOverlayProperties *overlay = item->properties();
    overlay->setPosition(QPointF(0.25, 0.75));
    overlay->setRotation(30);
    overlay->setScale(2);
    overlay->setOpacity(0.4);
    QCOMPARE(item->pos(), QPointF(8.27 * 0.25, 11.69 * 0.75));
    QCOMPARE(item->rotation(), 30.0);
    QCOMPARE(item->scale(), 2.0);
    QCOMPARE(item->opacity(), 0.4);

    const QRectF before = item->textRect();
    overlay->setText(QStringLiteral("A much longer text"));
    QVERIFY(item->textRect().width() > before.width());
    overlay->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    QCOMPARE(item->textRect().center(), QPointF(0, 0));

    // Undo goes back through the same signals.
    while (fixture.stack()->canUndo())
        fixture.stack()->undo();
    QCOMPARE(item->pos(), QPointF(8.27 / 2, 11.69 / 2));
    QCOMPARE(item->rotation(), 0.0);
    QCOMPARE(item->scale(), 1.0);
    QCOMPARE(item->textRect(), before);
}

void TestOverlayItems::shadowColor_data()
{
    QTest::addColumn<QColor>("text");
    QTest::addColumn<QColor>("shadow");

    QTest::newRow("white") << QColor(Qt::white) << QColor(0, 0, 0, 128);
    QTest::newRow("light grey") << QColor(200, 200, 200) << QColor(0, 0, 0, 128);
    QTest::newRow("pure yellow, lightness 0.5") << QColor(255, 255, 0) << QColor(255, 255, 255, 128);
    QTest::newRow("pure red, lightness 0.5") << QColor(255, 0, 0) << QColor(255, 255, 255, 128);
    QTest::newRow("dark blue") << QColor(0, 0, 139) << QColor(255, 255, 255, 128);
    QTest::newRow("black") << QColor(Qt::black) << QColor(255, 255, 255, 128);
    QTest::newRow("pale pink") << QColor(255, 200, 200) << QColor(0, 0, 0, 128);
}

void TestOverlayItems::shadowColor()
{
    QFETCH(QColor, text);
    QFETCH(QColor, shadow);
    const QColor actual = TextOverlayItem::shadowColor(text);
    QCOMPARE(actual.rgb(), shadow.rgb());
    QVERIFY(qAbs(actual.alphaF() - 0.5) < 1e-3);
}

void TestOverlayItems::textPainting_data()
{
    QTest::addColumn<QColor>("background");
    QTest::addColumn<QColor>("textColor");
    QTest::addColumn<bool>("shadowDarker");

    QTest::newRow("white text, black shadow") << QColor(128, 128, 128) << QColor(Qt::white) << true;
    QTest::newRow("dark blue text, white shadow")
        << QColor(128, 128, 128) << QColor(0, 0, 139) << false;
}

// A big "H" on a grey pixel page: the text colour shows inside the text
// box, the shadow shows beside the strokes towards the lower right, and
// nothing shows outside the box.
void TestOverlayItems::textPainting()
{
    QFETCH(QColor, background);
    QFETCH(QColor, textColor);
    QFETCH(bool, shadowDarker);

    PageFixture fixture(PageSize(PageSize::Pixels, QSizeF(300, 300)), background);
    TextOverlayItem *item = fixture.addText();
    TextOverlayProperties *overlay = item->properties();
    overlay->setText(QStringLiteral("H"));
    overlay->setColor(textColor);
    QFont font = overlay->font();
    font.setPointSizeF(90); // 120 px on a pixel page
    overlay->setFont(font);

    const QImage image = fixture.render(1);
    const QRect box = item->mapRectToParent(item->textRect()).toAlignedRect();
    QVERIFY(box.width() > 60 && box.height() > 120);

    int textPixels = 0, shadowPixels = 0;
    for (int y = box.top(); y <= box.bottom(); ++y) {
        for (int x = box.left(); x <= box.right(); ++x) {
            const QRgb pixel = image.pixel(x, y);
            if (near(pixel, textColor, 10))
                ++textPixels;
            const int g = grey(pixel);
            const int shadowGrey = shadowDarker ? 64 : 191; // half over grey 128
            if (qAbs(g - shadowGrey) < 12 && !near(pixel, textColor, 40))
                ++shadowPixels;
        }
    }
    QVERIFY2(textPixels > 500, qPrintable(QString::number(textPixels)));
    // The shadow is 2% of a line down and right: a thin band of a pixel or
    // two beside each stroke edge.
    QVERIFY2(shadowPixels > 40, qPrintable(QString::number(shadowPixels)));
    QVERIFY2(shadowPixels < textPixels, qPrintable(QString::number(shadowPixels)));

    // Left of the first stroke the shadow does not show; right of it, it does.
    QCOMPARE(countDifferent(image, QRect(0, 0, 300, box.top() - 1), background), 0);
    QCOMPARE(countDifferent(image, QRect(0, box.bottom() + 2, 300, 300), background), 0);
    QCOMPARE(countDifferent(image, QRect(0, 0, box.left() - 1, 300), background), 0);
    QCOMPARE(countDifferent(image, QRect(box.right() + 2, 0, 300, 300), background), 0);
}

void TestOverlayItems::selectedFrame_data()
{
    itemSetUp_data();
}

void TestOverlayItems::selectedFrame()
{
    QFETCH(int, kind);
    PageFixture fixture(PageSize(PageSize::Pixels, QSizeF(300, 300)), Qt::black);
    EditableGraphicsObject *item = fixture.add(kind);
    if (kind == Text)
        static_cast<TextOverlayItem *>(item)->properties()->setText(QString());
    else
        static_cast<StickerItem *>(item)->properties()->setStickerPath(QString());

    const QRectF exact = item->mapRectToParent(item->boundingRect());
    const QPoint inside = exact.center().toPoint();
    QImage image = fixture.render(1);
    QVERIFY(near(image.pixel(inside), Qt::black, 2));

    item->setSelected(true);
    image = fixture.render(1);
    // A faint blue fill inside and a solid blue line along the edge.
    const QRgb fill = image.pixel(inside);
    QVERIFY(qBlue(fill) > 15 && qBlue(fill) < 40);
    QVERIFY(qBlue(fill) > qRed(fill));
    int edgeBlue = 0;
    for (int y = qFloor(exact.top()) - 1; y <= qCeil(exact.top()) + 1; ++y)
        edgeBlue = qMax(edgeBlue, qBlue(image.pixel(inside.x(), y)));
    QVERIFY2(edgeBlue > 150, qPrintable(QString::number(edgeBlue)));
    QCOMPARE(qBlue(image.pixel(inside.x(), qFloor(exact.top()) - 3)), 0);
}

void TestOverlayItems::stickerLayout_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QSizeF>("size");
    QTest::addColumn<bool>("svg");
    QTest::addColumn<bool>("picture");

    const qreal side = 0.15 * 8.27;
    QTest::newRow("heart") << QStringLiteral(":/stickers/heart.svg") << QSizeF(side, side) << true
                           << false;
    QTest::newRow("ribbon 120 x 40") << QStringLiteral(":/stickers/ribbon.svg")
                                     << QSizeF(side, side / 3) << true << false;
    QTest::newRow("arrow 100 x 60") << QStringLiteral(":/stickers/arrow_right.svg")
                                    << QSizeF(side, side * 0.6) << true << false;
    QTest::newRow("pin 60 x 80") << QStringLiteral(":/stickers/pin.svg")
                                 << QSizeF(side * 0.75, side) << true << false;
    QTest::newRow("missing file") << QStringLiteral(":/stickers/none.svg") << QSizeF(side, side)
                                  << false << false;
    QTest::newRow("empty path") << QString() << QSizeF(side, side) << false << false;
    QTest::newRow("upper-case SVG extension") << QStringLiteral("wide.SVG")
                                              << QSizeF(side, side / 2) << true << false;
    QTest::newRow("PNG picture 40 x 80") << QStringLiteral("tall.png") << QSizeF(side / 2, side)
                                         << false << true;
    QTest::newRow("not an SVG") << QStringLiteral("broken.svg") << QSizeF(side, side) << false
                                << false;
}

void TestOverlayItems::stickerLayout()
{
    QFETCH(QString, path);
    QFETCH(QSizeF, size);
    QFETCH(bool, svg);
    QFETCH(bool, picture);

    writeSvg(m_files.filePath(QStringLiteral("wide.SVG")), QSizeF(200, 100), Qt::green);
    writePng(m_files.filePath(QStringLiteral("tall.png")), QSize(40, 80), Qt::blue);
    QFile broken(m_files.filePath(QStringLiteral("broken.svg")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("<svg this is not");
    broken.close();
    if (!path.isEmpty() && !path.startsWith(QLatin1Char(':')))
        path = m_files.filePath(path);

    PageFixture fixture(a4Inches);
    StickerItem *item = fixture.addSticker(path);
    const QRectF rect = item->stickerRect();
    QVERIFY2(qAbs(rect.width() - size.width()) < 1e-9, qPrintable(QString::number(rect.width())));
    QVERIFY2(qAbs(rect.height() - size.height()) < 1e-9,
        qPrintable(QString::number(rect.height())));
    QVERIFY(qAbs(rect.center().x()) < 1e-9 && qAbs(rect.center().y()) < 1e-9);
    QCOMPARE(item->boundingRect(), rect);
    QCOMPARE(item->renderer() != nullptr, svg);
    if (svg)
        QVERIFY(item->renderer()->isValid());
    QCOMPARE(!item->pixmap().isNull(), picture);
    QCOMPARE(item->pos(), QPointF(8.27 / 2, 11.69 / 2));

    // An unreadable sticker still keeps its box and can be moved.
    item->properties()->setPosition(QPointF(0.1, 0.2));
    QCOMPARE(item->pos(), QPointF(0.827, 11.69 * 0.2));
}

void TestOverlayItems::stickerPainting_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<qreal>("opacity");
    QTest::addColumn<QColor>("centre");

    QTest::newRow("heart") << QStringLiteral(":/stickers/heart.svg") << 1.0
                           << QColor(0xe7, 0x4c, 0x3c);
    QTest::newRow("half transparent heart") << QStringLiteral(":/stickers/heart.svg") << 0.5
                                            << QColor(0xf3, 0xa5, 0x9d);
    QTest::newRow("star") << QStringLiteral(":/stickers/star.svg") << 1.0
                          << QColor(0xf1, 0xc4, 0x0f);
    QTest::newRow("missing") << QStringLiteral(":/stickers/none.svg") << 1.0 << QColor(Qt::white);
}

void TestOverlayItems::stickerPainting()
{
    QFETCH(QString, path);
    QFETCH(qreal, opacity);
    QFETCH(QColor, centre);

    PageFixture fixture(PageSize(PageSize::Pixels, QSizeF(300, 300)), Qt::white);
    StickerItem *item = fixture.addSticker(path);
    item->properties()->setOpacity(opacity);
    // 15% of 300: a 45 pixel sticker in the middle of the page.
    QCOMPARE(item->stickerRect().width(), 45.0);

    const QImage image = fixture.render(1);
    QVERIFY2(near(image.pixel(150, 150), centre, 6),
        qPrintable(QColor(image.pixel(150, 150)).name()));
    // Nothing is drawn outside the sticker's box.
    QCOMPARE(countDifferent(image, QRect(0, 0, 300, 126), Qt::white), 0);
    QCOMPARE(countDifferent(image, QRect(0, 174, 300, 126), Qt::white), 0);
    QCOMPARE(countDifferent(image, QRect(0, 0, 126, 300), Qt::white), 0);
    QCOMPARE(countDifferent(image, QRect(174, 0, 126, 300), Qt::white), 0);
}

// A picture sticker on a page measured in inches fills its whole box: the
// box is not rounded to whole inches.
void TestOverlayItems::pictureStickerOnInchPage()
{
    const QString path = m_files.filePath(QStringLiteral("blue.png"));
    writePng(path, QSize(40, 20), Qt::blue);
    PageFixture fixture(a4Inches, Qt::white);
    StickerItem *item = fixture.addSticker(path);
    QVERIFY(!item->pixmap().isNull());

    const QImage image = fixture.render(100); // 100 pixels per inch
    const int y = qRound(11.69 / 2 * 100);
    int blueColumns = 0;
    for (int x = 0; x < image.width(); ++x)
        if (near(image.pixel(x, y), Qt::blue, 40))
            ++blueColumns;
    // 15% of 8.27 inches at 100 pixels per inch.
    QVERIFY2(qAbs(blueColumns - 124) <= 2, qPrintable(QString::number(blueColumns)));
}

void TestOverlayItems::itemsFollowPageSize()
{
    PageFixture fixture(PageSize(PageSize::Pixels, QSizeF(400, 200)));
    StickerItem *sticker = fixture.addSticker(QStringLiteral(":/stickers/heart.svg"));
    TextOverlayItem *text = fixture.addText();
    sticker->properties()->setPosition(QPointF(0.25, 0.5));
    QCOMPARE(sticker->stickerRect().width(), 30.0);
    QCOMPARE(sticker->pos(), QPointF(100, 100));
    const qreal pixelTextHeight = text->textRect().height();

    fixture.document->setPageSize(PageSize(PageSize::Pixels, QSizeF(800, 1000)));
    QCOMPARE(sticker->stickerRect().width(), 120.0);
    QCOMPARE(sticker->pos(), QPointF(200, 500));
    QCOMPARE(text->pos(), QPointF(400, 500));

    // Same numbers in inches: points become 1/72 inch instead of 4/3 pixel.
    fixture.document->setPageSize(PageSize(PageSize::Inches, QSizeF(800, 1000)));
    QVERIFY(qAbs(text->textRect().height() * 96 - pixelTextHeight) < 1e-9);
}

void TestOverlayItems::hitTest_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QPointF>("fraction"); // of the item's box
    QTest::addColumn<int>("part");

    for (int kind : { int(Text), int(Sticker) }) {
        const QByteArray prefix = kind == Text ? "text " : "sticker ";
        auto row = [&](const char *name) -> QTestData & {
            return QTest::newRow((prefix + name).constData());
        };
        row("centre") << kind << QPointF(0.5, 0.5) << 3;
        row("inner edge left") << kind << QPointF(0.16, 0.5) << 3;
        row("inner edge bottom") << kind << QPointF(0.5, 0.84) << 3;
        row("band left") << kind << QPointF(0.14, 0.5) << 12;
        row("band top") << kind << QPointF(0.5, 0.1) << 12;
        row("band corner") << kind << QPointF(0.02, 0.98) << 12;
        row("outside right") << kind << QPointF(1.05, 0.5) << 0;
        row("outside above") << kind << QPointF(0.5, -0.2) << 0;
    }
}

void TestOverlayItems::hitTest()
{
    QFETCH(int, kind);
    QFETCH(QPointF, fraction);
    QFETCH(int, part);

    PageFixture fixture(a4Inches);
    EditableGraphicsObject *item = fixture.add(kind);
    const QRectF rect = itemRect(item);
    const QPointF pos(rect.left() + fraction.x() * rect.width(),
        rect.top() + fraction.y() * rect.height());
    QCOMPARE(item->hitTest(pos), part);
    QCOMPARE(OverlayGestures::hitTest(rect, pos), part);
}

void TestOverlayItems::dragSteps_data()
{
    QTest::addColumn<QPointF>("last");
    QTest::addColumn<QPointF>("current");
    QTest::addColumn<qreal>("rotationStep");
    QTest::addColumn<qreal>("scaleFactor");

    // Item coordinates, y down, centre at the origin.
    QTest::newRow("quarter turn clockwise") << QPointF(10, 0) << QPointF(0, 10) << 90.0 << 1.0;
    QTest::newRow("30 degrees clockwise")
        << QPointF(10, 0) << QPointF(10 * std::cos(M_PI / 6), 10 * std::sin(M_PI / 6)) << 30.0
        << 1.0;
    QTest::newRow("30 degrees counter-clockwise adds 330")
        << QPointF(10, 0) << QPointF(10 * std::cos(M_PI / 6), -10 * std::sin(M_PI / 6)) << 330.0
        << 1.0;
    QTest::newRow("outwards twice as far") << QPointF(10, 0) << QPointF(20, 0) << 0.0 << 2.0;
    QTest::newRow("inwards to a third") << QPointF(0, -30) << QPointF(0, -10) << 0.0 << 1.0 / 3;
    QTest::newRow("onto the centre") << QPointF(10, 0) << QPointF(0, 0) << 0.0 << 0.01 / 1.5;
    QTest::newRow("from the centre") << QPointF(0, 0) << QPointF(10, 0) << 0.0 << 1.0;
}

void TestOverlayItems::dragSteps()
{
    QFETCH(QPointF, last);
    QFETCH(QPointF, current);
    QFETCH(qreal, rotationStep);
    QFETCH(qreal, scaleFactor);

    const qreal rotation
        = OverlayGestures::turnedRotation(100, QPointF(0, 0), last, current) - 100;
    QVERIFY2(qAbs(rotation - rotationStep) < 1e-6, qPrintable(QString::number(rotation)));
    const qreal scale = OverlayGestures::scaledScale(1.5, QPointF(0, 0), last, current);
    QVERIFY2(qAbs(scale - 1.5 * scaleFactor) < 1e-9, qPrintable(QString::number(scale)));

    const QPointF moved = OverlayGestures::movedPosition(
        QPointF(0.5, 0.5), QPointF(8.27 / 10, -11.69 / 4), QSizeF(8.27, 11.69));
    QVERIFY(qAbs(moved.x() - 0.6) < 1e-12 && qAbs(moved.y() - 0.25) < 1e-12);
}

void TestOverlayItems::dragMove_data()
{
    itemSetUp_data();
}

// Dragging the centre moves the item exactly under the pointer; all the
// moves of one drag are one undo step.
void TestOverlayItems::dragMove()
{
    QFETCH(int, kind);
    PageFixture fixture(PageSize(PageSize::Pixels, QSizeF(300, 300)));
    EditableGraphicsObject *item = fixture.add(kind);
    auto view = showView(fixture.scene.get());
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    ViewMouse mouse { view.get() };
    const QPointF startScene = item->scenePos();
    const QPoint start = mouse.at(startScene);
    fixture.stack()->clear();

    mouse.press(start);
    QVERIFY(item->isSelected());
    QPoint pos = start;
    for (int i = 0; i < 10; ++i) {
        pos += QPoint(5, -3);
        mouse.move(pos);
        QVERIFY(fixture.scene->fastDrawCount() > 0);
    }
    mouse.release(pos);
    QCOMPARE(fixture.scene->fastDrawCount(), 0);

    const QPointF moved = view->mapToScene(pos) - view->mapToScene(start);
    QCOMPARE(item->scenePos(), startScene + moved);
    QCOMPARE(storedPosition(item), QPointF(0.5 + 50.0 / 300, 0.5 - 30.0 / 300));
    QCOMPARE(fixture.stack()->count(), 1);
    QCOMPARE(fixture.stack()->undoText(),
        kind == Text ? QStringLiteral("Move text") : QStringLiteral("Move sticker"));
    fixture.stack()->undo();
    QCOMPARE(storedPosition(item), QPointF(0.5, 0.5));
    QCOMPARE(item->scenePos(), startScene);
}

void TestOverlayItems::dragRotateScale_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<qreal>("radiusFactor");
    QTest::addColumn<QString>("undoText");

    QTest::newRow("text, quarter turn") << int(Text) << 1.0 << QStringLiteral("Rotate text");
    QTest::newRow("sticker, quarter turn") << int(Sticker) << 1.0
                                           << QStringLiteral("Rotate sticker");
    QTest::newRow("sticker, quarter turn growing")
        << int(Sticker) << 1.5 << QStringLiteral("Rotate sticker");
}

// Dragging the border band a quarter turn clockwise around the centre turns
// the item by about 90 degrees and scales it by the change of distance; the
// whole gesture is one undo step.
void TestOverlayItems::dragRotateScale()
{
    QFETCH(int, kind);
    QFETCH(qreal, radiusFactor);
    QFETCH(QString, undoText);

    PageFixture fixture(PageSize(PageSize::Pixels, QSizeF(300, 300)));
    EditableGraphicsObject *item = fixture.add(kind);
    if (kind == Text) {
        auto *text = static_cast<TextOverlayItem *>(item);
        QFont font = text->properties()->font();
        font.setPointSizeF(45); // 60 px
        text->properties()->setFont(font);
    }
    auto view = showView(fixture.scene.get());
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    ViewMouse mouse { view.get() };

    // Start in the band right of the centre, then go round a quarter circle
    // clockwise (downwards on screen).
    const QRectF rect = itemRect(item);
    const QPointF centre = item->mapToScene(rect.center());
    const qreal radius = rect.width() * 0.45;
    QCOMPARE(item->hitTest(QPointF(radius, 0)), 12);
    const int steps = 30;
    fixture.stack()->clear();
    auto pointAt = [&](int step) {
        const qreal angle = M_PI / 2 * step / steps;
        const qreal r = radius * (1 + (radiusFactor - 1) * step / steps);
        return mouse.at(centre + QPointF(r * std::cos(angle), r * std::sin(angle)));
    };
    mouse.press(pointAt(0));
    for (int step = 1; step <= steps; ++step)
        mouse.move(pointAt(step));
    mouse.release(pointAt(steps));

    // Pixel rounding of the pointer costs a little precision.
    QVERIFY2(qAbs(storedRotation(item) - 90) < 2, qPrintable(QString::number(storedRotation(item))));
    QVERIFY2(qAbs(storedScale(item) - radiusFactor) < 0.03,
        qPrintable(QString::number(storedScale(item))));
    QCOMPARE(item->rotation(), storedRotation(item));
    QCOMPARE(item->scale(), storedScale(item));
    QCOMPARE(fixture.stack()->count(), 1);
    QCOMPARE(fixture.stack()->undoText(), undoText);
    fixture.stack()->undo();
    QCOMPARE(storedRotation(item), 0.0);
    QCOMPARE(storedScale(item), 1.0);
    fixture.stack()->redo();
    QVERIFY(qAbs(storedRotation(item) - 90) < 2);

    // A later move of the same item is a step of its own.
    const QPoint middle = mouse.at(item->scenePos());
    mouse.press(middle);
    mouse.move(middle + QPoint(4, 4));
    mouse.release(middle + QPoint(4, 4));
    QCOMPARE(fixture.stack()->count(), 2);
}

// Without a page to refer to, dragging changes nothing.
void TestOverlayItems::dragWithoutPage()
{
    Document document(true);
    TextOverlayProperties *overlay = document.addTextOverlay();
    QGraphicsScene scene(0, 0, 200, 200);
    auto *item = new TextOverlayItem(overlay);
    scene.addItem(item);
    item->setPos(100, 100);
    QGraphicsView view(&scene);
    view.resize(240, 240);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    ViewMouse mouse { &view };
    const QPoint start = mouse.at(QPointF(100, 100));
    mouse.press(start);
    mouse.move(start + QPoint(10, 10));
    mouse.move(start + QPoint(20, 20));
    mouse.release(start + QPoint(20, 20));
    QCOMPARE(overlay->position(), QPointF(0.5, 0.5));
    QCOMPARE(item->pos(), QPointF(100, 100));
    QCOMPARE(document.undoStack()->count(), 0);

    // Put on a page later, it takes its place there.
    QGraphicsRectItem page(0, 0, 80, 40);
    scene.addItem(&page);
    item->setParentItem(&page);
    QCOMPARE(item->pos(), QPointF(40, 20));
    item->setParentItem(nullptr);
}

void TestOverlayItems::doubleClickEditing_data()
{
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("accept");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("steps");

    QTest::newRow("new text") << QStringLiteral("Hello\nthere") << true
                              << QStringLiteral("Hello\nthere") << 1;
    QTest::newRow("emptied") << QString() << true << QStringLiteral("Text") << 0;
    QTest::newRow("cancelled") << QStringLiteral("Ignored") << false << QStringLiteral("Text") << 0;
    QTest::newRow("unchanged") << QStringLiteral("Text") << true << QStringLiteral("Text") << 0;
}

void TestOverlayItems::doubleClickEditing()
{
    QFETCH(QString, typed);
    QFETCH(bool, accept);
    QFETCH(QString, expected);
    QFETCH(int, steps);

    PageFixture fixture(PageSize(PageSize::Pixels, QSizeF(300, 300)));
    TextOverlayItem *item = fixture.addText();
    auto view = showView(fixture.scene.get());
    QVERIFY(QTest::qWaitForWindowExposed(view.get()));
    ViewMouse mouse { view.get() };
    const QPoint at = mouse.at(item->scenePos());

    QString shownText, shownTitle, shownLabel;
    auto *watcher = new QTimer(this);
    connect(watcher, &QTimer::timeout, this, [&] {
        if (auto *dialog = qobject_cast<QInputDialog *>(QApplication::activeModalWidget())) {
            shownText = dialog->textValue();
            shownTitle = dialog->windowTitle();
            shownLabel = dialog->labelText();
            watcher->stop();
        }
    });
    watcher->start(1);
    answerInputDialog(typed, accept);

    mouse.press(at);
    mouse.release(at);
    mouse.send(QEvent::MouseButtonDblClick, at, Qt::LeftButton, Qt::LeftButton);
    mouse.release(at);
    delete watcher;

    QCOMPARE(shownText, QStringLiteral("Text"));
    QCOMPARE(shownTitle, QStringLiteral("Edit Text"));
    QCOMPARE(shownLabel, QStringLiteral("Text:"));
    QCOMPARE(item->properties()->text(), expected);
    QCOMPARE(fixture.stack()->count(), steps);
    if (steps)
        QCOMPARE(fixture.stack()->undoText(), QStringLiteral("Change text"));
}

// A page with a text and several stickers, drawn as an export would draw
// it. Set TESSELO_PREVIEW_DIR to keep the picture for a look.
void TestOverlayItems::composedPage()
{
    PageFixture fixture(a4Inches, QColor(0x2c, 0x3e, 0x50));
    TextOverlayItem *title = fixture.addText();
    title->properties()->setText(QStringLiteral("Summer\nat the lake"));
    QFont font = title->properties()->font();
    font.setPointSizeF(60);
    font.setBold(true);
    title->properties()->setFont(font);
    title->properties()->setPosition(QPointF(0.5, 0.2));
    title->properties()->setRotation(-8);

    TextOverlayItem *note = fixture.addText();
    note->properties()->setText(QStringLiteral("left aligned\nnote text"));
    note->properties()->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    note->properties()->setColor(QColor(0xf1, 0xc4, 0x0f));
    note->properties()->setPosition(QPointF(0.3, 0.9));

    const QStringList stickers = StickerProperties::availableStickers();
    QCOMPARE(stickers.size(), 10);
    QList<StickerItem *> items;
    for (int i = 0; i < stickers.size(); ++i) {
        StickerItem *item = fixture.addSticker(stickers.at(i));
        item->properties()->setPosition(QPointF(0.15 + 0.35 * (i % 3), 0.38 + 0.14 * (i / 3)));
        item->properties()->setRotation(i * 12);
        item->properties()->setScale(i == 4 ? 1.5 : 1.0);
        items << item;
    }
    items.at(8)->properties()->setOpacity(0.5);
    items.at(1)->setSelected(true);

    const QImage image = fixture.render(100);
    QCOMPARE(image.size(), QSize(827, 1169));
    if (!qEnvironmentVariableIsEmpty("TESSELO_PREVIEW_DIR")) {
        const QString dir = qEnvironmentVariable("TESSELO_PREVIEW_DIR");
        QDir().mkpath(dir);
        QVERIFY(image.save(dir + QStringLiteral("/overlays.png")));
    }

    // Every sticker shows something in its box (the frame sticker only its
    // border), and the title text is white.
    for (StickerItem *item : items) {
        const QRectF box = item->mapRectToParent(item->stickerRect());
        const QRect pixels = QRectF(box.topLeft() * 100, box.size() * 100).toRect();
        QVERIFY2(countDifferent(image, pixels, QColor(0x2c, 0x3e, 0x50)) > 200,
            qPrintable(item->properties()->stickerPath()));
    }
    const QRectF titleBox = title->mapRectToParent(title->textRect());
    const QRect titlePixels = QRectF(titleBox.topLeft() * 100, titleBox.size() * 100).toRect();
    int white = 0;
    for (int y = titlePixels.top(); y <= titlePixels.bottom(); ++y)
        for (int x = titlePixels.left(); x <= titlePixels.right(); ++x)
            if (near(image.pixel(x, y), Qt::white, 10))
                ++white;
    QVERIFY2(white > 2000, qPrintable(QString::number(white)));
}

QTEST_MAIN(TestOverlayItems)
#include "tst_overlayitems.moc"
