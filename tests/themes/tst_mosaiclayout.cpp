#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <limits>

#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/randomgenerator.h"
#include "model/transformedimagesource.h"
#include "themes/photogrid/mosaictheme.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/photogridsplit.h"
#include "themes/themeregistry.h"
#include "undo/undocommandwrapper.h"
#include "undo/undostack.h"

namespace {

const QByteArray MosaicId = "com.quorvane.collage.theme.mosaic";

// Everything that makes up a cell, compared exactly.
struct Cell
{
    const PhotoGridItemProperties *item;
    QRectF rect;
    qreal angleRelative;
    const TransformedImageSource *source;
    const ImageSource *image;
    QTransform crop;

    bool operator==(const Cell &o) const
    {
        return item == o.item && rect.x() == o.rect.x() && rect.y() == o.rect.y()
            && rect.width() == o.rect.width() && rect.height() == o.rect.height()
            && angleRelative == o.angleRelative && source == o.source && image == o.image
            && crop == o.crop;
    }
};

struct Layout
{
    QList<Cell> cells;
    qreal minimumItemSize;

    bool operator==(const Layout &o) const
    {
        return cells == o.cells && minimumItemSize == o.minimumItemSize;
    }
    bool operator!=(const Layout &o) const { return !(*this == o); }
};

Layout layoutOf(const PhotoGridTheme *theme)
{
    Layout layout { {}, theme->minimumItemSize() };
    for (const auto &item : theme->items())
        layout.cells.append({ item.data(), item->rect(), item->angleRelative(),
            item->source().data(), item->image().data(), item->source()->transform() });
    return layout;
}

// The geometry alone, for comparing two documents.
QList<QPair<QRectF, qreal>> geometryOf(const PhotoGridTheme *theme)
{
    QList<QPair<QRectF, qreal>> result;
    for (const auto &item : theme->items())
        result.append({ item->rect(), item->angleRelative() });
    return result;
}

int timesShown(const PhotoGridTheme *theme, const ImageSource *image)
{
    int count = 0;
    for (const auto &item : theme->items())
        count += item->image().data() == image ? 1 : 0;
    return count;
}

qreal area(const QRectF &r)
{
    return r.width() * r.height();
}

} // namespace

class TestMosaicLayout : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void splitGeometry_data();
    void splitGeometry();
    void elongatedCellsCutAcross_data();
    void elongatedCellsCutAcross();
    void largestCellTieBreak();

    void splitExample();
    void partitionTilesThePage_data();
    void partitionTilesThePage();
    void unreadableImageSplitsAtRandomShare();
    void seededRunsLayOutIdentically();

    void removalRefillsAndReuses();
    void removingTheOnlyImage();
    void pageSizeChangeRebuilds();
    void undoRedoRestoresCells_data();
    void undoRedoRestoresCells();
    void replayDoesNothing();

private:
    QList<QUrl> writeImages(const QList<QSize> &sizes);
    QList<QUrl> mixedImages(int count);
    Document *newDocument(const QSizeF &page, const QList<QUrl> &urls, bool withUndoStack = true);
    MosaicTheme *installTheme(Document *document);

    QTemporaryDir m_dir;
    int m_fileCount = 0;
};

void TestMosaicLayout::initTestCase()
{
    QVERIFY(m_dir.isValid());
    ThemeRegistry::registerTheme<MosaicTheme>(
        MosaicId, QIcon(), QStringLiteral("Mosaic"), QStringLiteral(":/MosaicTemplates"));
}

void TestMosaicLayout::cleanup()
{
    RandomGenerator::reseed();
}

QList<QUrl> TestMosaicLayout::writeImages(const QList<QSize> &sizes)
{
    QList<QUrl> urls;
    for (const QSize &size : sizes) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((m_fileCount * 53) % 360, 180, 230));
        const QString path = m_dir.filePath(QStringLiteral("cell%1.png").arg(m_fileCount++));
        if (!image.save(path))
            return {};
        urls.append(QUrl::fromLocalFile(path));
    }
    return urls;
}

