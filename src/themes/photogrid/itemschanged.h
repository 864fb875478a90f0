#pragma once

#include <QPointer>
#include <QSharedPointer>

#include "undo/undocommand.h"

class PhotoGridItemProperties;
class PhotoGridTheme;

// Adds a cell to a grid theme or takes one away. Cells come and go only
// through this command, so undo and redo bring back exactly the cells that
// were there, each at its former place in the theme's order. Never merges.
class ItemsChanged : public UndoCommand
{
public:
    ItemsChanged(
        PhotoGridTheme *theme, const QSharedPointer<PhotoGridItemProperties> &item, bool inserting);
    ~ItemsChanged() override;

    void redo() override;
    void undo() override;

    QSharedPointer<PhotoGridItemProperties> item() const { return m_item; }
    bool isInserting() const { return m_inserting; }

private:
    void insert();
    void remove();

    QPointer<PhotoGridTheme> m_theme;
    QSharedPointer<PhotoGridItemProperties> m_item;
    bool m_inserting;
    // Where the cell stood when it was last taken out; -1 appends.
    int m_position = -1;
};
