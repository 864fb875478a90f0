#include <QCheckBox>
#include <QDial>
#include <QDir>
#include <QGraphicsOpacityEffect>
#include <QImageWriter>
#include <QLabel>
#include <QPropertyAnimation>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSlider>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>

#include <memory>

#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagesource.h"
#include "model/shadowproperties.h"
#include "ui/backgroundcontrolwidget.h"
#include "ui/buttongroup.h"
#include "ui/colorbutton.h"
#include "ui/expandedwidget.h"
#include "ui/framecontrolwidget.h"
#include "ui/pagelistitem.h"
#include "ui/pageslist.h"
#include "ui/shadowcontrolwidget.h"
#include "undo/undostack.h"

namespace {

// A document with an undo stack and the given page, with an empty history.
std::unique_ptr<Document> makeDocument(int units = PageSize::Inches, QSizeF size = { 8.5, 11 })
{
    auto document = std::make_unique<Document>(true);
    document->setPageSize(PageSize(units, size));
    document->undoStack()->clear();
    return document;
}

QStringList stepTexts(const UndoStack *stack)
{
    QStringList texts;
    for (int i = 0; i < stack->count(); ++i)
        texts << stack->text(i);
    return texts;
}

// Replaces the colour dialog while it lives.
class FakeColorPicker
{
public:
    explicit FakeColorPicker(const QColor &answer)
    {
        ColorButton::setColorPicker([answer](const QColor &, QWidget *) { return answer; });
    }
    ~FakeColorPicker() { ColorButton::setColorPicker({}); }
};

// Replaces the file dialog of the background page while it lives.
class FakeFileChooser
{
public:
    explicit FakeFileChooser(const QString &answer)
    {
        BackgroundControlWidget::setFileChooser(
            [this, answer](QWidget *parent, const QString &caption, const QString &directory,
                const QString &filter) {
                ++calls;
                lastParent = parent;
                lastCaption = caption;
                lastDirectory = directory;
                lastFilter = filter;
                return answer;
            });
    }
    ~FakeFileChooser() { BackgroundControlWidget::setFileChooser({}); }

    int calls = 0;
    QWidget *lastParent = nullptr;
    QString lastCaption;
    QString lastDirectory;
    QString lastFilter;
};

// Shows a page inside a window so that its folds animate, as in the
// editing window.
class Window : public QWidget
{
public:
    explicit Window(QWidget *page)
    {
        auto *layout = new QVBoxLayout(this);
        // The offscreen platform cannot follow a window's minimum size.
        layout->setSizeConstraint(QLayout::SetNoConstraint);
        layout->addWidget(page);
        layout->addStretch();
        resize(260, 420);
    }
};

bool foldsMatch(ExpandedWidget *wrapper, bool expanded)
{
    return wrapper->expanded() == expanded
        && wrapper->animation()->state() == QAbstractAnimation::Stopped
        && wrapper->expandPhase() == (expanded ? 1.0f : 0.0f);
}

} // namespace

class TestPanels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void pagesAreBuiltAsDescribed();
    void buildingRecordsNothing_data();
    void buildingRecordsNothing();

    void angleShowsOnDial_data();
    void angleShowsOnDial();
    void dialSetsAngle_data();
    void dialSetsAngle();
    void dialDragIsOneStep();
    void sliderShowsPercent_data();
    void sliderShowsPercent();
    void sliderSetsValue_data();
    void sliderSetsValue();
    void valueBeyondSliderStaysInDocument();
    void enableCheckBoxes_data();
    void enableCheckBoxes();
    void uncheckingFoldsWithFade();
    void singleShadow();

    void frameSizeOnSlider_data();
    void frameSizeOnSlider();
    void frameSliderSetsSize_data();
    void frameSliderSetsSize();

    void colorButtons_data();
    void colorButtons();

    void typeButtons_data();
    void typeButtons();
    void typeFoldsSections();
    void gradientAngleOnDial_data();
    void gradientAngleOnDial();
    void gradientDialSetsAngle();
    void browseSetsPicture();
    void browseCancelled();

    void deadDocumentObject();
    void pagesInAccordion();
};

