#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include "imaging/imagecache.h"
#include "imaging/testphotos.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/missingphotos.h"
#include "model/rowmove.h"
#include "ui/futureprogressdialog.h"
#include "undo/undostack.h"

class TestImageList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        // The editing program's wait: a progress dialog that can cancel.
        FutureProgressDialog::installImageListHook();
    }

    void init() { ImageCache::instance()->clear(); }

    void insertUrls()
    {
        Document document(true);
        fill(document, 2);
        ImageList *list = document.imageList();
        UndoStack *stack = document.undoStack();
        QVERIFY(!list->insertUrls(3, { goodFile(10) }, false)); // out of range
        // Nothing readable: nothing inserted, no step.
        QVERIFY(
            !list->insertUrls(1, { badFile("missing"), badFile("text"), badFile("huge") }, true));
        QCOMPARE(stack->count(), 0);

        // Files dragged in: the bad ones are skipped, the rest go in one step,
        // in the order given.
        const QList<QUrl> urls { badFile("missing"), goodFile(10), badFile("truncated"),
            badFile("text"), badFile("huge"), goodFile(11) };
        QMimeData files;
        files.setUrls(urls);
        QVERIFY(list->dropMimeData(&files, Qt::MoveAction, 1, 0, QModelIndex()));
        QCOMPARE(names(list), QStringLiteral("aklb"));
        QCOMPARE(stack->count(), 1);
        const QSharedPointer<ImageSource> firstNew = list->at(1);
        stack->undo();
        QCOMPARE(names(list), QStringLiteral("ab"));
        stack->redo();
        QCOMPARE(list->at(1), firstNew); // the same sources come back
        // The new sources record their own edits in the document.
        list->at(1)->rotate90(1);
        QCOMPARE(stack->count(), 2);
    }

    void removeSelection()
    {
        Document document(true);
        fill(document, 6);
        ImageList *list = document.imageList();
        UndoStack *stack = document.undoStack();
        QVERIFY(!list->removeRows(5, 2));
        QVERIFY(!list->moveItems(1, 2, 3)); // onto itself

        QItemSelection selection;
        selection.select(list->index(0), list->index(1));
        selection.select(list->index(3), list->index(3));
        selection.select(list->index(5), list->index(5));
        QVERIFY(list->removeSelection(selection));
        QCOMPARE(names(list), QStringLiteral("ce"));
        QCOMPARE(stack->count(), 1);
        stack->undo();
        QCOMPARE(names(list), QStringLiteral("abcdef"));
        stack->redo();
        QCOMPARE(names(list), QStringLiteral("ce"));

        // Turning several photos is one step too.
        list->rotateSelected(QItemSelection(), 1);
        QCOMPARE(stack->count(), 1);
        QItemSelection both;
        both.select(list->index(0), list->index(1));
        list->rotateSelected(both, 1);
        QCOMPARE(stack->text(1), QStringLiteral("Rotating 2 images"));
        QCOMPARE(list->at(0)->rotation() + list->at(1)->rotation(), 2);
        stack->undo();
        QCOMPARE(list->at(0)->rotation() + list->at(1)->rotation(), 0);
    }

    void rowMoves_data()
    {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("last");
        QTest::addColumn<int>("destination");
        QTest::addColumn<QString>("expected"); // empty: refused, list unchanged

        QTest::newRow("block down") << 1 << 2 << 4 << "ADBCE";
        QTest::newRow("block up") << 3 << 4 << 0 << "DEABC";
        QTest::newRow("onto itself") << 1 << 2 << 1 << "";
        QTest::newRow("right after itself") << 1 << 2 << 3 << "";
        QTest::newRow("last past the end") << 3 << 5 << 0 << "";
        QTest::newRow("negative first") << -1 << 1 << 4 << "";
        QTest::newRow("reversed block") << 2 << 1 << 4 << "";
        QTest::newRow("destination past the end") << 0 << 0 << 6 << "";
    }

    // The row moves the lists make when photos are dragged.
    void rowMoves()
    {
        QFETCH(int, first);
        QFETCH(int, last);
        QFETCH(int, destination);
        QFETCH(QString, expected);

        QList<QChar> rows { 'A', 'B', 'C', 'D', 'E' };
        QCOMPARE(isValidRowMove(first, last, destination, int(rows.size())), !expected.isEmpty());
        QCOMPARE(moveListRows(rows, first, last, destination), !expected.isEmpty());
        const QString result(rows.constData(), rows.size());
        QCOMPARE(result, expected.isEmpty() ? QStringLiteral("ABCDE") : expected);
    }

    void dragReorder_data()
    {
        QTest::addColumn<QList<int>>("dragged");
        QTest::addColumn<int>("dropRow");
        QTest::addColumn<QString>("expected");

        QTest::newRow("rows 1 and 3 to the end")
            << QList<int> { 3, 1 } << -1 << QStringLiteral("acebd");
        QTest::newRow("around the drop row") << QList<int> { 0, 4 } << 2 << QStringLiteral("baecd");
    }

    void dragReorder()
    {
        QFETCH(QList<int>, dragged);
        QFETCH(int, dropRow);
        QFETCH(QString, expected);

        Document document(true);
        fill(document, 5);
        ImageList *list = document.imageList();
        UndoStack *stack = document.undoStack();

        QModelIndexList indexes;
        for (int row : dragged)
            indexes << list->index(row);
        std::unique_ptr<QMimeData> data(list->mimeData(indexes));
        QVERIFY(list->dropMimeData(data.get(), Qt::MoveAction, dropRow, 0, QModelIndex()));

        // The view then asks to remove the dragged rows: nothing is removed.
        QCOMPARE(list->pendingMoveRemovals(), int(dragged.size()));
        for (int row : dragged)
            QVERIFY(list->removeRows(row, 1));
        QCOMPARE(names(list), expected);
        QCOMPARE(stack->count(), 1);

        // The reorder undoes in one step, and removal works again afterwards.
        stack->undo();
        QCOMPARE(names(list), QStringLiteral("abcde"));
        QVERIFY(list->removeRows(0, 1));
        QCOMPARE(list->count(), 4);
    }

    void foreignAndBogusDrops()
    {
        Document first(true);
        Document second(true);
        fill(first, 3);
        fill(second, 3);
        ImageList *source = first.imageList();
        ImageList *target = second.imageList();
        std::unique_ptr<QMimeData> one(source->mimeData({ source->index(2) }));
        std::unique_ptr<QMimeData> two(
            source->mimeData({ source->index(0), QModelIndex(), source->index(1) }));
        QCOMPARE(source->sourceFromMimeData(one.get()), source->at(2));
        QVERIFY(source->sourceFromMimeData(two.get()).isNull());

        // Rows of another list are neither moved nor copied here.
        QVERIFY(!target->dropMimeData(one.get(), Qt::MoveAction, 1, 0, QModelIndex()));
        QVERIFY(!target->dropMimeData(one.get(), Qt::CopyAction, 1, 0, QModelIndex()));
        QCOMPARE(target->pendingMoveRemovals(), 0);

        // Damaged data is read as no rows at all, and plain text is no file.
        QMimeData damaged;
        damaged.setData(source->mimeFormat(), two->data(source->mimeFormat()).left(10));
        QVERIFY(!source->dropMimeData(&damaged, Qt::MoveAction, 0, 0, QModelIndex()));
        QMimeData text;
        text.setText(QStringLiteral("no files"));
        QVERIFY(!target->dropMimeData(&text, Qt::CopyAction, 0, 0, QModelIndex()));
        QCOMPARE(names(source), QStringLiteral("abc"));
        QCOMPARE(names(target), QStringLiteral("abc"));
        QCOMPARE(first.undoStack()->count() + second.undoStack()->count(), 0);
    }

    void cancelReading_data()
    {
        QTest::addColumn<bool>("readAll");
        QTest::newRow("adding files") << false;
        QTest::newRow("reading an opened document") << true;
    }

    void cancelReading()
    {
        QFETCH(bool, readAll);

        const QList<QUrl> urls = bigBatch();
        // A document whose photos are not read yet: sources made without the
        // cache, as reading a file makes them.
        std::unique_ptr<Document> opened;
        if (readAll) {
            opened.reset(new Document(false));
            QVERIFY(opened->imageList()->insertUrls(0, urls, false));
            ImageCache::instance()->clear();
        }
        Document document(true);
        fill(document, 2);
        ImageList *list = document.imageList();
        QWidget window;
        ImageList *reading = readAll ? opened->imageList() : list;
        reading->setDialogParent(&window);

        // Cancel the reading dialog as soon as the first files are in.
        ImageCache *cache = ImageCache::instance();
        QTimer poll;
        connect(&poll, &QTimer::timeout, this, [&] {
            auto *dialog = window.findChild<FutureProgressDialog *>();
            if (dialog && (cache->contains(urls.first()) || cache->contains(urls.at(1)))) {
                dialog->findChild<QPushButton *>()->click();
                poll.stop();
            }
        });
        poll.start(1);
        QVERIFY(readAll ? !reading->readAllFiles(true) : !list->insertUrls(1, urls, true));
        QVERIFY(!poll.isActive());
        QCOMPARE(reading->count(), readAll ? urls.size() : 2);

        // The list and the undo stack are untouched; the cache holds whole
        // entries for the files read before the cancel and nothing else.
        QCOMPARE(names(list), QStringLiteral("ab"));
        QCOMPARE(document.undoStack()->count(), 0);
        qint64 bytes = 0;
        int batchCached = 0;
        for (const QUrl &url : cache->cachedUrls()) {
            bytes += cache->entry(url)->sizeInBytes();
            batchCached += urls.contains(url) && cache->entry(url)->levels.size() == 2;
        }
        QVERIFY(batchCached > 0);
        QVERIFY2(batchCached < urls.size(), "the reading stopped early");
        QCOMPARE(cache->totalBytes(), bytes);

        // A second attempt reads the rest and inserts everything.
        QVERIFY(list->insertUrls(1, urls, false));
        QCOMPARE(list->count(), 2 + urls.size());
        QCOMPARE(cache->cachedUrls().size(), urls.size() + 2);
    }

    void waitHook()
    {
        // Without a hook (the command line) the reading waits plainly: no
        // dialog, the same result.
        ImageList::setWaitHook(nullptr);
        Document document(true);
        ImageList *list = document.imageList();
        QVERIFY(list->insertUrls(0, { goodFile(0), badFile("text"), goodFile(1) }, true));
        QCOMPARE(list->count(), 2);

        // An installed hook is asked with the list's dialog parent.
        QWidget window;
        list->setDialogParent(&window);
        QList<QPair<QWidget *, bool>> calls;
        ImageList::setWaitHook(
            [&calls](const QFuture<void> &job, QWidget *parent, bool interactive) {
                calls.append({ parent, interactive });
                QFuture<void>(job).waitForFinished();
            });
        QVERIFY(list->readAllFiles(false));
        QCOMPARE(calls, (QList<QPair<QWidget *, bool>> { { &window, false } }));
        FutureProgressDialog::installImageListHook();
    }

    // Photos whose files moved are found again in one step; photos that
    // are not missing, or not found, stay as they are.
    void movedFolderIsRelinkedInOneStep()
    {
        // Two photos share a name in different folders, as two cameras' would.
        const QStringList names { "trip/rome/IMG_1.jpg", "trip/paris/IMG_1.jpg", "trip/b.jpg",
            "trip/lost.jpg", "kept.jpg" };
        QList<QUrl> urls;
        for (int i = 0; i < names.size(); ++i)
            urls.append(QUrl::fromLocalFile(makePhoto(names[i], i + 1)));
        makePhoto("backup/kept.jpg", 5);
        Document document(true);
        ImageList *list = document.imageList();
        QVERIFY(list->insertUrls(0, urls, false));
        UndoStack *stack = document.undoStack();
        const int steps = stack->count();

        QVERIFY(QDir().mkpath(m_dir.filePath("backup/2019")));
        QVERIFY(QDir().rename(m_dir.filePath("trip"), m_dir.filePath("backup/2019/trip")));
        QVERIFY(QFile::remove(m_dir.filePath("backup/2019/trip/lost.jpg")));
        QCOMPARE(MissingPhotos::find(list).size(), 4);
        QCOMPARE(MissingPhotos::relink(list, m_dir.filePath("nowhere")), 0);
        QCOMPARE(MissingPhotos::relink(list, m_dir.filePath("backup")), 3);
        QCOMPARE(paths(MissingPhotos::find(list)), QList<QString> { urls[3].toLocalFile() });
        QCOMPARE(stack->count(), steps + 1);
        for (int i = 0; i < 3; ++i)
            QCOMPARE(
                list->at(i)->source().toLocalFile(), m_dir.filePath("backup/2019/" + names[i]));
        QCOMPARE(list->at(4)->source(), urls[4]);
        // Nothing more to find there: no empty undo step either.
        QCOMPARE(MissingPhotos::relink(list, m_dir.filePath("backup")), 0);
        QCOMPARE(stack->count(), steps + 1);

        stack->undo();
        QCOMPARE(MissingPhotos::find(list).size(), 4);
        QCOMPARE(list->at(1)->source(), urls[1]);
        stack->redo();
        QCOMPARE(MissingPhotos::find(list).size(), 1);
    }

    void bestCandidate_data()
    {
        QTest::addColumn<QString>("lastPath");
        QTest::addColumn<QStringList>("candidates");
        QTest::addColumn<QString>("expected");

        const QString a = makePhoto("pick/2019/rome/x.jpg", 1);
        const QString b = makePhoto("pick/2020/rome/x.jpg", 2, QSize(50, 30));
        const QString c = makePhoto("pick/misc/x.jpg", 3);
        const QString copy1 = makePhoto("pick/one/y.jpg", 4);
        const QString copy2 = makePhoto("pick/two/y.jpg", 4);
        QTest::newRow("none") << "/old/x.jpg" << QStringList() << QString();
        QTest::newRow("the only one") << "/old/x.jpg" << QStringList { c } << c;
        QTest::newRow("matching folder") << "/home/ann/misc/x.jpg" << QStringList { a, b, c } << c;
        QTest::newRow("more matching folders")
            << "/media/card/2020/rome/x.jpg" << QStringList { a, b, c } << b;
        QTest::newRow("a guess is refused")
            << "/media/card/rome/x.jpg" << QStringList { a, b } << QString();
        QTest::newRow("copies of one file")
            << "/old/y.jpg" << QStringList { copy1, copy2 } << copy1;
    }

    void bestCandidate()
    {
        QFETCH(QString, lastPath);
        QFETCH(QStringList, candidates);
        QFETCH(QString, expected);
        QCOMPARE(MissingPhotos::bestCandidate(lastPath, candidates), expected);
    }

