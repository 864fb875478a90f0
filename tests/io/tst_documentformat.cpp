#include <QtTest>

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#ifdef Q_OS_LINUX
#include <csignal>
#include <sys/resource.h>
#endif

#include "io/collagefilebuilder.h"
#include "io/documentfile.h"
#include "io/modelstreams.h"
#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/modelinsertcommand.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "model/transformedimagesource.h"
#include "themes/builtinthemes.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodroptheme.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/photogridtheme.h"
#include "undo/undostack.h"

using namespace CollageFileBuilder;

namespace {

std::unique_ptr<Document> readBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return DocumentFile::read(&buffer);
}

QByteArray writeBytes(const Document &document)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!DocumentFile::write(document, &buffer))
        return QByteArray();
    return bytes;
}

QList<QUrl> urlsOf(const Document &document)
{
    QList<QUrl> urls;
    for (const ImageList::Item &source : document.imageList()->items())
        urls.append(source->source());
    return urls;
}

QList<qint32> rotationsOf(const Document &document)
{
    QList<qint32> rotations;
    for (const ImageList::Item &source : document.imageList()->items())
        rotations.append(source->rotation());
    return rotations;
}

PhotoDropTheme *photoDrop(const Document &document)
{
    return qobject_cast<PhotoDropTheme *>(document.theme());
}

PhotoGridTheme *grid(const Document &document)
{
    return qobject_cast<PhotoGridTheme *>(document.theme());
}

void insertImages(Document &document, int count)
{
    QList<ImageList::Item> sources;
    for (const QUrl &url : photoUrls(count)) {
        ImageList::Item source(new ImageSource());
        source->setSource(url);
        source->setDocument(&document);
        sources.append(source);
    }
    document.undoStack()->push(new ModelInsertCommand<ImageList::Item>(
        QStringLiteral("Inserting"), document.imageList(), sources, 0, true));
}

// Everything a file holds, compared between two documents.
template<typename ThemeType> void compareLook(const ThemeType *a, const ThemeType *b)
{
    QCOMPARE(b->shadows()->enabled(), a->shadows()->enabled());
    QCOMPARE(b->shadows()->blurRadius(), a->shadows()->blurRadius());
    QCOMPARE(b->shadows()->color(), a->shadows()->color());
    QCOMPARE(b->shadows()->distance(), a->shadows()->distance());
    QCOMPARE(b->shadows()->group(), a->shadows()->group());
    QCOMPARE(b->frames()->size(), a->frames()->size());
    QCOMPARE(b->frames()->color(), a->frames()->color());
    QCOMPARE(b->frames()->enabled(), a->frames()->enabled());
    const BackgroundProperties *ba = a->background();
    const BackgroundProperties *bb = b->background();
    QCOMPARE(bb->type(), ba->type());
    QCOMPARE(bb->color(), ba->color());
    QCOMPARE(bb->gradientAngle(), ba->gradientAngle());
    QCOMPARE(bb->gradientStartColor(), ba->gradientStartColor());
    QCOMPARE(bb->gradientEndColor(), ba->gradientEndColor());
    QCOMPARE(bb->image()->source(), ba->image()->source());
    QCOMPARE(bb->image()->rotation(), ba->image()->rotation());
    QCOMPARE(b->rotationRestrictions()->zero(), a->rotationRestrictions()->zero());
    QCOMPARE(b->rotationRestrictions()->variation(), a->rotationRestrictions()->variation());
}

void compareDocuments(const Document &a, const Document &b)
{
    QCOMPARE(b.pageSize(), a.pageSize());
    QCOMPARE(urlsOf(b), urlsOf(a));
    QCOMPARE(rotationsOf(b), rotationsOf(a));
    QCOMPARE(b.themeId(), a.themeId());
    QCOMPARE(b.property("windowGeometry"), a.property("windowGeometry"));

    QCOMPARE(b.textOverlays().size(), a.textOverlays().size());
    for (qsizetype i = 0; i < a.textOverlays().size(); ++i) {
        const TextOverlayProperties *oa = a.textOverlays().at(i);
        const TextOverlayProperties *ob = b.textOverlays().at(i);
        QCOMPARE(ob->text(), oa->text());
        QCOMPARE(ob->font(), oa->font());
        QCOMPARE(ob->color(), oa->color());
        QCOMPARE(ob->position(), oa->position());
        QCOMPARE(ob->rotation(), oa->rotation());
        QCOMPARE(ob->scale(), oa->scale());
        QCOMPARE(ob->opacity(), oa->opacity());
        QCOMPARE(ob->alignment(), oa->alignment());
    }
    QCOMPARE(b.stickers().size(), a.stickers().size());
    for (qsizetype i = 0; i < a.stickers().size(); ++i) {
        const StickerProperties *sa = a.stickers().at(i);
        const StickerProperties *sb = b.stickers().at(i);
        QCOMPARE(sb->stickerPath(), sa->stickerPath());
        QCOMPARE(sb->position(), sa->position());
        QCOMPARE(sb->rotation(), sa->rotation());
        QCOMPARE(sb->scale(), sa->scale());
        QCOMPARE(sb->opacity(), sa->opacity());
    }

    if (photoDrop(a)) {
        const PhotoDropTheme *ta = photoDrop(a);
        const PhotoDropTheme *tb = photoDrop(b);
        QVERIFY(tb);
        compareLook(ta, tb);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(tb->items()->count(), ta->items()->count());
        for (int row = 0; row < ta->items()->count(); ++row) {
            const PhotoDropItemProperties *ia = ta->items()->at(row).data();
            const PhotoDropItemProperties *ib = tb->items()->at(row).data();
            QCOMPARE(ib->transform()->position(), ia->transform()->position());
            QCOMPARE(ib->transform()->zoom(), ia->transform()->zoom());
            QCOMPARE(ib->transform()->rotationRelative(), ia->transform()->rotationRelative());
            QCOMPARE(imageRow(&b, ib->source()), imageRow(&a, ia->source()));
            QCOMPARE(ib->filterType(), ia->filterType());
            QCOMPARE(ib->maskShape(), ia->maskShape());
        }
    } else {
        const PhotoGridTheme *ta = grid(a);
        const PhotoGridTheme *tb = grid(b);
        QVERIFY(ta);
        QVERIFY(tb);
        compareLook(ta, tb);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(tb->borderRelative(), ta->borderRelative());
        QCOMPARE(tb->minimumItemSize(), ta->minimumItemSize());
        QCOMPARE(tb->items().size(), ta->items().size());
        for (qsizetype i = 0; i < ta->items().size(); ++i) {
            const PhotoGridItemProperties *ia = ta->items().at(i).data();
            const PhotoGridItemProperties *ib = tb->items().at(i).data();
            QCOMPARE(ib->rect(), ia->rect());
            QCOMPARE(ib->angleRelative(), ia->angleRelative());
            QCOMPARE(imageRow(&b, ib->image()), imageRow(&a, ia->image()));
            QCOMPARE(ib->source()->transform(), ia->source()->transform());
            QCOMPARE(ib->filterType(), ia->filterType());
            QCOMPARE(ib->maskShape(), ia->maskShape());
        }
    }
}

