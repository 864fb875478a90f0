#pragma once

#include <QCoreApplication>

#include <QImage>
#include <QSize>
#include <QString>
#include <functional>

#include "scene/pageexport.h"

class Document;
class QPrinter;
class QWidget;

// The export and print commands of an editing window: the dialogs and the
// waiting around the render-and-write path that the command line uses too.
class ExportFlow
{
    Q_DECLARE_TR_FUNCTIONS(ExportFlow)

public:
    // Asks for the output (ExportDialog, then a file name), renders the
    // page and writes it; errors are shown to the user. True when a file
    // was written.
    static bool exportDocument(Document *document, QWidget *parent);
    // Asks for a printer and prints the page fitted onto its printable
    // area. True when the page was sent to the printer.
    static bool printDocument(Document *document, QWidget *parent);

    // The steps after the dialogs. writeExport renders and writes `path`
    // under a progress dialog that can cancel; a failure is shown in a
    // message box and leaves an existing file as it was.
    static bool writeExport(
        Document *document, const QString &path, const ExportSettings &settings, QWidget *parent);
    static bool printOn(Document *document, QPrinter *printer, QWidget *parent);

    // The page rendered at `size` under a progress dialog titled `title`;
    // a null image (after telling the user) when it cannot be allocated,
    // or when the user cancelled.
    static QImage renderImage(Document *document, const QSize &size, const QString &title,
        const QString &message, QWidget *parent);
    // The size the page takes on a printable area: the whole width or the
    // whole height of it, the page's proportions kept. Invalid when either
    // size is.
    static QSizeF printTargetSize(const QSizeF &document, const QSizeF &printable);

    // Where the exported file goes: a save dialog by default; tests answer
    // without one. An empty path cancels.
    using FileChooser = std::function<QString(QWidget *parent, const QString &format)>;
    static void setFileChooser(const FileChooser &chooser);

private:
    static QString askFileName(QWidget *parent, const QString &format);
};
