#include <QPromise>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "ui/futureprogressdialog.h"

class TestFutureProgressDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The dialog shows the job's progress range and value; setFuture returns
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
        QVERIFY(!dialog.isVisible());
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
        QVERIFY(!dialog.isVisible());
    }

    void cancelButtonCancelsTheJob()
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
};

QTEST_MAIN(TestFutureProgressDialog)
#include "tst_futureprogressdialog.moc"
