#include <QtTest>

#include <QAction>
#include <QApplication>
#include <QCryptographicHash>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>

#include "support/httptestserver.h"
#include "update/downloaddialog.h"
#include "update/updatechecker.h"
#include "update/updatedialog.h"
#include "update/updateinforeader.h"
#include "update/updater.h"
#include "update/versionkey.h"

namespace {

using Response = HttpTestServer::Response;

// One "VersionInfo" with one linux address; `extra` follows the addresses.
QByteArray entry(const QString &version, const QString &address,
    const QByteArray &attributes = QByteArray(), const QByteArray &extra = QByteArray())
{
    return "<VersionInfo><current>" + version.toUtf8() + "</current><url><linux" + attributes + ">"
        + address.toUtf8() + "</linux></url>" + extra + "</VersionInfo>";
}

Response ok(const QByteArray &body, int pieceSize = 0, int pieceDelayMs = 0)
{
    Response response;
    response.body = body;
    response.pieceSize = pieceSize;
    response.pieceDelayMs = pieceDelayMs;
    return response;
}

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

QString target(const QString &version = QStringLiteral("2.0"))
{
    return UpdateChecker::downloadFolder() + '/' + version + QStringLiteral("/tesselo.deb");
}

// The comparisons of versions, builds and systems, and the check of names
// that become files, by the name a table row gives.
bool compare(const QString &function, const QString &first, const QString &second)
{
    using namespace VersionKey;
    if (function == QLatin1String("less"))
        return versionKey(first) < versionKey(second);
    if (function == QLatin1String("newer"))
        return isNewer(first, second);
    if (function == QLatin1String("build"))
        return isNewerBuild(first, second);
    if (function == QLatin1String("plain"))
        return UpdateInfoReader::isPlainName(first);
    // The range is "min-max"; either side may be empty.
    return osVersionMatches(first.section('-', 0, 0), first.section('-', 1), second);
}

} // namespace

Q_DECLARE_METATYPE(HttpTestServer::Response)

