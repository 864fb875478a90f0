#include <QtTest>

#include <QAction>
#include <QCryptographicHash>
#include <QDir>
#include <QFile>

#include "update/updatechecker.h"
#include "updatetestdata.h"

using namespace UpdateTestData;

namespace {

const QString Pkg = QStringLiteral("@/dl/tesselo.deb");

// One entry a version, all pointing at the same package.
QByteArray entries(const QStringList &versions)
{
    QByteArray xml;
    for (const QString &version : versions)
        xml += entry(version, Pkg);
    return xml;
}

Response status(int code, const QByteArray &location = QByteArray())
{
    Response response;
    response.status = code;
    if (!location.isEmpty())
        response.headers = { { "Location", location } };
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

QString target(const QString &version = QStringLiteral("2.0"))
{
    return UpdateChecker::downloadFolder() + '/' + version + QStringLiteral("/tesselo.deb");
}

} // namespace

Q_DECLARE_METATYPE(HttpTestServer::Response)

class TestUpdateChecker : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpApplication(); }

    void init()
    {
        QCoreApplication::setApplicationVersion(QStringLiteral("0.9.6"));
        QDir(UpdateChecker::downloadFolder()).removeRecursively();
        m_server = std::make_unique<HttpTestServer>();
        m_checker = std::make_unique<UpdateChecker>(m_server->url(QStringLiteral("/info")));
        m_checker->setTimeouts(1000, 2000);
        m_checker->setSystem(QStringLiteral("linux"), QStringLiteral("12.0"));
    }

    void cleanup()
    {
        m_checker.reset();
        m_server.reset();
    }

    void selection_data()
    {
        QTest::addColumn<QString>("running");
        QTest::addColumn<QByteArray>("entries");
        QTest::addColumn<int>("state");
        QTest::addColumn<QStringList>("versions");

        const int none = UpdateChecker::UpToDate, offer = UpdateChecker::UpdateAvailable;
        const auto row = [](const char *tag, const char *running, const QByteArray &entries,
                             int state, const QStringList &versions) {
            QTest::newRow(tag) << QString(running) << entries << state << versions;
        };
        row("release user ignores betas", "1.2", entries({ "1.3 beta 1", "1.2" }), none, { "1.2" });
        row("beta tester offered release and next beta", "1.3 beta 1",
            entries({ "1.3 beta 2", "1.3", "1.2" }), offer, { "1.3", "1.3 beta 2" });
        row("newest first", "1.2", entries({ "1.2.1", "1.2.3", "1.2.2" }), offer,
            { "1.2.3", "1.2.2", "1.2.1" });
        row("equal keys keep document order", "1.0", entries({ "1.1", "1.0.5", "1.1.0" }), offer,
            { "1.1", "1.1.0", "1.0.5" });
        row("only the running version", "1.2", entries({ "1.2" }), none, { "1.2" });
        row("climbing version refused", "1.0", entries({ "2.0/../../x", "1.5" }), offer, { "1.5" });
        row("file name with separators refused", "1.0", entry("2.0", "@/dl/..\\..\\x.deb"), none,
            {});
        row("local file refused", "1.0", entry("2.0", "file:///etc/hosts"), none, {});
        row("broken checksum refused", "1.0", entry("2.0", Pkg, " sha256=\"12ab\""), none, {});
        row("system too old", "1.0", entry("2.0", Pkg, " min=\"99\""), none, {});
        row("windows only", "1.0",
            "<VersionInfo><current>2.0</current><url><win>@/setup.exe</win></url></VersionInfo>",
            none, {});
        row("no version at all", "1.0", "<VersionInfo><build>12</build></VersionInfo>",
            UpdateChecker::Error, {});
        row("malformed", "1.0", entry("2.0", Pkg) + "<VersionInfo><current>", UpdateChecker::Error,
            {});
    }

    void selection()
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
            QCOMPARE(
                m_checker->error(), QStringLiteral("Failed to parse version information data."));
        QCOMPARE(m_checker->statusAction()->isVisible(), state == UpdateChecker::UpdateAvailable);
        QVERIFY(m_checker->lastCheck().isValid());
    }

    void failedCheck_data()
    {
        QTest::addColumn<bool>("quiet");
        QTest::addColumn<Response>("response");
        QTest::addColumn<QString>("error");

        Response hanging;
        hanging.hang = true;
        Response huge = ok("<UpdateInfo>" + QByteArray(2 * 1024 * 1024, ' ') + "</UpdateInfo>");
        Response hugeUnannounced = huge;
        hugeUnannounced.contentLength = -2;
        const QString parse = QStringLiteral("Failed to parse version information data.");
        QTest::newRow("not found") << false << status(404) << "Can't check for update: ";
        QTest::newRow("not found, quiet") << true << status(404) << QString();
        QTest::newRow("silent server")
            << false << hanging << "Can't check for update: the server stopped";
        QTest::newRow("trickling server") << false << ok(QByteArray(4000, ' '), 1, 5)
                                          << "Can't check for update: the server took";
        QTest::newRow("oversized") << false << huge << parse;
        QTest::newRow("oversized without length") << false << hugeUnannounced << parse;
        QTest::newRow("redirect loop")
            << false << status(302, "/info") << "Can't check for update: too many redirects";
        QTest::newRow("redirect to a local file")
            << false << status(301, "file:///etc/hosts") << "Can't check for update: refused";
        QTest::newRow("redirect to ftp")
            << false << status(301, "ftp://127.0.0.1/info") << "Can't check for update: refused";
    }

    void failedCheck()
    {
        QFETCH(bool, quiet);
        QFETCH(Response, response);
        QFETCH(QString, error);
        m_server->setResponse("GET", "/info", response);
        m_checker->setQuiet(quiet);
        QSignalSpy errors(m_checker.get(), &UpdateChecker::errorMessageChanged);
        runCheck();
        // A quiet check keeps its failures to itself.
        QCOMPARE(m_checker->state(), quiet ? UpdateChecker::UpToDate : UpdateChecker::Error);
        QVERIFY2(m_checker->error().startsWith(error), qPrintable(m_checker->error()));
        QCOMPARE(m_checker->error().isEmpty(), quiet);
        QCOMPARE(m_checker->stateName(), quiet ? QString() : QStringLiteral("error"));
        QVERIFY(quiet || !errors.isEmpty());
    }

    void redirectSafety_data()
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

    void redirectSafety()
    {
        QFETCH(QUrl, from);
        QFETCH(QUrl, to);
        QFETCH(bool, safe);
        QCOMPARE(UpdateChecker::isSafeRedirect(from, to), safe);
    }

    // Both the information and the package are moved; the package comes in
    // pieces and carries a checksum.
    void downloadThroughRedirects()
    {
        const QByteArray bytes = package(300000);
        const QByteArray sha = QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex();
        m_server->redirect("/info", "/moved/info");
        serveInformation(entry("2.0", Pkg, " sha256=\"" + sha.toUpper() + "\""), "/moved/info");
        m_server->redirect("/dl/tesselo.deb", "/mirror/tesselo-2.0.deb", 301);
        m_server->setResponse("/mirror/tesselo-2.0.deb", ok(bytes, 65536, 20));

        runCheck();
        QTRY_COMPARE(m_checker->downloadSize(), qint64(bytes.size()));
        QCOMPARE(m_checker->statusAction()->text(), QStringLiteral("Download update (293.0 kB)"));
        QSignalSpy progress(m_checker.get(), &UpdateChecker::progressChanged);
        downloadToEnd();
        QCOMPARE(m_checker->state(), UpdateChecker::InstallAvailable);
        QCOMPARE(m_checker->statusAction()->text(), QStringLiteral("Exit and install update"));
        QVERIFY(progress.size() >= 2);
        qint64 previous = 0;
        for (const QList<QVariant> &step : std::as_const(progress)) {
            QVERIFY(step.at(0).toLongLong() > previous);
            QCOMPARE(step.at(1).toLongLong(), qint64(bytes.size()));
            previous = step.at(0).toLongLong();
        }
        QCOMPARE(previous, qint64(bytes.size()));
        QCOMPARE(m_checker->downloaded(), qint64(bytes.size()));

        QCOMPARE(m_server->requestLines(),
            (QList<QByteArray> { "GET /info", "GET /moved/info", "HEAD /dl/tesselo.deb",
                "HEAD /mirror/tesselo-2.0.deb", "GET /dl/tesselo.deb",
                "GET /mirror/tesselo-2.0.deb" }));
        // The file keeps the name the update information gave it.
        QCOMPARE(m_checker->targetPath(), target());
        QFile file(target());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        QVERIFY(!QFile::exists(target() + QStringLiteral(".part")));
        for (const HttpTestServer::Request &request : m_server->requests()) {
            QCOMPARE(request.headers.value("allow-redirect"), QByteArray("true"));
            QVERIFY(
                request.headers.value("user-agent").startsWith("UpdateChecker (Tesselo v0.9.6 / "));
        }
    }

    void failedDownload_data()
    {
        QTest::addColumn<Response>("head");
        QTest::addColumn<Response>("get");
        QTest::addColumn<QString>("error");

        const QByteArray bytes = package(200000);
        Response cut = ok(bytes);
        cut.cutAfter = 70000;
        Response small;
        small.contentLength = 1000;
        Response endless = ok(bytes, 16384, 1);
        endless.contentLength = -2;
        QByteArray damaged = bytes;
        damaged[1234] = char(damaged[1234] ^ 1);
        QTest::newRow("connection cut") << ok(bytes) << cut << "Can't get update: ";
        QTest::newRow("more than announced")
            << small << endless << "Can't get update: the server sent more than it announced";
        QTest::newRow("not found") << ok(bytes) << status(404) << "Can't get update: ";
        QTest::newRow("stalled") << ok(bytes) << ok(bytes, 50000, 5000)
                                 << "Can't get update: the server stopped answering";
        QTest::newRow("damaged")
            << ok(bytes) << ok(damaged)
            << "Can't get update: the file is damaged (its checksum does not match)";
    }

    void failedDownload()
    {
        QFETCH(Response, head);
        QFETCH(Response, get);
        QFETCH(QString, error);
        const QByteArray sha
            = QCryptographicHash::hash(package(200000), QCryptographicHash::Sha256).toHex();
        m_server->setResponse("HEAD", "/dl/tesselo.deb", head);
        m_server->setResponse("GET", "/dl/tesselo.deb", get);
        // The download is held to the size the size request announced.
        offer(" sha256=\"" + sha + "\"");
        downloadToEnd();
        QCOMPARE(m_checker->state(), UpdateChecker::Error);
        QVERIFY2(m_checker->error().startsWith(error), qPrintable(m_checker->error()));
        QVERIFY(!QFile::exists(target() + QStringLiteral(".part")));
        QVERIFY(!QFile::exists(target()));
    }

    // A size announced beyond 2 GiB is neither truncated nor wrapped negative.
    void sizesBeyondInt()
    {
        const qint64 threeGiB = qint64(3) * 1024 * 1024 * 1024;
        Response head;
        head.contentLength = threeGiB;
        m_server->setResponse("HEAD", "/dl/tesselo.deb", head);
        offer();
        QCOMPARE(m_checker->downloadSize(), threeGiB);
        QVERIFY(m_checker->statusAction()->text().endsWith(QLatin1String("(3.0 GB)")));
        QVERIFY(UpdateChecker::downloadLimit(threeGiB) > threeGiB);
        QVERIFY(UpdateChecker::downloadLimit(threeGiB) < threeGiB + threeGiB / 50);
        QVERIFY(UpdateChecker::downloadLimit(0) > threeGiB); // unknown: only the hard ceiling
    }

    void abortDownloadKeepsOffer()
    {
        m_server->setResponse("/dl/tesselo.deb", ok(package(400000), 1000, 10));
        offer();
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

    void install_data()
    {
        QTest::addColumn<bool>("handled");
        QTest::addColumn<bool>("forced");
        QTest::newRow("handler takes it") << true << false;
        QTest::newRow("nothing takes it") << false << false;
        // A forced check takes the newest listed version, even an older one,
        // and goes on to download and install it.
        QTest::newRow("forced check of an older version") << true << true;
    }

    void install()
    {
        QFETCH(bool, handled);
        QFETCH(bool, forced);
        QString handedOver;
        m_checker->setInstallHandler([&](const QString &path) {
            handedOver = path;
            return handled;
        });
        const QString version = forced ? QStringLiteral("0.5") : QStringLiteral("2.0");
        m_server->setResponse("/dl/tesselo.deb", ok(package(1000)));
        serveInformation(entry(version, Pkg));
        QSignalSpy exit(m_checker.get(), &UpdateChecker::exitRequest);
        QSignalSpy prepare(m_checker.get(), &UpdateChecker::prepareForExit);
        if (forced) {
            m_checker->check(true);
            QTRY_COMPARE(exit.size(), 1);
        } else {
            runCheck();
            downloadToEnd();
            m_checker->install();
        }
        QCOMPARE(handedOver, target(version));
        QVERIFY(QFile::exists(handedOver));
        QCOMPARE(prepare.size(), 1);
        QCOMPARE(exit.size(), handled ? 1 : 0);
        QCOMPARE(m_checker->state(), handled ? UpdateChecker::Normal : UpdateChecker::Error);
        QCOMPARE(m_checker->error(), handled ? QString() : QStringLiteral("Can't install update"));
        const QByteArray agent
            = forced ? "UpdateChecker [forced] (Tesselo" : "UpdateChecker (Tesselo";
        QVERIFY(m_server->requests()
                    .first()
                    .headers.value("user-agent")
                    .startsWith(agent + " v0.9.6 / "));
    }

    void cleansOutgrownDownloads()
    {
        const QString folder = UpdateChecker::downloadFolder() + '/';
        for (const char *version : { "0.9.5/sub", "0.9.6", "1.0" })
            QVERIFY(QDir().mkpath(folder + version));
        runCheck();
        QVERIFY(!QFileInfo::exists(folder + "0.9.5"));
        QVERIFY(!QFileInfo::exists(folder + "0.9.6"));
        QVERIFY(QFileInfo::exists(folder + "1.0"));
    }

    void sizeText_data()
    {
        QTest::addColumn<qint64>("bytes");
        QTest::addColumn<QString>("text");
        QTest::newRow("bytes") << qint64(812) << "812";
        QTest::newRow("kilobytes") << qint64(1536) << "1.5 kB";
        QTest::newRow("megabytes") << qint64(14784921) << "14.1 MB";
        QTest::newRow("gigabytes") << qint64(5) * 1024 * 1024 * 1024 << "5.0 GB";
    }

    void sizeText()
    {
        QFETCH(qint64, bytes);
        QFETCH(QString, text);
        QCOMPARE(UpdateChecker::sizeText(bytes), text);
    }

private:
    void runCheck(bool forced = false)
    {
        m_checker->check(forced);
        QCOMPARE(m_checker->state(), UpdateChecker::Checking);
        QTRY_VERIFY(m_checker->state() != UpdateChecker::Checking);
    }

    void serveInformation(const QByteArray &entries, const QByteArray &path = "/info")
    {
        m_server->setResponse("GET", path, ok(information(entries, base())));
    }

    // Version 2.0 of the package at /dl/tesselo.deb, checked and measured.
    void offer(const QByteArray &attributes = QByteArray())
    {
        serveInformation(entry("2.0", Pkg, attributes));
        runCheck();
        QTRY_VERIFY(m_checker->downloadSize() > 0);
    }

    void downloadToEnd()
    {
        QCOMPARE(m_checker->state(), UpdateChecker::UpdateAvailable);
        m_checker->download();
        QCOMPARE(m_checker->state(), UpdateChecker::Downloading);
        QTRY_VERIFY(m_checker->state() != UpdateChecker::Downloading);
    }

    QString base() const { return m_server->url(QString()).toString(); }

    std::unique_ptr<HttpTestServer> m_server;
    std::unique_ptr<UpdateChecker> m_checker;
};

QTEST_MAIN(TestUpdateChecker)
#include "tst_updatechecker.moc"
