#include "progressinformationdialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPixmap>
#include <QProgressBar>
#include <QSpacerItem>
#include <QVBoxLayout>

ProgressInformationDialog::ProgressInformationDialog(
    const QString &title, const QString &text, QWidget *parent)
    : QDialog(parent,
        Qt::Window | Qt::WindowTitleHint | Qt::CustomizeWindowHint | Qt::WindowCloseButtonHint)
{
    setObjectName(QStringLiteral("ProgressInformationDialog"));
    setAttribute(Qt::WA_MacSmallSize);
    setWindowTitle(title);
    setFixedSize(383, 98);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    auto *outerLayout = new QVBoxLayout(this);
    outerLayout->setObjectName(QStringLiteral("verticalLayout_2"));
    QMargins margins = outerLayout->contentsMargins();
    margins.setBottom(12);
    outerLayout->setContentsMargins(margins);

    auto *rowLayout = new QHBoxLayout();
    rowLayout->setObjectName(QStringLiteral("horizontalLayout_2"));
    outerLayout->addLayout(rowLayout);

    auto *icon = new QLabel(this);
    icon->setObjectName(QStringLiteral("label"));
    icon->setFixedSize(64, 64);
    icon->setPixmap(QPixmap(QStringLiteral(":/tesselo-128.png")));
    icon->setScaledContents(true);
    rowLayout->addWidget(icon);

    auto *textLayout = new QVBoxLayout();
    textLayout->setObjectName(QStringLiteral("verticalLayout"));
    rowLayout->addLayout(textLayout);

    m_information = new QLabel(text, this);
    m_information->setObjectName(QStringLiteral("lblInformation"));
    m_information->setWordWrap(true);
    textLayout->addWidget(m_information);

    m_progressBar = new QProgressBar(this);
    m_progressBar->setObjectName(QStringLiteral("progressBar"));
    // Minimum and maximum 0: a busy indicator.
    m_progressBar->setRange(0, 0);
    m_progressBar->setValue(-1);
    textLayout->addWidget(m_progressBar);

    outerLayout->addItem(new QSpacerItem(20, 0, QSizePolicy::Minimum, QSizePolicy::Expanding));
}

ProgressInformationDialog::~ProgressInformationDialog() = default;

QString ProgressInformationDialog::text() const
{
    return m_information->text();
}

void ProgressInformationDialog::setText(const QString &text)
{
    m_information->setText(text);
}
