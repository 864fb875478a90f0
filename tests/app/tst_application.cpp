#include <QtTest>

#include <QAbstractButton>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QListView>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>
#include <QSettings>

#include <cstdio>

#include "app/application.h"
#include "app/recentsmenu.h"
#include "app/recoverymanager.h"
#include "app/settingskeys.h"
#include "app/welcomedialog.h"
#include "io/documentfile.h"
#include "model/document.h"
#include "model/pagesize.h"
#include "support/modalanswerer.h"
#include "themes/builtinthemes.h"
#include "ui/mainwindow.h"
#include "undo/undostack.h"

namespace {

const PageSize editedPage(PageSize::Pixels, QSizeF(1234, 567));

// A collage as the editor holds one: with a theme, so that it can be saved.
void giveTheme(Document &document)
{
    document.setThemeId(BuiltInThemes::MosaicId);
    if (UndoStack *stack = document.undoStack())
        stack->setClean(); // the starting point, not an edit
}

// The other process of the crash test: keeps a recovery copy of an edited
// collage, says so, and waits to be killed.
int writeAndWait(int argc, char *argv[])
{
    QApplication app(argc, argv);
    BuiltInThemes::registerAll();
    RecoveryManager manager(QString::fromLocal8Bit(argv[2]));
    Document document(true);
    giveTheme(document);
    manager.watch(&document, QString::fromLocal8Bit(argv[3]));
    document.setPageSize(editedPage);
    if (!manager.writeCopies())
        return 1;
    std::printf("ready\n");
    std::fflush(stdout);
    return app.exec();
}

// Message boxes answered with the button labelled `text`.
ModalAnswerer::Answer click(const QString &text)
{
    return [text](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        const QList<QAbstractButton *> buttons = box ? box->buttons() : QList<QAbstractButton *>();
        for (QAbstractButton *button : buttons) {
            if (button->text() == text)
                button->click();
        }
        dialog->close(); // not reached when the button closed it
    };
}

} // namespace

