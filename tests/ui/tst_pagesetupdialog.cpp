#include <QtTest>

#include <QCheckBox>
#include <QComboBox>
#include <QDoubleSpinBox>
#include <QLineEdit>
#include <QRadioButton>
#include <QSpinBox>

#include "ui/pagesetupdialog.h"

namespace {

struct Widgets
{
    explicit Widgets(PageSetupDialog &dialog)
        : units(dialog.findChild<QComboBox *>(QStringLiteral("unitsCombo")))
        , width(dialog.findChild<QDoubleSpinBox *>(QStringLiteral("widthEdit")))
        , height(dialog.findChild<QDoubleSpinBox *>(QStringLiteral("heightEdit")))
        , dpi(dialog.findChild<QSpinBox *>(QStringLiteral("dpiBox")))
        , portrait(dialog.findChild<QRadioButton *>(QStringLiteral("portraitButton")))
        , landscape(dialog.findChild<QRadioButton *>(QStringLiteral("landscapeButton")))
        , save(dialog.findChild<QCheckBox *>(QStringLiteral("saveCheckBox")))
        , name(dialog.findChild<QLineEdit *>(QStringLiteral("nameEdit")))
    {
    }

    QString shown() const { return width->text() + QLatin1String(" x ") + height->text(); }

    QComboBox *units;
    QDoubleSpinBox *width;
    QDoubleSpinBox *height;
    QSpinBox *dpi;
    QRadioButton *portrait;
    QRadioButton *landscape;
    QCheckBox *save;
    QLineEdit *name;
};

} // namespace

class TestPageSetupDialog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void opening();
    void unitConversion_data();
    void unitConversion();
    void orientation_data();
    void orientation();
    void nameFollowsSizeUntilTyped();
};

void TestPageSetupDialog::opening()
{
    PageSetupDialog dialog(PageSize(PageSize::Inches, QSizeF(4, 6), QStringLiteral("Postcard")));
    Widgets w(dialog);
    QVERIFY(
        w.units && w.width && w.height && w.dpi && w.portrait && w.landscape && w.save && w.name);
    QCOMPARE(dialog.windowTitle(), QStringLiteral("Page setup"));
    QCOMPARE(w.units->currentIndex(), int(PageSize::Inches));
    QCOMPARE(w.shown(), QStringLiteral("4.00 in x 6.00 in"));
    QCOMPARE(w.dpi->value(), 300);
    QVERIFY(w.portrait->isChecked());
    // The name is not carried over; the field proposes the description.
    QCOMPARE(dialog.editedPageSize().name(), QString());
    QCOMPARE(w.name->text(), QStringLiteral("4\" x 6\""));
    QVERIFY(!w.name->isEnabled());
    w.save->setChecked(true);
    QVERIFY(w.name->isEnabled());
    QVERIFY(dialog.saveForQuickAccess());
}

void TestPageSetupDialog::unitConversion_data()
{
    QTest::addColumn<PageSize>("page");
    QTest::addColumn<int>("dpi");
    QTest::addColumn<QList<int>>("steps");
    QTest::addColumn<QStringList>("shown");
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
        << PageSize(PageSize::Inches, QSizeF(4, 6)) << 72 << QList<int> { PageSize::Centimeters }
        << QStringList { "10.16 cm x 15.24 cm" } << QSizeF(10.16, 15.24);
    QTest::newRow("centimetres to pixels at 600 dpi")
        << PageSize(PageSize::Centimeters, QSizeF(2.54, 5.08)) << 600
        << QList<int> { PageSize::Pixels } << QStringList { "600 px x 1200 px" }
        << QSizeF(600, 1200);
}

void TestPageSetupDialog::unitConversion()
{
    QFETCH(PageSize, page);
    QFETCH(int, dpi);
    QFETCH(QList<int>, steps);
    QFETCH(QStringList, shown);
    QFETCH(QSizeF, result);

    PageSetupDialog dialog(page);
    Widgets w(dialog);
    const QString before = w.shown();
    w.dpi->setValue(dpi);
    QCOMPARE(dialog.dpi(), dpi);
    QCOMPARE(w.shown(), before);
    QSignalSpy unitsChanged(&dialog, &PageSetupDialog::unitsChanged);
    for (int i = 0; i < steps.size(); ++i) {
        w.units->setCurrentIndex(steps.at(i));
        QCOMPARE(w.shown(), shown.at(i));
        QCOMPARE(dialog.units(), steps.at(i));
    }
    QCOMPARE(unitsChanged.size(), steps.size());
    const PageSize edited = dialog.editedPageSize();
    QCOMPARE(edited.units(), steps.last());
    QCOMPARE(edited.size(), result);
}

void TestPageSetupDialog::orientation_data()
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

void TestPageSetupDialog::orientation()
{
    QFETCH(QSizeF, size);
    QFETCH(bool, clickLandscape);
    QFETCH(QSizeF, expected);
    QFETCH(bool, portraitChecked);

    PageSetupDialog dialog(PageSize(PageSize::Inches, size));
    Widgets w(dialog);
    dialog.show();
    QSignalSpy orientationChanged(&dialog, &PageSetupDialog::pageOrienationChanged);
    QTest::mouseClick(clickLandscape ? w.landscape : w.portrait, Qt::LeftButton);
    QCOMPARE(orientationChanged.size(), 1);
    QCOMPARE(dialog.pageSize(), expected);
    QCOMPARE(w.width->value(), expected.width());
    QCOMPARE(w.height->value(), expected.height());
    QCOMPARE(w.portrait->isChecked(), portraitChecked);
    QCOMPARE(dialog.pageOrientation(), portraitChecked ? 0 : 1);

    // Typing a size that turns the page moves the check mark.
    w.width->setValue(expected.height() * 2);
    QVERIFY(w.landscape->isChecked());
    QCOMPARE(dialog.pageOrientation(), 1);
}

void TestPageSetupDialog::nameFollowsSizeUntilTyped()
{
    PageSetupDialog dialog(PageSize(PageSize::Pixels, QSizeF(1080, 1080)));
    Widgets w(dialog);
    dialog.show();
    QCOMPARE(w.name->text(), QStringLiteral("1080px Square"));
    w.height->setValue(1350);
    QCOMPARE(w.name->text(), QStringLiteral("1080px x 1350px"));
    w.units->setCurrentIndex(PageSize::Inches);
    QCOMPARE(w.name->text(), QStringLiteral("3.6\" x 4.5\""));

    w.save->setChecked(true);
    w.name->setFocus();
    w.name->selectAll();
    QTest::keyClicks(w.name, QStringLiteral("Flyer"));
    w.width->setValue(5);
    QCOMPARE(w.name->text(), QStringLiteral("Flyer"));
    QCOMPARE(dialog.editedPageSize(),
        PageSize(PageSize::Inches, QSizeF(5, 4.5), QStringLiteral("Flyer")));
}

QTEST_MAIN(TestPageSetupDialog)
#include "tst_pagesetupdialog.moc"
