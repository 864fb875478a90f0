#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QSharedPointer>

class PhotoDropItemProperties;

// The photos of a Photo Drop pile as a list model. Row order is stacking
// order: row 0 lies at the bottom.
class PhotoDropItemPropertiesList : public QAbstractListModel
{
    Q_OBJECT

public:
    using Item = QSharedPointer<PhotoDropItemProperties>;

    // The item's QObject address as an object pointer under this role.
    static constexpr int ItemRole = Qt::UserRole;

    explicit PhotoDropItemPropertiesList(QObject *parent = nullptr);
    ~PhotoDropItemPropertiesList() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    int count() const { return int(m_items.size()); }
    Item at(int row) const { return m_items.at(row); }
    const QList<Item> &items() const { return m_items; }
    // The row of the item, or -1.
    int indexOf(const PhotoDropItemProperties *item) const;

    // Out-of-range requests change nothing and return false.
    bool insertItem(int row, const Item &item);
    bool removeItems(int first, int count);
    // Moves rows first..last to stand before row destination, as the
    // model's row moves count it.
    bool moveItems(int first, int last, int destination);
    void clear();

private:
    QList<Item> m_items;
};
