#pragma once

#include <QObject>
#include <QSharedPointer>

#include "model/documentpart.h"

class ImageSource;
class ItemTransform;
class RotationRestriction;

// One photo of the Photo Drop pile: the image it shows, where it lies and
// how it is turned and scaled, and the colour filter and mask it is drawn
// with. Filter and mask codes are those of ImageFilters and PhotoMasks;
// unknown codes are kept and drawn as none.
class PhotoDropItemProperties : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(ItemTransform *transform READ transform CONSTANT)
    Q_MOC_INCLUDE("model/itemtransform.h")
    Q_PROPERTY(int filterType READ filterType WRITE setFilterType NOTIFY filterTypeChanged)
    Q_PROPERTY(int maskShape READ maskShape WRITE setMaskShape NOTIFY maskShapeChanged)

public:
    PhotoDropItemProperties(
        Document *document, RotationRestriction *restriction, QObject *parent = nullptr);
    ~PhotoDropItemProperties() override;

    ItemTransform *transform() const { return m_transform; }
    QSharedPointer<ImageSource> source() const { return m_source; }
    int filterType() const { return m_filterType; }
    int maskShape() const { return m_maskShape; }

public Q_SLOTS:
    // Undoable; a change of one photo's filter merges with the change
    // directly before it.
    void setFilterType(int filterType);
    void setMaskShape(int maskShape);
    void setSource(QSharedPointer<ImageSource> source);

Q_SIGNALS:
    void filterTypeChanged(int filterType);
    void maskShapeChanged(int maskShape);
    void sourceChanged(ImageSource *source);

private:
    ItemTransform *m_transform;
    QSharedPointer<ImageSource> m_source;
    int m_filterType = 0;
    int m_maskShape = 0;
};
