#include <QCheckBox>
#include <QDial>
#include <QImageWriter>
#include <QSlider>
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
#include "ui/framecontrolwidget.h"
#include "ui/shadowcontrolwidget.h"
#include "ui/uitestdata.h"
#include "undo/undostack.h"

namespace {

QStringList stepTexts(const UndoStack *stack)
{
    QStringList texts;
    for (int i = 0; i < stack->count(); ++i)
        texts << stack->text(i);
    return texts;
}

// A document with the three appearance objects; a page is built on demand
// (after the test has set its values) inside a window, as in the editor.
struct Fixture
{
    Fixture()
        : document(std::make_unique<Document>(true))
        , shadow(document.get())
        , frame(document.get())
        , background(document.get())
    {
        document->setPageSize(PageSize(PageSize::Inches, { 8.5, 11 }));
    }

    QObject *model(const QString &name)
    {
        return name == QLatin1String("shadows") ? static_cast<QObject *>(&shadow)
            : name == QLatin1String("frames")   ? static_cast<QObject *>(&frame)
                                                : &background;
    }

    template<typename Page = QWidget> Page *build(const QString &name)
    {
        document->undoStack()->clear();
        QWidget *page;
        if (name == QLatin1String("shadows"))
            page = new ShadowControlWidget(&shadow);
        else if (name == QLatin1String("frames"))
            page = new FrameControlWidget(&frame);
        else
            page = new BackgroundControlWidget(&background);
        window = std::make_unique<QWidget>();
        auto *layout = new QVBoxLayout(window.get());
        // The offscreen platform cannot follow a window's minimum size.
        layout->setSizeConstraint(QLayout::SetNoConstraint);
        layout->addWidget(page);
        layout->addStretch();
        window->resize(260, 420);
        return qobject_cast<Page *>(page);
    }

    UndoStack *stack() const { return document->undoStack(); }

    std::unique_ptr<Document> document;
    ShadowProperties shadow;
    FrameProperties frame;
    BackgroundProperties background;
    std::unique_ptr<QWidget> window;
};

// Replaces the file dialog of the background page while it lives.
struct FakeFileChooser
{
    explicit FakeFileChooser(const QString &answer)
    {
        BackgroundControlWidget::setFileChooser(
            [this, answer](QWidget *, const QString &, const QString &, const QString &) {
                ++calls;
                return answer;
            });
    }
    ~FakeFileChooser() { BackgroundControlWidget::setFileChooser({}); }

    int calls = 0;
};

} // namespace

