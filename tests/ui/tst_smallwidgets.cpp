#include <QCheckBox>
#include <QDial>
#include <QGraphicsOpacityEffect>
#include <QImageWriter>
#include <QLabel>
#include <QPointer>
#include <QPromise>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QSlider>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <memory>

#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagesource.h"
#include "model/shadowproperties.h"
#include "ui/backgroundcontrolwidget.h"
#include "ui/buttongroup.h"
#include "ui/framecontrolwidget.h"
#include "ui/futureprogressdialog.h"
#include "ui/pagelistitem.h"
#include "ui/pageslist.h"
#include "ui/shadowcontrolwidget.h"
#include "ui/uitestdata.h"
#include "undo/undostack.h"

namespace {

// A content widget whose size hint the test chooses.
class HintWidget : public QWidget
{
public:
    QSize sizeHint() const override { return { 120, 80 }; }
};

// The opacity the content is drawn with: that of its effect, or fully
// opaque without one (folded content is hidden instead).
qreal effectOpacity(const QWidget *content)
{
    if (const auto *effect = qobject_cast<QGraphicsOpacityEffect *>(content->graphicsEffect()))
        return effect->opacity();
    return content->isVisibleTo(content->parentWidget()) ? 1.0 : 0.0;
}

QList<QWidget *> makePages(int count)
{
    QList<QWidget *> pages;
    for (int i = 0; i < count; ++i) {
        auto *page = new QLabel(QStringLiteral("Settings"));
        page->setMinimumSize(160, 60);
        pages << page;
    }
    return pages;
}

// Index of the open item, -1 for none, -2 when several are open or a
// header disagrees with its item.
int openItem(const PagesList &list)
{
    const QList<PageListItem *> items = list.items();
    int open = -1;
    for (int i = 0; i < items.size(); ++i) {
        if (items[i]->headerButton()->isChecked() != items[i]->expanded())
            return -2;
        if (items[i]->expanded())
            open = open == -1 ? i : -2;
    }
    return open;
}

// A fold at a phase: its size hint, where its content lies in a 200 x 100
// widget, and the opacity the content is drawn with.
struct FoldCase
{
    bool fading;
    QMargins margins;
    float phase;
    QSize hint;
    QRect geometry;
    double opacity;
};

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

Q_DECLARE_METATYPE(FoldCase)
Q_DECLARE_METATYPE(ControlCase)

// The small widgets of the editor, then the appearance pages built from them.
class TestSmallWidgets : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void buttonGroupCurrentId_data()
    {
        QTest::addColumn<QList<int>>("ids");
        QTest::addColumn<QList<int>>("emitted");
        QTest::addColumn<int>("checked");

        // The first id always takes effect, even the id of "nothing yet".
        QTest::newRow("first is -1") << QList<int> { -1 } << QList<int> { -1 } << -1;
        QTest::newRow("unknown id keeps button") << QList<int> { 1, 7 } << QList<int> { 1, 7 } << 1;
    }

    // Clicks on the buttons are covered on the background page of the panels.
    void buttonGroupCurrentId()
    {
        QFETCH(QList<int>, ids);
        QFETCH(QList<int>, emitted);
        QFETCH(int, checked);

        QWidget window;
        ButtonGroup group;
        for (int i = 0; i < 3; ++i)
            group.addButton(new QRadioButton(&window), i);
        QSignalSpy spy(&group, &ButtonGroup::currentIdChanged);
        for (int id : ids)
            group.setProperty("currentId", id);
        QList<int> seen;
        for (const QList<QVariant> &arguments : spy)
            seen << arguments.at(0).toInt();
        QCOMPARE(seen, emitted);
        QCOMPARE(group.checkedId(), checked);
    }

    void colorButtonClick_data()
    {
        QTest::addColumn<QColor>("current");
        QTest::addColumn<QColor>("answer");
        QTest::addColumn<QColor>("expected");
        QTest::addColumn<int>("signalCount");

        const QColor white(Qt::white);
        QTest::newRow("cancelled") << white << QColor() << white << 0;
        QTest::newRow("same colour") << white << white << white << 0;
        QTest::newRow("from nothing") << QColor() << QColor(Qt::blue) << QColor(Qt::blue) << 1;
    }

    void colorButtonClick()
    {
        QFETCH(QColor, current);
        QFETCH(QColor, answer);
        QFETCH(QColor, expected);
        QFETCH(int, signalCount);

        FakeColorPicker picker(answer);
        QWidget window;
        auto *button = new ColorButton(&window);
        button->setColor(current);
        QSignalSpy spy(button, &ColorButton::colorChanged);
        QTest::mouseClick(button, Qt::LeftButton);
        QCOMPARE(picker.lastInitial, current);
        QCOMPARE(button->color(), expected);
        QCOMPARE(spy.count(), signalCount);
    }

    void foldPhaseLayout_data()
    {
        QTest::addColumn<FoldCase>("fold");

        // The content keeps its full height and slides down; it fades in over
        // the second half only.
        const QMargins margins(3, 5, 7, 9);
        QTest::newRow("shut") << FoldCase { true, {}, 0, { 120, 0 }, { 0, -80, 200, 80 }, 0 };
        QTest::newRow("margins quarter truncates")
            << FoldCase { true, margins, 0.25f, { 130, 23 }, { 3, -55, 190, 80 }, 0 };
        QTest::newRow("not fading")
            << FoldCase { false, {}, 0.7f, { 120, 56 }, { 0, -24, 200, 80 }, 1 };
    }

