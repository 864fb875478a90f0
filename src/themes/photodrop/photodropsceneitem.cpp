#include "photodropsceneitem.h"

#include <QAction>
#include <QGraphicsSceneContextMenuEvent>
#include <QItemSelectionModel>
#include <QKeySequence>
#include <QMenu>
#include <QPainter>
#include <QPainterPath>
#include <QScopedPointer>

#include <algorithm>

#include "imaging/imagefilters.h"
#include "imaging/photomasks.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/itemtransform.h"
#include "model/rowmove.h"
#include "scene/graphicsbackgrounditem.h"
#include "scene/scene.h"
#include "scene/shadowswatcher.h"
#include "themes/photodrop/photodropitem.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodroptheme.h"
#include "ui/choicemenu.h"

namespace {

QAction *makeAction(const QString &text, Qt::Key key, PhotoDropSceneItem *parent,
    void (PhotoDropSceneItem::*slot)())
{
    auto *action = new QAction(text, parent);
    action->setShortcut(QKeySequence(key));
    QObject::connect(action, &QAction::triggered, parent, slot);
    return action;
}

} // namespace

PhotoDropSceneItem::PhotoDropSceneItem(
    PhotoDropTheme *theme, QGraphicsItem *parent, QGraphicsScene *scene)
    : SceneLayer(theme ? theme->document() : nullptr, parent)
    , m_theme(theme)
{
    Document *document = theme ? theme->document() : nullptr;
    m_backgroundItem = new GraphicsBackgroundItem(theme ? theme->background() : nullptr, this);
    // The photos share a parent above the background, so that one shadow
    // can be cast for all of them and never falls on the background.
    m_groupItem = new SceneLayer(document, this);
    m_groupItem->setFlag(ItemHasNoContents, true);
    m_shadows = new ShadowsWatcher(theme ? theme->shadows() : nullptr, m_groupItem, this);
    connect(m_shadows, &ShadowsWatcher::needUpdate, this, &PhotoDropSceneItem::queueUpdate);

    m_bringToFront
        = makeAction(tr("Bring to Front"), Qt::Key_Home, this, &PhotoDropSceneItem::bringToFront);
    m_bringForward
        = makeAction(tr("Bring Forward"), Qt::Key_PageUp, this, &PhotoDropSceneItem::bringForward);
    m_sendBackward = makeAction(
        tr("Send Backward"), Qt::Key_PageDown, this, &PhotoDropSceneItem::sendBackward);
    m_sendToBack
        = makeAction(tr("Send to Back"), Qt::Key_End, this, &PhotoDropSceneItem::sendToBack);

    if (theme) {
        PhotoDropItemPropertiesList *list = theme->items();
        connect(list, &QAbstractItemModel::rowsAboutToBeRemoved, this,
            &PhotoDropSceneItem::propertyRowsAboutToBeRemoved);
        connect(
            list, &QAbstractItemModel::rowsRemoved, this, &PhotoDropSceneItem::propertyRowsRemoved);
        connect(list, &QAbstractItemModel::rowsInserted, this,
            &PhotoDropSceneItem::propertyRowsInserted);
        connect(
            list, &QAbstractItemModel::modelReset, this, &PhotoDropSceneItem::propertyModelReset);
        connect(list, &QAbstractItemModel::rowsMoved, this, &PhotoDropSceneItem::propertyRowsMoved);
    }

    // Made as the child of an item already on a scene, the layer never
    // sees its scene change.
    attachToScene(qobject_cast<Scene *>(this->scene() ? this->scene() : scene));
    propertyModelReset();
}

PhotoDropSceneItem::~PhotoDropSceneItem()
{
    // The photo items go while this layer is whole: their removal announces
    // selection changes, and they report their end to the layer.
    detachFromScene();
    removeAllPhotoItems();
}

PhotoDropTheme *PhotoDropSceneItem::theme() const
{
    return m_theme;
}

