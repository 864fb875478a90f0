#include <QtTest>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>

#include "app/settingskeys.h"
#include "ui/exportdialog.h"

namespace {

QLineEdit *edit(ExportDialog &dialog, const char *name)
{
    return dialog.findChild<QLineEdit *>(QLatin1String(name));
}

// Types into an edit as a user would: focus, select all, keys.
void typeInto(QLineEdit *field, const QString &text)
{
    field->setFocus();
    QVERIFY(field->hasFocus());
    field->selectAll();
    QTest::keyClick(field, Qt::Key_Delete);
    QTest::keyClicks(field, text);
}

const PageSize tenByFifteenCm(PageSize::Centimeters, QSizeF(10, 15));
const PageSize pixelPage(PageSize::Pixels, QSizeF(1200, 800));

} // namespace

class TestExportDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init();
    void initialSize_data();
    void initialSize();
    void widthMovesDpiAndHeight();
    void typedDpiStaysAsTyped();
    void scaleOnPixelPages();
    void lettersAreRefused();
    void emptySizeCannotBeSaved();
    void formatList_data();
    void formatList();
    void watermarkTextRemembered_data();
    void watermarkTextRemembered();
    void qualityRememberedAndOnlyForLossyFormats();
};

void TestExportDialog::init()
{
    QSettings().clear();
}

void TestExportDialog::initialSize_data()
{
    QTest::addColumn<PageSize>("page");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("resolutionText");
    QTest::newRow("10 x 15 cm at 300 dpi") << tenByFifteenCm << QSize(1181, 1772) << "300";
    QTest::newRow("4 x 6 in") << PageSize(PageSize::Inches, QSizeF(4, 6)) << QSize(1200, 1800)
                              << "300";
    QTest::newRow("pixels") << pixelPage << QSize(1200, 800) << "100";
}

void TestExportDialog::initialSize()
{
    QFETCH(PageSize, page);
    QFETCH(QSize, size);
    QFETCH(QString, resolutionText);
    ExportDialog dialog(page);
    QCOMPARE(dialog.imageSize(), size);
    QCOMPARE(edit(dialog, "widthEdit")->text(), QString::number(size.width()));
    QCOMPARE(edit(dialog, "heightEdit")->text(), QString::number(size.height()));
    QCOMPARE(edit(dialog, "dpiLineEdit")->text(), resolutionText);
}

void TestExportDialog::widthMovesDpiAndHeight()
{
    ExportDialog dialog(tenByFifteenCm);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    typeInto(edit(dialog, "widthEdit"), QStringLiteral("591"));
    // 591 px over 10 cm is 150.114 dpi; the height of 886.5 is truncated.
    QCOMPARE(edit(dialog, "dpiLineEdit")->text(), QStringLiteral("150.114"));
    QCOMPARE(edit(dialog, "heightEdit")->text(), QStringLiteral("886"));
    QCOMPARE(edit(dialog, "widthEdit")->text(), QStringLiteral("591"));
    QCOMPARE(dialog.imageSize(), QSize(591, 886));

    typeInto(edit(dialog, "heightEdit"), QStringLiteral("1772"));
    QCOMPARE(dialog.imageSize(), QSize(1181, 1772));
    QCOMPARE(edit(dialog, "widthEdit")->text(), QStringLiteral("1181"));
}

void TestExportDialog::typedDpiStaysAsTyped()
{
    ExportDialog dialog(tenByFifteenCm);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    typeInto(edit(dialog, "dpiLineEdit"), QStringLiteral("150.0"));
    QCOMPARE(edit(dialog, "dpiLineEdit")->text(), QStringLiteral("150.0"));
    // 10 / 2.54 x 150 = 590.55 and 15 / 2.54 x 150 = 885.83, rounded.
    QCOMPARE(dialog.imageSize(), QSize(591, 886));
    QCOMPARE(edit(dialog, "widthEdit")->text(), QStringLiteral("591"));
}

void TestExportDialog::scaleOnPixelPages()
{
    ExportDialog dialog(pixelPage);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(dialog.findChild<QLabel *>("resolutionLabel")->text(), QStringLiteral("Scale:"));
    QCOMPARE(dialog.findChild<QLabel *>("dpiLabel")->text(), QStringLiteral("%"));
    typeInto(edit(dialog, "dpiLineEdit"), QStringLiteral("50"));
    QCOMPARE(dialog.imageSize(), QSize(600, 400));
    typeInto(edit(dialog, "widthEdit"), QStringLiteral("300"));
    QCOMPARE(edit(dialog, "dpiLineEdit")->text(), QStringLiteral("25"));
    QCOMPARE(dialog.imageSize(), QSize(300, 200));
    QVERIFY(dialog.settings().resolution.isEmpty());
}

void TestExportDialog::lettersAreRefused()
{
    ExportDialog dialog(tenByFifteenCm);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    typeInto(edit(dialog, "widthEdit"), QStringLiteral("6x0"));
    QCOMPARE(edit(dialog, "widthEdit")->text(), QStringLiteral("60"));
    typeInto(edit(dialog, "dpiLineEdit"), QStringLiteral("2a0"));
    QCOMPARE(edit(dialog, "dpiLineEdit")->text(), QStringLiteral("20"));
    QCOMPARE(dialog.imageSize(), QSize(79, 118));
}

