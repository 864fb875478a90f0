#include "updatechecker.h"

#include <QAction>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QProcess>
#include <QStandardPaths>
#include <QSysInfo>
#include <QTimer>

#include <algorithm>

#include "update/updateinforeader.h"
#include "update/versionkey.h"

namespace {

// A server that sends nothing for this long is given up.
constexpr int DefaultIdleTimeoutMs = 30 * 1000;
// The update information and the size request are small; they must be
// complete within this time, however slowly a server trickles them.
constexpr int DefaultTotalTimeoutMs = 60 * 1000;
constexpr int MaxRedirects = 10;
// Slack over the announced size before a download is stopped: servers may
// count a few bytes differently, never megabytes.
constexpr qint64 MinDownloadMargin = 64 * 1024;
constexpr int DownloadMarginDivisor = 100;
// No installer of ours comes near this; it bounds a download whose size
// nobody announced.
constexpr qint64 MaxInstallerSize = qint64(16) * 1024 * 1024 * 1024;

const char AbortReasonProperty[] = "tesseloAbortReason";
const char TooLargeProperty[] = "tesseloTooLarge";
const char RedirectsProperty[] = "tesseloRedirects";

QString replyProblem(const QNetworkReply *reply)
{
    const QString reason = reply->property(AbortReasonProperty).toString();
    return reason.isEmpty() ? reply->errorString() : reason;
}

void abortReply(QNetworkReply *reply, const QString &reason)
{
    if (reply->isFinished())
        return;
    reply->setProperty(AbortReasonProperty, reason);
    reply->abort();
}

bool hasRedirectTarget(const QNetworkReply *reply)
{
    return reply->attribute(QNetworkRequest::RedirectionTargetAttribute).isValid();
}

QString stateNameOf(UpdateChecker::States state)
{
    switch (state) {
    case UpdateChecker::Checking:
        return QStringLiteral("checking");
    case UpdateChecker::UpdateAvailable:
        return QStringLiteral("updateFound");
    case UpdateChecker::Downloading:
        return QStringLiteral("downloading");
    case UpdateChecker::InstallAvailable:
        return QStringLiteral("restart");
    case UpdateChecker::Error:
        return QStringLiteral("error");
    case UpdateChecker::Normal:
    case UpdateChecker::UpToDate:
        break;
    }
    return QString();
}

} // namespace

const QString UpdateChecker::RunningBuild = QStringLiteral("0822");
const QString UpdateChecker::SkippedVersionKey = QStringLiteral("updater/skippedVersion");

UpdateChecker::UpdateChecker(const QUrl &informationAddress, QObject *parent)
    : QObject(parent)
    , m_informationAddress(informationAddress)
    , m_statusAction(new QAction(this))
    , m_idleTimeoutMs(DefaultIdleTimeoutMs)
    , m_totalTimeoutMs(DefaultTotalTimeoutMs)
    , m_platformElement(UpdateInfoReader::currentPlatformElement())
    , m_systemVersion(UpdateInfoReader::currentSystemVersion())
{
    m_statusAction->setVisible(false);
}

void UpdateChecker::offerStatusAction(const QString &text, void (UpdateChecker::*act)())
{
    m_statusAction->setText(text);
    m_statusConnection = connect(m_statusAction, &QAction::triggered, this, act);
    m_statusAction->setVisible(true);
}

UpdateChecker::~UpdateChecker()
{
    drop(m_checkReply);
    drop(m_sizeReply);
    drop(m_downloadReply);
}

QString UpdateChecker::stateName() const
{
    return stateNameOf(m_state);
}

QString UpdateChecker::latestVersion() const
{
    return m_updates.isEmpty() ? QString() : m_updates.first().value("version").toString();
}

QByteArray UpdateChecker::userAgent() const
{
#ifdef Q_OS_WIN
    const QString system = QStringLiteral("Win");
#else
    const QString system = QSysInfo::prettyProductName();
#endif
    const QString agent = (m_forced ? QStringLiteral("UpdateChecker [forced] (")
                                    : QStringLiteral("UpdateChecker ("))
        + QCoreApplication::applicationName() + QStringLiteral(" v")
        + QCoreApplication::applicationVersion() + QStringLiteral(" / ") + system
        + QStringLiteral(" / ") + m_extraAgentText + QStringLiteral(" )");
    return agent.toLatin1();
}

void UpdateChecker::setTimeouts(int idleMs, int totalMs)
{
    m_idleTimeoutMs = idleMs;
    m_totalTimeoutMs = totalMs;
}

