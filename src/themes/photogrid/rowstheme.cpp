#include "rowstheme.h"

#include <QHash>
#include <QPushButton>
#include <QScopedValueRollback>

#include <limits>

#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/randomgenerator.h"
#include "model/transformedimagesource.h"
#include "themes/photogrid/photogrigcontrolwidget.h"
#include "themes/photogrid/rowslayout.h"
#include "ui/backgroundcontrolwidget.h"
#include "ui/framecontrolwidget.h"
#include "ui/shadowcontrolwidget.h"
#include "undo/undomacroscope.h"
#include "undo/undostack.h"

namespace {

// How many orders "Rearrange" tries: many for a few photos, fewer for a
// large set, whose every layout takes longer.
constexpr int RearrangeEffort = 1200;
constexpr int MinimumRearrangeTrials = 8;
constexpr int MaximumRearrangeTrials = 150;

} // namespace

RowsTheme::RowsTheme(Document *document)
    : PhotoGridTheme(document)
{
    connect(this, &PhotoGridTheme::borderRelativeChanged, this, &RowsTheme::relayout);
    connect(frames(), &FrameProperties::sizeChanged, this, &RowsTheme::relayout);
    connect(frames(), &FrameProperties::enabledChange, this, &RowsTheme::relayout);
    if (!document)
        return;
    // A turn changes a photo's proportions; its new size reaches the list
    // while the turn's own step is still open.
    connect(document->imageList(), &QAbstractItemModel::dataChanged, this,
        &RowsTheme::_imageDataChanged);
    imageModelReset();
}

RowsTheme::~RowsTheme() = default;

QList<QWidget *> RowsTheme::createPropertyWidgets(QWidget *parent)
{
    auto *arrange = new PhotoGrigControlWidget(this, parent);
    // Here "Rearrange" looks for a better order instead of rebuilding the
    // same layout again.
    if (auto *button = arrange->findChild<QPushButton *>(QStringLiteral("pushButton"))) {
        button->disconnect(arrange);
        connect(button, &QPushButton::clicked, this, &RowsTheme::rearrange);
    }
    return { arrange, new ShadowControlWidget(shadows(), parent),
        new FrameControlWidget(frames(), parent),
        new BackgroundControlWidget(background(), parent) };
}

void RowsTheme::load(QDataStream &stream)
{
    QScopedValueRollback<bool> hold(m_holdLayout, true);
    PhotoGridTheme::load(stream);
}

qreal RowsTheme::frameSize() const
{
    return frames()->enabled() ? frames()->size() : 0;
}

void RowsTheme::imagesInserted(int first, int count)
{
    if (!document() || replayingRecordedStep())
        return;
    ImageList *images = document()->imageList();
    for (int row = first; row < qMin(first + count, images->count()); ++row) {
        const PhotoGridItemPropertiesSharedPointer item = createItem(images->at(row));
        // A turn within the theme's rotation restriction, as in the Mosaic.
        item->setAngleRelative(2 * (RandomGenerator::thousandth() / 1000.0) - 1);
    }
    relayout();
}

void RowsTheme::imagesRemoved(int first, int count)
{
    if (!document() || replayingRecordedStep())
        return;
    ImageList *images = document()->imageList();
    QList<const ImageSource *> leaving;
    for (int row = first; row < qMin(first + count, images->count()); ++row)
        leaving.append(images->at(row).data());
    const QList<PhotoGridItemPropertiesSharedPointer> all = items();
    for (const auto &item : all) {
        if (leaving.contains(item->image().data()))
            removeItem(item);
    }
    relayout();
}

void RowsTheme::imagesMoved(int, int, int)
{
    if (!m_holdLayout)
        relayout();
}

void RowsTheme::_imageDataChanged()
{
    if (isCurrent())
        relayout();
}

int RowsTheme::rowOf(const PhotoGridItemProperties *item) const
{
    const QSharedPointer<ImageSource> image = item->image();
    if (!image || !document())
        return std::numeric_limits<int>::max();
    const QModelIndex index = document()->imageList()->indexOf(image);
    return index.isValid() ? index.row() : std::numeric_limits<int>::max();
}

QList<PhotoGridItemPropertiesSharedPointer> RowsTheme::orderedItems() const
{
    QList<PhotoGridItemPropertiesSharedPointer> ordered = items();
    QHash<const PhotoGridItemProperties *, int> rows;
    for (const auto &item : ordered)
        rows.insert(item.data(), rowOf(item.data()));
    // Cells of one image (only a damaged file makes them) keep their order.
    std::stable_sort(ordered.begin(), ordered.end(), [&rows](const auto &a, const auto &b) {
        return rows.value(a.data()) < rows.value(b.data());
    });
    return ordered;
}

QList<qreal> RowsTheme::aspectsOf(const QList<PhotoGridItemPropertiesSharedPointer> &items) const
{
    QList<qreal> aspects;
    aspects.reserve(items.size());
    for (const auto &item : items) {
        const QSharedPointer<ImageSource> image = item->image();
        aspects.append(RowsLayout::aspectOf(image ? QSizeF(image->size()) : QSizeF()));
    }
    return aspects;
}

