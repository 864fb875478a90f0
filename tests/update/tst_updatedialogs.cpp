#include <QtTest>

#include <QApplication>
#include <QDialogButtonBox>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QSettings>
#include <QTextBrowser>

#include "update/downloaddialog.h"
#include "update/updatechecker.h"
#include "update/updatedialog.h"
#include "update/updater.h"
#include "updatetestdata.h"

using namespace UpdateTestData;

namespace {

const QString Pkg = QStringLiteral("@/dl/tesselo.deb");

QByteArray notes(const QByteArray &changes, const QDate &date = QDate())
{
    const QString day = date.isValid() ? date.toString(QStringLiteral("d/M/yyyy")) : QString();
    return "<changes>" + changes + "</changes>"
        + (day.isEmpty() ? "" : "<date>" + day.toUtf8() + "</date>");
}

} // namespace

class TestUpdateDialogs : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { setUpApplication(); }

    void init()
    {
        QSettings().clear();
        m_server = std::make_unique<HttpTestServer>();
    }

    void cleanup()
    {
        m_updater.reset();
        m_server.reset();
        for (QWidget *widget : QApplication::topLevelWidgets())
            widget->close();
    }

    void releasePeriod_data()
    {
        QTest::addColumn<QDate>("released");
        QTest::addColumn<QString>("period");
        const QDate today(2026, 3, 20);
        const QList<QPair<int, QString>> ages { { 20, "20 days" }, { 40, "1 month" },
            { 15, "15 days" }, { 14, "" }, { 70, "2 months" }, { 400, "1 year" } };
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
        const QString html = UpdateDialog::releaseNotes(updates);
        QVERIFY(html.startsWith(QLatin1String("<b>Version 1.2.3</b><br/><i>")));
        QVERIFY(
            html.indexOf(QLatin1String("Version 1.2.2")) > html.indexOf(QLatin1String("1.2.3")));
        QVERIFY(html.contains(QLatin1String("<li>Faster export</li>")));
        QVERIFY(html.contains(
            QLatin1String("<li><b>CRITICAL: saving &lt;b&gt;fixed&lt;/b&gt;</b></li>")));
        QVERIFY(html.contains(QLatin1String("<li>trimmed</li>")));
        QCOMPARE(html.count(QLatin1String("<li>")), 4);
        QVERIFY(html.endsWith(QLatin1String("<li>one</li></ul><br/>")));
        QCOMPARE(html.count(QLatin1String("<i>")), 1);
    }

    void headerLabels_data()
    {
        QTest::addColumn<bool>("twoVersions");
        QTest::addColumn<bool>("dated");
        QTest::newRow("one version, no date") << false << false;
        QTest::newRow("two versions, dated") << true << true;
    }

    void headerLabels()
    {
        QFETCH(bool, twoVersions);
        QFETCH(bool, dated);
        const QDate date = dated ? QDate::currentDate().addDays(-40) : QDate();
        QByteArray entries = entry("1.0", Pkg, "", notes("- new"));
        if (twoVersions)
            entries += entry("0.9.6", Pkg, "", notes("- old", date));
        serve(entries);
        UpdateChecker checker(m_server->url("/info"));
        checker.setSystem(QStringLiteral("linux"), QStringLiteral("12.0"));
        checker.check();
        QTRY_COMPARE(checker.state(), UpdateChecker::UpdateAvailable);

        UpdateDialog dialog(QPixmap(), &checker);
        dialog.show();
        auto label = [&](int i) {
            return dialog.findChild<QLabel *>(QStringLiteral("labelHeader%1").arg(i));
        };
        QCOMPARE(dialog.windowTitle(), QStringLiteral("Update available!"));
        QCOMPARE(label(1)->text(), QStringLiteral("A new version of <b>Tesselo</b> is available!"));
        QCOMPARE(label(2)->text(),
            QStringLiteral("Tesselo <b>1.0</b> is available - you have <b>0.9.6</b>. Would you "
                           "like to download it now?"));
        QVERIFY(label(1)->isVisible() && label(2)->isVisible());
        QCOMPARE(label(3)->isVisible(), dated);
        QCOMPARE(label(4)->isVisible(), twoVersions);
        if (dated)
            QCOMPARE(label(3)->text(),
                QStringLiteral("Your version was released more than <b>1 month</b> ago."));
        if (twoVersions)
            QCOMPARE(label(4)->text(),
                QStringLiteral("Since then, <b>2</b> versions have been released."));
        QVERIFY(dialog.findChild<QPushButton *>(QStringLiteral("installButton"))->isDefault());
        QVERIFY(dialog.findChild<QTextBrowser *>()->toPlainText().contains(QLatin1String("new")));
    }

    // Sizes beyond 2 GiB neither overflow the bar nor the text.
    void progress()
    {
        QCOMPARE(
            DownloadDialog::progressText(3774874, 14784921), QStringLiteral("3.6 MB of 14.1 MB"));
        QCOMPARE(DownloadDialog::progressText(3774874, 0), QStringLiteral("3.6 MB"));
        UpdateChecker checker(m_server->url("/info"));
        DownloadDialog dialog(QPixmap(), &checker);
        const qint64 total = qint64(6) * 1024 * 1024 * 1024;
        dialog.progressChanged(total / 3, total);
        auto *bar = dialog.findChild<QProgressBar *>(QStringLiteral("progressBar"));
        QVERIFY(bar->maximum() > 0);
        QVERIFY(qAbs(double(bar->value()) / bar->maximum() - 1.0 / 3) < 0.001);
        QCOMPARE(dialog.findChild<QLabel *>(QStringLiteral("progressLabel"))->text(),
            QStringLiteral("2048.0 MB of 6144.0 MB"));
    }

    void skippedVersion()
    {
        serve(entry("1.0", Pkg));
        Updater *updater = makeUpdater();
        QSignalSpy checked(updater, &Updater::checked);
        updater->check();
        QCOMPARE(checked.size(), 1);
        QVERIFY(updater->lastCheckUpdate().isValid());
        QTRY_VERIFY(updater->updateDialog() && updater->updateDialog()->isVisible());
        QPointer<UpdateDialog> first = updater->updateDialog();
        first->findChild<QPushButton *>(QStringLiteral("skipButton"))->click();
        QVERIFY(!first->isVisible());
        QCOMPARE(
            QSettings().value(UpdateChecker::SkippedVersionKey).toString(), QStringLiteral("1.0"));

        // The skipped version stays quiet...
        updater->check();
        QTRY_COMPARE(updater->checker()->state(), UpdateChecker::UpdateAvailable);
        QCoreApplication::processEvents();
        QCOMPARE(updater->updateDialog(), first.data());
        QVERIFY(!first->isVisible());

        // ...a newer one is offered again.
        serve(entry("1.0", Pkg) + entry("1.1", Pkg));
        updater->check();
        QTRY_VERIFY(updater->updateDialog() && updater->updateDialog() != first.data()
            && updater->updateDialog()->isVisible());
        QCOMPARE(updater->checker()->latestVersion(), QStringLiteral("1.1"));
    }

    void downloadAndInstall()
    {
        m_server->setResponse("/dl/tesselo.deb", ok(QByteArray(200000, 'x')));
        serve(entry("1.0", Pkg));
        Updater *updater = makeUpdater();
        QString handedOver;
        updater->checker()->setInstallHandler([&](const QString &path) {
            handedOver = path;
            return true;
        });
        updater->check();
        QTRY_VERIFY(updater->updateDialog() && updater->updateDialog()->isVisible());
        updater->updateDialog()->findChild<QPushButton *>(QStringLiteral("installButton"))->click();

        QVERIFY(updater->downloadDialog());
        DownloadDialog *dialog = updater->downloadDialog();
        QVERIFY(dialog->isVisible());
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Updating Tesselo"));
        auto *status = dialog->findChild<QLabel *>(QStringLiteral("statusLabel"));
        auto *buttons = dialog->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"));
        QPushButton *apply = buttons->button(QDialogButtonBox::Apply);
        QCOMPARE(status->text(), QStringLiteral("Downloading update..."));
        QVERIFY(!apply->isVisible());

        QTRY_COMPARE(status->text(), QStringLiteral("Ready to install..."));
        QVERIFY(apply->isVisible());
        QCOMPARE(apply->text(), QStringLiteral("Exit and install"));
        apply->click();
        QCOMPARE(status->text(), QStringLiteral("Installing..."));
        QVERIFY(!buttons->button(QDialogButtonBox::Cancel)->isEnabled());
        QTRY_COMPARE(handedOver, updater->checker()->targetPath());
        QCOMPARE(updater->checker()->state(), UpdateChecker::Normal);
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
    Updater *makeUpdater()
    {
        m_updater = std::make_unique<Updater>(m_server->url("/info"), QPixmap());
        m_updater->checker()->setTimeouts(1000, 2000);
        m_updater->checker()->setSystem(QStringLiteral("linux"), QStringLiteral("12.0"));
        return m_updater.get();
    }

    void serve(const QByteArray &entries)
    {
        m_server->setResponse(
            "GET", "/info", ok(information(entries, m_server->url({}).toString())));
    }

    std::unique_ptr<HttpTestServer> m_server;
    std::unique_ptr<Updater> m_updater;
};

QTEST_MAIN(TestUpdateDialogs)
#include "tst_updatedialogs.moc"
