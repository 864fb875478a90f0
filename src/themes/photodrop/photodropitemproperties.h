#pragma once

#include <QSharedPointer>

#include "model/photolookproperties.h"

class ImageSource;
class ItemTransform;
class RotationRestriction;

// One photo of the Photo Drop pile: the image it shows, where it lies and
// how it is turned and scaled, and (from the base) the colour filter and
// mask it is drawn with.
class PhotoDropItemProperties : public PhotoLookProperties
{
    Q_OBJECT
    Q_PROPERTY(ItemTransform *transform READ transform CONSTANT)
    Q_MOC_INCLUDE("model/itemtransform.h")

public:
    PhotoDropItemProperties(
        Document *document, RotationRestriction *restriction, QObject *parent = nullptr);
    ~PhotoDropItemProperties() override;

    ItemTransform *transform() const { return m_transform; }
    QSharedPointer<ImageSource> source() const { return m_source; }

public Q_SLOTS:
    void setSource(QSharedPointer<ImageSource> source);

Q_SIGNALS:
    void sourceChanged(ImageSource *source);

private:
    ItemTransform *m_transform;
    QSharedPointer<ImageSource> m_source;
};
