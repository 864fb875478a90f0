#pragma once

#include <QPointF>
#include <QtGlobal>

// Stores a value when it differs from the member and tells whether it did,
// so that an assignment emits its change signal only for a real change.
template<typename Member, typename Value> bool assignChanged(Member &member, const Value &value)
{
    if (member == value)
        return false;
    member = value;
    return true;
}

// Values that are not finite are dropped: a NaN would compare unequal
// forever and would poison the geometry of whatever is drawn from it.
inline bool assignFiniteChanged(qreal &member, qreal value)
{
    return qIsFinite(value) && assignChanged(member, value);
}

inline bool assignFiniteChanged(QPointF &member, const QPointF &value)
{
    return qIsFinite(value.x()) && qIsFinite(value.y()) && assignChanged(member, value);
}

// As above, with the value first held within [minimum, maximum].
inline bool assignFiniteChanged(qreal &member, qreal value, qreal minimum, qreal maximum)
{
    return qIsFinite(value) && assignChanged(member, qBound(minimum, value, maximum));
}
