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

const PageSize tenByFifteenCm(PageSize::Centimeters, QSizeF(10, 15));
const PageSize pixelPage(PageSize::Pixels, QSizeF(1200, 800));

} // namespace

class TestExportDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings().clear(); }

    void initialSize_data()
    {
        QTest::addColumn<PageSize>("page");
        QTest::addColumn<QSize>("size");
        QTest::addColumn<QString>("resolution");
        QTest::newRow("10 x 15 cm at 300 dpi") << tenByFifteenCm << QSize(1181, 1772) << "300 DPI";
        QTest::newRow("pixels are scaled") << pixelPage << QSize(1200, 800) << "100 %";
    }

    void initialSize()
    {
        QFETCH(PageSize, page);
        QFETCH(QSize, size);
        QFETCH(QString, resolution);
        ExportDialog dialog(page);
        QCOMPARE(dialog.imageSize(), size);
        QCOMPARE(edit(dialog, "widthEdit")->text(), QString::number(size.width()));
        QCOMPARE(edit(dialog, "heightEdit")->text(), QString::number(size.height()));
        QCOMPARE(edit(dialog, "dpiLineEdit")->text() + ' '
                + dialog.findChild<QLabel *>("dpiLabel")->text(),
            resolution);
        QCOMPARE(dialog.settings().resolution.isEmpty(), page.units() == PageSize::Pixels);
    }

    void typing_data()
    {
        QTest::addColumn<PageSize>("page");
        QTest::addColumn<QStringList>("typed"); // "edit=text", in order
        QTest::addColumn<QString>("shown"); // "width x height at resolution", if checked
        QTest::addColumn<bool>("canSave");

        const PageSize cm = tenByFifteenCm;
        // 591 px over 10 cm is 150.114 dpi; the height of 886.5 is truncated.
        QTest::newRow("width moves dpi and height")
            << cm << QStringList { "widthEdit=591" } << "591 x 886 at 150.114" << true;
        QTest::newRow("height moves width")
            << cm << QStringList { "widthEdit=591", "heightEdit=1772" } << "1181 x 1772 at 300.059"
            << true;
        // 10 / 2.54 x 150 = 590.55 and 15 / 2.54 x 150 = 885.83, rounded.
        QTest::newRow("typed dpi stays as typed")
            << cm << QStringList { "dpiLineEdit=150.0" } << "591 x 886 at 150.0" << true;
        QTest::newRow("scale on pixel pages")
            << pixelPage << QStringList { "dpiLineEdit=50", "widthEdit=300" } << "300 x 200 at 25"
            << true;
        QTest::newRow("letters refused")
            << cm << QStringList { "widthEdit=6x0", "dpiLineEdit=2a0" } << "79 x 118 at 20" << true;
        QTest::newRow("empty height") << cm << QStringList { "heightEdit=" } << "" << false;
        QTest::newRow("zero height") << cm << QStringList { "heightEdit=0" } << "" << false;
        QTest::newRow("height again")
            << cm << QStringList { "heightEdit=0", "heightEdit=100" } << "" << true;
    }

    // Types into the edits as a user would: focus, select all, keys.
    void typing()
    {
        QFETCH(PageSize, page);
        QFETCH(QStringList, typed);
        QFETCH(QString, shown);
        QFETCH(bool, canSave);

        ExportDialog dialog(page);
        dialog.show();
        QVERIFY(QTest::qWaitForWindowActive(&dialog));
        for (const QString &step : typed) {
            QLineEdit *field = edit(dialog, qPrintable(step.section('=', 0, 0)));
            field->setFocus();
            QVERIFY(field->hasFocus());
            field->selectAll();
            QTest::keyClick(field, Qt::Key_Delete);
            QTest::keyClicks(field, step.section('=', 1));
        }
        const QString width = edit(dialog, "widthEdit")->text();
        const QString height = edit(dialog, "heightEdit")->text();
        if (!shown.isEmpty())
            QCOMPARE(width + " x " + height + " at " + edit(dialog, "dpiLineEdit")->text(), shown);
        if (canSave)
            QCOMPARE(dialog.imageSize(), QSize(width.toInt(), height.toInt()));
        QCOMPARE(dialog.findChild<QDialogButtonBox *>("buttonBox")
                     ->button(QDialogButtonBox::Save)
                     ->isEnabled(),
            canSave);
    }

    void formatList_data()
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

    void formatList()
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
            QCOMPARE(
                QSettings().value(SettingsKeys::PreferredExportFormats).toStringList(), expected);
    }

    void watermarkTextRemembered_data()
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

    void watermarkTextRemembered()
    {
        QFETCH(bool, checked);
        QFETCH(QString, text);
        QFETCH(QString, remembered);
        QSettings().setValue(SettingsKeys::WatermarkText, QStringLiteral("© Old"));
        // png already heads the list, so the format list is not written.
        ExportDialog dialog(pixelPage);
        QCOMPARE(
            dialog.findChild<QLineEdit *>("watermarkTextEdit")->text(), QStringLiteral("© Old"));
        dialog.findChild<QGroupBox *>("watermarkGroup")->setChecked(checked);
        dialog.findChild<QLineEdit *>("watermarkTextEdit")->setText(text);
        dialog.accept();
        QCOMPARE(QSettings().value(SettingsKeys::WatermarkText).toString(), remembered);
        QCOMPARE(dialog.settings().watermark, checked ? text : QString());
    }

    void qualityRememberedAndOnlyForLossyFormats()
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
};

QTEST_MAIN(TestExportDialog)
#include "tst_exportdialog.moc"
