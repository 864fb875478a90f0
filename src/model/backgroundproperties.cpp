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
    using Command = PropertyUndoCommand<BackgroundProperties, BackgroundProperties::Type,
        &BackgroundProperties::assignType, &BackgroundProperties::type>;
    // A type change has no text of its own; it shares the gradient angle's.
    const QString text = tr("Changing background gradient angle");
    if (UndoStack *stack = undoStack())
        stack->push(new Command(text, this, type, CommandId::BackgroundType));
    else
        assignType(type);
}

void BackgroundProperties::setColor(const QColor &color)
{
    using Command = PropertyUndoCommand<BackgroundProperties, QColor,
        &BackgroundProperties::assignColor, &BackgroundProperties::color>;
    const QString text = tr("Changing background color");
    if (UndoStack *stack = undoStack())
        stack->push(new Command(text, this, color, CommandId::BackgroundColor));
    else
        assignColor(color);
}

void BackgroundProperties::setGradientAngle(qreal gradientAngle)
{
    using Command = PropertyUndoCommand<BackgroundProperties, double,
        &BackgroundProperties::assignGradientAngle, &BackgroundProperties::gradientAngle>;
    const QString text = tr("Changing background gradient angle");
    if (UndoStack *stack = undoStack())
        stack->push(new Command(text, this, gradientAngle, CommandId::BackgroundGradientAngle));
    else
        assignGradientAngle(gradientAngle);
}

void BackgroundProperties::setGradientStartColor(const QColor &color)
{
    using Command = PropertyUndoCommand<BackgroundProperties, QColor,
        &BackgroundProperties::assignGradientStartColor, &BackgroundProperties::gradientStartColor>;
    const QString text = tr("Changing background gradient color 1");
    if (UndoStack *stack = undoStack())
        stack->push(new Command(text, this, color, CommandId::BackgroundGradientColor1));
    else
        assignGradientStartColor(color);
}

void BackgroundProperties::setGradientEndColor(const QColor &color)
{
    using Command = PropertyUndoCommand<BackgroundProperties, QColor,
        &BackgroundProperties::assignGradientEndColor, &BackgroundProperties::gradientEndColor>;
    const QString text = tr("Changing background gradient color 2");
    if (UndoStack *stack = undoStack())
        stack->push(new Command(text, this, color, CommandId::BackgroundGradientColor2));
    else
        assignGradientEndColor(color);
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
    if (m_type == type)
        return;
    m_type = type;
    Q_EMIT typeChanged(m_type);
}

void BackgroundProperties::assignColor(const QColor &color)
{
    if (!(m_color != color))
        return;
    m_color = color;
    Q_EMIT colorChanged(m_color);
}

void BackgroundProperties::assignGradientAngle(qreal gradientAngle)
{
    if (m_gradientAngle == gradientAngle)
        return;
    m_gradientAngle = gradientAngle;
    Q_EMIT gradientAngleChanget(m_gradientAngle);
}

void BackgroundProperties::assignGradientStartColor(const QColor &color)
{
    if (!(m_gradientStartColor != color))
        return;
    m_gradientStartColor = color;
    Q_EMIT gradientStartColorChanged(m_gradientStartColor);
}

void BackgroundProperties::assignGradientEndColor(const QColor &color)
{
    if (!(m_gradientEndColor != color))
        return;
    m_gradientEndColor = color;
    Q_EMIT gradientEndColorChanged(m_gradientEndColor);
}
