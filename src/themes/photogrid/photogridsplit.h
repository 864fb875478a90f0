#pragma once

#include <QList>
#include <QRectF>
#include <QSizeF>

// The geometry of the Mosaic partition, free of any model object so that it
// can be checked on plain rectangles.
//
// A new photo takes part of the largest cell. The cut runs across the
// cell's longer side when the cell is clearly elongated, otherwise it
// follows the photo's proportions:
//
//     side by side                 stacked
//     +--------+-----+             +--------------+
//     |        |     |             |     kept     |  g
//     |  kept  | new |             +--------------+
//     |   g    |  f  |             |     new      |  f
//     +--------+-----+             +--------------+
//
// The new cell always lies right of or below the kept one; its share f
// makes a photo of the given proportions roughly as tall (side by side) or
// as wide (stacked) in its cell as it would be in half the cell, limited
// to 30 ... 70 % so that no sliver appears.
namespace PhotoGridSplit {

enum class Cut { SideBySide, Stacked };

// A cell longer than this times its other side is always cut across it.
constexpr qreal ElongationLimit = 1.5;
constexpr qreal MinimumShare = 0.3;
constexpr qreal MaximumShare = 0.7;
// A photo without readable proportions leaves the cut cell 40 ... 60 %.
constexpr qreal RandomKeptMinimum = 0.4;
constexpr qreal RandomKeptMaximum = 0.6;

struct Result
{
    Cut cut = Cut::SideBySide;
    QRectF kept;
    QRectF added;
    // The smaller of the two extents across the cut.
    qreal smallerExtent = 0;
};

// Whether an image size gives proportions to follow (valid, not empty).
bool hasProportions(const QSizeF &imageSize);

Cut cutFor(const QRectF &cell, const QSizeF &imageSize);

// The new cell's share of the cut side, for an image with proportions.
qreal newCellShare(const QRectF &cell, const QSizeF &imageSize, Cut cut);

// The kept cell's share for an image without proportions, from a random
// thousandth k in 0 ... 999.
qreal randomKeptShare(int thousandth);

// Splits `cell` for a photo of `imageSize`. `thousandth` is used only when
// the image has no proportions.
Result split(const QRectF &cell, const QSizeF &imageSize, int thousandth);

// The index of the cell with the greatest longer side; among equals the
// first. -1 for no cells.
int largestCell(const QList<QRectF> &cells);

} // namespace PhotoGridSplit
