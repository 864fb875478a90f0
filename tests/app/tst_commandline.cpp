#include <QtTest>

#include <QImageReader>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include "themes/builtinthemes.h"

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

QImage photo(const QSize &size, const QColor &color)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(color);
    QPainter painter(&image);
    painter.fillRect(QRect(QPoint(0, 0), size / 2), color.darker(180));
    return image;
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

} // namespace

class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void helpVersionAndList();
    void sizesAndFormats_data();
    void sizesAndFormats();
    void templates_data();
    void templates();
    void seedsReproduce();
    void watermarkPlacement();
    void unreadablePhotosAreSkipped();
    void reportMeasuresEveryPhoto_data();
    void reportMeasuresEveryPhoto();
    void savedCollageExportsTheSame();
    void errors_data();
    void errors();
    void unwritableTargetKeepsExistingFile();
    void editorArgumentsStayIgnored();
    void standardErrorCarriesOnlyOurMessages();
    void pdfAndQuality();
    void thumbnails();

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }

    QTemporaryDir m_dir;
    QStringList m_photos;
};

void TestCommandLine::initTestCase()
{
    QVERIFY(m_dir.isValid());
    const QList<QPair<QSize, QColor>> photos { { { 600, 400 }, QColor("#c0392b") },
        { { 400, 600 }, QColor("#2980b9") }, { { 500, 500 }, QColor("#27ae60") } };
    for (int i = 0; i < photos.size(); ++i) {
        const QString file = path(QStringLiteral("photo%1.jpg").arg(i));
        QVERIFY(photo(photos[i].first, photos[i].second).save(file, "JPEG", 90));
        m_photos.append(file);
    }
}

void TestCommandLine::helpVersionAndList()
{
    Result help = tesselo({ QStringLiteral("--help") });
    QCOMPARE(help.exitCode, 0);
    QVERIFY(help.out.contains(QStringLiteral("--export OUT")));
    Result version = tesselo({ QStringLiteral("--version") });
    QCOMPARE(version.out.trimmed(), QStringLiteral("Tesselo 0.9.6"));
    Result list = tesselo({ QStringLiteral("--list-templates") });
    QCOMPARE(list.exitCode, 0);
    const QStringList lines = list.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 105);
    QVERIFY(lines.contains(QStringLiteral("photodrop\tCork Board")));
    QVERIFY(lines.contains(QStringLiteral("rows\tGallery Wall")));
    QVERIFY(lines.contains(QStringLiteral("mosaic\tMagazine")));
}

void TestCommandLine::sizesAndFormats_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::addColumn<QString>("file");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QByteArray>("format");
    // Dots per inch the file states; 0 where the page has no physical size.
    QTest::addColumn<int>("dpi");

    QTest::newRow("default page, png")
        << QStringList {} << "a.png" << QSize(1080, 1080) << QByteArray("png") << 0;
    QTest::newRow("preset, jpeg") << QStringList { "--page", "Facebook Post" } << "b.jpg"
                                  << QSize(1200, 630) << QByteArray("jpeg") << 0;
    QTest::newRow("inches at 300 dpi") << QStringList { "--page", "4x6in" } << "c.png"
                                       << QSize(1200, 1800) << QByteArray("png") << 300;
    QTest::newRow("inches at 100 dpi, jpeg")
        << QStringList { "--page", "4x6in", "--dpi", "100" } << "d.jpg" << QSize(400, 600)
        << QByteArray("jpeg") << 100;
    QTest::newRow("centimetres scaled to a width")
        << QStringList { "--page", "10x15cm", "--width", "1000" } << "g.png" << QSize(1000, 1500)
        << QByteArray("png") << 254;
    QTest::newRow("width keeps proportions")
        << QStringList { "--page", "3000x2000", "--width", "900" } << "e.bmp" << QSize(900, 600)
        << QByteArray("bmp") << 0;
    QTest::newRow("upper-case suffix") << QStringList { "--height", "300" } << "f.JPG"
                                       << QSize(300, 300) << QByteArray("jpeg") << 0;
}

void TestCommandLine::sizesAndFormats()
{
    QFETCH(QStringList, options);
    QFETCH(QString, file);
    QFETCH(QSize, size);
    QFETCH(QByteArray, format);
    QFETCH(int, dpi);
    const Result result
        = tesselo(QStringList { "--export", path(file), "--seed", "5" } + options + m_photos);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QImageReader reader(path(file));
    QCOMPARE(reader.format(), format);
    const QImage image = reader.read();
    QCOMPARE(image.size(), size);
    QVERIFY2(colourCount(image) > 3, "the collage shows no photos");
    // A print page says how large it prints.
    if (dpi > 0) {
        QCOMPARE(qRound(image.dotsPerMeterX() * 0.0254), dpi);
        QCOMPARE(qRound(image.dotsPerMeterY() * 0.0254), dpi);
    }
}

