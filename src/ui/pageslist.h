#pragma once

#include <QFrame>
#include <QList>

class PageListItem;
class QVBoxLayout;

// The accordion of property pages on the "Theme" tab: every page sits
// under a header that folds it open and shut, and opening one page folds
// the page that was open before.
class PagesList : public QFrame
{
    Q_OBJECT

public:
    explicit PagesList(QWidget *parent = nullptr);

    // Wraps each page in a PageListItem, in order, followed by a stretch.
    void setPages(const QList<QWidget *> &pages);
    // Removes and deletes every item, pages included.
    void clear();

    PageListItem *currentItem() const { return m_currentItem; }
    QList<PageListItem *> items() const;

public Q_SLOTS:
    void itemExpanded(bool exp);
    void itemDestroyed(QObject *item);

private:
    QVBoxLayout *m_layout;
    PageListItem *m_currentItem = nullptr;
};
