#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "ui/pagesetupdialog.h"
#include "ui/uitestdata.h"

namespace {

QString shown(const PageSetupDialog &dialog)
{
    return child<QDoubleSpinBox>(dialog, "widthEdit")->text() + QLatin1String(" x ")
        + child<QDoubleSpinBox>(dialog, "heightEdit")->text();
}

} // namespace

class TestPageSetupDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opening()
    {
        PageSetupDialog dialog(
            PageSize(PageSize::Inches, QSizeF(4, 6), QStringLiteral("Postcard")));
        auto *name = child<QLineEdit>(dialog, "nameEdit");
        QCOMPARE(shown(dialog), QStringLiteral("4.00 in x 6.00 in"));
        QVERIFY(child<QRadioButton>(dialog, "portraitButton")->isChecked());
        // The name is not carried over; the field proposes the description.
        QCOMPARE(dialog.editedPageSize().name(), QString());
        QCOMPARE(name->text(), QStringLiteral("4\" x 6\""));
        QVERIFY(!name->isEnabled());
        child<QCheckBox>(dialog, "saveCheckBox")->setChecked(true);
        QVERIFY(name->isEnabled() && dialog.saveForQuickAccess());
    }

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
        QTest::newRow("pixels to centimetres at 254 dpi")
            << instagram << 254 << QList<int> { PageSize::Centimeters }
            << QStringList { "10.80 cm x 13.50 cm" } << QSizeF(10.8, 13.5);
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
        QCOMPARE(dialog.dpi(), dpi);
        QCOMPARE(shown(dialog), before);
        QSignalSpy unitsChanged(&dialog, &PageSetupDialog::unitsChanged);
        for (int i = 0; i < steps.size(); ++i) {
            child<QComboBox>(dialog, "unitsCombo")->setCurrentIndex(steps.at(i));
            QCOMPARE(shown(dialog), texts.at(i));
        }
        QCOMPARE(unitsChanged.size(), steps.size());
        QCOMPARE(dialog.editedPageSize(), PageSize(steps.last(), result));
    }

    void orientation_data()
    {
        QTest::addColumn<QSizeF>("size");
        QTest::addColumn<bool>("clickLandscape");
        QTest::addColumn<QSizeF>("expected");
        QTest::addColumn<bool>("portraitChecked");

        QTest::newRow("portrait to landscape") << QSizeF(4, 6) << true << QSizeF(6, 4) << false;
        QTest::newRow("landscape to portrait") << QSizeF(6, 4) << false << QSizeF(4, 6) << true;
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
        QSignalSpy orientationChanged(&dialog, &PageSetupDialog::pageOrienationChanged);
        (clickLandscape ? child<QRadioButton>(dialog, "landscapeButton") : portrait)->click();
        QCOMPARE(orientationChanged.size(), 1);
        QCOMPARE(
            QSizeF(width->value(), child<QDoubleSpinBox>(dialog, "heightEdit")->value()), expected);
        QCOMPARE(portrait->isChecked(), portraitChecked);
        QCOMPARE(dialog.pageOrientation(), portraitChecked ? 0 : 1);

        // Typing a size that turns the page moves the check mark.
        width->setValue(expected.height() * 2);
        QVERIFY(!portrait->isChecked());
        QCOMPARE(dialog.pageOrientation(), 1);
    }

    void nameFollowsSizeUntilTyped()
    {
        PageSetupDialog dialog(PageSize(PageSize::Pixels, QSizeF(1080, 1080)));
        auto *name = child<QLineEdit>(dialog, "nameEdit");
        dialog.show();
        QCOMPARE(name->text(), QStringLiteral("1080px Square"));
        child<QDoubleSpinBox>(dialog, "heightEdit")->setValue(1350);
        QCOMPARE(name->text(), QStringLiteral("1080px x 1350px"));
        child<QComboBox>(dialog, "unitsCombo")->setCurrentIndex(PageSize::Inches);
        QCOMPARE(name->text(), QStringLiteral("3.6\" x 4.5\""));

        child<QCheckBox>(dialog, "saveCheckBox")->setChecked(true);
        name->setFocus();
        name->selectAll();
        QTest::keyClicks(name, QStringLiteral("Flyer"));
        child<QDoubleSpinBox>(dialog, "widthEdit")->setValue(5);
        QCOMPARE(dialog.editedPageSize(),
            PageSize(PageSize::Inches, QSizeF(5, 4.5), QStringLiteral("Flyer")));
    }
};

QTEST_MAIN(TestPageSetupDialog)
#include "tst_pagesetupdialog.moc"
