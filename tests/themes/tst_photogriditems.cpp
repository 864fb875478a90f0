#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGraphicsSceneDragDropEvent>
#include <QGraphicsView>
#include <QImage>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <cstring>

#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "model/transformedimagesource.h"
#include "scene/documentinneritem.h"
#include "scene/documentitem.h"
#include "scene/scene.h"
#include "scene/shadowswatcher.h"
#include "themes/builtinthemes.h"
#include "themes/jstemplate.h"
#include "themes/photogrid/innerimagehandler.h"
#include "themes/photogrid/mosaictheme.h"
#include "themes/photogrid/photogridgraphicsitem.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/photogridsceneitem.h"
#include "themes/photogrid/photogrigcontrolwidget.h"
#include "ui/backgroundcontrolwidget.h"
#include "ui/framecontrolwidget.h"
#include "ui/shadowcontrolwidget.h"
#include "undo/undostack.h"

namespace {

const QColor Background(255, 0, 255);

// Solid pictures of one colour each, written as PNG so that colours stay exact.
QList<QUrl> solidPictures(const QTemporaryDir &dir, const QList<QSize> &sizes,
    const QList<QColor> &colours)
{
    QList<QUrl> urls;
    for (int i = 0; i < sizes.size(); ++i) {
        QImage image(sizes.at(i), QImage::Format_RGB32);
        image.fill(colours.at(i % colours.size()));
        const QString path = dir.filePath(QStringLiteral("solid%1.png").arg(i));
        image.save(path);
        urls.append(QUrl::fromLocalFile(path));
    }
    return urls;
}

QList<QUrl> samples(const QList<int> &numbers)
{
    QList<QUrl> urls;
    for (int n : numbers)
        urls.append(QUrl::fromLocalFile(QStringLiteral(":/samples/sample%1.jpg").arg(n)));
    return urls;
}

struct Page
{
    QScopedPointer<Document> document;
    MosaicTheme *theme = nullptr;
    QScopedPointer<Scene> scene;
    QScopedPointer<QGraphicsView> view;
    PhotoGridSceneItem *layer = nullptr;

    ~Page()
    {
        view.reset();
        scene.reset();
        document.reset();
    }

    bool build(const QSizeF &pageSize, const QList<QUrl> &urls)
    {
        RandomGenerator::seed(7);
        document.reset(new Document(true));
        document->setPageSize(PageSize(PageSize::Pixels, pageSize));
        if (!urls.isEmpty() && !document->imageList()->insertUrls(0, urls, false))
            return false;
        document->setThemeId(BuiltInThemes::MosaicId);
        theme = qobject_cast<MosaicTheme *>(document->theme());
        if (!theme)
            return false;
        // Plain cells, so that every pixel of a photo area is the photo's.
        theme->frames()->setEnabled(false);
        theme->rotationRestrictions()->setVariation(0);
        theme->shadows()->setEnabled(false);
        theme->background()->setType(BackgroundProperties::Color);
        theme->background()->setColor(Background);
        scene.reset(new Scene(document.data()));
        scene->setSceneRect(QRectF(QPointF(0, 0), pageSize + QSizeF(18, 18)));
        layer = qobject_cast<PhotoGridSceneItem *>(scene->documentItem()->sceneLayer());
        document->undoStack()->clear();
        return layer != nullptr;
    }

    bool show()
    {
        view.reset(new QGraphicsView(scene.data()));
        view->setFrameShape(QFrame::NoFrame);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        view->resize(scene->sceneRect().size().toSize());
        view->show();
        return QTest::qWaitForWindowExposed(view.data());
    }

    UndoStack *stack() const { return document->undoStack(); }
    PhotoGridItemProperties *cell(int i) const { return theme->items().at(i).data(); }
    PhotoGridGraphicsItem *item(int i) const { return layer->cellItem(cell(i)); }
    QPointF centre(int i) const { return item(i)->mapToItem(layer, QPointF(0, 0)); }

