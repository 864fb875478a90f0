#include "choicemenu.h"

#include <QAction>
#include <QMenu>

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
