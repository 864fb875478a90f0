#pragma once

#include <QObject>

#include "model/documentpart.h"

// Brings an angle into [-180, 180] by whole turns.
qreal normalizedDegrees(qreal degrees);

// A photo's random rotation is kept as a relative value r in [-1, 1]:
//
//     degrees = r * variation + zero
//
// so changing the restriction turns every photo that uses it.
qreal rotationToDegrees(qreal relative, qreal zero, qreal variation);
// The inverse; the angle away from zero is taken the short way round first.
// The result is not clamped.
qreal rotationToRelative(qreal degrees, qreal zero, qreal variation);

// The limits of the random photo rotation of a theme.
class RotationRestriction : public QObject, public DocumentPart
{
    Q_OBJECT
    Q_PROPERTY(qreal zero READ zero WRITE setZero NOTIFY zeroChanged)
    Q_PROPERTY(qreal variation READ variation WRITE setVariation NOTIFY variationChanged)

public:
    static constexpr qreal MinimumVariation = 0.0001;

    explicit RotationRestriction(Document *document = nullptr, QObject *parent = nullptr);

    qreal zero() const { return m_zero; }
    qreal variation() const { return m_variation; }

    // Whether photos are turned at all.
    bool isRotationEnabled() const { return m_variation > MinimumVariation; }

    qreal toDegrees(qreal relative) const;
    qreal toRelative(qreal degrees) const;

public Q_SLOTS:
    void setZero(qreal zero);
    void setVariation(qreal variation);

Q_SIGNALS:
    void zeroChanged(qreal zero);
    void variationChanged(qreal variation);
    // Follows every change of zero or variation.
    void updated();

private:
    void assignVariation(qreal variation);

    qreal m_zero = 0;
    qreal m_variation = 180.0;
};
