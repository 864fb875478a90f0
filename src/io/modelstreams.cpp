#include "modelstreams.h"

#include <QColor>
#include <QCoreApplication>
#include <QDataStream>
#include <QList>
#include <QPointF>
#include <QTransform>
#include <QUrl>

#include <cmath>

#include "io/plainassignment.h"
#include "io/recordheader.h"
#include "io/streamreading.h"
#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/modelinsertcommand.h"
#include "model/pagesize.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "model/transformedimagesource.h"
#include "undo/undostack.h"

using namespace StreamReading;

namespace {

// The page setup takes sides of up to 100000 units.
constexpr double MaximumPageExtent = 100000;
// Without a restriction a relative rotation spans half a turn either way.
constexpr double UnrestrictedVariation = 180;

// Quarter turns in 0...3; older files may hold negative turns.
int quarterTurns(qint32 turns)
{
    return ((turns % 4) + 4) % 4;
}

void pushOrRun(UndoStack *stack, QUndoCommand *command)
{
    if (stack) {
        stack->push(command);
    } else {
        command->redo();
        delete command;
    }
}

} // namespace

int imageRow(const Document *document, const QSharedPointer<ImageSource> &image)
{
    if (!document || !image)
        return -1;
    return document->imageList()->indexOf(image).row();
}

QSharedPointer<ImageSource> imageAtRow(const Document *document, int row)
{
    if (!document)
        return {};
    const ImageList *list = document->imageList();
    if (row < 0 || row >= list->count())
        return {};
    return list->at(row);
}

double wrappedRelativeRotation(double relative)
{
    // Whole steps of 2, stopping at the first value inside the range.
    if (relative > 1)
        relative -= 2 * std::ceil((relative - 1) / 2);
    else if (relative < -1)
        relative += 2 * std::ceil((-1 - relative) / 2);
    return relative;
}

double relativeFromDegrees(double degrees, double zero, double variation)
{
    const double relative = rotationToRelative(normalizedDegrees(degrees), zero, variation);
    return qIsFinite(relative) ? relative : 0;
}

// ---------------------------------------------------------------------------
// Page size: name (QString) | size (QSizeF) | units (qint32)

QDataStream &operator<<(QDataStream &stream, const PageSize &pageSize)
{
    writeRecordHeader(stream, RecordTypes::PageSize);
    stream << pageSize.name() << pageSize.size() << qint32(pageSize.units());
    return stream;
}

QDataStream &operator>>(QDataStream &stream, PageSize &pageSize)
{
    if (!readRecordHeader(stream, RecordTypes::PageSize))
        return stream;
    QString name;
    QSizeF size;
    qint32 units = 0;
    if (!readLengthPrefixed(stream, &name) || !readSize(stream, &size)
        || !readPlain(stream, &units))
        return stream;
    if (units < PageSize::Pixels || units > PageSize::Centimeters || size.width() < 0
        || size.height() < 0 || size.width() > MaximumPageExtent
        || size.height() > MaximumPageExtent) {
        markCorrupt(stream);
        return stream;
    }
    pageSize = PageSize(units, size, name);
    return stream;
}

// ---------------------------------------------------------------------------
// Image list: addresses (QList<QUrl>) | version 2: turns (QList<qint32>)

QDataStream &operator<<(QDataStream &stream, const ImageList *list)
{
    if (!writeRecordStart(stream, list, RecordTypes::ImageList))
        return stream;
    QList<QUrl> urls;
    QList<qint32> rotations;
    for (const ImageList::Item &source : list->items()) {
        urls.append(source->source());
        rotations.append(source->rotation());
    }
    stream << urls << rotations;
    return stream;
}

QDataStream &operator>>(QDataStream &stream, ImageList *list)
{
    const std::optional<quint16> version = readRecordStart(stream, list, RecordTypes::ImageList);
    if (!version)
        return stream;
    QList<QUrl> urls;
    QList<qint32> rotations;
    if (!readUrlList(stream, &urls))
        return stream;
    if (*version >= 2) {
        if (!readIntList(stream, &rotations))
            return stream;
        // One turn per image: anything else would turn images that are not there.
        if (rotations.size() != urls.size()) {
            markCorrupt(stream);
            return stream;
        }
    }

    UndoStack *stack = list->undoStack();
    if (list->count() > 0) {
        pushOrRun(stack,
            new ModelInsertCommand<ImageList::Item>(
                QCoreApplication::translate(
                    "ImageList", "Removing %n images", nullptr, list->count()),
                list, list->items(), 0, false));
    }
    QList<ImageList::Item> sources;
    for (const QUrl &url : std::as_const(urls)) {
        ImageList::Item source(new ImageSource());
        source->setSource(url); // no document yet: assigned, not recorded
        source->setDocument(list->document());
        sources.append(source);
    }
    if (!sources.isEmpty()) {
        pushOrRun(stack,
            new ModelInsertCommand<ImageList::Item>(
                QCoreApplication::translate(
                    "ImageList", "Inserting %n images", nullptr, int(sources.size())),
                list, sources, 0, true));
    }
    for (qsizetype row = rotations.size() - 1; row >= 0; --row)
        sources.at(row)->setRotation(quarterTurns(rotations.at(row)));
    return stream;
}

