#include <QtTest>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QListView>
#include <QProgressBar>
#include <QPushButton>
#include <QSlider>
#include <QTemporaryDir>
#include <QToolButton>

#include "model/document.h"
#include "model/imagelist.h"
#include "support/testtheme.h"
#include "themes/themeregistry.h"
#include "ui/pagesetupdialog.h"
#include "ui/pagesizemodel.h"
#include "ui/templatesdialog.h"
#include "ui/templatesmodel.h"

namespace {

const PageSize InstagramPost(
    PageSize::Pixels, QSizeF(1080, 1080), QStringLiteral("Instagram Post"));

struct Widgets
{
    explicit Widgets(TemplatesDialog &dialog)
        : pageSize(dialog.findChild<QComboBox *>(QStringLiteral("pageSizeComboBox")))
        , portrait(dialog.findChild<QToolButton *>(QStringLiteral("albumToolButton")))
        , landscape(dialog.findChild<QToolButton *>(QStringLiteral("landscapeToolButton")))
        , slider(dialog.findChild<QSlider *>(QStringLiteral("iconSizeSlider")))
        , list(dialog.findChild<QListView *>(QStringLiteral("listView")))
        , ok(dialog.findChild<QDialogButtonBox *>(QStringLiteral("buttonBox"))
                  ->button(QDialogButtonBox::Ok))
    {
    }

    QComboBox *pageSize;
    QToolButton *portrait;
    QToolButton *landscape;
    QSlider *slider;
    QListView *list;
    QPushButton *ok;
};

int rowNamed(const PageSizeModel *model, const QString &name)
{
    for (int row = 0; row < model->rowCount(); ++row) {
        if (model->index(row).data().toString() == name)
            return row;
    }
    return -1;
}

// Answers the page-setup dialog that the chooser is about to open.
void answerPageSetup(const std::function<void(PageSetupDialog *)> &answer)
{
    QTimer::singleShot(0, [answer] {
        auto *dialog = qobject_cast<PageSetupDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        answer(dialog);
    });
}

} // namespace

class TestTemplatesDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void withoutDocument();
    void presetKeepsOrientation_data();
    void presetKeepsOrientation();
    void orientationButtonsSwap();
    void customPage();
    void savedPreset();
    void selection();
    void previewsDisableChoiceUntilDone();

private:
    QTemporaryDir m_folder;
};

void TestTemplatesDialog::initTestCase()
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

void TestTemplatesDialog::withoutDocument()
{
    TemplatesDialog dialog(nullptr, nullptr);
    Widgets w(dialog);
    QVERIFY(w.pageSize && w.portrait && w.landscape && w.slider && w.list && w.ok);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Select theme to create collage"));
    QCOMPARE(dialog.currentPageSize(), InstagramPost);
    QCOMPARE(w.pageSize->currentIndex(), 0);
    QVERIFY(!w.portrait->isEnabled());
    QVERIFY(!w.landscape->isEnabled());
    QCOMPARE(dialog.templatesModel()->rowCount(), 2);
    const QSharedPointer<Template> look = dialog.templatesModel()->templateAt(0);
    QCOMPARE(look->previewDocument()->imageList()->count(), 5);
    QCOMPARE(look->currentPageSize(), InstagramPost);

    w.slider->setValue(256);
    QCOMPARE(w.list->iconSize(), QSize(256, 256));
    QCOMPARE(w.list->gridSize(), QSize(284, 298));
}

void TestTemplatesDialog::presetKeepsOrientation_data()
{
    QTest::addColumn<PageSize>("start");
    QTest::addColumn<QString>("preset");
    QTest::addColumn<QSizeF>("size");

    const PageSize wide(PageSize::Pixels, QSizeF(1200, 630));
    QTest::newRow("story on a landscape page")
        << wide << "Instagram Story / Reels" << QSizeF(1920, 1080);
    QTest::newRow("square counts as landscape")
        << InstagramPost << "Pinterest Pin" << QSizeF(1500, 1000);
    QTest::newRow("portrait stays portrait")
        << PageSize(PageSize::Inches, QSizeF(4, 6)) << "Facebook Post" << QSizeF(630, 1200);
    QTest::newRow("square preset")
        << PageSize(PageSize::Inches, QSizeF(4, 6)) << "Instagram Post" << QSizeF(1080, 1080);
}

void TestTemplatesDialog::presetKeepsOrientation()
{
    QFETCH(PageSize, start);
    QFETCH(QString, preset);
    QFETCH(QSizeF, size);

    Document document(true);
    document.setPageSize(start);
    TemplatesDialog dialog(nullptr, &document);
    Widgets w(dialog);
    const int row = rowNamed(dialog.pageSizeModel(), preset);
    QVERIFY(row >= 0);
    w.pageSize->setCurrentIndex(row);
    dialog.on_pageSizeComboBox_activated(row);
    QCOMPARE(dialog.currentPageSize().size(), size);
    QCOMPARE(dialog.currentPageSize().name(), preset);
    QCOMPARE(w.pageSize->currentIndex(), row);
    QCOMPARE(dialog.templatesModel()->currentPageSize(), dialog.currentPageSize());
    // The collage itself changes only when the caller applies the choice.
    QCOMPARE(document.pageSize(), start);
}

