#include "undocommandwrapper.h"

#include "undo/undocommand.h"
#include "undo/undostack.h"

UndoCommandWrapper::UndoCommandWrapper(UndoStack *stack)
    : m_stack(stack)
{
}

UndoCommandWrapper::~UndoCommandWrapper()
{
    qDeleteAll(m_commands);
}

void UndoCommandWrapper::append(QUndoCommand *command)
{
    if (m_commands.isEmpty())
        setText(command->text());
    m_commands.append(command);
    if (auto *undoCommand = dynamic_cast<UndoCommand *>(command))
        undoCommand->setWrapper(this);
}

void UndoCommandWrapper::redo()
{
    // Commands appended while this runs are nested pushes of a first
    // execution; they have run already and must not run twice.
    UndoStack::ReplayGuard guard(m_stack);
    const qsizetype count = m_commands.size();
    for (qsizetype i = 0; i < count; ++i)
        m_commands.at(i)->redo();
}

void UndoCommandWrapper::undo()
{
    UndoStack::ReplayGuard guard(m_stack);
    for (qsizetype i = m_commands.size() - 1; i >= 0; --i)
        m_commands.at(i)->undo();
}

bool UndoCommandWrapper::mergeWith(const QUndoCommand *other)
{
    if (other->id() != id())
        return false;
    // The stack hands over a command it is about to delete; what its leading
    // command caused in turn is taken over from it below.
    auto *otherWrapper
        = const_cast<UndoCommandWrapper *>(static_cast<const UndoCommandWrapper *>(other));
    if (m_commands.isEmpty() || otherWrapper->m_commands.isEmpty())
        return false;
    QUndoCommand *a = m_commands.first();
    const QUndoCommand *b = otherWrapper->m_commands.first();
    if (a->id() == -1 || a->id() != b->id())
        return false;
    if (!a->mergeWith(b))
        return false;
    // Two steps whose leading changes merge become one, together with what
    // each caused in turn (a drag of a slider that re-lays the page at every
    // move). The followers keep the order of their first runs, so undo takes
    // them back in reverse before the merged leading change.
    const QList<QUndoCommand *> followers = otherWrapper->m_commands.mid(1);
    otherWrapper->m_commands = { otherWrapper->m_commands.first() };
    for (QUndoCommand *command : followers)
        append(command);
    return true;
}
