#pragma once

#include <QCoreApplication>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <functional>

class QMenu;

// Submenus of checkable choices, one per name, the current one checked;
// choosing one passes its row on.
class ChoiceMenu
{
    Q_DECLARE_TR_FUNCTIONS(ChoiceMenu)

public:
    static QMenu *add(QMenu *parent, const QString &title, const QString &objectName,
        const QStringList &names, int current, std::function<void(int)> choose);

    // The Filter and Mask submenus of a photo, for the properties of either
    // theme (they share filterType and maskShape with their setters).
    template<typename Properties> static void addFilterAndMask(QMenu *parent, Properties *photo)
    {
        const QPointer<Properties> target(photo);
        addFilterAndMask(
            parent, photo->filterType(), photo->maskShape(),
            [target](int value) {
                if (target)
                    target->setFilterType(value);
            },
            [target](int value) {
                if (target)
                    target->setMaskShape(value);
            });
    }

private:
    static void addFilterAndMask(QMenu *parent, int filter, int mask,
        std::function<void(int)> setFilter, std::function<void(int)> setMask);
};
