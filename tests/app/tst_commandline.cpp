#include <QtTest>

#include <QColorSpace>
#include <QColorTransform>
#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include "app/exportoptions.h"
#include "imaging/heifdecoder.h"
#include "imaging/testphotos.h"

namespace {

struct Result
{
    int exitCode = -1;
    QString out;
    QString err;
};

// Runs the real program, as a user's script would.
Result tesselo(const QStringList &arguments, const QStringList &unset = {})
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const QString &name : unset)
        environment.remove(name);
    environment.remove(QStringLiteral("QT_QPA_PLATFORM")); // the export must pick offscreen itself
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    process.setProcessEnvironment(environment);
    process.start(QStringLiteral(TESSELO_EXECUTABLE), arguments);
    if (!process.waitForFinished(120000))
        return {};
    return { process.exitCode(), QString::fromLocal8Bit(process.readAllStandardOutput()),
        QString::fromLocal8Bit(process.readAllStandardError()) };
}

// How many distinct colours an image has, coarsely: a blank page has one.
int colourCount(const QImage &image)
{
    QSet<QRgb> colours;
    for (int y = 0; y < image.height(); y += 7)
        for (int x = 0; x < image.width(); x += 7)
            colours.insert(image.pixel(x, y) & 0xF0F0F0F0);
    return int(colours.size());
}

QStringList words(const char *text)
{
    return QString::fromUtf8(text).split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

// A command line written as one string, each word one argument.
QStringList line(const char *text)
{
    return QStringList { QStringLiteral("tesselo") } + words(text);
}

} // namespace

// The command line: its parser, then the program run as a user's script
// would, with exit codes, messages and the files written, from photos as
// phones and cameras make them.
class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The parser alone.
    void parseModes_data();
    void parseModes();
    void parseErrors_data();
    void parseErrors();
    void parsePages_data();
    void parsePages();
    // The program.
    void initTestCase();
    void helpAndList();
    void sizesAndFormats_data();
    void sizesAndFormats();
    void seedsReproduce();
    void watermarkPlacement();
    void unreadablePhotosAreSkipped();
    void reportMeasuresEveryPhoto();
    void savedCollageExportsTheSame();
    void errors_data();
    void errors();
    void unwritableTargetKeepsExistingFile();
    void standardErrorCarriesOnlyOurMessages();
    void pdfAndQuality();
    void thumbnailsAndMissingPhotos();
    void heicIsUpright();
    void displayP3JpegComesOutInSrgb();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // Runs an export that must succeed, with the test photos after `arguments`.
    bool made(const QStringList &arguments);

    QTemporaryDir m_dir;
    QStringList m_photos;
};

void TestCommandLine::parseModes_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("mode");
    QTest::addColumn<QStringList>("photos");

    using Mode = ExportOptions::Mode;
    const auto row = [](const char *name, const char *arguments, Mode mode, const char *photos) {
        QTest::newRow(name) << line(arguments) << int(mode) << words(photos);
    };
    row("editor, options ignored", "-x a.tsq", Mode::Editor, "a.tsq");
    row("export with =", "--export=out.png", Mode::Export, "");
    row("saved collage", "--export o.png trip.TSQ", Mode::Export, "");
    row("help wins", "--export o.png --help", Mode::Help, "");
}

void TestCommandLine::parseModes()
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