void RowsTheme::relayout()
{
    if (!document() || replayingRecordedStep() || m_holdLayout)
        return;
    const QList<PhotoGridItemPropertiesSharedPointer> ordered = orderedItems();
    if (ordered.isEmpty())
        return;
    const QList<qreal> aspects = aspectsOf(ordered);
    const QSizeF page = document()->pageSize().size();
    const qreal frame = frameSize();

    // The spacing is relative to the smallest cell of the layout without
    // spacing, so that it does not depend on itself.
    if (aspects != m_unitAspects || page != m_unitPage || frame != m_unitFrame) {
        m_unit = RowsLayout::layout(aspects, page, 0, frame).smallestExtent;
        m_unitAspects = aspects;
        m_unitPage = page;
        m_unitFrame = frame;
    }
    if (m_unit < minimumItemSize()) {
        updateMinimumItemSize(m_unit);
    } else if (m_unit > minimumItemSize()) {
        resetMinimumItemSize();
        updateMinimumItemSize(m_unit);
    }

    // The list announces every sharper thumbnail; a page whose inputs and
    // cells are as last laid out is left alone.
    LaidOut current { {}, aspects, page, border(), frame, {} };
    for (const auto &item : ordered) {
        current.items.append(item.data());
        current.rects.append(item->rect());
    }
    if (current == m_laidOut)
        return;
    const RowsLayout::Result result = RowsLayout::layout(aspects, page, current.border, frame);
    for (int k = 0; k < ordered.size() && k < result.cells.size(); ++k)
        ordered.at(k)->setRect(result.cells.at(k));
    current.rects.clear();
    for (const auto &item : ordered)
        current.rects.append(item->rect());
    m_laidOut = current;
}

void RowsTheme::reorderImages(const QList<QSharedPointer<ImageSource>> &order)
{
    ImageList *images = document()->imageList();
    {
        QScopedValueRollback<bool> hold(m_holdLayout, true);
        for (int target = 0; target < order.size(); ++target) {
            const QModelIndex index = images->indexOf(order.at(target));
            if (index.isValid() && index.row() != target)
                images->moveItems(index.row(), index.row(), target);
        }
    }
    relayout();
}

void RowsTheme::rearrange()
{
    if (items().isEmpty() || !document())
        return;
    UndoMacroScope macro(undoStack(), tr("Rearrange"));
    QList<PhotoGridItemPropertiesSharedPointer> order = orderedItems();
    const int count = int(order.size());
    if (count < 2)
        return;

    const QSizeF page = document()->pageSize().size();
    const qreal frame = frameSize();
    QList<qreal> aspects = aspectsOf(order);
    qreal best = RowsLayout::score(RowsLayout::layout(aspects, page, border(), frame));
    const int trials
        = qBound(MinimumRearrangeTrials, RearrangeEffort / count, MaximumRearrangeTrials);
    // A walk of random swaps that keeps every order at least as good.
    for (int trial = 0; trial < trials; ++trial) {
        const int a = int(RandomGenerator::index(quint64(count)));
        const int b = int(RandomGenerator::index(quint64(count)));
        if (a == b)
            continue;
        aspects.swapItemsAt(a, b);
        const qreal candidate
            = RowsLayout::score(RowsLayout::layout(aspects, page, border(), frame));
        if (candidate <= best) {
            best = candidate;
            order.swapItemsAt(a, b);
        } else {
            aspects.swapItemsAt(a, b);
        }
    }

    QList<QSharedPointer<ImageSource>> images;
    for (const auto &item : std::as_const(order)) {
        if (item->image() && !images.contains(item->image()))
            images.append(item->image());
    }
    reorderImages(images);
}

bool RowsTheme::exchangeImages(PhotoGridItemProperties *a, PhotoGridItemProperties *b)
{
    if (!containsItem(a) || !containsItem(b) || a->source() == b->source() || !document())
        return false;
    const QSharedPointer<ImageSource> imageA = a->image();
    const QSharedPointer<ImageSource> imageB = b->image();
    ImageList *images = document()->imageList();
    const QModelIndex indexA = images->indexOf(imageA);
    const QModelIndex indexB = images->indexOf(imageB);
    if (!imageA || !imageB || imageA == imageB || !indexA.isValid() || !indexB.isValid()) {
        // No two places in the order to trade: the cells trade pictures.
        UndoMacroScope macro(undoStack(), tr("Exchanging images"));
        PhotoGridTheme::exchangeImages(a, b);
        relayout();
        return true;
    }
    UndoMacroScope macro(undoStack(), tr("Exchanging images"));
    QList<QSharedPointer<ImageSource>> order = images->items();
    order.swapItemsAt(indexA.row(), indexB.row());
    reorderImages(order);
    return true;
}

bool RowsTheme::placeImage(
    PhotoGridItemProperties *target, const QSharedPointer<ImageSource> &image)
{
    if (!image || !containsItem(target) || target->image() == image || !document())
        return false;
    ImageList *images = document()->imageList();
    const QModelIndex from = images->indexOf(image);
    const QModelIndex to = images->indexOf(target->image());
    if (!from.isValid() || !to.isValid())
        return PhotoGridTheme::placeImage(target, image);
    UndoMacroScope macro(undoStack(), tr("Placing image"));
    // The dropped photo takes the cell's place; the photos between shift.
    QList<QSharedPointer<ImageSource>> order = images->items();
    order.move(from.row(), to.row());
    reorderImages(order);
    return true;
}
