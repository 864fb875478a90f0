#include <QtTest>

#include <QJSEngine>

#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagesource.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "undo/undostack.h"

namespace {

// The look settings of one theme, exposed to scripts under the names the
// template scripts use.
class Look : public QObject
{
    Q_OBJECT
    Q_PROPERTY(ShadowProperties *shadows READ shadows CONSTANT)
    Q_PROPERTY(FrameProperties *frames READ frames CONSTANT)
    Q_PROPERTY(BackgroundProperties *background READ background CONSTANT)
    Q_PROPERTY(RotationRestriction *rotationRestrictions READ rotationRestrictions CONSTANT)

public:
    explicit Look(Document *document)
        : m_shadows(new ShadowProperties(document, this))
        , m_frames(new FrameProperties(document, this))
        , m_background(new BackgroundProperties(document, this))
        , m_rotation(new RotationRestriction(document, this))
    {
    }

    ShadowProperties *shadows() const { return m_shadows; }
    FrameProperties *frames() const { return m_frames; }
    BackgroundProperties *background() const { return m_background; }
    RotationRestriction *rotationRestrictions() const { return m_rotation; }

    QObject *part(const QString &name) const
    {
        if (name == QLatin1String("shadows"))
            return m_shadows;
        if (name == QLatin1String("frames"))
            return m_frames;
        if (name == QLatin1String("background"))
            return m_background;
        return m_rotation;
    }

private:
    ShadowProperties *m_shadows;
    FrameProperties *m_frames;
    BackgroundProperties *m_background;
    RotationRestriction *m_rotation;
};

// A parentless object handed to the engine would become the engine's to
// delete; the look belongs to the test.
void exposeToScript(QJSEngine *engine, Look *look)
{
    QJSEngine::setObjectOwnership(look, QJSEngine::CppOwnership);
    engine->globalObject().setProperty(QStringLiteral("theme"), engine->newQObject(look));
}

QMetaProperty metaProperty(const QObject *object, const char *name)
{
    return object->metaObject()->property(object->metaObject()->indexOfProperty(name));
}

} // namespace

class TestAppearanceProperties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults_data();
    void defaults();
    void setterPattern_data();
    void setterPattern();
    void clamps_data();
    void clamps();
    void clampedVariationSurvivesUndo();
    void restrictionAnnouncesUpdates();
    void offsetFromAngleAndDistance_data();
    void offsetFromAngleAndDistance();
    void setOffset_data();
    void setOffset();
    void zeroOffsetKeepsAngle();
    void runOfChangesMerges_data();
    void runOfChangesMerges();
    void differentPropertiesStaySeparate();
    void differentObjectsStaySeparate();
    void cleanStateBreaksMerging();
    void backgroundImage();
    void backgroundImageFollowsDocument();
    void script_data();
    void script();
    void scriptEditsAreUndoable();
    void scriptReadsEveryProperty();
};

