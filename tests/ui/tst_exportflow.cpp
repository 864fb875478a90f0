#include <QtTest>

#include <QComboBox>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QStandardPaths>
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

const QColor PageColor(20, 60, 200);

std::unique_ptr<Document> makeDocument(const PageSize &size)
{
    auto document = std::make_unique<Document>(false);
    document->setPageSize(size);
    auto *theme = new SceneTestTheme(document.get());
    theme->background->setColor(PageColor);
    document->setTheme(theme);
    return document;
}

bool isPageColor(const QColor &c)
{
    return qAbs(c.red() - PageColor.red()) < 24 && qAbs(c.green() - PageColor.green()) < 24
        && qAbs(c.blue() - PageColor.blue()) < 24;
}

} // namespace

class TestExportFlow : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void printTargetSize_data()
    {
        QTest::addColumn<QSizeF>("document");
        QTest::addColumn<QSizeF>("printable");
        QTest::addColumn<QSizeF>("target");
        QTest::newRow("square on portrait")
            << QSizeF(600, 600) << QSizeF(1000, 1500) << QSizeF(1000, 1000);
        QTest::newRow("wide on portrait")
            << QSizeF(800, 400) << QSizeF(1000, 1500) << QSizeF(1000, 500);
        QTest::newRow("tall on landscape")
            << QSizeF(400, 800) << QSizeF(1500, 1000) << QSizeF(500, 1000);
        QTest::newRow("no page") << QSizeF() << QSizeF(1500, 1000) << QSizeF();
    }

    void printTargetSize()
    {
        QFETCH(QSizeF, document);
        QFETCH(QSizeF, printable);
        QFETCH(QSizeF, target);
        QCOMPARE(ExportFlow::printTargetSize(document, printable), target);
    }

    void printSquarePageOnPortraitPaper()
    {
        const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
        if (pdftoppm.isEmpty())
            QSKIP("pdftoppm (poppler-utils) is not installed.");
        QTemporaryDir folder;
        const auto document = makeDocument(PageSize(PageSize::Centimeters, QSizeF(10, 10)));
        QPrinter printer(QPrinter::HighResolution);
        printer.setResolution(150);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(folder.filePath(QStringLiteral("print.pdf")));
        printer.setPageSize(QPageSize(QPageSize::A4));
        printer.setPageOrientation(QPageLayout::Portrait);
        printer.setPageMargins(QMarginsF(10, 10, 10, 10), QPageLayout::Millimeter);
        QVERIFY(ExportFlow::printOn(document.get(), &printer, nullptr));

        QProcess convert;
        convert.start(pdftoppm,
            { QStringLiteral("-r"), QStringLiteral("25.4"), QStringLiteral("-png"),
                QStringLiteral("-singlefile"), folder.filePath(QStringLiteral("print.pdf")),
                folder.filePath(QStringLiteral("page")) });
        QVERIFY(convert.waitForFinished(60000));
        QCOMPARE(convert.exitCode(), 0);
        // At 25.4 dpi one pixel is one millimetre: A4 is 210 x 297, the
        // printable area 190 x 277 from (10, 10), the square page 190 x 190.
        const QImage page(folder.filePath(QStringLiteral("page.png")));
        QVERIFY(qAbs(page.width() - 210) <= 1 && qAbs(page.height() - 297) <= 1);
        for (const QPoint point :
            { QPoint(12, 12), QPoint(197, 12), QPoint(12, 197), QPoint(105, 105) })
            QVERIFY(isPageColor(page.pixelColor(point)));
        for (const QPoint point : { QPoint(5, 5), QPoint(105, 204), QPoint(105, 280) })
            QCOMPARE(page.pixelColor(point), QColor(Qt::white));
    }

    void exportThroughTheDialogs_data()
    {
        QTest::addColumn<QString>("format");
        QTest::newRow("png") << "png";
        QTest::newRow("jpg") << "jpg";
        QTest::newRow("webp") << "webp";
        QTest::newRow("pdf") << "pdf";
    }

    void exportThroughTheDialogs()
    {
        QFETCH(QString, format);
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
        QVERIFY2(QFileInfo(path).size() > 0, qPrintable(path));
        if (format == QLatin1String("pdf")) {
            QFile pdf(path);
            QVERIFY(pdf.open(QIODevice::ReadOnly) && pdf.read(5) == "%PDF-");
        } else {
            QCOMPARE(QImage(path).size(), QSize(472, 354)); // 4 x 3 cm at 300 dpi
        }
        QCOMPARE(
            QSettings().value(SettingsKeys::PreferredExportFormats).toStringList().value(0, "png"),
            format);
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

QTEST_MAIN(TestExportFlow)
#include "tst_exportflow.moc"
