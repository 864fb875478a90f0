#include "pageslist.h"

#include <QVBoxLayout>

#include "ui/pagelistitem.h"

PagesList::PagesList(QWidget *parent)
    : QFrame(parent)
    , m_layout(new QVBoxLayout(this))
{
}

void PagesList::setPages(const QList<QWidget *> &pages)
{
    for (QWidget *page : pages) {
        if (!page)
            continue;
        auto *item = new PageListItem(page, this);
        connect(item, &PageListItem::expandChanged, this, &PagesList::itemExpanded);
        connect(item, &QObject::destroyed, this, &PagesList::itemDestroyed);
        m_layout->addWidget(item);
        item->adjustSize();
    }
    m_layout->addStretch();
}

void PagesList::clear()
{
    while (QLayoutItem *item = m_layout->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    m_currentItem = nullptr;
}

QList<PageListItem *> PagesList::items() const
{
    QList<PageListItem *> result;
    for (int i = 0; i < m_layout->count(); ++i) {
        if (auto *item = qobject_cast<PageListItem *>(m_layout->itemAt(i)->widget()))
            result << item;
    }
    return result;
}

void PagesList::itemExpanded(bool exp)
{
    auto *item = qobject_cast<PageListItem *>(sender());
    if (!item)
        return;
    if (exp) {
        if (item == m_currentItem)
            return;
        PageListItem *previous = m_currentItem;
        m_currentItem = item;
        if (previous)
            previous->setExpanded(false);
    } else if (item == m_currentItem) {
        m_currentItem = nullptr;
    }
}

void PagesList::itemDestroyed(QObject *item)
{
    if (item == m_currentItem)
        m_currentItem = nullptr;
}
