#include "backgroundproperties.h"

#include "model/assignchanged.h"
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
    setUndoable<&BackgroundProperties::assignType, &BackgroundProperties::type>(
        this, tr("Changing background gradient angle"), type, CommandId::BackgroundType);
}

void BackgroundProperties::setColor(const QColor &color)
{
    setUndoable<&BackgroundProperties::assignColor, &BackgroundProperties::color>(
        this, tr("Changing background color"), color, CommandId::BackgroundColor);
}

void BackgroundProperties::setGradientAngle(qreal gradientAngle)
{
    setUndoable<&BackgroundProperties::assignGradientAngle, &BackgroundProperties::gradientAngle>(
        this, tr("Changing background gradient angle"), gradientAngle,
        CommandId::BackgroundGradientAngle);
}

void BackgroundProperties::setGradientStartColor(const QColor &color)
{
    setUndoable<&BackgroundProperties::assignGradientStartColor,
        &BackgroundProperties::gradientStartColor>(this, tr("Changing background gradient color 1"),
        color, CommandId::BackgroundGradientColor1);
}

void BackgroundProperties::setGradientEndColor(const QColor &color)
{
    setUndoable<&BackgroundProperties::assignGradientEndColor,
        &BackgroundProperties::gradientEndColor>(this, tr("Changing background gradient color 2"),
        color, CommandId::BackgroundGradientColor2);
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

void BackgroundProperties::assignType(BackgroundProperties::Type type)
{
    if (assignChanged(m_type, type))
        Q_EMIT typeChanged(m_type);
}

void BackgroundProperties::assignColor(const QColor &color)
{
    if (assignChanged(m_color, color))
        Q_EMIT colorChanged(m_color);
}

void BackgroundProperties::assignGradientAngle(qreal gradientAngle)
{
    if (assignChanged(m_gradientAngle, gradientAngle))
        Q_EMIT gradientAngleChanget(m_gradientAngle);
}

void BackgroundProperties::assignGradientStartColor(const QColor &color)
{
    if (assignChanged(m_gradientStartColor, color))
        Q_EMIT gradientStartColorChanged(m_gradientStartColor);
}

void BackgroundProperties::assignGradientEndColor(const QColor &color)
{
    if (assignChanged(m_gradientEndColor, color))
        Q_EMIT gradientEndColorChanged(m_gradientEndColor);
}
