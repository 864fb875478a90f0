#pragma once

#include <QDateTime>
#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

class Document;
class QLockFile;
class QWidget;

// Recovery copies of collages with unsaved changes, so that a crash costs
// at most about a minute of work.
//
// Each running instance keeps its copies in a folder of its own under the
// recovery folder, marked by a lock file it holds while it runs. A clean
// close or a save removes a document's copy; a clean exit removes the
// folder. At the next start the folders whose owner is gone (its lock is
// stale: the process no longer runs) hold what a crash left behind; those
// of a still running instance are never touched.
//
//   <application data>/recovery/
//       {instance}/instance.lock      held while the instance runs
//       {instance}/{copy}.tsq         the collage as last written
//       {instance}/{copy}.json        its original path and time
class RecoveryManager : public QObject
{
    Q_OBJECT

public:
    // A copy left by an instance that is gone.
    struct Recovered
    {
        QString copyPath;
        // Where the collage was saved before; empty for a new collage.
        QString originalPath;
        QDateTime savedAt;
    };

    using OpenFunction
        = std::function<void(std::unique_ptr<Document> document, const QString &originalPath)>;

    static constexpr int defaultInterval = 60000;

    explicit RecoveryManager(const QString &folder = defaultFolder(), QObject *parent = nullptr);
    // A clean exit: every copy of this instance goes.
    ~RecoveryManager() override;

    static QString defaultFolder();
    QString instanceFolder() const { return m_instanceFolder; }

    // Keeps copies of `document` while it has unsaved changes. The
    // document must have an undo stack; `originalPath` is its file (empty
    // while it has none).
    void watch(Document *document, const QString &originalPath);
    void setOriginalPath(Document *document, const QString &originalPath);
    // The document was closed cleanly (saved or changes thrown away).
    void unwatch(Document *document);
    // The copy kept for `document`; empty when there is none.
    QString copyPath(Document *document) const;

    int interval() const { return m_timer.interval(); }
    void setInterval(int milliseconds);
    // Writes a copy of every watched document changed since its last copy
    // that is not saved. Runs on the timer; returns false when a copy could
    // not be written (the older copy, if any, is kept).
    bool writeCopies();

    // The copies that instances gone without a clean exit left behind. The
    // folders found are claimed, so a second instance starting now does not
    // offer them too.
    QList<Recovered> orphans();
    // Opens a copy as a modified, unsaved document; its copy from now on
    // belongs to this instance. Null with `errorText` when it cannot be read.
    std::unique_ptr<Document> recover(const Recovered &recovered, QString *errorText = nullptr);
    void discard(const Recovered &recovered);

    // At start: asks about each orphan ("Recover" or "Discard") and hands
    // every recovered document to `open`. Returns how many were recovered.
    int offerRecoveries(QWidget *parent, const OpenFunction &open);

private:
    struct Watched
    {
        QString originalPath;
        QString id;
        bool changed = false;
    };

    void documentChanged(Document *document);
    bool writeCopy(Document *document, Watched &watched);
    void removeCopy(const QString &id);
    void releaseEmptyClaims();
    QString copyFile(const QString &id, const QString &suffix) const;

    QString m_folder;
    QString m_instanceFolder;
    std::unique_ptr<QLockFile> m_lock;
    // Folders of gone instances claimed by orphans(), by folder.
    QHash<QString, std::shared_ptr<QLockFile>> m_claims;
    QHash<Document *, Watched> m_watched;
    QTimer m_timer;
};
