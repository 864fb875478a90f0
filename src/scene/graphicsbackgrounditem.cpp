#include "graphicsbackgrounditem.h"

#include <QLinearGradient>
#include <QPainter>
#include <QTransform>

#include "model/backgroundproperties.h"
#include "model/imagesource.h"
#include "scene/connecteach.h"
#include "scene/scene.h"

GraphicsBackgroundItem::GraphicsBackgroundItem(
    BackgroundProperties *background, QGraphicsItem *parent)
    : SceneLayer(background ? background->document() : nullptr, parent)
    , m_background(background)
{
    if (!background)
        return;
    connectEach(background, this, &GraphicsBackgroundItem::queueUpdate,
        &BackgroundProperties::colorChanged, &BackgroundProperties::gradientEndColorChanged,
        &BackgroundProperties::gradientStartColorChanged,
        &BackgroundProperties::gradientAngleChanget, &BackgroundProperties::typeChanged);
    if (ImageSource *image = background->image()) {
        connectEach(image, this, &GraphicsBackgroundItem::queueUpdate, &ImageSource::stateChanged,
            &ImageSource::drawQualityIncrized);
    }
}

BackgroundProperties *GraphicsBackgroundItem::background() const
{
    return m_background;
}

QLinearGradient GraphicsBackgroundItem::gradient(const QRectF &rect, qreal angle)
{
    //   The rectangle turned by the angle has an upright bounding box b;
    //   the gradient runs down b, from its top edge to its bottom edge,
    //   turned back:
    //
    //        b.topLeft  +-----+            start = R^-1(b.topLeft)
    //                   | /\  |            end   = R^-1(b.bottomLeft)
    //                   |/  \ |
    //                   |\  / |
    //                   | \/  |
    //     b.bottomLeft  +-----+
    QTransform rotation;
    rotation.rotate(angle);
    const QTransform back = rotation.inverted();
    const QRectF bounds = rotation.mapRect(rect);
    QLinearGradient gradient(back.map(bounds.topLeft()), back.map(bounds.bottomLeft()));
    return gradient;
}

void GraphicsBackgroundItem::paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *)
{
    if (!m_background)
        return;
    const QRectF r = boundingRect();
    switch (m_background->type()) {
    case BackgroundProperties::None:
        break;
    case BackgroundProperties::Color:
        painter->fillRect(r, m_background->color());
        break;
    case BackgroundProperties::Gradient: {
        QLinearGradient fill = gradient(r, m_background->gradientAngle());
        fill.setColorAt(0, m_background->gradientStartColor());
        fill.setColorAt(1, m_background->gradientEndColor());
        painter->fillRect(r, fill);
        break;
    }
    case BackgroundProperties::Picture:
        // A missing picture draws nothing: the image source only paints
        // once it has an address.
        if (ImageSource *image = m_background->image())
            image->drawInRect(painter, Scene::drawFlags(this), r, Qt::KeepAspectRatioByExpanding);
        break;
    }
}

void GraphicsBackgroundItem::queueUpdate()
{
    update();
}
