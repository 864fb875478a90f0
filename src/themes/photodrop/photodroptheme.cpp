#include "photodroptheme.h"

#include <QPolygonF>
#include <QSet>

#include <algorithm>

#include "io/photodropstreams.h"
#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/itemtransformundocommand.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodropsceneitem.h"
#include "themes/photodrop/photodropthemearrangecommand.h"
#include "themes/photodrop/photodropthemepropertieswidget.h"
#include "ui/backgroundcontrolwidget.h"
#include "ui/framecontrolwidget.h"
#include "ui/shadowcontrolwidget.h"
#include "undo/undostack.h"

PhotoDropTheme::PhotoDropTheme(Document *document)
    : Theme(document)
    , m_items(new PhotoDropItemPropertiesList(this))
    , m_shadows(new ShadowProperties(nullptr, this))
    , m_frames(new FrameProperties(document, this))
    , m_background(new BackgroundProperties(document, this))
    , m_rotationRestrictions(new RotationRestriction(document, this))
{
    if (!document)
        return;
    // The shadow is set up before it joins the document, so that its
    // initial values are not undo steps.
    const QSizeF page = document->pageSize().size();
    const qreal margin = qMin(page.width(), page.height()) * 0.03;
    m_shadows->setBlurRadius(margin);
    m_shadows->setOffset(QPointF(0, margin * 0.3));
    m_shadows->setDocument(document);
    imageModelReset();
}

PhotoDropTheme::~PhotoDropTheme() = default;

SceneLayer *PhotoDropTheme::createSceneItem(QGraphicsItem *parent, QGraphicsScene *scene)
{
    return new PhotoDropSceneItem(this, parent, scene);
}

QList<QWidget *> PhotoDropTheme::createPropertyWidgets(QWidget *parent)
{
    return { new PhotoDropThemePropertiesWidget(this, parent),
        new ShadowControlWidget(m_shadows, parent), new FrameControlWidget(m_frames, parent),
        new BackgroundControlWidget(m_background, parent) };
}

void PhotoDropTheme::save(QDataStream &stream) const
{
    savePhotoDropTheme(stream, *this);
}

void PhotoDropTheme::load(QDataStream &stream)
{
    loadPhotoDropTheme(stream, *this);
}

// ---------------------------------------------------------------------------
// Following the image list

void PhotoDropTheme::imageInserted(int row, const QSharedPointer<ImageSource> &image)
{
    if (!image)
        return;
    QSharedPointer<PhotoDropItemProperties> item = m_recycledItems.value(image.data());
    if (item) {
        // A removed photo lets go of its image (see imagesRemoved).
        if (item->source() != image)
            item->setSource(image);
    } else {
        item.reset(new PhotoDropItemProperties(document(), m_rotationRestrictions));
        item->setObjectName(image->objectName());
        item->transform()->setObjectName(image->objectName());
        m_recycledItems.insert(image.data(), item);
        connect(image.data(), &QObject::destroyed, this, &PhotoDropTheme::sourceDestroyed);
        item->setSource(image);
        // Thrown while detached from the document: a new photo's first
        // placement is not an undo step of its own.
        item->transform()->setDocument(nullptr);
        placeAtRandom(item.data());
        item->transform()->setDocument(document());
    }
    m_items->insertItem(row, item);
}

void PhotoDropTheme::removeAllImages()
{
    const QList<QSharedPointer<PhotoDropItemProperties>> removed = m_items->items();
    m_items->clear();
    for (const auto &item : removed)
        item->setSource(QSharedPointer<ImageSource>());
}

void PhotoDropTheme::imagesRemoved(int first, int count)
{
    first = qMax(first, 0);
    count = qMin(count, m_items->count() - first);
    if (count <= 0)
        return;
    const QList<QSharedPointer<PhotoDropItemProperties>> removed
        = m_items->items().mid(first, count);
    m_items->removeItems(first, count);
    // A kept photo must not keep its image alive: the image's end is what
    // drops the photo from the recycled ones.
    for (const auto &item : removed)
        item->setSource(QSharedPointer<ImageSource>());
}

