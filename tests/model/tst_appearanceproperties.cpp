#include <QtTest>

#include <QCheckBox>
#include <QGraphicsRectItem>
#include <QJSEngine>
#include <QLineEdit>
#include <QMatrix4x4>
#include <QSlider>
#include <QSpinBox>

#include <cmath>

#include "model/backgroundproperties.h"
#include "model/binding.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/itemtransformundocommand.h"
#include "model/lineralfunction.h"
#include "model/linkedtransform.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "undo/undostack.h"

namespace {

// The look settings of one theme, as template scripts see them, and the
// text and sticker of a page.
struct Look
{
    explicit Look(Document *document)
        : shadows(document)
        , frames(document)
        , background(document)
        , rotationRestrictions(document)
        , text(document ? document->addTextOverlay() : nullptr)
        , sticker(document ? document->addSticker() : nullptr)
    {
    }

    QObject *part(const QString &name) { return parts.value(name); }

    void exposeTo(QJSEngine *engine)
    {
        QJSValue theme = engine->newObject();
        for (const char *name : { "shadows", "frames", "background", "rotationRestrictions" }) {
            // The parts belong to the test, not to the engine.
            QObject *object = part(QLatin1String(name));
            QJSEngine::setObjectOwnership(object, QJSEngine::CppOwnership);
            theme.setProperty(QLatin1String(name), engine->newQObject(object));
        }
        engine->globalObject().setProperty(QStringLiteral("theme"), theme);
    }

    ShadowProperties shadows;
    FrameProperties frames;
    BackgroundProperties background;
    RotationRestriction rotationRestrictions;
    TextOverlayProperties *text;
    StickerProperties *sticker;
    const QHash<QString, QObject *> parts { { QStringLiteral("shadows"), &shadows },
        { QStringLiteral("frames"), &frames }, { QStringLiteral("background"), &background },
        { QStringLiteral("rotationRestrictions"), &rotationRestrictions },
        { QStringLiteral("text"), text }, { QStringLiteral("sticker"), sticker } };
};

QMetaProperty metaProperty(const QObject *object, const char *name)
{
    const QMetaObject *meta = object->metaObject();
    return meta->property(meta->indexOfProperty(name));
}

// A value other than `value` of its type, inside every setter's range.
QVariant otherValue(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::Bool:
        return !value.toBool();
    case QMetaType::Double:
        return value.toDouble() / 2 + 0.375;
    case QMetaType::Int: // alignment flags
        return value.toInt() ^ int(Qt::AlignBottom);
    case QMetaType::QString:
        return value.toString() + QLatin1Char('x');
    case QMetaType::QPointF:
        return value.toPointF() + QPointF(0.25, -0.5);
    case QMetaType::QColor:
        return QColor::fromRgba(value.value<QColor>().rgba() ^ 0x00808080u);
    case QMetaType::QFont:
        return QFont(QStringLiteral("Serif"), 8);
    default: { // enumerations
        QVariant next = value.toInt() + 1;
        next.convert(value.metaType());
        return next;
    }
    }
}

// Reals compare fuzzily: they come back through angles and offsets.
bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.metaType().id() == QMetaType::Double || b.metaType().id() == QMetaType::Double)
        return qFuzzyCompare(a.toDouble(), b.toDouble());
    return a == b;
}

} // namespace

