#pragma once

#include <QDate>
#include <QDialog>
#include <QPixmap>

class QLabel;
class QPushButton;
class QTextBrowser;
class UpdateChecker;

// "Update available!": what is new, how old the running version is, and
// the choice to install, be reminded later or skip this version.
class UpdateDialog : public QDialog
{
    Q_OBJECT

public:
    UpdateDialog(const QPixmap &icon, UpdateChecker *checker, QWidget *parent = nullptr);

    // "%n years", "%n months" or "%n days" since `released`; empty when the
    // date is unknown or less than 15 days ago.
    static QString releasePeriod(const QDate &released, const QDate &today);
    // The release notes of the checker's entries, newest first, as HTML.
    static QString releaseNotes(const QList<QVariantMap> &updates);

public Q_SLOTS:
    void on_skipButton_clicked();
    void on_latterButton_clicked();
    void on_installButton_clicked();
    void setError(const QString &text);

private:
    void buildWidgets(const QPixmap &icon);
    void fillPlaceholders();

    UpdateChecker *m_checker;
    QLabel *m_headers[4] = {};
    QLabel *m_labelError = nullptr;
    QTextBrowser *m_textBrowser = nullptr;
    QPushButton *m_skipButton = nullptr;
    QPushButton *m_installButton = nullptr;
};
