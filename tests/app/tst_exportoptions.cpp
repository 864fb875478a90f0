#include <QtTest>

#include "app/exportoptions.h"

class TestExportOptions : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void modes_data();
    void modes();
    void values();
    void errors_data();
    void errors();
    void pages_data();
    void pages();
    void outputSize_data();
    void outputSize();
};

void TestExportOptions::modes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("photos");

    using Mode = ExportOptions::Mode;
    QTest::newRow("editor, options ignored")
        << QStringList { "tesselo", "-x", "a.tsq" } << int(Mode::Editor) << QStringList { "a.tsq" };
    QTest::newRow("export") << QStringList { "tesselo", "--export", "out.png", "a.jpg", "b.jpg" }
                            << int(Mode::Export) << QStringList { "a.jpg", "b.jpg" };
    QTest::newRow("export with =")
        << QStringList { "tesselo", "--export=out.png" } << int(Mode::Export) << QStringList {};
    QTest::newRow("save only") << QStringList { "tesselo", "--save", "trip.tsq", "a.jpg" }
                               << int(Mode::Export) << QStringList { "a.jpg" };
    QTest::newRow("saved collage") << QStringList { "tesselo", "--export", "o.png", "trip.TSQ" }
                                   << int(Mode::Export) << QStringList {};
    QTest::newRow("help wins") << QStringList { "tesselo", "--export", "o.png", "--help" }
                               << int(Mode::Help) << QStringList {};
    QTest::newRow("version") << QStringList { "tesselo", "--version" } << int(Mode::Version)
                             << QStringList {};
    QTest::newRow("list") << QStringList { "tesselo", "--list-templates" }
                          << int(Mode::ListTemplates) << QStringList {};
}

void TestExportOptions::modes()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, mode);
    QFETCH(QStringList, photos);
    QString error;
    const std::optional<ExportOptions> options = ExportOptions::parse(arguments, &error);
    QVERIFY2(options, qPrintable(error));
    QCOMPARE(int(options->mode), mode);
    QCOMPARE(options->photos, photos);
}

void TestExportOptions::values()
{
    QString error;
    const auto options = ExportOptions::parse(
        { "tesselo", "--export", "out.jpg", "--theme", "PhotoDrop", "--template", "cork board",
            "--page", "4x6in", "--dpi", "150", "--watermark", "© Ana", "--watermark-position",
            "top-left", "--watermark-opacity", "80", "--seed", "1234", "--quality", "70", "p.jpg" },
        &error);
    QVERIFY2(options, qPrintable(error));
    QCOMPARE(options->output, QStringLiteral("out.jpg"));
    QCOMPARE(options->theme, QStringLiteral("photodrop"));
    QCOMPARE(options->templateName, QStringLiteral("cork board"));
    QCOMPARE(options->page, PageSize(PageSize::Inches, QSizeF(4, 6)));
    QCOMPARE(options->watermark, QStringLiteral("© Ana"));
    QCOMPARE(options->watermarkPosition, 4);
    QCOMPARE(options->watermarkOpacity, 80);
    QCOMPARE(options->seed.value_or(0), quint64(1234));
    QCOMPARE(options->quality, 70);
    QCOMPARE(options->outputSize(), QSize(600, 900));

    const auto defaults = ExportOptions::parse({ "tesselo", "--export", "o.png" }, &error);
    QCOMPARE(defaults->theme, QStringLiteral("mosaic"));
    QCOMPARE(defaults->quality, 92);
    QCOMPARE(defaults->page.name(), QStringLiteral("Instagram Post"));
    QCOMPARE(defaults->outputSize(), QSize(1080, 1080));
    QVERIFY(!defaults->seed);
    QVERIFY(!defaults->report);

    const auto rows = ExportOptions::parse(
        { "tesselo", "--export", "o.png", "--theme", "Rows", "--report" }, &error);
    QVERIFY2(rows, qPrintable(error));
    QCOMPARE(rows->theme, QStringLiteral("rows"));
    QVERIFY(rows->report);
}

