#include <QApplication>
#include <QIcon>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <QWidget>

#include <functional>

#include "imaging/imagecache.h"
#include "imaging/testphotos.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "ui/futureprogressdialog.h"
#include "undo/undostack.h"

class TestImageList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void insertUrls_data();
    void insertUrls();
    void repaints();
    void removeSelection();
    void dragReorder_data();
    void dragReorder();
    void foreignAndBogusDrops();
    void rotateSelected();
    void readingDialog();
    void cancelReading_data();
    void cancelReading();

private:
    QUrl goodFile(int index);
    QUrl badFile(const QString &kind);
    QList<QUrl> bigBatch();
    QString names(const ImageList *list) const;
    // Fills the list with files a.jpg, b.jpg, ... without undo steps.
    void fill(Document &document, int count);
    // Calls `action(dialog)` on the reading dialog while a job runs, until
    // it returns true.
    void whileReading(const std::function<bool(FutureProgressDialog *)> &action);

    QTemporaryDir m_dir;
    QTimer m_poll;
};

void TestImageList::initTestCase()
{
    QVERIFY(m_dir.isValid());
}

void TestImageList::init()
{
    ImageCache::instance()->clear();
    m_poll.stop();
    m_poll.disconnect();
}

QUrl TestImageList::goodFile(int index)
{
    const QString path = m_dir.filePath(QStringLiteral("%1.jpg").arg(QChar('a' + index)));
    if (!QFile::exists(path)) {
        QImage image(48, 32, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((index * 47) % 360, 200, 200));
        TestPhotos::writeFile(path, TestPhotos::encode(image, "jpeg", 90));
    }
    return QUrl::fromLocalFile(path);
}

