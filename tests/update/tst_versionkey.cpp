#include <QtTest>

#include "update/updateinforeader.h"
#include "update/versionkey.h"

using namespace VersionKey;

namespace {

struct Row
{
    const char *tag;
    const char *first;
    const char *second;
    bool result;
};

// A table of two texts and a flag under the given column names.
void addRows(
    const char *first, const char *second, const char *result, std::initializer_list<Row> rows)
{
    QTest::addColumn<QString>(first);
    QTest::addColumn<QString>(second);
    QTest::addColumn<bool>(result);
    for (const Row &row : rows)
        QTest::newRow(row.tag) << QString(row.first) << QString(row.second) << row.result;
}

} // namespace

class TestVersionKey : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyOrder_data()
    {
        addRows("lower", "higher", "less",
            { { "patch numbers, not text", "1.2.3", "1.2.10", true },
                { "betas by number", "1.2 beta 3", "1.2 beta 4", true },
                { "beta below release", "1.2 beta 4", "1.2", true },
                { "beta without space", "1.2beta3", "1.2 Beta 4", true },
                { "huge beta number", "1.2 beta 253", "1.2 beta 999", true },
                { "huge beta still below release", "1.2 beta 999", "1.2", true },
                { "missing parts are zero", "1.2", "1.2.0.1", true },
                { "part over 255 stops reading", "1.256.9", "1.0.1", true },
                { "text part stops reading", "1.x.9", "1.0.1", true },
                { "fifth part ignored", "1.2.3.4.9", "1.2.3.5", true },
                { "equal", "1.2.0", "1.2", false } });
    }

    void keyOrder()
    {
        QFETCH(QString, lower);
        QFETCH(QString, higher);
        QFETCH(bool, less);
        QCOMPARE(versionKey(lower) < versionKey(higher), less);
        QVERIFY(!(versionKey(higher) < versionKey(lower)));
        QCOMPARE(versionKey(lower).size(), 5);
    }

    void newer_data()
    {
        addRows("entry", "running", "newer",
            { { "release over release", "1.3", "1.2", true },
                { "same release", "1.2", "1.2", false }, { "older release", "1.1", "1.2", false },
                { "beta of next for release user", "1.3 beta 1", "1.2", true },
                { "beta of same for release user", "1.2 beta 9", "1.2", false },
                { "release for its beta tester", "1.3", "1.3 beta 1", true },
                { "older release for beta tester", "1.2", "1.3 beta 1", false },
                { "next beta for beta tester", "1.3 beta 2", "1.3 beta 1", true },
                { "same beta", "1.3 beta 1", "1.3 beta 1", false } });
    }

    void newer()
    {
        QFETCH(QString, entry);
        QFETCH(QString, running);
        QFETCH(bool, newer);
        QCOMPARE(isNewer(entry, running), newer);
    }

    void builds_data()
    {
        addRows("entry", "running", "newer",
            { { "later in the year", "1505", "1002", true },
                { "earlier in the year", "1002", "1505", false },
                { "over half a year later", "1508", "1002", false },
                { "early next year", "0201", "2011", true }, { "same day", "1508", "1508", false },
                { "invalid month counts as day 0", "0105", "0822", true },
                { "empty entry build", "", "0822", false } });
    }

    void builds()
    {
        QFETCH(QString, entry);
        QFETCH(QString, running);
        QFETCH(bool, newer);
        QCOMPARE(isNewerBuild(entry, running), newer);
        QCOMPARE(buildDayIndex(QStringLiteral("1508")), 8 * 31 + 15);
        QCOMPARE(buildDayIndex(QStringLiteral("3213")), 0);
    }

    void osRange_data()
    {
        // The range is "min-max"; either side may be empty.
        addRows("range", "os", "matches",
            { { "open range", "-", "6.1", true }, { "min above", "10.0-", "6.1", false },
                { "min met", "6.1-", "6.1", true }, { "max below", "-6.0", "6.1", false },
                { "inside", "11-13", "12.0", true }, { "ubuntu style", "22.04-", "22.4", true } });
    }

    void osRange()
    {
        QFETCH(QString, range);
        QFETCH(QString, os);
        QFETCH(bool, matches);
        QCOMPARE(osVersionMatches(range.section('-', 0, 0), range.section('-', 1), os), matches);
    }

    void dates_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QDate>("date");
        QTest::newRow("day/month/year") << "15/08/2023" << QDate(2023, 8, 15);
        QTest::newRow("short parts") << " 5/8/2023 " << QDate(2023, 8, 5);
        for (const char *refused : { "2023-08-15", "15/08", "31/02/2023", "15/Aug/2023" })
            QTest::newRow(refused) << refused << QDate();
    }

    void dates()
    {
        QFETCH(QString, text);
        QFETCH(QDate, date);
        QCOMPARE(UpdateInfoReader::parseDate(text), date);
    }

    void plainNames_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<bool>("plain");
        for (const char *plain : { "1.0.3", "1.1 beta 2", "tesselo_1.0_amd64.deb" })
            QTest::newRow(plain) << plain << true;
        for (const char *refused : { "..", ".", "../../x", "..\\x.exe", "C:x", "a\nb", "" })
            QTest::newRow(refused) << refused << false;
        QTest::newRow("too long") << QString(300, QLatin1Char('a')) << false;
    }

    void plainNames()
    {
        QFETCH(QString, name);
        QFETCH(bool, plain);
        QCOMPARE(UpdateInfoReader::isPlainName(name), plain);
    }

    void readerWrapsAndChoosesAddress()
    {
        // No root element: read as if wrapped. Of the matching linux addresses
        // the last wins; win addresses and non-matching ranges do not count.
        const QByteArray document = R"(
            <VersionInfo>
              <current> 1.0.3 </current><build>1508</build><date>15/8/2023</date>
              <changes>- first
    - CRITICAL fix</changes>
              <unknown><current>9.9</current></unknown>
              <url>
                <linux min="6.1">https://a.example/one.deb</linux>
                <win>https://a.example/setup.exe</win>
                <linux min="6.0" max="7" sha256="ABCDEF">https://a.example/two.deb</linux>
                <linux min="10.0">https://a.example/three.deb</linux>
              </url>
            </VersionInfo>
            <Other/>
            <VersionInfo><current>1.0.4</current></VersionInfo>)";
        const UpdateInformation info
            = UpdateInfoReader(QStringLiteral("linux"), QStringLiteral("6.1")).read(document);
        QVERIFY(info.ok && info.anyVersion);
        QCOMPARE(info.entries.size(), 2);
        const UpdateEntry &first = info.entries.first();
        QCOMPARE(QStringList({ first.version, first.build, first.url, first.sha256 }),
            QStringList({ "1.0.3", "1508", "https://a.example/two.deb", "abcdef" }));
        QCOMPARE(first.date, QDate(2023, 8, 15));
        QVERIFY(first.changes.contains(QLatin1String("CRITICAL fix")));
        QVERIFY(info.entries.at(1).url.isEmpty());

        const UpdateInformation windows
            = UpdateInfoReader(QStringLiteral("win"), QStringLiteral("6.1")).read(document);
        QCOMPARE(windows.entries.first().url, QStringLiteral("https://a.example/setup.exe"));
    }

    void readerRefusesBrokenDocuments_data()
    {
        QTest::addColumn<QByteArray>("document");
        QTest::addColumn<bool>("ok");
        QTest::newRow("unclosed element")
            << QByteArray("<UpdateInfo><VersionInfo><current>1.0</current>") << false;
        QTest::newRow("garbage") << QByteArray("\x01\x02<<>>") << false;
        QTest::newRow("markup in a version") << QByteArray(
            "<UpdateInfo><VersionInfo><current>1<b>2</b></current></VersionInfo></UpdateInfo>")
                                             << false;
        QTest::newRow("html page") << QByteArray("<html><body>Not found</body></html>") << true;
        QTest::newRow("empty") << QByteArray() << true;
        QTest::newRow("too big") << "<UpdateInfo>"
                + QByteArray(UpdateInfoReader::MaxDocumentSize, ' ')
                + "</UpdateInfo>" << false;
    }

    void readerRefusesBrokenDocuments()
    {
        QFETCH(QByteArray, document);
        QFETCH(bool, ok);
        const UpdateInformation info
            = UpdateInfoReader(QStringLiteral("linux"), QStringLiteral("12.0")).read(document);
        QCOMPARE(info.ok, ok);
        QVERIFY(!info.anyVersion);
        QVERIFY(info.entries.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVersionKey)
#include "tst_versionkey.moc"
