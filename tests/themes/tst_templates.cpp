// Template scripts: how the program reads, runs and finds them, and the
// shipped ones. Each of those must evaluate cleanly, carry a display name
// the name reader finds, touch only what its theme offers, and tune the real
// theme without an error to values inside the ranges the themes are built
// to handle, in page-relative units so that the look scales with the page.

#include <QtTest>

#include <QDir>
#include <QHash>
#include <QJSEngine>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <cmath>

#include "model/document.h"
#include "model/imagelist.h"
#include "support/testtheme.h"
#include "themes/builtinthemes.h"
#include "themes/jstemplate.h"
#include "themes/theme.h"
#include "themes/themeregistry.h"
#include "undo/undostack.h"

namespace {

// A theme with one property and one call for scripts to use.
class ScriptableTheme : public TestTheme
{
    Q_OBJECT
    Q_PROPERTY(QString label MEMBER label)
    Q_PROPERTY(double spacing MEMBER spacing)

public:
    using TestTheme::TestTheme;
    static const QByteArray Id;

    QString label;
    double spacing = 0;
    int randomized = 0;

public Q_SLOTS:
    void randomize() { ++randomized; }
};

const QByteArray ScriptableTheme::Id = QByteArrayLiteral("com.quorvane.collage.theme.scriptable");

QByteArray script(const QString &name, const QString &body)
{
    return QStringLiteral("template.name = \"%1\";\nfunction tune(theme) {\n%2\n}\n")
        .arg(name, body)
        .toUtf8();
}

// The pages a template must look right on: square, portrait and landscape
// pixels, and physical units whose numbers are small.
const QSizeF testPages[]
    = { { 1080, 1080 }, { 1080, 1350 }, { 8.5, 11 }, { 15, 10 }, { 3000, 2000 } };

// The ranges the themes are designed for; values in page units are
// written as fractions of the shorter page side.
struct Range
{
    double min;
    double max;
    bool inPageUnits;
};
const QHash<QString, Range> &valueRanges()
{
    static const QHash<QString, Range> ranges = {
        { "shadows.blurRadius", { 0.01, 0.1, true } },
        { "shadows.distance", { 0.002, 0.025, true } },
        { "shadows.angle", { 90, 225, false } },
        { "frames.size", { 0.005, 0.08, false } },
        { "background.gradientAngle", { 0, 180, false } },
        { "background.type", { 2, 2, false } },
        { "rotationRestrictions.zero", { -5, 45, false } },
        { "rotationRestrictions.variation", { 0, 35, false } },
        { "borderRelative", { 0.02, 0.6, false } },
    };
    return ranges;
}

// A value of a theme by the path a script writes it by; none when the
// theme has no such value.
QVariant valueAt(const QObject *object, const QString &path)
{
    const QStringList parts = path.split(QLatin1Char('.'));
    for (int i = 0; object && i + 1 < parts.size(); ++i)
        object = object->property(parts.at(i).toLatin1()).value<QObject *>();
    return object ? object->property(parts.last().toLatin1()) : QVariant();
}

// Tunes the real theme `themeId` with the script on an empty page and adds
// to `problems` what is wrong, such as a value the look sets outside its
// designed range (page units as fractions of the shorter page side).
void tuneOnPage(
    const QByteArray &script, const QByteArray &themeId, const QSizeF &page, QStringList *problems)
{
    const QString where = QStringLiteral(" (page %1 x %2)").arg(page.width()).arg(page.height());
    Document document(false);
    document.setPageSize(PageSize(PageSize::Pixels, page));
    document.setThemeId(themeId);
    JSTemplate look(script, themeId, &document);
    QScopedPointer<Theme> tuned(look.createTheme(&document));
    if (!tuned || !look.lastError().isEmpty()) {
        *problems << QStringLiteral("tuning failed: ") + look.lastError() + where;
        return;
    }
    if (look.name() != JSTemplate::nameFromScript(script))
        *problems << QStringLiteral("the name reader finds another name than the script sets");
    for (auto range = valueRanges().begin(); range != valueRanges().end(); ++range) {
        const QString path = range.key();
        const QVariant value = valueAt(tuned.data(), path);
        // The class default turn (180) spins photos all the way round, so
        // every look has to choose its own; enabled parts need sound values.
        const bool shown
            = (path == QLatin1String("shadows.blurRadius") || path == QLatin1String("frames.size"))
            && valueAt(tuned.data(), path.section(QLatin1Char('.'), 0, 0) + ".enabled").toBool();
        if (!value.isValid()
            || (value == valueAt(document.theme(), path) && !shown
                && !path.startsWith(QLatin1String("rotationRestrictions."))))
            continue;
        const double relative
            = value.toDouble() / (range->inPageUnits ? qMin(page.width(), page.height()) : 1.0);
        const double tolerance = 1e-9 * qMax(1.0, qAbs(range->max));
        if (!std::isfinite(relative) || relative < range->min - tolerance
            || relative > range->max + tolerance)
            *problems << QStringLiteral("%1 out of range: %2 not in [%3, %4]")
                             .arg(path)
                             .arg(relative)
                             .arg(range->min)
                             .arg(range->max)
                    + where;
    }
}

// Checks what a script may touch, then tunes the real theme with it on every
// test page.
QStringList checkScript(const QByteArray &script, const QByteArray &themeId, bool expectRandomize)
{
    QStringList problems;
    const QString text = QString::fromUtf8(script);
    // The chooser lists a template by the name read without running it.
    if (JSTemplate::nameFromScript(script).isEmpty())
        problems << QStringLiteral("no template.name assignment the name reader can find");

    // Every theme path the script names must be one the theme has: a misspelt
    // one is silently ignored when the script runs.
    Document document(false);
    document.setThemeId(themeId);
    QJSEngine engine;
    engine.globalObject().setProperty(QStringLiteral("theme"), engine.newQObject(document.theme()));
    static const QRegularExpression pathPattern(
        QStringLiteral("\\btheme((?:\\s*\\.\\s*[A-Za-z_$][\\w$]*)+)"));
    static const QRegularExpression space(QStringLiteral("\\s"));
    for (auto it = pathPattern.globalMatch(text); it.hasNext();) {
        const QString path = QStringLiteral("theme") + it.next().captured(1).remove(space);
        const QJSValue type = engine.evaluate(QStringLiteral("typeof ") + path);
        if (type.isError() || type.toString() == QLatin1String("undefined"))
            problems << QStringLiteral("unknown path ") + path;
    }

    // A Photo Drop look ends by throwing its photos once; a grid look sets
    // its spacing.
    const qsizetype throws = text.count(QLatin1String("randomize("));
    static const QRegularExpression throwsLast(
        QStringLiteral("theme\\s*\\.\\s*randomize\\s*\\(\\s*\\)\\s*;?\\s*\\}\\s*$"));
    if (expectRandomize && (throws != 1 || !throwsLast.match(text).hasMatch()))
        problems << QStringLiteral("randomize() must be called once, as the last thing");
    if (!expectRandomize && throws > 0)
        problems << QStringLiteral("randomize() must not be called here");
    static const QRegularExpression setsSpacing(
        QStringLiteral("\\btheme\\s*\\.\\s*borderRelative\\s*="));
    if (themeId != BuiltInThemes::PhotoDropId && !setsSpacing.match(text).hasMatch())
        problems << QStringLiteral("borderRelative is not set");

    // Pages of very different sizes keep a look written in absolute units
    // out of the ranges.
    for (const QSizeF &page : testPages)
        tuneOnPage(script, themeId, page, &problems);
    problems.removeDuplicates();
    return problems;
}

} // namespace