void TestPanels::pagesAreBuiltAsDescribed()
{
    auto document = makeDocument();
    ShadowProperties shadow(document.get());
    FrameProperties frame(document.get());
    BackgroundProperties background(document.get());
    ShadowControlWidget shadowPage(&shadow);
    FrameControlWidget framePage(&frame);
    BackgroundControlWidget backgroundPage(&background);

    QCOMPARE(shadowPage.windowTitle(), QStringLiteral("Shadows"));
    QCOMPARE(framePage.windowTitle(), QStringLiteral("Frames"));
    QCOMPARE(backgroundPage.windowTitle(), QStringLiteral("Background"));
    QCOMPARE(backgroundPage.property("title").toString(), QStringLiteral("Background"));

    QCOMPARE(shadowPage.enableCheckBox()->text(), QStringLiteral("Enable shadows"));
    QCOMPARE(shadowPage.singleShadowCheckBox()->text(), QStringLiteral("Single shadow"));
    QCOMPARE(framePage.enableCheckBox()->text(), QStringLiteral("Enable frames"));
    QCOMPARE(backgroundPage.browseButton()->text(), QStringLiteral("Browse..."));
    QCOMPARE(backgroundPage.browseButton()->objectName(), QStringLiteral("bgImageBrowseButton"));

    QStringList labels;
    for (const QWidget *page : { static_cast<QWidget *>(&shadowPage),
             static_cast<QWidget *>(&framePage), static_cast<QWidget *>(&backgroundPage) }) {
        for (const QLabel *label : page->findChildren<QLabel *>())
            labels << label->text();
    }
    for (const char *text :
        { "Color:", "Angle:", "Distance:", "Blur radius:", "Width:", "Colors:", "Direction:" })
        QVERIFY2(labels.contains(QLatin1String(text)), text);

    for (QDial *dial : { shadowPage.angleDial(), backgroundPage.gradientDial() }) {
        QCOMPARE(dial->minimum(), 0);
        QCOMPARE(dial->maximum(), 360);
        QVERIFY(dial->invertedAppearance());
        QVERIFY(dial->wrapping());
        QCOMPARE(dial->maximumHeight(), 40);
    }
    for (QSlider *slider :
        { shadowPage.distanceSlider(), shadowPage.blurRadiusSlider(), framePage.widthSlider() }) {
        QCOMPARE(slider->orientation(), Qt::Horizontal);
        QCOMPARE(slider->minimum(), 0);
        QCOMPARE(slider->maximum(), 99);
    }

    struct Expected
    {
        const char *name;
        int id;
        const char *place;
    };
    const Expected buttons[] = { { "transparentButton", 0, "left" }, { "solidButton", 1, "center" },
        { "gradientButton", 2, "center" }, { "imageButton", 3, "right" } };
    for (const Expected &expected : buttons) {
        auto *button = backgroundPage.findChild<QToolButton *>(QLatin1String(expected.name));
        QVERIFY2(button, expected.name);
        QCOMPARE(backgroundPage.typeGroup()->id(button), expected.id);
        QCOMPARE(button->property("place").toString(), QLatin1String(expected.place));
        QVERIFY(button->isCheckable());
        QVERIFY(button->autoExclusive());
        QVERIFY2(!button->icon().isNull(), expected.name);
    }
}

void TestPanels::buildingRecordsNothing_data()
{
    QTest::addColumn<QString>("page");
    QTest::newRow("shadows") << QStringLiteral("shadows");
    QTest::newRow("frames") << QStringLiteral("frames");
    QTest::newRow("background") << QStringLiteral("background");
}

void TestPanels::buildingRecordsNothing()
{
    QFETCH(QString, page);

    // Values that the controls cannot show exactly must not be written back.
    auto document = makeDocument();
    ShadowProperties shadow(document.get());
    shadow.setBlurRadius(0.4321);
    shadow.setDistance(123);
    shadow.setAngle(33.3);
    FrameProperties frame(document.get());
    frame.setSize(0.0777);
    frame.setEnabled(false);
    BackgroundProperties background(document.get());
    background.setGradientAngle(12.5);
    background.setType(BackgroundProperties::Picture);
    document->undoStack()->clear();

    QWidget *widget;
    if (page == QLatin1String("shadows"))
        widget = new ShadowControlWidget(&shadow);
    else if (page == QLatin1String("frames"))
        widget = new FrameControlWidget(&frame);
    else
        widget = new BackgroundControlWidget(&background);
    Window window(widget);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QCOMPARE(document->undoStack()->count(), 0);
    QCOMPARE(shadow.blurRadius(), 0.4321);
    QCOMPARE(shadow.distance(), 123.0);
    QCOMPARE(shadow.angle(), 33.3);
    QCOMPARE(frame.size(), 0.0777);
    QCOMPARE(background.gradientAngle(), 12.5);
    QCOMPARE(background.type(), BackgroundProperties::Picture);
}

void TestPanels::angleShowsOnDial_data()
{
    QTest::addColumn<qreal>("angle");
    QTest::addColumn<int>("dial");

    QTest::newRow("0") << 0.0 << 270;
    QTest::newRow("45") << 45.0 << 315;
    QTest::newRow("90") << 90.0 << 0;
    QTest::newRow("180") << 180.0 << 90;
    QTest::newRow("300") << 300.0 << 210;
}