    void click(const QPointF &pagePoint)
    {
        const QPoint pos = view->mapFromScene(layer->mapToScene(pagePoint));
        const QPointF global = view->viewport()->mapToGlobal(pos);
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(pos), global, Qt::LeftButton,
            Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &press);
        QMouseEvent release(QEvent::MouseButtonRelease, QPointF(pos), global, Qt::LeftButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(view->viewport(), &release);
        QCoreApplication::processEvents();
    }

    // Sends a drag of `data` to the layer at a page point; returns whether
    // the drop was accepted.
    bool dropAt(QMimeData *data, const QPointF &pagePoint)
    {
        const QPointF scenePos = layer->mapToScene(pagePoint);
        QGraphicsSceneDragDropEvent enter(QEvent::GraphicsSceneDragEnter);
        enter.setMimeData(data);
        enter.setScenePos(scenePos);
        enter.setPos(pagePoint);
        enter.setPossibleActions(Qt::CopyAction | Qt::MoveAction);
        enter.setProposedAction(Qt::CopyAction);
        scene->sendEvent(layer, &enter);
        QGraphicsSceneDragDropEvent drop(QEvent::GraphicsSceneDrop);
        drop.setMimeData(data);
        drop.setScenePos(scenePos);
        drop.setPos(pagePoint);
        drop.setPossibleActions(Qt::CopyAction | Qt::MoveAction);
        drop.setProposedAction(Qt::CopyAction);
        drop.setAccepted(false);
        scene->sendEvent(layer, &drop);
        return drop.isAccepted();
    }

    QImage render() const
    {
        const QSize size = document->pageSize().size().toSize();
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter painter(&image);
        document->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
        painter.end();
        return image;
    }

    // Every cell's rectangle, angle, source, image and crop.
    QList<QVariantList> cells() const
    {
        QList<QVariantList> result;
        for (const auto &c : theme->items())
            result.append({ c->rect(), c->angleRelative(),
                quintptr(c->source().data()), quintptr(c->image().data()),
                c->source()->transform() });
        return result;
    }
};

bool near(const QColor &a, const QColor &b, int tolerance)
{
    return qAbs(a.red() - b.red()) <= tolerance && qAbs(a.green() - b.green()) <= tolerance
        && qAbs(a.blue() - b.blue()) <= tolerance;
}

QColor meanColour(const QImage &image, const QRect &area)
{
    const QRect r = area.intersected(image.rect());
    qint64 red = 0, green = 0, blue = 0, n = 0;
    for (int y = r.top(); y <= r.bottom(); ++y) {
        for (int x = r.left(); x <= r.right(); ++x) {
            const QRgb p = image.pixel(x, y);
            red += qRed(p);
            green += qGreen(p);
            blue += qBlue(p);
            ++n;
        }
    }
    return n ? QColor(int(red / n), int(green / n), int(blue / n)) : QColor();
}

QByteArray addressBytes(quint64 address, int size = 8)
{
    QByteArray bytes(size, '\0');
    std::memcpy(bytes.data(), &address, size_t(qMin(size, 8)));
    return bytes;
}

bool visibleInsideImage(PhotoGridGraphicsItem *item)
{
    const QRectF image(QPointF(0, 0), QSizeF(item->properties()->image()->size()));
    const QPolygonF visible
        = item->imageTransform().inverted().map(QPolygonF(item->pictureRect()));
    for (const QPointF &p : visible) {
        if (p.x() < image.left() - 1e-6 || p.x() > image.right() + 1e-6
            || p.y() < image.top() - 1e-6 || p.y() > image.bottom() + 1e-6)
            return false;
    }
    return true;
}

} // namespace

class TestPhotoGridItems : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BuiltInThemes::registerAll(); }
    void solidCellsRender_data();
    void solidCellsRender();
    void samplesRender_data();
    void samplesRender();
    void frameAndFilter();
    void cropCorrection_data();
    void cropCorrection();
    void panStopsAtImageEdge_data();
    void panStopsAtImageEdge();
    void turnAndZoomStaysOnImage();
    void turnCellGesture();
    void imageModeToggling();
    void dropExchangeAndPlace();
    void bogusCellAddressRefused_data();
    void bogusCellAddressRefused();
    void dropFilesAddsImages();
    void contextMenu();
    void controlWidget();
    void shadowsAndWidgets();
    void templatePreviews_data();
    void templatePreviews();
};

