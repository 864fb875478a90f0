#include "exportoptions.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QRegularExpression>

#include <cmath>

#include "model/pagesizepresets.h"

namespace {

const char *Context = "ExportOptions";

QString tr(const char *text)
{
    return QCoreApplication::translate(Context, text);
}

const QStringList &watermarkPositions()
{
    static const QStringList names { QStringLiteral("center"), QStringLiteral("bottom-right"),
        QStringLiteral("bottom-left"), QStringLiteral("top-right"), QStringLiteral("top-left") };
    return names;
}

std::optional<int> intInRange(const QString &text, int minimum, int maximum)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value < minimum || value > maximum)
        return std::nullopt;
    return value;
}

// Every option the program knows. Adding one is a line here and a block in
// parse() that reads its value.
QList<QCommandLineOption> optionTable()
{
    auto valued = [](const QString &name) {
        return QCommandLineOption(name, QString(), QStringLiteral("value"));
    };
    return {
        QCommandLineOption(QStringList { QStringLiteral("h"), QStringLiteral("help") }),
        QCommandLineOption(QStringLiteral("version")),
        QCommandLineOption(QStringLiteral("list-templates")),
        QCommandLineOption(QStringLiteral("report")),
        QCommandLineOption(QStringLiteral("thumbnail")),
        valued(QStringLiteral("size")),
        valued(QStringLiteral("export")),
        valued(QStringLiteral("theme")),
        valued(QStringLiteral("template")),
        valued(QStringLiteral("page")),
        valued(QStringLiteral("width")),
        valued(QStringLiteral("height")),
        valued(QStringLiteral("dpi")),
        valued(QStringLiteral("watermark")),
        valued(QStringLiteral("watermark-position")),
        valued(QStringLiteral("watermark-opacity")),
        valued(QStringLiteral("quality")),
        valued(QStringLiteral("seed")),
        valued(QStringLiteral("save")),
    };
}

// The option whose value is missing at the end of the arguments, as the
// user typed it; empty when every value option has its value. A value
// option takes the next argument whatever it looks like, as it always did.
QString optionMissingValue(const QStringList &arguments, const QList<QCommandLineOption> &table)
{
    QStringList valueNames;
    for (const QCommandLineOption &option : table) {
        if (!option.valueName().isEmpty())
            valueNames += option.names();
    }
    for (int i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            break;
        if (!argument.startsWith(QLatin1String("--")) || argument.contains(QLatin1Char('=')))
            continue;
        if (valueNames.contains(argument.mid(2))) {
            if (i + 1 >= arguments.size())
                return argument;
            ++i;
        }
    }
    return QString();
}

} // namespace

