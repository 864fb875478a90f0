#include <QFile>
#include <QGraphicsSceneDragDropEvent>
#include <QItemSelection>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>
#include <cmath>
#include <functional>

#include "io/documentfile.h"
#include "model/frameproperties.h"
#include "model/imagesource.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "model/transformedimagesource.h"
#include "scene/documentitem.h"
#include "scene/scene.h"
#include "themes/builtinthemes.h"
#include "themes/photogrid/mosaictheme.h"
#include "themes/photogrid/photogridgraphicsitem.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/photogridsceneitem.h"
#include "themes/photogrid/photogridsplit.h"
#include "themes/photogrid/photogridtheme.h"
#include "themes/photogrid/rowslayout.h"
#include "themes/photogrid/rowstheme.h"
#include "themes/themetestdata.h"
#include "undo/undocommandwrapper.h"

using namespace ThemeTestData;

namespace {

struct Cell
{
    QRectF rect;
    qreal angleRelative;
    const TransformedImageSource *source;
    const ImageSource *image;
    QTransform crop;
    int filter;
    int mask;

    auto fields() const { return std::tie(rect, angleRelative, source, image, crop, filter, mask); }
    bool operator==(const Cell &o) const { return fields() == o.fields(); }
};

QList<Cell> cellsOf(const PhotoGridTheme *theme)
{
    QList<Cell> cells;
    for (const auto &item : theme->items())
        cells.append(
            { item->rect(), item->angleRelative(), item->source().data(), item->image().data(),
                item->source()->transform(), item->filterType(), item->maskShape() });
    return cells;
}

// The cells without the objects they show, to compare separate documents.
QList<Cell> placesOf(const PhotoGridTheme *theme)
{
    QList<Cell> cells = cellsOf(theme);
    for (Cell &cell : cells) {
        cell.source = nullptr;
        cell.image = nullptr;
    }
    return cells;
}

QList<QRectF> rects(const PhotoGridTheme *theme)
{
    QList<QRectF> result;
    for (const auto &item : theme->items())
        result.append(item->rect());
    return result;
}

int timesShown(const PhotoGridTheme *theme, const ImageSource *image)
{
    int count = 0;
    for (const auto &item : theme->items())
        count += item->image().data() == image ? 1 : 0;
    return count;
}

// The cells by the image they show, in list order.
QList<QRectF> cellsInListOrder(const RowsTheme *theme)
{
    QList<QRectF> cells;
    for (const auto &image : theme->document()->imageList()->items()) {
        for (const auto &item : theme->items()) {
            if (item->image() == image)
                cells.append(item->rect());
        }
    }
    return cells;
}

// Checks that the cells tile the page, one per photo, and that every photo
// keeps most of its area in its cell less the spacing and the frame.
bool coversPage(const RowsTheme *theme, QString *why)
{
    const qreal frame = theme->frames()->enabled() ? theme->frames()->size() : 0;
    for (const auto &item : theme->items()) {
        const QSizeF photo = item->image()->size();
        *why = QStringLiteral("a photo is cut");
        if (keptShare(item->rect(), theme->border(), frame, photo.width() / photo.height()) < 0.8)
            return false;
    }
    if (theme->items().size() == theme->document()->imageList()->count())
        return tiles(rects(theme), theme->document()->pageSize().size(), why);
    *why = QStringLiteral("%1 cells").arg(theme->items().size());
    return false;
}

// A Mosaic page of plain cells in a scene, so that every pixel of a photo
// area is the photo's.
struct Page
{
    ThemeTestData::PhotoFiles photos;
    QScopedPointer<Document> document;
    MosaicTheme *theme = nullptr;
    QScopedPointer<Scene> scene;
    PhotoGridSceneItem *layer = nullptr;

