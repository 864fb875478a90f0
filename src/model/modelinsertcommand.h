#pragma once

#include <QList>

#include "model/modellistbase.h"
#include "undo/undocommand.h"

// Inserts items into a ModelListBase, or, with `insert` false, removes them
// (redo and undo exchanged). Never merges.
template<typename T> class ModelInsertCommand : public UndoCommand
{
public:
    ModelInsertCommand(
        const QString &text, ModelListBase<T> *list, const QList<T> &items, int row, bool insert)
        : UndoCommand(text)
        , m_list(list)
        , m_items(items)
        , m_row(row)
        , m_insert(insert)
    {
    }

    void redo() override { m_insert ? insertItems() : removeItems(); }
    void undo() override { m_insert ? removeItems() : insertItems(); }
    int id() const override { return -1; }

    const QList<T> &items() const { return m_items; }
    int row() const { return m_row; }
    bool isInsertion() const { return m_insert; }

private:
    void insertItems() { m_list->insertItems(m_row, m_items); }
    void removeItems() { m_list->removeItems(m_row, int(m_items.size())); }

    ModelListBase<T> *m_list;
    QList<T> m_items;
    int m_row;
    bool m_insert;
};
