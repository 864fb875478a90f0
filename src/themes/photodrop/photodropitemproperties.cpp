#include "photodropitemproperties.h"

#include "model/imagesource.h"
#include "model/itemtransform.h"

PhotoDropItemProperties::PhotoDropItemProperties(
    Document *document, RotationRestriction *restriction, QObject *parent)
    : PhotoLookProperties(document, parent)
    , m_transform(new ItemTransform(document, restriction, this))
{
}

PhotoDropItemProperties::~PhotoDropItemProperties() = default;

void PhotoDropItemProperties::setSource(QSharedPointer<ImageSource> source)
{
    m_source = std::move(source);
    Q_EMIT sourceChanged(m_source.data());
}