void PhotoDropTheme::imagesMoved(int sourceStart, int sourceEnd, int destinationRow)
{
    m_items->moveItems(sourceStart, sourceEnd, destinationRow);
}

void PhotoDropTheme::sourceDestroyed(QObject *object)
{
    m_recycledItems.remove(object);
}

// ---------------------------------------------------------------------------
// Layout

QRectF PhotoDropTheme::unitRect(const PhotoDropItemProperties *item)
{
    const QSharedPointer<ImageSource> source = item->source();
    const QSizeF unit = PhotoDropArrangement::unitSize(source ? source->size() : QSize());
    return QRectF(QPointF(-unit.width() / 2, -unit.height() / 2), unit);
}

QPainterPath PhotoDropTheme::outline(const PhotoDropItemProperties *item)
{
    QPainterPath path;
    path.addPolygon(item->transform()->transform().map(QPolygonF(unitRect(item))));
    path.closeSubpath();
    return path;
}

void PhotoDropTheme::placeAtRandom(PhotoDropItemProperties *item)
{
    const QSizeF unit = unitRect(item).size();
    const PhotoDropPlacement placement = PhotoDropArrangement::randomPlacement(unit,
        document()->pageSize().size(), document()->imageList()->count() + 1,
        m_rotationRestrictions->zero(), m_rotationRestrictions->variation());
    ItemTransform *transform = item->transform();
    transform->setPosition(placement.position);
    transform->setZoom(placement.zoom);
    transform->setRotationRelative(placement.rotationRelative);
}

void PhotoDropTheme::randomize()
{
    // An empty page has nothing to throw; an empty undo step would only
    // confuse.
    if (!document() || m_items->count() == 0)
        return;
    UndoStack *stack = undoStack();
    if (stack)
        stack->beginMacro(tr("Randomizing"));
    for (int row = m_items->count() - 1; row >= 0; --row)
        placeAtRandom(m_items->at(row).data());
    arrange();
    if (stack)
        stack->endMacro();
}

void PhotoDropTheme::rearrange()
{
    if (!document() || m_items->count() == 0)
        return;
    arrange();
}

void PhotoDropTheme::arrange()
{
    const int count = m_items->count();
    const qreal frameSize = m_frames->size();
    std::vector<PhotoDropArrangement::Photo> photos;
    photos.reserve(std::size_t(count));
    for (int row = count - 1; row >= 0; --row) {
        const PhotoDropItemProperties *item = m_items->at(row).data();
        const ItemTransform *transform = item->transform();
        PhotoDropArrangement::Photo photo;
        photo.placement.position = transform->position();
        photo.placement.zoom = transform->zoom();
        photo.placement.rotationRelative = transform->rotationRelative();
        photo.rotation = transform->rotation();
        photo.rect = PhotoDropArrangement::collisionRect(unitRect(item).size(), frameSize);
        photos.push_back(photo);
    }
    PhotoDropArrangement arrangement(document()->pageSize().size(), photos);
    arrangement.run(ArrangePasses);
    applyArrangement(arrangement);
}

void PhotoDropTheme::applyArrangement(const PhotoDropArrangement &arrangement)
{
    const int count = qMin(m_items->count(), arrangement.count());
    // The run held the photos last row first.
    auto itemOf = [this, count](int index) { return m_items->at(count - 1 - index).data(); };
    if (UndoStack *stack = undoStack()) {
        auto *command = new PhotoDropThemeArrangeCommand;
        for (int index = 0; index < count; ++index) {
            const PhotoDropPlacement placement = arrangement.placement(index);
            command->addCommand(new ItemTransformUndoCommand(itemOf(index)->transform(),
                placement.position, placement.zoom, placement.rotationRelative));
        }
        stack->push(command);
        return;
    }
    for (int index = 0; index < count; ++index) {
        const PhotoDropPlacement placement = arrangement.placement(index);
        ItemTransform *transform = itemOf(index)->transform();
        transform->blockSignals(true);
        transform->setPosition(placement.position);
        transform->setZoom(placement.zoom);
        transform->setRotationRelative(placement.rotationRelative);
        transform->blockSignals(false);
        // One notice instead of three per photo, so that items already on
        // a page follow.
        transform->update();
    }
}

// ---------------------------------------------------------------------------
// Stacking

