#pragma once

#include <QApplication>
#include <QHash>
#include <QPointer>
#include <QStringList>
#include <QUrl>

class DocumentWindow;
class QTranslator;

// The process-wide part of Tesselo: identity and settings, the interface
// language, the recent-files list and the table of open document windows.
class Application : public QApplication
{
    Q_OBJECT
    Q_PROPERTY(QStringList recentFiles READ recentFiles NOTIFY recentFilesChanged)

public:
    // Which of our web pages a start should open in the browser.
    enum class StartPage { None, Welcome, WhatsNew };

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

    // The arguments that name files to open: all but the program and options.
    static QStringList documentArguments(const QStringList &arguments);
    DocumentWindow *documentWindow() const { return m_documentWindow; }

    QWidget *windowForPath(const QString &path) const;
    void registerWindow(const QString &path, QWidget *window);
    int windowCount() const { return int(m_windows.size()); }

public Q_SLOTS:
    void clearRecents();
    void performQuit();
    void mainWindowDestroyed(QObject *window);
    void mainWindowPathChanged(const QString &path);
    void registerRecent(const QString &path);

Q_SIGNALS:
    void recentFilesChanged();

private:
    void createDocumentWindow();
    QString executableBaseName() const;
    bool canLoadTranslation(const QString &language) const;
    void removeTranslators();

    QStringList m_recentFiles;
    int m_maxRecentFiles = 10;
    // Document windows opened from a file, keyed by their native path.
    QHash<QString, QWidget *> m_windows;
    DocumentWindow *m_documentWindow = nullptr;
    QTranslator *m_appTranslator = nullptr;
    QTranslator *m_qtTranslator = nullptr;
    QString m_currentLanguage;
    QString m_language;
};