void TestPanels::angleShowsOnDial()
{
    QFETCH(qreal, angle);
    QFETCH(int, dial);

    auto document = makeDocument();
    ShadowProperties shadow(document.get());
    shadow.setAngle(angle);
    ShadowControlWidget page(&shadow);
    QCOMPARE(page.angleDial()->value(), dial);

    // And the same when the angle changes under an open page.
    ShadowProperties other(document.get());
    ShadowControlWidget otherPage(&other);
    QCOMPARE(otherPage.angleDial()->value(), 270);
    other.setAngle(angle);
    QCOMPARE(otherPage.angleDial()->value(), dial);
}

void TestPanels::dialSetsAngle_data()
{
    QTest::addColumn<int>("dial");
    QTest::addColumn<qreal>("angle");

    QTest::newRow("10") << 10 << 100.0;
    QTest::newRow("0") << 0 << 90.0;
    QTest::newRow("300 wraps") << 300 << 30.0;
    QTest::newRow("200") << 200 << 290.0;
}

void TestPanels::dialSetsAngle()
{
    QFETCH(int, dial);
    QFETCH(qreal, angle);

    auto document = makeDocument();
    ShadowProperties shadow(document.get());
    ShadowControlWidget page(&shadow);
    page.angleDial()->setValue(dial);

    QCOMPARE(shadow.angle(), angle);
    UndoStack *stack = document->undoStack();
    QCOMPARE(stepTexts(stack), QStringList { QStringLiteral("Changing shadow angle") });

    stack->undo();
    QCOMPARE(shadow.angle(), 0.0);
    QCOMPARE(page.angleDial()->value(), 270);
    stack->redo();
    QCOMPARE(shadow.angle(), angle);
    QCOMPARE(page.angleDial()->value(), dial);
    QCOMPARE(stack->count(), 1);
}

void TestPanels::dialDragIsOneStep()
{
    auto document = makeDocument();
    ShadowProperties shadow(document.get());
    auto *page = new ShadowControlWidget(&shadow);
    Window window(page);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Turning the dial with the keyboard, step by step.
    page->angleDial()->setFocus();
    for (int i = 0; i < 10; ++i)
        QTest::keyClick(page->angleDial(), Qt::Key_Up);
    QCOMPARE(page->angleDial()->value(), 280);
    QCOMPARE(shadow.angle(), 10.0);
    QCOMPARE(document->undoStack()->count(), 1);

    document->undoStack()->undo();
    QCOMPARE(shadow.angle(), 0.0);
    QCOMPARE(page->angleDial()->value(), 270);
}

void TestPanels::sliderShowsPercent_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<QSizeF>("pageSize");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<qreal>("value");
    QTest::addColumn<int>("slider");

    const QSizeF letter(8.5, 11);
    QTest::newRow("blur 0.425 on 8.5 in")
        << int(PageSize::Inches) << letter << QByteArray("blurRadius") << 0.425 << 5;
    QTest::newRow("distance 0.85 on 8.5 in")
        << int(PageSize::Inches) << letter << QByteArray("distance") << 0.85 << 10;
    QTest::newRow("landscape uses height")
        << int(PageSize::Pixels) << QSizeF(300, 200) << QByteArray("blurRadius") << 20.0 << 10;
    QTest::newRow("zero") << int(PageSize::Pixels) << QSizeF(300, 200) << QByteArray("distance")
                          << 0.0 << 0;
    QTest::newRow("beyond the end shows at the end")
        << int(PageSize::Inches) << letter << QByteArray("blurRadius") << 100.0 << 99;
}

void TestPanels::sliderShowsPercent()
{
    QFETCH(int, units);
    QFETCH(QSizeF, pageSize);
    QFETCH(QByteArray, property);
    QFETCH(qreal, value);
    QFETCH(int, slider);

    auto document = makeDocument(units, pageSize);
    ShadowProperties shadow(document.get());
    ShadowControlWidget page(&shadow);
    QSlider *control = property == "blurRadius" ? page.blurRadiusSlider() : page.distanceSlider();
    shadow.setProperty(property, value);
    QCOMPARE(control->value(), slider);

    ShadowControlWidget laterPage(&shadow);
    control = property == "blurRadius" ? laterPage.blurRadiusSlider() : laterPage.distanceSlider();
    QCOMPARE(control->value(), slider);
}

void TestPanels::sliderSetsValue_data()
{
    QTest::addColumn<int>("units");
    QTest::addColumn<QSizeF>("pageSize");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<int>("slider");
    QTest::addColumn<qreal>("value");
    QTest::addColumn<QString>("text");

    const QSizeF letter(8.5, 11);
    QTest::newRow("blur on 8.5 in") << int(PageSize::Inches) << letter << QByteArray("blurRadius")
                                    << 6 << 0.51 << QStringLiteral("Changing shadow blur radius");
    QTest::newRow("distance on 8.5 in") << int(PageSize::Inches) << letter << QByteArray("distance")
                                        << 20 << 1.7 << QStringLiteral("Changing shadow distance");
    QTest::newRow("blur on 300 x 200 px")
        << int(PageSize::Pixels) << QSizeF(300, 200) << QByteArray("blurRadius") << 50 << 100.0
        << QStringLiteral("Changing shadow blur radius");
}

