#include <QtTest>

#include "undo/commandids.h"
#include "undo/propertyundocommand.h"
#include "undo/undocommandwrapper.h"
#include "undo/undostack.h"

namespace {

// A property holder whose setter is undoable. A follower, when set, gets the
// same value pushed in turn, as a model object whose assignment changes
// another object would.
class Knob
{
public:
    Knob(UndoStack *stack, int id)
        : stack(stack)
        , id(id)
    {
    }

    double value() const { return m_value; }
    void setValue(double value, const QString &text = QStringLiteral("Turning"))
    {
        using Command = PropertyUndoCommand<Knob, double, &Knob::assign, &Knob::value>;
        stack->push(new Command(text, this, value, id));
    }
    void assign(double value)
    {
        ++assignments;
        m_value = value;
        if (follower)
            follower->setValue(value * 2, QStringLiteral("Following"));
    }

    UndoStack *stack;
    int id;
    Knob *follower = nullptr;
    int assignments = 0;

private:
    double m_value = 0;
};

// A target whose assignment runs `assigned`.
struct Probe
{
    std::function<void()> assigned;
    double value() const { return 0; }
    void assign(double) { assigned(); }
};
using ProbeCommand = PropertyUndoCommand<Probe, double, &Probe::assign, &Probe::value>;

const UndoCommandWrapper *wrapperAt(const UndoStack &stack, int index)
{
    return dynamic_cast<const UndoCommandWrapper *>(stack.command(index));
}

// The knobs' values with every step undone, then with every step redone.
QList<double> undoAndRedoAll(UndoStack &stack, const QList<const Knob *> &knobs)
{
    QList<double> values;
    while (stack.canUndo())
        stack.undo();
    for (const Knob *knob : knobs)
        values.append(knob->value());
    while (stack.canRedo())
        stack.redo();
    for (const Knob *knob : knobs)
        values.append(knob->value());
    return values;
}

} // namespace

class TestUndoStack : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mergingRuns()
    {
        UndoStack stack;
        Knob a(&stack, CommandId::ShadowAngle), b(&stack, CommandId::ShadowAngle);
        Knob never(&stack, CommandId::NoMerge);
        // A run on one target merges; another target, a never-merging id or a
        // saved state starts a step of its own.
        for (int i = 1; i <= 10; ++i)
            a.setValue(i * 10);
        QCOMPARE(stack.count(), 1);
        b.setValue(1);
        never.setValue(1);
        never.setValue(2);
        QCOMPARE(stack.count(), 4);
        stack.setClean();
        b.setValue(2);
        QCOMPARE(stack.count(), 5);
        stack.push(nullptr); // ignored
        QCOMPARE(stack.count(), 5);

        stack.undo();
        QVERIFY(stack.isClean());
        QCOMPARE(b.value(), 1.0);
        QCOMPARE(undoAndRedoAll(stack, { &a, &b, &never }), QList<double>({ 0, 0, 0, 100, 2, 2 }));
    }

    void nestedPushesLandInOneStep_data()
    {
        QTest::addColumn<int>("leaderId");
        QTest::addColumn<int>("turns");
        QTest::addColumn<int>("commands"); // in the one step
        QTest::newRow("one push") << int(CommandId::NoMerge) << 1 << 2;
        // A slider dragged over a setting that re-lays the page each time: the
        // leading changes merge, and what each caused travels with them.
        QTest::newRow("a merging run") << int(CommandId::GridSpacing) << 3 << 4;
    }

    void nestedPushesLandInOneStep()
    {
        QFETCH(int, leaderId);
        QFETCH(int, turns);
        QFETCH(int, commands);
        UndoStack stack;
        Knob leader(&stack, leaderId), follower(&stack, CommandId::NoMerge);
        leader.follower = &follower;
        for (int i = 1; i <= turns; ++i)
            leader.setValue(i);
        QCOMPARE(stack.count(), 1);
        QCOMPARE(wrapperAt(stack, 0)->commands().size(), commands);
        // Each command ran exactly once when it was pushed.
        QCOMPARE(leader.assignments, turns);
        QCOMPARE(follower.assignments, turns);
        QCOMPARE(follower.value(), 2.0 * turns);
        // Pushes made while a step is replayed are dropped: the step stays as it was.
        QCOMPARE(undoAndRedoAll(stack, { &leader, &follower }),
            QList<double>({ 0, 0, double(turns), 2.0 * turns }));
        QCOMPARE(wrapperAt(stack, 0)->commands().size(), commands);
        QVERIFY(!stack.isReplaying());
    }

    void nestedPushesMergeInsideTheStep()
    {
        // Two commands of one id on one target pushed while the step is
        // recorded merge inside it.
        UndoStack stack;
        Knob target(&stack, CommandId::FrameSize);
        Probe pusher { [&target] {
            target.setValue(1);
            target.setValue(2);
        } };
        stack.push(new ProbeCommand(QStringLiteral("Pushing"), &pusher, 1));
        QCOMPARE(wrapperAt(stack, 0)->commands().size(), 2);
        QCOMPARE(undoAndRedoAll(stack, { &target }), QList<double>({ 0, 2 }));
    }

    void replayIsToldApartFromFirstRun()
    {
        // An assignment asks the stack whether its step is being recorded or
        // replayed, as the grid theme does before laying out anew.
        UndoStack stack;
        QList<bool> replays;
        Probe watcher { [&] { replays.append(stack.isReplayingRecordedStep()); } };
        stack.push(new ProbeCommand(QStringLiteral("Watching"), &watcher, 1));
        stack.undo();
        stack.redo();
        QCOMPARE(replays, QList<bool>({ false, true, true }));
    }

    void macrosGroupWrappers()
    {
        UndoStack stack;
        Knob a(&stack, CommandId::ShadowBlurRadius), b(&stack, CommandId::NoMerge);
        stack.beginMacro(QStringLiteral("Changing theme to Cork Board"));
        a.setValue(1);
        a.setValue(2); // merges with the macro's last child
        b.setValue(7);
        stack.endMacro();
        QCOMPARE(stack.count(), 1);
        QCOMPARE(stack.command(0)->childCount(), 2);
        QCOMPARE(undoAndRedoAll(stack, { &a, &b }), QList<double>({ 0, 0, 2, 7 }));
    }

    void updateTextRenamesOnlyFromFirstCommand()
    {
        UndoStack stack;
        Knob leader(&stack, CommandId::NoMerge), follower(&stack, CommandId::NoMerge);
        leader.follower = &follower;
        leader.setValue(1);
        const UndoCommandWrapper *wrapper = wrapperAt(stack, 0);
        auto *first = static_cast<UndoCommand *>(wrapper->commands().at(0));
        auto *second = static_cast<UndoCommand *>(wrapper->commands().at(1));
        second->updateText(QStringLiteral("Ignored"));
        QCOMPARE(stack.text(0), QStringLiteral("Turning"));
        first->updateText(QStringLiteral("Renamed"));
        QCOMPARE(stack.text(0), QStringLiteral("Renamed"));
        QCOMPARE(first->text(), QStringLiteral("Turning"));
    }
};

QTEST_GUILESS_MAIN(TestUndoStack)
#include "tst_undostack.moc"
