#pragma once

#include <QApplication>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QUrl>

#include <memory>

class DocumentWindow;
class AboutDialog;
class Document;
class MainWindow;
class QMenuBar;
class QTranslator;
class RecentsMenu;
class RecoveryManager;
class WelcomeDialog;

// The process-wide part of Tesselo: identity and settings, the interface
// language, the recent-files list, the table of open document windows and
// the slots through which every window asks to open, create or quit.
class Application : public QApplication
{
    Q_OBJECT
    Q_PROPERTY(QStringList recentFiles READ recentFiles NOTIFY recentFilesChanged)

public:
    // Which of our web pages a start should open in the browser.
    enum class StartPage { None, Welcome, WhatsNew };
    // What the first window of a start came to.
    enum class InitialWindow { Opened, Cancelled, Failed };

    Application(int &argc, char **argv);
    ~Application() override;

    static Application *instance();

    QStringList recentFiles() const { return m_recentFiles; }
    int maxRecentFiles() const { return m_maxRecentFiles; }

    // Reads "FirstStart", stores the running version there and tells which
    // page, if any, the browser should show.
    StartPage performFirstStartCheck();
    static QUrl startPageUrl(StartPage page);

    QStringList discoverLanguages();
    QStringList languageList() const;
    QString language() const { return m_language; }
    QString currentLanguage() const { return m_currentLanguage; }
    bool setLanguage(const QString &language, bool force = false);
    void storeLanguage(const QString &language);
    QString systemLanguage() const;
    QString translationsPath() const;

    // The key of a file in the table of open windows: absolute, clean,
    // native separators, symbolic links resolved where the file exists, so
    // one file is one key however its path was written.
    static QString windowKey(const QString &path);
    // The arguments that name files to open: all but the program and options.
    static QStringList documentArguments(const QStringList &arguments);
    DocumentWindow *documentWindow() const { return m_documentWindow; }

    MainWindow *windowForPath(const QString &path) const;
    void registerWindow(const QString &path, MainWindow *window);
    int windowCount() const { return int(m_windows.size()); }

    // "Images (*.bmp *.png ...);;All files (*.*)": every format the image
    // reader knows, in its order.
    static QString imageFileFilter();
    // A file the image reader takes for a photo, and not a collage.
    static bool isPhotoFile(const QString &path);

    MainWindow *createWindow(Document *document);
    // Recovery copies are kept for every window from now on.
    void setRecoveryManager(RecoveryManager *recovery);
    // A collage recovered after a crash: modified, at its original path.
    void openRecovered(std::unique_ptr<Document> document, const QString &originalPath);
    // A new "Open recent" menu for an editing window's File menu.
    RecentsMenu *createRecentsMenu(QWidget *parent);
    WelcomeDialog *welcomeDialog() const { return m_welcomeDialog; }
    // Opens the files named on the command line, else starts a new collage.
    // Failed: files were named and none could be opened; Cancelled: the
    // user closed the first dialog.
    InitialWindow openInitialWindow();
    // The same with the arguments given (without the program path).
    InitialWindow openInitialWindow(const QStringList &arguments);
    QMenuBar *menuBar() const { return m_menuBar; }

public Q_SLOTS:
    bool openFile(const QString &path);
    bool openFile();
    void showWelcomeScreen();
    void clearRecents();
    bool createCollage();
    // A new collage from the chooser, holding these photos.
    bool createCollageWithPhotos(const QStringList &photos);
    void about();
    void performQuit();
    void mainWindowDestroyed(QObject *window);
    void mainWindowPathChanged(const QString &path);
    void registerRecent(const QString &path);

Q_SIGNALS:
    void recentFilesChanged();

protected:
    bool event(QEvent *event) override;

private:
    void createDocumentWindow();
    void buildMenuBar();
    QString executableBaseName() const;
    bool canLoadTranslation(const QString &language) const;
    void removeTranslators();

    QStringList m_recentFiles;
    int m_maxRecentFiles = 10;
    // Document windows opened from or saved to a file, keyed by windowKey().
    QHash<QString, MainWindow *> m_windows;
    QMenuBar *m_menuBar = nullptr;
    AboutDialog *m_aboutDialog = nullptr;
    WelcomeDialog *m_welcomeDialog = nullptr;
    QPointer<RecoveryManager> m_recovery;
    DocumentWindow *m_documentWindow = nullptr;
    QTranslator *m_appTranslator = nullptr;
    QTranslator *m_qtTranslator = nullptr;
    QString m_currentLanguage;
    QString m_language;
};
