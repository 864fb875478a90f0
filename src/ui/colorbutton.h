#pragma once

#include <QColor>
#include <QPushButton>

#include <functional>

// A push button that shows a colour as a rounded swatch and lets the user
// choose another one with the colour dialog.
class ColorButton : public QPushButton
{
    Q_OBJECT
    Q_PROPERTY(QColor color READ color WRITE setColor NOTIFY colorChanged)

public:
    // Asks the user for a colour, starting from `initial`; an invalid
    // colour means the user cancelled.
    using ColorPicker = std::function<QColor(const QColor &initial, QWidget *parent)>;

    explicit ColorButton(QWidget *parent = nullptr);

    QColor color() const { return m_color; }

    // Replaces the colour dialog for every colour button, for instance in
    // tests; an empty picker brings the dialog back.
    static void setColorPicker(const ColorPicker &picker);

public Q_SLOTS:
    void setColor(const QColor &color);
    void showDialog();

Q_SIGNALS:
    void colorChanged(const QColor &color);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QColor m_color;
};
