#include "editcursors.h"

#include <QPainter>
#include <QPixmap>
#include <QPolygonF>
#include <QTransform>
#include <QtMath>

namespace {

QPointF polar(qreal radius, qreal angleDegrees)
{
    return QLineF::fromPolar(radius, angleDegrees).p2();
}

QRectF circle(qreal radius)
{
    return QRectF(-radius, -radius, 2 * radius, 2 * radius);
}

} // namespace

QPainterPath EditCursors::doubleArrow()
{
    const QPolygonF polygon {
        { 7.5, -1.5 },
        { 7.5, -5.5 },
        { 13.5, 0 },
        { 7.5, 5.5 },
        { 7.5, 1.5 },
        { -7.5, 1.5 },
        { -7.5, 5.5 },
        { -13.5, 0 },
        { -7.5, -5.5 },
        { -7.5, -1.5 },
    };
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

QPainterPath EditCursors::moveShape()
{
    const QPainterPath arrow = doubleArrow();
    return arrow.united(QTransform().rotate(90).map(arrow));
}

QPainterPath EditCursors::rotateShape(const QLineF &line)
{
    //            tip (r, a + g)
    //             /\               outer arc: radius r + 2
    //            /  \              inner arc: radius r - 2
    //           /_  _\   <- barbs at a + b, r - 6 and r + 6
    //             ||
    //             ||   (r, a) = origin after the final move
    //           _ || _
    //           \    /
    //            \  /
    //             \/  tip (r, a - g)
    const qreal r = qBound<qreal>(16, line.length(), 32);
    const qreal a = line.angle();
    const qreal alpha = qRadiansToDegrees(4.6 / r);
    const qreal beta = qRadiansToDegrees((4.6 * 2 / 3) / r);
    const qreal gamma = qRadiansToDegrees((4.6 * 3) / r);

    QPainterPath path;
    path.setFillRule(Qt::WindingFill);
    path.moveTo(polar(r - 2, a + alpha));
    path.arcTo(circle(r - 2), a + alpha, -2 * alpha);
    path.lineTo(polar(r - 6, a - beta));
    path.lineTo(polar(r, a - gamma));
    path.lineTo(polar(r + 6, a - beta));
    path.arcTo(circle(r + 2), a - alpha, 2 * alpha);
    path.lineTo(polar(r + 6, a + beta));
    path.lineTo(polar(r, a + gamma));
    path.lineTo(polar(r - 6, a + beta));
    path.closeSubpath();
    return path.translated(-polar(r, a));
}

QPainterPath EditCursors::rotateScaleShape(const QLineF &line)
{
    const QPainterPath arrow = QTransform().rotate(-line.angle()).map(doubleArrow());
    return rotateShape(line).united(arrow);
}

QCursor EditCursors::cursorFromShape(const QPainterPath &path)
{
    const QRectF bounds = path.boundingRect().adjusted(-1, -1, 1, 1);
    const QSize size = bounds.size().toSize().expandedTo(QSize(1, 1));
    QPixmap pixmap(size);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.translate(-bounds.topLeft());
        painter.setPen(QPen(Qt::black, 1));
        painter.setBrush(Qt::white);
        painter.drawPath(path);
    }
    return QCursor(pixmap, size.width() / 2, size.height() / 2);
}

QCursor EditCursors::moveCursor()
{
    // Not kept in a static: a pixmap must not outlive the application.
    return cursorFromShape(moveShape());
}

QCursor EditCursors::rotateCursor(const QLineF &line)
{
    return cursorFromShape(rotateShape(line));
}

QCursor EditCursors::rotateScaleCursor(const QLineF &line)
{
    return cursorFromShape(rotateScaleShape(line));
}
