#pragma once

#include "model/modellistbase.h"
#include "undo/undocommand.h"

// Moves rows first..last of a ModelListBase to stand before row
// `destination`. A downward move is stored as the equivalent upward one:
//
//     rows:  0 1 [2 3] 4 5 | 6        move 2..3 before 6
//     same:  0 1 2 3 [4 5] before 2  (the rows in between move up)
//
// so that redo always moves up and undo moves the block back down.
template<typename T> class ModelMoveCommand : public UndoCommand
{
public:
    ModelMoveCommand(
        const QString &text, ModelListBase<T> *list, int first, int last, int destination)
        : UndoCommand(text)
        , m_list(list)
        , m_first(first)
        , m_last(last)
        , m_destination(destination)
    {
        if (first < destination) {
            m_first = last + 1;
            m_last = destination - 1;
            m_destination = first;
        }
    }

    void redo() override { m_list->moveItemBlock(m_first, m_last, m_destination); }
    void undo() override
    {
        m_list->moveItemBlock(m_destination, m_destination + m_last - m_first, m_last + 1);
    }
    int id() const override { return -1; }

    int first() const { return m_first; }
    int last() const { return m_last; }
    int destination() const { return m_destination; }

private:
    ModelListBase<T> *m_list;
    int m_first;
    int m_last;
    int m_destination;
};
