#pragma once

#include <QFuture>
#include <QItemSelection>
#include <QList>
#include <QPointer>
#include <QSharedPointer>
#include <QStringList>
#include <QUrl>

#include <functional>
#include <optional>

#include "model/imagesource.h"
#include "model/modellistbase.h"

class QUndoCommand;
class QWidget;

// The photos of a document in strip order, as a list model for the photo
// strip: thumbnails, dragging files in, reordering by drag and drop,
// removing and rotating, every change undoable.
//
// Adding files reads them into the ImageCache first, in the background
// under a progress dialog; only files that decode become image sources.
class ImageList : public ModelListBase<QSharedPointer<ImageSource>>
{
    Q_OBJECT

public:
    using Item = QSharedPointer<ImageSource>;

    explicit ImageList(Document *document, QObject *parent = nullptr);
    ~ImageList() override;

    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;
    Qt::DropActions supportedDropActions() const override;
    QStringList mimeTypes() const override;
    QMimeData *mimeData(const QModelIndexList &indexes) const override;
    bool dropMimeData(const QMimeData *data, Qt::DropAction action, int row, int column,
        const QModelIndex &parent) override;
    // Removes rows as one undo step; right after an internal move-drop it
    // ignores the view's request to remove the rows it dragged.
    bool removeRows(int row, int count, const QModelIndex &parent = QModelIndex()) override;

    // Reads `urls` into the cache under the progress dialog and inserts the
    // readable ones at `row` in one undo step. False when `row` is out of
    // range, the reading was cancelled, or no file could be read. A
    // non-interactive reading cannot be cancelled.
    bool insertUrls(int row, const QList<QUrl> &urls, bool interactive);
    // Reads the files of every item (after a document was opened); false
    // when the reading was cancelled.
    bool readAllFiles(bool interactive);
    bool removeSelection(const QItemSelection &selection);
    // Moves rows first..last before row `destination` as one undo step;
    // false for a move that is out of range or changes nothing.
    bool moveItems(int first, int last, int destination);

    QModelIndex indexOf(const QSharedPointer<ImageSource> &source) const;
    // The source of the single row dragged from this very list, else null.
    QSharedPointer<ImageSource> sourceFromMimeData(const QMimeData *data) const;

    // The MIME format of rows dragged from this list; other lists do not
    // recognise it.
    QString mimeFormat() const;

    // How the list waits for its background reading. The editing program
    // installs a progress dialog that keeps the windows painting and can
    // cancel the job; without a hook (the command line) the list simply
    // blocks until the job ends. A non-interactive wait cannot cancel.
    using WaitHook
        = std::function<void(const QFuture<void> &job, QWidget *dialogParent, bool interactive)>;
    static void setWaitHook(WaitHook hook);

    // Parent of the progress dialogs; without one they are application-modal.
    QWidget *dialogParent() const;
    void setDialogParent(QWidget *parent);

    int pendingMoveRemovals() const { return m_pendingMoveRemovals; }

public Q_SLOTS:
    void rotateSelected(const QItemSelection &selection, int turns);

private Q_SLOTS:
    void _sourceSizeChanged();
    void _drawQualityIncrized();

protected:
    void itemAdded(const Item &item) override;
    void itemRemoved(const Item &item) override;

private:
    // The background reading under the dialog: the readable files in order,
    // or nothing when it was cancelled.
    std::optional<QList<QUrl>> readFiles(const QList<QUrl> &urls, bool interactive);
    QList<int> rowsFromMimeData(const QMimeData *data) const;
    void emitRowChanged(QObject *source);
    void pushOrRun(QUndoCommand *command);

    int m_pendingMoveRemovals = 0;
    QPointer<QWidget> m_dialogParent;
};
