#pragma once

#include <QAbstractListModel>
#include <QList>

#include "model/pagesize.h"

// The page sizes offered by the template chooser: the built-in presets,
// any the user saved while the chooser is open, and a closing entry that
// opens the page-setup dialog ("Custom page...").
class PageSizeModel : public QAbstractListModel
{
    Q_OBJECT

public:
    explicit PageSizeModel(QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    // The entry at row; the closing entry has unit PageSize::None.
    PageSize pageSize(int row) const;
    bool isCustomEntry(int row) const;
    PageSize customPageSize() const { return m_customPageSize; }

    void insertPageSize(int row, const PageSize &pageSize);
    void setCustomPageSize(const PageSize &pageSize);
    // The row showing pageSize, also in its rotated form; a size matching
    // no entry becomes the custom page size and its row is returned.
    int indexOfPageSize(const PageSize &pageSize);

private:
    QList<PageSize> m_pageSizes;
    PageSize m_customPageSize;
};
