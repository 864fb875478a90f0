#include <QtTest>

#include <QJSEngine>
#include <QTemporaryDir>

#include "model/document.h"
#include "model/imagelist.h"
#include "support/testtheme.h"
#include "themes/builtinthemes.h"
#include "themes/jstemplate.h"
#include "themes/themeregistry.h"
#include "themes/themetestdata.h"

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
                            QStringLiteral("var m = Math.min(theme.document.pageSize.size.width,"
                                           " theme.document.pageSize.size.height);\n"
                                           "theme.label = typeof template;\n"
                                           "theme.spacing = m * 0.05;\n"
                                           "theme.randomize();\n"
                                           "template.name = 'Renamed';")),
            ScriptableTheme::Id, &document);
        for (int run = 1; run <= 2; ++run) {
            QScopedPointer<Theme> created(look.createTheme(&document));
            auto *theme = qobject_cast<ScriptableTheme *>(created.data());
            QVERIFY(theme);
            QCOMPARE(theme->label, QStringLiteral("undefined"));
            QCOMPARE(theme->spacing, 100.0);
            QCOMPARE(theme->randomized, 1); // once per created theme
            QCOMPARE(theme->property("Theme.Id").toByteArray(), ScriptableTheme::Id);
        }
        QCOMPARE(look.name(), QStringLiteral("Look"));

        // A script that fails halfway still gives a theme, tuned up to there.
        JSTemplate broken(script(QStringLiteral("Broken"),
                              QStringLiteral("theme.label = 'before';\n"
                                             "theme.nothing.at.all = 1;\n"
                                             "theme.label = 'after';")),
            ScriptableTheme::Id, &document);
        QScopedPointer<Theme> theme(broken.createTheme(&document));
        QVERIFY(theme);
        QCOMPARE(theme->property("label").toString(), QStringLiteral("before"));

        JSTemplate unparsable(
            "template.name = 'Bad'; function tune(", ScriptableTheme::Id, &document);
        QCOMPARE(unparsable.name(), QStringLiteral("Bad"));
        QScopedPointer<Theme> plain(unparsable.createTheme(&document));
        QVERIFY(plain);
        QVERIFY(plain->property("label").toString().isEmpty());

        JSTemplate orphan(
            script(QStringLiteral("Orphan"), QString()), "com.example.none", &document);
        QVERIFY(!orphan.createTheme(&document));
    }

    void discoveryAndReset()
    {
        // Only .qjs files in a theme's folder are its templates.
        const QList<QPair<QString, QByteArray>> files {
            { "one.qjs", script(QStringLiteral("One"), QString()) },
            { "two.qjs", script(QStringLiteral("Two"), QString()) },
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
        names.sort();
        QCOMPARE(names, QStringList({ "One", "Two" }));

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
        QCOMPARE(document.undoStack()->text(steps), QStringLiteral("Reseting layout"));
    }

    void paths_data()
    {
        QTest::addColumn<QByteArray>("themeId");
        QTest::addColumn<QString>("script"); // run against `theme`
        QTest::addColumn<QString>("check"); // must evaluate to true afterwards

        // The conversions template scripts rely on, on both themes: colour names,
        // an offset given as a point, and the page size read back in page units.
        for (const QByteArray &id : { BuiltInThemes::PhotoDropId, BuiltInThemes::MosaicId })
            QTest::newRow(id == BuiltInThemes::PhotoDropId ? "drop" : "mosaic")
                << id
                << "theme.shadows.color = 'white'; theme.shadows.offset = {x: 0, y: -5};"
                   " theme.background.gradientEndColor = 'navy'"
                << "theme.document.pageSize.size.width === 3000"
                   " && theme.document.pageSize.size.height === 2000"
                   " && theme.shadows.color.toString() === '#ffffff'"
                   " && Math.abs(theme.shadows.offset.y + 5) < 1e-9"
                   " && Math.abs(theme.shadows.distance - 5) < 1e-9"
                   " && theme.background.gradientEndColor.toString() === '#000080'";
        QTest::newRow("mosaic: border writes borderRelative")
            << BuiltInThemes::MosaicId << "theme.border = theme.minimumItemSize * 0.5 * 0.25"
            << "Math.abs(theme.borderRelative - 0.25) < 1e-9 && theme.minimumItemSize > 0 "
               "&& theme.minimumItemSize <= 2000";
    }

    void paths()
    {
        QFETCH(QByteArray, themeId);
        QFETCH(QString, script);
        QFETCH(QString, check);
        QScopedPointer<Document> document(ThemeTestData::sampleDocument());
        QCOMPARE(document->imageList()->count(), 4);
        document->setThemeId(themeId);
        QVERIFY(document->theme());
        QJSEngine engine;
        engine.globalObject().setProperty(
            QStringLiteral("theme"), engine.newQObject(document->theme()));
        const QJSValue written = engine.evaluate(script);
        QVERIFY2(!written.isError(), qPrintable(written.toString()));
        const QJSValue result = engine.evaluate(check);
        QVERIFY2(!result.isError(), qPrintable(result.toString()));
        QVERIFY2(result.toBool(), qPrintable(check));
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(TestTemplates)
#include "tst_templates.moc"
