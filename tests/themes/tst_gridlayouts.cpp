#include <QTest>

#include <cmath>

#include "themes/photogrid/photogridsplit.h"
#include "themes/photogrid/rowslayout.h"
#include "themes/themetestdata.h"

using ThemeTestData::keptShare;
using ThemeTestData::tiles;

namespace {

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

// The geometry of the grid themes' layouts, on plain numbers.
class TestGridLayouts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
        QTest::newRow("a hundred photos")
            << Aspects(100, 1.5) << QSizeF(3000, 2000) << 2.0 << false;
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

        // Every cell of a line has the line's height, and the lines run in the
        // photos' order from the top.
        QCOMPARE(rows.lineStarts.first(), 0);
        for (int l = 0; l < rows.lineStarts.size(); ++l) {
            const int first = rows.lineStarts[l];
            const int end
                = l + 1 < rows.lineStarts.size() ? rows.lineStarts[l + 1] : int(aspects.size());
            QVERIFY(end > first);
            for (int k = first; k < end; ++k) {
                QCOMPARE(rows.cells[k].top(), rows.cells[first].top());
                QCOMPARE(rows.cells[k].height(), rows.cells[first].height());
                if (k > first)
                    QCOMPARE(rows.cells[k].left(), rows.cells[k - 1].right());
            }
            QCOMPARE(rows.cells[end - 1].right(), page.width());
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
        QCOMPARE(PhotoGridSplit::largestCell({ QRectF(0, 0, 10, 10), QRectF(0, 0, 10, 10) }), 0);
    }
};

QTEST_GUILESS_MAIN(TestGridLayouts)
#include "tst_gridlayouts.moc"
