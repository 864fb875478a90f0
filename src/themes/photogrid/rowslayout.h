#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>

// The geometry of the Rows layout, free of any model object so that it can
// be checked on plain numbers.
//
// The photos, in order, are cut into lines. Every photo of a line has the
// same height, so each keeps its proportions, and the line is as wide as
// the page:
//
//     +------+----------+----+---------+   line 1: h1 = (W - 2b n1) / S1
//     |      |          |    |         |   (S1: sum of the line's aspects,
//     +------+--+-------+----+---------+    n1: its photo count)
//     |         |         |            |   line 2: h2
//     +---------+---------+------------+
//     |                                |   line 3: h3
//     +--------------------------------+
//
// Each cell keeps the spacing b on all four sides (the grid items draw the
// photo that far inside), so a line of n cells has n x 2b of gaps across
// and 2b along. The breaks are chosen over all ways of cutting the list,
// not greedily, so that the lines' heights add up to the page height as
// closely as the photos allow. What is left over is shared by every line
// in proportion to its height: all photos lose the same small fraction,
// none a large one. Lines may also run down the page as columns (the same
// layout on the page turned through a quarter), whichever keeps more.
namespace RowsLayout {

enum class Direction { Rows, Columns };

// Line heights are compared in steps of the page height divided by this.
// Two totals in the same step are the same fit; the final choice is made on
// the exact figures.
constexpr int HeightSteps = 1000;
// A total beyond this many page heights cannot fit; such partial sums are
// not followed.
constexpr int MaximumPageHeights = 3;
// Among cuts of nearly the same fit, the one whose lines are closest to
// the height that gives every photo an equal share of the page wins. This
// weighs that evenness against the visible fraction.
constexpr qreal EvenLinesWeight = 0.2;
// The longest line: at least this many photos, more for large sets so
// that a page of a hundred photos can still be cut into a square grid.
constexpr int MinimumLineLimit = 8;
constexpr int LineLimitPerSquareRoot = 3;
// Proportions of a photo without readable ones.
constexpr qreal FallbackAspect = 1.0;

struct Result
{
    Direction direction = Direction::Rows;
    // One cell per photo, in the photos' order, tiling the page.
    QList<QRectF> cells;
    // The index of the first photo of every line.
    QList<int> lineStarts;
    // How much of its area each photo keeps when drawn to cover its cell
    // (frames and spacing included): the least and the mean; 1 when the
    // lines fit exactly.
    qreal minimumVisible = 0;
    qreal meanVisible = 0;
    // How far the lines stray from the even line height (0: all even).
    qreal unevenness = 0;
    // The smallest side of any cell.
    qreal smallestExtent = 0;
};

// The width per unit height that a photo of `aspect` (width / height)
// needs in its cell so that, after a frame of relative size `frameSize`
// is taken from its sides, the picture inside has exactly `aspect`.
// The frame is as thick as frameSize x half the shorter side.
qreal effectiveAspect(qreal aspect, qreal frameSize);

// The width / height of an image size; FallbackAspect when it has none.
qreal aspectOf(const QSizeF &imageSize);

// The longest line for `count` photos.
int lineLimit(int count);

// Lays `aspects` (width / height of each photo) out on `page`, keeping
// `border` on every side of every cell. `frameSize` is the frames'
// relative size, 0 without frames. No photos give no cells.
Result layout(const QList<qreal> &aspects, const QSizeF &page, qreal border, qreal frameSize = 0);

// The layout in one direction only.
Result layoutLines(const QList<qreal> &aspects, const QSizeF &page, qreal border, qreal frameSize,
    Direction direction);

// The fraction of a photo of `aspect` that stays visible when it covers
// `cell` less `border` on every side and less its frame.
qreal visibleFraction(const QRectF &cell, qreal border, qreal frameSize, qreal aspect);

// The fit and evenness of a result as the choice above weighs them:
// smaller is better. Compares orders of the same photos as well.
qreal score(const Result &result);

} // namespace RowsLayout