void TestCommandLine::templates_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("mosaic default") << QStringList {};
    QTest::newRow("photo drop default") << QStringList { "--theme", "photodrop" };
    QTest::newRow("named, any case")
        << QStringList { "--theme", "photodrop", "--template", "CORK board" };
    QTest::newRow("mosaic template") << QStringList { "--template", "Magazine" };
    QTest::newRow("rows default") << QStringList { "--theme", "rows" };
    QTest::newRow("rows template") << QStringList { "--theme", "rows", "--template", "album page" };
}

void TestCommandLine::templates()
{
    QFETCH(QStringList, options);
    const QString out = path(QStringLiteral("template.png"));
    const Result result
        = tesselo(QStringList { "--export", out, "--width", "400" } + options + m_photos);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    QVERIFY(colourCount(QImage(out)) > 3);
}

void TestCommandLine::seedsReproduce()
{
    for (const QString &theme : { QStringLiteral("photodrop"), QStringLiteral("mosaic") }) {
        QList<QImage> images;
        for (const QString &seed :
            { QStringLiteral("7"), QStringLiteral("7"), QStringLiteral("8") }) {
            const QString out = path(QStringLiteral("seed_%1.png").arg(images.size()));
            const Result result = tesselo(
                QStringList { "--export", out, "--theme", theme, "--seed", seed, "--width", "300" }
                + m_photos);
            QVERIFY2(result.exitCode == 0, qPrintable(result.err));
            images.append(QImage(out));
        }
        QCOMPARE(images[0], images[1]);
        QVERIFY2(images[0] != images[2], qPrintable(theme));
    }
}

void TestCommandLine::watermarkPlacement()
{
    const QString plain = path(QStringLiteral("plain.png")),
                  marked = path(QStringLiteral("marked.png"));
    const QStringList common { "--seed", "3", "--page", "800x600" };
    QCOMPARE(tesselo(QStringList { "--export", plain } + common + m_photos).exitCode, 0);
    QCOMPARE(tesselo(QStringList { "--export", marked, "--watermark", "© Tesselo",
                         "--watermark-position", "top-left", "--watermark-opacity", "100" }
                 + common + m_photos)
                 .exitCode,
        0);
    const QImage a(plain), b(marked);
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
    const QString broken = path(QStringLiteral("broken.jpg"));
    QFile file(broken);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("not a picture");
    file.close();
    const QString out = path(QStringLiteral("skipped.png"));
    const Result result
        = tesselo({ "--export", out, m_photos.first(), broken, path("missing.jpg") });
    QCOMPARE(result.exitCode, 0);
    QVERIFY(result.err.contains(QStringLiteral("broken.jpg")));
    QVERIFY(result.err.contains(QStringLiteral("missing.jpg")));
    QVERIFY(QFile::exists(out));
}

void TestCommandLine::reportMeasuresEveryPhoto_data()
{
    QTest::addColumn<QString>("theme");
    QTest::addColumn<double>("least");
    QTest::addColumn<double>("mean");
    // Rows keeps twelve landscape photos nearly whole on a 3:2 page; the
    // other themes are only checked for a well-formed report.
    QTest::newRow("rows") << "rows" << 0.85 << 0.95;
    QTest::newRow("mosaic") << "mosaic" << 0.0 << 0.0;
    QTest::newRow("photodrop") << "photodrop" << 0.0 << 0.0;
}

void TestCommandLine::reportMeasuresEveryPhoto()
{
    QFETCH(QString, theme);
    QFETCH(double, least);
    QFETCH(double, mean);
    QStringList landscapes;
    for (int i = 0; i < 12; ++i) {
        const QString file = path(QStringLiteral("landscape%1.png").arg(i));
        if (!QFile::exists(file))
            QVERIFY(photo(QSize(256, 160), QColor::fromHsv(i * 30, 150, 200)).save(file));
        landscapes.append(file);
    }
    const QString out = path(QStringLiteral("report.png"));
    const Result result = tesselo(QStringList { "--export", out, "--theme", theme, "--page",
                                      "3000x2000", "--width", "600", "--seed", "3", "--report" }
        + landscapes);
    QVERIFY2(result.exitCode == 0, qPrintable(result.err));
    const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QCOMPARE(lines.size(), 14);
    QVERIFY(lines.last().startsWith(QStringLiteral("mean_visible_fraction: ")));
    QVERIFY(lines.at(12).startsWith(QStringLiteral("min_visible_fraction: ")));
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
    QStringList expected = landscapes;
    expected.sort();
    QCOMPARE(files, expected);
    const double reportedMean = lines.last().section(QLatin1Char(' '), 1).toDouble();
    const double reportedLeast = lines.at(12).section(QLatin1Char(' '), 1).toDouble();
    QVERIFY(qAbs(reportedMean - sum / 12) < 0.001);
    QVERIFY(qAbs(reportedLeast - smallest) < 0.0001);
    QVERIFY2(smallest >= least && reportedMean >= mean, qPrintable(result.out));
}