void TestPhotoGridItems::solidCellsRender_data()
{
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<QList<QSize>>("sizes");
    QTest::addColumn<qreal>("spacing");
    QTest::newRow("landscape page, mixed") << QSizeF(600, 400)
                                           << QList<QSize> { { 300, 200 }, { 200, 300 }, { 250, 250 } }
                                           << 0.2;
    QTest::newRow("portrait page, portraits") << QSizeF(400, 600)
                                              << QList<QSize> { { 200, 300 }, { 200, 300 }, { 180, 320 }, { 210, 300 } }
                                              << 0.1;
    QTest::newRow("square page, no spacing") << QSizeF(500, 500)
                                             << QList<QSize> { { 400, 400 }, { 640, 360 } } << 0.0;
}

void TestPhotoGridItems::solidCellsRender()
{
    QFETCH(QSizeF, page);
    QFETCH(QList<QSize>, sizes);
    QFETCH(qreal, spacing);
    const QList<QColor> colours { Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::cyan };
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(page, solidPictures(dir, sizes, colours)));
    QCOMPARE(p.layer->cellItems().size(), sizes.size());
    p.theme->rotationRestrictions()->setVariation(0);
    p.theme->setBorderRelative(spacing);
    const QImage out = p.render();

    const qreal border = p.theme->border();
    for (const auto &c : p.theme->items()) {
        const int row = p.document->imageList()->indexOf(c->image()).row();
        QVERIFY(row >= 0);
        const QRectF cellArea = c->rect().adjusted(border, border, -border, -border);
        // The middle and the inner corners of the photo area show the photo.
        const QColor expected = colours.at(row % colours.size());
        for (const QPointF &probe : { cellArea.center(), cellArea.topLeft() + QPointF(3, 3),
                 cellArea.bottomRight() - QPointF(3, 3) })
            QVERIFY2(near(out.pixelColor(probe.toPoint()), expected, 2),
                qPrintable(QStringLiteral("cell %1 at %2,%3").arg(row).arg(probe.x()).arg(probe.y())));
        // The spacing around it shows the background.
        if (border >= 4) {
            const QPointF gap = c->rect().topLeft() + QPointF(border / 2, border / 2);
            QVERIFY(near(out.pixelColor(gap.toPoint()), Background, 2));
        }
    }
}

void TestPhotoGridItems::samplesRender_data()
{
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<QList<int>>("numbers");
    QTest::newRow("landscape photos") << QSizeF(900, 600) << QList<int> { 1, 4, 7 };
    QTest::newRow("portrait photos") << QSizeF(600, 900) << QList<int> { 2, 5 };
    QTest::newRow("all seven") << QSizeF(800, 800) << QList<int> { 1, 2, 3, 4, 5, 6, 7 };
}