PhotoDropItem *PhotoDropSceneItem::photoItem(int row) const
{
    return row >= 0 && row < m_items.size() ? m_items.at(row) : nullptr;
}

QList<QAction *> PhotoDropSceneItem::actions() const
{
    return { m_bringToFront, m_bringForward, m_sendBackward, m_sendToBack };
}

QMenu *PhotoDropSceneItem::createContextMenu(QWidget *parent)
{
    auto *menu = new QMenu(parent);
    menu->addActions(actions());

    // Filter and mask are offered for one photo at a time.
    QList<int> rows;
    if (m_selectionModel) {
        for (const QModelIndex &index : m_selectionModel->selectedIndexes()) {
            if (!rows.contains(index.row()))
                rows.append(index.row());
        }
    }
    PhotoDropItem *item = rows.size() == 1 ? itemForImageRow(rows.first()) : nullptr;
    PhotoDropItemProperties *properties = item ? item->properties() : nullptr;
    if (!properties)
        return menu;

    menu->addSeparator();
    ChoiceMenu::addFilterAndMask(menu, properties);
    return menu;
}

void PhotoDropSceneItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    // The shadows are sized in device pixels, so they follow the zoom the
    // page is painted at; unchanged values are not applied again.
    m_shadows->recompute(painter->transform());
}

void PhotoDropSceneItem::bringToFront()
{
    moveSelection(&PhotoDropTheme::bringToFront);
}

void PhotoDropSceneItem::bringForward()
{
    moveSelection(&PhotoDropTheme::bringForward);
}

void PhotoDropSceneItem::sendBackward()
{
    moveSelection(&PhotoDropTheme::sendBackward);
}

void PhotoDropSceneItem::sendToBack()
{
    moveSelection(&PhotoDropTheme::sendToBack);
}

void PhotoDropSceneItem::moveSelection(void (PhotoDropTheme::*move)(const QItemSelection &))
{
    if (m_theme && m_selectionModel)
        (m_theme->*move)(m_selectionModel->selection());
}

// ---------------------------------------------------------------------------
// Following the photo list

void PhotoDropSceneItem::propertyRowsAboutToBeRemoved(const QModelIndex &, int first, int last)
{
    for (int row = qMin(last, int(m_items.size()) - 1); row >= qMax(first, 0); --row)
        removePhotoItem(row);
}

void PhotoDropSceneItem::propertyRowsRemoved(const QModelIndex &, int, int)
{
    updateContextActions();
}

void PhotoDropSceneItem::propertyRowsInserted(const QModelIndex &, int first, int last)
{
    for (int row = first; row <= last; ++row)
        insertPhotoItem(row);
    updateContextActions();
}

void PhotoDropSceneItem::propertyModelReset()
{
    removeAllPhotoItems();
    if (m_theme) {
        for (int row = 0; row < m_theme->items()->count(); ++row)
            insertPhotoItem(row);
    }
    updateContextActions();
}

void PhotoDropSceneItem::propertyRowsMoved(
    const QModelIndex &, int sourceStart, int sourceEnd, const QModelIndex &, int destinationRow)
{
    if (!moveListRows(m_items, sourceStart, sourceEnd, destinationRow))
        return;
    restack();
    updateContextActions();
}

void PhotoDropSceneItem::insertPhotoItem(int row)
{
    if (!m_theme || row < 0 || row >= m_theme->items()->count() || row > m_items.size())
        return;
    PhotoDropItemProperties *properties = m_theme->items()->at(row).data();
    auto *item = new PhotoDropItem(properties, m_theme->frames(), m_groupItem);
    m_shadows->addItem(item);
    m_items.insert(row, item);
    if (row + 1 < m_items.size())
        item->stackBefore(m_items.at(row + 1));

    connect(properties->transform(), &SharedTransform::updated, this,
        &PhotoDropSceneItem::updateContextActions);
    connect(item, &PhotoDropItem::selectedChanged, this,
        [this, item](bool selected) { itemSelectedChanged(item, selected); });
    connect(item, &QObject::destroyed, this, &PhotoDropSceneItem::itemDestroyed);

    // A photo that comes back (a page-size change rebuilds them all) shows
    // the selection its image still has.
    if (m_selectionModel) {
        const QModelIndex index = imageIndexOf(item);
        if (index.isValid() && m_selectionModel->isSelected(index)) {
            m_syncingSelection = true;
            item->setSelected(true);
            m_syncingSelection = false;
        }
    }
}

