#include <QGraphicsOpacityEffect>
#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QTest>

#include <algorithm>

#include "ui/expandedwidget.h"

namespace {

// A content widget whose size hint the test chooses.
class HintWidget : public QWidget
{
public:
    explicit HintWidget(QSize hint)
        : m_hint(hint)
    {
    }

    QSize sizeHint() const override { return m_hint; }

private:
    QSize m_hint;
};

const QSize contentHint(120, 80);

// The opacity the content is drawn with: that of its effect, or fully
// opaque without one (folded content is hidden instead).
qreal effectOpacity(const QWidget *content)
{
    if (const auto *effect = qobject_cast<QGraphicsOpacityEffect *>(content->graphicsEffect()))
        return effect->opacity();
    return content->isVisibleTo(content->parentWidget()) ? 1.0 : 0.0;
}

} // namespace

class TestExpandedWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void phaseLayout_data();
    void phaseLayout();
    void opacityEffectOnlyWhileFading();
    void visibleWidgetAnimates();
};

void TestExpandedWidget::phaseLayout_data()
{
    QTest::addColumn<QMargins>("margins");
    QTest::addColumn<float>("phase");
    QTest::addColumn<QSize>("hint");
    QTest::addColumn<QRect>("geometry"); // of the content in a 200 x 100 widget
    QTest::addColumn<double>("opacity");

    // The content keeps its full height and slides down; it fades in over
    // the second half only.
    const QMargins margins(3, 5, 7, 9);
    QTest::newRow("shut") << QMargins() << 0.0f << QSize(120, 0) << QRect(0, -80, 200, 80) << 0.0;
    QTest::newRow("margins quarter truncates")
        << margins << 0.25f << QSize(130, 23) << QRect(3, -55, 190, 80) << 0.0;
    QTest::newRow("margins open") << margins << 1.0f << QSize(130, 94) << QRect(3, 5, 190, 80)
                                  << 1.0;
}

void TestExpandedWidget::phaseLayout()
{
    QFETCH(QMargins, margins);
    QFETCH(float, phase);
    QFETCH(QSize, hint);
    QFETCH(QRect, geometry);
    QFETCH(double, opacity);

    auto *content = new HintWidget(contentHint);
    ExpandedWidget widget(content);
    QVERIFY(!widget.expanded());
    widget.setContentsMargins(margins);
    widget.enableOpacityAnimatioin(true);
    widget.resize(200, 100);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    widget.setExpandPhase(phase);

    QCOMPARE(widget.sizeHint(), hint);
    // Shut or open, the width stays available to the layout.
    QCOMPARE(widget.minimumSizeHint().width(), margins.left() + margins.right());
    QCOMPARE(content->geometry(), geometry);
    QCOMPARE(content->isVisible(), phase > 0);
    QVERIFY(qAbs(widget.contentOpacity() - opacity) < 1e-6);
    QVERIFY(qAbs(effectOpacity(content) - opacity) < 1e-6);

    // A resize places the content again.
    widget.resize(300, 100);
    QCOMPARE(content->geometry(), geometry.adjusted(0, 0, 100, 0));
}

void TestExpandedWidget::opacityEffectOnlyWhileFading()
{
    auto *content = new HintWidget(contentHint);
    ExpandedWidget widget(content);
    widget.setProperty("opacityAnimationEnabled", true);
    // Shut: hidden, no effect needed.
    QVERIFY(!content->graphicsEffect());
    widget.setExpandPhase(0.3f);
    QVERIFY(content->graphicsEffect());
    // Opaque: the effect goes, so that nested folds never nest effects.
    widget.setExpandPhase(1.0f);
    QVERIFY(!content->graphicsEffect());
    widget.setExpandPhase(0.6f);
    QVERIFY(content->graphicsEffect());

    widget.setProperty("opacityAnimationEnabled", false);
    QVERIFY(!content->graphicsEffect());
    QCOMPARE(widget.contentOpacity(), 1.0);
    widget.setExpandPhase(0.7f);
    QVERIFY(!content->graphicsEffect());
}

// A shown widget animates the phase one way, fading the content in over
// the second half; turned round half way, it goes back from where it is.
void TestExpandedWidget::visibleWidgetAnimates()
{
    ExpandedWidget widget(new HintWidget(contentHint));
    widget.enableOpacityAnimatioin(true);
    widget.resize(200, 100);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    QList<float> phases;
    bool opacityMatches = true;
    connect(&widget, &ExpandedWidget::expandPhaseChanged, this, [&](float phase) {
        phases << phase;
        const qreal expected = qMax(2.0 * (phase - 0.5), 0.0);
        opacityMatches &= qAbs(effectOpacity(widget.content()) - expected) < 1e-6;
    });
    auto monotonic = [&phases](bool rising) {
        for (int i = 1; i < phases.size(); ++i) {
            if (rising ? phases[i] <= phases[i - 1] : phases[i] >= phases[i - 1])
                return false;
        }
        return true;
    };
    QSignalSpy finished(widget.animation(), &QAbstractAnimation::finished);

    widget.setExpanded(true);
    QCOMPARE(widget.animation()->state(), QAbstractAnimation::Running);
    QCOMPARE(widget.animation()->duration(), 250);
    // Nothing jumps: the phase is still where it was.
    QCOMPARE(widget.expandPhase(), 0.0f);
    QVERIFY(finished.wait(5000));
    QCOMPARE(phases.last(), 1.0f);
    QVERIFY(monotonic(true));
    QVERIFY(opacityMatches);
    QCOMPARE(widget.sizeHint().height(), 80);

    phases.clear();
    widget.setExpanded(false);
    QTRY_VERIFY(widget.expandPhase() < 0.7f);
    widget.setExpanded(true);
    const float turningPoint = widget.expandPhase();
    QCOMPARE(widget.animation()->startValue().toFloat(), turningPoint);
    QVERIFY(finished.wait(5000));
    QCOMPARE(widget.expandPhase(), 1.0f);
    const int lowest = int(std::min_element(phases.cbegin(), phases.cend()) - phases.cbegin());
    QCOMPARE(phases.at(lowest), turningPoint);
    QVERIFY(opacityMatches);
}

QTEST_MAIN(TestExpandedWidget)
#include "tst_expandedwidget.moc"
