#include "exportflow.h"

#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QProgressDialog>
#include <QStandardPaths>

#include "model/document.h"
#include "ui/exportdialog.h"

namespace {

// Short renders finish before any dialog flickers up.
constexpr int ProgressDelayMs = 500;

// A window-modal progress dialog for the export path. Its hook is the one
// place where the interface is kept alive while a page renders.
class RenderProgress
{
public:
    RenderProgress(const QString &title, const QString &message, QWidget *parent)
        : m_dialog(message + QLatin1Char('\n') + ExportFlow::tr("Please, wait."),
            ExportFlow::tr("Cancel"), 0, 0, parent)
    {
        m_dialog.setWindowTitle(title);
        m_dialog.setWindowModality(Qt::WindowModal);
        m_dialog.setMinimumDuration(ProgressDelayMs);
        m_dialog.setAutoReset(false);
        m_dialog.setAutoClose(false);
        m_dialog.setValue(0);
    }

    PageExport::Progress hook()
    {
        return [this](int done, int total) {
            m_dialog.setMaximum(total);
            m_dialog.setValue(done); // lets events run while the dialog is modal
            return !m_dialog.wasCanceled();
        };
    }

private:
    QProgressDialog m_dialog;
};

void showAllocationFailure(QWidget *parent)
{
    QMessageBox::critical(parent,
        //: message box title
        ExportFlow::tr("Size of image is too big"),
        //: message box content
        ExportFlow::tr("Can't allocate image buffer"));
}

} // namespace

namespace {

ExportFlow::FileChooser &fileChooser()
{
    static ExportFlow::FileChooser chooser;
    return chooser;
}

} // namespace

bool ExportFlow::exportDocument(Document *document, QWidget *parent)
{
    if (!document)
        return false;
    ExportDialog dialog(document->pageSize(), parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    const QString format = dialog.format();
    QString path = fileChooser() ? fileChooser()(parent, format) : askFileName(parent, format);
    if (path.isEmpty())
        return false;
    if (QFileInfo(path).suffix().isEmpty())
        path += QLatin1Char('.') + format;
    return writeExport(document, path, dialog.settings(), parent);
}

void ExportFlow::setFileChooser(const FileChooser &chooser)
{
    fileChooser() = chooser;
}

QString ExportFlow::askFileName(QWidget *parent, const QString &format)
{
    QFileDialog files(parent,
        //: Export dialog title
        tr("Save image as"), QStandardPaths::writableLocation(QStandardPaths::PicturesLocation),
        tr("Image (*.%1)").arg(format));
    files.setAcceptMode(QFileDialog::AcceptSave);
    files.setFileMode(QFileDialog::AnyFile);
    files.setDefaultSuffix(format);
    if (files.exec() != QDialog::Accepted || files.selectedFiles().isEmpty())
        return QString();
    return files.selectedFiles().constFirst();
}

bool ExportFlow::writeExport(
    Document *document, const QString &path, const ExportSettings &settings, QWidget *parent)
{
    if (!document)
        return false;
    PageExport page(document, settings);
    PageExport::Result result;
    {
        RenderProgress progress(tr("Export"), tr("Export is in progress..."), parent);
        page.setProgress(progress.hook());
        result = page.write(path);
    }
    if (result == PageExport::Result::Failed) {
        if (page.allocationFailed())
            showAllocationFailure(parent);
        else
            QMessageBox::critical(parent,
                //: message box title
                tr("Export failed"),
                //: message box content
                tr("The image could not be saved as %1:\n%2")
                    .arg(QDir::toNativeSeparators(path), page.errorString()));
    }
    return result == PageExport::Result::Written;
}

QImage ExportFlow::renderImage(Document *document, const QSize &size, const QString &title,
    const QString &message, QWidget *parent)
{
    ExportSettings settings;
    settings.size = size;
    PageExport page(document, settings);
    QImage image;
    {
        RenderProgress progress(title, message, parent);
        page.setProgress(progress.hook());
        image = page.render(Qt::white);
    }
    if (image.isNull() && !page.wasCancelled())
        showAllocationFailure(parent);
    return image;
}

bool ExportFlow::printDocument(Document *document, QWidget *parent)
{
    if (!document)
        return false;
    QPrinter printer(QPrinter::HighResolution);
    QPrintDialog dialog(&printer);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return printOn(document, &printer, parent);
}

QSizeF ExportFlow::printTargetSize(const QSizeF &document, const QSizeF &printable)
{
    if (document.isEmpty() || printable.isEmpty())
        return QSizeF();
    if (document.width() / document.height() > printable.width() / printable.height())
        return QSizeF(printable.width(), document.height() * printable.width() / document.width());
    return QSizeF(document.width() * printable.height() / document.height(), printable.height());
}

bool ExportFlow::printOn(Document *document, QPrinter *printer, QWidget *parent)
{
    if (!document || !printer)
        return false;
    const int dpi = printer->resolution();
    const QSizeF printable = printer->pageLayout().paintRectPixels(dpi).size();
    const QSizeF target = printTargetSize(document->pageSize().pixelSize(dpi), printable);
    const QImage image
        = renderImage(document, target.toSize(), tr("Print"), tr("Preparing to print..."), parent);
    if (image.isNull())
        return false;
    QPainter painter;
    if (!painter.begin(printer))
        return false;
    // The picture at the top left corner of the printable area.
    const QRect viewport = painter.viewport();
    const QSize scaled = image.size().scaled(viewport.size(), Qt::KeepAspectRatio);
    painter.setViewport(viewport.x(), viewport.y(), scaled.width(), scaled.height());
    painter.setWindow(image.rect());
    painter.drawImage(0, 0, image);
    return painter.end();
}
