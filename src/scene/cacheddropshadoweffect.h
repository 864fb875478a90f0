#pragma once

#include <QColor>
#include <QGraphicsDropShadowEffect>
#include <QImage>
#include <QPixmap>
#include <QPointF>
#include <QSize>

class QGraphicsItem;

// A drop shadow that looks exactly like QGraphicsDropShadowEffect but keeps
// its blurred shadow between repaints. Blurring is the costly part of a
// shadow; while only the item's position changes the shadow is the same
// image at another place, so it is blurred again only when the outline of
// the item, the blur radius, the colour, the offset or the device pixel
// ratio change.
//
// Output renderings (the scene's DirectRender flag) draw once and keep
// nothing: the source goes into a buffer of the effect's own and the shadow
// is blurred at a reduced resolution, which a soft shadow does not show but
// a page of many megapixels feels.
class CachedDropShadowEffect : public QGraphicsDropShadowEffect
{
    Q_OBJECT

public:
    // `item` is the item the effect is given to; it tells whether the
    // scene renders for output.
    explicit CachedDropShadowEffect(QGraphicsItem *item = nullptr, QObject *parent = nullptr);

    // How often the shadow was blurred; for tests and measurements.
    int blurCount() const { return m_blurCount; }

protected:
    void draw(QPainter *painter) override;

private:
    bool cacheMatches(const QPixmap &source, qreal deviceScale) const;
    void renderShadow(const QPixmap &source, qreal deviceScale);
    bool rendersForOutput() const;
    void drawForOutput(QPainter *painter);
    // The same for a page drawn in bands (Scene::bandOutput()): the item
    // and its shadow are made once, from the whole item, when the first
    // band reaches it; what lies below that band is kept for the next.
    void drawForBandOutput(QPainter *painter, const QRect &output);
    // Items too large to keep: the shadow made once, the item drawn anew
    // into every band it crosses.
    void drawLargeForBandOutput(QPainter *painter, const QRect &output);
    void drawBandShadow(QPainter *painter, const QRect &output);
    // The item's reach in the device, within the output.
    QRect outputRect(const QRect &output) const;
    // Whether the drawn item is small enough to be kept for later bands;
    // larger ones are drawn anew into every band they cross.
    bool keepsBandContent(const QRect &output) const;
    // The tinted, blurred shadow of `content`, made at 1 / `*reduction` of
    // its size; `*reduction` tells the size the result stands for.
    QImage reducedShadow(const QImage &content, int *reduction) const;
    // The source drawn into a buffer of its own that covers `rect` of the
    // painter's device; null when no such buffer can be had.
    QImage sourceImage(QPainter *painter, const QRect &rect);
    // The item drawn into a buffer over `rect` and its reduced shadow, as
    // reducedShadow() makes it. False when `rect` is empty, or when no
    // buffer can be had: then the item is drawn without its shadow.
    bool makeContentAndShadow(
        QPainter *painter, const QRect &rect, QImage *content, QImage *shadow, int *factor);
    // The same from an item already drawn at 1 / `*reduction` of its size.
    QImage shadowFromReduced(QImage alpha, int *reduction) const;

    QGraphicsItem *m_item = nullptr;

    // What the cached shadow was made from. Only the source's key and
    // alpha channel are kept, so that the view's own pixmap cache stays in
    // charge of the source pixmaps.
    qint64 m_sourceKey = 0;
    QSize m_sourceSize;
    QImage m_sourceAlpha;
    QPointF m_offset;
    qreal m_blurRadius = -1;
    QColor m_color;
    qreal m_devicePixelRatio = 0;
    qreal m_deviceScale = 0;

    QImage m_shadow;
    int m_blurCount = 0;

    // Kept between the bands of one output, placed in output coordinates:
    // the reduced shadow and the part of the item not drawn yet.
    static constexpr qint64 MaximumKeptBandBytes = qint64(32) << 20;
    QImage m_bandShadow;
    QRectF m_bandShadowRect;
    QImage m_bandContent;
    QPoint m_bandContentPosition;
    bool m_bandNoted = false;
    bool m_bandMade = false;
};
