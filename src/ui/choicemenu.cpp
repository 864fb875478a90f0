#include "choicemenu.h"

#include <QAction>
#include <QMenu>
#include <QPointer>

#include "imaging/imagefilters.h"
#include "imaging/photomasks.h"
#include "model/photolookproperties.h"

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

void ChoiceMenu::addFilterAndMask(QMenu *parent, PhotoLookProperties *photo)
{
    const QPointer<PhotoLookProperties> target(photo);
    const int filter = photo->filterType();
    const int mask = photo->maskShape();
    // Unknown codes are drawn as none, so they show as none.
    add(parent, tr("Filter"), QStringLiteral("filterMenu"), ImageFilters::filterNames(),
        ImageFilters::isActive(filter) ? filter : ImageFilters::None, [target](int value) {
            if (target)
                target->setFilterType(value);
        });
    add(parent, tr("Mask"), QStringLiteral("maskMenu"), PhotoMasks::maskNames(),
        PhotoMasks::isActive(mask) ? mask : PhotoMasks::None, [target](int value) {
            if (target)
                target->setMaskShape(value);
        });
}
