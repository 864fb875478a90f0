#include "pagesizemodel.h"

#include "model/pagesizepresets.h"

namespace {

bool sameSize(const QSizeF &a, const QSizeF &b)
{
    return qFuzzyCompare(a.width(), b.width()) && qFuzzyCompare(a.height(), b.height());
}

bool samePage(const PageSize &a, const PageSize &b, bool rotated)
{
    const QSizeF size = rotated ? b.size().transposed() : b.size();
    return a.units() == b.units() && a.name() == b.name() && sameSize(a.size(), size);
}

} // namespace

PageSizeModel::PageSizeModel(QObject *parent)
    : QAbstractListModel(parent)
    , m_pageSizes(PageSizePresets::builtIn())
{
    m_pageSizes.append(PageSize());
}

int PageSizeModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_pageSizes.size());
}

QVariant PageSizeModel::data(const QModelIndex &index, int role) const
{
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= m_pageSizes.size())
        return QVariant();
    if (!isCustomEntry(index.row()))
        return m_pageSizes.at(index.row()).displayName();
    if (m_customPageSize.units() == PageSize::None)
        return tr("Custom page...");
    return tr("Custom (%1) ...").arg(m_customPageSize.displayName());
}

PageSize PageSizeModel::pageSize(int row) const
{
    return m_pageSizes.value(row);
}

bool PageSizeModel::isCustomEntry(int row) const
{
    return row >= 0 && row < m_pageSizes.size() && m_pageSizes.at(row).units() == PageSize::None;
}

void PageSizeModel::insertPageSize(int row, const PageSize &pageSize)
{
    row = qBound(0, row, int(m_pageSizes.size()));
    beginInsertRows(QModelIndex(), row, row);
    m_pageSizes.insert(row, pageSize);
    endInsertRows();
}

void PageSizeModel::setCustomPageSize(const PageSize &pageSize)
{
    m_customPageSize = pageSize;
    for (int row = 0; row < m_pageSizes.size(); ++row) {
        if (isCustomEntry(row))
            Q_EMIT dataChanged(index(row), index(row), { Qt::DisplayRole });
    }
}

int PageSizeModel::indexOfPageSize(const PageSize &pageSize)
{
    for (bool rotated : { false, true }) {
        for (int row = 0; row < m_pageSizes.size(); ++row) {
            if (!isCustomEntry(row) && samePage(m_pageSizes.at(row), pageSize, rotated))
                return row;
        }
    }
    m_customPageSize = pageSize;
    for (int row = int(m_pageSizes.size()) - 1; row >= 0; --row) {
        if (isCustomEntry(row)) {
            Q_EMIT dataChanged(index(row), index(row), { Qt::DisplayRole });
            return row;
        }
    }
    return -1;
}