void TestPanels::sliderSetsValue()
{
    QFETCH(int, units);
    QFETCH(QSizeF, pageSize);
    QFETCH(QByteArray, property);
    QFETCH(int, slider);
    QFETCH(qreal, value);
    QFETCH(QString, text);

    auto document = makeDocument(units, pageSize);
    ShadowProperties shadow(document.get());
    ShadowControlWidget page(&shadow);
    QSlider *control = property == "blurRadius" ? page.blurRadiusSlider() : page.distanceSlider();
    control->setValue(slider);

    QVERIFY(qFuzzyCompare(shadow.property(property).toReal(), value));
    UndoStack *stack = document->undoStack();
    QCOMPARE(stepTexts(stack), QStringList { text });

    stack->undo();
    QCOMPARE(shadow.property(property).toReal(), 0.0);
    QCOMPARE(control->value(), 0);
    stack->redo();
    QCOMPARE(control->value(), slider);
}

void TestPanels::valueBeyondSliderStaysInDocument()
{
    auto document = makeDocument();
    ShadowProperties shadow(document.get());
    shadow.setBlurRadius(20); // 235 % of 8.5
    document->undoStack()->clear();
    ShadowControlWidget page(&shadow);
    QCOMPARE(page.blurRadiusSlider()->value(), 99);
    QCOMPARE(shadow.blurRadius(), 20.0);
    QCOMPARE(document->undoStack()->count(), 0);

    // Only moving the slider changes it.
    page.blurRadiusSlider()->setValue(98);
    QVERIFY(qFuzzyCompare(shadow.blurRadius(), 8.33));
    document->undoStack()->undo();
    QCOMPARE(shadow.blurRadius(), 20.0);
    QCOMPARE(page.blurRadiusSlider()->value(), 99);
}

void TestPanels::enableCheckBoxes_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<int>("clicks");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("text");

    QTest::newRow("shadows on") << QStringLiteral("shadows") << 1 << true
                                << QStringLiteral("Enabling shadows");
    QTest::newRow("shadows on and off")
        << QStringLiteral("shadows") << 2 << false << QStringLiteral("Disabling shadows");
    QTest::newRow("frames off") << QStringLiteral("frames") << 1 << false
                                << QStringLiteral("Disabling frames");
    QTest::newRow("frames off and on")
        << QStringLiteral("frames") << 2 << true << QStringLiteral("Enabling frames");
}

void TestPanels::enableCheckBoxes()
{
    QFETCH(QString, page);
    QFETCH(int, clicks);
    QFETCH(bool, enabled);
    QFETCH(QString, text);

    auto document = makeDocument();
    ShadowProperties shadow(document.get());
    FrameProperties frame(document.get());
    std::unique_ptr<QWidget> widget;
    QCheckBox *checkBox;
    ExpandedWidget *wrapper;
    QObject *model;
    if (page == QLatin1String("shadows")) {
        auto *shadowPage = new ShadowControlWidget(&shadow);
        widget.reset(shadowPage);
        checkBox = shadowPage->enableCheckBox();
        wrapper = shadowPage->settingsWrapper();
        model = &shadow;
    } else {
        auto *framePage = new FrameControlWidget(&frame);
        widget.reset(framePage);
        checkBox = framePage->enableCheckBox();
        wrapper = framePage->settingsWrapper();
        model = &frame;
    }
    const bool before = model->property("enabled").toBool();
    QCOMPARE(checkBox->isChecked(), before);
    QVERIFY(foldsMatch(wrapper, before));

    for (int i = 0; i < clicks; ++i)
        QTest::mouseClick(checkBox, Qt::LeftButton, {}, QPoint(5, checkBox->height() / 2));
    QCOMPARE(model->property("enabled").toBool(), enabled);
    QCOMPARE(checkBox->isChecked(), enabled);
    QVERIFY(foldsMatch(wrapper, enabled));
    // Clicks on one check box merge into one step named after the last.
    UndoStack *stack = document->undoStack();
    QCOMPARE(stepTexts(stack), QStringList { text });

    stack->undo();
    QCOMPARE(model->property("enabled").toBool(), before);
    QCOMPARE(checkBox->isChecked(), before);
    QVERIFY(foldsMatch(wrapper, before));
}

