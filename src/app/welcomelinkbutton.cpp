#include "welcomelinkbutton.h"

#include <QFontMetrics>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>

namespace {

// The title may be short ("New collage"); the buttons still line up.
constexpr int MinimumTitleWidth = 200;
// Air between the icon and the texts.
constexpr int IconGap = 10;
constexpr int DescriptionFlags = Qt::TextWordWrap | Qt::AlignLeft | Qt::AlignTop;

} // namespace

WelcomeLinkButton::WelcomeLinkButton(QWidget *parent)
    : QCommandLinkButton(parent)
{
    setAttribute(Qt::WA_Hover);
    setCursor(Qt::PointingHandCursor);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

QFont WelcomeLinkButton::titleFont() const
{
    QFont font = this->font();
    font.setWeight(QFont::Bold);
    return font;
}

QFont WelcomeLinkButton::descriptionFont() const
{
    return font();
}

QMargins WelcomeLinkButton::frameMargins() const
{
    QStyleOptionButton option;
    option.initFrom(this);
    const int left = style()->pixelMetric(QStyle::PM_LayoutLeftMargin, &option, this);
    const int top = style()->pixelMetric(QStyle::PM_LayoutTopMargin, &option, this);
    const int right = style()->pixelMetric(QStyle::PM_LayoutRightMargin, &option, this);
    const int bottom = style()->pixelMetric(QStyle::PM_LayoutBottomMargin, &option, this);
    return QMargins(left, top, right, bottom);
}

int WelcomeLinkButton::descriptionHeight(int width) const
{
    const QFontMetrics metrics(descriptionFont());
    return metrics.boundingRect(QRect(0, 0, qMax(1, width), 10000), DescriptionFlags, description())
        .height();
}

int WelcomeLinkButton::contentHeight(int descriptionWidth) const
{
    const int textHeight = descriptionHeight(descriptionWidth) + QFontMetrics(titleFont()).height();
    const QMargins margins = frameMargins();
    return qMax(iconSize().height(), textHeight) + margins.top() + margins.bottom();
}

QSize WelcomeLinkButton::sizeHint() const
{
    const int titleWidth = QFontMetrics(titleFont()).horizontalAdvance(text());
    const int textWidth = qMax(titleWidth, MinimumTitleWidth);
    const QMargins margins = frameMargins();
    const int width = textWidth + iconSize().width() + IconGap + margins.left() + margins.right();
    return QSize(width, contentHeight(textWidth));
}

QSize WelcomeLinkButton::minimumSizeHint() const
{
    return sizeHint();
}

int WelcomeLinkButton::heightForWidth(int width) const
{
    const QMargins margins = frameMargins();
    const int textWidth = width - iconSize().width() - IconGap - margins.left() - margins.right();
    return contentHeight(textWidth);
}

void WelcomeLinkButton::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    // The shadow sits under the lower edge; the backgrounds fill the button.
    const QRect area = rect();
    const QRect shadowRect(
        area.left(), area.bottom() - area.height() / 6, area.width(), area.height() / 6);
    painter.drawPixmap(shadowRect, QPixmap(QStringLiteral(":/elipticShadow.png")));
    if (isDown())
        painter.drawPixmap(area, QPixmap(QStringLiteral(":/downButtonHover.png")));
    else if (underMouse() || hasFocus())
        painter.drawPixmap(area, QPixmap(QStringLiteral(":/welcomeButtonHover.png")));

    const QMargins margins = frameMargins();
    const QRect inner = area.marginsRemoved(margins);
    const QSize iconArea = iconSize();
    const QRect iconRect(inner.left(), inner.top() + (inner.height() - iconArea.height()) / 2,
        iconArea.width(), iconArea.height());
    icon().paint(
        &painter, iconRect, Qt::AlignCenter, isEnabled() ? QIcon::Normal : QIcon::Disabled);

    const int textLeft = iconRect.right() + 1 + IconGap;
    const QFontMetrics titleMetrics(titleFont());
    const int textWidth = inner.right() - textLeft;
    const int textHeight = titleMetrics.height() + descriptionHeight(textWidth);
    const int textTop = inner.top() + qMax(0, (inner.height() - textHeight) / 2);

    painter.setPen(
        palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
    painter.setFont(titleFont());
    painter.drawText(QRect(textLeft, textTop, textWidth, titleMetrics.height()),
        Qt::AlignLeft | Qt::AlignVCenter, text());
    painter.setFont(descriptionFont());
    painter.drawText(QRect(textLeft, textTop + titleMetrics.height(), textWidth, 10000),
        DescriptionFlags, description());
}
