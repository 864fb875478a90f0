#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <algorithm>
#include <limits>

#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "model/transformedimagesource.h"
#include "themes/photogrid/mosaictheme.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/photogridtheme.h"
#include "themes/themeregistry.h"
#include "undo/undocommandwrapper.h"
#include "undo/undostack.h"

namespace {

const QByteArray MosaicId = "com.quorvane.collage.theme.mosaic";

struct Cell
{
    QRectF rect;
    qreal angleRelative;
    const TransformedImageSource *source;
    const ImageSource *image;
    QTransform crop;
    int filter;
    int mask;

    bool operator==(const Cell &o) const
    {
        return rect == o.rect && angleRelative == o.angleRelative && source == o.source
            && image == o.image && crop == o.crop && filter == o.filter && mask == o.mask;
    }
};

QList<Cell> cellsOf(const PhotoGridTheme *theme)
{
    QList<Cell> cells;
    for (const auto &item : theme->items())
        cells.append(
            { item->rect(), item->angleRelative(), item->source().data(), item->image().data(),
                item->source()->transform(), item->filterType(), item->maskShape() });
    return cells;
}

QList<const PhotoGridItemProperties *> orderOf(const PhotoGridTheme *theme)
{
    QList<const PhotoGridItemProperties *> order;
    for (const auto &item : theme->items())
        order.append(item.data());
    return order;
}

} // namespace

class TestPhotoGridTheme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void construction();
    void spacingClamps_data();
    void spacingClamps();
    void spacingChangesMerge();
    void borderFollowsMinimumItemSize();
    void minimumItemSize();

    void itemsChangedKeepsOrder();
    void itemsWithoutUndoStack();
    void findItemOnlyFindsOwnCells();

    void rearrange_data();
    void rearrange();
    void rearrangeIsSeeded();

    void exchange_data();
    void exchange();
    void placement_data();
    void placement();

private:
    QList<QUrl> writeImages(int count);
    Document *newDocument(const QSizeF &page, int imageCount, bool withUndoStack = true);
    // A plain grid theme with one hand-made cell per rectangle; cell i
    // shows image shown[i].
    PhotoGridTheme *handMadeGrid(
        Document *document, const QList<QRectF> &rects, const QList<int> &shown);

    QTemporaryDir m_dir;
    int m_fileCount = 0;
};

void TestPhotoGridTheme::initTestCase()
{
    QVERIFY(m_dir.isValid());
    ThemeRegistry::registerTheme<MosaicTheme>(
        MosaicId, QIcon(), QStringLiteral("Mosaic"), QStringLiteral(":/MosaicTemplates"));
}

void TestPhotoGridTheme::cleanup()
{
    RandomGenerator::reseed();
}

QList<QUrl> TestPhotoGridTheme::writeImages(int count)
{
    static const QSize sizes[] = { { 40, 30 }, { 30, 40 }, { 50, 50 } };
    QList<QUrl> urls;
    for (int k = 0; k < count; ++k) {
        QImage image(sizes[k % 3], QImage::Format_RGB32);
        image.fill(QColor::fromHsv((m_fileCount * 61) % 360, 160, 220));
        const QString path = m_dir.filePath(QStringLiteral("grid%1.png").arg(m_fileCount++));
        if (!image.save(path))
            return {};
        urls.append(QUrl::fromLocalFile(path));
    }
    return urls;
}

Document *TestPhotoGridTheme::newDocument(const QSizeF &page, int imageCount, bool withUndoStack)
{
    auto *document = new Document(withUndoStack, this);
    document->setPageSize(PageSize(PageSize::Pixels, page));
    if (imageCount > 0 && !document->imageList()->insertUrls(0, writeImages(imageCount), false))
        return nullptr;
    if (document->undoStack())
        document->undoStack()->clear();
    return document;
}