void TestPhotoGridItems::samplesRender()
{
    QFETCH(QSizeF, page);
    QFETCH(QList<int>, numbers);
    Page p;
    QVERIFY(p.build(page, samples(numbers)));
    p.theme->rotationRestrictions()->setVariation(0);
    p.theme->setBorderRelative(0.1);
    const QImage out = p.render();
    const QString previews = QStringLiteral("/tmp/griditems-preview");
    if (QDir().mkpath(previews))
        out.save(previews + QStringLiteral("/samples-%1.png").arg(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_')));

    for (PhotoGridGraphicsItem *item : p.layer->cellItems()) {
        // The mean colour over the middle of the picture equals the mean of
        // the part of the photo that is shown there.
        const QRectF middle = QRectF(item->pictureRect().center() - QPointF(20, 20), QSizeF(40, 40));
        const QRect onPage = item->mapRectToItem(p.layer, middle).toRect();
        const QString file = item->properties()->image()->source().toLocalFile();
        QImage photo(file);
        QVERIFY(!photo.isNull());
        const QRect inPhoto = item->imageTransform().inverted().mapRect(middle).toRect();
        QVERIFY2(near(meanColour(out, onPage), meanColour(photo, inPhoto), 10), qPrintable(file));
    }
}

void TestPhotoGridItems::frameAndFilter()
{
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(QSizeF(400, 300), solidPictures(dir, { { 400, 300 } }, { QColor(255, 255, 255) })));
    PhotoGridGraphicsItem *item = p.item(0);
    QCOMPARE(item->cellRect(), QRectF(-200, -150, 400, 300));
    QCOMPARE(item->pictureRect(), item->cellRect());
    p.theme->frames()->setSize(0.05);
    p.theme->frames()->setColor(QColor(0, 0, 0));
    p.theme->frames()->setEnabled(true);
    // Shrunk by min(400, 300) x 0.5 x 0.05 on every side.
    QCOMPARE(item->pictureRect(), QRectF(-192.5, -142.5, 385, 285));
    p.cell(0)->setFilterType(2); // Sepia of white
    QImage out = p.render();
    QVERIFY(near(out.pixelColor(2, 150), QColor(0, 0, 0), 1));
    QVERIFY(near(out.pixelColor(200, 150), QColor(255, 255, 235), 1));
    p.cell(0)->setMaskShape(1); // Circle: the picture's corner shows the frame colour
    out = p.render();
    QVERIFY(near(out.pixelColor(12, 12), QColor(0, 0, 0), 1));
    QVERIFY(near(out.pixelColor(200, 150), QColor(255, 255, 235), 1));
    p.theme->frames()->setEnabled(false);
    QCOMPARE(item->pictureRect(), item->cellRect());
}

void TestPhotoGridItems::cropCorrection_data()
{
    QTest::addColumn<QTransform>("crop");
    QTest::newRow("far left") << QTransform::fromTranslate(-5000, 0);
    QTest::newRow("far right and down") << QTransform::fromTranslate(3000, 800);
    QTest::newRow("zoomed out") << QTransform::fromScale(0.3, 0.3);
    QTest::newRow("zoomed out and moved") << QTransform(0.5, 0, 0, 0.5, -400, 300);
    QTest::newRow("turned") << QTransform().rotate(30);
}

void TestPhotoGridItems::cropCorrection()
{
    QFETCH(QTransform, crop);
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(QSizeF(400, 300), solidPictures(dir, { { 300, 300 } }, { Qt::blue })));
    PhotoGridGraphicsItem *item = p.item(0);
    QVERIFY(item->correctionTransform().isIdentity());
    p.cell(0)->source()->setTransform(crop);
    QVERIFY(!item->correctionTransform().isIdentity());
    // The turned crop is corrected on its bounding box; the rest exactly.
    QVERIFY(visibleInsideImage(item) || crop.isRotating());
    const QImage out = p.render();
    for (const QPoint probe : { QPoint(1, 1), QPoint(398, 1), QPoint(1, 298), QPoint(398, 298), QPoint(200, 150) })
        QVERIFY2(near(out.pixelColor(probe), Qt::blue, 2), qPrintable(QStringLiteral("%1,%2").arg(probe.x()).arg(probe.y())));
}

void TestPhotoGridItems::panStopsAtImageEdge_data()
{
    QTest::addColumn<QPointF>("step");
    QTest::newRow("right") << QPointF(10000, 0);
    QTest::newRow("left") << QPointF(-10000, 0);
    QTest::newRow("down") << QPointF(0, 10000);
    QTest::newRow("up") << QPointF(0, -10000);
}

void TestPhotoGridItems::panStopsAtImageEdge()
{
    QFETCH(QPointF, step);
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(QSizeF(400, 400), solidPictures(dir, { { 600, 300 } }, { Qt::red })));
    PhotoGridGraphicsItem *item = p.item(0);
    // Zoomed in so that there is room in both directions.
    p.cell(0)->source()->setTransform(QTransform(2, 0, 0, 2, -300, -150));
    p.stack()->clear();
    const QTransform before = p.cell(0)->source()->transform();
    item->panImage(QPointF(0, 0), step);
    QVERIFY(visibleInsideImage(item));
    QVERIFY(item->correctionTransform().isIdentity());
    // The visible part touches the edge the pan went away from.
    const QRectF visible = item->imageTransform().inverted().mapRect(item->pictureRect());
    const QRectF image(0, 0, 600, 300);
    if (step.x() > 0)
        QCOMPARE(visible.left() + 1, image.left() + 1);
    if (step.x() < 0)
        QCOMPARE(visible.right(), image.right());
    if (step.y() > 0)
        QCOMPARE(visible.top() + 1, image.top() + 1);
    if (step.y() < 0)
        QCOMPARE(visible.bottom(), image.bottom());
    // A further pan the same way changes nothing; undo restores the crop.
    const QTransform panned = p.cell(0)->source()->transform();
    item->panImage(QPointF(0, 0), step);
    QCOMPARE(p.cell(0)->source()->transform(), panned);
    p.stack()->undo();
    QCOMPARE(p.cell(0)->source()->transform(), before);
}

