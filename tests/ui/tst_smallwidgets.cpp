#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QLayout>
#include <QPointer>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QToolButton>

#include <algorithm>

#include "ui/bordershadowwidget.h"
#include "ui/buttongroup.h"
#include "ui/pagelistitem.h"
#include "ui/pageslist.h"
#include "ui/uitestdata.h"

namespace {

// A content widget whose size hint the test chooses.
class HintWidget : public QWidget
{
public:
    QSize sizeHint() const override { return { 120, 80 }; }
};

// The opacity the content is drawn with: that of its effect, or fully
// opaque without one (folded content is hidden instead).
qreal effectOpacity(const QWidget *content)
{
    if (const auto *effect = qobject_cast<QGraphicsOpacityEffect *>(content->graphicsEffect()))
        return effect->opacity();
    return content->isVisibleTo(content->parentWidget()) ? 1.0 : 0.0;
}

QList<QWidget *> makePages(int count)
{
    QList<QWidget *> pages;
    for (int i = 0; i < count; ++i) {
        auto *page = new QLabel(QStringLiteral("Settings"));
        page->setMinimumSize(160, 60);
        pages << page;
    }
    return pages;
}

// Index of the open item, -1 for none, -2 when several are open or a
// header disagrees with its item.
int openItem(const PagesList &list)
{
    const QList<PageListItem *> items = list.items();
    int open = -1;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->headerButton()->isChecked() != items[i]->expanded())
            return -2;
        if (items[i]->expanded())
            open = open == -1 ? i : -2;
    }
    return open;
}

} // namespace

class TestSmallWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void borderShadow()
    {
        QWidget window;
        window.setStyleSheet(QStringLiteral("background: white"));
        auto *target = new QWidget(&window);
        target->setGeometry(0, 0, 120, 120);
        auto *sibling = new QWidget(&window);
        QPointer<BorderShadowWidget> shadow = new BorderShadowWidget(target);
        window.resize(300, 200);
        window.show();
        QVERIFY(QTest::qWaitForWindowExposed(&window));

        // Dark at the border, untouched in the middle; stacked above everything
        // created before it, yet clicks go through.
        const QImage image = window.grab().toImage();
        QVERIFY2(
            image.pixelColor(1, 60).lightness() < 200, qPrintable(image.pixelColor(1, 60).name()));
        QCOMPARE(image.pixelColor(60, 60), QColor(Qt::white));
        QVERIFY(window.children().indexOf(shadow.data()) > window.children().indexOf(sibling));
        QCOMPARE(window.childAt(50, 50), target);

        target->setGeometry(40, 30, 120, 160);
        QCOMPARE(shadow->geometry(), QRect(40, 30, 120, 160));
        target->hide();
        QVERIFY(!shadow->isVisible());
        target->show();
        QVERIFY(shadow->isVisible());
        delete target;
        QTRY_VERIFY(shadow.isNull());
    }

    void buttonGroupCurrentId_data()
    {
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QList<int>>("emitted");
        QTest::addColumn<int>("checked");

        // The first id always takes effect, even the id of "nothing yet".
        QTest::newRow("first is -1") << QList<int> { -1 } << QList<int> { -1 } << -1;
        QTest::newRow("repeat ignored") << QList<int> { 2, 2 } << QList<int> { 2 } << 2;
        QTest::newRow("unknown id keeps button") << QList<int> { 1, 7 } << QList<int> { 1, 7 } << 1;
    }

    // Clicks on the buttons are covered on the background page of the panels.
    void buttonGroupCurrentId()
    {
        QFETCH(QList<int>, ids);
        QFETCH(QList<int>, emitted);
        QFETCH(int, checked);

        QWidget window;
        ButtonGroup group;
        for (int i = 0; i < 3; ++i)
            group.addButton(new QRadioButton(&window), i);
        QSignalSpy spy(&group, &ButtonGroup::currentIdChanged);
        for (int id : ids)
            group.setProperty("currentId", id);
        QList<int> seen;
        for (const QList<QVariant> &arguments : spy)
            seen << arguments.at(0).toInt();
        QCOMPARE(seen, emitted);
        QCOMPARE(group.currentId(), ids.last());
        QCOMPARE(group.checkedId(), checked);
    }

    void colorButtonClick_data()
    {
        QTest::addColumn<QColor>("current");
        QTest::addColumn<QColor>("answer");
        QTest::addColumn<QColor>("expected");
        QTest::addColumn<int>("signalCount");

        const QColor white(Qt::white);
        QTest::newRow("cancelled") << white << QColor() << white << 0;
        QTest::newRow("same colour") << white << white << white << 0;
        QTest::newRow("from nothing") << QColor() << QColor(Qt::blue) << QColor(Qt::blue) << 1;
    }

    void colorButtonClick()
    {
        QFETCH(QColor, current);
        QFETCH(QColor, answer);
        QFETCH(QColor, expected);
        QFETCH(int, signalCount);

        FakeColorPicker picker(answer);
        QWidget window;
        auto *button = new ColorButton(&window);
        button->setColor(current);
        QSignalSpy spy(button, &ColorButton::colorChanged);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(picker.calls, 1);
        QCOMPARE(picker.lastInitial, current);
        QCOMPARE(picker.lastParent, &window);
        QCOMPARE(button->color(), expected);
        QCOMPARE(spy.count(), signalCount);
    }

    void colorButtonPaintsSwatch()
    {
        const QColor color(200, 30, 40);
        ColorButton button;
        button.resize(50, 26);
        // Nothing but the panel is drawn for an invalid colour.
        QVERIFY(!button.grab().isNull());
        button.setColor(color);
        const QImage image = button.grab().toImage();
        QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), color);
        // The outermost column still belongs to the button's panel.
        QVERIFY(image.pixelColor(0, image.height() / 2) != color);
    }

    void foldPhaseLayout_data()
    {
        QTest::addColumn<bool>("fading");
        QTest::addColumn<QMargins>("margins");
        QTest::addColumn<float>("phase");
        QTest::addColumn<QSize>("hint");
        QTest::addColumn<QRect>("geometry"); // of the content in a 200 x 100 widget
        QTest::addColumn<double>("opacity");
        QTest::addColumn<bool>("effect");

        // The content keeps its full height and slides down; it fades in over
        // the second half only. An opaque or hidden content has no effect, so
        // that nested folds never nest effects.
        const QMargins margins(3, 5, 7, 9);
        QTest::newRow("shut") << true << QMargins() << 0.0f << QSize(120, 0)
                              << QRect(0, -80, 200, 80) << 0.0 << false;
        QTest::newRow("margins quarter truncates")
            << true << margins << 0.25f << QSize(130, 23) << QRect(3, -55, 190, 80) << 0.0 << true;
        QTest::newRow("margins open")
            << true << margins << 1.0f << QSize(130, 94) << QRect(3, 5, 190, 80) << 1.0 << false;
        QTest::newRow("not fading") << false << QMargins() << 0.7f << QSize(120, 56)
                                    << QRect(0, -24, 200, 80) << 1.0 << false;
    }

    void foldPhaseLayout()
    {
        QFETCH(bool, fading);
        QFETCH(QMargins, margins);
        QFETCH(float, phase);
        QFETCH(QSize, hint);
        QFETCH(QRect, geometry);
        QFETCH(double, opacity);
        QFETCH(bool, effect);

        auto *content = new HintWidget;
        ExpandedWidget widget(content);
        widget.setContentsMargins(margins);
        widget.enableOpacityAnimatioin(true);
        widget.resize(200, 100);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        widget.setExpandPhase(0.6f);
        widget.setProperty("opacityAnimationEnabled", fading);
        widget.setExpandPhase(phase);

        QCOMPARE(widget.sizeHint(), hint);
        // Shut or open, the width stays available to the layout.
        QCOMPARE(widget.minimumSizeHint().width(), margins.left() + margins.right());
        QCOMPARE(content->geometry(), geometry);
        QCOMPARE(content->isVisible(), phase > 0);
        QVERIFY(qAbs(widget.contentOpacity() - opacity) < 1e-6);
        QVERIFY(qAbs(effectOpacity(content) - opacity) < 1e-6);
        QCOMPARE(content->graphicsEffect() != nullptr, effect);
        widget.resize(300, 100);
        QCOMPARE(content->geometry(), geometry.adjusted(0, 0, 100, 0));
    }

    // A shown fold animates the phase one way, fading the content in over the
    // second half; turned round half way, it goes back from where it is.
    void visibleFoldAnimates()
    {
        ExpandedWidget widget(new HintWidget);
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
        QSignalSpy finished(widget.animation(), &QAbstractAnimation::finished);

        widget.setExpanded(true);
        QCOMPARE(widget.animation()->state(), QAbstractAnimation::Running);
        QCOMPARE(widget.expandPhase(), 0.0f); // nothing jumps
        QVERIFY(finished.wait(5000));
        QCOMPARE(phases.last(), 1.0f);
        QVERIFY(std::is_sorted(phases.cbegin(), phases.cend()));
        QVERIFY(std::adjacent_find(phases.cbegin(), phases.cend()) == phases.cend());
        QVERIFY(opacityMatches);

        phases.clear();
        widget.setExpanded(false);
        QTRY_VERIFY(widget.expandPhase() < 0.7f);
        widget.setExpanded(true);
        const float turningPoint = widget.expandPhase();
        QCOMPARE(widget.animation()->startValue().toFloat(), turningPoint);
        QVERIFY(finished.wait(5000));
        QCOMPARE(widget.expandPhase(), 1.0f);
        QCOMPARE(*std::min_element(phases.cbegin(), phases.cend()), turningPoint);
        QVERIFY(opacityMatches);
    }

    void accordion_data()
    {
        QTest::addColumn<QList<int>>("clicks");
        QTest::addColumn<int>("open");

        QTest::newRow("opening another folds the first") << QList<int> { 0, 2 } << 2;
        QTest::newRow("close after switching") << QList<int> { 0, 1, 1 } << -1;
    }

    void accordion()
    {
        QFETCH(QList<int>, clicks);
        QFETCH(int, open);

        PagesList list;
        list.setPages(makePages(3));
        const QList<PageListItem *> items = list.items();
        QCOMPARE(items.size(), 3);
        for (int index : clicks) {
            QTest::mouseClick(items[index]->headerButton(), Qt::LeftButton);
            QVERIFY(openItem(list) >= -1);
        }
        QCOMPARE(openItem(list), open);
        QCOMPARE(list.currentItem(), open < 0 ? nullptr : items[open]);
        // The item follows its wrapper, too.
        items[1]->wrapper()->setExpanded(true);
        QCOMPARE(openItem(list), 1);
    }

    void destroyedPageTakesItsItem()
    {
        PagesList list;
        const QList<QWidget *> pages = makePages(3);
        list.setPages(pages);
        QPointer<PageListItem> item = list.items().at(1);
        item->setExpanded(true);
        delete pages[1];
        QTRY_VERIFY(item.isNull());
        QVERIFY(!list.currentItem());
        QCOMPARE(list.items().size(), 2);

        // Destroying an item that is not the open one keeps the open one.
        PageListItem *kept = list.items().at(0);
        kept->setExpanded(true);
        delete list.items().at(1);
        QCOMPARE(list.currentItem(), kept);
    }

    void clearDeletesPages()
    {
        PagesList list;
        const QList<QWidget *> pages = makePages(3);
        QList<QPointer<QWidget>> guards(pages.cbegin(), pages.cend());
        list.setPages(pages);
        list.items().at(2)->setExpanded(true);
        list.clear();
        QCOMPARE(list.layout()->count(), 0);
        QVERIFY(!list.currentItem());
        QVERIFY(
            std::all_of(guards.cbegin(), guards.cend(), [](const auto &g) { return g.isNull(); }));

        // The list is filled again on every theme change.
        list.setPages(makePages(2));
        QTest::mouseClick(list.items().at(1)->headerButton(), Qt::LeftButton);
        QCOMPARE(openItem(list), 1);
    }
};

QTEST_MAIN(TestSmallWidgets)
#include "tst_smallwidgets.moc"
