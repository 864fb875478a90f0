#include "textoverlayproperties.h"

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
    setUndoableMember<&TextOverlayProperties::m_text, &TextOverlayProperties::textChanged>(
        this, tr("Change text"), text, CommandId::TextOverlayText);
}

void TextOverlayProperties::setFont(const QFont &font)
{
    setUndoableMember<&TextOverlayProperties::m_font, &TextOverlayProperties::fontChanged>(
        this, tr("Change font"), font, CommandId::TextOverlayFont);
}

void TextOverlayProperties::setColor(const QColor &color)
{
    setUndoableMember<&TextOverlayProperties::m_color, &TextOverlayProperties::colorChanged>(
        this, tr("Change text color"), color, CommandId::TextOverlayColor);
}

void TextOverlayProperties::setAlignment(int alignment)
{
    setUndoableMember<&TextOverlayProperties::m_alignment,
        &TextOverlayProperties::alignmentChanged>(
        this, tr("Change text alignment"), alignment, CommandId::TextOverlayAlignment);
}
