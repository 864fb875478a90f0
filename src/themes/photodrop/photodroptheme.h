#pragma once

#include <QHash>
#include <QItemSelection>
#include <QPainterPath>
#include <QSharedPointer>

#include <vector>

#include "themes/photodrop/photodroparrangement.h"
#include "themes/theme.h"

class BackgroundProperties;
class FrameProperties;
class ImageSource;
class PhotoDropItemProperties;
class PhotoDropItemPropertiesList;
class RotationRestriction;
class ShadowProperties;

// The photos as a pile of prints dropped on the page. Each photo has its own
// place, size and turn; the stacking order is the order of the image list.
// New photos are thrown at random; randomize() throws all of them anew and
// rearrange() relaxes the pile until the photos use the page evenly without
// heavy overlap. Each of these is one undo step.
class PhotoDropTheme : public Theme
{
    Q_OBJECT
    Q_PROPERTY(QObject *shadows READ shadows CONSTANT)
    Q_PROPERTY(QObject *frames READ frames CONSTANT)
    Q_PROPERTY(QObject *background READ background CONSTANT)
    Q_PROPERTY(QObject *rotationRestrictions READ rotationRestrictions CONSTANT)

public:
    // The number of passes of an arrangement run, less one.
    static constexpr int ArrangePasses = 500;

    explicit PhotoDropTheme(Document *document);
    ~PhotoDropTheme() override;

    PhotoDropItemPropertiesList *items() const { return m_items; }
    ShadowProperties *shadows() const { return m_shadows; }
    FrameProperties *frames() const { return m_frames; }
    BackgroundProperties *background() const { return m_background; }
    RotationRestriction *rotationRestrictions() const { return m_rotationRestrictions; }

    // The number of photos kept for images that may come back.
    int recycledCount() const { return int(m_recycledItems.size()); }

    SceneLayer *createSceneItem(QGraphicsItem *parent, QGraphicsScene *scene) override;
    QList<QWidget *> createPropertyWidgets(QWidget *parent) override;
    void save(QDataStream &stream) const override;
    void load(QDataStream &stream) override;

    void imageInserted(int row, const QSharedPointer<ImageSource> &image) override;
    void removeAllImages() override;
    void imagesRemoved(int first, int count) override;
    void imagesMoved(int sourceStart, int sourceEnd, int destinationRow) override;

    // The photo's local rectangle: its unit size centred on the origin.
    static QRectF unitRect(const PhotoDropItemProperties *item);
    // The outline of the photo on the page.
    static QPainterPath outline(const PhotoDropItemProperties *item);

public Q_SLOTS:
    void rearrange();
    void randomize();
    void bringToFront(const QItemSelection &sel);
    void bringForward(const QItemSelection &sel);
    void sendBackward(const QItemSelection &sel);
    void sendToBack(const QItemSelection &sel);

protected Q_SLOTS:
    void sourceDestroyed(QObject *object);

private:
    enum class StackDirection { Raise, Lower };
    enum class StackReach { Nearest, Farthest };

    void placeAtRandom(PhotoDropItemProperties *item);
    // Runs the relaxation from the current placement and applies it.
    void arrange();
    void applyArrangement(const PhotoDropArrangement &arrangement);
    void restack(const QItemSelection &selection, StackDirection direction, StackReach reach,
        const QString &macroText);
    int stackTarget(int row, StackDirection direction, StackReach reach,
        const QList<PhotoDropItemProperties *> &selected) const;

    PhotoDropItemPropertiesList *m_items;
    // Keyed by the image's QObject address, which is all that is left of
    // it when its destroyed() signal arrives.
    QHash<const QObject *, QSharedPointer<PhotoDropItemProperties>> m_recycledItems;
    ShadowProperties *m_shadows;
    FrameProperties *m_frames;
    BackgroundProperties *m_background;
    RotationRestriction *m_rotationRestrictions;
};
