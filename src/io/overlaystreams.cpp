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

// ---------------------------------------------------------------------------
// Text overlay: text (QString) | font (QFont with OpenType settings)
//               colour (QColor)
//               position (QPointF) | rotation, scale, opacity (double)
//               alignment (qint32)

QDataStream &operator<<(QDataStream &stream, const TextOverlayProperties *overlay)
{
    if (!overlay) {
        stream.setStatus(QDataStream::WriteFailed);
        return stream;
    }
    writeRecordHeader(stream, RecordTypes::TextOverlay);
    stream << overlay->text();
    writeFont(stream, overlay->font(), overlay->openTypeSettings());
    stream << overlay->color() << overlay->position() << double(overlay->rotation())
           << double(overlay->scale()) << double(overlay->opacity())
           << qint32(overlay->alignment());
    return stream;
}

QDataStream &operator>>(QDataStream &stream, TextOverlayProperties *overlay)
{
    if (!overlay) {
        markCorrupt(stream);
        return stream;
    }
    if (!readRecordHeader(stream, RecordTypes::TextOverlay))
        return stream;
    QString text;
    QFont font;
    OpenTypeSettings openType;
    QColor color;
    QPointF position;
    double rotation = 0;
    double scale = 0;
    double opacity = 0;
    qint32 alignment = 0;
    if (!readLengthPrefixed(stream, &text) || !readFont(stream, &font, &openType)
        || !readColor(stream, &color) || !readPoint(stream, &position)
        || !readReal(stream, &rotation) || !readReal(stream, &scale) || !readReal(stream, &opacity))
        return stream;
    stream >> alignment;
    if (!isOk(stream))
        return stream;

    PlainAssignment plain(overlay);
    overlay->setText(text);
    overlay->setFont(font);
    overlay->setOpenTypeSettings(openType);
    overlay->setColor(color);
    overlay->setPosition(position);
    overlay->setRotation(rotation);
    overlay->setScale(scale);
    overlay->setOpacity(opacity);
    overlay->setAlignment(alignment);
    return stream;
}

// ---------------------------------------------------------------------------
// Sticker: picture path (QString) | position (QPointF)
//          rotation, scale, opacity (double)

QDataStream &operator<<(QDataStream &stream, const StickerProperties *sticker)
{
    if (!sticker) {
        stream.setStatus(QDataStream::WriteFailed);
        return stream;
    }
    writeRecordHeader(stream, RecordTypes::Sticker);
    stream << sticker->stickerPath() << sticker->position() << double(sticker->rotation())
           << double(sticker->scale()) << double(sticker->opacity());
    return stream;
}

QDataStream &operator>>(QDataStream &stream, StickerProperties *sticker)
{
    if (!sticker) {
        markCorrupt(stream);
        return stream;
    }
    if (!readRecordHeader(stream, RecordTypes::Sticker))
        return stream;
    QString path;
    QPointF position;
    double rotation = 0;
    double scale = 0;
    double opacity = 0;
    if (!readLengthPrefixed(stream, &path) || !readPoint(stream, &position)
        || !readReal(stream, &rotation) || !readReal(stream, &scale) || !readReal(stream, &opacity))
        return stream;

    PlainAssignment plain(sticker);
    sticker->setStickerPath(path);
    sticker->setPosition(position);
    sticker->setRotation(rotation);
    sticker->setScale(scale);
    sticker->setOpacity(opacity);
    return stream;
}
