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
    void blursOnlyWhenNeeded();
    void outputRenderingKeepsTheLook_data();
    void outputRenderingKeepsTheLook();
};

namespace {

// A filled red ellipse.
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

// A scene with one shadowed blob, kept across renders.
template<typename Effect> struct Stage
{
    explicit Stage(const Setup &setup, QPointF position = QPointF(80, 60))
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

QImage renderStock(const Setup &setup)
{
    return Stage<QGraphicsDropShadowEffect>(setup).render();
}

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
    static_cast<QGraphicsScene &>(scene).render(
        &painter, QRectF(QPointF(0, 0), image.size()), QRectF(0, 0, 160, 120));
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
    QTest::newRow("turned, wide blur") << Setup { { -3, 6 }, 15, QColor(20, 40, 90), 25, 1 };
    QTest::newRow("half transparent item") << Setup { { 5, 0 }, 6, QColor(0, 0, 0, 200), 0, 0.5 };
    QTest::newRow("offset only") << Setup { { 6, 6 }, 0, QColor(0, 0, 0, 160), 10, 1 };
    QTest::newRow("no blur, no offset") << Setup { { 0, 0 }, 0, QColor(0, 0, 0), 0, 1 };
}

void TestCachedDropShadowEffect::looksLikeTheStockEffect()
{
    QFETCH(Setup, setup);
    Stage<CachedDropShadowEffect> cached(setup);
    const QImage stock = renderStock(setup);
    QCOMPARE(cached.render(), stock);

    // A shadow must have been drawn at all, unless there is none to draw.
    Stage<CachedDropShadowEffect> plain(setup);
    plain.effect->setEnabled(false);
    const bool shadowless = setup.offset.isNull() && setup.blurRadius == 0;
    QCOMPARE(stock == plain.render(), shadowless);
    QCOMPARE(cached.effect->blurCount(), shadowless ? 0 : 1);
}

// The shadow is blurred again only when its look, the item's outline or
// the device pixel ratio changes, and always matches the stock effect.
void TestCachedDropShadowEffect::blursOnlyWhenNeeded()
{
    const Setup setup { { 4, 5 }, 9, QColor(0, 0, 0, 170), 0, 1 };
    Stage<CachedDropShadowEffect> cached(setup, QPointF(70, 60));
    Stage<QGraphicsDropShadowEffect> stock(setup, QPointF(70, 60));
    const QImage before = stock.render();
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
    QVERIFY(stock.render() != before);
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
    QVERIFY(step(2, false));
    QVERIFY(step(1, true));
}

void TestCachedDropShadowEffect::outputRenderingKeepsTheLook_data()
{
    QTest::addColumn<Setup>("setup");
    QTest::addColumn<qreal>("scale");
    QTest::newRow("turned, wide blur") << Setup { { -3, 6 }, 15, QColor(20, 40, 90), 25, 1 } << 1.0;
    QTest::newRow("half transparent item")
        << Setup { { 5, 0 }, 6, QColor(0, 0, 0, 200), 0, 0.5 } << 1.0;
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

QTEST_MAIN(TestCachedDropShadowEffect)
#include "tst_cacheddropshadoweffect.moc"