// Checks a document read from a file of the current versions against the
// content the file was built from.
template<typename ThemeType> void checkLook(const ThemeType *theme, const Content &c)
{
    QCOMPARE(theme->shadows()->enabled(), c.shadowEnabled);
    QCOMPARE(theme->shadows()->blurRadius(), c.blurRadius);
    QCOMPARE(theme->shadows()->color(), c.shadowColor);
    QCOMPARE(theme->shadows()->distance(), c.shadowDistance);
    QCOMPARE(theme->shadows()->group(), c.shadowGroup);
    QCOMPARE(theme->frames()->size(), c.frameSize);
    QCOMPARE(theme->frames()->color(), c.frameColor);
    QCOMPARE(theme->frames()->enabled(), c.frameEnabled);
    QCOMPARE(int(theme->background()->type()), c.backgroundType);
    QCOMPARE(theme->background()->color(), c.backgroundColor);
    QCOMPARE(theme->background()->gradientStartColor(), c.gradientStart);
    QCOMPARE(theme->background()->gradientEndColor(), c.gradientEnd);
    QCOMPARE(theme->background()->image()->source(), c.picture);
}

void checkContent(const Document &d, const Content &c)
{
    QCOMPARE(d.pageSize(), PageSize(c.units, c.pageSize, c.pageName));
    QCOMPARE(urlsOf(d), c.urls);
    QCOMPARE(rotationsOf(d), c.rotations);
    QCOMPARE(d.themeId(), c.themeId);
    for (auto it = c.properties.cbegin(); it != c.properties.cend(); ++it)
        QCOMPARE(d.property(it.key().constData()), it.value());
    QCOMPARE(d.textOverlays().size(), c.overlays.size());
    for (qsizetype i = 0; i < c.overlays.size(); ++i) {
        const TextOverlayProperties *o = d.textOverlays().at(i);
        QCOMPARE(o->text(), c.overlays.at(i).text);
        QCOMPARE(o->font(), c.overlays.at(i).font);
        QCOMPARE(o->color(), c.overlays.at(i).color);
        QCOMPARE(o->position(), c.overlays.at(i).position);
        QCOMPARE(o->rotation(), c.overlays.at(i).rotation);
        QCOMPARE(o->scale(), c.overlays.at(i).scale);
        QCOMPARE(o->opacity(), c.overlays.at(i).opacity);
        QCOMPARE(o->alignment(), c.overlays.at(i).alignment);
    }
    QCOMPARE(d.stickers().size(), c.stickers.size());
    for (qsizetype i = 0; i < c.stickers.size(); ++i) {
        const StickerProperties *s = d.stickers().at(i);
        QCOMPARE(s->stickerPath(), c.stickers.at(i).path);
        QCOMPARE(s->position(), c.stickers.at(i).position);
        QCOMPARE(s->rotation(), c.stickers.at(i).rotation);
        QCOMPARE(s->scale(), c.stickers.at(i).scale);
        QCOMPARE(s->opacity(), c.stickers.at(i).opacity);
    }

    if (c.themeId == PhotoDropId) {
        const PhotoDropTheme *theme = photoDrop(d);
        QVERIFY(theme);
        checkLook(theme, c);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(theme->items()->count(), c.photos.size());
        for (int row = 0; row < c.photos.size(); ++row) {
            const PhotoDropItemProperties *item = theme->items()->at(row).data();
            QCOMPARE(item->transform()->position(), c.photos.at(row).position);
            QCOMPARE(item->transform()->zoom(), c.photos.at(row).zoom);
            QCOMPARE(imageRow(&d, item->source()), c.photos.at(row).row);
            QCOMPARE(item->filterType(), int(c.photos.at(row).filter));
            QCOMPARE(item->maskShape(), int(c.photos.at(row).mask));
        }
    } else {
        const PhotoGridTheme *theme = grid(d);
        QVERIFY(theme);
        checkLook(theme, c);
        if (QTest::currentTestFailed())
            return;
        QCOMPARE(theme->minimumItemSize(), c.minimumItemSize);
        QCOMPARE(theme->items().size(), c.cells.size());
        for (qsizetype i = 0; i < c.cells.size(); ++i) {
            const PhotoGridItemProperties *item = theme->items().at(i).data();
            QCOMPARE(item->rect(), c.cells.at(i).rect);
            QCOMPARE(item->source()->transform(), c.cells.at(i).crop);
            QCOMPARE(imageRow(&d, item->image()), c.cells.at(i).row);
        }
    }
}

