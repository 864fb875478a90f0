#include "documentpart.h"

#include "model/document.h"

DocumentPart::DocumentPart(Document *document)
    : m_document(document)
{
}

DocumentPart::~DocumentPart() = default;

UndoStack *DocumentPart::undoStack() const
{
    return m_document ? m_document->undoStack() : nullptr;
}

void DocumentPart::setDocument(Document *document)
{
    m_document = document;
}
