#include <QtTest>

#include <QJSEngine>

#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagesource.h"
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
    void properties_data()
    {
        QTest::addColumn<QString>("part");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QByteArray>("signal"); // scripts connect to these names, odd ones included
        QTest::addColumn<QVariant>("value");
        QTest::addColumn<QString>("text");

        const auto row = [](const char *name, const char *part, const char *property,
                             const char *signal, const QVariant &value, const char *text) {
            QTest::newRow(name) << QString::fromLatin1(part) << QByteArray(property)
                                << QByteArray(signal) << value << QString::fromLatin1(text);
        };
        row("shadow color", "shadows", "color", "colorChanged", QColor(0x12, 0x34, 0x56, 0x78),
            "Changing shadow color");
        row("shadow group", "shadows", "group", "groupChanged", true, "Changing single shadow");
        row("frames off", "frames", "enabled", "enabledChange", false, "Disabling frames");
        row("background type", "background", "type", "typeChanged",
            QVariant::fromValue(BackgroundProperties::Gradient),
            "Changing background gradient angle");
        row("gradient angle", "background", "gradientAngle", "gradientAngleChanget", 45.0,
            "Changing background gradient angle");
        row("rotation variation", "rotationRestrictions", "variation", "variationChanged", 35.0,
            "Changing possible rotation");
        row("text", "text", "text", "textChanged", QStringLiteral("Hello\nworld"), "Change text");
        row("font", "text", "font", "fontChanged", QFont(QStringLiteral("Serif"), 8),
            "Change font");
        row("text position", "text", "position", "positionChanged", QPointF(-0.5, 2), "Move text");
        row("alignment", "text", "alignment", "alignmentChanged",
            int(Qt::AlignRight | Qt::AlignBottom), "Change text alignment");
        row("sticker path", "sticker", "stickerPath", "stickerPathChanged",
            QStringLiteral(":/stickers/star.svg"), "Change sticker");
        row("sticker opacity", "sticker", "opacity", "opacityChanged", 0.125,
            "Change sticker opacity");
    }

    void properties()
    {
        QFETCH(QString, part);
        QFETCH(QByteArray, property);
        QFETCH(QByteArray, signal);
        QFETCH(QVariant, value);
        QFETCH(QString, text);

        // Without an undo stack the value is assigned at once; the same value
        // again is no change and is not announced.
        Document plainDocument(false);
        Look plain(&plainDocument);
        QObject *object = plain.part(part);
        const QMetaProperty meta = metaProperty(object, property.constData());
        const QVariant initial = meta.read(object);
        QVERIFY(!sameValue(initial, value));
        QCOMPARE(meta.notifySignal().name(), signal);
        QSignalSpy spy(object, meta.notifySignal());
        QVERIFY(meta.write(object, value));
        QVERIFY(meta.write(object, value));
        QCOMPARE(spy.count(), 1);
        QVERIFY(sameValue(meta.read(object), value));
        if (!spy.first().isEmpty()) // the look parts announce the new value
            QVERIFY(sameValue(spy.first().first(), value));

        // With one, the change is an undo step of the given name. The same
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
        QCOMPARE(stack->undoText(), text);
        QCOMPARE(undoSpy.count(), 1);
        stack->undo();
        QVERIFY(sameValue(meta.read(object), initial));
        QCOMPARE(undoSpy.count(), 2);
        stack->redo();
        QVERIFY(sameValue(meta.read(object), value));
    }

    void mergingStopsAtBoundaries()
    {
        Document document(true);
        UndoStack *stack = document.undoStack();
        ShadowProperties first(&document);
        ShadowProperties second(&document);
        // A run of edits of one property (a slider drag) is one step...
        for (int i = 1; i <= 10; ++i)
            first.setBlurRadius(i * 0.5);
        QCOMPARE(stack->count(), 1);
        // ...but another property, another object or a saved state starts one.
        first.setColor(Qt::red);
        second.setColor(Qt::blue);
        QCOMPARE(stack->count(), 3);
        stack->setClean();
        second.setColor(Qt::green);
        QCOMPARE(stack->count(), 4);
        stack->undo();
        QVERIFY(stack->isClean());
        QCOMPARE(second.color(), QColor(Qt::blue));
        stack->undo();
        stack->undo();
        QCOMPARE(first.blurRadius(), 5.0);
        QCOMPARE(first.color(), QColor(Qt::black));

        // The type and the gradient angle share a text but not an id; so do
        // the overlays' properties and objects.
        BackgroundProperties background(&document);
        background.setType(BackgroundProperties::Gradient);
        background.setGradientAngle(90);
        QCOMPARE(stack->count(), 3);
        TextOverlayProperties *text = document.addTextOverlay();
        StickerProperties *sticker = document.addSticker();
        text->setRotation(10);
        text->setScale(2);
        sticker->setScale(2);
        document.addSticker()->setScale(3);
        QCOMPARE(stack->count(), 7);
        stack->undo();
        stack->undo();
        stack->undo();
        QCOMPARE(text->rotation(), 10.0);
        QCOMPARE(text->scale() + sticker->scale(), 2.0);
    }

    void rotationClamps_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<qreal>("value");
        QTest::addColumn<qreal>("expected");

        QTest::newRow("zero 190") << QByteArray("zero") << 190.0 << -170.0;
        QTest::newRow("zero 1e12+30") << QByteArray("zero") << 1e12 + 30 << -50.0;
        QTest::newRow("variation 500") << QByteArray("variation") << 500.0 << 180.0;
        QTest::newRow("variation 0") << QByteArray("variation") << 0.0 << 0.0001;
    }

    void rotationClamps()
    {
        QFETCH(QByteArray, property);
        QFETCH(qreal, value);
        QFETCH(qreal, expected);

        Document document(true);
        RotationRestriction restriction(&document);
        QVERIFY(restriction.setProperty(property.constData(), 20.0));
        document.undoStack()->setClean(); // no merging with the step above
        QSignalSpy updated(&restriction, &RotationRestriction::updated);
        QVERIFY(restriction.setProperty(property.constData(), value));
        QCOMPARE(restriction.property(property.constData()).toDouble(), expected);
        if (property == "variation") // a clamped zero is still no rotation
            QCOMPARE(restriction.isRotationEnabled(), value > 0);
        // Undo and redo give back the clamped values, not the raw ones.
        document.undoStack()->undo();
        QCOMPARE(restriction.property(property.constData()).toDouble(), 20.0);
        document.undoStack()->redo();
        QCOMPARE(restriction.property(property.constData()).toDouble(), expected);
        QCOMPARE(updated.count(), 3);
    }

    void overlayClamps_data()
    {
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<double>("value");
        QTest::addColumn<double>("stored");

        QTest::newRow("scale 500") << QByteArray("scale") << 500.0 << 100.0;
        QTest::newRow("scale NaN") << QByteArray("scale") << qQNaN() << 1.0;
        QTest::newRow("opacity -1") << QByteArray("opacity") << -1.0 << 0.0;
        QTest::newRow("rotation 1000 is kept") << QByteArray("rotation") << 1000.0 << 1000.0;
        QTest::newRow("rotation NaN") << QByteArray("rotation") << qQNaN() << 0.0;
    }

    void overlayClamps()
    {
        QFETCH(QByteArray, property);
        QFETCH(double, value);
        QFETCH(double, stored);

        Document document(true);
        Look look(&document);
        for (QObject *overlay :
            { look.part(QStringLiteral("text")), look.part(QStringLiteral("sticker")) }) {
            QVERIFY(overlay->setProperty(property.constData(), value));
            QCOMPARE(overlay->property(property.constData()).toDouble(), stored);
            // A value that clamps to the current one is no change.
            const QMetaProperty meta = metaProperty(overlay, property.constData());
            QSignalSpy spy(overlay, meta.notifySignal());
            QVERIFY(meta.write(overlay, value));
            QCOMPARE(spy.size(), 0);
        }
    }

    void offset()
    {
        const qreal angle = 126.86989764584402;
        const QPointF offset(-3, -4);

        // The offset follows from angle and distance...
        ShadowProperties shadow;
        shadow.setAngle(angle);
        shadow.setDistance(5);
        QCOMPARE(shadow.offset(), offset);

        // ...and setting it sets them, as two steps.
        Document document(true);
        ShadowProperties edited(&document);
        edited.setOffset(offset);
        QCOMPARE(edited.distance(), 5.0);
        QCOMPARE(edited.angle(), angle);
        QCOMPARE(document.undoStack()->count(), 2);

        // A zero offset has no direction: the angle stays.
        edited.setOffset(QPointF(0, 0));
        QCOMPARE(edited.distance(), 0.0);
        QCOMPARE(edited.angle(), angle);
        QCOMPARE(document.undoStack()->count(), 3);
    }

    void backgroundImage()
    {
        const QUrl url = QUrl::fromLocalFile(QStringLiteral("/pictures/paper.png"));
        Document document(true);
        BackgroundProperties background;
        background.setBackgroundUrl(url); // no document: assigned at once
        background.setDocument(&document);
        QCOMPARE(background.image()->document(), &document);
        background.setBackgroundUrl(QUrl());
        QCOMPARE(document.undoStack()->undoText(), QStringLiteral("Changing background image"));
        document.undoStack()->undo();
        QCOMPARE(background.image()->source(), url);
        document.undoStack()->redo();
        QVERIFY(background.image()->source().isEmpty());
    }

    void script_data()
    {
        QTest::addColumn<QString>("script");
        QTest::addColumn<QString>("part");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QVariant>("expected");

        // Offsets given as points are pinned with the real themes' scripts.
        QTest::newRow("colour with alpha")
            << "theme.shadows.color = \"#80102030\""
            << "shadows" << QByteArray("color") << QVariant(QColor(0x10, 0x20, 0x30, 0x80));
        QTest::newRow("colour read back as string")
            << "theme.frames.color = '#123456'; theme.background.color = theme.frames.color"
            << "background" << QByteArray("color") << QVariant(QColor(0x12, 0x34, 0x56));
        QTest::newRow("offset from a read offset")
            << "theme.shadows.offset = theme.shadows.offset"
            << "shadows" << QByteArray("distance") << QVariant(3.0);
        QTest::newRow("enumeration from a number")
            << "theme.background.type = 2"
            << "background" << QByteArray("type")
            << QVariant::fromValue(BackgroundProperties::Gradient);
    }

    void script()
    {
        QFETCH(QString, script);
        QFETCH(QString, part);
        QFETCH(QByteArray, property);
        QFETCH(QVariant, expected);

        Look look(nullptr);
        // The offset rows read the default offset back: make it non-zero first.
        look.shadows.setAngle(90);
        look.shadows.setDistance(3);
        QJSEngine engine;
        look.exposeTo(&engine);
        const QJSValue result = engine.evaluate(script);
        QVERIFY2(!result.isError(), qPrintable(result.toString()));

        const QVariant actual = look.part(part)->property(property.constData());
        QVERIFY2(sameValue(actual, expected), qPrintable(actual.toString()));
    }
};

QTEST_MAIN(TestAppearanceProperties)
#include "tst_appearanceproperties.moc"
