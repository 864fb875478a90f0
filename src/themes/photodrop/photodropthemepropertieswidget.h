#pragma once

#include <QPointer>
#include <QWidget>

class PhotoDropTheme;
class QPushButton;

// The Photo Drop theme's own page of the property panel: "Arrange" relaxes
// the pile where it lies, "Randomize" throws every photo anew and relaxes
// the result. Each is one undo step.
class PhotoDropThemePropertiesWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PhotoDropThemePropertiesWidget(PhotoDropTheme *theme, QWidget *parent = nullptr);

    PhotoDropTheme *theme() const;
    QPushButton *arrangeButton() const { return m_arrangeButton; }
    QPushButton *randomizeButton() const { return m_randomizeButton; }

private:
    QPointer<PhotoDropTheme> m_theme;
    QPushButton *m_arrangeButton;
    QPushButton *m_randomizeButton;
};
