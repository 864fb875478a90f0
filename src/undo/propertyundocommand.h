#pragma once

#include <functional>
#include <type_traits>
#include <utility>

#include "undo/undocommand.h"
#include "undo/undostack.h"

// Undo command that changes one property of one object through a setter,
// a member function or a function taking the target first. The old value is
// read through the getter, a member function or a data member, when the
// command is made.
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
        , m_oldValue(std::invoke(Getter, target))
        , m_newValue(newValue)
        , m_commandId(commandId)
    {
    }

    void redo() override { std::invoke(Setter, m_target, m_newValue); }
    void undo() override { std::invoke(Setter, m_target, m_oldValue); }
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
    using Stored = std::decay_t<std::invoke_result_t<decltype(Getter), Target *>>;
    using Command = PropertyUndoCommand<Target, Stored, Setter, Getter>;
    if (UndoStack *stack = target->undoStack())
        stack->push(new Command(text, target, value, commandId));
    else
        std::invoke(Setter, target, value);
}

// The assignment behind a property that is one plain member: stores the
// value and emits the change signal with it, only for a real change.
template<auto Member, auto Signal, typename Target, typename Value>
void assignMember(Target *target, const Value &value)
{
    if (target->*Member == value)
        return;
    target->*Member = value;
    Q_EMIT(target->*Signal)(target->*Member);
}

// setUndoable() for such a property, so that it needs no assign function
// of its own:
//
//     setUndoableMember<&FrameProperties::m_color, &FrameProperties::colorChanged>(
//         this, tr("Changing frame color"), color, CommandId::FrameColor);
template<auto Member, auto Signal, typename Target, typename Value>
void setUndoableMember(Target *target, const QString &text, const Value &value, int commandId = -1)
{
    using Stored = std::decay_t<decltype(target->*Member)>;
    setUndoable<&assignMember<Member, Signal, Target, Stored>, Member>(
        target, text, value, commandId);
}
