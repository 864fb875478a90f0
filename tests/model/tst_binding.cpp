#include <QtTest>

#include <QCheckBox>
#include <QDial>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

#include <cmath>

#include "model/backgroundproperties.h"
#include "model/binding.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/lineralfunction.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "undo/undostack.h"

namespace {

// The wrapping as the plain loops describe it, to check the fast version.
qreal wrapByLoops(qreal value, qreal min, qreal max)
{
    while (value < min)
        value += max - min;
    while (value > max)
        value -= max - min;
    return value;
}

} // namespace

class TestBinding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void lineralFunction_data();
    void lineralFunction();
    void firstValueIsAlwaysAnnounced();
    void wrapMatchesLoops_data();
    void wrapMatchesLoops();
    void wrapSurvivesOddInput();
    void copiesDocumentToViewOnConstruction();
    void viewChangeBecomesUndoStep();
    void undoMovesTheWidget();
    void chainThroughFunction();
    void dialDrivesAngleAcrossTheSeam();
    void conversionBetweenTypes();
    void enumerationAndNumber();
    void deadEndsDoNothing();
};

void TestBinding::lineralFunction_data()
{
    QTest::addColumn<qreal>("k");
    QTest::addColumn<qreal>("b");
    QTest::addColumn<bool>("ranged");
    QTest::addColumn<qreal>("inMin");
    QTest::addColumn<qreal>("inMax");
    QTest::addColumn<qreal>("outMin");
    QTest::addColumn<qreal>("outMax");
    QTest::addColumn<bool>("setOutput");
    QTest::addColumn<qreal>("value");
    QTest::addColumn<qreal>("expectedInput");
    QTest::addColumn<qreal>("expectedOutput");

    QTest::newRow("input wraps into range")
        << 1.0 << 0.0 << true << 0.0 << 360.0 << 0.0 << 360.0 << false << -30.0 << 330.0 << 330.0;
    QTest::newRow("percent forward")
        << 100.0 << 0.0 << true << 0.0 << 1.0 << 0.0 << 100.0 << false << 0.08 << 0.08 << 8.0;
    QTest::newRow("percent backward")
        << 100.0 << 0.0 << true << 0.0 << 1.0 << 0.0 << 100.0 << true << 25.0 << 0.25 << 25.0;
    QTest::newRow("offset backward")
        << 2.0 << 10.0 << false << 0.0 << 0.0 << 0.0 << 0.0 << true << 30.0 << 10.0 << 30.0;
    QTest::newRow("unbounded forward")
        << 2.0 << 1.0 << false << 0.0 << 0.0 << 0.0 << 0.0 << false << 1000.0 << 1000.0 << 2001.0;
    // A wrapped output does not move the input back.
    QTest::newRow("output wraps, input stays")
        << 1.0 << 30.0 << true << 0.0 << 360.0 << 0.0 << 360.0 << false << 350.0 << 350.0 << 20.0;
    QTest::newRow("output wraps backward")
        << 1.0 << 30.0 << true << 0.0 << 360.0 << 0.0 << 360.0 << true << -10.0 << 320.0 << 350.0;
    QTest::newRow("upper end stays")
        << 1.0 << 0.0 << true << 0.0 << 360.0 << 0.0 << 360.0 << false << 720.0 << 360.0 << 360.0;
}

void TestBinding::lineralFunction()
{
    QFETCH(qreal, k);
    QFETCH(qreal, b);
    QFETCH(bool, ranged);
    QFETCH(qreal, inMin);
    QFETCH(qreal, inMax);
    QFETCH(qreal, outMin);
    QFETCH(qreal, outMax);
    QFETCH(bool, setOutput);
    QFETCH(qreal, value);
    QFETCH(qreal, expectedInput);
    QFETCH(qreal, expectedOutput);

    QScopedPointer<LineralFunction> function(ranged
            ? new LineralFunction(k, b, inMin, inMax, outMin, outMax)
            : new LineralFunction(k, b));
    QSignalSpy inputSpy(function.data(), &LineralFunction::inputChanged);
    QSignalSpy outputSpy(function.data(), &LineralFunction::outputChanged);
    if (setOutput)
        function->setOutput(value);
    else
        function->setInput(value);

    QVERIFY2(qFuzzyCompare(function->input(), expectedInput),
        qPrintable(QString::number(function->input())));
    QVERIFY2(qFuzzyCompare(function->output(), expectedOutput),
        qPrintable(QString::number(function->output())));
    QCOMPARE(inputSpy.count(), 1);
    QCOMPARE(outputSpy.count(), 1);
    QVERIFY(qFuzzyCompare(inputSpy.first().first().toDouble(), expectedInput));
    QVERIFY(qFuzzyCompare(outputSpy.first().first().toDouble(), expectedOutput));
}

void TestBinding::firstValueIsAlwaysAnnounced()
{
    LineralFunction function(1, 0);
    QSignalSpy inputSpy(&function, &LineralFunction::inputChanged);
    QSignalSpy outputSpy(&function, &LineralFunction::outputChanged);
    function.setInput(0);
    QCOMPARE(inputSpy.count(), 1);
    QCOMPARE(outputSpy.count(), 1);
    function.setInput(0);
    function.setOutput(0);
    QCOMPARE(inputSpy.count(), 1);
    QCOMPARE(outputSpy.count(), 1);

    LineralFunction other(1, 0);
    QSignalSpy otherOutput(&other, &LineralFunction::outputChanged);
    other.setOutput(0);
    QCOMPARE(otherOutput.count(), 1);
}

