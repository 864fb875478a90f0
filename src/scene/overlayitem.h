#pragma once

#include <QPointer>
#include <QRectF>
#include <QString>

#include "scene/editablegraphicsobject.h"

class DocumentInnerItem;
class UndoStack;

// What texts and stickers share on the page: a box centred on the origin,
// placed by fractions of the page so that it follows the page's size; the
// centre moves it with the pointer and the border band turns and scales it
// around its centre. Each step is written to the overlay's properties object
// through its `position`, `rotation` and `scale` properties, so it is an
// undoable edit; the turns and scalings of one gesture form one undo step.
class OverlayItem : public EditableGraphicsObject
{
    Q_OBJECT

public:
    ~OverlayItem() override;

    // Also the shape, as QGraphicsItem makes it by default.
    QRectF boundingRect() const override;
    int hitTest(const QPointF &pos) override;
    QPointF transformCenter() const override;

public Q_SLOTS:
    // Lays the item out again from its properties and its page.
    virtual void onPropertyChanged() = 0;

protected:
    // `properties` is the overlay's properties object (a document part);
    // `turnText` names the undo step of a turn-and-scale gesture.
    OverlayItem(QObject *properties, const QString &turnText, QGraphicsItem *parent);

    void partDragged(int &part) override;
    void partReleased(int &part) override;
    bool sceneEvent(QEvent *event) override;
    QVariant itemChange(GraphicsItemChange change, const QVariant &value) override;

    // The box in item coordinates, centred on the origin; set it after
    // prepareGeometryChange().
    QRectF overlayRect() const { return m_rect; }
    void setOverlayRect(const QRectF &rect) { m_rect = rect; }
    // Puts the item where its properties say: on the page, turned, scaled
    // and faded.
    void applyPlacement();
    // The frame of a selected item.
    void paintSelection(QPainter *painter) const;

private:
    void followPage();
    void turnAndScale();
    void endGesture();

    QPointer<QObject> m_placement;
    QPointer<DocumentInnerItem> m_page;
    QRectF m_rect;
    QString m_turnText;
    // Open while the border band is dragged.
    QPointer<UndoStack> m_gestureStack;
};