void TestPhotoGridItems::turnAndZoomStaysOnImage()
{
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(QSizeF(400, 400), solidPictures(dir, { { 500, 400 } }, { Qt::red })));
    PhotoGridGraphicsItem *item = p.item(0);
    // Zoom in twice as far from the centre, then turn a quarter.
    item->turnAndZoomImage(QPointF(50, 0), QPointF(100, 0));
    const QTransform zoomed = p.cell(0)->source()->transform();
    QVERIFY(qAbs(zoomed.m11() - 2) < 1e-9);
    QVERIFY(visibleInsideImage(item));
    item->turnAndZoomImage(QPointF(100, 0), QPointF(0, 100));
    QVERIFY(visibleInsideImage(item));
    // Zooming far out stops where the image still covers the picture.
    item->turnAndZoomImage(QPointF(100, 0), QPointF(1, 0));
    QVERIFY(visibleInsideImage(item));
    QVERIFY(item->correctionTransform().isIdentity());
    p.cell(0)->source()->setTransform(QTransform());
    item->turnAndZoomImage(QPointF(100, 0), QPointF(10, 0));
    QVERIFY(visibleInsideImage(item));
    QCOMPARE(p.cell(0)->source()->transform(), QTransform());
}

void TestPhotoGridItems::turnCellGesture()
{
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(QSizeF(400, 400), solidPictures(dir, { { 500, 400 } }, { Qt::red })));
    p.theme->rotationRestrictions()->setZero(0);
    p.theme->rotationRestrictions()->setVariation(45);
    p.cell(0)->setAngle(0);
    PhotoGridGraphicsItem *item = p.item(0);
    QCOMPARE(item->hitTest(QPointF(190, 0)), 0); // not selected
    item->setSelected(true);
    QCOMPARE(item->hitTest(QPointF(190, 0)), int(EditableGraphicsObject::RotatePart));
    QCOMPARE(item->hitTest(QPointF(0, 0)), 0);
    item->turnCell(QPointF(100, 0), QPointF(100, 10));
    QVERIFY(qAbs(p.cell(0)->angle() - 5.7106) < 1e-3);
    QCOMPARE(item->rotation(), p.cell(0)->angle());
    p.theme->rotationRestrictions()->setVariation(0);
    QCOMPARE(item->hitTest(QPointF(190, 0)), 0);
    item->setImageMode(true);
    QCOMPARE(item->hitTest(QPointF(0, 0)), int(EditableGraphicsObject::SecondMovePart));
    QCOMPARE(item->hitTest(QPointF(190, 0)), int(EditableGraphicsObject::SecondRotateScalePart));
}

void TestPhotoGridItems::imageModeToggling()
{
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(QSizeF(600, 400), solidPictures(dir, { { 300, 200 }, { 300, 200 } }, { Qt::red, Qt::blue })));
    p.theme->rotationRestrictions()->setVariation(0);
    QVERIFY(p.show());
    PhotoGridGraphicsItem *first = p.item(0);
    PhotoGridGraphicsItem *second = p.item(1);
    p.click(p.centre(0));
    QVERIFY(first->isSelected());
    QVERIFY(!first->imageMode());
    p.click(p.centre(0));
    QVERIFY(first->imageMode());
    QCOMPARE(p.scene->overlayOwner(), first);
    QVERIFY(qgraphicsitem_cast<QGraphicsItem *>(p.scene->overlayItem()));
    QVERIFY(dynamic_cast<InnerImageHandler *>(p.scene->overlayItem()));
    // A click on the overlay over the cell leaves image mode.
    p.click(p.centre(0));
    QVERIFY(!first->imageMode());
    QTRY_VERIFY(p.scene->overlayItem() == nullptr);
    // Selecting another cell ends image mode as well.
    p.click(p.centre(0));
    QVERIFY(first->imageMode());
    second->setSelected(true);
    first->setSelected(false);
    QVERIFY(!first->imageMode());
    QVERIFY(p.scene->overlayItem() == nullptr);
}