std::unique_ptr<Document> buildPhotoDropDocument()
{
    RandomGenerator::seed(11);
    auto document = std::make_unique<Document>(true);
    document->setPageSize(PageSize(PageSize::Inches, QSizeF(8, 10), QStringLiteral("8 x 10")));
    insertImages(*document, 3);
    document->imageList()->at(1)->setRotation(1);
    document->imageList()->at(2)->setRotation(2);
    document->setThemeId(BuiltInThemes::PhotoDropId);
    PhotoDropTheme *theme = photoDrop(*document);
    if (!theme)
        return nullptr;
    theme->shadows()->setEnabled(true);
    theme->shadows()->setBlurRadius(0.3);
    theme->shadows()->setColor(QColor(1, 2, 3, 4));
    theme->shadows()->setDistance(0.12);
    theme->shadows()->setGroup(true);
    theme->frames()->setSize(0.07);
    theme->frames()->setColor(QColor(Qt::darkCyan));
    theme->frames()->setEnabled(false);
    theme->background()->setType(BackgroundProperties::Gradient);
    theme->background()->setColor(QColor(Qt::yellow));
    theme->background()->setGradientAngle(33.5);
    theme->background()->setGradientStartColor(QColor::fromHsv(120, 200, 100));
    theme->background()->setGradientEndColor(QColor::fromCmyk(10, 20, 30, 40));
    theme->background()->setBackgroundUrl(QUrl::fromLocalFile(QStringLiteral("/pictures/bg.jpg")));
    theme->background()->image()->setRotation(3);
    theme->rotationRestrictions()->setZero(-5);
    theme->rotationRestrictions()->setVariation(25);
    for (int row = 0; row < theme->items()->count(); ++row) {
        PhotoDropItemProperties *item = theme->items()->at(row).data();
        item->transform()->setPosition(QPointF(row + 0.5, 2 * row + 1.25));
        item->transform()->setZoom(0.3 + row * 0.1);
        item->transform()->setRotationRelative(-0.9 + 0.6 * row);
        item->setFilterType(row + 1);
        item->setMaskShape(5 - row);
    }
    TextOverlayProperties *overlay = document->addTextOverlay();
    overlay->setText(QStringLiteral("Summer 2024"));
    overlay->setFont(overlayFont());
    overlay->setColor(QColor(10, 20, 30, 40));
    overlay->setPosition(QPointF(0.3, 0.1));
    overlay->setRotation(-12.5);
    overlay->setScale(2.5);
    overlay->setOpacity(0.6);
    overlay->setAlignment(Qt::AlignRight | Qt::AlignBottom);
    document->addTextOverlay(); // all defaults
    StickerProperties *heart = document->addSticker(QStringLiteral(":/stickers/heart.svg"));
    heart->setPosition(QPointF(0.8, 0.9));
    heart->setRotation(45);
    heart->setScale(0.25);
    heart->setOpacity(0.5);
    document->addSticker(QStringLiteral(":/stickers/star.svg"));
    document->setProperty("windowGeometry", QByteArray("\x01\x02\x03 geometry"));
    return document;
}

std::unique_ptr<Document> buildMosaicDocument()
{
    RandomGenerator::seed(12);
    auto document = std::make_unique<Document>(true);
    document->setPageSize(PageSize(PageSize::Pixels, QSizeF(1200, 800)));
    insertImages(*document, 4);
    document->imageList()->at(3)->setRotation(1);
    document->setThemeId(BuiltInThemes::MosaicId);
    PhotoGridTheme *theme = grid(*document);
    if (!theme || theme->items().size() != 4)
        return nullptr;
    theme->setBorderRelative(0.15);
    theme->shadows()->setEnabled(true);
    theme->shadows()->setBlurRadius(12);
    theme->frames()->setSize(0.02);
    theme->background()->setType(BackgroundProperties::Picture);
    theme->background()->setBackgroundUrl(
        QUrl::fromLocalFile(QStringLiteral("/pictures/wall.png")));
    theme->rotationRestrictions()->setVariation(20);
    for (qsizetype i = 0; i < theme->items().size(); ++i) {
        PhotoGridItemProperties *cell = theme->items().at(i).data();
        cell->setAngleRelative(-0.75 + 0.5 * i);
        cell->source()->setTransform(
            QTransform::fromScale(1 + i * 0.5, 1 + i * 0.5).translate(i, -i));
        cell->setFilterType(int(i));
        cell->setMaskShape(int(i) + 1);
    }
    TextOverlayProperties *overlay = document->addTextOverlay();
    overlay->setText(QStringLiteral("Mosaic"));
    overlay->setRotation(90);
    StickerProperties *sticker = document->addSticker(QStringLiteral(":/stickers/camera.svg"));
    sticker->setScale(3);
    document->setProperty("windowGeometry", QByteArray("mosaic geometry"));
    return document;
}

// The record versions of the file, by name, for tests that go through all.
struct VersionField
{
    const char *name;
    int Versions::*member;
};

const VersionField versionFields[] = {
    { "document", &Versions::document },
    { "page size", &Versions::pageSize },
    { "image list", &Versions::imageList },
    { "image source", &Versions::imageSource },
    { "photo drop theme", &Versions::photoDropTheme },
    { "photo drop item list", &Versions::photoDropItemList },
    { "photo drop item", &Versions::photoDropItem },
    { "item transform", &Versions::itemTransform },
    { "grid theme", &Versions::gridTheme },
    { "grid item", &Versions::gridItem },
    { "transformed image source", &Versions::transformedSource },
    { "shadow", &Versions::shadow },
    { "frame", &Versions::frame },
    { "background", &Versions::background },
    { "rotation restriction", &Versions::restriction },
    { "text overlay", &Versions::overlay },
    { "sticker", &Versions::sticker },
};

bool usesGrid(int Versions::*member)
{
    return member == &Versions::gridTheme || member == &Versions::gridItem
        || member == &Versions::transformedSource;
}

} // namespace

class TestDocumentFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();

    void currentFilesReadAndWriteBack_data();
    void currentFilesReadAndWriteBack();
    void modelRoundTrip_data();
    void modelRoundTrip();
    void newDocumentSavedAtOnce();
    void shadowAngleIsNotRestored();
    void openedDocumentHasCleanEmptyStack();
    void fontWithoutFamiliesIsSaved();

    void olderDocumentVersions_data();
    void olderDocumentVersions();
    void unchangedLayoutsAtVersionZero();
    void oldImageListsHaveNoTurns_data();
    void oldImageListsHaveNoTurns();
    void itemTransformConversions_data();
    void itemTransformConversions();
    void oldPhotoDropThemesTurnFreely_data();
    void oldPhotoDropThemesTurnFreely();
    void oldPhotoDropItemsHaveNoFilter();
    void gridItemConversions_data();
    void gridItemConversions();
    void gridThemeConversions_data();
    void gridThemeConversions();
    void backgroundConversions_data();
    void backgroundConversions();

    void newerRecordVersionIsRefused_data();
    void newerRecordVersionIsRefused();
    void damagedFieldsAreRefused_data();
    void damagedFieldsAreRefused();
    void refusedProperties_data();
    void refusedProperties();
    void rowsThatNameNoImage_data();
    void rowsThatNameNoImage();

    void changedMagicByteIsCorrupt();
    void missingFileCannotBeOpened();
    void failedWriteKeepsOldFile();
    void fullDiskKeepsOldFile();
    void saveIntoMissingFolder();
    void seedCorpusOpens();
};

void TestDocumentFormat::initTestCase()
{
    BuiltInThemes::registerAll();
}

void TestDocumentFormat::currentFilesReadAndWriteBack_data()
{
    QTest::addColumn<bool>("mosaic");
    QTest::newRow("photo drop") << false;
    QTest::newRow("mosaic") << true;
}

void TestDocumentFormat::currentFilesReadAndWriteBack()
{
    QFETCH(bool, mosaic);
    const Content content = mosaic ? mosaicContent() : photoDropContent();
    const File file = Builder().build(content);
    const std::unique_ptr<Document> document = readBytes(file.bytes);
    QVERIFY(document);
    checkContent(*document, content);
    if (QTest::currentTestFailed())
        return;
    // The program writes exactly the layout the file was built with.
    QCOMPARE(writeBytes(*document).toHex(), file.bytes.toHex());
}

void TestDocumentFormat::modelRoundTrip_data()
{
    QTest::addColumn<bool>("mosaic");
    QTest::newRow("photo drop") << false;
    QTest::newRow("mosaic") << true;
}

void TestDocumentFormat::modelRoundTrip()
{
    QFETCH(bool, mosaic);
    const std::unique_ptr<Document> original
        = mosaic ? buildMosaicDocument() : buildPhotoDropDocument();
    QVERIFY(original);
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("collage.tsq"));
    QString error;
    QVERIFY2(DocumentFile::save(original.get(), path, &error), qPrintable(error));
    QVERIFY(original->undoStack()->isClean());

    const std::unique_ptr<Document> opened = DocumentFile::open(path, &error);
    QVERIFY2(opened, qPrintable(error));
    compareDocuments(*original, *opened);
}

void TestDocumentFormat::newDocumentSavedAtOnce()
{
    Document document(true);
    document.setPageSize(
        PageSize(PageSize::Centimeters, QSizeF(10, 15), QStringLiteral("Postcard")));
    document.setThemeId(BuiltInThemes::MosaicId);
    document.setProperty("windowGeometry", QByteArray("window"));
    const std::unique_ptr<Document> read = readBytes(writeBytes(document));
    QVERIFY(read);
    QCOMPARE(read->pageSize(), document.pageSize());
    QCOMPARE(read->themeId(), BuiltInThemes::MosaicId);
    QCOMPARE(read->property("windowGeometry").toByteArray(), QByteArray("window"));
    QCOMPARE(read->imageList()->count(), 0);
    QVERIFY(read->textOverlays().isEmpty());
    QVERIFY(read->stickers().isEmpty());
}

void TestDocumentFormat::shadowAngleIsNotRestored()
{
    const std::unique_ptr<Document> document = buildPhotoDropDocument();
    QVERIFY(document);
    Document fresh(true);
    fresh.setPageSize(document->pageSize());
    fresh.setThemeId(BuiltInThemes::PhotoDropId);
    const qreal defaultAngle = photoDrop(fresh)->shadows()->angle();

    photoDrop(*document)->shadows()->setAngle(defaultAngle + 33);
    const std::unique_ptr<Document> read = readBytes(writeBytes(*document));
    QVERIFY(read);
    QCOMPARE(photoDrop(*read)->shadows()->angle(), defaultAngle);
    QCOMPARE(photoDrop(*read)->shadows()->distance(), photoDrop(*document)->shadows()->distance());
}

void TestDocumentFormat::openedDocumentHasCleanEmptyStack()
{
    const std::unique_ptr<Document> document = readBytes(Builder().build(mosaicContent()).bytes);
    QVERIFY(document);
    QVERIFY(document->undoStack());
    QCOMPARE(document->undoStack()->count(), 0);
    QVERIFY(document->undoStack()->isClean());
}

void TestDocumentFormat::fontWithoutFamiliesIsSaved()
{
    const std::unique_ptr<Document> document = buildPhotoDropDocument();
    QVERIFY(document);
    QFont font(QStringLiteral("DejaVu Sans"), 20);
    font.setFamilies({});
    document->textOverlays().first()->setFont(font);
    const std::unique_ptr<Document> read = readBytes(writeBytes(*document));
    QVERIFY(read);
    QCOMPARE(read->textOverlays().first()->font().pointSize(), 20);
}

void TestDocumentFormat::olderDocumentVersions_data()
{
    QTest::addColumn<int>("version");
    QTest::newRow("version 1: no properties, overlays or stickers") << 1;
    QTest::newRow("version 2: no overlays or stickers") << 2;
}

