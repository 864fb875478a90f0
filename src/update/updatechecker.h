#pragma once

#include <QCryptographicHash>
#include <QDateTime>
#include <QFile>
#include <QList>
#include <QNetworkAccessManager>
#include <QObject>
#include <QPointer>
#include <QUrl>
#include <QVariantMap>

#include <functional>

class QAction;
class QNetworkReply;

// The state machine around the update requests: fetch the update
// information, pick the newest suitable version, ask the installer's size,
// download it next to a ".part" file and hand it to the installer.
//
//   Normal/UpToDate/Error --check--> Checking --newer--> UpdateAvailable
//   UpdateAvailable --download--> Downloading --finished--> InstallAvailable
//   InstallAvailable --install--> Normal (and the program quits)
//
// Every request has time-outs, every answer a size bound, and redirects are
// followed by hand so that none leads to a less safe address.
class UpdateChecker : public QObject
{
    Q_OBJECT
    Q_PROPERTY(States state READ state NOTIFY stateChanged)
    Q_PROPERTY(QString error READ error NOTIFY errorMessageChanged)
    Q_PROPERTY(QString stateName READ stateName NOTIFY stateChanged)
    Q_PROPERTY(QDateTime lastCheck READ lastCheck)
    Q_PROPERTY(QString latestVersion READ latestVersion)

public:
    enum States {
        Normal,
        Checking,
        UpdateAvailable,
        Downloading,
        InstallAvailable,
        Error,
        UpToDate
    };
    Q_ENUM(States)

    // Hands the finished download to whatever installs it; false when
    // nothing took it.
    using InstallHandler = std::function<bool(const QString &path)>;

    // The build of the running program, compared with an entry's build
    // when a check asks for it.
    static const QString RunningBuild;
    // The settings key of the version the user chose to skip.
    static const QString SkippedVersionKey;

    explicit UpdateChecker(const QUrl &informationAddress, QObject *parent = nullptr);
    ~UpdateChecker() override;

    States state() const { return m_state; }
    QString error() const { return m_error; }
    QString stateName() const;
    QDateTime lastCheck() const { return m_lastCheck; }
    QString latestVersion() const;
    // Usable entries, newest first: "version", "build", "url" (QUrl),
    // "changes", "date" (QDate) and "sha256".
    QList<QVariantMap> updates() const { return m_updates; }
    qint64 downloadSize() const { return m_downloadSize; }
    qint64 downloaded() const { return m_downloaded; }
    QString targetPath() const { return m_targetPath; }
    QUrl informationAddress() const { return m_informationAddress; }
    QAction *statusAction() const { return m_statusAction; }

    bool isQuiet() const { return m_quiet; }
    void setQuiet(bool quiet) { m_quiet = quiet; }
    void setExtraAgentText(const QString &text) { m_extraAgentText = text; }
    QByteArray userAgent() const;

    // Seams for tests and tools: how the installer is started, how long a
    // silent or slow server is waited for, and which system we claim to be.
    void setInstallHandler(InstallHandler handler) { m_installHandler = std::move(handler); }
    void setTimeouts(int idleMs, int totalMs);
    void setSystem(const QString &platformElement, const QString &systemVersion);

    static QString downloadFolder();
    // "812", "3.5 kB", "14.1 MB", "2.3 GB".
    static QString sizeText(qint64 bytes);
    // Redirects may stay on or upgrade to https, never leave it, and never
    // reach anything but http or https.
    static bool isSafeRedirect(const QUrl &from, const QUrl &to);
    // The most a download may grow to when `announced` bytes were promised.
    static qint64 downloadLimit(qint64 announced);

public Q_SLOTS:
    void check(bool forced = false, bool checkBuild = false);
    void download();
    void install();
    void abortDownload();
    void abortCheck();
    void checkFinished();
    void downloadReadyRead();
    void downloadFinished();
    void sizeRequestFinished();

Q_SIGNALS:
    void exitRequest();
    void prepareForExit();
    void stateChanged();
    void checkStarted();
    void errorMessageChanged();
    void downloadSizeChanged();
    void downloadedChanged();
    void progressChanged(qint64 progress, qint64 total);

private:
    void setState(States state);
    void setErrorMessage(const QString &text);
    void updateStatusAction();
    // Shows the status action as `text`, doing `act` when triggered.
    void offerStatusAction(const QString &text, void (UpdateChecker::*act)());
    void cleanDownloads();

    QNetworkReply *send(
        QNetworkAccessManager::Operation operation, const QUrl &address, int redirects = 0);
    // A new request of the same kind to the reply's redirection target, or
    // null with `problem` set when the target is refused.
    QNetworkReply *followRedirect(QNetworkReply *reply, QString *problem);
    void connectCheckReply(QNetworkReply *reply);
    void connectSizeReply(QNetworkReply *reply);
    void connectDownloadReply(QNetworkReply *reply);
    void drop(QPointer<QNetworkReply> &reply);
    // The reply that has just finished when it is the one `pending` waits
    // for: it is taken from there and deleted later. Null for any other.
    QNetworkReply *takeFinished(QPointer<QNetworkReply> &pending);

    void readInformation(const QByteArray &document);
    bool isUsable(const QVariantMap &entry) const;
    void offerUpdate();
    QUrl installerAddress() const;
    QString targetPathFor(const QVariantMap &entry, bool createFolder) const;
    bool openDownloadFile(QNetworkReply *reply);
    void failDownload(const QString &reason);
    void finishDownload();
    bool handOver(const QString &path) const;

    QNetworkAccessManager m_network;
    QPointer<QNetworkReply> m_checkReply;
    QPointer<QNetworkReply> m_sizeReply;
    QPointer<QNetworkReply> m_downloadReply;
    QFile m_downloadFile;
    QUrl m_informationAddress;
    QUrl m_finalInformationAddress;
    QString m_error;
    QString m_targetPath;
    QList<QVariantMap> m_updates;
    QDateTime m_lastCheck;
    qint64 m_downloadSize = 0;
    qint64 m_downloaded = 0;
    qint64 m_downloadLimit = 0;
    QCryptographicHash m_downloadHash { QCryptographicHash::Sha256 };
    QString m_extraAgentText;
    QAction *m_statusAction = nullptr;
    QMetaObject::Connection m_statusConnection;
    bool m_quiet = false;
    States m_state = Normal;
    bool m_forced = false;
    bool m_checkBuild = false;

    InstallHandler m_installHandler;
    int m_idleTimeoutMs;
    int m_totalTimeoutMs;
    QString m_platformElement;
    QString m_systemVersion;
};