// ---------------------------------------------------------------------------
// Image source: turns (qint32) | address (QUrl)

QDataStream &operator<<(QDataStream &stream, const ImageSource *source)
{
    if (!writeRecordStart(stream, source, RecordTypes::ImageSource))
        return stream;
    stream << qint32(source->rotation()) << source->source();
    return stream;
}

QDataStream &operator>>(QDataStream &stream, ImageSource *source)
{
    if (!readRecordStart(stream, source, RecordTypes::ImageSource))
        return stream;
    qint32 rotation = 0;
    QUrl url;
    if (!readPlain(stream, &rotation) || !readLengthPrefixed(stream, &url))
        return stream;
    PlainAssignment plain(source);
    source->setSource(url);
    source->setRotation(quarterTurns(rotation));
    return stream;
}

// ---------------------------------------------------------------------------
// Transformed image source: crop (QTransform) | image row (qint32)

QDataStream &operator<<(QDataStream &stream, const TransformedImageSource *source)
{
    if (!writeRecordStart(stream, source, RecordTypes::TransformedImageSource))
        return stream;
    stream << source->transform() << qint32(imageRow(source->document(), source->source()));
    return stream;
}

QDataStream &operator>>(QDataStream &stream, TransformedImageSource *source)
{
    if (!readRecordStart(stream, source, RecordTypes::TransformedImageSource))
        return stream;
    QTransform transform;
    qint32 row = -1;
    if (!readTransform(stream, &transform) || !readPlain(stream, &row))
        return stream;
    // A row that names no image leaves the source without one: the cell
    // shows no picture, the rest of the collage is unharmed.
    const QSharedPointer<ImageSource> image = imageAtRow(source->document(), row);
    PlainAssignment plain(source);
    source->setTransform(transform);
    source->setSource(image);
    return stream;
}

// ---------------------------------------------------------------------------
// Item transform: position (QPointF) | zoom (double) | rotation (double;
// relative from version 2, degrees before)

QDataStream &operator<<(QDataStream &stream, const ItemTransform *transform)
{
    if (!writeRecordStart(stream, transform, RecordTypes::ItemTransform))
        return stream;
    stream << transform->position() << double(transform->zoom())
           << double(transform->rotationRelative());
    return stream;
}

QDataStream &operator>>(QDataStream &stream, ItemTransform *transform)
{
    const std::optional<quint16> version
        = readRecordStart(stream, transform, RecordTypes::ItemTransform);
    if (!version)
        return stream;
    QPointF position;
    double zoom = 0;
    double rotation = 0;
    if (!readPoint(stream, &position) || !readReal(stream, &zoom) || !readReal(stream, &rotation))
        return stream;
    if (zoom <= 0) {
        markCorrupt(stream);
        return stream;
    }

    const RotationRestriction *restriction = transform->restriction();
    const double zero = restriction ? restriction->zero() : 0;
    const double variation = restriction ? restriction->variation() : UnrestrictedVariation;
    double relative = rotation;
    if (*version < 2) {
        relative = relativeFromDegrees(rotation, zero, variation);
    } else if (relative < -1 || relative > 1) {
        // A value so large that its degrees overflow is wrapped as it is.
        const double degrees = rotationToDegrees(relative, zero, variation);
        if (qIsFinite(degrees))
            relative = relativeFromDegrees(degrees, zero, variation);
    }
    relative = wrappedRelativeRotation(relative);

    PlainAssignment plain(transform);
    transform->setPosition(position);
    transform->setZoom(zoom);
    transform->setRotationRelative(relative);
    return stream;
}

// ---------------------------------------------------------------------------
// Rotation restriction: zero (double) | variation (double)

QDataStream &operator<<(QDataStream &stream, const RotationRestriction *restriction)
{
    if (!writeRecordStart(stream, restriction, RecordTypes::RotationRestriction))
        return stream;
    stream << double(restriction->zero()) << double(restriction->variation());
    return stream;
}

QDataStream &operator>>(QDataStream &stream, RotationRestriction *restriction)
{
    if (!readRecordStart(stream, restriction, RecordTypes::RotationRestriction))
        return stream;
    double zero = 0;
    double variation = 0;
    if (!readReal(stream, &zero) || !readReal(stream, &variation))
        return stream;
    PlainAssignment plain(restriction);
    restriction->setZero(zero);
    restriction->setVariation(variation);
    return stream;
}

