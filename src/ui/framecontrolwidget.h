#pragma once

#include "ui/switchedpanel.h"

class FrameProperties;
class QSlider;

// The "Frames" page of the property panels, bound to the theme's
// FrameProperties. The width slider reads the frame size in percent.
class FrameControlWidget : public SwitchedPanel
{
    Q_OBJECT

public:
    explicit FrameControlWidget(FrameProperties *frame, QWidget *parent = nullptr);

    QSlider *widthSlider() const { return m_widthSlider; }

private:
    QSlider *m_widthSlider;
};
