#include <QtTest>

#include "model/pagesizepresets.h"

class TestPageSizePresets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void table();
    void find_data();
    void find();
};

void TestPageSizePresets::table()
{
    const QList<PageSize> presets = PageSizePresets::builtIn();
    QCOMPARE(presets.size(), 31);
    QCOMPARE(presets.first(), PageSize(0, QSizeF(1080, 1080), QStringLiteral("Instagram Post")));
    QCOMPARE(presets.at(23), PageSize(2, QSizeF(21, 29.7), QStringLiteral("A4")));
    QCOMPARE(presets.last().name(), QStringLiteral("20\" x 30\" Poster"));
    for (const PageSize &page : presets) {
        QVERIFY(page.size().isValid());
        QVERIFY(!page.displayName().isEmpty());
    }
}

void TestPageSizePresets::find_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<PageSize>("expected");

    QTest::newRow("exact") << "Instagram Post" << PageSizePresets::builtIn().first();
    QTest::newRow("any case") << "  full hd (1080P) " << PageSizePresets::builtIn().at(9);
    QTest::newRow("unnamed by description") << "8\" x 10\"" << PageSize(1, QSizeF(8, 10));
    QTest::newRow("unknown") << "Billboard" << PageSize();
}

void TestPageSizePresets::find()
{
    QFETCH(QString, name);
    QFETCH(PageSize, expected);
    QCOMPARE(PageSizePresets::find(name), expected);
}

QTEST_GUILESS_MAIN(TestPageSizePresets)
#include "tst_pagesizepresets.moc"
