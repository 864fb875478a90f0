#include "frameproperties.h"

#include "undo/commandids.h"
#include "undo/propertyundocommand.h"
#include "undo/undostack.h"

FrameProperties::FrameProperties(Document *document, QObject *parent)
    : QObject(parent)
    , DocumentPart(document)
{
}

void FrameProperties::setSize(const qreal &size)
{
    using Command = PropertyUndoCommand<FrameProperties, double, &FrameProperties::assignSize,
        &FrameProperties::size>;
    const QString text = tr("Changing frame size");
    if (UndoStack *stack = undoStack())
        stack->push(new Command(text, this, size, CommandId::FrameSize));
    else
        assignSize(size);
}

void FrameProperties::setColor(const QColor &color)
{
    using Command = PropertyUndoCommand<FrameProperties, QColor, &FrameProperties::assignColor,
        &FrameProperties::color>;
    const QString text = tr("Changing frame color");
    if (UndoStack *stack = undoStack())
        stack->push(new Command(text, this, color, CommandId::FrameColor));
    else
        assignColor(color);
}

void FrameProperties::setEnabled(bool enabled)
{
    using Command = PropertyUndoCommand<FrameProperties, bool, &FrameProperties::assignEnabled,
        &FrameProperties::enabled>;
    const QString text = enabled ? tr("Enabling frames") : tr("Disabling frames");
    if (UndoStack *stack = undoStack())
        stack->push(new Command(text, this, enabled, CommandId::FrameEnabled));
    else
        assignEnabled(enabled);
}

void FrameProperties::assignSize(const qreal &size)
{
    if (m_size == size)
        return;
    m_size = size;
    Q_EMIT sizeChanged(m_size);
}

void FrameProperties::assignColor(const QColor &color)
{
    if (!(m_color != color))
        return;
    m_color = color;
    Q_EMIT colorChanged(m_color);
}

void FrameProperties::assignEnabled(bool enabled)
{
    if (m_enabled == enabled)
        return;
    m_enabled = enabled;
    Q_EMIT enabledChange(m_enabled);
}
