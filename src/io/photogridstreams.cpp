#include "photogridstreams.h"

#include <QDataStream>
#include <QRectF>
#include <QtMath>

#include "io/modelstreams.h"
#include "io/plainassignment.h"
#include "io/recordheader.h"
#include "io/streamreading.h"
#include "model/document.h"
#include "model/rotationrestriction.h"
#include "model/transformedimagesource.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/photogridtheme.h"

using namespace StreamReading;

namespace {

// Header, turn, rectangle and the transformed image source record (header,
// nine doubles, row); the oldest layout has no filter and mask.
constexpr qint64 MinimumItemBytes = 4 + 8 + 32 + (4 + 72 + 4);
constexpr double UnrestrictedVariation = 180;

// Infinite between a reset of the partition and its first cut; never NaN
// or negative.
bool readMinimumItemSize(QDataStream &stream, double *size)
{
    double read = 0;
    stream >> read;
    if (!isOk(stream))
        return false;
    const bool sound = read >= 0 && (read <= MaximumMagnitude || qIsInf(read));
    if (!sound) {
        markCorrupt(stream);
        return false;
    }
    *size = read;
    return true;
}

} // namespace

// ---------------------------------------------------------------------------
// Theme: spacing (double; relative from version 2) | shadow | frame
//        background | minimum item size (double) | rotation restriction
//        (a bool before version 3) | count (qint32) | the cells

void savePhotoGridTheme(QDataStream &stream, const PhotoGridTheme &theme)
{
    writeRecordHeader(stream, RecordTypes::PhotoGridTheme);
    stream << double(theme.borderRelative())
           << static_cast<const ShadowProperties *>(theme.shadows())
           << static_cast<const FrameProperties *>(theme.frames())
           << static_cast<const BackgroundProperties *>(theme.background())
           << double(theme.minimumItemSize())
           << static_cast<const RotationRestriction *>(theme.rotationRestrictions())
           << qint32(theme.items().size());
    for (const PhotoGridItemPropertiesSharedPointer &item : theme.items())
        stream << static_cast<const PhotoGridItemProperties *>(item.data());
}

void loadPhotoGridTheme(QDataStream &stream, PhotoGridTheme &theme)
{
    const std::optional<quint16> version = readRecordHeader(stream, RecordTypes::PhotoGridTheme);
    if (!version)
        return;
    double border = 0;
    if (!readReal(stream, &border))
        return;
    stream >> theme.shadows();
    stream >> theme.frames();
    stream >> theme.background();
    double minimumItemSize = 0;
    if (!isOk(stream) || !readMinimumItemSize(stream, &minimumItemSize))
        return;
    bool rotationEnabled = false;
    if (*version >= 3)
        stream >> theme.rotationRestrictions();
    else
        stream >> rotationEnabled;
    qint32 count = 0;
    if (!isOk(stream) || !readCount(stream, &count, MinimumItemBytes))
        return;

    // Old files kept the spacing in page units; it is related to the
    // minimum item size the theme has before the file's own is taken.
    const double borderRelative = *version >= 2 ? border : border / (0.5 * theme.minimumItemSize());
    if (!qIsFinite(borderRelative)) {
        markCorrupt(stream);
        return;
    }
    Document *document = theme.document();
    {
        PlainAssignment plain(&theme);
        theme.setBorderRelative(borderRelative);
        if (minimumItemSize != theme.minimumItemSize()) {
            theme.resetMinimumItemSize();
            theme.updateMinimumItemSize(minimumItemSize);
        }
    }
    if (*version < 3) {
        theme.rotationRestrictions()->setZero(0);
        theme.rotationRestrictions()->setVariation(rotationEnabled ? 180 : 0);
    }

    PlainAssignment plain(&theme);
    const QList<PhotoGridItemPropertiesSharedPointer> previous = theme.items();
    for (const PhotoGridItemPropertiesSharedPointer &item : previous)
        theme.removeItem(item);
    for (qint32 i = 0; i < count; ++i) {
        const auto item
            = PhotoGridItemPropertiesSharedPointer::create(document, theme.rotationRestrictions());
        stream >> item.data();
        if (!isOk(stream))
            return;
        theme.insertItem(item);
    }
}

// ---------------------------------------------------------------------------
// Cell: turn (double; relative from version 2) | rectangle (QRectF)
//       transformed image source | from version 3: filter, mask (qint8)

QDataStream &operator<<(QDataStream &stream, const PhotoGridItemProperties *item)
{
    if (!writeRecordStart(stream, item, RecordTypes::PhotoGridItem))
        return stream;
    stream << double(item->angleRelative()) << item->rect()
           << static_cast<const TransformedImageSource *>(item->source().data())
           << qint8(item->filterType()) << qint8(item->maskShape());
    return stream;
}

QDataStream &operator>>(QDataStream &stream, PhotoGridItemProperties *item)
{
    const std::optional<quint16> version
        = readRecordStart(stream, item, RecordTypes::PhotoGridItem);
    if (!version)
        return stream;
    double angle = 0;
    QRectF rect;
    if (!readReal(stream, &angle) || !readRect(stream, &rect))
        return stream;
    stream >> item->source().data();
    qint8 filterType = 0;
    qint8 maskShape = 0;
    if (*version >= 3)
        stream >> filterType >> maskShape;
    if (!isOk(stream))
        return stream;

    double relative = angle;
    if (*version < 2) {
        const RotationRestriction *restriction = item->restriction();
        relative = relativeFromDegrees(angle, restriction ? restriction->zero() : 0,
            restriction ? restriction->variation() : UnrestrictedVariation);
    }
    PlainAssignment plain(item);
    item->setAngleRelative(relative);
    item->setRect(rect);
    if (*version >= 3) {
        item->setFilterType(filterType);
        item->setMaskShape(maskShape);
    }
    return stream;
}
