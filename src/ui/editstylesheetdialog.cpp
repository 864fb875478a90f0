#include "editstylesheetdialog.h"

#include <QDialogButtonBox>
#include <QFontDatabase>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

EditStyleSheetDialog::EditStyleSheetDialog(QWidget *target)
    : QDialog(target)
    , m_target(target)
    , m_editor(new QPlainTextEdit(this))
{
    setObjectName(QStringLiteral("EditStyleSheetDialog"));
    setWindowTitle(tr("Edit style sheet"));
    resize(400, 300);
    m_editor->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Apply | QDialogButtonBox::Close, this);
    connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, this,
        &EditStyleSheetDialog::writeStyleSheet);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::close);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_editor);
    layout->addWidget(buttons);

    if (target)
        connect(target, &QObject::destroyed, this, &QDialog::close);
    readStyleSheet();
}

void EditStyleSheetDialog::readStyleSheet()
{
    if (m_target)
        m_editor->setPlainText(m_target->styleSheet());
}

void EditStyleSheetDialog::writeStyleSheet()
{
    if (m_target)
        m_target->setStyleSheet(m_editor->toPlainText());
}
