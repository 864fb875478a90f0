#include <QtTest>

#include "model/document.h"
#include "model/imagelist.h"
#include "support/testtheme.h"
#include "themes/themeregistry.h"
#include "undo/undostack.h"

class TestDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        ThemeRegistry::registerTheme<TestTheme>(
            TestTheme::Id, QIcon(), QStringLiteral("Test"), QStringLiteral(":/none"));
    }

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

        UndoStack *stack = document.undoStack();
        QCOMPARE(stack->count(), 1);
        stack->undo();
        QVERIFY(!document.theme());
        QVERIFY(document.themeId().isEmpty());
        stack->redo();
        QCOMPARE(document.theme(), theme); // the same object comes back, not a new one

        // The same id again (without undo stack) changes nothing.
        Document plain(false);
        plain.setThemeId(TestTheme::Id);
        Theme *first = plain.theme();
        const int live = TestTheme::liveCount;
        plain.setThemeId(TestTheme::Id);
        QCOMPARE(plain.theme(), first);
        QCOMPARE(TestTheme::liveCount, live);
    }

    void unknownThemeIdKeepsTheId()
    {
        // A second registration of an id does not replace the first.
        ThemeRegistry::registerTheme<TestTheme>(
            TestTheme::Id, QIcon(), QStringLiteral("Other"), QStringLiteral(":/other"));
        QCOMPARE(ThemeRegistry::info(TestTheme::Id).name, QStringLiteral("Test"));
        QVERIFY(!ThemeRegistry::createTheme("com.example.unknown", nullptr));

        Document document(true);
        document.setThemeId(TestTheme::Id);
        document.setThemeId("com.example.unknown");
        QCOMPARE(document.themeId(), QByteArray("com.example.unknown"));
        QVERIFY(!document.theme());
        document.undoStack()->undo();
        QCOMPARE(document.themeId(), TestTheme::Id);
        QVERIFY(document.theme());
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
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
