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
    void newDocument_data();
    void newDocument();
    void pageSizeChanges_data();
    void pageSizeChanges();
    void equalPageSizeStillPushesAStep();
    void themeIdSwapIsOneStep();
    void sameThemeIdDoesNothing();
    void unknownThemeIdKeepsTheId();
    void oldThemeLifetime_data();
    void oldThemeLifetime();
    void replacedThemeStopsFollowing();
    void registryKeepsFirstRegistration();
    void overlaysAndStickers();
    void previewCopySharesImages();
    void pageSizeReadableThroughDocument();
};

void TestDocument::initTestCase()
{
    ThemeRegistry::registerTheme<TestTheme>(TestTheme::Id, QIcon(), QStringLiteral("Test"),
                                            QStringLiteral(":/none"));
}

void TestDocument::newDocument_data()
{
    QTest::addColumn<bool>("withUndoStack");
    QTest::newRow("edited") << true;
    QTest::newRow("preview") << false;
}

void TestDocument::newDocument()
{
    QFETCH(bool, withUndoStack);
    Document document(withUndoStack);
    QCOMPARE(document.undoStack() != nullptr, withUndoStack);
    QCOMPARE(document.pageSize(), PageSize(PageSize::Pixels, QSizeF(300, 300)));
    QVERIFY(document.themeId().isEmpty());
    QVERIFY(!document.theme());
    QVERIFY(document.imageList());
    QCOMPARE(document.imageList()->parent(), &document);
    QCOMPARE(document.document(), &document);
    QCOMPARE(Document::fileFilter(), QStringLiteral("Collage (*.tsq)"));
}

void TestDocument::pageSizeChanges_data()
{
    newDocument_data();
}

void TestDocument::pageSizeChanges()
{
    QFETCH(bool, withUndoStack);
    Document document(withUndoStack);
    QSignalSpy pageSpy(&document, &Document::pageSizeChanged);
    QSignalSpy sizeSpy(&document, &Document::sizeChanged);

    const PageSize postcard(PageSize::Centimeters, QSizeF(10, 15), QStringLiteral("Postcard"));
    document.setPageSize(postcard);
    QCOMPARE(document.pageSize(), postcard);
    QCOMPARE(pageSpy.count(), 1);
    QCOMPARE(pageSpy.at(0).at(0).value<PageSize>(), postcard);
    QCOMPARE(sizeSpy.at(0).at(0).toSizeF(), QSizeF(10, 15));

    if (!withUndoStack)
        return;
    QCOMPARE(document.undoStack()->text(0), QStringLiteral("Changing page size"));
    document.undoStack()->undo();
    QCOMPARE(document.pageSize(), PageSize(PageSize::Pixels, QSizeF(300, 300)));
    QCOMPARE(pageSpy.count(), 2);
}

void TestDocument::equalPageSizeStillPushesAStep()
{
    Document document(true);
    QSignalSpy spy(&document, &Document::pageSizeChanged);
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(300, 300 + 1e-12)));
    QCOMPARE(spy.count(), 0);
    QCOMPARE(document.undoStack()->count(), 1);
    document.undoStack()->undo();
    document.undoStack()->redo();
    QCOMPARE(spy.count(), 0);
}

void TestDocument::themeIdSwapIsOneStep()
{
    Document document(true);
    QSignalSpy themeSpy(&document, &Document::themeChanged);
    document.setThemeId(TestTheme::Id);

    auto *theme = qobject_cast<TestTheme *>(document.theme());
    QVERIFY(theme);
    QCOMPARE(theme->property("Theme.Id").toByteArray(), TestTheme::Id);
    QCOMPARE(theme->property("Theme.Name").toString(), QStringLiteral("Test"));
    QCOMPARE(theme->parent(), &document);
    QCOMPARE(document.themeId(), TestTheme::Id);
    QCOMPARE(themeSpy.count(), 1);

    UndoStack *stack = document.undoStack();
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Changing theme"));
    stack->undo();
    QVERIFY(!document.theme());
    QVERIFY(document.themeId().isEmpty());
    stack->redo();
    QCOMPARE(document.theme(), theme); // the same object comes back, not a new one
    QCOMPARE(stack->count(), 1);
}

