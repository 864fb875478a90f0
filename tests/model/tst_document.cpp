#include <QtTest>

#include <QApplication>
#include <QDir>
#include <QItemSelectionModel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QWidget>

#include "imaging/drawflags.h"
#include "imaging/imagecache.h"
#include "imaging/testphotos.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/missingphotos.h"
#include "model/pagesizepresets.h"
#include "model/rowmove.h"
#include "model/transformedimagesource.h"
#include "support/testtheme.h"
#include "themes/themeregistry.h"
#include "ui/futureprogressdialog.h"
#include "undo/undostack.h"

class TestDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        ThemeRegistry::registerTheme<TestTheme>(
            TestTheme::Id, QIcon(), QStringLiteral("Test"), QStringLiteral(":/none"));
        // The editing program's wait: a progress dialog that can cancel.
        FutureProgressDialog::installImageListHook();
    }

    void init() { ImageCache::instance()->clear(); }

    // The document and its page size

    void pageSize()
    {
        Document document(true);
        const PageSize initial(PageSize::Pixels, QSizeF(300, 300));
        QCOMPARE(document.pageSize(), initial);
        QSignalSpy pageSpy(&document, &Document::pageSizeChanged);

        // A fuzzily equal size is no change, though still an edit of its own.
        document.setPageSize(PageSize(PageSize::Pixels, QSizeF(300, 300 + 1e-12)));
        QCOMPARE(pageSpy.count(), 0);
        const PageSize postcard(PageSize::Centimeters, QSizeF(10, 15), QStringLiteral("Postcard"));
        document.setPageSize(postcard);
        QCOMPARE(document.pageSize(), postcard);
        QCOMPARE(document.undoStack()->count(), 2);
        document.undoStack()->undo();
        document.undoStack()->undo();
        QCOMPARE(document.pageSize(), initial);
        QCOMPARE(pageSpy.count(), 2);
    }

    void themeIdSwapIsOneStep()
    {
        Document document(true);
        QSignalSpy themeSpy(&document, &Document::themeChanged);
        document.setThemeId(TestTheme::Id);
        auto *theme = qobject_cast<TestTheme *>(document.theme());
        QVERIFY(theme);
        QCOMPARE(themeSpy.count(), 1);
        // An id no theme has is kept, without a theme.
        document.setThemeId("com.example.unknown");
        QCOMPARE(document.themeId(), QByteArray("com.example.unknown"));
        QVERIFY(!document.theme());

        UndoStack *stack = document.undoStack();
        QCOMPARE(stack->count(), 2);
        stack->undo();
        QCOMPARE(document.theme(), theme); // the same object comes back, not a new one
        stack->undo();
        QVERIFY(!document.theme());
        QVERIFY(document.themeId().isEmpty());

        // The same id again (without undo stack) changes nothing.
        Document plain(false);
        plain.setThemeId(TestTheme::Id);
        Theme *first = plain.theme();
        const int live = TestTheme::liveCount;
        plain.setThemeId(TestTheme::Id);
        QCOMPARE(plain.theme(), first);
        QCOMPARE(TestTheme::liveCount, live);
    }

    void secondRegistrationIsIgnored()
    {
        ThemeRegistry::registerTheme<TestTheme>(
            TestTheme::Id, QIcon(), QStringLiteral("Other"), QStringLiteral(":/other"));
        QCOMPARE(ThemeRegistry::info(TestTheme::Id).name, QStringLiteral("Test"));
        QVERIFY(!ThemeRegistry::createTheme("com.example.unknown", nullptr));
    }

    void oldThemeLifetime_data()
    {
        QTest::addColumn<bool>("withUndoStack");
        QTest::newRow("edited") << true;
        QTest::newRow("preview") << false;
    }

    void oldThemeLifetime()
    {
        // A replaced theme lives on while an undo step may bring it back.
        QFETCH(bool, withUndoStack);
        Document document(withUndoStack);
        QPointer<Theme> first = ThemeRegistry::createTheme(TestTheme::Id, &document);
        document.setTheme(first);
        document.setTheme(ThemeRegistry::createTheme(TestTheme::Id, &document));
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        QCOMPARE(first.isNull(), !withUndoStack);
    }

    void replacedThemeStopsFollowing()
    {
        Document document(true);
        document.setThemeId(TestTheme::Id);
        auto *first = qobject_cast<TestTheme *>(document.theme());
        document.setTheme(ThemeRegistry::createTheme(TestTheme::Id, &document));
        auto *second = qobject_cast<TestTheme *>(document.theme());
        const int steps = document.undoStack()->count();

        QVERIFY(document.imageList()->insertUrls(
            0, { QUrl::fromLocalFile(QStringLiteral(":/samples/sample1.jpg")) }, false));
        QCOMPARE(second->images.size(), 1);
        document.setPageSize(PageSize(PageSize::Pixels, QSizeF(640, 480)));
        QCOMPARE(first->images.size(), 0);

        // Undo walks back to the moment the first theme left: its items match.
        while (document.undoStack()->count() > steps - 1 && document.undoStack()->canUndo()
            && document.theme() != first)
            document.undoStack()->undo();
        QCOMPARE(document.theme(), first);
        QCOMPARE(document.imageList()->count(), first->images.size());
    }

    void previewCopy()
    {
        // A preview copy shares the images and outlives nothing it shares.
        Document document(true);
        document.setPageSize(PageSize(PageSize::Inches, QSizeF(4, 6), QStringLiteral("4x6")));
        QScopedPointer<Document> copy(document.createPreviewCopy());
        QCOMPARE(copy->imageList(), document.imageList());
        QCOMPARE(copy->pageSize(), document.pageSize());
        QVERIFY(!copy->undoStack());
        copy.reset();
        QCOMPARE(document.imageList()->count(), 0); // still alive after the copy is gone
    }

    void pageSizeValues_data()
    {
        QTest::addColumn<PageSize>("page");
        QTest::addColumn<QSizeF>("pixelsAt300");
        QTest::addColumn<QPointF>("dpiFor1200"); // across and down
        QTest::addColumn<QString>("description");
        QTest::addColumn<QString>("displayName");

        // A size in pixels ignores the resolution, and counts as inches for it.
        QTest::newRow("square px")
            << PageSize(0, QSizeF(100, 100)) << QSizeF(100, 100) << QPointF(12, 12)
            << QStringLiteral("100px Square") << QStringLiteral("100px Square");
        QTest::newRow("inches, named")
            << PageSize(1, QSizeF(8.5, 11), QStringLiteral("Letter")) << QSizeF(2550, 3300)
            << QPointF(1200 / 8.5, 1200 / 11.0) << QStringLiteral("8.5\" x 11\"")
            << QStringLiteral("Letter");
        QTest::newRow("centimeters, shortest format")
            << PageSize(2, QSizeF(10, 15.25)) << QSizeF(10 / 2.54 * 300, 15.25 / 2.54 * 300)
            << QPointF(1200 / (10 / 2.54), 1200 / (15.25 / 2.54))
            << QStringLiteral("10cm x 15.25cm") << QStringLiteral("10cm x 15.25cm");
    }

    void pageSizeValues()
    {
        QFETCH(PageSize, page);
        QFETCH(QSizeF, pixelsAt300);
        QFETCH(QPointF, dpiFor1200);
        QFETCH(QString, description);
        QFETCH(QString, displayName);
        QCOMPARE(page.pixelSize(300), pixelsAt300);
        QCOMPARE(page.dpiForWidth(1200), dpiFor1200.x());
        QCOMPARE(page.dpiForHeight(1200), dpiFor1200.y());
        QCOMPARE(page.description(), description);
        QCOMPARE(page.displayName(), displayName);
    }

    void pageSizeTravelsInVariants()
    {
        const PageSize page(2, QSizeF(10, 15), QStringLiteral("Postcard"));
        QVERIFY(page != PageSize(2, QSizeF(10, 15))); // names compare exactly
        QVERIFY(QMetaType::fromName("PageSize").isValid());
        QVERIFY(PageSize::formatValue(3, -1).isEmpty()); // no such unit
    }

    void findPageSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<PageSize>("expected");

        QTest::newRow("any case") << "  full hd (1080P) " << PageSizePresets::builtIn().at(9);
        QTest::newRow("unnamed by description") << "8\" x 10\"" << PageSize(1, QSizeF(8, 10));
        QTest::newRow("unknown") << "Billboard" << PageSize();
        for (const PageSize &page : PageSizePresets::builtIn())
            QTest::newRow(qPrintable(page.displayName())) << page.displayName() << page;
    }

    void findPageSize()
    {
        QFETCH(QString, name);
        QFETCH(PageSize, expected);
        QCOMPARE(PageSizePresets::find(name), expected);
    }

    // The image list

    void insertUrls()
    {
        Document document(true);
        fill(document, 2);
        ImageList *list = document.imageList();
        UndoStack *stack = document.undoStack();
        QVERIFY(!list->insertUrls(3, { goodFile(10) }, false)); // out of range
        // Nothing readable: nothing inserted, no step.
        QVERIFY(!list->insertUrls(1, { badFile(), badFile(true) }, true));
        QCOMPARE(stack->count(), 0);

        // Files dragged in: the bad ones are skipped, the rest go in one step,
        // in the order given.
        const QList<QUrl> urls { badFile(), goodFile(10), badFile(true), goodFile(11) };
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
        QCOMPARE(stack->count(), 2);
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
        QVERIFY(list->insertUrls(0, { goodFile(0), badFile(), goodFile(1) }, true));
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
        QCOMPARE(MissingPhotos::find(list).size(), 1);
        QCOMPARE(MissingPhotos::find(list).first()->source(), urls[3]);
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

    // An image source without a document is changed at once; with one, a
    // run of changes of one source is one step, and another source starts
    // its own.
    void sourceUndoSteps()
    {
        const QUrl a = writeQuadrants(QStringLiteral("source-a.jpg"), QSize(40, 20));
        const QUrl b = writeQuadrants(QStringLiteral("source-b.jpg"), QSize(40, 20));
        ImageSource source;
        source.setSource(a);
        QCOMPARE(source.state(), ImageSource::Ready);
        source.setRotation(-1); // turns count modulo four
        QCOMPARE(source.rotation(), 3);

        Document document(true);
        UndoStack *stack = document.undoStack();
        source.setDocument(&document);
        source.setSource(b);
        source.setSource(QUrl());
        source.setSource(b);
        source.rotate90(1);
        source.rotate90(-3);
        QCOMPARE(source.rotation(), 1);
        source.setRotation(6);
        QCOMPARE(stack->count(), 2);
        stack->undo();
        QCOMPARE(source.rotation(), 3);
        stack->undo();
        QCOMPARE(source.source(), a);
        stack->redo();
        stack->redo();
        QCOMPARE(source.rotation(), 2);
        ImageSource other(&document);
        other.setSource(a);
        QCOMPARE(stack->count(), 3);
    }

    void imageTransform()
    {
        // A 400 x 300 picture fitted into, and filling, a rectangle.
        const QUrl url = writeQuadrants(QStringLiteral("transform.jpg"), QSize(400, 300));
        ImageSource source;
        source.setSource(url);
        const QRectF picture(0, 0, 400, 300);
        const QTransform fit = source.imageTransform(QRectF(50, 20, 800, 300), Qt::KeepAspectRatio);
        QCOMPARE(fit.mapRect(picture), QRectF(250, 20, 400, 300));
        const QTransform fill
            = source.imageTransform(QRectF(0, 0, 100, 100), Qt::KeepAspectRatioByExpanding);
        QCOMPARE(fill.mapRect(picture), QRectF(-100.0 / 6, 0, 400.0 / 3, 100));
    }

    void drawUpright_data()
    {
        QTest::addColumn<int>("orientation");
        QTest::addColumn<int>("rotation");
        QTest::addColumn<int>("flags");
        QTest::addColumn<bool>("turned"); // a quarter turn clockwise

        QTest::newRow("plain, fast") << 1 << 0 << int(FastDraw) << false;
        QTest::newRow("turned once by the user") << 1 << 1 << 0 << true;
        QTest::newRow("tagged rotate 90, direct") << 6 << 0 << int(DirectRender) << true;
        QTest::newRow("tagged and turned back") << 6 << 3 << 0 << false;
    }

    void drawUpright()
    {
        QFETCH(int, orientation);
        QFETCH(int, rotation);
        QFETCH(int, flags);
        QFETCH(bool, turned);
        // Top-left, top-right, bottom-left and bottom-right quadrants.
        const QList<QColor> corners = turned
            ? QList<QColor> { Qt::blue, Qt::red, Qt::yellow, Qt::green }
            : QList<QColor> { Qt::red, Qt::green, Qt::blue, Qt::yellow };

        // Stored as 400 x 200; the orientation tag may turn it upright.
        const QUrl url = writeQuadrants(
            QStringLiteral("draw-%1.jpg").arg(orientation), QSize(400, 200), orientation);
        ImageSource source;
        source.setSource(url);
        source.setRotation(rotation);
        const QSize size = source.size();
        QCOMPARE(size, turned ? QSize(200, 400) : QSize(400, 200));

        QImage canvas(size, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        {
            QPainter painter(&canvas);
            painter.setRenderHint(QPainter::SmoothPixmapTransform);
            source.draw(&painter, flags);
        }
        const int w = size.width();
        const int h = size.height();
        const QList<QPoint> samples { { w / 4, h / 4 }, { 3 * w / 4, h / 4 }, { w / 4, 3 * h / 4 },
            { 3 * w / 4, 3 * h / 4 } };
        for (int i = 0; i < 4; ++i)
            QVERIFY(TestPhotos::near(canvas.pixel(samples.at(i)), corners.at(i)));
        // The picture covers the whole rectangle.
        QCOMPARE(qAlpha(canvas.pixel(2, 2)) + qAlpha(canvas.pixel(w - 3, h - 3)), 510);
    }

    void drawUnreadableDrawsNothing()
    {
        const QString path = m_dir.filePath(QStringLiteral("broken.jpg"));
        QVERIFY(TestPhotos::writeFile(path, QByteArray("not a picture")));
        ImageSource source;
        source.setSource(QUrl::fromLocalFile(path));
        QCOMPARE(source.state(), ImageSource::Ready);
        QVERIFY(source.size().isEmpty());
        QImage canvas(50, 50, QImage::Format_ARGB32_Premultiplied);
        canvas.fill(Qt::transparent);
        const QImage empty = canvas;
        {
            QPainter painter(&canvas);
            source.draw(&painter, 0);
            source.drawInRect(&painter, 0, QRectF(0, 0, 50, 50), Qt::KeepAspectRatio);
        }
        QCOMPARE(canvas, empty);
    }

    void drawQualityFollowsCache()
    {
        const QUrl mine = writeQuadrants(QStringLiteral("mine.jpg"), QSize(64, 64));
        const QUrl other = writeQuadrants(QStringLiteral("other.jpg"), QSize(64, 64));
        ImageSource source;
        source.setSource(mine);
        QSignalSpy better(&source, &ImageSource::drawQualityIncrized);
        QSignalSpy announced(ImageCache::instance(), &ImageCache::imageCached);
        QVERIFY(ImageCache::cacheImage(other));
        QVERIFY(ImageCache::cacheImage(mine));
        // The cache announces new pictures from the GUI thread's event loop;
        // once it has announced both, the source has answered for its own only.
        QTRY_COMPARE(announced.count(), 2);
        QCOMPARE(better.count(), 1);
    }

    void transformedSourceUndo()
    {
        Document document(true);
        UndoStack *stack = document.undoStack();
        QSharedPointer<ImageSource> first(new ImageSource(&document));
        QSharedPointer<ImageSource> second(new ImageSource(&document));
        TransformedImageSource cell(first, &document);
        cell.setSource(second);
        cell.setSource(first);
        QCOMPARE(stack->count(), 1); // a run of changes merges
        cell.setTransform(QTransform::fromTranslate(5, 5));
        cell.setTransform(QTransform::fromScale(2, 2));
        QCOMPARE(stack->count(), 2);
        stack->undo();
        QCOMPARE(cell.transform(), QTransform());
        stack->undo();
        QCOMPARE(cell.source(), first);
        stack->redo();
        stack->redo();
        QCOMPARE(cell.transform(), QTransform::fromScale(2, 2));
    }

private:
    QUrl goodFile(int index)
    {
        return QUrl::fromLocalFile(
            makePhoto(QStringLiteral("%1.jpg").arg(QChar('a' + index)), index));
    }

    QUrl writeQuadrants(const QString &name, const QSize &size, int orientation = 1)
    {
        QByteArray bytes = TestPhotos::encode(TestPhotos::quadrants(size), "jpeg", 95);
        if (orientation != 1)
            bytes = TestPhotos::withExifOrientation(bytes, orientation);
        const QString path = m_dir.filePath(name);
        if (!TestPhotos::writeFile(path, bytes))
            return QUrl();
        return QUrl::fromLocalFile(path);
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

    // A file that is not there, or a photo cut short (the decoder's own
    // tests cover the other kinds of unreadable files).
    QUrl badFile(bool truncated = false)
    {
        const QString path = m_dir.filePath(truncated ? "cut.jpg" : "missing.jpg");
        const QByteArray jpeg
            = TestPhotos::encode(TestPhotos::photoLike(QSize(300, 200)), "jpeg", 90);
        if (truncated)
            TestPhotos::writeFile(path, jpeg.left(jpeg.size() * 2 / 3));
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

    QTemporaryDir m_dir;
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
