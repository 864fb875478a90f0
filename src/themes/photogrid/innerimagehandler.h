#pragma once

#include <QCursor>
#include <QGraphicsObject>
#include <QPointer>
#include <QRectF>

class PhotoGridGraphicsItem;
class QGraphicsSceneHoverEvent;
class QGraphicsSceneMouseEvent;

// The overlay of a grid cell in image mode: the whole picture faded where
// it lies outside the cell, the cell's part at full strength, and a veil
// over the rest of the scene. Pointer events on it are passed on to the
// cell, so that panning and zooming go on wherever the pointer goes.
class InnerImageHandler : public QGraphicsObject
{
    Q_OBJECT

public:
    explicit InnerImageHandler(PhotoGridGraphicsItem *item, QGraphicsItem *parent = nullptr);
    ~InnerImageHandler() override;

    PhotoGridGraphicsItem *item() const;
    // The whole picture in scene coordinates.
    QRectF imageArea() const { return m_imageArea; }
    // True while an event is being passed on to the cell.
    bool isForwarding() const { return m_forwarding; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

private Q_SLOTS:
    void sceneRectChanged(const QRectF &rect);
    void imageAreaChanged();
    void itemCursorChanged(const QCursor &cursor);
    void _sourceChanged();
    void _queueUdpate();

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;
    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QRectF computeImageArea() const;
    void forwardMouse(QGraphicsSceneMouseEvent *event);
    void forwardHover(QGraphicsSceneHoverEvent *event);
    void connectSource();

    QPointer<PhotoGridGraphicsItem> m_item;
    QPointer<QObject> m_source;
    QRectF m_sceneRect;
    QRectF m_imageArea;
    bool m_forwarding = false;
    // Whether the press being handled started outside the cell.
    bool m_pressOutside = false;
};