void TestAppearanceProperties::defaults_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");
    QTest::addColumn<QByteArray>("signal");

    QTest::newRow("shadow enabled")
        << "shadows" << QByteArray("enabled") << QVariant(false) << QByteArray("enabledChanged");
    QTest::newRow("shadow blur") << "shadows" << QByteArray("blurRadius") << QVariant(0.0)
                                 << QByteArray("blurRadiusChanged");
    QTest::newRow("shadow color") << "shadows" << QByteArray("color") << QVariant(QColor(Qt::black))
                                  << QByteArray("colorChanged");
    QTest::newRow("shadow offset")
        << "shadows" << QByteArray("offset") << QVariant(QPointF()) << QByteArray("offsetChanged");
    QTest::newRow("shadow angle") << "shadows" << QByteArray("angle") << QVariant(0.0)
                                  << QByteArray("angleChanged");
    QTest::newRow("shadow distance")
        << "shadows" << QByteArray("distance") << QVariant(0.0) << QByteArray("distanceChanged");
    QTest::newRow("shadow group") << "shadows" << QByteArray("group") << QVariant(false)
                                  << QByteArray("groupChanged");
    QTest::newRow("frame size") << "frames" << QByteArray("size") << QVariant(0.08)
                                << QByteArray("sizeChanged");
    QTest::newRow("frame color") << "frames" << QByteArray("color") << QVariant(QColor(Qt::white))
                                 << QByteArray("colorChanged");
    QTest::newRow("frame enabled")
        << "frames" << QByteArray("enabled") << QVariant(true) << QByteArray("enabledChange");
    QTest::newRow("background type")
        << "background" << QByteArray("type") << QVariant::fromValue(BackgroundProperties::Color)
        << QByteArray("typeChanged");
    QTest::newRow("background color") << "background" << QByteArray("color")
                                      << QVariant(QColor(Qt::white)) << QByteArray("colorChanged");
    QTest::newRow("gradient angle") << "background" << QByteArray("gradientAngle")
                                    << QVariant(180.0) << QByteArray("gradientAngleChanget");
    QTest::newRow("gradient start")
        << "background" << QByteArray("gradientStartColor") << QVariant(QColor(Qt::white))
        << QByteArray("gradientStartColorChanged");
    QTest::newRow("gradient end") << "background" << QByteArray("gradientEndColor")
                                  << QVariant(QColor(Qt::black))
                                  << QByteArray("gradientEndColorChanged");
    QTest::newRow("rotation zero")
        << "rotation" << QByteArray("zero") << QVariant(0.0) << QByteArray("zeroChanged");
    QTest::newRow("rotation variation") << "rotation" << QByteArray("variation") << QVariant(180.0)
                                        << QByteArray("variationChanged");
}

void TestAppearanceProperties::defaults()
{
    QFETCH(QString, part);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);
    QFETCH(QByteArray, signal);

    Look look(nullptr);
    const QObject *object = look.part(part);
    const QMetaProperty meta = metaProperty(object, property.constData());
    QVERIFY(meta.isValid());
    QVERIFY(meta.isWritable());
    QCOMPARE(meta.read(object), expected);
    QCOMPARE(meta.notifySignal().name(), signal);
}

void TestAppearanceProperties::setterPattern_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("text");

    QTest::newRow("shadow on") << "shadows" << QByteArray("enabled") << QVariant(true)
                               << "Enabling shadows";
    QTest::newRow("shadow blur") << "shadows" << QByteArray("blurRadius") << QVariant(12.5)
                                 << "Changing shadow blur radius";
    QTest::newRow("shadow color") << "shadows" << QByteArray("color")
                                  << QVariant(QColor(0x12, 0x34, 0x56, 0x78))
                                  << "Changing shadow color";
    QTest::newRow("shadow distance")
        << "shadows" << QByteArray("distance") << QVariant(4.0) << "Changing shadow distance";
    QTest::newRow("shadow angle") << "shadows" << QByteArray("angle") << QVariant(225.0)
                                  << "Changing shadow angle";
    QTest::newRow("shadow group") << "shadows" << QByteArray("group") << QVariant(true)
                                  << "Changing single shadow";
    QTest::newRow("frame size") << "frames" << QByteArray("size") << QVariant(0.02)
                                << "Changing frame size";
    QTest::newRow("frame color") << "frames" << QByteArray("color") << QVariant(QColor(Qt::darkRed))
                                 << "Changing frame color";
    QTest::newRow("frames off") << "frames" << QByteArray("enabled") << QVariant(false)
                                << "Disabling frames";
    QTest::newRow("background type")
        << "background" << QByteArray("type") << QVariant::fromValue(BackgroundProperties::Gradient)
        << "Changing background gradient angle";
    QTest::newRow("background color") << "background" << QByteArray("color")
                                      << QVariant(QColor(Qt::gray)) << "Changing background color";
    QTest::newRow("gradient angle") << "background" << QByteArray("gradientAngle") << QVariant(45.0)
                                    << "Changing background gradient angle";
    QTest::newRow("gradient start")
        << "background" << QByteArray("gradientStartColor") << QVariant(QColor(Qt::yellow))
        << "Changing background gradient color 1";
    QTest::newRow("gradient end") << "background" << QByteArray("gradientEndColor")
                                  << QVariant(QColor(Qt::cyan))
                                  << "Changing background gradient color 2";
    QTest::newRow("rotation zero")
        << "rotation" << QByteArray("zero") << QVariant(12.0) << "Changing original rotation";
    QTest::newRow("rotation variation")
        << "rotation" << QByteArray("variation") << QVariant(35.0) << "Changing possible rotation";
}