PhotoGridTheme *TestPhotoGridTheme::handMadeGrid(
    Document *document, const QList<QRectF> &rects, const QList<int> &shown)
{
    auto *theme = new PhotoGridTheme(document);
    for (int i = 0; i < rects.size(); ++i) {
        const auto item = theme->createItem(document->imageList()->at(shown.at(i)));
        item->setRect(rects.at(i));
    }
    if (document->undoStack())
        document->undoStack()->clear();
    return theme;
}

void TestPhotoGridTheme::construction()
{
    QScopedPointer<Document> document(newDocument(QSizeF(3000, 2000), 2));
    QVERIFY(document);
    document->setThemeId(MosaicId);
    auto *theme = qobject_cast<MosaicTheme *>(document->theme());
    QVERIFY(theme);
    // Building the cells is part of the theme change.
    QCOMPARE(document->undoStack()->count(), 1);
    QCOMPARE(theme->items().size(), 2);
    QCOMPARE(theme->borderRelative(), 0.0);
    QCOMPARE(theme->border(), 0.0);
    for (QObject *part : { static_cast<QObject *>(theme->shadows()),
             static_cast<QObject *>(theme->frames()), static_cast<QObject *>(theme->background()),
             static_cast<QObject *>(theme->rotationRestrictions()) })
        QCOMPARE(part->parent(), theme);
    QCOMPARE(theme->shadows()->document(), document.data());
    QCOMPARE(theme->rotationRestrictions()->document(), document.data());
    for (const auto &item : theme->items()) {
        QCOMPARE(item->restriction(), theme->rotationRestrictions());
        QCOMPARE(item->document(), document.data());
        QCOMPARE(item->parent(), nullptr);
    }
    // What template scripts see.
    QCOMPARE(theme->property("shadows").value<QObject *>(), theme->shadows());
    QCOMPARE(theme->property("frames").value<QObject *>(), theme->frames());
    QCOMPARE(theme->property("background").value<QObject *>(),
        static_cast<QObject *>(theme->background()));
    QCOMPARE(
        theme->property("rotationRestrictions").value<QObject *>(), theme->rotationRestrictions());
    QVERIFY(theme->setProperty("borderRelative", 0.25));
    QCOMPARE(theme->property("border").toReal(), 0.25 * theme->minimumItemSize() * 0.5);
    QVERIFY(!theme->metaObject()
                 ->property(theme->metaObject()->indexOfProperty("minimumItemSize"))
                 .isWritable());
    QVERIFY(theme->metaObject()->indexOfSlot("rearrange()") >= 0);
    QWidget panel;
    const QList<QWidget *> pages = theme->createPropertyWidgets(&panel);
    QCOMPARE(pages.size(), 4);
    QCOMPARE(pages.first()->metaObject()->className(), "PhotoGrigControlWidget");

    // A fresh grid starts with the page's shorter side as its unit.
    PhotoGridTheme plain(document.data());
    QCOMPARE(plain.minimumItemSize(), 2000.0);
    QVERIFY(plain.items().isEmpty());
}

void TestPhotoGridTheme::spacingClamps_data()
{
    QTest::addColumn<qreal>("requested");
    QTest::addColumn<qreal>("stored");
    QTest::newRow("inside") << 0.3 << 0.3;
    QTest::newRow("upper bound") << 1.0 << 1.0;
    QTest::newRow("above") << 1.5 << 1.0;
    QTest::newRow("below") << -0.2 << 0.0;
    QTest::newRow("far above") << 1e9 << 1.0;
}

