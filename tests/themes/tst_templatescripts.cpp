// Checks the shipped template scripts against stand-ins of the theme objects
// they tune: every file must evaluate cleanly, carry a display name the name
// reader finds, and keep every value it writes inside the range the themes
// are built to handle, in page-relative units so that the look scales with
// the page. On the real themes every script must then tune without an
// error and give a page that shows the photos.

#include <QtTest>

#include <QColor>
#include <QDir>
#include <QHash>
#include <QJSEngine>
#include <QPainter>
#include <QRegularExpression>
#include <QStringDecoder>

#include <cmath>

#include "model/backgroundproperties.h"
#include "model/frameproperties.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "themes/builtinthemes.h"
#include "themes/jstemplate.h"
#include "themes/theme.h"
#include "themes/themetestdata.h"

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
    const int type = value.metaType().id();
    if (type == QMetaType::QColor || type == QMetaType::Bool)
        return value.toString();
    if (isPageRelative(path))
        return QStringLiteral("m*") + QString::number(value.toDouble() / m, 'g', 6);
    return QString::number(value.toDouble(), 'g', 6);
}

// Calls `tune` on a stand-in theme on `page`; returns what the script did
// (page units as fractions of the shorter side) and adds what is wrong with
// it to `problems`.
QStringList runTune(QJSEngine &engine, ThemeKind kind, const QSizeF &page, bool expectRandomize,
    QStringList *problems)
{
    const qreal m = qMin(page.width(), page.height());
    const QString where = QStringLiteral(" (page %1 x %2)").arg(page.width()).arg(page.height());
    // Holds a number to the range the themes are designed for.
    const auto check = [&](const QString &what, const QString &key, double value) {
        const auto range = valueRanges().find(key);
        if (range != valueRanges().end() && !inRange(value, range->first, range->second))
            *problems << QStringLiteral("%1 out of range: %2 not in [%3, %4]")
                             .arg(what)
                             .arg(value)
                             .arg(range->first)
                             .arg(range->second)
                    + where;
    };
    MockTheme theme(kind, page);
    QJSEngine::setObjectOwnership(&theme, QJSEngine::CppOwnership);
    QJSValue log = engine.newArray();
    const QJSValue proxy
        = engine.evaluate(QLatin1String(loggingProxy)).call({ engine.newQObject(&theme), log });
    const QJSValue result = engine.globalObject().property(QStringLiteral("tune")).call({ proxy });
    if (!result.isUndefined())
        *problems << QStringLiteral("tune threw or returned: ") + result.toString() + where;

    QStringList steps;
    const int length = log.property(QStringLiteral("length")).toInt();
    for (int i = 0; i < length; ++i) {
        const QJSValue entry = log.property(i);
        if (entry.isString()) {
            steps << entry.toString();
            continue;
        }
        const QString path = entry.property(0).toString();
        const QVariant value = entry.property(1).toVariant();
        steps << path + QLatin1Char('=') + describe(path, value, m);
        if (path == QLatin1String("border")) // checked as the relative border it sets
            check(path, QStringLiteral("borderRelative"),
                value.toDouble() / (theme.minimumItemSize() * 0.5));
        else
            check(path, path, value.toDouble() / (isPageRelative(path) ? m : 1.0));
    }

    // The class default variation (180) spins photos all the way round, so
    // every look has to choose its own; enabled parts need sound values too.
    for (const QString key : { "rotationRestrictions.variation", "rotationRestrictions.zero" })
        check(key + " as left", key,
            key.endsWith("zero") ? theme.m_rotation.zero() : theme.m_rotation.variation());
    if (theme.m_shadows.enabled())
        check("shadows.blurRadius as left", "shadows.blurRadius", theme.m_shadows.blurRadius() / m);
    if (theme.m_frames.enabled())
        check("frames.size as left", "frames.size", theme.m_frames.size());

    const QStringList calls = steps.filter(QRegularExpression(QStringLiteral("\\(\\)$")));
    if (kind == ThemeKind::PhotoDrop) {
        if (expectRandomize
            && (calls.count(QStringLiteral("randomize()")) != 1
                || steps.constLast() != QLatin1String("randomize()")))
            *problems << QStringLiteral("randomize() must be called once, as the last thing");
        if (!expectRandomize && calls.contains(QStringLiteral("randomize()")))
            *problems << QStringLiteral("randomize() must not be called here");
    } else {
        if (!calls.isEmpty())
            *problems << QStringLiteral("a Mosaic script calls a theme operation: ")
                    + calls.join(", ");
        if (steps.filter(QRegularExpression(QStringLiteral("^borderRelative="))).isEmpty())
            *problems << QStringLiteral("borderRelative is not set");
    }
    return steps;
}

