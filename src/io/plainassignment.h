#pragma once

#include <QtGlobal>

#include "model/documentpart.h"

// Cuts a document object off its document for as long as it lives. Its
// public setters then find no undo stack and assign at once, emitting the
// change signals of the values that changed, without recording a command:
// what a file holds is the document's starting state, not an edit.
//
// Only the object itself is cut off; the objects it owns keep their own
// document unless its setDocument() passes the change on to them.
class PlainAssignment
{
public:
    explicit PlainAssignment(DocumentPart *part)
        : m_part(part)
        , m_document(part ? part->document() : nullptr)
    {
        if (m_part)
            m_part->setDocument(nullptr);
    }

    ~PlainAssignment()
    {
        if (m_part)
            m_part->setDocument(m_document);
    }

    Q_DISABLE_COPY(PlainAssignment)

private:
    DocumentPart *m_part;
    Document *m_document;
};
