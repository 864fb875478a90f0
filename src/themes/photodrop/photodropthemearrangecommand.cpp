#include "photodropthemearrangecommand.h"

#include "model/itemtransformundocommand.h"
#include "undo/commandids.h"

PhotoDropThemeArrangeCommand::PhotoDropThemeArrangeCommand()
    : UndoCommand(tr("Arranging items"))
{
}

PhotoDropThemeArrangeCommand::~PhotoDropThemeArrangeCommand() = default;

void PhotoDropThemeArrangeCommand::addCommand(ItemTransformUndoCommand *command)
{
    if (!command)
        return;
    m_commands.emplace_back(command);
    m_byTransform.insert(command->target(), command);
}

void PhotoDropThemeArrangeCommand::redo()
{
    for (const auto &command : m_commands)
        command->redo();
}

void PhotoDropThemeArrangeCommand::undo()
{
    for (auto it = m_commands.rbegin(); it != m_commands.rend(); ++it)
        (*it)->undo();
}

int PhotoDropThemeArrangeCommand::id() const
{
    return CommandId::PhotoDropArrange;
}

bool PhotoDropThemeArrangeCommand::mergeWith(const QUndoCommand *other)
{
    if (other->id() != id())
        return false;
    const auto *arrangement = dynamic_cast<const PhotoDropThemeArrangeCommand *>(other);
    if (!arrangement)
        return false;
    // The stack deletes the absorbed command right after a successful
    // merge, so the changes this step does not hold yet are taken over
    // instead of copied (a transform command cannot be copied).
    auto *absorbed = const_cast<PhotoDropThemeArrangeCommand *>(arrangement);
    std::vector<std::unique_ptr<ItemTransformUndoCommand>> merged;
    for (auto &command : absorbed->m_commands) {
        ItemTransformUndoCommand *held = m_byTransform.value(command->target());
        if (held && held->mergeWith(command.get())) {
            merged.push_back(std::move(command));
            continue;
        }
        // A nested push merges before it runs the absorbed command, which
        // then no longer holds this change: apply it here. After an
        // ordinary push this repeats what has just been done.
        command->redo();
        m_byTransform.insert(command->target(), command.get());
        m_commands.push_back(std::move(command));
    }
    // What was merged stays with the absorbed command, which still runs
    // it when the push was a nested one.
    absorbed->m_commands = std::move(merged);
    absorbed->m_byTransform.clear();
    for (const auto &command : absorbed->m_commands)
        absorbed->m_byTransform.insert(command->target(), command.get());
    updateText(other->text());
    return true;
}
