#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPropertyAnimation>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

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

    void setHint(QSize hint)
    {
        m_hint = hint;
        updateGeometry();
    }

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
    void startsShut();
    void sizeHintFollowsPhase_data();
    void sizeHintFollowsPhase();
    void contentSlidesDown_data();
    void contentSlidesDown();
    void opacityFadesInSecondHalf_data();
    void opacityFadesInSecondHalf();
    void opacityEffectOnlyWhileFading();
    void hiddenWidgetJumps_data();
    void hiddenWidgetJumps();
    void visibleWidgetAnimates_data();
    void visibleWidgetAnimates();
    void reversingStartsFromCurrentPhase();
    void foldedContentIsHidden();
    void followsContentHint();
    void heightForWidthContent();
    void growsInsideLayout();
};

void TestExpandedWidget::startsShut()
{
    auto *content = new HintWidget(contentHint);
    ExpandedWidget widget(content);
    QCOMPARE(content->parentWidget(), &widget);
    QCOMPARE(widget.content(), content);
    QVERIFY(!widget.expanded());
    QCOMPARE(widget.expandPhase(), 0.0f);
    QCOMPARE(widget.sizeHint().height(), 0);
    QVERIFY(!widget.opacityAnimationEnabled());
    QCOMPARE(widget.animation()->propertyName(), QByteArray("expandPhase"));
    QVERIFY(!content->isVisibleTo(&widget));
    QCOMPARE(widget.animation()->targetObject(), &widget);
}

void TestExpandedWidget::sizeHintFollowsPhase_data()
{
    QTest::addColumn<QMargins>("margins");
    QTest::addColumn<float>("phase");
    QTest::addColumn<QSize>("expected");

    QTest::newRow("shut") << QMargins() << 0.0f << QSize(120, 0);
    QTest::newRow("open") << QMargins() << 1.0f << QSize(120, 80);
    QTest::newRow("half") << QMargins() << 0.5f << QSize(120, 40);
    QTest::newRow("third truncates") << QMargins() << 0.33f << QSize(120, 26);
    QTest::newRow("margins open") << QMargins(3, 5, 7, 9) << 1.0f << QSize(130, 94);
    QTest::newRow("margins shut") << QMargins(3, 5, 7, 9) << 0.0f << QSize(130, 0);
    QTest::newRow("margins quarter") << QMargins(3, 5, 7, 9) << 0.25f << QSize(130, 23);
}

void TestExpandedWidget::sizeHintFollowsPhase()
{
    QFETCH(QMargins, margins);
    QFETCH(float, phase);
    QFETCH(QSize, expected);

    ExpandedWidget widget(new HintWidget(contentHint));
    widget.setContentsMargins(margins);
    widget.setExpandPhase(phase);
    QCOMPARE(widget.sizeHint(), expected);
    // Shut or open, the width stays available to the layout.
    QCOMPARE(widget.minimumSizeHint().width(), expected.width() - 120);
}

void TestExpandedWidget::contentSlidesDown_data()
{
    QTest::addColumn<QMargins>("margins");
    QTest::addColumn<float>("phase");
    QTest::addColumn<QRect>("expected");

    // The widget is 200 x 100; the content keeps its full height of 80.
    QTest::newRow("open") << QMargins() << 1.0f << QRect(0, 0, 200, 80);
    QTest::newRow("shut") << QMargins() << 0.0f << QRect(0, -80, 200, 80);
    QTest::newRow("quarter") << QMargins() << 0.25f << QRect(0, -60, 200, 80);
    QTest::newRow("margins open") << QMargins(3, 5, 7, 9) << 1.0f << QRect(3, 5, 190, 80);
    QTest::newRow("margins half") << QMargins(3, 5, 7, 9) << 0.5f << QRect(3, -35, 190, 80);
}

void TestExpandedWidget::contentSlidesDown()
{
    QFETCH(QMargins, margins);
    QFETCH(float, phase);
    QFETCH(QRect, expected);

    auto *content = new HintWidget(contentHint);
    ExpandedWidget widget(content);
    widget.setContentsMargins(margins);
    widget.resize(200, 100);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    widget.setExpandPhase(phase);
    QCOMPARE(content->geometry(), expected);

    // A resize places the content again.
    widget.resize(300, 100);
    QCOMPARE(content->width(), expected.width() + 100);
    QCOMPARE(content->y(), expected.y());
}