void TestPhotoGridTheme::spacingClamps()
{
    QFETCH(qreal, requested);
    QFETCH(qreal, stored);
    for (bool withStack : { true, false }) {
        QScopedPointer<Document> document(newDocument(QSizeF(1000, 800), 0, withStack));
        PhotoGridTheme theme(document.data());
        theme.setBorderRelative(0.5);
        if (withStack)
            document->undoStack()->clear(); // else the next change merges with this one
        QSignalSpy relative(&theme, &PhotoGridTheme::borderRelativeChanged);
        QSignalSpy border(&theme, &PhotoGridTheme::borderChanged);
        theme.setBorderRelative(requested);
        QCOMPARE(theme.borderRelative(), stored);
        QCOMPARE(relative.count(), 1);
        QCOMPARE(relative.first().first().toReal(), stored);
        QCOMPARE(border.count(), 1);
        QCOMPARE(theme.border(), stored * 800 * 0.5);
        if (withStack) {
            document->undoStack()->undo();
            QCOMPARE(theme.borderRelative(), 0.5);
            document->undoStack()->redo();
            QCOMPARE(theme.borderRelative(), stored);
        }
    }
}

void TestPhotoGridTheme::spacingChangesMerge()
{
    QScopedPointer<Document> document(newDocument(QSizeF(1000, 1000), 0));
    PhotoGridTheme theme(document.data());
    UndoStack *stack = document->undoStack();
    stack->clear();
    theme.setBorderRelative(0.1);
    theme.setBorderRelative(0.2);
    theme.setBorder(150); // 150 / (1000 x 0.5)
    QCOMPARE(theme.borderRelative(), 0.3);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Changing spacing"));
    const auto *wrapper = static_cast<const UndoCommandWrapper *>(stack->command(0));
    QCOMPARE(wrapper->commands().first()->id(), 18);
    stack->undo();
    QCOMPARE(theme.borderRelative(), 0.0);
    stack->redo();
    QCOMPARE(theme.borderRelative(), 0.3);
    // Another kind of change in between ends the run.
    theme.updateMinimumItemSize(500);
    theme.setBorderRelative(0.4);
    QCOMPARE(stack->count(), 3);
    // A value that is no number changes nothing.
    theme.setBorderRelative(std::numeric_limits<qreal>::quiet_NaN());
    theme.setBorder(std::numeric_limits<qreal>::quiet_NaN());
    QCOMPARE(theme.borderRelative(), 0.4);
}

void TestPhotoGridTheme::borderFollowsMinimumItemSize()
{
    QScopedPointer<Document> document(newDocument(QSizeF(1200, 1000), 0, false));
    PhotoGridTheme theme(document.data());
    theme.setBorderRelative(0.4);
    QCOMPARE(theme.border(), 200.0);
    QSignalSpy border(&theme, &PhotoGridTheme::borderChanged);
    QSignalSpy minimum(&theme, &PhotoGridTheme::minimumItemSizeChanged);
    theme.updateMinimumItemSize(300);
    QCOMPARE(minimum.count(), 1);
    QCOMPARE(border.count(), 1);
    QCOMPARE(theme.border(), 60.0);
    // Writing the absolute spacing sets the relative one.
    theme.setBorder(30);
    QCOMPARE(theme.borderRelative(), 0.2);
    theme.setBorder(1000);
    QCOMPARE(theme.borderRelative(), 1.0);
    // Between a reset and the first cut there is no unit to relate to.
    theme.resetMinimumItemSize();
    QCOMPARE(theme.border(), 0.0);
    theme.setBorder(10);
    QCOMPARE(theme.borderRelative(), 1.0);
}

void TestPhotoGridTheme::minimumItemSize()
{
    QScopedPointer<Document> document(newDocument(QSizeF(900, 1600), 0));
    PhotoGridTheme theme(document.data());
    UndoStack *stack = document->undoStack();
    stack->clear();
    QCOMPARE(theme.minimumItemSize(), 900.0);
    QSignalSpy minimum(&theme, &PhotoGridTheme::minimumItemSizeChanged);
    theme.updateMinimumItemSize(1000); // larger: stays
    QCOMPARE(theme.minimumItemSize(), 900.0);
    QCOMPARE(minimum.count(), 0);
    QCOMPARE(stack->count(), 0);
    theme.updateMinimumItemSize(400);
    theme.updateMinimumItemSize(300);
    QCOMPARE(theme.minimumItemSize(), 300.0);
    // These never merge.
    QCOMPARE(stack->count(), 2);
    QCOMPARE(stack->text(1), QStringLiteral("Changing minimum image size"));
    theme.resetMinimumItemSize();
    QVERIFY(qIsInf(theme.minimumItemSize()));
    stack->undo();
    QCOMPARE(theme.minimumItemSize(), 300.0);
    stack->undo();
    QCOMPARE(theme.minimumItemSize(), 400.0);
    QCOMPARE(minimum.count(), 5);
}