void PhotoDropSceneItem::removePhotoItem(int row)
{
    if (row < 0 || row >= m_items.size())
        return;
    PhotoDropItem *item = m_items.takeAt(row);
    disconnect(item, nullptr, this, nullptr);
    if (PhotoDropItemProperties *properties = item->properties())
        disconnect(properties->transform(), nullptr, this, nullptr);
    m_shadows->removeItem(item);
    delete item;
}

void PhotoDropSceneItem::removeAllPhotoItems()
{
    while (!m_items.isEmpty())
        removePhotoItem(int(m_items.size()) - 1);
}

void PhotoDropSceneItem::restack()
{
    // From the top down, each photo goes just below the one of the next
    // row; the rows above it are already in order and stay together.
    for (int row = int(m_items.size()) - 2; row >= 0; --row)
        m_items.at(row)->stackBefore(m_items.at(row + 1));
}

void PhotoDropSceneItem::itemDestroyed(QObject *object)
{
    // An item whose photo was destroyed deletes itself.
    for (int row = 0; row < m_items.size(); ++row) {
        if (static_cast<QObject *>(m_items.at(row)) == object) {
            m_items.removeAt(row);
            break;
        }
    }
}

// ---------------------------------------------------------------------------
// Selection

void PhotoDropSceneItem::sceneSelectionChanged(
    const QItemSelection &selected, const QItemSelection &deselected)
{
    m_syncingSelection = true;
    for (const QModelIndex &index : deselected.indexes()) {
        if (PhotoDropItem *item = itemForImageRow(index.row()))
            item->setSelected(false);
    }
    for (const QModelIndex &index : selected.indexes()) {
        if (PhotoDropItem *item = itemForImageRow(index.row()))
            item->setSelected(true);
    }
    m_syncingSelection = false;
    updateContextActions();
}

void PhotoDropSceneItem::itemSelectedChanged(PhotoDropItem *item, bool selected)
{
    if (m_syncingSelection || !m_selectionModel)
        return;
    const QModelIndex index = imageIndexOf(item);
    if (!index.isValid())
        return;
    m_selectionModel->select(
        index, selected ? QItemSelectionModel::Select : QItemSelectionModel::Deselect);
}

PhotoDropItem *PhotoDropSceneItem::itemForImageRow(int row) const
{
    ImageList *images = imageList();
    if (!images || row < 0 || row >= images->count())
        return nullptr;
    const ImageSource *image = images->at(row).data();
    auto shows = [image](const PhotoDropItem *item) {
        return item->properties() && item->properties()->source().data() == image;
    };
    if (row < m_items.size() && shows(m_items.at(row)))
        return m_items.at(row);
    for (PhotoDropItem *item : m_items) {
        if (shows(item))
            return item;
    }
    return nullptr;
}

QModelIndex PhotoDropSceneItem::imageIndexOf(const PhotoDropItem *item) const
{
    ImageList *images = imageList();
    const PhotoDropItemProperties *properties = item ? item->properties() : nullptr;
    const ImageSource *image = properties ? properties->source().data() : nullptr;
    if (!images || !image)
        return QModelIndex();
    const int row = int(m_items.indexOf(const_cast<PhotoDropItem *>(item)));
    if (row >= 0 && row < images->count() && images->at(row).data() == image)
        return images->index(row);
    for (int other = 0; other < images->count(); ++other) {
        if (images->at(other).data() == image)
            return images->index(other);
    }
    return QModelIndex();
}

