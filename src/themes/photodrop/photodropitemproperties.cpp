#include "photodropitemproperties.h"

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
    setUndoableMember<&PhotoDropItemProperties::m_filterType,
        &PhotoDropItemProperties::filterTypeChanged>(
        this, tr("Change filter"), filterType, CommandId::ItemFilter);
}

void PhotoDropItemProperties::setMaskShape(int maskShape)
{
    setUndoableMember<&PhotoDropItemProperties::m_maskShape,
        &PhotoDropItemProperties::maskShapeChanged>(
        this, tr("Change mask"), maskShape, CommandId::ItemMask);
}

void PhotoDropItemProperties::setSource(QSharedPointer<ImageSource> source)
{
    m_source = std::move(source);
    Q_EMIT sourceChanged(m_source.data());
}