void TestBinding::wrapMatchesLoops_data()
{
    QTest::addColumn<qreal>("value");
    QTest::addColumn<qreal>("min");
    QTest::addColumn<qreal>("max");

    QTest::newRow("inside") << 100.0 << 0.0 << 360.0;
    QTest::newRow("lower end") << 0.0 << 0.0 << 360.0;
    QTest::newRow("just below") << -0.5 << 0.0 << 360.0;
    QTest::newRow("one period below") << -360.0 << 0.0 << 360.0;
    QTest::newRow("many periods below") << -1000.0 << 0.0 << 360.0;
    QTest::newRow("just above") << 361.0 << 0.0 << 360.0;
    QTest::newRow("two periods above") << 1080.0 << 0.0 << 360.0;
    QTest::newRow("shifted range") << 7.25 << -1.0 << 1.0;
    QTest::newRow("shifted range below") << -7.75 << -1.0 << 1.0;
}

void TestBinding::wrapMatchesLoops()
{
    QFETCH(qreal, value);
    QFETCH(qreal, min);
    QFETCH(qreal, max);
    QCOMPARE(LineralFunction::wrap(value, min, max), wrapByLoops(value, min, max));
}

void TestBinding::wrapSurvivesOddInput()
{
    // The loops would never end on these.
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

void TestBinding::copiesDocumentToViewOnConstruction()
{
    ShadowProperties shadow;
    shadow.setEnabled(true);
    QCheckBox box;
    QVERIFY(!box.isChecked());
    Binding binding(&shadow, "enabled", &box, "checked");
    QVERIFY(box.isChecked());
    QCOMPARE(binding.documentObject(), &shadow);
    QCOMPARE(binding.viewObject(), &box);
    QCOMPARE(binding.documentProperty().name(), "enabled");
    QCOMPARE(binding.viewProperty().name(), "checked");
}

void TestBinding::viewChangeBecomesUndoStep()
{
    Document document(true);
    ShadowProperties shadow(&document);
    QCheckBox box;
    Binding binding(&shadow, "enabled", &box, "checked");
    QCOMPARE(document.undoStack()->count(), 0);

    box.setChecked(true);
    QVERIFY(shadow.enabled());
    QCOMPARE(document.undoStack()->count(), 1);
    QCOMPARE(document.undoStack()->undoText(), QStringLiteral("Enabling shadows"));
}

void TestBinding::undoMovesTheWidget()
{
    Document document(true);
    ShadowProperties shadow(&document);
    QCheckBox box;
    Binding binding(&shadow, "enabled", &box, "checked");
    box.setChecked(true);
    document.undoStack()->undo();
    QVERIFY(!shadow.enabled());
    QVERIFY(!box.isChecked());
    // Moving the widget back is not a new edit.
    QCOMPARE(document.undoStack()->count(), 1);
    QCOMPARE(document.undoStack()->index(), 0);
    document.undoStack()->redo();
    QVERIFY(box.isChecked());
}

void TestBinding::chainThroughFunction()
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
    QCOMPARE(frames.size(), 0.2);
    QCOMPARE(document.undoStack()->count(), 1);
    slider.setValue(35);
    QCOMPARE(frames.size(), 0.35);
    QCOMPARE(document.undoStack()->count(), 1); // a slider drag is one step
    QCOMPARE(document.undoStack()->undoText(), QStringLiteral("Changing frame size"));

    document.undoStack()->undo();
    QCOMPARE(frames.size(), 0.08);
    QCOMPARE(slider.value(), 8);
    QCOMPARE(document.undoStack()->count(), 1);
}

void TestBinding::dialDrivesAngleAcrossTheSeam()
{
    Document document(true);
    ShadowProperties shadow(&document);
    QDial dial;
    dial.setRange(0, 360);
    dial.setWrapping(true);
    LineralFunction identity(1, 0, 0, 360, 0, 360);
    Binding toFunction(&shadow, "angle", &identity, "input");
    Binding toDial(&identity, "output", &dial, "value");

    shadow.setAngle(-30);
    QCOMPARE(dial.value(), 330);
    dial.setValue(350);
    QCOMPARE(shadow.angle(), 350.0);
}

void TestBinding::conversionBetweenTypes()
{
    FrameProperties frames;
    QLineEdit edit;
    Binding binding(&frames, "color", &edit, "text");
    QCOMPARE(edit.text(), QStringLiteral("#ffffff"));
    edit.setText(QStringLiteral("#ff0000"));
    QCOMPARE(frames.color(), QColor(Qt::red));
    frames.setColor(Qt::blue);
    QCOMPARE(edit.text(), QStringLiteral("#0000ff"));

    RotationRestriction restriction;
    QSlider slider;
    slider.setRange(0, 180);
    Binding toSlider(&restriction, "variation", &slider, "value");
    QCOMPARE(slider.value(), 180);
    slider.setValue(15);
    QCOMPARE(restriction.variation(), 15.0);
}

void TestBinding::enumerationAndNumber()
{
    Document document(true);
    BackgroundProperties background(&document);
    QSpinBox box;
    Binding binding(&background, "type", &box, "value");
    QCOMPARE(box.value(), int(BackgroundProperties::Color));

    box.setValue(int(BackgroundProperties::Picture));
    QCOMPARE(background.type(), BackgroundProperties::Picture);
    box.setValue(int(BackgroundProperties::Gradient));
    QCOMPARE(background.type(), BackgroundProperties::Gradient);
    QCOMPARE(document.undoStack()->count(), 1);
    QCOMPARE(
        document.undoStack()->undoText(), QStringLiteral("Changing background gradient angle"));

    document.undoStack()->undo();
    QCOMPARE(box.value(), int(BackgroundProperties::Color));
}

void TestBinding::deadEndsDoNothing()
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

QTEST_MAIN(TestBinding)
#include "tst_binding.moc"