void TestPhotoGridItems::dropExchangeAndPlace()
{
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(QSizeF(600, 400), solidPictures(dir, { { 300, 200 }, { 200, 300 }, { 250, 250 } }, { Qt::red, Qt::green, Qt::blue })));
    const auto original = p.cells();

    // A cell onto itself changes nothing.
    QMimeData self;
    self.setData(QString::fromLatin1(PhotoGridGraphicsItem::MimeType), PhotoGridGraphicsItem::encodeAddress(p.cell(0)));
    QCOMPARE(p.layer->cellItemAt(p.centre(0)), p.item(0));
    QCOMPARE(p.layer->sourceCell(&self).data(), p.cell(0));
    QCOMPARE(p.layer->dropActionAt(&self, p.centre(0)), Qt::IgnoreAction);
    QVERIFY(!p.dropAt(&self, p.centre(0)));
    QCOMPARE(p.stack()->count(), 0);

    // Onto another cell: the two sources change places.
    const auto source0 = p.cell(0)->source();
    const auto source1 = p.cell(1)->source();
    QVERIFY(p.dropAt(&self, p.centre(1)));
    QCOMPARE(p.cell(0)->source(), source1);
    QCOMPARE(p.cell(1)->source(), source0);
    QCOMPARE(p.stack()->count(), 1);
    p.stack()->undo();
    QCOMPARE(p.cells(), original);
    p.stack()->redo();
    QCOMPARE(p.cell(0)->source(), source1);
    p.stack()->undo();

    // An image from the strip onto a cell that shows another image.
    ImageList *list = p.document->imageList();
    const auto image0 = p.cell(0)->image();
    const int row0 = list->indexOf(image0).row();
    QScopedPointer<QMimeData> strip(list->mimeData({ list->index(row0) }));
    QVERIFY(!p.dropAt(strip.data(), p.centre(0))); // already shown there
    QCOMPARE(p.stack()->index(), 0);
    QVERIFY(p.dropAt(strip.data(), p.centre(2)));
    QCOMPARE(p.cell(2)->image(), image0);
    p.stack()->undo();
    QCOMPARE(p.cells(), original);

    // Data of an unknown kind is refused.
    QMimeData text;
    text.setText(QStringLiteral("hello"));
    QVERIFY(!p.dropAt(&text, p.centre(1)));
    QCOMPARE(p.cells(), original);
}

void TestPhotoGridItems::bogusCellAddressRefused_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("null address") << 0;
    QTest::newRow("random address") << 1;
    QTest::newRow("cell of another document") << 2;
    QTest::newRow("too short") << 3;
    QTest::newRow("too long") << 4;
    QTest::newRow("empty") << 5;
    QTest::newRow("removed cell") << 6;
    QTest::newRow("address of the theme") << 7;
}

