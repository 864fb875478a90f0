#include "itemtransformundocommand.h"

#include "undo/commandids.h"

ItemTransformUndoCommand::ItemTransformUndoCommand(
    ItemTransform *target, const QPointF &newPosition, qreal newZoom, qreal newRotationRelative)
    : m_target(target)
    , m_newPosition(newPosition)
    , m_oldPosition(target->m_position)
    , m_newZoom(newZoom)
    , m_oldZoom(target->m_zoom)
    , m_newRotationRelative(newRotationRelative)
    , m_oldRotationRelative(target->m_rotationRelative)
{
    setText(describe());
}

void ItemTransformUndoCommand::redo()
{
    apply(m_newPosition, m_newZoom, m_newRotationRelative);
}

void ItemTransformUndoCommand::undo()
{
    apply(m_oldPosition, m_oldZoom, m_oldRotationRelative);
}

int ItemTransformUndoCommand::id() const
{
    return CommandId::ItemTransform;
}

bool ItemTransformUndoCommand::mergeWith(const QUndoCommand *other)
{
    if (other->id() != id())
        return false;
    const auto *command = dynamic_cast<const ItemTransformUndoCommand *>(other);
    if (!command || command->m_target != m_target)
        return false;
    m_newPosition = command->m_newPosition;
    m_newZoom = command->m_newZoom;
    m_newRotationRelative = command->m_newRotationRelative;
    setText(describe());
    updateText(text());
    return true;
}

void ItemTransformUndoCommand::apply(const QPointF &position, qreal zoom, qreal rotationRelative)
{
    if (!m_target)
        return;
    m_target->m_position = position;
    m_target->m_zoom = zoom;
    m_target->m_rotationRelative = rotationRelative;
    // What the step changes is announced, whichever way it runs.
    if (!(m_newPosition == m_oldPosition))
        Q_EMIT m_target->positionChanged(m_target->m_position);
    if (m_newZoom != m_oldZoom)
        Q_EMIT m_target->zoomChanged(m_target->m_zoom);
    if (m_newRotationRelative != m_oldRotationRelative)
        Q_EMIT m_target->rotationRelativeChanged(m_target->m_rotationRelative);
}

QString ItemTransformUndoCommand::describe() const
{
    const QString objectName = m_target ? m_target->objectName() : QString();
    const QString name = objectName.isEmpty() ? tr("object") : objectName;
    const bool samePosition = m_newPosition == m_oldPosition;
    const bool sameZoom = m_newZoom == m_oldZoom;
    const bool sameRotation = m_newRotationRelative == m_oldRotationRelative;
    QString pattern;
    if (sameRotation && samePosition)
        pattern = tr("Scaling %1");
    else if (sameRotation && sameZoom)
        pattern = tr("Moving %1");
    else if (samePosition && sameZoom)
        pattern = tr("Rotating %1");
    else
        pattern = tr("Changing %1");
    return pattern.arg(name, 0, QLatin1Char(' '));
}
