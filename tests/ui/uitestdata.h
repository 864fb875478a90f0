#pragma once

#include <QAbstractAnimation>
#include <QColor>
#include <QObject>
#include <QPropertyAnimation>

#include "ui/colorbutton.h"
#include "ui/expandedwidget.h"

// Replaces the colour dialog for as long as it lives and records how it
// was asked.
struct FakeColorPicker
{
    explicit FakeColorPicker(const QColor &answer)
    {
        ColorButton::setColorPicker([this, answer](const QColor &initial, QWidget *parent) {
            ++calls;
            lastInitial = initial;
            lastParent = parent;
            return answer;
        });
    }
    ~FakeColorPicker() { ColorButton::setColorPicker({}); }

    int calls = 0;
    QColor lastInitial;
    QWidget *lastParent = nullptr;
};

// Whether a fold has come to rest open or shut.
inline bool foldsMatch(ExpandedWidget *wrapper, bool expanded)
{
    return wrapper->expanded() == expanded
        && wrapper->animation()->state() == QAbstractAnimation::Stopped
        && wrapper->expandPhase() == (expanded ? 1.0f : 0.0f);
}

// The named child a test drives; a missing one ends the test run at once.
template<typename T> T *child(const QObject &parent, const char *name)
{
    T *found = parent.findChild<T *>(QLatin1String(name));
    if (!found)
        qFatal("No child named %s", name);
    return found;
}
