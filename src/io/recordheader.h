#pragma once

#include <QtGlobal>

#include <optional>

class QDataStream;

// Every record of a collage file starts with a 16-bit magic that names its
// kind and a 16-bit version of its layout. A reader takes every version up
// to the one this build writes and converts the older layouts.
struct RecordType
{
    quint16 magic;
    quint16 version; // the version written, and the newest one read
};

namespace RecordTypes {
inline constexpr RecordType Document { 0xD306, 3 };
inline constexpr RecordType PageSize { 0xD302, 1 };
inline constexpr RecordType ImageList { 0xD307, 2 };
inline constexpr RecordType ImageSource { 0xE300, 1 };
inline constexpr RecordType PhotoDropTheme { 0xD304, 2 };
inline constexpr RecordType PhotoDropItemList { 0xD303, 1 };
inline constexpr RecordType PhotoDropItem { 0xD311, 2 };
inline constexpr RecordType ItemTransform { 0xD312, 2 };
inline constexpr RecordType PhotoGridTheme { 0xD324, 3 };
inline constexpr RecordType PhotoGridItem { 0xD325, 3 };
inline constexpr RecordType TransformedImageSource { 0xD326, 1 };
inline constexpr RecordType Shadow { 0xD305, 1 };
inline constexpr RecordType Frame { 0xD301, 1 };
inline constexpr RecordType Background { 0xD300, 3 };
inline constexpr RecordType RotationRestriction { 0xD203, 1 };
inline constexpr RecordType TextOverlay { 0xD330, 1 };
inline constexpr RecordType Sticker { 0xD340, 1 };
} // namespace RecordTypes

void writeRecordHeader(QDataStream &stream, RecordType type);

// Reads a header and returns its version. A foreign magic or a version newer
// than this build knows marks the stream corrupt; then, as after any earlier
// error of the stream, the result is empty and the caller reads no further.
std::optional<quint16> readRecordHeader(QDataStream &stream, RecordType type);

// The start of writing an object's record. A missing object fails the
// stream, and a failed stream gets no header; true when the fields follow.
bool writeRecordStart(QDataStream &stream, const void *object, RecordType type);

// The start of reading into an object: a missing object marks the stream
// corrupt, otherwise the header is read as by readRecordHeader().
std::optional<quint16> readRecordStart(QDataStream &stream, const void *object, RecordType type);