QList<int> PhotoDropSceneItem::selectedItemIndexes() const
{
    QList<int> result;
    if (!m_selectionModel)
        return result;
    for (const QModelIndex &index : m_selectionModel->selectedIndexes()) {
        const int row = int(m_items.indexOf(itemForImageRow(index.row())));
        if (row >= 0 && !result.contains(row))
            result.append(row);
    }
    std::sort(result.begin(), result.end());
    return result;
}

void PhotoDropSceneItem::updateContextActions()
{
    bool raise = false;
    bool lower = false;
    if (m_scene && m_selectionModel) {
        const QList<int> selected = selectedItemIndexes();
        QList<bool> isSelected(m_items.size(), false);
        for (int row : selected)
            isSelected[row] = true;
        // Outlines are made once per refresh, and only for photos that are
        // compared.
        QList<QPainterPath> outlines(m_items.size());
        QList<bool> made(m_items.size(), false);
        auto outline = [&](int row) -> const QPainterPath & {
            if (!made[row]) {
                if (PhotoDropItemProperties *properties = m_items.at(row)->properties())
                    outlines[row] = PhotoDropTheme::outline(properties);
                made[row] = true;
            }
            return outlines[row];
        };
        for (int row : selected) {
            const QPainterPath &path = outline(row);
            const QRectF bounds = path.boundingRect();
            for (int other = 0; other < m_items.size() && !(raise && lower); ++other) {
                if (isSelected[other] || other == row || (other > row && raise)
                    || (other < row && lower))
                    continue;
                const QPainterPath &otherPath = outline(other);
                if (!bounds.intersects(otherPath.boundingRect()) || !path.intersects(otherPath))
                    continue;
                if (other > row)
                    raise = true;
                else
                    lower = true;
            }
            if (raise && lower)
                break;
        }
    }
    m_bringToFront->setEnabled(raise);
    m_bringForward->setEnabled(raise);
    m_sendBackward->setEnabled(lower);
    m_sendToBack->setEnabled(lower);
}

void PhotoDropSceneItem::queueUpdate()
{
    update();
}

// ---------------------------------------------------------------------------
// Scene

void PhotoDropSceneItem::contextMenuEvent(QGraphicsSceneContextMenuEvent *event)
{
    QScopedPointer<QMenu> menu(createContextMenu(event->widget()));
    menu->exec(event->screenPos());
    event->accept();
}

QVariant PhotoDropSceneItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemSceneChange)
        detachFromScene();
    else if (change == ItemSceneHasChanged)
        attachToScene(qobject_cast<Scene *>(value.value<QGraphicsScene *>()));
    return SceneLayer::itemChange(change, value);
}

ImageList *PhotoDropSceneItem::imageList() const
{
    Document *document = m_theme ? m_theme->document() : nullptr;
    return document ? document->imageList() : nullptr;
}

QItemSelectionModel *PhotoDropSceneItem::selectionModel() const
{
    return m_selectionModel;
}

void PhotoDropSceneItem::attachToScene(Scene *scene)
{
    if (scene == m_scene)
        return;
    detachFromScene();
    m_scene = scene;
    if (!scene)
        return;
    connect(scene, &QGraphicsScene::sceneRectChanged, m_shadows, &ShadowsWatcher::update);
    QItemSelectionModel *model = scene->selectionModel();
    // Rows mean photos only in a scene of this layer's own document.
    if (model && model->model() == imageList()) {
        m_selectionModel = model;
        connect(model, &QItemSelectionModel::selectionChanged, this,
            &PhotoDropSceneItem::sceneSelectionChanged);
        sceneSelectionChanged(model->selection(), QItemSelection());
    }
    updateContextActions();
}

void PhotoDropSceneItem::detachFromScene()
{
    if (m_selectionModel)
        disconnect(m_selectionModel, nullptr, this, nullptr);
    if (m_scene)
        disconnect(m_scene, nullptr, m_shadows, nullptr);
    m_selectionModel = nullptr;
    m_scene = nullptr;
    if (m_bringToFront)
        updateContextActions();
}
