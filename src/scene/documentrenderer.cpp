#include "documentrenderer.h"

#include <QPainter>

#include "imaging/drawflags.h"
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

void DocumentRenderer::render(
    Document *document, QPainter *painter, const QRectF &target, const QRectF &source)
{
    if (!document || !painter)
        return;
    Scene scene(document);
    scene.setRenderFlag(DirectRender, true);
    // Without a view the scene would take its rectangle from its items,
    // which the page in turn fits into. A fixed rectangle with exactly the
    // shadow margins around the page lays the page out at scale 1; the
    // rendering then scales it to the target.
    const qreal margin = 2 * DocumentItem::ShadowMargin + 4;
    const QSizeF size = document->pageSize().size();
    scene.setSceneRect(QRectF(0, 0, size.width() + margin, size.height() + margin));
    // Texts and stickers belong in the output as they show in the editor:
    // above the theme's layer, texts first.
    if (QGraphicsItem *page = scene.documentItem()->innerItem()) {
        for (TextOverlayProperties *overlay : document->textOverlays())
            new TextOverlayItem(overlay, page);
        for (StickerProperties *sticker : document->stickers())
            new StickerItem(sticker, page);
    }
    scene.render(painter, target, source);
}
