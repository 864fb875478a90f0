#include "documentfile.h"

#include <QDataStream>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include "io/documentstreams.h"
#include "model/document.h"
#include "undo/undostack.h"

namespace {

void setText(QString *target, const QString &text)
{
    if (target)
        *target = text;
}

} // namespace

std::unique_ptr<Document> DocumentFile::open(
    const QString &path, QString *errorText, bool withUndoStack)
{
    // Only regular files: a directory fails to read, and a pipe or device
    // named by a command line could block the program on opening.
    QFile file(path);
    if (!QFileInfo(path).isFile() || !file.open(QIODevice::ReadOnly)) {
        setText(errorText, tr("Can't open file %1", "message box content").arg(path));
        return nullptr;
    }
    std::unique_ptr<Document> document = read(&file, withUndoStack);
    if (!document)
        setText(errorText, tr("File corrupted", "message box content"));
    return document;
}

bool DocumentFile::save(Document *document, const QString &path, QString *errorText)
{
    QSaveFile file(path);
    if (!document || !file.open(QIODevice::WriteOnly)) {
        setText(errorText, tr("Can't open %1").arg(path));
        return false;
    }
    if (!write(*document, &file)) {
        file.cancelWriting();
        setText(errorText, tr("Can't write %1: %2").arg(path, file.errorString()));
        return false;
    }
    // Buffered data reaches the disk here; a full disk may show only now.
    if (!file.commit()) {
        setText(errorText, tr("Can't write %1: %2").arg(path, file.errorString()));
        return false;
    }
    if (UndoStack *stack = document->undoStack())
        stack->setClean();
    return true;
}

std::unique_ptr<Document> DocumentFile::read(QIODevice *device, bool withUndoStack)
{
    if (!device || !device->isReadable())
        return nullptr;
    auto document = std::make_unique<Document>(withUndoStack);
    QDataStream stream(device);
    stream >> *document;
    if (stream.status() != QDataStream::Ok)
        return nullptr;
    if (UndoStack *stack = document->undoStack())
        stack->clear();
    return document;
}

bool DocumentFile::write(const Document &document, QIODevice *device)
{
    if (!device || !device->isWritable())
        return false;
    QDataStream stream(device);
    stream << document;
    return stream.status() == QDataStream::Ok;
}

QString DocumentFile::openErrorTitle()
{
    return tr("Open file error", "message box title");
}

QString DocumentFile::saveErrorTitle()
{
    return tr("Failed to save file", "message box title");
}
