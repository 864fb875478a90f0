#include <QApplication>
#include <QDataStream>
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

namespace {

void cancelLikeTheUser(QProgressDialog *dialog)
{
    auto *button = dialog->findChild<QPushButton *>();
    QVERIFY(button);
    button->click();
}

} // namespace

class TestImageList : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();

    void insertUrls_data();
    void insertUrls();
    void insertOutOfRange();
    void insertWithoutUndoStack();
    void roles();
    void repaintOnSourceChanges();
    void removeRows();
    void removeSelection();
    void moveItems_data();
    void moveItems();
    void dragReorder_data();
    void dragReorder();
    void dropFromAnotherList();
    void dropFiles();
    void mimeData();
    void sourceFromMimeData();
    void rotateSelected();
    void indexOf();
    void readingDialog_data();
    void readingDialog();
    void cancelReading_data();
    void cancelReading();

private:
    QUrl goodFile(int index);
    QUrl badFile(const QString &kind);
    QList<QUrl> bigBatch();
    QStringList names(const ImageList *list) const;
    // Fills the list with files a.jpg, b.jpg, ... without undo steps.
    void fill(Document &document, int count);
    // Calls `action(dialog)` on the reading dialog while a job runs.
    void whileReading(ImageList *list, QWidget *parent,
                      const std::function<bool(FutureProgressDialog *)> &action);

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

