#pragma once

#include <QUndoStack>

class UndoCommandWrapper;

// Undo stack that keeps the changes an assignment causes in turn inside the
// same undo step. Every top-level push is wrapped; pushes made while the
// wrapped command first runs are recorded into it, and pushes made while a
// recorded step is undone or redone are dropped.
class UndoStack : public QUndoStack
{
    Q_OBJECT

public:
    explicit UndoStack(QObject *parent = nullptr);

    // Replaces QUndoStack::push for all program code; executes the command.
    void push(QUndoCommand *command);

    // True while any recorded command runs, on its first run or a replay.
    bool isReplaying() const { return m_replayDepth > 0; }
    // True while a recorded step is undone or redone: changes made now are
    // already part of it and must not be made again.
    bool isReplayingRecordedStep() const { return m_replayDepth > 0 && !m_openWrapper; }

    // Marks a replay of a recorded step for as long as it lives.
    class ReplayGuard
    {
    public:
        explicit ReplayGuard(UndoStack *stack);
        ~ReplayGuard();
        Q_DISABLE_COPY(ReplayGuard)

    private:
        UndoStack *m_stack;
    };

private:
    void pushNested(QUndoCommand *command);

    UndoCommandWrapper *m_openWrapper = nullptr;
    int m_replayDepth = 0;
};
