#include <QGraphicsOpacityEffect>
#include <QLabel>
#include <QPointer>
#include <QPromise>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include <algorithm>

#include "ui/buttongroup.h"
#include "ui/futureprogressdialog.h"
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

// A fold at a phase: its size hint, where its content lies in a 200 x 100
// widget, and the opacity the content is drawn with.
struct FoldCase
{
    bool fading;
    QMargins margins;
    float phase;
    QSize hint;
    QRect geometry;
    double opacity;
};

} // namespace

Q_DECLARE_METATYPE(FoldCase)

class TestSmallWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
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
        QCOMPARE(picker.lastInitial, current);
        QCOMPARE(button->color(), expected);
        QCOMPARE(spy.count(), signalCount);
    }

    void foldPhaseLayout_data()
    {
        QTest::addColumn<FoldCase>("fold");

        // The content keeps its full height and slides down; it fades in over
        // the second half only.
        const QMargins margins(3, 5, 7, 9);
        QTest::newRow("shut") << FoldCase { true, {}, 0, { 120, 0 }, { 0, -80, 200, 80 }, 0 };
        QTest::newRow("margins quarter truncates")
            << FoldCase { true, margins, 0.25f, { 130, 23 }, { 3, -55, 190, 80 }, 0 };
        QTest::newRow("not fading")
            << FoldCase { false, {}, 0.7f, { 120, 56 }, { 0, -24, 200, 80 }, 1 };
    }

    void foldPhaseLayout()
    {
        QFETCH(FoldCase, fold);

        auto *content = new HintWidget;
        ExpandedWidget widget(content);
        widget.setContentsMargins(fold.margins);
        widget.enableOpacityAnimatioin(true);
        widget.resize(200, 100);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        widget.setExpandPhase(0.6f);
        widget.setProperty("opacityAnimationEnabled", fold.fading);
        widget.setExpandPhase(fold.phase);

        QCOMPARE(widget.sizeHint(), fold.hint);
        QCOMPARE(content->geometry(), fold.geometry);
        QCOMPARE(content->isVisible(), fold.phase > 0);
        QVERIFY(qAbs(effectOpacity(content) - fold.opacity) < 1e-6);
        // An opaque or hidden content has no effect, so that nested folds
        // never nest effects.
        QCOMPARE(content->graphicsEffect() != nullptr, fold.phase > 0 && fold.opacity < 1);
        widget.resize(300, 100);
        QCOMPARE(content->geometry(), fold.geometry.adjusted(0, 0, 100, 0));
    }

    // Opening an item folds the open one; a click on the open one shuts it.
    void accordion()
    {
        PagesList list;
        list.setPages(makePages(3));
        const QList<PageListItem *> items = list.items();
        const auto click = [&](int index) {
            QTest::mouseClick(items[index]->headerButton(), Qt::LeftButton);
            return openItem(list);
        };
        QCOMPARE(click(0), 0);
        QCOMPARE(click(2), 2);
        QCOMPARE(list.currentItem(), items[2]);
        QCOMPARE(click(1), 1);
        QCOMPARE(click(1), -1);
        QVERIFY(!list.currentItem());
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
        QVERIFY(list.items().isEmpty() && !list.currentItem());
        QVERIFY(
            std::all_of(guards.cbegin(), guards.cend(), [](const auto &g) { return g.isNull(); }));

        // The list is filled again on every theme change.
        list.setPages(makePages(2));
        QTest::mouseClick(list.items().at(1)->headerButton(), Qt::LeftButton);
        QCOMPARE(openItem(list), 1);
    }

    // The progress dialog shows the job's progress range and value; setFuture returns
    // only after the job ended, and the end accepts the dialog.
    void followsTheJob()
    {
        QWidget window;
        FutureProgressDialog dialog(&window);
        QPromise<void> promise;
        promise.start();
        promise.setProgressRange(0, 10);

        QList<QPair<int, int>> seen; // value, maximum
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            seen.append({ dialog.value(), dialog.maximum() });
            if (seen.size() == 1) {
                promise.setProgressValue(4);
            } else if (seen.size() == 2) {
                promise.setProgressRange(0, 20);
                promise.setProgressValue(7);
            } else {
                promise.finish();
                timer.stop();
            }
        });
        // The future passes on at most 25 progress changes a second.
        timer.start(60);
        dialog.setFuture(promise.future());

        QCOMPARE(seen, (QList<QPair<int, int>> { { 0, 10 }, { 4, 10 }, { 7, 20 } }));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void showsOnlyForLongJobs_data()
    {
        QTest::addColumn<int>("durationMs"); // -1: finished before it is handed over
        QTest::addColumn<bool>("shown");
        QTest::newRow("finished job") << -1 << false;
        QTest::newRow("long job") << FutureProgressDialog::showDelayMs + 400 << true;
    }

    void showsOnlyForLongJobs()
    {
        QFETCH(int, durationMs);
        QFETCH(bool, shown);

        FutureProgressDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        QPromise<void> promise;
        promise.start();
        bool visibleWhileRunning = false;
        if (durationMs < 0) {
            promise.finish();
        } else {
            QTimer::singleShot(durationMs, this, [&] {
                visibleWhileRunning = dialog.isVisible();
                promise.finish();
            });
        }
        dialog.setFuture(promise.future());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(visibleWhileRunning, shown);
    }

    void cancelButtonCancelsTheJob()
    {
        FutureProgressDialog dialog;
        dialog.setCancelButtonText(QStringLiteral("Cancel"));
        QPromise<void> promise;
        promise.start();
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            if (!promise.isCanceled())
                return dialog.findChild<QPushButton *>()->click();
            promise.finish(); // the job notices the cancel and winds down
            timer.stop();
        });
        timer.start(10);
        dialog.setFuture(promise.future());
        QVERIFY(promise.future().isCanceled() && promise.future().isFinished());
    }
};

QTEST_MAIN(TestSmallWidgets)
#include "tst_smallwidgets.moc"
