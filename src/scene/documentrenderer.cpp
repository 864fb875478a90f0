#include "documentrenderer.h"

#include <QPainter>
#include <QScopeGuard>

#include "imaging/decodequeue.h"
#include "imaging/drawflags.h"
#include "imaging/imagecache.h"
#include "model/document.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "scene/documentinneritem.h"
#include "scene/documentitem.h"
#include "scene/scene.h"
#include "scene/stickeritem.h"
#include "scene/textoverlayitem.h"

Scene *DocumentRenderer::createScene(Document *document, QObject *parent)
{
    return new Scene(document, parent);
}

void DocumentRenderer::prepareOutputScene(Scene *scene, Document *document)
{
    scene->setRenderFlag(DirectRender, true);
    // Without a view the scene would take its rectangle from its items,
    // which the page in turn fits into. A fixed rectangle with exactly the
    // shadow margins around the page lays the page out at scale 1; the
    // rendering then scales it to the target.
    const qreal margin = 2 * DocumentItem::ShadowMargin + 4;
    const QSizeF size = document->pageSize().size();
    scene->setSceneRect(QRectF(0, 0, size.width() + margin, size.height() + margin));
    // Texts and stickers belong in the output as they show in the editor:
    // above the theme's layer, texts first.
    if (QGraphicsItem *page = scene->documentItem()->innerItem()) {
        for (TextOverlayProperties *overlay : document->textOverlays())
            new TextOverlayItem(overlay, page);
        for (StickerProperties *sticker : document->stickers())
            new StickerItem(sticker, page);
    }
}

bool DocumentRenderer::render(Document *document, QPainter *painter, const QRectF &target,
    const QRectF &source, const DecodeQueue::Progress &progress)
{
    if (!document || !painter)
        return true;
    Scene scene(document);
    prepareOutputScene(&scene, document);

    // A first pass with the same transform notes which photos are drawn at
    // which scale; they are then decoded on the thread pool while the real
    // pass draws, each waited for only when it is reached.
    DecodeQueue queue;
    ImageCache *cache = ImageCache::instance();
    // The queue serves this render only. A render started from within it
    // (a preview drawn while the progress hook lets the interface run)
    // hands this queue back when it is done.
    DecodeQueue *outer = cache->decodeQueue();
    cache->setDecodeQueue(&queue);
    const auto restore = qScopeGuard([cache, outer] { cache->setDecodeQueue(outer); });
    {
        scene.setRenderFlag(CollectImages, true);
        QImage scratch(1, 1, QImage::Format_ARGB32_Premultiplied);
        QPainter notePainter(&scratch);
        notePainter.setRenderHints(painter->renderHints());
        notePainter.setWorldTransform(painter->deviceTransform());
        scene.render(&notePainter, target, source);
        scene.setRenderFlag(CollectImages, false);
    }
    queue.setProgress(progress);
    queue.start();
    // Photos come decoded near the output scale and are resampled while
    // drawn; without filtering they would alias.
    painter->save();
    painter->setRenderHint(QPainter::SmoothPixmapTransform);
    scene.render(painter, target, source);
    painter->restore();
    return !queue.isCancelled();
}