void PhotoDropTheme::bringToFront(const QItemSelection &sel)
{
    restack(sel, StackDirection::Raise, StackReach::Farthest, tr("Bringing to Front"));
}

void PhotoDropTheme::bringForward(const QItemSelection &sel)
{
    restack(sel, StackDirection::Raise, StackReach::Nearest, tr("Bringing Forward"));
}

void PhotoDropTheme::sendBackward(const QItemSelection &sel)
{
    restack(sel, StackDirection::Lower, StackReach::Nearest, tr("Sending Backward"));
}

void PhotoDropTheme::sendToBack(const QItemSelection &sel)
{
    restack(sel, StackDirection::Lower, StackReach::Farthest, tr("Sending to Back"));
}

int PhotoDropTheme::stackTarget(int row, StackDirection direction, StackReach reach,
    const QList<PhotoDropItemProperties *> &selected) const
{
    const QPainterPath path = outline(m_items->at(row).data());
    const int step = direction == StackDirection::Raise ? 1 : -1;
    int target = -1;
    for (int other = row + step; other >= 0 && other < m_items->count(); other += step) {
        PhotoDropItemProperties *item = m_items->at(other).data();
        if (selected.contains(item) || !outline(item).intersects(path))
            continue;
        target = other;
        if (reach == StackReach::Nearest)
            break;
    }
    return target;
}

//  Raising row r past target T (bottom of the stack on the left):
//
//      ... r  a  x  b  T  ...   r, a and b selected, x not
//      ... x  T  a  b  r  ...   r just past T, a and b between, in order
//
//  Lowering mirrors it. Photos are followed by identity, not by row, so
//  that each selected photo moves at most once however the rows shift.
void PhotoDropTheme::restack(const QItemSelection &selection, StackDirection direction,
    StackReach reach, const QString &macroText)
{
    if (!document())
        return;
    QList<int> rows;
    for (const QModelIndex &index : selection.indexes()) {
        if (index.isValid() && index.row() < m_items->count() && !rows.contains(index.row()))
            rows.append(index.row());
    }
    std::sort(rows.begin(), rows.end());
    QList<PhotoDropItemProperties *> selected;
    for (int row : std::as_const(rows))
        selected.append(m_items->at(row).data());
    QList<PhotoDropItemProperties *> order = selected;
    if (direction == StackDirection::Lower)
        std::reverse(order.begin(), order.end());

    ImageList *images = document()->imageList();
    UndoStack *stack = undoStack();
    bool macroOpen = false;
    QSet<PhotoDropItemProperties *> moved;
    for (PhotoDropItemProperties *item : std::as_const(order)) {
        if (moved.contains(item))
            continue;
        const int row = m_items->indexOf(item);
        if (row < 0)
            continue;
        const int target = stackTarget(row, direction, reach, selected);
        if (target < 0)
            continue;
        QList<PhotoDropItemProperties *> companions;
        for (PhotoDropItemProperties *other : std::as_const(selected)) {
            if (other == item || moved.contains(other))
                continue;
            const int otherRow = m_items->indexOf(other);
            if (otherRow > qMin(row, target) && otherRow < qMax(row, target))
                companions.append(other);
        }
        if (stack && !macroOpen) {
            stack->beginMacro(macroText);
            macroOpen = true;
        }
        moved.insert(item);
        const bool raise = direction == StackDirection::Raise;
        images->moveItems(row, row, raise ? target + 1 : target);
        // Companions follow from the one nearest the target outwards.
        std::sort(companions.begin(), companions.end(),
            [this, raise](PhotoDropItemProperties *a, PhotoDropItemProperties *b) {
                const int rowA = m_items->indexOf(a);
                const int rowB = m_items->indexOf(b);
                return raise ? rowA > rowB : rowA < rowB;
            });
        int destination = raise ? target : target + 1;
        for (PhotoDropItemProperties *companion : std::as_const(companions)) {
            const int companionRow = m_items->indexOf(companion);
            images->moveItems(companionRow, companionRow, destination);
            destination += raise ? -1 : 1;
            moved.insert(companion);
        }
    }
    if (macroOpen)
        stack->endMacro();
}
