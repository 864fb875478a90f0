#pragma once

#include <QCoreApplication>
#include <QString>

#include <memory>

class Document;
class QIODevice;

// Opening and saving collage files, shared by the editing window and the
// command line. Failures come back as translated texts for a message box;
// nothing here shows one.
class DocumentFile
{
    Q_DECLARE_TR_FUNCTIONS(DocumentFile)

public:
    // Reads the collage at `path` into a new document. With an undo stack
    // (documents for editing windows) the stack comes back empty and clean:
    // what the file holds is the starting point, not an edit. Null when the
    // file cannot be opened ("Can't open file %1") or is damaged or of a
    // newer format ("File corrupted"); `errorText` then says which.
    static std::unique_ptr<Document> open(
        const QString &path, QString *errorText = nullptr, bool withUndoStack = true);

    // Writes the document to `path` through a temporary file that replaces
    // the old one only once it is complete, so a failing disk leaves the
    // previous version intact. On success the document's undo stack is
    // marked clean. On failure returns false with "Can't open %1" (the
    // file cannot be created) or "Can't write %1: %2" (%2 the system's
    // reason) in `errorText`, and the document stays modified.
    static bool save(Document *document, const QString &path, QString *errorText = nullptr);

    // The same on devices that are already open: null or false on any
    // failure.
    static std::unique_ptr<Document> read(QIODevice *device, bool withUndoStack = true);
    static bool write(const Document &document, QIODevice *device);

    // Message box titles for the texts above.
    static QString openErrorTitle();
    static QString saveErrorTitle();
};
