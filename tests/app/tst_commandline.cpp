#include <QtTest>

#include <QImageReader>
#include <QProcess>
#include <QTemporaryDir>

#include "app/exportoptions.h"
#include "app/visibilityreport.h"
#include "imaging/testphotos.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/itemtransform.h"
#include "model/rotationrestriction.h"
#include "themes/builtinthemes.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodroptheme.h"
#include "themes/photogrid/photogridtheme.h"

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

// The command line: its parser, the report of what each photo shows, then
// the program run as a user's script would, with exit codes, messages and
// the files written.
class TestCommandLine : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // The parser alone.
    void parseModes()
    {
        QString error;
        const auto parse = [&error](const char *arguments) {
            return ExportOptions::parse(line(arguments), &error).value_or(ExportOptions());
        };
        using Mode = ExportOptions::Mode;
        QCOMPARE(int(parse("-x a.tsq").mode), int(Mode::Editor)); // options ignored
        QCOMPARE(parse("-x a.tsq").photos, QStringList { "a.tsq" });
        const ExportOptions saved = parse("--export o.png trip.TSQ");
        QCOMPARE(int(saved.mode), int(Mode::Export));
        QVERIFY(saved.photos.isEmpty()); // a saved collage, not a photo
        QCOMPARE(int(parse("--export o.png --help").mode), int(Mode::Help));
    }

    void parsePages_data()
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
        QTest::newRow("inches, height keeps proportions")
            << "4x6in" << words("--height 300") << PageSize(1, QSizeF(4, 6)) << QSize(200, 300);
        QTest::newRow("preset") << "a4" << QStringList()
                                << PageSize(2, QSizeF(21, 29.7), QStringLiteral("A4"))
                                << QSize(2480, 3508);
        QTest::newRow("garbage") << "10x" << QStringList() << PageSize() << QSize();
    }

    void parsePages()
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

    // The report alone, on collages built here.
    void gridCropsToTheCell()
    {
        // One 16:10 photo filling a square page keeps 10/16 of its width.
        std::unique_ptr<Document> mosaic = document(BuiltInThemes::MosaicId, { { 160, 100 } });
        QVERIFY(mosaic);
        auto *theme = qobject_cast<PhotoGridTheme *>(mosaic->theme());
        theme->frames()->setEnabled(false);
        theme->rotationRestrictions()->setVariation(0);
        theme->setBorderRelative(0.1);
        const VisibilityReport report(mosaic.get(), QSizeF(500, 500));
        QCOMPARE(report.photos().size(), 1);
        QVERIFY(qAbs(report.photos().first().visibleFraction - 0.625) < 1e-6);

        const VisibilityReport empty(nullptr, QSizeF(100, 100)); // no collage: nothing hidden
        QCOMPARE(empty.meanVisibleFraction(), 1.0);
    }

    void pileCountsWhatLiesAbove_data()
    {
        QTest::addColumn<QPointF>("lower");
        QTest::addColumn<QPointF>("upper");
        QTest::addColumn<qreal>("lowerVisible");
        QTest::addColumn<qreal>("upperVisible");

        QTest::newRow("apart") << QPointF(250, 250) << QPointF(750, 750) << 1.0 << 1.0;
        QTest::newRow("a quarter covered") << QPointF(500, 500) << QPointF(700, 700) << 0.75 << 1.0;
        QTest::newRow("half off the page") << QPointF(1000, 500) << QPointF(0, 0) << 0.5 << 0.25;
    }

    void pileCountsWhatLiesAbove()
    {
        QFETCH(QPointF, lower);
        QFETCH(QPointF, upper);
        QFETCH(qreal, lowerVisible);
        QFETCH(qreal, upperVisible);

        // Two square photos of 400 x 400 on the page, the second on top.
        std::unique_ptr<Document> pile
            = document(BuiltInThemes::PhotoDropId, { { 80, 80 }, { 80, 80 } });
        QVERIFY(pile);
        auto *theme = qobject_cast<PhotoDropTheme *>(pile->theme());
        const QPointF places[] = { lower, upper };
        for (int k = 0; k < 2; ++k) {
            ItemTransform *transform = theme->items()->at(k)->transform();
            transform->setPosition(places[k]);
            transform->setZoom(400);
            transform->setRotation(0);
        }
        const VisibilityReport report(pile.get(), QSizeF(1000, 1000));
        QCOMPARE(report.photos().size(), 2);
        QVERIFY2(qAbs(report.photos().at(0).visibleFraction - lowerVisible) < 0.005,
            qPrintable(QString::number(report.photos().at(0).visibleFraction)));
        QVERIFY2(qAbs(report.photos().at(1).visibleFraction - upperVisible) < 0.005,
            qPrintable(QString::number(report.photos().at(1).visibleFraction)));
    }

    // The program.
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        BuiltInThemes::registerAll();
        for (const QSize &size : { QSize(600, 400), QSize(400, 600), QSize(500, 500) }) {
            m_photos.append(path(QStringLiteral("photo%1.jpg").arg(m_photos.size())));
            QVERIFY(TestPhotos::photoLike(size, m_photos.size()).save(m_photos.last(), "JPEG", 90));
        }
        QVERIFY(TestPhotos::writeFile(path("broken.jpg"), "not a picture"));
        QVERIFY(TestPhotos::writeFile(path("broken.tsq"), "\xD3\x06\x00\x09garbage"));
    }

    void helpAndList()
    {
        Result help = tesselo({ QStringLiteral("--help") });
        QCOMPARE(help.exitCode, 0);
        QVERIFY(help.out.contains(QStringLiteral("--export OUT")));
        Result list = tesselo({ QStringLiteral("--list-templates") });
        QCOMPARE(list.exitCode, 0);
        QVERIFY(list.out.split(QLatin1Char('\n')).contains(QLatin1String("rows\tGallery Wall")));
    }

    void sizesAndFormats_data()
    {
        QTest::addColumn<QStringList>("options");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("format");
        // Dots per inch the file states; 0 where the page has no physical size.
        QTest::addColumn<int>("dpi");

        // Named templates ride along: the lookup ignores case.
        QTest::newRow("preset, jpeg, photo drop template") << QStringList { "--page",
            "Facebook Post", "--theme", "photodrop", "--template", "CORK board" }
                                                           << "b.jpg" << QByteArray("jpeg") << 0;
        QTest::newRow("centimetres scaled to a width, rows template") << QStringList {
            "--page", "10x15cm", "--width", "1000", "--theme", "rows", "--template", "album page"
        } << "g.png" << QByteArray("png") << 254;
        QTest::newRow("upper-case suffix")
            << words("--height 300") << "f.JPG" << QByteArray("jpeg") << 0;
    }

    // The file has the size the parser gives for the options.
    void sizesAndFormats()
    {
        QFETCH(QStringList, options);
        QFETCH(QString, file);
        QFETCH(QByteArray, format);
        QFETCH(int, dpi);
        const QStringList arguments
            = QStringList { "--export", path(file), "--seed", "5" } + options;
        QVERIFY(made(arguments));
        QImageReader reader(path(file));
        QCOMPARE(reader.format(), format);
        const QImage image = reader.read();
        QString error;
        const auto parsed = ExportOptions::parse(line("") + arguments + m_photos, &error);
        QVERIFY2(parsed, qPrintable(error));
        QCOMPARE(image.size(), parsed->outputSize());
        QVERIFY2(colourCount(image) > 3, "the collage shows no photos");
        // A print page says how large it prints.
        if (dpi > 0) {
            const QPoint stated(
                qRound(image.dotsPerMeterX() * 0.0254), qRound(image.dotsPerMeterY() * 0.0254));
            QCOMPARE(stated, QPoint(dpi, dpi));
        }
    }

    void seedsReproduce()
    {
        QList<QImage> images;
        for (const char *seed : { "7", "7", "8" }) {
            const QString out = path(QStringLiteral("seed_%1.png").arg(images.size()));
            QVERIFY(made(
                { "--export", out, "--theme", "photodrop", "--seed", seed, "--width", "300" }));
            images.append(QImage(out));
        }
        QCOMPARE(images[0], images[1]);
        QVERIFY(images[0] != images[2]);
    }

    void watermarkPlacement()
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

    void unreadablePhotosAreSkipped()
    {
        const QString out = path(QStringLiteral("skipped.png"));
        const Result result = tesselo(
            { "--export", out, m_photos.first(), path("broken.jpg"), path("missing.jpg") });
        QCOMPARE(result.exitCode, 0);
        QVERIFY(result.err.contains(QStringLiteral("broken.jpg")));
        QVERIFY(result.err.contains(QStringLiteral("missing.jpg")));
        QVERIFY(QFile::exists(out));
    }

    void reportMeasuresEveryPhoto()
    {
        // Rows keeps twelve landscape photos nearly whole on a 3:2 page.
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
        // Twelve photo lines, then the smallest and the mean visible fraction.
        const QStringList lines = result.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 14);
        const double smallest = lines.at(12).section(QLatin1Char(' '), 1).toDouble();
        const double mean = lines.at(13).section(QLatin1Char(' '), 1).toDouble();
        QVERIFY2(smallest >= 0.85 && mean >= 0.95 && mean <= 1, qPrintable(result.out));
    }

    void savedCollageExportsTheSame()
    {
        // --save writes the collage as a document; exporting that document
        // gives the picture the first run made.
        const QString document = path(QStringLiteral("trip.tsq"));
        QVERIFY(made({ "--export", path("direct.png"), "--save", document, "--theme", "photodrop",
            "--seed", "11", "--width", "400" }));
        const Result again
            = tesselo({ "--export", path("reopened.png"), "--width", "400", document });
        QVERIFY2(again.exitCode == 0, qPrintable(again.err));
        QCOMPARE(QImage(path("reopened.png")), QImage(path("direct.png")));
    }

    void refusals_data()
    {
        // "@name" stands for that file in the test folder.
        QTest::addColumn<QStringList>("arguments");
        QTest::addColumn<QString>("message");

        const char *const rows[][3] = {
            { "missing value", "--export", "needs a value" },
            { "unknown theme", "--export o.png --theme grid", "unknown theme" },
            { "unknown page", "--export o.png --page Billboard", "unknown page" },
            { "bad width", "--export o.png --width 12abc", "--width" },
            { "dpi on pixels", "--export o.png --dpi 300", "inches or centimetres" },
            { "faint watermark", "--export o.png --watermark-opacity 4", "5 to 100" },
            { "bad position", "--export o.png --watermark-position middle", "watermark position" },
            { "unknown option", "--export o.png --colour", "unknown option --colour" },
            { "collage and photos", "--export o.png a.tsq b.jpg", "not both" },
            { "save a collage", "--save b.tsq a.tsq", "needs photos" },
            { "huge output", "--export o.png --width 100000 --height 100000", "too large" },
            { "no readable photo", "--export @out.png nothing.jpg", "no readable photo" },
            { "unknown template", "--export @out.png --template Nope", "unknown template" },
            { "unknown format", "--export @out.xyz", "unknown image format" },
            { "missing folder", "--export @missing/out.png", "cannot write" },
            { "missing collage", "--export @out.png @gone.tsq", "cannot open" },
            { "damaged collage", "--export @out.png @broken.tsq", "File corrupted" },
            { "thumbnail of a damaged collage", "--thumbnail @broken.tsq @out.png", "cannot open" },
        };
        for (const auto &row : rows)
            QTest::newRow(row[0]) << words(row[1]) << row[2];
        QTest::newRow("template of the other theme") << QStringList { "--export", "@out.png",
            "--theme", "mosaic", "--template", "Cork Board" }
                                                     << "unknown template";
    }

    // Refused by the parser where it can tell, else by the program; either
    // way the program ends with one line naming the fault and writes nothing.
    void refusals()
    {
        QFETCH(QStringList, arguments);
        QFETCH(QString, message);
        for (QString &argument : arguments) {
            if (argument.startsWith(QLatin1Char('@')))
                argument = path(argument.mid(1));
        }
        QString error;
        if (!ExportOptions::parse(line("") + arguments, &error)) {
            QVERIFY2(error.contains(message), qPrintable(error));
            QVERIFY(!error.contains(QLatin1Char('\n')));
        }
        const Result result = tesselo(arguments);
        QVERIFY(result.exitCode != 0);
        const QStringList lines = result.err.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
        QVERIFY2(!lines.isEmpty() && lines.last().contains(message), qPrintable(result.err));
        QVERIFY(lines.last().startsWith(QStringLiteral("tesselo: ")));
        QCOMPARE(QDir(m_dir.path()).entryList({ QStringLiteral("out.*") }), QStringList());
    }

    void unwritableTargetKeepsExistingFile()
    {
        // JPEG cannot hold 70000 pixels in a row: the writer fails after it
        // started, and the collage that stood there before must survive.
        const QString target = path(QStringLiteral("keep.jpg"));
        const QByteArray before = TestPhotos::encode(TestPhotos::photoLike({ 50, 50 }), "jpeg");
        QVERIFY(TestPhotos::writeFile(target, before));

        const Result result = tesselo(
            { "--export", target, "--width", "70000", "--height", "10", m_photos.first() });
        QVERIFY(result.exitCode != 0);
        QVERIFY2(result.err.trimmed()
                     .section(QLatin1Char('\n'), -1)
                     .startsWith(QStringLiteral("tesselo: cannot write")),
            qPrintable(result.err));
        QFile original(target);
        QVERIFY(original.open(QIODevice::ReadOnly));
        QCOMPARE(original.readAll(), before);
        QCOMPARE(QDir(m_dir.path())
                     .entryList({ QStringLiteral("keep.jpg*") }, QDir::Files | QDir::Hidden),
            QStringList { QStringLiteral("keep.jpg") }); // no temporary file left behind
    }

    void standardErrorCarriesOnlyOurMessages()
    {
        // Without a runtime folder Qt would warn on every start. Without
        // --export, unknown options keep their old meaning (ignored) and do not
        // reach the export parser.
        const QStringList unset { QStringLiteral("XDG_RUNTIME_DIR") };
        const Result version
            = tesselo({ QStringLiteral("--version"), QStringLiteral("-x") }, unset);
        QCOMPARE(version.exitCode, 0);
        QCOMPARE(version.err, QString());
        const Result exported = tesselo(
            { "--export", path(QStringLiteral("quiet.png")), "--width", "200", m_photos.first() },
            unset);
        QCOMPARE(exported.exitCode, 0);
        QCOMPARE(exported.err, QString());
    }

    void pdfAndQuality()
    {
        QVERIFY(made({ "--export", path("print.pdf"), "--page", "4x6in", "--dpi", "100" }));
        QFile file(path(QStringLiteral("print.pdf")));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray bytes = file.readAll();
        QVERIFY(bytes.startsWith("%PDF-"));
        // A page of 4 x 6 inches: 288 x 432 points.
        QVERIFY2(
            bytes.contains("/MediaBox [0 0 288.000000 432.000000]"), bytes.left(2000).constData());

        QVERIFY(made({ "--export", path("low.jpg"), "--quality", "10", "--seed", "3" }));
        QVERIFY(made({ "--export", path("high.jpg"), "--seed", "3" }));
        QVERIFY(QFileInfo(path("low.jpg")).size() < QFileInfo(path("high.jpg")).size());
    }

    void thumbnailsAndMissingPhotos()
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

        QVERIFY(QFile::remove(photos[1]));
        QVERIFY(QFile::remove(out));
        Result partial = tesselo({ "--thumbnail", document, out });
        QVERIFY2(partial.exitCode == 0, qPrintable(partial.err));
        QCOMPARE(QImage(out).size(), QSize(256, 171));

        // The export names the missing photo, and only that one.
        const Result result = tesselo({ "--export", folder + QStringLiteral("/c.jpg"), document });
        QCOMPARE(result.exitCode, 0);
        QVERIFY2(result.err.contains(
                     QStringLiteral("missing photo ") + QDir::toNativeSeparators(photos[1])),
            qPrintable(result.err));
        QVERIFY(QFile::exists(folder + QStringLiteral("/c.jpg")));
    }

private:
    QString path(const QString &name) const { return m_dir.filePath(name); }
    // Runs an export that must succeed, with the test photos after `arguments`.
    bool made(const QStringList &arguments)
    {
        const Result run = tesselo(arguments + m_photos);
        if (run.exitCode != 0)
            qWarning().noquote() << arguments.join(' ') << "failed:" << run.err;
        return run.exitCode == 0;
    }

    std::unique_ptr<Document> document(const QByteArray &theme, const QList<QSize> &sizes)
    {
        QList<QUrl> urls;
        for (const QSize &size : sizes) {
            urls.append(QUrl::fromLocalFile(path(QStringLiteral("p%1.png").arg(m_fileCount++))));
            if (!TestPhotos::photoLike(size).save(urls.last().toLocalFile()))
                return nullptr;
        }
        auto made = std::make_unique<Document>(false);
        made->setPageSize(PageSize(PageSize::Pixels, QSizeF(1000, 1000)));
        if (!made->imageList()->insertUrls(0, urls, false))
            return nullptr;
        made->setThemeId(theme);
        return made;
    }

    QTemporaryDir m_dir;
    QStringList m_photos;
    int m_fileCount = 0;
};

QTEST_MAIN(TestCommandLine)
#include "tst_commandline.moc"
