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
    {
        ColorButton::setColorPicker([this, answer](const QColor &initial, QWidget *parent) {
            ++calls;
            lastInitial = initial;
            lastParent = parent;
            return answer;
        });
    }
    ~FakePicker() { ColorButton::setColorPicker({}); }

    int calls = 0;
    QColor lastInitial;
    QWidget *lastParent = nullptr;
};

} // namespace

class TestColorButton : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void clickPicksColor_data();
    void clickPicksColor();
    void paintsSwatch();
};

void TestColorButton::clickPicksColor_data()
{
    QTest::addColumn<QColor>("current");
    QTest::addColumn<QColor>("answer");
    QTest::addColumn<QColor>("expected");
    QTest::addColumn<int>("signalCount");

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
    (new QVBoxLayout(&window))->addWidget(button);
    button->setColor(current);
    QSignalSpy spy(button, &ColorButton::colorChanged);

    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(picker.calls, 1);
    QCOMPARE(picker.lastInitial, current);
    QCOMPARE(picker.lastParent, &window);
    QCOMPARE(button->color(), expected);
    QCOMPARE(spy.count(), signalCount);
}

void TestColorButton::paintsSwatch()
{
    const QColor color(200, 30, 40);
    ColorButton button;
    button.resize(50, 26);
    // Nothing but the panel is drawn for an invalid colour.
    QVERIFY(!button.grab().isNull());
    button.setColor(color);
    const QImage image = button.grab().toImage();
    QCOMPARE(image.pixelColor(image.width() / 2, image.height() / 2), color);
    // The outermost column still belongs to the button's panel.
    QVERIFY(image.pixelColor(0, image.height() / 2) != color);
}

QTEST_MAIN(TestColorButton)
#include "tst_colorbutton.moc"
