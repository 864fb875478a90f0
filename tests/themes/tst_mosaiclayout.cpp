#include <QTest>

#include "model/imagesource.h"
#include "model/randomgenerator.h"
#include "model/transformedimagesource.h"
#include "themes/builtinthemes.h"
#include "themes/photogrid/mosaictheme.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/photogridsplit.h"
#include "themes/themeregistry.h"
#include "themes/themetestdata.h"
#include "undo/undocommandwrapper.h"

using namespace ThemeTestData;

namespace {

// Everything that makes up a cell, compared exactly (QRectF compares
// fuzzily): item, x, y, width, height, turn, source, image and crop.
using Cell = std::tuple<const void *, qreal, qreal, qreal, qreal, qreal, const void *, const void *,
    QTransform>;
// The cells and the smallest cell size.
using Layout = std::pair<QList<Cell>, qreal>;

Layout layoutOf(const PhotoGridTheme *theme, bool withObjects = true)
{
    Layout layout { {}, theme->minimumItemSize() };
    for (const auto &item : theme->items()) {
        const QRectF r = item->rect();
        layout.first.append({ withObjects ? item.data() : nullptr, r.x(), r.y(), r.width(),
            r.height(), item->angleRelative(), withObjects ? item->source().data() : nullptr,
            withObjects ? item->image().data() : nullptr, item->source()->transform() });
    }
    return layout;
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

} // namespace

class TestMosaicLayout : public QObject
{
    Q_OBJECT

private:
    MosaicTheme *mosaic(const QSizeF &page, const QList<QUrl> &urls)
    {
        m_document.reset(newDocument(page, urls, BuiltInThemes::MosaicId));
        return m_document ? qobject_cast<MosaicTheme *>(m_document->theme()) : nullptr;
    }
    auto layout(const MosaicTheme *theme) const
    {
        return [theme] { return layoutOf(theme); };
    }

    PhotoFiles m_photos;
    QScopedPointer<Document> m_document;

private Q_SLOTS:
    void initTestCase()
    {
        ThemeRegistry::registerTheme<MosaicTheme>(BuiltInThemes::MosaicId, QIcon(),
            QStringLiteral("Mosaic"), QStringLiteral(":/MosaicTemplates"));
    }
    void cleanup()
    {
        m_document.reset();
        RandomGenerator::reseed();
    }

    void splitGeometry_data()
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
            << QRectF(0, 0, 3000 * 9.0 / 13, 2000)
            << QRectF(3000 * 9.0 / 13, 0, 3000 * 4.0 / 13, 2000) << 3000 * 4.0 / 13;
        QTest::newRow("wide cell, panorama: at most 70 %")
            << QRectF(0, 0, 4000, 2000) << QSizeF(10000, 100) << 0 << true
            << QRectF(0, 0, 1200, 2000) << QRectF(1200, 0, 2800, 2000) << 1200.0;
        QTest::newRow("tall cell, panorama: stacked, at least 30 %")
            << QRectF(0, 0, 1000, 3000) << QSizeF(1000, 10) << 0 << false
            << QRectF(0, 0, 1000, 2100) << QRectF(0, 2100, 1000, 900) << 900.0;
        QTest::newRow("unreadable photo in a tall cell, k = 999")
            << QRectF(0, 0, 1000, 2000) << QSizeF(-1, -1) << 999 << false
            << QRectF(0, 0, 1000, 2000 * 0.5998) << QRectF(0, 2000 * 0.5998, 1000, 2000 * 0.4002)
            << 2000 * 0.4002;
    }

    void splitGeometry()
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

    void largestCellTieBreak()
    {
        QCOMPARE(PhotoGridSplit::largestCell({}), -1);
        // 300 x 500 and 500 x 100 share the greatest longer side: the first wins.
        const QList<QRectF> cells { QRectF(0, 0, 400, 400), QRectF(0, 0, 300, 500),
            QRectF(0, 0, 500, 100), QRectF(0, 0, 450, 450) };
        QCOMPARE(PhotoGridSplit::largestCell(cells), 1);
        QCOMPARE(PhotoGridSplit::largestCell({ QRectF(0, 0, 10, 10), QRectF(0, 0, 10, 10) }), 0);
    }

    void partitionTilesThePage()
    {
        const QSizeF page(2100, 2970);
        RandomGenerator::seed(2);
        MosaicTheme *theme = mosaic(page, m_photos.cycle(12));
        QVERIFY(theme);
        QCOMPARE(theme->items().size(), 12);
        QString why;
        QVERIFY2(tiles(rects(theme), page, &why), qPrintable(why));
        qreal smallest = qInf();
        for (const QRectF &r : rects(theme))
            smallest = qMin(smallest, qMin(r.width(), r.height()));
        QVERIFY(smallest > 0);
        QVERIFY(qAbs(theme->minimumItemSize() - smallest) < 1e-9 * smallest);
        // Every image has exactly one cell.
        for (const auto &image : m_document->imageList()->items())
            QCOMPARE(timesShown(theme, image.data()), 1);
    }

