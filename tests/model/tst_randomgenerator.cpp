#include <QtTest>

#include "model/randomgenerator.h"

class TestRandomGenerator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { RandomGenerator::reseed(); }

    void seeding()
    {
        // A seed reproduces its sequence; another seed or a reseed does not.
        RandomGenerator::seed(42);
        QList<quint64> first;
        for (int i = 0; i < 20; ++i)
            first.append(RandomGenerator::draw64());
        RandomGenerator::seed(42);
        for (int i = 0; i < 20; ++i)
            QCOMPARE(RandomGenerator::draw64(), first.at(i));
        QCOMPARE(RandomGenerator::fixedSeed().value_or(0), quint64(42));
        RandomGenerator::seed(43);
        QVERIFY(RandomGenerator::draw64() != first.first());
        RandomGenerator::reseed();
        QVERIFY(!RandomGenerator::fixedSeed());
        QVERIFY(RandomGenerator::draw64() != first.first());
    }

    void indexRange_data()
    {
        QTest::addColumn<quint64>("n");
        QTest::newRow("one") << quint64(1);
        QTest::newRow("just above a power of two") << quint64(9);
    }

    void indexRange()
    {
        QFETCH(quint64, n);
        RandomGenerator::seed(3);
        QList<int> hits(int(n), 0);
        for (int i = 0; i < 4000; ++i) {
            const quint64 value = RandomGenerator::index(n);
            QVERIFY(value < n);
            ++hits[int(value)];
        }
        for (int count : hits)
            QVERIFY(count > 0); // every value is reachable
        QCOMPARE(RandomGenerator::index(0), quint64(0));

        // Thousandths reach both ends of their range.
        int low = 1000, high = -1;
        for (int i = 0; i < 20000; ++i) {
            const int k = RandomGenerator::thousandth();
            low = qMin(low, k);
            high = qMax(high, k);
        }
        QCOMPARE(low, 0);
        QCOMPARE(high, 999);
    }
};

QTEST_GUILESS_MAIN(TestRandomGenerator)
#include "tst_randomgenerator.moc"
