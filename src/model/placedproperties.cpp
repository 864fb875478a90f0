#include "placedproperties.h"

#include <QCoreApplication>

#include "model/assignchanged.h"
#include "model/document.h"
#include "undo/propertyundocommand.h"

PlacedProperties::PlacedProperties(Document *document, const Edits &edits)
    : QObject(document)
    , DocumentPart(document)
    , m_edits(edits)
{
}

void PlacedProperties::setPosition(const QPointF &position)
{
    setUndoable<&PlacedProperties::assignPosition, &PlacedProperties::position>(
        this, undoText(m_edits.position), position, m_edits.position.commandId);
}

void PlacedProperties::setRotation(qreal rotation)
{
    setUndoable<&PlacedProperties::assignRotation, &PlacedProperties::rotation>(
        this, undoText(m_edits.rotation), rotation, m_edits.rotation.commandId);
}

void PlacedProperties::setScale(qreal scale)
{
    setUndoable<&PlacedProperties::assignScale, &PlacedProperties::scale>(
        this, undoText(m_edits.scale), scale, m_edits.scale.commandId);
}

void PlacedProperties::setOpacity(qreal opacity)
{
    setUndoable<&PlacedProperties::assignOpacity, &PlacedProperties::opacity>(
        this, undoText(m_edits.opacity), opacity, m_edits.opacity.commandId);
}

QString PlacedProperties::undoText(const Edit &edit) const
{
    return QCoreApplication::translate(metaObject()->className(), edit.text);
}

void PlacedProperties::assignPosition(const QPointF &position)
{
    if (assignFiniteChanged(m_position, position))
        Q_EMIT positionChanged(m_position);
}

void PlacedProperties::assignRotation(double rotation)
{
    if (assignFiniteChanged(m_rotation, rotation))
        Q_EMIT rotationChanged(m_rotation);
}

void PlacedProperties::assignScale(double scale)
{
    if (assignFiniteChanged(m_scale, scale, MinimumScale, MaximumScale))
        Q_EMIT scaleChanged(m_scale);
}

void PlacedProperties::assignOpacity(double opacity)
{
    if (assignFiniteChanged(m_opacity, opacity, 0.0, 1.0))
        Q_EMIT opacityChanged(m_opacity);
}
