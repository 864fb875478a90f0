#include "application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFileOpenEvent>
#include <QImageReader>
#include <QLocale>
#include <QMenuBar>
#include <QMessageBox>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QTranslator>
#include <QWidget>

#include <memory>
#include <utility>

#include "app/aboutdialog.h"
#include "app/recentsmenu.h"
#include "app/recoverymanager.h"
#include "app/settingskeys.h"
#include "app/welcomedialog.h"
#include "imaging/imagedecoder.h"
#include "io/documentfile.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "platform/documentwindow.h"
#include "themes/theme.h"
#include "ui/mainwindow.h"
#include "ui/missingphotosdialog.h"
#include "ui/progressinformationdialog.h"
#include "ui/templatesdialog.h"
#include "undo/undostack.h"

namespace {

// Our own web pages. The domain is reserved for documentation, so nothing
// real is contacted before the product has its site.
const QString WebSite = QStringLiteral("https://quorvane.example/tesselo/");

// Shows a window made on first use and brings it to the front.
template<typename Window> void showAndRaise(Window *&window)
{
    if (!window)
        window = new Window();
    window->show();
    window->raise();
    window->activateWindow();
}

} // namespace

Application::Application(int &argc, char **argv)
    : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("Tesselo"));
    setApplicationVersion(QStringLiteral("0.9.6"));
    setOrganizationName(QStringLiteral("Quorvane"));
    setOrganizationDomain(QStringLiteral("quorvane.example"));

    QSettings settings;
    m_recentFiles = settings.value(SettingsKeys::RecentFiles).toStringList();
    buildMenuBar();
    m_language = settings.value(SettingsKeys::Language).toString();

    createDocumentWindow();
}

void Application::createDocumentWindow()
{
    m_documentWindow = new DocumentWindow;
    connect(m_documentWindow, &DocumentWindow::openFile, this,
        qOverload<const QString &>(&Application::openFile));
#ifdef Q_OS_WIN
    // The shell talks to a native window: give it one, but never show it.
    m_documentWindow->setGeometry(-100, -100, 0, 0);
    m_documentWindow->show();
    m_documentWindow->hide();
    m_documentWindow->registerFileType(QStringLiteral("Quorvane.Collage.Document"),
        tr("Quorvane Tesselo Document", "Windows registered document name"), QStringLiteral(".tsq"),
        0, true, DocumentWindow::OpenVerb);
    m_documentWindow->enableShellOpen();
#endif
}

QStringList Application::documentArguments(const QStringList &arguments)
{
    QStringList files;
    for (int i = 1; i < arguments.size(); ++i) {
        if (!arguments.at(i).startsWith(QLatin1Char('-')))
            files.append(arguments.at(i));
    }
    return files;
}

Application::~Application()
{
    delete m_welcomeDialog;
    delete m_documentWindow;
    delete m_aboutDialog;
    delete m_menuBar;
}

// Where a platform shows a menu bar with no window open, this one appears.
void Application::buildMenuBar()
{
    m_menuBar = new QMenuBar(nullptr);
    QMenu *fileMenu = m_menuBar->addMenu(tr("&File"));
    fileMenu->addAction(tr("&New collage..."), this, &Application::createCollage);
    fileMenu->addAction(tr("&Open..."), this, qOverload<>(&Application::openFile));
    fileMenu->addMenu(createRecentsMenu(fileMenu));
    QMenu *helpMenu = m_menuBar->addMenu(tr("&Help"));
    QAction *aboutAction = helpMenu->addAction(tr("&About..."), this, &Application::about);
    aboutAction->setMenuRole(QAction::AboutRole);
    QAction *aboutQtAction = helpMenu->addAction(tr("About &Qt..."), this, &QApplication::aboutQt);
    aboutQtAction->setMenuRole(QAction::AboutQtRole);
}

Application *Application::instance()
{
    return qobject_cast<Application *>(QCoreApplication::instance());
}

Application::StartPage Application::performFirstStartCheck()
{
    QSettings settings;
    const QString previous = settings.value(SettingsKeys::FirstStart, QString()).toString();
    settings.setValue(SettingsKeys::FirstStart, applicationVersion());
    if (previous == applicationVersion())
        return StartPage::None;
    return previous.isEmpty() ? StartPage::Welcome : StartPage::WhatsNew;
}