void TestPhotoGridTheme::itemsChangedKeepsOrder()
{
    QScopedPointer<Document> document(newDocument(QSizeF(1000, 1000), 3));
    QVERIFY(document);
    PhotoGridTheme theme(document.data());
    UndoStack *stack = document->undoStack();
    stack->clear();
    QSignalSpy inserted(&theme, &PhotoGridTheme::itemInserted);
    QSignalSpy removed(&theme, &PhotoGridTheme::itemRemoved);
    ImageList *images = document->imageList();

    QList<PhotoGridItemPropertiesSharedPointer> made;
    for (int i = 0; i < 3; ++i)
        made.append(theme.createItem(images->at(i)));
    QCOMPARE(stack->count(), 3);
    QCOMPARE(stack->text(0), QStringLiteral("inserting grid item"));
    QCOMPARE(inserted.count(), 3);
    QCOMPARE(inserted.at(1).first().value<PhotoGridItemPropertiesSharedPointer>(), made.at(1));
    QCOMPARE(made.at(1)->image(), images->at(1));
    QCOMPARE(made.at(1)->source()->transform(), QTransform());
    const QList<const PhotoGridItemProperties *> order = orderOf(&theme);

    theme.removeItem(made.at(1));
    QCOMPARE(stack->count(), 4);
    QCOMPARE(stack->text(3), QStringLiteral("removing grid item"));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(theme.items().size(), 2);
    QVERIFY(!theme.containsItem(made.at(1).data()));
    // Removing a cell the theme does not hold records nothing.
    theme.removeItem(made.at(1));
    theme.removeItem(PhotoGridItemPropertiesSharedPointer());
    QCOMPARE(stack->count(), 4);

    // The removed cell comes back at its former place.
    stack->undo();
    QCOMPARE(orderOf(&theme), order);
    QCOMPARE(inserted.count(), 4);
    stack->undo();
    stack->undo();
    QCOMPARE(theme.items().size(), 1);
    stack->redo();
    stack->redo();
    stack->redo();
    QCOMPARE(theme.items().size(), 2);
    stack->undo();
    QCOMPARE(orderOf(&theme), order);
    const auto *wrapper = static_cast<const UndoCommandWrapper *>(stack->command(0));
    QCOMPARE(wrapper->commands().first()->id(), -1);
}

void TestPhotoGridTheme::itemsWithoutUndoStack()
{
    QScopedPointer<Document> document(newDocument(QSizeF(1000, 1000), 2, false));
    QVERIFY(document);
    PhotoGridTheme theme(document.data());
    QSignalSpy inserted(&theme, &PhotoGridTheme::itemInserted);
    QSignalSpy removed(&theme, &PhotoGridTheme::itemRemoved);
    const auto a = theme.createItem(document->imageList()->at(0));
    const auto b = theme.createItem(document->imageList()->at(1));
    QCOMPARE(inserted.count(), 2);
    QCOMPARE(theme.items(), (QList<PhotoGridItemPropertiesSharedPointer> { a, b }));
    theme.insertItem(a); // already there
    QCOMPARE(inserted.count(), 2);
    theme.removeItem(a);
    QCOMPARE(removed.count(), 1);
    QCOMPARE(theme.items(), (QList<PhotoGridItemPropertiesSharedPointer> { b }));
    theme.insertItem(a);
    QCOMPARE(theme.items(), (QList<PhotoGridItemPropertiesSharedPointer> { b, a }));
}

