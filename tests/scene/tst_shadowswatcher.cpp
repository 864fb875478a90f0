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
    void unchangedValuesAreNotApplied();
    void propertyChangesAskForUpdate_data();
    void propertyChangesAskForUpdate();
    void groupSwitchesEffects_data();
    void groupSwitchesEffects();
    void addAndRemoveItems();
    void deletedItemIsForgotten();
    void newEffectGetsAppliedValues();
};

namespace {

struct Fixture
{
    explicit Fixture(int count = 3, bool group = false)
    {
        properties.setGroup(group);
        groupItem = new QGraphicsRectItem(0, 0, 100, 100);
        scene.addItem(groupItem);
        for (int i = 0; i < count; ++i)
            items.append(new QGraphicsRectItem(i * 10, 0, 8, 8, groupItem));
    }

    QGraphicsScene scene;
    ShadowProperties properties;
    QGraphicsRectItem *groupItem = nullptr;
    QList<QGraphicsItem *> items;
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

    QTest::newRow("distance 10 at page scale 0.5")
        << QTransform::fromScale(0.5, 0.5) << 10.0 << 0.0 << 0.0 << QPoint(5, 0) << 0;
    QTest::newRow("blur 7.9 device pixels is 7")
        << QTransform() << 0.0 << 0.0 << 7.9 << QPoint(0, 0) << 7;
    QTest::newRow("blur 15.8 at scale 0.5 is 7")
        << QTransform::fromScale(0.5, 0.5) << 0.0 << 0.0 << 15.8 << QPoint(0, 0) << 7;
    QTest::newRow("angle 270 points down, scale 2")
        << QTransform::fromScale(2, 2) << 10.0 << 270.0 << 4.0 << QPoint(0, 20) << 8;
    QTest::newRow("angle 90 points up") << QTransform() << 6.0 << 90.0 << 1.0 << QPoint(0, -6) << 1;
    QTest::newRow("translation does not count")
        << QTransform::fromTranslate(123.4, -56.7) << 3.0 << 180.0 << 2.5 << QPoint(-3, 0) << 2;
    QTest::newRow("offset rounds to the nearest pixel")
        << QTransform::fromScale(0.25, 0.25) << 10.0 << 0.0 << 0.0 << QPoint(3, 0) << 0;
    QTest::newRow("turned page turns the offset")
        << QTransform().rotate(90) << 10.0 << 0.0 << 5.0 << QPoint(0, 10) << 5;
    QTest::newRow("diagonal 45 degrees")
        << QTransform() << 10.0 << 45.0 << 3.0 << QPoint(7, -7) << 3;
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
    f.properties.setEnabled(true);
    f.properties.setColor(QColor(10, 20, 30, 128));
    f.properties.setDistance(distance);
    f.properties.setAngle(angle);
    f.properties.setBlurRadius(blurRadius);
    ShadowsWatcher watcher(&f.properties, f.groupItem);
    for (QGraphicsItem *item : f.items)
        watcher.addItem(item);

    QVERIFY(watcher.isDirty());
    watcher.recompute(transform);
    QVERIFY(!watcher.isDirty());
    QCOMPARE(watcher.appliedOffset(), expectedOffset);
    QCOMPARE(watcher.appliedBlurRadius(), expectedBlur);
    QCOMPARE(watcher.effectCount(), f.items.size());
    for (QGraphicsItem *item : f.items) {
        QGraphicsDropShadowEffect *effect = watcher.effect(item);
        QVERIFY(effect);
        QCOMPARE(item->graphicsEffect(), effect);
        QCOMPARE(effect->offset(), QPointF(expectedOffset));
        QCOMPARE(effect->blurRadius(), qreal(expectedBlur));
        QCOMPARE(effect->color(), QColor(10, 20, 30, 128));
        QVERIFY(effect->isEnabled());
    }
}

void TestShadowsWatcher::unchangedValuesAreNotApplied()
{
    Fixture f(1);
    f.properties.setEnabled(true);
    f.properties.setBlurRadius(8);
    ShadowsWatcher watcher(&f.properties, f.groupItem);
    watcher.addItem(f.items.first());
    watcher.recompute(QTransform());
    QGraphicsDropShadowEffect *effect = watcher.effect(f.items.first());
    QCOMPARE(effect->blurRadius(), 8.0);

    // Someone else touches the effect; the same device values are not
    // pushed again, so it keeps the foreign value.
    effect->setBlurRadius(99);
    watcher.recompute(QTransform::fromTranslate(5, 5));
    QCOMPARE(effect->blurRadius(), 99.0);

    // A zoom that changes the device values applies them.
    watcher.recompute(QTransform::fromScale(0.5, 0.5));
    QCOMPARE(effect->blurRadius(), 4.0);
    // And so does a property change.
    f.properties.setBlurRadius(20);
    QVERIFY(watcher.isDirty());
    watcher.recompute(QTransform::fromScale(0.5, 0.5));
    QCOMPARE(effect->blurRadius(), 10.0);
}

void TestShadowsWatcher::propertyChangesAskForUpdate_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("angle") << QByteArray("angle") << QVariant(45.0);
    QTest::newRow("blur radius") << QByteArray("blurRadius") << QVariant(3.0);
    QTest::newRow("colour") << QByteArray("color") << QVariant(QColor(Qt::red));
    QTest::newRow("distance") << QByteArray("distance") << QVariant(4.0);
    QTest::newRow("enabled") << QByteArray("enabled") << QVariant(true);
}

