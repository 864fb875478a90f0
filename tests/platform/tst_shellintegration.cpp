// How the program meets the desktop: the commands a second start or the
// Windows shell hands to the running program, the file type it registers,
// and the local socket that carries the commands between instances.

#include <QtTest>

#include <QLocalSocket>
#include <QProcess>
#include <QtConcurrent>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/documentwindow.h"
#include "platform/singleinstance.h"

namespace {

// Records what the shell integration writes and asks, and fails on demand.
class RecordingWindow : public DocumentWindow
{
public:
    QStringList calls;
    QList<RegistryValue> written;
    QString failKey;
    QString owner;

protected:
    void handleOpen(const QString &path) override { calls << "open:" + path; }
    void handleNew(const QString &path) override { calls << "new:" + path; }
    void handlePrint(const QString &path) override { calls << "print:" + path; }
    void handleOtherCommand(const QString &verb, const QString &argument) override
    {
        calls << "other:" + verb + "|" + argument;
    }
    bool setRegistryValue(
        const QString &key, const QString &data, const QString &valueName) override
    {
        if (key == failKey)
            return false;
        written.append({ key, valueName, data, 0 });
        return true;
    }
    QString extensionOwner(const QString &) const override { return owner; }
};

const QString ProgId = QStringLiteral("Quorvane.Collage.Document");

} // namespace