void TestPhotoGridTheme::findItemOnlyFindsOwnCells()
{
    QScopedPointer<Document> document(newDocument(QSizeF(1000, 1000), 2));
    QVERIFY(document);
    PhotoGridTheme theme(document.data());
    PhotoGridTheme other(document.data());
    const auto own = theme.createItem(document->imageList()->at(0));
    const auto foreign = other.createItem(document->imageList()->at(1));
    QCOMPARE(theme.findItem(reinterpret_cast<quintptr>(own.data())), own);
    QVERIFY(!theme.findItem(reinterpret_cast<quintptr>(foreign.data())));
    QVERIFY(!theme.findItem(0));
    QVERIFY(!theme.findItem(reinterpret_cast<quintptr>(own.data()) + 8));
    QVERIFY(!theme.findItem(reinterpret_cast<quintptr>(&theme)));
}

void TestPhotoGridTheme::rearrange_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<quint64>("seed");
    QTest::newRow("empty") << 0 << quint64(1);
    QTest::newRow("one cell") << 1 << quint64(1);
    QTest::newRow("two cells") << 2 << quint64(4);
    QTest::newRow("seven cells") << 7 << quint64(5);
}

void TestPhotoGridTheme::rearrange()
{
    QFETCH(int, count);
    QFETCH(quint64, seed);
    RandomGenerator::seed(seed);
    QScopedPointer<Document> document(newDocument(QSizeF(3000, 2000), count));
    QVERIFY(document);
    document->setThemeId(MosaicId);
    auto *theme = qobject_cast<MosaicTheme *>(document->theme());
    QVERIFY(theme);
    UndoStack *stack = document->undoStack();
    theme->rotationRestrictions()->setZero(10);
    theme->rotationRestrictions()->setVariation(25);
    // Give each image its own crop, filter and mask.
    for (int i = 0; i < theme->items().size(); ++i) {
        const auto &item = theme->items().at(i);
        item->source()->setTransform(QTransform::fromTranslate(i, 2 * i).scale(1.5, 1.5));
        item->setFilterType(i % 6);
        item->setMaskShape((i + 2) % 6);
    }
    stack->clear();
    const QList<Cell> before = cellsOf(theme);

    theme->rearrange();
    const QList<Cell> after = cellsOf(theme);
    if (count == 0) {
        QCOMPARE(stack->count(), 0);
        return;
    }
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Rearrange"));
    if (count == 1) {
        QCOMPARE(after, before);
        return;
    }
    // The images keep their sources, crops, filters and masks ...
    QList<QPair<QRectF, qreal>> dealtBefore;
    QList<QPair<QRectF, qreal>> dealtAfter;
    for (int i = 0; i < count; ++i) {
        QCOMPARE(after[i].source, before[i].source);
        QCOMPARE(after[i].image, before[i].image);
        QCOMPARE(after[i].crop, before[i].crop);
        QCOMPARE(after[i].filter, before[i].filter);
        QCOMPARE(after[i].mask, before[i].mask);
        dealtBefore.append({ before[i].rect, before[i].angleRelative });
        dealtAfter.append({ after[i].rect, after[i].angleRelative });
    }
    // ... and the (cell, turn) pairs are dealt out anew, each exactly once.
    auto byPosition = [](const QPair<QRectF, qreal> &a, const QPair<QRectF, qreal> &b) {
        return std::make_tuple(a.first.x(), a.first.y(), a.second)
            < std::make_tuple(b.first.x(), b.first.y(), b.second);
    };
    QVERIFY(dealtAfter != dealtBefore);
    std::sort(dealtBefore.begin(), dealtBefore.end(), byPosition);
    std::sort(dealtAfter.begin(), dealtAfter.end(), byPosition);
    QCOMPARE(dealtAfter, dealtBefore);

    stack->undo();
    QCOMPARE(cellsOf(theme), before);
    stack->redo();
    QCOMPARE(cellsOf(theme), after);
}

