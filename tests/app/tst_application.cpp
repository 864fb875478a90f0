#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QLabel>
#include <QListView>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

#include "app/application.h"
#include "app/recentsmenu.h"
#include "app/settingskeys.h"
#include "app/welcomedialog.h"
#include "model/document.h"
#include "support/modalanswerer.h"
#include "ui/mainwindow.h"

// The application object and what it shows before any collage: the start
// check, recent files, languages, the window table and the welcome dialog.
class TestApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void firstStart_data();
    void firstStart();
    void languages();
    void windowTable();
    void quitStopsAtRefusingWindow();
    void welcomeRecentEntries();
    void welcomeCheckBoxStoresChoice();

private:
    Application *app() const { return Application::instance(); }
    QString qmFolder() const { return app()->translationsPath(); }
    QString catalogue(const QString &language) const
    {
        return qmFolder() + QFileInfo(QCoreApplication::applicationFilePath()).baseName()
            + QLatin1Char('.') + language + QStringLiteral(".qm");
    }

    QTemporaryDir m_dir;
};

void TestApplication::init()
{
    QSettings().clear();
    app()->clearRecents();
    cleanup();
}

void TestApplication::cleanup()
{
    QDir(qmFolder()).removeRecursively();
    app()->discoverLanguages();
    app()->setLanguage(QString(), true);
}

void TestApplication::firstStart_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("page");

    QTest::newRow("first run ever") << QVariant() << int(Application::StartPage::Welcome);
    QTest::newRow("older version")
        << QVariant(QStringLiteral("0.9.5")) << int(Application::StartPage::WhatsNew);
    QTest::newRow("same version") << QVariant(QStringLiteral("0.9.6"))
                                  << int(Application::StartPage::None);
}

void TestApplication::firstStart()
{
    QFETCH(QVariant, stored);
    QFETCH(int, page);
    if (stored.isValid())
        QSettings().setValue(SettingsKeys::FirstStart, stored);
    QCOMPARE(int(app()->performFirstStartCheck()), page);
    QCOMPARE(QSettings().value(SettingsKeys::FirstStart).toString(), QStringLiteral("0.9.6"));
}

void TestApplication::languages()
{
    // Without translation files only English is offered, and no choice.
    QCOMPARE(app()->discoverLanguages(), QStringList({ QStringLiteral("en") }));
    QVERIFY(!app()->setLanguage(QStringLiteral("de")));
    QVERIFY(WelcomeDialog().findChild<QComboBox *>("languageComboBox")->isHidden());

    // The catalogues built with the program, ours and Qt's.
    QVERIFY(QDir().mkpath(qmFolder()));
    const QDir built(QStringLiteral(TESSELO_QM_DIR));
    QVERIFY(QFile::copy(built.filePath(QStringLiteral("tesselo.de.qm")), catalogue("de")));
    for (const QString &qt : built.entryList({ QStringLiteral("qt*_de.qm") }))
        QVERIFY(QFile::copy(built.filePath(qt), qmFolder() + qt));
    QVERIFY(QFile::copy(catalogue("de"), catalogue("pt_BR")));
    QVERIFY(QFile::copy(catalogue("de"), qmFolder() + QStringLiteral("other.fr.qm")));
    QStringList languages = app()->discoverLanguages();
    QCOMPARE(languages.first(), QStringLiteral("en"));
    languages.sort();
    QCOMPARE(languages, QStringList({ "de", "en", "pt_BR" }));
    QVERIFY(!app()->setLanguage(QStringLiteral("fr")));

    // Chosen in the welcome dialog; open windows follow as soon as the
    // change event arrives.
    WelcomeDialog dialog;
    RecentsMenu menu;
    auto *box = dialog.findChild<QComboBox *>("languageComboBox");
    QVERIFY(!box->isHidden());
    QCOMPARE(box->count(), 4); // Automatic, then the three found
    QCOMPARE(box->currentIndex(), 0); // nothing stored: Automatic
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Welcome!"));
    box->setCurrentIndex(box->findData(QStringLiteral("de")));
    QCOMPARE(app()->currentLanguage(), QStringLiteral("de"));
    QCOMPARE(QSettings().value(SettingsKeys::Language).toString(), QStringLiteral("de"));
    QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("Willkommen!"));
    QCOMPARE(dialog.findChild<QLabel *>("welcomeLabel")->text(),
        QStringLiteral("Willkommen bei Tesselo!"));
    QTRY_COMPARE(menu.title(), QStringLiteral("&Zuletzt geöffnet"));
    // Qt's own texts come along.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));

    // A listed language whose catalogue has gone: the switch fails and
    // nothing stays translated.
    QFile::remove(catalogue("pt_BR"));
    QVERIFY(!app()->setLanguage(QStringLiteral("pt_BR")));
    QVERIFY(app()->currentLanguage().isEmpty());
    QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("Welcome!"));
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));

    box->setCurrentIndex(0);
    QVERIFY(QSettings().value(SettingsKeys::Language).toString().isEmpty());
    QVERIFY(app()->language().isEmpty());
}

