#include "photolookproperties.h"

#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

PhotoLookProperties::PhotoLookProperties(Document *document, QObject *parent)
    : QObject(parent)
    , DocumentPart(document)
{
}

void PhotoLookProperties::setFilterType(int filterType)
{
    setUndoableMember<&PhotoLookProperties::m_filterType, &PhotoLookProperties::filterTypeChanged>(
        this, tr("Change filter"), filterType, CommandId::ItemFilter);
}

void PhotoLookProperties::setMaskShape(int maskShape)
{
    setUndoableMember<&PhotoLookProperties::m_maskShape, &PhotoLookProperties::maskShapeChanged>(
        this, tr("Change mask"), maskShape, CommandId::ItemMask);
}
