#include <QtTest>

#include <QGraphicsDropShadowEffect>
#include <QGraphicsEllipseItem>
#include <QGraphicsScene>
#include <QPainter>

#include <algorithm>

#include "imaging/drawflags.h"
#include "model/document.h"
#include "scene/cacheddropshadoweffect.h"
#include "scene/scene.h"

class TestCachedDropShadowEffect : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void looksLikeTheStockEffect_data();
    void looksLikeTheStockEffect();
    void reusesTheShadowWhileOnlyMoving_data();
    void reusesTheShadowWhileOnlyMoving();
    void blursAgainWhenTheLookChanges_data();
    void blursAgainWhenTheLookChanges();
    void newContentWithTheSameOutline();
    void devicePixelRatioChange();
    void noBlurAndNoOffsetDrawsTheSourceOnly();
    void outputRenderingKeepsTheLook_data();
    void outputRenderingKeepsTheLook();
};

namespace {

// A filled ellipse with a white core, so that both outline and content
// show in the pixels.
class Blob : public QGraphicsEllipseItem
{
public:
    Blob()
        : QGraphicsEllipseItem(-30, -20, 60, 40)
    {
        setPen(Qt::NoPen);
        setBrush(QColor(200, 40, 40));
    }
};

QImage renderScene(QGraphicsScene &scene, qreal dpr = 1)
{
    QImage image(QSize(160, 120) * dpr, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(dpr);
    image.fill(QColor(250, 250, 240));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    scene.render(&painter, QRectF(0, 0, 160, 120), QRectF(0, 0, 160, 120));
    painter.end();
    return image;
}

struct Setup
{
    QPointF offset;
    qreal blurRadius;
    QColor color;
    qreal rotation;
    qreal opacity;
};

template<typename Effect> QImage renderWith(const Setup &setup, QPointF position = QPointF(80, 60))
{
    QGraphicsScene scene(0, 0, 160, 120);
    auto *blob = new Blob;
    blob->setPos(position);
    blob->setRotation(setup.rotation);
    blob->setOpacity(setup.opacity);
    auto *effect = new Effect;
    effect->setOffset(setup.offset);
    effect->setBlurRadius(setup.blurRadius);
    effect->setColor(setup.color);
    blob->setGraphicsEffect(effect);
    scene.addItem(blob);
    return renderScene(scene);
}

QImage renderPlain(const Setup &setup)
{
    QGraphicsScene scene(0, 0, 160, 120);
    auto *blob = new Blob;
    blob->setPos(80, 60);
    blob->setRotation(setup.rotation);
    blob->setOpacity(setup.opacity);
    scene.addItem(blob);
    return renderScene(scene);
}

// A scene with one shadowed blob, kept across renders.
template<typename Effect> struct Stage
{
    Stage(const Setup &setup, QPointF position = QPointF(80, 60))
        : scene(0, 0, 160, 120)
    {
        blob = new Blob;
        blob->setPos(position);
        blob->setRotation(setup.rotation);
        blob->setOpacity(setup.opacity);
        effect = new Effect;
        effect->setOffset(setup.offset);
        effect->setBlurRadius(setup.blurRadius);
        effect->setColor(setup.color);
        blob->setGraphicsEffect(effect);
        scene.addItem(blob);
    }

    QImage render(qreal dpr = 1) { return renderScene(scene, dpr); }

    QGraphicsScene scene;
    Blob *blob = nullptr;
    Effect *effect = nullptr;
};

// The blob on a program scene, drawn for the screen or for output.
QImage renderOnScene(const Setup &setup, qreal scale, bool output)
{
    Document document(false);
    Scene scene(&document);
    scene.setSceneRect(0, 0, 160, 120);
    auto *blob = new Blob;
    blob->setPos(80, 60);
    blob->setRotation(setup.rotation);
    blob->setOpacity(setup.opacity);
    auto *effect = new CachedDropShadowEffect(blob);
    effect->setOffset(setup.offset * scale);
    effect->setBlurRadius(setup.blurRadius * scale);
    effect->setColor(setup.color);
    blob->setGraphicsEffect(effect);
    scene.addItem(blob);
    scene.setRenderFlag(DirectRender, output);

    QImage image(QSize(160, 120) * scale, QImage::Format_ARGB32_Premultiplied);
    image.fill(QColor(250, 250, 240));
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    // The plain scene drawing: the program scene draws pages, and this one
    // has none.
    static_cast<QGraphicsScene &>(scene).render(&painter, QRectF(QPointF(0, 0), image.size()),
                                                QRectF(0, 0, 160, 120));
    painter.end();
    return image;
}

int largestDifference(const QImage &a, const QImage &b)
{
    int largest = 0;
    for (int y = 0; y < a.height(); ++y) {
        const auto *lineA = reinterpret_cast<const QRgb *>(a.constScanLine(y));
        const auto *lineB = reinterpret_cast<const QRgb *>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            largest = std::max({ largest, qAbs(qRed(lineA[x]) - qRed(lineB[x])),
                                 qAbs(qGreen(lineA[x]) - qGreen(lineB[x])),
                                 qAbs(qBlue(lineA[x]) - qBlue(lineB[x])) });
        }
    }
    return largest;
}

} // namespace