// ---------------------------------------------------------------------------
// Shadow: enabled (bool) | blur radius (double) | colour (QColor)
//         distance (double) | group (bool)

QDataStream &operator<<(QDataStream &stream, const ShadowProperties *shadow)
{
    if (!writeRecordStart(stream, shadow, RecordTypes::Shadow))
        return stream;
    stream << shadow->enabled() << double(shadow->blurRadius()) << shadow->color()
           << double(shadow->distance()) << shadow->group();
    return stream;
}

QDataStream &operator>>(QDataStream &stream, ShadowProperties *shadow)
{
    if (!readRecordStart(stream, shadow, RecordTypes::Shadow))
        return stream;
    bool enabled = false;
    double blurRadius = 0;
    QColor color;
    double distance = 0;
    bool group = false;
    if (!readPlain(stream, &enabled) || !readReal(stream, &blurRadius) || !readColor(stream, &color)
        || !readReal(stream, &distance) || !readPlain(stream, &group))
        return stream;
    // Both become pixels around every photo.
    if (blurRadius < 0 || distance < 0 || blurRadius > MaximumMagnitude
        || distance > MaximumMagnitude) {
        markCorrupt(stream);
        return stream;
    }
    PlainAssignment plain(shadow);
    shadow->setEnabled(enabled);
    shadow->setBlurRadius(blurRadius);
    shadow->setColor(color);
    shadow->setDistance(distance);
    shadow->setGroup(group);
    return stream;
}

// ---------------------------------------------------------------------------
// Frame: size (double) | colour (QColor) | enabled (bool)

QDataStream &operator<<(QDataStream &stream, const FrameProperties *frame)
{
    if (!writeRecordStart(stream, frame, RecordTypes::Frame))
        return stream;
    stream << double(frame->size()) << frame->color() << frame->enabled();
    return stream;
}

QDataStream &operator>>(QDataStream &stream, FrameProperties *frame)
{
    if (!readRecordStart(stream, frame, RecordTypes::Frame))
        return stream;
    double size = 0;
    QColor color;
    bool enabled = false;
    if (!readReal(stream, &size) || !readColor(stream, &color) || !readPlain(stream, &enabled))
        return stream;
    // Any finite size is one the setter takes, and drawing copes with it:
    // scattered photos bound it to the photo, and a grid cell whose frame
    // leaves no room for the picture shows the frame alone.
    PlainAssignment plain(frame);
    frame->setSize(size);
    frame->setColor(color);
    frame->setEnabled(enabled);
    return stream;
}

// ---------------------------------------------------------------------------
// Background: type (qint32) | colour (QColor) | gradient angle (double;
// qint32 before version 3) | start colour, end colour (QColor) | picture
// (image source record; a QUrl in version 1)

QDataStream &operator<<(QDataStream &stream, const BackgroundProperties *background)
{
    if (!writeRecordStart(stream, background, RecordTypes::Background))
        return stream;
    stream << qint32(background->type()) << background->color()
           << double(background->gradientAngle()) << background->gradientStartColor()
           << background->gradientEndColor()
           << static_cast<const ImageSource *>(background->image());
    return stream;
}

QDataStream &operator>>(QDataStream &stream, BackgroundProperties *background)
{
    const std::optional<quint16> version
        = readRecordStart(stream, background, RecordTypes::Background);
    if (!version)
        return stream;
    qint32 type = 0;
    QColor color;
    double gradientAngle = 0;
    QColor startColor;
    QColor endColor;
    if (!readPlain(stream, &type) || !readColor(stream, &color))
        return stream;
    if (*version >= 3) {
        if (!readReal(stream, &gradientAngle))
            return stream;
    } else {
        // Old files knew only two directions.
        qint32 direction = 0;
        stream >> direction;
        gradientAngle = direction > 0 ? 180 : 0;
    }
    if (!isOk(stream) || !readColor(stream, &startColor) || !readColor(stream, &endColor))
        return stream;
    if (type < BackgroundProperties::None || type > BackgroundProperties::Picture) {
        markCorrupt(stream);
        return stream;
    }
    QUrl pictureUrl;
    if (*version == 1) {
        if (!readLengthPrefixed(stream, &pictureUrl))
            return stream;
    } else {
        stream >> background->image();
        if (!isOk(stream))
            return stream;
    }

    {
        PlainAssignment plain(background);
        background->setType(BackgroundProperties::Type(type));
        background->setColor(color);
        background->setGradientAngle(gradientAngle);
        background->setGradientStartColor(startColor);
        background->setGradientEndColor(endColor);
    }
    if (*version == 1)
        background->image()->setSource(pictureUrl);
    return stream;
}
