#pragma once

#include <QRectF>

#include "imaging/decodequeue.h"

class Document;
class QObject;
class QPainter;
class Scene;

// Makes scenes for documents: the interactive scene of an editing window,
// and a temporary one for drawing a page into an image or onto a printer.
class DocumentRenderer
{
public:
    static Scene *createScene(Document *document, QObject *parent = nullptr);
    // Readies a scene of its own for drawing output: the page laid out at
    // scale 1 without shadow, photos from their files, texts and stickers
    // on top.
    static void prepareOutputScene(Scene *scene, Document *document);

    // Draws the source part of the page (fractions of the page; null for
    // the whole page) into the target rectangle, keeping the page's aspect.
    // The page carries no shadow and photos come from their files at the
    // exact output scale. `progress` hears of every photo drawn and may
    // cancel; the result is false when it did.
    static bool render(Document *document, QPainter *painter, const QRectF &target,
        const QRectF &source = QRectF(), const DecodeQueue::Progress &progress = {});
};
