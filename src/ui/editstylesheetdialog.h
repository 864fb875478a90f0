#pragma once

#include <QDialog>
#include <QPointer>

class QPlainTextEdit;

// A developer's window onto a widget's style sheet: it shows the sheet,
// Apply puts the edited text into effect, and it closes with the widget.
class EditStyleSheetDialog : public QDialog
{
    Q_OBJECT

public:
    explicit EditStyleSheetDialog(QWidget *target);

    QPlainTextEdit *editor() const { return m_editor; }

public Q_SLOTS:
    void readStyleSheet();
    void writeStyleSheet();

private:
    QPointer<QWidget> m_target;
    QPlainTextEdit *m_editor;
};
