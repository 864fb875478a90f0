#include "documentstreams.h"

#include <QByteArray>
#include <QDataStream>
#include <QHash>
#include <QMetaObject>
#include <QVariant>

#include "io/collagestreamsettings.h"
#include "io/modelstreams.h"
#include "io/overlaystreams.h"
#include "io/recordheader.h"
#include "io/streamreading.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "themes/theme.h"

using namespace StreamReading;

namespace {

// The smallest overlay record: header, empty text, a font with empty names
// and one empty family, colour, position, three doubles and the alignment.
constexpr qint64 MinimumOverlayBytes
    = 4 + 4 + (4 + 4 + 8 + 4 + 1 + 2 + 2 + 1 + 2 + 1 + 4 + 4 + 1 + 1 + 4 + 4) + 11 + 16 + 24 + 4;
// Header, empty path, position and three doubles.
constexpr qint64 MinimumStickerBytes = 4 + 4 + 16 + 24;

// Only dynamic properties of types the reader accepts are kept; the rest
// (if any) describe the running program, not the collage.
QHash<QByteArray, QVariant> storedProperties(const Document &document)
{
    QHash<QByteArray, QVariant> properties;
    const QList<QByteArray> names = document.dynamicPropertyNames();
    for (const QByteArray &name : names) {
        const QVariant value = document.property(name.constData());
        if (isStorableVariant(value))
            properties.insert(name, value);
    }
    return properties;
}

// A stored name that is a declared property of the document would not add
// a dynamic property but call a setter (the theme id, the page size). The
// program never writes one.
bool isDeclaredProperty(const Document &document, const QByteArray &name)
{
    return document.metaObject()->indexOfProperty(name.constData()) >= 0;
}

} // namespace

void saveThemeRecord(QDataStream &stream, const Theme &theme)
{
    theme.save(stream);
}

void loadThemeRecord(QDataStream &stream, Theme &theme)
{
    theme.load(stream);
}

// ---------------------------------------------------------------------------
// Document: page size | image list | theme id (QByteArray)
//           from version 2: dynamic properties (QHash<QByteArray, QVariant>)
//           theme record
//           from version 3: overlay count (qint32) and overlays,
//                           sticker count (qint32) and stickers

QDataStream &operator<<(QDataStream &stream, const Document &document)
{
    CollageStreamSettings settings(stream);
    // Every document of an editing window has a theme; without one the
    // file could not be read again.
    if (!document.theme()) {
        stream.setStatus(QDataStream::WriteFailed);
        return stream;
    }
    writeRecordHeader(stream, RecordTypes::Document);
    stream << document.pageSize() << static_cast<const ImageList *>(document.imageList())
           << document.themeId() << storedProperties(document);
    saveThemeRecord(stream, *document.theme());
    stream << qint32(document.textOverlays().size());
    for (const TextOverlayProperties *overlay : document.textOverlays())
        stream << overlay;
    stream << qint32(document.stickers().size());
    for (const StickerProperties *sticker : document.stickers())
        stream << sticker;
    return stream;
}

QDataStream &operator>>(QDataStream &stream, Document &document)
{
    CollageStreamSettings settings(stream);
    const std::optional<quint16> version = readRecordHeader(stream, RecordTypes::Document);
    if (!version)
        return stream;
    PageSize pageSize;
    stream >> pageSize;
    if (!isOk(stream))
        return stream;
    document.setPageSize(pageSize);

    // Before the theme: it builds its items from the images.
    stream >> document.imageList();
    QByteArray themeId;
    if (!isOk(stream) || !readLengthPrefixed(stream, &themeId))
        return stream;
    document.setThemeId(themeId);
    // Without a theme nobody knows how long the theme record is, and
    // everything after it would be misread.
    if (!document.theme()) {
        markCorrupt(stream);
        return stream;
    }

    if (*version >= 2) {
        QHash<QByteArray, QVariant> properties;
        if (!readVariantHash(stream, &properties))
            return stream;
        // Every entry becomes a dynamic property, but for one that names a
        // declared property: it would call that property's setter instead.
        for (auto it = properties.cbegin(); it != properties.cend(); ++it) {
            if (!isDeclaredProperty(document, it.key()))
                document.setProperty(it.key().constData(), it.value());
        }
    }

    loadThemeRecord(stream, *document.theme());
    if (!isOk(stream) || *version < 3)
        return stream;

    qint32 count = 0;
    if (!readCount(stream, &count, MinimumOverlayBytes))
        return stream;
    for (qint32 i = 0; i < count && isOk(stream); ++i)
        stream >> document.addTextOverlay();
    if (!isOk(stream) || !readCount(stream, &count, MinimumStickerBytes))
        return stream;
    for (qint32 i = 0; i < count && isOk(stream); ++i)
        stream >> document.addSticker();
    return stream;
}
