#include <QtTest>

#include <QAction>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include "support/httptestserver.h"
#include "update/updatechecker.h"

namespace {

using Response = HttpTestServer::Response;

const QString RunningVersion = QStringLiteral("0.9.6");

// One "VersionInfo"; "@" in the address stands for the test server.
QByteArray entry(const QString &version, const QString &address,
    const QByteArray &attributes = QByteArray(), const QByteArray &extra = QByteArray())
{
    return "<VersionInfo><current>" + version.toUtf8() + "</current><url><linux" + attributes + ">"
        + address.toUtf8() + "</linux></url>" + extra + "</VersionInfo>";
}

QByteArray document(const QByteArray &entries)
{
    return "<?xml version=\"1.0\"?>\n<UpdateInfo>" + entries + "</UpdateInfo>";
}

Response ok(const QByteArray &body)
{
    Response response;
    response.body = body;
    return response;
}

QByteArray package(int size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (int i = 0; i < size; ++i)
        bytes[i] = char((i * 7 + i / 251) & 0xff);
    return bytes;
}

QStringList versionsOf(const UpdateChecker &checker)
{
    QStringList versions;
    for (const QVariantMap &update : checker.updates())
        versions.append(update.value("version").toString());
    return versions;
}

} // namespace

Q_DECLARE_METATYPE(HttpTestServer::Response)

class TestUpdateChecker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();
    void selection_data();
    void selection();
    void failedCheck_data();
    void failedCheck();
    void quietCheck();
    void redirectsForAllRequests();
    void redirectSafety_data();
    void redirectSafety();
    void downloadWithProgress();
    void checksum_data();
    void checksum();
    void failedDownload_data();
    void failedDownload();
    void sizesBeyondInt();
    void abortDownloadKeepsOffer();
    void install_data();
    void install();
    void forcedCheckInstallsListedVersion();
    void cleansOutgrownDownloads();
    void sizeText_data();
    void sizeText();

private:
    void runCheck(bool forced = false);
    void serveInformation(const QByteArray &entries);
    void downloadToEnd();
    QString base() const { return m_server->url(QString()).toString(); }

    std::unique_ptr<HttpTestServer> m_server;
    std::unique_ptr<UpdateChecker> m_checker;
};

void TestUpdateChecker::initTestCase()
{
    QStandardPaths::setTestModeEnabled(true);
    QCoreApplication::setApplicationName(QStringLiteral("Tesselo"));
    QCoreApplication::setOrganizationName(QStringLiteral("Quorvane"));
}

void TestUpdateChecker::init()
{
    QCoreApplication::setApplicationVersion(RunningVersion);
    QDir(UpdateChecker::downloadFolder()).removeRecursively();
    m_server = std::make_unique<HttpTestServer>();
    m_checker = std::make_unique<UpdateChecker>(m_server->url(QStringLiteral("/info")));
    m_checker->setTimeouts(1000, 2000);
    m_checker->setSystem(QStringLiteral("linux"), QStringLiteral("12.0"));
}

void TestUpdateChecker::cleanup()
{
    m_checker.reset();
    m_server.reset();
}

void TestUpdateChecker::runCheck(bool forced)
{
    m_checker->check(forced);
    QCOMPARE(m_checker->state(), UpdateChecker::Checking);
    QTRY_VERIFY(m_checker->state() != UpdateChecker::Checking);
}

void TestUpdateChecker::serveInformation(const QByteArray &entries)
{
    m_server->setResponse("GET", "/info", ok(document(entries).replace('@', base().toUtf8())));
}

void TestUpdateChecker::downloadToEnd()
{
    QCOMPARE(m_checker->state(), UpdateChecker::UpdateAvailable);
    m_checker->download();
    QCOMPARE(m_checker->state(), UpdateChecker::Downloading);
    QTRY_VERIFY(m_checker->state() != UpdateChecker::Downloading);
}

