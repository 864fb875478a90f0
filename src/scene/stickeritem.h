#pragma once

#include <QPixmap>
#include <QPointer>
#include <QRectF>
#include <QString>

#include <memory>

#include "scene/overlayitem.h"

class QSvgRenderer;
class StickerProperties;

// Shows one sticker on the page, above the photos: an SVG drawn as vectors
// or another picture file. The longer side is 15% of the shorter page side
// at scale 1. The centre moves the sticker and the border band turns and
// scales it; every change goes to the properties as an undoable edit.
class StickerItem : public OverlayItem
{
    Q_OBJECT

public:
    // The item is normally a child of the page, whose bounding rectangle
    // gives the page size the position and the sticker size refer to.
    explicit StickerItem(StickerProperties *properties, QGraphicsItem *parent = nullptr);
    ~StickerItem() override;

    // Share of the shorter page side that the longer sticker side takes.
    static constexpr qreal PageFraction = 0.15;

    StickerProperties *properties() const;
    // The sticker's box in item coordinates, centred on the origin.
    QRectF stickerRect() const { return overlayRect(); }
    // The loaded picture: a valid SVG renderer, or else a non-null pixmap,
    // or neither when the file is missing or unreadable.
    QSvgRenderer *renderer() const { return m_renderer.get(); }
    QPixmap pixmap() const { return m_pixmap; }

    void paint(QPainter *painter, const QStyleOptionGraphicsItem *option, QWidget *widget) override;

public Q_SLOTS:
    void onPropertyChanged() override;

protected:
private:
    void load(const QString &path);
    void layOut();

    QPointer<StickerProperties> m_properties;
    std::unique_ptr<QSvgRenderer> m_renderer;
    QPixmap m_pixmap;
    // The path the picture was loaded from, so that moving or turning the
    // sticker does not read its file again.
    QString m_loadedPath;
    bool m_loaded = false;
};
