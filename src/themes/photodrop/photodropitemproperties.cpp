#include "photodropitemproperties.h"

#include "model/assignchanged.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

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
    setUndoable<&PhotoDropItemProperties::assignFilterType, &PhotoDropItemProperties::filterType>(
        this, tr("Change filter"), filterType, CommandId::ItemFilter);
}

void PhotoDropItemProperties::setMaskShape(int maskShape)
{
    setUndoable<&PhotoDropItemProperties::assignMaskShape, &PhotoDropItemProperties::maskShape>(
        this, tr("Change mask"), maskShape, CommandId::ItemMask);
}

void PhotoDropItemProperties::setSource(QSharedPointer<ImageSource> source)
{
    m_source = std::move(source);
    Q_EMIT sourceChanged(m_source.data());
}

void PhotoDropItemProperties::assignFilterType(int filterType)
{
    if (assignChanged(m_filterType, filterType))
        Q_EMIT filterTypeChanged(m_filterType);
}

void PhotoDropItemProperties::assignMaskShape(int maskShape)
{
    if (assignChanged(m_maskShape, maskShape))
        Q_EMIT maskShapeChanged(m_maskShape);
}
