#include <QtTest>

#include <QCheckBox>
#include <QLineEdit>
#include <QSlider>
#include <QSpinBox>

#include <cmath>

#include "model/backgroundproperties.h"
#include "model/binding.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/lineralfunction.h"
#include "model/shadowproperties.h"
#include "undo/undostack.h"

class TestBinding : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
        QCOMPARE(edit.text(), QStringLiteral("#ffffff"));
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
};

QTEST_MAIN(TestBinding)
#include "tst_binding.moc"
