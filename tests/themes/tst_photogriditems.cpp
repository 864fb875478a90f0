#include <QFile>
#include <QGraphicsSceneDragDropEvent>
#include <QMenu>
#include <QMimeData>
#include <QPainter>
#include <QTest>

#include <cstring>

#include "model/backgroundproperties.h"
#include "model/frameproperties.h"
#include "model/imagesource.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "model/transformedimagesource.h"
#include "scene/documentitem.h"
#include "scene/scene.h"
#include "themes/builtinthemes.h"
#include "themes/photogrid/mosaictheme.h"
#include "themes/photogrid/photogridgraphicsitem.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/photogridsceneitem.h"
#include "themes/themetestdata.h"

using ThemeTestData::near;

namespace {

const QColor Background(255, 0, 255);

// A Mosaic page of plain cells in a scene, so that every pixel of a photo
// area is the photo's.
struct Page
{
    ThemeTestData::PhotoFiles photos;
    QScopedPointer<Document> document;
    MosaicTheme *theme = nullptr;
    QScopedPointer<Scene> scene;
    PhotoGridSceneItem *layer = nullptr;

    // One solid picture of each size, in the colours in turn, written as PNG
    // so that colours stay exact.
    bool build(const QSizeF &pageSize, const QList<QSize> &sizes,
        const QList<QColor> &colours = { Qt::red, Qt::green, Qt::blue })
    {
        QList<QUrl> urls;
        for (int i = 0; i < sizes.size(); ++i)
            urls.append(photos.write(sizes.at(i), colours.at(i % colours.size())));
        RandomGenerator::seed(7);
        document.reset(ThemeTestData::newDocument(pageSize, urls, BuiltInThemes::MosaicId));
        theme = document ? qobject_cast<MosaicTheme *>(document->theme()) : nullptr;
        if (!theme)
            return false;
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

    UndoStack *stack() const { return document->undoStack(); }
    PhotoGridItemProperties *cell(int i) const { return theme->items().at(i).data(); }
    PhotoGridGraphicsItem *item(int i) const { return layer->cellItem(cell(i)); }
    QPointF centre(int i) const { return item(i)->mapToItem(layer, QPointF(0, 0)); }

    // Drags `data` onto the layer at a page point; returns whether the drop
    // was accepted.
    bool dropAt(QMimeData *data, const QPointF &pagePoint)
    {
        bool accepted = false;
        for (QEvent::Type type : { QEvent::GraphicsSceneDragEnter, QEvent::GraphicsSceneDrop }) {
            QGraphicsSceneDragDropEvent event(type);
            event.setMimeData(data);
            event.setScenePos(layer->mapToScene(pagePoint));
            event.setPos(pagePoint);
            event.setPossibleActions(Qt::CopyAction | Qt::MoveAction);
            event.setProposedAction(Qt::CopyAction);
            event.setAccepted(false);
            scene->sendEvent(layer, &event);
            accepted = event.isAccepted();
        }
        return accepted;
    }

    QImage render() const
    {
        const QSize size = document->pageSize().size().toSize();
        QImage image(size, QImage::Format_ARGB32_Premultiplied);
        image.fill(Qt::black);
        QPainter painter(&image);
        document->render(&painter, QRectF(QPointF(0, 0), QSizeF(size)));
        return image;
    }

    // Every cell's rectangle, angle, source, image and crop.
    QList<QVariantList> cells() const
    {
        QList<QVariantList> result;
        for (const auto &c : theme->items())
            result.append({ c->rect(), c->angleRelative(), quintptr(c->source().data()),
                quintptr(c->image().data()), c->source()->transform() });
        return result;
    }
};

bool visibleInsideImage(PhotoGridGraphicsItem *item)
{
    const QRectF image(QPointF(0, 0), QSizeF(item->properties()->image()->size()));
    const QRectF visible = item->imageTransform().inverted().mapRect(item->pictureRect());
    return image.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(visible);
}

} // namespace

class TestPhotoGridItems : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BuiltInThemes::registerAll(); }

    void cellsRender()
    {
        const QList<QColor> colours { Qt::red, Qt::green, Qt::blue };
        Page p;
        QVERIFY(p.build(QSizeF(600, 400), { { 300, 200 }, { 200, 300 }, { 250, 250 } }, colours));
        QCOMPARE(p.layer->cellItems().size(), 3);
        p.theme->setBorderRelative(0.2);
        const QImage out = p.render();
        const qreal border = p.theme->border();
        QVERIFY(border >= 4);
        for (const auto &c : p.theme->items()) {
            const int row = p.document->imageList()->indexOf(c->image()).row();
            const QRectF area = c->rect().adjusted(border, border, -border, -border);
            // The middle and the inner corners of the photo area show the photo,
            // the spacing around it the background.
            for (const QPointF &probe : { area.center(), area.topLeft() + QPointF(3, 3),
                     area.bottomRight() - QPointF(3, 3) })
                QVERIFY(near(out.pixelColor(probe.toPoint()), colours.at(row), 2));
            const QPointF gap = c->rect().topLeft() + QPointF(border / 2, border / 2);
            QVERIFY(near(out.pixelColor(gap.toPoint()), Background, 2));
        }
    }

    void cropCorrection()
    {
        Page p;
        QVERIFY(p.build(QSizeF(400, 300), { { 300, 300 } }, { Qt::blue }));
        PhotoGridGraphicsItem *item = p.item(0);
        QVERIFY(item->correctionTransform().isIdentity());
        // Zoomed out and moved, then turned.
        for (const QTransform &crop :
            { QTransform(0.5, 0, 0, 0.5, -400, 300), QTransform().rotate(30) }) {
            p.cell(0)->source()->setTransform(crop);
            QVERIFY(!item->correctionTransform().isIdentity());
            // The turned crop is corrected on its bounding box; the rest exactly.
            QVERIFY(visibleInsideImage(item) || crop.isRotating());
            // No corner of the cell is left without the photo.
            const QImage out = p.render();
            for (const QPoint probe : { QPoint(1, 1), QPoint(398, 1), QPoint(1, 298),
                     QPoint(398, 298), QPoint(200, 150) })
                QVERIFY(near(out.pixelColor(probe), Qt::blue, 2));
        }
    }

    void panAndZoomStayOnImage()
    {
        Page p;
        QVERIFY(p.build(QSizeF(400, 400), { { 600, 300 } }));
        PhotoGridGraphicsItem *item = p.item(0);
        // Zoomed in so that there is room in every direction.
        const QTransform zoomed(2, 0, 0, 2, -300, -150);
        for (const QPointF step : { QPointF(10000, 0), QPointF(0, -10000) }) {
            p.cell(0)->source()->setTransform(zoomed);
            p.stack()->clear();
            item->panImage(QPointF(0, 0), step);
            // The visible part touches the edge the pan went away from.
            const QRectF visible = item->imageTransform().inverted().mapRect(item->pictureRect());
            QVERIFY(visibleInsideImage(item));
            QVERIFY(qAbs(step.x() > 0 ? visible.left() : 300 - visible.bottom()) < 1e-6);
            // A further pan the same way changes nothing; undo restores the crop.
            const QTransform panned = p.cell(0)->source()->transform();
            item->panImage(QPointF(0, 0), step);
            QCOMPARE(p.cell(0)->source()->transform(), panned);
            p.stack()->undo();
            QCOMPARE(p.cell(0)->source()->transform(), zoomed);
        }

        // Zoom in twice as far from the centre, then turn a quarter.
        p.cell(0)->source()->setTransform(QTransform());
        item->turnAndZoomImage(QPointF(50, 0), QPointF(100, 0));
        QVERIFY(qAbs(p.cell(0)->source()->transform().m11() - 2) < 1e-9);
        item->turnAndZoomImage(QPointF(100, 0), QPointF(0, 100));
        QVERIFY(visibleInsideImage(item));
        // Zooming far out stops where the image still covers the picture.
        item->turnAndZoomImage(QPointF(100, 0), QPointF(1, 0));
        QVERIFY(visibleInsideImage(item));
        QVERIFY(item->correctionTransform().isIdentity());
    }

    void dropExchangeAndPlace()
    {
        Page p;
        QVERIFY(p.build(QSizeF(600, 400), { { 300, 200 }, { 200, 300 }, { 250, 250 } }));
        const auto original = p.cells();

        // A cell onto itself changes nothing.
        QMimeData self;
        self.setData(QString::fromLatin1(PhotoGridGraphicsItem::MimeType),
            PhotoGridGraphicsItem::encodeAddress(p.cell(0)));
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

        // An image from the strip onto a cell that shows another image.
        ImageList *list = p.document->imageList();
        const auto image0 = p.cell(0)->image();
        QScopedPointer<QMimeData> strip(list->mimeData({ list->indexOf(image0) }));
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

        // Files dropped on a cell are added; a file that is no image is refused.
        const QUrl extra = p.photos.write(QSize(200, 300), Qt::green);
        QFile junk(p.photos.path(QStringLiteral("junk.png")));
        QVERIFY(junk.open(QIODevice::WriteOnly) && junk.write("not a picture") > 0);
        junk.close();
        QMimeData files;
        files.setUrls({ QUrl::fromLocalFile(junk.fileName()) });
        QVERIFY(!p.dropAt(&files, p.centre(0)));
        QCOMPARE(list->count(), 3);
        files.setUrls({ extra });
        QCOMPARE(p.layer->dropActionAt(&files, p.centre(0)), Qt::CopyAction);
        QVERIFY(p.dropAt(&files, p.centre(0)));
        QCOMPARE(p.layer->cellItems().size(), 4);
        p.stack()->undo();
        QCOMPARE(p.cells(), original);
    }

    void bogusCellAddressRefused_data()
    {
        QTest::addColumn<int>("kind");
        QTest::newRow("null address") << 0;
        QTest::newRow("cell of another document") << 1;
        QTest::newRow("too short") << 2;
        QTest::newRow("removed cell") << 3;
        QTest::newRow("address of the theme") << 4;
    }

    void bogusCellAddressRefused()
    {
        QFETCH(int, kind);
        Page p;
        QVERIFY(p.build(QSizeF(600, 400), { { 300, 200 }, { 200, 300 } }));
        Page other;
        QVERIFY(other.build(QSizeF(600, 400), { { 300, 200 } }));
        const auto address = [](quint64 value) {
            QByteArray bytes(8, '\0');
            std::memcpy(bytes.data(), &value, 8);
            return bytes;
        };
        const QByteArray own = PhotoGridGraphicsItem::encodeAddress(p.cell(0));
        const QSharedPointer<PhotoGridItemProperties> removed = p.theme->items().at(1);
        const QList<QByteArray> payloads { address(0),
            PhotoGridGraphicsItem::encodeAddress(other.cell(0)), own.left(4),
            PhotoGridGraphicsItem::encodeAddress(removed.data()), address(quintptr(p.theme)) };
        if (kind == 3) {
            p.theme->removeItem(removed);
            p.stack()->clear();
        }
        const auto before = p.cells();
        QMimeData data;
        data.setData(QString::fromLatin1(PhotoGridGraphicsItem::MimeType), payloads.at(kind));
        QVERIFY(!p.layer->sourceCell(&data));
        QCOMPARE(p.layer->dropActionAt(&data, p.centre(0)), Qt::IgnoreAction);
        QVERIFY(!p.dropAt(&data, p.centre(0)));
        QCOMPARE(p.cells(), before);
        QCOMPARE(p.stack()->count(), 0);
    }

    void contextMenuAndControls()
    {
        Page p;
        QVERIFY(p.build(QSizeF(600, 400), { { 300, 200 }, { 200, 300 }, { 250, 250 } }));
        QScopedPointer<QMenu> menu(p.item(0)->createContextMenu());
        auto *filters = menu->findChild<QMenu *>(QStringLiteral("filterMenu"));
        auto *masks = menu->findChild<QMenu *>(QStringLiteral("maskMenu"));
        QVERIFY(filters && masks);
        filters->actions().at(2)->trigger();
        filters->actions().at(3)->trigger();
        masks->actions().at(4)->trigger();
        QCOMPARE(p.stack()->count(), 2); // the filter choices merged
        ThemeTestData::compareUndoRedo(
            p.stack(), [&p] { return std::pair(p.cell(0)->filterType(), p.cell(0)->maskShape()); },
            std::pair(0, 0), std::pair(3, 4));
    }
};

QTEST_MAIN(TestPhotoGridItems)
#include "tst_photogriditems.moc"