class TestShellIntegration : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QFile::remove(socketPath()); }

    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("isCommand");

        QTest::newRow("path with spaces")
            << R"([open("C:\My Photos\trip 2.tsq")])"
            << QStringList { R"(open:C:\My Photos\trip 2.tsq)" } << true;
        QTest::newRow("new, verb in capitals")
            << R"([New("/b.tsq")])" << QStringList { "new:/b.tsq" } << true;
        QTest::newRow("print") << R"([print("/c.tsq")])" << QStringList { "print:/c.tsq" } << true;
        QTest::newRow("unquoted goes to the other handler")
            << "[open(/a.tsq)]" << QStringList { "other:open|/a.tsq" } << true;
        QTest::newRow("unknown verb")
            << R"([frobnicate("x")])" << QStringList { R"(other:frobnicate|"x")" } << true;
        QTest::newRow("no brackets") << R"(open("/a.tsq"))" << QStringList() << false;
        QTest::newRow("trailing text") << R"([open("/a.tsq")] rm -rf)" << QStringList() << false;
    }

    void commands()
    {
        QFETCH(QString, command);
        QFETCH(QStringList, calls);
        QFETCH(bool, isCommand);

        RecordingWindow window;
        QCOMPARE(window.executeCommand(command), isCommand);
        QCOMPARE(DocumentWindow::isCommand(command), isCommand);
        QCOMPARE(window.calls, calls);
    }

    void disabledWindowIgnoresCommands()
    {
        DocumentWindow window;
        QSignalSpy opened(&window, &DocumentWindow::openFile);
        window.setEnabled(false);
        QVERIFY(window.executeCommand(R"([open("/a.tsq")])")); // acknowledged ...
        QCOMPARE(opened.count(), 0); // ... and ignored
        window.setEnabled(true);
        QVERIFY(window.executeCommand(R"([open("/a.tsq")])"));
        QCOMPARE(opened.value(0).value(0).toString(), QStringLiteral("/a.tsq"));
    }

    void layout()
    {
        const QList<RegistryValue> values = DocumentWindow::fileTypeLayout(ProgId,
            "Quorvane Tesselo Document", "C:/Program Files/Tesselo/tesselo.exe", 0, true,
            DocumentWindow::OpenVerb, "tesselo", "system");
        const QString exe = QDir::toNativeSeparators("C:/Program Files/Tesselo/tesselo.exe");
        const QList<RegistryValue> expected {
            { ProgId, "", "Quorvane Tesselo Document", 0 },
            { ProgId + "\\DefaultIcon", "", "\"" + exe + "\",0", 0 },
            { ProgId + "\\shell\\Open\\command", "", "\"" + exe + "\"  %1", 1 },
            { ProgId + "\\shell\\Open\\ddeexec", "", "[open(\"%1\")]", 1 },
            { ProgId + "\\shell\\Open\\ddeexec\\application", "", "tesselo", 1 },
            { ProgId + "\\shell\\Open\\ddeexec\\topic", "", "system", 1 },
        };
        QCOMPARE(values, expected);
    }

    void registration_data()
    {
        QTest::addColumn<QString>("owner");
        QTest::addColumn<QString>("failKey");
        QTest::addColumn<QStringList>("keys");

        const QString open = ProgId + "\\shell\\Open";
        const QStringList typeKeys { ProgId, ProgId + "\\DefaultIcon", open + "\\command",
            open + "\\ddeexec", open + "\\ddeexec\\application", open + "\\ddeexec\\topic" };
        QTest::newRow("fresh extension")
            << ""
            << "" << typeKeys + QStringList { ".tsq", ".tsq\\ShellNew" };
        QTest::newRow("extension already ours")
            << ProgId << "" << typeKeys + QStringList { ".tsq", ".tsq\\ShellNew" };
        QTest::newRow("extension owned by another program") << "Other.Viewer"
                                                            << "" << typeKeys;
        QTest::newRow("a failed description stops everything") << "" << ProgId << QStringList();
        QTest::newRow("a failed verb skips its DDE keys only")
            << "" << open + "\\command"
            << QStringList { ProgId, ProgId + "\\DefaultIcon", ".tsq", ".tsq\\ShellNew" };
    }

    void registration()
    {
        QFETCH(QString, owner);
        QFETCH(QString, failKey);
        QFETCH(QStringList, keys);

        RecordingWindow window;
        window.owner = owner;
        window.failKey = failKey;
        window.registerFileType(ProgId, "Quorvane Tesselo Document", ".tsq", 0, true, 1);
        QStringList writtenKeys;
        for (const RegistryValue &value : std::as_const(window.written))
            writtenKeys << value.key;
        QCOMPARE(writtenKeys, keys);
        if (keys.contains(".tsq\\ShellNew"))
            QCOMPARE(window.written.last().valueName, QStringLiteral("NullFile"));
    }

    void forwardsToTheFirstInstance()
    {
        SingleInstance first(socketPath());
        QVERIFY(first.listen());
        QCOMPARE(QFileInfo(socketPath()).permissions() & (QFile::ReadOther | QFile::WriteOther),
            QFileDevice::Permissions());
        QSignalSpy received(&first, &SingleInstance::commandReceived);

        SingleInstance second(socketPath());
        QVERIFY(!second.listen());
        const QStringList commands = SingleInstance::openCommands({ "/tmp/a b.tsq", "rel.tsq" });
        QCOMPARE(commands,
            QStringList({ "[open(\"/tmp/a b.tsq\")]",
                "[open(\"" + QDir::current().absoluteFilePath("rel.tsq") + "\")]" }));
        // The client waits on its socket; the first instance answers from this thread.
        QFuture<bool> sent = QtConcurrent::run([&] { return second.forward(commands); });
        QTRY_VERIFY(sent.isFinished());
        QVERIFY(sent.result());
        QTRY_COMPARE(received.count(), 2);
        QCOMPARE(received.at(0).at(0).toString(), commands.at(0));
        QVERIFY(SingleInstance::openCommands({ "/tmp/new\nline.tsq" }).isEmpty());
    }

    void hostileClients_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("more than a few kilobytes")
            << QByteArray(SingleInstance::MaxBatchBytes + 10, 'a');
        QTest::newRow("a command never finished") << QByteArray("[open(\"/etc/passwd\")]\n");
        QTest::newRow("not a command") << QByteArray("hello\n\n");
        QTest::newRow("one bad line spoils the batch")
            << QByteArray("[open(\"/a.tsq\")]\nrm -rf /\n\n");
    }

    void hostileClients()
    {
        QFETCH(QByteArray, bytes);
        SingleInstance first(socketPath());
        QVERIFY(first.listen());
        QSignalSpy received(&first, &SingleInstance::commandReceived);

        QLocalSocket client;
        client.connectToServer(socketPath());
        QVERIFY(client.waitForConnected(1000));
        client.write(bytes);
        client.flush();
        QTRY_COMPARE_WITH_TIMEOUT(client.state(), QLocalSocket::UnconnectedState,
            SingleInstance::ConnectionTimeoutMs + 2000);
        QVERIFY(!client.readAll().startsWith("ok"));
        QCOMPARE(received.count(), 0);

        // The door still works for the next, honest client.
        SingleInstance second(socketPath());
        QFuture<bool> sent = QtConcurrent::run(
            [&] { return second.forward(SingleInstance::openCommands({ "/x.tsq" })); });
        QTRY_VERIFY(sent.isFinished());
        QVERIFY(sent.result());
        QTRY_COMPARE(received.count(), 1);
    }

    void staleSocketIsReplaced()
    {
        // A socket file nobody listens on, as a killed instance leaves it.
        const int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        QVERIFY(fd >= 0);
        sockaddr_un address {};
        address.sun_family = AF_UNIX;
        const QByteArray path = QFile::encodeName(socketPath());
        qstrncpy(address.sun_path, path.constData(), sizeof address.sun_path);
        QCOMPARE(::bind(fd, reinterpret_cast<sockaddr *>(&address), sizeof address), 0);
        ::close(fd);
        QVERIFY(QFileInfo::exists(socketPath()));

        SingleInstance start(socketPath());
        QVERIFY(start.listen());
    }

    void simultaneousStartsEndWithOneListener()
    {
        const auto start = [this] {
            auto *instance = new SingleInstance(socketPath());
            instance->listen();
            return instance;
        };
        QFuture<SingleInstance *> a = QtConcurrent::run(start);
        QFuture<SingleInstance *> b = QtConcurrent::run(start);
        const QScopedPointer<SingleInstance> first(a.result());
        const QScopedPointer<SingleInstance> second(b.result());
        QCOMPARE(int(first->isListening()) + int(second->isListening()), 1);
    }

    void secondProgramHandsOverItsFiles()
    {
        // This test is the running Tesselo; the real program is the second start.
        SingleInstance running(SingleInstance::defaultSocketPath());
        QVERIFY(running.listen());
        QSignalSpy received(&running, &SingleInstance::commandReceived);

        QProcess second;
        const QString file = m_dir.filePath(QStringLiteral("my collage.tsq"));
        second.start(QStringLiteral(TESSELO_EXECUTABLE), { file });
        QTRY_COMPARE_WITH_TIMEOUT(second.state(), QProcess::NotRunning, 20000);
        QCOMPARE(second.exitStatus(), QProcess::NormalExit);
        QCOMPARE(second.exitCode(), 0);
        QTRY_COMPARE(received.count(), 1);
        QCOMPARE(received.at(0).at(0).toString(), "[open(\"" + file + "\")]");
    }

private:
    QString socketPath() const { return m_dir.filePath(QStringLiteral("t.socket")); }
    QTemporaryDir m_dir;
};

QTEST_MAIN(TestShellIntegration)
#include "tst_shellintegration.moc"
