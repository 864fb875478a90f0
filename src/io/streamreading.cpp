#include "streamreading.h"

#include <QColor>
#include <QDataStream>
#include <QDate>
#include <QFont>
#include <QIODevice>
#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QTime>
#include <QTransform>
#include <QUrl>
#include <QUuid>

#include <algorithm>
#include <limits>
#include <utility>

#include "io/collagestreamsettings.h"
#include "model/opentypesettings.h"

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
// OpenType numbers axes with 16 bits, and no font has more features. The
// bound also keeps the top byte of the feature count 0, which telling the
// font layouts apart relies on (peekFontTail).
constexpr quint32 MaximumFontTags = 0xffff;
// Tag and value of a feature; tag and a double of an axis.
constexpr qint64 FeatureBytes = 8;
constexpr qint64 AxisBytes = 12;
// The colour models Rgb to ExtendedRgb.
constexpr quint8 FirstColorModel = QColor::Rgb;
constexpr quint8 LastColorModel = QColor::ExtendedRgb;

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
    case QMetaType::QDate:
    case QMetaType::QTime:
    case QMetaType::QUuid:
        return true;
    default:
        return false;
    }
}

// Types that hold other variants; read element by element.
bool isVariantContainerType(int typeId)
{
    return typeId == QMetaType::QVariantList || typeId == QMetaType::QVariantMap
        || typeId == QMetaType::QVariantHash;
}

// OpenType tags are four printable ASCII characters.
bool isTag(quint32 tag)
{
    for (int shift = 0; shift < 32; shift += 8) {
        const quint32 character = (tag >> shift) & 0xff;
        if (character < 0x20 || character > 0x7e)
            return false;
    }
    return true;
}

bool readTagCount(QDataStream &stream, quint32 *count, qint64 bytesEach)
{
    if (!readContainerSize(stream, count, bytesEach))
        return false;
    if (*count > MaximumFontTags) {
        StreamReading::markCorrupt(stream);
        return false;
    }
    return true;
}

// A count and that many (tag, value) pairs, read as `Written` and kept as
// the map's values. The library writes a hash or a map, so a tag twice
// cannot come from it; nor can a tag that is not four letters, or a value
// `valid` refuses.
template<typename Written, typename Stored, typename Valid>
bool readTagged(QDataStream &stream, qint64 bytesEach, QMap<quint32, Stored> *into, Valid valid)
{
    quint32 count = 0;
    if (!readTagCount(stream, &count, bytesEach))
        return false;
    for (quint32 i = 0; i < count; ++i) {
        quint32 tag = 0;
        Written value = 0;
        stream >> tag >> value;
        if (!StreamReading::isOk(stream))
            return false;
        if (!isTag(tag) || into->contains(tag) || !valid(value)) {
            StreamReading::markCorrupt(stream);
            return false;
        }
        into->insert(tag, Stored(value));
    }
    return true;
}

//  count (quint32) | tag (quint32), value (quint32) ...
//  count (quint32) | tag (quint32), position (double) ...
bool readOpenTypeSettings(QDataStream &stream, OpenTypeSettings *settings)
{
    OpenTypeSettings read;
    // Axis positions are floats; the format's double precision writes them
    // as doubles.
    const auto isFloat = [](double value) {
        return qIsFinite(value) && qAbs(value) <= double(std::numeric_limits<float>::max());
    };
    if (!readTagged<quint32>(stream, FeatureBytes, &read.features, [](quint32) { return true; })
        || !readTagged<double>(stream, AxisBytes, &read.axes, isFloat))
        return false;
    *settings = read;
    return true;
}

// What follows the fields Qt 6.4 writes for a font.
enum class FontTail { OpenTypeSettings, Colour, Unknown };

// In the full layout the next byte is the top byte of the feature count,
// which is 0 for every count readOpenTypeSettings() takes. Files of earlier
// builds have the colour of the record there, whose first byte is its
// model: 1 (Rgb) to 5 (ExtendedRgb), never 0 (invalid), as no colour
// chooser of the program gives an invalid colour. Any other byte is neither.
FontTail peekFontTail(QDataStream &stream)
{
    char next = 0;
    QIODevice *device = stream.device();
    // At the end of the data the count read runs past it and fails there.
    if (!device || device->peek(&next, 1) != 1)
        return FontTail::OpenTypeSettings;
    const quint8 byte = quint8(next);
    if (byte == 0)
        return FontTail::OpenTypeSettings;
    if (byte >= FirstColorModel && byte <= LastColorModel)
        return FontTail::Colour;
    return FontTail::Unknown;
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
    if (!qIsFinite(read)) {
        markCorrupt(stream);
        return false;
    }
    *value = read;
    return true;
}

