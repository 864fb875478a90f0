#pragma once

#include <QGraphicsObject>
#include <QPointer>
#include <QRectF>
#include <QSizeF>

class Document;
class DocumentInnerItem;
class SceneLayer;
class Theme;

// The root item of a document's scene: fits the page into the scene
// rectangle and draws the soft shadow around it. The page itself is the
// inner item, which holds the theme's layer.
class DocumentItem : public QGraphicsObject
{
    Q_OBJECT

public:
    // Room around the page for its shadow, in scene pixels.
    static constexpr qreal ShadowMargin = 7.0;

    explicit DocumentItem(Document *document, QGraphicsItem *parent = nullptr);
    ~DocumentItem() override;

    Document *document() const;
    DocumentInnerItem *innerItem() const { return m_innerItem; }
    SceneLayer *sceneLayer() const { return m_sceneLayer; }
    // The page in this item's coordinates.
    QRectF pageRect() const { return m_pageRect; }

    QRectF boundingRect() const override;
    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

public Q_SLOTS:
    void sceneRectChanged(const QRectF &rect);
    void documentSizeChanged(const QSizeF &docSize);
    void themeChanged(Theme *theme);
    void innerItemGeometryChanged();

Q_SIGNALS:
    void sceneLayerChanged();

protected:
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

private:
    void fitPage(const QRectF &sceneRect);
    void fitPage();
    void removeInnerItem();
    void clearPageRect();

    QPointer<Document> m_document;
    DocumentInnerItem *m_innerItem = nullptr;
    QPointer<QGraphicsScene> m_scene;
    QRectF m_pageRect;
    qreal m_shadowMargin = ShadowMargin;
    SceneLayer *m_sceneLayer = nullptr;
    QPointer<Theme> m_theme;
};