void TestDocumentFormat::olderDocumentVersions()
{
    QFETCH(int, version);
    Versions versions;
    versions.document = version;
    Content content = photoDropContent();
    const std::unique_ptr<Document> document = readBytes(Builder(versions).build(content).bytes);
    QVERIFY(document);
    QCOMPARE(document->property("windowGeometry").isValid(), version >= 2);
    QVERIFY(document->textOverlays().isEmpty());
    QVERIFY(document->stickers().isEmpty());
    content.overlays.clear();
    content.stickers.clear();
    if (version < 2)
        content.properties.clear();
    checkContent(*document, content);
}

void TestDocumentFormat::unchangedLayoutsAtVersionZero()
{
    // These records have kept their layout since version 0.
    Versions versions;
    versions.pageSize = 0;
    versions.imageSource = 0;
    versions.photoDropItemList = 0;
    versions.transformedSource = 0;
    versions.shadow = 0;
    versions.frame = 0;
    versions.restriction = 0;
    versions.overlay = 0;
    versions.sticker = 0;
    for (const Content &content : { photoDropContent(), mosaicContent() }) {
        const std::unique_ptr<Document> document
            = readBytes(Builder(versions).build(content).bytes);
        QVERIFY(document);
        checkContent(*document, content);
        if (QTest::currentTestFailed())
            return;
    }
}

void TestDocumentFormat::oldImageListsHaveNoTurns_data()
{
    QTest::addColumn<int>("version");
    QTest::newRow("0") << 0;
    QTest::newRow("1") << 1;
}

void TestDocumentFormat::oldImageListsHaveNoTurns()
{
    QFETCH(int, version);
    Versions versions;
    versions.imageList = version;
    Content content = photoDropContent();
    const std::unique_ptr<Document> document = readBytes(Builder(versions).build(content).bytes);
    QVERIFY(document);
    content.rotations = { 0, 0, 0 };
    checkContent(*document, content);
}

void TestDocumentFormat::itemTransformConversions_data()
{
    QTest::addColumn<int>("transformVersion");
    QTest::addColumn<double>("stored");
    QTest::addColumn<double>("expected");

    // The theme's restriction: zero 10, variation 30.
    QTest::newRow("v0 degrees") << 0 << 25.0 << 0.5;
    QTest::newRow("v1 degrees beyond a turn") << 1 << 370.0 << 0.0;
    // -40 is 50 degrees below zero: -1.67 relative, plus 2 once.
    QTest::newRow("v1 negative degrees") << 1 << -40.0 << -50.0 / 30 + 2;
    // -100 is 110 degrees from zero: 3.67 relative, less 2 twice.
    QTest::newRow("v1 far from zero") << 1 << -100.0 << -110.0 / 30 + 4;
    QTest::newRow("v2 in range") << 2 << 0.5 << 0.5;
    QTest::newRow("v2 edge") << 2 << -1.0 << -1.0;
    // 1.5 -> 55 degrees -> 1.5 again -> less 2.
    QTest::newRow("v2 above range") << 2 << 1.5 << -0.5;
    // -3 -> -80 degrees -> -3 -> plus 2 once reaches -1.
    QTest::newRow("v2 below range") << 2 << -3.0 << -1.0;
    // 3 -> 100 degrees -> 3 -> less 2 once reaches 1.
    QTest::newRow("v2 three") << 2 << 3.0 << 1.0;
    // 7 -> 220 degrees -> wrapped to -140 -> -5 -> plus 2 twice.
    QTest::newRow("v2 beyond a turn") << 2 << 7.0 << -1.0;
}

void TestDocumentFormat::itemTransformConversions()
{
    QFETCH(int, transformVersion);
    QFETCH(double, stored);
    QFETCH(double, expected);
    Versions versions;
    versions.itemTransform = transformVersion;
    Content content = photoDropContent();
    content.photos[1].rotation = stored;
    const std::unique_ptr<Document> document = readBytes(Builder(versions).build(content).bytes);
    QVERIFY(document);
    const ItemTransform *transform = photoDrop(*document)->items()->at(1)->transform();
    QVERIFY(qAbs(transform->rotationRelative() - expected) < 1e-9);
    QCOMPARE(transform->position(), content.photos.at(1).position);
    QCOMPARE(transform->zoom(), content.photos.at(1).zoom);
}

void TestDocumentFormat::oldPhotoDropThemesTurnFreely_data()
{
    QTest::addColumn<int>("themeVersion");
    QTest::newRow("0") << 0;
    QTest::newRow("1") << 1;
}

void TestDocumentFormat::oldPhotoDropThemesTurnFreely()
{
    QFETCH(int, themeVersion);
    Versions versions;
    versions.photoDropTheme = themeVersion;
    versions.itemTransform = 1;
    Content content = photoDropContent();
    content.photos[0].rotation = 90; // degrees, converted with zero 0 and variation 180
    const std::unique_ptr<Document> document = readBytes(Builder(versions).build(content).bytes);
    QVERIFY(document);
    const PhotoDropTheme *theme = photoDrop(*document);
    QCOMPARE(theme->rotationRestrictions()->zero(), 0.0);
    QCOMPARE(theme->rotationRestrictions()->variation(), 180.0);
    QCOMPARE(theme->items()->at(0)->transform()->rotationRelative(), 0.5);
    QCOMPARE(theme->items()->at(0)->transform()->rotation(), 90.0);
}

void TestDocumentFormat::oldPhotoDropItemsHaveNoFilter()
{
    Versions versions;
    versions.photoDropItem = 1;
    const Content content = photoDropContent();
    const std::unique_ptr<Document> document = readBytes(Builder(versions).build(content).bytes);
    QVERIFY(document);
    const PhotoDropTheme *theme = photoDrop(*document);
    for (int row = 0; row < theme->items()->count(); ++row) {
        QCOMPARE(theme->items()->at(row)->filterType(), 0);
        QCOMPARE(theme->items()->at(row)->maskShape(), 0);
        QCOMPARE(theme->items()->at(row)->transform()->position(), content.photos.at(row).position);
    }
}

