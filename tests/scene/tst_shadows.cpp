#include <QtTest>

#include <QGraphicsDropShadowEffect>
#include <QGraphicsEllipseItem>
#include <QGraphicsScene>
#include <QPainter>

#include "imaging/drawflags.h"
#include "model/document.h"
#include "model/shadowproperties.h"
#include "scene/cacheddropshadoweffect.h"
#include "scene/scene.h"
#include "scene/scenetestimages.h"
#include "scene/shadowswatcher.h"

namespace {

struct Setup
{
    QPointF offset;
    qreal blurRadius;
    QColor color;
    qreal rotation;
    qreal opacity;
};

// A filled red ellipse with a shadow, `scale` times its size on a scene of
// 160 x 120.
class Blob : public QGraphicsEllipseItem
{
public:
    Blob(QGraphicsScene &scene, QGraphicsDropShadowEffect *effect, const Setup &setup,
        QPointF position, qreal scale = 1)
        : QGraphicsEllipseItem(-30, -20, 60, 40)
    {
        setPen(Qt::NoPen);
        setBrush(QColor(200, 40, 40));
        setPos(position);
        setRotation(setup.rotation);
        setOpacity(setup.opacity);
        effect->setOffset(setup.offset * scale);
        effect->setBlurRadius(setup.blurRadius * scale);
        effect->setColor(setup.color);
        setGraphicsEffect(effect);
        scene.addItem(this);
    }
};

// The scene on a light canvas, `scale` image pixels per scene unit.
QImage render(QGraphicsScene &scene, qreal dpr, qreal scale = 1)
{
    QImage image(QSize(160, 120) * dpr * scale, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(QColor(250, 250, 240));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.QGraphicsScene::render(
        &painter, QRectF(QPointF(0, 0), QSizeF(160, 120) * scale), QRectF(0, 0, 160, 120));
    painter.end();
    return image;
}

// A scene with one shadowed blob, kept across renders.
template<typename Effect> struct Stage
{
    explicit Stage(const Setup &setup, QPointF position = QPointF(80, 60))
        : scene(0, 0, 160, 120)
        , effect(new Effect)
        , blob(new Blob(scene, effect, setup, position))
    {
    }

    QImage render(qreal dpr = 1) { return ::render(scene, dpr); }

    QGraphicsScene scene;
    Effect *effect;
    Blob *blob;
};

// The blob on a program scene, drawn for the screen or for output, where the
// plain scene drawing is used: the program scene draws pages, and this one
// has none.
QImage renderOnScene(const Setup &setup, qreal scale, bool output)
{
    Document document(false);
    Scene scene(&document);
    scene.setSceneRect(0, 0, 160, 120);
    new Blob(scene, new CachedDropShadowEffect, setup, QPointF(80, 60), scale);
    scene.setRenderFlag(DirectRender, output);
    return render(scene, 1, scale);
}

// Photos inside a group item, each watched for shadows.
struct WatcherFixture
{
    explicit WatcherFixture(int count = 3)
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

Q_DECLARE_METATYPE(Setup)

class TestShadows : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void looksLikeTheStockEffect_data()
    {
        QTest::addColumn<Setup>("setup");
        QTest::addColumn<qreal>("outputScale");
        QTest::newRow("turned, wide blur, half transparent item")
            << Setup { { -3, 6 }, 15, QColor(20, 40, 90), 25, 0.5 } << 1.0;
        QTest::newRow("offset only") << Setup { { 6, 6 }, 0, QColor(0, 0, 0, 160), 10, 1 } << 1.0;
        QTest::newRow("no blur, no offset") << Setup { { 0, 0 }, 0, QColor(0, 0, 0), 0, 1 } << 1.0;
        // A large page: the output shadow is blurred from an eighth of the pixels.
        QTest::newRow("large page") << Setup { { 4, 6 }, 10, QColor(0, 0, 0, 200), 15, 1 } << 8.0;
    }

    // On screen the cached shadow looks like the stock effect's; drawn for
    // output at the page's own scale it looks like the screen's.
    void looksLikeTheStockEffect()
    {
        QFETCH(Setup, setup);
        QFETCH(qreal, outputScale);
        Stage<CachedDropShadowEffect> cached(setup);
        const QImage stock = Stage<QGraphicsDropShadowEffect>(setup).render();
        QCOMPARE(cached.render(), stock);

        // A shadow must have been drawn at all, unless there is none to draw.
        Stage<CachedDropShadowEffect> plain(setup);
        plain.effect->setEnabled(false);
        const bool shadowless = setup.offset.isNull() && setup.blurRadius == 0;
        QCOMPARE(stock == plain.render(), shadowless);
        QCOMPARE(cached.effect->blurCount(), shadowless ? 0 : 1);

        const QImage screen = renderOnScene(setup, outputScale, false);
        const Setup unshaded { setup.offset, 0, Qt::transparent, setup.rotation, setup.opacity };
        QCOMPARE(screen == renderOnScene(unshaded, outputScale, false), shadowless);
        // The same shadow up to rounding: no channel off by more than 3 %.
        const int difference = largestDifference(screen, renderOnScene(setup, outputScale, true));
        QVERIFY2(difference <= 8, qPrintable(QString::number(difference)));
    }

    // The shadow is blurred again only when its look, the item's outline or
    // the device pixel ratio changes, and always matches the stock effect.
    void blursOnlyWhenNeeded()
    {
        const Setup setup { { 4, 5 }, 9, QColor(0, 0, 0, 170), 0, 1 };
        Stage<CachedDropShadowEffect> cached(setup, QPointF(70, 60));
        Stage<QGraphicsDropShadowEffect> stock(setup, QPointF(70, 60));
        int expectedBlurs = 0;
        auto step = [&](qreal dpr, bool blurs) {
            expectedBlurs += blurs;
            return cached.render(dpr) == stock.render(dpr)
                && cached.effect->blurCount() == expectedBlurs;
        };
        auto both = [&](auto change) {
            change(cached.blob);
            change(stock.blob);
        };
        QVERIFY(step(1, true));
        QVERIFY(step(1, false));

        // Moving reuses the shadow: upright by any step, turned by whole pixels.
        both([](Blob *blob) { blob->setPos(blob->pos() + QPointF(7.25, -3.5)); });
        QVERIFY(step(1, false));
        both([](Blob *blob) { blob->setRotation(30); });
        QVERIFY(step(1, true));
        both([](Blob *blob) { blob->setPos(blob->pos() + QPointF(9, 4)); });
        QVERIFY(step(1, false));

        // A new colour inside the same outline casts the same shadow, yet the
        // item shows its new colour; a new outline casts a new shadow.
        both([](Blob *blob) { blob->setBrush(QColor(30, 160, 60)); });
        QVERIFY(step(1, false));
        both([](Blob *blob) { blob->setRect(-40, -20, 80, 40); });
        QVERIFY(step(1, true));

        // So does every change of the shadow's look.
        const QList<QPair<const char *, QVariant>> looks { { "color", QColor(0, 0, 120, 200) },
            { "offset", QPointF(-5, 2) }, { "blurRadius", 3.0 } };
        for (const auto &[property, value] : looks) {
            QVERIFY(cached.effect->setProperty(property, value));
            QVERIFY(stock.effect->setProperty(property, value));
            QVERIFY2(step(1, true), property);
        }

        // Another device pixel ratio needs a shadow of its own.
        QVERIFY(step(2, true));
        QVERIFY(step(1, true));
    }

    void deviceValues_data()
    {
        QTest::addColumn<QTransform>("transform");
        QTest::addColumn<qreal>("distance");
        QTest::addColumn<qreal>("angle");
        QTest::addColumn<qreal>("blurRadius");
        QTest::addColumn<QPoint>("expectedOffset");
        QTest::addColumn<int>("expectedBlur");

        // 2.5 pixels of offset round up; 7.95 pixels of blur truncate.
        QTest::newRow("scale 0.25: offset rounds, blur truncates")
            << QTransform::fromScale(0.25, 0.25) << 10.0 << 0.0 << 31.8 << QPoint(3, 0) << 7;
        // Angle 270 points down, (0, 20) at scale 2, which a quarter turn
        // clockwise takes to (-20, 0).
        QTest::newRow("turned page at scale 2 turns the offset")
            << QTransform().rotate(90).scale(2, 2) << 10.0 << 270.0 << 4.0 << QPoint(-20, 0) << 8;
    }

    // The watcher gives every photo a shadow in device pixels.
    void deviceValues()
    {
        QFETCH(QTransform, transform);
        QFETCH(qreal, distance);
        QFETCH(qreal, angle);
        QFETCH(qreal, blurRadius);
        QFETCH(QPoint, expectedOffset);
        QFETCH(int, expectedBlur);

        WatcherFixture f;
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
            QVERIFY(effect && effect->isEnabled());
            QCOMPARE(effect->offset(), QPointF(expectedOffset));
            QCOMPARE(effect->blurRadius(), qreal(expectedBlur));
            QCOMPARE(effect->color(), QColor(10, 20, 30, 128));
        }
    }

    void groupSwitchesEffects()
    {
        WatcherFixture f;
        f.properties.setBlurRadius(5);
        f.watcher.recompute(QTransform());

        // One shadow for the whole group, or one per photo; whichever effects
        // exist carry the current values.
        for (bool group : { true, false }) {
            f.properties.setGroup(group);
            QCOMPARE(f.watcher.useGroup(), group);
            QCOMPARE(f.watcher.effectCount(), group ? 1 : int(f.items.size()));
            QCOMPARE(f.watcher.effect(f.groupItem) != nullptr, group);
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

    void itemsComeAndGo()
    {
        WatcherFixture f(2);
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
};

QTEST_MAIN(TestShadows)
#include "tst_shadows.moc"