void UpdateChecker::setSystem(const QString &platformElement, const QString &systemVersion)
{
    m_platformElement = platformElement;
    m_systemVersion = systemVersion;
}

QString UpdateChecker::downloadFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation)
        + QStringLiteral("/Update");
}

QString UpdateChecker::sizeText(qint64 bytes)
{
    constexpr double KiB = 1024.0;
    if (bytes < 1024)
        return QString::number(bytes);
    if (bytes < 1024 * 1024)
        return tr("%1 kB").arg(bytes / KiB, 0, 'f', 1);
    if (bytes < 1024 * 1024 * 1024)
        return tr("%1 MB").arg(bytes / (KiB * KiB), 0, 'f', 1);
    return tr("%1 GB").arg(bytes / (KiB * KiB * KiB), 0, 'f', 1);
}

bool UpdateChecker::isSafeRedirect(const QUrl &from, const QUrl &to)
{
    const QString scheme = to.scheme().toLower();
    if (!to.isValid() || to.host().isEmpty())
        return false;
    if (scheme == QLatin1String("https"))
        return true;
    return scheme == QLatin1String("http") && from.scheme().toLower() == QLatin1String("http");
}

qint64 UpdateChecker::downloadLimit(qint64 announced)
{
    if (announced <= 0 || announced >= MaxInstallerSize)
        return MaxInstallerSize;
    return announced + qMax(MinDownloadMargin, announced / DownloadMarginDivisor);
}

// ---------------------------------------------------------------------------
// State

void UpdateChecker::setState(States state)
{
    if (state == m_state)
        return;
    m_state = state;
    updateStatusAction();
    emit stateChanged();
    if (state == Checking)
        emit checkStarted();
}

void UpdateChecker::setErrorMessage(const QString &text)
{
    m_error = text;
    emit errorMessageChanged();
    if (!text.isEmpty())
        setState(Error);
}

void UpdateChecker::updateStatusAction()
{
    disconnect(m_statusConnection);
    switch (m_state) {
    case UpdateAvailable:
        if (!m_error.isEmpty())
            break;
        offerStatusAction(m_downloadSize > 0 ? tr("Download update", "Action text")
                    + QStringLiteral(" (") + sizeText(m_downloadSize) + QLatin1Char(')')
                                             : tr("Download update", "Action text"),
            &UpdateChecker::download);
        return;
    case Downloading:
        offerStatusAction(tr("Cancel downloading"), &UpdateChecker::abortDownload);
        return;
    case InstallAvailable:
        offerStatusAction(tr("Exit and install update"), &UpdateChecker::install);
        return;
    default:
        break;
    }
    m_statusAction->setVisible(false);
}

// Versions we have outgrown leave nothing behind.
void UpdateChecker::cleanDownloads()
{
    const QByteArray running = VersionKey::versionKey(QCoreApplication::applicationVersion());
    const QDir folder(downloadFolder());
    const QFileInfoList versions
        = folder.entryInfoList(QDir::Dirs | QDir::NoDotAndDotDot | QDir::NoSymLinks | QDir::Hidden);
    for (const QFileInfo &version : versions) {
        if (VersionKey::versionKey(version.fileName()) <= running)
            QDir(version.absoluteFilePath()).removeRecursively();
    }
}

// ---------------------------------------------------------------------------
// Requests

QNetworkReply *UpdateChecker::send(
    QNetworkAccessManager::Operation operation, const QUrl &address, int redirects)
{
    QNetworkRequest request(address);
    request.setRawHeader("User-Agent", userAgent());
    request.setRawHeader("Allow-Redirect", "true");
    // Followed by hand, so that each hop is checked and counted.
    request.setAttribute(
        QNetworkRequest::RedirectPolicyAttribute, QNetworkRequest::ManualRedirectPolicy);

    QNetworkReply *reply = operation == QNetworkAccessManager::HeadOperation
        ? m_network.head(request)
        : m_network.get(request);
    reply->setProperty(RedirectsProperty, redirects);

    auto *idle = new QTimer(reply);
    idle->setSingleShot(true);
    idle->start(m_idleTimeoutMs);
    auto restart = [idle] { idle->start(); };
    connect(reply, &QNetworkReply::downloadProgress, idle, restart);
    connect(reply, &QNetworkReply::metaDataChanged, idle, restart);
    connect(idle, &QTimer::timeout, reply,
        [reply] { abortReply(reply, tr("the server stopped answering")); });
    return reply;
}

