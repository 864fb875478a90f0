#include <QtTest>

#include <QDir>
#include <QIcon>
#include <QStandardPaths>

#include "model/document.h"
#include "support/testtheme.h"
#include "themes/template.h"
#include "themes/themeregistry.h"
#include "ui/templatesmodel.h"

namespace {

// A template with a chosen cache key that counts how often it is drawn.
class CountingTemplate : public Template
{
public:
    CountingTemplate(const QByteArray &id, Document *document)
        : Template(document)
        , m_id(id)
    {
        setName(QString::fromLatin1(id));
    }

    Theme *createTheme(Document *document) override
    {
        ++created;
        return new TestTheme(document);
    }
    QByteArray templateId() const override { return m_id; }

    int created = 0;

private:
    QByteArray m_id;
};

const PageSize Portrait(PageSize::Pixels, QSizeF(1080, 1350));

QString cacheFolder()
{
    return QStandardPaths::writableLocation(QStandardPaths::CacheLocation)
        + QStringLiteral("/template_previews");
}

QImage decoration(const TemplatesModel &model, int row)
{
    const QIcon icon = model.index(row).data(Qt::DecorationRole).value<QIcon>();
    return icon.pixmap(QSize(TemplatesModel::PreviewSize, TemplatesModel::PreviewSize))
        .toImage()
        .convertToFormat(QImage::Format_ARGB32);
}

} // namespace

class TestTemplatesModel : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init()
    {
        QDir(cacheFolder()).removeRecursively();
        m_templates.clear();
    }

    // The cache file names the page, rounded; without a page there is none.
    void previewPath()
    {
        makeTemplates({ "abc" });
        TemplatesModel model(m_templates);
        QCOMPARE(model.previewPath(0), QString());
        model.setCurrentPageSize(PageSize(PageSize::Centimeters, QSizeF(21, 29.7004)));
        QCOMPARE(model.previewPath(0),
            cacheFolder() + QStringLiteral("/abc_v1_21.00x29.70_u2_p256.png"));
        QCOMPARE(model.previewPath(1), QString());
    }

    void placeholderUntilStarted()
    {
        const QList<CountingTemplate *> looks = makeTemplates({ "a", "b" });
        TemplatesModel model(m_templates);
        model.setCurrentPageSize(Portrait);
        QCoreApplication::processEvents();
        QCOMPARE(looks[0]->created + looks[1]->created, 0);
        QVERIFY(!decoration(model, 0).isNull());
    }

    void secondOpeningFromCache()
    {
        // A template without an id is never cached: it is drawn every time.
        const QList<QByteArray> ids { "first", "second", QByteArray() };
        QList<CountingTemplate *> looks = makeTemplates(ids);
        {
            TemplatesModel model(m_templates);
            model.setCurrentPageSize(Portrait);
            runPreviews(model);
            for (int row = 0; row < 3; ++row)
                QCOMPARE(looks[row]->created, 1);
        }
        QCOMPARE(QDir(cacheFolder()).entryList(QDir::Files).size(), 2);

        // A marked picture in the cache proves that the file, not a drawing,
        // is what the second model shows.
        looks = makeTemplates(ids);
        TemplatesModel model(m_templates);
        model.setCurrentPageSize(Portrait);
        QImage marked(
            TemplatesModel::PreviewSize, TemplatesModel::PreviewSize, QImage::Format_ARGB32);
        marked.fill(Qt::red);
        QVERIFY(marked.save(model.previewPath(1), "PNG"));
        runPreviews(model);
        QCOMPARE(looks[0]->created + looks[1]->created, 0);
        QCOMPARE(looks[2]->created, 1);
        QCOMPARE(decoration(model, 1).pixelColor(100, 100), QColor(Qt::red));
    }

    void unreadableCacheFileReplaced()
    {
        const QList<CountingTemplate *> looks = makeTemplates({ "broken" });
        TemplatesModel model(m_templates);
        model.setCurrentPageSize(Portrait);
        const QString path = model.previewPath(0);
        {
            // What a crash in the middle of an old write could have left.
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16);
        }
        runPreviews(model);
        QCOMPARE(looks[0]->created, 1);
        QCOMPARE(QImage(path, "PNG").size(),
            QSize(TemplatesModel::PreviewSize, TemplatesModel::PreviewSize));
        QCOMPARE(
            QDir(cacheFolder()).entryList(QDir::Files), QStringList { QFileInfo(path).fileName() });
    }

    void pageSizeChangeRestarts()
    {
        const QList<CountingTemplate *> looks = makeTemplates({ "a", "b" });
        TemplatesModel model(m_templates);
        model.setCurrentPageSize(Portrait);
        runPreviews(model);

        QSignalSpy changed(&model, &TemplatesModel::currentPageSizeChanged);
        const PageSize rotated(PageSize::Pixels, QSizeF(1350, 1080));
        model.setCurrentPageSize(rotated);
        model.setCurrentPageSize(rotated);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(looks[0]->previewDocument()->pageSize(), rotated);
        QTRY_COMPARE(model.previewsDone(), 2);
        QCOMPARE(looks[0]->created, 2);
    }

    // The gallery keeps one order from run to run: the kinds as registered
    // (a hash would shuffle them with its seed), each kind's files by name.
    void galleryFollowsRegistration()
    {
        QTemporaryDir root;
        QVERIFY(root.isValid());
        const QList<QByteArray> kinds = { "kind.c", "kind.a", "kind.d", "kind.b" };
        QStringList expected;
        for (const QByteArray &kind : kinds) {
            const QString folder = root.filePath(QString::fromLatin1(kind));
            QVERIFY(QDir().mkpath(folder));
            const QString name = QStringLiteral("Look %1").arg(QString::fromLatin1(kind));
            QFile file(folder + QStringLiteral("/look.qjs"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("template.name = '" + name.toUtf8() + "';\n");
            expected << name;
            ThemeRegistry::registerTheme<TestTheme>(
                kind, QIcon(), QString::fromLatin1(kind), folder);
        }
        TemplatesModel model(&m_document);
        QStringList names;
        for (int row = 0; row < model.rowCount(); ++row)
            names << model.index(row).data().toString();
        QCOMPARE(names, expected);
    }

private:
    // Builds templates with the given ids and lets the model draw them all.
    QList<CountingTemplate *> makeTemplates(const QList<QByteArray> &ids)
    {
        QList<CountingTemplate *> result;
        m_templates.clear();
        for (const QByteArray &id : ids) {
            auto *look = new CountingTemplate(id, &m_document);
            m_templates.append(QSharedPointer<Template>(look));
            result.append(look);
        }
        return result;
    }

    void runPreviews(TemplatesModel &model)
    {
        QSignalSpy progress(&model, &TemplatesModel::previewProgress);
        model.startPreviews();
        const int count = model.rowCount();
        QTRY_VERIFY(
            !progress.isEmpty() && progress.constLast() == (QList<QVariant> { count, count }));
        QCOMPARE(model.previewsDone(), count);
    }

    Document m_document { false };
    QList<QSharedPointer<Template>> m_templates;
};

QTEST_MAIN(TestTemplatesModel)
#include "tst_templatesmodel.moc"
