#pragma once

#include <QBuffer>
#include <QByteArray>

#include <memory>

#include "io/documentfile.h"
#include "model/document.h"

// Collage files in memory, for the file-format tests, the fuzz target and
// the corpus writer.
namespace DocumentBytes {

// The document the bytes hold, or null when the reader refuses them.
inline std::unique_ptr<Document> read(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return DocumentFile::read(&buffer);
}

// The bytes of a saved document, or empty ones when writing fails.
inline QByteArray write(const Document &document)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return DocumentFile::write(document, &buffer) ? bytes : QByteArray();
}

} // namespace DocumentBytes