void TestCommandLine::parseErrors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("missing value") << line("--export") << "needs a value";
    QTest::newRow("empty output") << line("--export=") << "output file";
    QTest::newRow("unknown theme") << line("--export o.png --theme grid") << "unknown theme";
    QTest::newRow("unknown page") << line("--export o.png --page Billboard") << "unknown page";
    QTest::newRow("zero page") << line("--export o.png --page 0x10") << "unknown page";
    QTest::newRow("bad width") << line("--export o.png --width 12abc") << "--width";
    QTest::newRow("negative height") << line("--export o.png --height -5") << "--height";
    QTest::newRow("bad dpi") << line("--export o.png --page A4 --dpi x") << "--dpi";
    QTest::newRow("dpi on pixels") << line("--export o.png --dpi 300") << "inches or centimetres";
    QTest::newRow("faint watermark") << line("--export o.png --watermark-opacity 4") << "5 to 100";
    QTest::newRow("bad position") << line("--export o.png --watermark-position middle")
                                  << "watermark position";
    QTest::newRow("quality zero") << line("--export o.jpg --quality 0") << "--quality";
    QTest::newRow("missing value after another")
        << line("--export o.png --theme") << "--theme needs a value";
    QTest::newRow("bad seed") << line("--export o.png --seed -1") << "--seed";
    QTest::newRow("unknown option") << line("--export o.png --colour") << "unknown option --colour";
    QTest::newRow("collage and photos") << line("--export o.png a.tsq b.jpg") << "not both";
    QTest::newRow("save a collage") << line("--save b.tsq a.tsq") << "needs photos";
    QTest::newRow("huge output") << line("--export o.png --width 100000 --height 100000")
                                 << "too large";
    QTest::newRow("thumbnail without output") << line("--thumbnail c.tsq") << "an output file";
    QTest::newRow("thumbnail size zero") << line("--thumbnail c.tsq c.png --size 0") << "--size";
}

void TestCommandLine::parseErrors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    QString error;
    QVERIFY(!ExportOptions::parse(arguments, &error));
    QVERIFY2(error.contains(message), qPrintable(error));
    QVERIFY(!error.contains(QLatin1Char('\n')));
}

void TestCommandLine::parsePages_data()
{
    QTest::addColumn<QString>("text"); // given to --page unless empty
    QTest::addColumn<QStringList>("extra");
    QTest::addColumn<PageSize>("page");
    QTest::addColumn<QSize>("size"); // the export's size; invalid where it is refused

    QTest::newRow("default page") << "" << QStringList() << PageSize() << QSize(1080, 1080);
    QTest::newRow("both sizes given")
        << "" << words("--width 640 --height 480") << PageSize() << QSize(640, 480);
    QTest::newRow("pixels by default, width keeps proportions")
        << "3000x2000" << words("--width 600") << PageSize(0, QSizeF(3000, 2000))
        << QSize(600, 400);
    QTest::newRow("px") << "1200 x 630 px" << QStringList() << PageSize(0, QSizeF(1200, 630))
                        << QSize(1200, 630);
    QTest::newRow("cm at 300 dpi")
        << "10x15cm" << QStringList() << PageSize(2, QSizeF(10, 15)) << QSize(1181, 1772);
    QTest::newRow("decimal inches at 300 dpi")
        << "8.5x11in" << QStringList() << PageSize(1, QSizeF(8.5, 11)) << QSize(2550, 3300);
    QTest::newRow("inches, height keeps proportions")
        << "4x6in" << words("--height 300") << PageSize(1, QSizeF(4, 6)) << QSize(200, 300);
    QTest::newRow("preset") << "a4" << QStringList()
                            << PageSize(2, QSizeF(21, 29.7), QStringLiteral("A4"))
                            << QSize(2480, 3508);
    QTest::newRow("garbage") << "10x" << QStringList() << PageSize() << QSize();
}

void TestCommandLine::parsePages()
{
    QFETCH(QString, text);
    QFETCH(QStringList, extra);
    QFETCH(PageSize, page);
    QFETCH(QSize, size);
    QStringList arguments = line("--export o.png") + extra;
    if (!text.isEmpty()) {
        QCOMPARE(ExportOptions::parsePage(text), page);
        arguments << QStringLiteral("--page") << text;
    }
    QString error;
    const auto options = ExportOptions::parse(arguments, &error);
    QCOMPARE(bool(options), size.isValid());
    if (options)
        QCOMPARE(options->outputSize(), size);
}

void TestCommandLine::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (const QSize &size : { QSize(600, 400), QSize(400, 600), QSize(500, 500) }) {
        m_photos.append(path(QStringLiteral("photo%1.jpg").arg(m_photos.size())));
        QVERIFY(TestPhotos::photoLike(size, m_photos.size()).save(m_photos.last(), "JPEG", 90));
    }
    QVERIFY(TestPhotos::writeFile(path("broken.jpg"), "not a picture"));
    QVERIFY(TestPhotos::writeFile(path("broken.tsq"), "\xD3\x06\x00\x09garbage"));
}

