#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QDir>
#include <QDoubleSpinBox>
#include <QIcon>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QToolButton>

#include "model/document.h"
#include "model/imagelist.h"
#include "support/testtheme.h"
#include "themes/template.h"
#include "themes/themeregistry.h"
#include "ui/pagesetupdialog.h"
#include "ui/pagesizemodel.h"
#include "ui/templatesdialog.h"
#include "ui/templatesmodel.h"
#include "ui/uitestdata.h"

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

const PageSize InstagramPost(
    PageSize::Pixels, QSizeF(1080, 1080), QStringLiteral("Instagram Post"));

QComboBox *pageCombo(const TemplatesDialog &dialog)
{
    return child<QComboBox>(dialog, "pageSizeComboBox");
}

int rowNamed(const PageSizeModel *model, const QString &name)
{
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row).data().toString() == name)
            return row;
    }
    return -1;
}

// Chooses a row of the page list as the user does; the custom entry opens
// the page-setup dialog, which `answer` then handles.
void choosePage(TemplatesDialog &dialog, int row,
    const std::function<void(PageSetupDialog *)> &answer = nullptr)
{
    if (answer) {
        QTimer::singleShot(0, [answer] {
            auto *setup = qobject_cast<PageSetupDialog *>(QApplication::activeModalWidget());
            QVERIFY(setup);
            answer(setup);
        });
    }
    pageCombo(dialog)->setCurrentIndex(row);
    dialog.on_pageSizeComboBox_activated(row);
}

QString shown(const PageSetupDialog &dialog)
{
    return child<QDoubleSpinBox>(dialog, "widthEdit")->text() + QLatin1String(" x ")
        + child<QDoubleSpinBox>(dialog, "heightEdit")->text();
}

} // namespace