void TestAppearanceProperties::setterPattern()
{
    QFETCH(QString, part);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);
    QFETCH(QString, text);

    // Without an undo stack the value is assigned at once.
    {
        Look look(nullptr);
        QObject *object = look.part(part);
        const QMetaProperty meta = metaProperty(object, property.constData());
        const QVariant before = meta.read(object);
        QSignalSpy spy(object, meta.notifySignal());
        QVERIFY(meta.write(object, value));
        QCOMPARE(meta.read(object), value);
        QCOMPARE(spy.count(), 1);
        QCOMPARE(spy.first().first(), value);
        // The same value again is no change and is not announced.
        QVERIFY(meta.write(object, value));
        QCOMPARE(spy.count(), 1);
        QVERIFY(before != value);
    }
    // With one, the change is an undo step of the given name.
    {
        Document document(true);
        Look look(&document);
        UndoStack *stack = document.undoStack();
        QObject *object = look.part(part);
        const QMetaProperty meta = metaProperty(object, property.constData());
        const QVariant before = meta.read(object);
        QSignalSpy spy(object, meta.notifySignal());
        QVERIFY(meta.write(object, value));
        QCOMPARE(meta.read(object), value);
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->undoText(), text);
        QCOMPARE(spy.count(), 1);

        stack->undo();
        QCOMPARE(meta.read(object), before);
        QCOMPARE(spy.count(), 2);
        stack->redo();
        QCOMPARE(meta.read(object), value);
        QCOMPARE(spy.count(), 3);

        // The public setter does not compare: the same value is still an edit,
        // which merges into the step above and leaves it as it was.
        QVERIFY(meta.write(object, value));
        QCOMPARE(stack->count(), 1);
        QCOMPARE(spy.count(), 3);
        stack->undo();
        QCOMPARE(meta.read(object), before);
    }
}

void TestAppearanceProperties::clamps_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<qreal>("value");
    QTest::addColumn<qreal>("expected");

    QTest::newRow("zero 190") << QByteArray("zero") << 190.0 << -170.0;
    QTest::newRow("zero -540") << QByteArray("zero") << -540.0 << -180.0;
    QTest::newRow("zero 540") << QByteArray("zero") << 540.0 << 180.0;
    QTest::newRow("zero -190") << QByteArray("zero") << -190.0 << 170.0;
    QTest::newRow("zero 180") << QByteArray("zero") << 180.0 << 180.0;
    QTest::newRow("zero 1e12+30") << QByteArray("zero") << 1e12 + 30 << -50.0;
    QTest::newRow("variation 500") << QByteArray("variation") << 500.0 << 180.0;
    QTest::newRow("variation 0") << QByteArray("variation") << 0.0 << 0.0001;
    QTest::newRow("variation -20") << QByteArray("variation") << -20.0 << 0.0001;
    QTest::newRow("variation 35") << QByteArray("variation") << 35.0 << 35.0;
}

void TestAppearanceProperties::clamps()
{
    QFETCH(QByteArray, property);
    QFETCH(qreal, value);
    QFETCH(qreal, expected);

    for (bool withStack : { false, true }) {
        Document document(withStack);
        RotationRestriction restriction(&document);
        QVERIFY(restriction.setProperty(property.constData(), value));
        QCOMPARE(restriction.property(property.constData()).toDouble(), expected);
    }
}

void TestAppearanceProperties::clampedVariationSurvivesUndo()
{
    Document document(true);
    RotationRestriction restriction(&document);
    restriction.setVariation(20);
    document.undoStack()->setClean();
    restriction.setVariation(500);
    QCOMPARE(restriction.variation(), 180.0);
    document.undoStack()->undo();
    QCOMPARE(restriction.variation(), 20.0);
    document.undoStack()->redo();
    QCOMPARE(restriction.variation(), 180.0);

    QVERIFY(RotationRestriction().isRotationEnabled());
    restriction.setVariation(0);
    QVERIFY(!restriction.isRotationEnabled());
    restriction.setVariation(0.001);
    QVERIFY(restriction.isRotationEnabled());
}

