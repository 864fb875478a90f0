#include "photogridtheme.h"

#include <QtMath>

#include <limits>

#include "io/photogridstreams.h"
#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagesource.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "model/transformedimagesource.h"
#include "themes/photogrid/itemschanged.h"
#include "themes/photogrid/photogridsceneitem.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"
#include "undo/undomacroscope.h"
#include "undo/undostack.h"

PhotoGridTheme::PhotoGridTheme(Document *document)
    : Theme(document)
    , m_shadows(new ShadowProperties(document, this))
    , m_frames(new FrameProperties(document, this))
    , m_background(new BackgroundProperties(document, this))
    , m_rotationRestrictions(new RotationRestriction(document, this))
{
    qRegisterMetaType<PhotoGridItemPropertiesSharedPointer>();
    if (document) {
        const QSizeF page = document->pageSize().size();
        m_minimumItemSize = qMin(page.width(), page.height());
    }
    connect(this, &PhotoGridTheme::borderRelativeChanged, this, &PhotoGridTheme::borderChanged);
    connect(this, &PhotoGridTheme::minimumItemSizeChanged, this, &PhotoGridTheme::borderChanged);
}

PhotoGridTheme::~PhotoGridTheme() = default;

bool PhotoGridTheme::containsItem(const PhotoGridItemProperties *item) const
{
    if (!item)
        return false;
    for (const auto &own : m_items) {
        if (own.data() == item)
            return true;
    }
    return false;
}

PhotoGridItemPropertiesSharedPointer PhotoGridTheme::findItem(quintptr address) const
{
    for (const auto &own : m_items) {
        if (reinterpret_cast<quintptr>(own.data()) == address)
            return own;
    }
    return {};
}

qreal PhotoGridTheme::border() const
{
    // Between a reset of the minimum size and the first cut it is infinite;
    // there is no spacing to speak of then.
    if (!qIsFinite(m_minimumItemSize))
        return 0;
    return m_borderRelative * m_minimumItemSize * 0.5;
}

QObject *PhotoGridTheme::shadowsObject() const
{
    return m_shadows;
}

QObject *PhotoGridTheme::framesObject() const
{
    return m_frames;
}

QObject *PhotoGridTheme::backgroundObject() const
{
    return m_background;
}

QObject *PhotoGridTheme::rotationRestrictionsObject() const
{
    return m_rotationRestrictions;
}

SceneLayer *PhotoGridTheme::createSceneItem(QGraphicsItem *parent, QGraphicsScene *scene)
{
    return new PhotoGridSceneItem(this, parent, scene);
}

void PhotoGridTheme::save(QDataStream &stream) const
{
    savePhotoGridTheme(stream, *this);
}

void PhotoGridTheme::load(QDataStream &stream)
{
    loadPhotoGridTheme(stream, *this);
}

// ---------------------------------------------------------------------------
// Cells

bool PhotoGridTheme::replayingRecordedStep() const
{
    UndoStack *stack = undoStack();
    return stack && stack->isReplayingRecordedStep();
}

PhotoGridItemPropertiesSharedPointer PhotoGridTheme::createItem(
    const QSharedPointer<ImageSource> &image)
{
    const auto item
        = PhotoGridItemPropertiesSharedPointer::create(document(), m_rotationRestrictions, image);
    insertItem(item);
    return item;
}

void PhotoGridTheme::insertItem(const PhotoGridItemPropertiesSharedPointer &item)
{
    if (!item || containsItem(item.data()))
        return;
    if (UndoStack *stack = undoStack())
        stack->push(new ItemsChanged(this, item, true));
    else
        attachItem(item, -1);
}

void PhotoGridTheme::removeItem(const PhotoGridItemPropertiesSharedPointer &item)
{
    if (!item || !containsItem(item.data()))
        return;
    if (UndoStack *stack = undoStack())
        stack->push(new ItemsChanged(this, item, false));
    else
        detachItem(item);
}

int PhotoGridTheme::attachItem(const PhotoGridItemPropertiesSharedPointer &item, int position)
{
    const int present = int(m_items.indexOf(item));
    if (present >= 0)
        return present;
    if (position < 0 || position > m_items.size())
        position = int(m_items.size());
    m_items.insert(position, item);
    Q_EMIT itemInserted(item);
    return position;
}

int PhotoGridTheme::detachItem(const PhotoGridItemPropertiesSharedPointer &item)
{
    const int position = int(m_items.indexOf(item));
    if (position < 0)
        return -1;
    m_items.removeAt(position);
    Q_EMIT itemRemoved(item);
    return position;
}

// ---------------------------------------------------------------------------
// Spacing

void PhotoGridTheme::setBorder(qreal border)
{
    const qreal unit = m_minimumItemSize * 0.5;
    // Without a finite, positive cell size there is nothing to relate the
    // spacing to.
    if (qIsNaN(border) || !qIsFinite(unit) || unit <= 0)
        return;
    setBorderRelative(border / unit);
}

