#pragma once

#include <QList>
#include <QUndoCommand>

class UndoStack;

// One undo step: the command pushed at top level plus every command that its
// first execution pushed in turn. Replaying the step runs the recorded
// commands only; pushes made meanwhile are discarded by the stack.
class UndoCommandWrapper : public QUndoCommand
{
public:
    static constexpr int WrapperId = static_cast<int>(0xF33284DE);

    explicit UndoCommandWrapper(UndoStack *stack);
    ~UndoCommandWrapper() override;

    const QList<QUndoCommand *> &commands() const { return m_commands; }
    // Takes ownership; the first command appended names the step.
    void append(QUndoCommand *command);

    void undo() override;
    void redo() override;
    int id() const override { return WrapperId; }
    bool mergeWith(const QUndoCommand *other) override;

private:
    QList<QUndoCommand *> m_commands;
    UndoStack *m_stack;
};
