#include "updater.h"

#include <QApplication>
#include <QMessageBox>
#include <QSettings>
#include <QStyle>
#include <QTimer>
#include <QTimerEvent>

#include "update/dialogplacement.h"
#include "update/downloaddialog.h"
#include "update/updatechecker.h"
#include "update/updatedialog.h"
#include "update/updateinfodialog.h"

namespace {

constexpr int StartDelayMs = 5000;
constexpr int TickMs = 60 * 1000;
const QString DefaultInformationAddress
    = QStringLiteral("https://quorvane.example/tesselo/update/UpdateInfo.xml");
const QString DeveloperOption = QStringLiteral("--update-info=");

// Only a server on this machine may stand in for ours.
bool isLoopback(const QUrl &address)
{
    const QString host = address.host();
    const QString scheme = address.scheme();
    return (scheme == QLatin1String("http") || scheme == QLatin1String("https"))
        && (host == QLatin1String("127.0.0.1") || host == QLatin1String("localhost")
            || host == QLatin1String("::1"));
}

} // namespace

Updater::Updater(const QUrl &informationAddress, const QPixmap &icon, QObject *parent)
    : QObject(parent)
    , m_checker(new UpdateChecker(informationAddress, this))
    , m_icon(icon.isNull() ? qApp->style()->standardPixmap(QStyle::SP_MessageBoxInformation) : icon)
    , m_parentWidget(qobject_cast<QWidget *>(parent))
{
    m_checker->setQuiet(true);
    connect(m_checker, &UpdateChecker::exitRequest, qApp, &QCoreApplication::quit);
    connect(m_checker, &UpdateChecker::stateChanged, this, &Updater::checkerStateChanged);
    QTimer::singleShot(StartDelayMs, this, &Updater::startUpdateTimer);
}

QUrl Updater::informationAddress(const QStringList &arguments)
{
    for (const QString &argument : arguments) {
        if (!argument.startsWith(DeveloperOption))
            continue;
        const QUrl address(argument.mid(DeveloperOption.size()), QUrl::StrictMode);
        if (address.isValid() && isLoopback(address))
            return address;
    }
    return QUrl(DefaultInformationAddress);
}

// The dialogs are top-level windows and so not our children.
Updater::~Updater()
{
    delete m_updateDialog;
    delete m_downloadDialog;
    delete m_checkingDialog;
}

UpdateDialog *Updater::updateDialog() const
{
    return m_updateDialog;
}

DownloadDialog *Updater::downloadDialog() const
{
    return m_downloadDialog;
}

void Updater::startUpdateTimer()
{
    if (m_timerId == 0)
        m_timerId = startTimer(TickMs, Qt::CoarseTimer);
}

bool Updater::checkIsDue() const
{
    if (m_intervalMinutes < 1)
        return false;
    // A download in progress or waiting to be installed is not thrown away
    // by the next day's check.
    const UpdateChecker::States state = m_checker->state();
    if (state == UpdateChecker::Downloading || state == UpdateChecker::InstallAvailable)
        return false;
    return !m_lastCheckUpdate.isValid()
        || m_lastCheckUpdate.secsTo(QDateTime::currentDateTime()) >= m_intervalMinutes * 60;
}

void Updater::timerEvent(QTimerEvent *event)
{
    if (event->timerId() != m_timerId) {
        QObject::timerEvent(event);
        return;
    }
    if (checkIsDue())
        check();
}

void Updater::check()
{
    m_checker->check(false, false);
    m_lastCheckUpdate = QDateTime::currentDateTime();
    emit checked();
}

void Updater::checkerStateChanged()
{
    const UpdateChecker::States state = m_checker->state();
    if (state != UpdateChecker::Checking && m_checkingDialog) {
        m_checkingDialog->close();
        delete m_checkingDialog;
    }
    switch (state) {
    case UpdateChecker::Checking:
        if (!m_suppressCheckingDialog && !m_checkingDialog) {
            m_checkingDialog = new UpdateInfoDialog(m_parentWidget);
            DialogPlacement::centre(m_checkingDialog, m_parentWidget);
            m_checkingDialog->show();
        }
        break;
    case UpdateChecker::UpdateAvailable:
        if (m_checker->latestVersion()
            != QSettings().value(UpdateChecker::SkippedVersionKey).toString())
            showUpdateDialog();
        break;
    case UpdateChecker::Downloading:
        delete m_downloadDialog;
        m_downloadDialog = new DownloadDialog(m_icon, m_checker, m_parentWidget);
        break;
    case UpdateChecker::Error:
        showError();
        break;
    default:
        break;
    }
}

void Updater::showUpdateDialog()
{
    if (m_updateDialog)
        m_updateDialog->deleteLater();
    m_updateDialog = new UpdateDialog(m_icon, m_checker, m_parentWidget);
    QPointer<UpdateDialog> dialog = m_updateDialog;
    QTimer::singleShot(0, dialog, [this, dialog] {
        DialogPlacement::centre(dialog, m_parentWidget);
        dialog->show();
        dialog->raise();
        dialog->activateWindow();
    });
}

void Updater::showError()
{
    auto *box = new QMessageBox(QMessageBox::Warning, tr("Failed to update"), m_checker->error(),
        QMessageBox::NoButton, m_parentWidget);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->setModal(false);
    DialogPlacement::centre(box, m_parentWidget);
    box->show();
}
