#include <QLabel>
#include <QLayout>
#include <QProgressBar>
#include <QPromise>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "ui/futureprogressdialog.h"
#include "ui/progressinformationdialog.h"

namespace {

// Counts how often a widget was shown.
class ShowCounter : public QObject
{
public:
    int shows = 0;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Show)
            ++shows;
        return QObject::eventFilter(watched, event);
    }
};

} // namespace

class TestFutureProgressDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsTheJob();
    void finishedJobIsNotShown();
    void showsOnlyForLongJobs_data();
    void showsOnlyForLongJobs();
    void cancelButtonCancelsTheJob();
    void informationDialog();
};

void TestFutureProgressDialog::followsTheJob()
{
    QWidget window;
    FutureProgressDialog dialog(&window);
    QPromise<void> promise;
    promise.start();
    promise.setProgressRange(0, 10);

    QList<int> seenValues;
    QList<int> seenMaximums;
    bool finishedByTimer = false;
    int step = 0;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] {
        seenValues << dialog.value();
        seenMaximums << dialog.maximum();
        ++step;
        if (step == 1) {
            promise.setProgressValue(4);
        } else if (step == 2) {
            promise.setProgressRange(0, 20);
            promise.setProgressValue(7);
        } else if (step == 3) {
            finishedByTimer = true;
            promise.finish();
            timer.stop();
        }
    });
    // The future passes on at most 25 progress changes a second.
    timer.start(60);
    dialog.setFuture(promise.future());

    // setFuture returned only after the job ended, and the end accepted it.
    QVERIFY(finishedByTimer);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QVERIFY(!dialog.isVisible());
    QCOMPARE(seenMaximums.value(0), 10);
    QCOMPARE(seenValues.value(1), 4);
    QCOMPARE(seenMaximums.value(2), 20);
    QCOMPARE(seenValues.value(2), 7);
}

void TestFutureProgressDialog::finishedJobIsNotShown()
{
    FutureProgressDialog dialog;
    ShowCounter counter;
    dialog.installEventFilter(&counter);
    QPromise<int> promise;
    promise.start();
    promise.addResult(42);
    promise.finish();
    dialog.setFuture(promise.future());
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(counter.shows, 0);
}

void TestFutureProgressDialog::showsOnlyForLongJobs_data()
{
    QTest::addColumn<int>("durationMs");
    QTest::addColumn<bool>("shown");
    QTest::newRow("short job") << 30 << false;
    QTest::newRow("long job") << FutureProgressDialog::showDelayMs + 400 << true;
}

void TestFutureProgressDialog::showsOnlyForLongJobs()
{
    QFETCH(int, durationMs);
    QFETCH(bool, shown);

    FutureProgressDialog dialog;
    dialog.setWindowModality(Qt::ApplicationModal);
    ShowCounter counter;
    dialog.installEventFilter(&counter);
    QPromise<void> promise;
    promise.start();
    bool visibleWhileRunning = false;
    QTimer::singleShot(durationMs, this, [&] {
        visibleWhileRunning = dialog.isVisible();
        promise.finish();
    });
    dialog.setFuture(promise.future());
    QCOMPARE(visibleWhileRunning, shown);
    QCOMPARE(counter.shows > 0, shown);
    QVERIFY(!dialog.isVisible());
}

void TestFutureProgressDialog::cancelButtonCancelsTheJob()
{
    FutureProgressDialog dialog;
    dialog.setCancelButtonText(QStringLiteral("Cancel"));
    QPromise<void> promise;
    QFuture<void> future = promise.future();
    promise.start();
    promise.setProgressRange(0, 100);
    bool cancelSeen = false;
    QTimer timer;
    connect(&timer, &QTimer::timeout, this, [&] {
        if (promise.isCanceled()) {
            // The job notices the cancel and winds down.
            cancelSeen = true;
            promise.finish();
            timer.stop();
        } else {
            auto *button = dialog.findChild<QPushButton *>();
            QVERIFY(button);
            button->click();
        }
    });
    timer.start(10);
    dialog.setFuture(future);
    QVERIFY(cancelSeen);
    QVERIFY(future.isCanceled());
    QVERIFY(future.isFinished());
}

void TestFutureProgressDialog::informationDialog()
{
    QWidget window;
    ProgressInformationDialog dialog(QStringLiteral("Export"), QStringLiteral("Saving file...\nPlease, wait."),
                                     &window);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Export"));
    QCOMPARE(dialog.text(), QStringLiteral("Saving file...\nPlease, wait."));
    QCOMPARE(dialog.size(), QSize(383, 98));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());
    const Qt::WindowFlags flags = dialog.windowFlags();
    QVERIFY(flags & Qt::WindowTitleHint);
    QVERIFY(flags & Qt::CustomizeWindowHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(dialog.testAttribute(Qt::WA_MacSmallSize));

    auto *label = dialog.findChild<QLabel *>(QStringLiteral("lblInformation"));
    QVERIFY(label);
    QVERIFY(label->wordWrap());
    QVERIFY(dialog.findChild<QLabel *>(QStringLiteral("label")));
    auto *bar = dialog.findChild<QProgressBar *>(QStringLiteral("progressBar"));
    QVERIFY(bar);
    QCOMPARE(bar->minimum(), 0);
    QCOMPARE(bar->maximum(), 0);
    QVERIFY(dialog.layout());
    QCOMPARE(dialog.layout()->objectName(), QStringLiteral("verticalLayout_2"));
    QCOMPARE(dialog.layout()->contentsMargins().bottom(), 12);

    dialog.setWindowModality(Qt::WindowModal);
    dialog.show();
    QVERIFY(dialog.isVisible());
    dialog.setText(QStringLiteral("Done"));
    QCOMPARE(label->text(), QStringLiteral("Done"));
}

QTEST_MAIN(TestFutureProgressDialog)
#include "tst_futureprogressdialog.moc"