// Reads as many finite reals as the value takes and builds it from them in
// that order; the value is stored only once all are read.
template<typename Value, size_t... Index>
static bool readReals(QDataStream &stream, Value *result, std::index_sequence<Index...>)
{
    double values[sizeof...(Index)] = {};
    for (double &value : values) {
        if (!readReal(stream, &value))
            return false;
    }
    *result = Value(values[Index]...);
    return true;
}

bool readPoint(QDataStream &stream, QPointF *point)
{
    return readReals(stream, point, std::make_index_sequence<2>());
}

bool readSize(QDataStream &stream, QSizeF *size)
{
    return readReals(stream, size, std::make_index_sequence<2>());
}

bool readRect(QDataStream &stream, QRectF *rect)
{
    return readReals(stream, rect, std::make_index_sequence<4>());
}

bool readTransform(QDataStream &stream, QTransform *transform)
{
    return readReals(stream, transform, std::make_index_sequence<9>());
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

// The fields of a font as Qt 6.4 writes them (stream versions 20 to 22):
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
static bool readFontFields(QDataStream &stream, QFont *font)
{
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
    if (!readLengthPrefixed(stream, &family) || !readLengthPrefixed(stream, &styleName))
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
        out.setVersion(QDataStream::Qt_6_4);
        out << family << styleName << pointSize << pixelSize << styleHint << styleStrategy << weight
            << bits << stretch << extendedBits << letterSpacing << wordSpacing << hintingPreference
            << capitalization << families;
    }
    QDataStream in(bytes);
    in.setVersion(QDataStream::Qt_6_4);
    QFont read;
    in >> read;
    if (in.status() != QDataStream::Ok) {
        markCorrupt(stream);
        return false;
    }
    *font = read;
    return true;
}

//  the fields Qt 6.4 writes (above)
//  OpenType features (QHash<tag, quint32>) | variation axes (QMap<tag, float>)
//
// Earlier builds of this program wrote the fields alone; what follows them
// tells the layouts apart (peekFontTail), and a font that fits neither is
// refused rather than read one way or the other.
bool readFont(QDataStream &stream, QFont *font, OpenTypeSettings *settings)
{
    if (stream.version() != CollageStreamSettings::Version) {
        markCorrupt(stream);
        return false;
    }
    QFont read;
    if (!readFontFields(stream, &read))
        return false;
    OpenTypeSettings openType;
    switch (peekFontTail(stream)) {
    case FontTail::OpenTypeSettings:
        if (!readOpenTypeSettings(stream, &openType))
            return false;
        break;
    case FontTail::Colour:
        break;
    case FontTail::Unknown:
        markCorrupt(stream);
        return false;
    }
    *font = read;
    if (settings)
        *settings = openType;
    return true;
}

void writeFont(QDataStream &stream, const QFont &font, const OpenTypeSettings &settings)
{
    // The fields are those Qt 6.4 writes at its own version; at a version
    // it does not know it would write the same, but that is its business.
    QFont writable = font;
    // The library writes a font's first family without looking whether it
    // has one; a font whose families were all removed would crash the save.
    if (writable.families().isEmpty())
        writable.setFamilies({ QString() });
    QByteArray fields;
    {
        QDataStream out(&fields, QIODevice::WriteOnly);
        out.setVersion(QDataStream::Qt_6_4);
        out.setByteOrder(stream.byteOrder());
        out.setFloatingPointPrecision(QDataStream::DoublePrecision);
        out << writable;
    }
    if (stream.writeRawData(fields.constData(), int(fields.size())) != fields.size())
        return;
    stream << quint32(settings.features.size());
    for (auto it = settings.features.cbegin(); it != settings.features.cend(); ++it)
        stream << it.key() << it.value();
    stream << quint32(settings.axes.size());
    for (auto it = settings.axes.cbegin(); it != settings.axes.cend(); ++it)
        stream << it.key() << double(it.value());
}

// Reads a list whose elements take at least minimumBytesEach bytes each,
// element by element; the list is stored only once all are read.
template<typename Element>
static bool readList(QDataStream &stream, QList<Element> *list, qint64 minimumBytesEach,
    bool (*readElement)(QDataStream &, Element *))
{
    quint32 size = 0;
    if (!readContainerSize(stream, &size, minimumBytesEach))
        return false;
    QList<Element> read;
    for (quint32 i = 0; i < size; ++i) {
        Element element {};
        if (!readElement(stream, &element))
            return false;
        read.append(element);
    }
    *list = read;
    return true;
}

