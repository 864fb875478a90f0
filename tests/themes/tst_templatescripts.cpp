// Checks the shipped template scripts against stand-ins of the theme objects
// they tune: every file must evaluate cleanly, carry a display name the name
// reader finds, and keep every value it writes inside the range the themes
// are built to handle, in page-relative units so that the look scales with
// the page.

#include <QtTest>

#include <QColor>
#include <QDir>
#include <QHash>
#include <QJSEngine>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cmath>

#include "model/backgroundproperties.h"
#include "model/frameproperties.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "themes/jstemplate.h"

enum class ThemeKind { PhotoDrop, Mosaic };
Q_DECLARE_METATYPE(ThemeKind)

// A stand-in theme around the real appearance objects, which are what the
// scripts write to; a script proxy logs what the script does to them. It has
// the operations and spacing of both themes: a script that reaches for the
// other theme's is caught by the path check.
class MockTheme : public QObject
{
    Q_OBJECT
    Q_PROPERTY(QVariantMap document READ document CONSTANT)
    Q_PROPERTY(QObject *shadows READ shadows CONSTANT)
    Q_PROPERTY(QObject *frames READ frames CONSTANT)
    Q_PROPERTY(QObject *background READ background CONSTANT)
    Q_PROPERTY(QObject *rotationRestrictions READ rotationRestrictions CONSTANT)
    Q_PROPERTY(qreal border READ border WRITE setBorder)
    Q_PROPERTY(qreal borderRelative MEMBER borderRelative)
    Q_PROPERTY(qreal minimumItemSize READ minimumItemSize)

public:
    MockTheme(ThemeKind kind, const QSizeF &page)
        : page(page)
    {
        // A new Photo Drop theme already casts a soft shadow straight down.
        if (kind == ThemeKind::PhotoDrop) {
            const qreal m = qMin(page.width(), page.height()) * 0.03;
            m_shadows.setBlurRadius(m);
            m_shadows.setDistance(m * 0.3);
            m_shadows.setAngle(270);
        }
    }

    QVariantMap document() const
    {
        return { { QStringLiteral("pageSize"), QVariantMap { { QStringLiteral("size"), page } } } };
    }
    QObject *shadows() { return &m_shadows; }
    QObject *frames() { return &m_frames; }
    QObject *background() { return &m_background; }
    QObject *rotationRestrictions() { return &m_rotation; }
    qreal minimumItemSize() const { return qMin(page.width(), page.height()) * 0.5; }
    qreal border() const { return borderRelative * minimumItemSize() * 0.5; }
    void setBorder(qreal v) { borderRelative = v / (minimumItemSize() * 0.5); }

public Q_SLOTS:
    void randomize() { }
    void rearrange() { }

public:
    QSizeF page;
    ShadowProperties m_shadows;
    FrameProperties m_frames;
    BackgroundProperties m_background;
    RotationRestriction m_rotation;
    qreal borderRelative = 0;
};

namespace {

// Wraps the theme so that every write and call of the script lands in `log`:
// a write as [path, value read back], a call as "path()".
const char loggingProxy[] = R"(
(function (theme, log) {
    var parts = ['shadows', 'frames', 'background', 'rotationRestrictions'];
    function wrap(object, prefix) {
        return new Proxy(object, {
            get: function (target, key) {
                var value = target[key];
                if (typeof value === 'function')
                    return function () {
                        log.push(prefix + String(key) + '()');
                        return value.apply(target, arguments);
                    };
                if (prefix === '' && parts.indexOf(key) >= 0)
                    return wrap(value, key + '.');
                return value;
            },
            set: function (target, key, value) {
                target[key] = value;
                log.push([prefix + String(key), target[key]]);
                return true;
            }
        });
    }
    return wrap(theme, '');
}))";

// The pages a template must look right on: square, portrait and landscape
// pixels, and physical units whose numbers are small.
const QSizeF testPages[]
    = { { 1080, 1080 }, { 1080, 1350 }, { 8.5, 11 }, { 15, 10 }, { 3000, 2000 } };

// The ranges the themes are designed for; page-relative entries are
// fractions of the shorter page side.
const QHash<QString, QPair<double, double>> &valueRanges()
{
    static const QHash<QString, QPair<double, double>> ranges = {
        { "shadows.blurRadius", { 0.01, 0.1 } },
        { "shadows.distance", { 0.002, 0.025 } },
        { "shadows.angle", { 90, 225 } },
        { "frames.size", { 0.005, 0.08 } },
        { "background.gradientAngle", { 0, 180 } },
        { "background.type", { 2, 2 } },
        { "rotationRestrictions.zero", { -5, 45 } },
        { "rotationRestrictions.variation", { 0, 35 } },
        { "borderRelative", { 0.02, 0.6 } },
    };
    return ranges;
}

// Values in page units, written as a fraction of the shorter page side.
bool isPageRelative(const QString &path)
{
    return path == QLatin1String("shadows.blurRadius") || path == QLatin1String("shadows.distance")
        || path == QLatin1String("border") || path == QLatin1String("minimumItemSize");
}

