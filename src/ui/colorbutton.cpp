#include "colorbutton.h"

#include <QColorDialog>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

ColorButton::ColorPicker &colorPicker()
{
    static ColorButton::ColorPicker picker;
    return picker;
}

} // namespace

ColorButton::ColorButton(QWidget *parent)
    : QPushButton(parent)
{
    // A swatch has nothing to gain from the width of a form's field column.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    connect(this, &QPushButton::clicked, this, &ColorButton::showDialog);
}

void ColorButton::setColorPicker(const ColorPicker &picker)
{
    colorPicker() = picker;
}

void ColorButton::setColor(const QColor &color)
{
    if (color == m_color)
        return;
    m_color = color;
    update();
    Q_EMIT colorChanged(m_color);
}

void ColorButton::showDialog()
{
    const ColorPicker &picker = colorPicker();
    const QColor chosen
        = picker ? picker(m_color, window()) : QColorDialog::getColor(m_color, window(), QString());
    if (chosen.isValid())
        setColor(chosen);
}

void ColorButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    QStyleOptionButton option;
    initStyleOption(&option);
    style()->drawPrimitive(QStyle::PE_PanelButtonCommand, &option, &painter, this);

    if (!m_color.isValid())
        return;
    const QRect swatch = style()
                             ->subElementRect(QStyle::SE_PushButtonContents, &option, this)
                             .adjusted(1, 0, -1, 0);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(m_color);
    painter.drawRoundedRect(swatch, 3, 3);
}
