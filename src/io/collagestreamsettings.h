#pragma once

#include <QDataStream>

// Puts a stream into the encoding of collage files for as long as it lives
// and restores the caller's settings afterwards.
//
// Collage files are data streams of Qt 6.7's version (22, QDataStream::Qt_6_7
// in the releases that name it), so that this program and programs of the
// format built on Qt 6.7 and later exchange documents. The version is fixed
// rather than left at the library default: the default moves with each
// release and decides how colours, fonts and variants are encoded.
//
// Qt 6.4, which this program builds on, names no version above 20 and
// encodes every type at 22 as at 20. Those encodings are the ones Qt 6.7
// writes for every type the format uses but one (and but the 64-bit sizes
// of containers of four billion elements and more, which no collage holds):
// Qt 6.7 follows a font's fields with its OpenType features and variation
// axes. Fonts are therefore
// read and written by StreamReading::readFont and writeFont, never by the
// library's font operators.
class CollageStreamSettings
{
public:
    static constexpr QDataStream::Version Version = QDataStream::Version(22);

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

    Q_DISABLE_COPY(CollageStreamSettings)

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