void TestDocumentFormat::gridItemConversions_data()
{
    QTest::addColumn<int>("itemVersion");
    QTest::addColumn<double>("stored");
    QTest::addColumn<double>("expected");
    QTest::addColumn<bool>("hasFilter");

    // The theme's restriction: zero 10, variation 30.
    QTest::newRow("v0 degrees") << 0 << 25.0 << 0.5 << false;
    QTest::newRow("v1 beyond a turn") << 1 << 370.0 << 0.0 << false;
    QTest::newRow("v1 wrapped") << 1 << 190.0 << -1.0 << false; // -170 - 10 = -180
    QTest::newRow("v1 out of reach is clamped") << 1 << -100.0 << -1.0 << false;
    QTest::newRow("v2 relative") << 2 << 0.25 << 0.25 << false;
    QTest::newRow("v3 relative") << 3 << -0.5 << -0.5 << true;
}

void TestDocumentFormat::gridItemConversions()
{
    QFETCH(int, itemVersion);
    QFETCH(double, stored);
    QFETCH(double, expected);
    QFETCH(bool, hasFilter);
    Versions versions;
    versions.gridItem = itemVersion;
    Content content = mosaicContent();
    content.cells[0].angle = stored;
    const std::unique_ptr<Document> document = readBytes(Builder(versions).build(content).bytes);
    QVERIFY(document);
    const PhotoGridItemProperties *cell = grid(*document)->items().at(0).data();
    QVERIFY(qAbs(cell->angleRelative() - expected) < 1e-9);
    QCOMPARE(cell->rect(), content.cells.at(0).rect);
    QCOMPARE(cell->source()->transform(), content.cells.at(0).crop);
    QCOMPARE(cell->filterType(), hasFilter ? int(content.cells.at(0).filter) : 0);
    QCOMPARE(cell->maskShape(), hasFilter ? int(content.cells.at(0).mask) : 0);
}

void TestDocumentFormat::gridThemeConversions_data()
{
    QTest::addColumn<int>("themeVersion");
    QTest::addColumn<bool>("rotationFlag");
    QTest::addColumn<double>("expectedZero");
    QTest::addColumn<double>("expectedVariation");

    QTest::newRow("v0 absolute spacing, turning") << 0 << true << 0.0 << 180.0;
    QTest::newRow("v1 absolute spacing, straight")
        << 1 << false << 0.0 << RotationRestriction::MinimumVariation;
    QTest::newRow("v2 relative spacing, turning") << 2 << true << 0.0 << 180.0;
    QTest::newRow("v3 restriction record") << 3 << false << 10.0 << 30.0;
}

void TestDocumentFormat::gridThemeConversions()
{
    QFETCH(int, themeVersion);
    QFETCH(bool, rotationFlag);
    QFETCH(double, expectedZero);
    QFETCH(double, expectedVariation);

    // The reader relates an old absolute spacing to the minimum item size
    // the new theme has before the file's own is read; a document built
    // the same way shows what that is.
    Content content = mosaicContent();
    RandomGenerator::seed(5);
    Document reference(true);
    reference.setPageSize(PageSize(content.units, content.pageSize, content.pageName));
    insertImages(reference, int(content.urls.size()));
    reference.setThemeId(MosaicId);
    const double unit = 0.5 * grid(reference)->minimumItemSize();
    QVERIFY(unit > 0 && qIsFinite(unit));

    const double relative = 0.4;
    content.border = themeVersion >= 2 ? relative : relative * unit;
    content.rotationFlag = rotationFlag;
    Versions versions;
    versions.gridTheme = themeVersion;
    versions.gridItem = 2;
    RandomGenerator::seed(5);
    const std::unique_ptr<Document> document = readBytes(Builder(versions).build(content).bytes);
    QVERIFY(document);
    const PhotoGridTheme *theme = grid(*document);
    QVERIFY(qAbs(theme->borderRelative() - relative) < 1e-12);
    QCOMPARE(theme->minimumItemSize(), content.minimumItemSize);
    QCOMPARE(theme->rotationRestrictions()->zero(), expectedZero);
    QCOMPARE(theme->rotationRestrictions()->variation(), expectedVariation);
    QCOMPARE(theme->items().size(), content.cells.size());
}

void TestDocumentFormat::backgroundConversions_data()
{
    QTest::addColumn<int>("version");
    QTest::addColumn<int>("direction");
    QTest::addColumn<double>("expectedAngle");
    QTest::addColumn<int>("expectedPictureRotation");

    QTest::newRow("v0 direction down") << 0 << 1 << 180.0 << 2;
    QTest::newRow("v1 address only") << 1 << 7 << 180.0 << 0;
    QTest::newRow("v2 direction up") << 2 << 0 << 0.0 << 2;
    QTest::newRow("v2 negative direction") << 2 << -3 << 0.0 << 2;
    QTest::newRow("v3 angle") << 3 << 0 << 45.0 << 2;
}

void TestDocumentFormat::backgroundConversions()
{
    QFETCH(int, version);
    QFETCH(int, direction);
    QFETCH(double, expectedAngle);
    QFETCH(int, expectedPictureRotation);
    Versions versions;
    versions.background = version;
    Content content = photoDropContent();
    content.gradientDirection = direction;
    const std::unique_ptr<Document> document = readBytes(Builder(versions).build(content).bytes);
    QVERIFY(document);
    const BackgroundProperties *background = photoDrop(*document)->background();
    QCOMPARE(background->gradientAngle(), expectedAngle);
    QCOMPARE(background->image()->source(), content.picture);
    QCOMPARE(background->image()->rotation(), expectedPictureRotation);
    QCOMPARE(int(background->type()), content.backgroundType);
    QCOMPARE(background->gradientStartColor(), content.gradientStart);
    QCOMPARE(background->gradientEndColor(), content.gradientEnd);
}