QNetworkReply *UpdateChecker::followRedirect(QNetworkReply *reply, QString *problem)
{
    const QUrl target = reply->url().resolved(
        reply->attribute(QNetworkRequest::RedirectionTargetAttribute).toUrl());
    const int redirects = reply->property(RedirectsProperty).toInt() + 1;
    if (redirects > MaxRedirects) {
        *problem = tr("too many redirects");
        return nullptr;
    }
    if (!isSafeRedirect(reply->url(), target)) {
        *problem = tr("refused redirect to %1").arg(target.toDisplayString());
        return nullptr;
    }
    return send(reply->operation(), target, redirects);
}

void UpdateChecker::connectCheckReply(QNetworkReply *reply)
{
    m_checkReply = reply;
    QTimer::singleShot(
        m_totalTimeoutMs, reply, [reply] { abortReply(reply, tr("the server took too long")); });
    connect(reply, &QNetworkReply::downloadProgress, reply, [reply](qint64 received) {
        if (received > UpdateInfoReader::MaxDocumentSize) {
            reply->setProperty(TooLargeProperty, true);
            abortReply(reply, tr("the answer is too large"));
        }
    });
    connect(reply, &QNetworkReply::finished, this, &UpdateChecker::checkFinished);
}

void UpdateChecker::connectSizeReply(QNetworkReply *reply)
{
    m_sizeReply = reply;
    QTimer::singleShot(
        m_totalTimeoutMs, reply, [reply] { abortReply(reply, tr("the server took too long")); });
    connect(reply, &QNetworkReply::finished, this, &UpdateChecker::sizeRequestFinished);
}

void UpdateChecker::connectDownloadReply(QNetworkReply *reply)
{
    m_downloadReply = reply;
    connect(reply, &QNetworkReply::readyRead, this, &UpdateChecker::downloadReadyRead);
    connect(reply, &QNetworkReply::finished, this, &UpdateChecker::downloadFinished);
}

// Forgets a request; its late signals then find it is no longer current.
void UpdateChecker::drop(QPointer<QNetworkReply> &reply)
{
    QNetworkReply *old = reply;
    reply = nullptr;
    if (!old)
        return;
    old->disconnect(this);
    old->abort();
    old->deleteLater();
}

// ---------------------------------------------------------------------------
// Checking

QNetworkReply *UpdateChecker::takeFinished(QPointer<QNetworkReply> &pending)
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply || reply != pending)
        return nullptr;
    pending = nullptr;
    reply->deleteLater();
    return reply;
}

void UpdateChecker::check(bool forced, bool checkBuild)
{
    cleanDownloads();
    drop(m_checkReply);
    m_forced = forced;
    m_checkBuild = checkBuild;
    connectCheckReply(send(QNetworkAccessManager::GetOperation, m_informationAddress));
    setState(Checking);
}

void UpdateChecker::abortCheck()
{
    if (m_state != Checking)
        return;
    drop(m_checkReply);
    setState(Normal);
}

void UpdateChecker::checkFinished()
{
    QNetworkReply *reply = takeFinished(m_checkReply);
    if (!reply)
        return;

    m_lastCheck = QDateTime::currentDateTime();
    m_updates.clear();

    QString problem;
    if (hasRedirectTarget(reply)) {
        if (QNetworkReply *next = followRedirect(reply, &problem)) {
            connectCheckReply(next);
            return;
        }
    } else if (reply->property(TooLargeProperty).toBool()) {
        setErrorMessage(tr("Failed to parse version information data.", "Updater error message"));
        return;
    } else if (reply->error() != QNetworkReply::NoError) {
        problem = replyProblem(reply);
    }
    if (!problem.isEmpty()) {
        if (m_quiet)
            setState(UpToDate);
        else
            setErrorMessage(tr("Can't check for update: %1").arg(problem));
        return;
    }

    m_finalInformationAddress = reply->url();
    readInformation(reply->readAll());
}