// The application object and what it shows before any collage: the start
// check, recent files, languages, the window table, the welcome dialog and
// the collages recovered after a crash.
class TestApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BuiltInThemes::registerAll(); }

    void init()
    {
        m_dir = std::make_unique<QTemporaryDir>();
        QVERIFY(m_dir->isValid());
        QSettings().clear();
        app()->clearRecents();
        cleanup();
    }

    void cleanup()
    {
        QDir(qmFolder()).removeRecursively();
        app()->discoverLanguages();
        app()->setLanguage(QString(), true);
    }

    void firstStart_data()
    {
        QTest::addColumn<QVariant>("stored");
        QTest::addColumn<int>("page");

        QTest::newRow("first run ever") << QVariant() << int(Application::StartPage::Welcome);
        QTest::newRow("older version")
            << QVariant(QStringLiteral("0.9.5")) << int(Application::StartPage::WhatsNew);
        QTest::newRow("same version")
            << QVariant(QStringLiteral("0.9.6")) << int(Application::StartPage::None);
    }

    void firstStart()
    {
        QFETCH(QVariant, stored);
        QFETCH(int, page);
        if (stored.isValid())
            QSettings().setValue(SettingsKeys::FirstStart, stored);
        QCOMPARE(int(app()->performFirstStartCheck()), page);
        QCOMPARE(QSettings().value(SettingsKeys::FirstStart).toString(), QStringLiteral("0.9.6"));
    }

    void languages()
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
        box->setCurrentIndex(box->findData(QStringLiteral("de")));
        QCOMPARE(app()->currentLanguage(), QStringLiteral("de"));
        QCOMPARE(QSettings().value(SettingsKeys::Language).toString(), QStringLiteral("de"));
        QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("Willkommen!"));
        QTRY_COMPARE(menu.title(), QStringLiteral("&Zuletzt geöffnet"));
        // Qt's own texts come along.
        QCOMPARE(
            QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));

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

    void windowTable()
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

        // Other spellings of a file, there or not yet, share its absolute key.
        QFile key(m_dir->filePath(QStringLiteral("key.tsq")));
        QVERIFY(key.open(QIODevice::WriteOnly));
        const QString dir = m_dir->path();
        QCOMPARE(Application::windowKey(dir + "//key.tsq"), Application::windowKey(key.fileName()));
        const QString fresh = Application::windowKey(dir + "/./new.tsq");
        QCOMPARE(fresh, Application::windowKey(dir + "/new.tsq"));
        QVERIFY(QFileInfo(fresh).isAbsolute());
    }

    void quitStopsAtRefusingWindow()
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

    void welcomeRecentEntries()
    {
        RecentsMenu menu;
        WelcomeDialog dialog;
        auto *open = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open);
        QVERIFY(!open->isEnabled());
        QVERIFY(!menu.clearAction()->isEnabled());

        // The most recent first, ten at most; opening one again moves it up.
        QStringList paths;
        for (int i = 0; i <= 10; ++i) {
            paths.prepend(
                QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("c%1.tsq").arg(i))));
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
        QVERIFY(menu.clearAction()->isEnabled());

        // A vanished file stays listed, greyed in both places.
        const QString gone = QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("gone.tsq")));
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

    void welcomeCheckBoxStoresChoice()
    {
        WelcomeDialog dialog;
        auto *check = dialog.findChild<QCheckBox *>("checkBox");
        QVERIFY(check->isChecked());
        check->click();
        QCOMPARE(QSettings().value(SettingsKeys::ShowWelcomeScreen).toBool(), false);
        WelcomeDialog again;
        QVERIFY(!again.findChild<QCheckBox *>("checkBox")->isChecked());
    }

    void copiesFollowUnsavedChanges()
    {
        auto manager = std::make_unique<RecoveryManager>(folder());
        const QString instance = manager->instanceFolder();
        QVERIFY(instance.startsWith(folder()));
        Document document(true);
        giveTheme(document);
        manager->watch(&document, QStringLiteral("/photos/trip.tsq"));
        QVERIFY(manager->writeCopies());
        QVERIFY(manager->copyPath(&document).isEmpty()); // nothing unsaved yet

        document.setPageSize(editedPage);
        QVERIFY(manager->writeCopies());
        const QString copy = manager->copyPath(&document);
        QVERIFY(copy.startsWith(instance));
        QCOMPARE(DocumentFile::open(copy)->pageSize(), editedPage);

        document.undoStack()->setClean(); // saved
        QVERIFY(manager->copyPath(&document).isEmpty());
        QVERIFY(!QFile::exists(copy));

        document.undoStack()->undo(); // unsaved again
        QVERIFY(manager->writeCopies());
        QVERIFY(!manager->copyPath(&document).isEmpty());
        manager->unwatch(&document); // closed without saving
        QVERIFY(!QFile::exists(copy));

        document.setPageSize(PageSize(PageSize::Inches, QSizeF(4, 6)));
        manager->watch(&document, QString());
        QVERIFY(manager->writeCopies());
        QVERIFY(!manager->copyPath(&document).isEmpty());
        manager.reset(); // a clean exit takes everything with it
        QVERIFY(!QDir(instance).exists());
    }

    void timerWritesCopies()
    {
        RecoveryManager manager(folder());
        manager.setInterval(20);
        Document document(true);
        giveTheme(document);
        manager.watch(&document, QString());
        document.setPageSize(editedPage);
        QTRY_VERIFY(!manager.copyPath(&document).isEmpty());
    }

    void killedProcessIsRecovered()
    {
        const QString original = m_dir->filePath(QStringLiteral("trip.tsq"));
        QProcess writer;
        writer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        writer.start(QCoreApplication::applicationFilePath(),
            { QStringLiteral("--write-and-wait"), folder(), original });
        QVERIFY(writer.waitForStarted());
        QByteArray output;
        while (!output.contains("ready") && writer.waitForReadyRead(30000))
            output += writer.readAllStandardOutput();
        QVERIFY2(output.contains("ready"), output.constData());
        {
            RecoveryManager meanwhile(folder());
            QVERIFY(meanwhile.orphans().isEmpty()); // still running: not ours to take
        }
        writer.kill(); // SIGKILL: no chance to clean up
        QVERIFY(writer.waitForFinished());
        QCOMPARE(writer.exitStatus(), QProcess::CrashExit);

        RecoveryManager next(folder());
        const QList<RecoveryManager::Recovered> orphans = next.orphans();
        QCOMPARE(orphans.size(), 1);
        QCOMPARE(orphans.first().originalPath, original);
        QVERIFY(orphans.first().savedAt.isValid());
        // A third instance starting meanwhile does not offer it again.
        QVERIFY(RecoveryManager(folder()).orphans().isEmpty());

        std::unique_ptr<Document> document = next.recover(orphans.first());
        QVERIFY(document);
        QCOMPARE(document->pageSize(), editedPage);
        QVERIFY(!document->undoStack()->isClean());
        // The copy now belongs to this instance; the dead one's folder is gone.
        QVERIFY(next.copyPath(document.get()).startsWith(next.instanceFolder()));
        QCOMPARE(QDir(folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    }

    void offerRecoversAndDiscards()
    {
        // What a crash leaves: copies in a folder whose owner holds no lock.
        for (const QString &name : { QStringLiteral("one"), QStringLiteral("two") }) {
            const QDir crashed(folder() + QLatin1Char('/') + name);
            QVERIFY(crashed.mkpath(QStringLiteral(".")));
            Document document(false);
            giveTheme(document);
            document.setPageSize(editedPage);
            QVERIFY(DocumentFile::save(&document, crashed.filePath(QStringLiteral("copy.tsq"))));
            QFile about(crashed.filePath(QStringLiteral("copy.json")));
            QVERIFY(about.open(QIODevice::WriteOnly));
            about.write("{\"originalPath\": \"/a/" + name.toUtf8() + ".tsq\"}");
        }

        RecoveryManager manager(folder());
        QList<QString> opened;
        std::vector<std::unique_ptr<Document>> documents;
        ModalAnswerer answerer;
        answerer.enqueue(click(QStringLiteral("Recover")));
        answerer.enqueue(click(QStringLiteral("Discard")));
        const int recovered = manager.offerRecoveries(
            nullptr, [&](std::unique_ptr<Document> document, const QString &path) {
                opened.append(path);
                documents.push_back(std::move(document));
            });
        QCOMPARE(recovered, 1);
        QCOMPARE(opened.size(), 1);
        QVERIFY(opened.first() == "/a/one.tsq" || opened.first() == "/a/two.tsq");
        QVERIFY(!documents.front()->undoStack()->isClean());
        QVERIFY(manager.orphans().isEmpty());
        QVERIFY(RecoveryManager(folder()).orphans().isEmpty());
        // Only this instance's folder is left, holding the recovered copy.
        QCOMPARE(QDir(folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
        QVERIFY(!manager.copyPath(documents.front().get()).isEmpty());
    }

private:
    Application *app() const { return Application::instance(); }
    QString qmFolder() const { return app()->translationsPath(); }
    QString catalogue(const QString &language) const
    {
        return qmFolder() + QFileInfo(QCoreApplication::applicationFilePath()).baseName()
            + QLatin1Char('.') + language + QStringLiteral(".qm");
    }

    QString folder() const { return m_dir->filePath(QStringLiteral("recovery")); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

int main(int argc, char *argv[])
{
    if (argc >= 4 && qstrcmp(argv[1], "--write-and-wait") == 0)
        return writeAndWait(argc, argv);
    QStandardPaths::setTestModeEnabled(true);
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
