#include <QtTest>

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QMessageBox>
#include <QPrinter>
#include <QProcess>
#include <QSettings>
#include <QSpinBox>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTimer>

#include <memory>

#include "model/document.h"
#include "scene/scenetesttheme.h"
#include "ui/exportdialog.h"
#include "ui/exportflow.h"

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

// Answers the next message box, noting its title and text.
struct MessageBoxAnswer
{
    QString title;
    QString text;

    void arm()
    {
        QTimer::singleShot(0, qApp, [this] { answer(); });
    }
    void answer()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box) {
            QTimer::singleShot(10, qApp, [this] { answer(); });
            return;
        }
        title = box->windowTitle();
        text = box->text();
        box->accept();
    }
};

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
    void printTargetSize_data();
    void printTargetSize();
    void printSquarePageOnPortraitPaper();
    void exportWritesTheChosenFile();
    void exportThroughTheDialogs_data();
    void exportThroughTheDialogs();
    void failedExportIsReportedAndKeepsOldFile();
    void oversizedRenderIsReported();
};

void TestExportFlow::printTargetSize_data()
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

void TestExportFlow::printTargetSize()
{
    QFETCH(QSizeF, document);
    QFETCH(QSizeF, printable);
    QFETCH(QSizeF, target);
    QCOMPARE(ExportFlow::printTargetSize(document, printable), target);
}

void TestExportFlow::printSquarePageOnPortraitPaper()
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
    QVERIFY(isPageColor(page.pixelColor(12, 12)));
    QVERIFY(isPageColor(page.pixelColor(197, 12)));
    QVERIFY(isPageColor(page.pixelColor(12, 197)));
    QVERIFY(isPageColor(page.pixelColor(105, 105)));
    QCOMPARE(page.pixelColor(5, 5), QColor(Qt::white));
    QCOMPARE(page.pixelColor(105, 204), QColor(Qt::white));
    QCOMPARE(page.pixelColor(105, 280), QColor(Qt::white));
}

void TestExportFlow::exportWritesTheChosenFile()
{
    QTemporaryDir folder;
    const auto document = makeDocument(PageSize(PageSize::Pixels, QSizeF(300, 200)));
    for (const char *format : { "png", "jpg", "pdf" }) {
        ExportSettings settings;
        settings.format = format;
        settings.size = QSize(300, 200);
        const QString path = folder.filePath(QStringLiteral("out.") + QString::fromLatin1(format));
        QVERIFY(ExportFlow::writeExport(document.get(), path, settings, nullptr));
        QVERIFY(QFileInfo(path).size() > 0);
    }
    QCOMPARE(QImage(folder.filePath("out.jpg")).size(), QSize(300, 200));
    QFile pdf(folder.filePath("out.pdf"));
    QVERIFY(pdf.open(QIODevice::ReadOnly));
    QVERIFY(pdf.read(5) == "%PDF-");
}

void TestExportFlow::exportThroughTheDialogs_data()
{
    QTest::addColumn<QString>("format");
    QTest::newRow("png") << "png";
    QTest::newRow("jpg") << "jpg";
    QTest::newRow("webp") << "webp";
    QTest::newRow("pdf") << "pdf";
}

void TestExportFlow::exportThroughTheDialogs()
{
    QFETCH(QString, format);
    if (!PageExport::formats().contains(format.toLatin1()))
        QSKIP("The image writer lacks this format here.");
    QTemporaryDir folder;
    const auto document = makeDocument(PageSize(PageSize::Centimeters, QSizeF(4, 3)));
    // The user picks the format, then names the file without its suffix.
    bool exportAnswered = false, fileAnswered = false;
    ExportFlow::setFileChooser([&](QWidget *, const QString &chosen) {
        fileAnswered = chosen == format;
        return folder.filePath(QStringLiteral("collage"));
    });
    const auto restore = qScopeGuard([] { ExportFlow::setFileChooser({}); });
    std::function<void()> answer = [&] {
        if (auto *dialog = qobject_cast<ExportDialog *>(QApplication::activeModalWidget())) {
            auto *combo = dialog->findChild<QComboBox *>(QStringLiteral("formatComboBox"));
            combo->setCurrentIndex(combo->findText(format));
            dialog->accept();
            exportAnswered = true;
            return;
        }
        QTimer::singleShot(10, qApp, answer);
    };
    QTimer::singleShot(0, qApp, answer);
    QVERIFY(ExportFlow::exportDocument(document.get(), nullptr));
    QVERIFY(exportAnswered && fileAnswered);
    const QString path = folder.filePath(QStringLiteral("collage.") + format);
    QVERIFY2(QFileInfo(path).size() > 0, qPrintable(path));
    if (format != QLatin1String("pdf")) {
        // 4 x 3 cm at 300 dpi.
        QCOMPARE(QImage(path).size(), QSize(472, 354));
    }
    const QStringList preferred
        = QSettings()
              .value(QStringLiteral("preferedExportFormats"), QStringList { QStringLiteral("png") })
              .toStringList();
    QCOMPARE(preferred.value(0), format);
}

void TestExportFlow::failedExportIsReportedAndKeepsOldFile()
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
    MessageBoxAnswer answer;
    answer.arm();
    QVERIFY(!ExportFlow::writeExport(
        document.get(), blocker + QStringLiteral("/out.png"), settings, nullptr));
    QCOMPARE(answer.title, QStringLiteral("Export failed"));
    QVERIFY2(answer.text.contains(QStringLiteral("out.png")), qPrintable(answer.text));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
}

void TestExportFlow::oversizedRenderIsReported()
{
    const auto document = makeDocument(PageSize(PageSize::Pixels, QSizeF(300, 200)));
    MessageBoxAnswer answer;
    answer.arm();
    const QImage image = ExportFlow::renderImage(document.get(), QSize(2000000, 2000000),
        QStringLiteral("Export"), QStringLiteral("..."), nullptr);
    QVERIFY(image.isNull());
    QCOMPARE(answer.title, QStringLiteral("Size of image is too big"));
    QCOMPARE(answer.text, QStringLiteral("Can't allocate image buffer"));
}

QTEST_MAIN(TestExportFlow)
#include "tst_exportflow.moc"
