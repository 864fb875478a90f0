#include "modalanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>

ModalAnswerer::ModalAnswerer()
{
    m_timer.setInterval(10);
    connect(&m_timer, &QTimer::timeout, this, &ModalAnswerer::poll);
    m_timer.start();
}

void ModalAnswerer::enqueue(const Answer &answer)
{
    m_answers.append(answer);
}

void ModalAnswerer::clickButton(int standardButton)
{
    enqueue([standardButton](QWidget *dialog) {
        auto *box = qobject_cast<QMessageBox *>(dialog);
        QAbstractButton *button
            = box ? box->button(QMessageBox::StandardButton(standardButton)) : nullptr;
        if (button)
            button->click();
        else
            dialog->close();
    });
}

void ModalAnswerer::chooseFile(const QString &path)
{
    enqueue([path](QWidget *dialog) {
        auto *files = qobject_cast<QFileDialog *>(dialog);
        if (!files || path.isEmpty()) {
            dialog->close();
            return;
        }
        // Typed as a user would: the dialog's own selection follows its
        // folder listing, which fills in later.
        if (auto *edit = files->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
            edit->setText(path);
        else
            files->selectFile(path);
        // accept() is protected; the dialog's own slot is reached by name.
        QMetaObject::invokeMethod(files, "accept");
    });
}

void ModalAnswerer::poll()
{
    QWidget *dialog = QApplication::activeModalWidget();
    if (!dialog || dialog == m_last || !dialog->isVisible())
        return;
    m_last = dialog;
    auto *box = qobject_cast<QMessageBox *>(dialog);
    m_seen << dialog->windowTitle() + QLatin1Char('|') + (box ? box->text() : QString());
    // A dialog nobody expected is closed, so the test fails instead of hanging.
    const Answer answer
        = m_answers.isEmpty() ? Answer([](QWidget *d) { d->close(); }) : m_answers.takeFirst();
    // Answer from a fresh event so that the dialog's own exec() is running.
    QTimer::singleShot(0, dialog, [answer, dialog] { answer(dialog); });
}
