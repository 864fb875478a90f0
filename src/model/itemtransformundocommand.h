#pragma once

#include <QCoreApplication>
#include <QPointF>
#include <QPointer>

#include "model/itemtransform.h"
#include "undo/undocommand.h"

// One change of a photo's place, size and turn. A drag pushes many of these;
// consecutive ones for the same photo merge into one step that puts the
// photo back where the drag began.
class ItemTransformUndoCommand : public UndoCommand
{
    Q_DECLARE_TR_FUNCTIONS(ItemTransformUndoCommand)

public:
    ItemTransformUndoCommand(ItemTransform *target, const QPointF &newPosition, qreal newZoom,
        qreal newRotationRelative);

    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

    ItemTransform *target() const { return m_target.data(); }

private:
    void apply(const QPointF &position, qreal zoom, qreal rotationRelative);
    QString describe() const;

    // A photo may be gone while its old steps stay on the stack.
    QPointer<ItemTransform> m_target;
    QPointF m_newPosition;
    QPointF m_oldPosition;
    qreal m_newZoom;
    qreal m_oldZoom;
    qreal m_newRotationRelative;
    qreal m_oldRotationRelative;
};
