#include "pagelistitem.h"

#include <QToolButton>
#include <QVBoxLayout>

#include "ui/expandedwidget.h"

PageListItem::PageListItem(QWidget *page, QWidget *parent)
    : QFrame(parent)
    , m_page(page)
    , m_wrapper(new ExpandedWidget(page, this))
    , m_header(new QToolButton(this))
{
    m_wrapper->setObjectName(QStringLiteral("animatedWrapper"));

    m_header->setObjectName(QStringLiteral("headerButton"));
    m_header->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_header->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_header->setCheckable(true);
    m_header->setChecked(false);
    m_header->setText(page->windowTitle());
    m_header->setIcon(page->windowIcon());

    auto *layout = new QVBoxLayout(this);
    layout->setSpacing(0);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_header);
    layout->addWidget(m_wrapper);

    connect(m_header, &QToolButton::toggled, m_wrapper, &ExpandedWidget::setExpanded);
    connect(m_wrapper, &ExpandedWidget::expandChanged, m_header, &QToolButton::setChecked);
    connect(m_wrapper, &ExpandedWidget::expandChanged, this, &PageListItem::expandChanged);
    connect(page, &QObject::destroyed, this, &QObject::deleteLater);
    m_wrapper->enableOpacityAnimatioin(true);
}

bool PageListItem::expanded() const
{
    return m_wrapper->expanded();
}

void PageListItem::setExpanded(bool expanded)
{
    m_wrapper->setExpanded(expanded);
    m_header->setChecked(expanded);
}
