#include "shadowcontrolwidget.h"

#include <QCheckBox>
#include <QDial>
#include <QFormLayout>
#include <QFrame>
#include <QSlider>
#include <QVBoxLayout>

#include "model/binding.h"
#include "model/document.h"
#include "model/lineralfunction.h"
#include "model/shadowproperties.h"
#include "ui/colorbutton.h"
#include "ui/expandedwidget.h"

namespace {

// Distances and blur radii are shown in percent of the smaller page side,
// so that the sliders mean the same on every page size.
qreal percentFactor(const ShadowProperties *shadow)
{
    const Document *document = shadow->document();
    const QSizeF size = document ? document->pageSize().size() : QSizeF();
    const qreal side = qMin(size.width(), size.height());
    // Without a usable page the sliders show page units.
    return side > 0 ? 100.0 / side : 1.0;
}

} // namespace

ShadowControlWidget::ShadowControlWidget(ShadowProperties *shadow, QWidget *parent)
    : QWidget(parent)
    , m_enableCheckBox(new QCheckBox(tr("Enable shadows"), this))
    , m_colorButton(new ColorButton)
    , m_angleDial(new QDial)
    , m_distanceSlider(new QSlider(Qt::Horizontal))
    , m_blurRadiusSlider(new QSlider(Qt::Horizontal))
    , m_singleShadowCheckBox(new QCheckBox(tr("Single shadow")))
{
    setWindowTitle(tr("Shadows"));

    m_enableCheckBox->setObjectName(QStringLiteral("enableShadowsCheckBox"));
    m_enableCheckBox->setChecked(true);
    m_colorButton->setObjectName(QStringLiteral("shadowColorButton"));
    m_angleDial->setObjectName(QStringLiteral("angleDial"));
    m_angleDial->setRange(0, 360);
    m_angleDial->setInvertedAppearance(true);
    m_angleDial->setWrapping(true);
    m_angleDial->setMaximumHeight(40);
    m_distanceSlider->setObjectName(QStringLiteral("distanceSlider"));
    m_blurRadiusSlider->setObjectName(QStringLiteral("blurRadiusSlider"));
    m_singleShadowCheckBox->setObjectName(QStringLiteral("singleShadowCheckBox"));

    auto *settings = new QFrame;
    settings->setObjectName(QStringLiteral("shadowSettingsFrame"));
    auto *form = new QFormLayout(settings);
    form->setContentsMargins(0, 0, 0, 0);
    form->addRow(tr("Color:"), m_colorButton);
    // Beside the colour swatch, not floating in the middle of the column.
    form->addRow(tr("Angle:"), m_angleDial);
    form->itemAt(form->rowCount() - 1, QFormLayout::FieldRole)->setAlignment(Qt::AlignLeft);
    form->addRow(tr("Distance:"), m_distanceSlider);
    form->addRow(tr("Blur radius:"), m_blurRadiusSlider);
    form->addRow(m_singleShadowCheckBox);

    m_settingsWrapper = new ExpandedWidget(settings, this);
    m_settingsWrapper->setObjectName(QStringLiteral("shadowSettingsWrapper"));
    m_settingsWrapper->enableOpacityAnimatioin(true);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_enableCheckBox);
    layout->addWidget(m_settingsWrapper);

    // The fold follows the check box from the start, whatever the binding
    // below makes of it.
    connect(m_enableCheckBox, &QCheckBox::toggled, m_settingsWrapper, &ExpandedWidget::setExpanded);
    m_settingsWrapper->setExpanded(m_enableCheckBox->isChecked());

    new Binding(shadow, "enabled", m_enableCheckBox, "checked", this);

    // The dial's zero points down, the shadow angle's to the right.
    auto *angle = new LineralFunction(1, 90, 0, 360, 0, 360, this);
    new Binding(shadow, "angle", angle, "output", this);
    new Binding(angle, "input", m_angleDial, "value", this);

    const qreal factor = percentFactor(shadow);
    auto *blurRadius = new LineralFunction(factor, 0, this);
    new Binding(shadow, "blurRadius", blurRadius, "input", this);
    new Binding(blurRadius, "output", m_blurRadiusSlider, "value", this);

    auto *distance = new LineralFunction(factor, 0, this);
    new Binding(shadow, "distance", distance, "input", this);
    new Binding(distance, "output", m_distanceSlider, "value", this);

    new Binding(shadow, "color", m_colorButton, "color", this);
    new Binding(shadow, "group", m_singleShadowCheckBox, "checked", this);
}
