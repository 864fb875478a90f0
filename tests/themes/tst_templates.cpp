#include <QtTest>

#include <QTemporaryDir>

#include "model/document.h"
#include "model/imagelist.h"
#include "support/testtheme.h"
#include "themes/jstemplate.h"
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

} // namespace

class TestTemplates : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void nameFromScript_data();
    void nameFromScript();
    void templateId();
    void tuneSetsTheTheme();
    void scriptErrorsAreSwallowed();
    void previewDocument();
    void discovery();
    void resetLayoutIsOneStep();

private:
    QTemporaryDir m_folder;
};

void TestTemplates::initTestCase()
{
    QVERIFY(m_folder.isValid());
    ThemeRegistry::registerTheme<ScriptableTheme>(
        ScriptableTheme::Id, QIcon(), QStringLiteral("Scriptable"), m_folder.path());
}

void TestTemplates::nameFromScript_data()
{
    QTest::addColumn<QByteArray>("script");
    QTest::addColumn<QString>("name");

    QTest::newRow("single quotes, no spaces")
        << QByteArray("template.name='Magazine'") << "Magazine";
    QTest::newRow("first match wins")
        << QByteArray("template.name = 'A';\ntemplate.name = 'B';") << "A";
    QTest::newRow("quote cuts the name")
        << QByteArray("template.name = \"Rock 'n' Roll\";") << "Rock ";
    QTest::newRow("utf-8") << QByteArray("template.name = \"Été\";") << QString::fromUtf8("Été");
    QTest::newRow("no name") << QByteArray("function tune(theme) {}") << QString();
}

void TestTemplates::nameFromScript()
{
    QFETCH(QByteArray, script);
    QFETCH(QString, name);
    QCOMPARE(JSTemplate::nameFromScript(script), name);
    Document document(false);
    QCOMPARE(JSTemplate(script, ScriptableTheme::Id, &document).name(), name);
}

void TestTemplates::templateId()
{
    Document document(false);
    const QByteArray text = script(QStringLiteral("One"), QString());
    JSTemplate look(text, ScriptableTheme::Id, &document), other(text, TestTheme::Id, &document);
    QVERIFY(look.templateId() != other.templateId());
    QCOMPARE(look.templateId(),
        QCryptographicHash::hash(text + "|" + ScriptableTheme::Id, QCryptographicHash::Md5)
            .toHex());
}

void TestTemplates::tuneSetsTheTheme()
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
}

void TestTemplates::scriptErrorsAreSwallowed()
{
    Document document(false);
    JSTemplate broken(script(QStringLiteral("Broken"),
                          QStringLiteral("theme.label = 'before';\n"
                                         "theme.nothing.at.all = 1;\n"
                                         "theme.label = 'after';")),
        ScriptableTheme::Id, &document);
    QScopedPointer<Theme> theme(broken.createTheme(&document));
    QVERIFY(theme);
    QCOMPARE(theme->property("label").toString(), QStringLiteral("before"));

    JSTemplate unparsable("template.name = 'Bad'; function tune(", ScriptableTheme::Id, &document);
    QCOMPARE(unparsable.name(), QStringLiteral("Bad"));
    QScopedPointer<Theme> plain(unparsable.createTheme(&document));
    QVERIFY(plain);
    QVERIFY(plain->property("label").toString().isEmpty());

    JSTemplate orphan(script(QStringLiteral("Orphan"), QString()), "com.example.none", &document);
    QVERIFY(!orphan.createTheme(&document));
}

void TestTemplates::previewDocument()
{
    // An empty document previews on the sample pictures, in a document of its own.
    Document empty(false);
    JSTemplate samples(script(QStringLiteral("S"), QString()), ScriptableTheme::Id, &empty);
    ImageList *images = samples.previewDocument()->imageList();
    QCOMPARE(images->count(), 5);
    QVERIFY(images != empty.imageList());
    QCOMPARE(images->data(images->index(0), Qt::UserRole).toUrl(),
        QUrl::fromLocalFile(QStringLiteral(":/imageTemplate.png")));
    const PageSize story(PageSize::Pixels, QSizeF(1080, 1920), QStringLiteral("Story"));
    samples.setCurrentPageSize(story);
    QCOMPARE(samples.previewDocument()->pageSize(), story);

    // A document with photos previews on them.
    Document own(false);
    own.setPageSize(PageSize(PageSize::Inches, QSizeF(4, 6)));
    QVERIFY(
        own.imageList()->insertUrls(0, { QUrl::fromLocalFile(":/samples/sample1.jpg") }, false));
    JSTemplate mine(script(QStringLiteral("M"), QString()), ScriptableTheme::Id, &own);
    QCOMPARE(mine.previewDocument()->imageList(), own.imageList());
    QCOMPARE(mine.previewDocument()->pageSize(), own.pageSize());
}

void TestTemplates::discovery()
{
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
    Document document(false);
    QStringList names;
    for (const QSharedPointer<Template> &found : ThemeRegistry::templates(&document)) {
        if (qobject_cast<JSTemplate *>(found.data())->themeId()
            == QString::fromUtf8(ScriptableTheme::Id))
            names.append(found->name());
    }
    names.sort();
    QCOMPARE(names, QStringList({ "One", "Two" }));
}

void TestTemplates::resetLayoutIsOneStep()
{
    Document document(true);
    document.setThemeId(ScriptableTheme::Id);
    QVERIFY(document.imageList()->insertUrls(0,
        { QUrl::fromLocalFile(":/samples/sample1.jpg"),
            QUrl::fromLocalFile(":/samples/sample2.jpg") },
        false));
    const int steps = document.undoStack()->count();
    auto *theme = qobject_cast<ScriptableTheme *>(document.theme());
    QCOMPARE(theme->images.size(), 2);
    theme->resetLayout();
    QCOMPARE(theme->images.size(), 2);
    QCOMPARE(document.undoStack()->count(), steps + 1);
    QCOMPARE(document.undoStack()->text(steps), QStringLiteral("Reseting layout"));
}

QTEST_MAIN(TestTemplates)
#include "tst_templates.moc"
