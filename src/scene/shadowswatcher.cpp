#include "shadowswatcher.h"

#include <QGraphicsItem>
#include <QGraphicsObject>
#include <QTransform>
#include <cmath>

#include "model/shadowproperties.h"
#include "scene/cacheddropshadoweffect.h"
#include "scene/connecteach.h"

ShadowsWatcher::ShadowsWatcher(
    ShadowProperties *properties, QGraphicsItem *groupItem, QObject *parent)
    : QObject(parent)
    , m_properties(properties)
    , m_groupItem(groupItem)
{
    if (properties) {
        connectEach(properties, this, &ShadowsWatcher::update, &ShadowProperties::angleChanged,
            &ShadowProperties::blurRadiusChanged, &ShadowProperties::colorChanged,
            &ShadowProperties::distanceChanged, &ShadowProperties::enabledChanged);
        connect(properties, &ShadowProperties::groupChanged, this, &ShadowsWatcher::setUseGroup);
        m_useGroup = properties->group();
    }
    watchLifetime(m_groupItem);
    if (m_useGroup)
        giveEffect(m_groupItem);
    m_dirty = true;
    emit needUpdate();
}

void ShadowsWatcher::addItem(QGraphicsItem *item)
{
    if (!item || m_items.contains(item))
        return;
    m_items.insert(item);
    watchLifetime(item);
    if (!m_useGroup)
        giveEffect(item);
}

void ShadowsWatcher::removeItem(QGraphicsItem *item)
{
    if (!m_items.contains(item))
        return;
    takeEffect(item);
    m_items.remove(item);
    if (item != m_groupItem) {
        if (QGraphicsObject *object = item->toGraphicsObject()) {
            disconnect(object, nullptr, this, nullptr);
            m_objects.remove(object);
        }
    }
}

void ShadowsWatcher::recompute(const QTransform &deviceTransform)
{
    m_dirty = false;
    if (!m_properties)
        return;

    const QPointF o = deviceTransform.map(QPointF(0, 0));
    const QPointF p = deviceTransform.map(m_properties->offset());
    const QPointF b = deviceTransform.map(QPointF(m_properties->blurRadius(), 0));
    // Single precision and truncation, so that a radius just under a whole
    // pixel stays below it.
    const int blurRadius = int(hypotf(float(b.x() - o.x()), float(b.y() - o.y())));
    const int offsetX = qRound(p.x() - o.x());
    const int offsetY = qRound(p.y() - o.y());
    const QColor color = m_properties->color();
    const bool enabled = m_properties->enabled();

    if (offsetX == m_offsetX && offsetY == m_offsetY && blurRadius == m_blurRadius
        && color == m_color && enabled == m_enabled)
        return;
    m_offsetX = offsetX;
    m_offsetY = offsetY;
    m_blurRadius = blurRadius;
    m_color = color;
    m_enabled = enabled;
    for (QGraphicsDropShadowEffect *effect : std::as_const(m_effects))
        apply(effect);
}

void ShadowsWatcher::update()
{
    m_dirty = true;
    emit needUpdate();
}

void ShadowsWatcher::setUseGroup(bool useGroup)
{
    m_useGroup = useGroup;
    if (useGroup) {
        for (QGraphicsItem *item : std::as_const(m_items))
            takeEffect(item);
        giveEffect(m_groupItem);
    } else {
        takeEffect(m_groupItem);
        for (QGraphicsItem *item : std::as_const(m_items))
            giveEffect(item);
    }
    m_dirty = true;
    emit needUpdate();
}

void ShadowsWatcher::giveEffect(QGraphicsItem *item)
{
    if (!item)
        return;
    if (QGraphicsDropShadowEffect *effect = m_effects.value(item)) {
        apply(effect);
        return;
    }
    // The cached effect looks the same as the stock one but does not blur
    // again while items only move, which keeps dragging smooth.
    auto *effect = new CachedDropShadowEffect(item);
    apply(effect);
    connect(effect, &QObject::destroyed, this, &ShadowsWatcher::effectDestroyed);
    item->setGraphicsEffect(effect);
    m_effects.insert(item, effect);
}

void ShadowsWatcher::takeEffect(QGraphicsItem *item)
{
    QGraphicsDropShadowEffect *effect = m_effects.take(item);
    if (!effect)
        return;
    disconnect(effect, nullptr, this, nullptr);
    // Only remove the effect if it is still the item's; the item owns and
    // deletes it.
    if (item->graphicsEffect() == effect)
        item->setGraphicsEffect(nullptr);
}

void ShadowsWatcher::apply(QGraphicsDropShadowEffect *effect) const
{
    effect->setEnabled(m_enabled);
    effect->setOffset(m_offsetX, m_offsetY);
    effect->setBlurRadius(m_blurRadius);
    effect->setColor(m_color);
}

void ShadowsWatcher::watchLifetime(QGraphicsItem *item)
{
    if (!item)
        return;
    QGraphicsObject *object = item->toGraphicsObject();
    if (!object || m_objects.contains(object))
        return;
    m_objects.insert(object, item);
    connect(object, &QObject::destroyed, this, &ShadowsWatcher::itemDestroyed);
}

void ShadowsWatcher::itemDestroyed(QObject *object)
{
    // The item and its effect are gone already; drop the pointers only.
    QGraphicsItem *item = m_objects.take(object);
    if (!item)
        return;
    m_effects.remove(item);
    m_items.remove(item);
    if (item == m_groupItem)
        m_groupItem = nullptr;
}

void ShadowsWatcher::effectDestroyed(QObject *object)
{
    for (auto it = m_effects.begin(); it != m_effects.end();) {
        if (static_cast<QObject *>(it.value()) == object)
            it = m_effects.erase(it);
        else
            ++it;
    }
}
