#pragma once

#include <type_traits>
#include <utility>

#include "undo/undocommand.h"
#include "undo/undostack.h"

// Undo command that changes one property of one object through a member
// setter. The old value is read through the getter when the command is made.
// A run of commands with the same id on the same target merges into one that
// restores the value from before the run.
//
//     using SetAngle = PropertyUndoCommand<ShadowProperties, double,
//                                          &ShadowProperties::assignAngle,
//                                          &ShadowProperties::angle>;
template<typename Target, typename Value, auto Setter, auto Getter>
class PropertyUndoCommand : public UndoCommand
{
public:
    PropertyUndoCommand(
        const QString &text, Target *target, const Value &newValue, int commandId = -1)
        : UndoCommand(text)
        , m_target(target)
        , m_oldValue((target->*Getter)())
        , m_newValue(newValue)
        , m_commandId(commandId)
    {
    }

    void redo() override { (m_target->*Setter)(m_newValue); }
    void undo() override { (m_target->*Setter)(m_oldValue); }
    int id() const override { return m_commandId; }

    bool mergeWith(const QUndoCommand *other) override
    {
        if (other->id() != id() || id() == -1)
            return false;
        const auto *command = dynamic_cast<const PropertyUndoCommand *>(other);
        if (!command || command->m_target != m_target)
            return false;
        m_newValue = command->m_newValue;
        updateText(command->text());
        return true;
    }

    Target *target() const { return m_target; }
    const Value &oldValue() const { return m_oldValue; }
    const Value &newValue() const { return m_newValue; }

private:
    Target *m_target;
    Value m_oldValue;
    Value m_newValue;
    int m_commandId;
};

// The one way a setter changes a property: through a PropertyUndoCommand on
// the target's undo stack, so that the change can be undone, or by a plain
// assignment while the target has no stack (previews, reading a file).
//
//     setUndoable<&ShadowProperties::assignAngle, &ShadowProperties::angle>(
//         this, tr("Changing shadow angle"), angle, CommandId::ShadowAngle);
template<auto Setter, auto Getter, typename Target, typename Value>
void setUndoable(Target *target, const QString &text, const Value &value, int commandId = -1)
{
    using Stored = std::decay_t<decltype((std::declval<Target &>().*Getter)())>;
    using Command = PropertyUndoCommand<Target, Stored, Setter, Getter>;
    if (UndoStack *stack = target->undoStack())
        stack->push(new Command(text, target, value, commandId));
    else
        (target->*Setter)(value);
}
