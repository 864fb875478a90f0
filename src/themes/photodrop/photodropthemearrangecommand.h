#pragma once

#include <QCoreApplication>
#include <QHash>

#include <memory>
#include <vector>

#include "undo/undocommand.h"

class ItemTransform;
class ItemTransformUndoCommand;

// The result of one arrangement of the Photo Drop pile: a transform change
// per photo. Two arrangements in a row merge into one undo step.
class PhotoDropThemeArrangeCommand : public UndoCommand
{
    Q_DECLARE_TR_FUNCTIONS(PhotoDropThemeArrangeCommand)

public:
    PhotoDropThemeArrangeCommand();
    ~PhotoDropThemeArrangeCommand() override;

    // Takes ownership. Commands run in the order they were added and are
    // undone in the reverse order.
    void addCommand(ItemTransformUndoCommand *command);
    int commandCount() const { return int(m_commands.size()); }

    void redo() override;
    void undo() override;
    int id() const override;
    bool mergeWith(const QUndoCommand *other) override;

private:
    std::vector<std::unique_ptr<ItemTransformUndoCommand>> m_commands;
    QHash<const ItemTransform *, ItemTransformUndoCommand *> m_byTransform;
};