// Evaluates a script the way the template engine does and tunes a stand-in
// theme on every test page.
QStringList checkScript(const QByteArray &script, ThemeKind kind, bool expectRandomize)
{
    QStringList problems;
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
        return problems;
    }
    const QString setName = templateObject.property(QStringLiteral("name")).toString();
    if (setName != readName)
        problems << QStringLiteral("the name reader finds \"%1\", the script sets \"%2\"")
                        .arg(readName, setName);
    if (!engine.globalObject().property(QStringLiteral("tune")).isCallable()) {
        problems << QStringLiteral("tune is not defined");
        return problems;
    }

    // One engine serves every theme made from a template, as in the program.
    QStringList first;
    for (const QSizeF &page : testPages) {
        const QStringList steps = runTune(engine, kind, page, expectRandomize, &problems);
        if (first.isEmpty())
            first = steps;
        else if (steps != first)
            problems << QStringLiteral("the look does not scale with the page: %1 on %2, %3 first")
                            .arg(steps.join(", "))
                            .arg(page.width())
                            .arg(first.join(", "));
    }
    problems.removeDuplicates();
    return problems;
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Tunes the real theme with the script on a page of bundled photos; returns
// how many colours a small rendering shows.
int coloursOnTunedPage(const QByteArray &script, const QByteArray &themeId)
{
    QScopedPointer<Document> document(ThemeTestData::sampleDocument());
    JSTemplate look(script, themeId, document.data());
    Theme *theme = look.createTheme(document.data());
    if (!theme || !look.lastError().isEmpty()
        || theme->property("Theme.Id").toByteArray() != themeId) {
        qWarning() << "tuning failed:" << look.lastError();
        return 0;
    }
    document->setTheme(theme);
    QImage page(300, 200, QImage::Format_ARGB32_Premultiplied);
    page.fill(Qt::transparent);
    QPainter painter(&page);
    document->render(&painter, QRectF(0, 0, 300, 200));
    painter.end();
    QSet<QRgb> colours;
    for (int y = 0; y < page.height(); y += 5)
        for (int x = 0; x < page.width(); x += 5)
            colours.insert(page.pixel(x, y) & 0xF0F0F0F0);
    return colours.size();
}

} // namespace

class TestTemplateScripts : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BuiltInThemes::registerAll(); }

    void script_data()
    {
        QTest::addColumn<ThemeKind>("kind");
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("randomizes");
        for (const ThemeKind kind : { ThemeKind::PhotoDrop, ThemeKind::Mosaic }) {
            const QDir dir(kind == ThemeKind::PhotoDrop ? QStringLiteral(":/PhotoDropTemplates")
                                                        : QStringLiteral(":/MosaicTemplates"));
            const QStringList files = dir.entryList({ QStringLiteral("*.qjs") });
            QCOMPARE(files.size(), kind == ThemeKind::PhotoDrop ? 36 : 61);
            // A Photo Drop look throws its photos anew; the portfolio keeps them in place.
            for (const QString &file : files)
                QTest::newRow(qPrintable(dir.filePath(file)))
                    << kind << dir.filePath(file)
                    << (kind == ThemeKind::PhotoDrop && file != QLatin1String("portfolioDrop.qjs"));
        }
    }

    void script()
    {
        QFETCH(ThemeKind, kind);
        QFETCH(QString, path);
        QFETCH(bool, randomizes);
        const QByteArray script = readFile(path);
        QVERIFY(!script.isEmpty());
        const QStringList problems = checkScript(script, kind, randomizes);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
        const QByteArray themeId
            = kind == ThemeKind::PhotoDrop ? BuiltInThemes::PhotoDropId : BuiltInThemes::MosaicId;
        QVERIFY2(coloursOnTunedPage(script, themeId) > 3, "the tuned page shows no photos");
    }
};

QTEST_MAIN(TestTemplateScripts)
#include "tst_templatescripts.moc"