void TestShadowsWatcher::propertyChangesAskForUpdate()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);

    Fixture f(1);
    ShadowsWatcher watcher(&f.properties, f.groupItem);
    watcher.recompute(QTransform());
    QSignalSpy spy(&watcher, &ShadowsWatcher::needUpdate);
    QVERIFY(f.properties.setProperty(property, value));
    QCOMPARE(spy.count(), 1);
    QVERIFY(watcher.isDirty());
}

void TestShadowsWatcher::groupSwitchesEffects_data()
{
    QTest::addColumn<bool>("groupAtStart");
    QTest::newRow("per photo first") << false;
    QTest::newRow("group first") << true;
}

void TestShadowsWatcher::groupSwitchesEffects()
{
    QFETCH(bool, groupAtStart);

    Fixture f(3, groupAtStart);
    f.properties.setEnabled(true);
    f.properties.setBlurRadius(5);
    ShadowsWatcher watcher(&f.properties, f.groupItem);
    for (QGraphicsItem *item : f.items)
        watcher.addItem(item);
    watcher.recompute(QTransform());

    auto checkGroup = [&](bool group) {
        QCOMPARE(watcher.useGroup(), group);
        QCOMPARE(f.groupItem->graphicsEffect() != nullptr, group);
        QCOMPARE(watcher.effect(f.groupItem) != nullptr, group);
        for (QGraphicsItem *item : f.items) {
            QCOMPARE(item->graphicsEffect() != nullptr, !group);
            QCOMPARE(watcher.effect(item) != nullptr, !group);
        }
        QCOMPARE(watcher.effectCount(), group ? 1 : int(f.items.size()));
        // Whichever effects exist carry the current values.
        const auto effects = group ? QList<QGraphicsItem *> { f.groupItem } : f.items;
        for (QGraphicsItem *item : effects) {
            auto *effect = qobject_cast<CachedDropShadowEffect *>(item->graphicsEffect());
            QVERIFY(effect);
            QCOMPARE(effect->blurRadius(), 5.0);
            QVERIFY(effect->isEnabled());
        }
    };
    checkGroup(groupAtStart);

    QSignalSpy spy(&watcher, &ShadowsWatcher::needUpdate);
    f.properties.setGroup(!groupAtStart);
    checkGroup(!groupAtStart);
    QCOMPARE(spy.count(), 1);
    QVERIFY(watcher.isDirty());

    f.properties.setGroup(groupAtStart);
    checkGroup(groupAtStart);
    QCOMPARE(spy.count(), 2);
}

void TestShadowsWatcher::addAndRemoveItems()
{
    Fixture f(2);
    ShadowsWatcher watcher(&f.properties, f.groupItem);
    watcher.addItem(f.items.at(0));
    QGraphicsEffect *first = f.items.at(0)->graphicsEffect();
    QVERIFY(first);
    // Adding again changes nothing.
    watcher.addItem(f.items.at(0));
    QCOMPARE(f.items.at(0)->graphicsEffect(), first);
    QCOMPARE(watcher.effectCount(), 1);

    watcher.addItem(f.items.at(1));
    QCOMPARE(watcher.effectCount(), 2);
    QPointer<QGraphicsEffect> removed = f.items.at(1)->graphicsEffect();
    watcher.removeItem(f.items.at(1));
    QVERIFY(!f.items.at(1)->graphicsEffect());
    QVERIFY(!removed);
    QCOMPARE(watcher.effectCount(), 1);
    // Removing an item that is not watched changes nothing.
    watcher.removeItem(f.items.at(1));
    QCOMPARE(watcher.effectCount(), 1);

    // A removed item gets no effect from a later group switch.
    f.properties.setGroup(true);
    f.properties.setGroup(false);
    QVERIFY(!f.items.at(1)->graphicsEffect());
    QVERIFY(f.items.at(0)->graphicsEffect());
}

void TestShadowsWatcher::deletedItemIsForgotten()
{
    QGraphicsScene scene;
    ShadowProperties properties;
    auto *group = new QGraphicsRectItem(0, 0, 50, 50);
    scene.addItem(group);
    auto *photo = new QGraphicsTextItem(QStringLiteral("photo"), group);
    ShadowsWatcher watcher(&properties, group);
    watcher.addItem(photo);
    QCOMPARE(watcher.effectCount(), 1);
    delete photo;
    QCOMPARE(watcher.effectCount(), 0);
    // Group switches no longer touch the deleted item.
    properties.setGroup(true);
    properties.setGroup(false);
    QCOMPARE(watcher.effectCount(), 0);
    watcher.recompute(QTransform::fromScale(2, 2));
}

void TestShadowsWatcher::newEffectGetsAppliedValues()
{
    Fixture f(2);
    f.properties.setEnabled(true);
    f.properties.setDistance(4);
    f.properties.setAngle(0);
    f.properties.setBlurRadius(6);
    ShadowsWatcher watcher(&f.properties, f.groupItem);
    watcher.addItem(f.items.at(0));
    watcher.recompute(QTransform::fromScale(2, 2));

    // An item added later shows the same shadow as the others at once.
    watcher.addItem(f.items.at(1));
    QGraphicsDropShadowEffect *late = watcher.effect(f.items.at(1));
    QCOMPARE(late->offset(), QPointF(8, 0));
    QCOMPARE(late->blurRadius(), 12.0);
    QVERIFY(late->isEnabled());
}

QTEST_MAIN(TestShadowsWatcher)
#include "tst_shadowswatcher.moc"
