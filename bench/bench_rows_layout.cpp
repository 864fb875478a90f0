// Times RowsLayout::layout() for sets of n photos of mixed proportions on a
// 3000 x 2000 page with a small spacing, and prints the fit it reaches.
// Each time is the best of five runs; the Rows theme lays the page out
// once or twice per edit, and "Rearrange" many times.

#include <QElapsedTimer>

#include <cstdio>

#include "themes/photogrid/rowslayout.h"

namespace {

const qreal Proportions[] = { 4.0 / 3, 3.0 / 4, 16.0 / 9, 1.0, 2.0 / 3, 3.0, 1.6 };

QList<qreal> aspects(int count)
{
    QList<qreal> list;
    for (int k = 0; k < count; ++k)
        list.append(Proportions[k % 7]);
    return list;
}

} // namespace

int main()
{
    const QSizeF page(3000, 2000);
    for (int count : { 12, 50, 100, 300 }) {
        const QList<qreal> photos = aspects(count);
        qint64 best = -1;
        RowsLayout::Result result;
        for (int run = 0; run < 5; ++run) {
            QElapsedTimer timer;
            timer.start();
            result = RowsLayout::layout(photos, page, 6);
            const qint64 elapsed = timer.nsecsElapsed();
            if (best < 0 || elapsed < best)
                best = elapsed;
        }
        std::printf("rows_layout_ms_%d: %.2f\n", count, best / 1e6);
        std::printf("rows_layout_min_visible_%d: %.4f\n", count, result.minimumVisible);
        std::printf("rows_layout_mean_visible_%d: %.4f\n", count, result.meanVisible);
    }
    return 0;
}