void UpdateChecker::readInformation(const QByteArray &document)
{
    const UpdateInformation info
        = UpdateInfoReader(m_platformElement, m_systemVersion).read(document);
    const QString running = m_forced ? QString() : QCoreApplication::applicationVersion();
    const QByteArray runningKey = VersionKey::versionKey(running);
    const bool betasWanted = VersionKey::isBeta(running);

    for (const UpdateEntry &entry : info.entries) {
        if (VersionKey::isBeta(entry.version) && !betasWanted)
            continue;
        if (entry.version.isEmpty() || entry.url.isEmpty())
            continue;
        const QByteArray key = VersionKey::versionKey(entry.version);
        if (!running.isEmpty() && key < runningKey)
            continue;
        const QVariantMap update { { QStringLiteral("version"), entry.version },
            { QStringLiteral("build"), entry.build },
            { QStringLiteral("url"), QUrl::fromUserInput(entry.url) },
            { QStringLiteral("changes"), entry.changes }, { QStringLiteral("date"), entry.date },
            { QStringLiteral("sha256"), entry.sha256 } };
        if (!isUsable(update))
            continue;
        // Newest first; equal versions keep their document order.
        auto position = std::find_if(m_updates.begin(), m_updates.end(), [&](const QVariantMap &u) {
            return VersionKey::versionKey(u.value("version").toString()) < key;
        });
        m_updates.insert(position, update);
    }

    if (!info.ok || (!info.anyVersion && m_updates.isEmpty())) {
        m_updates.clear();
        setErrorMessage(tr("Failed to parse version information data.", "Updater error message"));
        return;
    }

    const QString latest = latestVersion();
    bool available = !m_updates.isEmpty()
        && ((VersionKey::isNewer(latest, running) && !running.isEmpty()) || m_forced);
    if (!available && m_checkBuild && !m_updates.isEmpty()
        && VersionKey::versionKey(latest) == runningKey) {
        available
            = VersionKey::isNewerBuild(m_updates.first().value("build").toString(), RunningBuild);
    }
    if (available)
        offerUpdate();
    else
        setState(UpToDate);
}

// The version and the installer's file name become a folder and a file in
// our download folder, so both must be plain names; the installer must come
// over http(s), and over https when the information did.
bool UpdateChecker::isUsable(const QVariantMap &entry) const
{
    if (!UpdateInfoReader::isPlainName(entry.value("version").toString()))
        return false;
    const QString sha256 = entry.value("sha256").toString();
    if (!sha256.isEmpty() && !UpdateInfoReader::isSha256(sha256))
        return false;
    QUrl address = entry.value("url").toUrl();
    if (m_finalInformationAddress.isValid())
        address = m_finalInformationAddress.resolved(address);
    if (!isSafeRedirect(
            m_finalInformationAddress.isValid() ? m_finalInformationAddress : address, address))
        return false;
    return UpdateInfoReader::isPlainName(address.fileName());
}

QUrl UpdateChecker::installerAddress() const
{
    if (m_updates.isEmpty())
        return QUrl();
    const QUrl address = m_updates.first().value("url").toUrl();
    return m_finalInformationAddress.isValid() ? m_finalInformationAddress.resolved(address)
                                               : address;
}

QString UpdateChecker::targetPathFor(const QVariantMap &entry, bool createFolder) const
{
    const QString version = entry.value("version").toString();
    const QString fileName = installerAddress().fileName();
    if (!UpdateInfoReader::isPlainName(version) || !UpdateInfoReader::isPlainName(fileName))
        return QString();
    const QString folder = downloadFolder() + QLatin1Char('/') + version;
    if (createFolder && !QDir().mkpath(folder))
        return QString();
    return folder + QLatin1Char('/') + fileName;
}

void UpdateChecker::offerUpdate()
{
    drop(m_sizeReply);
    m_downloadSize = 0;
    connectSizeReply(send(QNetworkAccessManager::HeadOperation, installerAddress()));
    // An installer found again is fetched afresh rather than trusted.
    const QString target = targetPathFor(m_updates.first(), false);
    if (!target.isEmpty() && QFileInfo::exists(target))
        QFile::remove(target);
    setErrorMessage(QString());
    setState(UpdateAvailable);
    if (m_forced)
        download();
}

void UpdateChecker::sizeRequestFinished()
{
    QNetworkReply *reply = takeFinished(m_sizeReply);
    if (!reply)
        return;

    if (hasRedirectTarget(reply)) {
        QString problem;
        if (QNetworkReply *next = followRedirect(reply, &problem))
            connectSizeReply(next);
        return;
    }
    if (reply->error() != QNetworkReply::NoError)
        return;
    const qint64 size = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    m_downloadSize = qMax<qint64>(size, 0);
    emit downloadSizeChanged();
    updateStatusAction();
}

// ---------------------------------------------------------------------------
// Downloading

void UpdateChecker::download()
{
    if (m_state != UpdateAvailable)
        return;
    drop(m_downloadReply);
    m_downloadFile.close();
    m_downloadFile.setFileName(QString());
    m_targetPath.clear();
    m_downloaded = 0;
    connectDownloadReply(send(QNetworkAccessManager::GetOperation, installerAddress()));
    setState(Downloading);
}

