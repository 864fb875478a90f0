#pragma once

class Document;
class QWidget;

// The export and print commands of an editing window: the dialogs around
// the one render-and-write path that the command line uses too.
class ExportFlow
{
public:
    // Asks for the output (ExportDialog, then a file name), renders the
    // page and writes it; errors are shown to the user. True when a file
    // was written.
    static bool exportDocument(Document *document, QWidget *parent);
    // Asks for a printer and prints the page fitted onto its printable
    // area. True when the page was sent to the printer.
    static bool printDocument(Document *document, QWidget *parent);
};
