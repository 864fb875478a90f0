#pragma once

#include <QPointer>
#include <QRectF>

#include "scene/editablegraphicsobject.h"

class FrameProperties;
class ImageSource;
class PhotoDropItemProperties;
class Scene;

// One photo of the Photo Drop pile on the page: the picture with its frame,
// colour filter and mask, and the blue ring while it is selected. The item
// carries a transform linked to the photo's ItemTransform, so it follows
// every move, turn and zoom of the photo. The middle of the photo moves it,
// the border band turns and scales it about its centre; both go through the
// transform's undoable setters.
//
//        +---------------------------+  outerRect (bounding rectangle)
//        |  +---------------------+  |
//        |  |                     |  |  photoRect: the unit size scaled
//        |  |       (0, 0)        |  |  by (1 - f), centred on the origin
//        |  |                     |  |
//        |  +---------------------+  |  frameWidth: min(u.w * f, u.h * f) / 2
//        +---------------------------+
class PhotoDropItem : public EditableGraphicsObject
{
    Q_OBJECT

public:
    // Share of the outer rectangle's width and height taken by the middle
    // part that moves the photo; the band around it turns and scales.
    static constexpr qreal MoveAreaFraction = 0.7;

    PhotoDropItem(PhotoDropItemProperties *properties, FrameProperties *frames,
        QGraphicsItem *parent = nullptr);
    ~PhotoDropItem() override;

    PhotoDropItemProperties *properties() const;
    FrameProperties *frames() const;

    QRectF photoRect() const { return m_photoRect; }
    qreal frameWidth() const { return m_frameWidth; }
    QRectF outerRect() const { return m_outerRect; }

    // Also the shape, as QGraphicsItem makes it by default.
    QRectF boundingRect() const override;
    QPainterPath opaqueArea() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    int hitTest(const QPointF &pos) override;
    QPointF transformCenter() const override;

Q_SIGNALS:
    // The item's own selected state changed; its layer mirrors it into the
    // scene's selection model.
    void selectedChanged(bool selected);

protected Q_SLOTS:
    void sceneSelectionChanged();
    void frameSizeChanged(qreal size);
    void frameColorChanged();
    void frameEnabledChange(bool enabled);
    void _sourceSizeChanged();
    void _sourceChanged(ImageSource *source);
    void _queueUpdate();
    void _fastDrawChanged(bool fastDraw);

protected:
    void partDragged(int &part) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void recomputeGeometry();
    void connectSource(ImageSource *source);
    void attachToScene(Scene *scene);
    void detachFromScene();

    QPointer<PhotoDropItemProperties> m_properties;
    QPointer<FrameProperties> m_frames;
    QPointer<ImageSource> m_source;
    QPointer<Scene> m_scene;
    QRectF m_photoRect;
    qreal m_frameWidth = 0;
    QRectF m_outerRect;
    // The selected state last reported, so that a scene-wide selection
    // change is passed on only by the items it concerns.
    bool m_reportedSelected = false;
    // Whether the last paint was a cheap one, made during a drag.
    bool m_paintedFast = false;
};