void TestAppearanceProperties::restrictionAnnouncesUpdates()
{
    RotationRestriction restriction;
    QSignalSpy spy(&restriction, &RotationRestriction::updated);
    restriction.setZero(10);
    restriction.setVariation(20);
    restriction.setVariation(20);
    QCOMPARE(spy.count(), 2);
}

void TestAppearanceProperties::offsetFromAngleAndDistance_data()
{
    QTest::addColumn<qreal>("angle");
    QTest::addColumn<qreal>("distance");
    QTest::addColumn<QPointF>("expected");

    QTest::newRow("right") << 0.0 << 10.0 << QPointF(10, 0);
    QTest::newRow("above") << 90.0 << 10.0 << QPointF(0, -10);
    QTest::newRow("left") << 180.0 << 4.0 << QPointF(-4, 0);
    QTest::newRow("below") << 270.0 << 10.0 << QPointF(0, 10);
    QTest::newRow("lower left") << 225.0 << 2.0 << QPointF(-M_SQRT2, M_SQRT2);
    QTest::newRow("none") << 123.0 << 0.0 << QPointF(0, 0);
}

void TestAppearanceProperties::offsetFromAngleAndDistance()
{
    QFETCH(qreal, angle);
    QFETCH(qreal, distance);
    QFETCH(QPointF, expected);

    ShadowProperties shadow;
    QSignalSpy spy(&shadow, &ShadowProperties::offsetChanged);
    shadow.setAngle(angle);
    shadow.setDistance(distance);
    const QPointF offset = shadow.offset();
    QVERIFY2(qAbs(offset.x() - expected.x()) < 1e-9 && qAbs(offset.y() - expected.y()) < 1e-9,
        qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
    QCOMPARE(spy.count(), (angle != 0) + (distance != 0));
    if (!spy.isEmpty())
        QCOMPARE(spy.last().first().toPointF(), offset);
}

void TestAppearanceProperties::setOffset_data()
{
    QTest::addColumn<QPointF>("offset");
    QTest::addColumn<qreal>("expectedDistance");
    QTest::addColumn<qreal>("expectedAngle");

    QTest::newRow("right") << QPointF(10, 0) << 10.0 << 0.0;
    QTest::newRow("below") << QPointF(0, 10) << 10.0 << 270.0;
    QTest::newRow("above") << QPointF(0, -3) << 3.0 << 90.0;
    QTest::newRow("three four five") << QPointF(-3, -4) << 5.0 << 126.86989764584402;
}

void TestAppearanceProperties::setOffset()
{
    QFETCH(QPointF, offset);
    QFETCH(qreal, expectedDistance);
    QFETCH(qreal, expectedAngle);

    for (bool withStack : { false, true }) {
        Document document(withStack);
        ShadowProperties shadow(&document);
        shadow.setOffset(offset);
        QCOMPARE(shadow.distance(), expectedDistance);
        QVERIFY(qFuzzyCompare(shadow.angle() + 1, expectedAngle + 1));
        QVERIFY(qAbs(shadow.offset().x() - offset.x()) < 1e-9);
        QVERIFY(qAbs(shadow.offset().y() - offset.y()) < 1e-9);
        if (withStack) {
            // The distance and the angle are two pushes, even when the
            // angle stays what it was.
            QCOMPARE(document.undoStack()->count(), 2);
            QCOMPARE(document.undoStack()->text(0), QStringLiteral("Changing shadow distance"));
        }
    }
}

void TestAppearanceProperties::zeroOffsetKeepsAngle()
{
    Document document(true);
    ShadowProperties shadow(&document);
    shadow.setAngle(135);
    shadow.setDistance(6);
    document.undoStack()->setClean();
    const int steps = document.undoStack()->count();

    shadow.setOffset(QPointF(0, 0));
    QCOMPARE(shadow.distance(), 0.0);
    QCOMPARE(shadow.angle(), 135.0);
    QCOMPARE(document.undoStack()->count(), steps + 1);
    QCOMPARE(document.undoStack()->undoText(), QStringLiteral("Changing shadow distance"));
}

void TestAppearanceProperties::runOfChangesMerges_data()
{
    QTest::addColumn<QString>("part");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariantList>("values");
    QTest::addColumn<QString>("lastText");

    QVariantList angles;
    for (int i = 1; i <= 10; ++i)
        angles << QVariant(i * 9.0);
    QTest::newRow("ten shadow angles")
        << "shadows" << QByteArray("angle") << angles << "Changing shadow angle";
    QTest::newRow("two blur radii") << "shadows" << QByteArray("blurRadius")
                                    << QVariantList { 3.0, 4.0 } << "Changing shadow blur radius";
    QTest::newRow("shadows on and off") << "shadows" << QByteArray("enabled")
                                        << QVariantList { true, false } << "Disabling shadows";
    QTest::newRow("frames off and on")
        << "frames" << QByteArray("enabled") << QVariantList { false, true } << "Enabling frames";
    QTest::newRow("background types")
        << "background" << QByteArray("type")
        << QVariantList { QVariant::fromValue(BackgroundProperties::None),
               QVariant::fromValue(BackgroundProperties::Picture) }
        << "Changing background gradient angle";
    QTest::newRow("gradient colours")
        << "background" << QByteArray("gradientEndColor")
        << QVariantList { QColor(Qt::red), QColor(Qt::green), QColor(Qt::blue) }
        << "Changing background gradient color 2";
    QTest::newRow("variations") << "rotation" << QByteArray("variation")
                                << QVariantList { 10.0, 20.0, 30.0 }
                                << "Changing possible rotation";
}

void TestAppearanceProperties::runOfChangesMerges()
{
    QFETCH(QString, part);
    QFETCH(QByteArray, property);
    QFETCH(QVariantList, values);
    QFETCH(QString, lastText);

    Document document(true);
    Look look(&document);
    UndoStack *stack = document.undoStack();
    QObject *object = look.part(part);
    const QVariant before = object->property(property.constData());
    for (const QVariant &value : values)
        QVERIFY(object->setProperty(property.constData(), value));

    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->undoText(), lastText);
    QCOMPARE(object->property(property.constData()), values.last());
    stack->undo();
    QCOMPARE(object->property(property.constData()), before);
    stack->redo();
    QCOMPARE(object->property(property.constData()), values.last());
}