PageSize ExportOptions::parsePage(const QString &text)
{
    static const QRegularExpression pattern(QStringLiteral(
        "^\\s*(\\d+(?:\\.\\d+)?)\\s*[xX×]\\s*(\\d+(?:\\.\\d+)?)\\s*(px|in|cm)?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return PageSizePresets::find(text);
    const double width = match.captured(1).toDouble();
    const double height = match.captured(2).toDouble();
    if (width <= 0 || height <= 0)
        return PageSize();
    const QString unit = match.captured(3);
    const int units = unit == QStringLiteral("in") ? PageSize::Inches
        : unit == QStringLiteral("cm")             ? PageSize::Centimeters
                                                   : PageSize::Pixels;
    return PageSize(units, QSizeF(width, height));
}

std::optional<ExportOptions> ExportOptions::parse(const QStringList &arguments, QString *error)
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return std::nullopt;
    };
    const QList<QCommandLineOption> table = optionTable();
    if (const QString option = optionMissingValue(arguments, table); !option.isEmpty())
        return fail(tr("%1 needs a value").arg(option));

    QCommandLineParser parser;
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsCompactedShortOptions);
    parser.addOptions(table);
    // Unknown options do not stop the parsing: the editor ignores them and
    // an export reports them below, after the values.
    parser.parse(arguments);
    auto given = [&parser](const char *name) { return parser.isSet(QLatin1String(name)); };
    auto value = [&parser](const char *name) { return parser.value(QLatin1String(name)); };

    ExportOptions options;
    options.page = PageSizePresets::builtIn().first();
    options.output = value("export");
    options.templateName = value("template");
    options.watermark = value("watermark");
    options.saveDocument = value("save");
    options.report = given("report");
    if (given("theme"))
        options.theme = value("theme").toLower();
    for (const char *name : { "width", "height" }) {
        if (!given(name))
            continue;
        const std::optional<int> pixels = intInRange(value(name), 1, MaximumSide);
        if (!pixels)
            return fail(tr("%1 must be a whole number from 1 to %2, not \"%3\"")
                            .arg(QLatin1String("--") + QLatin1String(name))
                            .arg(MaximumSide)
                            .arg(value(name)));
        (qstrcmp(name, "width") == 0 ? options.width : options.height) = *pixels;
    }
    if (given("dpi")) {
        bool ok = false;
        options.dpi = value("dpi").toDouble(&ok);
        if (!ok || options.dpi < MinimumDpi || options.dpi > MaximumDpi)
            return fail(tr("--dpi must be a number from %1 to %2, not \"%3\"")
                            .arg(MinimumDpi)
                            .arg(MaximumDpi)
                            .arg(value("dpi")));
    }
    if (given("watermark-position")) {
        options.watermarkPosition
            = int(watermarkPositions().indexOf(value("watermark-position").toLower()));
        if (options.watermarkPosition < 0)
            return fail(tr("unknown watermark position \"%1\" (use %2)")
                            .arg(value("watermark-position"),
                                watermarkPositions().join(QStringLiteral(", "))));
    }
    if (given("watermark-opacity")) {
        const std::optional<int> opacity
            = intInRange(value("watermark-opacity"), MinimumWatermarkOpacity, 100);
        if (!opacity)
            return fail(tr("--watermark-opacity must be a whole number from %1 to 100, not \"%2\"")
                            .arg(MinimumWatermarkOpacity)
                            .arg(value("watermark-opacity")));
        options.watermarkOpacity = *opacity;
    }
    if (given("quality")) {
        const std::optional<int> quality = intInRange(value("quality"), 1, 100);
        if (!quality)
            return fail(tr("--quality must be a whole number from 1 to 100, not \"%1\"")
                            .arg(value("quality")));
        options.quality = *quality;
    }
    if (given("seed")) {
        bool ok = false;
        const quint64 seed = value("seed").toULongLong(&ok);
        if (!ok)
            return fail(tr("--seed must be a whole number, not \"%1\"").arg(value("seed")));
        options.seed = seed;
    }

    // A lone "-" is no photo; like other unknown options it is ignored.
    QStringList unknownOptions;
    for (const QString &name : parser.unknownOptionNames())
        unknownOptions.append((name.size() == 1 ? QLatin1String("-") : QLatin1String("--")) + name);
    for (const QString &argument : parser.positionalArguments()) {
        if (argument == QLatin1String("-"))
            unknownOptions.append(argument);
        else
            options.photos.append(argument);
    }

    const bool exporting = given("export");
    if (given("help")) {
        options.mode = Mode::Help;
        return options;
    }
    if (given("version")) {
        options.mode = Mode::Version;
        return options;
    }
    if (given("list-templates")) {
        options.mode = Mode::ListTemplates;
        return options;
    }
    if (given("thumbnail")) {
        if (options.photos.size() != 2)
            return fail(tr("--thumbnail needs a collage and an output file"));
        options.mode = Mode::Thumbnail;
        options.inputDocument = options.photos.first();
        options.output = options.photos.last();
        options.photos.clear();
        if (given("size")) {
            const std::optional<int> size = intInRange(value("size"), 1, MaximumThumbnailSize);
            if (!size)
                return fail(tr("--size must be a whole number from 1 to %1, not \"%2\"")
                                .arg(MaximumThumbnailSize)
                                .arg(value("size")));
            options.thumbnailSize = *size;
        }
        return options;
    }
    if (!exporting && options.saveDocument.isEmpty()) {
        options.mode = Mode::Editor;
        return options;
    }
    if (!unknownOptions.isEmpty())
        return fail(tr("unknown option %1").arg(unknownOptions.first()));

    options.mode = Mode::Export;
    if (exporting && options.output.isEmpty())
        return fail(tr("--export needs an output file name"));
    for (const QString &photo : std::as_const(options.photos)) {
        if (photo.endsWith(QLatin1String(".tsq"), Qt::CaseInsensitive))
            options.inputDocument = photo;
    }
    if (!options.inputDocument.isEmpty()) {
        if (options.photos.size() > 1)
            return fail(tr("give either one collage (.tsq) or photos, not both"));
        if (!exporting)
            return fail(tr("--save needs photos, not a collage"));
        options.photos.clear();
    }
    static const QStringList themes { QStringLiteral("mosaic"), QStringLiteral("photodrop"),
        QStringLiteral("rows") };
    if (!themes.contains(options.theme))
        return fail(tr("unknown theme \"%1\" (use mosaic, photodrop or rows)").arg(options.theme));
    if (given("page")) {
        options.page = parsePage(value("page"));
        if (options.page.units() < 0)
            return fail(tr("unknown page \"%1\" (use a preset name or WxH with px, in or cm)")
                            .arg(value("page")));
    }
    // A saved collage brings its own page; it is checked once it is read.
    if (!options.inputDocument.isEmpty())
        return options;
    if (const QString problem = options.checkOutput(); !problem.isEmpty())
        return fail(problem);
    return options;
}