void TestPanels::uncheckingFoldsWithFade()
{
    auto document = makeDocument();
    ShadowProperties shadow(document.get());
    shadow.setEnabled(true);
    auto *page = new ShadowControlWidget(&shadow);
    Window window(page);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ExpandedWidget *wrapper = page->settingsWrapper();
    QVERIFY(foldsMatch(wrapper, true));
    QCOMPARE(wrapper->contentOpacity(), 1.0);
    const int openHeight = wrapper->height();
    QVERIFY(openHeight > 100);

    // The opacity as drawn: through the effect while fading.
    auto drawnOpacity = [wrapper] {
        QWidget *content = wrapper->content();
        if (auto *effect = qobject_cast<QGraphicsOpacityEffect *>(content->graphicsEffect()))
            return effect->opacity();
        return content->isVisibleTo(wrapper) ? 1.0 : 0.0;
    };
    QList<QPair<float, qreal>> steps;
    connect(wrapper, &ExpandedWidget::expandPhaseChanged, this, [&](float phase) {
        steps.append({ phase, drawnOpacity() });
    });
    QSignalSpy finished(wrapper->animation(), &QAbstractAnimation::finished);

    page->enableCheckBox()->click();
    QVERIFY(!shadow.enabled());
    QCOMPARE(wrapper->animation()->state(), QAbstractAnimation::Running);
    QVERIFY(finished.wait(5000));
    QCOMPARE(wrapper->expandPhase(), 0.0f);
    QCOMPARE(drawnOpacity(), 0.0);
    QTRY_COMPARE(wrapper->height(), 0);
    QVERIFY(!steps.isEmpty());
    for (const auto &[phase, opacity] : std::as_const(steps))
        QVERIFY(qAbs(opacity - qMax(2.0 * (phase - 0.5), 0.0)) < 1e-6);

    page->enableCheckBox()->click();
    QVERIFY(shadow.enabled());
    QVERIFY(finished.wait(5000));
    QCOMPARE(wrapper->expandPhase(), 1.0f);
    QCOMPARE(drawnOpacity(), 1.0);
    QTRY_COMPARE(wrapper->height(), openHeight);
}

void TestPanels::singleShadow()
{
    auto document = makeDocument();
    ShadowProperties shadow(document.get());
    shadow.setEnabled(true);
    document->undoStack()->clear();
    ShadowControlWidget page(&shadow);
    page.singleShadowCheckBox()->click();
    QVERIFY(shadow.group());
    QCOMPARE(
        stepTexts(document->undoStack()), QStringList { QStringLiteral("Changing single shadow") });
    document->undoStack()->undo();
    QVERIFY(!page.singleShadowCheckBox()->isChecked());
}

void TestPanels::frameSizeOnSlider_data()
{
    QTest::addColumn<qreal>("size");
    QTest::addColumn<int>("slider");

    QTest::newRow("default 0.08") << 0.08 << 8;
    QTest::newRow("0.03") << 0.03 << 3;
    QTest::newRow("0.5") << 0.5 << 50;
    QTest::newRow("0") << 0.0 << 0;
    QTest::newRow("whole photo shows at the end") << 1.0 << 99;
}

void TestPanels::frameSizeOnSlider()
{
    QFETCH(qreal, size);
    QFETCH(int, slider);

    auto document = makeDocument();
    FrameProperties frame(document.get());
    FrameControlWidget page(&frame);
    frame.setSize(size);
    QCOMPARE(page.widthSlider()->value(), slider);
    FrameControlWidget laterPage(&frame);
    QCOMPARE(laterPage.widthSlider()->value(), slider);
}

void TestPanels::frameSliderSetsSize_data()
{
    QTest::addColumn<int>("slider");
    QTest::addColumn<qreal>("size");

    QTest::newRow("3") << 3 << 0.03;
    QTest::newRow("0") << 0 << 0.0;
    QTest::newRow("99") << 99 << 0.99;
}

void TestPanels::frameSliderSetsSize()
{
    QFETCH(int, slider);
    QFETCH(qreal, size);

    auto document = makeDocument();
    FrameProperties frame(document.get());
    auto *page = new FrameControlWidget(&frame);
    Window window(page);
    QCOMPARE(page->widthSlider()->value(), 8);
    page->widthSlider()->setValue(slider);

    QVERIFY(qFuzzyCompare(1 + frame.size(), 1 + size));
    UndoStack *stack = document->undoStack();
    QCOMPARE(stepTexts(stack), QStringList { QStringLiteral("Changing frame size") });
    stack->undo();
    QCOMPARE(frame.size(), 0.08);
    QCOMPARE(page->widthSlider()->value(), 8);

    // The keyboard moves it, too.
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QTest::keyClick(page->widthSlider(), Qt::Key_Right);
    QVERIFY(qFuzzyCompare(frame.size(), 0.09));
}

