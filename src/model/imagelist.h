#pragma once

#include <QAbstractListModel>
#include <QList>
#include <QSharedPointer>

#include "model/documentpart.h"

class ImageSource;

// The photos of a document in strip order.
class ImageList : public QAbstractListModel, public DocumentPart
{
    Q_OBJECT

public:
    explicit ImageList(Document *document, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    int count() const { return int(m_items.size()); }
    QSharedPointer<ImageSource> at(int row) const { return m_items.at(row); }
    const QList<QSharedPointer<ImageSource>> &items() const { return m_items; }

private:
    QList<QSharedPointer<ImageSource>> m_items;
};
