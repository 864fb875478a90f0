#pragma once

#include <QGraphicsObject>
#include <QPointer>
#include <QSizeF>

class Document;

// The page in document units (one unit is one pixel of the page). The
// document item scales it to fit; it clips everything on it to the page.
class DocumentInnerItem : public QGraphicsObject
{
    Q_OBJECT

public:
    explicit DocumentInnerItem(Document *document, QGraphicsItem *parent = nullptr);

    Document *document() const;
    QSizeF documentSize() const { return m_documentSize; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

public Q_SLOTS:
    void docSizeChanged(const QSizeF &size);

Q_SIGNALS:
    void geometryChanged();

private:
    QPointer<Document> m_document;
    QSizeF m_documentSize;
};
