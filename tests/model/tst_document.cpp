#include <QtTest>

#include "model/document.h"
#include "model/imagelist.h"
#include "model/pagesizepresets.h"
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
        QCOMPARE(QVariant::fromValue(page).value<PageSize>(), page);
        QVERIFY(page != PageSize(2, QSizeF(10, 15))); // names compare exactly
        QVERIFY(QMetaType::fromName("PageSize").isValid());
        QVERIFY(PageSize::formatValue(3, -1).isEmpty()); // no such unit
    }

    void pageSizePresetsAreFoundByName()
    {
        for (const PageSize &page : PageSizePresets::builtIn()) {
            QVERIFY(page.size().isValid());
            QCOMPARE(PageSizePresets::find(page.displayName()), page);
        }
    }

    void findPageSize_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<PageSize>("expected");

        QTest::newRow("any case") << "  full hd (1080P) " << PageSizePresets::builtIn().at(9);
        QTest::newRow("unnamed by description") << "8\" x 10\"" << PageSize(1, QSizeF(8, 10));
        QTest::newRow("unknown") << "Billboard" << PageSize();
    }

    void findPageSize()
    {
        QFETCH(QString, name);
        QFETCH(PageSize, expected);
        QCOMPARE(PageSizePresets::find(name), expected);
    }
};

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
