#pragma once

#include <QList>
#include <QSharedPointer>

#include "themes/photogrid/photogriditemproperties.h"
#include "themes/theme.h"

class BackgroundProperties;
class FrameProperties;
class ImageSource;
class ItemsChanged;
class RotationRestriction;
class ShadowProperties;

using PhotoGridItemPropertiesSharedPointer = QSharedPointer<PhotoGridItemProperties>;

// The page covered by rectangular cells, one per image, separated by a
// uniform spacing. This class keeps the cells, the spacing and the
// operations that move images between cells; the reaction to images coming
// and going is the subclass's (MosaicTheme).
//
// The cells are kept in insertion order, so that every walk over them (the
// tie-breaks of the layout, the shuffle) runs the same way each time and a
// seeded run lays out the same way. Every change is undoable.
class PhotoGridTheme : public Theme
{
    Q_OBJECT
    // Half the gap between neighbouring photos, in page units.
    Q_PROPERTY(qreal border READ border WRITE setBorder NOTIFY borderChanged)
    Q_PROPERTY(qreal borderRelative READ borderRelative WRITE setBorderRelative NOTIFY
            borderRelativeChanged)
    Q_PROPERTY(qreal minimumItemSize READ minimumItemSize NOTIFY minimumItemSizeChanged)
    Q_PROPERTY(QObject *shadows READ shadowsObject CONSTANT)
    Q_PROPERTY(QObject *frames READ framesObject CONSTANT)
    Q_PROPERTY(QObject *background READ backgroundObject CONSTANT)
    Q_PROPERTY(QObject *rotationRestrictions READ rotationRestrictionsObject CONSTANT)

public:
    explicit PhotoGridTheme(Document *document);
    ~PhotoGridTheme() override;

    const QList<PhotoGridItemPropertiesSharedPointer> &items() const { return m_items; }
    bool containsItem(const PhotoGridItemProperties *item) const;
    // The theme's own cell at `address`, else null. Addresses that come from
    // outside (drag data) are used only through this look-up.
    PhotoGridItemPropertiesSharedPointer findItem(quintptr address) const;

    // borderRelative x minimumItemSize x 0.5.
    qreal border() const;
    qreal borderRelative() const { return m_borderRelative; }
    // The smallest extent any cut produced; the spacing scales with it.
    qreal minimumItemSize() const { return m_minimumItemSize; }

    ShadowProperties *shadows() const { return m_shadows; }
    FrameProperties *frames() const { return m_frames; }
    BackgroundProperties *background() const { return m_background; }
    RotationRestriction *rotationRestrictions() const { return m_rotationRestrictions; }

    SceneLayer *createSceneItem(QGraphicsItem *parent, QGraphicsScene *scene) override;
    void save(QDataStream &stream) const override;
    void load(QDataStream &stream) override;

    // Makes a cell for `image` (null rect, no turn, no crop) and adds it.
    PhotoGridItemPropertiesSharedPointer createItem(const QSharedPointer<ImageSource> &image);
    // Adds an existing cell (as the file reader does) at the end of the order.
    void insertItem(const PhotoGridItemPropertiesSharedPointer &item);
    void removeItem(const PhotoGridItemPropertiesSharedPointer &item);

    // Lowers the minimum item size to `size` when that is smaller.
    void updateMinimumItemSize(qreal size);
    // Raises the minimum item size to infinity, before a new partition.
    void resetMinimumItemSize();

    // Swaps the two cells' sources (image and crop together). False when
    // they hold the same source object or are not both cells of this theme.
    virtual bool exchangeImages(PhotoGridItemProperties *a, PhotoGridItemProperties *b);
    // Shows `image` (dropped from the image list) in `target`. When the
    // target's former image would vanish from the collage, a cell that
    // already shows the dropped image takes it over. False when the target
    // already shows the image or is not a cell of this theme.
    virtual bool placeImage(
        PhotoGridItemProperties *target, const QSharedPointer<ImageSource> &image);

public Q_SLOTS:
    void setBorder(qreal border);
    // Deals the cells' rectangles and turns out anew over the images.
    virtual void rearrange();
    void setBorderRelative(qreal borderRelative);

Q_SIGNALS:
    void borderChanged();
    void borderRelativeChanged(qreal borderRelative);
    void minimumItemSizeChanged(qreal minimumItemSize);
    void itemRemoved(PhotoGridItemPropertiesSharedPointer item);
    void itemInserted(PhotoGridItemPropertiesSharedPointer item);

protected:
    // Whether a recorded undo step is being undone or redone right now; its
    // own commands restore the cells then.
    bool replayingRecordedStep() const;

private:
    friend class ItemsChanged;

    QObject *shadowsObject() const;
    QObject *framesObject() const;
    QObject *backgroundObject() const;
    QObject *rotationRestrictionsObject() const;

    // The raw list edits behind ItemsChanged; both announce the change.
    // attachItem inserts at `position` (appends when out of range) and
    // returns where the cell went; detachItem returns where it was, or -1.
    int attachItem(const PhotoGridItemPropertiesSharedPointer &item, int position);
    int detachItem(const PhotoGridItemPropertiesSharedPointer &item);

    void setMinimumItemSize(qreal size);
    void assignBorderRelative(const qreal &borderRelative);

    QList<PhotoGridItemPropertiesSharedPointer> m_items;
    qreal m_borderRelative = 0;
    ShadowProperties *m_shadows;
    FrameProperties *m_frames;
    BackgroundProperties *m_background;
    qreal m_minimumItemSize = 0;
    RotationRestriction *m_rotationRestrictions;
};