bool TestCommandLine::made(const QStringList &arguments)
{
    const Result run = tesselo(arguments + m_photos);
    if (run.exitCode != 0)
        qWarning().noquote() << arguments.join(' ') << "failed:" << run.err;
    return run.exitCode == 0;
}

void TestCommandLine::helpAndList()
{
    Result help = tesselo({ QStringLiteral("--help") });
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains(QStringLiteral("--export OUT")));
    Result list = tesselo({ QStringLiteral("--list-templates") });
    QCOMPARE(list.exitCode, 0);
    const QStringList lines = list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 105);
    for (const char *line : { "photodrop\tCork Board", "rows\tGallery Wall", "mosaic\tMagazine" })
        QVERIFY2(lines.contains(QLatin1String(line)), line);
}

void TestCommandLine::sizesAndFormats_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("format");
    // Dots per inch the file states; 0 where the page has no physical size.
    QTest::addColumn<int>("dpi");

    // Named templates ride along: the lookup ignores case.
    QTest::newRow("default page, bmp")
        << QStringList {} << "a.bmp" << QSize(1080, 1080) << QByteArray("bmp") << 0;
    QTest::newRow("preset, jpeg, photo drop template")
        << QStringList { "--page", "Facebook Post", "--theme", "photodrop", "--template",
               "CORK board" }
        << "b.jpg" << QSize(1200, 630) << QByteArray("jpeg") << 0;
    QTest::newRow("inches at 100 dpi, jpeg, mosaic template")
        << words("--page 4x6in --dpi 100 --template magazine") << "d.jpg" << QSize(400, 600)
        << QByteArray("jpeg") << 100;
    QTest::newRow("centimetres scaled to a width, rows template") << QStringList {
        "--page", "10x15cm", "--width", "1000", "--theme", "rows", "--template", "album page"
    } << "g.png" << QSize(1000, 1500) << QByteArray("png") << 254;
    QTest::newRow("upper-case suffix")
        << words("--height 300") << "f.JPG" << QSize(300, 300) << QByteArray("jpeg") << 0;
}

void TestCommandLine::sizesAndFormats()
{
    QFETCH(QStringList, options);
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(QByteArray, format);
    QFETCH(int, dpi);
    QVERIFY(made(QStringList { "--export", path(file), "--seed", "5" } + options));
    QImageReader reader(path(file));
    QCOMPARE(reader.format(), format);
    const QImage image = reader.read();
    QCOMPARE(image.size(), size);
    QVERIFY2(colourCount(image) > 3, "the collage shows no photos");
    // A print page says how large it prints.
    if (dpi > 0) {
        const QPoint stated(
            qRound(image.dotsPerMeterX() * 0.0254), qRound(image.dotsPerMeterY() * 0.0254));
        QCOMPARE(stated, QPoint(dpi, dpi));
    }
}

void TestCommandLine::seedsReproduce()
{
    for (const QString &theme : { QStringLiteral("photodrop"), QStringLiteral("mosaic") }) {
        QList<QImage> images;
        for (const char *seed : { "7", "7", "8" }) {
            const QString out = path(QStringLiteral("seed_%1.png").arg(images.size()));
            QVERIFY(made({ "--export", out, "--theme", theme, "--seed", seed, "--width", "300" }));
            images.append(QImage(out));
        }
        QCOMPARE(images[0], images[1]);
        QVERIFY2(images[0] != images[2], qPrintable(theme));
    }
}

void TestCommandLine::watermarkPlacement()
{
    const QStringList common { "--seed", "3", "--page", "800x600", "--export" };
    QVERIFY(made(common + QStringList { path("plain.png") }));
    QVERIFY(made(common
        + QStringList { path("marked.png"), "--watermark", "© Tesselo", "--watermark-position",
            "top-left", "--watermark-opacity", "100" }));
    const QImage a(path("plain.png")), b(path("marked.png"));
    QRect changed;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            if (a.pixel(x, y) != b.pixel(x, y))
                changed |= QRect(x, y, 1, 1);
    QVERIFY(!changed.isEmpty());
    QVERIFY(QRect(0, 0, 400, 150).contains(changed));
}

