#pragma once

#include <QFrame>
#include <QPointer>

class ExpandedWidget;
class QToolButton;

// One page of the property accordion: a header button with the page's
// title and icon, and below it the page folded into an ExpandedWidget. The
// item goes away when its page is destroyed.
class PageListItem : public QFrame
{
    Q_OBJECT
    Q_PROPERTY(bool expanded READ expanded WRITE setExpanded NOTIFY expandChanged)

public:
    PageListItem(QWidget *page, QWidget *parent = nullptr);

    bool expanded() const;

    QWidget *page() const { return m_page; }
    QToolButton *headerButton() const { return m_header; }
    ExpandedWidget *wrapper() const { return m_wrapper; }

public Q_SLOTS:
    void setExpanded(bool expanded);

Q_SIGNALS:
    void expandChanged(bool expanded);

private:
    QPointer<QWidget> m_page;
    ExpandedWidget *m_wrapper;
    QToolButton *m_header;
};