    // One solid picture of each size.
    bool build(const QSizeF &pageSize, const QList<QSize> &sizes)
    {
        RandomGenerator::seed(7);
        document.reset(newDocument(pageSize, photos.write(sizes), BuiltInThemes::MosaicId));
        theme = document ? qobject_cast<MosaicTheme *>(document->theme()) : nullptr;
        if (!theme)
            return false;
        theme->frames()->setEnabled(false);
        theme->rotationRestrictions()->setVariation(0);
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
};

// No corner of the cell's picture is left without the photo.
bool visibleInsideImage(PhotoGridGraphicsItem *item)
{
    const QRectF image = QRectF(QPointF(0, 0), QSizeF(item->properties()->image()->size()))
                             .adjusted(-1e-6, -1e-6, 1e-6, 1e-6);
    const QPolygonF visible = item->imageTransform().inverted().map(QPolygonF(item->pictureRect()));
    return std::all_of(
        visible.begin(), visible.end(), [&image](const QPointF &p) { return image.contains(p); });
}

using Aspects = QList<qreal>;

// The best uniform fit of any cut into rows, found by trying all of them.
qreal bruteForceBestFit(const Aspects &aspects, const QSizeF &page, qreal border)
{
    const int n = int(aspects.size());
    qreal best = 0;
    for (quint32 breaks = 0; breaks < (1u << (n - 1)); ++breaks) {
        qreal natural = 0;
        int lines = 0;
        int first = 0;
        bool valid = true;
        for (int k = 0; k < n; ++k) {
            const bool endsLine = k == n - 1 || (breaks & (1u << k));
            if (!endsLine)
                continue;
            qreal sum = 0;
            for (int i = first; i <= k; ++i)
                sum += aspects[i];
            const qreal room = page.width() - 2 * border * (k - first + 1);
            valid = valid && room > 0;
            natural += room / sum;
            ++lines;
            first = k + 1;
        }
        const qreal share = (page.height() - 2 * border * lines) / natural;
        if (valid && share > 0)
            best = qMax(best, qMin(share, 1 / share));
    }
    return best;
}

} // namespace

using Item = PhotoGridItemProperties;
using Change = std::function<void(Item &, Document *, int)>;
Q_DECLARE_METATYPE(Change)

// The grid themes: the cells and their undo steps, the Mosaic and Rows
// layouts at work in documents, the cells handled on the page, and the
// geometry of the layouts.
class TestPhotoGrid : public QObject
{
    Q_OBJECT

private:
    auto cellsNow(const PhotoGridTheme *theme) const
    {
        return [theme] { return cellsOf(theme); };
    }
    // A document of `urls` laid out by the built-in theme `id`.
    template<typename T>
    T *laidOut(const QByteArray &id, const QSizeF &page, const QList<QUrl> &urls)
    {
        m_laidOut.reset(newDocument(page, urls, id));
        return m_laidOut ? qobject_cast<T *>(m_laidOut->theme()) : nullptr;
    }
    MosaicTheme *mosaic(const QSizeF &page, const QList<QUrl> &urls)
    {
        return laidOut<MosaicTheme>(BuiltInThemes::MosaicId, page, urls);
    }
    RowsTheme *rows(const QSizeF &page, const QList<QSize> &sizes)
    {
        return laidOut<RowsTheme>(BuiltInThemes::RowsId, page, m_photos.write(sizes));
    }
    // The order of the images and their cells.
    auto rowsState(const RowsTheme *theme) const
    {
        return [this, theme] {
            return std::pair(m_laidOut->imageList()->items(), cellsInListOrder(theme));
        };
    }

    PhotoFiles m_photos;
    QList<QUrl> m_urls; // two photos for the cell tests
    Document *m_document = nullptr;
    RotationRestriction *m_restriction = nullptr;
    QScopedPointer<Document> m_laidOut; // for the Mosaic and Rows tests

private Q_SLOTS:
    void initTestCase()
    {
        BuiltInThemes::registerAll();
        QVERIFY(!(m_urls = m_photos.write({ { 40, 30 }, { 60, 30 } })).isEmpty());
    }

    void init()
    {
        m_document = newDocument(QSizeF(300, 200), m_urls, {}, this);
        QVERIFY(m_document);
        m_restriction = new RotationRestriction(nullptr, m_document);
        m_restriction->setZero(10);
        m_restriction->setVariation(20);
        m_restriction->setDocument(m_document);
        m_document->undoStack()->clear();
    }
    void cleanup()
    {
        RandomGenerator::reseed();
        delete m_document;
        m_document = nullptr;
        m_laidOut.reset();
    }

    void spacing()
    {
        QScopedPointer<Document> document(newDocument(QSizeF(900, 1600), {}));
        PhotoGridTheme theme(document.data());
        UndoStack *stack = document->undoStack();
        // The relative spacing is clamped to [0, 1]; a value that is no number
        // is ignored.
        for (const auto &[requested, stored] :
            { std::pair(1e9, 1.0), std::pair(-0.2, 0.0), std::pair(qQNaN(), 0.0) }) {
            theme.setBorderRelative(requested);
            QCOMPARE(theme.borderRelative(), stored);
        }
        theme.setBorderRelative(0.4);
        QCOMPARE(theme.border(), 0.4 * 900 * 0.5);
        stack->clear();
        theme.updateMinimumItemSize(1000); // larger: stays
        QCOMPARE(stack->count(), 0);
        theme.updateMinimumItemSize(400);
        theme.updateMinimumItemSize(300);
        // These steps never merge; the absolute spacing follows them.
        QCOMPARE(theme.border(), 60.0);
        // Writing the absolute spacing sets the relative one.
        theme.setBorder(30); // 30 / (300 x 0.5)
        QCOMPARE(theme.borderRelative(), 0.2);
        // Between a reset and the first cut there is no unit to relate to.
        theme.resetMinimumItemSize();
        theme.setBorder(10);
        QCOMPARE(std::pair(theme.border(), theme.borderRelative()), std::pair(0.0, 0.2));
        QCOMPARE(stack->count(), 4);
        stack->undo();
        stack->undo();
        QCOMPARE(std::pair(theme.minimumItemSize(), theme.borderRelative()), std::pair(300.0, 0.4));
        stack->undo();
        QCOMPARE(theme.minimumItemSize(), 400.0);
    }