void TestUpdateChecker::selection_data()
{
    QTest::addColumn<QString>("running");
    QTest::addColumn<QByteArray>("entries");
    QTest::addColumn<int>("state");
    QTest::addColumn<QStringList>("versions");

    const QString pkg = QStringLiteral("@/dl/tesselo.deb");
    QTest::newRow("release user ignores betas")
        << "1.2" << entry("1.3 beta 1", pkg) + entry("1.2", pkg) << int(UpdateChecker::UpToDate)
        << QStringList { "1.2" };
    QTest::newRow("beta tester offered release and next beta")
        << "1.3 beta 1" << entry("1.3 beta 2", pkg) + entry("1.3", pkg) + entry("1.2", pkg)
        << int(UpdateChecker::UpdateAvailable) << QStringList { "1.3", "1.3 beta 2" };
    QTest::newRow("newest first") << "1.2"
                                  << entry("1.2.1", pkg) + entry("1.2.3", pkg) + entry("1.2.2", pkg)
                                  << int(UpdateChecker::UpdateAvailable)
                                  << QStringList { "1.2.3", "1.2.2", "1.2.1" };
    QTest::newRow("equal keys keep document order")
        << "1.0" << entry("1.1", pkg) + entry("1.0.5", pkg) + entry("1.1.0", pkg)
        << int(UpdateChecker::UpdateAvailable) << QStringList { "1.1", "1.1.0", "1.0.5" };
    QTest::newRow("only the running version")
        << "1.2" << entry("1.2", pkg) << int(UpdateChecker::UpToDate) << QStringList { "1.2" };
    QTest::newRow("climbing version refused")
        << "1.0" << entry("2.0/../../x", pkg) + entry("1.5", pkg)
        << int(UpdateChecker::UpdateAvailable) << QStringList { "1.5" };
    QTest::newRow("file name with separators refused")
        << "1.0" << entry("2.0", QStringLiteral("@/dl/..\\..\\x.deb"))
        << int(UpdateChecker::UpToDate) << QStringList();
    QTest::newRow("local file refused")
        << "1.0" << entry("2.0", QStringLiteral("file:///etc/hosts"))
        << int(UpdateChecker::UpToDate) << QStringList();
    QTest::newRow("broken checksum refused") << "1.0" << entry("2.0", pkg, " sha256=\"12ab\"")
                                             << int(UpdateChecker::UpToDate) << QStringList();
    QTest::newRow("system too old") << "1.0" << entry("2.0", pkg, " min=\"99\"")
                                    << int(UpdateChecker::UpToDate) << QStringList();
    QTest::newRow("windows only")
        << "1.0"
        << QByteArray("<VersionInfo><current>2.0</current><url><win>@/setup.exe</win>"
                      "</url></VersionInfo>")
        << int(UpdateChecker::UpToDate) << QStringList();
    QTest::newRow("no version at all")
        << "1.0" << QByteArray("<VersionInfo><build>12</build></VersionInfo>")
        << int(UpdateChecker::Error) << QStringList();
    QTest::newRow("malformed") << "1.0" << entry("2.0", pkg) + "<VersionInfo><current>"
                               << int(UpdateChecker::Error) << QStringList();
}

void TestUpdateChecker::selection()
{
    QFETCH(QString, running);
    QFETCH(QByteArray, entries);
    QFETCH(int, state);
    QFETCH(QStringList, versions);

    QCoreApplication::setApplicationVersion(running);
    serveInformation(entries);
    runCheck();
    QCOMPARE(int(m_checker->state()), state);
    QCOMPARE(versionsOf(*m_checker), versions);
    QCOMPARE(m_checker->latestVersion(), versions.value(0));
    if (state == UpdateChecker::Error)
        QCOMPARE(m_checker->error(), QStringLiteral("Failed to parse version information data."));
    QCOMPARE(m_checker->statusAction()->isVisible(), state == UpdateChecker::UpdateAvailable);
    QVERIFY(m_checker->lastCheck().isValid());
}