void TestPhotoGridTheme::rearrangeIsSeeded()
{
    QList<QList<Cell>> runs;
    QScopedPointer<Document> document(newDocument(QSizeF(2000, 2000), 6));
    QVERIFY(document);
    document->setThemeId(MosaicId);
    auto *theme = qobject_cast<MosaicTheme *>(document->theme());
    QVERIFY(theme);
    const QList<Cell> start = cellsOf(theme);
    for (quint64 seed : { 3, 3, 4 }) {
        RandomGenerator::seed(seed);
        theme->rearrange();
        runs.append(cellsOf(theme));
        document->undoStack()->undo();
        QCOMPARE(cellsOf(theme), start);
    }
    QCOMPARE(runs[0], runs[1]);
    QVERIFY(runs[0] != runs[2]);
}

void TestPhotoGridTheme::exchange_data()
{
    QTest::addColumn<QString>("pair");
    QTest::addColumn<bool>("result");
    QTest::newRow("two images") << QStringLiteral("different") << true;
    QTest::newRow("one image in two source objects") << QStringLiteral("same image") << true;
    QTest::newRow("one source object") << QStringLiteral("same source") << false;
    QTest::newRow("a cell with itself") << QStringLiteral("itself") << false;
    QTest::newRow("a foreign cell") << QStringLiteral("foreign") << false;
    QTest::newRow("no cell") << QStringLiteral("null") << false;
}

void TestPhotoGridTheme::exchange()
{
    QFETCH(QString, pair);
    QFETCH(bool, result);
    QScopedPointer<Document> document(newDocument(QSizeF(1000, 1000), 3));
    QVERIFY(document);
    PhotoGridTheme *theme = handMadeGrid(document.data(),
        { QRectF(0, 0, 500, 1000), QRectF(500, 0, 500, 500), QRectF(500, 500, 500, 500) },
        { 0, 1, 1 });
    UndoStack *stack = document->undoStack();
    const auto &items = theme->items();
    items.at(0)->source()->setTransform(QTransform::fromScale(2, 2));
    items.at(1)->source()->setTransform(QTransform::fromTranslate(5, 0));
    PhotoGridTheme foreignTheme(document.data());
    const auto foreign = foreignTheme.createItem(document->imageList()->at(2));
    stack->clear();

    PhotoGridItemProperties *a = items.at(0).data();
    PhotoGridItemProperties *b = items.at(1).data();
    if (pair == QLatin1String("same image")) {
        a = items.at(2).data();
    } else if (pair == QLatin1String("same source")) {
        items.at(2)->setSource(items.at(1)->source());
        stack->clear();
        a = items.at(2).data();
    } else if (pair == QLatin1String("itself")) {
        b = a;
    } else if (pair == QLatin1String("foreign")) {
        b = foreign.data();
    } else if (pair == QLatin1String("null")) {
        b = nullptr;
    }
    const QList<Cell> before = cellsOf(theme);
    const auto sourceA = a->source();
    const auto sourceB = b ? b->source() : QSharedPointer<TransformedImageSource>();
    const QRectF rectA = a->rect();
    const QRectF rectB = b ? b->rect() : QRectF();

    QCOMPARE(theme->exchangeImages(a, b), result);
    if (!result) {
        QCOMPARE(stack->count(), 0);
        QCOMPARE(cellsOf(theme), before);
        return;
    }
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Exchanging images"));
    // The source objects travel whole, each with its crop.
    QCOMPARE(a->source(), sourceB);
    QCOMPARE(b->source(), sourceA);
    // The cells stay where they are.
    QCOMPARE(a->rect(), rectA);
    QCOMPARE(b->rect(), rectB);
    const QList<Cell> after = cellsOf(theme);
    stack->undo();
    QCOMPARE(cellsOf(theme), before);
    stack->redo();
    QCOMPARE(cellsOf(theme), after);
}

