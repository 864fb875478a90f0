#pragma once

#include <QAbstractListModel>
#include <QList>

#include "model/documentpart.h"
#include "model/rowmove.h"

template<typename T> class ModelInsertCommand;
template<typename T> class ModelMoveCommand;

// A flat list model of values of type T that belongs to a document. Rows are
// changed only through the undo commands (ModelInsertCommand,
// ModelMoveCommand), which call the protected primitives below.
//
// A template cannot carry Q_OBJECT; a subclass that needs signals or slots
// of its own declares them.
template<typename T> class ModelListBase : public QAbstractListModel, public DocumentPart
{
public:
    explicit ModelListBase(Document *document, QObject *parent = nullptr)
        : QAbstractListModel(parent)
        , DocumentPart(document)
    {
    }

    int rowCount(const QModelIndex &parent = QModelIndex()) const override
    {
        return parent.isValid() ? 0 : count();
    }

    int count() const { return int(m_items.size()); }
    const T &at(int row) const { return m_items.at(row); }
    const QList<T> &items() const { return m_items; }

protected:
    // Called for every item that enters or leaves the list.
    virtual void itemAdded(const T &) { }
    virtual void itemRemoved(const T &) { }

    void insertItems(int row, const QList<T> &items)
    {
        if (items.isEmpty() || row < 0 || row > count())
            return;
        beginInsertRows(QModelIndex(), row, row + int(items.size()) - 1);
        for (qsizetype i = 0; i < items.size(); ++i)
            m_items.insert(row + i, items.at(i));
        for (const T &item : items)
            itemAdded(item);
        endInsertRows();
    }

    void removeItems(int row, int count)
    {
        if (count <= 0 || row < 0 || row + count > this->count())
            return;
        beginRemoveRows(QModelIndex(), row, row + count - 1);
        const QList<T> removed = m_items.mid(row, count);
        m_items.remove(row, count);
        for (const T &item : removed)
            itemRemoved(item);
        endRemoveRows();
    }

    // Moves rows first..last to stand before row `destination`, as the
    // model's row moves define it. Returns false for a move that is out of
    // range or changes nothing.
    bool moveItemBlock(int first, int last, int destination)
    {
        if (!isValidMove(first, last, destination)
            || !beginMoveRows(QModelIndex(), first, last, QModelIndex(), destination))
            return false;
        moveListRows(m_items, first, last, destination);
        endMoveRows();
        return true;
    }

    // Whether moveItemBlock() would move anything.
    bool isValidMove(int first, int last, int destination) const
    {
        return isValidRowMove(first, last, destination, count());
    }

private:
    friend class ModelInsertCommand<T>;
    friend class ModelMoveCommand<T>;

    QList<T> m_items;
};