void TestUpdateChecker::failedCheck_data()
{
    QTest::addColumn<Response>("response");
    QTest::addColumn<QString>("error");

    Response missing;
    missing.status = 404;
    QTest::newRow("not found") << missing << "Can't check for update: ";
    Response hanging;
    hanging.hang = true;
    QTest::newRow("silent server") << hanging << "Can't check for update: the server stopped";
    Response trickling = ok(document(QByteArray(4000, ' ')));
    trickling.pieceSize = 1;
    trickling.pieceDelayMs = 5;
    QTest::newRow("trickling server") << trickling << "Can't check for update: the server took";
    Response huge = ok(document(QByteArray(2 * 1024 * 1024, ' ')));
    QTest::newRow("oversized") << huge << "Failed to parse version information data.";
    Response hugeUnannounced = huge;
    hugeUnannounced.contentLength = -2;
    QTest::newRow("oversized without length")
        << hugeUnannounced << "Failed to parse version information data.";
    Response loop;
    loop.status = 302;
    loop.headers = { { "Location", "/info" } };
    QTest::newRow("redirect loop") << loop << "Can't check for update: too many redirects";
    Response toFile;
    toFile.status = 301;
    toFile.headers = { { "Location", "file:///etc/hosts" } };
    QTest::newRow("redirect to a local file") << toFile << "Can't check for update: refused";
    Response toFtp = toFile;
    toFtp.headers = { { "Location", "ftp://127.0.0.1/info" } };
    QTest::newRow("redirect to ftp") << toFtp << "Can't check for update: refused";
}

void TestUpdateChecker::failedCheck()
{
    QFETCH(Response, response);
    QFETCH(QString, error);
    m_server->setResponse("GET", "/info", response);
    QSignalSpy errors(m_checker.get(), &UpdateChecker::errorMessageChanged);
    runCheck();
    QCOMPARE(m_checker->state(), UpdateChecker::Error);
    QVERIFY2(m_checker->error().startsWith(error), qPrintable(m_checker->error()));
    QCOMPARE(m_checker->stateName(), QStringLiteral("error"));
    QVERIFY(!errors.isEmpty());
}

void TestUpdateChecker::quietCheck()
{
    m_checker->setQuiet(true);
    runCheck(); // nothing is served at /info
    QCOMPARE(m_checker->state(), UpdateChecker::UpToDate);
    QVERIFY(m_checker->error().isEmpty());
}

void TestUpdateChecker::redirectsForAllRequests()
{
    const QByteArray bytes = package(100000);
    m_server->redirect("/info", "/moved/info");
    m_server->setResponse("GET", "/moved/info",
        ok(document(
            entry("2.0", QStringLiteral("@/dl/tesselo.deb"), "", "<changes>- better</changes>"))
                .replace('@', base().toUtf8())));
    m_server->redirect("/dl/tesselo.deb", "/mirror/tesselo-2.0.deb", 301);
    m_server->setResponse("/mirror/tesselo-2.0.deb", ok(bytes));

    QSignalSpy size(m_checker.get(), &UpdateChecker::downloadSizeChanged);
    runCheck();
    QCOMPARE(m_checker->state(), UpdateChecker::UpdateAvailable);
    QTRY_COMPARE(m_checker->downloadSize(), qint64(bytes.size()));
    QVERIFY(m_checker->statusAction()->text().endsWith(QLatin1String("(97.7 kB)")));
    downloadToEnd();
    QCOMPARE(m_checker->state(), UpdateChecker::InstallAvailable);

    QCOMPARE(m_server->requestLines(),
        (QList<QByteArray> { "GET /info", "GET /moved/info", "HEAD /dl/tesselo.deb",
            "HEAD /mirror/tesselo-2.0.deb", "GET /dl/tesselo.deb",
            "GET /mirror/tesselo-2.0.deb" }));
    // The file keeps the name the update information gave it.
    const QString target = UpdateChecker::downloadFolder() + QStringLiteral("/2.0/tesselo.deb");
    QCOMPARE(m_checker->targetPath(), target);
    QFile file(target);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), bytes);
    QVERIFY(!QFile::exists(target + QStringLiteral(".part")));

    for (const HttpTestServer::Request &request : m_server->requests()) {
        QCOMPARE(request.headers.value("allow-redirect"), QByteArray("true"));
        QVERIFY(request.headers.value("user-agent").startsWith("UpdateChecker (Tesselo v0.9.6 / "));
    }
}

