#include "photopainting.h"

#include <QLineF>
#include <QPainter>
#include <QPainterPath>

#include "imaging/drawflags.h"
#include "imaging/imagefilters.h"
#include "model/frameproperties.h"

namespace PhotoPainting {

void paintFrame(QPainter *painter, const QRectF &rect, const FrameProperties *frames)
{
    if (frames && frames->enabled()) {
        painter->setPen(Qt::NoPen);
        painter->fillRect(rect, frames->color());
    }
}

void paintPhoto(QPainter *painter, int flags, int filter, const QRectF &rect,
    const QPainterPath &clip, const std::function<void(QPainter *)> &draw)
{
    // A noting pass needs the picture named, not filtered.
    if (!ImageFilters::isActive(filter) || (flags & CollectImages)) {
        painter->save();
        if (!clip.isEmpty())
            painter->setClipPath(clip, Qt::IntersectClip);
        draw(painter);
        painter->restore();
    } else {
        // Filtered at the device's resolution, over the photo's own device
        // pixels only.
        ImageFilters::paintFiltered(painter, rect, filter, clip, draw);
    }
}

void paintSelectionRing(QPainter *painter, const QRectF &rect)
{
    const QTransform toItem = painter->deviceTransform().inverted();
    const qreal thickness = QLineF(toItem.map(QPointF(0, 0)), toItem.map(QPointF(2, 2))).length();
    const QRectF inner = rect.adjusted(thickness, thickness, -thickness, -thickness);
    QPainterPath ring;
    ring.addRect(rect);
    if (inner.isValid())
        ring.addRect(inner);
    painter->setPen(Qt::NoPen);
    // Plain blue, which stands out from most photos.
    painter->setBrush(QColor(0, 0, 255));
    painter->drawPath(ring);
}

} // namespace PhotoPainting