void TestPanels::colorButtons_data()
{
    QTest::addColumn<QString>("page");
    QTest::addColumn<QString>("button");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QString>("text");

    QTest::newRow("shadow") << QStringLiteral("shadows") << QStringLiteral("shadowColorButton")
                            << QByteArray("color") << QStringLiteral("Changing shadow color");
    QTest::newRow("frame") << QStringLiteral("frames") << QStringLiteral("frameColorButton")
                           << QByteArray("color") << QStringLiteral("Changing frame color");
    QTest::newRow("background") << QStringLiteral("background") << QStringLiteral("bgColorButton")
                                << QByteArray("color")
                                << QStringLiteral("Changing background color");
    QTest::newRow("gradient start")
        << QStringLiteral("background") << QStringLiteral("gradientStartColorButton")
        << QByteArray("gradientStartColor")
        << QStringLiteral("Changing background gradient color 1");
    QTest::newRow("gradient end") << QStringLiteral("background")
                                  << QStringLiteral("gradientEndColorButton")
                                  << QByteArray("gradientEndColor")
                                  << QStringLiteral("Changing background gradient color 2");
}

void TestPanels::colorButtons()
{
    QFETCH(QString, page);
    QFETCH(QString, button);
    QFETCH(QByteArray, property);
    QFETCH(QString, text);

    auto document = makeDocument();
    ShadowProperties shadow(document.get());
    FrameProperties frame(document.get());
    BackgroundProperties background(document.get());
    std::unique_ptr<QWidget> widget;
    QObject *model;
    if (page == QLatin1String("shadows")) {
        widget = std::make_unique<ShadowControlWidget>(&shadow);
        model = &shadow;
    } else if (page == QLatin1String("frames")) {
        widget = std::make_unique<FrameControlWidget>(&frame);
        model = &frame;
    } else {
        widget = std::make_unique<BackgroundControlWidget>(&background);
        model = &background;
    }
    auto *colorButton = widget->findChild<ColorButton *>(button);
    QVERIFY(colorButton);
    const QColor before = model->property(property).value<QColor>();
    QCOMPARE(colorButton->color(), before);
    UndoStack *stack = document->undoStack();

    {
        FakeColorPicker cancelled { QColor() };
        QTest::mouseClick(colorButton, Qt::LeftButton);
        QCOMPARE(stack->count(), 0);
        QCOMPARE(model->property(property).value<QColor>(), before);
    }

    const QColor chosen(12, 34, 56);
    FakeColorPicker picker(chosen);
    QTest::mouseClick(colorButton, Qt::LeftButton);
    QCOMPARE(model->property(property).value<QColor>(), chosen);
    QCOMPARE(stepTexts(stack), QStringList { text });

    stack->undo();
    QCOMPARE(model->property(property).value<QColor>(), before);
    QCOMPARE(colorButton->color(), before);
    stack->redo();
    QCOMPARE(colorButton->color(), chosen);
}

void TestPanels::typeButtons_data()
{
    QTest::addColumn<int>("initial");
    QTest::addColumn<QString>("button");
    QTest::addColumn<int>("type");
    QTest::addColumn<int>("steps");

    QTest::newRow("gradient from colour") << 1 << QStringLiteral("gradientButton") << 2 << 1;
    QTest::newRow("transparent from colour") << 1 << QStringLiteral("transparentButton") << 0 << 1;
    QTest::newRow("picture from gradient") << 2 << QStringLiteral("imageButton") << 3 << 1;
    QTest::newRow("colour from picture") << 3 << QStringLiteral("solidButton") << 1 << 1;
    QTest::newRow("current type again") << 1 << QStringLiteral("solidButton") << 1 << 0;
}

void TestPanels::typeButtons()
{
    QFETCH(int, initial);
    QFETCH(QString, button);
    QFETCH(int, type);
    QFETCH(int, steps);

    auto document = makeDocument();
    BackgroundProperties background(document.get());
    background.setType(BackgroundProperties::Type(initial));
    document->undoStack()->clear();
    BackgroundControlWidget page(&background);
    QCOMPARE(page.typeGroup()->currentId(), initial);
    QVERIFY(page.typeButton(initial)->isChecked());

    auto *toolButton = page.findChild<QToolButton *>(button);
    QVERIFY(toolButton);
    QTest::mouseClick(toolButton, Qt::LeftButton);
    QCOMPARE(int(background.type()), type);
    QCOMPARE(page.typeGroup()->currentId(), type);
    UndoStack *stack = document->undoStack();
    QCOMPARE(stack->count(), steps);
    if (steps == 0)
        return;
    QCOMPARE(stack->text(0), QStringLiteral("Changing background gradient angle"));

    stack->undo();
    QCOMPARE(int(background.type()), initial);
    QCOMPARE(page.typeGroup()->currentId(), initial);
    QVERIFY(page.typeButton(initial)->isChecked());
    QVERIFY(!toolButton->isChecked());
}

