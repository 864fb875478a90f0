#include "textoverlayproperties.h"

#include "model/assignchanged.h"
#include "model/document.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

TextOverlayProperties::TextOverlayProperties(Document *document)
    : PlacedProperties(document,
        { { QT_TR_NOOP("Move text"), CommandId::TextOverlayPosition },
            { QT_TR_NOOP("Rotate text"), CommandId::TextOverlayRotation },
            { QT_TR_NOOP("Scale text"), CommandId::TextOverlayScale },
            { QT_TR_NOOP("Change text opacity"), CommandId::TextOverlayOpacity } })
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

void TextOverlayProperties::setAlignment(int alignment)
{
    setUndoable<&TextOverlayProperties::assignAlignment, &TextOverlayProperties::alignment>(
        this, tr("Change text alignment"), alignment, CommandId::TextOverlayAlignment);
}

void TextOverlayProperties::assignText(const QString &text)
{
    if (assignChanged(m_text, text))
        Q_EMIT textChanged(m_text);
}

void TextOverlayProperties::assignFont(const QFont &font)
{
    if (assignChanged(m_font, font))
        Q_EMIT fontChanged(m_font);
}

void TextOverlayProperties::assignColor(const QColor &color)
{
    if (assignChanged(m_color, color))
        Q_EMIT colorChanged(m_color);
}

void TextOverlayProperties::assignAlignment(int alignment)
{
    if (assignChanged(m_alignment, alignment))
        Q_EMIT alignmentChanged(m_alignment);
}
