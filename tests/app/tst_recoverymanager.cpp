#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

#include "app/recoverymanager.h"
#include "io/documentfile.h"
#include "model/document.h"
#include "model/pagesize.h"
#include "support/modalanswerer.h"
#include "themes/builtinthemes.h"
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

class TestRecoveryManager : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void copiesFollowUnsavedChanges();
    void timerWritesCopies();
    void killedProcessIsRecovered();
    void offerRecoversAndDiscards();

private:
    QString folder() const { return m_dir->filePath(QStringLiteral("recovery")); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestRecoveryManager::initTestCase()
{
    BuiltInThemes::registerAll();
}

void TestRecoveryManager::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestRecoveryManager::copiesFollowUnsavedChanges()
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

void TestRecoveryManager::timerWritesCopies()
{
    RecoveryManager manager(folder());
    manager.setInterval(20);
    Document document(true);
    giveTheme(document);
    manager.watch(&document, QString());
    document.setPageSize(editedPage);
    QTRY_VERIFY(!manager.copyPath(&document).isEmpty());
}

void TestRecoveryManager::killedProcessIsRecovered()
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

void TestRecoveryManager::offerRecoversAndDiscards()
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

int main(int argc, char *argv[])
{
    if (argc >= 4 && qstrcmp(argv[1], "--write-and-wait") == 0)
        return writeAndWait(argc, argv);
    QApplication app(argc, argv);
    TestRecoveryManager test;
    QTEST_SET_MAIN_SOURCE_PATH
    return QTest::qExec(&test, argc, argv);
}

#include "tst_recoverymanager.moc"
