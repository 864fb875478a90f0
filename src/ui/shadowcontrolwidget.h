#pragma once

#include <QWidget>

class ColorButton;
class ExpandedWidget;
class QCheckBox;
class QDial;
class QSlider;
class ShadowProperties;

// The "Shadows" page of the property panels. It keeps no state of its
// own: every control is bound to the theme's ShadowProperties, so a change
// here is an undo step and an undo moves the controls.
class ShadowControlWidget : public QWidget
{
    Q_OBJECT

public:
    explicit ShadowControlWidget(ShadowProperties *shadow, QWidget *parent = nullptr);

    QCheckBox *enableCheckBox() const { return m_enableCheckBox; }
    ExpandedWidget *settingsWrapper() const { return m_settingsWrapper; }
    ColorButton *colorButton() const { return m_colorButton; }
    QDial *angleDial() const { return m_angleDial; }
    QSlider *distanceSlider() const { return m_distanceSlider; }
    QSlider *blurRadiusSlider() const { return m_blurRadiusSlider; }
    QCheckBox *singleShadowCheckBox() const { return m_singleShadowCheckBox; }

private:
    QCheckBox *m_enableCheckBox;
    ExpandedWidget *m_settingsWrapper;
    ColorButton *m_colorButton;
    QDial *m_angleDial;
    QSlider *m_distanceSlider;
    QSlider *m_blurRadiusSlider;
    QCheckBox *m_singleShadowCheckBox;
};
