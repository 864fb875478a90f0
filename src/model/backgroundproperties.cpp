#include "backgroundproperties.h"

#include "model/imagesource.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"
#include "undo/undostack.h"

BackgroundProperties::BackgroundProperties(Document *document, QObject *parent)
    : QObject(parent)
    , DocumentPart(document)
    , m_image(new ImageSource(document, this))
{
}

void BackgroundProperties::setDocument(Document *document)
{
    DocumentPart::setDocument(document);
    m_image->setDocument(document);
}

void BackgroundProperties::setType(BackgroundProperties::Type type)
{
    // A type change has no text of its own; it shares the gradient angle's.
    setUndoableMember<&BackgroundProperties::m_type, &BackgroundProperties::typeChanged>(
        this, tr("Changing background gradient angle"), type, CommandId::BackgroundType);
}

void BackgroundProperties::setColor(const QColor &color)
{
    setUndoableMember<&BackgroundProperties::m_color, &BackgroundProperties::colorChanged>(
        this, tr("Changing background color"), color, CommandId::BackgroundColor);
}

void BackgroundProperties::setGradientAngle(qreal gradientAngle)
{
    setUndoableMember<&BackgroundProperties::m_gradientAngle,
        &BackgroundProperties::gradientAngleChanget>(this, tr("Changing background gradient angle"),
        gradientAngle, CommandId::BackgroundGradientAngle);
}

void BackgroundProperties::setGradientStartColor(const QColor &color)
{
    setUndoableMember<&BackgroundProperties::m_gradientStartColor,
        &BackgroundProperties::gradientStartColorChanged>(this,
        tr("Changing background gradient color 1"), color, CommandId::BackgroundGradientColor1);
}

void BackgroundProperties::setGradientEndColor(const QColor &color)
{
    setUndoableMember<&BackgroundProperties::m_gradientEndColor,
        &BackgroundProperties::gradientEndColorChanged>(this,
        tr("Changing background gradient color 2"), color, CommandId::BackgroundGradientColor2);
}

void BackgroundProperties::setBackgroundUrl(const QUrl &url)
{
    UndoStack *stack = undoStack();
    if (stack)
        stack->beginMacro(tr("Changing background image"));
    m_image->setSource(url);
    if (stack)
        stack->endMacro();
}
