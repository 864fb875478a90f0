#pragma once

#include <QObject>
#include <QPointF>
#include <QPointer>
#include <QTimer>

class QGraphicsView;
class Scene;

// Zoom of the page view on top of the fitting of the page: factor 1 shows
// the whole page as the scene lays it out; larger factors magnify around
// the pointer or the view's centre. While zoomed the view pans by dragging
// the empty background or with the scroll wheel. Zoom steps draw fast, as
// a drag does, until the zooming pauses.
class ViewZoom : public QObject
{
    Q_OBJECT
    Q_PROPERTY(qreal factor READ factor NOTIFY factorChanged)

public:
    static constexpr qreal MinimumFactor = 1.0;
    static constexpr qreal MaximumFactor = 8.0;
    // One wheel notch or one key press.
    static constexpr qreal StepRatio = 1.25;
    // How long after the last step the page is drawn carefully again.
    static constexpr int SettleMs = 250;

    explicit ViewZoom(QGraphicsView *view, QObject *parent = nullptr);

    qreal factor() const { return m_factor; }
    bool isSettling() const { return m_settle.isActive(); }

    // Multiplies the factor by `ratio` keeping the scene point under
    // `viewportAnchor` where it is.
    void zoomBy(qreal ratio, const QPointF &viewportAnchor);

public Q_SLOTS:
    void zoomIn();
    void zoomOut();
    void resetZoom();

Q_SIGNALS:
    void factorChanged(qreal factor);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void applyFactor(qreal factor, const QPointF &viewportAnchor);
    QPointF viewportCentre() const;
    void holdFastDraw();
    void releaseFastDraw();
    Scene *scene() const;

    QPointer<QGraphicsView> m_view;
    QPointer<Scene> m_heldScene;
    qreal m_factor = 1.0;
    QTimer m_settle;
};