QList<QUrl> TestMosaicLayout::mixedImages(int count)
{
    // Landscape, portrait, square, panorama, tall strip.
    static const QSize proportions[]
        = { { 40, 30 }, { 30, 40 }, { 50, 50 }, { 90, 30 }, { 20, 60 } };
    QList<QSize> sizes;
    for (int k = 0; k < count; ++k)
        sizes.append(proportions[k % 5]);
    return writeImages(sizes);
}

Document *TestMosaicLayout::newDocument(
    const QSizeF &page, const QList<QUrl> &urls, bool withUndoStack)
{
    auto *document = new Document(withUndoStack, this);
    document->setPageSize(PageSize(PageSize::Pixels, page));
    if (!urls.isEmpty() && !document->imageList()->insertUrls(0, urls, false))
        return nullptr;
    if (document->undoStack())
        document->undoStack()->clear();
    return document;
}

MosaicTheme *TestMosaicLayout::installTheme(Document *document)
{
    document->setThemeId(MosaicId);
    if (document->undoStack())
        document->undoStack()->clear();
    return qobject_cast<MosaicTheme *>(document->theme());
}

// ---------------------------------------------------------------------------
// Plain geometry

void TestMosaicLayout::splitGeometry_data()
{
    QTest::addColumn<QRectF>("cell");
    QTest::addColumn<QSizeF>("image");
    QTest::addColumn<int>("thousandth");
    QTest::addColumn<bool>("sideBySide");
    QTest::addColumn<QRectF>("kept");
    QTest::addColumn<QRectF>("added");
    QTest::addColumn<qreal>("smaller");

    QTest::newRow("page 3000x2000, portrait photo: stacked halves")
        << QRectF(0, 0, 3000, 2000) << QSizeF(3000, 4000) << 0 << false << QRectF(0, 0, 3000, 1000)
        << QRectF(0, 1000, 3000, 1000) << 1000.0;
    // a = 4/3, c = 1.5: f = (4/3) / (3 + 4/3) = 4/13.
    QTest::newRow("landscape cell, landscape photo: side by side")
        << QRectF(0, 0, 3000, 2000) << QSizeF(400, 300) << 0 << true
        << QRectF(0, 0, 3000 * 9.0 / 13, 2000) << QRectF(3000 * 9.0 / 13, 0, 3000 * 4.0 / 13, 2000)
        << 3000 * 4.0 / 13;
    QTest::newRow("square cell, square photo: stacked thirds")
        << QRectF(100, 200, 600, 600) << QSizeF(50, 50) << 0 << false << QRectF(100, 200, 600, 400)
        << QRectF(100, 600, 600, 200) << 200.0;
    QTest::newRow("square cell, landscape photo: side by side")
        << QRectF(0, 0, 900, 900) << QSizeF(200, 100) << 0 << true << QRectF(0, 0, 450, 900)
        << QRectF(450, 0, 450, 900) << 450.0;
    QTest::newRow("wide cell, panorama: at most 70 %")
        << QRectF(0, 0, 4000, 2000) << QSizeF(10000, 100) << 0 << true << QRectF(0, 0, 1200, 2000)
        << QRectF(1200, 0, 2800, 2000) << 1200.0;
    QTest::newRow("wide cell, tall strip: at least 30 %")
        << QRectF(0, 0, 4000, 2000) << QSizeF(10, 1000) << 0 << true << QRectF(0, 0, 2800, 2000)
        << QRectF(2800, 0, 1200, 2000) << 1200.0;
    QTest::newRow("tall cell, panorama: stacked, at least 30 %")
        << QRectF(0, 0, 1000, 3000) << QSizeF(1000, 10) << 0 << false << QRectF(0, 0, 1000, 2100)
        << QRectF(0, 2100, 1000, 900) << 900.0;
    QTest::newRow("unreadable photo, k = 0: keeps 40 %")
        << QRectF(0, 0, 1000, 1000) << QSizeF() << 0 << true << QRectF(0, 0, 400, 1000)
        << QRectF(400, 0, 600, 1000) << 400.0;
    QTest::newRow("unreadable photo, k = 500: halves")
        << QRectF(0, 0, 1000, 1000) << QSizeF(0, 0) << 500 << true << QRectF(0, 0, 500, 1000)
        << QRectF(500, 0, 500, 1000) << 500.0;
    QTest::newRow("unreadable photo in a tall cell, k = 999")
        << QRectF(0, 0, 1000, 2000) << QSizeF(-1, -1) << 999 << false
        << QRectF(0, 0, 1000, 2000 * 0.5998) << QRectF(0, 2000 * 0.5998, 1000, 2000 * 0.4002)
        << 2000 * 0.4002;
}

