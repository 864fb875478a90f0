#pragma once

#include <QColor>
#include <QHash>
#include <QObject>
#include <QPoint>
#include <QPointer>
#include <QSet>

class QGraphicsDropShadowEffect;
class QGraphicsItem;
class QTransform;
class ShadowProperties;

// Gives a theme's photo items their drop shadows, one per item or one for
// the whole group, and keeps the shadows' values in device pixels: the
// layer that shows the items calls recompute() with its device transform
// when it paints, so the shadow scales with the page.
class ShadowsWatcher : public QObject
{
    Q_OBJECT

public:
    ShadowsWatcher(
        ShadowProperties *properties, QGraphicsItem *groupItem, QObject *parent = nullptr);

    void addItem(QGraphicsItem *item);
    void removeItem(QGraphicsItem *item);
    // Brings every shadow to the properties as seen through `deviceTransform`;
    // values that have not changed are not applied again.
    void recompute(const QTransform &deviceTransform);

    bool isDirty() const { return m_dirty; }
    bool useGroup() const { return m_useGroup; }
    QGraphicsItem *groupItem() const { return m_groupItem; }
    // The effect this watcher gave the item; null when it has none.
    QGraphicsDropShadowEffect *effect(QGraphicsItem *item) const { return m_effects.value(item); }
    int effectCount() const { return int(m_effects.size()); }

    // The values last applied, in device pixels.
    QPoint appliedOffset() const { return QPoint(m_offsetX, m_offsetY); }
    int appliedBlurRadius() const { return m_blurRadius; }
    QColor appliedColor() const { return m_color; }
    bool appliedEnabled() const { return m_enabled; }

public Q_SLOTS:
    void update();
    void setUseGroup(bool useGroup);

Q_SIGNALS:
    void needUpdate();

private:
    void giveEffect(QGraphicsItem *item);
    void takeEffect(QGraphicsItem *item);
    void apply(QGraphicsDropShadowEffect *effect) const;
    void watchLifetime(QGraphicsItem *item);
    void itemDestroyed(QObject *object);
    void effectDestroyed(QObject *object);

    bool m_dirty = true;
    QPointer<ShadowProperties> m_properties;
    QSet<QGraphicsItem *> m_items;
    QHash<QGraphicsItem *, QGraphicsDropShadowEffect *> m_effects;
    QGraphicsItem *m_groupItem = nullptr;
    int m_offsetX = 0;
    int m_offsetY = 0;
    int m_blurRadius = 0;
    QColor m_color;
    bool m_enabled = false;
    bool m_useGroup = false;
    // Items that are objects, so that one deleted without being removed
    // first is forgotten instead of left dangling.
    QHash<QObject *, QGraphicsItem *> m_objects;
};
