#include "photodropitempropertieslist.h"

#include "model/rowmove.h"
#include "themes/photodrop/photodropitemproperties.h"

PhotoDropItemPropertiesList::PhotoDropItemPropertiesList(QObject *parent)
    : QAbstractListModel(parent)
{
}

PhotoDropItemPropertiesList::~PhotoDropItemPropertiesList() = default;

int PhotoDropItemPropertiesList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant PhotoDropItemPropertiesList::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= count())
        return QVariant();
    const Item &item = m_items.at(index.row());
    if (role == Qt::DisplayRole)
        return item->objectName();
    if (role == ItemRole)
        return QVariant::fromValue(static_cast<QObject *>(item.data()));
    return QVariant();
}

int PhotoDropItemPropertiesList::indexOf(const PhotoDropItemProperties *item) const
{
    for (int row = 0; row < count(); ++row) {
        if (m_items.at(row).data() == item)
            return row;
    }
    return -1;
}

bool PhotoDropItemPropertiesList::insertItem(int row, const Item &item)
{
    if (!item || row < 0 || row > count())
        return false;
    beginInsertRows(QModelIndex(), row, row);
    m_items.insert(row, item);
    endInsertRows();
    return true;
}

bool PhotoDropItemPropertiesList::removeItems(int first, int count)
{
    if (count <= 0 || first < 0 || first + count > this->count())
        return false;
    beginRemoveRows(QModelIndex(), first, first + count - 1);
    m_items.remove(first, count);
    endRemoveRows();
    return true;
}

bool PhotoDropItemPropertiesList::moveItems(int first, int last, int destination)
{
    if (!isValidRowMove(first, last, destination, count())
        || !beginMoveRows(QModelIndex(), first, last, QModelIndex(), destination))
        return false;
    moveListRows(m_items, first, last, destination);
    endMoveRows();
    return true;
}

void PhotoDropItemPropertiesList::clear()
{
    if (m_items.isEmpty())
        return;
    beginResetModel();
    m_items.clear();
    endResetModel();
}
