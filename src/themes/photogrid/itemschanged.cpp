#include "itemschanged.h"

#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/photogridtheme.h"

ItemsChanged::ItemsChanged(
    PhotoGridTheme *theme, const QSharedPointer<PhotoGridItemProperties> &item, bool inserting)
    : UndoCommand(
        inserting ? QStringLiteral("inserting grid item") : QStringLiteral("removing grid item"))
    , m_theme(theme)
    , m_item(item)
    , m_inserting(inserting)
{
}

ItemsChanged::~ItemsChanged() = default;

void ItemsChanged::redo()
{
    if (m_inserting)
        insert();
    else
        remove();
}

void ItemsChanged::undo()
{
    if (m_inserting)
        remove();
    else
        insert();
}

void ItemsChanged::insert()
{
    if (m_theme && m_item)
        m_theme->attachItem(m_item, m_position);
}

void ItemsChanged::remove()
{
    if (!m_theme || !m_item)
        return;
    const int position = m_theme->detachItem(m_item);
    if (position >= 0)
        m_position = position;
}
