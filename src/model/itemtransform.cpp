#include "itemtransform.h"

#include <QMatrix4x4>

#include "model/itemtransformundocommand.h"
#include "model/replacesender.h"
#include "undo/undostack.h"

namespace {

// Without a restriction a relative rotation spans half a turn either way.
constexpr qreal UnrestrictedVariation = 180.0;

} // namespace

ItemTransform::ItemTransform(Document *document, RotationRestriction *restriction, QObject *parent)
    : SharedTransform(parent)
    , DocumentPart(document)
{
    connect(this, &ItemTransform::positionChanged, this, &SharedTransform::update);
    connect(this, &ItemTransform::rotationChanged, this, &SharedTransform::update);
    connect(this, &ItemTransform::zoomChanged, this, &SharedTransform::update);
    connect(this, &ItemTransform::rotationRelativeChanged, this, &ItemTransform::rotationChanged);
    setRestriction(restriction);
}

qreal ItemTransform::rotation() const
{
    if (m_restriction)
        return m_restriction->toDegrees(m_rotationRelative);
    return rotationToDegrees(m_rotationRelative, 0, UnrestrictedVariation);
}

void ItemTransform::setRestriction(RotationRestriction *restriction)
{
    if (!replaceSender(m_restriction, restriction, this))
        return;
    if (restriction) {
        connect(restriction, &RotationRestriction::updated, this, &ItemTransform::rotationChanged);
        // Falling back to the unrestricted mapping changes the angle too.
        connect(restriction, &QObject::destroyed, this, &ItemTransform::rotationChanged);
    }
    Q_EMIT rotationChanged();
}

void ItemTransform::applyTo(QMatrix4x4 *matrix) const
{
    matrix->translate(float(m_position.x()), float(m_position.y()));
    matrix->scale(float(m_zoom));
    matrix->rotate(float(rotation()), 0, 0, 1);
}

QTransform ItemTransform::transform() const
{
    QMatrix4x4 matrix;
    applyTo(&matrix);
    return matrix.toTransform();
}

void ItemTransform::setPosition(const QPointF &position)
{
    if (position == m_position)
        return;
    change(position, m_zoom, m_rotationRelative);
}

void ItemTransform::setZoom(qreal zoom)
{
    if (zoom == m_zoom)
        return;
    change(m_position, zoom, m_rotationRelative);
}

void ItemTransform::setRotation(qreal degrees)
{
    const qreal relative = m_restriction ? m_restriction->toRelative(degrees)
                                         : rotationToRelative(degrees, 0, UnrestrictedVariation);
    setRotationRelative(relative);
}

void ItemTransform::setRotationRelative(qreal relative)
{
    relative = qBound(qreal(-1), relative, qreal(1));
    if (relative == m_rotationRelative)
        return;
    change(m_position, m_zoom, relative);
}

void ItemTransform::change(const QPointF &position, qreal zoom, qreal rotationRelative)
{
    if (UndoStack *stack = undoStack()) {
        stack->push(new ItemTransformUndoCommand(this, position, zoom, rotationRelative));
        return;
    }
    const bool positionDiffers = !(position == m_position);
    const bool zoomDiffers = zoom != m_zoom;
    const bool rotationDiffers = rotationRelative != m_rotationRelative;
    m_position = position;
    m_zoom = zoom;
    m_rotationRelative = rotationRelative;
    if (positionDiffers)
        Q_EMIT positionChanged(m_position);
    if (zoomDiffers)
        Q_EMIT zoomChanged(m_zoom);
    if (rotationDiffers)
        Q_EMIT rotationRelativeChanged(m_rotationRelative);
}