void TestCommandLine::unreadablePhotosAreSkipped()
{
    const QString out = path(QStringLiteral("skipped.png"));
    const Result result
        = tesselo({ "--export", out, m_photos.first(), path("broken.jpg"), path("missing.jpg") });
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.err.contains(QStringLiteral("broken.jpg")));
    QVERIFY(result.err.contains(QStringLiteral("missing.jpg")));
    QVERIFY(QFile::exists(out));
}

void TestCommandLine::reportMeasuresEveryPhoto()
{
    // Rows keeps twelve landscape photos nearly whole on a 3:2 page. How
    // each theme hides parts of photos is measured in tst_visibilityreport.
    QStringList landscapes;
    for (int i = 0; i < 12; ++i) {
        landscapes.append(path(QStringLiteral("landscape%1.png").arg(i)));
        QVERIFY(TestPhotos::photoLike(QSize(256, 160), i).save(landscapes.last()));
    }
    const Result result
        = tesselo(QStringList { "--export", path("report.png"), "--theme", "rows", "--page",
                      "3000x2000", "--width", "600", "--seed", "3", "--report" }
            + landscapes);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 14);
    double sum = 0;
    double smallest = 1;
    QStringList files;
    for (int i = 0; i < 12; ++i) {
        const QStringList fields = lines.at(i).split(QLatin1Char('\t'));
        QCOMPARE(fields.size(), 6);
        files.append(fields.at(0));
        const QRect area(
            fields.at(1).toInt(), fields.at(2).toInt(), fields.at(3).toInt(), fields.at(4).toInt());
        QVERIFY2(
            !area.isEmpty() && QRect(-60, -60, 720, 520).contains(area), qPrintable(lines.at(i)));
        const double visible = fields.at(5).toDouble();
        QVERIFY(visible >= 0 && visible <= 1);
        sum += visible;
        smallest = qMin(smallest, visible);
    }
    files.sort();
    landscapes.sort();
    QCOMPARE(files, landscapes);
    QCOMPARE(lines.at(12), QStringLiteral("min_visible_fraction: %1").arg(smallest, 0, 'f', 4));
    QVERIFY(lines.at(13).startsWith(QStringLiteral("mean_visible_fraction: ")));
    QVERIFY(qAbs(lines.at(13).section(QLatin1Char(' '), 1).toDouble() - sum / 12) < 0.001);
    QVERIFY2(smallest >= 0.85 && sum / 12 >= 0.95, qPrintable(result.out));
}

void TestCommandLine::savedCollageExportsTheSame()
{
    // --save writes the collage as a document; exporting that document
    // gives the picture the first run made.
    const QString document = path(QStringLiteral("trip.tsq"));
    QVERIFY(made({ "--export", path("direct.png"), "--save", document, "--theme", "photodrop",
        "--seed", "11", "--width", "400" }));
    const Result again = tesselo({ "--export", path("reopened.png"), "--width", "400", document });
    QVERIFY2(again.exitCode == 0, qPrintable(again.err));
    QCOMPARE(QImage(path("reopened.png")), QImage(path("direct.png")));

    QVERIFY(made({ "--save", path(QStringLiteral("only.tsq")) }));
    QVERIFY(QFileInfo(path(QStringLiteral("only.tsq"))).size() > 0);
}

void TestCommandLine::errors_data()
{
    // "@name" stands for that file in the test folder.
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("no readable photo")
        << words("--export @out.png nothing.jpg") << "no readable photo";
    QTest::newRow("unknown template")
        << words("--export @out.png --template Nope") << "unknown template";
    QTest::newRow("template of the other theme") << QStringList { "--export", "@out.png", "--theme",
        "mosaic", "--template", "Cork Board" } << "unknown template";
    QTest::newRow("bad number") << words("--export @out.png --width wide") << "--width";
    QTest::newRow("unknown format") << words("--export @out.xyz") << "unknown image format";
    QTest::newRow("missing folder") << words("--export @missing/out.png") << "cannot write";
    QTest::newRow("missing collage") << words("--export @out.png @gone.tsq") << "cannot open";
    QTest::newRow("damaged collage") << words("--export @out.png @broken.tsq") << "File corrupted";
    QTest::newRow("thumbnail of a damaged collage")
        << words("--thumbnail @broken.tsq @out.png") << "cannot open";
}

