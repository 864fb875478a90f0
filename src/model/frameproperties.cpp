#include "frameproperties.h"

#include "model/assignchanged.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

FrameProperties::FrameProperties(Document *document, QObject *parent)
    : QObject(parent)
    , DocumentPart(document)
{
}

void FrameProperties::setSize(const qreal &size)
{
    setUndoable<&FrameProperties::assignSize, &FrameProperties::size>(
        this, tr("Changing frame size"), size, CommandId::FrameSize);
}

void FrameProperties::setColor(const QColor &color)
{
    setUndoable<&FrameProperties::assignColor, &FrameProperties::color>(
        this, tr("Changing frame color"), color, CommandId::FrameColor);
}

void FrameProperties::setEnabled(bool enabled)
{
    const QString text = enabled ? tr("Enabling frames") : tr("Disabling frames");
    setUndoable<&FrameProperties::assignEnabled, &FrameProperties::enabled>(
        this, text, enabled, CommandId::FrameEnabled);
}

void FrameProperties::assignSize(const qreal &size)
{
    if (assignChanged(m_size, size))
        Q_EMIT sizeChanged(m_size);
}

void FrameProperties::assignColor(const QColor &color)
{
    if (assignChanged(m_color, color))
        Q_EMIT colorChanged(m_color);
}

void FrameProperties::assignEnabled(bool enabled)
{
    if (assignChanged(m_enabled, enabled))
        Q_EMIT enabledChange(m_enabled);
}
