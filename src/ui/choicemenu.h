#pragma once

#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include <functional>

class PhotoLookProperties;
class QMenu;

// Submenus of checkable choices, one per name, the current one checked;
// choosing one passes its row on.
class ChoiceMenu
{
    Q_DECLARE_TR_FUNCTIONS(ChoiceMenu)

public:
    static QMenu *add(QMenu *parent, const QString &title, const QString &objectName,
        const QStringList &names, int current, std::function<void(int)> choose);

    // The Filter and Mask submenus of a photo of either theme. A photo that
    // goes away while the menu is open is left alone.
    static void addFilterAndMask(QMenu *parent, PhotoLookProperties *photo);
};