void TestCommandLine::errors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    for (QString &argument : arguments) {
        if (argument.startsWith(QLatin1Char('@')))
            argument = path(argument.mid(1));
    }
    const Result result = tesselo(arguments);
    QVERIFY(result.exitCode != 0);
    const QStringList lines = result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(!lines.isEmpty() && lines.last().contains(message), qPrintable(result.err));
    QVERIFY(lines.last().startsWith(QStringLiteral("tesselo: ")));
    QCOMPARE(QDir(m_dir.path()).entryList({ QStringLiteral("out.*") }), QStringList());
}

void TestCommandLine::unwritableTargetKeepsExistingFile()
{
    // JPEG cannot hold 70000 pixels in a row: the writer fails after it
    // started, and the collage that stood there before must survive.
    const QString target = path(QStringLiteral("keep.jpg"));
    const QByteArray before = TestPhotos::encode(TestPhotos::photoLike({ 50, 50 }), "jpeg");
    QVERIFY(TestPhotos::writeFile(target, before));

    const Result result
        = tesselo({ "--export", target, "--width", "70000", "--height", "10", m_photos.first() });
    QVERIFY(result.exitCode != 0);
    QVERIFY2(result.err.trimmed()
                 .section(QLatin1Char('\n'), -1)
                 .startsWith(QStringLiteral("tesselo: cannot write")),
        qPrintable(result.err));
    QFile original(target);
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), before);
    QCOMPARE(
        QDir(m_dir.path()).entryList({ QStringLiteral("keep.jpg*") }, QDir::Files | QDir::Hidden),
        QStringList { QStringLiteral("keep.jpg") }); // no temporary file left behind
}

void TestCommandLine::standardErrorCarriesOnlyOurMessages()
{
    // Without a runtime folder Qt would warn on every start. Without
    // --export, unknown options keep their old meaning (ignored) and do not
    // reach the export parser.
    const QStringList unset { QStringLiteral("XDG_RUNTIME_DIR") };
    const Result version = tesselo({ QStringLiteral("--version"), QStringLiteral("-x") }, unset);
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("Tesselo 0.9.6\n"));
    QCOMPARE(version.err, QString());
    const Result exported = tesselo(
        { "--export", path(QStringLiteral("quiet.png")), "--width", "200", m_photos.first() },
        unset);
    QCOMPARE(exported.exitCode, 0);
    QCOMPARE(exported.err, QString());
}