    void seededRunsLayOutIdentically()
    {
        const QList<QUrl> urls = m_photos.cycle(9);
        QList<Layout> runs;
        for (quint64 seed : { 7, 7, 8 }) {
            RandomGenerator::seed(seed);
            MosaicTheme *theme = mosaic(QSizeF(2000, 1500), urls);
            QVERIFY(theme);
            // Take one photo out and shuffle, so that every kind of draw is used.
            m_document->imageList()->removeRows(3, 1);
            theme->rearrange();
            runs.append(layoutOf(theme, false));
        }
        QCOMPARE(runs[0], runs[1]);
        QVERIFY(runs[0] != runs[2]);
    }

    void removalRefillsAndReuses()
    {
        RandomGenerator::seed(11);
        MosaicTheme *theme = mosaic(QSizeF(3000, 2000), m_photos.cycle(5));
        QVERIFY(theme);
        UndoStack *stack = m_document->undoStack();
        ImageList *images = m_document->imageList();
        PhotoGridItemProperties *orphan = theme->items().at(2).data();
        const QSharedPointer<ImageSource> removed = orphan->image();
        orphan->source()->setTransform(QTransform::fromScale(2, 2));
        stack->clear();
        const Layout before = layoutOf(theme);
        const QList<QRectF> cells = rects(theme);

        // The cell of a removed image shows another image, uncropped; no cell
        // moves.
        QVERIFY(images->removeRows(images->indexOf(removed).row(), 1));
        QCOMPARE(rects(theme), cells);
        QVERIFY(images->indexOf(orphan->image()).isValid());
        QCOMPARE(timesShown(theme, orphan->image().data()), 2);
        QCOMPARE(orphan->source()->transform(), QTransform());
        const Layout afterRemoval = layoutOf(theme);

        // The next image fills a doubled cell: nothing is split.
        QVERIFY(images->insertUrls(images->count(), m_photos.cycle(1), false));
        QCOMPARE(rects(theme), cells);
        QCOMPARE(theme->minimumItemSize(), before.second);
        for (const auto &image : images->items())
            QCOMPARE(timesShown(theme, image.data()), 1);
        const Layout afterInsertion = layoutOf(theme);

        QCOMPARE(stack->count(), 2);
        stack->undo();
        QCOMPARE(layoutOf(theme), afterRemoval);
        compareUndoRedo(stack, layout(theme), before, afterInsertion);
    }

    void undoRedoRestoresCells_data()
    {
        QTest::addColumn<QString>("action");
        QTest::newRow("remove all") << QStringLiteral("remove all");
        QTest::newRow("rotate image") << QStringLiteral("rotate");
        QTest::newRow("page size") << QStringLiteral("page size");
    }

    void undoRedoRestoresCells()
    {
        QFETCH(QString, action);
        RandomGenerator::seed(31);
        MosaicTheme *theme = mosaic(QSizeF(2400, 1800), m_photos.cycle(6));
        QVERIFY(theme);
        UndoStack *stack = m_document->undoStack();
        ImageList *images = m_document->imageList();
        const Layout before = layoutOf(theme);

        if (action == QLatin1String("remove all")) {
            QVERIFY(images->removeRows(0, images->count()));
            QCOMPARE(theme->items().size(), 0);
        } else if (action == QLatin1String("rotate")) {
            images->at(1)->rotate90(1);
        } else {
            // The cells are rebuilt for the new page, not carried over.
            m_document->setPageSize(PageSize(PageSize::Pixels, QSizeF(1000, 1500)));
            QString why;
            QVERIFY2(tiles(rects(theme), QSizeF(1000, 1500), &why), qPrintable(why));
            for (const auto &item : theme->items()) {
                for (const Cell &old : before.first)
                    QVERIFY(item.data() != std::get<0>(old));
            }
        }
        QCOMPARE(stack->count(), 1);
        const Layout after = layoutOf(theme);
        // Turns of images leave the cells.
        QCOMPARE(after == before, action == QLatin1String("rotate"));

        // A replay neither records nor draws anything.
        const auto *step = static_cast<const UndoCommandWrapper *>(stack->command(0));
        const qsizetype recorded = step->commands().size();
        RandomGenerator::seed(5);
        const quint64 draw = RandomGenerator::draw64();
        RandomGenerator::seed(5);
        for (int round = 0; round < 2; ++round)
            compareUndoRedo(stack, layout(theme), before, after);
        QCOMPARE(stack->count(), 1);
        QCOMPARE(step->commands().size(), recorded);
        QCOMPARE(RandomGenerator::draw64(), draw);
    }
};

QTEST_MAIN(TestMosaicLayout)
#include "tst_mosaiclayout.moc"
