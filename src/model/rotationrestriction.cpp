#include "rotationrestriction.h"

#include <QtMath>

#include "model/assignchanged.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

qreal normalizedDegrees(qreal degrees)
{
    // fmod gives what repeated adding or subtracting of 360 gives, without
    // looping forever on huge values.
    if (degrees > 180) {
        degrees = std::fmod(degrees, 360.0);
        if (degrees > 180)
            degrees -= 360;
    } else if (degrees < -180) {
        degrees = std::fmod(degrees, 360.0);
        if (degrees < -180)
            degrees += 360;
    }
    return degrees;
}

qreal rotationToDegrees(qreal relative, qreal zero, qreal variation)
{
    return relative * variation + zero;
}

qreal rotationToRelative(qreal degrees, qreal zero, qreal variation)
{
    return normalizedDegrees(degrees - zero) / variation;
}

RotationRestriction::RotationRestriction(Document *document, QObject *parent)
    : QObject(parent)
    , DocumentPart(document)
{
    connect(this, &RotationRestriction::zeroChanged, this, &RotationRestriction::updated);
    connect(this, &RotationRestriction::variationChanged, this, &RotationRestriction::updated);
}

qreal RotationRestriction::toDegrees(qreal relative) const
{
    return rotationToDegrees(relative, m_zero, m_variation);
}

qreal RotationRestriction::toRelative(qreal degrees) const
{
    return rotationToRelative(degrees, m_zero, m_variation);
}

void RotationRestriction::setZero(qreal zero)
{
    zero = normalizedDegrees(zero);
    setUndoableMember<&RotationRestriction::m_zero, &RotationRestriction::zeroChanged>(
        this, QStringLiteral("Changing original rotation"), zero, CommandId::RotationZero);
}

void RotationRestriction::setVariation(qreal variation)
{
    setUndoable<&RotationRestriction::assignVariation, &RotationRestriction::variation>(this,
        QStringLiteral("Changing possible rotation"), variation, CommandId::RotationVariation);
}

void RotationRestriction::assignVariation(qreal variation)
{
    // Written so that NaN ends at 180 rather than slipping through.
    if (!(variation <= 180))
        variation = 180;
    if (variation < MinimumVariation)
        variation = MinimumVariation;
    if (assignChanged(m_variation, variation))
        Q_EMIT variationChanged(m_variation);
}
