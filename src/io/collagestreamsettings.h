#pragma once

#include <QDataStream>

// Puts a stream into the encoding of collage files for as long as it lives
// and restores the caller's settings afterwards.
//
// The stream version is fixed rather than left at the library default: the
// default moves with each Qt release and decides how colours, fonts and
// variants are encoded, so a later library would silently write files an
// older build cannot read. At Qt_6_4, counts, strings and byte arrays of
// normal sizes are encoded as every later version encodes them.
class CollageStreamSettings
{
public:
    static constexpr QDataStream::Version Version = QDataStream::Qt_6_4;

    explicit CollageStreamSettings(QDataStream &stream)
        : m_stream(stream)
        , m_version(stream.version())
        , m_byteOrder(stream.byteOrder())
        , m_precision(stream.floatingPointPrecision())
    {
        apply(stream);
    }

    ~CollageStreamSettings()
    {
        m_stream.setVersion(m_version);
        m_stream.setByteOrder(m_byteOrder);
        m_stream.setFloatingPointPrecision(m_precision);
    }

    CollageStreamSettings(const CollageStreamSettings &) = delete;
    CollageStreamSettings &operator=(const CollageStreamSettings &) = delete;

    static void apply(QDataStream &stream)
    {
        stream.setVersion(Version);
        stream.setByteOrder(QDataStream::BigEndian);
        stream.setFloatingPointPrecision(QDataStream::DoublePrecision);
    }

private:
    QDataStream &m_stream;
    int m_version;
    QDataStream::ByteOrder m_byteOrder;
    QDataStream::FloatingPointPrecision m_precision;
};
