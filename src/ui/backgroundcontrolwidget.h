#pragma once

#include <QPointer>
#include <QWidget>

#include <functional>

#include "ui/angledial.h"

class BackgroundProperties;
class ButtonGroup;
class ColorButton;
class ExpandedWidget;
class QPushButton;
class QToolButton;

// The "Background" page of the property panels, bound to the theme's
// BackgroundProperties: four buttons choose the kind of background, and
// the settings of the chosen kind unfold below them.
class BackgroundControlWidget : public QWidget
{
    Q_OBJECT

public:
    // Asks the user for a picture file; an empty path means cancelled.
    using FileChooser = std::function<QString(
        QWidget *parent, const QString &caption, const QString &directory, const QString &filter)>;

    explicit BackgroundControlWidget(BackgroundProperties *background, QWidget *parent = nullptr);

    // Replaces the file dialog of every background page, for instance in
    // tests; an empty chooser brings the dialog back.
    static void setFileChooser(const FileChooser &chooser);

    ButtonGroup *typeGroup() const { return m_typeGroup; }
    QToolButton *typeButton(int type) const;
    ExpandedWidget *solidSection() const { return m_solidSection; }
    ExpandedWidget *gradientSection() const { return m_gradientSection; }
    ExpandedWidget *imageSection() const { return m_imageSection; }
    ColorButton *colorButton() const { return m_colorButton; }
    ColorButton *gradientStartButton() const { return m_gradientStartButton; }
    ColorButton *gradientEndButton() const { return m_gradientEndButton; }
    QDial *gradientDial() const { return m_gradientDial; }
    QPushButton *browseButton() const { return m_browseButton; }

private Q_SLOTS:
    void on_bgImageBrowseButton_clicked();

private:
    QPointer<BackgroundProperties> m_background;
    ButtonGroup *m_typeGroup;
    QList<QToolButton *> m_typeButtons;
    ExpandedWidget *m_solidSection;
    ExpandedWidget *m_gradientSection;
    ExpandedWidget *m_imageSection;
    ColorButton *m_colorButton;
    ColorButton *m_gradientStartButton;
    ColorButton *m_gradientEndButton;
    AngleDial *m_gradientDial;
    QPushButton *m_browseButton;
};