void TestApplication::windowTable()
{
    auto *window = app()->createWindow(new Document(false));
    app()->registerWindow(QStringLiteral("/photos/a.tsq"), window);
    QCOMPARE(app()->windowForPath(QStringLiteral("/photos/a.tsq")), window);
    QCOMPARE(app()->windowForPath(QStringLiteral("/photos/x/../a.tsq")), window);

    // A save-as re-keys the window under its new path; the window is the sender.
    Q_EMIT window->windowPathChanged(QStringLiteral("/photos/b.tsq"));
    QVERIFY(!app()->windowForPath(QStringLiteral("/photos/a.tsq")));
    QCOMPARE(app()->windowForPath(QStringLiteral("/photos/b.tsq")), window);

    delete window;
    QCOMPARE(app()->windowCount(), 0);
}

void TestApplication::quitStopsAtRefusingWindow()
{
    QList<QPointer<MainWindow>> windows;
    for (int i = 0; i < 3; ++i) {
        windows.append(app()->createWindow(new Document(true)));
        app()->registerWindow(QStringLiteral("/photos/%1.tsq").arg(i), windows.last());
    }
    // Only the second has changes; its user cancels the prompt.
    windows[1]->document()->setPageSize(PageSize(PageSize::Pixels, QSizeF(10, 20)));
    ModalAnswerer answerer;
    answerer.clickButton(QMessageBox::Cancel);
    app()->performQuit();
    QCOMPARE(answerer.pending(), 0);
    QVERIFY(windows[1] && windows[1]->isVisible());

    answerer.clickButton(QMessageBox::Discard);
    app()->performQuit();
    QCOMPARE(answerer.pending(), 0);
    QTRY_COMPARE(app()->windowCount(), 0);
    QTRY_VERIFY(std::none_of(windows.begin(), windows.end(),
        [](const QPointer<MainWindow> &window) { return bool(window); }));
}

void TestApplication::welcomeRecentEntries()
{
    RecentsMenu menu;
    WelcomeDialog dialog;
    auto *open = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open);
    QVERIFY(!open->isEnabled());
    QVERIFY(!menu.clearAction()->isEnabled());

    // The most recent first, ten at most; opening one again moves it up.
    QStringList paths;
    for (int i = 0; i <= 10; ++i) {
        paths.prepend(QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("c%1.tsq").arg(i))));
        QFile file(paths.first());
        QVERIFY(file.open(QIODevice::WriteOnly));
        app()->registerRecent(paths.first());
    }
    app()->registerRecent(paths.at(5));
    paths.move(5, 0);
    paths.removeLast();
    QCOMPARE(app()->recentFiles(), paths);
    QCOMPARE(QSettings().value(SettingsKeys::RecentFiles).toStringList(), paths);
    QCOMPARE(menu.fileActions().size(), 10);
    QCOMPARE(menu.fileActions().last()->text(), QStringLiteral("&10 c1.tsq"));
    QCOMPARE(menu.fileActions().first()->toolTip(), paths.first());
    QVERIFY(menu.clearAction()->isEnabled());

    // A vanished file stays listed, greyed in both places.
    const QString gone = QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("gone.tsq")));
    app()->registerRecent(gone);
    QCOMPARE(menu.fileActions().size(), 10);
    QVERIFY(!menu.fileActions().first()->isEnabled());
    QVERIFY(menu.fileActions().at(1)->isEnabled());
    auto *list = dialog.findChild<QListView *>("listView");
    const QModelIndex first = list->model()->index(0, 0);
    QCOMPARE(first.data(Qt::UserRole).toString(), QFileInfo(gone).absoluteFilePath());
    QVERIFY(first.data(Qt::ForegroundRole).isValid());
    QVERIFY(!list->model()->index(1, 0).data(Qt::ForegroundRole).isValid());

    // Opening it fails with a message; the dialog stays, the entry too.
    dialog.show();
    ModalAnswerer answerer;
    dialog.openFile(gone);
    QCOMPARE(answerer.seen().size(), 1);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(app()->recentFiles().first(), gone);

    // Selecting a row enables Open.
    list->selectionModel()->select(list->model()->index(1, 0), QItemSelectionModel::Select);
    QVERIFY(open->isEnabled());
    // Clearing empties the menu, but the next start still reads the old list.
    const QStringList stored = app()->recentFiles();
    menu.clearAction()->trigger();
    QVERIFY(app()->recentFiles().isEmpty());
    QCOMPARE(QSettings().value(SettingsKeys::RecentFiles).toStringList(), stored);
    QVERIFY(menu.fileActions().isEmpty());
    QCOMPARE(list->model()->rowCount(), 0);
    QVERIFY(!open->isEnabled());
}

void TestApplication::welcomeCheckBoxStoresChoice()
{
    WelcomeDialog dialog;
    auto *check = dialog.findChild<QCheckBox *>("checkBox");
    QVERIFY(check->isChecked());
    check->click();
    QCOMPARE(QSettings().value(SettingsKeys::ShowWelcomeScreen).toBool(), false);
    WelcomeDialog again;
    QVERIFY(!again.findChild<QCheckBox *>("checkBox")->isChecked());
}

int main(int argc, char *argv[])
{
    QStandardPaths::setTestModeEnabled(true);
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
