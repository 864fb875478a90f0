#pragma once

#include <QDialog>

// The about box: program name, version, what it is for, and the licences
// of the libraries the program is built on.
class AboutDialog : public QDialog
{
    Q_OBJECT

public:
    explicit AboutDialog(QWidget *parent = nullptr);

    // The rich text shown in the box.
    static QString aboutText();
};
