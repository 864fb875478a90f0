#include <QtTest>

#include "platform/documentwindow.h"

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

class TestDocumentWindow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void commands_data()
    {
        QTest::addColumn<QString>("command");
        QTest::addColumn<QStringList>("calls");
        QTest::addColumn<bool>("isCommand");

        QTest::newRow("path with spaces")
            << R"([open("C:\My Photos\trip 2.tsq")])"
            << QStringList { R"(open:C:\My Photos\trip 2.tsq)" } << true;
        QTest::newRow("verb in capitals")
            << R"([OPEN("/a.tsq")])" << QStringList { "open:/a.tsq" } << true;
        QTest::newRow("new") << R"([New("/b.tsq")])" << QStringList { "new:/b.tsq" } << true;
        QTest::newRow("print") << R"([print("/c.tsq")])" << QStringList { "print:/c.tsq" } << true;
        QTest::newRow("unquoted goes to the other handler")
            << "[open(/a.tsq)]" << QStringList { "other:open|/a.tsq" } << true;
        QTest::newRow("unknown verb")
            << R"([frobnicate("x")])" << QStringList { R"(other:frobnicate|"x")" } << true;
        QTest::newRow("no brackets") << R"(open("/a.tsq"))" << QStringList() << false;
        QTest::newRow("trailing text") << R"([open("/a.tsq")] rm -rf)" << QStringList() << false;
        QTest::newRow("empty") << "" << QStringList() << false;
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

        // All three verbs without DDE: one command key each, in bit order.
        const QList<RegistryValue> plain = DocumentWindow::fileTypeLayout(
            ProgId, "d", "/usr/bin/tesselo", 2, false, 7, "tesselo", "system");
        QCOMPARE(plain.size(), 5);
        QCOMPARE(plain.at(3).key, ProgId + "\\shell\\New\\command");
        QCOMPARE(plain.at(3).data, QStringLiteral("\"/usr/bin/tesselo\" -new %1"));
        QCOMPARE(plain.at(4).data, QStringLiteral("\"/usr/bin/tesselo\" -print %1"));
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
        QVERIFY(window.useDde());
        if (keys.contains(".tsq\\ShellNew"))
            QCOMPARE(window.written.last().valueName, QStringLiteral("NullFile"));
    }
};

QTEST_MAIN(TestDocumentWindow)
#include "tst_documentwindow.moc"
