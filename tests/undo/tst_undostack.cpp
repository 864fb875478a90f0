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

const UndoCommandWrapper *wrapperAt(const UndoStack &stack, int index)
{
    return dynamic_cast<const UndoCommandWrapper *>(stack.command(index));
}

} // namespace

class TestUndoStack : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void mergingRuns_data();
    void mergingRuns();
    void cleanStateBreaksMerge();
    void nestedPushesLandInOneStep();
    void nestedPushesMergeInsideTheStep();
    void replayIsToldApartFromFirstRun();
    void replayDiscardsPushes();
    void macrosGroupWrappers();
    void updateTextRenamesOnlyFromFirstCommand();
};

void TestUndoStack::mergingRuns_data()
{
    QTest::addColumn<int>("id");
    QTest::addColumn<bool>("sameTarget");
    QTest::addColumn<int>("expectedSteps");

    QTest::newRow("same id, same target") << int(CommandId::ShadowAngle) << true << 1;
    QTest::newRow("same id, other target") << int(CommandId::ShadowAngle) << false << 10;
    QTest::newRow("never merging id") << int(CommandId::NoMerge) << true << 10;
}

void TestUndoStack::mergingRuns()
{
    QFETCH(int, id);
    QFETCH(bool, sameTarget);
    QFETCH(int, expectedSteps);

    UndoStack stack;
    Knob a(&stack, id), b(&stack, id);
    for (int i = 1; i <= 10; ++i) {
        Knob &target = (sameTarget || i % 2) ? a : b;
        target.setValue(i * 10, QStringLiteral("Turning %1").arg(i));
    }
    QCOMPARE(stack.count(), expectedSteps);
    QCOMPARE(stack.text(stack.count() - 1), QStringLiteral("Turning 10"));

    while (stack.canUndo())
        stack.undo();
    QCOMPARE(a.value(), 0.0);
    QCOMPARE(b.value(), 0.0);
    while (stack.canRedo())
        stack.redo();
    QCOMPARE(a.value(), sameTarget ? 100.0 : 90.0);
}

void TestUndoStack::cleanStateBreaksMerge()
{
    UndoStack stack;
    Knob knob(&stack, CommandId::ShadowAngle);
    knob.setValue(1);
    knob.setValue(2);
    stack.setClean();
    knob.setValue(3);
    QCOMPARE(stack.count(), 2);
    stack.undo();
    QCOMPARE(knob.value(), 2.0);
    QVERIFY(stack.isClean());
    stack.push(nullptr); // ignored
    QCOMPARE(stack.count(), 2);
}

void TestUndoStack::nestedPushesLandInOneStep()
{
    UndoStack stack;
    Knob leader(&stack, CommandId::NoMerge), follower(&stack, CommandId::NoMerge);
    leader.follower = &follower;

    leader.setValue(5);
    QCOMPARE(stack.count(), 1);
    QCOMPARE(wrapperAt(stack, 0)->commands().size(), 2);
    QCOMPARE(stack.text(0), QStringLiteral("Turning"));
    // Each command ran exactly once on the first push.
    QCOMPARE(leader.assignments, 1);
    QCOMPARE(follower.assignments, 1);
    QCOMPARE(follower.value(), 10.0);

    stack.undo();
    QCOMPARE(leader.value(), 0.0);
    QCOMPARE(follower.value(), 0.0);
    stack.redo();
    QCOMPARE(follower.value(), 10.0);
}

void TestUndoStack::nestedPushesMergeInsideTheStep()
{
    // Two commands of one id on one target pushed while the step is
    // recorded merge inside it.
    UndoStack stack;
    Knob target(&stack, CommandId::FrameSize);
    struct Pusher
    {
        Knob *target = nullptr;
        double value() const { return 0; }
        void assign(double)
        {
            target->setValue(1);
            target->setValue(2);
        }
    } pusher { &target };
    using Command = PropertyUndoCommand<Pusher, double, &Pusher::assign, &Pusher::value>;
    stack.push(new Command(QStringLiteral("Pushing"), &pusher, 1));
    QCOMPARE(wrapperAt(stack, 0)->commands().size(), 2);
    QCOMPARE(target.value(), 2.0);
    stack.undo();
    QCOMPARE(target.value(), 0.0);
}

void TestUndoStack::replayIsToldApartFromFirstRun()
{
    // An assignment asks the stack whether its step is being recorded or
    // replayed, as the grid theme does before laying out anew.
    UndoStack stack;
    struct Watcher
    {
        UndoStack *stack;
        QList<bool> replays;
        double value() const { return 0; }
        void assign(double) { replays.append(stack->isReplayingRecordedStep()); }
    } watcher { &stack, {} };
    using Command = PropertyUndoCommand<Watcher, double, &Watcher::assign, &Watcher::value>;
    stack.push(new Command(QStringLiteral("Watching"), &watcher, 1));
    stack.undo();
    stack.redo();
    QCOMPARE(watcher.replays, QList<bool>({ false, true, true }));
}

void TestUndoStack::replayDiscardsPushes()
{
    UndoStack stack;
    Knob leader(&stack, CommandId::NoMerge), follower(&stack, CommandId::NoMerge);
    leader.follower = &follower;
    leader.setValue(3);
    leader.setValue(4);
    QCOMPARE(stack.count(), 2);

    stack.undo();
    stack.undo();
    stack.redo();
    QCOMPARE(stack.count(), 2);
    QCOMPARE(stack.index(), 1);
    QCOMPARE(wrapperAt(stack, 0)->commands().size(), 2);
    QCOMPARE(follower.value(), 6.0);
    QVERIFY(!stack.isReplaying());
    QVERIFY(!stack.isReplayingRecordedStep());
}

void TestUndoStack::macrosGroupWrappers()
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
    QCOMPARE(stack.text(0), QStringLiteral("Changing theme to Cork Board"));
    stack.undo();
    QCOMPARE(a.value(), 0.0);
    QCOMPARE(b.value(), 0.0);
    stack.redo();
    QCOMPARE(a.value(), 2.0);
    QCOMPARE(b.value(), 7.0);
}

void TestUndoStack::updateTextRenamesOnlyFromFirstCommand()
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

QTEST_GUILESS_MAIN(TestUndoStack)
#include "tst_undostack.moc"
