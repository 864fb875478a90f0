#include "mosaictheme.h"

#include <QSet>

#include "model/document.h"
#include "model/imagesource.h"
#include "model/randomgenerator.h"
#include "model/transformedimagesource.h"
#include "themes/photogrid/photogridsplit.h"
#include "themes/photogrid/photogrigcontrolwidget.h"
#include "ui/backgroundcontrolwidget.h"
#include "ui/framecontrolwidget.h"
#include "ui/shadowcontrolwidget.h"

MosaicTheme::MosaicTheme(Document *document)
    : PhotoGridTheme(document)
{
    if (document)
        imageModelReset();
}

MosaicTheme::~MosaicTheme() = default;

QList<QWidget *> MosaicTheme::createPropertyWidgets(QWidget *parent)
{
    return { new PhotoGrigControlWidget(this, parent), new ShadowControlWidget(shadows(), parent),
        new FrameControlWidget(frames(), parent),
        new BackgroundControlWidget(background(), parent) };
}

void MosaicTheme::imageInserted(const QSharedPointer<ImageSource> &image)
{
    if (!image || !document() || replayingRecordedStep())
        return;

    // A cell that shows an image twice (left by a removal), or none at all,
    // takes the new image before anything is split.
    QSet<const ImageSource *> seen;
    for (const auto &item : items()) {
        const QSharedPointer<ImageSource> shown = item->image();
        if (!shown || seen.contains(shown.data())) {
            item->source()->setSource(image);
            return;
        }
        seen.insert(shown.data());
    }

    const bool first = items().isEmpty();
    const PhotoGridItemPropertiesSharedPointer item = createItem(image);
    const int k = RandomGenerator::thousandth();
    item->setAngleRelative(2 * (k / 1000.0) - 1);
    if (first) {
        const QSizeF page = document()->pageSize().size();
        item->setRect(QRectF(QPointF(0, 0), page));
        resetMinimumItemSize();
        updateMinimumItemSize(qMin(page.width(), page.height()));
    } else {
        splitLargestCell(item.data(), image);
    }
}

void MosaicTheme::splitLargestCell(
    PhotoGridItemProperties *item, const QSharedPointer<ImageSource> &image)
{
    QList<QRectF> cells;
    QList<PhotoGridItemProperties *> others;
    for (const auto &other : items()) {
        if (other.data() == item)
            continue;
        cells.append(other->rect());
        others.append(other.data());
    }
    const int largest = PhotoGridSplit::largestCell(cells);
    if (largest < 0)
        return;
    const QSizeF imageSize(image->size());
    // The draw is made only when the photo gives no proportions to follow.
    const int k = PhotoGridSplit::hasProportions(imageSize) ? 0 : RandomGenerator::thousandth();
    const PhotoGridSplit::Result cut = PhotoGridSplit::split(cells.at(largest), imageSize, k);
    updateMinimumItemSize(cut.smallerExtent);
    item->setRect(cut.added);
    others.at(largest)->setRect(cut.kept);
}

void MosaicTheme::imageRemoved(const QSharedPointer<ImageSource> &image)
{
    if (!image || !document() || replayingRecordedStep())
        return;

    QList<PhotoGridItemProperties *> orphans;
    // An image shown by two cells is listed twice, which doubles its chance.
    QList<QSharedPointer<ImageSource>> remaining;
    for (const auto &item : items()) {
        const QSharedPointer<ImageSource> shown = item->image();
        if (shown == image)
            orphans.append(item.data());
        else if (shown)
            remaining.append(shown);
    }
    if (remaining.isEmpty()) {
        // The last image is gone: no cells remain, and the next image fills
        // the page again.
        const QList<PhotoGridItemPropertiesSharedPointer> all = items();
        for (const auto &item : all)
            removeItem(item);
        return;
    }
    for (PhotoGridItemProperties *orphan : std::as_const(orphans)) {
        const auto heir = remaining.at(int(RandomGenerator::index(quint64(remaining.size()))));
        orphan->source()->setSource(heir);
        orphan->source()->setTransform(QTransform());
    }
}
