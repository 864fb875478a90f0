#include <QtTest>

#include "model/pagesizepresets.h"
#include "ui/pagesizemodel.h"

class TestPageSizeModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void presetsThenCustomEntry()
    {
        PageSizeModel model;
        const QList<PageSize> presets = PageSizePresets::builtIn();
        QCOMPARE(model.rowCount(), presets.size() + 1);
        QCOMPARE(model.rowCount(model.index(0)), 0);
        for (int row = 0; row < presets.size(); ++row)
            QCOMPARE(model.pageSize(row), presets.at(row));
        // Unnamed presets are described by their size.
        QCOMPARE(model.index(16).data().toString(), QStringLiteral("3\" x 5\""));
        QCOMPARE(model.index(31).data().toString(), QStringLiteral("Custom page..."));
        QVERIFY(model.isCustomEntry(31) && !model.isCustomEntry(30));
        QVERIFY(!model.index(0).data(Qt::DecorationRole).isValid());
    }

    void indexOfPageSize_data()
    {
        QTest::addColumn<PageSize>("page");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("customText");

        const QString untouched = QStringLiteral("Custom page...");
        QTest::newRow("preset") << PageSizePresets::builtIn().at(7) << 7 << untouched;
        QTest::newRow("rotated preset")
            << PageSize(PageSize::Pixels, QSizeF(1350, 1080), QStringLiteral("Instagram Portrait"))
            << 1 << untouched;
        QTest::newRow("rotated unnamed")
            << PageSize(PageSize::Inches, QSizeF(7, 5)) << 18 << untouched;
        QTest::newRow("nearly equal")
            << PageSize(PageSize::Centimeters, QSizeF(21, 29.7 + 1e-13), QStringLiteral("A4")) << 23
            << untouched;
        QTest::newRow("other unit") << PageSize(PageSize::Pixels, QSizeF(4, 6)) << 31
                                    << QStringLiteral("Custom (4px x 6px) ...");
        QTest::newRow("unknown size") << PageSize(PageSize::Inches, QSizeF(7, 9)) << 31
                                      << QStringLiteral("Custom (7\" x 9\") ...");
        QTest::newRow("named by the user") << PageSize(PageSize::Pixels, QSizeF(1080, 1080),
            QStringLiteral("Mine")) << 31 << QStringLiteral("Custom (Mine) ...");
    }

    void indexOfPageSize()
    {
        QFETCH(PageSize, page);
        QFETCH(int, row);
        QFETCH(QString, customText);

        PageSizeModel model;
        QSignalSpy changed(&model, &QAbstractItemModel::dataChanged);
        QCOMPARE(model.indexOfPageSize(page), row);
        QCOMPARE(model.index(31).data().toString(), customText);
        QCOMPARE(changed.size(), row == 31 ? 1 : 0);
        if (row == 31)
            QCOMPARE(model.customPageSize(), page);
    }

    void insertedBeforeCustomEntry()
    {
        PageSizeModel model;
        QSignalSpy inserted(&model, &QAbstractItemModel::rowsInserted);
        const PageSize flyer(PageSize::Inches, QSizeF(5, 8), QStringLiteral("Flyer"));
        model.insertPageSize(model.rowCount() - 1, flyer);
        QCOMPARE(inserted.size(), 1);
        QCOMPARE(inserted.constFirst().at(1).toInt(), 31);
        QCOMPARE(model.rowCount(), 33);
        QCOMPARE(model.index(31).data().toString(), QStringLiteral("Flyer"));
        QVERIFY(model.isCustomEntry(32));
        QCOMPARE(model.indexOfPageSize(flyer), 31);

        model.setCustomPageSize(PageSize(PageSize::Pixels, QSizeF(10, 20)));
        QCOMPARE(model.index(32).data().toString(), QStringLiteral("Custom (10px x 20px) ..."));
    }
};

QTEST_MAIN(TestPageSizeModel)
#include "tst_pagesizemodel.moc"
