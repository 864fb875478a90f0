#include "scenelayer.h"

#include <QAction>

#include "model/document.h"

SceneLayer::SceneLayer(Document *document, QGraphicsItem *parent)
    : QGraphicsObject(parent)
{
    if (document) {
        m_size = document->pageSize().size();
        connect(document, &Document::sizeChanged, this, &SceneLayer::sizeChanged);
    } else if (parent) {
        m_size = parent->boundingRect().size();
    }
}

QRectF SceneLayer::boundingRect() const
{
    return QRectF(QPointF(0, 0), m_size);
}

void SceneLayer::paint(QPainter *, const QStyleOptionGraphicsItem *, QWidget *) { }

QList<QAction *> SceneLayer::actions() const
{
    return {};
}

void SceneLayer::sizeChanged(const QSizeF &size)
{
    if (size == m_size)
        return;
    prepareGeometryChange();
    m_size = size;
}