QUrl Application::startPageUrl(StartPage page)
{
    switch (page) {
    case StartPage::Welcome:
        return QUrl(WebSite + QStringLiteral("welcome"));
    case StartPage::WhatsNew:
        return QUrl(WebSite + QStringLiteral("whats-new"));
    case StartPage::None:
        break;
    }
    return QUrl();
}

QString Application::executableBaseName() const
{
    return QFileInfo(applicationFilePath()).baseName();
}

QString Application::translationsPath() const
{
    // Beside the executable in a build; installed, in the shared data folder.
    const QString beside = QStringLiteral("@APP_DIR_PATH@/qm/")
                               .replace(QStringLiteral("@APP_DIR_PATH@"), applicationDirPath());
    const QString installed = applicationDirPath() + QStringLiteral("/../share/tesselo/qm/");
    if (!QFileInfo::exists(beside) && QFileInfo::exists(installed))
        return QDir::cleanPath(installed) + QLatin1Char('/');
    return beside;
}

QStringList Application::discoverLanguages()
{
    const QDir folder(translationsPath());
    const QStringList files = folder.entryList(
        { executableBaseName() + QStringLiteral(".*.qm") }, QDir::NoFilter, QDir::NoSort);
    QStringList languages;
    for (QString file : files) {
        file.chop(3); // ".qm"
        languages.append(file.mid(file.lastIndexOf(QLatin1Char('.')) + 1));
    }
    if (!languages.contains(QStringLiteral("en")))
        languages.prepend(QStringLiteral("en"));
    setProperty("languageList", languages);
    return languages;
}

QStringList Application::languageList() const
{
    return property("languageList").toStringList();
}

bool Application::setLanguage(const QString &language, bool force)
{
    if (language == m_language && !force)
        return true;
    if (!language.isEmpty() && !languageList().contains(language))
        return false;
    storeLanguage(language);

    const QString effective = m_language.isEmpty() ? systemLanguage() : m_language;
    if (effective == m_currentLanguage)
        return true;

    removeTranslators();
    QLocale::setDefault(QLocale(effective));
    if (effective != QStringLiteral("en")) {
        m_appTranslator = new QTranslator(this);
        if (!m_appTranslator->load(
                executableBaseName() + QLatin1Char('.') + effective, translationsPath())) {
            m_appTranslator->deleteLater();
            m_appTranslator = nullptr;
            return false;
        }
        installTranslator(m_appTranslator);
        m_qtTranslator = new QTranslator(this);
        if (m_qtTranslator->load(QStringLiteral("qt_") + effective, translationsPath())) {
            installTranslator(m_qtTranslator);
        } else {
            m_qtTranslator->deleteLater();
            m_qtTranslator = nullptr;
        }
    }
    m_currentLanguage = effective;
    return true;
}

void Application::removeTranslators()
{
    for (QTranslator **translator : { &m_appTranslator, &m_qtTranslator }) {
        if (*translator) {
            removeTranslator(*translator);
            (*translator)->deleteLater();
            *translator = nullptr;
        }
    }
    m_currentLanguage.clear();
}

void Application::storeLanguage(const QString &language)
{
    if (language == m_language)
        return;
    if (!language.isEmpty() && !languageList().contains(language))
        return;
    m_language = language;
    QSettings().setValue(SettingsKeys::Language, m_language);
}

QString Application::systemLanguage() const
{
    for (const QString &tag : QLocale::system().uiLanguages()) {
        const QString name = QLocale(tag).name();
        QStringList candidates { name };
        const int underscore = name.indexOf(QLatin1Char('_'));
        if (underscore >= 0)
            candidates.append(name.left(underscore));
        for (const QString &candidate : std::as_const(candidates)) {
            if (candidate == QStringLiteral("en") || canLoadTranslation(candidate))
                return candidate;
        }
    }
    return QString();
}

bool Application::canLoadTranslation(const QString &language) const
{
    QTranslator probe;
    return probe.load(executableBaseName() + QLatin1Char('.') + language, translationsPath(),
        QStringLiteral("-"));
}

QString Application::windowKey(const QString &path)
{
    if (path.isEmpty())
        return QString();
    const QFileInfo info(path);
    QString key = info.canonicalFilePath(); // empty while the file does not exist
    if (key.isEmpty())
        key = QDir::cleanPath(info.absoluteFilePath());
    return QDir::toNativeSeparators(key);
}

