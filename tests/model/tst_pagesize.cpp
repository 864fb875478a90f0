#include <QtTest>

#include <QJSEngine>

#include "model/pagesize.h"

class TestPageSize : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void equality_data();
    void equality();
    void pixelSize_data();
    void pixelSize();
    void dpi_data();
    void dpi();
    void description_data();
    void description();
    void travelsInVariantsAndSignals();
    void readableFromScripts();
};

void TestPageSize::equality_data()
{
    QTest::addColumn<PageSize>("a");
    QTest::addColumn<PageSize>("b");
    QTest::addColumn<bool>("equal");

    const PageSize a4(PageSize::Inches, QSizeF(8.27, 11.69), QStringLiteral("A4"));
    QTest::newRow("same") << a4 << a4 << true;
    QTest::newRow("fuzzy size") << a4 << PageSize(1, QSizeF(8.27 + 1e-13, 11.69), QStringLiteral("A4"))
                                << true;
    QTest::newRow("other unit") << a4 << PageSize(2, QSizeF(8.27, 11.69), QStringLiteral("A4"))
                                << false;
    QTest::newRow("other name") << a4 << PageSize(1, QSizeF(8.27, 11.69)) << false;
    QTest::newRow("other size") << a4 << PageSize(1, QSizeF(8.5, 11), QStringLiteral("A4"))
                                << false;
    QTest::newRow("defaults") << PageSize() << PageSize() << true;
}

void TestPageSize::equality()
{
    QFETCH(PageSize, a);
    QFETCH(PageSize, b);
    QFETCH(bool, equal);
    QCOMPARE(a == b, equal);
    QCOMPARE(a != b, !equal);
}

void TestPageSize::pixelSize_data()
{
    QTest::addColumn<PageSize>("page");
    QTest::addColumn<double>("dpi");
    QTest::addColumn<QSizeF>("expected");

    QTest::newRow("pixels ignore dpi") << PageSize(0, QSizeF(1080, 1350)) << 300.0
                                       << QSizeF(1080, 1350);
    QTest::newRow("inches") << PageSize(1, QSizeF(4, 6)) << 300.0 << QSizeF(1200, 1800);
    QTest::newRow("centimeters") << PageSize(2, QSizeF(10, 15)) << 300.0
                                 << QSizeF(10 / 2.54 * 300, 15 / 2.54 * 300);
}

void TestPageSize::pixelSize()
{
    QFETCH(PageSize, page);
    QFETCH(double, dpi);
    QFETCH(QSizeF, expected);
    QCOMPARE(page.pixelSize(dpi), expected);
}

void TestPageSize::dpi_data()
{
    QTest::addColumn<PageSize>("page");
    QTest::addColumn<double>("pixels");
    QTest::addColumn<double>("widthDpi");
    QTest::addColumn<double>("heightDpi");

    QTest::newRow("inches") << PageSize(1, QSizeF(4, 8)) << 1200.0 << 300.0 << 150.0;
    QTest::newRow("centimeters") << PageSize(2, QSizeF(2.54, 5.08)) << 300.0 << 300.0 << 150.0;
    QTest::newRow("pixels as inches") << PageSize(0, QSizeF(100, 200)) << 1000.0 << 10.0 << 5.0;
}

void TestPageSize::dpi()
{
    QFETCH(PageSize, page);
    QFETCH(double, pixels);
    QFETCH(double, widthDpi);
    QFETCH(double, heightDpi);
    QCOMPARE(page.dpiForWidth(pixels), widthDpi);
    QCOMPARE(page.dpiForHeight(pixels), heightDpi);
}

void TestPageSize::description_data()
{
    QTest::addColumn<PageSize>("page");
    QTest::addColumn<QString>("description");
    QTest::addColumn<QString>("displayName");

    QTest::newRow("default") << PageSize() << QString() << QString();
    QTest::newRow("square px") << PageSize(0, QSizeF(100, 100)) << QStringLiteral("100px Square")
                               << QStringLiteral("100px Square");
    QTest::newRow("cm") << PageSize(2, QSizeF(10, 15)) << QStringLiteral("10cm x 15cm")
                        << QStringLiteral("10cm x 15cm");
    QTest::newRow("inches, named")
        << PageSize(1, QSizeF(8.5, 11), QStringLiteral("Letter")) << QStringLiteral("8.5\" x 11\"")
        << QStringLiteral("Letter");
    QTest::newRow("shortest format") << PageSize(0, QSizeF(1080, 1350.5))
                                     << QStringLiteral("1080px x 1350.5px")
                                     << QStringLiteral("1080px x 1350.5px");
}

void TestPageSize::description()
{
    QFETCH(PageSize, page);
    QFETCH(QString, description);
    QFETCH(QString, displayName);
    QCOMPARE(page.description(), description);
    QCOMPARE(page.displayName(), displayName);
    QCOMPARE(PageSize::formatValue(3, -1), QString());
}

void TestPageSize::travelsInVariantsAndSignals()
{
    const PageSize page(2, QSizeF(10, 15), QStringLiteral("Postcard"));
    const QVariant variant = QVariant::fromValue(page);
    QVERIFY(variant.canConvert<PageSize>());
    QCOMPARE(variant.value<PageSize>(), page);
    QVERIFY(QMetaType::fromName("PageSize").isValid());
}

void TestPageSize::readableFromScripts()
{
    QJSEngine engine;
    engine.globalObject().setProperty(
        QStringLiteral("page"), engine.toScriptValue(PageSize(0, QSizeF(3000, 2000))));
    QCOMPARE(engine.evaluate(QStringLiteral("page.size.width")).toNumber(), 3000.0);
    QCOMPARE(engine.evaluate(QStringLiteral("Math.min(page.size.width, page.size.height)"))
                 .toNumber(),
             2000.0);
    QCOMPARE(engine.evaluate(QStringLiteral("page.units")).toInt(), 0);
}

QTEST_GUILESS_MAIN(TestPageSize)
#include "tst_pagesize.moc"
