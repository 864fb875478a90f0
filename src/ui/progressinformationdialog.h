#pragma once

#include <QDialog>

class QLabel;
class QProgressBar;

// A small wait dialog with a busy indicator, shown while the GUI thread does
// a long piece of work. It has no cancel: the caller makes it window-modal,
// shows it, works and destroys it.
class ProgressInformationDialog : public QDialog
{
    Q_OBJECT

public:
    ProgressInformationDialog(const QString &title, const QString &text, QWidget *parent = nullptr);
    ~ProgressInformationDialog() override;

    QString text() const;
    void setText(const QString &text);

private:
    QLabel *m_information;
    QProgressBar *m_progressBar;
};