void UpdateChecker::abortDownload()
{
    if (m_state != Downloading)
        return;
    drop(m_downloadReply);
    m_downloadFile.close();
    setState(m_forced ? Normal : UpdateAvailable);
}

bool UpdateChecker::openDownloadFile(QNetworkReply *reply)
{
    m_targetPath = m_updates.isEmpty() ? QString() : targetPathFor(m_updates.first(), true);
    m_downloadFile.setFileName(
        m_targetPath.isEmpty() ? QString() : m_targetPath + QStringLiteral(".part"));
    if (m_targetPath.isEmpty()
        || !m_downloadFile.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        setErrorMessage(tr("Can't open file: %1").arg(m_downloadFile.errorString()));
        m_targetPath.clear();
        return false;
    }
    m_downloaded = 0;
    m_downloadHash.reset();
    // The answer's own length is binding; the size request's is a hint.
    const qint64 announced = reply->header(QNetworkRequest::ContentLengthHeader).toLongLong();
    if (announced > 0 && announced != m_downloadSize) {
        m_downloadSize = announced;
        emit downloadSizeChanged();
    }
    m_downloadLimit = downloadLimit(m_downloadSize);
    return true;
}

void UpdateChecker::downloadReadyRead()
{
    auto *reply = qobject_cast<QNetworkReply *>(sender());
    if (!reply || reply != m_downloadReply)
        return;
    if (hasRedirectTarget(reply)) {
        reply->readAll(); // the body of a redirect is not the installer
        return;
    }
    if (!m_downloadFile.isOpen() && !openDownloadFile(reply)) {
        drop(m_downloadReply);
        return;
    }

    const QByteArray data = reply->readAll();
    if (m_downloaded + data.size() > m_downloadLimit) {
        // Finishing the reply reports the failure and removes the file.
        abortReply(reply, tr("the server sent more than it announced"));
        return;
    }
    if (m_downloadFile.write(data) != data.size()) {
        const QString problem = m_downloadFile.errorString();
        drop(m_downloadReply);
        failDownload(problem);
        return;
    }
    m_downloadHash.addData(data);
    m_downloaded += data.size();
    emit downloadedChanged();
    emit progressChanged(m_downloaded, m_downloadSize);
}

void UpdateChecker::downloadFinished()
{
    QNetworkReply *reply = takeFinished(m_downloadReply);
    if (!reply)
        return;
    m_downloadFile.close();

    if (hasRedirectTarget(reply)) {
        QString problem;
        if (QNetworkReply *next = followRedirect(reply, &problem))
            connectDownloadReply(next); // its first data reopens and truncates the file
        else
            failDownload(problem);
        return;
    }
    if (reply->error() != QNetworkReply::NoError) {
        failDownload(replyProblem(reply));
        return;
    }
    finishDownload();
}

void UpdateChecker::failDownload(const QString &reason)
{
    m_downloadFile.close();
    if (!m_downloadFile.fileName().isEmpty())
        m_downloadFile.remove();
    setErrorMessage(tr("Can't get update: %1").arg(reason));
}

void UpdateChecker::finishDownload()
{
    if (m_targetPath.isEmpty()) {
        failDownload(tr("the server sent an empty file"));
        return;
    }
    const QString expected
        = m_updates.isEmpty() ? QString() : m_updates.first().value("sha256").toString();
    if (!expected.isEmpty() && m_downloadHash.result().toHex() != expected.toLatin1()) {
        failDownload(tr("the file is damaged (its checksum does not match)"));
        return;
    }
    if (QFileInfo::exists(m_targetPath))
        QFile::remove(m_targetPath);
    if (!m_downloadFile.rename(m_targetPath)) {
        failDownload(m_downloadFile.errorString());
        return;
    }
    setState(InstallAvailable);
    if (m_forced)
        install();
}

// ---------------------------------------------------------------------------
// Installing

void UpdateChecker::install()
{
    if (m_state != InstallAvailable)
        return;
    emit prepareForExit();
    const bool started = m_installHandler ? m_installHandler(m_targetPath) : handOver(m_targetPath);
    if (!started) {
        setErrorMessage(tr("Can't install update", "Updater error message"));
        return;
    }
    setState(Normal);
    emit exitRequest();
}

// Windows runs the installer itself; elsewhere the package goes to the
// desktop's handler for its type, or failing that the user is shown the
// folder that holds it.
bool UpdateChecker::handOver(const QString &path) const
{
    if (!QFileInfo::exists(path))
        return false;
#ifdef Q_OS_WIN
    if (QProcess::startDetached(QDir::toNativeSeparators(path), {}))
        return true;
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
#else
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path))
        || QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
#endif
}
