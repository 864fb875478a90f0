#pragma once

#include <QWidget>

class ColorButton;
class ExpandedWidget;
class QCheckBox;
class QFormLayout;

// A page of the property panels that a check box switches on: the page's
// settings, a colour first among them, fold away while the box is unchecked.
class SwitchedPanel : public QWidget
{
    Q_OBJECT

public:
    QCheckBox *enableCheckBox() const { return m_enableCheckBox; }
    ExpandedWidget *settingsWrapper() const { return m_settingsWrapper; }
    ColorButton *colorButton() const { return m_colorButton; }

protected:
    SwitchedPanel(const QString &enableText, QWidget *parent);

    // A form without margins of its own laid into `settings`.
    static QFormLayout *bareForm(QWidget *settings);
    // Puts `settings` below the check box in a fold named `wrapperName`, and
    // binds the box and the colour button to "enabled" and "color" of
    // `properties`.
    void addSettings(QWidget *settings, const QString &wrapperName, QObject *properties);

private:
    QCheckBox *m_enableCheckBox;
    ExpandedWidget *m_settingsWrapper = nullptr;
    ColorButton *m_colorButton;
};
