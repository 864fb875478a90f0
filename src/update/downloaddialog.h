#pragma once

#include <QDialog>
#include <QPixmap>

class QAbstractButton;
class QDialogButtonBox;
class QLabel;
class QProgressBar;
class UpdateChecker;

// Shows the installer's download and, once it is on disk, offers to quit
// and install it.
class DownloadDialog : public QDialog
{
    Q_OBJECT

public:
    DownloadDialog(const QPixmap &icon, UpdateChecker *checker, QWidget *parent = nullptr);

    // "3.6 MB of 14.1 MB"; just "3.6 MB" while the total is unknown.
    static QString progressText(qint64 value, qint64 total);

public Q_SLOTS:
    void progressChanged(qint64 value, qint64 total);
    void updaterStateChanged();
    void on_buttonBox_clicked(QAbstractButton *button);

private:
    UpdateChecker *m_checker;
    QLabel *m_statusLabel = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QLabel *m_progressLabel = nullptr;
    QDialogButtonBox *m_buttonBox = nullptr;
};
