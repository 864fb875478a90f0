#include "streamreading.h"

#include <QColor>
#include <QDataStream>
#include <QFont>
#include <QIODevice>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTransform>
#include <QUrl>

namespace {

// Sanity limit for devices whose length is unknown (pipes, sockets).
constexpr quint64 MaximumCountOfUnknownLength = 1u << 24;

// Smallest encodings, for the caps on element counts.
constexpr qint64 MinimumStringBytes = 4; // a length of its own
constexpr qint64 MinimumVariantBytes = 5; // type id and null flag
constexpr qint64 MinimumByteArrayBytes = 4;

// Limits of the font fields this program can produce.
constexpr double MaximumFontSize = 1e7;
constexpr int MaximumFontWeight = 1000;
constexpr quint8 LastStyleHint = QFont::Fantasy;
constexpr quint16 MaximumStretch = 4000;
constexpr quint8 LastHintingPreference = QFont::PreferFullHinting;
constexpr quint8 LastCapitalization = QFont::Capitalize;
// Letter and word spacing travel as 26.6 fixed point: 1000 pixels or percent.
constexpr qint32 MaximumFixedSpacing = 1000 * 64;

bool readContainerSize(QDataStream &stream, quint32 *size, qint64 minimumBytesEach)
{
    quint32 value = 0;
    stream >> value;
    if (!StreamReading::isOk(stream))
        return false;
    if (!StreamReading::canHold(stream, value, minimumBytesEach)) {
        StreamReading::markCorrupt(stream);
        return false;
    }
    *size = value;
    return true;
}

// A half-precision float is infinite or NaN when its five exponent bits
// are all set.
bool isFiniteHalf(quint16 bits)
{
    return (bits & 0x7C00) != 0x7C00;
}

// Types whose stream format is a fixed set of plain fields or a single
// length-prefixed string; the library reads them without surprises.
bool isPlainVariantType(int typeId)
{
    switch (typeId) {
    case QMetaType::Bool:
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Double:
    case QMetaType::Float:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Char:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::QChar:
    case QMetaType::QString:
    case QMetaType::QByteArray:
    case QMetaType::QUrl:
    case QMetaType::QPoint:
    case QMetaType::QPointF:
    case QMetaType::QSize:
    case QMetaType::QSizeF:
    case QMetaType::QRect:
    case QMetaType::QRectF:
    case QMetaType::QLine:
    case QMetaType::QLineF:
        return true;
    default:
        return false;
    }
}

} // namespace