void PhotoGridTheme::setBorderRelative(qreal borderRelative)
{
    if (qIsNaN(borderRelative))
        return;
    setUndoable<&PhotoGridTheme::assignBorderRelative, &PhotoGridTheme::borderRelative>(
        this, tr("Changing spacing"), borderRelative, CommandId::GridSpacing);
}

void PhotoGridTheme::assignBorderRelative(const qreal &borderRelative)
{
    if (qIsNaN(borderRelative))
        return;
    qreal value = qMin(borderRelative, 1.0);
    value = qMax(value, 0.0);
    if (value == m_borderRelative)
        return;
    m_borderRelative = value;
    Q_EMIT borderRelativeChanged(m_borderRelative);
}

void PhotoGridTheme::updateMinimumItemSize(qreal size)
{
    if (qIsNaN(size))
        return;
    setMinimumItemSize(qMin(m_minimumItemSize, size));
}

void PhotoGridTheme::resetMinimumItemSize()
{
    setMinimumItemSize(std::numeric_limits<qreal>::infinity());
}

void PhotoGridTheme::setMinimumItemSize(qreal size)
{
    // A command that would change nothing would only add an empty step.
    if (size == m_minimumItemSize)
        return;
    setUndoableMember<&PhotoGridTheme::m_minimumItemSize, &PhotoGridTheme::minimumItemSizeChanged>(
        this, tr("Changing minimum image size"), size, CommandId::NoMerge);
}

// ---------------------------------------------------------------------------
// Moving images between cells

//  The shuffle deals the (rectangle, turn) pairs out to the images:
//
//      cells in order    A  B  C  D         slots  0  1  2  3
//      draw for A: 2 of 4 free  -> slot 2   [ ][ ][A][ ]
//      draw for B: 0 of 3 free  -> slot 0   [B][ ][A][ ]
//      draw for C: 1 of 2 free  -> slot 3   [B][ ][A][C]
//      D takes the last free    -> slot 1   [B][D][A][C]
//
//  then cell i takes what was dealt to slot i. Images keep their crops,
//  filters and masks.
void PhotoGridTheme::rearrange()
{
    if (m_items.isEmpty())
        return;
    UndoMacroScope macro(undoStack(), tr("Rearrange"));
    const int count = int(m_items.size());
    if (count < 2)
        return;
    QList<QRectF> rects(count);
    QList<qreal> angles(count);
    QList<bool> used(count, false);
    for (int k = 0; k < count; ++k) {
        int free = int(RandomGenerator::index(quint64(count - k)));
        int slot = 0;
        for (;; ++slot) {
            if (used.at(slot))
                continue;
            if (free == 0)
                break;
            --free;
        }
        rects[slot] = m_items.at(k)->rect();
        // The turn travels as the relative value, so that it arrives exactly
        // as it left (degrees would pass through the restriction twice).
        angles[slot] = m_items.at(k)->angleRelative();
        used[slot] = true;
    }
    // A copy: the setters must not see the list change under them.
    const QList<PhotoGridItemPropertiesSharedPointer> items = m_items;
    for (int i = 0; i < count; ++i) {
        items.at(i)->setRect(rects.at(i));
        items.at(i)->setAngleRelative(angles.at(i));
    }
}

bool PhotoGridTheme::exchangeImages(PhotoGridItemProperties *a, PhotoGridItemProperties *b)
{
    if (!containsItem(a) || !containsItem(b))
        return false;
    const QSharedPointer<TransformedImageSource> sourceA = a->source();
    const QSharedPointer<TransformedImageSource> sourceB = b->source();
    if (sourceA == sourceB)
        return false;
    UndoMacroScope macro(undoStack(), tr("Exchanging images"));
    a->setSource(sourceB);
    b->setSource(sourceA);
    return true;
}

bool PhotoGridTheme::placeImage(
    PhotoGridItemProperties *target, const QSharedPointer<ImageSource> &image)
{
    if (!image || !containsItem(target) || target->image() == image)
        return false;
    UndoMacroScope macro(undoStack(), tr("Placing image"));
    const QSharedPointer<ImageSource> former = target->image();
    const QTransform formerCrop = target->source()->transform();

    bool formerShownElsewhere = false;
    QTransform crop;
    QList<PhotoGridItemProperties *> showingImage;
    for (const auto &item : std::as_const(m_items)) {
        const QSharedPointer<ImageSource> shown = item->image();
        if (item.data() != target && shown == former)
            formerShownElsewhere = true;
        if (shown == image) {
            crop = item->source()->transform();
            showingImage.append(item.data());
        }
    }

    // The former image would vanish from the collage: a cell that shows the
    // dropped image already takes it over, with the target's crop.
    // A target without an image has nothing to hand over.
    if (former && !formerShownElsewhere && !showingImage.isEmpty()) {
        PhotoGridItemProperties *heir
            = showingImage.at(int(RandomGenerator::index(quint64(showingImage.size()))));
        heir->source()->setSource(former);
        heir->source()->setTransform(formerCrop);
    }
    target->source()->setSource(image);
    target->source()->setTransform(crop);
    return true;
}