void TestTemplatesDialog::orientationButtonsSwap()
{
    Document document(false);
    document.setPageSize(
        PageSize(PageSize::Inches, QSizeF(4, 6), QStringLiteral("4\" x 6\" Postcard")));
    TemplatesDialog dialog(nullptr, &document);
    Widgets w(dialog);
    QVERIFY(!w.portrait->isEnabled()); // until the previews are drawn
    dialog.show();
    QTRY_VERIFY(w.portrait->isEnabled());
    QVERIFY(w.portrait->isChecked());
    QVERIFY(w.portrait->isEnabled());
    // Clicking the checked button turns the page too.
    for (QToolButton *button : { w.portrait, w.portrait, w.landscape }) {
        const QSizeF before = dialog.currentPageSize().size();
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(dialog.currentPageSize().size(), before.transposed());
        const bool portrait = dialog.currentPageSize().size().height() > 4.5;
        QCOMPARE(w.portrait->isChecked(), portrait);
        QCOMPARE(w.landscape->isChecked(), !portrait);
        QCOMPARE(w.pageSize->currentText(), QStringLiteral("4\" x 6\" Postcard"));
    }
}

void TestTemplatesDialog::customPage()
{
    TemplatesDialog dialog(nullptr, nullptr);
    Widgets w(dialog);
    const int custom = dialog.pageSizeModel()->rowCount() - 1;
    const int pinterest = rowNamed(dialog.pageSizeModel(), QStringLiteral("Pinterest Pin"));
    dialog.on_pageSizeComboBox_activated(pinterest);
    const PageSize before = dialog.currentPageSize();
    QCOMPARE(before.size(), QSizeF(1500, 1000));

    // Cancelled: the rotated preset's row comes back.
    w.pageSize->setCurrentIndex(custom);
    answerPageSetup([](PageSetupDialog *setup) {
        setup->setPageWidth(10);
        setup->reject();
    });
    dialog.on_pageSizeComboBox_activated(custom);
    QCOMPARE(dialog.currentPageSize(), before);
    QCOMPARE(w.pageSize->currentIndex(), pinterest);
    QCOMPARE(w.pageSize->itemText(custom), QStringLiteral("Custom page..."));

    // Accepted: the page becomes the custom entry.
    w.pageSize->setCurrentIndex(custom);
    answerPageSetup([](PageSetupDialog *setup) {
        QCOMPARE(setup->pageSize(), QSizeF(1500, 1000));
        setup->setUnits(PageSize::Centimeters);
        setup->setPageSize(QSizeF(10, 15));
        setup->accept();
    });
    dialog.on_pageSizeComboBox_activated(custom);
    QCOMPARE(dialog.currentPageSize(), PageSize(PageSize::Centimeters, QSizeF(10, 15)));
    QCOMPARE(w.pageSize->currentIndex(), custom);
    QCOMPARE(w.pageSize->currentText(), QStringLiteral("Custom (10cm x 15cm) ..."));
    QVERIFY(w.portrait->isChecked());
}

void TestTemplatesDialog::savedPreset()
{
    const PageSize flyer(PageSize::Inches, QSizeF(5, 8), QStringLiteral("Flyer"));
    for (int opening = 1; opening <= 2; ++opening) {
        TemplatesDialog dialog(nullptr, nullptr);
        Widgets w(dialog);
        const int custom = dialog.pageSizeModel()->rowCount() - 1;
        QCOMPARE(custom, 31); // saved presets last as long as the chooser
        answerPageSetup([](PageSetupDialog *setup) {
            setup->setUnits(PageSize::Inches);
            setup->setPageSize(QSizeF(5, 8));
            setup->on_nameEdit_textEdited(QStringLiteral("Flyer"));
            setup->findChild<QAbstractButton *>(QStringLiteral("saveCheckBox"))->setChecked(true);
            setup->accept();
        });
        dialog.on_pageSizeComboBox_activated(custom);
        QCOMPARE(dialog.currentPageSize(), flyer);
        QCOMPARE(dialog.pageSizeModel()->rowCount(), 33);
        QCOMPARE(w.pageSize->currentIndex(), 31);
        QCOMPARE(w.pageSize->currentText(), QStringLiteral("Flyer"));
        QCOMPARE(w.pageSize->itemText(32), QStringLiteral("Custom page..."));
    }
}

void TestTemplatesDialog::selection()
{
    Document document(true);
    TemplatesDialog dialog(nullptr, &document);
    Widgets w(dialog);
    QVERIFY(!w.ok->isEnabled());
    QCOMPARE(dialog.selectedTemplateName(), QString());
    QVERIFY(!dialog.createSelectedTheme(&document));
    dialog.on_buttonBox_accepted();
    QCOMPARE(dialog.result(), int(QDialog::Rejected));

    w.list->setCurrentIndex(dialog.templatesModel()->index(1));
    QVERIFY(w.ok->isEnabled());
    const QString name = dialog.templatesModel()->index(1).data().toString();
    QCOMPARE(dialog.selectedTemplateName(), name);
    QScopedPointer<Theme> theme(dialog.createSelectedTheme(&document));
    QVERIFY(qobject_cast<TestTheme *>(theme.data()));
    w.ok->click();
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void TestTemplatesDialog::previewsDisableChoiceUntilDone()
{
    Document document(false);
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(800, 600)));
    TemplatesDialog dialog(nullptr, &document);
    Widgets w(dialog);
    auto *progress = dialog.findChild<QProgressBar *>();
    QVERIFY(progress);
    QSignalSpy spy(dialog.templatesModel(), &TemplatesModel::previewProgress);
    dialog.show();
    QVERIFY(!w.list->isEnabled());
    QVERIFY(!w.pageSize->isEnabled());
    QTRY_VERIFY(!spy.isEmpty() && spy.constLast() == (QList<QVariant> { 2, 2 }));
    QVERIFY(progress->isHidden());
    QVERIFY(w.list->isEnabled());
    QVERIFY(w.slider->isEnabled());
    QVERIFY(w.landscape->isEnabled());
    QVERIFY(w.landscape->isChecked());
}

QTEST_MAIN(TestTemplatesDialog)
#include "tst_templatesdialog.moc"
