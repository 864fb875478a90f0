#include "editablegraphicsobject.h"

#include <QApplication>
#include <QGraphicsSceneHoverEvent>
#include <QGraphicsSceneMouseEvent>
#include <QLineF>

#include "scene/editcursors.h"
#include "scene/scene.h"

EditableGraphicsObject::EditableGraphicsObject(QGraphicsItem *parent)
    : QGraphicsObject(parent)
{
    setAcceptHoverEvents(true);
    setAcceptedMouseButtons(Qt::LeftButton);
}

EditableGraphicsObject::~EditableGraphicsObject()
{
    releaseFastDraw();
}

int EditableGraphicsObject::hitTest(const QPointF &)
{
    return NoPart;
}

void EditableGraphicsObject::partPressed(int &) { }

void EditableGraphicsObject::partDragged(int &) { }

void EditableGraphicsObject::partReleased(int &) { }

void EditableGraphicsObject::clickReleased(QGraphicsSceneMouseEvent *) { }

QPointF EditableGraphicsObject::transformCenter() const
{
    return QPointF(0, 0);
}

bool EditableGraphicsObject::startDrag(QWidget *)
{
    return false;
}

void EditableGraphicsObject::setLastPos(const QPointF &pos)
{
    m_lastPos = pos;
    m_lastPosSet = true;
}

void EditableGraphicsObject::hover(const QPointF &pos)
{
    m_currentPos = pos;
    const int part = hitTest(m_currentPos);
    if (part != m_hoverPart) {
        m_hoverPart = part;
        updateCursor();
    } else if (part & RotateMask) {
        // The rotate cursor turns with the pointer.
        updateCursor();
    }
}

int EditableGraphicsObject::startDragTime() const
{
    return m_startDragTime >= 0 ? m_startDragTime : QApplication::startDragTime();
}

void EditableGraphicsObject::hoverEnterEvent(QGraphicsSceneHoverEvent *event)
{
    hover(event->pos());
    QGraphicsObject::hoverEnterEvent(event);
}

void EditableGraphicsObject::hoverMoveEvent(QGraphicsSceneHoverEvent *event)
{
    hover(event->pos());
    QGraphicsObject::hoverMoveEvent(event);
}

void EditableGraphicsObject::hoverLeaveEvent(QGraphicsSceneHoverEvent *event)
{
    m_currentPos = event->pos();
    if (m_hoverPart != NoPart) {
        m_hoverPart = NoPart;
        updateCursor();
    }
    QGraphicsObject::hoverLeaveEvent(event);
}

void EditableGraphicsObject::mousePressEvent(QGraphicsSceneMouseEvent *event)
{
    m_currentPos = event->pos();
    m_hoverPart = hitTest(m_currentPos);
    updateCursor();
    m_pressScreenPos = event->screenPos();
    m_pressPos = m_lastPos = event->pos();
    m_pressTimer.start();

    const bool wasSelected = isSelected();
    QGraphicsObject::mousePressEvent(event);
    // The item receives the rest of the gesture even when it is neither
    // selectable nor movable.
    event->accept();
    if (m_hoverPart == NoPart && !wasSelected && isSelected())
        m_activePart = SelectPart;
    partPressed(m_hoverPart);
}

void EditableGraphicsObject::mouseMoveEvent(QGraphicsSceneMouseEvent *event)
{
    if (m_activePart == NoPart)
        m_activePart = m_hoverPart;
    m_currentPos = event->pos();
    if (m_activePart & RotateMask)
        updateCursor();

    if ((m_activePart == NoPart || m_activePart == SelectPart) && contains(m_currentPos)) {
        const int distance = (event->screenPos() - m_pressScreenPos).manhattanLength();
        if (distance >= QApplication::startDragDistance()
            || (m_pressTimer.isValid() && m_pressTimer.elapsed() >= startDragTime())) {
            const int previous = m_activePart;
            m_activePart = DragPart;
            releaseFastDraw();
            update();
            if (startDrag(event->widget())) {
                m_activePart = NoPart;
                return;
            }
            m_activePart = previous;
        }
    }

    if (m_activePart != NoPart) {
        takeFastDraw();
        m_lastPosSet = false;
        partDragged(m_activePart);
        if (!m_lastPosSet)
            m_lastPos = m_currentPos;
    } else {
        QGraphicsObject::mouseMoveEvent(event);
    }

    m_hoverPart = hitTest(m_currentPos);
    updateCursor();
}

void EditableGraphicsObject::mouseReleaseEvent(QGraphicsSceneMouseEvent *event)
{
    if (m_activePart != NoPart)
        partReleased(m_activePart);
    else
        clickReleased(event);
    releaseFastDraw();
    update();
    m_activePart = NoPart;
    m_pressScreenPos = QPoint(0, 0);
    m_pressPos = m_lastPos = QPointF(0, 0);
    m_pressTimer.invalidate();
    QGraphicsObject::mouseReleaseEvent(event);
}

void EditableGraphicsObject::updateCursor()
{
    const int part = m_activePart != NoPart ? m_activePart : m_hoverPart;
    switch (part) {
    case MovePart:
    case SecondMovePart:
        setCursor(EditCursors::moveCursor());
        break;
    case RotatePart:
    case SecondRotatePart:
    case RotateScalePart:
    case SecondRotateScalePart: {
        const QLineF line(mapToScene(transformCenter()), mapToScene(m_currentPos));
        setCursor((part & (ScaleBit | (ScaleBit << SecondSetShift)))
                ? EditCursors::rotateScaleCursor(line)
                : EditCursors::rotateCursor(line));
        break;
    }
    default:
        setCursor(Qt::ArrowCursor);
        break;
    }
}

void EditableGraphicsObject::takeFastDraw()
{
    if (m_holdsFastDraw)
        return;
    auto *scene = qobject_cast<Scene *>(this->scene());
    if (!scene)
        return;
    scene->beginFastDraw();
    m_fastDrawScene = scene;
    m_holdsFastDraw = true;
}

void EditableGraphicsObject::releaseFastDraw()
{
    if (!m_holdsFastDraw)
        return;
    m_holdsFastDraw = false;
    if (m_fastDrawScene)
        m_fastDrawScene->endFastDraw();
    m_fastDrawScene = nullptr;
}
