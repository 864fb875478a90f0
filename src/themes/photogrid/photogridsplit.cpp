#include "photogridsplit.h"

#include <QtMath>

namespace PhotoGridSplit {

bool hasProportions(const QSizeF &imageSize)
{
    return imageSize.isValid() && !imageSize.isEmpty();
}

Cut cutFor(const QRectF &cell, const QSizeF &imageSize)
{
    if (cell.width() > ElongationLimit * cell.height())
        return Cut::SideBySide;
    if (cell.height() > ElongationLimit * cell.width())
        return Cut::Stacked;
    if (!hasProportions(imageSize) || imageSize.width() > imageSize.height())
        return Cut::SideBySide;
    return Cut::Stacked;
}

qreal newCellShare(const QRectF &cell, const QSizeF &imageSize, Cut cut)
{
    // a: the photo's extent along the cut side per unit across it;
    // c: the same for the cell.
    qreal a;
    qreal c;
    if (cut == Cut::SideBySide) {
        a = imageSize.width() / imageSize.height();
        c = cell.width() / cell.height();
    } else {
        a = imageSize.height() / imageSize.width();
        c = cell.height() / cell.width();
    }
    qreal f = a / (2 * c + a);
    // A degenerate cell (a zero side) gives no proportion to compare with.
    if (qIsNaN(f))
        f = 0.5;
    f = qMin(f, MaximumShare);
    f = qMax(f, MinimumShare);
    return f;
}

qreal randomKeptShare(int thousandth)
{
    return RandomKeptMinimum + (thousandth / 1000.0) * (RandomKeptMaximum - RandomKeptMinimum);
}

Result split(const QRectF &cell, const QSizeF &imageSize, int thousandth)
{
    Result result;
    result.cut = cutFor(cell, imageSize);
    const qreal kept = hasProportions(imageSize) ? 1 - newCellShare(cell, imageSize, result.cut)
                                                 : randomKeptShare(thousandth);
    result.kept = cell;
    result.added = cell;
    if (result.cut == Cut::SideBySide) {
        result.kept.setWidth(cell.width() * kept);
        result.added.setLeft(result.kept.right());
        result.smallerExtent = qMin(result.kept.width(), result.added.width());
    } else {
        result.kept.setHeight(cell.height() * kept);
        result.added.setTop(result.kept.bottom());
        result.smallerExtent = qMin(result.kept.height(), result.added.height());
    }
    return result;
}

int largestCell(const QList<QRectF> &cells)
{
    int best = -1;
    qreal bestExtent = 0;
    for (int i = 0; i < cells.size(); ++i) {
        const qreal extent = qMax(cells.at(i).width(), cells.at(i).height());
        if (best < 0 || extent > bestExtent) {
            best = i;
            bestExtent = extent;
        }
    }
    return best;
}

} // namespace PhotoGridSplit
