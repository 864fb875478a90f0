#include "backgroundcontrolwidget.h"

#include <QFileDialog>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardPaths>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>

#include "app/application.h"
#include "model/backgroundproperties.h"
#include "model/binding.h"
#include "ui/angledial.h"
#include "ui/buttongroup.h"
#include "ui/colorbutton.h"
#include "ui/expandedwidget.h"
#include "ui/makenamed.h"

namespace {

BackgroundControlWidget::FileChooser &fileChooser()
{
    static BackgroundControlWidget::FileChooser chooser;
    return chooser;
}

struct TypeButtonInfo
{
    BackgroundProperties::Type type;
    const char *objectName;
    const char *icon;
    const char *place;
};

const TypeButtonInfo typeButtonInfos[] = {
    { BackgroundProperties::None, "transparentButton", ":/bg-transparent.png", "left" },
    { BackgroundProperties::Color, "solidButton", ":/bg_solid.png", "center" },
    { BackgroundProperties::Gradient, "gradientButton", ":/bg-gradient.png", "center" },
    { BackgroundProperties::Picture, "imageButton", ":/bg_image.png", "right" },
};

} // namespace

BackgroundControlWidget::BackgroundControlWidget(BackgroundProperties *background, QWidget *parent)
    : QWidget(parent)
    , m_background(background)
    , m_typeGroup(new ButtonGroup(this))
    , m_colorButton(new ColorButton)
    , m_gradientStartButton(new ColorButton)
    , m_gradientEndButton(new ColorButton)
    , m_gradientDial(new AngleDial)
    , m_browseButton(new QPushButton(tr("Browse...")))
{
    setWindowTitle(tr("Background"));
    setProperty("title", tr("Background"));

    // The row of kinds, drawn as one segmented control by the style sheet.
    auto *typeRow = new QHBoxLayout;
    typeRow->setSpacing(0);
    typeRow->addStretch();
    for (const TypeButtonInfo &info : typeButtonInfos) {
        auto *button = new QToolButton(this);
        button->setObjectName(QString::fromLatin1(info.objectName));
        button->setIcon(QIcon(QString::fromLatin1(info.icon)));
        button->setProperty("place", QString::fromLatin1(info.place));
        button->setCheckable(true);
        button->setAutoExclusive(true);
        m_typeGroup->addButton(button, info.type);
        m_typeButtons << button;
        typeRow->addWidget(button);
    }
    typeRow->addStretch();

    m_colorButton->setObjectName(QStringLiteral("bgColorButton"));
    auto *solid = makeNamed<QWidget>("solidSettings");
    auto *solidForm = new QFormLayout(solid);
    solidForm->setContentsMargins(0, 0, 0, 0);
    solidForm->addRow(tr("Color:"), m_colorButton);

    m_gradientStartButton->setObjectName(QStringLiteral("gradientStartColorButton"));
    m_gradientEndButton->setObjectName(QStringLiteral("gradientEndColorButton"));
    m_gradientDial->setObjectName(QStringLiteral("gradientDial"));
    auto *gradient = makeNamed<QWidget>("gradientSettings");
    auto *colors = new QHBoxLayout;
    colors->addWidget(m_gradientStartButton);
    colors->addWidget(m_gradientEndButton);
    colors->addStretch();
    auto *gradientForm = new QFormLayout(gradient);
    gradientForm->setContentsMargins(0, 0, 0, 0);
    gradientForm->addRow(tr("Colors:"), colors);
    gradientForm->addRow(tr("Direction:"), m_gradientDial);
    gradientForm->itemAt(1, QFormLayout::FieldRole)->setAlignment(Qt::AlignLeft);

    m_browseButton->setObjectName(QStringLiteral("bgImageBrowseButton"));
    auto *image = makeNamed<QWidget>("imageSettings");
    auto *imageLayout = new QHBoxLayout(image);
    imageLayout->setContentsMargins(0, 0, 0, 0);
    imageLayout->addWidget(m_browseButton);
    imageLayout->addStretch();

    m_solidSection = makeNamed<ExpandedWidget>("solidSection", solid, this);
    m_gradientSection = makeNamed<ExpandedWidget>("gradientSection", gradient, this);
    m_imageSection = makeNamed<ExpandedWidget>("imageSection", image, this);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(typeRow);
    layout->addWidget(m_solidSection);
    layout->addWidget(m_gradientSection);
    layout->addWidget(m_imageSection);

    const std::pair<QToolButton *, ExpandedWidget *> sections[] = {
        { m_typeButtons[BackgroundProperties::Color], m_solidSection },
        { m_typeButtons[BackgroundProperties::Gradient], m_gradientSection },
        { m_typeButtons[BackgroundProperties::Picture], m_imageSection },
    };
    for (const auto &[button, section] : sections) {
        section->enableOpacityAnimatioin(true);
        connect(button, &QToolButton::toggled, section, &ExpandedWidget::setExpanded);
        section->setExpanded(button->isChecked());
    }

    new Binding(background, "type", m_typeGroup, "currentId", this);
    new Binding(background, "color", m_colorButton, "color", this);
    new Binding(background, "gradientStartColor", m_gradientStartButton, "color", this);
    new Binding(background, "gradientEndColor", m_gradientEndButton, "color", this);
    m_gradientDial->bindAngle(background, "gradientAngle", 0, this);

    QMetaObject::connectSlotsByName(this);
}

void BackgroundControlWidget::setFileChooser(const FileChooser &chooser)
{
    fileChooser() = chooser;
}

QToolButton *BackgroundControlWidget::typeButton(int type) const
{
    return m_typeButtons.value(type);
}

void BackgroundControlWidget::on_bgImageBrowseButton_clicked()
{
    const QString caption = tr("Select background image");
    const QString directory = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    const QString filter = Application::imageFileFilter();
    const FileChooser &chooser = fileChooser();
    const QString path = chooser ? chooser(this, caption, directory, filter)
                                 : QFileDialog::getOpenFileName(this, caption, directory, filter);
    if (path.isEmpty() || !m_background)
        return;
    m_background->setBackgroundUrl(QUrl::fromLocalFile(path));
}
