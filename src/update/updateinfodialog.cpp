#include "updateinfodialog.h"
#include "ui/makenamed.h"

#include <QLabel>
#include <QVBoxLayout>

UpdateInfoDialog::UpdateInfoDialog(QWidget *parent)
    : QDialog(parent)
{
    setModal(false);
    setWindowTitle(tr("Update", "noun, title of dialog about 'checking for updates'"));
    auto *label = makeNamed<QLabel>("label", tr("Checking for update..."), this);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(label);
    resize(326, 40);
}
