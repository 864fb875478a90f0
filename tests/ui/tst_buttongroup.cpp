#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "ui/buttongroup.h"

class TestButtonGroup : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setCurrentId_data();
    void setCurrentId();
    void clickSetsCurrentId_data();
    void clickSetsCurrentId();
};

void TestButtonGroup::setCurrentId_data()
{
    QTest::addColumn<QList<int>>("ids");
    QTest::addColumn<QList<int>>("emitted");
    QTest::addColumn<int>("checked");

    // The first id always takes effect, even the id of "nothing yet".
    QTest::newRow("first is -1") << QList<int> { -1 } << QList<int> { -1 } << -1;
    QTest::newRow("one") << QList<int> { 2 } << QList<int> { 2 } << 2;
    QTest::newRow("repeat ignored") << QList<int> { 2, 2 } << QList<int> { 2 } << 2;
    QTest::newRow("switch") << QList<int> { 0, 1, 0 } << QList<int> { 0, 1, 0 } << 0;
    QTest::newRow("unknown id keeps button") << QList<int> { 1, 7 } << QList<int> { 1, 7 } << 1;
}

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

void TestButtonGroup::clickSetsCurrentId_data()
{
    QTest::addColumn<QList<int>>("clicks");
    QTest::addColumn<int>("signalCount");
    QTest::addColumn<int>("current");

    QTest::newRow("one click") << QList<int> { 1 } << 1 << 1;
    QTest::newRow("same button twice") << QList<int> { 1, 1 } << 1 << 1;
    QTest::newRow("two buttons") << QList<int> { 0, 2 } << 2 << 2;
}

void TestButtonGroup::clickSetsCurrentId()
{
    QFETCH(QList<int>, clicks);
    QFETCH(int, signalCount);
    QFETCH(int, current);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    ButtonGroup group;
    QList<QRadioButton *> buttons;
    for (int i = 0; i < 3; ++i) {
        buttons << new QRadioButton(QStringLiteral("Option %1").arg(i), &window);
        layout->addWidget(buttons.last());
        group.addButton(buttons.last(), i);
    }
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QSignalSpy spy(&group, &ButtonGroup::currentIdChanged);

    for (int index : clicks)
        QTest::mouseClick(buttons[index], Qt::LeftButton);
    QCOMPARE(spy.count(), signalCount);
    QCOMPARE(group.currentId(), current);
    QVERIFY(buttons[current]->isChecked());
}

QTEST_MAIN(TestButtonGroup)
#include "tst_buttongroup.moc"
