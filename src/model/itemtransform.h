#pragma once

#include <QPointF>
#include <QPointer>
#include <QTransform>

#include "model/documentpart.h"
#include "model/rotationrestriction.h"
#include "model/sharedtransform.h"

// Where a photo lies on the page, how large it is and how far it is turned.
// The rotation is kept relative to the theme's rotation restriction, so a
// change of the restriction turns every photo without a command per photo.
// A point p of the item lands at position + zoom * R(rotation) * p.
class ItemTransform : public SharedTransform, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(QPointF position READ position WRITE setPosition NOTIFY positionChanged)
    Q_PROPERTY(qreal zoom READ zoom WRITE setZoom NOTIFY zoomChanged)
    Q_PROPERTY(qreal rotation READ rotation WRITE setRotation NOTIFY rotationChanged)

public:
    explicit ItemTransform(Document *document = nullptr, RotationRestriction *restriction = nullptr,
        QObject *parent = nullptr);

    QPointF position() const { return m_position; }
    qreal zoom() const { return m_zoom; }
    // Degrees, clockwise.
    qreal rotation() const;
    qreal rotationRelative() const { return m_rotationRelative; }

    RotationRestriction *restriction() const { return m_restriction.data(); }
    void setRestriction(RotationRestriction *restriction);

    void applyTo(QMatrix4x4 *matrix) const override;
    QTransform transform() const;

public Q_SLOTS:
    void setPosition(const QPointF &position);
    void setZoom(qreal zoom);
    void setRotation(qreal degrees);
    void setRotationRelative(qreal relative);

Q_SIGNALS:
    void positionChanged(const QPointF &position);
    void zoomChanged(qreal zoom);
    void rotationChanged();
    void rotationRelativeChanged(qreal relative);

private:
    friend class ItemTransformUndoCommand;

    // Pushes one command with the given values, or assigns them at once
    // when there is no undo stack.
    void change(const QPointF &position, qreal zoom, qreal rotationRelative);

    QPointF m_position;
    qreal m_zoom = 1.0;
    qreal m_rotationRelative = 0;
    QPointer<RotationRestriction> m_restriction;
};
