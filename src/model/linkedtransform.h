#pragma once

#include <QGraphicsTransform>
#include <QPointer>

#include "model/sharedtransform.h"

// Applies exactly what another transform applies, so that an item moves,
// scales and turns with the item that owns that transform. Once the linked
// transform is gone it applies nothing.
class LinkedTransform : public QGraphicsTransform
{
    Q_OBJECT

public:
    explicit LinkedTransform(SharedTransform *linked, QObject *parent = nullptr);

    SharedTransform *linkedTransform() const { return m_linked.data(); }

    void applyTo(QMatrix4x4 *matrix) const override;

private:
    QPointer<SharedTransform> m_linked;
};
