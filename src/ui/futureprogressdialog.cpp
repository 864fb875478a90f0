#include "futureprogressdialog.h"

#include <QCoreApplication>
#include <QTimer>

#include "model/imagelist.h"

FutureProgressDialog::FutureProgressDialog(QWidget *parent, Qt::WindowFlags flags)
    : QProgressDialog(parent, flags)
{
    setMinimumDuration(showDelayMs);
}

FutureProgressDialog::~FutureProgressDialog() = default;

void FutureProgressDialog::waitForReading(
    const QFuture<void> &job, QWidget *parent, bool interactive)
{
    Qt::WindowFlags windowFlags;
    if (!interactive)
        windowFlags = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    FutureProgressDialog dialog(parent, windowFlags);
    dialog.setLabelText(tr("Reading files..."));
    dialog.setCancelButtonText(tr("Cancel"));
    dialog.setRange(0, 0);
    dialog.setWindowModality(parent ? Qt::WindowModal : Qt::ApplicationModal);
    if (!interactive)
        dialog.setEnabled(false);
    dialog.setFuture(job);
}

void FutureProgressDialog::installImageListHook()
{
    ImageList::setWaitHook(&FutureProgressDialog::waitForReading);
}

void FutureProgressDialog::setFuture(const QFuture<void> &future)
{
    if (m_watcher) {
        m_watcher->disconnect(this);
        disconnect(this, nullptr, m_watcher, nullptr);
        m_watcher->deleteLater();
        m_watcher = nullptr;
    }
    if (future.isFinished()) {
        accept();
        return;
    }
    m_watcher = new QFutureWatcher<void>(this);
    connect(m_watcher, &QFutureWatcherBase::finished, this, &QDialog::accept);
    connect(m_watcher, &QFutureWatcherBase::progressRangeChanged, this,
        &FutureProgressDialog::progressRangeChanged);
    connect(m_watcher, &QFutureWatcherBase::progressValueChanged, this, &QProgressDialog::setValue);
    connect(this, &QProgressDialog::canceled, m_watcher, &QFutureWatcherBase::cancel);
    m_watcher->setFuture(future);
    progressRangeChanged(future.progressMinimum(), future.progressMaximum());
    setValue(future.progressValue());
    waitForJob();
}

void FutureProgressDialog::progressRangeChanged(int minimum, int maximum)
{
    setMinimum(minimum);
    setMaximum(maximum);
}

void FutureProgressDialog::waitForJob()
{
    QFutureWatcher<void> *watcher = m_watcher;
    // The end is taken from the watcher's signal, which comes after the
    // accept() connected before it, rather than from the future's state.
    bool ended = false;
    QObject context;
    connect(watcher, &QFutureWatcherBase::finished, &context, [&ended] { ended = true; });

    // Short jobs end before the dialog would appear and never show it.
    QTimer showTimer;
    showTimer.setSingleShot(true);
    connect(&showTimer, &QTimer::timeout, this, [this, &ended] {
        if (!ended)
            show();
    });
    showTimer.start(showDelayMs);

    // The watcher reports the end through an event, which wakes the wait;
    // until the dialog shows and blocks the windows behind it, user input
    // is held back so that nothing starts a second job meanwhile.
    while (!ended) {
        QEventLoop::ProcessEventsFlags flags = QEventLoop::WaitForMoreEvents;
        if (!isVisible())
            flags |= QEventLoop::ExcludeUserInputEvents;
        QCoreApplication::processEvents(flags);
    }
}
