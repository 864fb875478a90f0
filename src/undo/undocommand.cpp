#include "undocommand.h"

#include "undo/undocommandwrapper.h"

UndoCommand::UndoCommand(QUndoCommand *parent)
    : QUndoCommand(parent)
{
}

UndoCommand::UndoCommand(const QString &text, QUndoCommand *parent)
    : QUndoCommand(text, parent)
{
}

void UndoCommand::updateText(const QString &text)
{
    if (m_wrapper && !m_wrapper->commands().isEmpty() && m_wrapper->commands().first() == this)
        m_wrapper->setText(text);
}
