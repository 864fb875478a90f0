#include "imaging/photomasks.h"

#include <QCoreApplication>
#include <QPolygonF>
#include <QRectF>

#include <cmath>

#include "imaging/translatedlabels.h"

namespace PhotoMasks {

namespace {

const char *const maskLabels[maskCount] = {
    QT_TRANSLATE_NOOP("PhotoMasks", "None"),
    QT_TRANSLATE_NOOP("PhotoMasks", "Circle"),
    QT_TRANSLATE_NOOP("PhotoMasks", "Heart"),
    QT_TRANSLATE_NOOP("PhotoMasks", "Star"),
    QT_TRANSLATE_NOOP("PhotoMasks", "Diamond"),
    QT_TRANSLATE_NOOP("PhotoMasks", "Hexagon"),
};

constexpr double pi = 3.14159265358979323846;

// Two mirrored cubics from the bottom tip up to the dip between the lobes:
//
//        .-.   .-.
//       (   `v'   )     dip at (cx, cy - 0.15 ry)
//        `.     .'
//          `. .'
//            v          tip at (cx, cy + ry)
QPainterPath heart(const QRectF &r)
{
    const qreal cx = r.center().x(), cy = r.center().y();
    const qreal rx = r.width() / 2, ry = r.height() / 2;
    QPainterPath path(QPointF(cx, cy + ry));
    path.cubicTo(QPointF(cx - 1.1 * rx, cy - 0.2 * ry), QPointF(cx - 0.7 * rx, cy - 1.1 * ry),
        QPointF(cx, cy - 0.15 * ry));
    path.cubicTo(QPointF(cx + 0.7 * rx, cy - 1.1 * ry), QPointF(cx + 1.1 * rx, cy - 0.2 * ry),
        QPointF(cx, cy + ry));
    path.closeSubpath();
    return path;
}

// Vertices on circles around the centre, the k-th at angle k * step + start
// (radians, clockwise on screen because y grows downward).
QPainterPath radialPolygon(
    const QRectF &r, int count, double step, double start, double evenRadius, double oddRadius)
{
    const QPointF c = r.center();
    QPolygonF polygon;
    polygon.reserve(count);
    for (int k = 0; k < count; ++k) {
        const double angle = k * step + start;
        const double radius = k % 2 == 0 ? evenRadius : oddRadius;
        polygon << QPointF(c.x() + radius * std::cos(angle), c.y() + radius * std::sin(angle));
    }
    QPainterPath path;
    path.addPolygon(polygon);
    path.closeSubpath();
    return path;
}

} // namespace

bool isActive(int maskShape)
{
    return maskShape > None && maskShape < maskCount;
}

QStringList maskNames()
{
    return translatedLabels("PhotoMasks", maskLabels);
}

QPainterPath maskOutline(int maskShape, const QRectF &rect)
{
    const qreal rx = rect.width() / 2, ry = rect.height() / 2;
    const qreal shorter = qMin(rx, ry);
    QPainterPath path;
    switch (maskShape) {
    case Circle:
        path.addEllipse(rect);
        break;
    case Heart:
        path = heart(rect);
        break;
    case Star:
        // First vertex straight above the centre; inner radius 0.38 R.
        path = radialPolygon(rect, 10, pi / 5, -pi / 2, shorter, 0.38 * shorter);
        break;
    case Diamond: {
        const QPointF c = rect.center();
        path.addPolygon(QPolygonF { QPointF(c.x(), c.y() - ry), QPointF(c.x() + rx, c.y()),
            QPointF(c.x(), c.y() + ry), QPointF(c.x() - rx, c.y()) });
        path.closeSubpath();
        break;
    }
    case Hexagon:
        // Pointed at top and bottom; on a wide photo the sides stay uncovered.
        path = radialPolygon(rect, 6, pi / 3, pi / 6, shorter, shorter);
        break;
    default:
        path.addRect(rect);
        break;
    }
    return path;
}

} // namespace PhotoMasks
