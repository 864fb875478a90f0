#pragma once

class Document;
class QDataStream;
class Theme;

// The whole collage file: the document record and everything inside it.
// Both operators put the stream into the collage encoding themselves (see
// CollageStreamSettings).
//
// Reading fills a freshly made document (normally one with an undo stack).
// The page size, the theme and the inserted images go through the
// document's undoable setters, as if built by hand; the caller clears the
// stack afterwards. Any damage leaves the stream with a status other than
// Ok, and the caller then discards the half-read document.
QDataStream &operator<<(QDataStream &stream, const Document &document);
QDataStream &operator>>(QDataStream &stream, Document &document);

// The record of a theme: the built-in kinds' own records, or whatever
// another kind writes through Theme::save and reads through Theme::load.
void saveThemeRecord(QDataStream &stream, const Theme &theme);
void loadThemeRecord(QDataStream &stream, Theme &theme);
