#pragma once

#include <QGraphicsScene>
#include <QPointer>
#include <QRect>
#include <QRectF>

class Document;
class DocumentItem;
class QGraphicsItem;
class QGraphicsObject;
class QItemSelectionModel;
class QPainter;

// The graphics scene of one document page. It owns the page's root item,
// the selection model shared by the photo items and the image strip, and
// the flags that tell the items how carefully to draw.
class Scene : public QGraphicsScene
{
    Q_OBJECT

public:
    explicit Scene(Document *document, QObject *parent = nullptr);
    ~Scene() override;

    Document *document() const;
    DocumentItem *documentItem() const { return m_documentItem; }
    QItemSelectionModel *selectionModel() const { return m_selectionModel; }

    // Items hold fast drawing while they are dragged; the scene draws
    // cheaply as long as any hold is taken.
    void beginFastDraw();
    void endFastDraw();
    int fastDrawCount() const { return m_fastDrawCount; }

    void setRenderFlag(int flag, bool on);
    int renderFlags() const { return m_renderFlags; }
    // The flags to pass to image drawing: the render flags, plus FastDraw
    // while an item is being dragged.
    int drawFlags() const;
    // The draw flags of the scene an item is shown in; 0 outside a Scene.
    static int drawFlags(const QGraphicsItem *item);

    // One extra item shown above everything; replacing it deletes the
    // previous one. Passing null removes the current overlay.
    void setOverlayItem(QGraphicsItem *item, QGraphicsItem *owner);
    QGraphicsItem *overlayItem() const { return m_overlayItem; }
    QGraphicsItem *overlayOwner() const { return m_overlayOwner; }
    // Lets go of an item that followed this scene: drops the scene's
    // connections to it and the overlay it owns.
    void release(QGraphicsObject *item);

    // While an output is drawn band by band: the whole output in device
    // coordinates of the band being drawn (its top above the band's).
    // Effects that work on whole items measure against it instead of the
    // band. Null otherwise.
    void setBandOutput(const QRect &output) { m_bandOutput = output; }
    QRect bandOutput() const { return m_bandOutput; }

    // The page rectangle in scene coordinates; empty while no theme lays
    // the page out.
    QRectF pageRect() const;

    // Draws the source part of the page, given in fractions of the page
    // (null for the whole page), into target, keeping the page's aspect.
    void render(
        QPainter *painter, const QRectF &target = QRectF(), const QRectF &source = QRectF());

Q_SIGNALS:
    void fastDrawChanged(bool fastDraw);

protected:
    void mousePressEvent(QGraphicsSceneMouseEvent *event) override;

private:
    QPointer<Document> m_document;
    QItemSelectionModel *m_selectionModel = nullptr;
    QGraphicsItem *m_overlayItem = nullptr;
    QGraphicsItem *m_overlayOwner = nullptr;
    DocumentItem *m_documentItem = nullptr;
    int m_fastDrawCount = 0;
    int m_renderFlags = 0;
    QRect m_bandOutput;
};
