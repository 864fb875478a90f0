#include "shadowcontrolwidget.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QFrame>
#include <QSlider>

#include "model/binding.h"
#include "model/document.h"
#include "model/lineralfunction.h"
#include "model/shadowproperties.h"
#include "ui/angledial.h"
#include "ui/colorbutton.h"
#include "ui/makenamed.h"

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
    : SwitchedPanel(tr("Enable shadows"), parent)
    , m_angleDial(new AngleDial)
    , m_distanceSlider(new QSlider(Qt::Horizontal))
    , m_blurRadiusSlider(new QSlider(Qt::Horizontal))
    , m_singleShadowCheckBox(new QCheckBox(tr("Single shadow")))
{
    setWindowTitle(tr("Shadows"));

    enableCheckBox()->setObjectName(QStringLiteral("enableShadowsCheckBox"));
    colorButton()->setObjectName(QStringLiteral("shadowColorButton"));
    m_angleDial->setObjectName(QStringLiteral("angleDial"));
    m_distanceSlider->setObjectName(QStringLiteral("distanceSlider"));
    m_blurRadiusSlider->setObjectName(QStringLiteral("blurRadiusSlider"));
    m_singleShadowCheckBox->setObjectName(QStringLiteral("singleShadowCheckBox"));

    auto *settings = makeNamed<QFrame>("shadowSettingsFrame");
    QFormLayout *form = bareForm(settings);
    form->addRow(tr("Color:"), colorButton());
    // Beside the colour swatch, not floating in the middle of the column.
    form->addRow(tr("Angle:"), m_angleDial);
    form->itemAt(form->rowCount() - 1, QFormLayout::FieldRole)->setAlignment(Qt::AlignLeft);
    form->addRow(tr("Distance:"), m_distanceSlider);
    form->addRow(tr("Blur radius:"), m_blurRadiusSlider);
    form->addRow(m_singleShadowCheckBox);
    addSettings(settings, QStringLiteral("shadowSettingsWrapper"), shadow);

    // The dial's zero points down, the shadow angle's to the right.
    m_angleDial->bindAngle(shadow, "angle", 90, this);

    const qreal factor = percentFactor(shadow);
    auto *blurRadius = new LineralFunction(factor, 0, this);
    new Binding(shadow, "blurRadius", blurRadius, "input", this);
    new Binding(blurRadius, "output", m_blurRadiusSlider, "value", this);

    auto *distance = new LineralFunction(factor, 0, this);
    new Binding(shadow, "distance", distance, "input", this);
    new Binding(distance, "output", m_distanceSlider, "value", this);

    new Binding(shadow, "group", m_singleShadowCheckBox, "checked", this);
}