QStringList TestImageList::names(const ImageList *list) const
{
    QStringList result;
    for (int row = 0; row < list->rowCount(); ++row)
        result << list->index(row).data().toString().left(1);
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

void TestImageList::whileReading(ImageList *list, QWidget *parent,
                                 const std::function<bool(FutureProgressDialog *)> &action)
{
    Q_UNUSED(list)
    m_poll.disconnect();
    m_poll.setInterval(1);
    connect(&m_poll, &QTimer::timeout, this, [this, parent, action] {
        auto *dialog = parent ? parent->findChild<FutureProgressDialog *>()
                              : qobject_cast<FutureProgressDialog *>(QApplication::activeModalWidget());
        if (!dialog) {
            const QWidgetList widgets = QApplication::topLevelWidgets();
            for (QWidget *widget : widgets) {
                if ((dialog = qobject_cast<FutureProgressDialog *>(widget)))
                    break;
            }
        }
        if (dialog && action(dialog))
            m_poll.stop();
    });
    m_poll.start();
}

// ---------------------------------------------------------------------------

void TestImageList::insertUrls_data()
{
    QTest::addColumn<QStringList>("batch"); // "good" or a bad kind
    QTest::addColumn<int>("inserted");

    QTest::newRow("three good") << QStringList { "good", "good", "good" } << 3;
    QTest::newRow("one of three is not an image") << QStringList { "good", "text", "good" } << 2;
    QTest::newRow("every kind of bad file")
        << QStringList { "missing", "good", "truncated", "text", "huge", "good" } << 2;
    QTest::newRow("nothing readable") << QStringList { "missing", "text", "huge" } << 0;
    QTest::newRow("nothing at all") << QStringList {} << 0;
}

void TestImageList::insertUrls()
{
    QFETCH(QStringList, batch);
    QFETCH(int, inserted);

    Document document(true);
    fill(document, 2);
    ImageList *list = document.imageList();
    UndoStack *stack = document.undoStack();

    QList<QUrl> urls;
    QList<QUrl> goodUrls;
    int good = 10;
    for (const QString &kind : batch) {
        urls << (kind == QLatin1String("good") ? goodFile(good++) : badFile(kind));
        if (kind == QLatin1String("good"))
            goodUrls << urls.last();
    }
    QSignalSpy inserts(list, &QAbstractItemModel::rowsInserted);
    const bool result = list->insertUrls(1, urls, true);
    QCOMPARE(result, inserted > 0);
    QCOMPARE(list->count(), 2 + inserted);
    if (inserted == 0) {
        QCOMPARE(stack->count(), 0);
        QCOMPARE(inserts.count(), 0);
        return;
    }
    // One step, one row insertion, in the order given.
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Inserting %1 images").arg(inserted));
    QCOMPARE(inserts.count(), 1);
    QCOMPARE(inserts.first().at(1).toInt(), 1);
    QCOMPARE(inserts.first().at(2).toInt(), inserted);
    for (int i = 0; i < inserted; ++i) {
        QCOMPARE(list->at(1 + i)->source(), goodUrls.at(i));
        QCOMPARE(list->at(1 + i)->document(), &document);
        QCOMPARE(list->at(1 + i)->state(), ImageSource::Ready);
    }
    const QSharedPointer<ImageSource> firstNew = list->at(1);
    QCOMPARE(names(list).first(), QStringLiteral("a"));
    QCOMPARE(names(list).last(), QStringLiteral("b"));

    stack->undo();
    QCOMPARE(list->count(), 2);
    QCOMPARE(names(list), (QStringList { "a", "b" }));
    stack->redo();
    QCOMPARE(list->count(), 2 + inserted);
    QCOMPARE(list->at(1), firstNew); // the same sources come back

    // The new sources record their own edits in the document.
    list->at(1)->rotate90(1);
    QCOMPARE(stack->count(), 2);
}

void TestImageList::insertOutOfRange()
{
    Document document(true);
    fill(document, 2);
    ImageList *list = document.imageList();
    QVERIFY(!list->insertUrls(-1, { goodFile(5) }, false));
    QVERIFY(!list->insertUrls(3, { goodFile(5) }, false));
    QVERIFY(list->insertUrls(2, { goodFile(5) }, false));
    QCOMPARE(names(list), (QStringList { "a", "b", "f" }));
}

void TestImageList::insertWithoutUndoStack()
{
    Document document(false);
    ImageList *list = document.imageList();
    QVERIFY(list->insertUrls(0, { goodFile(0), goodFile(1) }, false));
    QCOMPARE(list->count(), 2);
    QVERIFY(list->removeRows(0, 1));
    QCOMPARE(names(list), QStringList { "b" });
    QVERIFY(list->moveItems(0, 0, 1) == false); // a move onto itself changes nothing
}

void TestImageList::roles()
{
    Document document(true);
    fill(document, 2);
    ImageList *list = document.imageList();
    const QModelIndex first = list->index(0);
    QCOMPARE(first.data(Qt::DisplayRole).toString(), QStringLiteral("a.jpg"));
    QCOMPARE(first.data(Qt::UserRole).toUrl(), goodFile(0));
    const QIcon icon = first.data(Qt::DecorationRole).value<QIcon>();
    QVERIFY(!icon.pixmap(QSize(32, 32)).isNull());
    QVERIFY(!first.data(Qt::ToolTipRole).isValid());
    QVERIFY(!list->index(0).sibling(5, 0).isValid());
    QCOMPARE(list->rowCount(first), 0);

    QVERIFY(list->flags(first) & Qt::ItemIsDragEnabled);
    QVERIFY(!(list->flags(first) & Qt::ItemIsDropEnabled));
    QVERIFY(list->flags(QModelIndex()) & Qt::ItemIsDropEnabled);
    QCOMPARE(list->supportedDropActions(), Qt::CopyAction | Qt::MoveAction);
    QCOMPARE(list->mimeTypes(),
             (QStringList { QStringLiteral("text/uri-list"),
                            QStringLiteral("application/image-source-list/%1").arg(quintptr(list)) }));
}

void TestImageList::repaintOnSourceChanges()
{
    Document document(true);
    fill(document, 3);
    ImageList *list = document.imageList();
    QSignalSpy changed(list, &QAbstractItemModel::dataChanged);
    list->at(2)->rotate90(1);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.first().first().toModelIndex().row(), 2);
    Q_EMIT list->at(1)->drawQualityIncrized();
    QCOMPARE(changed.count(), 2);
    QCOMPARE(changed.last().first().toModelIndex().row(), 1);

    // A removed source no longer reaches the list.
    const QSharedPointer<ImageSource> removed = list->at(0);
    QVERIFY(list->removeRows(0, 1));
    changed.clear();
    Q_EMIT removed->sizeChanged(QSize());
    Q_EMIT removed->drawQualityIncrized();
    QCOMPARE(changed.count(), 0);
    document.undoStack()->undo(); // back in the list, connected again
    changed.clear();
    Q_EMIT removed->drawQualityIncrized();
    QCOMPARE(changed.count(), 1);
}

