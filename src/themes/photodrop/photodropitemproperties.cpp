#include "photodropitemproperties.h"

#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"
#include "undo/undostack.h"

PhotoDropItemProperties::PhotoDropItemProperties(
    Document *document, RotationRestriction *restriction, QObject *parent)
    : QObject(parent)
    , DocumentPart(document)
    , m_transform(new ItemTransform(document, restriction, this))
{
}

PhotoDropItemProperties::~PhotoDropItemProperties() = default;

void PhotoDropItemProperties::setFilterType(int filterType)
{
    using Command = PropertyUndoCommand<PhotoDropItemProperties, int,
        &PhotoDropItemProperties::assignFilterType, &PhotoDropItemProperties::filterType>;
    if (UndoStack *stack = undoStack())
        stack->push(new Command(tr("Change filter"), this, filterType, CommandId::ItemFilter));
    else
        assignFilterType(filterType);
}

void PhotoDropItemProperties::setMaskShape(int maskShape)
{
    using Command = PropertyUndoCommand<PhotoDropItemProperties, int,
        &PhotoDropItemProperties::assignMaskShape, &PhotoDropItemProperties::maskShape>;
    if (UndoStack *stack = undoStack())
        stack->push(new Command(tr("Change mask"), this, maskShape, CommandId::ItemMask));
    else
        assignMaskShape(maskShape);
}

void PhotoDropItemProperties::setSource(QSharedPointer<ImageSource> source)
{
    m_source = std::move(source);
    Q_EMIT sourceChanged(m_source.data());
}

void PhotoDropItemProperties::assignFilterType(int filterType)
{
    if (filterType == m_filterType)
        return;
    m_filterType = filterType;
    Q_EMIT filterTypeChanged(m_filterType);
}

void PhotoDropItemProperties::assignMaskShape(int maskShape)
{
    if (maskShape == m_maskShape)
        return;
    m_maskShape = maskShape;
    Q_EMIT maskShapeChanged(m_maskShape);
}