void TestExpandedWidget::opacityFadesInSecondHalf_data()
{
    QTest::addColumn<float>("phase");
    QTest::addColumn<double>("opacity");

    QTest::newRow("shut") << 0.0f << 0.0;
    QTest::newRow("quarter") << 0.25f << 0.0;
    QTest::newRow("half") << 0.5f << 0.0;
    QTest::newRow("three quarters") << 0.75f << 0.5;
    QTest::newRow("nine tenths") << 0.9f << 0.8;
    QTest::newRow("open") << 1.0f << 1.0;
}

void TestExpandedWidget::opacityFadesInSecondHalf()
{
    QFETCH(float, phase);
    QFETCH(double, opacity);

    auto *content = new HintWidget(contentHint);
    ExpandedWidget widget(content);
    QCOMPARE(widget.contentOpacity(), 1.0);
    widget.enableOpacityAnimatioin(true);
    QVERIFY(widget.opacityAnimationEnabled());
    QCOMPARE(widget.contentOpacity(), 0.0);

    widget.setExpandPhase(phase);
    QVERIFY(qAbs(widget.contentOpacity() - opacity) < 1e-6);
    QVERIFY(qAbs(effectOpacity(content) - opacity) < 1e-6);
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
    widget.setExpandPhase(0.8f);
    QVERIFY(content->graphicsEffect());
    // Opaque: the effect goes, so that nested folds never nest effects.
    widget.setExpandPhase(1.0f);
    QVERIFY(!content->graphicsEffect());
    widget.setExpandPhase(0.6f);
    QVERIFY(content->graphicsEffect());

    widget.setProperty("opacityAnimationEnabled", false);
    QVERIFY(!content->graphicsEffect());
    QVERIFY(!widget.opacityAnimationEnabled());
    QCOMPARE(widget.contentOpacity(), 1.0);
    widget.setExpandPhase(0.7f);
    QVERIFY(!content->graphicsEffect());
}

void TestExpandedWidget::hiddenWidgetJumps_data()
{
    QTest::addColumn<QList<bool>>("calls");
    QTest::addColumn<QList<bool>>("expectedSignals");
    QTest::addColumn<float>("phase");

    QTest::newRow("open") << QList<bool> { true } << QList<bool> { true } << 1.0f;
    QTest::newRow("shut again") << QList<bool> { true, false } << QList<bool> { true, false }
                                << 0.0f;
    QTest::newRow("repeat is ignored")
        << QList<bool> { true, true, true } << QList<bool> { true } << 1.0f;
    QTest::newRow("already shut") << QList<bool> { false } << QList<bool> {} << 0.0f;
}

void TestExpandedWidget::hiddenWidgetJumps()
{
    QFETCH(QList<bool>, calls);
    QFETCH(QList<bool>, expectedSignals);
    QFETCH(float, phase);

    ExpandedWidget widget(new HintWidget(contentHint));
    QSignalSpy expandSpy(&widget, &ExpandedWidget::expandChanged);
    for (bool call : calls) {
        widget.setExpanded(call);
        QCOMPARE(widget.animation()->state(), QAbstractAnimation::Stopped);
    }
    QList<bool> seen;
    for (const QList<QVariant> &arguments : expandSpy)
        seen << arguments.at(0).toBool();
    QCOMPARE(seen, expectedSignals);
    QCOMPARE(widget.expandPhase(), phase);
    QCOMPARE(widget.expanded(), calls.last());
}

void TestExpandedWidget::visibleWidgetAnimates_data()
{
    QTest::addColumn<bool>("opening");
    QTest::newRow("opening") << true;
    QTest::newRow("shutting") << false;
}

