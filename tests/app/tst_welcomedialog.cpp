#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QListView>
#include <QPushButton>
#include <QSettings>
#include <QStandardItemModel>

#include "app/application.h"
#include "app/recentsmenu.h"
#include "app/settingskeys.h"
#include "app/welcomedialog.h"

class TestWelcomeDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void languageSelector();
    void emptyRecents();
    void recentEntries();
    void failedOpenShowsDialogAgain();
    void checkBoxStoresChoice();
    void germanInterface();
    void missingTranslationStaysEnglish();

private:
    Application *app() const { return Application::instance(); }
    QString qmFolder() const { return app()->translationsPath(); }
    QString ourCatalogue(const QString &language) const
    {
        return qmFolder() + QFileInfo(QCoreApplication::applicationFilePath()).baseName()
            + QLatin1Char('.') + language + QStringLiteral(".qm");
    }
    void installGerman();
    QString makeFile(const QString &name);

    QTemporaryDir m_dir;
};

void TestWelcomeDialog::init()
{
    QSettings().clear();
    app()->clearRecents();
    QDir(qmFolder()).removeRecursively();
    app()->discoverLanguages();
    app()->setLanguage(QString(), true);
}

void TestWelcomeDialog::cleanup()
{
    QDir(qmFolder()).removeRecursively();
    app()->discoverLanguages();
    app()->setLanguage(QString(), true);
}

void TestWelcomeDialog::installGerman()
{
    QVERIFY(QDir().mkpath(qmFolder()));
    const QDir built(QStringLiteral(TESSELO_QM_DIR));
    QVERIFY(QFile::copy(built.filePath(QStringLiteral("tesselo.de.qm")), ourCatalogue("de")));
    for (const QString &qt : built.entryList({ QStringLiteral("qt*_de.qm") }))
        QVERIFY(QFile::copy(built.filePath(qt), qmFolder() + qt));
    app()->discoverLanguages();
}

QString TestWelcomeDialog::makeFile(const QString &name)
{
    const QString path = QDir::toNativeSeparators(m_dir.filePath(name));
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return path;
}

void TestWelcomeDialog::languageSelector()
{
    {
        WelcomeDialog dialog;
        QVERIFY(dialog.findChild<QComboBox *>("languageComboBox")->isHidden());
    }
    installGerman();
    WelcomeDialog dialog;
    auto *box = dialog.findChild<QComboBox *>("languageComboBox");
    QVERIFY(!box->isHidden());
    QCOMPARE(box->count(), 3); // Automatic, English, Deutsch
    QCOMPARE(box->itemData(2).toString(), QStringLiteral("de"));
    QCOMPARE(box->currentIndex(), 0); // nothing stored: Automatic

    box->setCurrentIndex(2);
    QCOMPARE(QSettings().value(SettingsKeys::Language).toString(), QStringLiteral("de"));
    box->setCurrentIndex(0);
    QVERIFY(QSettings().value(SettingsKeys::Language).toString().isEmpty());
    QVERIFY(app()->language().isEmpty());
}

void TestWelcomeDialog::emptyRecents()
{
    WelcomeDialog dialog;
    RecentsMenu menu;
    QVERIFY(!dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open)->isEnabled());
    QVERIFY(!menu.clearAction()->isEnabled());
    QVERIFY(menu.fileActions().isEmpty());
}

void TestWelcomeDialog::recentEntries()
{
    QStringList paths;
    for (int i = 1; i <= 10; ++i)
        paths.prepend(makeFile(QStringLiteral("c%1.tsq").arg(i)));
    const QString gone = QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("gone.tsq")));
    for (int i = paths.size() - 1; i >= 0; --i)
        app()->registerRecent(paths.at(i));
    RecentsMenu menu;
    WelcomeDialog dialog;
    QCOMPARE(menu.fileActions().size(), 10);
    QCOMPARE(menu.fileActions().last()->text(), QStringLiteral("&10 c1.tsq"));
    QCOMPARE(menu.fileActions().first()->toolTip(), paths.first());
    QVERIFY(menu.clearAction()->isEnabled());

    // A vanished file stays listed, greyed in both places.
    app()->registerRecent(gone);
    QCOMPARE(menu.fileActions().size(), 10);
    QVERIFY(!menu.fileActions().first()->isEnabled());
    QVERIFY(menu.fileActions().at(1)->isEnabled());
    auto *list = dialog.findChild<QListView *>("listView");
    const QModelIndex first = list->model()->index(0, 0);
    QCOMPARE(first.data(Qt::UserRole).toString(), QFileInfo(gone).absoluteFilePath());
    QVERIFY(first.data(Qt::ForegroundRole).isValid());
    QVERIFY(!list->model()->index(1, 0).data(Qt::ForegroundRole).isValid());

    // Selecting a row enables Open; clearing empties the menu.
    auto *open = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Open);
    list->selectionModel()->select(list->model()->index(1, 0), QItemSelectionModel::Select);
    QVERIFY(open->isEnabled());
    menu.clearAction()->trigger();
    QVERIFY(menu.fileActions().isEmpty());
    QCOMPARE(list->model()->rowCount(), 0);
    QVERIFY(!open->isEnabled());
}

void TestWelcomeDialog::failedOpenShowsDialogAgain()
{
    const QString gone = QDir::toNativeSeparators(m_dir.filePath(QStringLiteral("gone.tsq")));
    app()->registerRecent(gone);
    WelcomeDialog dialog;
    dialog.show();
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        if (QWidget *box = QApplication::activeModalWidget()) {
            answered = true;
            box->close();
        }
    });
    dialog.openFile(gone);
    QVERIFY(answered);
    QVERIFY(dialog.isVisible());
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
    QCOMPARE(app()->recentFiles().first(), gone); // kept in the list
}

void TestWelcomeDialog::checkBoxStoresChoice()
{
    WelcomeDialog dialog;
    auto *check = dialog.findChild<QCheckBox *>("checkBox");
    QVERIFY(check->isChecked());
    check->click();
    QCOMPARE(QSettings().value(SettingsKeys::ShowWelcomeScreen).toBool(), false);
    WelcomeDialog again;
    QVERIFY(!again.findChild<QCheckBox *>("checkBox")->isChecked());
}

void TestWelcomeDialog::germanInterface()
{
    installGerman();
    WelcomeDialog dialog;
    RecentsMenu menu;
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Welcome!"));
    QVERIFY(app()->setLanguage(QStringLiteral("de"), true));
    QCOMPARE(app()->currentLanguage(), QStringLiteral("de"));
    // Open windows follow as soon as the change event arrives.
    QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("Willkommen!"));
    QCOMPARE(dialog.findChild<QLabel *>("welcomeLabel")->text(),
        QStringLiteral("Willkommen bei Tesselo!"));
    QTRY_COMPARE(menu.title(), QStringLiteral("&Zuletzt geöffnet"));
    // Qt's own texts come along.
    QCOMPARE(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Abbrechen"));

    QVERIFY(app()->setLanguage(QStringLiteral("en"), true));
    QTRY_COMPARE(dialog.windowTitle(), QStringLiteral("Welcome!"));
}

void TestWelcomeDialog::missingTranslationStaysEnglish()
{
    installGerman();
    QFile::remove(ourCatalogue("de"));
    WelcomeDialog dialog;
    QVERIFY(!app()->setLanguage(QStringLiteral("de"), true));
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Welcome!"));
}

int main(int argc, char *argv[])
{
    QStandardPaths::setTestModeEnabled(true);
    Application app(argc, argv);
    TestWelcomeDialog test;
    return QTest::qExec(&test, argc, argv);
}
#include "tst_welcomedialog.moc"
