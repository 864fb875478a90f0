#pragma once

#include <QHash>
#include <QList>
#include <QPointer>
#include <QSharedPointer>

#include "scene/scenelayer.h"
#include "themes/photogrid/photogridtheme.h"

class GraphicsBackgroundItem;
class ImageSource;
class PhotoGridGraphicsItem;
class QGraphicsSceneDragDropEvent;
class QMimeData;
class ShadowsWatcher;

// A photo grid theme's layer on the page: the background, and above it one
// PhotoGridGraphicsItem per cell inside a group that can carry one shadow
// for all of them. It follows the theme's cells as they come and go and
// takes drops: a cell dragged onto another exchanges their images, an image
// dragged from the photo strip onto a cell is placed there, and image files
// dropped anywhere are added to the document.
class PhotoGridSceneItem : public SceneLayer
{
    Q_OBJECT

public:
    PhotoGridSceneItem(
        PhotoGridTheme *theme, QGraphicsItem *parent = nullptr, QGraphicsScene *scene = nullptr);
    ~PhotoGridSceneItem() override;

    PhotoGridTheme *theme() const;
    GraphicsBackgroundItem *backgroundItem() const { return m_backgroundItem; }
    QGraphicsObject *groupItem() const { return m_groupItem; }
    ShadowsWatcher *shadowsWatcher() const { return m_shadows; }

    // The cell items in the theme's order.
    QList<PhotoGridGraphicsItem *> cellItems() const;
    PhotoGridGraphicsItem *cellItem(const PhotoGridItemProperties *cell) const;
    // The topmost cell item whose cell contains `pos` (layer coordinates).
    PhotoGridGraphicsItem *cellItemAt(const QPointF &pos) const;

    // The theme's own cell named by cell drag data; null for data of any
    // other kind, of the wrong length, or naming anything but one of this
    // theme's cells.
    PhotoGridItemPropertiesSharedPointer sourceCell(const QMimeData *data) const;
    // The image of a one-row drag from this document's photo strip.
    QSharedPointer<ImageSource> draggedImage(const QMimeData *data) const;
    // Whether the document takes the data as new images (image files).
    bool documentAccepts(const QMimeData *data) const;

    // The action a drop of `data` at `pos` would be taken with, or
    // Qt::IgnoreAction when it would be refused.
    Qt::DropAction dropActionAt(const QMimeData *data, const QPointF &pos) const;
    // Carries out a drop; returns the action taken, Qt::IgnoreAction when
    // nothing changed.
    Qt::DropAction drop(const QMimeData *data, const QPointF &pos);

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private Q_SLOTS:
    void itemRemoved(PhotoGridItemPropertiesSharedPointer p);
    void itemInserted(PhotoGridItemPropertiesSharedPointer p);
    void queueUpdate();

protected:
    void dragEnterEvent(QGraphicsSceneDragDropEvent *event) override;
    void dragMoveEvent(QGraphicsSceneDragDropEvent *event) override;
    void dragLeaveEvent(QGraphicsSceneDragDropEvent *event) override;
    void dropEvent(QGraphicsSceneDragDropEvent *event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void clearDragState();
    void attachToScene(QGraphicsScene *scene);

    QPointer<PhotoGridTheme> m_theme;
    GraphicsBackgroundItem *m_backgroundItem = nullptr;
    SceneLayer *m_groupItem = nullptr;
    ShadowsWatcher *m_shadows = nullptr;
    QHash<const PhotoGridItemProperties *, PhotoGridGraphicsItem *> m_items;
    QPointer<QGraphicsScene> m_scene;
    // The drag in progress: the cell dragged, or the photo dragged from the
    // strip, and the cell under the pointer.
    PhotoGridItemPropertiesSharedPointer m_dragSource;
    QSharedPointer<ImageSource> m_dragImage;
    QPointer<PhotoGridGraphicsItem> m_dragTarget;
};