namespace StreamReading {

bool isOk(const QDataStream &stream)
{
    return stream.status() == QDataStream::Ok;
}

void markCorrupt(QDataStream &stream)
{
    // The stream keeps its first error; a later one does not replace it.
    stream.setStatus(QDataStream::ReadCorruptData);
}

qint64 remainingBytes(const QDataStream &stream)
{
    const QIODevice *device = stream.device();
    if (!device || device->isSequential())
        return -1;
    return qMax<qint64>(0, device->size() - device->pos());
}

bool canHold(const QDataStream &stream, quint64 count, qint64 minimumBytesEach)
{
    const qint64 remaining = remainingBytes(stream);
    if (remaining < 0)
        return count <= MaximumCountOfUnknownLength;
    // remaining is far below 2^62, so a count beyond it cannot overflow here.
    return count <= quint64(remaining) && qint64(count) * minimumBytesEach <= remaining;
}

bool readCount(QDataStream &stream, qint32 *count, qint64 minimumBytesEach)
{
    qint32 value = 0;
    stream >> value;
    if (!isOk(stream))
        return false;
    if (value < 0 || !canHold(stream, quint64(value), minimumBytesEach)) {
        markCorrupt(stream);
        return false;
    }
    *count = value;
    return true;
}

bool readReal(QDataStream &stream, double *value)
{
    double read = 0;
    stream >> read;
    if (!isOk(stream))
        return false;
    if (!qIsFinite(read) || qAbs(read) > MaximumMagnitude) {
        markCorrupt(stream);
        return false;
    }
    *value = read;
    return true;
}

bool readPoint(QDataStream &stream, QPointF *point)
{
    double x = 0;
    double y = 0;
    if (!readReal(stream, &x) || !readReal(stream, &y))
        return false;
    *point = QPointF(x, y);
    return true;
}

bool readSize(QDataStream &stream, QSizeF *size)
{
    double width = 0;
    double height = 0;
    if (!readReal(stream, &width) || !readReal(stream, &height))
        return false;
    *size = QSizeF(width, height);
    return true;
}

bool readRect(QDataStream &stream, QRectF *rect)
{
    double values[4] = {};
    for (double &value : values) {
        if (!readReal(stream, &value))
            return false;
    }
    *rect = QRectF(values[0], values[1], values[2], values[3]);
    return true;
}

bool readTransform(QDataStream &stream, QTransform *transform)
{
    double m[9] = {};
    for (double &value : m) {
        if (!readReal(stream, &value))
            return false;
    }
    *transform = QTransform(m[0], m[1], m[2], m[3], m[4], m[5], m[6], m[7], m[8]);
    return true;
}

bool readString(QDataStream &stream, QString *string)
{
    // The library reads long strings in bounded steps and stops at the end
    // of the data, so a false length costs no more than the data itself.
    QString read;
    stream >> read;
    if (!isOk(stream))
        return false;
    *string = read;
    return true;
}

bool readByteArray(QDataStream &stream, QByteArray *bytes)
{
    QByteArray read;
    stream >> read;
    if (!isOk(stream))
        return false;
    *bytes = read;
    return true;
}

bool readUrl(QDataStream &stream, QUrl *url)
{
    QUrl read;
    stream >> read;
    if (!isOk(stream))
        return false;
    *url = read;
    return true;
}

//  model (qint8) | alpha | c1 | c2 | c3 | pad   (five quint16)
//
// The library stores any colour-model number it reads, and a colour with an unknown
// model or an impossible hue misbehaves wherever it is converted later.
bool readColor(QDataStream &stream, QColor *color)
{
    qint8 colorModel = 0;
    quint16 fields[5] = {};
    stream >> colorModel;
    for (quint16 &field : fields)
        stream >> field;
    if (!isOk(stream))
        return false;

    bool sound = false;
    switch (colorModel) {
    case QColor::Invalid:
    case QColor::Rgb:
    case QColor::Cmyk:
        sound = true;
        break;
    case QColor::Hsv:
    case QColor::Hsl:
        // Hue in hundredths of a degree, or 0xFFFF for an achromatic colour.
        sound = fields[1] < 36000 || fields[1] == 0xFFFF;
        break;
    case QColor::ExtendedRgb:
        sound = isFiniteHalf(fields[0]) && isFiniteHalf(fields[1]) && isFiniteHalf(fields[2])
            && isFiniteHalf(fields[3]);
        break;
    default:
        break;
    }
    if (!sound) {
        markCorrupt(stream);
        return false;
    }

    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(stream.version());
        out << colorModel;
        for (quint16 field : fields)
            out << field;
    }
    QDataStream in(bytes);
    in.setVersion(stream.version());
    in >> *color;
    return true;
}

// The font layout of stream version Qt_6_4:
//
//   family, style name (QString) | point size (double) | pixel size (qint32)
//   style hint (quint8) | style strategy (quint16) | weight (quint16)
//   bits (quint8) | stretch (quint16) | extended bits (quint8)
//   letter spacing, word spacing (qint32, 26.6 fixed point)
//   hinting preference, capitalization (quint8) | families (QStringList,
//   never empty)
//
// The fields are checked and written again into a buffer the library's
// reader then decodes; the family list it reads from there has a count
// that the data has already backed.
bool readFont(QDataStream &stream, QFont *font)
{
    if (stream.version() != QDataStream::Qt_6_4) {
        markCorrupt(stream);
        return false;
    }
    QString family;
    QString styleName;
    double pointSize = 0;
    qint32 pixelSize = 0;
    quint8 styleHint = 0;
    quint16 styleStrategy = 0;
    quint16 weight = 0;
    quint8 bits = 0;
    quint16 stretch = 0;
    quint8 extendedBits = 0;
    qint32 letterSpacing = 0;
    qint32 wordSpacing = 0;
    quint8 hintingPreference = 0;
    quint8 capitalization = 0;
    QStringList families;
    if (!readString(stream, &family) || !readString(stream, &styleName))
        return false;
    stream >> pointSize >> pixelSize >> styleHint >> styleStrategy >> weight >> bits >> stretch
        >> extendedBits >> letterSpacing >> wordSpacing >> hintingPreference >> capitalization;
    if (!isOk(stream) || !readStringList(stream, &families))
        return false;

    const bool pointSizeSound = pointSize == -1
        || (qIsFinite(pointSize) && pointSize > 0 && pointSize <= MaximumFontSize);
    const bool pixelSizeSound = pixelSize == -1 || (pixelSize > 0 && pixelSize <= MaximumFontSize);
    // The library writes the first of the families as the font's family and
    // fails on a font without any.
    if (families.isEmpty() || !pointSizeSound || !pixelSizeSound || styleHint > LastStyleHint
        || weight > MaximumFontWeight || stretch > MaximumStretch
        || qAbs(qint64(letterSpacing)) > MaximumFixedSpacing
        || qAbs(qint64(wordSpacing)) > MaximumFixedSpacing
        || hintingPreference > LastHintingPreference || capitalization > LastCapitalization) {
        markCorrupt(stream);
        return false;
    }

    QByteArray bytes;
    {
        QDataStream out(&bytes, QIODevice::WriteOnly);
        out.setVersion(stream.version());
        out << family << styleName << pointSize << pixelSize << styleHint << styleStrategy << weight
            << bits << stretch << extendedBits << letterSpacing << wordSpacing << hintingPreference
            << capitalization << families;
    }
    QDataStream in(bytes);
    in.setVersion(stream.version());
    QFont read;
    in >> read;
    if (in.status() != QDataStream::Ok) {
        markCorrupt(stream);
        return false;
    }
    *font = read;
    return true;
}

