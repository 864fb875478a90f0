#include <QtTest>

#include <QAction>
#include <QDialogButtonBox>
#include <QFileOpenEvent>
#include <QGraphicsView>
#include <QListView>
#include <QMenu>
#include <QMessageBox>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTreeWidget>

#include "app/application.h"
#include "io/documentbytes.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
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
#include "ui/editstylesheetdialog.h"
#include "ui/mainwindow.h"
#include "ui/missingphotosdialog.h"
#include "ui/templatesdialog.h"
#include "ui/viewzoom.h"
#include "undo/undostack.h"

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QList<MainWindow *> findChildrenOfApp()
{
    QList<MainWindow *> windows;
    for (QWidget *widget : QApplication::topLevelWidgets()) {
        if (auto *window = qobject_cast<MainWindow *>(widget))
            windows.append(window);
    }
    return windows;
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

class TestMainWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        BuiltInThemes::registerAll();
    }

    void cleanup()
    {
        for (const QPointer<MainWindow> &window : std::as_const(m_windows))
            delete window.data();
        m_windows.clear();
        QCOMPARE(Application::instance()->windowCount(), 0);
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
        QCOMPARE(window->isWindowModified(), modify);

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
        QVERIFY(!window->hasUnsavedChanges());
        // An added text alone counts as a change.
        window->addTextAction()->trigger();
        QVERIFY(window->hasUnsavedChanges());
        QVERIFY(window->isWindowModified());
        QVERIFY(document->imageList()->insertUrls(
            0, { QUrl::fromLocalFile(photo(0)), QUrl::fromLocalFile(photo(1)) }, false));
        document->setPageSize(PageSize(PageSize::Centimeters, QSizeF(15, 10)));
        document->textOverlays().constFirst()->setText(QStringLiteral("Summer"));

        const QString file = path(QStringLiteral("reopen.tsq"));
        QSignalSpy saved(window, &MainWindow::fileWasSaved);
        QVERIFY(window->saveToFile(file));
        QCOMPARE(saved.size(), 1);
        QCOMPARE(window->windowFilePath(), QDir::toNativeSeparators(file));
        QVERIFY(!window->isWindowModified());
        QCOMPARE(Application::instance()->windowForPath(file), window);
        QCOMPARE(Application::instance()->recentFiles().value(0), QDir::toNativeSeparators(file));
        const QByteArray written = DocumentBytes::write(*document);

        // A second open of the same file, spelled differently, raises the window.
        const QString spelled = m_dir.path() + QStringLiteral("/./reopen.tsq");
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
        QVERIFY(!reopened->isWindowModified());
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
        QVERIFY(QFile::link(m_dir.path(), alias));
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
        QCOMPARE(answerer.pending(), 0);
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
        QVERIFY(!before.isEmpty());

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
        QCOMPARE(answerer.seen().size(), 1);
        QVERIFY2(
            answerer.seen().first().startsWith(QStringLiteral("Failed to save file|Can't write ")),
            qPrintable(answerer.seen().first()));
        QVERIFY(window->isWindowModified());
        QVERIFY(!window->document()->undoStack()->isClean());
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
        QVERIFY(!Application::isPhotoFile(saved));
        QVERIFY(Application::isPhotoFile(photo(2)));
        QVERIFY(!Application::isPhotoFile(path(QStringLiteral("absent.png"))));

        ModalAnswerer answerer;
        answerer.enqueue(chooseTemplate(0));
        const QStringList arguments { photo(2), QStringLiteral("-x"), saved, photo(0), photo(1) };
        QCOMPARE(Application::instance()->openInitialWindow(arguments),
            Application::InitialWindow::Opened);
        QCOMPARE(answerer.pending(), 0);
        QCOMPARE(
            Application::instance()->windowCount(), 1); // the saved one; the new one is untitled
        const QList<MainWindow *> windows = findChildrenOfApp();
        QCOMPARE(windows.size(), 2);
        for (MainWindow *window : windows) {
            m_windows.append(window);
            if (window->windowFilePath().isEmpty()) {
                ImageList *list = window->document()->imageList();
                QCOMPARE(list->count(), 3);
                QCOMPARE(list->items().at(0)->source().toLocalFile(), photo(2));
                QCOMPARE(list->items().at(2)->source().toLocalFile(), photo(1));
            }
        }
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
        QCOMPARE(window->windowFilePath(), original);
        QVERIFY(window->isWindowModified());
        QVERIFY(!window->document()->undoStack()->isClean());
    }

    void removePhotoFollowsSelection()
    {
        MainWindow *window = newWindow();
        ImageList *images = window->document()->imageList();
        QVERIFY(images->insertUrls(
            0, { QUrl::fromLocalFile(photo(0)), QUrl::fromLocalFile(photo(1)) }, false));
        auto *remove = window->findChild<QAction *>(QStringLiteral("actionRemovePhoto"));
        QVERIFY(remove);
        QVERIFY(!remove->isEnabled());

        auto *view = window->findChild<QListView *>(QStringLiteral("imageListView"));
        QCOMPARE(view->selectionModel(), window->scene()->selectionModel());
        window->scene()->selectionModel()->select(images->index(1), QItemSelectionModel::Select);
        QVERIFY(remove->isEnabled());
        const int steps = window->document()->undoStack()->count();
        remove->trigger();
        QCOMPARE(images->rowCount(), 1);
        QCOMPARE(window->document()->undoStack()->count(), steps + 1);
        QVERIFY(!remove->isEnabled());
    }

    void drops_data()
    {
        QTest::addColumn<QList<QUrl>>("urls");
        QTest::addColumn<bool>("accepted");

        QTest::newRow("plain text") << QList<QUrl>() << false;
        QTest::newRow("a web address")
            << QList<QUrl> { QUrl("http://127.0.0.1:9/photo.png") } << false;
        QTest::newRow("a photo file") << QList<QUrl> { QUrl::fromLocalFile(photo(2)) } << true;
    }

    void drops()
    {
        QFETCH(QList<QUrl>, urls);
        QFETCH(bool, accepted);

        MainWindow *window = newWindow();
        QMimeData data;
        data.setText(QStringLiteral("hello"));
        data.setUrls(urls);
        const QPoint centre = window->rect().center();
        QDragEnterEvent enter(
            centre, Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, Qt::NoModifier);
        enter.ignore();
        QApplication::sendEvent(window, &enter);
        QCOMPARE(enter.isAccepted(), accepted);
        if (accepted)
            QCOMPARE(enter.dropAction(), Qt::CopyAction);

        QDropEvent drop(QPointF(centre), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton,
            Qt::NoModifier);
        drop.ignore();
        QApplication::sendEvent(window, &drop);
        QCOMPARE(drop.isAccepted(), accepted);
        QCOMPARE(window->document()->imageList()->rowCount(), accepted ? 1 : 0);
    }

    void sceneRectFollowsView()
    {
        MainWindow *window = newWindow();
        auto *view = window->findChild<QGraphicsView *>(QStringLiteral("graphicsView"));
        QVERIFY(view);
        for (const QSize size : { QSize(900, 700), QSize(640, 500), QSize(1200, 480) }) {
            window->resize(size);
            QTRY_COMPARE(window->scene()->sceneRect(), QRectF(0, 0, view->width(), view->height()));
        }
        QVERIFY(view->width() > 0);
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
        QCOMPARE(answerer.pending(), 0);
        QVERIFY(document->theme() != oldTheme);
        QCOMPARE(document->pageSize(), chosen);
        // The new look and page are one step.
        QCOMPARE(document->undoStack()->count(), 1);
        QCOMPARE(document->undoStack()->undoText(), QStringLiteral("Changing theme"));

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

        auto *menu = window->findChild<QMenu *>(QStringLiteral("menu_Edit"));
        QVERIFY(menu);
        const QList<QAction *> actions = menu->actions();
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
        ViewZoom *zoom = window->zoom();
        Scene *scene = window->scene();

        // Ctrl+wheel magnifies around the pointer: the page point under it stays.
        const QPointF pointer(view->width() * 0.3, view->height() * 0.4);
        const QPointF underPointer = view->mapToScene(pointer.toPoint());
        QWheelEvent wheel(pointer, view->viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, 240),
            Qt::NoButton, Qt::ControlModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &wheel);
        QVERIFY(zoom->factor() > 1.5);
        QVERIFY((view->mapFromScene(underPointer) - pointer).manhattanLength() <= 2);
        // Drawn fast while zooming, carefully once it settles.
        QCOMPARE(scene->fastDrawCount(), 1);
        QTRY_COMPARE(scene->fastDrawCount(), 0);

        // A plain wheel pans the magnified page.
        const int before = view->verticalScrollBar()->value();
        QWheelEvent pan(pointer, view->viewport()->mapToGlobal(pointer), QPoint(), QPoint(0, -120),
            Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(view->viewport(), &pan);
        QVERIFY(view->verticalScrollBar()->value() > before);
        QCOMPARE(view->dragMode(), QGraphicsView::ScrollHandDrag);

        // Fitting returns to the whole page; zooming out stops there.
        window->findChild<QAction *>(QStringLiteral("actionZoom_fit"))->trigger();
        QCOMPARE(zoom->factor(), 1.0);
        QVERIFY(view->transform().isIdentity());
        QCOMPARE(view->dragMode(), QGraphicsView::NoDrag);
        zoom->zoomOut();
        QCOMPARE(zoom->factor(), 1.0);
        window->findChild<QAction *>(QStringLiteral("actionZoom_in"))->trigger();
        QCOMPARE(zoom->factor(), ViewZoom::StepRatio);
    }

    void styleSheetEditor()
    {
        MainWindow *window = newWindow();
        auto *action = window->findChild<QAction *>(QStringLiteral("actionEdit_styleSheet"));
        action->trigger();
        auto *editor = window->findChild<EditStyleSheetDialog *>();
        QVERIFY(editor);
        QCOMPARE(editor->editor()->toPlainText(), window->styleSheet());
        editor->editor()->setPlainText(QStringLiteral("#centralWidget { background: #123; }"));
        editor->writeStyleSheet();
        QCOMPARE(window->styleSheet(), QStringLiteral("#centralWidget { background: #123; }"));
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
        QVERIFY(!MissingPhotosDialog::showIfPhotosMissing(&document, nullptr));
        QVERIFY(QDir().rename(path("home/away"), path("elsewhere")));
        QVERIFY(QDir().mkpath(path("split")));
        QVERIFY(QFile::rename(path("elsewhere/photo2.png"), path("split/photo2.png")));

        MissingPhotosDialog dialog(&document);
        auto *list = dialog.findChild<QTreeWidget *>();
        QCOMPARE(dialog.missingCount(), 2);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("photo1.png"));
        QCOMPARE(list->topLevelItem(1)->text(1), QDir::toNativeSeparators(path("home/away")));

        QString answer = path("elsewhere");
        MissingPhotosDialog::setFolderChooser([&](QWidget *, const QString &) { return answer; });
        const auto restore = qScopeGuard([] { MissingPhotosDialog::setFolderChooser({}); });
        const QList<QPushButton *> buttons = dialog.findChildren<QPushButton *>();
        QPushButton *locate = *std::find_if(buttons.begin(), buttons.end(),
            [](QPushButton *button) { return button->text() == QStringLiteral("Locate..."); });
        dialog.show();
        QTest::mouseClick(locate, Qt::LeftButton);
        QCOMPARE(dialog.missingCount(), 1);
        QCOMPARE(list->topLevelItem(0)->text(0), QStringLiteral("photo2.png"));
        QVERIFY(dialog.isVisible());
        const QString moved = path("elsewhere/photo1.png");
        QCOMPARE(document.imageList()->items()[1]->source().toLocalFile(), moved);

        answer = QString(); // cancelled: nothing changes
        QTest::mouseClick(locate, Qt::LeftButton);
        QCOMPARE(dialog.missingCount(), 1);

        answer = path("split");
        QTest::mouseClick(locate, Qt::LeftButton);
        QCOMPARE(dialog.missingCount(), 0);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(!dialog.isVisible());
        document.undoStack()->undo();
        QCOMPARE(document.imageList()->items()[2]->source().toLocalFile(), second);
        QCOMPARE(document.imageList()->items()[1]->source().toLocalFile(), moved);
    }

private:
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
        return m_dir.filePath(name);
    }

    QTemporaryDir m_dir;
    QList<QPointer<MainWindow>> m_windows;
};

int main(int argc, char *argv[])
{
    QStandardPaths::setTestModeEnabled(true);
    Application app(argc, argv);
    TestMainWindow test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_mainwindow.moc"