void TestImageList::removeRows()
{
    Document document(true);
    fill(document, 5);
    ImageList *list = document.imageList();
    UndoStack *stack = document.undoStack();
    QVERIFY(!list->removeRows(4, 2));
    QVERIFY(!list->removeRows(-1, 1));
    QCOMPARE(stack->count(), 0);
    QVERIFY(list->removeRows(1, 2));
    QCOMPARE(names(list), (QStringList { "a", "d", "e" }));
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Removing 2 images"));
    stack->undo();
    QCOMPARE(names(list), (QStringList { "a", "b", "c", "d", "e" }));
}

void TestImageList::removeSelection()
{
    Document document(true);
    fill(document, 6);
    ImageList *list = document.imageList();
    UndoStack *stack = document.undoStack();
    QVERIFY(list->removeSelection(QItemSelection()));
    QCOMPARE(stack->count(), 0);

    QItemSelection selection;
    selection.select(list->index(0), list->index(1));
    selection.select(list->index(3), list->index(3));
    selection.select(list->index(5), list->index(5));
    QSignalSpy removals(list, &QAbstractItemModel::rowsRemoved);
    QVERIFY(list->removeSelection(selection));
    QCOMPARE(names(list), (QStringList { "c", "e" }));
    QCOMPARE(removals.count(), 3); // one per run, the last run first
    QCOMPARE(removals.at(0).at(1).toInt(), 5);
    QCOMPARE(removals.at(2).at(1).toInt(), 0);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Removing 4 images"));
    stack->undo();
    QCOMPARE(names(list), (QStringList { "a", "b", "c", "d", "e", "f" }));
    stack->redo();
    QCOMPARE(names(list), (QStringList { "c", "e" }));
}

void TestImageList::moveItems_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("destination");
    QTest::addColumn<QString>("expected");

    QTest::newRow("one row up") << 3 << 3 << 1 << QStringLiteral("adbce");
    QTest::newRow("one row down") << 0 << 0 << 2 << QStringLiteral("bacde");
    QTest::newRow("block to the end") << 1 << 2 << 5 << QStringLiteral("adebc");
    QTest::newRow("block to the front") << 3 << 4 << 0 << QStringLiteral("deabc");
    QTest::newRow("onto itself") << 1 << 2 << 3 << QStringLiteral("abcde");
    QTest::newRow("out of range") << 4 << 5 << 0 << QStringLiteral("abcde");
}

void TestImageList::moveItems()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, destination);
    QFETCH(QString, expected);

    Document document(true);
    fill(document, 5);
    ImageList *list = document.imageList();
    UndoStack *stack = document.undoStack();
    const bool moves = expected != QLatin1String("abcde");
    QSignalSpy moved(list, &QAbstractItemModel::rowsMoved);
    QCOMPARE(list->moveItems(first, last, destination), moves);
    QCOMPARE(names(list).join(QString()), expected);
    QCOMPARE(stack->count(), moves ? 1 : 0);
    QCOMPARE(moved.count(), moves ? 1 : 0);
    if (moves) {
        stack->undo();
        QCOMPARE(names(list).join(QString()), QStringLiteral("abcde"));
        stack->redo();
        QCOMPARE(names(list).join(QString()), expected);
    }
}

