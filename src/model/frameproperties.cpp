#include "frameproperties.h"

#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

FrameProperties::FrameProperties(Document *document, QObject *parent)
    : QObject(parent)
    , DocumentPart(document)
{
}

void FrameProperties::setSize(const qreal &size)
{
    setUndoableMember<&FrameProperties::m_size, &FrameProperties::sizeChanged>(
        this, tr("Changing frame size"), size, CommandId::FrameSize);
}

void FrameProperties::setColor(const QColor &color)
{
    setUndoableMember<&FrameProperties::m_color, &FrameProperties::colorChanged>(
        this, tr("Changing frame color"), color, CommandId::FrameColor);
}

void FrameProperties::setEnabled(bool enabled)
{
    const QString text = enabled ? tr("Enabling frames") : tr("Disabling frames");
    setUndoableMember<&FrameProperties::m_enabled, &FrameProperties::enabledChange>(
        this, text, enabled, CommandId::FrameEnabled);
}
