#include "undostack.h"

#include "undo/undocommandwrapper.h"

UndoStack::UndoStack(QObject *parent)
    : QUndoStack(parent)
{
}

void UndoStack::push(QUndoCommand *command)
{
    if (!command)
        return;
    if (m_openWrapper) {
        pushNested(command);
    } else if (m_replayDepth == 0) {
        auto *wrapper = new UndoCommandWrapper(this);
        wrapper->append(command);
        m_openWrapper = wrapper;
        QUndoStack::push(wrapper); // runs redo(), may merge and delete the wrapper
        m_openWrapper = nullptr;
    } else {
        // The recorded commands of the step being replayed already
        // reproduce what this push would do.
        delete command;
    }
}

void UndoStack::pushNested(QUndoCommand *command)
{
    UndoCommandWrapper *wrapper = m_openWrapper;
    bool merged = false;
    if (!wrapper->commands().isEmpty()) {
        QUndoCommand *last = wrapper->commands().last();
        if (last->id() != -1 && last->id() == command->id())
            merged = last->mergeWith(command);
    }
    command->redo();
    if (merged)
        delete command;
    else
        wrapper->append(command);
}

UndoStack::ReplayGuard::ReplayGuard(UndoStack *stack)
    : m_stack(stack)
{
    if (m_stack)
        ++m_stack->m_replayDepth;
}

UndoStack::ReplayGuard::~ReplayGuard()
{
    if (m_stack)
        --m_stack->m_replayDepth;
}