bool readStringList(QDataStream &stream, QStringList *list)
{
    quint32 size = 0;
    if (!readContainerSize(stream, &size, MinimumStringBytes))
        return false;
    QStringList read;
    for (quint32 i = 0; i < size; ++i) {
        QString string;
        if (!readString(stream, &string))
            return false;
        read.append(string);
    }
    *list = read;
    return true;
}

bool readUrlList(QDataStream &stream, QList<QUrl> *list)
{
    quint32 size = 0;
    if (!readContainerSize(stream, &size, MinimumByteArrayBytes))
        return false;
    QList<QUrl> read;
    for (quint32 i = 0; i < size; ++i) {
        QUrl url;
        if (!readUrl(stream, &url))
            return false;
        read.append(url);
    }
    *list = read;
    return true;
}

bool readIntList(QDataStream &stream, QList<qint32> *list)
{
    quint32 size = 0;
    if (!readContainerSize(stream, &size, sizeof(qint32)))
        return false;
    QList<qint32> read;
    for (quint32 i = 0; i < size; ++i) {
        qint32 value = 0;
        stream >> value;
        if (!isOk(stream))
            return false;
        read.append(value);
    }
    *list = read;
    return true;
}

bool isStorableVariant(const QVariant &value)
{
    const int typeId = value.metaType().id();
    return isPlainVariantType(typeId) || typeId == QMetaType::QColor
        || typeId == QMetaType::QStringList;
}

//  type id (quint32) | null flag (qint8) | the value in its type's format
bool readVariant(QDataStream &stream, QVariant *value)
{
    quint32 typeId = 0;
    qint8 isNull = 0;
    stream >> typeId >> isNull;
    if (!isOk(stream))
        return false;
    if (isNull != 0 && isNull != 1) {
        markCorrupt(stream);
        return false;
    }

    if (typeId == QMetaType::UnknownType) {
        *value = QVariant(); // the invalid variant carries no value
        return true;
    }
    if (typeId == QMetaType::QColor) {
        QColor color;
        if (!readColor(stream, &color))
            return false;
        *value = color;
        return true;
    }
    if (typeId == QMetaType::QStringList) {
        QStringList list;
        if (!readStringList(stream, &list))
            return false;
        *value = list;
        return true;
    }
    if (!isPlainVariantType(int(typeId))) {
        markCorrupt(stream);
        return false;
    }
    const QMetaType type { int(typeId) };
    QVariant read(type);
    if (!type.load(stream, read.data()) || !isOk(stream)) {
        markCorrupt(stream);
        return false;
    }
    *value = read;
    return true;
}

bool readVariantHash(QDataStream &stream, QHash<QByteArray, QVariant> *hash)
{
    quint32 size = 0;
    if (!readContainerSize(stream, &size, MinimumByteArrayBytes + MinimumVariantBytes))
        return false;
    QHash<QByteArray, QVariant> read;
    for (quint32 i = 0; i < size; ++i) {
        QByteArray key;
        QVariant entry;
        if (!readByteArray(stream, &key) || !readVariant(stream, &entry))
            return false;
        read.insert(key, entry);
    }
    *hash = read;
    return true;
}

} // namespace StreamReading
