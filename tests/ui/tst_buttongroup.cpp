#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "ui/buttongroup.h"

class TestButtonGroup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setCurrentId_data();
    void setCurrentId();
};

void TestButtonGroup::setCurrentId_data()
{
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<QList<int>>("emitted");
    QTest::addColumn<int>("checked");

    // The first id always takes effect, even the id of "nothing yet".
    QTest::newRow("first is -1") << QList<int> { -1 } << QList<int> { -1 } << -1;
    QTest::newRow("repeat ignored") << QList<int> { 2, 2 } << QList<int> { 2 } << 2;
    QTest::newRow("unknown id keeps button") << QList<int> { 1, 7 } << QList<int> { 1, 7 } << 1;
}

// Clicks on the buttons are covered where the group is used, on the
// background page of the property panels.
void TestButtonGroup::setCurrentId()
{
    QFETCH(QList<int>, ids);
    QFETCH(QList<int>, emitted);
    QFETCH(int, checked);

    QWidget window;
    ButtonGroup group;
    for (int i = 0; i < 3; ++i)
        group.addButton(new QRadioButton(&window), i);
    QCOMPARE(group.currentId(), -1);
    QSignalSpy spy(&group, &ButtonGroup::currentIdChanged);

    for (int id : ids)
        group.setProperty("currentId", id);
    QList<int> seen;
    for (const QList<QVariant> &arguments : spy)
        seen << arguments.at(0).toInt();
    QCOMPARE(seen, emitted);
    QCOMPARE(group.currentId(), ids.last());
    QCOMPARE(group.checkedId(), checked);
}

QTEST_MAIN(TestButtonGroup)
#include "tst_buttongroup.moc"