MainWindow *Application::windowForPath(const QString &path) const
{
    return m_windows.value(windowKey(path));
}

void Application::registerWindow(const QString &path, MainWindow *window)
{
    m_windows.insert(windowKey(path), window);
    connect(
        window, &QObject::destroyed, this, &Application::mainWindowDestroyed, Qt::UniqueConnection);
}

QString Application::imageFileFilter()
{
    QStringList patterns;
    for (const QString &suffix : ImageDecoder::fileSuffixes())
        patterns << QStringLiteral("*.") + suffix;
    return tr("Images (%1);;All files (*.*)").arg(patterns.join(QLatin1Char(' ')));
}

MainWindow *Application::createWindow(Document *document)
{
    auto *window = new MainWindow(document, nullptr);
    window->show();
    window->activateWindow();
    connect(window, &QObject::destroyed, this, &Application::mainWindowDestroyed);
    connect(window, &MainWindow::windowPathChanged, this, &Application::mainWindowPathChanged);
    connect(window, &MainWindow::fileWasSaved, this, &Application::registerRecent);
    if (m_recovery) {
        m_recovery->watch(document, window->windowFilePath());
        connect(window, &MainWindow::windowPathChanged, m_recovery,
            [recovery = m_recovery, document](
                const QString &path) { recovery->setOriginalPath(document, path); });
    }
    return window;
}

void Application::setRecoveryManager(RecoveryManager *recovery)
{
    m_recovery = recovery;
}

void Application::openRecovered(std::unique_ptr<Document> document, const QString &originalPath)
{
    Document *recovered = document.get();
    MainWindow *window = createWindow(document.release());
    // The window starts a fresh history; what was recovered is still unsaved.
    if (UndoStack *stack = recovered->undoStack())
        stack->resetClean();
    if (!originalPath.isEmpty()) {
        window->setWindowTitle(QString());
        window->setWindowFilePath(originalPath);
        registerWindow(originalPath, window);
        if (m_recovery)
            m_recovery->setOriginalPath(recovered, originalPath);
    }
    recovered->imageList()->readAllFiles(true);
}