void TestImageList::dragReorder_data()
{
    QTest::addColumn<QList<int>>("dragged");
    QTest::addColumn<int>("dropRow");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("steps");

    QTest::newRow("rows 0 and 2 onto row 2") << QList<int> { 0, 2 } << 2 << QStringLiteral("bacde") << 1;
    QTest::newRow("rows 0 and 1 before the last") << QList<int> { 0, 1 } << 4 << QStringLiteral("cdabe") << 1;
    QTest::newRow("rows 3 and 4 onto row 1") << QList<int> { 3, 4 } << 1 << QStringLiteral("adebc") << 1;
    QTest::newRow("rows 1 and 3 to the end") << QList<int> { 3, 1 } << -1 << QStringLiteral("acebd") << 1;
    QTest::newRow("around the drop row") << QList<int> { 0, 4 } << 2 << QStringLiteral("baecd") << 1;
    QTest::newRow("last row to the front") << QList<int> { 4 } << 0 << QStringLiteral("eabcd") << 1;
    QTest::newRow("onto itself") << QList<int> { 2 } << 2 << QStringLiteral("abcde") << 0;
    QTest::newRow("already together") << QList<int> { 1, 2 } << 3 << QStringLiteral("abcde") << 0;
}

void TestImageList::dragReorder()
{
    QFETCH(QList<int>, dragged);
    QFETCH(int, dropRow);
    QFETCH(QString, expected);
    QFETCH(int, steps);

    Document document(true);
    fill(document, 5);
    ImageList *list = document.imageList();
    UndoStack *stack = document.undoStack();

    QModelIndexList indexes;
    for (int row : dragged)
        indexes << list->index(row);
    std::unique_ptr<QMimeData> data(list->mimeData(indexes));
    QVERIFY(list->canDropMimeData(data.get(), Qt::MoveAction, dropRow, 0, QModelIndex()));
    QVERIFY(list->dropMimeData(data.get(), Qt::MoveAction, dropRow, 0, QModelIndex()));
    QCOMPARE(names(list).join(QString()), expected);
    QCOMPARE(stack->count(), steps);

    // The view then asks to remove the dragged rows: nothing is removed.
    QCOMPARE(list->pendingMoveRemovals(), int(dragged.size()));
    for (int row : dragged)
        QVERIFY(list->removeRows(row, 1));
    QCOMPARE(list->pendingMoveRemovals(), 0);
    QCOMPARE(names(list).join(QString()), expected);
    QCOMPARE(stack->count(), steps);

    // Afterwards removal works again, and the reorder undoes in one step.
    if (steps) {
        stack->undo();
        QCOMPARE(names(list).join(QString()), QStringLiteral("abcde"));
        stack->redo();
        QCOMPARE(names(list).join(QString()), expected);
    }
    QVERIFY(list->removeRows(0, 1));
    QCOMPARE(list->count(), 4);
}

void TestImageList::dropFromAnotherList()
{
    Document first(true);
    Document second(true);
    fill(first, 3);
    fill(second, 3);
    std::unique_ptr<QMimeData> data(first.imageList()->mimeData({ first.imageList()->index(0) }));
    QVERIFY(!data->hasUrls());
    ImageList *target = second.imageList();
    QVERIFY(!target->canDropMimeData(data.get(), Qt::MoveAction, 1, 0, QModelIndex()));
    QVERIFY(!target->dropMimeData(data.get(), Qt::MoveAction, 1, 0, QModelIndex()));
    QVERIFY(!target->dropMimeData(data.get(), Qt::CopyAction, 1, 0, QModelIndex()));
    QCOMPARE(target->count(), 3);
    QCOMPARE(target->pendingMoveRemovals(), 0);
    QCOMPARE(second.undoStack()->count(), 0);
    QVERIFY(target->dropMimeData(data.get(), Qt::IgnoreAction, 1, 0, QModelIndex()));
    QVERIFY(!target->dropMimeData(data.get(), Qt::MoveAction, 0, 0, target->index(0)));
}

void TestImageList::dropFiles()
{
    Document document(true);
    fill(document, 2);
    ImageList *list = document.imageList();
    QMimeData data;
    data.setUrls({ goodFile(7), badFile(QStringLiteral("text")), goodFile(8) });
    QVERIFY(list->dropMimeData(&data, Qt::CopyAction, -1, 0, QModelIndex()));
    QCOMPARE(names(list), (QStringList { "a", "b", "h", "i" }));
    QCOMPARE(document.undoStack()->count(), 1);
    QCOMPARE(document.undoStack()->text(0), QStringLiteral("Inserting 2 images"));
    // Files dropped with a move action are added too.
    QMimeData moved;
    moved.setUrls({ goodFile(9) });
    QVERIFY(list->dropMimeData(&moved, Qt::MoveAction, 0, 0, QModelIndex()));
    QCOMPARE(names(list).first(), QStringLiteral("j"));
    QMimeData text;
    text.setText(QStringLiteral("no files"));
    QVERIFY(!list->dropMimeData(&text, Qt::CopyAction, 0, 0, QModelIndex()));
}

