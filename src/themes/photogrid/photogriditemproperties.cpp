#include "photogriditemproperties.h"

#include <QtMath>

#include "model/assignchanged.h"
#include "model/imagesource.h"
#include "model/rotationrestriction.h"
#include "model/transformedimagesource.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

namespace {

// Exact comparison: a rectangle that differs in the last bit is another
// rectangle, and undo must restore the very value it recorded.
bool sameRect(const QRectF &a, const QRectF &b)
{
    return a.x() == b.x() && a.y() == b.y() && a.width() == b.width() && a.height() == b.height();
}

qreal clampedRelative(qreal relative)
{
    return qBound(-1.0, relative, 1.0);
}

} // namespace

PhotoGridItemProperties::PhotoGridItemProperties(
    Document *document, RotationRestriction *restriction, const QSharedPointer<ImageSource> &image)
    : PhotoLookProperties(document)
    , m_restriction(restriction)
    , m_source(QSharedPointer<TransformedImageSource>::create(image, document))
{
    connect(this, &PhotoGridItemProperties::angleRelativeChanged, this,
        &PhotoGridItemProperties::angleChanged);
    if (m_restriction)
        connect(m_restriction, &RotationRestriction::updated, this,
            &PhotoGridItemProperties::angleChanged);
}

PhotoGridItemProperties::~PhotoGridItemProperties() = default;

qreal PhotoGridItemProperties::angle() const
{
    return m_restriction ? m_restriction->toDegrees(m_angleRelative)
                         : rotationToDegrees(m_angleRelative, 0, 180);
}

QSharedPointer<ImageSource> PhotoGridItemProperties::image() const
{
    return m_source ? m_source->source() : QSharedPointer<ImageSource>();
}

void PhotoGridItemProperties::setRect(const QRectF &rect)
{
    if (sameRect(rect, m_rect))
        return;
    setUndoable<&PhotoGridItemProperties::assignRect, &PhotoGridItemProperties::rect>(
        this, QStringLiteral("rect change"), rect, CommandId::NoMerge);
}

void PhotoGridItemProperties::setAngle(qreal degrees)
{
    setAngleRelative(
        m_restriction ? m_restriction->toRelative(degrees) : rotationToRelative(degrees, 0, 180));
}

void PhotoGridItemProperties::setAngleRelative(qreal angleRelative)
{
    // NaN has no place on the turn scale.
    if (qIsNaN(angleRelative))
        return;
    angleRelative = clampedRelative(angleRelative);
    if (angleRelative == m_angleRelative)
        return;
    setUndoable<&PhotoGridItemProperties::assignAngleRelative,
        &PhotoGridItemProperties::angleRelative>(
        this, QStringLiteral("angle change"), angleRelative, CommandId::GridItemAngle);
}

void PhotoGridItemProperties::setSource(const QSharedPointer<TransformedImageSource> &source)
{
    if (!source || source == m_source)
        return;
    setUndoable<&PhotoGridItemProperties::assignSource, &PhotoGridItemProperties::source>(
        this, QStringLiteral("source change"), source, CommandId::NoMerge);
}

void PhotoGridItemProperties::assignRect(const QRectF &rect)
{
    if (sameRect(rect, m_rect))
        return;
    m_rect = rect;
    Q_EMIT rectChanged(m_rect);
}

void PhotoGridItemProperties::assignAngleRelative(const qreal &angleRelative)
{
    if (qIsNaN(angleRelative))
        return;
    if (assignChanged(m_angleRelative, clampedRelative(angleRelative)))
        Q_EMIT angleRelativeChanged(m_angleRelative);
}

void PhotoGridItemProperties::assignSource(const QSharedPointer<TransformedImageSource> &source)
{
    if (!source || source == m_source)
        return;
    m_source = source;
    Q_EMIT sourceChanged();
}
