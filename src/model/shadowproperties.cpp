#include "shadowproperties.h"

#include <QJSValue>
#include <QLineF>
#include <QMetaType>

#include "model/assignchanged.h"
#include "undo/commandids.h"
#include "undo/propertyundocommand.h"

namespace {

// Template scripts write the offset as a plain object, {x: .., y: ..};
// the script engine hands such a value over as a QJSValue, which has no
// conversion to QPointF of its own.
void registerScriptPointConversion()
{
    static const bool registered = [] {
        if (QMetaType::hasRegisteredConverterFunction<QJSValue, QPointF>())
            return true;
        return QMetaType::registerConverter<QJSValue, QPointF>([](const QJSValue &value) {
            return QPointF(value.property(QStringLiteral("x")).toNumber(),
                value.property(QStringLiteral("y")).toNumber());
        });
    }();
    Q_UNUSED(registered);
}

} // namespace

ShadowProperties::ShadowProperties(Document *document, QObject *parent)
    : QObject(parent)
    , DocumentPart(document)
{
    registerScriptPointConversion();
}

QPointF ShadowProperties::offset() const
{
    return QLineF::fromPolar(m_distance, m_angle).p2();
}

void ShadowProperties::setEnabled(bool enabled)
{
    const QString text = enabled ? tr("Enabling shadows") : tr("Disabling shadows");
    setUndoableMember<&ShadowProperties::m_enabled, &ShadowProperties::enabledChanged>(
        this, text, enabled, CommandId::ShadowEnabled);
}

void ShadowProperties::setBlurRadius(qreal blurRadius)
{
    setUndoableMember<&ShadowProperties::m_blurRadius, &ShadowProperties::blurRadiusChanged>(
        this, tr("Changing shadow blur radius"), blurRadius, CommandId::ShadowBlurRadius);
}

void ShadowProperties::setColor(const QColor &color)
{
    setUndoableMember<&ShadowProperties::m_color, &ShadowProperties::colorChanged>(
        this, tr("Changing shadow color"), color, CommandId::ShadowColor);
}

void ShadowProperties::setOffset(const QPointF &offset)
{
    const QLineF line(QPointF(0, 0), offset);
    setDistance(line.length());
    // A zero offset has no direction; the angle stays what it was.
    if (!line.isNull())
        setAngle(line.angle());
}

void ShadowProperties::setAngle(qreal angle)
{
    setUndoable<&ShadowProperties::assignAngle, &ShadowProperties::angle>(
        this, tr("Changing shadow angle"), angle, CommandId::ShadowAngle);
}

void ShadowProperties::setDistance(qreal distance)
{
    setUndoable<&ShadowProperties::assignDistance, &ShadowProperties::distance>(
        this, tr("Changing shadow distance"), distance, CommandId::ShadowDistance);
}

void ShadowProperties::setGroup(bool group)
{
    setUndoableMember<&ShadowProperties::m_group, &ShadowProperties::groupChanged>(
        this, tr("Changing single shadow"), group, CommandId::ShadowSingle);
}

void ShadowProperties::assignAngle(qreal angle)
{
    if (!assignChanged(m_angle, angle))
        return;
    Q_EMIT angleChanged(m_angle);
    Q_EMIT offsetChanged(offset());
}

void ShadowProperties::assignDistance(qreal distance)
{
    if (!assignChanged(m_distance, distance))
        return;
    Q_EMIT distanceChanged(m_distance);
    Q_EMIT offsetChanged(offset());
}
