#include "photogrigcontrolwidget.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "model/binding.h"
#include "model/lineralfunction.h"
#include "themes/photogrid/photogridtheme.h"

PhotoGrigControlWidget::PhotoGrigControlWidget(PhotoGridTheme *theme, QWidget *parent)
    : QWidget(parent)
    , m_theme(theme)
    , m_borederSlider(new QSlider(Qt::Horizontal, this))
    , m_pushButton(new QPushButton(tr("Rearrange"), this))
{
    // The panel's header shows the page's title.
    setWindowTitle(tr("Arrange"));
    m_borederSlider->setObjectName(QStringLiteral("borederSlider"));
    m_pushButton->setObjectName(QStringLiteral("pushButton"));

    auto *narrow = new QLabel(this);
    narrow->setPixmap(QPixmap(QStringLiteral(":/spacing1.png")));
    auto *wide = new QLabel(this);
    wide->setPixmap(QPixmap(QStringLiteral(":/spacing2.png")));

    auto *sliderRow = new QHBoxLayout;
    sliderRow->addWidget(narrow);
    sliderRow->addWidget(m_borederSlider, 1);
    sliderRow->addWidget(wide);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(tr("Spacing:"), this));
    layout->addLayout(sliderRow);
    layout->addWidget(m_pushButton);

    if (theme) {
        // The slider shows the spacing in hundredths; each move goes through
        // the theme's setter, so one drag is one merged undo step.
        auto *percent = new LineralFunction(100, 0, this);
        new Binding(theme, "borderRelative", percent, "input", this);
        new Binding(percent, "output", m_borederSlider, "value", this);
    }
    connect(m_pushButton, &QPushButton::clicked, this, [this] {
        if (m_theme)
            m_theme->resetLayout();
    });
}

PhotoGridTheme *PhotoGrigControlWidget::theme() const
{
    return m_theme;
}
