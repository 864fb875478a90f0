#pragma once

#include <QList>

#include "themes/photogrid/photogridtheme.h"

// Rows: a photo grid that shows every photo nearly whole. The photos, in
// the order of the image list, are cut into lines of equal height that
// span the page (RowsLayout), so the cells follow the photos' proportions.
// Whatever changes the photos, their order or turns, the spacing or the
// frames lays the page out again inside the same undo step. Dragging a
// cell onto another swaps the two photos' places in the order; dropping a
// photo of the list on a cell puts it in that place.
class RowsTheme : public PhotoGridTheme
{
    Q_OBJECT

public:
    explicit RowsTheme(Document *document);
    ~RowsTheme() override;

    QList<QWidget *> createPropertyWidgets(QWidget *parent) override;
    // The cells are read as saved; the settings read with them do not lay
    // the page out again on the way.
    void load(QDataStream &stream) override;

    void imagesInserted(int first, int count) override;
    void imagesRemoved(int first, int count) override;
    void imagesMoved(int sourceStart, int sourceEnd, int destinationRow) override;

    bool exchangeImages(PhotoGridItemProperties *a, PhotoGridItemProperties *b) override;
    bool placeImage(
        PhotoGridItemProperties *target, const QSharedPointer<ImageSource> &image) override;

    // The cells in page order: the order of their images in the list.
    QList<PhotoGridItemPropertiesSharedPointer> orderedItems() const;

public Q_SLOTS:
    // Tries other orders of the photos and keeps the one that fits the page
    // best (an equal fit counts, so photos of the same shape trade places),
    // as the new order of the image list. One undo step, "Rearrange".
    void rearrange() override;
    // Lays the cells out for the current photos, spacing and frames.
    void relayout();

private Q_SLOTS:
    void _imageDataChanged();

private:
    qreal frameSize() const;
    QList<qreal> aspectsOf(const QList<PhotoGridItemPropertiesSharedPointer> &items) const;
    int rowOf(const PhotoGridItemProperties *item) const;
    // Puts the images of the list in `order` (a permutation of the rows).
    void reorderImages(const QList<QSharedPointer<ImageSource>> &order);

    // While set, list moves do not re-lay the page (a reordering made of
    // several moves lays it out once at the end).
    bool m_holdLayout = false;
    // The spacing-free layout's smallest cell, the unit of the spacing; kept
    // for the proportions it was computed from.
    QList<qreal> m_unitAspects;
    QSizeF m_unitPage;
    qreal m_unitFrame = -1;
    qreal m_unit = 0;

    // What the page was last laid out from, and the cells it gave.
    struct LaidOut
    {
        QList<const PhotoGridItemProperties *> items;
        QList<qreal> aspects;
        QSizeF page;
        qreal border = -1;
        qreal frame = -1;
        QList<QRectF> rects;

        bool operator==(const LaidOut &o) const
        {
            return items == o.items && aspects == o.aspects && page == o.page && border == o.border
                && frame == o.frame && rects == o.rects;
        }
    };
    LaidOut m_laidOut;
};