bool Application::isPhotoFile(const QString &path)
{
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly))
        return false;
    // A collage file opens with its document record, whatever its name.
    if (file.peek(2) == QByteArray("\xD3\x06", 2))
        return false;
    file.close();
    if (QImageReader(path).canRead())
        return true;
    // Formats the reader cannot sniff are known by the suffixes we read.
    static const QRegularExpression pattern(QStringLiteral("\\*\\.(\\w+)"));
    const QString filter = imageFileFilter().section(QStringLiteral(";;"), 0, 0);
    const QString suffix = QFileInfo(path).suffix();
    for (auto match = pattern.globalMatch(filter); match.hasNext();) {
        if (match.next().captured(1).compare(suffix, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

bool Application::openFile(const QString &path)
{
    // "Open with Tesselo" on a photo starts a collage of it.
    if (isPhotoFile(path))
        return createCollageWithPhotos({ path });
    const QString nativePath = QDir::toNativeSeparators(path);
    ProgressInformationDialog progress(
        tr("Open file"), tr("Opening project from %1").arg(nativePath));
    progress.show();

    if (MainWindow *open = windowForPath(nativePath)) {
        open->show();
        open->raise();
        open->activateWindow();
        registerRecent(nativePath);
        return true;
    }

    QString error;
    std::unique_ptr<Document> document = DocumentFile::open(nativePath, &error);
    if (!document) {
        progress.close();
        QMessageBox::critical(nullptr, DocumentFile::openErrorTitle(), error, QMessageBox::Ok);
        return false;
    }
    MainWindow *window = createWindow(document.release());
    window->setWindowTitle(QString());
    window->setWindowFilePath(nativePath);
    registerWindow(nativePath, window);

    // Reading the photos may take a while; the window shows meanwhile.
    progress.close();
    QPointer<MainWindow> guard(window);
    if (m_recovery)
        m_recovery->setOriginalPath(window->document(), nativePath);
    if (!window->document()->imageList()->readAllFiles(true)) {
        if (guard)
            delete guard.data(); // leaves the table through mainWindowDestroyed
        return false;
    }
    registerRecent(nativePath);
    // Photos moved or copied without the collage: say which, offer to find them.
    if (guard)
        MissingPhotosDialog::showIfPhotosMissing(window->document(), window);
    return true;
}

bool Application::openFile()
{
    const QString path = QFileDialog::getOpenFileName(nullptr, tr("Open file"),
        QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation),
        Document::fileFilter());
    if (path.isEmpty())
        return false;
    return openFile(path);
}

void Application::showWelcomeScreen()
{
    showAndRaise(m_welcomeDialog);
}

RecentsMenu *Application::createRecentsMenu(QWidget *parent)
{
    return new RecentsMenu(parent);
}

bool Application::createCollage()
{
    return createCollageWithPhotos({});
}

bool Application::createCollageWithPhotos(const QStringList &photos)
{
    auto document = std::make_unique<Document>(true);
    TemplatesDialog chooser(nullptr, document.get());
    if (chooser.exec() != QDialog::Accepted)
        return false;
    UndoStack *stack = document->undoStack();
    stack->beginMacro(tr("Changing theme to %1").arg(chooser.selectedTemplateName()));
    document->setPageSize(chooser.currentPageSize());
    Theme *theme = chooser.createSelectedTheme(document.get());
    document->setTheme(theme);
    stack->endMacro();
    if (!theme)
        return false;
    MainWindow *window = createWindow(document.release());
    if (!photos.isEmpty()) {
        QList<QUrl> urls;
        for (const QString &photo : photos)
            urls.append(QUrl::fromLocalFile(QFileInfo(photo).absoluteFilePath()));
        window->document()->imageList()->insertUrls(0, urls, true);
    }
    return true;
}

Application::InitialWindow Application::openInitialWindow()
{
    return openInitialWindow(arguments().mid(1));
}

Application::InitialWindow Application::openInitialWindow(const QStringList &arguments)
{
    bool named = false;
    bool opened = false;
    // Photos among the files make one new collage together, in their order.
    QStringList photos;
    for (const QString &argument : arguments) {
        if (argument.startsWith(QLatin1Char('-')))
            continue;
        named = true;
        if (isPhotoFile(argument))
            photos.append(argument);
        else
            opened = openFile(argument) || opened;
    }
    if (!photos.isEmpty())
        opened = createCollageWithPhotos(photos) || opened;
    if (opened)
        return InitialWindow::Opened;
    if (named)
        return InitialWindow::Failed;
    if (QSettings().value(SettingsKeys::ShowWelcomeScreen, true).toBool()) {
        showWelcomeScreen();
        return InitialWindow::Opened;
    }
    return createCollage() ? InitialWindow::Opened : InitialWindow::Cancelled;
}

void Application::about()
{
    showAndRaise(m_aboutDialog);
}

bool Application::event(QEvent *event)
{
    if (event->type() == QEvent::FileOpen)
        return openFile(static_cast<QFileOpenEvent *>(event)->file());
    return QApplication::event(event);
}

void Application::clearRecents()
{
    m_recentFiles.clear();
    Q_EMIT recentFilesChanged();
}

void Application::performQuit()
{
    // Once a window refuses (its user cancelled the save prompt), stop.
    QList<QPointer<MainWindow>> windows;
    for (MainWindow *window : std::as_const(m_windows))
        windows.append(window);
    for (const QPointer<MainWindow> &window : std::as_const(windows)) {
        if (window && !window->close())
            return;
    }
    quit();
}

void Application::mainWindowDestroyed(QObject *window)
{
    for (auto it = m_windows.begin(); it != m_windows.end(); ++it) {
        if (it.value() == window) {
            m_windows.erase(it);
            return;
        }
    }
}

void Application::mainWindowPathChanged(const QString &path)
{
    auto *window = qobject_cast<MainWindow *>(sender());
    if (!window)
        return;
    mainWindowDestroyed(window);
    registerWindow(path, window);
}

void Application::registerRecent(const QString &path)
{
    const QString nativePath = QDir::toNativeSeparators(path);
    if (!m_recentFiles.isEmpty() && m_recentFiles.first() == nativePath)
        return;
    m_recentFiles.removeOne(nativePath);
    m_recentFiles.prepend(nativePath);
    while (m_recentFiles.size() > m_maxRecentFiles)
        m_recentFiles.removeLast();
    QSettings().setValue(SettingsKeys::RecentFiles, m_recentFiles);
    Q_EMIT recentFilesChanged();
}
