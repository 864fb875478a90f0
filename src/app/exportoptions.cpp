#include "exportoptions.h"

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

std::optional<int> positiveInt(const QString &text, int maximum)
{
    bool ok = false;
    const int value = text.toInt(&ok);
    if (!ok || value <= 0 || value > maximum)
        return std::nullopt;
    return value;
}

// Options that take a value, and whether a value is given in the next
// argument or after '='.
const QStringList &valueOptions()
{
    static const QStringList options {
        QStringLiteral("--export"),
        QStringLiteral("--theme"),
        QStringLiteral("--template"),
        QStringLiteral("--page"),
        QStringLiteral("--width"),
        QStringLiteral("--height"),
        QStringLiteral("--dpi"),
        QStringLiteral("--watermark"),
        QStringLiteral("--watermark-position"),
        QStringLiteral("--watermark-opacity"),
        QStringLiteral("--seed"),
        QStringLiteral("--save"),
    };
    return options;
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
    ExportOptions options;
    options.page = PageSizePresets::builtIn().first();
    QString pageText;
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return std::nullopt;
    };

    bool exporting = false, listing = false, help = false, version = false;
    QStringList unknownOptions;
    for (int i = 1; i < arguments.size(); ++i) {
        QString argument = arguments.at(i);
        QString value;
        bool hasValue = false;
        const int equals = argument.indexOf(QLatin1Char('='));
        if (argument.startsWith(QLatin1String("--")) && equals > 0) {
            value = argument.mid(equals + 1);
            argument.truncate(equals);
            hasValue = true;
        }
        if (valueOptions().contains(argument) && !hasValue) {
            if (i + 1 >= arguments.size())
                return fail(tr("%1 needs a value").arg(argument));
            value = arguments.at(++i);
        }

        if (argument == QLatin1String("--export")) {
            exporting = true;
            options.output = value;
        } else if (argument == QLatin1String("--list-templates")) {
            listing = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            help = true;
        } else if (argument == QLatin1String("--version")) {
            version = true;
        } else if (argument == QLatin1String("--theme")) {
            options.theme = value.toLower();
        } else if (argument == QLatin1String("--template")) {
            options.templateName = value;
        } else if (argument == QLatin1String("--page")) {
            pageText = value;
        } else if (argument == QLatin1String("--width") || argument == QLatin1String("--height")) {
            const std::optional<int> pixels = positiveInt(value, 100000);
            if (!pixels)
                return fail(tr("%1 must be a whole number from 1 to 100000, not \"%2\"")
                                .arg(argument, value));
            (argument == QLatin1String("--width") ? options.width : options.height) = *pixels;
        } else if (argument == QLatin1String("--dpi")) {
            bool ok = false;
            options.dpi = value.toDouble(&ok);
            if (!ok || options.dpi < 1 || options.dpi > 10000)
                return fail(tr("--dpi must be a number from 1 to 10000, not \"%1\"").arg(value));
        } else if (argument == QLatin1String("--watermark")) {
            options.watermark = value;
        } else if (argument == QLatin1String("--watermark-position")) {
            options.watermarkPosition = int(watermarkPositions().indexOf(value.toLower()));
            if (options.watermarkPosition < 0)
                return fail(tr("unknown watermark position \"%1\" (use %2)")
                                .arg(value, watermarkPositions().join(QStringLiteral(", "))));
        } else if (argument == QLatin1String("--watermark-opacity")) {
            const std::optional<int> opacity = positiveInt(value, 100);
            if (!opacity || *opacity < 5)
                return fail(tr("--watermark-opacity must be a whole number from 5 to 100, not "
                               "\"%1\"")
                                .arg(value));
            options.watermarkOpacity = *opacity;
        } else if (argument == QLatin1String("--seed")) {
            bool ok = false;
            const quint64 seed = value.toULongLong(&ok);
            if (!ok)
                return fail(tr("--seed must be a whole number, not \"%1\"").arg(value));
            options.seed = seed;
        } else if (argument == QLatin1String("--save")) {
            options.saveDocument = value;
        } else if (argument.startsWith(QLatin1Char('-'))) {
            // Without --export, unknown options are ignored as the editor
            // always did; with it they are mistakes worth reporting.
            unknownOptions.append(argument);
        } else {
            options.photos.append(argument);
        }
    }

    if (help) {
        options.mode = Mode::Help;
        return options;
    }
    if (version) {
        options.mode = Mode::Version;
        return options;
    }
    if (listing) {
        options.mode = Mode::ListTemplates;
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
    if (options.theme != QLatin1String("mosaic") && options.theme != QLatin1String("photodrop"))
        return fail(tr("unknown theme \"%1\" (use mosaic or photodrop)").arg(options.theme));
    if (!pageText.isEmpty()) {
        options.page = parsePage(pageText);
        if (options.page.units() < 0)
            return fail(tr("unknown page \"%1\" (use a preset name or WxH with px, in or cm)")
                            .arg(pageText));
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
    if (size.isEmpty() || qint64(size.width()) * size.height() > 400'000'000)
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
              "\n"
              "Makes a collage of the photos without opening a window and writes it to OUT\n"
              "in the format its suffix names (png, jpg, webp, ...). Without photos the\n"
              "bundled sample pictures are used.\n"
              "\n"
              "Options:\n"
              "  --theme photodrop|mosaic   layout theme (default: mosaic)\n"
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
              "  --seed N                   reproduce a layout exactly\n"
              "  --save DOC.tsq             also save the collage as a document the editor\n"
              "                             opens\n"
              "  --list-templates           print the template library\n"
              "  --help, --version\n");
}
