#pragma once

// A small theme for the scene tests: a background layer and a few flat
// coloured "photos" in a group item, with drop shadows from a watcher,
// laid out in page units. Its items are what the page tests look at.

#include <QColor>
#include <QDataStream>
#include <QList>
#include <QPainter>
#include <QPointer>

#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/shadowproperties.h"
#include "scene/editablegraphicsobject.h"
#include "scene/graphicsbackgrounditem.h"
#include "scene/scene.h"
#include "scene/scenelayer.h"
#include "scene/shadowswatcher.h"
#include "themes/theme.h"

struct SceneTestPhoto
{
    QRectF rect;
    QColor color;
    qreal rotation = 0;
};

class SceneTestPhotoItem : public EditableGraphicsObject
{
public:
    SceneTestPhotoItem(const SceneTestPhoto &photo, QGraphicsItem *parent)
        : EditableGraphicsObject(parent)
        , m_photo(photo)
    {
        setPos(photo.rect.center());
        setRotation(photo.rotation);
        setFlag(ItemIsSelectable);
    }

    QRectF boundingRect() const override
    {
        const QSizeF size = m_photo.rect.size();
        return QRectF(-size.width() / 2, -size.height() / 2, size.width(), size.height());
    }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        painter->fillRect(boundingRect(), m_photo.color);
    }

private:
    SceneTestPhoto m_photo;
};

class SceneTestLayer : public SceneLayer
{
public:
    SceneTestLayer(Document *document, ShadowProperties *shadows, BackgroundProperties *background,
        const QList<SceneTestPhoto> &photos, QGraphicsItem *parent)
        : SceneLayer(document, parent)
    {
        new GraphicsBackgroundItem(background, this);
        auto *group = new SceneLayer(document, this);
        group->setFlag(ItemHasNoContents);
        watcher = new ShadowsWatcher(shadows, group, this);
        QObject::connect(watcher, &ShadowsWatcher::needUpdate, this, [this] { update(); });
        for (const SceneTestPhoto &photo : photos) {
            watcher->addItem(new SceneTestPhotoItem(photo, group));
        }
    }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *, QWidget *) override
    {
        watcher->recompute(painter->transform());
    }

    ShadowsWatcher *watcher = nullptr;
};

class SceneTestTheme : public Theme
{
public:
    static QByteArray id() { return QByteArrayLiteral("com.quorvane.collage.theme.scenetest"); }

    explicit SceneTestTheme(Document *document)
        : Theme(document)
        , shadows(new ShadowProperties(document, this))
        , background(new BackgroundProperties(document, this))
    {
    }

    SceneLayer *createSceneItem(QGraphicsItem *parent, QGraphicsScene *) override
    {
        layer = new SceneTestLayer(document(), shadows, background, photos, parent);
        return layer;
    }
    void save(QDataStream &) const override { }
    void load(QDataStream &) override { }

    ShadowProperties *shadows;
    BackgroundProperties *background;
    QList<SceneTestPhoto> photos;
    QPointer<SceneTestLayer> layer;
};