void TestUpdateChecker::redirectSafety_data()
{
    QTest::addColumn<QUrl>("from");
    QTest::addColumn<QUrl>("to");
    QTest::addColumn<bool>("safe");
    const QUrl https(QStringLiteral("https://quorvane.example/a"));
    const QUrl http(QStringLiteral("http://127.0.0.1/a"));
    QTest::newRow("https to https") << https << QUrl("https://cdn.example/b") << true;
    QTest::newRow("https to http") << https << QUrl("http://cdn.example/b") << false;
    QTest::newRow("http to https") << http << QUrl("https://cdn.example/b") << true;
    QTest::newRow("http to http") << http << QUrl("http://127.0.0.1/b") << true;
    QTest::newRow("to a file") << http << QUrl("file:///etc/hosts") << false;
    QTest::newRow("to a resource") << http << QUrl("qrc:/x") << false;
    QTest::newRow("to ftp") << http << QUrl("ftp://cdn.example/b") << false;
}

void TestUpdateChecker::redirectSafety()
{
    QFETCH(QUrl, from);
    QFETCH(QUrl, to);
    QFETCH(bool, safe);
    QCOMPARE(UpdateChecker::isSafeRedirect(from, to), safe);
}

void TestUpdateChecker::downloadWithProgress()
{
    const QByteArray bytes = package(300000);
    Response slow = ok(bytes);
    slow.pieceSize = 65536;
    slow.pieceDelayMs = 20;
    m_server->setResponse("/dl/tesselo.deb", slow);
    serveInformation(entry("2.0", QStringLiteral("@/dl/tesselo.deb")));
    runCheck();
    QTRY_COMPARE(m_checker->downloadSize(), qint64(bytes.size()));

    QSignalSpy progress(m_checker.get(), &UpdateChecker::progressChanged);
    downloadToEnd();
    QCOMPARE(m_checker->state(), UpdateChecker::InstallAvailable);
    QVERIFY(progress.size() >= 2);
    qint64 previous = 0;
    for (const QList<QVariant> &step : std::as_const(progress)) {
        QVERIFY(step.at(0).toLongLong() > previous);
        QCOMPARE(step.at(1).toLongLong(), qint64(bytes.size()));
        previous = step.at(0).toLongLong();
    }
    QCOMPARE(previous, qint64(bytes.size()));
    QCOMPARE(m_checker->downloaded(), qint64(bytes.size()));
    QCOMPARE(m_checker->statusAction()->text(), QStringLiteral("Exit and install update"));
}

void TestUpdateChecker::checksum_data()
{
    QTest::addColumn<bool>("matching");
    QTest::newRow("matching") << true;
    QTest::newRow("damaged") << false;
}

void TestUpdateChecker::checksum()
{
    QFETCH(bool, matching);
    const QByteArray bytes = package(5000);
    QByteArray sent = bytes;
    if (!matching)
        sent[1234] = char(sent[1234] ^ 1);
    const QByteArray sha = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
    m_server->setResponse("/dl/tesselo.deb", ok(sent));
    serveInformation(
        entry("2.0", QStringLiteral("@/dl/tesselo.deb"), " sha256=\"" + sha.toUpper() + "\""));
    runCheck();
    downloadToEnd();
    const QString target = UpdateChecker::downloadFolder() + QStringLiteral("/2.0/tesselo.deb");
    if (matching) {
        QCOMPARE(m_checker->state(), UpdateChecker::InstallAvailable);
        QVERIFY(QFile::exists(target));
    } else {
        QCOMPARE(m_checker->state(), UpdateChecker::Error);
        QVERIFY(m_checker->error().contains(QLatin1String("checksum")));
        QVERIFY(!QFile::exists(target));
        QVERIFY(!QFile::exists(target + QStringLiteral(".part")));
    }
}

