#pragma once

#include <QDialog>
#include <QModelIndex>
#include <QScopedPointer>

#include "model/pagesize.h"

class QComboBox;
class QDialogButtonBox;
class QGridLayout;
class QLabel;
class QListView;
class QProgressBar;
class QSlider;
class QToolButton;
class Document;
class PageSizeModel;
class TemplatesModel;
class Theme;

// The template chooser: a page size and a gallery of every template
// previewed on it. A new collage starts here, and "Change theme..." opens
// it on the collage being edited.
class TemplatesDialog : public QDialog
{
    Q_OBJECT
    Q_PROPERTY(PageSize currentPageSize READ currentPageSize WRITE setCurrentPageSize NOTIFY
            currentPageSizeChanged)

public:
    // Without a document the previews show five sample photos.
    TemplatesDialog(QWidget *parent, Document *document);
    ~TemplatesDialog() override;

    PageSize currentPageSize() const { return m_currentPageSize; }
    // The chosen template's theme for document; null when none is chosen.
    Theme *createSelectedTheme(Document *document);
    // The chosen template's name; empty when none is chosen.
    QString selectedTemplateName() const;

    PageSizeModel *pageSizeModel() const { return m_pageSizeModel; }
    TemplatesModel *templatesModel() const { return m_templatesModel; }

public Q_SLOTS:
    void setCurrentPageSize(const PageSize &pageSize);
    void swapCurrentPageOrientation();
    void on_pageSizeComboBox_activated(int row);
    void on_iconSizeSlider_valueChanged(int value);
    void currentIndexChanged(const QModelIndex &current, const QModelIndex &previous);
    void on_buttonBox_accepted();

Q_SIGNALS:
    void currentPageSizeChanged(const PageSize &pageSize);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void createWidgets();
    void configureListView();
    void adjustWidthForColumns(int columns);
    void previewProgress(int done, int total);
    int selectedRow() const;

    PageSizeModel *m_pageSizeModel = nullptr;
    PageSize m_currentPageSize;
    int m_orientation = -1;
    bool m_shownOnce = false;
    QScopedPointer<Document> m_sampleDocument;
    Document *m_document = nullptr;
    TemplatesModel *m_templatesModel = nullptr;

    QGridLayout *m_gridLayout = nullptr;
    QComboBox *m_pageSizeComboBox = nullptr;
    QToolButton *m_albumToolButton = nullptr;
    QToolButton *m_landscapeToolButton = nullptr;
    QSlider *m_iconSizeSlider = nullptr;
    QListView *m_listView = nullptr;
    QProgressBar *m_progressBar = nullptr;
    QDialogButtonBox *m_buttonBox = nullptr;
};
