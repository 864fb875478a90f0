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
#include "themes/template.h"
#include "themes/themeregistry.h"
#include "ui/pagesetupdialog.h"
#include "ui/pagesizemodel.h"
#include "ui/templatesdialog.h"
#include "ui/templatesmodel.h"
#include "ui/uitestdata.h"

namespace {

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

} // namespace

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

    // Without a collage the chooser proposes the first preset, for the
    // previews too, and the slider sizes them.
    void withoutDocument()
    {
        TemplatesDialog dialog(nullptr, nullptr);
        QCOMPARE(dialog.currentPageSize(), InstagramPost);
        const QSharedPointer<Template> look = dialog.templatesModel()->templateAt(0);
        QCOMPARE(look->currentPageSize(), InstagramPost);
        QCOMPARE(look->previewDocument()->imageList()->count(), 5);
        child<QSlider>(dialog, "iconSizeSlider")->setValue(256);
        QCOMPARE(child<QListView>(dialog, "listView")->iconSize(), QSize(256, 256));
    }

    void presetKeepsOrientation_data()
    {
        QTest::addColumn<PageSize>("start");
        QTest::addColumn<QString>("preset");
        QTest::addColumn<QSizeF>("size");

        const PageSize postcard(PageSize::Inches, QSizeF(4, 6));
        QTest::newRow("story on a landscape page")
            << PageSize(PageSize::Pixels, QSizeF(1200, 630)) << "Instagram Story / Reels"
            << QSizeF(1920, 1080);
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
        QCOMPARE(pageCombo(dialog)->currentIndex(), row);
        QCOMPARE(dialog.templatesModel()->currentPageSize(), dialog.currentPageSize());
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
        QVERIFY(dialog.findChild<QProgressBar *>()->isHidden());
        QVERIFY(list->isEnabled() && portrait->isEnabled() && portrait->isChecked());
        // Clicking the checked button turns the page too.
        for (QToolButton *button : { portrait, portrait, landscape }) {
            QTRY_VERIFY(button->isEnabled());
            const QSizeF before = dialog.currentPageSize().size();
            QTest::mouseClick(button, Qt::LeftButton);
            QCOMPARE(dialog.currentPageSize().size(), before.transposed());
            const bool upright = dialog.currentPageSize().size().height() > 4.5;
            QCOMPARE(portrait->isChecked(), upright);
            QCOMPARE(landscape->isChecked(), !upright);
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
        QCOMPARE(pageCombo(dialog)->itemText(custom), QStringLiteral("Custom page..."));

        // Accepted: the page becomes the custom entry.
        choosePage(dialog, custom, [](PageSetupDialog *setup) {
            QCOMPARE(setup->pageSize(), QSizeF(1500, 1000));
            setup->setUnits(PageSize::Centimeters);
            setup->setPageSize(QSizeF(10, 15));
            setup->accept();
        });
        QCOMPARE(dialog.currentPageSize(), PageSize(PageSize::Centimeters, QSizeF(10, 15)));
        QCOMPARE(pageCombo(dialog)->currentText(), QStringLiteral("Custom (10cm x 15cm) ..."));
        QVERIFY(child<QToolButton>(dialog, "albumToolButton")->isChecked());
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
            QCOMPARE(pageCombo(dialog)->currentIndex(), 31);
            QCOMPARE(pageCombo(dialog)->itemText(32), QStringLiteral("Custom page..."));
        }
    }

    void selection()
    {
        Document document(true);
        TemplatesDialog dialog(nullptr, &document);
        QPushButton *ok
            = child<QDialogButtonBox>(dialog, "buttonBox")->button(QDialogButtonBox::Ok);
        QVERIFY(!ok->isEnabled());
        QVERIFY(!dialog.createSelectedTheme(&document));
        dialog.on_buttonBox_accepted();
        QCOMPARE(dialog.result(), int(QDialog::Rejected));

        child<QListView>(dialog, "listView")->setCurrentIndex(dialog.templatesModel()->index(1));
        QVERIFY(ok->isEnabled());
        QCOMPARE(
            dialog.selectedTemplateName(), dialog.templatesModel()->index(1).data().toString());
        QScopedPointer<Theme> theme(dialog.createSelectedTheme(&document));
        QVERIFY(qobject_cast<TestTheme *>(theme.data()));
        ok->click();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

private:
    QTemporaryDir m_folder;
};

QTEST_MAIN(TestTemplatesDialog)
#include "tst_templatesdialog.moc"