void TestExpandedWidget::visibleWidgetAnimates()
{
    QFETCH(bool, opening);

    ExpandedWidget widget(new HintWidget(contentHint));
    widget.enableOpacityAnimatioin(true);
    if (!opening)
        widget.setExpanded(true); // while hidden: at once
    widget.resize(200, 100);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    QList<float> phases;
    QList<bool> opacityMatches;
    connect(&widget, &ExpandedWidget::expandPhaseChanged, this, [&](float phase) {
        phases << phase;
        const qreal expected = qMax(2.0 * (phase - 0.5), 0.0);
        opacityMatches << (qAbs(effectOpacity(widget.content()) - expected) < 1e-6);
    });
    QSignalSpy finished(widget.animation(), &QAbstractAnimation::finished);

    widget.setExpanded(opening);
    QCOMPARE(widget.expanded(), opening);
    QCOMPARE(widget.animation()->state(), QAbstractAnimation::Running);
    QCOMPARE(widget.animation()->duration(), 250);
    QCOMPARE(widget.animation()->easingCurve().type(), QEasingCurve::Linear);
    // Nothing jumps: the phase is still where it was.
    QCOMPARE(widget.expandPhase(), opening ? 0.0f : 1.0f);

    QVERIFY(finished.wait(5000));
    QCOMPARE(widget.expandPhase(), opening ? 1.0f : 0.0f);
    QVERIFY(!phases.isEmpty());
    QCOMPARE(phases.last(), opening ? 1.0f : 0.0f);
    for (int i = 1; i < phases.size(); ++i)
        QVERIFY2(opening ? phases[i] > phases[i - 1] : phases[i] < phases[i - 1],
            "the phase moves one way only");
    QVERIFY(!opacityMatches.contains(false));
    QCOMPARE(widget.sizeHint().height(), opening ? 80 : 0);
}

void TestExpandedWidget::reversingStartsFromCurrentPhase()
{
    ExpandedWidget widget(new HintWidget(contentHint));
    widget.resize(200, 100);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));

    widget.setExpanded(true);
    QTRY_VERIFY(widget.expandPhase() > 0.2f);
    widget.setExpanded(false);
    const float turningPoint = widget.expandPhase();
    QVERIFY(turningPoint < 1.0f);
    QCOMPARE(widget.animation()->startValue().toFloat(), turningPoint);
    QCOMPARE(widget.animation()->endValue().toFloat(), 0.0f);

    float highest = turningPoint;
    connect(&widget, &ExpandedWidget::expandPhaseChanged, this,
        [&](float phase) { highest = qMax(highest, phase); });
    QTRY_COMPARE(widget.expandPhase(), 0.0f);
    QCOMPARE(highest, turningPoint);
    QTRY_COMPARE(widget.animation()->state(), QAbstractAnimation::Stopped);
}

void TestExpandedWidget::foldedContentIsHidden()
{
    auto *content = new HintWidget(contentHint);
    ExpandedWidget widget(content);
    widget.resize(200, 100);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QVERIFY(!content->isVisible());
    widget.setExpandPhase(0.1f);
    QVERIFY(content->isVisible());
    widget.setExpandPhase(0.0f);
    QVERIFY(!content->isVisible());
}

void TestExpandedWidget::followsContentHint()
{
    auto *content = new HintWidget(contentHint);
    ExpandedWidget widget(content);
    widget.setExpanded(true);
    widget.resize(200, 200);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QCOMPARE(content->height(), 80);

    content->setHint(QSize(150, 120));
    QCOMPARE(widget.sizeHint(), QSize(150, 120));
    // The content's layout request reaches the widget, which places it anew.
    QTRY_COMPARE(content->height(), 120);
}

void TestExpandedWidget::heightForWidthContent()
{
    auto *label = new QLabel(QStringLiteral("A long text that wraps over several lines when the "
                                            "widget is narrow and takes fewer when it is wide."));
    label->setWordWrap(true);
    QVERIFY(label->hasHeightForWidth());
    ExpandedWidget widget(label);
    widget.setExpandPhase(1.0f);
    widget.resize(120, 300);
    widget.show();
    QVERIFY(QTest::qWaitForWindowExposed(&widget));
    QCOMPARE(label->height(), label->heightForWidth(120));
    const int narrow = label->height();
    widget.resize(600, 300);
    QCOMPARE(label->height(), label->heightForWidth(600));
    QVERIFY(label->height() < narrow);
}

void TestExpandedWidget::growsInsideLayout()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    // A window that follows its minimum size only makes the offscreen
    // platform complain.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    auto *widget = new ExpandedWidget(new HintWidget(contentHint));
    layout->addWidget(widget);
    layout->addStretch();
    window.resize(200, 300);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(widget->height(), 0);

    widget->setExpanded(true);
    QTRY_COMPARE(widget->height(), 80);
    widget->setExpanded(false);
    QTRY_COMPARE(widget->height(), 0);
}

QTEST_MAIN(TestExpandedWidget)
#include "tst_expandedwidget.moc"