Q_DECLARE_METATYPE(Setup)

void TestCachedDropShadowEffect::looksLikeTheStockEffect_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::newRow("soft black") << Setup { { 4, 4 }, 8, QColor(0, 0, 0, 180), 0, 1 };
    QTest::newRow("turned, wide blur") << Setup { { -3, 6 }, 15, QColor(20, 40, 90), 25, 1 };
    QTest::newRow("half transparent item") << Setup { { 5, 0 }, 6, QColor(0, 0, 0, 200), 0, 0.5 };
    QTest::newRow("offset only") << Setup { { 6, 6 }, 0, QColor(0, 0, 0, 160), 10, 1 };
    QTest::newRow("blur only") << Setup { { 0, 0 }, 10, QColor(90, 0, 0), 0, 1 };
}

void TestCachedDropShadowEffect::looksLikeTheStockEffect()
{
    QFETCH(Setup, setup);
    const QImage stock = renderWith<QGraphicsDropShadowEffect>(setup);
    const QImage cached = renderWith<CachedDropShadowEffect>(setup);
    // A shadow must have been drawn at all, and drawn the same way.
    QVERIFY(stock != renderPlain(setup));
    QCOMPARE(cached, stock);
}

void TestCachedDropShadowEffect::reusesTheShadowWhileOnlyMoving_data()
{
    QTest::addColumn<qreal>("rotation");
    QTest::addColumn<QPointF>("step");
    QTest::newRow("upright, fractional step") << 0.0 << QPointF(7.25, -3.5);
    QTest::newRow("upright, whole step") << 0.0 << QPointF(-12, 5);
    QTest::newRow("turned, whole step") << 30.0 << QPointF(9, 4);
}

void TestCachedDropShadowEffect::reusesTheShadowWhileOnlyMoving()
{
    QFETCH(qreal, rotation);
    QFETCH(QPointF, step);

    const Setup setup { { 4, 5 }, 9, QColor(0, 0, 0, 170), rotation, 1 };
    Stage<CachedDropShadowEffect> cached(setup, QPointF(70, 60));
    Stage<QGraphicsDropShadowEffect> stock(setup, QPointF(70, 60));

    QCOMPARE(cached.render(), stock.render());
    QCOMPARE(cached.effect->blurCount(), 1);
    QCOMPARE(cached.render(), stock.render());
    QCOMPARE(cached.effect->blurCount(), 1);

    cached.blob->setPos(cached.blob->pos() + step);
    stock.blob->setPos(stock.blob->pos() + step);
    const QImage moved = cached.render();
    QCOMPARE(cached.effect->blurCount(), 1);
    // The reused shadow sits where the stock effect puts its own.
    QCOMPARE(moved, stock.render());
    QVERIFY(moved != renderWith<QGraphicsDropShadowEffect>(setup, QPointF(70, 60)));
}

void TestCachedDropShadowEffect::blursAgainWhenTheLookChanges_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::newRow("colour") << QByteArray("color") << QVariant(QColor(0, 0, 120, 200));
    QTest::newRow("offset") << QByteArray("offset") << QVariant(QPointF(-5, 2));
    QTest::newRow("blur radius") << QByteArray("blurRadius") << QVariant(3.0);
}

void TestCachedDropShadowEffect::blursAgainWhenTheLookChanges()
{
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);

    Setup setup { { 4, 4 }, 8, QColor(0, 0, 0, 180), 15, 1 };
    QGraphicsScene scene(0, 0, 160, 120);
    auto *blob = new Blob;
    blob->setPos(80, 60);
    blob->setRotation(setup.rotation);
    auto *effect = new CachedDropShadowEffect;
    effect->setOffset(setup.offset);
    effect->setBlurRadius(setup.blurRadius);
    effect->setColor(setup.color);
    blob->setGraphicsEffect(effect);
    scene.addItem(blob);
    renderScene(scene);
    QCOMPARE(effect->blurCount(), 1);

    QVERIFY(effect->setProperty(property, value));
    const QImage changed = renderScene(scene);
    QCOMPARE(effect->blurCount(), 2);
    if (property == "color")
        setup.color = value.value<QColor>();
    else if (property == "offset")
        setup.offset = value.toPointF();
    else
        setup.blurRadius = value.toReal();
    QCOMPARE(changed, renderWith<QGraphicsDropShadowEffect>(setup));
    renderScene(scene);
    QCOMPARE(effect->blurCount(), 2);
}

