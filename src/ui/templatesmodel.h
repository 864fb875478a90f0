#pragma once

#include <QAbstractListModel>
#include <QIcon>
#include <QList>
#include <QSharedPointer>

#include "model/pagesize.h"

class Document;
class Template;

// Every template of every theme kind, each with a preview of its look on
// the current page. Previews are made in short batches on the GUI thread
// and kept as PNG files in the user's cache folder, so that reopening the
// chooser on the same page loads them instead of drawing them again.
class TemplatesModel : public QAbstractListModel
{
    Q_OBJECT
    Q_PROPERTY(PageSize currentPageSize READ currentPageSize WRITE setCurrentPageSize NOTIFY
            currentPageSizeChanged)

public:
    // The preview edge in pixels and the version of the preview drawing;
    // both are part of the cache file name.
    static constexpr int PreviewSize = 256;
    static constexpr int PreviewVersion = 1;

    TemplatesModel(Document *document, QObject *parent = nullptr);
    // A model over the given templates instead of the registered ones.
    TemplatesModel(const QList<QSharedPointer<Template>> &templates, QObject *parent = nullptr);
    ~TemplatesModel() override;

    int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    QSharedPointer<Template> templateAt(int row) const;
    PageSize currentPageSize() const { return m_currentPageSize; }
    // The previews finished since the last reset.
    int previewsDone() const { return m_done; }

    void startPreviews();
    void resetPreviews();
    // Where the preview of row is cached; empty when it is not cached.
    QString previewPath(int row) const;

public Q_SLOTS:
    void setCurrentPageSize(const PageSize &pageSize);
    void generateNext();

Q_SIGNALS:
    void currentPageSizeChanged(const PageSize &pageSize);
    void previewProgress(int done, int total);

private:
    void scheduleNext();
    QPixmap loadOrRender(int row);

    QList<QSharedPointer<Template>> m_templates;
    PageSize m_currentPageSize;
    QList<QIcon> m_icons;
    QIcon m_placeholder;
    QList<int> m_queue;
    int m_done = 0;
    bool m_scheduled = false;
    bool m_started = false;
};
