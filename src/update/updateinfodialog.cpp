#include "updateinfodialog.h"

#include <QLabel>
#include <QVBoxLayout>

UpdateInfoDialog::UpdateInfoDialog(QWidget *parent)
    : QDialog(parent)
{
    setModal(false);
    setWindowTitle(tr("Update", "noun, title of dialog about 'checking for updates'"));
    auto *label = new QLabel(tr("Checking for update..."), this);
    label->setObjectName(QStringLiteral("label"));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    resize(326, 40);
}