void TestUpdateChecker::failedDownload_data()
{
    QTest::addColumn<Response>("head");
    QTest::addColumn<Response>("get");
    QTest::addColumn<QString>("error");

    const QByteArray bytes = package(200000);
    Response head = ok(bytes);
    Response cut = ok(bytes);
    cut.cutAfter = 70000;
    QTest::newRow("connection cut") << head << cut << "Can't get update: ";

    Response small;
    small.contentLength = 1000;
    Response endless = ok(bytes);
    endless.contentLength = -2;
    endless.pieceSize = 16384;
    endless.pieceDelayMs = 1;
    QTest::newRow("more than announced")
        << small << endless << "Can't get update: the server sent more than it announced";

    Response missing;
    missing.status = 404;
    QTest::newRow("not found") << head << missing << "Can't get update: ";

    Response stalled = ok(bytes);
    stalled.pieceSize = 50000;
    stalled.pieceDelayMs = 5000;
    QTest::newRow("stalled") << head << stalled << "Can't get update: the server stopped answering";
}

void TestUpdateChecker::failedDownload()
{
    QFETCH(Response, head);
    QFETCH(Response, get);
    QFETCH(QString, error);
    m_server->setResponse("HEAD", "/dl/tesselo.deb", head);
    m_server->setResponse("GET", "/dl/tesselo.deb", get);
    serveInformation(entry("2.0", QStringLiteral("@/dl/tesselo.deb")));
    runCheck();
    // The download is held to the size the size request announced.
    QTRY_VERIFY(m_checker->downloadSize() > 0);
    downloadToEnd();
    QCOMPARE(m_checker->state(), UpdateChecker::Error);
    QVERIFY2(m_checker->error().startsWith(error), qPrintable(m_checker->error()));
    const QString target = UpdateChecker::downloadFolder() + QStringLiteral("/2.0/tesselo.deb");
    QVERIFY(!QFile::exists(target + QStringLiteral(".part")));
    QVERIFY(!QFile::exists(target));
}

// A size announced beyond 2 GiB is neither truncated nor wrapped negative.
void TestUpdateChecker::sizesBeyondInt()
{
    const qint64 threeGiB = qint64(3) * 1024 * 1024 * 1024;
    Response head;
    head.contentLength = threeGiB;
    m_server->setResponse("HEAD", "/dl/tesselo.deb", head);
    serveInformation(entry("2.0", QStringLiteral("@/dl/tesselo.deb")));
    runCheck();
    QTRY_COMPARE(m_checker->downloadSize(), threeGiB);
    QVERIFY(m_checker->statusAction()->text().endsWith(QLatin1String("(3.0 GB)")));
    QVERIFY(UpdateChecker::downloadLimit(threeGiB) > threeGiB);
    QVERIFY(UpdateChecker::downloadLimit(threeGiB) < threeGiB + threeGiB / 50);
    QVERIFY(UpdateChecker::downloadLimit(0) > threeGiB); // unknown: only the hard ceiling
}

void TestUpdateChecker::abortDownloadKeepsOffer()
{
    Response slow = ok(package(400000));
    slow.pieceSize = 1000;
    slow.pieceDelayMs = 10;
    m_server->setResponse("/dl/tesselo.deb", slow);
    serveInformation(entry("2.0", QStringLiteral("@/dl/tesselo.deb")));
    runCheck();
    QTRY_VERIFY(m_checker->downloadSize() > 0);
    QSignalSpy progress(m_checker.get(), &UpdateChecker::progressChanged);
    m_checker->download();
    QTRY_VERIFY(!progress.isEmpty());
    m_checker->abortDownload();
    QCOMPARE(m_checker->state(), UpdateChecker::UpdateAvailable);
    QCOMPARE(m_checker->statusAction()->text(), QStringLiteral("Download update (390.6 kB)"));
    const qsizetype steps = progress.size();
    QTest::qWait(100);
    QCOMPARE(progress.size(), steps); // the dropped reply is no longer heard
    QCOMPARE(m_checker->state(), UpdateChecker::UpdateAvailable);
}

