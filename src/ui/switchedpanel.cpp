#include "switchedpanel.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QVBoxLayout>

#include "model/binding.h"
#include "ui/colorbutton.h"
#include "ui/expandedwidget.h"

SwitchedPanel::SwitchedPanel(const QString &enableText, QWidget *parent)
    : QWidget(parent)
    , m_enableCheckBox(new QCheckBox(enableText, this))
    , m_colorButton(new ColorButton)
{
    m_enableCheckBox->setChecked(true);
}

QFormLayout *SwitchedPanel::bareForm(QWidget *settings)
{
    auto *form = new QFormLayout(settings);
    form->setContentsMargins(0, 0, 0, 0);
    return form;
}

void SwitchedPanel::addSettings(QWidget *settings, const QString &wrapperName, QObject *properties)
{
    m_settingsWrapper = new ExpandedWidget(settings, this);
    m_settingsWrapper->setObjectName(wrapperName);
    m_settingsWrapper->enableOpacityAnimatioin(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_enableCheckBox);
    layout->addWidget(m_settingsWrapper);

    // The fold follows the check box from the start, whatever the binding
    // below makes of it.
    connect(m_enableCheckBox, &QCheckBox::toggled, m_settingsWrapper, &ExpandedWidget::setExpanded);
    m_settingsWrapper->setExpanded(m_enableCheckBox->isChecked());

    new Binding(properties, "enabled", m_enableCheckBox, "checked", this);
    new Binding(properties, "color", m_colorButton, "color", this);
}