void TestAppearanceProperties::differentPropertiesStaySeparate()
{
    Document document(true);
    ShadowProperties shadow(&document);
    shadow.setBlurRadius(5);
    shadow.setColor(Qt::red);
    QCOMPARE(document.undoStack()->count(), 2);
    document.undoStack()->undo();
    QCOMPARE(shadow.blurRadius(), 5.0);
    QCOMPARE(shadow.color(), QColor(Qt::black));

    // The type and the gradient angle share a text but not an id.
    BackgroundProperties background(&document);
    background.setType(BackgroundProperties::Gradient);
    background.setGradientAngle(90);
    QCOMPARE(document.undoStack()->count(), 3);
}

void TestAppearanceProperties::differentObjectsStaySeparate()
{
    Document document(true);
    ShadowProperties first(&document);
    ShadowProperties second(&document);
    first.setAngle(10);
    second.setAngle(20);
    QCOMPARE(document.undoStack()->count(), 2);
    document.undoStack()->undo();
    QCOMPARE(first.angle(), 10.0);
    QCOMPARE(second.angle(), 0.0);
}

void TestAppearanceProperties::cleanStateBreaksMerging()
{
    Document document(true);
    FrameProperties frames(&document);
    frames.setSize(0.01);
    frames.setSize(0.02);
    document.undoStack()->setClean();
    frames.setSize(0.03);
    QCOMPARE(document.undoStack()->count(), 2);
    document.undoStack()->undo();
    QCOMPARE(frames.size(), 0.02);
    QVERIFY(document.undoStack()->isClean());
}