QUrl TestImageList::badFile(const QString &kind)
{
    const QString path = m_dir.filePath(QStringLiteral("bad-%1").arg(kind));
    const QByteArray jpeg = TestPhotos::encode(TestPhotos::photoLike(QSize(300, 200)), "jpeg", 90);
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

QList<QUrl> TestImageList::bigBatch()
{
    // Forty copies of a 1600 x 1200 photo: long enough to cancel halfway.
    static QByteArray jpeg;
    if (jpeg.isEmpty())
        jpeg = TestPhotos::encode(TestPhotos::photoLike(QSize(1600, 1200)), "jpeg", 90);
    QList<QUrl> urls;
    for (int i = 0; i < 40; ++i) {
        const QString path = m_dir.filePath(QStringLiteral("batch-%1.jpg").arg(i, 2, 10, QChar('0')));
        if (!QFile::exists(path))
            TestPhotos::writeFile(path, jpeg);
        urls << QUrl::fromLocalFile(path);
    }
    return urls;
}

QString TestImageList::names(const ImageList *list) const
{
    QString result;
    for (int row = 0; row < list->rowCount(); ++row)
        result += list->index(row).data().toString().left(1);
    return result;
}

void TestImageList::fill(Document &document, int count)
{
    QList<QUrl> urls;
    for (int i = 0; i < count; ++i)
        urls << goodFile(i);
    QVERIFY(document.imageList()->insertUrls(0, urls, false));
    if (document.undoStack())
        document.undoStack()->clear();
}

void TestImageList::whileReading(const std::function<bool(FutureProgressDialog *)> &action)
{
    m_poll.disconnect();
    m_poll.setInterval(1);
    connect(&m_poll, &QTimer::timeout, this, [this, action] {
        const QWidgetList windows = QApplication::topLevelWidgets(); // dialogs with a parent too
        for (QWidget *window : windows) {
            auto *dialog = qobject_cast<FutureProgressDialog *>(window);
            if (dialog && action(dialog)) {
                m_poll.stop();
                return;
            }
        }
    });
    m_poll.start();
}

void TestImageList::insertUrls_data()
{
    QTest::addColumn<QStringList>("batch"); // "good" or a bad kind
    QTest::addColumn<int>("inserted");
    QTest::addColumn<bool>("dropped"); // as files dragged in (with a move action) or added

    QTest::newRow("one of three is not an image")
        << QStringList { "good", "text", "good" } << 2 << false;
    QTest::newRow("every kind of bad file, dropped")
        << QStringList { "missing", "good", "truncated", "text", "huge", "good" } << 2 << true;
    QTest::newRow("nothing readable") << QStringList { "missing", "text", "huge" } << 0 << false;
}

void TestImageList::insertUrls()
{
    QFETCH(QStringList, batch);
    QFETCH(int, inserted);
    QFETCH(bool, dropped);

    Document document(true);
    fill(document, 2);
    ImageList *list = document.imageList();
    UndoStack *stack = document.undoStack();
    QList<QUrl> urls;
    QList<QUrl> goodUrls;
    for (const QString &kind : batch) {
        const bool good = kind == QLatin1String("good");
        urls << (good ? goodFile(10 + goodUrls.size()) : badFile(kind));
        if (good)
            goodUrls << urls.last();
    }
    // Out of range rows insert nothing.
    QVERIFY(!list->insertUrls(-1, urls, false));
    QVERIFY(!list->insertUrls(3, urls, false));

    QSignalSpy inserts(list, &QAbstractItemModel::rowsInserted);
    QMimeData files;
    files.setUrls(urls);
    QCOMPARE(dropped ? list->dropMimeData(&files, Qt::MoveAction, 1, 0, QModelIndex())
                     : list->insertUrls(1, urls, true),
             inserted > 0);
    QCOMPARE(list->count(), 2 + inserted);
    QCOMPARE(stack->count(), inserted > 0 ? 1 : 0);
    QCOMPARE(inserts.count(), inserted > 0 ? 1 : 0);
    if (inserted == 0)
        return;
    // One step, one row insertion, in the order given.
    QCOMPARE(stack->text(0), QStringLiteral("Inserting %1 images").arg(inserted));
    QCOMPARE(inserts.first().at(2).toInt(), inserted);
    for (int i = 0; i < inserted; ++i) {
        QCOMPARE(list->at(1 + i)->source(), goodUrls.at(i));
        QCOMPARE(list->at(1 + i)->state(), ImageSource::Ready);
    }
    const QSharedPointer<ImageSource> firstNew = list->at(1);
    stack->undo();
    QCOMPARE(names(list), QStringLiteral("ab"));
    stack->redo();
    QCOMPARE(list->at(1), firstNew); // the same sources come back
    // The new sources record their own edits in the document.
    list->at(1)->rotate90(1);
    QCOMPARE(stack->count(), 2);
}

void TestImageList::repaints()
{
    Document document(true);
    fill(document, 3);
    ImageList *list = document.imageList();
    QCOMPARE(list->index(0).data(Qt::UserRole).toUrl(), goodFile(0));
    QVERIFY(!list->index(0).data(Qt::DecorationRole).value<QIcon>().pixmap(QSize(32, 32)).isNull());

    // A change of a source repaints its row.
    QSignalSpy changed(list, &QAbstractItemModel::dataChanged);
    list->at(2)->rotate90(1);
    Q_EMIT list->at(1)->drawQualityIncrized();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.at(0).first().toModelIndex().row(), 2);
    QCOMPARE(changed.at(1).first().toModelIndex().row(), 1);

    // A removed source no longer reaches the list, until it is back.
    const QSharedPointer<ImageSource> removed = list->at(0);
    QVERIFY(list->removeRows(0, 1));
    changed.clear();
    Q_EMIT removed->sizeChanged(QSize());
    Q_EMIT removed->drawQualityIncrized();
    QCOMPARE(changed.count(), 0);
    document.undoStack()->undo();
    changed.clear();
    Q_EMIT removed->drawQualityIncrized();
    QCOMPARE(changed.count(), 1);
}