private:
    QUrl goodFile(int index)
    {
        return QUrl::fromLocalFile(
            makePhoto(QStringLiteral("%1.jpg").arg(QChar('a' + index)), index));
    }

    QString makePhoto(const QString &relativePath, int seed, const QSize &size = QSize(40, 30))
    {
        const QString path = m_dir.filePath(relativePath);
        QDir().mkpath(QFileInfo(path).path());
        if (!TestPhotos::writeFile(
                path, TestPhotos::encode(TestPhotos::photoLike(size, quint32(seed)), "jpeg", 80)))
            return QString();
        return path;
    }

    QUrl badFile(const QString &kind)
    {
        const QString path = m_dir.filePath(QStringLiteral("bad-%1").arg(kind));
        const QByteArray jpeg
            = TestPhotos::encode(TestPhotos::photoLike(QSize(300, 200)), "jpeg", 90);
        if (kind == QLatin1String("missing"))
            QFile::remove(path);
        else if (kind == QLatin1String("truncated"))
            TestPhotos::writeFile(path, jpeg.left(jpeg.size() * 2 / 3));
        else if (kind == QLatin1String("text"))
            TestPhotos::writeFile(path, "just some words\n");
        else if (kind == QLatin1String("huge"))
            TestPhotos::writeFile(path, TestPhotos::pngDeclaring(QSize(50000, 50000)));
        return QUrl::fromLocalFile(path);
    }

    QList<QUrl> bigBatch()
    {
        // Forty copies of a 1600 x 1200 photo: long enough to cancel halfway.
        static QByteArray jpeg;
        if (jpeg.isEmpty())
            jpeg = TestPhotos::encode(TestPhotos::photoLike(QSize(1600, 1200)), "jpeg", 90);
        QList<QUrl> urls;
        for (int i = 0; i < 40; ++i) {
            const QString path
                = m_dir.filePath(QStringLiteral("batch-%1.jpg").arg(i, 2, 10, QChar('0')));
            if (!QFile::exists(path))
                TestPhotos::writeFile(path, jpeg);
            urls << QUrl::fromLocalFile(path);
        }
        return urls;
    }

    QString names(const ImageList *list) const
    {
        QString result;
        for (int row = 0; row < list->rowCount(); ++row)
            result += list->index(row).data().toString().left(1);
        return result;
    }

    // Fills the list with files a.jpg, b.jpg, ... without undo steps.
    void fill(Document &document, int count)
    {
        QList<QUrl> urls;
        for (int i = 0; i < count; ++i)
            urls << goodFile(i);
        QVERIFY(document.imageList()->insertUrls(0, urls, false));
        if (document.undoStack())
            document.undoStack()->clear();
    }

    QList<QString> paths(const QList<QSharedPointer<ImageSource>> &sources) const
    {
        QList<QString> result;
        for (const auto &source : sources)
            result.append(source->source().toLocalFile());
        return result;
    }

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestImageList)
#include "tst_imagelist.moc"