bool readStringList(QDataStream &stream, QStringList *list)
{
    return readList(stream, list, MinimumStringBytes, readLengthPrefixed<QString>);
}

bool readUrlList(QDataStream &stream, QList<QUrl> *list)
{
    return readList(stream, list, MinimumByteArrayBytes, readLengthPrefixed<QUrl>);
}

bool readIntList(QDataStream &stream, QList<qint32> *list)
{
    return readList(stream, list, sizeof(qint32), readPlain<qint32>);
}

static bool isStorableAt(const QVariant &value, int depth)
{
    const int typeId = value.metaType().id();
    if (isPlainVariantType(typeId) || typeId == QMetaType::UnknownType
        || typeId == QMetaType::QColor || typeId == QMetaType::QStringList
        || typeId == QMetaType::QByteArrayList)
        return true;
    if (!isVariantContainerType(typeId) || depth >= MaximumVariantDepth)
        return false;
    const auto storable
        = [depth](const QVariant &element) { return isStorableAt(element, depth + 1); };
    if (typeId == QMetaType::QVariantList) {
        const QVariantList list = value.toList();
        return std::all_of(list.cbegin(), list.cend(), storable);
    }
    if (typeId == QMetaType::QVariantMap) {
        const QVariantMap map = value.toMap();
        return std::all_of(map.cbegin(), map.cend(), storable);
    }
    const QVariantHash hash = value.toHash();
    return std::all_of(hash.cbegin(), hash.cend(), storable);
}

bool isStorableVariant(const QVariant &value)
{
    return isStorableAt(value, 0);
}

static bool readVariantAt(QDataStream &stream, QVariant *value, int depth);

//  count (quint32) | elements, or string key and element pairs
static bool readVariantContainer(QDataStream &stream, int typeId, QVariant *value, int depth)
{
    if (depth >= MaximumVariantDepth) {
        markCorrupt(stream);
        return false;
    }
    const bool keyed = typeId != QMetaType::QVariantList;
    quint32 size = 0;
    if (!readContainerSize(stream, &size, MinimumVariantBytes + (keyed ? MinimumStringBytes : 0)))
        return false;
    QVariantList list;
    QVariantMap map;
    QVariantHash hash;
    for (quint32 i = 0; i < size; ++i) {
        QString key;
        QVariant element;
        if ((keyed && !readLengthPrefixed(stream, &key))
            || !readVariantAt(stream, &element, depth + 1))
            return false;
        if (typeId == QMetaType::QVariantList)
            list.append(element);
        else if (typeId == QMetaType::QVariantMap)
            map.insert(key, element);
        else
            hash.insert(key, element);
    }
    if (typeId == QMetaType::QVariantList)
        *value = list;
    else if (typeId == QMetaType::QVariantMap)
        *value = map;
    else
        *value = hash;
    return true;
}

static bool readByteArrayList(QDataStream &stream, QByteArrayList *list)
{
    return readList(stream, list, MinimumByteArrayBytes, readLengthPrefixed<QByteArray>);
}

// A value whose own reader checks it, held in a variant.
template<typename T, typename Read>
bool readAsVariant(QDataStream &stream, QVariant *value, Read read)
{
    T held;
    if (!read(stream, &held))
        return false;
    *value = QVariant::fromValue(held);
    return true;
}

//  type id (quint32) | null flag (qint8) | the value in its type's format
static bool readVariantAt(QDataStream &stream, QVariant *value, int depth)
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
    if (typeId == QMetaType::QColor)
        return readAsVariant<QColor>(stream, value, readColor);
    if (typeId == QMetaType::QStringList)
        return readAsVariant<QStringList>(stream, value, readStringList);
    if (typeId == QMetaType::QByteArrayList)
        return readAsVariant<QByteArrayList>(stream, value, readByteArrayList);
    if (isVariantContainerType(int(typeId)))
        return readVariantContainer(stream, int(typeId), value, depth);
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

bool readVariant(QDataStream &stream, QVariant *value)
{
    return readVariantAt(stream, value, 0);
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
        if (!readLengthPrefixed(stream, &key) || !readVariant(stream, &entry))
            return false;
        read.insert(key, entry);
    }
    *hash = read;
    return true;
}

} // namespace StreamReading
