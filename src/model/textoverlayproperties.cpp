#include "textoverlayproperties.h"

#include <QtGlobal>

#include "model/document.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

TextOverlayProperties::TextOverlayProperties(Document *document)
    : QObject(document)
    , DocumentPart(document)
    , m_text(tr("Text"))
    , m_font(QStringLiteral("Helvetica"), 24, QFont::Normal, false)
{
}

void TextOverlayProperties::setText(const QString &text)
{
    setUndoable<&TextOverlayProperties::assignText, &TextOverlayProperties::text>(
        this, tr("Change text"), text, CommandId::TextOverlayText);
}

void TextOverlayProperties::setFont(const QFont &font)
{
    setUndoable<&TextOverlayProperties::assignFont, &TextOverlayProperties::font>(
        this, tr("Change font"), font, CommandId::TextOverlayFont);
}

void TextOverlayProperties::setColor(const QColor &color)
{
    setUndoable<&TextOverlayProperties::assignColor, &TextOverlayProperties::color>(
        this, tr("Change text color"), color, CommandId::TextOverlayColor);
}

void TextOverlayProperties::setPosition(const QPointF &position)
{
    setUndoable<&TextOverlayProperties::assignPosition, &TextOverlayProperties::position>(
        this, tr("Move text"), position, CommandId::TextOverlayPosition);
}

void TextOverlayProperties::setRotation(qreal rotation)
{
    setUndoable<&TextOverlayProperties::assignRotation, &TextOverlayProperties::rotation>(
        this, tr("Rotate text"), rotation, CommandId::TextOverlayRotation);
}

void TextOverlayProperties::setScale(qreal scale)
{
    setUndoable<&TextOverlayProperties::assignScale, &TextOverlayProperties::scale>(
        this, tr("Scale text"), scale, CommandId::TextOverlayScale);
}

void TextOverlayProperties::setOpacity(qreal opacity)
{
    setUndoable<&TextOverlayProperties::assignOpacity, &TextOverlayProperties::opacity>(
        this, tr("Change text opacity"), opacity, CommandId::TextOverlayOpacity);
}

void TextOverlayProperties::setAlignment(int alignment)
{
    setUndoable<&TextOverlayProperties::assignAlignment, &TextOverlayProperties::alignment>(
        this, tr("Change text alignment"), alignment, CommandId::TextOverlayAlignment);
}

void TextOverlayProperties::assignText(const QString &text)
{
    if (m_text == text)
        return;
    m_text = text;
    Q_EMIT textChanged(m_text);
}

void TextOverlayProperties::assignFont(const QFont &font)
{
    if (m_font == font)
        return;
    m_font = font;
    Q_EMIT fontChanged(m_font);
}

void TextOverlayProperties::assignColor(const QColor &color)
{
    if (m_color == color)
        return;
    m_color = color;
    Q_EMIT colorChanged(m_color);
}

// The numeric assignments drop values that are not finite: a NaN would
// compare unequal forever and would poison the item's geometry.
void TextOverlayProperties::assignPosition(const QPointF &position)
{
    if (!qIsFinite(position.x()) || !qIsFinite(position.y()) || m_position == position)
        return;
    m_position = position;
    Q_EMIT positionChanged(m_position);
}

void TextOverlayProperties::assignRotation(double rotation)
{
    if (!qIsFinite(rotation) || m_rotation == rotation)
        return;
    m_rotation = rotation;
    Q_EMIT rotationChanged(m_rotation);
}

void TextOverlayProperties::assignScale(double scale)
{
    if (!qIsFinite(scale))
        return;
    scale = qBound(MinimumScale, scale, MaximumScale);
    if (m_scale == scale)
        return;
    m_scale = scale;
    Q_EMIT scaleChanged(m_scale);
}

void TextOverlayProperties::assignOpacity(double opacity)
{
    if (!qIsFinite(opacity))
        return;
    opacity = qBound(0.0, opacity, 1.0);
    if (m_opacity == opacity)
        return;
    m_opacity = opacity;
    Q_EMIT opacityChanged(m_opacity);
}

void TextOverlayProperties::assignAlignment(int alignment)
{
    if (m_alignment == alignment)
        return;
    m_alignment = alignment;
    Q_EMIT alignmentChanged(m_alignment);
}