void TestDocumentFormat::newerRecordVersionIsRefused_data()
{
    QTest::addColumn<int>("field");
    for (int i = 0; i < int(std::size(versionFields)); ++i)
        QTest::newRow(versionFields[i].name) << i;
}

void TestDocumentFormat::newerRecordVersionIsRefused()
{
    QFETCH(int, field);
    const VersionField &version = versionFields[field];
    const Content content = usesGrid(version.member) ? mosaicContent() : photoDropContent();
    QVERIFY(readBytes(Builder().build(content).bytes));
    Versions versions;
    versions.*version.member += 1;
    QVERIFY(!readBytes(Builder(versions).build(content).bytes));
}

void TestDocumentFormat::damagedFieldsAreRefused_data()
{
    QTest::addColumn<bool>("mosaic");
    QTest::addColumn<QString>("mark");
    QTest::addColumn<qint64>("value");
    QTest::addColumn<int>("size");

    QTest::newRow("negative photo count") << false << "photoCount" << qint64(-1) << 4;
    QTest::newRow("photo count above the theme's") << false << "photoCount" << qint64(4) << 4;
    QTest::newRow("photo count below the theme's") << false << "photoCount" << qint64(2) << 4;
    QTest::newRow("absurd photo count") << false << "photoCount" << qint64(0x7fffffff) << 4;
    QTest::newRow("absurd address count") << false << "urlCount" << qint64(0xfffffffe) << 4;
    QTest::newRow("address count past the end") << false << "urlCount" << qint64(100000) << 4;
    QTest::newRow("more turns than images") << false << "rotationCount" << qint64(4) << 4;
    QTest::newRow("fewer turns than images") << false << "rotationCount" << qint64(2) << 4;
    QTest::newRow("absurd property count") << false << "propertyCount" << qint64(0x7fffffff) << 4;
    QTest::newRow("negative cell count") << true << "cellCount" << qint64(-5) << 4;
    QTest::newRow("absurd cell count") << true << "cellCount" << qint64(0x10000000) << 4;
    QTest::newRow("absurd overlay count") << false << "overlayCount" << qint64(0x7fffffff) << 4;
    QTest::newRow("negative sticker count") << false << "stickerCount" << qint64(-1) << 4;
    QTest::newRow("absurd family count") << false << "font" << qint64(0) << 0;
    QTest::newRow("unknown background type") << false << "backgroundType" << qint64(7) << 4;
    QTest::newRow("unknown colour model") << false << "shadowColor" << qint64(42) << 1;
    QTest::newRow("negative colour model") << false << "shadowColor" << qint64(0xff) << 1;
    QTest::newRow("unknown page unit") << false << "units" << qint64(5) << 4;
    QTest::newRow("unknown theme") << false << "themeId" << qint64(0x00000003) << 4;
    QTest::newRow("NaN zoom") << false << "zoom" << qint64(0x7ff8000000000000) << 8;
    QTest::newRow("infinite zoom") << false << "zoom" << qint64(0x7ff0000000000000) << 8;
    QTest::newRow("negative zoom") << false << "zoom" << qint64(0xbff0000000000000) << 8;
    QTest::newRow("frame larger than the photo")
        << false << "frameSize" << qint64(0x4000000000000000) << 8;
}

void TestDocumentFormat::damagedFieldsAreRefused()
{
    QFETCH(bool, mosaic);
    QFETCH(QString, mark);
    QFETCH(qint64, value);
    QFETCH(int, size);
    File file = Builder().build(mosaic ? mosaicContent() : photoDropContent());
    QVERIFY(readBytes(file.bytes));
    if (mark == QLatin1String("font")) {
        // The family list is the font's last field: family, empty style
        // name, point and pixel size, six small fields, two spacings and
        // two more small fields come before its count.
        const QString family = overlayFont().family();
        const qint64 countAt = file.marks.value(mark) + (4 + 2 * family.size()) + 4 + 8 + 4
            + (1 + 2 + 2 + 1 + 2 + 1) + 8 + 2;
        QCOMPARE(file.bytes.mid(countAt, 4).toHex(), QByteArray("00000001"));
        file.marks.insert(QStringLiteral("familyCount"), countAt);
        file.patch(QStringLiteral("familyCount"), 0x7ffffff0, 4);
    } else {
        file.patch(mark, value, size);
    }
    QVERIFY(!readBytes(file.bytes));
}

void TestDocumentFormat::refusedProperties_data()
{
    QTest::addColumn<QByteArray>("name");
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("byte array") << QByteArray("windowGeometry") << QVariant(QByteArray("x"))
                                << true;
    QTest::newRow("text") << QByteArray("note") << QVariant(QStringLiteral("hello")) << true;
    QTest::newRow("number") << QByteArray("zoomLevel") << QVariant(2.5) << true;
    QTest::newRow("colour") << QByteArray("accent") << QVariant(QColor(Qt::red)) << true;
    QTest::newRow("string list") << QByteArray("tags") << QVariant(QStringList { "a", "b" })
                                 << true;
    QTest::newRow("declared property")
        << QByteArray("themeId") << QVariant(QByteArray("com.example")) << false;
    QTest::newRow("object name") << QByteArray("objectName") << QVariant(QStringLiteral("x"))
                                 << false;
    QTest::newRow("nested list") << QByteArray("list") << QVariant(QVariantList { 1, 2 }) << false;
    QTest::newRow("map") << QByteArray("map") << QVariant(QVariantMap { { "a", 1 } }) << false;
    QTest::newRow("image") << QByteArray("image") << QVariant(QImage(4, 4, QImage::Format_RGB32))
                           << false;
}

void TestDocumentFormat::refusedProperties()
{
    QFETCH(QByteArray, name);
    QFETCH(QVariant, value);
    QFETCH(bool, accepted);
    Content content = photoDropContent();
    content.properties.insert(name, value);
    const std::unique_ptr<Document> document = readBytes(Builder().build(content).bytes);
    QCOMPARE(bool(document), accepted);
    if (document)
        QCOMPARE(document->property(name.constData()), value);
}

