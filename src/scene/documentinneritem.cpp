#include "documentinneritem.h"

#include "model/document.h"

DocumentInnerItem::DocumentInnerItem(Document *document, QGraphicsItem *parent)
    : QGraphicsObject(parent)
    , m_document(document)
{
    setFlag(ItemClipsChildrenToShape);
    setFlag(ItemHasNoContents);
    if (document) {
        m_documentSize = document->pageSize().size();
        connect(document, &Document::sizeChanged, this, &DocumentInnerItem::docSizeChanged);
    }
}

Document *DocumentInnerItem::document() const
{
    return m_document;
}

QRectF DocumentInnerItem::boundingRect() const
{
    return QRectF(QPointF(0, 0), m_documentSize);
}

void DocumentInnerItem::paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) { }

void DocumentInnerItem::docSizeChanged(const QSizeF &size)
{
    if (size == m_documentSize)
        return;
    prepareGeometryChange();
    m_documentSize = size;
    emit geometryChanged();
}
