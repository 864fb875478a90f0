#pragma once

#include <QDateTime>
#include <QObject>
#include <QPixmap>
#include <QPointer>
#include <QUrl>

class DownloadDialog;
class QWidget;
class UpdateChecker;
class UpdateDialog;
class UpdateInfoDialog;

// Checks for a new version once a day in the background and shows the
// update dialogs over the user's window when there is one.
class Updater : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QDateTime lastCheckUpdate READ lastCheckUpdate)

public:
    Updater(const QUrl &informationAddress, const QPixmap &icon, QObject *parent = nullptr);
    ~Updater() override;

    // Our update information, or for developers the loopback address given
    // as --update-info=URL (see tools/update_test_server.py).
    static QUrl informationAddress(const QStringList &arguments);

    QDateTime lastCheckUpdate() const { return m_lastCheckUpdate; }
    UpdateChecker *checker() const { return m_checker; }
    UpdateDialog *updateDialog() const;
    DownloadDialog *downloadDialog() const;

public Q_SLOTS:
    void check();
    void checkerStateChanged();
    void startUpdateTimer();

Q_SIGNALS:
    void checked();

protected:
    void timerEvent(QTimerEvent *event) override;

private:
    bool checkIsDue() const;
    void showUpdateDialog();
    void showError();

    int m_intervalMinutes = 1440;
    QDateTime m_lastCheckUpdate;
    UpdateChecker *m_checker;
    QPointer<UpdateDialog> m_updateDialog;
    QPointer<DownloadDialog> m_downloadDialog;
    QPointer<UpdateInfoDialog> m_checkingDialog;
    QPixmap m_icon;
    QPointer<QWidget> m_parentWidget;
    // The background check works silently; no "Checking..." note.
    bool m_suppressCheckingDialog = true;
    int m_timerId = 0;
};
