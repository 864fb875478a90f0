#include <QImage>
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
    void cleanup()
    {
        m_document.reset();
        RandomGenerator::reseed();
    }

    void splitGeometry_data();
    void splitGeometry();
    void largestCellTieBreak();
    void partitionTilesThePage();
    void seededRunsLayOutIdentically();
    void removalRefillsAndReuses();
    void undoRedoRestoresCells_data();
    void undoRedoRestoresCells();

private:
    QList<QUrl> mixedImages(int count);
    // Lays the images out on a new page; the undo stack starts empty.
    MosaicTheme *mosaic(const QSizeF &page, const QList<QUrl> &urls);

    QTemporaryDir m_dir;
    QScopedPointer<Document> m_document;
    int m_fileCount = 0;
};

void TestMosaicLayout::initTestCase()
{
    QVERIFY(m_dir.isValid());
    ThemeRegistry::registerTheme<MosaicTheme>(
        MosaicId, QIcon(), QStringLiteral("Mosaic"), QStringLiteral(":/MosaicTemplates"));
}

QList<QUrl> TestMosaicLayout::mixedImages(int count)
{
    // Landscape, portrait, square, panorama, tall strip.
    static const QSize proportions[]
        = { { 40, 30 }, { 30, 40 }, { 50, 50 }, { 90, 30 }, { 20, 60 } };
    QList<QUrl> urls;
    for (int k = 0; k < count; ++k) {
        QImage image(proportions[k % 5], QImage::Format_RGB32);
        image.fill(QColor::fromHsv((m_fileCount * 53) % 360, 180, 230));
        const QString path = m_dir.filePath(QStringLiteral("cell%1.png").arg(m_fileCount++));
        if (!image.save(path))
            return {};
        urls.append(QUrl::fromLocalFile(path));
    }
    return urls;
}

MosaicTheme *TestMosaicLayout::mosaic(const QSizeF &page, const QList<QUrl> &urls)
{
    m_document.reset(new Document(true));
    m_document->setPageSize(PageSize(PageSize::Pixels, page));
    if (!m_document->imageList()->insertUrls(0, urls, false))
        return nullptr;
    m_document->setThemeId(MosaicId);
    m_document->undoStack()->clear();
    return qobject_cast<MosaicTheme *>(m_document->theme());
}

void TestMosaicLayout::splitGeometry_data()
{
    QTest::addColumn<QRectF>("cell");
    QTest::addColumn<QSizeF>("image");
    QTest::addColumn<int>("thousandth");
    QTest::addColumn<bool>("sideBySide");
    QTest::addColumn<QRectF>("kept");
    QTest::addColumn<QRectF>("added");
    QTest::addColumn<qreal>("smaller");

    // a = 4/3, c = 1.5: f = (4/3) / (3 + 4/3) = 4/13.
    QTest::newRow("landscape cell, landscape photo: side by side")
        << QRectF(0, 0, 3000, 2000) << QSizeF(400, 300) << 0 << true
        << QRectF(0, 0, 3000 * 9.0 / 13, 2000) << QRectF(3000 * 9.0 / 13, 0, 3000 * 4.0 / 13, 2000)
        << 3000 * 4.0 / 13;
    QTest::newRow("wide cell, panorama: at most 70 %")
        << QRectF(0, 0, 4000, 2000) << QSizeF(10000, 100) << 0 << true << QRectF(0, 0, 1200, 2000)
        << QRectF(1200, 0, 2800, 2000) << 1200.0;
    QTest::newRow("tall cell, panorama: stacked, at least 30 %")
        << QRectF(0, 0, 1000, 3000) << QSizeF(1000, 10) << 0 << false << QRectF(0, 0, 1000, 2100)
        << QRectF(0, 2100, 1000, 900) << 900.0;
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

void TestMosaicLayout::largestCellTieBreak()
{
    QCOMPARE(PhotoGridSplit::largestCell({}), -1);
    // 300 x 500 and 500 x 100 share the greatest longer side: the first wins.
    const QList<QRectF> cells { QRectF(0, 0, 400, 400), QRectF(0, 0, 300, 500),
        QRectF(0, 0, 500, 100), QRectF(0, 0, 450, 450) };
    QCOMPARE(PhotoGridSplit::largestCell(cells), 1);
    QCOMPARE(PhotoGridSplit::largestCell({ QRectF(0, 0, 10, 10), QRectF(0, 0, 10, 10) }), 0);
}

void TestMosaicLayout::partitionTilesThePage()
{
    const QSizeF page(2100, 2970);
    const int count = 12;
    RandomGenerator::seed(2);
    MosaicTheme *theme = mosaic(page, mixedImages(count));
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
        QCOMPARE(timesShown(theme, m_document->imageList()->at(i).data()), 1);
    }
    QVERIFY(qAbs(total - area(pageRect)) < 1e-6 * area(pageRect));
    QVERIFY(qAbs(theme->minimumItemSize() - smallest) < 1e-9 * smallest);
}