    void rearrange()
    {
        RandomGenerator::seed(5);
        MosaicTheme *theme = mosaic(QSizeF(3000, 2000), m_photos.cycle(7));
        QVERIFY(theme);
        UndoStack *stack = m_laidOut->undoStack();
        theme->rotationRestrictions()->setZero(10);
        theme->rotationRestrictions()->setVariation(25);
        // Give each image its own crop, filter and mask.
        for (int i = 0; i < theme->items().size(); ++i) {
            const auto &item = theme->items().at(i);
            item->source()->setTransform(QTransform::fromTranslate(i, 2 * i).scale(1.5, 1.5));
            item->setFilterType(i % 6);
            item->setMaskShape((i + 2) % 6);
        }
        stack->clear();
        const QList<Cell> before = cellsOf(theme);

        theme->rearrange();
        const QList<Cell> after = cellsOf(theme);
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->text(0), QStringLiteral("Rearrange"));
        // The images keep their sources, crops, filters and masks, and the
        // (cell, turn) pairs are dealt out anew, each exactly once.
        using Place = std::tuple<qreal, qreal, qreal, qreal, qreal>;
        const auto split = [](QList<Cell> cells) {
            QList<Place> places;
            for (Cell &cell : cells) {
                places.append({ cell.rect.x(), cell.rect.y(), cell.rect.width(), cell.rect.height(),
                    cell.angleRelative });
                cell.rect = QRectF();
                cell.angleRelative = 0;
            }
            std::sort(places.begin(), places.end());
            return std::pair(cells, places);
        };
        QVERIFY(after != before);
        QVERIFY(split(after) == split(before));
        compareUndoRedo(stack, cellsNow(theme), before, after);
    }

    void exchangeAndPlace_data()
    {
        // Cells show images by index, each with a crop of its own; cell 3 is
        // another theme's, "cell" 4 is none. An exchange trades the images of
        // cells `target` and `other`; a placement drops image `other` on cell
        // `target`.
        QTest::addColumn<QList<int>>("shown");
        QTest::addColumn<bool>("exchange");
        QTest::addColumn<int>("target");
        QTest::addColumn<int>("other");
        QTest::addColumn<bool>("result");
        QTest::addColumn<QList<int>>("expected");
        // Which cell's former crop each cell ends with (-1: identity).
        QTest::addColumn<QList<int>>("crops");
        const QList<int> three { 0, 1, 2 };
        const QList<int> twice { 0, 0, 1 };
        QTest::newRow("exchange two images")
            << twice << true << 1 << 2 << true << QList<int> { 0, 1, 0 } << QList<int> { 0, 2, 1 };
        QTest::newRow("exchange with a foreign cell")
            << three << true << 0 << 3 << false << three << three;
        QTest::newRow("exchange with no cell")
            << three << true << 0 << 4 << false << three << three;
        QTest::newRow("place the image it shows already")
            << three << false << 1 << 1 << false << three << three;
        QTest::newRow("place on no cell") << three << false << 4 << 1 << false << three << three;
        QTest::newRow("former image kept elsewhere, dropped image unused")
            << twice << false << 0 << 3 << true << QList<int> { 3, 0, 1 }
            << QList<int> { -1, 1, 2 };
        QTest::newRow("former image kept elsewhere, dropped image shown once")
            << twice << false << 1 << 1 << true << QList<int> { 0, 1, 1 } << QList<int> { 0, 2, 2 };
        QTest::newRow("former image would vanish: swap with the only other cell")
            << three << false << 0 << 2 << true << QList<int> { 2, 1, 0 } << QList<int> { 2, 1, 0 };
        QTest::newRow("former image would vanish, dropped image unused: it is lost")
            << three << false << 2 << 3 << true << QList<int> { 0, 1, 3 }
            << QList<int> { 0, 1, -1 };
    }

    void exchangeAndPlace()
    {
        QFETCH(QList<int>, shown);
        QFETCH(bool, exchange);
        QFETCH(int, target);
        QFETCH(int, other);
        QFETCH(bool, result);
        QFETCH(QList<int>, expected);
        QFETCH(QList<int>, crops);

        QScopedPointer<Document> document(newDocument(QSizeF(900, 300), m_photos.cycle(4)));
        QVERIFY(document);
        // A plain grid of hand-made cells.
        auto *theme = new PhotoGridTheme(document.data());
        for (int i = 0; i < shown.size(); ++i) {
            theme->createItem(document->imageList()->at(shown.at(i)))
                ->setRect(QRectF(300 * i, 0, 300, 300));
        }
        PhotoGridTheme foreignTheme(document.data());
        const auto foreign = foreignTheme.createItem(document->imageList()->at(2));
        QList<PhotoGridItemProperties *> cells;
        QList<QTransform> cropOf;
        for (const auto &item : theme->items()) {
            cells.append(item.data());
            cropOf.append(QTransform::fromTranslate(10 * cells.size(), 0));
            item->source()->setTransform(cropOf.last());
        }
        cells << foreign.data() << nullptr;
        UndoStack *stack = document->undoStack();
        stack->clear();
        const QList<Cell> before = cellsOf(theme);
        ImageList *images = document->imageList();

        QCOMPARE(exchange ? theme->exchangeImages(cells.at(target), cells.at(other))
                          : theme->placeImage(cells.at(target), images->at(other)),
            result);
        QVERIFY(!theme->placeImage(cells.first(), {}));
        // A refused change records nothing and leaves the cells as they were;
        // an accepted one is one step.
        QCOMPARE(stack->count(), result ? 1 : 0);
        if (!result) {
            QCOMPARE(cellsOf(theme), before);
            return;
        }
        QCOMPARE(stack->text(0),
            exchange ? QStringLiteral("Exchanging images") : QStringLiteral("Placing image"));
        // A placement keeps each cell's source object and rectangle; an
        // exchange trades the source objects whole, each with its crop.
        QList<Cell> after = before;
        for (int i = 0; i < shown.size(); ++i) {
            after[i].image = images->at(expected.at(i)).data();
            after[i].crop = crops.at(i) < 0 ? QTransform() : cropOf.at(crops.at(i));
            if (exchange)
                after[i].source = before[crops.at(i)].source;
        }
        QCOMPARE(cellsOf(theme), after);
        compareUndoRedo(stack, cellsNow(theme), before, after);

        // Two cells of one source object have nothing to trade.
        cells.at(2)->setSource(cells.at(1)->source());
        QVERIFY(!theme->exchangeImages(cells.at(2), cells.at(1)));
    }

