#include "angledial.h"

#include "model/binding.h"
#include "model/lineralfunction.h"

AngleDial::AngleDial(QWidget *parent)
    : QDial(parent)
{
    setRange(0, 360);
    setInvertedAppearance(true);
    setWrapping(true);
    setMaximumHeight(40);
}

void AngleDial::bindAngle(
    QObject *properties, const char *property, qreal zeroAngle, QObject *owner)
{
    auto *angle = new LineralFunction(1, zeroAngle, 0, 360, 0, 360, owner);
    new Binding(properties, property, angle, "output", owner);
    new Binding(angle, "input", this, "value", owner);
}
