#include "photogriditemproperties.h"

#include <QtMath>

#include "model/imagesource.h"
#include "model/rotationrestriction.h"
#include "model/transformedimagesource.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"
#include "undo/undostack.h"

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
    : QObject(nullptr)
    , DocumentPart(document)
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
    using Command = PropertyUndoCommand<PhotoGridItemProperties, QRectF,
        &PhotoGridItemProperties::assignRect, &PhotoGridItemProperties::rect>;
    if (sameRect(rect, m_rect))
        return;
    if (UndoStack *stack = undoStack())
        stack->push(new Command(QStringLiteral("rect change"), this, rect, CommandId::NoMerge));
    else
        assignRect(rect);
}

void PhotoGridItemProperties::setAngle(qreal degrees)
{
    setAngleRelative(
        m_restriction ? m_restriction->toRelative(degrees) : rotationToRelative(degrees, 0, 180));
}

void PhotoGridItemProperties::setAngleRelative(qreal angleRelative)
{
    using Command = PropertyUndoCommand<PhotoGridItemProperties, qreal,
        &PhotoGridItemProperties::assignAngleRelative, &PhotoGridItemProperties::angleRelative>;
    // NaN has no place on the turn scale.
    if (qIsNaN(angleRelative))
        return;
    angleRelative = clampedRelative(angleRelative);
    if (angleRelative == m_angleRelative)
        return;
    if (UndoStack *stack = undoStack())
        stack->push(new Command(
            QStringLiteral("angle change"), this, angleRelative, CommandId::GridItemAngle));
    else
        assignAngleRelative(angleRelative);
}

void PhotoGridItemProperties::setSource(const QSharedPointer<TransformedImageSource> &source)
{
    using Command
        = PropertyUndoCommand<PhotoGridItemProperties, QSharedPointer<TransformedImageSource>,
            &PhotoGridItemProperties::assignSource, &PhotoGridItemProperties::source>;
    if (!source || source == m_source)
        return;
    if (UndoStack *stack = undoStack())
        stack->push(new Command(QStringLiteral("source change"), this, source, CommandId::NoMerge));
    else
        assignSource(source);
}

void PhotoGridItemProperties::setFilterType(int filterType)
{
    using Command = PropertyUndoCommand<PhotoGridItemProperties, int,
        &PhotoGridItemProperties::assignFilterType, &PhotoGridItemProperties::filterType>;
    if (UndoStack *stack = undoStack())
        stack->push(new Command(tr("Change filter"), this, filterType, CommandId::ItemFilter));
    else
        assignFilterType(filterType);
}

void PhotoGridItemProperties::setMaskShape(int maskShape)
{
    using Command = PropertyUndoCommand<PhotoGridItemProperties, int,
        &PhotoGridItemProperties::assignMaskShape, &PhotoGridItemProperties::maskShape>;
    if (UndoStack *stack = undoStack())
        stack->push(new Command(tr("Change mask"), this, maskShape, CommandId::ItemMask));
    else
        assignMaskShape(maskShape);
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
    const qreal value = clampedRelative(angleRelative);
    if (value == m_angleRelative)
        return;
    m_angleRelative = value;
    Q_EMIT angleRelativeChanged(m_angleRelative);
}

void PhotoGridItemProperties::assignSource(const QSharedPointer<TransformedImageSource> &source)
{
    if (!source || source == m_source)
        return;
    m_source = source;
    Q_EMIT sourceChanged();
}

void PhotoGridItemProperties::assignFilterType(const int &filterType)
{
    if (filterType == m_filterType)
        return;
    m_filterType = filterType;
    Q_EMIT filterTypeChanged(m_filterType);
}

void PhotoGridItemProperties::assignMaskShape(const int &maskShape)
{
    if (maskShape == m_maskShape)
        return;
    m_maskShape = maskShape;
    Q_EMIT maskShapeChanged(m_maskShape);
}
