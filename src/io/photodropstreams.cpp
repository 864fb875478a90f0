#include "photodropstreams.h"

#include <QDataStream>

#include "io/modelstreams.h"
#include "io/plainassignment.h"
#include "io/recordheader.h"
#include "io/streamreading.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/rotationrestriction.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodroptheme.h"

using namespace StreamReading;

namespace {

// Header, the oldest transform record (header, point, two doubles) and a row.
constexpr qint64 MinimumItemBytes = 4 + (4 + 16 + 8 + 8) + 4;

} // namespace

// ---------------------------------------------------------------------------
// Theme: shadow | frame | background | rotation restriction (from version 2)
//        photo list

void savePhotoDropTheme(QDataStream &stream, const PhotoDropTheme &theme)
{
    writeRecordHeader(stream, RecordTypes::PhotoDropTheme);
    stream << static_cast<const ShadowProperties *>(theme.shadows())
           << static_cast<const FrameProperties *>(theme.frames())
           << static_cast<const BackgroundProperties *>(theme.background())
           << static_cast<const RotationRestriction *>(theme.rotationRestrictions())
           << static_cast<const PhotoDropItemPropertiesList *>(theme.items());
}

void loadPhotoDropTheme(QDataStream &stream, PhotoDropTheme &theme)
{
    const std::optional<quint16> version = readRecordHeader(stream, RecordTypes::PhotoDropTheme);
    if (!version)
        return;
    stream >> theme.shadows();
    stream >> theme.frames();
    stream >> theme.background();
    if (!isOk(stream))
        return;
    if (*version >= 2) {
        stream >> theme.rotationRestrictions();
        if (!isOk(stream))
            return;
    } else {
        // Before the restriction was stored, photos turned freely.
        theme.rotationRestrictions()->setZero(0);
        theme.rotationRestrictions()->setVariation(180);
    }
    stream >> theme.items();
}

// ---------------------------------------------------------------------------
// Photo list: count (qint32) | the photos from the last row to the first

QDataStream &operator<<(QDataStream &stream, const PhotoDropItemPropertiesList *list)
{
    if (!writeRecordStart(stream, list, RecordTypes::PhotoDropItemList))
        return stream;
    stream << qint32(list->count());
    for (int row = list->count() - 1; row >= 0; --row)
        stream << static_cast<const PhotoDropItemProperties *>(list->at(row).data());
    return stream;
}

QDataStream &operator>>(QDataStream &stream, PhotoDropItemPropertiesList *list)
{
    if (!readRecordStart(stream, list, RecordTypes::PhotoDropItemList))
        return stream;
    qint32 count = 0;
    if (!readCount(stream, &count, MinimumItemBytes))
        return stream;
    if (count != list->count()) {
        markCorrupt(stream);
        return stream;
    }
    for (int row = count - 1; row >= 0 && isOk(stream); --row)
        stream >> list->at(row).data();
    return stream;
}

// ---------------------------------------------------------------------------
// Photo: transform | image row (qint32) | from version 2: filter, mask (qint8)

QDataStream &operator<<(QDataStream &stream, const PhotoDropItemProperties *item)
{
    if (!writeRecordStart(stream, item, RecordTypes::PhotoDropItem))
        return stream;
    stream << static_cast<const ItemTransform *>(item->transform())
           << qint32(imageRow(item->document(), item->source())) << qint8(item->filterType())
           << qint8(item->maskShape());
    return stream;
}

QDataStream &operator>>(QDataStream &stream, PhotoDropItemProperties *item)
{
    const std::optional<quint16> version
        = readRecordStart(stream, item, RecordTypes::PhotoDropItem);
    if (!version)
        return stream;
    stream >> item->transform();
    qint32 row = -1;
    qint8 filterType = 0;
    qint8 maskShape = 0;
    stream >> row;
    if (*version >= 2)
        stream >> filterType >> maskShape;
    if (!isOk(stream))
        return stream;

    // The theme made this photo for an image of the list; a row that names
    // none leaves it with that image rather than with none.
    const QSharedPointer<ImageSource> image = imageAtRow(item->document(), row);
    if (image && image != item->source())
        item->setSource(image);
    if (*version >= 2) {
        PlainAssignment plain(item);
        item->setFilterType(filterType);
        item->setMaskShape(maskShape);
    }
    return stream;
}
