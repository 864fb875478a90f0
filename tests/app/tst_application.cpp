#include <QtTest>

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFileOpenEvent>
#include <QGraphicsView>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QProcess>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>

#include <cstdio>

#include "app/application.h"
#include "app/recentsmenu.h"
#include "app/recoverymanager.h"
#include "app/settingskeys.h"
#include "app/welcomedialog.h"
#include "io/documentbytes.h"
#include "io/documentfile.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/pagesize.h"
#include "model/textoverlayproperties.h"
#include "scene/documentinneritem.h"
#include "scene/documentitem.h"
#include "scene/scene.h"
#include "scene/scenelayer.h"
#include "scene/textoverlayitem.h"
#include "support/filesizelimit.h"
#include "support/modalanswerer.h"
#include "themes/builtinthemes.h"
#include "themes/theme.h"
#include "themes/themeregistry.h"
#include "ui/mainwindow.h"
#include "ui/missingphotosdialog.h"
#include "ui/templatesdialog.h"
#include "ui/viewzoom.h"
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

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Picks a look in the template chooser, on a page of the size given
// (invalid: the proposed one), and accepts it.
ModalAnswerer::Answer chooseTemplate(int row, const PageSize &page = PageSize())
{
    return [row, page](QWidget *dialog) {
        auto *chooser = qobject_cast<TemplatesDialog *>(dialog);
        QListView *list = chooser ? chooser->findChild<QListView *>() : nullptr;
        if (!list || list->model()->rowCount() == 0) {
            dialog->close();
            return;
        }
        if (page.size().isValid())
            chooser->setCurrentPageSize(page);
        list->setCurrentIndex(
            list->model()->index(row < 0 ? list->model()->rowCount() - 1 : row, 0));
        chooser->findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))
            ->button(QDialogButtonBox::Ok)
            ->click();
    };
}

} // namespace

