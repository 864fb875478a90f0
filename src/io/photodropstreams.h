#pragma once

class PhotoDropItemProperties;
class PhotoDropItemPropertiesList;
class PhotoDropTheme;
class QDataStream;

// Records of the Photo Drop theme. The theme record is read into a theme
// that already holds one photo per image of its document, so the images
// must have been read first.

// The theme's own record (what PhotoDropTheme::save and load do).
void savePhotoDropTheme(QDataStream &stream, const PhotoDropTheme &theme);
void loadPhotoDropTheme(QDataStream &stream, PhotoDropTheme &theme);

// The photos, topmost first. A count that differs from the theme's photos
// marks the stream corrupt: each photo belongs to one image.
QDataStream &operator<<(QDataStream &stream, const PhotoDropItemPropertiesList *list);
QDataStream &operator>>(QDataStream &stream, PhotoDropItemPropertiesList *list);

// A photo: its transform, the row of its image, filter and mask. A row that
// names no image of the document leaves the photo with the image it has.
QDataStream &operator<<(QDataStream &stream, const PhotoDropItemProperties *item);
QDataStream &operator>>(QDataStream &stream, PhotoDropItemProperties *item);
