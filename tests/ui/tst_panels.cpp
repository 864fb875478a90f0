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
        return name == QLatin1String("shadows") ? static_cast<QObject *>(&shadow) : &background;
    }

    template<typename Page = QWidget> Page *build(const QString &name)
    {
        document->undoStack()->clear();
        QWidget *page = name == QLatin1String("shadows")
            ? static_cast<QWidget *>(new ShadowControlWidget(&shadow))
            : new BackgroundControlWidget(&background);
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
        : answer(answer)
    {
        BackgroundControlWidget::setFileChooser([this](QWidget *, const QString &, const QString &,
                                                    const QString &) { return this->answer; });
    }
    ~FakeFileChooser() { BackgroundControlWidget::setFileChooser({}); }

    QString answer;
};

// A dial or slider: the value it shows for the document's value, and what a
// move to another position writes, as one undo step of the given name.
struct ControlCase
{
    QString page;
    QString name;
    QByteArray property;
    qreal initial;
    int shown;
    int moved;
    qreal value;
    QString text;
};

} // namespace

Q_DECLARE_METATYPE(ControlCase)

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
        const auto values = [&f] {
            return QVariantList { f.shadow.blurRadius(), f.shadow.distance(), f.shadow.angle(),
                f.frame.size(), f.background.gradientAngle(), int(f.background.type()) };
        };
        const QVariantList before = values();
        f.build(QStringLiteral("background"));
        f.window->layout()->addWidget(new ShadowControlWidget(&f.shadow));
        f.window->layout()->addWidget(new FrameControlWidget(&f.frame));
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        QCOMPARE(f.stack()->count(), 0);
        QCOMPARE(values(), before);
    }

    void controls_data()
    {
        QTest::addColumn<ControlCase>("control");

        // The shadow dial's zero points down, the gradient dial's up. Shadow
        // sliders are percent of the shorter page side (8.5 in), the frame
        // slider percent of the photo; values beyond the end show at the end
        // and stay in the document until the slider moves.
        QTest::newRow("shadow angle wraps") << ControlCase { "shadows", "angleDial", "angle", 300,
            210, 315, 45, "Changing shadow angle" };
        QTest::newRow("gradient angle below 0") << ControlCase { "background", "gradientDial",
            "gradientAngle", -30, 330, 40, 40, "Changing background gradient angle" };
        QTest::newRow("blur beyond the end") << ControlCase { "shadows", "blurRadiusSlider",
            "blurRadius", 20, 99, 98, 8.33, "Changing shadow blur radius" };
    }

    // Dials and sliders show the document's value and change it; moving one
    // is one undo step.
    void controls()
    {
        QFETCH(ControlCase, control);

        Fixture f;
        QObject *model = f.model(control.page);
        model->setProperty(control.property, control.initial);
        auto *slider = f.build(control.page)->findChild<QAbstractSlider *>(control.name);
        QVERIFY(slider);
        QCOMPARE(slider->value(), control.shown);

        slider->setValue(control.moved == 0 ? 1 : control.moved - 1);
        slider->setValue(control.moved);
        QVERIFY(qFuzzyCompare(1 + model->property(control.property).toReal(), 1 + control.value));
        QCOMPARE(stepTexts(f.stack()), QStringList { control.text });
        f.stack()->undo();
        QCOMPARE(model->property(control.property).toReal(), control.initial);
        QCOMPARE(slider->value(), control.shown);
        f.stack()->redo();
        QCOMPARE(slider->value(), control.moved);
    }

    void checkBoxes_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<int>("clicks");
        QTest::addColumn<QString>("text");

        QTest::newRow("shadows on and off")
            << QStringLiteral("shadows") << 2 << QStringLiteral("Disabling shadows");
        QTest::newRow("single shadow")
            << QStringLiteral("single") << 1 << QStringLiteral("Changing single shadow");
    }

    void checkBoxes()
    {
        QFETCH(QString, box);
        QFETCH(int, clicks);
        QFETCH(QString, text);

        Fixture f;
        const bool single = box == QLatin1String("single");
        f.shadow.setEnabled(single);
        const QByteArray property = single ? "group" : "enabled";
        auto *page = f.build<ShadowControlWidget>(QStringLiteral("shadows"));
        QCheckBox *checkBox = single ? page->singleShadowCheckBox() : page->enableCheckBox();
        ExpandedWidget *wrapper = single ? nullptr : page->settingsWrapper();
        const auto shows = [&](bool on) {
            return f.shadow.property(property).toBool() == on && checkBox->isChecked() == on
                && (!wrapper || foldsMatch(wrapper, on));
        };
        const bool before = f.shadow.property(property).toBool();
        QVERIFY(shows(before));
        for (int i = 0; i < clicks; ++i)
            QTest::mouseClick(checkBox, Qt::LeftButton, {}, QPoint(5, checkBox->height() / 2));
        QVERIFY(shows(before != (clicks % 2 == 1)));
        // Clicks on one check box merge into one step named after the last.
        QCOMPARE(stepTexts(f.stack()), QStringList { text });
        f.stack()->undo();
        QVERIFY(shows(before));
    }

    void colorButton()
    {
        Fixture f;
        auto *button
            = f.build(QStringLiteral("shadows"))->findChild<ColorButton *>("shadowColorButton");
        const QColor before = f.shadow.color();
        const QColor chosen(12, 34, 56);
        FakeColorPicker picker(chosen);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(f.shadow.color(), chosen);
        QCOMPARE(stepTexts(f.stack()), QStringList { QStringLiteral("Changing shadow color") });
        f.stack()->undo();
        QCOMPARE(button->color(), before);
        f.stack()->redo();
        QCOMPARE(button->color(), chosen);
    }

    // Each type opens its section of settings and folds the others; the
    // current type again records nothing, two changes are one step.
    void typeButtons()
    {
        Fixture f;
        f.background.setType(BackgroundProperties::Color);
        auto *page = f.build<BackgroundControlWidget>(QStringLiteral("background"));
        f.window->show();
        QVERIFY(QTest::qWaitForWindowExposed(f.window.get()));
        const auto shows = [&f, page](int type) {
            return int(f.background.type()) == type && page->typeGroup()->currentId() == type
                && page->typeButton(type)->isChecked()
                && foldsMatch(page->solidSection(), type == BackgroundProperties::Color)
                && foldsMatch(page->gradientSection(), type == BackgroundProperties::Gradient)
                && foldsMatch(page->imageSection(), type == BackgroundProperties::Picture);
        };
        const auto click = [page](const char *button) {
            QTest::mouseClick(child<QToolButton>(*page, button), Qt::LeftButton);
        };
        QVERIFY(shows(BackgroundProperties::Color));
        click("solidButton");
        QCOMPARE(f.stack()->count(), 0);

        click("gradientButton");
        click("transparentButton");
        QTRY_VERIFY(shows(BackgroundProperties::None));
        QCOMPARE(stepTexts(f.stack()),
            QStringList { QStringLiteral("Changing background gradient angle") });
        f.stack()->undo();
        QTRY_VERIFY(shows(BackgroundProperties::Color));
    }

    // A cancelled choice records nothing; a chosen picture is one step and
    // does not switch the kind of background.
    void browse()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("paper.png"));
        QImage image(40, 30, QImage::Format_RGB32);
        image.fill(QColor(200, 180, 120));
        QVERIFY(QImageWriter(path).write(image));

        Fixture f;
        auto *page = f.build<BackgroundControlWidget>(QStringLiteral("background"));
        FakeFileChooser chooser { QString() };
        QTest::mouseClick(page->browseButton(), Qt::LeftButton);
        QCOMPARE(f.stack()->count(), 0);
        chooser.answer = path;
        QTest::mouseClick(page->browseButton(), Qt::LeftButton);
        QCOMPARE(f.background.image()->source(), QUrl::fromLocalFile(path));
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
