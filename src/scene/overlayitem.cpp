#include "overlayitem.h"

#include <QCursor>
#include <QEvent>

#include "model/documentpart.h"
#include "model/replacesender.h"
#include "scene/documentinneritem.h"
#include "scene/overlaygestures.h"
#include "undo/undostack.h"

OverlayItem::OverlayItem(QObject *properties, const QString &turnText, QGraphicsItem *parent)
    : EditableGraphicsObject(parent)
    , m_placement(properties)
    , m_turnText(turnText)
{
    // Movable stays off: the item moves only through its parts, so that
    // every move is an undoable edit.
    setFlag(ItemIsSelectable, true);
    setFlag(ItemIsMovable, false);
    setAcceptHoverEvents(true);
    setCursor(Qt::SizeAllCursor);
    followPage();
}

OverlayItem::~OverlayItem()
{
    endGesture();
}

QRectF OverlayItem::boundingRect() const
{
    return m_rect;
}

int OverlayItem::hitTest(const QPointF &pos)
{
    return OverlayGestures::hitTest(m_rect, pos);
}

QPointF OverlayItem::transformCenter() const
{
    return m_rect.center();
}

void OverlayItem::applyPlacement()
{
    if (!m_placement)
        return;
    if (QGraphicsItem *page = parentItem()) {
        const QPointF position = m_placement->property("position").toPointF();
        setPos(OverlayGestures::pagePoint(position, page->boundingRect()));
    }
    setRotation(m_placement->property("rotation").toReal());
    setScale(m_placement->property("scale").toReal());
    setOpacity(m_placement->property("opacity").toReal());
}

void OverlayItem::paintSelection(QPainter *painter) const
{
    if (isSelected())
        OverlayGestures::paintSelectionFrame(painter, m_rect);
}

QVariant OverlayItem::itemChange(GraphicsItemChange change, const QVariant &value)
{
    if (change == ItemParentHasChanged) {
        followPage();
        onPropertyChanged();
    }
    return EditableGraphicsObject::itemChange(change, value);
}

void OverlayItem::followPage()
{
    // Size and position are fractions of the page: a new page size moves
    // (and for stickers resizes) the item with it.
    auto *page = qobject_cast<DocumentInnerItem *>(parentObject());
    if (replaceSender(m_page, page, this) && page)
        connect(page, &DocumentInnerItem::geometryChanged, this, &OverlayItem::onPropertyChanged);
}

void OverlayItem::partDragged(int &part)
{
    QGraphicsItem *page = parentItem();
    if (!m_placement || !page || page->boundingRect().isEmpty())
        return;
    // The item moves and turns under the pointer: the next step starts from
    // the pointer's place expressed in the item's new coordinates.
    const QPointF pointer = mapToParent(currentPos());
    if (part == MovePart) {
        const QPointF delta = pointer - mapToParent(lastPos());
        const QPointF position = m_placement->property("position").toPointF();
        m_placement->setProperty("position",
            OverlayGestures::movedPosition(position, delta, page->boundingRect().size()));
    } else if (part == RotateScalePart) {
        turnAndScale();
    } else {
        return;
    }
    setLastPos(mapFromParent(pointer));
}

void OverlayItem::turnAndScale()
{
    const QPointF centre = transformCenter();
    const qreal oldRotation = m_placement->property("rotation").toReal();
    const qreal oldScale = m_placement->property("scale").toReal();
    const qreal rotation
        = OverlayGestures::turnedRotation(oldRotation, centre, lastPos(), currentPos());
    const qreal scale = OverlayGestures::scaledScale(oldScale, centre, lastPos(), currentPos());
    // Turning and scaling alternate on the stack and could not merge step by
    // step; the gesture is one macro instead.
    const auto *part = dynamic_cast<const DocumentPart *>(m_placement.data());
    if (!m_gestureStack && part && part->undoStack()) {
        m_gestureStack = part->undoStack();
        m_gestureStack->beginMacro(m_turnText);
    }
    if (rotation != oldRotation)
        m_placement->setProperty("rotation", rotation);
    if (scale != oldScale)
        m_placement->setProperty("scale", scale);
}

void OverlayItem::partReleased(int &)
{
    endGesture();
}

bool OverlayItem::sceneEvent(QEvent *event)
{
    // A grab can end without a release (a dialog taking the pointer); the
    // gesture's undo step must still be closed.
    if (event->type() == QEvent::UngrabMouse)
        endGesture();
    return EditableGraphicsObject::sceneEvent(event);
}

void OverlayItem::endGesture()
{
    if (!m_gestureStack)
        return;
    UndoStack *stack = m_gestureStack;
    m_gestureStack = nullptr;
    stack->endMacro();
}
