#include <QtTest>

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QSettings>
#include <QWidget>

#include "app/application.h"
#include "app/settingskeys.h"
#include "model/document.h"
#include "support/modalanswerer.h"
#include "ui/mainwindow.h"

namespace {

// The smallest file QTranslator accepts: the .qm magic number alone.
void writeTranslation(const QString &path)
{
    static const char magic[] = { char(0x3C), char(0xB8), char(0x64), char(0x18), char(0xCA),
        char(0xEF), char(0x9C), char(0x95), char(0xCD), char(0x21), char(0x1C), char(0xBF),
        char(0x60), char(0xA1), char(0xBD), char(0xDD) };
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(magic, sizeof magic);
}

} // namespace

class TestApplication : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void firstStart_data();
    void firstStart();
    void recentFiles();
    void languages();
    void windowTable();
    void quitStopsAtRefusingWindow();

private:
    Application *app() const { return Application::instance(); }
    QString qmFolder() const { return app()->translationsPath(); }
};

void TestApplication::init()
{
    QSettings().clear();
    app()->clearRecents();
}

void TestApplication::cleanup()
{
    QDir(qmFolder()).removeRecursively();
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

void TestApplication::recentFiles()
{
    for (int i = 0; i < 11; ++i)
        app()->registerRecent(QStringLiteral("/photos/%1.tsq").arg(i));
    app()->registerRecent(QStringLiteral("/photos/5.tsq"));
    QStringList expected { QStringLiteral("/photos/5.tsq") };
    for (int i = 10; i > 0; --i) {
        if (i != 5)
            expected << QStringLiteral("/photos/%1.tsq").arg(i);
    }
    QCOMPARE(app()->recentFiles(), expected); // the most recent first, ten at most
    QCOMPARE(QSettings().value(SettingsKeys::RecentFiles).toStringList(), expected);

    // Clearing empties the menu, but the next start still reads the old list.
    app()->clearRecents();
    QVERIFY(app()->recentFiles().isEmpty());
    QCOMPARE(QSettings().value(SettingsKeys::RecentFiles).toStringList(), expected);
}

void TestApplication::languages()
{
    // Without translation files only English is offered.
    QCOMPARE(app()->discoverLanguages(), QStringList({ QStringLiteral("en") }));
    QVERIFY(!app()->setLanguage(QStringLiteral("de")));

    QVERIFY(QDir().mkpath(qmFolder()));
    const QString base = QFileInfo(QCoreApplication::applicationFilePath()).baseName();
    writeTranslation(qmFolder() + base + ".de.qm");
    writeTranslation(qmFolder() + base + ".pt_BR.qm");
    writeTranslation(qmFolder() + "other.fr.qm");
    QStringList languages = app()->discoverLanguages();
    QCOMPARE(languages.first(), QStringLiteral("en"));
    languages.sort();
    QCOMPARE(languages, QStringList({ "de", "en", "pt_BR" }));

    QVERIFY(!app()->setLanguage(QStringLiteral("fr")));
    QVERIFY(app()->setLanguage(QStringLiteral("de")));
    QCOMPARE(QSettings().value(SettingsKeys::Language).toString(), QStringLiteral("de"));

    // A listed language whose file has gone: the switch fails, nothing is translated.
    QFile::remove(qmFolder() + base + ".pt_BR.qm");
    QVERIFY(!app()->setLanguage(QStringLiteral("pt_BR")));
    QVERIFY(app()->currentLanguage().isEmpty());
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

int main(int argc, char *argv[])
{
    QStandardPaths::setTestModeEnabled(true);
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