bool inRange(double value, double min, double max)
{
    const double tolerance = 1e-9 * qMax(1.0, qAbs(max));
    return std::isfinite(value) && value >= min - tolerance && value <= max + tolerance;
}

QStringList allowedPaths(ThemeKind kind)
{
    QStringList paths = { "document.pageSize.size.width", "document.pageSize.size.height",
        "shadows.enabled", "shadows.blurRadius", "shadows.angle", "shadows.distance",
        "shadows.color", "shadows.group", "frames.enabled", "frames.size", "frames.color",
        "background.type", "background.color", "background.gradientStartColor",
        "background.gradientEndColor", "background.gradientAngle", "rotationRestrictions.zero",
        "rotationRestrictions.variation" };
    if (kind == ThemeKind::PhotoDrop)
        paths << "randomize"
              << "rearrange";
    else
        paths << "borderRelative"
              << "border"
              << "minimumItemSize";
    return paths;
}

QString describe(const QString &path, const QVariant &value, qreal m)
{
    if (value.metaType().id() == QMetaType::QColor) {
        const QColor color = value.value<QColor>();
        return color.name(color.alpha() == 255 ? QColor::HexRgb : QColor::HexArgb);
    }
    if (value.metaType().id() == QMetaType::Bool)
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    if (isPageRelative(path))
        return QStringLiteral("m*") + QString::number(value.toDouble() / m, 'g', 6);
    return QString::number(value.toDouble(), 'g', 6);
}

struct TuneRun
{
    QSizeF page;
    QString error;
    QStringList steps; // what the script did, page units as fractions of the shorter side
    // Numbers to hold to valueRanges(): what, range key, value (page units as fractions).
    QList<std::tuple<QString, QString, double>> values;
};

TuneRun runTune(QJSEngine &engine, ThemeKind kind, const QSizeF &page)
{
    TuneRun run;
    run.page = page;
    const qreal m = qMin(page.width(), page.height());
    MockTheme theme(kind, page);
    QJSEngine::setObjectOwnership(&theme, QJSEngine::CppOwnership);

    QJSValue log = engine.newArray();
    const QJSValue proxy
        = engine.evaluate(QLatin1String(loggingProxy)).call({ engine.newQObject(&theme), log });
    const QJSValue result = engine.globalObject().property(QStringLiteral("tune")).call({ proxy });
    if (result.isError())
        run.error = result.toString();
    else if (!result.isUndefined())
        run.error = QStringLiteral("tune returned the value ") + result.toString();

    const int length = log.property(QStringLiteral("length")).toInt();
    for (int i = 0; i < length; ++i) {
        const QJSValue entry = log.property(i);
        if (entry.isString()) {
            run.steps << entry.toString();
            continue;
        }
        const QString path = entry.property(0).toString();
        const QVariant value = entry.property(1).toVariant();
        run.steps << path + QLatin1Char('=') + describe(path, value, m);
        if (path == QLatin1String("border")) // checked as the relative border it sets
            run.values.append({ path, QStringLiteral("borderRelative"),
                value.toDouble() / (theme.minimumItemSize() * 0.5) });
        else
            run.values.append({ path, path, value.toDouble() / (isPageRelative(path) ? m : 1.0) });
    }

    // The class default variation (180) spins photos all the way round, so
    // every look has to choose its own; enabled parts need sound values too.
    run.values.append({ "rotationRestrictions.variation as left", "rotationRestrictions.variation",
        theme.m_rotation.variation() });
    run.values.append({ "rotationRestrictions.zero as left", "rotationRestrictions.zero",
        theme.m_rotation.zero() });
    if (theme.m_shadows.enabled())
        run.values.append({ "shadows.blurRadius as left", "shadows.blurRadius",
            theme.m_shadows.blurRadius() / m });
    if (theme.m_frames.enabled())
        run.values.append({ "frames.size as left", "frames.size", theme.m_frames.size() });
    return run;
}

// Everything wrong with one call of `tune`; empty when the run is sound.
QStringList tuneProblems(const TuneRun &run, ThemeKind kind, bool expectRandomize)
{
    QStringList problems;
    const QString where
        = QStringLiteral(" (page %1 x %2)").arg(run.page.width()).arg(run.page.height());
    if (!run.error.isEmpty())
        problems << QStringLiteral("tune threw: ") + run.error + where;
    for (const auto &[what, key, value] : run.values) {
        const auto range = valueRanges().find(key);
        if (range != valueRanges().end() && !inRange(value, range->first, range->second))
            problems << QStringLiteral("%1 out of range: %2 not in [%3, %4]")
                            .arg(what)
                            .arg(value)
                            .arg(range->first)
                            .arg(range->second)
                    + where;
    }
    const QStringList calls = run.steps.filter(QRegularExpression(QStringLiteral("\\(\\)$")));
    if (kind == ThemeKind::PhotoDrop) {
        if (expectRandomize
            && (calls.count(QStringLiteral("randomize()")) != 1
                || run.steps.constLast() != QLatin1String("randomize()")))
            problems << QStringLiteral("randomize() must be called once, as the last thing");
        if (!expectRandomize && calls.contains(QStringLiteral("randomize()")))
            problems << QStringLiteral("randomize() must not be called here");
    } else {
        if (!calls.isEmpty())
            problems << QStringLiteral("a Mosaic script calls a theme operation: ")
                    + calls.join(", ");
        if (run.steps.filter(QRegularExpression(QStringLiteral("^borderRelative="))).isEmpty())
            problems << QStringLiteral("borderRelative is not set");
    }
    return problems;
}