void TestCommandLine::pdfAndQuality()
{
    QVERIFY(made({ "--export", path("print.pdf"), "--page", "4x6in", "--dpi", "100" }));
    QFile file(path(QStringLiteral("print.pdf")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    // A page of 4 x 6 inches: 288 x 432 points.
    QVERIFY2(bytes.contains("/MediaBox [0 0 288.000000 432.000000]"), bytes.left(2000).constData());

    QVERIFY(made({ "--export", path("low.jpg"), "--quality", "10", "--seed", "3" }));
    QVERIFY(made({ "--export", path("high.jpg"), "--seed", "3" }));
    QVERIFY(QFileInfo(path("low.jpg")).size() < QFileInfo(path("high.jpg")).size());
}

void TestCommandLine::thumbnailsAndMissingPhotos()
{
    // A saved collage, then one of its photos moved away.
    const QString folder = path(QStringLiteral("thumbs"));
    QVERIFY(QDir().mkpath(folder));
    QStringList photos;
    for (int i = 0; i < 3; ++i) {
        photos << folder + QStringLiteral("/p%1.jpg").arg(i);
        QVERIFY(TestPhotos::photoLike(QSize(640, 480), i).save(photos.last()));
    }
    const QString document = folder + QStringLiteral("/c.tsq");
    Result saved = tesselo(QStringList { "--save", document, "--page", "1200x800" } + photos);
    QVERIFY2(saved.exitCode == 0, qPrintable(saved.err));

    const QString out = folder + QStringLiteral("/c.png");
    Result thumb = tesselo({ "--thumbnail", document, out, "--size", "128" });
    QVERIFY2(thumb.exitCode == 0, qPrintable(thumb.err));
    QCOMPARE(QImage(out).size(), QSize(128, 85));
    QVERIFY(colourCount(QImage(out)) > 2);
    QCOMPARE(QImageReader(out).format(), QByteArray("png"));

    QVERIFY(QFile::remove(photos[1]));
    QVERIFY(QFile::remove(out));
    Result partial = tesselo({ "--thumbnail", document, out });
    QVERIFY2(partial.exitCode == 0, qPrintable(partial.err));
    QCOMPARE(QImage(out).size(), QSize(256, 171));

    // The export names the missing photo, and only that one.
    const Result result = tesselo({ "--export", folder + QStringLiteral("/c.jpg"), document });
    QCOMPARE(result.exitCode, 0);
    QVERIFY2(
        result.err.contains(QStringLiteral("missing photo ") + QDir::toNativeSeparators(photos[1])),
        qPrintable(result.err));
    QVERIFY(!result.err.contains(QStringLiteral("p0.jpg")));
    QVERIFY(QFile::exists(folder + QStringLiteral("/c.jpg")));
}

void TestCommandLine::heicIsUpright()
{
    if (HeifDecoder::suffixes().isEmpty())
        QSKIP("built without libheif");
    // Stored 64 x 48 with a quarter turn clockwise in its transform.
    const QString photo = QFINDTESTDATA("../imaging/data/rotated.heic");
    QVERIFY(!photo.isEmpty());
    const QString out = path(QStringLiteral("heic.png"));
    const Result result
        = tesselo({ "--export", out, "--page", "300x400px", "--width", "300", photo });
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    const QImage image(out);
    QCOMPARE(image.size(), QSize(300, 400));
    QVERIFY(TestPhotos::near(image.pixel(90, 120), Qt::blue));
    QVERIFY(TestPhotos::near(image.pixel(210, 120), Qt::red));
    QVERIFY(TestPhotos::near(image.pixel(90, 280), Qt::yellow));
    QVERIFY(TestPhotos::near(image.pixel(210, 280), Qt::green));
}

void TestCommandLine::displayP3JpegComesOutInSrgb()
{
    const QRgb stored = qRgb(200, 100, 50);
    QImage flat(400, 300, QImage::Format_RGB32);
    flat.fill(stored);
    const QColorSpace p3(QColorSpace::DisplayP3);
    const QString photo = path(QStringLiteral("p3.jpg"));
    QVERIFY(TestPhotos::writeFile(photo,
        TestPhotos::withIccProfile(TestPhotos::encode(flat, "jpeg", 100), p3.iccProfile(), 200)));
    const QRgb expected = p3.transformationToColorSpace(QColorSpace::SRgb).map(stored);
    QVERIFY(qAbs(qBlue(expected) - qBlue(stored)) > 12); // the conversion shows

    for (const QString &format : { QStringLiteral("png"), QStringLiteral("jpg") }) {
        const QString out = path(QStringLiteral("p3-out.") + format);
        const Result result
            = tesselo({ "--export", out, "--page", "400x300px", "--width", "400", photo });
        QVERIFY2(result.exitCode == 0, qPrintable(result.err));
        const QImage image(out);
        const QRgb pixel = image.pixel(200, 150);
        QVERIFY2(TestPhotos::near(pixel, QColor(expected), 6),
            qPrintable(QColor(pixel).name() + QStringLiteral(" for ") + QColor(expected).name()));
        // The file says what its numbers mean.
        QCOMPARE(image.colorSpace().primaries(), QColorSpace::Primaries::SRgb);
        QCOMPARE(image.colorSpace().transferFunction(), QColorSpace::TransferFunction::SRgb);
    }
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
