#include "transformedimagesource.h"

#include "model/assignchanged.h"
#include "model/imagesource.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

TransformedImageSource::TransformedImageSource(
    const QSharedPointer<ImageSource> &source, Document *document, QObject *parent)
    : QObject(parent)
    , DocumentPart(document)
    , m_source(source)
{
    // Registering the shared pointer type also registers its conversion to
    // QObject*, which property bindings and scripts rely on.
    static const int typeId = qRegisterMetaType<QSharedPointer<TransformedImageSource>>();
    Q_UNUSED(typeId)
}

TransformedImageSource::~TransformedImageSource() = default;

void TransformedImageSource::setSource(const QSharedPointer<ImageSource> &source)
{
    setUndoable<&TransformedImageSource::assignSource, &TransformedImageSource::source>(
        this, QStringLiteral("Changing image"), source, CommandId::TransformedImage);
}

void TransformedImageSource::setTransform(const QTransform &transform)
{
    setUndoableMember<&TransformedImageSource::m_transform,
        &TransformedImageSource::transformChanged>(
        this, QStringLiteral("Changing crop"), transform, CommandId::TransformedCrop);
}

void TransformedImageSource::assignSource(const QSharedPointer<ImageSource> &source)
{
    if (assignChanged(m_source, source))
        Q_EMIT imageChanged();
}