void TestPhotoGridItems::bogusCellAddressRefused()
{
    QFETCH(int, kind);
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(QSizeF(600, 400), solidPictures(dir, { { 300, 200 }, { 200, 300 } }, { Qt::red, Qt::green })));
    Page other;
    QVERIFY(other.build(QSizeF(600, 400), solidPictures(dir, { { 300, 200 } }, { Qt::blue })));
    QSharedPointer<PhotoGridItemProperties> removed;

    QByteArray bytes;
    switch (kind) {
    case 0: bytes = addressBytes(0); break;
    case 1: bytes = addressBytes(0xdeadbeefcafe0010ULL); break;
    case 2: bytes = PhotoGridGraphicsItem::encodeAddress(other.cell(0)); break;
    case 3: bytes = PhotoGridGraphicsItem::encodeAddress(p.cell(0)).left(4); break;
    case 4: bytes = PhotoGridGraphicsItem::encodeAddress(p.cell(0)) + QByteArray(8, '\0'); break;
    case 5: break;
    case 6:
        removed = p.theme->items().at(1);
        bytes = PhotoGridGraphicsItem::encodeAddress(removed.data());
        p.theme->removeItem(removed);
        p.stack()->clear();
        break;
    case 7: bytes = addressBytes(quint64(quintptr(p.theme))); break;
    }
    const auto before = p.cells();
    QMimeData data;
    data.setData(QString::fromLatin1(PhotoGridGraphicsItem::MimeType), bytes);
    QVERIFY(!p.layer->sourceCell(&data));
    QCOMPARE(p.layer->dropActionAt(&data, p.centre(0)), Qt::IgnoreAction);
    QVERIFY(!p.dropAt(&data, p.centre(0)));
    QCOMPARE(p.cells(), before);
    QCOMPARE(p.stack()->count(), 0);
}

void TestPhotoGridItems::dropFilesAddsImages()
{
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(QSizeF(600, 400), solidPictures(dir, { { 300, 200 } }, { Qt::red })));
    QImage extra(200, 300, QImage::Format_RGB32);
    extra.fill(Qt::green);
    const QString path = dir.filePath(QStringLiteral("extra.png"));
    QVERIFY(extra.save(path));
    QMimeData files;
    files.setUrls({ QUrl::fromLocalFile(path) });
    QCOMPARE(p.layer->dropActionAt(&files, p.centre(0)), Qt::CopyAction);
    QVERIFY(p.dropAt(&files, p.centre(0)));
    QCOMPARE(p.document->imageList()->count(), 2);
    QCOMPARE(p.layer->cellItems().size(), 2);
    p.stack()->undo();
    QCOMPARE(p.layer->cellItems().size(), 1);
    // A file that is no image adds nothing and is refused.
    const QString junk = dir.filePath(QStringLiteral("junk.png"));
    QFile file(junk);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    files.setUrls({ QUrl::fromLocalFile(junk) });
    QVERIFY(!p.dropAt(&files, p.centre(0)));
    QCOMPARE(p.document->imageList()->count(), 1);
}

void TestPhotoGridItems::contextMenu()
{
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(QSizeF(400, 300), solidPictures(dir, { { 400, 300 } }, { Qt::red })));
    QScopedPointer<QMenu> menu(p.item(0)->createContextMenu());
    auto *filters = menu->findChild<QMenu *>(QStringLiteral("filterMenu"));
    auto *masks = menu->findChild<QMenu *>(QStringLiteral("maskMenu"));
    QVERIFY(filters && masks);
    QCOMPARE(filters->actions().size(), 6);
    QCOMPARE(masks->actions().size(), 6);
    QVERIFY(filters->actions().at(0)->isChecked());
    filters->actions().at(2)->trigger();
    filters->actions().at(3)->trigger();
    QCOMPARE(p.cell(0)->filterType(), 3);
    QCOMPARE(p.stack()->count(), 1); // merged
    masks->actions().at(4)->trigger();
    QCOMPARE(p.cell(0)->maskShape(), 4);
    p.stack()->undo();
    p.stack()->undo();
    QCOMPARE(p.cell(0)->filterType(), 0);
    QCOMPARE(p.cell(0)->maskShape(), 0);
}

