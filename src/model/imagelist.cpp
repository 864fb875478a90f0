#include "imagelist.h"

#include "model/document.h"

ImageList::ImageList(Document *document, QObject *parent)
    : QAbstractListModel(parent)
    , DocumentPart(document)
{
}

int ImageList::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : count();
}

QVariant ImageList::data(const QModelIndex &, int) const
{
    return QVariant();
}
