#include "framecontrolwidget.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QSlider>
#include <QVBoxLayout>

#include "model/binding.h"
#include "model/frameproperties.h"
#include "model/lineralfunction.h"
#include "ui/colorbutton.h"
#include "ui/expandedwidget.h"

FrameControlWidget::FrameControlWidget(FrameProperties *frame, QWidget *parent)
    : QWidget(parent)
    , m_enableCheckBox(new QCheckBox(tr("Enable frames"), this))
    , m_colorButton(new ColorButton)
    , m_widthSlider(new QSlider(Qt::Horizontal))
{
    setWindowTitle(tr("Frames"));

    m_enableCheckBox->setObjectName(QStringLiteral("enableFramesCheckBox"));
    m_enableCheckBox->setChecked(true);
    m_colorButton->setObjectName(QStringLiteral("frameColorButton"));
    m_widthSlider->setObjectName(QStringLiteral("frameWidthSlider"));

    auto *settings = new QWidget;
    settings->setObjectName(QStringLiteral("frameSettings"));
    auto *form = new QFormLayout(settings);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(tr("Color:"), m_colorButton);
    form->addRow(tr("Width:"), m_widthSlider);

    m_settingsWrapper = new ExpandedWidget(settings, this);
    m_settingsWrapper->setObjectName(QStringLiteral("frameSettingsWrapper"));
    m_settingsWrapper->enableOpacityAnimatioin(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_enableCheckBox);
    layout->addWidget(m_settingsWrapper);

    connect(m_enableCheckBox, &QCheckBox::toggled, m_settingsWrapper, &ExpandedWidget::setExpanded);
    m_settingsWrapper->setExpanded(m_enableCheckBox->isChecked());

    new Binding(frame, "enabled", m_enableCheckBox, "checked", this);

    auto *size = new LineralFunction(100, 0, 0, 1, 0, 100, this);
    new Binding(frame, "size", size, "input", this);
    new Binding(size, "output", m_widthSlider, "value", this);

    new Binding(frame, "color", m_colorButton, "color", this);
}
