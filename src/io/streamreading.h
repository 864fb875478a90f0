#pragma once

#include <QByteArray>
#include <QDataStream>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QUrl>
#include <QVariant>

#include <type_traits>

struct OpenTypeSettings;

class QColor;
class QFont;
class QPointF;
class QRectF;
class QSizeF;
class QTransform;

// Readers of library types for files that may be damaged. The library's own
// operators trust their input: a container reserves room for whatever count
// it reads, a colour takes any colour-model number and a variant loads any type.
// These check what they read, mark the stream corrupt
// (QDataStream::ReadCorruptData) when it cannot have been written by a
// program that follows the collage format, and allocate only in proportion to the bytes that are
// really there. Each returns whether the stream is still sound; nothing is stored on failure.
namespace StreamReading {

// Sizes that become pixels (shadow blur and distance, the grid's minimum
// cell size) stay below this: beyond it they would ask for images no
// memory holds.
inline constexpr double MaximumMagnitude = 1e9;

bool isOk(const QDataStream &stream);
void markCorrupt(QDataStream &stream);

// The bytes left on a random-access device, or -1 when that is unknown.
qint64 remainingBytes(const QDataStream &stream);
// Whether `count` elements of at least `minimumBytesEach` bytes can still
// follow in the stream.
bool canHold(const QDataStream &stream, quint64 count, qint64 minimumBytesEach);

// A qint32 element count of a record: not negative and not more than the
// remaining bytes can hold.
bool readCount(QDataStream &stream, qint32 *count, qint64 minimumBytesEach);

// A value whose every encoding is sound: an integer or a flag. Stored only
// when read whole.
template<typename T> bool readPlain(QDataStream &stream, T *value)
{
    static_assert(std::is_integral_v<T>, "only types without invalid encodings");
    T read {};
    stream >> read;
    if (!isOk(stream))
        return false;
    *value = read;
    return true;
}

// A finite double. Any finite value is a value the model's setters take.
bool readReal(QDataStream &stream, double *value);
bool readPoint(QDataStream &stream, QPointF *point);
bool readSize(QDataStream &stream, QSizeF *size);
bool readRect(QDataStream &stream, QRectF *rect);
bool readTransform(QDataStream &stream, QTransform *transform);

// A string, byte array or address. The library reads these in bounded
// steps and stops at the end of the data, so a false length costs no more
// than the data itself.
template<typename T> bool readLengthPrefixed(QDataStream &stream, T *value)
{
    static_assert(
        std::is_same_v<T, QString> || std::is_same_v<T, QByteArray> || std::is_same_v<T, QUrl>,
        "only types whose reader allocates no more than the data holds");
    T read;
    stream >> read;
    if (!isOk(stream))
        return false;
    *value = std::move(read);
    return true;
}

bool readColor(QDataStream &stream, QColor *color);

// A font as the collage format stores it: the fields Qt 6.4 writes, then
// the OpenType feature hash and the variation-axis map that later releases
// add. Files of earlier builds of this program lack the two containers;
// a font in a record is always followed by a colour, which tells the two
// layouts apart (see the definition). `settings` receives the two
// containers and may be null.
bool readFont(QDataStream &stream, QFont *font, OpenTypeSettings *settings = nullptr);
// Writes `font` and `settings` in the layout readFont() reads.
void writeFont(QDataStream &stream, const QFont &font, const OpenTypeSettings &settings);

bool readStringList(QDataStream &stream, QStringList *list);
bool readUrlList(QDataStream &stream, QList<QUrl> *list);
bool readIntList(QDataStream &stream, QList<qint32> *list);

// Variants of value types whose encoding has a length the reader can check:
// numbers, text, bytes, addresses, points, sizes, rectangles, lines,
// colours, dates, times, identifiers, string and byte-array lists, and
// lists and maps of such variants nested up to MaximumVariantDepth. Other
// types (images, fonts, types named by the writer) bring decoders that
// have no business running on a damaged file, or encodings whose end
// cannot be found without them.
inline constexpr int MaximumVariantDepth = 8;
bool isStorableVariant(const QVariant &value);
bool readVariant(QDataStream &stream, QVariant *value);
bool readVariantHash(QDataStream &stream, QHash<QByteArray, QVariant> *hash);

} // namespace StreamReading