class TestTemplates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        BuiltInThemes::registerAll();
        ThemeRegistry::registerTheme<ScriptableTheme>(
            ScriptableTheme::Id, QIcon(), QStringLiteral("Scriptable"), m_folder.path());
    }

    void nameFromScript_data()
    {
        QTest::addColumn<QByteArray>("script");
        QTest::addColumn<QString>("name");

        QTest::newRow("first match wins")
            << QByteArray("template.name='A';\ntemplate.name = 'B';") << "A";
        QTest::newRow("quote cuts the name")
            << QByteArray("template.name = \"Rock 'n' Roll\";") << "Rock ";
        QTest::newRow("utf-8") << QByteArray("template.name = \"Été\";")
                               << QString::fromUtf8("Été");
        QTest::newRow("no name") << QByteArray("function tune(theme) {}") << QString();
    }

    void nameFromScript()
    {
        QFETCH(QByteArray, script);
        QFETCH(QString, name);
        QCOMPARE(JSTemplate::nameFromScript(script), name);
        Document document(false);
        QCOMPARE(JSTemplate(script, ScriptableTheme::Id, &document).name(), name);
    }

    void tuning()
    {
        Document document(false);
        document.setPageSize(PageSize(PageSize::Pixels, QSizeF(3000, 2000)));
        // The template object is gone while tuning: the last line throws and
        // the name stays.
        JSTemplate look(script(QStringLiteral("Look"),
                            QStringLiteral("theme.label = typeof template;\n"
                                           "theme.spacing = theme.document.pageSize.size.height"
                                           " * 0.05;\n"
                                           "theme.randomize();\n"
                                           "template.name = 'Renamed';")),
            ScriptableTheme::Id, &document);
        for (int run = 1; run <= 2; ++run) {
            QScopedPointer<Theme> created(look.createTheme(&document));
            auto *theme = qobject_cast<ScriptableTheme *>(created.data());
            QVERIFY(theme);
            // Thrown once per created theme.
            QCOMPARE(std::tuple(theme->label, theme->spacing, theme->randomized),
                std::tuple(QStringLiteral("undefined"), 100.0, 1));
        }
        QCOMPARE(look.name(), QStringLiteral("Look"));

        // A script that fails halfway still gives a theme, tuned up to there;
        // one that does not parse gives a plain theme.
        for (const auto &[source, label] :
            { std::pair(script(QStringLiteral("Broken"),
                            QStringLiteral("theme.label = 'before';\n"
                                           "theme.nothing.at.all = 1;\n"
                                           "theme.label = 'after';")),
                  "before"),
                std::pair(QByteArray("template.name = 'Bad'; function tune("), "") }) {
            JSTemplate broken(source, ScriptableTheme::Id, &document);
            QScopedPointer<Theme> theme(broken.createTheme(&document));
            QVERIFY(theme);
            QCOMPARE(theme->property("label").toString(), QString::fromLatin1(label));
        }

        JSTemplate orphan(
            script(QStringLiteral("Orphan"), QString()), "com.example.none", &document);
        QVERIFY(!orphan.createTheme(&document));
    }

    void discoveryAndReset()
    {
        // Only .qjs files in a theme's folder are its templates.
        const QList<QPair<QString, QByteArray>> files {
            { "one.qjs", script(QStringLiteral("One"), QString()) },
            { "notes.txt", "template.name = 'Not a template';" },
        };
        for (const auto &file : files) {
            QFile out(m_folder.filePath(file.first));
            QVERIFY(out.open(QIODevice::WriteOnly));
            out.write(file.second);
        }
        Document document(true);
        QStringList names;
        for (const QSharedPointer<Template> &found : ThemeRegistry::templates(&document)) {
            if (qobject_cast<JSTemplate *>(found.data())->themeId()
                == QString::fromUtf8(ScriptableTheme::Id))
                names.append(found->name());
        }
        QCOMPARE(names, QStringList({ "One" }));

        // Resetting the layout is one undo step.
        document.setThemeId(ScriptableTheme::Id);
        QVERIFY(document.imageList()->insertUrls(0,
            { QUrl::fromLocalFile(":/samples/sample1.jpg"),
                QUrl::fromLocalFile(":/samples/sample2.jpg") },
            false));
        const int steps = document.undoStack()->count();
        auto *theme = qobject_cast<ScriptableTheme *>(document.theme());
        theme->resetLayout();
        QCOMPARE(theme->images.size(), 2);
        QCOMPARE(document.undoStack()->count(), steps + 1);
    }

    void shippedScript_data()
    {
        QTest::addColumn<QByteArray>("themeId");
        QTest::addColumn<QString>("path");
        const struct
        {
            QByteArray themeId;
            QString folder;
            int count;
        } shipped[] = {
            { BuiltInThemes::PhotoDropId, ":/PhotoDropTemplates", 36 },
            { BuiltInThemes::MosaicId, ":/MosaicTemplates", 61 },
            { BuiltInThemes::RowsId, ":/RowsTemplates", 8 },
        };
        for (const auto &set : shipped) {
            const QDir dir(set.folder);
            const QStringList files = dir.entryList({ QStringLiteral("*.qjs") });
            QCOMPARE(files.size(), set.count);
            for (const QString &file : files)
                QTest::newRow(qPrintable(dir.filePath(file))) << set.themeId << dir.filePath(file);
        }
    }

    void shippedScript()
    {
        QFETCH(QByteArray, themeId);
        QFETCH(QString, path);
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadOnly));
        // A Photo Drop look throws its photos anew; the portfolio keeps them in place.
        const bool randomizes = themeId == BuiltInThemes::PhotoDropId
            && !path.endsWith(QLatin1String("/portfolioDrop.qjs"));
        const QStringList problems = checkScript(file.readAll(), themeId, randomizes);
        QVERIFY2(problems.isEmpty(), qPrintable(problems.join(QLatin1Char('\n'))));
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(TestTemplates)
#include "tst_templates.moc"
