#include "application.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLocale>
#include <QSettings>
#include <QTranslator>
#include <QWidget>

#include <utility>

#include "app/settingskeys.h"

namespace {

// Our own web pages. The domain is reserved for documentation, so nothing
// real is contacted before the product has its site.
const QString WebSite = QStringLiteral("https://quorvane.example/tesselo/");

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
    m_language = settings.value(SettingsKeys::Language).toString();
}

Application::~Application() = default;

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
    return QStringLiteral("@APP_DIR_PATH@/qm/")
        .replace(QStringLiteral("@APP_DIR_PATH@"), applicationDirPath());
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

QWidget *Application::windowForPath(const QString &path) const
{
    return m_windows.value(QDir::toNativeSeparators(path));
}

void Application::registerWindow(const QString &path, QWidget *window)
{
    m_windows.insert(QDir::toNativeSeparators(path), window);
    connect(
        window, &QObject::destroyed, this, &Application::mainWindowDestroyed, Qt::UniqueConnection);
}

void Application::clearRecents()
{
    m_recentFiles.clear();
    Q_EMIT recentFilesChanged();
}

void Application::performQuit()
{
    // Once a window refuses (its user cancelled the save prompt), stop.
    QList<QPointer<QWidget>> windows;
    for (QWidget *window : std::as_const(m_windows))
        windows.append(window);
    for (const QPointer<QWidget> &window : std::as_const(windows)) {
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
    auto *window = qobject_cast<QWidget *>(sender());
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
