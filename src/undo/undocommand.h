#pragma once

#include <QUndoCommand>

class UndoCommandWrapper;

// Base of every command of the program. A command pushed on an UndoStack is
// recorded in a wrapper that holds one undo step; the wrapper pointer lets a
// merging command rename the step it belongs to.
class UndoCommand : public QUndoCommand
{
public:
    explicit UndoCommand(QUndoCommand *parent = nullptr);
    explicit UndoCommand(const QString &text, QUndoCommand *parent = nullptr);

    UndoCommandWrapper *wrapper() const { return m_wrapper; }
    void setWrapper(UndoCommandWrapper *wrapper) { m_wrapper = wrapper; }

    // Renames the undo step when this command is the first one of its wrapper.
    void updateText(const QString &text);

private:
    UndoCommandWrapper *m_wrapper = nullptr;
};
