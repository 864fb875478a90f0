#include "linkedtransform.h"

LinkedTransform::LinkedTransform(SharedTransform *linked, QObject *parent)
    : QGraphicsTransform(parent)
    , m_linked(linked)
{
    if (linked) {
        connect(linked, &SharedTransform::updated, this, &LinkedTransform::update);
        // The items that follow must drop the geometry of the vanished transform.
        connect(linked, &QObject::destroyed, this, &LinkedTransform::update);
    }
}

void LinkedTransform::applyTo(QMatrix4x4 *matrix) const
{
    if (m_linked)
        m_linked->applyTo(matrix);
}
