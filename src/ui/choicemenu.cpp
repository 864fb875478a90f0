#include "choicemenu.h"

#include <QAction>
#include <QMenu>

#include "imaging/imagefilters.h"
#include "imaging/photomasks.h"

QMenu *ChoiceMenu::add(QMenu *parent, const QString &title, const QString &objectName,
    const QStringList &names, int current, std::function<void(int)> choose)
{
    QMenu *menu = parent->addMenu(title);
    menu->setObjectName(objectName);
    for (int value = 0; value < names.size(); ++value) {
        QAction *action = menu->addAction(names.at(value));
        action->setCheckable(true);
        action->setChecked(value == current);
        action->setData(value);
        QObject::connect(action, &QAction::triggered, menu, [choose, value] { choose(value); });
    }
    return menu;
}

void ChoiceMenu::addFilterAndMask(QMenu *parent, int filter, int mask,
    std::function<void(int)> setFilter, std::function<void(int)> setMask)
{
    // Unknown codes are drawn as none, so they show as none.
    add(parent, tr("Filter"), QStringLiteral("filterMenu"), ImageFilters::filterNames(),
        ImageFilters::isActive(filter) ? filter : ImageFilters::None, std::move(setFilter));
    add(parent, tr("Mask"), QStringLiteral("maskMenu"), PhotoMasks::maskNames(),
        PhotoMasks::isActive(mask) ? mask : PhotoMasks::None, std::move(setMask));
}