    // The cells themselves.

    void setters_data()
    {
        QTest::addColumn<Change>("change"); // to a value told by the number given
        QTest::addColumn<QString>("text"); // of the undo step; none: nothing changes
        QTest::addColumn<bool>("merges"); // a second change of the cell joins the step
        // The cell starts at rect (1, 2, 3, 4) and the relative angle 1; the
        // restriction is zero 10, variation 20.
        const auto row = [](const char *name, const char *text, bool merges, Change change) {
            QTest::newRow(name) << change << QString::fromLatin1(text) << merges;
        };
        // A difference far below any fuzzy comparison is still a change.
        row("rect", "rect change", false,
            [](Item &i, Document *, int k) { i.setRect(QRectF(1, 2, 3, k == 1 ? 5 : 5 + 1e-12)); });
        row("angle", "angle change", true, [](Item &i, Document *, int k) { i.setAngle(20 + k); });
        row("source", "source change", false, [](Item &i, Document *d, int k) {
            i.setSource(
                QSharedPointer<TransformedImageSource>::create(d->imageList()->at(k % 2), d));
        });
        // Values the cell has already record nothing.
        row("angle beyond the clamp", "", false,
            [](Item &i, Document *, int) { i.setAngleRelative(7); });
        row("angle not a number", "", false,
            [](Item &i, Document *, int) { i.setAngleRelative(qQNaN()); });
        row("null source", "", false, [](Item &i, Document *, int) { i.setSource({}); });
    }

    void setters()
    {
        QFETCH(Change, change);
        QFETCH(QString, text);
        QFETCH(bool, merges);
        // Without an undo stack the setters change the value directly.
        Document unstacked(false);
        QVERIFY(unstacked.imageList()->insertUrls(0, m_urls, false));
        for (Document *document : { m_document, &unstacked }) {
            Item item(document, m_restriction, document->imageList()->at(0));
            Item neighbour(document, m_restriction, document->imageList()->at(0));
            for (Item *cell : { &item, &neighbour }) {
                cell->setRect(QRectF(1, 2, 3, 4));
                cell->setAngleRelative(1);
            }
            UndoStack *stack = document->undoStack();
            if (stack)
                stack->clear();
            const auto snapshot = [&] {
                return QVariantList { item.rect(), item.angleRelative(),
                    quintptr(item.source().data()), neighbour.rect(), neighbour.angleRelative(),
                    quintptr(neighbour.source().data()) };
            };

            const QVariantList before = snapshot();
            change(item, document, 1);
            QCOMPARE(snapshot() != before, !text.isEmpty());
            QVERIFY(item.source());
            if (!stack)
                continue;
            QCOMPARE(stack->count(), text.isEmpty() ? 0 : 1);
            if (text.isEmpty())
                continue;
            QCOMPARE(stack->text(0), text);
            // Further changes of the cell merge into its step or not; a change
            // of another cell never does.
            change(item, document, 2);
            change(neighbour, document, 1);
            QCOMPARE(stack->count(), merges ? 2 : 3);
            ThemeTestData::compareUndoRedo(stack, snapshot, before, snapshot());
        }
    }

    void angles()
    {
        // Restriction: zero 10, variation 20; without one a relative r is
        // r x 180. A relative angle is clamped; degrees a turn away wrap round.
        for (Document *document : { m_document, static_cast<Document *>(nullptr) }) {
            Item restricted(document, m_restriction, m_document->imageList()->at(0));
            Item free(document, nullptr, m_document->imageList()->at(0));
            restricted.setAngleRelative(1.5);
            QCOMPARE(restricted.angle(), 30.0);
            restricted.setAngle(375);
            free.setAngle(-45);
            QCOMPARE(QList<qreal>({ restricted.angleRelative(), restricted.angle(),
                         free.angleRelative(), free.angle() }),
                QList<qreal>({ 0.25, 15.0, -0.25, -45.0 }));
        }
        // Changing the restriction turns the cells.
        Item item(m_document, m_restriction, m_document->imageList()->at(0));
        item.setAngleRelative(0.5);
        QSignalSpy turned(&item, &PhotoGridItemProperties::angleChanged);
        m_restriction->setVariation(40);
        QCOMPARE(std::pair(item.angleRelative(), item.angle()), std::pair(0.5, 30.0));
        m_restriction->setZero(-20);
        QCOMPARE(std::pair(int(turned.count()), item.angle()), std::pair(2, 0.0));
    }

    // The Mosaic partition.

    void mosaicSeededRunsLayOutIdentically()
    {
        const QList<QUrl> urls = m_photos.cycle(9);
        QList<QList<Cell>> runs;
        for (quint64 seed : { 7, 7, 8 }) {
            RandomGenerator::seed(seed);
            MosaicTheme *theme = mosaic(QSizeF(2000, 1500), urls);
            QVERIFY(theme);
            // Take one photo out and shuffle, so that every kind of draw is used.
            m_laidOut->imageList()->removeRows(3, 1);
            theme->rearrange();
            runs.append(placesOf(theme));
        }
        QCOMPARE(runs[0], runs[1]);
        QVERIFY(runs[0] != runs[2]);
    }