void TestPhotoGridTheme::placement_data()
{
    // Cells show images by index; -1 marks the crop "none" (identity).
    QTest::addColumn<QList<int>>("shown");
    QTest::addColumn<int>("target");
    QTest::addColumn<int>("dropped");
    QTest::addColumn<bool>("result");
    QTest::addColumn<QList<int>>("expected");
    // Which cell's former crop each cell ends with (-1: identity).
    QTest::addColumn<QList<int>>("crops");

    QTest::newRow("the image it shows already") << QList<int> { 0, 1, 2 } << 1 << 1 << false
                                                << QList<int> { 0, 1, 2 } << QList<int> { 0, 1, 2 };
    QTest::newRow("former image kept elsewhere, dropped image unused") << QList<int> { 0, 0,
        1 } << 0 << 3 << true << QList<int> { 3, 0, 1 } << QList<int> { -1, 1, 2 };
    QTest::newRow("former image kept elsewhere, dropped image shown once") << QList<int> { 0, 0,
        1 } << 1 << 1 << true << QList<int> { 0, 1, 1 } << QList<int> { 0, 2, 2 };
    QTest::newRow("former image would vanish: swap with the only other cell") << QList<int> { 0, 1,
        2 } << 0 << 2 << true << QList<int> { 2, 1, 0 } << QList<int> { 2, 1, 0 };
    QTest::newRow("former image would vanish, dropped image unused: it is lost") << QList<int> { 0,
        1, 2 } << 2 << 3 << true << QList<int> { 0, 1, 3 } << QList<int> { 0, 1, -1 };
}

void TestPhotoGridTheme::placement()
{
    QFETCH(QList<int>, shown);
    QFETCH(int, target);
    QFETCH(int, dropped);
    QFETCH(bool, result);
    QFETCH(QList<int>, expected);
    QFETCH(QList<int>, crops);

    QScopedPointer<Document> document(newDocument(QSizeF(900, 300), 4));
    QVERIFY(document);
    QList<QRectF> rects;
    for (int i = 0; i < shown.size(); ++i)
        rects.append(QRectF(300 * i, 0, 300, 300));
    PhotoGridTheme *theme = handMadeGrid(document.data(), rects, shown);
    UndoStack *stack = document->undoStack();
    QList<QTransform> cropOf;
    for (int i = 0; i < shown.size(); ++i) {
        cropOf.append(QTransform::fromTranslate(10 * (i + 1), 0));
        theme->items().at(i)->source()->setTransform(cropOf.last());
    }
    stack->clear();
    const QList<Cell> before = cellsOf(theme);
    ImageList *images = document->imageList();

    QCOMPARE(theme->placeImage(theme->items().at(target).data(), images->at(dropped)), result);
    if (!result) {
        QCOMPARE(stack->count(), 0);
        QCOMPARE(cellsOf(theme), before);
        return;
    }
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Placing image"));
    for (int i = 0; i < shown.size(); ++i) {
        const auto &item = theme->items().at(i);
        QCOMPARE(item->image(), images->at(expected.at(i)));
        QCOMPARE(
            item->source()->transform(), crops.at(i) < 0 ? QTransform() : cropOf.at(crops.at(i)));
        // Each cell keeps its own source object and rectangle.
        QCOMPARE(item->source().data(), before[i].source);
        QCOMPARE(item->rect(), before[i].rect);
    }
    const QList<Cell> after = cellsOf(theme);
    stack->undo();
    QCOMPARE(cellsOf(theme), before);
    stack->redo();
    QCOMPARE(cellsOf(theme), after);

    // Invalid targets and images are refused.
    PhotoGridTheme foreignTheme(document.data());
    const auto foreign = foreignTheme.createItem(images->at(0));
    QVERIFY(!theme->placeImage(foreign.data(), images->at(1)));
    QVERIFY(!theme->placeImage(nullptr, images->at(1)));
    QVERIFY(!theme->placeImage(theme->items().first().data(), QSharedPointer<ImageSource>()));
}

QTEST_MAIN(TestPhotoGridTheme)
#include "tst_photogridtheme.moc"
