#include "stickerproperties.h"

#include "model/document.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"
#include "undo/undostack.h"

StickerProperties::StickerProperties(Document *document)
    : QObject(document)
    , DocumentPart(document)
{
}

void StickerProperties::setSource(const QString &source)
{
    using Command = PropertyUndoCommand<StickerProperties, QString, &StickerProperties::assignSource,
                                        &StickerProperties::source>;
    if (UndoStack *stack = undoStack())
        stack->push(new Command(tr("Change sticker"), this, source, CommandId::StickerSource));
    else
        assignSource(source);
}

void StickerProperties::assignSource(const QString &source)
{
    if (m_source == source)
        return;
    m_source = source;
    Q_EMIT sourceChanged(m_source);
}