QString ExportOptions::checkOutput() const
{
    if (dpi > 0 && page.units() == PageSize::Pixels)
        return tr("--dpi applies to pages in inches or centimetres only");
    const QSize size = outputSize();
    if (size.isEmpty() || qint64(size.width()) * size.height() > MaximumPixels)
        return tr("the output of %1 x %2 pixels is too large").arg(size.width()).arg(size.height());
    return QString();
}

QSize ExportOptions::outputSize() const
{
    const double resolution = dpi > 0 ? dpi : 300.0;
    const QSizeF natural = page.pixelSize(resolution);
    if (natural.isEmpty())
        return QSize();
    if (width > 0 && height > 0)
        return QSize(width, height);
    if (width > 0)
        return QSize(width, qMax(1, int(std::lround(width * natural.height() / natural.width()))));
    if (height > 0)
        return QSize(
            qMax(1, int(std::lround(height * natural.width() / natural.height()))), height);
    return QSize(int(std::lround(natural.width())), int(std::lround(natural.height())));
}

QSizeF ExportOptions::outputResolution() const
{
    if (page.units() != PageSize::Inches && page.units() != PageSize::Centimeters)
        return QSizeF();
    const QSizeF inches = page.pixelSize(1.0);
    const QSize size = outputSize();
    if (inches.isEmpty() || size.isEmpty())
        return QSizeF();
    return QSizeF(size.width() / inches.width(), size.height() / inches.height());
}

QString ExportOptions::helpText()
{
    return tr("Usage: tesselo [COLLAGE.tsq ...]\n"
              "       tesselo --export OUT [options] [PHOTO ...]\n"
              "       tesselo --export OUT [options] COLLAGE.tsq\n"
              "       tesselo --list-templates\n"
              "       tesselo --thumbnail COLLAGE.tsq OUT.png [--size N]\n"
              "\n"
              "Makes a collage of the photos without opening a window and writes it to OUT\n"
              "in the format its suffix names (png, jpg, webp, pdf, ...). Without photos the\n"
              "bundled sample pictures are used.\n"
              "\n"
              "Options:\n"
              "  --theme photodrop|mosaic|rows\n"
              "                             layout theme (default: mosaic); rows keeps every\n"
              "                             photo nearly whole\n"
              "  --template NAME            a template of the library, see --list-templates\n"
              "                             (default: the theme's own look)\n"
              "  --page NAME|WxH[px|in|cm]  page preset or size (default: \"Instagram Post\")\n"
              "  --width W, --height H      output size in pixels; one of them keeps the\n"
              "                             page's proportions\n"
              "  --dpi D                    resolution of inch and centimetre pages\n"
              "                             (default: 300)\n"
              "  --watermark TEXT           write TEXT over the collage\n"
              "  --watermark-position P     center, bottom-right (default), bottom-left,\n"
              "                             top-right or top-left\n"
              "  --watermark-opacity N      5 to 100 percent (default: 50)\n"
              "  --quality N                JPEG and WebP quality, 1 to 100 (default: 92)\n"
              "  --seed N                   reproduce a layout exactly\n"
              "  --save DOC.tsq             also save the collage as a document the editor\n"
              "                             opens\n"
              "  --report                   print each photo's file, its area on the output\n"
              "                             (x, y, width, height in pixels) and the fraction\n"
              "                             of it that stays visible, tab-separated, then\n"
              "                             min_visible_fraction and mean_visible_fraction\n"
              "  --list-templates           print the template library\n"
              "  --thumbnail IN OUT         draw a PNG thumbnail of a saved collage, at most\n"
              "                             --size N pixels on its long side (default: 256)\n"
              "  --help, --version\n");
}