void TestAppearanceProperties::backgroundImage()
{
    const QUrl url = QUrl::fromLocalFile(QStringLiteral("/pictures/paper.png"));
    {
        BackgroundProperties background;
        ImageSource *image = background.image();
        QVERIFY(image);
        QCOMPARE(image->parent(), &background);
        QVERIFY(image->source().isEmpty());
        background.setBackgroundUrl(url);
        QCOMPARE(image->source(), url);
        QCOMPARE(background.property("image").value<ImageSource *>(), image);
    }
    {
        Document document(true);
        BackgroundProperties background(&document);
        QCOMPARE(background.image()->document(), &document);
        background.setBackgroundUrl(url);
        QCOMPARE(background.image()->source(), url);
        QCOMPARE(document.undoStack()->count(), 1);
        QCOMPARE(document.undoStack()->undoText(), QStringLiteral("Changing background image"));
        document.undoStack()->undo();
        QVERIFY(background.image()->source().isEmpty());
        document.undoStack()->redo();
        QCOMPARE(background.image()->source(), url);
    }
}

void TestAppearanceProperties::backgroundImageFollowsDocument()
{
    Document document(true);
    BackgroundProperties background;
    QVERIFY(!background.image()->document());
    background.setDocument(&document);
    QCOMPARE(background.image()->document(), &document);
}

void TestAppearanceProperties::script_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("part");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("expected");

    QTest::newRow("shadows.enabled") << "theme.shadows.enabled = true"
                                     << "shadows" << QByteArray("enabled") << QVariant(true);
    QTest::newRow("shadows.blurRadius") << "var m = 400; theme.shadows.blurRadius = m * 0.05"
                                        << "shadows" << QByteArray("blurRadius") << QVariant(20.0);
    QTest::newRow("shadows.angle") << "theme.shadows.angle = 135"
                                   << "shadows" << QByteArray("angle") << QVariant(135.0);
    QTest::newRow("shadows.distance") << "theme.shadows.distance = 2.5"
                                      << "shadows" << QByteArray("distance") << QVariant(2.5);
    QTest::newRow("shadows.color hex")
        << "theme.shadows.color = '#c4956a'"
        << "shadows" << QByteArray("color") << QVariant(QColor(0xc4, 0x95, 0x6a));
    QTest::newRow("shadows.color with alpha")
        << "theme.shadows.color = \"#80102030\""
        << "shadows" << QByteArray("color") << QVariant(QColor(0x10, 0x20, 0x30, 0x80));
    QTest::newRow("shadows.group") << "theme.shadows.group = true"
                                   << "shadows" << QByteArray("group") << QVariant(true);
    QTest::newRow("shadows.offset") << "theme.shadows.offset = {x: 0, y: 7}"
                                    << "shadows" << QByteArray("angle") << QVariant(270.0);
    QTest::newRow("shadows.offset read back")
        << "var o = theme.shadows.offset; theme.shadows.distance = o.x + 2 * o.y"
        << "shadows" << QByteArray("distance") << QVariant(-6.0);
    QTest::newRow("shadows.offset from a read offset")
        << "theme.shadows.offset = theme.shadows.offset"
        << "shadows" << QByteArray("distance") << QVariant(3.0);
    QTest::newRow("frames.enabled") << "theme.frames.enabled = false"
                                    << "frames" << QByteArray("enabled") << QVariant(false);
    QTest::newRow("frames.size") << "theme.frames.size = 0.04"
                                 << "frames" << QByteArray("size") << QVariant(0.04);
    QTest::newRow("frames.color named")
        << "theme.frames.color = 'white'; "
           "theme.frames.color = 'ivory'"
        << "frames" << QByteArray("color") << QVariant(QColor(0xff, 0xff, 0xf0));
    QTest::newRow("background.type") << "theme.background.type = 2"
                                     << "background" << QByteArray("type")
                                     << QVariant::fromValue(BackgroundProperties::Gradient);
    QTest::newRow("background.color")
        << "theme.background.color = '#c4956a'"
        << "background" << QByteArray("color") << QVariant(QColor(0xc4, 0x95, 0x6a));
    QTest::newRow("background.gradientStartColor")
        << "theme.background.gradientStartColor = 'navy'"
        << "background" << QByteArray("gradientStartColor") << QVariant(QColor(0, 0, 0x80));
    QTest::newRow("background.gradientEndColor")
        << "theme.background.gradientEndColor = '#fff'"
        << "background" << QByteArray("gradientEndColor") << QVariant(QColor(Qt::white));
    QTest::newRow("background.gradientAngle")
        << "theme.background.gradientAngle = 45"
        << "background" << QByteArray("gradientAngle") << QVariant(45.0);
    QTest::newRow("rotationRestrictions.zero")
        << "theme.rotationRestrictions.zero = -5"
        << "rotation" << QByteArray("zero") << QVariant(-5.0);
    QTest::newRow("rotationRestrictions.variation")
        << "theme.rotationRestrictions.variation = 18"
        << "rotation" << QByteArray("variation") << QVariant(18.0);
    QTest::newRow("colour read back as string")
        << "theme.frames.color = '#123456'; theme.background.color = theme.frames.color"
        << "background" << QByteArray("color") << QVariant(QColor(0x12, 0x34, 0x56));
}

