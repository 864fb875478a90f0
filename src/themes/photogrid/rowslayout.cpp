#include "rowslayout.h"

#include <QtMath>

#include <cmath>
#include <limits>
#include <vector>

namespace RowsLayout {

namespace {

// The DP tables hold (photos + 1) x height steps entries; large sets are
// compared in coarser steps so that they stay within this many.
constexpr qint64 MaximumTableSize = 2'400'000;
// Below this the steps would be too coarse to tell fits apart.
constexpr qint64 MinimumHeightSteps = 100;

struct Line
{
    int first = 0;
    int count = 0;
    // The height of the line's photo areas, before the misfit is shared.
    qreal photoHeight = 0;
};

QSizeF transposed(const QSizeF &size)
{
    return QSizeF(size.height(), size.width());
}

QRectF transposed(const QRectF &rect)
{
    return QRectF(rect.y(), rect.x(), rect.height(), rect.width());
}

// The height of the photo areas of photos first .. first + count - 1 in one
// line across `width`, or a negative value when the gaps leave no room.
qreal linePhotoHeight(
    const std::vector<qreal> &prefix, int first, int count, qreal width, qreal border)
{
    const qreal room = width - 2 * border * count;
    const qreal aspects = prefix[size_t(first + count)] - prefix[size_t(first)];
    if (room <= 0 || aspects <= 0)
        return -1;
    return room / aspects;
}

// Places the lines on a `page` that is `width` wide, sharing the misfit
// between them, and measures the result. Empty cells when nothing fits.
Result placeLines(const QList<Line> &lines, const std::vector<qreal> &effective,
    const QList<qreal> &aspects, const QSizeF &page, qreal border, qreal frameSize)
{
    Result result;
    qreal natural = 0;
    for (const Line &line : lines)
        natural += line.photoHeight;
    const qreal available = page.height() - 2 * border * lines.size();
    if (natural <= 0 || available <= 0)
        return result;
    const qreal share = available / natural;

    qreal y = 0;
    for (int l = 0; l < lines.size(); ++l) {
        const Line &line = lines.at(l);
        const bool lastLine = l == lines.size() - 1;
        const qreal height = lastLine ? page.height() - y : line.photoHeight * share + 2 * border;
        qreal x = 0;
        result.lineStarts.append(line.first);
        for (int k = line.first; k < line.first + line.count; ++k) {
            const bool lastInLine = k == line.first + line.count - 1;
            const qreal width = lastInLine ? page.width() - x
                                           : effective[size_t(k)] * line.photoHeight + 2 * border;
            result.cells.append(QRectF(x, y, width, height));
            x += width;
        }
        y += height;
    }

    qreal sum = 0;
    result.minimumVisible = 1;
    result.smallestExtent = std::numeric_limits<qreal>::infinity();
    for (int k = 0; k < result.cells.size(); ++k) {
        const QRectF &cell = result.cells.at(k);
        const qreal visible = visibleFraction(cell, border, frameSize, aspects.at(k));
        sum += visible;
        result.minimumVisible = qMin(result.minimumVisible, visible);
        result.smallestExtent = qMin(result.smallestExtent, qMin(cell.width(), cell.height()));
    }
    result.meanVisible = sum / result.cells.size();
    return result;
}

// A plain grid of equal cells, for spacing so wide that no line fits.
Result evenGrid(const QList<qreal> &aspects, const QSizeF &page, qreal border, qreal frameSize)
{
    Result result;
    const int count = int(aspects.size());
    const int columns = int(std::ceil(std::sqrt(qreal(count))));
    const int rows = (count + columns - 1) / columns;
    const qreal height = page.height() / rows;
    for (int row = 0; row < rows; ++row) {
        const int first = row * columns;
        const int inRow = qMin(columns, count - first);
        result.lineStarts.append(first);
        for (int k = 0; k < inRow; ++k)
            result.cells.append(
                QRectF(page.width() * k / inRow, height * row, page.width() / inRow, height));
    }
    qreal sum = 0;
    result.minimumVisible = 1;
    result.smallestExtent = qMin(page.width() / columns, height);
    for (int k = 0; k < count; ++k) {
        const qreal visible = visibleFraction(result.cells.at(k), border, frameSize, aspects.at(k));
        sum += visible;
        result.minimumVisible = qMin(result.minimumVisible, visible);
    }
    result.meanVisible = count ? sum / count : 1;
    return result;
}

// The cut into lines across the page's width (the Rows direction).
Result layoutRows(const QList<qreal> &aspects, const QSizeF &page, qreal border, qreal frameSize)
{
    const int count = int(aspects.size());
    std::vector<qreal> effective(static_cast<size_t>(count));
    std::vector<qreal> prefix(size_t(count) + 1, 0);
    for (int k = 0; k < count; ++k) {
        effective[size_t(k)] = effectiveAspect(aspects.at(k), frameSize);
        prefix[size_t(k) + 1] = prefix[size_t(k)] + effective[size_t(k)];
    }

    // The line height at which every photo would get an equal share of
    // the page; lines far from it look uneven.
    const qreal evenHeight = std::sqrt(page.width() * page.height() / prefix.back());
    const int steps = int(qBound<qint64>(MinimumHeightSteps,
        MaximumTableSize / (qint64(count + 1) * MaximumPageHeights), HeightSteps));
    const int buckets = MaximumPageHeights * steps + 1;
    const qreal step = page.height() / steps;
    const int longest = qMin(count, lineLimit(count));

    // best[j * buckets + b]: the least unevenness of a cut of the first j
    // photos whose cell heights add up to about b steps; from[]: where its
    // last line starts.
    const float unreached = std::numeric_limits<float>::infinity();
    std::vector<float> best(size_t(count + 1) * size_t(buckets), unreached);
    std::vector<int> from(size_t(count + 1) * size_t(buckets), -1);
    // The reached buckets of each row lie between these; the walk over
    // the table skips the rest.
    std::vector<int> lowest(size_t(count + 1), buckets);
    std::vector<int> highest(size_t(count + 1), -1);
    best[0] = 0;
    lowest[0] = 0;
    highest[0] = 0;
    for (int j = 1; j <= count; ++j) {
        for (int first = qMax(0, j - longest); first < j; ++first) {
            const qreal height = linePhotoHeight(prefix, first, j - first, page.width(), border);
            if (height <= 0)
                continue;
            const int rise = qRound((height + 2 * border) / step);
            if (rise >= buckets)
                continue;
            const qreal drift = std::log(height / evenHeight);
            const float penalty = float((j - first) * drift * drift);
            const float *source = &best[size_t(first) * size_t(buckets)];
            float *target = &best[size_t(j) * size_t(buckets)];
            int *origin = &from[size_t(j) * size_t(buckets)];
            const int end = qMin(highest[size_t(first)], buckets - 1 - rise);
            for (int b = lowest[size_t(first)]; b <= end; ++b) {
                if (source[b] == unreached)
                    continue;
                const float candidate = source[b] + penalty;
                if (candidate < target[b + rise]) {
                    target[b + rise] = candidate;
                    origin[b + rise] = first;
                    lowest[size_t(j)] = qMin(lowest[size_t(j)], b + rise);
                    highest[size_t(j)] = qMax(highest[size_t(j)], b + rise);
                }
            }
        }
    }

    // Every reachable total is measured exactly; the best fit wins.
    Result chosen;
    qreal chosenScore = std::numeric_limits<qreal>::infinity();
    const float *ends = &best[size_t(count) * size_t(buckets)];
    for (int b = lowest[size_t(count)]; b <= highest[size_t(count)]; ++b) {
        if (ends[b] == unreached)
            continue;
        QList<Line> lines;
        int j = count;
        int bucket = b;
        while (j > 0) {
            const int first = from[size_t(j) * size_t(buckets) + size_t(bucket)];
            const qreal height = linePhotoHeight(prefix, first, j - first, page.width(), border);
            lines.prepend({ first, j - first, height });
            bucket -= qRound((height + 2 * border) / step);
            j = first;
        }
        Result candidate = placeLines(lines, effective, aspects, page, border, frameSize);
        if (candidate.cells.isEmpty())
            continue;
        candidate.unevenness = ends[b] / count;
        const qreal candidateScore = score(candidate);
        if (candidateScore < chosenScore) {
            chosen = candidate;
            chosenScore = candidateScore;
        }
    }
    if (chosen.cells.isEmpty())
        return evenGrid(aspects, page, border, frameSize);
    return chosen;
}

} // namespace

qreal effectiveAspect(qreal aspect, qreal frameSize)
{
    const qreal f = qBound(0.0, frameSize, 0.99);
    // Landscape cells lose f x height across both directions, portrait
    // ones f x width; solve (w - f m) / (h - f m) = aspect for w / h.
    if (aspect >= 1)
        return aspect * (1 - f) + f;
    return aspect / (1 - f + aspect * f);
}

qreal aspectOf(const QSizeF &imageSize)
{
    if (!imageSize.isValid() || imageSize.isEmpty())
        return FallbackAspect;
    const qreal aspect = imageSize.width() / imageSize.height();
    return qIsFinite(aspect) && aspect > 0 ? aspect : FallbackAspect;
}

int lineLimit(int count)
{
    const int grown = LineLimitPerSquareRoot * int(std::ceil(std::sqrt(qreal(qMax(count, 0)))));
    return qMax(MinimumLineLimit, grown);
}

qreal visibleFraction(const QRectF &cell, qreal border, qreal frameSize, qreal aspect)
{
    const qreal width = cell.width() - 2 * border;
    const qreal height = cell.height() - 2 * border;
    const qreal frame = qMax(0.0, frameSize) * qMin(width, height);
    const qreal pictureWidth = width - frame;
    const qreal pictureHeight = height - frame;
    if (pictureWidth <= 0 || pictureHeight <= 0 || aspect <= 0)
        return 0;
    const qreal picture = pictureWidth / pictureHeight;
    return qMin(picture / aspect, aspect / picture);
}

Result layoutLines(const QList<qreal> &aspects, const QSizeF &page, qreal border, qreal frameSize,
    Direction direction)
{
    Result result;
    if (aspects.isEmpty() || !page.isValid() || page.isEmpty()) {
        result.direction = direction;
        result.minimumVisible = 1;
        result.meanVisible = 1;
        return result;
    }
    QList<qreal> clean;
    clean.reserve(aspects.size());
    for (qreal aspect : aspects)
        clean.append(qIsFinite(aspect) && aspect > 0 ? aspect : FallbackAspect);
    border = qIsFinite(border) ? qMax(0.0, border) : 0;

    if (direction == Direction::Rows) {
        result = layoutRows(clean, page, border, frameSize);
    } else {
        // Columns are rows of the page turned through a quarter, with every
        // photo turned the same way.
        QList<qreal> turned;
        turned.reserve(clean.size());
        for (qreal aspect : std::as_const(clean))
            turned.append(1 / aspect);
        result = layoutRows(turned, transposed(page), border, frameSize);
        for (QRectF &cell : result.cells)
            cell = transposed(cell);
    }
    result.direction = direction;
    return result;
}

Result layout(const QList<qreal> &aspects, const QSizeF &page, qreal border, qreal frameSize)
{
    const Result rows = layoutLines(aspects, page, border, frameSize, Direction::Rows);
    const Result columns = layoutLines(aspects, page, border, frameSize, Direction::Columns);
    return score(columns) < score(rows) ? columns : rows;
}

qreal score(const Result &result)
{
    return (1 - result.minimumVisible) + (1 - result.meanVisible)
        + EvenLinesWeight * result.unevenness;
}

} // namespace RowsLayout
