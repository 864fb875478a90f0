#include "buttongroup.h"

#include <QAbstractButton>

ButtonGroup::ButtonGroup(QObject *parent)
    : QButtonGroup(parent)
{
    connect(this, &QButtonGroup::idClicked, this, &ButtonGroup::setCurrentId);
}

void ButtonGroup::setCurrentId(int id)
{
    if (m_hasCurrentId && id == m_currentId)
        return;
    m_hasCurrentId = true;
    m_currentId = id;
    Q_EMIT currentIdChanged(id);
    if (QAbstractButton *checked = button(id))
        checked->setChecked(true);
}