void TestPhotoGridItems::controlWidget()
{
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(QSizeF(600, 400), solidPictures(dir, { { 300, 200 }, { 200, 300 }, { 250, 250 } }, { Qt::red })));
    PhotoGrigControlWidget widget(p.theme);
    QSlider *slider = widget.findChild<QSlider *>(QStringLiteral("borederSlider"));
    QVERIFY(slider);
    QCOMPARE(slider->value(), 0);
    QVERIFY(!QPixmap(QStringLiteral(":/spacing1.png")).isNull());
    QVERIFY(!QPixmap(QStringLiteral(":/spacing2.png")).isNull());
    slider->setValue(10);
    slider->setValue(20);
    slider->setValue(30);
    QCOMPARE(p.theme->borderRelative(), 0.3);
    QCOMPARE(p.stack()->count(), 1);
    p.theme->setBorderRelative(0.55);
    QCOMPARE(slider->value(), 55);
    p.stack()->undo();
    QCOMPARE(p.theme->borderRelative(), 0.0);
    QCOMPARE(slider->value(), 0);
    // The photo is drawn the spacing unit inside its cell.
    p.theme->setBorderRelative(0.3);
    const QRectF area = p.cell(0)->rect();
    const qreal b = p.theme->border();
    QVERIFY(b > 0);
    QCOMPARE(p.item(0)->cellRect().size(), area.size() - QSizeF(2 * b, 2 * b));
    QCOMPARE(p.item(0)->pos(), area.center());

    QPushButton *button = widget.findChild<QPushButton *>(QStringLiteral("pushButton"));
    QVERIFY(button);
    QCOMPARE(button->text(), QStringLiteral("Rearrange"));
    button->click();
    QCOMPARE(p.layer->cellItems().size(), 3);
    QCOMPARE(p.theme->items().size(), 3);
}

void TestPhotoGridItems::shadowsAndWidgets()
{
    QTemporaryDir dir;
    Page p;
    QVERIFY(p.build(QSizeF(600, 400), solidPictures(dir, { { 300, 200 }, { 200, 300 } }, { Qt::red })));
    QCOMPARE(p.layer->shadowsWatcher()->effectCount(), 2);
    p.theme->shadows()->setGroup(true);
    QCOMPARE(p.layer->shadowsWatcher()->effectCount(), 1);
    p.theme->shadows()->setGroup(false);
    p.stack()->undo();
    p.stack()->undo();
    QCOMPARE(p.layer->shadowsWatcher()->effectCount(), 2);

    QWidget parent;
    const QList<QWidget *> pages = p.theme->createPropertyWidgets(&parent);
    QCOMPARE(pages.size(), 4);
    QVERIFY(qobject_cast<PhotoGrigControlWidget *>(pages.at(0)));
    QVERIFY(qobject_cast<ShadowControlWidget *>(pages.at(1)));
    QVERIFY(qobject_cast<FrameControlWidget *>(pages.at(2)));
    QVERIFY(qobject_cast<BackgroundControlWidget *>(pages.at(3)));
}

void TestPhotoGridItems::templatePreviews_data()
{
    QTest::addColumn<QString>("file");
    QTest::newRow("Magazine") << QStringLiteral(":/MosaicTemplates/magazine.qjs");
    QTest::newRow("Polaroid") << QStringLiteral(":/MosaicTemplates/polaroid.qjs");
    QTest::newRow("Diamond Tilt") << QStringLiteral(":/MosaicTemplates/diamondTilt.qjs");
    QTest::newRow("Neon Pop") << QStringLiteral(":/MosaicTemplates/neonPop.qjs");
}

void TestPhotoGridItems::templatePreviews()
{
    QFETCH(QString, file);
    QFile script(file);
    QVERIFY(script.open(QIODevice::ReadOnly));
    Page p;
    QVERIFY(p.build(QSizeF(900, 600), samples({ 1, 2, 3, 4, 5, 6 })));
    JSTemplate look(script.readAll(), BuiltInThemes::MosaicId, p.document.data());
    Theme *theme = look.createTheme(p.document.data());
    QVERIFY(theme);
    p.document->setTheme(theme);
    p.theme = qobject_cast<MosaicTheme *>(p.document->theme());
    QVERIFY(p.theme);
    QCOMPARE(p.theme->items().size(), 6);
    const QImage out = p.render();
    const QString previews = QStringLiteral("/tmp/griditems-preview");
    if (QDir().mkpath(previews))
        out.save(previews + QStringLiteral("/template-%1.png").arg(QString::fromLatin1(QTest::currentDataTag()).replace(' ', '_')));
    // Every cell's middle shows its photo, not the page behind it.
    for (const auto &c : p.theme->items()) {
        const QColor middle = out.pixelColor(c->rect().center().toPoint());
        QVERIFY(middle != QColor(Qt::black));
    }
}

QTEST_MAIN(TestPhotoGridItems)
#include "tst_photogriditems.moc"