void TestExportOptions::errors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing value") << QStringList { "tesselo", "--export" } << "needs a value";
    QTest::newRow("empty output") << QStringList { "tesselo", "--export=" } << "output file";
    QTest::newRow("unknown theme")
        << QStringList { "tesselo", "--export", "o.png", "--theme", "grid" } << "unknown theme";
    QTest::newRow("unknown page") << QStringList { "tesselo", "--export", "o.png", "--page",
        "Billboard" } << "unknown page";
    QTest::newRow("zero page") << QStringList { "tesselo", "--export", "o.png", "--page", "0x10" }
                               << "unknown page";
    QTest::newRow("bad width") << QStringList { "tesselo", "--export", "o.png", "--width", "12abc" }
                               << "--width";
    QTest::newRow("negative height")
        << QStringList { "tesselo", "--export", "o.png", "--height", "-5" } << "--height";
    QTest::newRow("bad dpi") << QStringList { "tesselo", "--export", "o.png", "--page", "A4",
        "--dpi", "x" } << "--dpi";
    QTest::newRow("dpi on pixels") << QStringList { "tesselo", "--export", "o.png", "--dpi", "300" }
                                   << "inches or centimetres";
    QTest::newRow("faint watermark")
        << QStringList { "tesselo", "--export", "o.png", "--watermark-opacity", "4" } << "5 to 100";
    QTest::newRow("bad position") << QStringList { "tesselo", "--export", "o.png",
        "--watermark-position", "middle" }
                                  << "watermark position";
    QTest::newRow("quality zero") << QStringList { "tesselo", "--export", "o.jpg", "--quality",
        "0" } << "--quality";
    QTest::newRow("missing value after another")
        << QStringList { "tesselo", "--export", "o.png", "--theme" } << "--theme needs a value";
    QTest::newRow("bad seed") << QStringList { "tesselo", "--export", "o.png", "--seed", "-1" }
                              << "--seed";
    QTest::newRow("unknown option")
        << QStringList { "tesselo", "--export", "o.png", "--colour" } << "unknown option --colour";
    QTest::newRow("collage and photos")
        << QStringList { "tesselo", "--export", "o.png", "a.tsq", "b.jpg" } << "not both";
    QTest::newRow("save a collage")
        << QStringList { "tesselo", "--save", "b.tsq", "a.tsq" } << "needs photos";
    QTest::newRow("huge output") << QStringList { "tesselo", "--export", "o.png", "--width",
        "100000", "--height", "100000" }
                                 << "too large";
}

void TestExportOptions::errors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!ExportOptions::parse(arguments, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(!error.contains(QLatin1Char('\n')));
}

void TestExportOptions::pages_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<PageSize>("page");

    QTest::newRow("pixels by default") << "3000x2000" << PageSize(0, QSizeF(3000, 2000));
    QTest::newRow("px") << "1200 x 630 px" << PageSize(0, QSizeF(1200, 630));
    QTest::newRow("cm") << "10x15cm" << PageSize(2, QSizeF(10, 15));
    QTest::newRow("decimal inches") << "8.5x11in" << PageSize(1, QSizeF(8.5, 11));
    QTest::newRow("preset") << "a4" << PageSize(2, QSizeF(21, 29.7), QStringLiteral("A4"));
    QTest::newRow("garbage") << "10x" << PageSize();
}

void TestExportOptions::pages()
{
    QFETCH(QString, text);
    QFETCH(PageSize, page);
    QCOMPARE(ExportOptions::parsePage(text), page);
}

void TestExportOptions::outputSize_data()
{
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<QSize>("size");

    QTest::newRow("pixel page 1:1") << QStringList { "--page", "1200x630" } << QSize(1200, 630);
    QTest::newRow("inches at 300") << QStringList { "--page", "4x6in" } << QSize(1200, 1800);
    QTest::newRow("cm at 300") << QStringList { "--page", "10x15cm" } << QSize(1181, 1772);
    QTest::newRow("width keeps proportions")
        << QStringList { "--page", "3000x2000", "--width", "600" } << QSize(600, 400);
    QTest::newRow("height keeps proportions")
        << QStringList { "--page", "4x6in", "--height", "300" } << QSize(200, 300);
    QTest::newRow("both given") << QStringList { "--width", "640", "--height", "480" }
                                << QSize(640, 480);
}

void TestExportOptions::outputSize()
{
    QFETCH(QStringList, extra);
    QFETCH(QSize, size);
    QString error;
    const auto options
        = ExportOptions::parse(QStringList { "tesselo", "--export", "o.png" } + extra, &error);
    QVERIFY2(options, qPrintable(error));
    QCOMPARE(options->outputSize(), size);
}

QTEST_GUILESS_MAIN(TestExportOptions)
#include "tst_exportoptions.moc"
