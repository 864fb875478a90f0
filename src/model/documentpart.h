#pragma once

class Document;
class UndoStack;

// Second base class of every object that belongs to a document. Gives
// access to the document's undo stack, which is null for documents made for
// previews and rendering; setters then assign directly.
class DocumentPart
{
public:
    explicit DocumentPart(Document *document = nullptr);
    virtual ~DocumentPart();

    virtual UndoStack *undoStack() const;
    virtual void setDocument(Document *document);

    Document *document() const { return m_document; }

private:
    Document *m_document;
};
