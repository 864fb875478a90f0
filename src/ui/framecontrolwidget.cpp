#include "framecontrolwidget.h"

#include <QCheckBox>
#include <QFormLayout>
#include <QSlider>

#include "model/binding.h"
#include "model/frameproperties.h"
#include "model/lineralfunction.h"
#include "ui/colorbutton.h"
#include "ui/makenamed.h"

FrameControlWidget::FrameControlWidget(FrameProperties *frame, QWidget *parent)
    : SwitchedPanel(tr("Enable frames"), parent)
    , m_widthSlider(new QSlider(Qt::Horizontal))
{
    setWindowTitle(tr("Frames"));

    enableCheckBox()->setObjectName(QStringLiteral("enableFramesCheckBox"));
    colorButton()->setObjectName(QStringLiteral("frameColorButton"));
    m_widthSlider->setObjectName(QStringLiteral("frameWidthSlider"));

    auto *settings = makeNamed<QWidget>("frameSettings");
    QFormLayout *form = bareForm(settings);
    form->addRow(tr("Color:"), colorButton());
    form->addRow(tr("Width:"), m_widthSlider);
    addSettings(settings, QStringLiteral("frameSettingsWrapper"), frame);

    auto *size = new LineralFunction(100, 0, 0, 1, 0, 100, this);
    new Binding(frame, "size", size, "input", this);
    new Binding(size, "output", m_widthSlider, "value", this);
}
