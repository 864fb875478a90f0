#include "viewzoom.h"

#include <QGraphicsView>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>

#include "scene/scene.h"

ViewZoom::ViewZoom(QGraphicsView *view, QObject *parent)
    : QObject(parent)
    , m_view(view)
{
    m_settle.setSingleShot(true);
    m_settle.setInterval(SettleMs);
    connect(&m_settle, &QTimer::timeout, this, &ViewZoom::releaseFastDraw);
    // The view's own anchoring would fight ours.
    m_view->setTransformationAnchor(QGraphicsView::NoAnchor);
    m_view->setResizeAnchor(QGraphicsView::NoAnchor);
    m_view->viewport()->installEventFilter(this);
}

Scene *ViewZoom::scene() const
{
    return m_view ? qobject_cast<Scene *>(m_view->scene()) : nullptr;
}

QPointF ViewZoom::viewportCentre() const
{
    return QRectF(m_view->viewport()->rect()).center();
}

void ViewZoom::zoomIn()
{
    zoomBy(StepRatio, viewportCentre());
}

void ViewZoom::zoomOut()
{
    zoomBy(1.0 / StepRatio, viewportCentre());
}

void ViewZoom::resetZoom()
{
    applyFactor(MinimumFactor, viewportCentre());
}

void ViewZoom::zoomBy(qreal ratio, const QPointF &viewportAnchor)
{
    applyFactor(m_factor * ratio, viewportAnchor);
}

void ViewZoom::applyFactor(qreal factor, const QPointF &viewportAnchor)
{
    if (!m_view)
        return;
    factor = qBound(MinimumFactor, factor, MaximumFactor);
    // Snap back to the fitted page instead of leaving a sliver of zoom.
    if (std::abs(factor - MinimumFactor) < 1e-3)
        factor = MinimumFactor;
    if (qFuzzyCompare(factor, m_factor))
        return;
    holdFastDraw();
    const QPointF anchorInScene = m_view->mapToScene(viewportAnchor.toPoint());
    m_factor = factor;
    m_view->setTransform(QTransform::fromScale(factor, factor));
    // Scroll so that the anchored scene point is under the anchor again.
    const QPointF drift = m_view->mapFromScene(anchorInScene) - viewportAnchor;
    QScrollBar *horizontal = m_view->horizontalScrollBar();
    QScrollBar *vertical = m_view->verticalScrollBar();
    horizontal->setValue(horizontal->value() + qRound(drift.x()));
    vertical->setValue(vertical->value() + qRound(drift.y()));
    m_view->setDragMode(
        m_factor > MinimumFactor ? QGraphicsView::ScrollHandDrag : QGraphicsView::NoDrag);
    Q_EMIT factorChanged(m_factor);
}

void ViewZoom::holdFastDraw()
{
    if (!m_heldScene) {
        m_heldScene = scene();
        if (m_heldScene)
            m_heldScene->beginFastDraw();
    }
    m_settle.start();
}

void ViewZoom::releaseFastDraw()
{
    if (m_heldScene) {
        m_heldScene->endFastDraw();
        m_heldScene->update();
        m_heldScene = nullptr;
    }
}

bool ViewZoom::eventFilter(QObject *watched, QEvent *event)
{
    if (m_view && watched == m_view->viewport() && event->type() == QEvent::Wheel) {
        auto *wheel = static_cast<QWheelEvent *>(event);
        if (wheel->modifiers() & Qt::ControlModifier) {
            const int delta = wheel->angleDelta().y();
            if (delta != 0)
                zoomBy(std::pow(StepRatio, delta / 120.0), wheel->position());
            return true;
        }
        if (m_factor > MinimumFactor) {
            // Pan the magnified page; the scroll bars are hidden but keep
            // the view's scroll range.
            const QPoint delta
                = wheel->pixelDelta().isNull() ? wheel->angleDelta() / 2 : wheel->pixelDelta();
            QScrollBar *horizontal = m_view->horizontalScrollBar();
            QScrollBar *vertical = m_view->verticalScrollBar();
            if (wheel->modifiers() & Qt::ShiftModifier) {
                horizontal->setValue(horizontal->value() - delta.y());
            } else {
                horizontal->setValue(horizontal->value() - delta.x());
                vertical->setValue(vertical->value() - delta.y());
            }
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}
