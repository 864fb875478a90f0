#pragma once

#include <QCoreApplication>
#include <QStringList>

// Labels marked with QT_TRANSLATE_NOOP in `context`, translated into the
// language in use now.
template<int Count>
QStringList translatedLabels(const char *context, const char *const (&labels)[Count])
{
    QStringList names;
    names.reserve(Count);
    for (const char *label : labels)
        names << QCoreApplication::translate(context, label);
    return names;
}
