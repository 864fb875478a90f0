#include <QPointer>
#include <QTest>

#include "ui/bordershadowwidget.h"

class TestBorderShadowWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void followsTarget();
    void drawsInnerShadow();
};

void TestBorderShadowWidget::followsTarget()
{
    QWidget window;
    auto *target = new QWidget(&window);
    target->setGeometry(10, 20, 200, 100);
    auto *sibling = new QWidget(&window);
    QPointer<BorderShadowWidget> shadow = new BorderShadowWidget(target);
    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(shadow->geometry(), target->geometry());
    // Stacked above everything created before it, yet clicks go through.
    QVERIFY(window.children().indexOf(shadow.data()) > window.children().indexOf(sibling));
    QCOMPARE(window.childAt(50, 50), target);

    target->setGeometry(40, 30, 120, 160);
    QCOMPARE(shadow->geometry(), QRect(40, 30, 120, 160));
    target->hide();
    QVERIFY(!shadow->isVisible());
    target->show();
    QVERIFY(shadow->isVisible());
    // It goes with its target.
    delete target;
    QTRY_VERIFY(shadow.isNull());
}

void TestBorderShadowWidget::drawsInnerShadow()
{
    QWidget window;
    window.setStyleSheet(QStringLiteral("background: white"));
    auto *target = new QWidget(&window);
    target->setGeometry(0, 0, 120, 120);
    new BorderShadowWidget(target);
    window.resize(120, 120);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Dark at the border, untouched in the middle.
    const QImage image = window.grab().toImage();
    QVERIFY2(image.pixelColor(1, 60).lightness() < 200, qPrintable(image.pixelColor(1, 60).name()));
    QCOMPARE(image.pixelColor(60, 60), QColor(Qt::white));
}

QTEST_MAIN(TestBorderShadowWidget)
#include "tst_bordershadowwidget.moc"