class TestPanels : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buildingRecordsNothing()
    {
        // Values that the controls cannot show exactly must not be written back.
        Fixture f;
        f.shadow.setBlurRadius(0.4321);
        f.shadow.setDistance(123);
        f.shadow.setAngle(33.3);
        f.frame.setSize(0.0777);
        f.frame.setEnabled(false);
        f.background.setGradientAngle(12.5);
        f.background.setType(BackgroundProperties::Picture);
        f.build(QStringLiteral("background"));
        f.window->layout()->addWidget(new ShadowControlWidget(&f.shadow));
        f.window->layout()->addWidget(new FrameControlWidget(&f.frame));
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(f.stack()->count(), 0);
        QCOMPARE(f.shadow.blurRadius(), 0.4321);
        QCOMPARE(f.shadow.distance(), 123.0);
        QCOMPARE(f.shadow.angle(), 33.3);
        QCOMPARE(f.frame.size(), 0.0777);
        QCOMPARE(f.background.gradientAngle(), 12.5);
        QCOMPARE(f.background.type(), BackgroundProperties::Picture);
    }

    void controls_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("control");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<qreal>("initial");
        QTest::addColumn<int>("shown");
        QTest::addColumn<int>("moved");
        QTest::addColumn<qreal>("value");
        QTest::addColumn<QString>("text");

        // The shadow dial's zero points down, the gradient dial's up. Shadow
        // sliders are percent of the shorter page side (8.5 in), the frame
        // slider percent of the photo; values beyond the end show at the end
        // and stay in the document until the slider moves.
        const QString shadows = QStringLiteral("shadows");
        const QString background = QStringLiteral("background");
        const QString shadowAngle = QStringLiteral("Changing shadow angle");
        const QString gradientAngle = QStringLiteral("Changing background gradient angle");
        const QString blur = QStringLiteral("Changing shadow blur radius");
        QTest::newRow("shadow angle wraps") << shadows << "angleDial" << QByteArray("angle")
                                            << 300.0 << 210 << 315 << 45.0 << shadowAngle;
        QTest::newRow("gradient angle below 0")
            << background << "gradientDial" << QByteArray("gradientAngle") << -30.0 << 330 << 40
            << 40.0 << gradientAngle;
        QTest::newRow("blur beyond the end")
            << shadows << "blurRadiusSlider" << QByteArray("blurRadius") << 20.0 << 99 << 98 << 8.33
            << blur;
        QTest::newRow("frame of the whole photo")
            << QStringLiteral("frames") << "frameWidthSlider" << QByteArray("size") << 1.0 << 99
            << 3 << 0.03 << QStringLiteral("Changing frame size");
    }

    // Dials and sliders show the document's value and change it; moving one
    // is one undo step.
    void controls()
    {
        QFETCH(QString, page);
        QFETCH(QString, control);
        QFETCH(QByteArray, property);
        QFETCH(qreal, initial);
        QFETCH(int, shown);
        QFETCH(int, moved);
        QFETCH(qreal, value);
        QFETCH(QString, text);

        Fixture f;
        QObject *model = f.model(page);
        model->setProperty(property, initial);
        auto *slider = f.build(page)->findChild<QAbstractSlider *>(control);
        QVERIFY(slider);
        QCOMPARE(slider->value(), shown);
        QCOMPARE(f.stack()->count(), 0);

        slider->setValue(moved == 0 ? 1 : moved - 1);
        slider->setValue(moved);
        QVERIFY(qFuzzyCompare(1 + model->property(property).toReal(), 1 + value));
        QCOMPARE(stepTexts(f.stack()), QStringList { text });
        f.stack()->undo();
        QCOMPARE(model->property(property).toReal(), initial);
        QCOMPARE(slider->value(), shown);
        f.stack()->redo();
        QCOMPARE(slider->value(), moved);
    }

    void checkBoxes_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("text");

        QTest::newRow("shadows on and off")
            << QStringLiteral("shadows") << 2 << false << QStringLiteral("Disabling shadows");
        QTest::newRow("frames off")
            << QStringLiteral("frames") << 1 << false << QStringLiteral("Disabling frames");
        QTest::newRow("single shadow")
            << QStringLiteral("single") << 1 << true << QStringLiteral("Changing single shadow");
    }

    void checkBoxes()
    {
        QFETCH(QString, box);
        QFETCH(int, clicks);
        QFETCH(bool, checked);
        QFETCH(QString, text);

        Fixture f;
        const bool single = box == QLatin1String("single");
        f.shadow.setEnabled(single);
        QObject *model
            = box == QLatin1String("frames") ? &f.frame : static_cast<QObject *>(&f.shadow);
        const QByteArray property = single ? "group" : "enabled";
        QCheckBox *checkBox;
        ExpandedWidget *wrapper = nullptr;
        if (box == QLatin1String("frames")) {
            auto *page = f.build<FrameControlWidget>(box);
            checkBox = page->enableCheckBox();
            wrapper = page->settingsWrapper();
        } else {
            auto *page = f.build<ShadowControlWidget>(QStringLiteral("shadows"));
            checkBox = single ? page->singleShadowCheckBox() : page->enableCheckBox();
            wrapper = single ? nullptr : page->settingsWrapper();
        }
        const auto shows = [&](bool on) {
            return model->property(property).toBool() == on && checkBox->isChecked() == on
                && (!wrapper || foldsMatch(wrapper, on));
        };
        const bool before = model->property(property).toBool();
        QVERIFY(shows(before));
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(checkBox, Qt::LeftButton, {}, QPoint(5, checkBox->height() / 2));
        QVERIFY(shows(checked));
        // Clicks on one check box merge into one step named after the last.
        QCOMPARE(stepTexts(f.stack()), QStringList { text });
        f.stack()->undo();
        QVERIFY(shows(before));
    }

    void colorButtons_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<QString>("button");
        QTest::addColumn<QByteArray>("property");
        QTest::addColumn<QString>("text");

        QTest::newRow("shadow") << QStringLiteral("shadows") << QStringLiteral("shadowColorButton")
                                << QByteArray("color") << QStringLiteral("Changing shadow color");
        QTest::newRow("gradient end")
            << QStringLiteral("background") << QStringLiteral("gradientEndColorButton")
            << QByteArray("gradientEndColor")
            << QStringLiteral("Changing background gradient color 2");
    }

    void colorButtons()
    {
        QFETCH(QString, page);
        QFETCH(QString, button);
        QFETCH(QByteArray, property);
        QFETCH(QString, text);

        Fixture f;
        QObject *model = f.model(page);
        auto *colorButton = f.build(page)->findChild<ColorButton *>(button);
        QVERIFY(colorButton);
        const QColor before = model->property(property).value<QColor>();
        QCOMPARE(colorButton->color(), before);

        const QColor chosen(12, 34, 56);
        FakeColorPicker picker(chosen);
        QTest::mouseClick(colorButton, Qt::LeftButton);
        QCOMPARE(model->property(property).value<QColor>(), chosen);
        QCOMPARE(stepTexts(f.stack()), QStringList { text });

        f.stack()->undo();
        QCOMPARE(model->property(property).value<QColor>(), before);
        QCOMPARE(colorButton->color(), before);
        f.stack()->redo();
        QCOMPARE(colorButton->color(), chosen);
    }

    void typeButtons_data()
    {
        QTest::addColumn<int>("initial");
        QTest::addColumn<QStringList>("buttons");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("steps");

        QTest::newRow("two changes are one step")
            << 1 << QStringList { "gradientButton", "transparentButton" } << 0 << 1;
        QTest::newRow("current type again") << 1 << QStringList { "solidButton" } << 1 << 0;
    }

    // Each type opens its section of settings and folds the others.
    void typeButtons()
    {
        QFETCH(int, initial);
        QFETCH(QStringList, buttons);
        QFETCH(int, type);
        QFETCH(int, steps);

        Fixture f;
        f.background.setType(BackgroundProperties::Type(initial));
        auto *page = f.build<BackgroundControlWidget>(QStringLiteral("background"));
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        auto sectionsMatch = [page](int type) {
            return foldsMatch(page->solidSection(), type == BackgroundProperties::Color)
                && foldsMatch(page->gradientSection(), type == BackgroundProperties::Gradient)
                && foldsMatch(page->imageSection(), type == BackgroundProperties::Picture);
        };
        QVERIFY(page->typeButton(initial)->isChecked());
        QVERIFY(sectionsMatch(initial));

        for (const QString &button : buttons) {
            auto *toolButton = page->findChild<QToolButton *>(button);
            QVERIFY(toolButton);
            QTest::mouseClick(toolButton, Qt::LeftButton);
        }
        QCOMPARE(int(f.background.type()), type);
        QCOMPARE(page->typeGroup()->currentId(), type);
        QTRY_VERIFY(sectionsMatch(type));
        QCOMPARE(f.stack()->count(), steps);
        if (steps == 0)
            return;
        QCOMPARE(f.stack()->text(0), QStringLiteral("Changing background gradient angle"));

        f.stack()->undo();
        QCOMPARE(int(f.background.type()), initial);
        QCOMPARE(page->typeGroup()->currentId(), initial);
        QVERIFY(page->typeButton(initial)->isChecked());
        QVERIFY(!page->typeButton(type)->isChecked());
        QTRY_VERIFY(sectionsMatch(initial));
    }

    void browse_data()
    {
        QTest::addColumn<bool>("chosen");
        QTest::newRow("picture chosen") << true;
        QTest::newRow("cancelled") << false;
    }

    void browse()
    {
        QFETCH(bool, chosen);

        QTemporaryDir folder;
        QVERIFY(folder.isValid());
        const QString path = folder.filePath(QStringLiteral("paper.png"));
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(QColor(200, 180, 120));
        QVERIFY(QImageWriter(path).write(image));

        Fixture f;
        auto *page = f.build<BackgroundControlWidget>(QStringLiteral("background"));
        FakeFileChooser chooser(chosen ? path : QString());
        QTest::mouseClick(page->browseButton(), Qt::LeftButton);
        QCOMPARE(chooser.calls, 1);
        if (!chosen) {
            QCOMPARE(f.stack()->count(), 0);
            QCOMPARE(f.background.image()->source(), QUrl());
            return;
        }

        QCOMPARE(f.background.image()->source(), QUrl::fromLocalFile(path));
        // Choosing the picture does not switch the kind of background.
        QCOMPARE(f.background.type(), BackgroundProperties::Color);
        QCOMPARE(stepTexts(f.stack()), QStringList { QStringLiteral("Changing background image") });
        f.stack()->undo();
        QCOMPARE(f.background.image()->source(), QUrl());
    }

    void deadDocumentObject()
    {
        auto document = std::make_unique<Document>(true);
        auto *shadow = new ShadowProperties(document.get());
        auto *background = new BackgroundProperties(document.get());
        ShadowControlWidget shadowPage(shadow);
        BackgroundControlWidget backgroundPage(background);
        document->undoStack()->clear();
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
};

QTEST_MAIN(TestPanels)
#include "tst_panels.moc"
