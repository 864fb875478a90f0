#include <QtTest>

#include <QJSEngine>

#include "model/document.h"
#include "model/imagelist.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "support/testtheme.h"
#include "themes/themeregistry.h"
#include "undo/undostack.h"

class TestDocument : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void pageSize_data();
    void pageSize();
    void themeIdSwapIsOneStep();
    void unknownThemeIdKeepsTheId();
    void oldThemeLifetime_data();
    void oldThemeLifetime();
    void replacedThemeStopsFollowing();
    void overlaysAndPreviewCopy();
};

void TestDocument::initTestCase()
{
    ThemeRegistry::registerTheme<TestTheme>(TestTheme::Id, QIcon(), QStringLiteral("Test"),
                                            QStringLiteral(":/none"));
}

void TestDocument::pageSize_data()
{
    QTest::addColumn<bool>("withUndoStack");
    QTest::newRow("edited") << true;
    QTest::newRow("preview") << false;
}

void TestDocument::pageSize()
{
    QFETCH(bool, withUndoStack);
    Document document(withUndoStack);
    QCOMPARE(document.undoStack() != nullptr, withUndoStack);
    const PageSize initial(PageSize::Pixels, QSizeF(300, 300));
    QCOMPARE(document.pageSize(), initial);
    QSignalSpy pageSpy(&document, &Document::pageSizeChanged);
    QSignalSpy sizeSpy(&document, &Document::sizeChanged);

    // A fuzzily equal size is no change.
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(300, 300 + 1e-12)));
    QCOMPARE(pageSpy.count(), 0);
    const PageSize postcard(PageSize::Centimeters, QSizeF(10, 15), QStringLiteral("Postcard"));
    document.setPageSize(postcard);
    QCOMPARE(document.pageSize(), postcard);
    QCOMPARE(pageSpy.at(0).at(0).value<PageSize>(), postcard);
    QCOMPARE(sizeSpy.at(0).at(0).toSizeF(), QSizeF(10, 15));

    // Scripts read it through the document.
    QJSEngine engine;
    QJSEngine::setObjectOwnership(&document, QJSEngine::CppOwnership);
    engine.globalObject().setProperty(QStringLiteral("document"), engine.newQObject(&document));
    QCOMPARE(engine.evaluate(QStringLiteral("document.pageSize.size.height")).toNumber(), 15.0);

    if (!withUndoStack)
        return;
    // The equal size was still an edit of its own.
    QCOMPARE(document.undoStack()->count(), 2);
    QCOMPARE(document.undoStack()->text(1), QStringLiteral("Changing page size"));
    document.undoStack()->undo();
    document.undoStack()->undo();
    QCOMPARE(document.pageSize(), initial);
    QCOMPARE(pageSpy.count(), 2);
}

void TestDocument::themeIdSwapIsOneStep()
{
    Document document(true);
    QSignalSpy themeSpy(&document, &Document::themeChanged);
    document.setThemeId(TestTheme::Id);
    auto *theme = qobject_cast<TestTheme *>(document.theme());
    QVERIFY(theme);
    QCOMPARE(theme->property("Theme.Name").toString(), QStringLiteral("Test"));
    QCOMPARE(theme->parent(), &document);
    QCOMPARE(themeSpy.count(), 1);

    UndoStack *stack = document.undoStack();
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Changing theme"));
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
    QSignalSpy idSpy(&plain, &Document::themeIdChanged);
    plain.setThemeId(TestTheme::Id);
    QCOMPARE(idSpy.count(), 0);
    QCOMPARE(plain.theme(), first);
    QCOMPARE(TestTheme::liveCount, live);
}

void TestDocument::unknownThemeIdKeepsTheId()
{
    // A second registration of an id does not replace the first.
    ThemeRegistry::registerTheme<TestTheme>(TestTheme::Id, QIcon(), QStringLiteral("Other"),
                                            QStringLiteral(":/other"));
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

void TestDocument::oldThemeLifetime_data()
{
    pageSize_data();
}

void TestDocument::oldThemeLifetime()
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

void TestDocument::replacedThemeStopsFollowing()
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

void TestDocument::overlaysAndPreviewCopy()
{
    Document document(true);
    QSignalSpy overlaySpy(&document, &Document::textOverlayAdded);
    QSignalSpy stickerSpy(&document, &Document::stickerAdded);
    TextOverlayProperties *overlay = document.addTextOverlay();
    StickerProperties *heart = document.addSticker(QStringLiteral(":/stickers/heart.svg"));
    QCOMPARE(document.textOverlays(), QList<TextOverlayProperties *>({ overlay }));
    QCOMPARE(document.stickers(), QList<StickerProperties *>({ heart }));
    QCOMPARE(heart->document(), &document);
    QCOMPARE(overlaySpy.count() + stickerSpy.count(), 2);

    // A preview copy shares the images and outlives nothing it shares.
    document.setPageSize(PageSize(PageSize::Inches, QSizeF(4, 6), QStringLiteral("4x6")));
    QScopedPointer<Document> copy(document.createPreviewCopy());
    QCOMPARE(copy->imageList(), document.imageList());
    QCOMPARE(copy->pageSize(), document.pageSize());
    QVERIFY(!copy->undoStack());
    copy.reset();
    QCOMPARE(document.imageList()->count(), 0); // still alive after the copy is gone
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
