#include "overlaystreams.h"

#include <QColor>
#include <QDataStream>
#include <QFont>
#include <QPointF>
#include <QString>

#include "io/plainassignment.h"
#include "io/recordheader.h"
#include "io/streamreading.h"
#include "model/opentypesettings.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"

using namespace StreamReading;

namespace {

// What both kinds store of their place on the page:
//   position (QPointF) | rotation, scale, opacity (double)
struct Placement
{
    QPointF position;
    double rotation = 0;
    double scale = 0;
    double opacity = 0;
};

void writePlacement(QDataStream &stream, const PlacedProperties *placed)
{
    stream << placed->position() << double(placed->rotation()) << double(placed->scale())
           << double(placed->opacity());
}

bool readPlacement(QDataStream &stream, Placement *placement)
{
    return readPoint(stream, &placement->position) && readReal(stream, &placement->rotation)
        && readReal(stream, &placement->scale) && readReal(stream, &placement->opacity);
}

void assignPlacement(PlacedProperties *placed, const Placement &placement)
{
    placed->setPosition(placement.position);
    placed->setRotation(placement.rotation);
    placed->setScale(placement.scale);
    placed->setOpacity(placement.opacity);
}

} // namespace

// ---------------------------------------------------------------------------
// Text overlay: text (QString) | font (QFont with OpenType settings)
//               colour (QColor) | placement | alignment (qint32)

QDataStream &operator<<(QDataStream &stream, const TextOverlayProperties *overlay)
{
    if (!writeRecordStart(stream, overlay, RecordTypes::TextOverlay))
        return stream;
    stream << overlay->text();
    writeFont(stream, overlay->font(), overlay->openTypeSettings());
    stream << overlay->color();
    writePlacement(stream, overlay);
    stream << qint32(overlay->alignment());
    return stream;
}

QDataStream &operator>>(QDataStream &stream, TextOverlayProperties *overlay)
{
    if (!readRecordStart(stream, overlay, RecordTypes::TextOverlay))
        return stream;
    QString text;
    QFont font;
    OpenTypeSettings openType;
    QColor color;
    Placement placement;
    qint32 alignment = 0;
    if (!readLengthPrefixed(stream, &text) || !readFont(stream, &font, &openType)
        || !readColor(stream, &color) || !readPlacement(stream, &placement)
        || !readPlain(stream, &alignment))
        return stream;

    PlainAssignment plain(overlay);
    overlay->setText(text);
    overlay->setFont(font);
    overlay->setOpenTypeSettings(openType);
    overlay->setColor(color);
    assignPlacement(overlay, placement);
    overlay->setAlignment(alignment);
    return stream;
}

// ---------------------------------------------------------------------------
// Sticker: picture path (QString) | placement

QDataStream &operator<<(QDataStream &stream, const StickerProperties *sticker)
{
    if (!writeRecordStart(stream, sticker, RecordTypes::Sticker))
        return stream;
    stream << sticker->stickerPath();
    writePlacement(stream, sticker);
    return stream;
}

QDataStream &operator>>(QDataStream &stream, StickerProperties *sticker)
{
    if (!readRecordStart(stream, sticker, RecordTypes::Sticker))
        return stream;
    QString path;
    Placement placement;
    if (!readLengthPrefixed(stream, &path) || !readPlacement(stream, &placement))
        return stream;

    PlainAssignment plain(sticker);
    sticker->setStickerPath(path);
    assignPlacement(sticker, placement);
    return stream;
}