void TestMosaicLayout::splitGeometry()
{
    QFETCH(QRectF, cell);
    QFETCH(QSizeF, image);
    QFETCH(int, thousandth);
    QFETCH(bool, sideBySide);
    QFETCH(QRectF, kept);
    QFETCH(QRectF, added);
    QFETCH(qreal, smaller);

    const PhotoGridSplit::Result result = PhotoGridSplit::split(cell, image, thousandth);
    QCOMPARE(result.cut == PhotoGridSplit::Cut::SideBySide, sideBySide);
    QCOMPARE(result.kept, kept);
    QCOMPARE(result.added, added);
    QCOMPARE(result.smallerExtent, smaller);
    // The two parts always tile the cell, the new one right of or below.
    QCOMPARE(area(result.kept) + area(result.added), area(cell));
    QCOMPARE(result.kept.topLeft(), cell.topLeft());
    QCOMPARE(result.added.bottomRight(), cell.bottomRight());
}

void TestMosaicLayout::elongatedCellsCutAcross_data()
{
    QTest::addColumn<QRectF>("cell");
    QTest::addColumn<bool>("sideBySide");
    QTest::newRow("4000 x 2000") << QRectF(0, 0, 4000, 2000) << true;
    QTest::newRow("1.51 : 1") << QRectF(50, 50, 1510, 1000) << true;
    QTest::newRow("2000 x 4000") << QRectF(0, 0, 2000, 4000) << false;
    QTest::newRow("1 : 1.51") << QRectF(0, 300, 1000, 1510) << false;
}

void TestMosaicLayout::elongatedCellsCutAcross()
{
    QFETCH(QRectF, cell);
    QFETCH(bool, sideBySide);
    // From extreme portrait to extreme landscape.
    for (qreal ratio : { 0.01, 0.2, 0.5, 0.75, 1.0, 1.333, 2.0, 5.0, 100.0 }) {
        const QSizeF image(1000 * ratio, 1000);
        const PhotoGridSplit::Result result = PhotoGridSplit::split(cell, image, 0);
        QCOMPARE(result.cut == PhotoGridSplit::Cut::SideBySide, sideBySide);
        const qreal share = sideBySide ? result.added.width() / cell.width()
                                       : result.added.height() / cell.height();
        QVERIFY2(share >= 0.3 - 1e-12 && share <= 0.7 + 1e-12,
            qPrintable(QStringLiteral("ratio %1 share %2").arg(ratio).arg(share)));
        QCOMPARE(area(result.kept) + area(result.added), area(cell));
    }
}

void TestMosaicLayout::largestCellTieBreak()
{
    QCOMPARE(PhotoGridSplit::largestCell({}), -1);
    // 300 x 500 and 500 x 100 share the greatest longer side: the first wins.
    const QList<QRectF> cells { QRectF(0, 0, 400, 400), QRectF(0, 0, 300, 500),
        QRectF(0, 0, 500, 100), QRectF(0, 0, 450, 450) };
    QCOMPARE(PhotoGridSplit::largestCell(cells), 1);
    QCOMPARE(PhotoGridSplit::largestCell({ QRectF(0, 0, 10, 10), QRectF(0, 0, 10, 10) }), 0);
}

// ---------------------------------------------------------------------------
// The theme

