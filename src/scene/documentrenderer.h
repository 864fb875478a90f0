#pragma once

#include <QRectF>

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

    // Draws the source part of the page (fractions of the page; null for
    // the whole page) into the target rectangle, keeping the page's aspect.
    // The page carries no shadow and photos come from their files at the
    // exact output scale.
    static void render(Document *document, QPainter *painter, const QRectF &target,
        const QRectF &source = QRectF());
};
