#pragma once

#include <QWidget>

class ColorButton;
class ExpandedWidget;
class FrameProperties;
class QCheckBox;
class QSlider;

// The "Frames" page of the property panels, bound to the theme's
// FrameProperties. The width slider reads the frame size in percent.
class FrameControlWidget : public QWidget
{
    Q_OBJECT

public:
    explicit FrameControlWidget(FrameProperties *frame, QWidget *parent = nullptr);

    QCheckBox *enableCheckBox() const { return m_enableCheckBox; }
    ExpandedWidget *settingsWrapper() const { return m_settingsWrapper; }
    ColorButton *colorButton() const { return m_colorButton; }
    QSlider *widthSlider() const { return m_widthSlider; }

private:
    QCheckBox *m_enableCheckBox;
    ExpandedWidget *m_settingsWrapper;
    ColorButton *m_colorButton;
    QSlider *m_widthSlider;
};
