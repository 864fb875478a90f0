#pragma once

#include <QGraphicsObject>
#include <QList>
#include <QSizeF>

class Document;
class QAction;

// Base of the layers a theme puts on the page (and of the background
// layer): covers the whole page in document units and follows its size.
class SceneLayer : public QGraphicsObject
{
    Q_OBJECT

public:
    // Without a document the layer takes the size of its parent item.
    explicit SceneLayer(Document *document, QGraphicsItem *parent = nullptr);

    QSizeF size() const { return m_size; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

    // Actions the layer offers for the Edit menu.
    virtual QList<QAction *> actions() const;

public Q_SLOTS:
    void sizeChanged(const QSizeF &size);

private:
    QSizeF m_size;
};
