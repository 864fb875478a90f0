#pragma once

#include <QLinearGradient>
#include <QPointer>

#include "scene/scenelayer.h"

class BackgroundProperties;

// Paints the page background of a theme: nothing, a colour, a gradient
// under an angle, or a picture covering the page.
class GraphicsBackgroundItem : public SceneLayer
{
    Q_OBJECT

public:
    GraphicsBackgroundItem(BackgroundProperties *background, QGraphicsItem *parent = nullptr);

    BackgroundProperties *background() const;

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // The gradient that runs across `rect` under `angle` degrees clockwise:
    // 0 from the top edge to the bottom edge, 90 from the left edge to the
    // right edge.
    static QLinearGradient gradient(const QRectF &rect, qreal angle);

public Q_SLOTS:
    void queueUpdate();

private:
    QPointer<BackgroundProperties> m_background;
};
