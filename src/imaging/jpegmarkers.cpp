#include "jpegmarkers.h"

namespace {

constexpr unsigned char markerPrefix = 0xFF;
constexpr unsigned char startOfImage = 0xD8;
constexpr unsigned char endOfImage = 0xD9;
constexpr unsigned char startOfScan = 0xDA;
constexpr unsigned char app1 = 0xE1;
constexpr quint16 orientationTag = 0x0112;
constexpr quint16 typeShort = 3;

unsigned char byteAt(const QByteArray &data, qsizetype pos)
{
    return static_cast<unsigned char>(data.at(pos));
}

// Markers that stand alone, without a length field.
bool isStandalone(unsigned char marker)
{
    return marker == 0x01 || marker == startOfImage || (marker >= 0xD0 && marker <= 0xD7);
}

// Walks the marker segments of a JPEG stream. `onSegment(marker, offset,
// length)` sees every segment's payload; a scan's entropy-coded data is
// skipped. Returns true when the end-of-image marker was reached after at
// least one scan, false when the data ends early or is malformed.
template<typename Visitor> bool walkSegments(const QByteArray &data, Visitor onSegment)
{
    const qsizetype size = data.size();
    if (size < 4 || byteAt(data, 0) != markerPrefix || byteAt(data, 1) != startOfImage)
        return false;
    qsizetype pos = 2;
    bool sawScan = false;
    while (pos + 1 < size) {
        if (byteAt(data, pos) != markerPrefix)
            return false;
        // Any number of fill bytes may precede a marker.
        while (pos + 1 < size && byteAt(data, pos + 1) == markerPrefix)
            ++pos;
        if (pos + 1 >= size)
            return false;
        const unsigned char marker = byteAt(data, pos + 1);
        pos += 2;
        if (marker == endOfImage)
            return sawScan;
        if (isStandalone(marker))
            continue;
        if (pos + 2 > size)
            return false;
        const int length = (byteAt(data, pos) << 8) | byteAt(data, pos + 1);
        if (length < 2 || pos + length > size)
            return false;
        if (!onSegment(marker, pos + 2, qsizetype(length - 2)))
            return sawScan;
        pos += length;
        if (marker != startOfScan)
            continue;
        sawScan = true;
        // Entropy-coded data: a 0xFF byte is followed by a stuffed zero or a
        // restart marker; anything else is the next real marker.
        while (pos + 1 < size) {
            if (byteAt(data, pos) != markerPrefix) {
                const qsizetype found = data.indexOf(char(markerPrefix), pos);
                if (found < 0)
                    return false;
                pos = found;
                continue;
            }
            const unsigned char next = byteAt(data, pos + 1);
            if (next == 0x00 || (next >= 0xD0 && next <= 0xD7)) {
                pos += 2;
                continue;
            }
            if (next == markerPrefix) {
                ++pos;
                continue;
            }
            break;
        }
    }
    return false;
}

class TiffReader
{
public:
    TiffReader(const QByteArray &data, qsizetype start, qsizetype length)
        : m_data(data)
        , m_start(start)
        , m_length(length)
    {
    }

    bool readByteOrder()
    {
        if (m_length < 8)
            return false;
        const char a = m_data.at(m_start);
        const char b = m_data.at(m_start + 1);
        if (a == 'I' && b == 'I')
            m_bigEndian = false;
        else if (a == 'M' && b == 'M')
            m_bigEndian = true;
        else
            return false;
        quint16 magic = 0;
        return read16(2, &magic) && magic == 42;
    }

    bool read16(qsizetype offset, quint16 *value) const
    {
        if (offset < 0 || offset + 2 > m_length)
            return false;
        const quint16 b0 = byteAt(m_data, m_start + offset);
        const quint16 b1 = byteAt(m_data, m_start + offset + 1);
        *value = m_bigEndian ? quint16((b0 << 8) | b1) : quint16((b1 << 8) | b0);
        return true;
    }

    bool read32(qsizetype offset, quint32 *value) const
    {
        quint16 first = 0;
        quint16 second = 0;
        if (!read16(offset, &first) || !read16(offset + 2, &second))
            return false;
        *value = m_bigEndian ? (quint32(first) << 16) | second : (quint32(second) << 16) | first;
        return true;
    }

private:
    const QByteArray &m_data;
    qsizetype m_start;
    qsizetype m_length;
    bool m_bigEndian = false;
};

int orientationFromExif(const QByteArray &data, qsizetype start, qsizetype length)
{
    static const char exifHeader[] = { 'E', 'x', 'i', 'f', 0, 0 };
    if (length < qsizetype(sizeof(exifHeader))
        || data.mid(start, sizeof(exifHeader)) != QByteArray(exifHeader, sizeof(exifHeader)))
        return 0;
    TiffReader tiff(data, start + 6, length - 6);
    quint32 ifdOffset = 0;
    quint16 entryCount = 0;
    if (!tiff.readByteOrder() || !tiff.read32(4, &ifdOffset)
        || !tiff.read16(ifdOffset, &entryCount))
        return 0;
    for (quint16 i = 0; i < entryCount; ++i) {
        const qsizetype entry = qsizetype(ifdOffset) + 2 + 12 * i;
        quint16 tag = 0;
        quint16 type = 0;
        quint32 count = 0;
        quint16 value = 0;
        if (!tiff.read16(entry, &tag) || !tiff.read16(entry + 2, &type)
            || !tiff.read32(entry + 4, &count))
            return 0;
        if (tag != orientationTag)
            continue;
        if (type != typeShort || count != 1 || !tiff.read16(entry + 8, &value))
            return 0;
        return (value >= 1 && value <= 8) ? value : 0;
    }
    return 0;
}

} // namespace

namespace JpegMarkers {

bool isJpeg(const QByteArray &data)
{
    return data.size() >= 3 && byteAt(data, 0) == markerPrefix && byteAt(data, 1) == startOfImage
        && byteAt(data, 2) == markerPrefix;
}

int exifOrientation(const QByteArray &data)
{
    int orientation = 0;
    walkSegments(data, [&](unsigned char marker, qsizetype offset, qsizetype length) {
        if (marker == startOfScan)
            return false; // metadata always precedes the first scan
        if (marker == app1) {
            const int found = orientationFromExif(data, offset, length);
            if (found != 0) {
                orientation = found;
                return false;
            }
        }
        return true;
    });
    return orientation == 0 ? 1 : orientation;
}

bool hasCompleteScan(const QByteArray &data)
{
    return walkSegments(data, [](unsigned char, qsizetype, qsizetype) { return true; });
}

} // namespace JpegMarkers
