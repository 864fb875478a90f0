#include "downloaddialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <climits>

#include "ui/makenamed.h"
#include "update/updatechecker.h"

namespace {

constexpr int InstallDelayMs = 500;
constexpr int AttentionMs = 5000;

} // namespace

DownloadDialog::DownloadDialog(const QPixmap &icon, UpdateChecker *checker, QWidget *parent)
    : QDialog(parent)
    , m_checker(checker)
{
    setModal(false);
    setWindowTitle(tr("Updating %1").arg(QCoreApplication::applicationName()));

    auto *iconLabel = makeNamed<QLabel>("icon", this);
    iconLabel->setPixmap(icon.scaled(64, 64, Qt::KeepAspectRatio, Qt::SmoothTransformation));
    iconLabel->setAlignment(Qt::AlignTop | Qt::AlignHCenter);
    m_statusLabel = makeNamed<QLabel>("statusLabel", this);
    m_progressBar = makeNamed<QProgressBar>("progressBar", this);
    m_progressBar->setTextVisible(false);
    m_progressLabel = makeNamed<QLabel>("progressLabel", this);
    m_buttonBox = makeNamed<QDialogButtonBox>(
        "buttonBox", QDialogButtonBox::Apply | QDialogButtonBox::Cancel, this);
    m_buttonBox->button(QDialogButtonBox::Apply)->setText(tr("Exit and install"));

    auto *layout = new QGridLayout(this);
    layout->addWidget(iconLabel, 0, 0, 3, 1);
    layout->addWidget(m_statusLabel, 0, 1);
    layout->addWidget(m_progressBar, 1, 1);
    layout->addWidget(m_progressLabel, 2, 1);
    layout->addWidget(m_buttonBox, 3, 0, 1, 2);
    layout->setColumnStretch(1, 1);
    resize(420, sizeHint().height());

    connect(checker, &UpdateChecker::progressChanged, this, &DownloadDialog::progressChanged);
    connect(m_buttonBox, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(this, &QDialog::rejected, checker, &UpdateChecker::abortDownload);
    connect(checker, &UpdateChecker::stateChanged, this, &DownloadDialog::updaterStateChanged);
    connect(checker, &UpdateChecker::exitRequest, qApp, &QCoreApplication::quit);
    QMetaObject::connectSlotsByName(this);

    progressChanged(checker->downloaded(), checker->downloadSize());
    updaterStateChanged();
    if (checker->state() == UpdateChecker::Downloading
        || checker->state() == UpdateChecker::InstallAvailable)
        show();
}

QString DownloadDialog::progressText(qint64 value, qint64 total)
{
    constexpr double MiB = 1024.0 * 1024.0;
    if (total <= 0)
        return tr("%1 MB").arg(value / MiB, 0, 'f', 1);
    return tr("%1 MB of %2 MB").arg(value / MiB, 0, 'f', 1).arg(total / MiB, 0, 'f', 1);
}

void DownloadDialog::progressChanged(qint64 value, qint64 total)
{
    // The bar counts in int: installers over 2 GiB are shown in coarser steps.
    int shift = 0;
    while ((qMax(total, value) >> shift) > INT_MAX)
        ++shift;
    m_progressBar->setMaximum(total > 0 ? int(total >> shift) : 0);
    m_progressBar->setValue(total > 0 ? int(qMin(value, total) >> shift) : 0);
    m_progressLabel->setText(progressText(value, total));
}

void DownloadDialog::updaterStateChanged()
{
    QPushButton *cancel = m_buttonBox->button(QDialogButtonBox::Cancel);
    QPushButton *apply = m_buttonBox->button(QDialogButtonBox::Apply);
    switch (m_checker->state()) {
    case UpdateChecker::Downloading:
        m_statusLabel->setText(tr("Downloading update..."));
        cancel->setVisible(true);
        apply->setVisible(false);
        m_progressLabel->clear();
        break;
    case UpdateChecker::InstallAvailable:
        m_statusLabel->setText(tr("Ready to install..."));
        cancel->setVisible(true);
        apply->setVisible(true);
        apply->setDefault(true);
        m_progressLabel->clear();
        QApplication::alert(this, AttentionMs);
        break;
    default:
        close();
        break;
    }
}

void DownloadDialog::on_buttonBox_clicked(QAbstractButton *button)
{
    if (m_buttonBox->buttonRole(button) != QDialogButtonBox::ApplyRole)
        return;
    m_progressLabel->clear();
    m_statusLabel->setText(tr("Installing..."));
    m_buttonBox->button(QDialogButtonBox::Cancel)->setEnabled(false);
    button->setVisible(false);
    QTimer::singleShot(InstallDelayMs, m_checker, &UpdateChecker::install);
}
