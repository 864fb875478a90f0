#pragma once

#include <QPointer>
#include <QWidget>

class PhotoGridTheme;
class QPushButton;
class QSlider;

// The Mosaic's own page of the property panel: the spacing between the
// photos (a slider showing borderRelative x 100) and "Rearrange", which
// rebuilds the whole mosaic.
class PhotoGrigControlWidget : public QWidget
{
    Q_OBJECT

public:
    explicit PhotoGrigControlWidget(PhotoGridTheme *theme, QWidget *parent = nullptr);

    PhotoGridTheme *theme() const;
    QSlider *borederSlider() const { return m_borederSlider; }
    QPushButton *pushButton() const { return m_pushButton; }

private:
    QPointer<PhotoGridTheme> m_theme;
    QSlider *m_borederSlider;
    QPushButton *m_pushButton;
};
