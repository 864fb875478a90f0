#pragma once

#include <QRectF>
#include <QSharedPointer>

#include "model/photolookproperties.h"

class ImageSource;
class RotationRestriction;
class TransformedImageSource;

// One cell of a photo grid: its rectangle on the page, its turn, the image
// it shows with that image's crop, and (from the base) the colour filter
// and mask it is drawn with. The turn is kept relative to the theme's rotation
// restriction, so changing the restriction turns every cell. Held only by
// shared pointers; every setter is undoable when the document has an undo
// stack.
class PhotoGridItemProperties : public PhotoLookProperties
{
    Q_OBJECT
    Q_PROPERTY(
        qreal angleRelative READ angleRelative WRITE setAngleRelative NOTIFY angleRelativeChanged)

public:
    // The source is made for `image` with no crop.
    PhotoGridItemProperties(Document *document, RotationRestriction *restriction,
        const QSharedPointer<ImageSource> &image = {});
    ~PhotoGridItemProperties() override;

    QRectF rect() const { return m_rect; }
    qreal angleRelative() const { return m_angleRelative; }
    // Degrees clockwise, through the restriction (r * 180 without one).
    qreal angle() const;
    RotationRestriction *restriction() const { return m_restriction; }
    QSharedPointer<TransformedImageSource> source() const { return m_source; }
    // The image the source shows; null when there is none.
    QSharedPointer<ImageSource> image() const;

public Q_SLOTS:
    // Rect, angle and source do nothing when given the current value.
    void setRect(const QRectF &rect);
    void setAngle(qreal degrees);
    void setAngleRelative(qreal angleRelative);
    // A null source is ignored: a cell always has one.
    void setSource(const QSharedPointer<TransformedImageSource> &source);

Q_SIGNALS:
    void rectChanged(const QRectF &rect);
    void angleRelativeChanged(qreal angleRelative);
    void angleChanged();
    void sourceChanged();

private:
    void assignRect(const QRectF &rect);
    void assignAngleRelative(const qreal &angleRelative);
    void assignSource(const QSharedPointer<TransformedImageSource> &source);

    QRectF m_rect;
    qreal m_angleRelative = 0;
    RotationRestriction *m_restriction;
    QSharedPointer<TransformedImageSource> m_source;
};
