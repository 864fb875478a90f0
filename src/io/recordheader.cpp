#include "recordheader.h"

#include <QDataStream>

void writeRecordHeader(QDataStream &stream, RecordType type)
{
    stream << qint16(type.magic) << qint16(type.version);
}

std::optional<quint16> readRecordHeader(QDataStream &stream, RecordType type)
{
    if (stream.status() != QDataStream::Ok)
        return std::nullopt;
    quint16 magic = 0;
    quint16 version = 0;
    stream >> magic >> version;
    if (stream.status() != QDataStream::Ok)
        return std::nullopt;
    if (magic != type.magic || version > type.version) {
        stream.setStatus(QDataStream::ReadCorruptData);
        return std::nullopt;
    }
    return version;
}

bool writeRecordStart(QDataStream &stream, const void *object, RecordType type)
{
    if (!object)
        stream.setStatus(QDataStream::WriteFailed);
    if (stream.status() != QDataStream::Ok)
        return false;
    writeRecordHeader(stream, type);
    return true;
}

std::optional<quint16> readRecordStart(QDataStream &stream, const void *object, RecordType type)
{
    if (!object) {
        stream.setStatus(QDataStream::ReadCorruptData);
        return std::nullopt;
    }
    return readRecordHeader(stream, type);
}