void TestAppearanceProperties::script()
{
    QFETCH(QString, script);
    QFETCH(QString, part);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, expected);

    Look look(nullptr);
    // The offset row reads the default offset back: make it non-zero first.
    look.shadows()->setAngle(90);
    look.shadows()->setDistance(3);
    QJSEngine engine;
    exposeToScript(&engine, &look);
    const QJSValue result = engine.evaluate(script);
    QVERIFY2(!result.isError(), qPrintable(result.toString()));

    const QVariant actual = look.part(part)->property(property.constData());
    if (expected.metaType().id() == QMetaType::Double)
        QVERIFY2(
            qAbs(actual.toDouble() - expected.toDouble()) < 1e-9, qPrintable(actual.toString()));
    else
        QCOMPARE(actual, expected);
}

void TestAppearanceProperties::scriptEditsAreUndoable()
{
    Document document(true);
    Look look(&document);
    QJSEngine engine;
    exposeToScript(&engine, &look);
    const QJSValue result = engine.evaluate(
        QStringLiteral("theme.frames.color = 'white'; theme.shadows.color = '#c4956a';"
                       "theme.background.type = 2; theme.rotationRestrictions.variation = 18"));
    QVERIFY2(!result.isError(), qPrintable(result.toString()));
    QCOMPARE(document.undoStack()->count(), 4);
    QCOMPARE(look.background()->type(), BackgroundProperties::Gradient);
    document.undoStack()->undo();
    document.undoStack()->undo();
    QCOMPARE(look.background()->type(), BackgroundProperties::Color);
    QCOMPARE(look.shadows()->color(), QColor(0xc4, 0x95, 0x6a));
}

void TestAppearanceProperties::scriptReadsEveryProperty()
{
    Look look(nullptr);
    look.shadows()->setEnabled(true);
    look.shadows()->setBlurRadius(6);
    look.shadows()->setAngle(180);
    look.shadows()->setDistance(2);
    look.shadows()->setColor(QColor(0x20, 0x30, 0x40));
    look.frames()->setSize(0.05);
    look.frames()->setColor(QColor(0xfe, 0xfe, 0xfe));
    look.background()->setType(BackgroundProperties::Gradient);
    look.background()->setGradientAngle(30);
    look.background()->setGradientStartColor(Qt::red);
    look.rotationRestrictions()->setZero(12);
    look.rotationRestrictions()->setVariation(7);

    QJSEngine engine;
    exposeToScript(&engine, &look);
    const QJSValue result = engine.evaluate(QStringLiteral(
        "[theme.shadows.enabled, theme.shadows.blurRadius, theme.shadows.angle,"
        " theme.shadows.distance, theme.shadows.color, theme.shadows.group,"
        " Math.round(theme.shadows.offset.x), Math.round(theme.shadows.offset.y),"
        " theme.frames.enabled, theme.frames.size, theme.frames.color,"
        " theme.background.type, theme.background.color, theme.background.gradientAngle,"
        " theme.background.gradientStartColor, theme.background.gradientEndColor,"
        " theme.rotationRestrictions.zero, theme.rotationRestrictions.variation].join('|')"));
    QVERIFY2(!result.isError(), qPrintable(result.toString()));
    QCOMPARE(result.toString(),
        QStringLiteral("true|6|180|2|#203040|false|-2|0|true|0.05|#fefefe|2|#ffffff|30|"
                       "#ff0000|#000000|12|7"));
}

QTEST_MAIN(TestAppearanceProperties)
#include "tst_appearanceproperties.moc"
