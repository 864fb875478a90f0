#pragma once

#include <QByteArray>
#include <QHash>
#include <QList>
#include <QStringList>
#include <QVariant>

class QColor;
class QDataStream;
class QFont;
class QPointF;
class QRectF;
class QSizeF;
class QTransform;
class QUrl;

// Readers of library types for files that may be damaged. The library's own
// operators trust their input: a container reserves room for whatever count
// it reads, a colour takes any colour-model number and a variant loads any type.
// These check what they read, mark the stream corrupt
// (QDataStream::ReadCorruptData) when it cannot have been written by this
// program, and allocate only in proportion to the bytes that are really
// there. Each returns whether the stream is still sound; nothing is stored
// on failure.
namespace StreamReading {

// Numbers beyond this magnitude are no coordinates, sizes or angles of a
// collage; refusing them keeps later float and integer conversions defined.
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

// A finite double of at most MaximumMagnitude.
bool readReal(QDataStream &stream, double *value);
bool readPoint(QDataStream &stream, QPointF *point);
bool readSize(QDataStream &stream, QSizeF *size);
bool readRect(QDataStream &stream, QRectF *rect);
bool readTransform(QDataStream &stream, QTransform *transform);

bool readString(QDataStream &stream, QString *string);
bool readByteArray(QDataStream &stream, QByteArray *bytes);
bool readUrl(QDataStream &stream, QUrl *url);
bool readColor(QDataStream &stream, QColor *color);
// The font layout of the stream version the collage format uses.
bool readFont(QDataStream &stream, QFont *font);

bool readStringList(QDataStream &stream, QStringList *list);
bool readUrlList(QDataStream &stream, QList<QUrl> *list);
bool readIntList(QDataStream &stream, QList<qint32> *list);

// Variants of plain value types only (numbers, text, bytes, addresses,
// points, sizes, rectangles, colours, string lists): containers of
// variants nest without limit, and other types bring decoders that have
// no business running on a damaged file.
bool isStorableVariant(const QVariant &value);
bool readVariant(QDataStream &stream, QVariant *value);
bool readVariantHash(QDataStream &stream, QHash<QByteArray, QVariant> *hash);

} // namespace StreamReading