void TestUpdateChecker::install_data()
{
    QTest::addColumn<bool>("handled");
    QTest::newRow("handler takes it") << true;
    QTest::newRow("nothing takes it") << false;
}

void TestUpdateChecker::install()
{
    QFETCH(bool, handled);
    QString handedOver;
    m_checker->setInstallHandler([&](const QString &path) {
        handedOver = path;
        return handled;
    });
    m_server->setResponse("/dl/tesselo.deb", ok(package(1000)));
    serveInformation(entry("2.0", QStringLiteral("@/dl/tesselo.deb")));
    runCheck();
    downloadToEnd();
    QSignalSpy exit(m_checker.get(), &UpdateChecker::exitRequest);
    QSignalSpy prepare(m_checker.get(), &UpdateChecker::prepareForExit);
    m_checker->install();
    QCOMPARE(handedOver, m_checker->targetPath());
    QVERIFY(QFile::exists(handedOver));
    QCOMPARE(prepare.size(), 1);
    QCOMPARE(exit.size(), handled ? 1 : 0);
    QCOMPARE(m_checker->state(), handled ? UpdateChecker::Normal : UpdateChecker::Error);
    if (!handled)
        QCOMPARE(m_checker->error(), QStringLiteral("Can't install update"));
}

// A forced check takes the newest listed version, even an older one, and
// goes on to download and install it.
void TestUpdateChecker::forcedCheckInstallsListedVersion()
{
    QString handedOver;
    m_checker->setInstallHandler([&](const QString &path) {
        handedOver = path;
        return true;
    });
    m_server->setResponse("/dl/old.deb", ok(package(2000)));
    serveInformation(entry("0.5", QStringLiteral("@/dl/old.deb")));
    QSignalSpy exit(m_checker.get(), &UpdateChecker::exitRequest);
    m_checker->check(true);
    QTRY_COMPARE(exit.size(), 1);
    QCOMPARE(handedOver, UpdateChecker::downloadFolder() + QStringLiteral("/0.5/old.deb"));
    QCOMPARE(m_checker->state(), UpdateChecker::Normal);
    QVERIFY(m_server->requests()
                .first()
                .headers.value("user-agent")
                .startsWith("UpdateChecker [forced] (Tesselo v0.9.6 / "));
}

void TestUpdateChecker::cleansOutgrownDownloads()
{
    const QString folder = UpdateChecker::downloadFolder();
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/0.9.5/sub")));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/0.9.6")));
    QVERIFY(QDir().mkpath(folder + QStringLiteral("/1.0")));
    runCheck();
    QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/0.9.5")));
    QVERIFY(!QFileInfo::exists(folder + QStringLiteral("/0.9.6")));
    QVERIFY(QFileInfo::exists(folder + QStringLiteral("/1.0")));
}

void TestUpdateChecker::sizeText_data()
{
    QTest::addColumn<qint64>("bytes");
    QTest::addColumn<QString>("text");
    QTest::newRow("bytes") << qint64(812) << "812";
    QTest::newRow("kilobytes") << qint64(1536) << "1.5 kB";
    QTest::newRow("megabytes") << qint64(14784921) << "14.1 MB";
    QTest::newRow("gigabytes") << qint64(5) * 1024 * 1024 * 1024 << "5.0 GB";
}

void TestUpdateChecker::sizeText()
{
    QFETCH(qint64, bytes);
    QFETCH(QString, text);
    QCOMPARE(UpdateChecker::sizeText(bytes), text);
}

QTEST_MAIN(TestUpdateChecker)
#include "tst_updatechecker.moc"
