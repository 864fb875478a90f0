#pragma once

#include <QPointer>
#include <QString>

#include "scene/editablegraphicsobject.h"

class UndoStack;

// What texts and stickers share on the page: the centre moves them with the
// pointer and the border band turns and scales them around their centre.
// Each step is written to the overlay's properties object through its
// `position`, `rotation` and `scale` properties, so it is an undoable edit;
// the turns and scalings of one gesture form one undo step.
class OverlayItem : public EditableGraphicsObject
{
    Q_OBJECT

public:
    ~OverlayItem() override;

protected:
    // `properties` is the overlay's properties object (a document part);
    // `turnText` names the undo step of a turn-and-scale gesture.
    OverlayItem(QObject *properties, const QString &turnText, QGraphicsItem *parent);

    void partDragged(int &part) override;
    void partReleased(int &part) override;
    bool sceneEvent(QEvent *event) override;

private:
    void turnAndScale();
    void endGesture();

    QPointer<QObject> m_placement;
    QString m_turnText;
    // Open while the border band is dragged.
    QPointer<UndoStack> m_gestureStack;
};