    void foldPhaseLayout()
    {
        QFETCH(FoldCase, fold);

        auto *content = new HintWidget;
        ExpandedWidget widget(content);
        widget.setContentsMargins(fold.margins);
        widget.enableOpacityAnimatioin(true);
        widget.resize(200, 100);
        widget.show();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        widget.setExpandPhase(0.6f);
        widget.setProperty("opacityAnimationEnabled", fold.fading);
        widget.setExpandPhase(fold.phase);

        QCOMPARE(widget.sizeHint(), fold.hint);
        QCOMPARE(content->geometry(), fold.geometry);
        QCOMPARE(content->isVisible(), fold.phase > 0);
        QVERIFY(qAbs(effectOpacity(content) - fold.opacity) < 1e-6);
        // An opaque or hidden content has no effect, so that nested folds
        // never nest effects.
        QCOMPARE(content->graphicsEffect() != nullptr, fold.phase > 0 && fold.opacity < 1);
        widget.resize(300, 100);
        QCOMPARE(content->geometry(), fold.geometry.adjusted(0, 0, 100, 0));
    }

    // Opening an item folds the open one; a click on the open one shuts it.
    void accordion()
    {
        PagesList list;
        list.setPages(makePages(3));
        const QList<PageListItem *> items = list.items();
        const auto click = [&](int index) {
            QTest::mouseClick(items[index]->headerButton(), Qt::LeftButton);
            return openItem(list);
        };
        QCOMPARE(click(0), 0);
        QCOMPARE(click(2), 2);
        QCOMPARE(click(1), 1);
        QCOMPARE(click(1), -1);
        QVERIFY(!list.currentItem());
        // The item follows its wrapper, too.
        items[1]->wrapper()->setExpanded(true);
        QCOMPARE(openItem(list), 1);
    }

    void destroyedPageTakesItsItem()
    {
        PagesList list;
        const QList<QWidget *> pages = makePages(3);
        list.setPages(pages);
        QPointer<PageListItem> item = list.items().at(1);
        item->setExpanded(true);
        delete pages[1];
        QTRY_VERIFY(item.isNull());
        QVERIFY(!list.currentItem());

        // Destroying an item that is not the open one keeps the open one.
        PageListItem *kept = list.items().at(0);
        kept->setExpanded(true);
        delete list.items().at(1);
        QCOMPARE(list.currentItem(), kept);
    }

    void clearDeletesPages()
    {
        PagesList list;
        const QList<QWidget *> pages = makePages(3);
        QList<QPointer<QWidget>> guards(pages.cbegin(), pages.cend());
        list.setPages(pages);
        list.items().at(2)->setExpanded(true);
        list.clear();
        QVERIFY(list.items().isEmpty() && !list.currentItem());
        QVERIFY(
            std::all_of(guards.cbegin(), guards.cend(), [](const auto &g) { return g.isNull(); }));

        // The list is filled again on every theme change.
        list.setPages(makePages(2));
        QTest::mouseClick(list.items().at(1)->headerButton(), Qt::LeftButton);
        QCOMPARE(openItem(list), 1);
    }

    // The progress dialog shows the job's progress range and value; setFuture returns
    // only after the job ended, and the end accepts the dialog.
    void followsTheJob()
    {
        QWidget window;
        FutureProgressDialog dialog(&window);
        QPromise<void> promise;
        promise.start();
        promise.setProgressRange(0, 10);

        QList<QPair<int, int>> seen; // value, maximum
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            seen.append({ dialog.value(), dialog.maximum() });
            if (seen.size() == 1) {
                promise.setProgressValue(4);
            } else if (seen.size() == 2) {
                promise.setProgressRange(0, 20);
                promise.setProgressValue(7);
            } else {
                promise.finish();
                timer.stop();
            }
        });
        // The future passes on at most 25 progress changes a second.
        timer.start(60);
        dialog.setFuture(promise.future());

        QCOMPARE(seen, (QList<QPair<int, int>> { { 0, 10 }, { 4, 10 }, { 7, 20 } }));
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void showsOnlyForLongJobs_data()
    {
        QTest::addColumn<int>("durationMs"); // -1: finished before it is handed over
        QTest::addColumn<bool>("shown");
        QTest::newRow("finished job") << -1 << false;
        QTest::newRow("long job") << FutureProgressDialog::showDelayMs + 400 << true;
    }

    void showsOnlyForLongJobs()
    {
        QFETCH(int, durationMs);
        QFETCH(bool, shown);

        FutureProgressDialog dialog;
        dialog.setWindowModality(Qt::ApplicationModal);
        QPromise<void> promise;
        promise.start();
        bool visibleWhileRunning = false;
        if (durationMs < 0) {
            promise.finish();
        } else {
            QTimer::singleShot(durationMs, this, [&] {
                visibleWhileRunning = dialog.isVisible();
                promise.finish();
            });
        }
        dialog.setFuture(promise.future());
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(visibleWhileRunning, shown);
    }

    void cancelButtonCancelsTheJob()
    {
        FutureProgressDialog dialog;
        dialog.setCancelButtonText(QStringLiteral("Cancel"));
        QPromise<void> promise;
        promise.start();
        QTimer timer;
        connect(&timer, &QTimer::timeout, this, [&] {
            if (!promise.isCanceled())
                return dialog.findChild<QPushButton *>()->click();
            promise.finish(); // the job notices the cancel and winds down
            timer.stop();
        });
        timer.start(10);
        dialog.setFuture(promise.future());
        QVERIFY(promise.future().isCanceled() && promise.future().isFinished());
    }

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
        // sliders are percent of the shorter page side (8.5 in); values beyond
        // the end show at the end and stay in the document until it moves.
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

QTEST_MAIN(TestSmallWidgets)
#include "tst_smallwidgets.moc"