void TestCachedDropShadowEffect::newContentWithTheSameOutline()
{
    QGraphicsScene scene(0, 0, 160, 120);
    auto *blob = new Blob;
    blob->setPos(80, 60);
    auto *effect = new CachedDropShadowEffect;
    effect->setOffset(3, 3);
    effect->setBlurRadius(6);
    blob->setGraphicsEffect(effect);
    scene.addItem(blob);
    renderScene(scene);
    QCOMPARE(effect->blurCount(), 1);

    // A new colour inside the same outline casts the same shadow; the item
    // itself must show its new colour.
    blob->setBrush(QColor(30, 160, 60));
    QImage image = renderScene(scene);
    QCOMPARE(effect->blurCount(), 1);
    QCOMPARE(image.pixelColor(80, 60), QColor(30, 160, 60));

    // A new outline casts a new shadow.
    blob->setRect(-40, -20, 80, 40);
    image = renderScene(scene);
    QCOMPARE(effect->blurCount(), 2);
    QCOMPARE(image.pixelColor(80, 60), QColor(30, 160, 60));
}

void TestCachedDropShadowEffect::devicePixelRatioChange()
{
    const Setup setup { { 3, 3 }, 6, QColor(0, 0, 0, 180), 0, 1 };
    Stage<CachedDropShadowEffect> cached(setup);
    Stage<QGraphicsDropShadowEffect> stock(setup);
    QCOMPARE(cached.render(), stock.render());
    QCOMPARE(cached.effect->blurCount(), 1);
    QCOMPARE(cached.render(2), stock.render(2));
    QCOMPARE(cached.effect->blurCount(), 2);
    QCOMPARE(cached.render(2), stock.render(2));
    QCOMPARE(cached.effect->blurCount(), 2);
    QCOMPARE(cached.render(1), stock.render(1));
    QCOMPARE(cached.effect->blurCount(), 3);
}

void TestCachedDropShadowEffect::noBlurAndNoOffsetDrawsTheSourceOnly()
{
    const Setup setup { { 0, 0 }, 0, QColor(0, 0, 0), 0, 1 };
    QGraphicsScene scene(0, 0, 160, 120);
    auto *blob = new Blob;
    blob->setPos(80, 60);
    auto *effect = new CachedDropShadowEffect;
    effect->setOffset(0, 0);
    effect->setBlurRadius(0);
    blob->setGraphicsEffect(effect);
    scene.addItem(blob);
    const QImage image = renderScene(scene);
    QCOMPARE(effect->blurCount(), 0);
    QCOMPARE(image, renderWith<QGraphicsDropShadowEffect>(setup));
    QCOMPARE(image.pixelColor(80, 60), QColor(200, 40, 40));
    QCOMPARE(image.pixelColor(80, 90), QColor(250, 250, 240));
}

QTEST_MAIN(TestCachedDropShadowEffect)
#include "tst_cacheddropshadoweffect.moc"

void TestCachedDropShadowEffect::outputRenderingKeepsTheLook_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<qreal>("scale");
    QTest::newRow("soft black") << Setup { { 4, 4 }, 8, QColor(0, 0, 0, 180), 0, 1 } << 1.0;
    QTest::newRow("turned, wide blur") << Setup { { -3, 6 }, 15, QColor(20, 40, 90), 25, 1 } << 1.0;
    QTest::newRow("half transparent item")
        << Setup { { 5, 0 }, 6, QColor(0, 0, 0, 200), 0, 0.5 } << 1.0;
    QTest::newRow("offset only") << Setup { { 6, 6 }, 0, QColor(0, 0, 0, 160), 10, 1 } << 1.0;
    // A large page: the shadow is blurred from an eighth of the pixels.
    QTest::newRow("large page") << Setup { { 4, 6 }, 10, QColor(0, 0, 0, 200), 15, 1 } << 8.0;
}

void TestCachedDropShadowEffect::outputRenderingKeepsTheLook()
{
    QFETCH(Setup, setup);
    QFETCH(qreal, scale);
    const QImage screen = renderOnScene(setup, scale, false);
    const QImage output = renderOnScene(setup, scale, true);
    const Setup unshaded { setup.offset, 0, Qt::transparent, setup.rotation, setup.opacity };
    QVERIFY(screen != renderOnScene(unshaded, scale, false));
    // The same shadow up to rounding: no channel off by more than 3 %.
    const int difference = largestDifference(screen, output);
    QVERIFY2(difference <= 8, qPrintable(QString::number(difference)));
}