void TestMosaicLayout::seededRunsLayOutIdentically()
{
    const QList<QUrl> urls = mixedImages(9);
    QList<Layout> runs;
    for (quint64 seed : { 7, 7, 8 }) {
        RandomGenerator::seed(seed);
        MosaicTheme *theme = mosaic(QSizeF(2000, 1500), urls);
        QVERIFY(theme);
        // Take one photo out and shuffle, so that every kind of draw is used.
        m_document->imageList()->removeRows(3, 1);
        theme->rearrange();
        Layout layout = layoutOf(theme);
        for (Cell &cell : layout.cells)
            cell.item = nullptr, cell.source = nullptr, cell.image = nullptr;
        runs.append(layout);
    }
    QCOMPARE(runs[0], runs[1]);
    QVERIFY(runs[0] != runs[2]);
}

void TestMosaicLayout::removalRefillsAndReuses()
{
    RandomGenerator::seed(11);
    MosaicTheme *theme = mosaic(QSizeF(3000, 2000), mixedImages(5));
    QVERIFY(theme);
    UndoStack *stack = m_document->undoStack();
    ImageList *images = m_document->imageList();
    PhotoGridItemProperties *orphan = theme->items().at(2).data();
    const QSharedPointer<ImageSource> removed = orphan->image();
    orphan->source()->setTransform(QTransform::fromScale(2, 2));
    stack->clear();
    const Layout before = layoutOf(theme);
    const auto rects = [theme] {
        QList<QRectF> result;
        for (const auto &item : theme->items())
            result.append(item->rect());
        return result;
    };
    const QList<QRectF> cells = rects();

    // The cell of a removed image shows another image, uncropped; no cell
    // moves.
    QVERIFY(images->removeRows(images->indexOf(removed).row(), 1));
    QCOMPARE(rects(), cells);
    QVERIFY(images->indexOf(orphan->image()).isValid());
    QCOMPARE(timesShown(theme, orphan->image().data()), 2);
    QCOMPARE(orphan->source()->transform(), QTransform());
    const Layout afterRemoval = layoutOf(theme);

    // The next image fills a doubled cell: nothing is split.
    QVERIFY(images->insertUrls(images->count(), mixedImages(1), false));
    QCOMPARE(rects(), cells);
    QCOMPARE(theme->minimumItemSize(), before.minimumItemSize);
    for (const auto &image : images->items())
        QCOMPARE(timesShown(theme, image.data()), 1);
    const Layout afterInsertion = layoutOf(theme);

    QCOMPARE(stack->count(), 2);
    stack->undo();
    QCOMPARE(layoutOf(theme), afterRemoval);
    stack->undo();
    QCOMPARE(layoutOf(theme), before);
    stack->redo();
    stack->redo();
    QCOMPARE(layoutOf(theme), afterInsertion);
}

void TestMosaicLayout::undoRedoRestoresCells_data()
{
    QTest::addColumn<QString>("action");
    QTest::newRow("remove all") << QStringLiteral("remove all");
    QTest::newRow("rotate image") << QStringLiteral("rotate");
    QTest::newRow("page size") << QStringLiteral("page size");
}

void TestMosaicLayout::undoRedoRestoresCells()
{
    QFETCH(QString, action);
    RandomGenerator::seed(31);
    MosaicTheme *theme = mosaic(QSizeF(2400, 1800), mixedImages(6));
    QVERIFY(theme);
    UndoStack *stack = m_document->undoStack();
    ImageList *images = m_document->imageList();
    const Layout before = layoutOf(theme);

    if (action == QLatin1String("remove all")) {
        QVERIFY(images->removeRows(0, images->count()));
        QCOMPARE(theme->items().size(), 0);
    } else if (action == QLatin1String("rotate")) {
        images->at(1)->rotate90(1);
    } else if (action == QLatin1String("page size")) {
        // The cells are rebuilt for the new page, not carried over.
        m_document->setPageSize(PageSize(PageSize::Pixels, QSizeF(1000, 1500)));
        qreal total = 0;
        for (const auto &item : theme->items()) {
            total += area(item->rect());
            for (const Cell &old : before.cells)
                QVERIFY(item.data() != old.item);
        }
        QVERIFY(qAbs(total - 1000 * 1500) < 1e-6);
    }
    QCOMPARE(stack->count(), 1);
    const Layout after = layoutOf(theme);
    if (action != QLatin1String("rotate"))
        QVERIFY(after != before);
    else
        QCOMPARE(after, before); // turns of images leave the cells

    // A replay neither records nor draws anything.
    const auto *step = static_cast<const UndoCommandWrapper *>(stack->command(0));
    const qsizetype recorded = step->commands().size();
    RandomGenerator::seed(5);
    const quint64 draw = RandomGenerator::draw64();
    RandomGenerator::seed(5);
    for (int round = 0; round < 2; ++round) {
        stack->undo();
        QCOMPARE(layoutOf(theme), before);
        stack->redo();
        QCOMPARE(layoutOf(theme), after);
    }
    QCOMPARE(stack->count(), 1);
    QCOMPARE(step->commands().size(), recorded);
    QCOMPARE(RandomGenerator::draw64(), draw);
}

QTEST_MAIN(TestMosaicLayout)
#include "tst_mosaiclayout.moc"
