#pragma once

#include <QElapsedTimer>
#include <QGraphicsObject>
#include <QPoint>
#include <QPointF>
#include <QPointer>

class Scene;

// Base of every item the user drags, turns or scales. It asks the subclass
// which part of the item a point touches, turns hover and mouse events into
// part gestures with matching cursors, starts drag-and-drop, and holds the
// scene's fast drawing while a part is dragged.
class EditableGraphicsObject : public QGraphicsObject
{
    Q_OBJECT

public:
    // Part codes: the low four bits are one handle set (bit 4 scales, bit 8
    // rotates); the same values shifted left by four are a second handle set
    // of the same item, such as the image inside a grid cell.
    static constexpr int SecondSetShift = 4;
    enum Part : int {
        NoPart = 0,
        MovePart = 3,
        ScaleBit = 4,
        RotatePart = 8,
        RotateScalePart = 12,
        SecondMovePart = MovePart << SecondSetShift,
        SecondRotatePart = RotatePart << SecondSetShift,
        SecondRotateScalePart = RotateScalePart << SecondSetShift,
        RotateMask = 0x88,
        // The press that selected the item.
        SelectPart = 256,
        // A drag-and-drop is about to start.
        DragPart = 257,
    };

    explicit EditableGraphicsObject(QGraphicsItem *parent = nullptr);
    ~EditableGraphicsObject() override;

    int hoverPart() const { return m_hoverPart; }
    int activePart() const { return m_activePart; }
    bool holdsFastDraw() const { return m_holdsFastDraw; }

    // How long a press must be held before a move starts a drag-and-drop,
    // in milliseconds; negative, the default, follows the platform's setting.
    void setStartDragTime(int milliseconds) { m_startDragTime = milliseconds; }
    int startDragTime() const;

    // The part a point (item coordinates) starts; NoPart by default.
    virtual int hitTest(const QPointF &pos);
    // The centre of rotation in item coordinates.
    virtual QPointF transformCenter() const;

protected:
    // The hooks of a gesture: after the press, at every move while a part
    // is active, at the release of an active part, and at a release when
    // no part was active.
    virtual void partPressed(int &part);
    virtual void partDragged(int &part);
    virtual void partReleased(int &part);
    virtual void clickReleased(QGraphicsSceneMouseEvent *event);
    // Starts a drag-and-drop of the item; true when one was started.
    virtual bool startDrag(QWidget *widget);

    // Positions in item coordinates: of the press, of the previous drag
    // step and of the pointer now.
    QPointF pressPos() const { return m_pressPos; }
    QPointF lastPos() const { return m_lastPos; }
    QPointF currentPos() const { return m_currentPos; }
    QPoint pressScreenPos() const { return m_pressScreenPos; }
    // Lets a subclass choose where the next drag step starts from.
    void setLastPos(const QPointF &pos);

    void hoverEnterEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverMoveEvent(QGraphicsSceneHoverEvent *event) override;
    void hoverLeaveEvent(QGraphicsSceneHoverEvent *event) override;
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseMoveEvent(QGraphicsSceneMouseEvent *event) override;
    void mouseReleaseEvent(QGraphicsSceneMouseEvent *event) override;

    void updateCursor();

private:
    void hover(const QPointF &pos);
    void takeFastDraw();
    void releaseFastDraw();

    QPointF m_pressPos;
    QPointF m_lastPos;
    QPointF m_currentPos;
    QPoint m_pressScreenPos;
    QElapsedTimer m_pressTimer;
    int m_hoverPart = NoPart;
    int m_activePart = NoPart;
    int m_startDragTime = -1;
    bool m_lastPosSet = false;
    QPointer<Scene> m_fastDrawScene;
    bool m_holdsFastDraw = false;
};