class TestAppearanceProperties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { RandomGenerator::reseed(); }

    // Every writable property of the look and of a page's text and
    // sticker, found through the meta-object system.
    void properties_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QByteArray>("property");
        Document document(false);
        Look look(&document);
        for (auto it = look.parts.cbegin(); it != look.parts.cend(); ++it) {
            const QMetaObject *meta = it.value()->metaObject();
            for (int i = QObject::staticMetaObject.propertyCount(); i < meta->propertyCount();
                 ++i) {
                // The offset sets angle and distance, as two steps (see offset()).
                const QByteArray name = meta->property(i).name();
                if (meta->property(i).isWritable() && name != "offset")
                    QTest::newRow(qPrintable(it.key() + QLatin1Char('.') + name))
                        << it.key() << name;
            }
        }
    }

    void properties()
    {
        QFETCH(QString, part);
        QFETCH(QByteArray, property);

        // Without an undo stack the value is assigned at once; the same value
        // again is no change and is not announced.
        Document plainDocument(false);
        Look plain(&plainDocument);
        QObject *object = plain.part(part);
        const QMetaProperty meta = metaProperty(object, property.constData());
        const QVariant initial = meta.read(object);
        const QVariant value = otherValue(initial);
        QVERIFY(!sameValue(initial, value));
        QSignalSpy spy(object, meta.notifySignal());
        QVERIFY(meta.write(object, value));
        QVERIFY(meta.write(object, value));
        QCOMPARE(spy.count(), 1);
        QVERIFY(sameValue(meta.read(object), value));
        if (!spy.first().isEmpty()) // the look parts announce the new value
            QVERIFY(sameValue(spy.first().first(), value));

        // With one, the change is one undo step. The same
        // value again is still an edit, which merges into that step.
        Document document(true);
        Look look(&document);
        UndoStack *stack = document.undoStack();
        const int steps = stack->count();
        object = look.part(part);
        QSignalSpy undoSpy(object, meta.notifySignal());
        QVERIFY(meta.write(object, value));
        QVERIFY(meta.write(object, value));
        QCOMPARE(stack->count(), steps + 1);
        QCOMPARE(undoSpy.count(), 1);
        stack->undo();
        QVERIFY(sameValue(meta.read(object), initial));
        QCOMPARE(undoSpy.count(), 2);
        stack->redo();
        QVERIFY(sameValue(meta.read(object), value));
    }

    // Every property has an undo id of its own: edits of two properties,
    // even two with one text (the background's type and gradient angle), or
    // of two objects are never merged into one step.
    void mergingStopsAtBoundaries()
    {
        Document document(true);
        ShadowProperties first(&document);
        ShadowProperties second(&document);
        BackgroundProperties background(&document);
        TextOverlayProperties *text = document.addTextOverlay();
        first.setBlurRadius(1);
        first.setColor(Qt::red);
        second.setColor(Qt::blue);
        background.setType(BackgroundProperties::Gradient);
        background.setGradientAngle(90);
        text->setRotation(10);
        text->setScale(2);
        document.addSticker()->setScale(2);
        document.addSticker()->setScale(3);
        QCOMPARE(document.undoStack()->count(), 9);
    }

    void clamps_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("stored");

        const auto row = [](const char *part, const char *property, double value, double stored) {
            QTest::newRow(qPrintable(QStringLiteral("%1.%2 %3").arg(part, property).arg(value)))
                << QString::fromLatin1(part) << QByteArray(property) << value << stored;
        };
        row("rotationRestrictions", "zero", 190, -170);
        row("rotationRestrictions", "zero", 1e12 + 30, -50);
        row("rotationRestrictions", "variation", 500, 180);
        row("rotationRestrictions", "variation", 0, 0.0001);
        row("text", "scale", 500, 100);
        row("sticker", "scale", qQNaN(), 0.5); // refused: the value stays
        row("text", "opacity", -1, 0);
        row("sticker", "rotation", 1000, 1000);
        row("text", "rotation", qQNaN(), 0.5);
    }

    void clamps()
    {
        QFETCH(QString, part);
        QFETCH(QByteArray, property);
        QFETCH(double, value);
        QFETCH(double, stored);

        Document document(true);
        Look look(&document);
        QObject *object = look.part(part);
        const char *name = property.constData();
        QVERIFY(object->setProperty(name, 0.5));
        document.undoStack()->setClean(); // no merging with the step above
        QVERIFY(object->setProperty(name, value));
        QCOMPARE(object->property(name).toDouble(), stored);
        if (property == "variation") // a clamped zero is still no rotation
            QCOMPARE(look.rotationRestrictions.isRotationEnabled(), value > 0);
        // A value that clamps to the current one is no change.
        QSignalSpy spy(object, metaProperty(object, name).notifySignal());
        QVERIFY(object->setProperty(name, value));
        QCOMPARE(spy.size(), 0);
        if (qIsNaN(value))
            return;
        // Undo and redo give back the clamped values, not the raw ones.
        document.undoStack()->undo();
        QCOMPARE(object->property(name).toDouble(), 0.5);
        document.undoStack()->redo();
        QCOMPARE(object->property(name).toDouble(), stored);
    }

    void offset()
    {
        // Setting the offset sets angle and distance, as two steps; a zero
        // offset has no direction, and the angle stays.
        Document document(true);
        ShadowProperties shadow(&document);
        shadow.setOffset(QPointF(-3, -4));
        QCOMPARE(shadow.distance(), 5.0);
        QCOMPARE(shadow.offset(), QPointF(-3, -4));
        QCOMPARE(document.undoStack()->count(), 2);
        const qreal angle = shadow.angle();
        shadow.setOffset(QPointF(0, 0));
        QCOMPARE(shadow.distance(), 0.0);
        QCOMPARE(shadow.angle(), angle);
    }

    void backgroundImage()
    {
        const QUrl url = QUrl::fromLocalFile(QStringLiteral("/pictures/paper.png"));
        Document document(true);
        BackgroundProperties background;
        background.setBackgroundUrl(url); // no document: assigned at once
        background.setDocument(&document);
        background.setBackgroundUrl(QUrl());
        document.undoStack()->undo();
        QCOMPARE(background.image()->source(), url);
        document.undoStack()->redo();
        QVERIFY(background.image()->source().isEmpty());
    }

    // Template scripts set the look through these objects: colours as
    // strings, offsets as points and enumerations as numbers; they connect to
    // the signals by their names as spelt, odd ones included.
    void script()
    {
        Look look(nullptr);
        look.shadows.setAngle(90);
        look.shadows.setDistance(3);
        QJSEngine engine;
        look.exposeTo(&engine);
        const QJSValue result = engine.evaluate(QStringLiteral(
            "var n = 0;"
            "theme.frames.enabledChange.connect(function() { n++; });"
            "theme.background.gradientAngleChanget.connect(function() { n++; });"
            "theme.frames.enabled = false; theme.background.gradientAngle = 30;"
            "theme.frames.color = '#123456'; theme.background.color = theme.frames.color;"
            "theme.shadows.offset = theme.shadows.offset;"
            "theme.background.type = 2;"
            "n"));
        QVERIFY2(!result.isError(), qPrintable(result.toString()));
        QCOMPARE(result.toInt(), 2);
        QCOMPARE(look.background.color(), QColor(0x12, 0x34, 0x56));
        QCOMPARE(look.shadows.distance(), 3.0);
        QCOMPARE(look.background.type(), BackgroundProperties::Gradient);
    }

    // Bindings between the look and the widgets of the panels

    void lineralFunction_data()
    {
        QTest::addColumn<qreal>("k");
        QTest::addColumn<qreal>("b");
        QTest::addColumn<bool>("setOutput");
        QTest::addColumn<qreal>("value");
        QTest::addColumn<qreal>("expectedInput");
        QTest::addColumn<qreal>("expectedOutput");

        QTest::newRow("input wraps into range") << 1.0 << 0.0 << false << -30.0 << 330.0 << 330.0;
        QTest::newRow("offset backward") << 2.0 << 10.0 << true << 30.0 << 10.0 << 30.0;
        // A dial's value across the seam: 350 is not -10.
        QTest::newRow("output across the seam") << 1.0 << 0.0 << true << 350.0 << 350.0 << 350.0;
        // A wrapped output does not move the input back.
        QTest::newRow("output wraps, input stays")
            << 1.0 << 30.0 << false << 350.0 << 350.0 << 20.0;
    }

    void lineralFunction()
    {
        QFETCH(qreal, k);
        QFETCH(qreal, b);
        QFETCH(bool, setOutput);
        QFETCH(qreal, value);
        QFETCH(qreal, expectedInput);
        QFETCH(qreal, expectedOutput);

        // The ranges of a dial, 0 to 360 degrees; the unbounded function is
        // the constant one below.
        LineralFunction function(k, b, 0, 360, 0, 360);
        QSignalSpy outputSpy(&function, &LineralFunction::outputChanged);
        if (setOutput)
            function.setOutput(value);
        else
            function.setInput(value);
        QVERIFY(qFuzzyCompare(function.input(), expectedInput));
        QVERIFY(qFuzzyCompare(function.output(), expectedOutput));
        QCOMPARE(outputSpy.count(), 1);
    }

    void wrap()
    {
        QCOMPARE(LineralFunction::wrap(-1000, 0, 360), 80.0);
        QCOMPARE(LineralFunction::wrap(1080, 0, 360), 360.0); // the upper end stays

        // Wrapping by whole periods in a loop would never end on these.
        const qreal huge = LineralFunction::wrap(1e18 + 30, 0, 360);
        QVERIFY(huge >= 0 && huge <= 360);
        QCOMPARE(LineralFunction::wrap(qInf(), 0, 360), qInf());
        QCOMPARE(LineralFunction::wrap(-5, 2, 2), 2.0);
        QVERIFY(std::isnan(LineralFunction::wrap(qQNaN(), 0, 360)));
        QCOMPARE(LineralFunction::wrap(-1e300, -qInf(), qInf()), -1e300);

        LineralFunction constant(0, 5);
        constant.setOutput(7);
        QCOMPARE(constant.output(), 7.0);
        QVERIFY(qIsFinite(constant.input()));
    }

    void sliderDragThroughFunction()
    {
        Document document(true);
        FrameProperties frames(&document);
        QSlider slider(Qt::Horizontal);
        LineralFunction percent(100, 0, 0, 1, 0, 100);
        Binding toFunction(&frames, "size", &percent, "input");
        Binding toSlider(&percent, "output", &slider, "value");
        QCOMPARE(slider.value(), 8);
        QCOMPARE(document.undoStack()->count(), 0);

        slider.setValue(20);
        slider.setValue(35);
        QCOMPARE(frames.size(), 0.35);
        QCOMPARE(document.undoStack()->count(), 1); // a slider drag is one step
        // Undo moves the widget back, and that is not a new edit.
        document.undoStack()->undo();
        QCOMPARE(frames.size(), 0.08);
        QCOMPARE(slider.value(), 8);
        QCOMPARE(document.undoStack()->count(), 1);
    }

    void conversionBetweenTypes()
    {
        // Colour and text.
        FrameProperties frames;
        QLineEdit edit;
        Binding binding(&frames, "color", &edit, "text");
        edit.setText(QStringLiteral("#ff0000"));
        QCOMPARE(frames.color(), QColor(Qt::red));
        frames.setColor(Qt::blue);
        QCOMPARE(edit.text(), QStringLiteral("#0000ff"));

        // Enumeration and number.
        BackgroundProperties background;
        QSpinBox box;
        Binding toBox(&background, "type", &box, "value");
        QCOMPARE(box.value(), int(BackgroundProperties::Color));
        box.setValue(int(BackgroundProperties::Gradient));
        QCOMPARE(background.type(), BackgroundProperties::Gradient);
    }

    void deadEndsDoNothing()
    {
        auto *shadow = new ShadowProperties;
        auto *box = new QCheckBox;
        Binding binding(shadow, "enabled", box, "checked");
        delete box;
        shadow->setEnabled(true);
        binding.documentValueChanged();
        binding.viewValueChanged();
        QVERIFY(!binding.viewObject());

        auto *other = new QCheckBox;
        Binding second(shadow, "enabled", other, "checked");
        QVERIFY(other->isChecked());
        delete shadow;
        other->setChecked(false);
        QVERIFY(!second.documentObject());
        delete other;
    }

    // Item transforms, which turn within the rotation restriction

    void rotationMapping_data()
    {
        QTest::addColumn<qreal>("zero");
        QTest::addColumn<qreal>("variation"); // 0: no restriction
        QTest::addColumn<qreal>("degrees");
        QTest::addColumn<qreal>("expectedRelative");
        QTest::addColumn<qreal>("expectedRotation");

        QTest::newRow("unrestricted wraps") << 0.0 << 0.0 << 270.0 << -0.5 << -90.0;
        QTest::newRow("1000 degrees") << 0.0 << 15.0 << 1000.0 << -1.0 << -15.0;
        QTest::newRow("short way round zero") << 170.0 << 30.0 << -175.0 << 0.5 << 185.0;
    }

    void rotationMapping()
    {
        QFETCH(qreal, zero);
        QFETCH(qreal, variation);
        QFETCH(qreal, degrees);
        QFETCH(qreal, expectedRelative);
        QFETCH(qreal, expectedRotation);

        RotationRestriction restriction;
        restriction.setZero(zero);
        restriction.setVariation(variation);
        const bool restricted = variation > 0;
        ItemTransform transform(nullptr, restricted ? &restriction : nullptr);
        transform.setRotation(degrees);
        QCOMPARE(transform.rotationRelative(), expectedRelative);
        QCOMPARE(transform.rotation(), expectedRotation);
        // A full turn more is the same direction.
        if (restricted)
            QVERIFY(qFuzzyCompare(
                rotationToRelative(expectedRotation + 720, zero, variation), expectedRelative));
    }

    void restrictionTurnsEveryPhoto()
    {
        Document document(true);
        RotationRestriction restriction(&document);
        restriction.setVariation(15);
        restriction.setZero(5);
        ItemTransform first(&document, &restriction);
        ItemTransform second(&document, &restriction);
        first.setRotationRelative(1);
        second.setRotationRelative(-0.5);
        QCOMPARE(first.rotation(), 20.0);
        QCOMPARE(second.rotation(), -2.5);

        UndoStack *stack = document.undoStack();
        const int steps = stack->count();
        QSignalSpy updatedSpy(&second, &SharedTransform::updated);
        restriction.setVariation(30);
        QCOMPARE(stack->count(), steps + 1); // the restriction's own step, none per photo
        QCOMPARE(first.rotation(), 35.0);
        QCOMPARE(second.rotation(), -10.0);
        QCOMPARE(updatedSpy.count(), 1);
        stack->undo();
        QCOMPARE(first.rotation(), 20.0);
    }

    void restrictionGoneFallsBack()
    {
        auto *restriction = new RotationRestriction;
        restriction->setVariation(10);
        ItemTransform transform(nullptr, restriction);
        transform.setRotationRelative(0.5);
        QCOMPARE(transform.rotation(), 5.0);

        QSignalSpy rotationSpy(&transform, &ItemTransform::rotationChanged);
        delete restriction;
        QVERIFY(!transform.restriction());
        QCOMPARE(rotationSpy.count(), 1);
        QCOMPARE(transform.rotation(), 90.0);

        RotationRestriction other;
        other.setZero(30);
        transform.setRestriction(&other);
        QCOMPARE(transform.rotation(), 120.0);
        QCOMPARE(rotationSpy.count(), 2);
    }

    void undoSteps()
    {
        Document document(true);
        UndoStack *stack = document.undoStack();
        ItemTransform transform(&document);
        ItemTransform other(&document);
        // Values it already has push nothing, a clamped one included.
        transform.setPosition(QPointF(0, 0));
        transform.setRotationRelative(-0.0);
        other.setRotationRelative(1);
        other.setRotationRelative(3);
        QCOMPARE(stack->count(), 1);

        // A drag is one step, and a zoom within it joins the step; another
        // transform starts its own.
        QSignalSpy zoomSpy(&transform, &ItemTransform::zoomChanged);
        for (int i = 1; i <= 20; ++i)
            transform.setPosition(QPointF(i * 0.5, i * 0.25));
        transform.setZoom(3);
        other.setPosition(QPointF(2, 2));
        QCOMPARE(stack->count(), 3);
        stack->undo();
        stack->undo();
        QCOMPARE(transform.position(), QPointF(0, 0));
        QCOMPARE(transform.zoom(), 1.0);
        stack->redo();
        QCOMPARE(transform.position(), QPointF(10, 5));
        // Undo and redo announce only what they change.
        QCOMPARE(zoomSpy.count(), 3);
    }

    void undoAfterTargetIsGone()
    {
        Document document(true);
        auto *transform = new ItemTransform(&document);
        transform->setPosition(QPointF(4, 4));
        delete transform;
        document.undoStack()->undo();
        document.undoStack()->redo();
        QCOMPARE(document.undoStack()->count(), 1);
    }

    void linkedTransform()
    {
        auto *transform = new ItemTransform;
        transform->setPosition(QPointF(10, 20));
        transform->setZoom(2);
        QGraphicsRectItem item(0, 0, 10, 10);
        auto *linked = new LinkedTransform(transform);
        item.setTransformations({ linked }); // the item owns and deletes it

        // The item follows every change. Rotations are clockwise on the
        // y-down page: (1, 0) turns to (0, 1).
        transform->setRotationRelative(0.5);
        QCOMPARE(item.sceneTransform().map(QPointF(1, 0)), QPointF(10, 22));

        // A transform that goes leaves the identity, not a dangling pointer.
        delete transform;
        QVERIFY(!linked->linkedTransform());
        QMatrix4x4 matrix;
        linked->applyTo(&matrix);
        QVERIFY(matrix.isIdentity());
        QCOMPARE(item.sceneTransform().map(QPointF(0, 0)), QPointF(0, 0));
    }

    // The random numbers that lay photos out

    void seeding()
    {
        // A seed reproduces its sequence; another seed or a reseed does not.
        const auto draws = [](quint64 seed) {
            RandomGenerator::seed(seed);
            return QList<quint64> { RandomGenerator::draw64(), RandomGenerator::draw64() };
        };
        const QList<quint64> first = draws(42);
        QCOMPARE(draws(42), first);
        QCOMPARE(RandomGenerator::fixedSeed().value_or(0), quint64(42));
        QVERIFY(draws(43) != first);
        RandomGenerator::reseed();
        QVERIFY(!RandomGenerator::fixedSeed());
        QVERIFY(RandomGenerator::draw64() != first.first());
    }

    void indexRange_data()
    {
        QTest::addColumn<quint64>("n");
        QTest::newRow("one") << quint64(1);
        QTest::newRow("just above a power of two") << quint64(9);
    }

    void indexRange()
    {
        QFETCH(quint64, n);
        RandomGenerator::seed(3);
        QList<int> hits(int(n), 0);
        for (int i = 0; i < 4000; ++i) {
            const quint64 value = RandomGenerator::index(n);
            QVERIFY(value < n);
            ++hits[int(value)];
        }
        for (int count : hits)
            QVERIFY(count > 0); // every value is reachable
        QCOMPARE(RandomGenerator::index(0), quint64(0));

        // Thousandths reach both ends of their range.
        int low = 1000, high = -1;
        for (int i = 0; i < 20000; ++i) {
            const int k = RandomGenerator::thousandth();
            low = qMin(low, k);
            high = qMax(high, k);
        }
        QCOMPARE(low, 0);
        QCOMPARE(high, 999);
    }
};

QTEST_MAIN(TestAppearanceProperties)
#include "tst_appearanceproperties.moc"