void TestMosaicLayout::splitExample()
{
    QScopedPointer<Document> document(
        newDocument(QSizeF(3000, 2000), writeImages({ QSize(400, 300) })));
    QVERIFY(document);
    MosaicTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    QCOMPARE(theme->items().size(), 1);
    QCOMPARE(theme->items().first()->rect(), QRectF(0, 0, 3000, 2000));
    QCOMPARE(theme->minimumItemSize(), 2000.0);

    UndoStack *stack = document->undoStack();
    QSignalSpy inserted(theme, &PhotoGridTheme::itemInserted);
    QVERIFY(document->imageList()->insertUrls(1, writeImages({ QSize(3000, 4000) }), false));
    QCOMPARE(stack->count(), 1);
    QCOMPARE(inserted.count(), 1);
    QCOMPARE(theme->items().size(), 2);
    QCOMPARE(theme->items().at(0)->rect(), QRectF(0, 0, 3000, 1000));
    QCOMPARE(theme->items().at(1)->rect(), QRectF(0, 1000, 3000, 1000));
    QCOMPARE(theme->items().at(1)->image(), document->imageList()->at(1));
    QCOMPARE(theme->minimumItemSize(), 1000.0);
    const qreal angle = theme->items().at(1)->angleRelative();
    QVERIFY(angle >= -1.0 && angle <= 0.998);
    // The relative turn is one of -1.000, -0.998, ... 0.998.
    QCOMPARE(qRound((angle + 1) * 500) / 500.0 - 1, angle);

    theme->setBorderRelative(0.3);
    QCOMPARE(theme->border(), 150.0);
}

void TestMosaicLayout::partitionTilesThePage_data()
{
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<int>("count");
    QTest::addColumn<quint64>("seed");
    QTest::newRow("landscape page, 7 photos") << QSizeF(3000, 2000) << 7 << quint64(1);
    QTest::newRow("portrait page, 12 photos") << QSizeF(2100, 2970) << 12 << quint64(2);
    QTest::newRow("square page, 20 photos") << QSizeF(1000, 1000) << 20 << quint64(3);
}

void TestMosaicLayout::partitionTilesThePage()
{
    QFETCH(QSizeF, page);
    QFETCH(int, count);
    QFETCH(quint64, seed);
    RandomGenerator::seed(seed);
    QScopedPointer<Document> document(newDocument(page, mixedImages(count)));
    QVERIFY(document);
    MosaicTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    const auto &items = theme->items();
    QCOMPARE(items.size(), count);

    const QRectF pageRect(QPointF(0, 0), page);
    qreal total = 0;
    qreal smallest = std::numeric_limits<qreal>::infinity();
    for (int i = 0; i < items.size(); ++i) {
        const QRectF r = items.at(i)->rect();
        QVERIFY(r.width() > 0 && r.height() > 0);
        QVERIFY(pageRect.adjusted(-1e-6, -1e-6, 1e-6, 1e-6).contains(r));
        total += area(r);
        smallest = qMin(smallest, qMin(r.width(), r.height()));
        for (int j = i + 1; j < items.size(); ++j)
            QVERIFY(area(r.intersected(items.at(j)->rect())) < 1e-6);
        // Every image has exactly one cell.
        QCOMPARE(timesShown(theme, document->imageList()->at(i).data()), 1);
    }
    QVERIFY(qAbs(total - area(pageRect)) < 1e-6 * area(pageRect));
    QVERIFY(qAbs(theme->minimumItemSize() - smallest) < 1e-9 * smallest);
}

void TestMosaicLayout::unreadableImageSplitsAtRandomShare()
{
    QScopedPointer<Document> document(newDocument(QSizeF(1000, 1000), mixedImages(1)));
    QVERIFY(document);
    MosaicTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    // An image whose file is not in the cache has no size.
    auto broken = QSharedPointer<ImageSource>::create();
    broken->setSource(QUrl::fromLocalFile(m_dir.filePath(QStringLiteral("missing.png"))));
    QVERIFY(broken->size().isEmpty());
    RandomGenerator::seed(99);
    RandomGenerator::thousandth(); // the new cell's turn
    const int k = RandomGenerator::thousandth();
    RandomGenerator::seed(99);
    theme->imageInserted(broken);
    QCOMPARE(theme->items().size(), 2);
    const qreal kept = theme->items().at(0)->rect().width() / 1000.0;
    QCOMPARE(kept, 0.4 + k / 1000.0 * 0.2);
    QCOMPARE(theme->items().at(1)->rect().left(), theme->items().at(0)->rect().right());
}

