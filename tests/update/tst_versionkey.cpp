#include <QtTest>

#include "update/updateinforeader.h"
#include "update/versionkey.h"

using namespace VersionKey;

class TestVersionKey : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void keyOrder_data();
    void keyOrder();
    void newer_data();
    void newer();
    void builds_data();
    void builds();
    void osRange_data();
    void osRange();
    void dates_data();
    void dates();
    void plainNames_data();
    void plainNames();
    void readerWrapsAndChoosesAddress();
    void readerRefusesBrokenDocuments_data();
    void readerRefusesBrokenDocuments();
};

void TestVersionKey::keyOrder_data()
{
    QTest::addColumn<QString>("lower");
    QTest::addColumn<QString>("higher");
    QTest::newRow("patch numbers, not text") << "1.2.3"
                                             << "1.2.10";
    QTest::newRow("betas by number") << "1.2 beta 3"
                                     << "1.2 beta 4";
    QTest::newRow("beta below release") << "1.2 beta 4"
                                        << "1.2";
    QTest::newRow("beta without space") << "1.2beta3"
                                        << "1.2 Beta 4";
    QTest::newRow("huge beta number") << "1.2 beta 253"
                                      << "1.2 beta 999";
    QTest::newRow("huge beta still below release") << "1.2 beta 999"
                                                   << "1.2";
    QTest::newRow("missing parts are zero") << "1.2"
                                            << "1.2.0.1";
    QTest::newRow("part over 255 stops reading") << "1.256.9"
                                                 << "1.0.1";
    QTest::newRow("text part stops reading") << "1.x.9"
                                             << "1.0.1";
    QTest::newRow("fifth part ignored") << "1.2.3.4.9"
                                        << "1.2.3.5";
}

void TestVersionKey::keyOrder()
{
    QFETCH(QString, lower);
    QFETCH(QString, higher);
    QVERIFY(versionKey(lower) < versionKey(higher));
    QCOMPARE(versionKey(lower).size(), 5);
}

void TestVersionKey::newer_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("running");
    QTest::addColumn<bool>("newer");
    QTest::newRow("release over release") << "1.3"
                                          << "1.2" << true;
    QTest::newRow("same release") << "1.2"
                                  << "1.2" << false;
    QTest::newRow("older release") << "1.1"
                                   << "1.2" << false;
    QTest::newRow("beta of next for release user") << "1.3 beta 1"
                                                   << "1.2" << true;
    QTest::newRow("beta of same for release user") << "1.2 beta 9"
                                                   << "1.2" << false;
    QTest::newRow("release for its beta tester") << "1.3"
                                                 << "1.3 beta 1" << true;
    QTest::newRow("older release for beta tester") << "1.2"
                                                   << "1.3 beta 1" << false;
    QTest::newRow("next beta for beta tester") << "1.3 beta 2"
                                               << "1.3 beta 1" << true;
    QTest::newRow("same beta") << "1.3 beta 1"
                               << "1.3 beta 1" << false;
}

void TestVersionKey::newer()
{
    QFETCH(QString, entry);
    QFETCH(QString, running);
    QFETCH(bool, newer);
    QCOMPARE(isNewer(entry, running), newer);
}

void TestVersionKey::builds_data()
{
    QTest::addColumn<QString>("entry");
    QTest::addColumn<QString>("running");
    QTest::addColumn<bool>("newer");
    QTest::newRow("later in the year") << "1505"
                                       << "1002" << true;
    QTest::newRow("earlier in the year") << "1002"
                                         << "1505" << false;
    QTest::newRow("over half a year later") << "1508"
                                            << "1002" << false;
    QTest::newRow("early next year") << "0201"
                                     << "2011" << true;
    QTest::newRow("same day") << "1508"
                              << "1508" << false;
    QTest::newRow("invalid month counts as day 0") << "0105"
                                                   << "0822" << true;
    QTest::newRow("empty entry build") << ""
                                       << "0822" << false;
}

void TestVersionKey::builds()
{
    QFETCH(QString, entry);
    QFETCH(QString, running);
    QFETCH(bool, newer);
    QCOMPARE(isNewerBuild(entry, running), newer);
    QCOMPARE(buildDayIndex(QStringLiteral("1508")), 8 * 31 + 15);
    QCOMPARE(buildDayIndex(QStringLiteral("3213")), 0);
}

void TestVersionKey::osRange_data()
{
    QTest::addColumn<QString>("min");
    QTest::addColumn<QString>("max");
    QTest::addColumn<QString>("os");
    QTest::addColumn<bool>("matches");
    QTest::newRow("open range") << ""
                                << ""
                                << "6.1" << true;
    QTest::newRow("min above") << "10.0"
                               << ""
                               << "6.1" << false;
    QTest::newRow("min met") << "6.1"
                             << ""
                             << "6.1" << true;
    QTest::newRow("max below") << ""
                               << "6.0"
                               << "6.1" << false;
    QTest::newRow("inside") << "11"
                            << "13"
                            << "12.0" << true;
    QTest::newRow("ubuntu style") << "22.04"
                                  << ""
                                  << "22.4" << true;
}

