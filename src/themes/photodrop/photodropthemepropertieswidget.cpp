#include "photodropthemepropertieswidget.h"

#include <QHBoxLayout>
#include <QPushButton>

#include "themes/photodrop/photodroptheme.h"

PhotoDropThemePropertiesWidget::PhotoDropThemePropertiesWidget(
    PhotoDropTheme *theme, QWidget *parent)
    : QWidget(parent)
    , m_theme(theme)
    , m_arrangeButton(new QPushButton(tr("Arrange"), this))
    , m_randomizeButton(new QPushButton(tr("Randomize"), this))
{
    // The panel's header shows the page's title.
    setWindowTitle(tr("Arrange"));
    m_arrangeButton->setObjectName(QStringLiteral("arrangeButton"));
    m_randomizeButton->setObjectName(QStringLiteral("randomizeButton"));

    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_arrangeButton);
    layout->addWidget(m_randomizeButton);

    connect(m_arrangeButton, &QPushButton::clicked, this, [this] {
        if (m_theme)
            m_theme->rearrange();
    });
    connect(m_randomizeButton, &QPushButton::clicked, this, [this] {
        if (m_theme)
            m_theme->randomize();
    });
}

PhotoDropTheme *PhotoDropThemePropertiesWidget::theme() const
{
    return m_theme;
}