void TestMosaicLayout::seededRunsLayOutIdentically()
{
    const QList<QUrl> urls = mixedImages(9);
    QList<QPair<QRectF, qreal>> runs[3];
    const quint64 seeds[3] = { 7, 7, 8 };
    for (int run = 0; run < 3; ++run) {
        RandomGenerator::seed(seeds[run]);
        QScopedPointer<Document> document(newDocument(QSizeF(2000, 1500), urls));
        QVERIFY(document);
        MosaicTheme *theme = installTheme(document.data());
        QVERIFY(theme);
        // Take one photo out and shuffle, so that every kind of draw is used.
        document->imageList()->removeRows(3, 1);
        theme->rearrange();
        runs[run] = geometryOf(theme);
    }
    QCOMPARE(runs[0], runs[1]);
    QVERIFY(runs[0] != runs[2]);
}

void TestMosaicLayout::removalRefillsAndReuses()
{
    RandomGenerator::seed(11);
    QScopedPointer<Document> document(newDocument(QSizeF(3000, 2000), mixedImages(5)));
    QVERIFY(document);
    MosaicTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    UndoStack *stack = document->undoStack();
    ImageList *images = document->imageList();
    const Layout before = layoutOf(theme);

    const QSharedPointer<ImageSource> removed = images->at(2);
    PhotoGridItemProperties *orphan = nullptr;
    for (const auto &item : theme->items()) {
        if (item->image() == removed)
            orphan = item.data();
    }
    QVERIFY(orphan);
    orphan->source()->setTransform(QTransform::fromScale(2, 2));
    stack->clear();
    const Layout cropped = layoutOf(theme);

    QVERIFY(images->removeRows(2, 1));
    QCOMPARE(stack->count(), 1);
    QCOMPARE(theme->items().size(), 5);
    const Layout afterRemoval = layoutOf(theme);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(afterRemoval.cells[i].rect, before.cells[i].rect);
    QVERIFY(orphan->image() != removed);
    QVERIFY(images->indexOf(orphan->image()).isValid());
    QCOMPARE(timesShown(theme, orphan->image().data()), 2);
    QCOMPARE(orphan->source()->transform(), QTransform());

    // The next image fills a doubled cell: nothing is split.
    QVERIFY(images->insertUrls(images->count(), mixedImages(1), false));
    QCOMPARE(stack->count(), 2);
    QCOMPARE(theme->items().size(), 5);
    const Layout afterInsertion = layoutOf(theme);
    for (int i = 0; i < 5; ++i)
        QCOMPARE(afterInsertion.cells[i].rect, before.cells[i].rect);
    QCOMPARE(afterInsertion.minimumItemSize, before.minimumItemSize);
    for (const auto &image : images->items())
        QCOMPARE(timesShown(theme, image.data()), 1);

    stack->undo();
    QCOMPARE(layoutOf(theme), afterRemoval);
    stack->undo();
    QCOMPARE(layoutOf(theme), cropped);
    stack->redo();
    QCOMPARE(layoutOf(theme), afterRemoval);
    stack->redo();
    QCOMPARE(layoutOf(theme), afterInsertion);
}

void TestMosaicLayout::removingTheOnlyImage()
{
    QScopedPointer<Document> document(newDocument(QSizeF(1200, 800), mixedImages(1)));
    QVERIFY(document);
    MosaicTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    QSignalSpy removed(theme, &PhotoGridTheme::itemRemoved);
    QVERIFY(document->imageList()->removeRows(0, 1));
    QCOMPARE(theme->items().size(), 0);
    QCOMPARE(removed.count(), 1);

    // The next image fills the whole page again, with the spacing unit of it.
    theme->updateMinimumItemSize(10);
    QVERIFY(document->imageList()->insertUrls(0, mixedImages(1), false));
    QCOMPARE(theme->items().size(), 1);
    QCOMPARE(theme->items().first()->rect(), QRectF(0, 0, 1200, 800));
    QCOMPARE(theme->minimumItemSize(), 800.0);
    document->undoStack()->undo();
    QCOMPARE(theme->minimumItemSize(), 10.0);
    QCOMPARE(theme->items().size(), 0);
}

void TestMosaicLayout::pageSizeChangeRebuilds()
{
    QScopedPointer<Document> document(newDocument(QSizeF(3000, 2000), mixedImages(4)));
    QVERIFY(document);
    MosaicTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    const Layout before = layoutOf(theme);
    document->setPageSize(PageSize(PageSize::Pixels, QSizeF(1000, 1500)));
    QCOMPARE(theme->items().size(), 4);
    qreal total = 0;
    for (const auto &item : theme->items())
        total += area(item->rect());
    QVERIFY(qAbs(total - 1000 * 1500) < 1e-6);
    // The cells were rebuilt, not carried over.
    for (const auto &item : theme->items()) {
        for (const Cell &old : before.cells)
            QVERIFY(item.data() != old.item);
    }
    document->undoStack()->undo();
    QCOMPARE(layoutOf(theme), before);
}

