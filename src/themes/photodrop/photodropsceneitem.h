#pragma once

#include <QItemSelection>
#include <QList>
#include <QPointer>

#include "scene/scenelayer.h"

class GraphicsBackgroundItem;
class ImageList;
class PhotoDropItem;
class PhotoDropTheme;
class QAction;
class QItemSelectionModel;
class QMenu;
class Scene;
class ShadowsWatcher;

// The Photo Drop theme's layer on the page: the background, and above it
// one PhotoDropItem per photo, stacked in row order (row 0 at the bottom)
// inside a group that can carry a single shadow for all of them. The
// selection of the photos is mirrored both ways with the scene's selection
// model, whose rows are the image list's rows and so the photos' rows. The
// layer owns the four stacking actions and the context menu with the
// filter and mask of a single selected photo.
class PhotoDropSceneItem : public SceneLayer
{
    Q_OBJECT

public:
    PhotoDropSceneItem(
        PhotoDropTheme *theme, QGraphicsItem *parent = nullptr, QGraphicsScene *scene = nullptr);
    ~PhotoDropSceneItem() override;

    PhotoDropTheme *theme() const;
    GraphicsBackgroundItem *backgroundItem() const { return m_backgroundItem; }
    // The parent of the photo items; it carries the shadow when one shadow
    // is cast for the whole group.
    QGraphicsObject *groupItem() const { return m_groupItem; }
    ShadowsWatcher *shadowsWatcher() const { return m_shadows; }

    // The photo items in row order.
    QList<PhotoDropItem *> photoItems() const { return m_items; }
    PhotoDropItem *photoItem(int row) const;

    // "Bring to Front", "Bring Forward", "Send Backward", "Send to Back".
    QList<QAction *> actions() const override;
    QAction *bringToFrontAction() const { return m_bringToFront; }
    QAction *bringForwardAction() const { return m_bringForward; }
    QAction *sendBackwardAction() const { return m_sendBackward; }
    QAction *sendToBackAction() const { return m_sendToBack; }

    // The menu a right click on the page opens: the stacking actions and,
    // when exactly one photo is selected, its "Filter" and "Mask" submenus.
    // The caller owns the menu.
    QMenu *createContextMenu(QWidget *parent = nullptr);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

public Q_SLOTS:
    void bringToFront();
    void bringForward();
    void sendBackward();
    void sendToBack();

protected Q_SLOTS:
    void propertyRowsAboutToBeRemoved(const QModelIndex &parent, int first, int last);
    void propertyRowsRemoved(const QModelIndex &parent, int first, int last);
    void propertyRowsInserted(const QModelIndex &parent, int first, int last);
    void propertyModelReset();
    void propertyRowsMoved(const QModelIndex &sourceParent, int sourceStart, int sourceEnd,
        const QModelIndex &destinationParent, int destinationRow);
    void sceneSelectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void queueUpdate();
    void updateContextActions();

protected:
    void contextMenuEvent(QGraphicsSceneContextMenuEvent *event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void insertPhotoItem(int row);
    void removePhotoItem(int row);
    void removeAllPhotoItems();
    void restack();
    // Moves the selected photos up or down the stack through `move`.
    void moveSelection(void (PhotoDropTheme::*move)(const QItemSelection &));
    void itemSelectedChanged(PhotoDropItem *item, bool selected);
    void itemDestroyed(QObject *object);

    // Image-list rows and photo items are paired through the image they
    // show, so that the pairing holds while either list is half updated.
    PhotoDropItem *itemForImageRow(int row) const;
    QModelIndex imageIndexOf(const PhotoDropItem *item) const;
    QList<int> selectedItemIndexes() const;

    ImageList *imageList() const;
    QItemSelectionModel *selectionModel() const;
    void attachToScene(Scene *scene);
    void detachFromScene();

    QPointer<PhotoDropTheme> m_theme;
    GraphicsBackgroundItem *m_backgroundItem = nullptr;
    SceneLayer *m_groupItem = nullptr;
    ShadowsWatcher *m_shadows = nullptr;
    QList<PhotoDropItem *> m_items;
    QAction *m_bringToFront = nullptr;
    QAction *m_bringForward = nullptr;
    QAction *m_sendBackward = nullptr;
    QAction *m_sendToBack = nullptr;
    QPointer<Scene> m_scene;
    QPointer<QItemSelectionModel> m_selectionModel;
    // Set while the layer itself changes the items' selection, so that the
    // items' reports do not echo back into the selection model.
    bool m_syncingSelection = false;
};
