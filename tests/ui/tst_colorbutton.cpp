#include <QSignalSpy>
#include <QTest>
#include <QVBoxLayout>

#include "ui/colorbutton.h"

namespace {

// Replaces the colour dialog for as long as it lives and records how it
// was asked.
class FakePicker
{
public:
    explicit FakePicker(const QColor &answer)
        : m_answer(answer)
    {
        ColorButton::setColorPicker([this](const QColor &initial, QWidget *parent) {
            ++calls;
            lastInitial = initial;
            lastParent = parent;
            return m_answer;
        });
    }
    ~FakePicker() { ColorButton::setColorPicker({}); }

    int calls = 0;
    QColor lastInitial;
    QWidget *lastParent = nullptr;

private:
    QColor m_answer;
};

} // namespace

class TestColorButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void startsWithoutColor();
    void setColor_data();
    void setColor();
    void clickPicksColor_data();
    void clickPicksColor();
    void paintsSwatch_data();
    void paintsSwatch();
};

void TestColorButton::startsWithoutColor()
{
    ColorButton button;
    QVERIFY(!button.color().isValid());
    // Nothing but the panel is drawn for an invalid colour.
    button.resize(40, 24);
    QVERIFY(!button.grab().isNull());
}

void TestColorButton::setColor_data()
{
    QTest::addColumn<QList<QColor>>("colors");
    QTest::addColumn<int>("signalCount");

    QTest::newRow("one") << QList<QColor> { Qt::red } << 1;
    QTest::newRow("same twice") << QList<QColor> { Qt::red, Qt::red } << 1;
    QTest::newRow("two") << QList<QColor> { Qt::red, Qt::blue } << 2;
    QTest::newRow("back and forth") << QList<QColor> { Qt::red, Qt::blue, Qt::red } << 3;
    QTest::newRow("alpha differs")
        << QList<QColor> { QColor(10, 20, 30), QColor(10, 20, 30, 40) } << 2;
}

void TestColorButton::setColor()
{
    QFETCH(QList<QColor>, colors);
    QFETCH(int, signalCount);

    ColorButton button;
    QSignalSpy spy(&button, &ColorButton::colorChanged);
    for (const QColor &color : colors)
        button.setProperty("color", color);
    QCOMPARE(spy.count(), signalCount);
    QCOMPARE(button.color(), colors.last());
    QCOMPARE(spy.last().at(0).value<QColor>(), colors.last());
}

void TestColorButton::clickPicksColor_data()
{
    QTest::addColumn<QColor>("current");
    QTest::addColumn<QColor>("answer");
    QTest::addColumn<QColor>("expected");
    QTest::addColumn<int>("signalCount");

    QTest::newRow("new colour") << QColor(Qt::white) << QColor(Qt::green) << QColor(Qt::green) << 1;
    QTest::newRow("cancelled") << QColor(Qt::white) << QColor() << QColor(Qt::white) << 0;
    QTest::newRow("same colour") << QColor(Qt::white) << QColor(Qt::white) << QColor(Qt::white)
                                 << 0;
    QTest::newRow("from nothing") << QColor() << QColor(Qt::blue) << QColor(Qt::blue) << 1;
}

void TestColorButton::clickPicksColor()
{
    QFETCH(QColor, current);
    QFETCH(QColor, answer);
    QFETCH(QColor, expected);
    QFETCH(int, signalCount);

    FakePicker picker(answer);
    QWidget window;
    auto *button = new ColorButton(&window);
    new QVBoxLayout(&window);
    window.layout()->addWidget(button);
    button->setColor(current);
    QSignalSpy spy(button, &ColorButton::colorChanged);

    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(picker.calls, 1);
    QCOMPARE(picker.lastInitial, current);
    QCOMPARE(picker.lastParent, &window);
    QCOMPARE(button->color(), expected);
    QCOMPARE(spy.count(), signalCount);
}

void TestColorButton::paintsSwatch_data()
{
    QTest::addColumn<QColor>("color");
    QTest::newRow("red") << QColor(200, 30, 40);
    QTest::newRow("blue") << QColor(20, 40, 220);
}

void TestColorButton::paintsSwatch()
{
    QFETCH(QColor, color);

    ColorButton button;
    button.setColor(color);
    button.resize(50, 26);
    const QImage image = button.grab().toImage();
    QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), color);
    // The outermost column still belongs to the button's panel.
    QVERIFY(image.pixelColor(0, image.height() / 2) != color);
}

QTEST_MAIN(TestColorButton)
#include "tst_colorbutton.moc"