void TestVersionKey::osRange()
{
    QFETCH(QString, min);
    QFETCH(QString, max);
    QFETCH(QString, os);
    QFETCH(bool, matches);
    QCOMPARE(osVersionMatches(min, max, os), matches);
}

void TestVersionKey::dates_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QDate>("date");
    QTest::newRow("day/month/year") << "15/08/2023" << QDate(2023, 8, 15);
    QTest::newRow("short parts") << " 5/8/2023 " << QDate(2023, 8, 5);
    QTest::newRow("iso refused") << "2023-08-15" << QDate();
    QTest::newRow("two parts") << "15/08" << QDate();
    QTest::newRow("no such day") << "31/02/2023" << QDate();
    QTest::newRow("text") << "15/Aug/2023" << QDate();
}

void TestVersionKey::dates()
{
    QFETCH(QString, text);
    QFETCH(QDate, date);
    QCOMPARE(UpdateInfoReader::parseDate(text), date);
}

void TestVersionKey::plainNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("plain");
    QTest::newRow("version") << "1.0.3" << true;
    QTest::newRow("beta") << "1.1 beta 2" << true;
    QTest::newRow("package") << "tesselo_1.0_amd64.deb" << true;
    QTest::newRow("parent") << ".." << false;
    QTest::newRow("dot") << "." << false;
    QTest::newRow("climbing") << "../../x" << false;
    QTest::newRow("backslash") << "..\\x.exe" << false;
    QTest::newRow("drive") << "C:x" << false;
    QTest::newRow("newline") << "a\nb" << false;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("too long") << QString(300, QLatin1Char('a')) << false;
}

void TestVersionKey::plainNames()
{
    QFETCH(QString, name);
    QFETCH(bool, plain);
    QCOMPARE(UpdateInfoReader::isPlainName(name), plain);
}

void TestVersionKey::readerWrapsAndChoosesAddress()
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
    QVERIFY(info.ok);
    QVERIFY(info.anyVersion);
    QCOMPARE(info.entries.size(), 2);
    const UpdateEntry &first = info.entries.first();
    QCOMPARE(first.version, QStringLiteral("1.0.3"));
    QCOMPARE(first.build, QStringLiteral("1508"));
    QCOMPARE(first.date, QDate(2023, 8, 15));
    QCOMPARE(first.url, QStringLiteral("https://a.example/two.deb"));
    QCOMPARE(first.sha256, QStringLiteral("abcdef"));
    QVERIFY(first.changes.contains(QLatin1String("CRITICAL fix")));
    QVERIFY(info.entries.at(1).url.isEmpty());

    const UpdateInformation windows
        = UpdateInfoReader(QStringLiteral("win"), QStringLiteral("6.1")).read(document);
    QCOMPARE(windows.entries.first().url, QStringLiteral("https://a.example/setup.exe"));
}

void TestVersionKey::readerRefusesBrokenDocuments_data()
{
    QTest::addColumn<QByteArray>("document");
    QTest::addColumn<bool>("ok");
    QTest::addColumn<bool>("anyVersion");
    QTest::newRow("unclosed element")
        << QByteArray("<UpdateInfo><VersionInfo><current>1.0</current>") << false << false;
    QTest::newRow("garbage") << QByteArray("\x01\x02<<>>") << false << false;
    QTest::newRow("markup in a version") << QByteArray(
        "<UpdateInfo><VersionInfo><current>1<b>2</b></current></VersionInfo></UpdateInfo>")
                                         << false << false;
    QTest::newRow("html page") << QByteArray("<html><body>Not found</body></html>") << true
                               << false;
    QTest::newRow("empty") << QByteArray() << true << false;
    QTest::newRow("too big") << QByteArray("<UpdateInfo>")
            + QByteArray(UpdateInfoReader::MaxDocumentSize, ' ') + QByteArray("</UpdateInfo>")
                             << false << false;
}

void TestVersionKey::readerRefusesBrokenDocuments()
{
    QFETCH(QByteArray, document);
    QFETCH(bool, ok);
    QFETCH(bool, anyVersion);
    const UpdateInformation info
        = UpdateInfoReader(QStringLiteral("linux"), QStringLiteral("12.0")).read(document);
    QCOMPARE(info.ok, ok);
    QCOMPARE(info.anyVersion, anyVersion);
    if (!ok)
        QVERIFY(info.entries.isEmpty());
}

QTEST_GUILESS_MAIN(TestVersionKey)
#include "tst_versionkey.moc"