void TestImageList::removeSelection()
{
    Document document(true);
    fill(document, 6);
    ImageList *list = document.imageList();
    UndoStack *stack = document.undoStack();
    QVERIFY(!list->removeRows(5, 2));
    QVERIFY(!list->removeRows(-1, 1));
    QVERIFY(!list->moveItems(5, 6, 0));
    QVERIFY(!list->moveItems(1, 2, 3)); // onto itself
    QVERIFY(list->removeSelection(QItemSelection()));
    QCOMPARE(stack->count(), 0);

    QItemSelection selection;
    selection.select(list->index(0), list->index(1));
    selection.select(list->index(3), list->index(3));
    selection.select(list->index(5), list->index(5));
    QSignalSpy removals(list, &QAbstractItemModel::rowsRemoved);
    QVERIFY(list->removeSelection(selection));
    QCOMPARE(names(list), QStringLiteral("ce"));
    QCOMPARE(removals.count(), 3); // one per run, the last run first
    QCOMPARE(removals.at(0).at(1).toInt(), 5);
    QCOMPARE(removals.at(2).at(1).toInt(), 0);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Removing 4 images"));
    stack->undo();
    QCOMPARE(names(list), QStringLiteral("abcdef"));
    stack->redo();
    QCOMPARE(names(list), QStringLiteral("ce"));
}

void TestImageList::dragReorder_data()
{
    QTest::addColumn<QList<int>>("dragged");
    QTest::addColumn<int>("dropRow");
    QTest::addColumn<QString>("expected");

    QTest::newRow("rows 0 and 2 onto row 2") << QList<int> { 0, 2 } << 2 << QStringLiteral("bacde");
    QTest::newRow("rows 1 and 3 to the end")
        << QList<int> { 3, 1 } << -1 << QStringLiteral("acebd");
    QTest::newRow("around the drop row") << QList<int> { 0, 4 } << 2 << QStringLiteral("baecd");
    QTest::newRow("already together") << QList<int> { 1, 2 } << 3 << QStringLiteral("abcde");
}

void TestImageList::dragReorder()
{
    QFETCH(QList<int>, dragged);
    QFETCH(int, dropRow);
    QFETCH(QString, expected);

    Document document(true);
    fill(document, 5);
    ImageList *list = document.imageList();
    UndoStack *stack = document.undoStack();
    const int steps = expected == QLatin1String("abcde") ? 0 : 1;

    QModelIndexList indexes;
    for (int row : dragged)
        indexes << list->index(row);
    std::unique_ptr<QMimeData> data(list->mimeData(indexes));
    QVERIFY(!data->hasUrls());
    QVERIFY(list->canDropMimeData(data.get(), Qt::MoveAction, dropRow, 0, QModelIndex()));
    QVERIFY(list->dropMimeData(data.get(), Qt::MoveAction, dropRow, 0, QModelIndex()));
    QCOMPARE(names(list), expected);
    QCOMPARE(stack->count(), steps);

    // The view then asks to remove the dragged rows: nothing is removed.
    QCOMPARE(list->pendingMoveRemovals(), int(dragged.size()));
    for (int row : dragged)
        QVERIFY(list->removeRows(row, 1));
    QCOMPARE(list->pendingMoveRemovals(), 0);
    QCOMPARE(names(list), expected);
    QCOMPARE(stack->count(), steps);

    // The reorder undoes in one step, and removal works again afterwards.
    if (steps) {
        stack->undo();
        QCOMPARE(names(list), QStringLiteral("abcde"));
    }
    QVERIFY(list->removeRows(0, 1));
    QCOMPARE(list->count(), 4);
}

void TestImageList::foreignAndBogusDrops()
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
    QVERIFY(source->sourceFromMimeData(nullptr).isNull());

    // Rows of another list are neither moved nor copied here.
    QVERIFY(target->sourceFromMimeData(one.get()).isNull());
    QVERIFY(!target->canDropMimeData(one.get(), Qt::MoveAction, 1, 0, QModelIndex()));
    QVERIFY(!target->dropMimeData(one.get(), Qt::MoveAction, 1, 0, QModelIndex()));
    QVERIFY(!target->dropMimeData(one.get(), Qt::CopyAction, 1, 0, QModelIndex()));
    QVERIFY(!target->dropMimeData(one.get(), Qt::MoveAction, 0, 0, target->index(0)));
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

