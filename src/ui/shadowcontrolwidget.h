#pragma once

#include "ui/angledial.h"
#include "ui/switchedpanel.h"

class QCheckBox;
class QSlider;
class ShadowProperties;

// The "Shadows" page of the property panels. It keeps no state of its
// own: every control is bound to the theme's ShadowProperties, so a change
// here is an undo step and an undo moves the controls.
class ShadowControlWidget : public SwitchedPanel
{
    Q_OBJECT

public:
    explicit ShadowControlWidget(ShadowProperties *shadow, QWidget *parent = nullptr);

    QDial *angleDial() const { return m_angleDial; }
    QSlider *distanceSlider() const { return m_distanceSlider; }
    QSlider *blurRadiusSlider() const { return m_blurRadiusSlider; }
    QCheckBox *singleShadowCheckBox() const { return m_singleShadowCheckBox; }

private:
    AngleDial *m_angleDial;
    QSlider *m_distanceSlider;
    QSlider *m_blurRadiusSlider;
    QCheckBox *m_singleShadowCheckBox;
};