struct ScriptCheck
{
    QStringList problems;
    QList<TuneRun> runs;
};

// Evaluates a script the way the template engine does and tunes a stand-in
// theme on every test page.
ScriptCheck checkScript(const QByteArray &script, ThemeKind kind, bool expectRandomize)
{
    ScriptCheck check;
    QStringList &problems = check.problems;
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString text = decoder(script);
    if (decoder.hasError())
        problems << QStringLiteral("the file is not valid UTF-8");

    // The chooser lists a template by the name read without running it.
    const QString readName = JSTemplate::nameFromScript(script);
    if (readName.isEmpty())
        problems << QStringLiteral("no template.name assignment the name reader can find");

    static const QRegularExpression pathPattern(
        QStringLiteral("\\btheme((?:\\s*\\.\\s*[A-Za-z_$][\\w$]*)+)"));
    static const QRegularExpression space(QStringLiteral("\\s"));
    const QStringList allowed = allowedPaths(kind);
    for (auto it = pathPattern.globalMatch(text); it.hasNext();) {
        const QString path = it.next().captured(1).remove(space).mid(1);
        if (!allowed.contains(path))
            problems << QStringLiteral("unknown path theme.") + path;
    }

    QJSEngine engine;
    QJSValue templateObject = engine.newObject();
    engine.globalObject().setProperty(QStringLiteral("template"), templateObject);
    QStringList stackTrace;
    const QJSValue evaluated = engine.evaluate(text, QString(), 1, &stackTrace);
    engine.globalObject().setProperty(
        QStringLiteral("template"), QJSValue(QJSValue::UndefinedValue));
    if (evaluated.isError() || !stackTrace.isEmpty()) {
        problems << QStringLiteral("evaluation failed: ") + evaluated.toString();
        return check;
    }
    const QString setName = templateObject.property(QStringLiteral("name")).toString();
    if (setName != readName)
        problems << QStringLiteral("the name reader finds \"%1\", the script sets \"%2\"")
                        .arg(readName, setName);
    if (!engine.globalObject().property(QStringLiteral("tune")).isCallable()) {
        problems << QStringLiteral("tune is not defined");
        return check;
    }

    // One engine serves every theme made from a template, as in the program.
    for (const QSizeF &page : testPages) {
        check.runs << runTune(engine, kind, page);
        problems << tuneProblems(check.runs.last(), kind, expectRandomize);
        const TuneRun &first = check.runs.first(), &run = check.runs.last();
        if (run.steps != first.steps)
            problems << QStringLiteral("the look does not scale with the page: %1 on %2, %3 first")
                            .arg(run.steps.join(", "))
                            .arg(run.page.width())
                            .arg(first.steps.join(", "));
    }
    problems.removeDuplicates();
    return check;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestTemplateScripts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void script_data();
    void script();
};

void TestTemplateScripts::script_data()
{
    QTest::addColumn<ThemeKind>("kind");
    QTest::addColumn<QString>("path");
    QTest::addColumn<bool>("randomizes");
    for (const ThemeKind kind : { ThemeKind::PhotoDrop, ThemeKind::Mosaic }) {
        const QDir dir(kind == ThemeKind::PhotoDrop ? QStringLiteral(":/PhotoDropTemplates")
                                                    : QStringLiteral(":/MosaicTemplates"));
        const QStringList files = dir.entryList({ QStringLiteral("*.qjs") });
        QVERIFY(!files.isEmpty());
        // A Photo Drop look throws its photos anew; the portfolio keeps them in place.
        for (const QString &file : files)
            QTest::newRow(qPrintable(dir.filePath(file)))
                << kind << dir.filePath(file)
                << (kind == ThemeKind::PhotoDrop && file != QLatin1String("portfolioDrop.qjs"));
    }
}

void TestTemplateScripts::script()
{
    QFETCH(ThemeKind, kind);
    QFETCH(QString, path);
    QFETCH(bool, randomizes);
    const QByteArray script = readFile(path);
    QVERIFY(!script.isEmpty());
    const ScriptCheck check = checkScript(script, kind, randomizes);
    QVERIFY2(check.problems.isEmpty(), qPrintable(check.problems.join(QLatin1Char('\n'))));
}

QTEST_MAIN(TestTemplateScripts)
#include "tst_templatescripts.moc"