void TestCommandLine::savedCollageExportsTheSame()
{
    // --save writes the collage as a document; exporting that document
    // gives the picture the first run made.
    const QString document = path(QStringLiteral("trip.tsq"));
    const QString direct = path(QStringLiteral("direct.png")),
                  reopened = path(QStringLiteral("reopened.png"));
    Result made = tesselo(QStringList { "--export", direct, "--save", document, "--theme",
                              "photodrop", "--seed", "11", "--width", "400" }
        + m_photos);
    QVERIFY2(made.exitCode == 0, qPrintable(made.err));
    QVERIFY(QFileInfo(document).size() > 0);
    Result again = tesselo({ "--export", reopened, "--width", "400", document });
    QVERIFY2(again.exitCode == 0, qPrintable(again.err));
    QCOMPARE(QImage(reopened), QImage(direct));

    Result saveOnly
        = tesselo(QStringList { "--save", path(QStringLiteral("only.tsq")) } + m_photos);
    QVERIFY2(saveOnly.exitCode == 0, qPrintable(saveOnly.err));
    QVERIFY(QFile::exists(path(QStringLiteral("only.tsq"))));

    QFile broken(path(QStringLiteral("broken.tsq")));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("\xD3\x06\x00\x09garbage");
    broken.close();
    Result refused = tesselo({ "--export", path(QStringLiteral("never.png")), broken.fileName() });
    QVERIFY(refused.exitCode != 0);
    QVERIFY2(refused.err.contains(QStringLiteral("File corrupted")), qPrintable(refused.err));
    QVERIFY(!QFile::exists(path(QStringLiteral("never.png"))));
}

void TestCommandLine::errors_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("message");

    QTest::newRow("no readable photo")
        << QStringList { "--export", "OUT", "nothing.jpg" } << "no readable photo";
    QTest::newRow("unknown template")
        << QStringList { "--export", "OUT", "--template", "Nope" } << "unknown template";
    QTest::newRow("template of the other theme") << QStringList { "--export", "OUT", "--theme",
        "mosaic", "--template", "Cork Board" } << "unknown template";
    QTest::newRow("unknown page") << QStringList { "--export", "OUT", "--page", "Billboard" }
                                  << "unknown page";
    QTest::newRow("bad number") << QStringList { "--export", "OUT", "--width", "wide" }
                                << "--width";
    QTest::newRow("unknown format")
        << QStringList { "--export", "OUT.xyz" } << "unknown image format";
    QTest::newRow("missing folder")
        << QStringList { "--export", "missing/OUT.png" } << "cannot write";
    QTest::newRow("collage and photos")
        << QStringList { "--export", "OUT", "a.tsq", "b.jpg" } << "either one collage";
    QTest::newRow("missing collage")
        << QStringList { "--export", "OUT", "gone.tsq" } << "cannot open";
}

void TestCommandLine::errors()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, message);
    for (QString &argument : arguments) {
        if (argument.startsWith(QLatin1String("OUT"))
            || argument.startsWith(QLatin1String("missing/")))
            argument
                = path(argument.startsWith(QLatin1String("OUT")) ? argument + ".png" : argument);
    }
    arguments.replaceInStrings(QStringLiteral("OUT.xyz.png"), path(QStringLiteral("OUT.xyz")));
    const Result result = tesselo(arguments);
    QVERIFY(result.exitCode != 0);
    const QStringList lines = result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    QVERIFY2(!lines.isEmpty() && lines.last().contains(message), qPrintable(result.err));
    QVERIFY(lines.last().startsWith(QStringLiteral("tesselo: ")));
    QVERIFY(!QFile::exists(path(QStringLiteral("OUT.png"))));
}

void TestCommandLine::unwritableTargetKeepsExistingFile()
{
    // JPEG cannot hold 70000 pixels in a row: the writer fails after it
    // started, and the collage that stood there before must survive.
    const QString target = path(QStringLiteral("keep.jpg"));
    QVERIFY(photo({ 50, 50 }, Qt::yellow).save(target));
    QFile original(target);
    QVERIFY(original.open(QIODevice::ReadOnly));
    const QByteArray before = original.readAll();
    original.close();

    const Result result
        = tesselo({ "--export", target, "--width", "70000", "--height", "10", m_photos.first() });
    QVERIFY(result.exitCode != 0);
    QVERIFY2(result.err.trimmed()
                 .section(QLatin1Char('\n'), -1)
                 .startsWith(QStringLiteral("tesselo: cannot write")),
        qPrintable(result.err));
    QVERIFY(original.open(QIODevice::ReadOnly));
    QCOMPARE(original.readAll(), before);
    QCOMPARE(
        QDir(m_dir.path()).entryList({ QStringLiteral("keep.jpg*") }, QDir::Files | QDir::Hidden),
        QStringList { QStringLiteral("keep.jpg") }); // no temporary file left behind
}

