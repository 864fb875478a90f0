#include "overlaygestures.h"

#include <QLineF>
#include <QPainter>
#include <QPen>

#include "scene/editablegraphicsobject.h"

namespace OverlayGestures {

QPointF pagePoint(const QPointF &fraction, const QRectF &page)
{
    return QPointF(
        page.left() + fraction.x() * page.width(), page.top() + fraction.y() * page.height());
}

int hitTest(const QRectF &rect, const QPointF &pos)
{
    //   +-----------------------+
    //   |       12 (band)       |
    //   |   +---------------+   |
    //   |   |   3 (move)    |   |   band: 15% of the width left and right,
    //   |   +---------------+   |         15% of the height top and bottom
    //   |                       |
    //   +-----------------------+
    if (!rect.contains(pos))
        return EditableGraphicsObject::NoPart;
    const qreal dx = BorderFraction * rect.width();
    const qreal dy = BorderFraction * rect.height();
    if (rect.adjusted(dx, dy, -dx, -dy).contains(pos))
        return EditableGraphicsObject::MovePart;
    return EditableGraphicsObject::RotateScalePart;
}

QPointF movedPosition(const QPointF &position, const QPointF &delta, const QSizeF &page)
{
    return QPointF(
        position.x() + delta.x() / page.width(), position.y() + delta.y() / page.height());
}

qreal turnedRotation(
    qreal rotation, const QPointF &centre, const QPointF &last, const QPointF &current)
{
    const QLineF fromLast(centre, last);
    const QLineF toCurrent(centre, current);
    // Line angles grow counter-clockwise on screen, rotations clockwise:
    // the angle from the current line back to the last one is the turn.
    return rotation + toCurrent.angleTo(fromLast);
}

qreal scaledScale(qreal scale, const QPointF &centre, const QPointF &last, const QPointF &current)
{
    const qreal lastLength = QLineF(centre, last).length();
    if (lastLength <= 0)
        return scale;
    const qreal currentLength = QLineF(centre, current).length();
    return qMax(scale * currentLength / lastLength, MinimumDragScale);
}

void paintSelectionFrame(QPainter *painter, const QRectF &rect)
{
    const QColor blue(0, 120, 215);
    QPen pen(blue, 0, Qt::SolidLine);
    pen.setCosmetic(true);
    QColor fill = blue;
    fill.setAlpha(30);
    painter->save();
    painter->setPen(pen);
    painter->setBrush(fill);
    painter->drawRect(rect);
    painter->restore();
}

} // namespace OverlayGestures
