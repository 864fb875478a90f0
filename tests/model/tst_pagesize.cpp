#include <QtTest>

#include "model/pagesize.h"
#include "model/pagesizepresets.h"

class TestPageSize : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pixelsAndDpi_data()
    {
        QTest::addColumn<PageSize>("page");
        QTest::addColumn<QSizeF>("pixelsAt300");
        QTest::addColumn<QPointF>("dpiFor1200"); // across and down

        // A size in pixels ignores the resolution, and counts as inches for it.
        QTest::newRow("pixels") << PageSize(0, QSizeF(100, 200)) << QSizeF(100, 200)
                                << QPointF(12, 6);
        QTest::newRow("centimeters")
            << PageSize(2, QSizeF(10, 15)) << QSizeF(10 / 2.54 * 300, 15 / 2.54 * 300)
            << QPointF(1200 / (10 / 2.54), 1200 / (15 / 2.54));
    }

    void pixelsAndDpi()
    {
        QFETCH(PageSize, page);
        QFETCH(QSizeF, pixelsAt300);
        QFETCH(QPointF, dpiFor1200);
        QCOMPARE(page.pixelSize(300), pixelsAt300);
        QCOMPARE(page.dpiForWidth(1200), dpiFor1200.x());
        QCOMPARE(page.dpiForHeight(1200), dpiFor1200.y());
    }

    void description_data()
    {
        QTest::addColumn<PageSize>("page");
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("displayName");

        QTest::newRow("square px")
            << PageSize(0, QSizeF(100, 100)) << QStringLiteral("100px Square")
            << QStringLiteral("100px Square");
        QTest::newRow("inches, named")
            << PageSize(1, QSizeF(8.5, 11), QStringLiteral("Letter"))
            << QStringLiteral("8.5\" x 11\"") << QStringLiteral("Letter");
        QTest::newRow("shortest format")
            << PageSize(2, QSizeF(10, 15.25)) << QStringLiteral("10cm x 15.25cm")
            << QStringLiteral("10cm x 15.25cm");
    }

    void description()
    {
        QFETCH(PageSize, page);
        QFETCH(QString, description);
        QFETCH(QString, displayName);
        QCOMPARE(page.description(), description);
        QCOMPARE(page.displayName(), displayName);
    }

    void travelsInVariants()
    {
        const PageSize page(2, QSizeF(10, 15), QStringLiteral("Postcard"));
        QCOMPARE(QVariant::fromValue(page).value<PageSize>(), page);
        // Sizes compare fuzzily, names exactly.
        QVERIFY(page == PageSize(2, QSizeF(10 + 1e-13, 15), QStringLiteral("Postcard")));
        QVERIFY(page != PageSize(2, QSizeF(10, 15)));
        QVERIFY(QMetaType::fromName("PageSize").isValid());
        QVERIFY(PageSize::formatValue(3, -1).isEmpty());
    }

    void presetsAreFoundByName()
    {
        for (const PageSize &page : PageSizePresets::builtIn()) {
            QVERIFY(page.size().isValid());
            QCOMPARE(PageSizePresets::find(page.displayName()), page);
        }
    }

    void find_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<PageSize>("expected");

        QTest::newRow("any case") << "  full hd (1080P) " << PageSizePresets::builtIn().at(9);
        QTest::newRow("unnamed by description") << "8\" x 10\"" << PageSize(1, QSizeF(8, 10));
        QTest::newRow("unknown") << "Billboard" << PageSize();
    }

    void find()
    {
        QFETCH(QString, name);
        QFETCH(PageSize, expected);
        QCOMPARE(PageSizePresets::find(name), expected);
    }
};

QTEST_GUILESS_MAIN(TestPageSize)
#include "tst_pagesize.moc"