void TestCommandLine::editorArgumentsStayIgnored()
{
    // Without --export, unknown options keep their old meaning (ignored)
    // and do not reach the export parser.
    const Result result = tesselo({ QStringLiteral("--version"), QStringLiteral("-x") });
    QCOMPARE(result.exitCode, 0);
}

void TestCommandLine::standardErrorCarriesOnlyOurMessages()
{
    // Without a runtime folder Qt would warn on every start.
    const QStringList unset { QStringLiteral("XDG_RUNTIME_DIR") };
    const Result version = tesselo({ QStringLiteral("--version") }, unset);
    QCOMPARE(version.exitCode, 0);
    QCOMPARE(version.out, QStringLiteral("Tesselo 0.9.6\n"));
    QCOMPARE(version.err, QString());
    const Result made = tesselo(
        { "--export", path(QStringLiteral("quiet.png")), "--width", "200", m_photos.first() },
        unset);
    QCOMPARE(made.exitCode, 0);
    QCOMPARE(made.err, QString());
}

void TestCommandLine::pdfAndQuality()
{
    const Result pdf = tesselo({ "--export", path(QStringLiteral("print.pdf")), "--page", "4x6in",
        "--dpi", "100", m_photos.first() });
    QVERIFY2(pdf.exitCode == 0, qPrintable(pdf.err));
    QFile file(path(QStringLiteral("print.pdf")));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.startsWith("%PDF-"));
    // A page of 4 x 6 inches: 288 x 432 points.
    QVERIFY2(bytes.contains("/MediaBox [0 0 288.000000 432.000000]"), bytes.left(2000).constData());

    const Result low = tesselo({ "--export", path(QStringLiteral("low.jpg")), "--quality", "10",
        "--seed", "3", m_photos.first() });
    const Result high = tesselo(
        { "--export", path(QStringLiteral("high.jpg")), "--seed", "3", m_photos.first() });
    QVERIFY2(low.exitCode == 0 && high.exitCode == 0, qPrintable(low.err + high.err));
    QVERIFY(QFileInfo(path(QStringLiteral("low.jpg"))).size()
        < QFileInfo(path(QStringLiteral("high.jpg"))).size());
}

void TestCommandLine::thumbnails()
{
    // A saved collage, then one of its photos moved away.
    const QString folder = path(QStringLiteral("thumbs"));
    QVERIFY(QDir().mkpath(folder));
    QStringList photos;
    for (int i = 0; i < 3; ++i) {
        photos << folder + QStringLiteral("/p%1.jpg").arg(i);
        QVERIFY(photo(QSize(640, 480), QColor::fromHsv(i * 100, 200, 220)).save(photos.last()));
    }
    const QString document = folder + QStringLiteral("/c.tsq");
    Result made = tesselo(QStringList { "--save", document, "--page", "1200x800" } + photos);
    QVERIFY2(made.exitCode == 0, qPrintable(made.err));

    const QString out = folder + QStringLiteral("/c.png");
    Result thumb = tesselo({ "--thumbnail", document, out, "--size", "128" });
    QVERIFY2(thumb.exitCode == 0, qPrintable(thumb.err));
    QCOMPARE(QImage(out).size(), QSize(128, 85));
    QVERIFY(colourCount(QImage(out)) > 2);
    QCOMPARE(QImageReader(out).format(), QByteArray("png"));

    QVERIFY(QFile::remove(photos.first()));
    QVERIFY(QFile::remove(out));
    Result partial = tesselo({ "--thumbnail", document, out });
    QVERIFY2(partial.exitCode == 0, qPrintable(partial.err));
    QCOMPARE(QImage(out).size(), QSize(256, 171));

    QFile broken(folder + QStringLiteral("/broken.tsq"));
    QVERIFY(broken.open(QIODevice::WriteOnly));
    broken.write("\xD3\x06\x00\x09garbage");
    broken.close();
    const QString never = folder + QStringLiteral("/never.png");
    Result refused = tesselo({ "--thumbnail", broken.fileName(), never });
    QVERIFY(refused.exitCode != 0);
    QVERIFY(!QFile::exists(never));
    QVERIFY(tesselo({ "--thumbnail", document }).exitCode != 0);
    QVERIFY(tesselo({ "--thumbnail", document, out, "--size", "0" }).exitCode != 0);
}

QTEST_GUILESS_MAIN(TestCommandLine)
#include "tst_commandline.moc"