void TestPanels::typeFoldsSections()
{
    auto document = makeDocument();
    BackgroundProperties background(document.get());
    auto *page = new BackgroundControlWidget(&background);
    Window window(page);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));

    // Colour at first: only the colour section is open.
    QVERIFY(foldsMatch(page->solidSection(), true));
    QVERIFY(foldsMatch(page->gradientSection(), false));
    QVERIFY(foldsMatch(page->imageSection(), false));

    QTest::mouseClick(page->typeButton(BackgroundProperties::Gradient), Qt::LeftButton);
    QCOMPARE(background.type(), BackgroundProperties::Gradient);
    QCOMPARE(document->undoStack()->count(), 1);
    QVERIFY(page->gradientSection()->expanded());
    QVERIFY(!page->solidSection()->expanded());
    QTRY_VERIFY(foldsMatch(page->gradientSection(), true));
    QTRY_VERIFY(foldsMatch(page->solidSection(), false));
    QVERIFY(foldsMatch(page->imageSection(), false));
    QTRY_VERIFY(page->gradientSection()->height() > 40);
    QTRY_COMPARE(page->solidSection()->height(), 0);

    QTest::mouseClick(page->typeButton(BackgroundProperties::None), Qt::LeftButton);
    QTRY_VERIFY(foldsMatch(page->gradientSection(), false));
    QVERIFY(foldsMatch(page->solidSection(), false));
    QVERIFY(foldsMatch(page->imageSection(), false));

    // Both type changes merged into one step: undo brings the colour back.
    QCOMPARE(document->undoStack()->count(), 1);
    document->undoStack()->undo();
    QCOMPARE(background.type(), BackgroundProperties::Color);
    QVERIFY(page->typeButton(BackgroundProperties::Color)->isChecked());
    QTRY_VERIFY(foldsMatch(page->solidSection(), true));
    QVERIFY(foldsMatch(page->gradientSection(), false));
    QVERIFY(foldsMatch(page->imageSection(), false));
}

void TestPanels::gradientAngleOnDial_data()
{
    QTest::addColumn<qreal>("angle");
    QTest::addColumn<int>("dial");

    QTest::newRow("default 180") << 180.0 << 180;
    QTest::newRow("45") << 45.0 << 45;
    QTest::newRow("0") << 0.0 << 0;
    QTest::newRow("-30 wraps") << -30.0 << 330;
    QTest::newRow("400 wraps") << 400.0 << 40;
}

void TestPanels::gradientAngleOnDial()
{
    QFETCH(qreal, angle);
    QFETCH(int, dial);

    auto document = makeDocument();
    BackgroundProperties background(document.get());
    BackgroundControlWidget page(&background);
    QCOMPARE(page.gradientDial()->value(), 180);
    background.setGradientAngle(angle);
    QCOMPARE(page.gradientDial()->value(), dial);
}

void TestPanels::gradientDialSetsAngle()
{
    auto document = makeDocument();
    BackgroundProperties background(document.get());
    BackgroundControlWidget page(&background);
    page.gradientDial()->setValue(90);
    page.gradientDial()->setValue(95);
    QCOMPARE(background.gradientAngle(), 95.0);
    UndoStack *stack = document->undoStack();
    QCOMPARE(
        stepTexts(stack), QStringList { QStringLiteral("Changing background gradient angle") });
    stack->undo();
    QCOMPARE(background.gradientAngle(), 180.0);
    QCOMPARE(page.gradientDial()->value(), 180);
}

void TestPanels::browseSetsPicture()
{
    QTemporaryDir folder;
    QVERIFY(folder.isValid());
    const QString path = folder.filePath(QStringLiteral("paper.png"));
    QImage image(40, 30, QImage::Format_RGB32);
    image.fill(QColor(200, 180, 120));
    QVERIFY(QImageWriter(path).write(image));

    auto document = makeDocument();
    BackgroundProperties background(document.get());
    BackgroundControlWidget page(&background);
    FakeFileChooser chooser(path);
    QTest::mouseClick(page.browseButton(), Qt::LeftButton);

    QCOMPARE(chooser.calls, 1);
    QCOMPARE(chooser.lastParent, &page);
    QCOMPARE(chooser.lastCaption, QStringLiteral("Select background image"));
    QCOMPARE(
        chooser.lastDirectory, QStandardPaths::writableLocation(QStandardPaths::PicturesLocation));
    QVERIFY(chooser.lastFilter.startsWith(QStringLiteral("Images (")));
    QVERIFY(chooser.lastFilter.contains(QStringLiteral("*.png")));
    QVERIFY(chooser.lastFilter.endsWith(QStringLiteral(");;All files (*.*)")));

    QCOMPARE(background.image()->source(), QUrl::fromLocalFile(path));
    // Choosing the picture does not switch the kind of background.
    QCOMPARE(background.type(), BackgroundProperties::Color);
    UndoStack *stack = document->undoStack();
    QCOMPARE(stepTexts(stack), QStringList { QStringLiteral("Changing background image") });
    stack->undo();
    QCOMPARE(background.image()->source(), QUrl());
}