void TestDocumentFormat::rowsThatNameNoImage_data()
{
    QTest::addColumn<bool>("mosaic");
    QTest::addColumn<int>("row");
    QTest::newRow("photo drop, past the list") << false << 99;
    QTest::newRow("photo drop, negative") << false << -7;
    QTest::newRow("mosaic, past the list") << true << 3;
    QTest::newRow("mosaic, negative") << true << -2;
}

void TestDocumentFormat::rowsThatNameNoImage()
{
    QFETCH(bool, mosaic);
    QFETCH(int, row);
    File file = Builder().build(mosaic ? mosaicContent() : photoDropContent());
    // The first photo written is the last row's; the first cell is cell 0.
    file.patch(mosaic ? QStringLiteral("cellRow") : QStringLiteral("photoRow"), row, 4);
    const std::unique_ptr<Document> document = readBytes(file.bytes);
    QVERIFY(document);
    if (mosaic) {
        // The cell shows no picture; the others are unharmed.
        QVERIFY(!grid(*document)->items().at(0)->image());
        QCOMPARE(imageRow(document.get(), grid(*document)->items().at(1)->image()), 0);
    } else {
        // The photo keeps the image the theme made it for.
        const PhotoDropItemPropertiesList *items = photoDrop(*document)->items();
        QCOMPARE(imageRow(document.get(), items->at(2)->source()), 2);
        QCOMPARE(items->at(2)->filterType(), 5);
    }
}

void TestDocumentFormat::changedMagicByteIsCorrupt()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("damaged.tsq"));
    QByteArray bytes = Builder().build(photoDropContent()).bytes;
    bytes[1] = char(0x07);
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(bytes);
    file.close();
    QString error;
    QVERIFY(!DocumentFile::open(path, &error));
    QCOMPARE(error, QStringLiteral("File corrupted"));
    QCOMPARE(DocumentFile::openErrorTitle(), QStringLiteral("Open file error"));
}

void TestDocumentFormat::missingFileCannotBeOpened()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("missing.tsq"));
    QString error;
    QVERIFY(!DocumentFile::open(path, &error));
    QCOMPARE(error, QStringLiteral("Can't open file %1").arg(path));
}

void TestDocumentFormat::failedWriteKeepsOldFile()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("collage.tsq"));
    const std::unique_ptr<Document> good = buildPhotoDropDocument();
    QVERIFY(good);
    QVERIFY(DocumentFile::save(good.get(), path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    // A document without a theme cannot be written completely.
    Document themeless(true);
    themeless.setPageSize(PageSize(PageSize::Pixels, QSizeF(10, 10)));
    QVERIFY(!themeless.undoStack()->isClean());
    QString error;
    QVERIFY(!DocumentFile::save(&themeless, path, &error));
    QVERIFY2(error.startsWith(QStringLiteral("Can't write %1: ").arg(path)), qPrintable(error));
    QVERIFY(!themeless.undoStack()->isClean());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList { "collage.tsq" });
}

void TestDocumentFormat::fullDiskKeepsOldFile()
{
#ifdef Q_OS_LINUX
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("collage.tsq"));
    const std::unique_ptr<Document> small = buildMosaicDocument();
    QVERIFY(small);
    QVERIFY(DocumentFile::save(small.get(), path));
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    // A document larger than the file size limit: writing it fails like a
    // full disk.
    const std::unique_ptr<Document> large = buildMosaicDocument();
    for (int i = 0; i < 200; ++i)
        large->addTextOverlay()->setText(QString(200, QChar('x')));
    const QByteArray largeBytes = writeBytes(*large);
    QVERIFY(largeBytes.size() > 4 * before.size());

    rlimit previous {};
    QVERIFY(getrlimit(RLIMIT_FSIZE, &previous) == 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limited = previous;
    limited.rlim_cur = rlim_t(2 * before.size());
    QVERIFY(setrlimit(RLIMIT_FSIZE, &limited) == 0);
    QString error;
    const bool saved = DocumentFile::save(large.get(), path, &error);
    setrlimit(RLIMIT_FSIZE, &previous);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(!saved);
    QVERIFY2(error.startsWith(QStringLiteral("Can't write %1: ").arg(path)), qPrintable(error));
    QVERIFY(!large->undoStack()->isClean());
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), before);
    QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList { "collage.tsq" });
#else
    QSKIP("The file size limit is simulated on Linux only.");
#endif
}

void TestDocumentFormat::saveIntoMissingFolder()
{
    QTemporaryDir folder;
    const QString path = folder.filePath(QStringLiteral("no/such/folder/collage.tsq"));
    const std::unique_ptr<Document> document = buildPhotoDropDocument();
    QVERIFY(document);
    QString error;
    QVERIFY(!DocumentFile::save(document.get(), path, &error));
    QCOMPARE(error, QStringLiteral("Can't open %1").arg(path));
    QCOMPARE(DocumentFile::saveErrorTitle(), QStringLiteral("Failed to save file"));
    QVERIFY(!document->undoStack()->isClean());
}

void TestDocumentFormat::seedCorpusOpens()
{
    const QString folder = QFINDTESTDATA("../fuzz/corpus");
    if (folder.isEmpty())
        QSKIP("The seed corpus is not beside the tests.");
    const QFileInfoList files = QDir(folder).entryInfoList({ "*.tsq" }, QDir::Files);
    QVERIFY(!files.isEmpty());
    for (const QFileInfo &info : files) {
        QString error;
        const std::unique_ptr<Document> document = DocumentFile::open(info.filePath(), &error);
        QVERIFY2(document, qPrintable(info.fileName() + QLatin1String(": ") + error));
    }
}

QTEST_MAIN(TestDocumentFormat)
#include "tst_documentformat.moc"