void TestImageList::mimeData()
{
    Document document(true);
    fill(document, 4);
    ImageList *list = document.imageList();
    std::unique_ptr<QMimeData> data(list->mimeData({ list->index(3), QModelIndex(), list->index(1) }));
    QVERIFY(!data->hasUrls());
    const QString format = QStringLiteral("application/image-source-list/%1").arg(quintptr(list));
    QCOMPARE(list->mimeFormat(), format);
    QVERIFY(data->hasFormat(format));
    QDataStream stream(data->data(format));
    stream.setByteOrder(QDataStream::BigEndian);
    qint64 identity = 0;
    qint32 count = 0;
    qint32 a = -1;
    qint32 b = -1;
    stream >> identity >> count >> a >> b;
    QCOMPARE(identity, qint64(quintptr(list)));
    QCOMPARE(count, 2);
    QCOMPARE(a, 3);
    QCOMPARE(b, 1);
    QVERIFY(stream.atEnd());

    // Damaged data is read as no rows at all.
    QMimeData damaged;
    damaged.setData(format, data->data(format).left(10));
    QVERIFY(!list->dropMimeData(&damaged, Qt::MoveAction, 0, 0, QModelIndex()));
    QCOMPARE(names(list), (QStringList { "a", "b", "c", "d" }));
}

void TestImageList::sourceFromMimeData()
{
    Document document(true);
    Document other(true);
    fill(document, 3);
    fill(other, 3);
    ImageList *list = document.imageList();
    std::unique_ptr<QMimeData> one(list->mimeData({ list->index(2) }));
    std::unique_ptr<QMimeData> two(list->mimeData({ list->index(0), list->index(1) }));
    std::unique_ptr<QMimeData> foreign(other.imageList()->mimeData({ other.imageList()->index(0) }));
    QCOMPARE(list->sourceFromMimeData(one.get()), list->at(2));
    QVERIFY(list->sourceFromMimeData(two.get()).isNull());
    QVERIFY(list->sourceFromMimeData(foreign.get()).isNull());
    QVERIFY(list->sourceFromMimeData(nullptr).isNull());
}

void TestImageList::rotateSelected()
{
    Document document(true);
    fill(document, 3);
    ImageList *list = document.imageList();
    UndoStack *stack = document.undoStack();

    QItemSelection none;
    list->rotateSelected(none, 1);
    QCOMPARE(stack->count(), 0);

    QItemSelection two;
    two.select(list->index(0), list->index(1));
    QSignalSpy changed(list, &QAbstractItemModel::dataChanged);
    list->rotateSelected(two, 1);
    QCOMPARE(list->at(0)->rotation(), 1);
    QCOMPARE(list->at(1)->rotation(), 1);
    QCOMPARE(list->at(2)->rotation(), 0);
    QVERIFY(changed.count() >= 2);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Rotating 2 images"));
    stack->undo();
    QCOMPARE(list->at(0)->rotation(), 0);
    QCOMPARE(list->at(1)->rotation(), 0);
    stack->redo();

    // One photo turned twice in a row: one step back to where it was.
    QItemSelection one;
    one.select(list->index(2), list->index(2));
    list->rotateSelected(one, 1);
    list->rotateSelected(one, 1);
    QCOMPARE(list->at(2)->rotation(), 2);
    QCOMPARE(stack->count(), 2);
    QCOMPARE(stack->text(1), QStringLiteral("Rotating image"));
    stack->undo();
    QCOMPARE(list->at(2)->rotation(), 0);
    QCOMPARE(list->at(0)->rotation(), 1);
}