void TestPanels::browseCancelled()
{
    auto document = makeDocument();
    BackgroundProperties background(document.get());
    BackgroundControlWidget page(&background);
    FakeFileChooser chooser { QString() };
    QTest::mouseClick(page.browseButton(), Qt::LeftButton);
    QCOMPARE(chooser.calls, 1);
    QCOMPARE(document->undoStack()->count(), 0);
    QCOMPARE(background.image()->source(), QUrl());
}

void TestPanels::deadDocumentObject()
{
    auto document = makeDocument();
    auto *shadow = new ShadowProperties(document.get());
    auto *background = new BackgroundProperties(document.get());
    ShadowControlWidget shadowPage(shadow);
    BackgroundControlWidget backgroundPage(background);
    delete shadow;
    delete background;

    shadowPage.blurRadiusSlider()->setValue(40);
    shadowPage.angleDial()->setValue(12);
    shadowPage.enableCheckBox()->click();
    backgroundPage.typeButton(BackgroundProperties::Gradient)->click();
    FakeFileChooser chooser(QStringLiteral("/nonexistent/picture.png"));
    backgroundPage.browseButton()->click();
    QCOMPARE(document->undoStack()->count(), 0);
}

void TestPanels::pagesInAccordion()
{
    auto document = makeDocument();
    ShadowProperties shadow(document.get());
    shadow.setEnabled(true);
    shadow.setBlurRadius(0.425);
    shadow.setDistance(0.17);
    shadow.setAngle(45);
    shadow.setColor(QColor(30, 30, 30, 160));
    FrameProperties frame(document.get());
    BackgroundProperties background(document.get());
    background.setType(BackgroundProperties::Gradient);
    background.setGradientStartColor(QColor(250, 230, 200));
    background.setGradientEndColor(QColor(120, 60, 40));
    document->undoStack()->clear();

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    auto *list = new PagesList;
    layout->addWidget(list);
    list->setPages({ new ShadowControlWidget(&shadow), new FrameControlWidget(&frame),
        new BackgroundControlWidget(&background) });
    window.resize(260, 480);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    // Folds nest here (a settings group inside an accordion page); painting
    // them must not trip over nested graphics effects.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("QPainter")));
    const QList<PageListItem *> items = list->items();
    QCOMPARE(items.size(), 3);
    QCOMPARE(items[0]->headerButton()->text(), QStringLiteral("Shadows"));
    QCOMPARE(items[1]->headerButton()->text(), QStringLiteral("Frames"));
    QCOMPARE(items[2]->headerButton()->text(), QStringLiteral("Background"));

    // Every page opened in turn; the previous one folds. With the preview
    // folder set, a picture of each state is kept for a look by eye.
    const QString previewFolder = qEnvironmentVariable("TESSELO_PANELS_PREVIEW_DIR");
    if (!previewFolder.isEmpty())
        QDir().mkpath(previewFolder);
    const char *names[] = { "shadows", "frames", "background" };
    for (int i = 0; i < items.size(); ++i) {
        QTest::mouseClick(items[i]->headerButton(), Qt::LeftButton);
        QTRY_VERIFY(foldsMatch(items[i]->wrapper(), true));
        for (int j = 0; j < items.size(); ++j) {
            if (j != i)
                QTRY_VERIFY(foldsMatch(items[j]->wrapper(), false));
        }
        QTRY_COMPARE(items[i]->wrapper()->height(), items[i]->wrapper()->sizeHint().height());
        QVERIFY(items[i]->wrapper()->height() > 50);
        if (!previewFolder.isEmpty())
            QVERIFY(window.grab().save(
                QDir(previewFolder).filePath(QStringLiteral("%1.png").arg(names[i]))));
    }
    QCOMPARE(document->undoStack()->count(), 0);

    // A fold inside the open page while the page itself is at rest.
    auto *shadowPage = qobject_cast<ShadowControlWidget *>(items[0]->page());
    QTest::mouseClick(items[0]->headerButton(), Qt::LeftButton);
    QTRY_VERIFY(foldsMatch(items[0]->wrapper(), true));
    shadowPage->enableCheckBox()->click();
    QVERIFY(!shadow.enabled());
    QTRY_VERIFY(foldsMatch(shadowPage->settingsWrapper(), false));
    // The page shrinks with its fold.
    QTRY_COMPARE(items[0]->wrapper()->height(), items[0]->wrapper()->sizeHint().height());
    QVERIFY(items[0]->wrapper()->height() < 80);
    QCOMPARE(document->undoStack()->count(), 1);
}

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
