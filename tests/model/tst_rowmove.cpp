#include <QList>
#include <QTest>

#include "model/rowmove.h"

class TestRowMove : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void moves_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QString>("expected"); // empty: refused, list unchanged

        QTest::newRow("block down") << 1 << 2 << 4 << "ADBCE";
        QTest::newRow("block up") << 3 << 4 << 0 << "DEABC";
        QTest::newRow("one row to the end") << 0 << 0 << 5 << "BCDEA";
        QTest::newRow("one row to the front") << 4 << 4 << 0 << "EABCD";
        QTest::newRow("onto itself") << 1 << 2 << 1 << "";
        QTest::newRow("right after itself") << 1 << 2 << 3 << "";
        QTest::newRow("inside the block") << 1 << 3 << 2 << "";
        QTest::newRow("last past the end") << 3 << 5 << 0 << "";
        QTest::newRow("negative first") << -1 << 1 << 4 << "";
        QTest::newRow("reversed block") << 2 << 1 << 4 << "";
        QTest::newRow("destination past the end") << 0 << 0 << 6 << "";
    }

    void moves()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, destination);
        QFETCH(QString, expected);

        QList<QChar> rows { 'A', 'B', 'C', 'D', 'E' };
        QCOMPARE(isValidRowMove(first, last, destination, int(rows.size())), !expected.isEmpty());
        QCOMPARE(moveListRows(rows, first, last, destination), !expected.isEmpty());
        const QString result(rows.constData(), rows.size());
        QCOMPARE(result, expected.isEmpty() ? QStringLiteral("ABCDE") : expected);
    }
};

QTEST_GUILESS_MAIN(TestRowMove)
#include "tst_rowmove.moc"
