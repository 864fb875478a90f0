#pragma once

#include <QString>

#include "undo/undostack.h"

// Opens an undo macro for as long as it lives, when there is a stack, so
// that every early return still closes it.
class UndoMacroScope
{
public:
    UndoMacroScope(UndoStack *stack, const QString &text)
        : m_stack(stack)
    {
        if (m_stack)
            m_stack->beginMacro(text);
    }
    ~UndoMacroScope()
    {
        if (m_stack)
            m_stack->endMacro();
    }
    Q_DISABLE_COPY(UndoMacroScope)

private:
    UndoStack *m_stack;
};