    void mosaicRemovalRefillsAndReuses()
    {
        RandomGenerator::seed(11);
        MosaicTheme *theme = mosaic(QSizeF(3000, 2000), m_photos.cycle(5));
        QVERIFY(theme);
        UndoStack *stack = m_laidOut->undoStack();
        ImageList *images = m_laidOut->imageList();
        PhotoGridItemProperties *orphan = theme->items().at(2).data();
        const QSharedPointer<ImageSource> removed = orphan->image();
        orphan->source()->setTransform(QTransform::fromScale(2, 2));
        stack->clear();
        const QList<Cell> before = cellsOf(theme);
        const QList<QRectF> cells = rects(theme);

        // The cell of a removed image shows another image, uncropped; no cell
        // moves.
        QVERIFY(images->removeRows(images->indexOf(removed).row(), 1));
        QCOMPARE(rects(theme), cells);
        QCOMPARE(timesShown(theme, orphan->image().data()), 2);
        QCOMPARE(orphan->source()->transform(), QTransform());
        const QList<Cell> afterRemoval = cellsOf(theme);

        // The next image fills a doubled cell: nothing is split.
        QVERIFY(images->insertUrls(images->count(), m_photos.cycle(1), false));
        QCOMPARE(rects(theme), cells);
        for (const auto &image : images->items())
            QCOMPARE(timesShown(theme, image.data()), 1);
        const QList<Cell> afterInsertion = cellsOf(theme);

        QCOMPARE(stack->count(), 2);
        stack->undo();
        QCOMPARE(cellsOf(theme), afterRemoval);
        compareUndoRedo(stack, cellsNow(theme), before, afterInsertion);
    }