void TestExportDialog::emptySizeCannotBeSaved()
{
    ExportDialog dialog(tenByFifteenCm);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QPushButton *save
        = dialog.findChild<QDialogButtonBox *>("buttonBox")->button(QDialogButtonBox::Save);
    QVERIFY(save->isEnabled());
    typeInto(edit(dialog, "heightEdit"), QString());
    QVERIFY(!save->isEnabled());
    typeInto(edit(dialog, "heightEdit"), QStringLiteral("0"));
    QVERIFY(!save->isEnabled());
    typeInto(edit(dialog, "heightEdit"), QStringLiteral("100"));
    QVERIFY(save->isEnabled());
}

void TestExportDialog::formatList_data()
{
    QTest::addColumn<QStringList>("stored");
    QTest::addColumn<QStringList>("choices");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<QString>("selectedAtLastOpen");
    QTest::newRow("defaults, png kept")
        << QStringList() << QStringList { "png" } << QStringList() << "png";
    QTest::newRow("jpg twice") << QStringList() << QStringList { "jpg", "jpg" }
                               << QStringList { "jpg", "png" } << "jpg";
    QTest::newRow("jpg then bmp") << QStringList() << QStringList { "jpg", "bmp" }
                                  << QStringList { "bmp", "jpg", "png" } << "jpg";
    QTest::newRow("unknown first entry skipped")
        << QStringList { "nosuch", "bmp", "png" } << QStringList { "png" }
        << QStringList { "png", "nosuch", "bmp" } << "bmp";
}

void TestExportDialog::formatList()
{
    QFETCH(QStringList, stored);
    QFETCH(QStringList, choices);
    QFETCH(QStringList, expected);
    QFETCH(QString, selectedAtLastOpen);
    if (!stored.isEmpty())
        QSettings().setValue(SettingsKeys::PreferredExportFormats, stored);
    QString selected;
    for (const QString &choice : choices) {
        ExportDialog dialog(pixelPage);
        selected = dialog.format();
        auto *combo = dialog.findChild<QComboBox *>("formatComboBox");
        const int index = combo->findText(choice);
        QVERIFY(index >= 0);
        combo->setCurrentIndex(index);
        dialog.accept();
    }
    QCOMPARE(selected, selectedAtLastOpen);
    // An empty expectation: the list was never written.
    if (expected.isEmpty())
        QVERIFY(!QSettings().contains(SettingsKeys::PreferredExportFormats));
    else
        QCOMPARE(QSettings().value(SettingsKeys::PreferredExportFormats).toStringList(), expected);
}

void TestExportDialog::watermarkTextRemembered_data()
{
    QTest::addColumn<bool>("checked");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("remembered");
    QTest::newRow("checked") << true << "© Ana"
                             << "© Ana";
    QTest::newRow("unchecked") << false << "© Ana"
                               << "© Old";
    QTest::newRow("checked but empty") << true << ""
                                       << "© Old";
}

void TestExportDialog::watermarkTextRemembered()
{
    QFETCH(bool, checked);
    QFETCH(QString, text);
    QFETCH(QString, remembered);
    QSettings().setValue(SettingsKeys::WatermarkText, QStringLiteral("© Old"));
    // png already heads the list, so the format list is not written.
    ExportDialog dialog(pixelPage);
    QCOMPARE(dialog.findChild<QLineEdit *>("watermarkTextEdit")->text(), QStringLiteral("© Old"));
    QVERIFY(!dialog.watermarkEnabled());
    QCOMPARE(dialog.watermarkPosition(), 1);
    QCOMPARE(dialog.watermarkOpacity(), 30);
    dialog.findChild<QGroupBox *>("watermarkGroup")->setChecked(checked);
    dialog.findChild<QLineEdit *>("watermarkTextEdit")->setText(text);
    dialog.accept();
    QCOMPARE(QSettings().value(SettingsKeys::WatermarkText).toString(), remembered);
    QCOMPARE(dialog.settings().watermark, checked ? text : QString());
}

void TestExportDialog::qualityRememberedAndOnlyForLossyFormats()
{
    {
        ExportDialog dialog(pixelPage);
        auto *quality = dialog.findChild<QSpinBox *>("qualitySpinBox");
        QCOMPARE(quality->value(), 92);
        QVERIFY(!quality->isEnabled()); // png
        auto *combo = dialog.findChild<QComboBox *>("formatComboBox");
        combo->setCurrentIndex(combo->findText(QStringLiteral("jpg")));
        QVERIFY(quality->isEnabled());
        quality->setValue(70);
        dialog.accept();
    }
    ExportDialog again(pixelPage);
    QCOMPARE(again.format(), QStringLiteral("jpg"));
    QCOMPARE(again.quality(), 70);
    QCOMPARE(again.settings().quality, 70);
}

QTEST_MAIN(TestExportDialog)
#include "tst_exportdialog.moc"