void TestImageList::indexOf()
{
    Document document(true);
    fill(document, 3);
    ImageList *list = document.imageList();
    QCOMPARE(list->indexOf(list->at(1)).row(), 1);
    QSharedPointer<ImageSource> stranger(new ImageSource);
    QVERIFY(!list->indexOf(stranger).isValid());
    QCOMPARE(list->indexOf(stranger).row(), -1);
}

// ---------------------------------------------------------------------------

void TestImageList::readingDialog_data()
{
    QTest::addColumn<bool>("interactive");
    QTest::addColumn<bool>("withParent");

    QTest::newRow("interactive in a window") << true << true;
    QTest::newRow("not interactive, no window") << false << false;
}

void TestImageList::readingDialog()
{
    QFETCH(bool, interactive);
    QFETCH(bool, withParent);

    Document document(true);
    ImageList *list = document.imageList();
    QWidget window;
    if (withParent)
        list->setDialogParent(&window);
    QString label;
    bool enabled = !interactive;
    Qt::WindowModality modality = Qt::NonModal;
    Qt::WindowFlags flags;
    whileReading(list, withParent ? &window : nullptr, [&](FutureProgressDialog *dialog) {
        label = dialog->labelText();
        enabled = dialog->isEnabled();
        modality = dialog->windowModality();
        flags = dialog->windowFlags();
        return true;
    });
    const QList<QUrl> urls = bigBatch();
    QVERIFY(list->insertUrls(0, urls, interactive));
    QCOMPARE(list->count(), urls.size());
    QCOMPARE(label, QStringLiteral("Reading files..."));
    QCOMPARE(enabled, interactive);
    QCOMPARE(modality, withParent ? Qt::WindowModal : Qt::ApplicationModal);
    if (!interactive)
        QVERIFY(!(flags & Qt::WindowCloseButtonHint));
    QCOMPARE(list->dialogParent(), withParent ? &window : nullptr);
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

    Document document(true);
    fill(document, 2);
    ImageList *list = document.imageList();
    UndoStack *stack = document.undoStack();
    QWidget window;
    list->setDialogParent(&window);
    const QList<QUrl> urls = bigBatch();
    if (readAll) {
        // A document whose photos are not read yet: sources made without
        // the cache, as reading a file makes them.
        Document opened(false);
        QVERIFY(opened.imageList()->insertUrls(0, urls, false));
        ImageCache::instance()->clear();
        ImageList *openedList = opened.imageList();
        openedList->setDialogParent(&window);
        whileReading(openedList, &window, [&](FutureProgressDialog *dialog) {
            if (!ImageCache::instance()->contains(urls.first()) && !ImageCache::instance()->contains(urls.at(1)))
                return false;
            cancelLikeTheUser(dialog);
            return true;
        });
        QVERIFY(!openedList->readAllFiles(true));
        QCOMPARE(openedList->count(), urls.size());
    } else {
        whileReading(list, &window, [&](FutureProgressDialog *dialog) {
            // Cancel as soon as the first files are in.
            if (!ImageCache::instance()->contains(urls.first()) && !ImageCache::instance()->contains(urls.at(1)))
                return false;
            cancelLikeTheUser(dialog);
            return true;
        });
        QVERIFY(!list->insertUrls(1, urls, true));
    }
    QVERIFY(!m_poll.isActive());

    // The list and the undo stack are untouched; the cache holds whole
    // entries for the files read before the cancel and nothing else.
    QCOMPARE(names(list), (QStringList { "a", "b" }));
    QCOMPARE(stack->count(), 0);
    ImageCache *cache = ImageCache::instance();
    const QList<QUrl> cached = cache->cachedUrls();
    qint64 bytes = 0;
    int batchCached = 0;
    for (const QUrl &url : cached) {
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
    if (!readAll) {
        QVERIFY(list->insertUrls(1, urls, false));
        QCOMPARE(list->count(), 2 + urls.size());
        QCOMPARE(cache->cachedUrls().size(), urls.size() + 2);
    }
}

QTEST_MAIN(TestImageList)
#include "tst_imagelist.moc"