    void mosaicUndoRedoRestoresCells_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("remove all") << QStringLiteral("remove all");
        QTest::newRow("rotate image") << QStringLiteral("rotate");
        QTest::newRow("page size") << QStringLiteral("page size");
    }

    void mosaicUndoRedoRestoresCells()
    {
        QFETCH(QString, action);
        RandomGenerator::seed(31);
        MosaicTheme *theme = mosaic(QSizeF(2400, 1800), m_photos.cycle(6));
        QVERIFY(theme);
        UndoStack *stack = m_laidOut->undoStack();
        ImageList *images = m_laidOut->imageList();
        const QList<Cell> before = cellsOf(theme);

        if (action == QLatin1String("remove all")) {
            QVERIFY(images->removeRows(0, images->count()));
        } else if (action == QLatin1String("rotate")) {
            images->at(1)->rotate90(1);
        } else {
            // The cells are rebuilt for the new page and tile it.
            m_laidOut->setPageSize(PageSize(PageSize::Pixels, QSizeF(1000, 1500)));
            QString why;
            QVERIFY2(tiles(rects(theme), QSizeF(1000, 1500), &why), qPrintable(why));
        }
        QCOMPARE(stack->count(), 1);
        const QList<Cell> after = cellsOf(theme);
        // Turns of images leave the cells.
        QCOMPARE(after == before, action == QLatin1String("rotate"));

        // A replay neither records nor draws anything.
        const auto *step = static_cast<const UndoCommandWrapper *>(stack->command(0));
        const qsizetype recorded = step->commands().size();
        RandomGenerator::seed(5);
        const quint64 draw = RandomGenerator::draw64();
        RandomGenerator::seed(5);
        for (int round = 0; round < 2; ++round)
            compareUndoRedo(stack, cellsNow(theme), before, after);
        QCOMPARE(stack->count(), 1);
        QCOMPARE(step->commands().size(), recorded);
        QCOMPARE(RandomGenerator::draw64(), draw);
    }

    // The Rows layout.

    void editsAreOneStepEach_data()
    {
        QTest::addColumn<QString>("edit");
        for (const char *edit : { "insert", "remove", "rotate", "spacing drag", "rearrange" })
            QTest::newRow(edit) << QString::fromLatin1(edit);
    }

    void editsAreOneStepEach()
    {
        QFETCH(QString, edit);
        RandomGenerator::seed(19);
        RowsTheme *theme = rows(QSizeF(3000, 2000),
            { { 64, 40 }, { 30, 40 }, { 50, 50 }, { 90, 30 }, { 40, 30 }, { 48, 64 } });
        QVERIFY(theme);
        theme->setBorderRelative(0.2);
        theme->frames()->setEnabled(true);
        UndoStack *stack = m_laidOut->undoStack();
        stack->clear();
        ImageList *images = m_laidOut->imageList();
        const auto before = rowsState(theme)();
        if (edit == QLatin1String("insert")) {
            QVERIFY(images->insertUrls(2, m_photos.write({ { 80, 20 } }), false));
        } else if (edit == QLatin1String("remove")) {
            QVERIFY(images->removeRows(1, 2));
        } else if (edit == QLatin1String("rotate")) {
            images->rotateSelected(QItemSelection(images->index(3), images->index(3)), 1);
        } else if (edit == QLatin1String("spacing drag")) {
            // Each value of a drag lays the page out anew, all in one step.
            for (qreal value : { 0.25, 0.3, 0.35, 0.4 })
                theme->setBorderRelative(value);
        } else {
            // Another order of the same photos.
            theme->rearrange();
            const auto order = rowsState(theme)().first;
            QVERIFY(order != before.first);
            QCOMPARE(
                QSet(order.begin(), order.end()), QSet(before.first.begin(), before.first.end()));
        }
        QCOMPARE(stack->count(), 1);
        const auto after = rowsState(theme)();
        QVERIFY(after != before);
        QString why;
        QVERIFY2(coversPage(theme, &why), qPrintable(why));
        // The panorama stood on end takes a tall cell.
        if (edit == QLatin1String("rotate"))
            QVERIFY(after.second.at(3).height() > after.second.at(3).width());
        compareUndoRedo(stack, rowsState(theme), before, after);
    }

    void dragsTradePlacesInTheOrder()
    {
        RowsTheme *theme = rows(
            QSizeF(2400, 1600), { { 60, 40 }, { 40, 60 }, { 50, 50 }, { 70, 30 }, { 60, 45 } });
        QVERIFY(theme);
        UndoStack *stack = m_laidOut->undoStack();
        ImageList *images = m_laidOut->imageList();
        const QList<QSharedPointer<ImageSource>> start = images->items();
        auto cellOf = [theme](const QSharedPointer<ImageSource> &image) {
            for (const auto &item : theme->items()) {
                if (item->image() == image)
                    return item.data();
            }
            return static_cast<PhotoGridItemProperties *>(nullptr);
        };

        QVERIFY(theme->exchangeImages(cellOf(start[0]), cellOf(start[3])));
        QCOMPARE(images->items(),
            (QList<QSharedPointer<ImageSource>> {
                start[3], start[1], start[2], start[0], start[4] }));
        QVERIFY(theme->placeImage(cellOf(start[1]), start[4]));
        QCOMPARE(images->items(),
            (QList<QSharedPointer<ImageSource>> {
                start[3], start[4], start[1], start[2], start[0] }));
        QCOMPARE(stack->count(), 2);
        QString why;
        QVERIFY2(coversPage(theme, &why), qPrintable(why));
        stack->setIndex(0);
        QCOMPARE(images->items(), start);
    }

    void savedCollageReadsBackEqual()
    {
        RowsTheme *theme = rows(
            QSizeF(3000, 2000), { { 64, 40 }, { 30, 40 }, { 50, 50 }, { 90, 30 }, { 40, 30 } });
        QVERIFY(theme);
        theme->setBorderRelative(0.25);
        theme->frames()->setSize(0.04);
        const QList<QRectF> cells = cellsInListOrder(theme);
        const QString path = m_photos.path(QStringLiteral("rows.tsq"));
        QString error;
        QVERIFY2(DocumentFile::save(m_laidOut.data(), path, &error), qPrintable(error));

        std::unique_ptr<Document> opened = DocumentFile::open(path, &error, true);
        QVERIFY2(opened, qPrintable(error));
        QVERIFY(opened->imageList()->readAllFiles(false));
        auto *read = qobject_cast<RowsTheme *>(opened->theme());
        QVERIFY(read);
        QCOMPARE(read->borderRelative(), theme->borderRelative());
        QCOMPARE(read->minimumItemSize(), theme->minimumItemSize());
        QCOMPARE(read->frames()->size(), theme->frames()->size());
        QCOMPARE(cellsInListOrder(read), cells);
        // Laying the page out again changes nothing and records nothing.
        read->relayout();
        QCOMPARE(cellsInListOrder(read), cells);
        QCOMPARE(opened->undoStack()->count(), 0);
    }

    // The cells on the page.

    void cropCorrection()
    {
        Page p;
        QVERIFY(p.build(QSizeF(400, 300), { { 300, 300 } }));
        PhotoGridGraphicsItem *item = p.item(0);
        QVERIFY(item->correctionTransform().isIdentity());
        // Zoomed out and moved, then turned.
        for (const QTransform &crop :
            { QTransform(0.5, 0, 0, 0.5, -400, 300), QTransform().rotate(30) }) {
            p.cell(0)->source()->setTransform(crop);
            QVERIFY(!item->correctionTransform().isIdentity());
            QVERIFY(visibleInsideImage(item));
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
        const auto original = cellsOf(p.theme);

        // A cell onto itself changes nothing.
        QMimeData self;
        self.setData(QString::fromLatin1(PhotoGridGraphicsItem::MimeType),
            PhotoGridGraphicsItem::encodeAddress(p.cell(0)));
        QVERIFY(!p.dropAt(&self, p.centre(0)));

        // Onto another cell: the two sources change places.
        const auto source1 = p.cell(1)->source();
        QVERIFY(p.dropAt(&self, p.centre(1)));
        QCOMPARE(p.cell(0)->source(), source1);
        p.stack()->undo();
        QCOMPARE(cellsOf(p.theme), original);

        // An image from the strip onto a cell that shows another image.
        ImageList *list = p.document->imageList();
        const auto image0 = p.cell(0)->image();
        QScopedPointer<QMimeData> strip(list->mimeData({ list->indexOf(image0) }));
        QVERIFY(p.dropAt(strip.data(), p.centre(2)));
        QCOMPARE(p.cell(2)->image(), image0);
        p.stack()->undo();
        QCOMPARE(cellsOf(p.theme), original);

        // Data of an unknown kind is refused.
        QMimeData text;
        text.setText(QStringLiteral("hello"));
        QVERIFY(!p.dropAt(&text, p.centre(1)));
        QCOMPARE(cellsOf(p.theme), original);

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
        QVERIFY(p.dropAt(&files, p.centre(0)));
        QCOMPARE(p.layer->cellItems().size(), 4);
        p.stack()->undo();
        QCOMPARE(cellsOf(p.theme), original);
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
        const auto address = [](const void *object) {
            return PhotoGridGraphicsItem::encodeAddress(
                static_cast<const PhotoGridItemProperties *>(object));
        };
        const QSharedPointer<PhotoGridItemProperties> removed = p.theme->items().at(1);
        const QList<QByteArray> payloads { address(nullptr), address(other.cell(0)),
            address(p.cell(0)).left(4), address(removed.data()), address(p.theme) };
        if (kind == 3) {
            p.theme->removeItem(removed);
            p.stack()->clear();
        }
        const auto before = cellsOf(p.theme);
        QMimeData data;
        data.setData(QString::fromLatin1(PhotoGridGraphicsItem::MimeType), payloads.at(kind));
        QVERIFY(!p.layer->sourceCell(&data));
        QVERIFY(!p.dropAt(&data, p.centre(0)));
        QCOMPARE(cellsOf(p.theme), before);
        QCOMPARE(p.stack()->count(), 0);
    }

    // The geometry of the layouts, on plain numbers.

    void layoutsTileThePage_data()
    {
        QTest::addColumn<Aspects>("aspects");
        QTest::addColumn<QSizeF>("page");
        QTest::addColumn<qreal>("border");
        QTest::addColumn<bool>("measured"); // each photo keeps most of itself

        const Aspects landscapes(12, 2560.0 / 1600.0);
        // Portrait, landscape, square, panorama and the common camera shapes.
        const Aspects mixed { 3000.0 / 4000, 4000.0 / 3000, 1.0, 6000.0 / 2000, 2560.0 / 1600,
            1080.0 / 1920, 1.0, 4000.0 / 3000, 3000.0 / 4000, 1920.0 / 1080 };
        QTest::newRow("12 landscape, 3:2, spacing")
            << landscapes << QSizeF(3000, 2000) << 18.0 << true;
        QTest::newRow("mixed, 3:2, spacing") << mixed << QSizeF(3000, 2000) << 18.0 << true;
        // Awkward input still gives a tiling, or no cells at all.
        QTest::newRow("no photos") << Aspects {} << QSizeF(300, 200) << 0.0 << false;
        QTest::newRow("unreadable proportions")
            << Aspects { 0.0, qQNaN(), qInf(), -2.0, 1.0 } << QSizeF(300, 200) << 2.0 << false;
        QTest::newRow("spacing wider than the page")
            << Aspects(6, 1.0) << QSizeF(300, 200) << 400.0 << false;
        QTest::newRow("negative spacing") << Aspects(4, 1.0) << QSizeF(300, 200) << -5.0 << false;
        QTest::newRow("empty page") << Aspects(3, 1.0) << QSizeF(0, 200) << 0.0 << false;
        QTest::newRow("a needle of a page") << Aspects(5, 1.0) << QSizeF(10000, 10) << 0.0 << false;
    }

    void layoutsTileThePage()
    {
        QFETCH(Aspects, aspects);
        QFETCH(QSizeF, page);
        QFETCH(qreal, border);
        QFETCH(bool, measured);

        const RowsLayout::Result result = RowsLayout::layout(aspects, page, border);
        if (page.isEmpty() || aspects.isEmpty()) {
            QVERIFY(result.cells.isEmpty());
            return;
        }
        QCOMPARE(result.cells.size(), aspects.size());
        QString why;
        QVERIFY2(tiles(result.cells, page, &why), qPrintable(why));
        QVERIFY(result.minimumVisible >= 0 && result.minimumVisible <= 1);
        QVERIFY(result.meanVisible >= result.minimumVisible);
        if (!measured)
            return;

        qreal least = 1;
        qreal sum = 0;
        for (int k = 0; k < aspects.size(); ++k) {
            const qreal kept = keptShare(result.cells[k], border, 0, aspects[k]);
            least = qMin(least, kept);
            sum += kept;
        }
        const qreal mean = sum / aspects.size();
        QVERIFY2(least >= 0.85, qPrintable(QStringLiteral("least kept %1").arg(least)));
        QVERIFY2(mean >= 0.95, qPrintable(QStringLiteral("mean kept %1").arg(mean)));
        // The result tells the same figures as the cells show.
        QVERIFY(std::abs(result.minimumVisible - least) < 1e-9);
        QVERIFY(std::abs(result.meanVisible - mean) < 1e-9);
    }

    void breaksAreChosenOverAllCuts_data()
    {
        QTest::addColumn<Aspects>("aspects");
        QTest::addColumn<QSizeF>("page");
        QTest::addColumn<qreal>("border");

        // A greedy cut fills the first row with the three wide photos and is
        // left with a tall row of two; the good cut breaks earlier.
        QTest::newRow("wide first")
            << Aspects { 2.0, 2.0, 2.0, 0.5, 0.7, 1.5, 1.5 } << QSizeF(3000, 2000) << 0.0;
        QTest::newRow("panoramas")
            << Aspects { 3.0, 1.0, 3.5, 0.75, 0.75, 2.5, 1.33 } << QSizeF(2000, 2000) << 4.0;
    }

    void breaksAreChosenOverAllCuts()
    {
        QFETCH(Aspects, aspects);
        QFETCH(QSizeF, page);
        QFETCH(qreal, border);

        const RowsLayout::Result rows
            = RowsLayout::layoutLines(aspects, page, border, 0, RowsLayout::Direction::Rows);
        const qreal best = bruteForceBestFit(aspects, page, border);
        // Evenness may cost some fit, never more than its weight times how much
        // more even the chosen lines are; a step of the height scale is allowed.
        const qreal allowance = RowsLayout::EvenLinesWeight * rows.unevenness / 2
            + 2.0 * aspects.size() / RowsLayout::HeightSteps;
        QVERIFY2(rows.minimumVisible >= best - allowance,
            qPrintable(QStringLiteral("%1 against %2").arg(rows.minimumVisible).arg(best)));

        // The photos run in their order along lines from the top: each cell
        // follows the one before it on its line, with the line's height, or
        // starts a line at the left edge below.
        for (int k = 1; k < aspects.size(); ++k) {
            const QRectF &cell = rows.cells[k];
            const QRectF &last = rows.cells[k - 1];
            QCOMPARE(cell,
                rows.lineStarts.contains(k)
                    ? QRectF(0, last.bottom(), cell.width(), cell.height())
                    : QRectF(last.right(), last.top(), cell.width(), last.height()));
        }
    }

    void framesAreAllowedFor_data()
    {
        QTest::addColumn<qreal>("aspect");
        QTest::addColumn<qreal>("frame");
        QTest::newRow("landscape") << 1.6 << 0.08;
        QTest::newRow("panorama, thin frame") << 4.0 << 0.005;
    }

    void framesAreAllowedFor()
    {
        QFETCH(qreal, aspect);
        QFETCH(qreal, frame);
        // A cell with the effective proportions leaves, inside the frame (as
        // thick as frame x half the shorter side, on every side), a picture of
        // exactly the photo's proportions.
        const qreal height = 500;
        const qreal width = RowsLayout::effectiveAspect(aspect, frame) * height;
        const qreal band = frame * qMin(width, height);
        QVERIFY(std::abs((width - band) / (height - band) - aspect) < 1e-9);
        QVERIFY(
            std::abs(RowsLayout::visibleFraction(QRectF(0, 0, width, height), 0, frame, aspect) - 1)
            < 1e-9);
        QCOMPARE(RowsLayout::effectiveAspect(aspect, 0), aspect);
    }

    // The Mosaic's cut of a cell for a new photo.
    void splitGeometry_data()
    {
        QTest::addColumn<QRectF>("cell");
        QTest::addColumn<QSizeF>("image");
        QTest::addColumn<QRectF>("kept");
        QTest::addColumn<QRectF>("added");

        // a = 4/3, c = 1.5: f = (4/3) / (3 + 4/3) = 4/13.
        QTest::newRow("landscape cell, landscape photo: side by side")
            << QRectF(0, 0, 3000, 2000) << QSizeF(400, 300) << QRectF(0, 0, 3000 * 9.0 / 13, 2000)
            << QRectF(3000 * 9.0 / 13, 0, 3000 * 4.0 / 13, 2000);
        QTest::newRow("wide cell, panorama: at most 70 %")
            << QRectF(0, 0, 4000, 2000) << QSizeF(10000, 100) << QRectF(0, 0, 1200, 2000)
            << QRectF(1200, 0, 2800, 2000);
        QTest::newRow("tall cell, panorama: stacked, at least 30 %") << QRectF(0, 0, 1000,
            3000) << QSizeF(1000, 10) << QRectF(0, 0, 1000, 2100) << QRectF(0, 2100, 1000, 900);
        QTest::newRow("unreadable photo in a tall cell")
            << QRectF(0, 0, 1000, 2000) << QSizeF(-1, -1) << QRectF(0, 0, 1000, 2000 * 0.5998)
            << QRectF(0, 2000 * 0.5998, 1000, 2000 * 0.4002);
    }

    void splitGeometry()
    {
        QFETCH(QRectF, cell);
        QFETCH(QSizeF, image);
        QFETCH(QRectF, kept);
        QFETCH(QRectF, added);

        // The random draw k = 999 decides only for a photo without proportions.
        const PhotoGridSplit::Result result = PhotoGridSplit::split(cell, image, 999);
        const bool sideBySide = kept.height() == cell.height();
        QCOMPARE(result.cut == PhotoGridSplit::Cut::SideBySide, sideBySide);
        QCOMPARE(result.kept, kept);
        QCOMPARE(result.added, added);
        QCOMPARE(result.smallerExtent,
            sideBySide ? qMin(kept.width(), added.width()) : qMin(kept.height(), added.height()));
    }

    void largestCellTieBreak()
    {
        QCOMPARE(PhotoGridSplit::largestCell({}), -1);
        // 300 x 500 and 500 x 100 share the greatest longer side: the first wins.
        const QList<QRectF> cells { QRectF(0, 0, 400, 400), QRectF(0, 0, 300, 500),
            QRectF(0, 0, 500, 100), QRectF(0, 0, 450, 450) };
        QCOMPARE(PhotoGridSplit::largestCell(cells), 1);
    }
};

QTEST_MAIN(TestPhotoGrid)
#include "tst_photogrid.moc"
