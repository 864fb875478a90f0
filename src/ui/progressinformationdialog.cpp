#include "progressinformationdialog.h"
#include "ui/makenamed.h"

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

    auto *outerLayout = makeNamed<QVBoxLayout>("verticalLayout_2", this);
    QMargins margins = outerLayout->contentsMargins();
    margins.setBottom(12);
    outerLayout->setContentsMargins(margins);

    auto *rowLayout = makeNamed<QHBoxLayout>("horizontalLayout_2");
    outerLayout->addLayout(rowLayout);

    auto *icon = makeNamed<QLabel>("label", this);
    icon->setFixedSize(64, 64);
    icon->setPixmap(QPixmap(QStringLiteral(":/tesselo-128.png")));
    icon->setScaledContents(true);
    rowLayout->addWidget(icon);

    auto *textLayout = makeNamed<QVBoxLayout>("verticalLayout");
    rowLayout->addLayout(textLayout);

    m_information = makeNamed<QLabel>("lblInformation", text, this);
    m_information->setWordWrap(true);
    textLayout->addWidget(m_information);

    m_progressBar = makeNamed<QProgressBar>("progressBar", this);
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
