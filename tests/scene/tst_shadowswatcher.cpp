#include <QtTest>

#include <QGraphicsRectItem>
#include <QGraphicsScene>

#include "model/shadowproperties.h"
#include "scene/cacheddropshadoweffect.h"
#include "scene/shadowswatcher.h"

class TestShadowsWatcher : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void deviceValues_data();
    void deviceValues();
    void groupSwitchesEffects();
    void itemsComeAndGo();
};

namespace {

// Photos inside a group item, each watched for shadows.
struct Fixture
{
    explicit Fixture(int count = 3)
    {
        properties.setEnabled(true);
        scene.addItem(groupItem);
        for (int i = 0; i < count; ++i)
            items.append(new QGraphicsRectItem(i * 10, 0, 8, 8, groupItem));
        for (QGraphicsItem *item : std::as_const(items))
            watcher.addItem(item);
    }

    QGraphicsScene scene;
    ShadowProperties properties;
    QGraphicsRectItem *groupItem = new QGraphicsRectItem(0, 0, 100, 100);
    QList<QGraphicsItem *> items;
    ShadowsWatcher watcher { &properties, groupItem };
};

} // namespace

void TestShadowsWatcher::deviceValues_data()
{
    QTest::addColumn<QTransform>("transform");
    QTest::addColumn<qreal>("distance");
    QTest::addColumn<qreal>("angle");
    QTest::addColumn<qreal>("blurRadius");
    QTest::addColumn<QPoint>("expectedOffset");
    QTest::addColumn<int>("expectedBlur");

    QTest::newRow("blur 15.8 at scale 0.5 truncates to 7")
        << QTransform::fromScale(0.5, 0.5) << 0.0 << 0.0 << 15.8 << QPoint(0, 0) << 7;
    QTest::newRow("angle 270 points down, scale 2")
        << QTransform::fromScale(2, 2) << 10.0 << 270.0 << 4.0 << QPoint(0, 20) << 8;
    QTest::newRow("offset rounds to the nearest pixel")
        << QTransform::fromScale(0.25, 0.25) << 10.0 << 0.0 << 0.0 << QPoint(3, 0) << 0;
    QTest::newRow("turned page turns the offset")
        << QTransform().rotate(90) << 10.0 << 0.0 << 5.0 << QPoint(0, 10) << 5;
}

void TestShadowsWatcher::deviceValues()
{
    QFETCH(QTransform, transform);
    QFETCH(qreal, distance);
    QFETCH(qreal, angle);
    QFETCH(qreal, blurRadius);
    QFETCH(QPoint, expectedOffset);
    QFETCH(int, expectedBlur);

    Fixture f;
    f.properties.setColor(QColor(10, 20, 30, 128));
    f.properties.setDistance(distance);
    f.properties.setAngle(angle);
    f.properties.setBlurRadius(blurRadius);
    QVERIFY(f.watcher.isDirty());
    f.watcher.recompute(transform);
    QVERIFY(!f.watcher.isDirty());
    QCOMPARE(f.watcher.effectCount(), f.items.size());
    for (QGraphicsItem *item : std::as_const(f.items)) {
        QGraphicsDropShadowEffect *effect = f.watcher.effect(item);
        QVERIFY(effect);
        QCOMPARE(item->graphicsEffect(), effect);
        QCOMPARE(effect->offset(), QPointF(expectedOffset));
        QCOMPARE(effect->blurRadius(), qreal(expectedBlur));
        QCOMPARE(effect->color(), QColor(10, 20, 30, 128));
        QVERIFY(effect->isEnabled());
    }
}

void TestShadowsWatcher::groupSwitchesEffects()
{
    Fixture f;
    ShadowsWatcher &watcher = f.watcher;
    f.properties.setBlurRadius(5);
    watcher.recompute(QTransform());

    // One shadow for the whole group, or one per photo; whichever effects
    // exist carry the current values.
    for (bool group : { true, false }) {
        f.properties.setGroup(group);
        QCOMPARE(watcher.useGroup(), group);
        QCOMPARE(watcher.effectCount(), group ? 1 : int(f.items.size()));
        QCOMPARE(watcher.effect(f.groupItem) != nullptr, group);
        const auto owners = group ? QList<QGraphicsItem *> { f.groupItem } : f.items;
        for (QGraphicsItem *item : owners) {
            auto *effect = qobject_cast<CachedDropShadowEffect *>(item->graphicsEffect());
            QVERIFY(effect);
            QCOMPARE(effect->blurRadius(), 5.0);
        }
        for (QGraphicsItem *item : std::as_const(f.items))
            QCOMPARE(item->graphicsEffect() != nullptr, !group);
    }
}

void TestShadowsWatcher::itemsComeAndGo()
{
    Fixture f(2);
    f.properties.setDistance(4);
    f.properties.setBlurRadius(6);
    QGraphicsItem *first = f.items.at(0);
    QGraphicsEffect *firstEffect = first->graphicsEffect();
    // Adding again changes nothing.
    f.watcher.addItem(first);
    QCOMPARE(first->graphicsEffect(), firstEffect);
    f.watcher.recompute(QTransform::fromScale(2, 2));

    QPointer<QGraphicsEffect> removed = f.items.at(1)->graphicsEffect();
    f.watcher.removeItem(f.items.at(1));
    QVERIFY(!removed);
    f.watcher.removeItem(f.items.at(1));
    QCOMPARE(f.watcher.effectCount(), 1);

    // An item added later shows the same shadow as the others at once.
    auto *late = new QGraphicsTextItem(QStringLiteral("photo"), f.groupItem);
    f.watcher.addItem(late);
    QCOMPARE(f.watcher.effect(late)->offset(), QPointF(8, 0));
    QCOMPARE(f.watcher.effect(late)->blurRadius(), 12.0);

    // A deleted item is forgotten; group switches touch neither it nor the
    // removed one.
    delete late;
    QCOMPARE(f.watcher.effectCount(), 1);
    f.properties.setGroup(true);
    f.properties.setGroup(false);
    QVERIFY(!f.items.at(1)->graphicsEffect());
    QCOMPARE(f.watcher.effectCount(), 1);
    f.watcher.recompute(QTransform::fromScale(3, 3));
}

QTEST_MAIN(TestShadowsWatcher)
#include "tst_shadowswatcher.moc"
