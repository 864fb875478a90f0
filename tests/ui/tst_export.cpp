#include <QtTest>

#include <QComboBox>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>
#include <QSpinBox>
#include <QTemporaryDir>

#include <memory>

#include "app/settingskeys.h"
#include "model/document.h"
#include "scene/scenetesttheme.h"
#include "support/modalanswerer.h"
#include "ui/exportdialog.h"
#include "ui/exportflow.h"
#include "ui/uitestdata.h"

namespace {

const PageSize tenByFifteenCm(PageSize::Centimeters, QSizeF(10, 15));
const PageSize pixelPage(PageSize::Pixels, QSizeF(1200, 800));

std::unique_ptr<Document> makeDocument(const PageSize &size)
{
    auto document = std::make_unique<Document>(false);
    document->setPageSize(size);
    document->setTheme(new SceneTestTheme(document.get()));
    return document;
}

} // namespace

// The export dialog, then the ways out of it: files, print and failures.
class TestExport : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { QSettings().clear(); }

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
            QLineEdit *field = child<QLineEdit>(dialog, qPrintable(step.section('=', 0, 0)));
            field->setFocus();
            field->selectAll();
            QTest::keyClick(field, Qt::Key_Delete);
            QTest::keyClicks(field, step.section('=', 1));
        }
        const QString width = child<QLineEdit>(dialog, "widthEdit")->text();
        const QString height = child<QLineEdit>(dialog, "heightEdit")->text();
        if (!shown.isEmpty())
            QCOMPARE(
                width + " x " + height + " at " + child<QLineEdit>(dialog, "dpiLineEdit")->text(),
                shown);
        // Only a page with a physical size states a resolution.
        if (canSave) {
            QCOMPARE(dialog.imageSize(), QSize(width.toInt(), height.toInt()));
            QCOMPARE(dialog.settings().resolution.isEmpty(), page.units() == PageSize::Pixels);
        }
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
            combo->setCurrentIndex(combo->findText(choice));
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
        const QString ana = QStringLiteral("© Ana"), old = QStringLiteral("© Old");
        QTest::newRow("checked") << true << ana << ana;
        QTest::newRow("unchecked") << false << ana << old;
        QTest::newRow("checked but empty") << true << QString() << old;
    }

    void watermarkTextRemembered()
    {
        QFETCH(bool, checked);
        QFETCH(QString, text);
        QFETCH(QString, remembered);
        QSettings().setValue(SettingsKeys::WatermarkText, QStringLiteral("© Old"));
        // png already heads the list, so the format list is not written.
        ExportDialog dialog(pixelPage);
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
            QVERIFY(!quality->isEnabled()); // png
            auto *combo = dialog.findChild<QComboBox *>("formatComboBox");
            combo->setCurrentIndex(combo->findText(QStringLiteral("jpg")));
            QVERIFY(quality->isEnabled());
            quality->setValue(70);
            dialog.accept();
        }
        ExportDialog again(pixelPage);
        QCOMPARE(again.settings().quality, 70);
    }

    // The page fills the printable area as far as its shape allows.
    void printTargetSize()
    {
        const QSizeF portrait(1000, 1500);
        QCOMPARE(ExportFlow::printTargetSize(QSizeF(600, 600), portrait), QSizeF(1000, 1000));
        QCOMPARE(ExportFlow::printTargetSize(QSizeF(800, 400), portrait), QSizeF(1000, 500));
        QCOMPARE(ExportFlow::printTargetSize(QSizeF(), portrait), QSizeF());
    }

    void exportThroughTheDialogs()
    {
        const QString format = QStringLiteral("jpg");
        if (!PageExport::formats().contains(format.toLatin1()))
            QSKIP("The image writer lacks this format here.");
        QTemporaryDir folder;
        const auto document = makeDocument(PageSize(PageSize::Centimeters, QSizeF(4, 3)));
        // The user picks the format, then names the file without its suffix.
        bool fileAnswered = false;
        ExportFlow::setFileChooser([&](QWidget *, const QString &chosen) {
            fileAnswered = chosen == format;
            return folder.filePath(QStringLiteral("collage"));
        });
        const auto restore = qScopeGuard([] { ExportFlow::setFileChooser({}); });
        ModalAnswerer answerer;
        answerer.enqueue([&](QWidget *widget) {
            auto *dialog = qobject_cast<ExportDialog *>(widget);
            if (!dialog) {
                widget->close();
                return;
            }
            auto *combo = child<QComboBox>(*dialog, "formatComboBox");
            combo->setCurrentIndex(combo->findText(format));
            dialog->accept();
        });
        QVERIFY(ExportFlow::exportDocument(document.get(), nullptr));
        QVERIFY(answerer.pending() == 0 && fileAnswered);
        const QString path = folder.filePath(QStringLiteral("collage.") + format);
        QCOMPARE(QImage(path).size(), QSize(472, 354)); // 4 x 3 cm at 300 dpi
    }

    void failedExportIsReportedAndKeepsOldFile()
    {
        QTemporaryDir folder;
        const auto document = makeDocument(PageSize(PageSize::Pixels, QSizeF(300, 200)));
        // A path whose folder is a file cannot be written, not even by root.
        const QString blocker = folder.filePath(QStringLiteral("blocker"));
        {
            QFile file(blocker);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("old");
        }
        ExportSettings settings;
        settings.size = QSize(300, 200);
        ModalAnswerer answerer;
        QVERIFY(!ExportFlow::writeExport(
            document.get(), blocker + QStringLiteral("/out.png"), settings, nullptr));
        QCOMPARE(answerer.seen().size(), 1);
        const QString seen = answerer.seen().constFirst();
        QVERIFY2(seen.startsWith(QStringLiteral("Export failed|"))
                && seen.contains(QStringLiteral("out.png")),
            qPrintable(seen));
        QFile file(blocker);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), QByteArray("old"));
    }

    void oversizedRenderIsReported()
    {
        const auto document = makeDocument(PageSize(PageSize::Pixels, QSizeF(300, 200)));
        ModalAnswerer answerer;
        QVERIFY(ExportFlow::renderImage(document.get(), QSize(2000000, 2000000),
            QStringLiteral("Export"), QStringLiteral("..."), nullptr)
                    .isNull());
        QCOMPARE(answerer.seen(),
            QStringList { QStringLiteral("Size of image is too big|Can't allocate image buffer") });
    }
};

QTEST_MAIN(TestExport)
#include "tst_export.moc"
