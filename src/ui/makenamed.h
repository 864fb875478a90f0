#pragma once

#include <QLatin1String>

#include <utility>

// Makes a widget, layout or action with an object name in one step. The
// names are what tests, style sheets and accessibility tools find the
// pieces of a window by, so every piece built by hand gets one.
//
//     m_widthEdit = makeNamed<QDoubleSpinBox>("widthEdit", this);
template<typename Object, typename... Arguments>
Object *makeNamed(const char *objectName, Arguments &&...arguments)
{
    auto *object = new Object(std::forward<Arguments>(arguments)...);
    object->setObjectName(QLatin1String(objectName));
    return object;
}