// The application object and its windows: the start check, recent files,
// languages, the window table, the welcome dialog, the collages recovered
// after a crash, then the editing window with its files, drops and dialogs.
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
        QDir(qmFolder()).removeRecursively();
        app()->discoverLanguages();
        app()->setLanguage(QString(), true);
    }

    void cleanup()
    {
        for (const QPointer<MainWindow> &window : std::as_const(m_windows))
            delete window.data();
        m_windows.clear();
        QCOMPARE(app()->windowCount(), 0);
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

        // The catalogues built with the program, ours and Qt's.
        QVERIFY(QDir().mkpath(qmFolder()));
        const QDir built(QStringLiteral(TESSELO_QM_DIR));
        QVERIFY(QFile::copy(built.filePath(QStringLiteral("tesselo.de.qm")), catalogue("de")));
        for (const QString &qt : built.entryList({ QStringLiteral("qt*_de.qm") }))
            QVERIFY(QFile::copy(built.filePath(qt), qmFolder() + qt));
        QVERIFY(QFile::copy(catalogue("de"), catalogue("pt_BR")));
        QVERIFY(QFile::copy(catalogue("de"), qmFolder() + QStringLiteral("other.fr.qm")));
        QStringList languages = app()->discoverLanguages();
        languages.sort();
        QCOMPARE(languages, QStringList({ "de", "en", "pt_BR" }));

        // Chosen in the welcome dialog; open windows follow as soon as the
        // change event arrives.
        WelcomeDialog dialog;
        auto *box = dialog.findChild<QComboBox *>("languageComboBox");
        box->setCurrentIndex(box->findData(QStringLiteral("de")));
        QCOMPARE(QSettings().value(SettingsKeys::Language).toString(), QStringLiteral("de"));
        QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("Willkommen!"));
        // Qt's own texts come along.
        QCOMPARE(
            QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));

        // A listed language whose catalogue has gone: the switch fails and
        // nothing stays translated.
        QFile::remove(catalogue("pt_BR"));
        QVERIFY(!app()->setLanguage(QStringLiteral("pt_BR")));
        QVERIFY(app()->currentLanguage().isEmpty());
        QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("Welcome!"));
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
        QCOMPARE(
            Application::windowKey(dir + "/./new.tsq"), Application::windowKey(dir + "/new.tsq"));
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
        QTRY_COMPARE(app()->windowCount(), 0);
    }

    void welcomeRecentEntries()
    {
        RecentsMenu menu;
        WelcomeDialog dialog;

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

        // A vanished file stays listed, greyed in both places.
        const QString gone = QDir::toNativeSeparators(m_dir->filePath(QStringLiteral("gone.tsq")));
        app()->registerRecent(gone);
        QVERIFY(!menu.fileActions().first()->isEnabled());
        auto *list = dialog.findChild<QListView *>("listView");
        QVERIFY(list->model()->index(0, 0).data(Qt::ForegroundRole).isValid());

        // Opening it fails with a message; the dialog stays, the entry too.
        dialog.show();
        ModalAnswerer answerer;
        dialog.openFile(gone);
        QCOMPARE(answerer.seen().size(), 1);
        QCOMPARE(app()->recentFiles().first(), gone);

        // Clearing empties the menu, but the next start still reads the old list.
        const QStringList stored = app()->recentFiles();
        menu.clearAction()->trigger();
        QVERIFY(app()->recentFiles().isEmpty());
        QCOMPARE(QSettings().value(SettingsKeys::RecentFiles).toStringList(), stored);
        QCOMPARE(list->model()->rowCount(), 0);
    }

    void copiesFollowUnsavedChanges()
    {
        auto manager = std::make_unique<RecoveryManager>(folder());
        const QString instance = manager->instanceFolder();
        Document document(true);
        giveTheme(document);
        manager->watch(&document, QStringLiteral("/photos/trip.tsq"));
        QVERIFY(manager->writeCopies());
        QVERIFY(manager->copyPath(&document).isEmpty()); // nothing unsaved yet

        document.setPageSize(editedPage);
        QVERIFY(manager->writeCopies());
        const QString copy = manager->copyPath(&document);
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

        RecoveryManager next(folder());
        const QList<RecoveryManager::Recovered> orphans = next.orphans();
        QCOMPARE(orphans.size(), 1);
        QCOMPARE(orphans.first().originalPath, original);
        // A third instance starting meanwhile does not offer it again.
        QVERIFY(RecoveryManager(folder()).orphans().isEmpty());

        std::unique_ptr<Document> document = next.recover(orphans.first());
        QVERIFY(document);
        QCOMPARE(document->pageSize(), editedPage);
        QVERIFY(!document->undoStack()->isClean());
        // The copy now belongs to this instance; the dead one's folder is gone.
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
        QVERIFY(
            opened == QList<QString> { "/a/one.tsq" } || opened == QList<QString> { "/a/two.tsq" });
        QVERIFY(!documents.front()->undoStack()->isClean());
        QVERIFY(RecoveryManager(folder()).orphans().isEmpty());
        // Only this instance's folder is left, holding the recovered copy.
        QCOMPARE(QDir(folder()).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size(), 1);
    }

    void closePrompt_data()
    {
        QTest::addColumn<bool>("modify");
        QTest::addColumn<QStringList>("answers");
        QTest::addColumn<bool>("closed");
        QTest::addColumn<int>("prompts");

        QTest::newRow("clean closes without asking") << false << QStringList() << true << 0;
        QTest::newRow("discard") << true << QStringList { "Discard" } << true << 1;
        QTest::newRow("cancel keeps the window") << true << QStringList { "Cancel" } << false << 1;
        QTest::newRow("save, dialog cancelled, asks again")
            << true << QStringList { "Save", "no file", "Cancel" } << false << 2;
        QTest::newRow("save under a new name closes")
            << true << QStringList { "Save", "prompt.tsq" } << true << 1;
    }

    void closePrompt()
    {
        QFETCH(bool, modify);
        QFETCH(QStringList, answers);
        QFETCH(bool, closed);
        QFETCH(int, prompts);

        MainWindow *window = newWindow();
        if (modify)
            window->document()->setPageSize(PageSize(PageSize::Pixels, QSizeF(640, 480)));

        ModalAnswerer answerer;
        const QHash<QString, int> buttons { { "Save", QMessageBox::Save },
            { "Discard", QMessageBox::Discard }, { "Cancel", QMessageBox::Cancel } };
        for (const QString &answer : std::as_const(answers)) {
            if (buttons.contains(answer))
                answerer.clickButton(buttons.value(answer));
            else
                answerer.chooseFile(answer == QLatin1String("no file") ? QString() : path(answer));
        }
        QPointer<MainWindow> guard(window);
        QCOMPARE(window->close(), closed);
        QCOMPARE(answerer.pending(), 0);
        const QStringList seen = answerer.seen();
        QCOMPARE(int(seen.filter(QStringLiteral("Document not saved|")).size()), prompts);
        if (answers.contains(QStringLiteral("prompt.tsq")))
            QVERIFY(QFile::exists(path(QStringLiteral("prompt.tsq"))));
        if (closed)
            QTRY_VERIFY(!guard);
    }

    void saveAndReopen()
    {
        MainWindow *window = newWindow();
        Document *document = window->document();
        // An added text alone counts as a change.
        window->addTextAction()->trigger();
        QVERIFY(window->isWindowModified());
        QVERIFY(document->imageList()->insertUrls(
            0, { QUrl::fromLocalFile(photo(0)), QUrl::fromLocalFile(photo(1)) }, false));
        document->setPageSize(PageSize(PageSize::Centimeters, QSizeF(15, 10)));
        document->textOverlays().constFirst()->setText(QStringLiteral("Summer"));

        const QString file = path(QStringLiteral("reopen.tsq"));
        QVERIFY(window->saveToFile(file));
        QVERIFY(!window->isWindowModified());
        const QByteArray written = DocumentBytes::write(*document);

        // A second open of the same file, spelled differently, raises the window.
        const QString spelled = m_dir->path() + QStringLiteral("/./reopen.tsq");
        QVERIFY(Application::instance()->openFile(spelled));
        QCOMPARE(Application::instance()->windowCount(), 1);

        QPointer<MainWindow> guard(window);
        QVERIFY(window->close());
        QTRY_VERIFY(!guard);

        // The system hands the file to the running program.
        QFileOpenEvent event(file);
        QVERIFY(QApplication::sendEvent(Application::instance(), &event));
        MainWindow *reopened = Application::instance()->windowForPath(file);
        QVERIFY(reopened);
        m_windows.append(reopened);
        QCOMPARE(DocumentBytes::write(*reopened->document()), written);
    }

    void saveAsRefusesFileOpenElsewhere()
    {
        MainWindow *first = newWindow();
        MainWindow *second = newWindow();
        const QString firstFile = path(QStringLiteral("first.tsq"));
        QVERIFY(first->saveToFile(firstFile));
        QVERIFY(second->saveToFile(path(QStringLiteral("second.tsq"))));

        // The other window's file, reached through a linked folder: refused,
        // and asked again.
        const QString alias = path(QStringLiteral("alias"));
        QVERIFY(QFile::link(m_dir->path(), alias));
        ModalAnswerer answerer;
        answerer.chooseFile(alias + QStringLiteral("/first.tsq"));
        answerer.clickButton(QMessageBox::Yes); // the file dialog's "replace it?"
        answerer.clickButton(QMessageBox::Ok);
        answerer.chooseFile(QString());
        QCOMPARE(second->askSaveFileName(), QString());
        QCOMPARE(answerer.pending(), 0);
        QVERIFY(answerer.seen().contains(
            QStringLiteral("Error|This file is already opened.\n"
                           "Please select other file or close opened version.")));

        // The window's own file is fine.
        answerer.chooseFile(firstFile);
        answerer.clickButton(QMessageBox::Yes);
        const QString chosen = first->askSaveFileName();
        QCOMPARE(Application::windowKey(chosen), Application::windowKey(firstFile));
    }

    void failedSaveKeepsOldFile()
    {
#ifndef Q_OS_LINUX
        QSKIP("The file size limit is simulated on Linux only.");
#else
        MainWindow *window = newWindow();
        const QString file = path(QStringLiteral("full.tsq"));
        QVERIFY(window->saveToFile(file));
        const QByteArray before = readFile(file);

        window->document()->setPageSize(PageSize(PageSize::Pixels, QSizeF(800, 600)));
        window->document()->setProperty("padding", QByteArray(200 * before.size(), 'x'));

        // Writing past the file size limit fails like a full disk.
        ModalAnswerer answerer;
        answerer.clickButton(QMessageBox::Ok);
        bool written = false;
        {
            const FileSizeLimit limit(4 * before.size());
            QVERIFY(limit.isActive());
            written = window->saveToFile(file);
        }

        QVERIFY(!written);
        QVERIFY2(
            answerer.seen().first().startsWith(QStringLiteral("Failed to save file|Can't write ")),
            qPrintable(answerer.seen().first()));
        QVERIFY(window->isWindowModified());
        QCOMPARE(readFile(file), before);
#endif
    }

    void openFailures_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("atStart");
        QTest::addColumn<QString>("message");

        const QString missing = QStringLiteral("Open file error|Can't open file %1");
        QTest::newRow("missing") << QByteArray() << false << missing;
        QTest::newRow("damaged") << QByteArray("not a collage at all") << false
                                 << QStringLiteral("Open file error|File corrupted");
        // Nothing to show: the program does not start.
        QTest::newRow("missing at start") << QByteArray() << true << missing;
    }

    void openFailures()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, atStart);
        QFETCH(QString, message);

        const QString file = path(QStringLiteral("broken.tsq"));
        QFile::remove(file);
        if (!content.isEmpty()) {
            QFile out(file);
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(content);
        }
        ModalAnswerer answerer;
        answerer.clickButton(QMessageBox::Ok);
        if (atStart)
            QCOMPARE(Application::instance()->openInitialWindow({ QStringLiteral("-x"), file }),
                Application::InitialWindow::Failed);
        else
            QVERIFY(!Application::instance()->openFile(file));
        if (message.contains(QStringLiteral("%1")))
            message = message.arg(QDir::toNativeSeparators(file));
        QCOMPARE(answerer.seen(), QStringList { message });
        QCOMPARE(Application::instance()->windowCount(), 0);
    }

    void photosOnTheCommandLineMakeOneCollage()
    {
        // A saved collage and three photos: the collage opens as itself, the
        // photos go into one new collage from the chooser, in their order.
        const QString saved = path(QStringLiteral("saved.tsq"));
        {
            Document document(false);
            document.setThemeId(BuiltInThemes::MosaicId);
            QVERIFY(DocumentFile::save(&document, saved));
        }

        ModalAnswerer answerer;
        answerer.enqueue(chooseTemplate(0));
        const QStringList arguments { photo(2), QStringLiteral("-x"), saved, photo(0), photo(1) };
        QCOMPARE(Application::instance()->openInitialWindow(arguments),
            Application::InitialWindow::Opened);
        QCOMPARE(
            Application::instance()->windowCount(), 1); // the saved one; the new one is untitled
        int windows = 0;
        for (QWidget *widget : QApplication::topLevelWidgets()) {
            auto *window = qobject_cast<MainWindow *>(widget);
            if (!window)
                continue;
            ++windows;
            m_windows.append(window);
            if (window->windowFilePath().isEmpty()) {
                ImageList *list = window->document()->imageList();
                QCOMPARE(list->count(), 3);
                QCOMPARE(list->items().at(0)->source().toLocalFile(), photo(2));
                QCOMPARE(list->items().at(2)->source().toLocalFile(), photo(1));
            }
        }
        QCOMPARE(windows, 2);
    }

    void recoveredCollageOpensUnsaved()
    {
        auto document = std::make_unique<Document>(true);
        document->setThemeId(BuiltInThemes::MosaicId);
        const QString original = path(QStringLiteral("afternoon.tsq"));
        Application::instance()->openRecovered(std::move(document), original);
        MainWindow *window = Application::instance()->windowForPath(original);
        QVERIFY(window);
        m_windows.append(window);
        QVERIFY(window->isWindowModified());
    }

    void removePhotoFollowsSelection()
    {
        MainWindow *window = newWindow();
        ImageList *images = window->document()->imageList();
        QVERIFY(images->insertUrls(
            0, { QUrl::fromLocalFile(photo(0)), QUrl::fromLocalFile(photo(1)) }, false));
        auto *remove = window->findChild<QAction *>(QStringLiteral("actionRemovePhoto"));

        auto *view = window->findChild<QListView *>(QStringLiteral("imageListView"));
        QCOMPARE(view->selectionModel(), window->scene()->selectionModel());
        window->scene()->selectionModel()->select(images->index(1), QItemSelectionModel::Select);
        QVERIFY(remove->isEnabled());
        const int steps = window->document()->undoStack()->count();
        remove->trigger();
        QCOMPARE(images->rowCount(), 1);
        QCOMPARE(window->document()->undoStack()->count(), steps + 1);
    }

    void drops_data()
    {
        QTest::addColumn<QUrl>("url"); // none: a photo file
        QTest::newRow("a web address") << QUrl("http://127.0.0.1:9/photo.png");
        QTest::newRow("a photo file") << QUrl();
    }

    void drops()
    {
        QFETCH(QUrl, url);
        const bool accepted = url.isEmpty();
        MainWindow *window = newWindow();
        QMimeData data;
        data.setText(QStringLiteral("hello"));
        data.setUrls({ accepted ? QUrl::fromLocalFile(photo(2)) : url });
        const QPoint centre = window->rect().center();
        QDragEnterEvent enter(
            centre, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(window, &enter);
        QCOMPARE(enter.isAccepted(), accepted);

        QDropEvent drop(QPointF(centre), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
            Qt::NoModifier);
        drop.ignore();
        QApplication::sendEvent(window, &drop);
        QCOMPARE(drop.isAccepted(), accepted);
        QCOMPARE(window->document()->imageList()->rowCount(), accepted ? 1 : 0);
    }

    void changeThemeThroughChooser()
    {
        MainWindow *window = newWindow();
        Document *document = window->document();
        const PageSize before = document->pageSize();
        Theme *oldTheme = document->theme();
        const PageSize chosen(PageSize::Centimeters, QSizeF(20, 15));

        ModalAnswerer answerer;
        answerer.enqueue(chooseTemplate(-1, chosen));
        window->findChild<QAction *>(QStringLiteral("actionChange_theme"))->trigger();
        QVERIFY(document->theme() != oldTheme);
        QCOMPARE(document->pageSize(), chosen);
        // The new look and page are one step.
        QCOMPARE(document->undoStack()->count(), 1);

        document->undoStack()->undo();
        QCOMPARE(document->theme(), oldTheme);
        QCOMPARE(document->pageSize(), before);
    }

    void editMenuAfterThemeChange()
    {
        MainWindow *window = newWindow();
        Document *document = window->document();
        TextOverlayProperties *overlay = document->addTextOverlay();
        window->changeTheme(document->pageSize(), [](Document *document) {
            return ThemeRegistry::createTheme(BuiltInThemes::PhotoDropId, document);
        });

        const QList<QAction *> actions
            = window->findChild<QMenu *>(QStringLiteral("menu_Edit"))->actions();
        QVERIFY(actions.contains(window->addStickerAction()));
        SceneLayer *layer = window->scene()->documentItem()->sceneLayer();
        QVERIFY(layer);
        for (QAction *action : layer->actions())
            QVERIFY(actions.contains(action));

        // The text made before the change is shown on the new page.
        auto overlayItems = [window] {
            QList<TextOverlayItem *> items;
            for (QGraphicsItem *child :
                window->scene()->documentItem()->innerItem()->childItems()) {
                if (auto *item = dynamic_cast<TextOverlayItem *>(child))
                    items.append(item);
            }
            return items;
        };
        QCOMPARE(overlayItems().size(), 1);
        QCOMPARE(overlayItems().first()->properties(), overlay);

        // Ctrl+T still adds a text, with its item.
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window));
        QTest::keyClick(window, Qt::Key_T, Qt::ControlModifier);
        QCOMPARE(document->textOverlays().size(), 2);
        QCOMPARE(overlayItems().size(), 2);
    }

    void zoom()
    {
        MainWindow *window = newWindow();
        auto *view = window->findChild<QGraphicsView *>(QStringLiteral("graphicsView"));
        QVERIFY(QTest::qWaitForWindowExposed(window));

        // Ctrl+wheel magnifies around the pointer: the page point under it stays.
        const QPointF pointer(view->width() * 0.3, view->height() * 0.4);
        const QPointF underPointer = view->mapToScene(pointer.toPoint());
        QWheelEvent wheel(pointer, view->viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, 240),
            Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
        QVERIFY(window->zoom()->factor() > 1.5);
        QVERIFY((view->mapFromScene(underPointer) - pointer).manhattanLength() <= 2);
        // Drawn fast while zooming, carefully once it settles.
        QCOMPARE(window->scene()->fastDrawCount(), 1);
        QTRY_COMPARE(window->scene()->fastDrawCount(), 0);

        // A plain wheel pans the magnified page.
        const int before = view->verticalScrollBar()->value();
        QWheelEvent pan(pointer, view->viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, -120),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &pan);
        QVERIFY(view->verticalScrollBar()->value() > before);

        // Fitting returns to the whole page.
        window->findChild<QAction *>(QStringLiteral("actionZoom_fit"))->trigger();
        QVERIFY(view->transform().isIdentity());
    }

    // Each folder chosen finds the missing photos it holds, as one undo step.
    void missingPhotosLocated()
    {
        const QString present = photo(0, QStringLiteral("home/"));
        const QString second = photo(2, QStringLiteral("home/away/"));
        Document document(true);
        QVERIFY(document.imageList()->insertUrls(0,
            { QUrl::fromLocalFile(present), QUrl::fromLocalFile(photo(1, "home/away/")),
                QUrl::fromLocalFile(second) },
            false));
        QVERIFY(QDir().rename(path("home/away"), path("elsewhere")));
        QVERIFY(QDir().mkpath(path("split")));
        QVERIFY(QFile::rename(path("elsewhere/photo2.png"), path("split/photo2.png")));

        MissingPhotosDialog dialog(&document);
        QCOMPARE(dialog.missingCount(), 2);

        QString answer = path("elsewhere");
        MissingPhotosDialog::setFolderChooser([&](QWidget *, const QString &) { return answer; });
        const auto restore = qScopeGuard([] { MissingPhotosDialog::setFolderChooser({}); });
        const QList<QPushButton *> buttons = dialog.findChildren<QPushButton *>();
        QPushButton *locate = *std::find_if(buttons.begin(), buttons.end(),
            [](QPushButton *button) { return button->text() == QStringLiteral("Locate..."); });
        dialog.show();
        QTest::mouseClick(locate, Qt::LeftButton);
        QCOMPARE(dialog.missingCount(), 1);
        const QString moved = path("elsewhere/photo1.png");
        QCOMPARE(document.imageList()->items()[1]->source().toLocalFile(), moved);

        answer = path("split");
        QTest::mouseClick(locate, Qt::LeftButton);
        QCOMPARE(dialog.missingCount(), 0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        document.undoStack()->undo();
        QCOMPARE(document.imageList()->items()[2]->source().toLocalFile(), second);
        QCOMPARE(document.imageList()->items()[1]->source().toLocalFile(), moved);
    }

private:
    Application *app() const
    {
        return Application::instance();
    }
    QString qmFolder() const
    {
        return app()->translationsPath();
    }
    QString catalogue(const QString &language) const
    {
        return qmFolder() + QFileInfo(QCoreApplication::applicationFilePath()).baseName()
            + QLatin1Char('.') + language + QStringLiteral(".qm");
    }

    QString folder() const
    {
        return m_dir->filePath(QStringLiteral("recovery"));
    }

    MainWindow *newWindow(const QByteArray &themeId = BuiltInThemes::MosaicId)
    {
        auto *document = new Document(true);
        document->setThemeId(themeId);
        MainWindow *window = Application::instance()->createWindow(document);
        m_windows.append(window);
        return window;
    }

    // A photo of its own size and colour, in a folder below the test's own.
    QString photo(int index, const QString &folder = QString())
    {
        const QString file = path(folder + QStringLiteral("photo%1.png").arg(index));
        if (!QFile::exists(file)) {
            QDir().mkpath(QFileInfo(file).path());
            QImage image(120 + 20 * index, 90, QImage::Format_RGB32);
            image.fill(QColor::fromHsv((index * 70) % 360, 200, 220));
            image.save(file);
        }
        return file;
    }

    QString path(const QString &name) const
    {
        return m_dir->filePath(name);
    }

    std::unique_ptr<QTemporaryDir> m_dir;
    QList<QPointer<MainWindow>> m_windows;
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