// The update checker, from the comparisons it makes to the dialogs it shows.
class TestUpdates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The test runs as Tesselo 0.9.6, with settings and downloads kept apart.
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        QCoreApplication::setApplicationName(QStringLiteral("Tesselo"));
        QCoreApplication::setOrganizationName(QStringLiteral("Quorvane"));
    }

    void init()
    {
        QCoreApplication::setApplicationVersion(QStringLiteral("0.9.6"));
        QSettings().clear();
        QDir(UpdateChecker::downloadFolder()).removeRecursively();
        m_server = std::make_unique<HttpTestServer>();
        m_checker = std::make_unique<UpdateChecker>(m_server->url(QStringLiteral("/info")));
        m_checker->setTimeouts(1000, 2000);
        m_checker->setSystem(QStringLiteral("linux"), QStringLiteral("12.0"));
    }

    void cleanup()
    {
        m_updater.reset();
        m_checker.reset();
        m_server.reset();
        for (QWidget *widget : QApplication::topLevelWidgets())
            widget->close();
    }

    void comparisons_data()
    {
        QTest::addColumn<QString>("function");
        QTest::addColumn<QString>("first");
        QTest::addColumn<QString>("second");
        QTest::addColumn<bool>("result");
        struct Row
        {
            const char *function, *tag, *first, *second;
            bool result;
        };
        const Row rows[] = {
            { "less", "patch numbers, not text", "1.2.3", "1.2.10", true },
            { "less", "beta without space", "1.2beta3", "1.2 Beta 4", true },
            { "less", "huge beta still below release", "1.2 beta 999", "1.2", true },
            { "less", "missing parts are zero", "1.2", "1.2.0.1", true },
            { "less", "part over 255 stops reading", "1.256.9", "1.0.1", true },
            { "less", "equal", "1.2.0", "1.2", false },
            { "newer", "beta of next for release user", "1.3 beta 1", "1.2", true },
            { "newer", "beta of same for release user", "1.2 beta 9", "1.2", false },
            { "newer", "release for its beta tester", "1.3", "1.3 beta 1", true },
            { "newer", "older release for beta tester", "1.2", "1.3 beta 1", false },
            { "newer", "next beta for beta tester", "1.3 beta 2", "1.3 beta 1", true },
            { "build", "over half a year later", "1508", "1002", false },
            { "build", "early next year", "0201", "2011", true },
            { "build", "invalid month counts as day 0", "0105", "0822", true },
            { "build", "empty entry build", "", "0822", false },
            { "os", "min above", "10.0-", "6.1", false },
            { "os", "max below", "-6.0", "6.1", false },
            { "os", "ubuntu style", "22.04-", "22.4", true },
            { "plain", "version", "1.1 beta 2", "", true },
            { "plain", "parent", "..", "", false },
            { "plain", "backslash", "..\\x.exe", "", false },
            { "plain", "drive", "C:x", "", false },
            { "plain", "line break", "a\nb", "", false },
        };
        for (const Row &row : rows)
            QTest::addRow("%s: %s", row.function, row.tag)
                << QString(row.function) << QString(row.first) << QString(row.second) << row.result;
        QTest::newRow("plain: too long") << "plain" << QString(300, 'a') << QString() << false;
    }

    void comparisons()
    {
        QFETCH(QString, function);
        QFETCH(QString, first);
        QFETCH(QString, second);
        QFETCH(bool, result);
        QCOMPARE(compare(function, first, second), result);
        if (function == QLatin1String("less"))
            QVERIFY(!compare(function, second, first));
    }

    void dates()
    {
        QCOMPARE(UpdateInfoReader::parseDate(QStringLiteral(" 5/8/2023 ")), QDate(2023, 8, 5));
        for (const char *refused : { "2023-08-15", "31/02/2023" })
            QCOMPARE(UpdateInfoReader::parseDate(QString::fromLatin1(refused)), QDate());
    }

    void readerWrapsAndChoosesAddress()
    {
        // No root element: read as if wrapped. Of the matching linux addresses
        // the last wins; win addresses and non-matching ranges do not count.
        const QByteArray document = R"(
            <VersionInfo>
              <current> 1.0.3 </current><build>1508</build><date>15/8/2023</date>
              <changes>- first
    - CRITICAL fix</changes>
              <unknown><current>9.9</current></unknown>
              <url>
                <linux min="6.1">https://a.example/one.deb</linux>
                <win>https://a.example/setup.exe</win>
                <linux min="6.0" max="7" sha256="ABCDEF">https://a.example/two.deb</linux>
                <linux min="10.0">https://a.example/three.deb</linux>
              </url>
            </VersionInfo>
            <Other/>
            <VersionInfo><current>1.0.4</current></VersionInfo>)";
        const UpdateInformation info
            = UpdateInfoReader(QStringLiteral("linux"), QStringLiteral("6.1")).read(document);
        QVERIFY(info.ok && info.anyVersion);
        QCOMPARE(info.entries.size(), 2);
        const UpdateEntry &first = info.entries.first();
        QCOMPARE(QStringList({ first.version, first.build, first.url, first.sha256 }),
            QStringList({ "1.0.3", "1508", "https://a.example/two.deb", "abcdef" }));
        QCOMPARE(first.date, QDate(2023, 8, 15));
        QVERIFY(first.changes.contains(QLatin1String("CRITICAL fix")));
        QVERIFY(info.entries.at(1).url.isEmpty());
    }

    void readerRefusesBrokenDocuments_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("ok");
        QTest::newRow("unclosed element")
            << QByteArray("<UpdateInfo><VersionInfo><current>1.0</current>") << false;
        QTest::newRow("markup in a version") << QByteArray(
            "<UpdateInfo><VersionInfo><current>1<b>2</b></current></VersionInfo></UpdateInfo>")
                                             << false;
        QTest::newRow("html page") << QByteArray("<html><body>Not found</body></html>") << true;
        QTest::newRow("too big") << "<UpdateInfo>"
                + QByteArray(UpdateInfoReader::MaxDocumentSize, ' ')
                + "</UpdateInfo>" << false;
    }

    void readerRefusesBrokenDocuments()
    {
        QFETCH(QByteArray, document);
        QFETCH(bool, ok);
        const UpdateInformation info
            = UpdateInfoReader(QStringLiteral("linux"), QStringLiteral("12.0")).read(document);
        QCOMPARE(info.ok, ok);
        QVERIFY(!info.anyVersion && info.entries.isEmpty());
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
        row("equal keys keep document order", "1.0", entries({ "1.1", "1.0.5", "1.1.0" }), offer,
            { "1.1", "1.1.0", "1.0.5" });
        row("climbing version refused", "1.0", entries({ "2.0/../../x", "1.5" }), offer, { "1.5" });
        row("file name with separators refused", "1.0", entry("2.0", "@/dl/..\\..\\x.deb"), none,
            {});
        row("local file refused", "1.0", entry("2.0", "file:///etc/hosts"), none, {});
        row("broken checksum refused", "1.0", entry("2.0", Pkg, " sha256=\"12ab\""), none, {});
        row("no version at all", "1.0", "<VersionInfo><build>12</build></VersionInfo>",
            UpdateChecker::Error, {});
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
        QStringList offered;
        for (const QVariantMap &update : m_checker->updates())
            offered.append(update.value("version").toString());
        QCOMPARE(offered, versions);
        QCOMPARE(m_checker->statusAction()->isVisible(), state == UpdateChecker::UpdateAvailable);
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
    }

    void failedCheck()
    {
        QFETCH(bool, quiet);
        QFETCH(Response, response);
        QFETCH(QString, error);
        m_server->setResponse("GET", "/info", response);
        m_checker->setQuiet(quiet);
        runCheck();
        // A quiet check keeps its failures to itself.
        QCOMPARE(m_checker->state(), quiet ? UpdateChecker::UpToDate : UpdateChecker::Error);
        QVERIFY2(m_checker->error().startsWith(error), qPrintable(m_checker->error()));
        QCOMPARE(m_checker->error().isEmpty(), quiet);
    }

    // A redirect may not leave https, nor go anywhere but the web.
    void redirectSafety()
    {
        const QUrl http(QStringLiteral("http://127.0.0.1/a"));
        QVERIFY(!UpdateChecker::isSafeRedirect(QUrl(QStringLiteral("https://quorvane.example/a")),
            QUrl(QStringLiteral("http://cdn.example/b"))));
        QVERIFY(UpdateChecker::isSafeRedirect(http, QUrl(QStringLiteral("https://cdn.example/b"))));
        QVERIFY(!UpdateChecker::isSafeRedirect(http, QUrl(QStringLiteral("file:///etc/hosts"))));
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
        QSignalSpy progress(m_checker.get(), &UpdateChecker::progressChanged);
        downloadToEnd();
        QCOMPARE(m_checker->state(), UpdateChecker::InstallAvailable);
        const QList<QVariant> last { qint64(bytes.size()), qint64(bytes.size()) };
        QCOMPARE(progress.last(), last);

        QCOMPARE(m_server->requestLines(),
            (QList<QByteArray> { "GET /info", "GET /moved/info", "HEAD /dl/tesselo.deb",
                "HEAD /mirror/tesselo-2.0.deb", "GET /dl/tesselo.deb",
                "GET /mirror/tesselo-2.0.deb" }));
        // The file keeps the name the update information gave it.
        QFile file(target());
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), bytes);
        QVERIFY(!QFile::exists(target() + QStringLiteral(".part")));
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
    }

    void abortDownloadKeepsOffer()
    {
        m_server->setResponse("/dl/tesselo.deb", ok(package(400000), 1000, 10));
        offer();
        QSignalSpy progress(m_checker.get(), &UpdateChecker::progressChanged);
        m_checker->download();
        QTRY_VERIFY(!progress.isEmpty());
        m_checker->abortDownload();
        const qsizetype steps = progress.size();
        QTest::qWait(100);
        QCOMPARE(progress.size(), steps); // the dropped reply is no longer heard
        QCOMPARE(m_checker->state(), UpdateChecker::UpdateAvailable);
    }

    void install_data()
    {
        QTest::addColumn<bool>("handled");
        QTest::addColumn<bool>("forced");
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
        if (forced) {
            m_checker->check(true);
            QTRY_COMPARE(exit.size(), 1);
        } else {
            runCheck();
            downloadToEnd();
            m_checker->install();
        }
        QCOMPARE(handedOver, target(version));
        QCOMPARE(exit.size(), handled ? 1 : 0);
        QCOMPARE(m_checker->state(), handled ? UpdateChecker::Normal : UpdateChecker::Error);
        QCOMPARE(m_checker->error(), handled ? QString() : QStringLiteral("Can't install update"));
    }

    void cleansOutgrownDownloads()
    {
        const QString folder = UpdateChecker::downloadFolder() + '/';
        for (const char *version : { "0.9.5/sub", "0.9.6", "1.0" })
            QVERIFY(QDir().mkpath(folder + version));
        runCheck();
        QCOMPARE(QDir(folder).entryList(QDir::Dirs | QDir::NoDotAndDotDot), QStringList { "1.0" });
    }

    void releasePeriod_data()
    {
        QTest::addColumn<QDate>("released");
        QTest::addColumn<QString>("period");
        const QDate today(2026, 3, 20);
        const QList<QPair<int, QString>> ages { { 15, "15 days" }, { 14, "" }, { 70, "2 months" },
            { 400, "1 year" } };
        for (const auto &[days, period] : ages)
            QTest::addRow("%d days", days) << today.addDays(-days) << period;
        QTest::newRow("years") << today.addYears(-3) << "3 years";
        QTest::newRow("borrowing a month") << QDate(2026, 1, 31) << "1 month";
        QTest::newRow("no date") << QDate() << "";
    }

    void releasePeriod()
    {
        QFETCH(QDate, released);
        QFETCH(QString, period);
        QCOMPARE(UpdateDialog::releasePeriod(released, QDate(2026, 3, 20)), period);
    }

    void releaseNotes()
    {
        const QList<QVariantMap> updates {
            { { "version", "1.2.3" }, { "date", QDate(2023, 8, 15) },
                { "changes", "- Faster export\n\n-CRITICAL: saving <b>fixed</b>\n  - trimmed  " } },
            { { "version", "1.2.2" }, { "changes", "one" } },
        };
        // Notes are plain text, trimmed and escaped; a critical one stands out.
        const QString date = QLocale::system().toString(QDate(2023, 8, 15), QLocale::ShortFormat);
        QCOMPARE(UpdateDialog::releaseNotes(updates),
            "<b>Version 1.2.3</b><br/><i>" + date
                + "</i><br/><ul><li>Faster export</li><li><b>CRITICAL: saving "
                  "&lt;b&gt;fixed&lt;/b&gt;</b></li><li>trimmed</li></ul><br/>"
                  "<b>Version 1.2.2</b><br/><ul><li>one</li></ul><br/>");
    }

    // Sizes beyond 2 GiB neither overflow the bar nor the text.
    void progress()
    {
        DownloadDialog dialog(QPixmap(), m_checker.get());
        const qint64 total = qint64(6) * 1024 * 1024 * 1024;
        dialog.progressChanged(total / 3, total);
        auto *bar = dialog.findChild<QProgressBar *>(QStringLiteral("progressBar"));
        QVERIFY(qAbs(double(bar->value()) / bar->maximum() - 1.0 / 3) < 0.001);
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("progressLabel"))->text(),
            QStringLiteral("2048.0 MB of 6144.0 MB"));
    }

    void skippedVersion()
    {
        serveInformation(entry("1.0", Pkg));
        Updater *updater = makeUpdater();
        updater->check();
        QTRY_VERIFY(updater->updateDialog() && updater->updateDialog()->isVisible());
        QPointer<UpdateDialog> first = updater->updateDialog();
        first->findChild<QPushButton *>(QStringLiteral("skipButton"))->click();

        // The skipped version stays quiet...
        updater->check();
        QTRY_COMPARE(updater->checker()->state(), UpdateChecker::UpdateAvailable);
        QCoreApplication::processEvents();
        QCOMPARE(updater->updateDialog(), first.data());
        QVERIFY(!first->isVisible());

        // ...a newer one is offered again.
        serveInformation(entry("1.0", Pkg) + entry("1.1", Pkg));
        updater->check();
        QTRY_VERIFY(updater->updateDialog() && updater->updateDialog() != first.data()
            && updater->updateDialog()->isVisible());
    }

    void downloadAndInstall()
    {
        m_server->setResponse("/dl/tesselo.deb", ok(QByteArray(200000, 'x')));
        serveInformation(entry("1.0", Pkg));
        Updater *updater = makeUpdater();
        QString handedOver;
        updater->checker()->setInstallHandler([&](const QString &path) {
            handedOver = path;
            return true;
        });
        updater->check();
        QTRY_VERIFY(updater->updateDialog() && updater->updateDialog()->isVisible());
        updater->updateDialog()->findChild<QPushButton *>(QStringLiteral("installButton"))->click();

        DownloadDialog *dialog = updater->downloadDialog();
        QVERIFY(dialog && dialog->isVisible());
        auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        QPushButton *apply = buttons->button(QDialogButtonBox::Apply);
        QTRY_VERIFY(apply->isVisible());
        apply->click();
        QVERIFY(!buttons->button(QDialogButtonBox::Cancel)->isEnabled());
        QTRY_COMPARE(handedOver, updater->checker()->targetPath());
        QTRY_VERIFY(!dialog->isVisible());
    }

    void errorBox()
    {
        m_server->setResponse("GET", "/info", ok("<UpdateInfo><VersionInfo><current>"));
        Updater *updater = makeUpdater();
        updater->check();
        QTRY_COMPARE(updater->checker()->state(), UpdateChecker::Error);
        QMessageBox *box = nullptr;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            if (widget->isVisible() && widget->windowTitle() == QStringLiteral("Failed to update"))
                box = qobject_cast<QMessageBox *>(widget);
        }
        QVERIFY(box);
        QCOMPARE(box->text(), QStringLiteral("Failed to parse version information data."));
        QVERIFY(!box->isModal());
    }

private:
    void runCheck(bool forced = false)
    {
        m_checker->check(forced);
        QCOMPARE(m_checker->state(), UpdateChecker::Checking);
        QTRY_VERIFY(m_checker->state() != UpdateChecker::Checking);
    }

    // The whole update document; "@" in its addresses stands for the server.
    void serveInformation(const QByteArray &entries, const QByteArray &path = "/info")
    {
        QByteArray document = "<?xml version=\"1.0\"?>\n<UpdateInfo>" + entries + "</UpdateInfo>";
        const QByteArray server = m_server->url(QString()).toString().toUtf8();
        m_server->setResponse("GET", path, ok(document.replace('@', server)));
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

    Updater *makeUpdater()
    {
        m_updater = std::make_unique<Updater>(m_server->url("/info"), QPixmap());
        m_updater->checker()->setTimeouts(1000, 2000);
        m_updater->checker()->setSystem(QStringLiteral("linux"), QStringLiteral("12.0"));
        return m_updater.get();
    }

    std::unique_ptr<HttpTestServer> m_server;
    std::unique_ptr<UpdateChecker> m_checker;
    std::unique_ptr<Updater> m_updater;
};

QTEST_MAIN(TestUpdates)
#include "tst_updates.moc"
