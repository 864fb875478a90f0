#include <QPointer>
#include <QTest>

#include "ui/bordershadowwidget.h"

class TestBorderShadowWidget : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void liesOverTarget();
    void followsTarget_data();
    void followsTarget();
    void goesWithTarget();
    void drawsInnerShadow();
};

void TestBorderShadowWidget::liesOverTarget()
{
    QWidget window;
    auto *target = new QWidget(&window);
    target->setGeometry(10, 20, 200, 100);
    auto *sibling = new QWidget(&window);
    BorderShadowWidget shadow(target);
    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    QCOMPARE(shadow.parentWidget(), &window);
    QCOMPARE(shadow.target(), target);
    QCOMPARE(shadow.geometry(), target->geometry());
    QVERIFY(shadow.isVisible());
    QVERIFY(shadow.testAttribute(Qt::WA_TransparentForMouseEvents));
    QCOMPARE(shadow.focusPolicy(), Qt::NoFocus);
    QCOMPARE(
        shadow.styleSheet(), QStringLiteral("border-image: url(:/innerShadow.png) 15; border: 15"));
    // Stacked above the target (and everything else created before it).
    QVERIFY(window.children().indexOf(&shadow) > window.children().indexOf(target));
    QVERIFY(window.children().indexOf(&shadow) > window.children().indexOf(sibling));
    QCOMPARE(window.childAt(50, 50), target);
}

void TestBorderShadowWidget::followsTarget_data()
{
    QTest::addColumn<QRect>("geometry");
    QTest::newRow("moved") << QRect(40, 30, 200, 100);
    QTest::newRow("resized") << QRect(10, 20, 120, 160);
    QTest::newRow("both") << QRect(0, 0, 300, 200);
}

void TestBorderShadowWidget::followsTarget()
{
    QFETCH(QRect, geometry);

    QWidget window;
    auto *target = new QWidget(&window);
    target->setGeometry(10, 20, 200, 100);
    BorderShadowWidget shadow(target);
    window.resize(300, 200);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    target->setGeometry(geometry);
    QCOMPARE(shadow.geometry(), geometry);
    target->hide();
    QVERIFY(!shadow.isVisible());
    target->show();
    QVERIFY(shadow.isVisible());
}

void TestBorderShadowWidget::goesWithTarget()
{
    QWidget window;
    auto *target = new QWidget(&window);
    QPointer<BorderShadowWidget> shadow = new BorderShadowWidget(target);
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

    const QImage image = window.grab().toImage();
    const QString previewFolder = qEnvironmentVariable("TESSELO_PANELS_PREVIEW_DIR");
    if (!previewFolder.isEmpty())
        image.save(previewFolder + QStringLiteral("/innershadow.png"));
    const QColor edge = image.pixelColor(1, 60);
    const QColor middle = image.pixelColor(60, 60);
    // Dark at the border, untouched in the middle.
    QVERIFY2(edge.lightness() < 200, qPrintable(edge.name()));
    QCOMPARE(middle, QColor(Qt::white));
}

QTEST_MAIN(TestBorderShadowWidget)
#include "tst_bordershadowwidget.moc"
