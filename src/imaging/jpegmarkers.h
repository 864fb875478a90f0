#pragma once

#include <QByteArray>

// Reading of the few JPEG markers the decoder needs, without decoding any
// pixels: the orientation tag of the Exif block, the embedded colour
// profile, and whether the scan data reaches its end marker (a truncated
// file does not).
namespace JpegMarkers {

// True when the data starts with a JPEG start-of-image marker.
bool isJpeg(const QByteArray &data);

// The Exif orientation (1 to 8) stored in the first Exif block; 1 when the
// block or the tag is absent or malformed.
int exifOrientation(const QByteArray &data);

// The ICC profile carried in the APP2 "ICC_PROFILE" chunks, joined in
// their sequence order; empty when there is none or when the chunks do not
// form one complete profile (a missing, repeated or miscounted chunk).
QByteArray iccProfile(const QByteArray &data);

// True when the marker structure is intact up to the end-of-image marker
// after the last scan. Data after the end marker (camera trailers) is fine.
bool hasCompleteScan(const QByteArray &data);

} // namespace JpegMarkers
