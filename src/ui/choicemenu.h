#pragma once

#include <QString>
#include <QStringList>

#include <functional>

class QMenu;

// A submenu of checkable choices, one per name, the current one checked;
// choosing one passes its row to `choose`. Used for the Filter and Mask
// menus of the photos of both themes.
class ChoiceMenu
{
public:
    static QMenu *add(QMenu *parent, const QString &title, const QString &objectName,
        const QStringList &names, int current, std::function<void(int)> choose);
};