void TestImageList::rotateSelected()
{
    Document document(true);
    fill(document, 3);
    ImageList *list = document.imageList();
    UndoStack *stack = document.undoStack();
    list->rotateSelected(QItemSelection(), 1);
    QCOMPARE(stack->count(), 0);

    // Several photos turn in one step; one photo turned twice in a row is
    // one step back to where it was.
    QItemSelection two;
    two.select(list->index(0), list->index(1));
    list->rotateSelected(two, 1);
    QCOMPARE(stack->text(0), QStringLiteral("Rotating 2 images"));
    QItemSelection one;
    one.select(list->index(2), list->index(2));
    list->rotateSelected(one, 1);
    list->rotateSelected(one, 1);
    QCOMPARE(stack->count(), 2);
    QCOMPARE(stack->text(1), QStringLiteral("Rotating image"));
    QCOMPARE(list->at(1)->rotation() + list->at(2)->rotation(), 3);
    stack->undo();
    stack->undo();
    QCOMPARE(list->at(0)->rotation() + list->at(1)->rotation() + list->at(2)->rotation(), 0);
}

void TestImageList::readingDialog()
{
    // Without a window and without a way to cancel: application-modal,
    // disabled and without a close button.
    Document document(true);
    ImageList *list = document.imageList();
    QString label;
    bool enabled = true;
    Qt::WindowModality modality = Qt::NonModal;
    Qt::WindowFlags flags = Qt::WindowCloseButtonHint;
    whileReading([&](FutureProgressDialog *dialog) {
        label = dialog->labelText();
        enabled = dialog->isEnabled();
        modality = dialog->windowModality();
        flags = dialog->windowFlags();
        return true;
    });
    const QList<QUrl> urls = bigBatch();
    QVERIFY(list->insertUrls(0, urls, false));
    QCOMPARE(list->count(), urls.size());
    QCOMPARE(label, QStringLiteral("Reading files..."));
    QVERIFY(!enabled);
    QCOMPARE(modality, Qt::ApplicationModal);
    QVERIFY(!(flags & Qt::WindowCloseButtonHint));
}

void TestImageList::cancelReading_data()
{
    QTest::addColumn<bool>("readAll");
    QTest::newRow("adding files") << false;
    QTest::newRow("reading an opened document") << true;
}

void TestImageList::cancelReading()
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

    ImageCache *cache = ImageCache::instance();
    Qt::WindowModality modality = Qt::NonModal;
    whileReading([&](FutureProgressDialog *dialog) {
        modality = dialog->windowModality();
        // Cancel as soon as the first files are in.
        if (!cache->contains(urls.first()) && !cache->contains(urls.at(1)))
            return false;
        if (auto *cancel = dialog->findChild<QPushButton *>())
            cancel->click();
        return true;
    });
    QVERIFY(readAll ? !reading->readAllFiles(true) : !list->insertUrls(1, urls, true));
    QVERIFY(!m_poll.isActive());
    QCOMPARE(modality, Qt::WindowModal);
    QCOMPARE(reading->count(), readAll ? urls.size() : 2);

    // The list and the undo stack are untouched; the cache holds whole
    // entries for the files read before the cancel and nothing else.
    QCOMPARE(names(list), QStringLiteral("ab"));
    QCOMPARE(document.undoStack()->count(), 0);
    qint64 bytes = 0;
    int batchCached = 0;
    for (const QUrl &url : cache->cachedUrls()) {
        const ImageCache::CacheEntry entry = *cache->entry(url);
        bytes += entry.sizeInBytes();
        if (!urls.contains(url))
            continue;
        ++batchCached;
        QCOMPARE(entry.fullSize, QSize(1600, 1200));
        QCOMPARE(entry.levels.size(), 2);
    }
    QVERIFY(batchCached > 0);
    QVERIFY2(batchCached < urls.size(), "the reading stopped early");
    QCOMPARE(cache->totalBytes(), bytes);

    // A second attempt reads the rest and inserts everything.
    QVERIFY(list->insertUrls(1, urls, false));
    QCOMPARE(list->count(), 2 + urls.size());
    QCOMPARE(cache->cachedUrls().size(), urls.size() + 2);
}

QTEST_MAIN(TestImageList)
#include "tst_imagelist.moc"
