#pragma once

#include <QDialog>

// The small "Checking for update..." note shown while a check runs.
class UpdateInfoDialog : public QDialog
{
    Q_OBJECT

public:
    explicit UpdateInfoDialog(QWidget *parent = nullptr);
};
