#pragma once

#include <QFuture>
#include <QFutureWatcher>
#include <QProgressDialog>

// A progress dialog bound to a background job. setFuture() follows the job
// (range, value, cancel) and returns only when the job has ended; the
// dialog appears only when the job takes longer than showDelayMs. The
// caller then asks the future: finished and not cancelled is success.
class FutureProgressDialog : public QProgressDialog
{
    Q_OBJECT

public:
    static constexpr int showDelayMs = 500;

    explicit FutureProgressDialog(
        QWidget *parent = nullptr, Qt::WindowFlags flags = Qt::WindowFlags());
    ~FutureProgressDialog() override;

    // Follows `future` until it ends; the end accepts the dialog, Cancel
    // cancels the future.
    void setFuture(const QFuture<void> &future);
    template<typename T> void setFuture(const QFuture<T> &future)
    {
        setFuture(QFuture<void>(future));
    }

    // The wait of an image list's reading ("Reading files..."): window-modal
    // on `parent`, application-modal without one; a non-interactive wait
    // shows a disabled dialog without a close button.
    static void waitForReading(const QFuture<void> &job, QWidget *parent, bool interactive);
    // Makes every image list wait through waitForReading().
    static void installImageListHook();

public Q_SLOTS:
    void progressRangeChanged(int minimum, int maximum);

private:
    void waitForJob();

    QFutureWatcher<void> *m_watcher = nullptr;
};
