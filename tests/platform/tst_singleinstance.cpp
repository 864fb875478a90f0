#include <QtTest>

#include <QLocalSocket>
#include <QProcess>
#include <QtConcurrent>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include "platform/singleinstance.h"

class TestSingleInstance : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QFile::remove(socketPath()); }

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
        QCOMPARE(commands.first(), QStringLiteral("[open(\"/tmp/a b.tsq\")]"));
        QCOMPARE(
            commands.last(), "[open(\"" + QDir::current().absoluteFilePath("rel.tsq") + "\")]");
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
        QTest::newRow("binary") << QByteArray("\x00\x01\x02\n\n", 5);
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
        QVERIFY(start.isListening());
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
        SingleInstance *first = a.result();
        SingleInstance *second = b.result();
        QCOMPARE(int(first->isListening()) + int(second->isListening()), 1);
        delete first;
        delete second;
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

QTEST_MAIN(TestSingleInstance)
#include "tst_singleinstance.moc"