void TestMosaicLayout::undoRedoRestoresCells_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("insert two") << QStringLiteral("insert");
    QTest::newRow("remove one") << QStringLiteral("remove");
    QTest::newRow("remove all") << QStringLiteral("remove all");
    QTest::newRow("move rows") << QStringLiteral("move");
    QTest::newRow("reset layout") << QStringLiteral("reset");
    QTest::newRow("rearrange") << QStringLiteral("rearrange");
    QTest::newRow("rotate image") << QStringLiteral("rotate");
}

void TestMosaicLayout::undoRedoRestoresCells()
{
    QFETCH(QString, action);
    RandomGenerator::seed(31);
    QScopedPointer<Document> document(newDocument(QSizeF(2400, 1800), mixedImages(6)));
    QVERIFY(document);
    MosaicTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    UndoStack *stack = document->undoStack();
    ImageList *images = document->imageList();
    const Layout before = layoutOf(theme);

    if (action == QLatin1String("insert")) {
        QVERIFY(images->insertUrls(2, mixedImages(2), false));
    } else if (action == QLatin1String("remove")) {
        QVERIFY(images->removeRows(4, 1));
    } else if (action == QLatin1String("remove all")) {
        QVERIFY(images->removeRows(0, images->count()));
        QCOMPARE(theme->items().size(), 0);
    } else if (action == QLatin1String("move")) {
        QVERIFY(images->moveItems(0, 1, 5));
    } else if (action == QLatin1String("reset")) {
        theme->resetLayout();
    } else if (action == QLatin1String("rearrange")) {
        theme->rearrange();
    } else if (action == QLatin1String("rotate")) {
        images->at(1)->rotate90(1);
    }
    QCOMPARE(stack->count(), 1);
    const Layout after = layoutOf(theme);
    if (action != QLatin1String("move") && action != QLatin1String("rotate"))
        QVERIFY(after != before);
    else
        QCOMPARE(after, before); // moves and turns of images leave the cells

    for (int round = 0; round < 2; ++round) {
        stack->undo();
        QCOMPARE(layoutOf(theme), before);
        stack->redo();
        QCOMPARE(layoutOf(theme), after);
    }
    QCOMPARE(stack->count(), 1);
}

void TestMosaicLayout::replayDoesNothing()
{
    QScopedPointer<Document> document(newDocument(QSizeF(2000, 2000), mixedImages(3)));
    QVERIFY(document);
    MosaicTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    UndoStack *stack = document->undoStack();
    ImageList *images = document->imageList();
    QVERIFY(images->insertUrls(3, mixedImages(2), false));
    QVERIFY(images->removeRows(0, 1));
    QCOMPARE(stack->count(), 2);
    auto commandsIn = [stack](int index) {
        return static_cast<const UndoCommandWrapper *>(stack->command(index))->commands().size();
    };
    const qsizetype recorded0 = commandsIn(0);
    const qsizetype recorded1 = commandsIn(1);
    const Layout after = layoutOf(theme);

    QSignalSpy inserted(theme, &PhotoGridTheme::itemInserted);
    QSignalSpy removed(theme, &PhotoGridTheme::itemRemoved);
    // A replay must neither record nor draw anything.
    RandomGenerator::seed(5);
    const quint64 expected = RandomGenerator::draw64();
    RandomGenerator::seed(5);
    stack->undo();
    stack->undo();
    QCOMPARE(inserted.count(), 0);
    QCOMPARE(removed.count(), 2);
    stack->redo();
    stack->redo();
    QCOMPARE(RandomGenerator::draw64(), expected);
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(stack->count(), 2);
    QCOMPARE(commandsIn(0), recorded0);
    QCOMPARE(commandsIn(1), recorded1);
    QCOMPARE(layoutOf(theme), after);
}

QTEST_MAIN(TestMosaicLayout)
#include "tst_mosaiclayout.moc"
