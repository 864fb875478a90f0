#pragma once

class PhotoGridItemProperties;
class PhotoGridTheme;
class QDataStream;

// Records of the grid themes (the Mosaic). The theme record replaces the
// theme's cells by the cells it holds; cells name their images by row, so
// the images must have been read first.

// The theme's own record (what PhotoGridTheme::save and load do).
void savePhotoGridTheme(QDataStream &stream, const PhotoGridTheme &theme);
void loadPhotoGridTheme(QDataStream &stream, PhotoGridTheme &theme);

// A cell: turn, rectangle, image with crop, filter and mask. A row that names
// no image of the document leaves the cell without a picture. Old absolute
// turns are converted through the cell's restriction.
QDataStream &operator<<(QDataStream &stream, const PhotoGridItemProperties *item);
QDataStream &operator>>(QDataStream &stream, PhotoGridItemProperties *item);