void TestDocument::sameThemeIdDoesNothing()
{
    Document document(false);
    document.setThemeId(TestTheme::Id);
    Theme *first = document.theme();
    const int live = TestTheme::liveCount;
    QSignalSpy spy(&document, &Document::themeIdChanged);
    document.setThemeId(TestTheme::Id);
    QCOMPARE(spy.count(), 0);
    QCOMPARE(document.theme(), first);
    QCOMPARE(TestTheme::liveCount, live);
}

void TestDocument::unknownThemeIdKeepsTheId()
{
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
    newDocument_data();
}

void TestDocument::oldThemeLifetime()
{
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
    QCOMPARE(first->images.size(), 0);
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(640, 480)));
    QCOMPARE(first->images.size(), 0);

    // Undo walks back to the moment the first theme left: its items match.
    while (document.undoStack()->count() > steps - 1 && document.undoStack()->canUndo()
           && document.theme() != first)
        document.undoStack()->undo();
    QCOMPARE(document.theme(), first);
    QCOMPARE(document.imageList()->count(), first->images.size());
}

void TestDocument::registryKeepsFirstRegistration()
{
    ThemeRegistry::registerTheme<TestTheme>(TestTheme::Id, QIcon(), QStringLiteral("Other"),
                                            QStringLiteral(":/other"));
    QCOMPARE(ThemeRegistry::info(TestTheme::Id).name, QStringLiteral("Test"));
    QVERIFY(!ThemeRegistry::createTheme("com.example.unknown", nullptr));
}

void TestDocument::overlaysAndStickers()
{
    Document document(true);
    QSignalSpy overlaySpy(&document, &Document::textOverlayAdded);
    QSignalSpy stickerSpy(&document, &Document::stickerAdded);
    TextOverlayProperties *overlay = document.addTextOverlay();
    StickerProperties *heart = document.addSticker(QStringLiteral(":/stickers/heart.svg"));
    StickerProperties *blank = document.addSticker();
    QCOMPARE(document.textOverlays(), QList<TextOverlayProperties *>({ overlay }));
    QCOMPARE(document.stickers(), QList<StickerProperties *>({ heart, blank }));
    QCOMPARE(overlay->parent(), &document);
    QCOMPARE(heart->document(), &document);
    QCOMPARE(heart->source(), QStringLiteral(":/stickers/heart.svg"));
    QVERIFY(blank->source().isEmpty());
    QCOMPARE(overlaySpy.count(), 1);
    QCOMPARE(stickerSpy.count(), 2);
}

void TestDocument::previewCopySharesImages()
{
    Document document(true);
    document.setPageSize(PageSize(PageSize::Inches, QSizeF(4, 6), QStringLiteral("4x6")));
    QScopedPointer<Document> copy(document.createPreviewCopy());
    QCOMPARE(copy->imageList(), document.imageList());
    QCOMPARE(copy->pageSize(), document.pageSize());
    QVERIFY(!copy->undoStack());
    copy.reset();
    QCOMPARE(document.imageList()->count(), 0); // still alive after the copy is gone
}

void TestDocument::pageSizeReadableThroughDocument()
{
    Document document(false);
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(3000, 2000)));
    QJSEngine engine;
    engine.globalObject().setProperty(QStringLiteral("document"), engine.newQObject(&document));
    QJSEngine::setObjectOwnership(&document, QJSEngine::CppOwnership);
    QCOMPARE(engine.evaluate(QStringLiteral("document.pageSize.size.height")).toNumber(), 2000.0);
}

QTEST_MAIN(TestDocument)
#include "tst_document.moc"
