#pragma once

class QDataStream;
class StickerProperties;
class TextOverlayProperties;

// Records of the text blocks and stickers on a page. Readers read every
// field first and then assign them plainly, without undo commands; each
// field whose value changes announces itself.

QDataStream &operator<<(QDataStream &stream, const TextOverlayProperties *overlay);
QDataStream &operator>>(QDataStream &stream, TextOverlayProperties *overlay);

QDataStream &operator<<(QDataStream &stream, const StickerProperties *sticker);
QDataStream &operator>>(QDataStream &stream, StickerProperties *sticker);