// The template chooser: its model of previews, the list of page sizes and
// the page-setup dialog behind its custom entry.
class TestTemplatesDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_folder.isValid());
        for (const char *name : { "Alpha", "Beta" }) {
            QFile file(m_folder.filePath(QString::fromLatin1(name) + QStringLiteral(".qjs")));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(QByteArray("template.name = '") + name + "';\nfunction tune(theme) {}\n");
        }
        ThemeRegistry::registerTheme<TestTheme>(
            TestTheme::Id, QIcon(), QStringLiteral("Test"), m_folder.path());
    }

    void init()
    {
        QDir(cacheFolder()).removeRecursively();
        m_templates.clear();
    }

    void presetKeepsOrientation_data()
    {
        QTest::addColumn<PageSize>("start");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QSizeF>("size");

        const PageSize postcard(PageSize::Inches, QSizeF(4, 6));
        QTest::newRow("square counts as landscape")
            << InstagramPost << "Pinterest Pin" << QSizeF(1500, 1000);
        QTest::newRow("portrait stays portrait")
            << postcard << "Facebook Post" << QSizeF(630, 1200);
        QTest::newRow("square preset") << postcard << "Instagram Post" << QSizeF(1080, 1080);
    }

    void presetKeepsOrientation()
    {
        QFETCH(PageSize, start);
        QFETCH(QString, preset);
        QFETCH(QSizeF, size);

        Document document(true);
        document.setPageSize(start);
        TemplatesDialog dialog(nullptr, &document);
        const int row = rowNamed(dialog.pageSizeModel(), preset);
        QVERIFY(row >= 0);
        choosePage(dialog, row);
        QCOMPARE(dialog.currentPageSize(), PageSize(PageSize::Pixels, size, preset));
        // The collage itself changes only when the caller applies the choice.
        QCOMPARE(document.pageSize(), start);
    }

    // The choice waits for the previews; each turn of the page draws them again.
    void orientationButtonsSwap()
    {
        Document document(false);
        const QString name = QStringLiteral("4\" x 6\" Postcard");
        document.setPageSize(PageSize(PageSize::Inches, QSizeF(4, 6), name));
        TemplatesDialog dialog(nullptr, &document);
        auto *portrait = child<QToolButton>(dialog, "albumToolButton");
        auto *landscape = child<QToolButton>(dialog, "landscapeToolButton");
        auto *list = child<QListView>(dialog, "listView");
        QSignalSpy progress(dialog.templatesModel(), &TemplatesModel::previewProgress);
        dialog.show();
        QVERIFY(!list->isEnabled() && !pageCombo(dialog)->isEnabled() && !portrait->isEnabled());
        QTRY_VERIFY(!progress.isEmpty() && progress.constLast() == (QList<QVariant> { 2, 2 }));
        QVERIFY(list->isEnabled() && portrait->isEnabled() && portrait->isChecked());
        // Clicking the checked button turns the page too.
        for (QToolButton *button : { portrait, portrait, landscape }) {
            QTRY_VERIFY(button->isEnabled());
            const QSizeF before = dialog.currentPageSize().size();
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(dialog.currentPageSize().size(), before.transposed());
            QCOMPARE(portrait->isChecked(), dialog.currentPageSize().size().height() > 4.5);
            QCOMPARE(pageCombo(dialog)->currentText(), name);
        }
    }

    void customPage()
    {
        TemplatesDialog dialog(nullptr, nullptr);
        const int custom = dialog.pageSizeModel()->rowCount() - 1;
        const int pinterest = rowNamed(dialog.pageSizeModel(), QStringLiteral("Pinterest Pin"));
        choosePage(dialog, pinterest);
        const PageSize before = dialog.currentPageSize();

        // Cancelled: the rotated preset's row comes back.
        choosePage(dialog, custom, [](PageSetupDialog *setup) {
            setup->setPageWidth(10);
            setup->reject();
        });
        QCOMPARE(dialog.currentPageSize(), before);
        QCOMPARE(pageCombo(dialog)->currentIndex(), pinterest);

        // Accepted: the page becomes the custom entry.
        choosePage(dialog, custom, [](PageSetupDialog *setup) {
            QCOMPARE(setup->pageSize(), QSizeF(1500, 1000));
            setup->setUnits(PageSize::Centimeters);
            setup->setPageSize(QSizeF(10, 15));
            setup->accept();
        });
        QCOMPARE(dialog.currentPageSize(), PageSize(PageSize::Centimeters, QSizeF(10, 15)));
        QCOMPARE(pageCombo(dialog)->currentText(), QStringLiteral("Custom (10cm x 15cm) ..."));
    }

    // Saved presets last as long as the chooser.
    void savedPreset()
    {
        for (int opening = 1; opening <= 2; ++opening) {
            TemplatesDialog dialog(nullptr, nullptr);
            QCOMPARE(dialog.pageSizeModel()->rowCount(), 32);
            choosePage(dialog, 31, [](PageSetupDialog *setup) {
                setup->setUnits(PageSize::Inches);
                setup->setPageSize(QSizeF(5, 8));
                setup->on_nameEdit_textEdited(QStringLiteral("Flyer"));
                child<QAbstractButton>(*setup, "saveCheckBox")->setChecked(true);
                setup->accept();
            });
            QCOMPARE(dialog.currentPageSize(),
                PageSize(PageSize::Inches, QSizeF(5, 8), QStringLiteral("Flyer")));
        }
    }

    void selection()
    {
        Document document(true);
        TemplatesDialog dialog(nullptr, &document);
        QPushButton *ok
            = child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok);
        QVERIFY(!dialog.createSelectedTheme(&document));
        dialog.on_buttonBox_accepted();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        child<QListView>(dialog, "listView")->setCurrentIndex(dialog.templatesModel()->index(1));
        QScopedPointer<Theme> theme(dialog.createSelectedTheme(&document));
        QVERIFY(qobject_cast<TestTheme *>(theme.data()));
        ok->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    // The list of page sizes.
    void indexOfPageSize_data()
    {
        QTest::addColumn<PageSize>("page");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("customText"); // empty where a preset matches

        QTest::newRow("rotated preset")
            << PageSize(PageSize::Pixels, QSizeF(1350, 1080), QStringLiteral("Instagram Portrait"))
            << 1 << QString();
        QTest::newRow("nearly equal")
            << PageSize(PageSize::Centimeters, QSizeF(21, 29.7 + 1e-13), QStringLiteral("A4")) << 23
            << QString();
        QTest::newRow("other unit") << PageSize(PageSize::Pixels, QSizeF(4, 6)) << 31
                                    << QStringLiteral("Custom (4px x 6px) ...");
        QTest::newRow("named by the user") << PageSize(PageSize::Pixels, QSizeF(1080, 1080),
            QStringLiteral("Mine")) << 31 << QStringLiteral("Custom (Mine) ...");
    }

    void indexOfPageSize()
    {
        QFETCH(PageSize, page);
        QFETCH(int, row);
        QFETCH(QString, customText);

        PageSizeModel model;
        QCOMPARE(model.indexOfPageSize(page), row);
        if (!customText.isEmpty()) {
            QCOMPARE(model.index(31).data().toString(), customText);
            QCOMPARE(model.customPageSize(), page);
        }
    }

    // The page-setup dialog.
    void unitConversion_data()
    {
        QTest::addColumn<PageSize>("page");
        QTest::addColumn<int>("dpi");
        QTest::addColumn<QList<int>>("steps");
        QTest::addColumn<QStringList>("texts");
        QTest::addColumn<QSizeF>("result");

        const PageSize instagram(PageSize::Pixels, QSizeF(1080, 1350));
        QTest::newRow("pixels to inches and back")
            << instagram << 300 << QList<int> { PageSize::Inches, PageSize::Pixels }
            << QStringList { "3.60 in x 4.50 in", "1080 px x 1350 px" } << QSizeF(1080, 1350);
        // Inches and centimetres convert without the resolution.
        QTest::newRow("inches to centimetres at 72 dpi")
            << PageSize(PageSize::Inches, QSizeF(4, 6)) << 72
            << QList<int> { PageSize::Centimeters } << QStringList { "10.16 cm x 15.24 cm" }
            << QSizeF(10.16, 15.24);
        QTest::newRow("centimetres to pixels at 600 dpi")
            << PageSize(PageSize::Centimeters, QSizeF(2.54, 5.08)) << 600
            << QList<int> { PageSize::Pixels } << QStringList { "600 px x 1200 px" }
            << QSizeF(600, 1200);
    }

    void unitConversion()
    {
        QFETCH(PageSize, page);
        QFETCH(int, dpi);
        QFETCH(QList<int>, steps);
        QFETCH(QStringList, texts);
        QFETCH(QSizeF, result);

        PageSetupDialog dialog(page);
        const QString before = shown(dialog);
        child<QSpinBox>(dialog, "dpiBox")->setValue(dpi);
        QCOMPARE(shown(dialog), before);
        for (int i = 0; i < steps.size(); ++i) {
            child<QComboBox>(dialog, "unitsCombo")->setCurrentIndex(steps.at(i));
            QCOMPARE(shown(dialog), texts.at(i));
        }
        QCOMPARE(dialog.editedPageSize(), PageSize(steps.last(), result));
    }

    void orientation_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<bool>("clickLandscape");
        QTest::addColumn<QSizeF>("expected");
        QTest::addColumn<bool>("portraitChecked");

        QTest::newRow("portrait to landscape") << QSizeF(4, 6) << true << QSizeF(6, 4) << false;
        QTest::newRow("square stays square") << QSizeF(6, 6) << false << QSizeF(6, 6) << true;
        // A wide page turned upright keeps its full height.
        QTest::newRow("tall side beyond ten thousand")
            << QSizeF(1500, 500) * 10 << false << QSizeF(500, 1500) * 10 << true;
    }

    void orientation()
    {
        QFETCH(QSizeF, size);
        QFETCH(bool, clickLandscape);
        QFETCH(QSizeF, expected);
        QFETCH(bool, portraitChecked);

        PageSetupDialog dialog(PageSize(PageSize::Inches, size));
        auto *portrait = child<QRadioButton>(dialog, "portraitButton");
        auto *width = child<QDoubleSpinBox>(dialog, "widthEdit");
        dialog.show();
        (clickLandscape ? child<QRadioButton>(dialog, "landscapeButton") : portrait)->click();
        QCOMPARE(
            QSizeF(width->value(), child<QDoubleSpinBox>(dialog, "heightEdit")->value()), expected);
        QCOMPARE(portrait->isChecked(), portraitChecked);

        // Typing a size that turns the page moves the check mark.
        width->setValue(expected.height() * 2);
        QVERIFY(!portrait->isChecked());
    }

    // The name is not carried over; the field proposes the description, and
    // is for a page saved for quick access only.
    void nameFollowsSizeUntilTyped()
    {
        PageSetupDialog dialog(
            PageSize(PageSize::Pixels, QSizeF(1080, 1080), QStringLiteral("Square")));
        auto *name = child<QLineEdit>(dialog, "nameEdit");
        dialog.show();
        QCOMPARE(dialog.editedPageSize().name(), QString());
        QCOMPARE(name->text(), QStringLiteral("1080px Square"));
        child<QDoubleSpinBox>(dialog, "heightEdit")->setValue(1350);
        QCOMPARE(name->text(), QStringLiteral("1080px x 1350px"));
        child<QComboBox>(dialog, "unitsCombo")->setCurrentIndex(PageSize::Inches);

        child<QCheckBox>(dialog, "saveCheckBox")->setChecked(true);
        QVERIFY(name->isEnabled() && dialog.saveForQuickAccess());
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Flyer"));
        child<QDoubleSpinBox>(dialog, "widthEdit")->setValue(5);
        QCOMPARE(dialog.editedPageSize(),
            PageSize(PageSize::Inches, QSizeF(5, 4.5), QStringLiteral("Flyer")));
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
        QStringList expected { "Alpha", "Beta" }; // the test theme, registered first
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

    QTemporaryDir m_folder;
    Document m_document { false };
    QList<QSharedPointer<Template>> m_templates;
};

QTEST_MAIN(TestTemplatesDialog)
#include "tst_templatesdialog.moc"
