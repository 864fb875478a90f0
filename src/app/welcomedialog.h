#pragma once

#include <QDialog>
#include <QItemSelection>

class QCheckBox;
class QComboBox;
class QDialogButtonBox;
class QGroupBox;
class QLabel;
class QListView;
class QStandardItemModel;
class WelcomeLinkButton;

// The start page: new collage, open collage, our web site, the recent
// collages, the interface language and whether to show this page at start.
class WelcomeDialog : public QDialog
{
    Q_OBJECT

public:
    explicit WelcomeDialog(QWidget *parent = nullptr);

    static QUrl webSiteUrl();

public Q_SLOTS:
    void updateRecents();
    void on_newButton_clicked();
    void openFile(const QString &path);
    void on_checkBox_clicked(bool checked);
    void on_listView_activated(const QModelIndex &index);
    void selectionChanged(const QItemSelection &selected, const QItemSelection &deselected);
    void openSelected();
    void on_openButton_3_clicked();
    void on_openButton_2_clicked();
    void initLanguageBox();
    void onLanguageChanged();
    void changeEvent(QEvent *e) override;
    void _adjustSize();

private:
    void buildForm();
    void retranslate();
    void applyStyleSheet();
    void adjustSizeLater();
    QPushButton *openButton() const;

    QLabel *m_pictureLabel = nullptr;
    QLabel *m_welcomeLabel = nullptr;
    QLabel *m_versionLabel = nullptr;
    WelcomeLinkButton *m_newButton = nullptr;
    WelcomeLinkButton *m_openButton = nullptr;
    WelcomeLinkButton *m_siteButton = nullptr;
    QLabel *m_languageLabel = nullptr;
    QComboBox *m_languageComboBox = nullptr;
    QGroupBox *m_recentsBox = nullptr;
    QListView *m_listView = nullptr;
    QCheckBox *m_checkBox = nullptr;
    QDialogButtonBox *m_buttonBox = nullptr;
    QStandardItemModel *m_recentsModel = nullptr;
    // Which variant of the style sheet is on: none yet, light or dark.
    bool m_styled = false;
    bool m_darkStyle = false;
};
