#pragma once

#include <QSharedPointer>

class BackgroundProperties;
class Document;
class FrameProperties;
class ImageList;
class ImageSource;
class ItemTransform;
class PageSize;
class QDataStream;
class RotationRestriction;
class ShadowProperties;
class TransformedImageSource;

// Records of the document model's objects in a collage file. Readers fill
// existing objects. A reader that meets a damaged record marks the stream
// (QDataStream::ReadCorruptData, or ReadPastEnd for a short file) and
// leaves the object as it was; a caller that sees the stream fail stops
// reading and discards the document.

QDataStream &operator<<(QDataStream &stream, const PageSize &pageSize);
QDataStream &operator>>(QDataStream &stream, PageSize &pageSize);

// Replaces the list's rows by the addresses of the record, in one step
// "Inserting %n images" on the document's undo stack, and turns them as
// stored. The image files are not read.
QDataStream &operator<<(QDataStream &stream, const ImageList *list);
QDataStream &operator>>(QDataStream &stream, ImageList *list);

QDataStream &operator<<(QDataStream &stream, const ImageSource *source);
QDataStream &operator>>(QDataStream &stream, ImageSource *source);

// The image is stored as its row in the source's document's image list.
QDataStream &operator<<(QDataStream &stream, const TransformedImageSource *source);
QDataStream &operator>>(QDataStream &stream, TransformedImageSource *source);

// Old absolute angles are converted through the transform's restriction.
QDataStream &operator<<(QDataStream &stream, const ItemTransform *transform);
QDataStream &operator>>(QDataStream &stream, ItemTransform *transform);

QDataStream &operator<<(QDataStream &stream, const RotationRestriction *restriction);
QDataStream &operator>>(QDataStream &stream, RotationRestriction *restriction);

// The shadow angle is no part of the record.
QDataStream &operator<<(QDataStream &stream, const ShadowProperties *shadow);
QDataStream &operator>>(QDataStream &stream, ShadowProperties *shadow);

QDataStream &operator<<(QDataStream &stream, const FrameProperties *frame);
QDataStream &operator>>(QDataStream &stream, FrameProperties *frame);

QDataStream &operator<<(QDataStream &stream, const BackgroundProperties *background);
QDataStream &operator>>(QDataStream &stream, BackgroundProperties *background);

// Files name images by their row in the document's image list; -1 stands
// for an image that is not in it.
int imageRow(const Document *document, const QSharedPointer<ImageSource> &image);
// The image of `row`, or null when the row names none.
QSharedPointer<ImageSource> imageAtRow(const Document *document, int row);

// Brings a relative rotation into [-1, 1] by adding or subtracting 2 as
// often as needed.
double wrappedRelativeRotation(double relative);
// Degrees, wrapped into [-180, 180], as a relative rotation of a
// restriction. Where the division has no finite result (no variation to
// divide by) every relative value names the same angle, and 0 is taken.
double relativeFromDegrees(double degrees, double zero, double variation);
