#include <QImage>
#include <QItemSelection>
#include <QPointer>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "model/backgroundproperties.h"
#include "model/document.h"
#include "model/frameproperties.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/itemtransformundocommand.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodroptheme.h"
#include "themes/photodrop/photodropthemearrangecommand.h"
#include "themes/themeregistry.h"
#include "undo/undostack.h"

namespace {

const QByteArray PhotoDropId = "com.quorvane.collage.theme.photodrop";

struct Placement
{
    QPointF position;
    qreal zoom;
    qreal rotationRelative;

    bool operator==(const Placement &other) const
    {
        return position.x() == other.position.x() && position.y() == other.position.y()
            && zoom == other.zoom && rotationRelative == other.rotationRelative;
    }
};

QList<Placement> placements(const PhotoDropTheme *theme)
{
    QList<Placement> result;
    for (const auto &item : theme->items()->items()) {
        const ItemTransform *t = item->transform();
        result.append({ t->position(), t->zoom(), t->rotationRelative() });
    }
    return result;
}

// The area the photos' outlines share, pair by pair.
double totalOverlap(const PhotoDropTheme *theme)
{
    double total = 0;
    const auto &items = theme->items()->items();
    for (int i = 0; i < items.size(); ++i) {
        for (int j = i + 1; j < items.size(); ++j) {
            const QPolygonF overlap = PhotoDropTheme::outline(items[i].data())
                                          .intersected(PhotoDropTheme::outline(items[j].data()))
                                          .toFillPolygon();
            double sum = 0;
            for (int k = 0; k + 1 < overlap.size(); ++k)
                sum += overlap[k].x() * overlap[k + 1].y() - overlap[k + 1].x() * overlap[k].y();
            total += qAbs(sum) / 2;
        }
    }
    return total;
}

QStringList stackNames(const PhotoDropTheme *theme)
{
    QStringList names;
    for (const auto &item : theme->items()->items())
        names.append(item->objectName());
    return names;
}

QStringList imageNames(const Document &document)
{
    QStringList names;
    for (const auto &image : document.imageList()->items())
        names.append(image->objectName());
    return names;
}

QItemSelection selectRows(const PhotoDropTheme *theme, const QList<int> &rows)
{
    QItemSelection selection;
    for (int row : rows)
        selection.select(theme->items()->index(row), theme->items()->index(row));
    return selection;
}

// Records its pushes only when it first runs, as setters called by an
// assignment do.
class NestingCommand : public UndoCommand
{
public:
    explicit NestingCommand(std::function<void()> action)
        : UndoCommand(QStringLiteral("nesting"))
        , m_action(std::move(action))
    {
    }
    void redo() override
    {
        if (m_action)
            std::exchange(m_action, nullptr)();
    }
    void undo() override { }

private:
    std::function<void()> m_action;
};

} // namespace

class TestPhotoDropTheme : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void cleanup();

    void construction();
    void placementOfNewPhotos_data();
    void placementOfNewPhotos();
    void scriptProperties();

    void rearrangeSeparates_data();
    void rearrangeSeparates();
    void rearrangeIsOneStep();
    void rearrangeTwiceIsOneStep();
    void randomizeIsOneStep();
    void emptyTheme();
    void withoutUndoStack();
    void arrangeCommandsMerge();
    void nestedArrangeCommandsMerge();

    void recyclingAfterRemoveAndUndo();
    void recyclingAfterPageSizeChange();
    void recycledPhotoGoesWithItsImage();
    void imageMovesAreFollowed();

    void stacking_data();
    void stacking();

    void seededLayoutIsReproduced();

private:
    QList<QUrl> writeImages(const QList<QSize> &sizes);
    QList<QUrl> mixedImages(int count);
    Document *newDocument(bool withUndoStack, const QSizeF &page, const QList<QUrl> &urls);
    PhotoDropTheme *installTheme(Document *document);

    QTemporaryDir m_dir;
    int m_fileCount = 0;
};

void TestPhotoDropTheme::initTestCase()
{
    QVERIFY(m_dir.isValid());
    ThemeRegistry::registerTheme<PhotoDropTheme>(
        PhotoDropId, QIcon(), QStringLiteral("Photo Drop"), QStringLiteral(":/PhotoDropTemplates"));
}

void TestPhotoDropTheme::cleanup()
{
    RandomGenerator::reseed();
}

QList<QUrl> TestPhotoDropTheme::writeImages(const QList<QSize> &sizes)
{
    QList<QUrl> urls;
    for (const QSize &size : sizes) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(QColor::fromHsv((m_fileCount * 47) % 360, 200, 220));
        const QString path = m_dir.filePath(QStringLiteral("photo%1.png").arg(m_fileCount++));
        if (!image.save(path))
            return {};
        urls.append(QUrl::fromLocalFile(path));
    }
    return urls;
}

QList<QUrl> TestPhotoDropTheme::mixedImages(int count)
{
    static const QSize proportions[]
        = { { 40, 30 }, { 30, 40 }, { 64, 36 }, { 50, 50 }, { 90, 30 } };
    QList<QSize> sizes;
    for (int k = 0; k < count; ++k)
        sizes.append(proportions[k % 5]);
    return writeImages(sizes);
}

Document *TestPhotoDropTheme::newDocument(
    bool withUndoStack, const QSizeF &page, const QList<QUrl> &urls)
{
    auto *document = new Document(withUndoStack, this);
    document->setPageSize(PageSize(PageSize::Pixels, page));
    if (!urls.isEmpty() && !document->imageList()->insertUrls(0, urls, false))
        return nullptr;
    if (document->undoStack())
        document->undoStack()->clear();
    return document;
}

PhotoDropTheme *TestPhotoDropTheme::installTheme(Document *document)
{
    document->setThemeId(PhotoDropId);
    if (document->undoStack())
        document->undoStack()->clear();
    return qobject_cast<PhotoDropTheme *>(document->theme());
}

void TestPhotoDropTheme::construction()
{
    QScopedPointer<Document> document(newDocument(true, QSizeF(3000, 2000), mixedImages(3)));
    QVERIFY(document);
    UndoStack *stack = document->undoStack();
    document->setThemeId(PhotoDropId);
    auto *theme = qobject_cast<PhotoDropTheme *>(document->theme());
    QVERIFY(theme);
    // Building the photos is part of the theme change, not steps of its own.
    QCOMPARE(stack->count(), 1);
    QCOMPARE(theme->items()->count(), 3);
    QCOMPARE(theme->recycledCount(), 3);
    for (int row = 0; row < 3; ++row) {
        const auto item = theme->items()->at(row);
        QCOMPARE(item->source(), document->imageList()->at(row));
        QCOMPARE(item->objectName(), document->imageList()->at(row)->objectName());
        QCOMPARE(item->transform()->objectName(), item->objectName());
        QCOMPARE(item->transform()->document(), document.data());
        QCOMPARE(item->transform()->restriction(), theme->rotationRestrictions());
    }
    // Initial shadow: a blur of 3 % of the shorter side, offset straight down.
    const qreal m = 2000 * 0.03;
    QCOMPARE(theme->shadows()->blurRadius(), m);
    QVERIFY(qAbs(theme->shadows()->offset().x()) < 1e-9);
    QVERIFY(qAbs(theme->shadows()->offset().y() - m * 0.3) < 1e-9);
    QCOMPARE(theme->shadows()->document(), document.data());
    QCOMPARE(theme->frames()->size(), 0.08);
    QCOMPARE(theme->rotationRestrictions()->variation(), 180.0);
    // The appearance objects record their changes in the document.
    theme->shadows()->setBlurRadius(5);
    QCOMPARE(stack->count(), 2);
    stack->undo();
    QCOMPARE(theme->shadows()->blurRadius(), m);
}

void TestPhotoDropTheme::placementOfNewPhotos_data()
{
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<int>("count");
    QTest::addColumn<qreal>("variation");
    QTest::newRow("landscape page") << QSizeF(3000, 2000) << 4 << 15.0;
    QTest::newRow("portrait page, wide turns") << QSizeF(1000, 2000) << 6 << 40.0;
    QTest::newRow("square page, straight") << QSizeF(800, 800) << 5 << 0.0;
}

void TestPhotoDropTheme::placementOfNewPhotos()
{
    QFETCH(QSizeF, page);
    QFETCH(int, count);
    QFETCH(qreal, variation);
    QScopedPointer<Document> document(newDocument(true, page, {}));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    theme->rotationRestrictions()->setVariation(variation);
    UndoStack *stack = document->undoStack();
    stack->clear();
    const QList<QUrl> urls = mixedImages(count);
    QVERIFY(document->imageList()->insertUrls(0, urls, false));
    // One step: the insertion; the first throw of each photo is not recorded.
    QCOMPARE(stack->count(), 1);
    QCOMPARE(theme->items()->count(), count);
    for (const auto &item : theme->items()->items()) {
        const ItemTransform *t = item->transform();
        QVERIFY(t->rotationRelative() >= -1.0 && t->rotationRelative() < 1.0);
        // The turned photo's box gets the (n + 1)-th part of the area the
        // photo could fill; all n photos came in with one insertion.
        const QRectF unit = PhotoDropTheme::unitRect(item.data());
        const QSizeF fitted = unit.size().scaled(page, Qt::KeepAspectRatio);
        const QRectF box
            = QTransform().scale(t->zoom(), t->zoom()).rotate(t->rotation()).mapRect(unit);
        const double share = fitted.width() * fitted.height() / (count + 1);
        QVERIFY2(qAbs(box.width() * box.height() - share) < 1e-3 * share,
            qPrintable(QStringLiteral("%1 %2").arg(box.width() * box.height()).arg(share)));
        const QRectF onPage = PhotoDropTheme::outline(item.data()).boundingRect();
        QVERIFY(QRectF(QPointF(-1, -1), page + QSizeF(2, 2)).contains(onPage));
    }
    stack->undo();
    QCOMPARE(theme->items()->count(), 0);
}

void TestPhotoDropTheme::scriptProperties()
{
    QScopedPointer<Document> document(newDocument(false, QSizeF(1000, 1000), {}));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    QCOMPARE(theme->property("shadows").value<QObject *>(), theme->shadows());
    QCOMPARE(theme->property("frames").value<QObject *>(), theme->frames());
    QCOMPARE(theme->property("background").value<QObject *>(),
        static_cast<QObject *>(theme->background()));
    QCOMPARE(
        theme->property("rotationRestrictions").value<QObject *>(), theme->rotationRestrictions());
    QVERIFY(theme->metaObject()->indexOfSlot("randomize()") >= 0);
    QVERIFY(theme->metaObject()->indexOfSlot("rearrange()") >= 0);
    QVERIFY(theme->metaObject()->indexOfSlot("bringToFront(QItemSelection)") >= 0);
    // The theme's pages: its own, then shadows, frames and background.
    QWidget panel;
    const QList<QWidget *> pages = theme->createPropertyWidgets(&panel);
    QCOMPARE(pages.size(), 4);
    QCOMPARE(pages.first()->metaObject()->className(), "PhotoDropThemePropertiesWidget");
}

void TestPhotoDropTheme::rearrangeSeparates_data()
{
    QTest::addColumn<int>("count");
    QTest::addColumn<QSizeF>("page");
    QTest::addColumn<quint64>("seed");
    QTest::newRow("6 photos") << 6 << QSizeF(3000, 2000) << quint64(21);
    QTest::newRow("15 photos") << 15 << QSizeF(2000, 3000) << quint64(22);
}

void TestPhotoDropTheme::rearrangeSeparates()
{
    QFETCH(int, count);
    QFETCH(QSizeF, page);
    QFETCH(quint64, seed);
    RandomGenerator::seed(seed);
    QScopedPointer<Document> document(newDocument(true, page, mixedImages(count)));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    theme->rotationRestrictions()->setVariation(20);
    const double before = totalOverlap(theme);
    QVERIFY(before > 0);
    theme->rearrange();
    const double after = totalOverlap(theme);
    QVERIFY2(after < 0.2 * before, qPrintable(QStringLiteral("%1 -> %2").arg(before).arg(after)));
    const qreal tolerance = 0.05 * qMin(page.width(), page.height());
    for (const auto &item : theme->items()->items()) {
        const QRectF box = PhotoDropTheme::outline(item.data()).boundingRect();
        QVERIFY(QRectF(QPointF(0, 0), page)
                    .adjusted(-tolerance, -tolerance, tolerance, tolerance)
                    .contains(box));
    }
}

void TestPhotoDropTheme::rearrangeIsOneStep()
{
    QScopedPointer<Document> document(newDocument(true, QSizeF(3000, 2000), mixedImages(5)));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    UndoStack *stack = document->undoStack();
    const QList<Placement> thrown = placements(theme);
    theme->rearrange();
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Arranging items"));
    const QList<Placement> arranged = placements(theme);
    QVERIFY(arranged != thrown);
    for (int row = 0; row < 5; ++row)
        QCOMPARE(arranged[row].rotationRelative, thrown[row].rotationRelative);
    QSignalSpy moved(theme->items()->at(0)->transform(), &ItemTransform::positionChanged);
    stack->undo();
    QCOMPARE(placements(theme), thrown);
    QCOMPARE(moved.count(), 1);
    stack->redo();
    QCOMPARE(placements(theme), arranged);
}

void TestPhotoDropTheme::rearrangeTwiceIsOneStep()
{
    QScopedPointer<Document> document(newDocument(true, QSizeF(3000, 2000), mixedImages(4)));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    UndoStack *stack = document->undoStack();
    const QList<Placement> thrown = placements(theme);
    theme->rearrange();
    const QList<Placement> once = placements(theme);
    theme->rearrange();
    const QList<Placement> twice = placements(theme);
    QVERIFY(twice != once);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Arranging items"));
    stack->undo();
    QCOMPARE(placements(theme), thrown);
    stack->redo();
    QCOMPARE(placements(theme), twice);
    // After a save the next arrangement is a step of its own.
    stack->setClean();
    theme->rearrange();
    QCOMPARE(stack->count(), 2);
}

void TestPhotoDropTheme::randomizeIsOneStep()
{
    QScopedPointer<Document> document(newDocument(true, QSizeF(3000, 2000), mixedImages(5)));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    UndoStack *stack = document->undoStack();
    const QList<Placement> thrown = placements(theme);
    theme->randomize();
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Randomizing"));
    const QList<Placement> randomized = placements(theme);
    for (int row = 0; row < 5; ++row)
        QVERIFY(!(randomized[row] == thrown[row]));
    stack->undo();
    QCOMPARE(placements(theme), thrown);
    stack->redo();
    QCOMPARE(placements(theme), randomized);
    // A randomize is not merged into by a following arrangement.
    theme->rearrange();
    QCOMPARE(stack->count(), 2);
}

void TestPhotoDropTheme::emptyTheme()
{
    QScopedPointer<Document> document(newDocument(true, QSizeF(3000, 2000), {}));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    UndoStack *stack = document->undoStack();
    theme->rearrange();
    QCOMPARE(stack->count(), 0);
    theme->randomize();
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("Randomizing"));
    theme->bringToFront(QItemSelection());
    QCOMPARE(stack->count(), 1);
}

void TestPhotoDropTheme::withoutUndoStack()
{
    QScopedPointer<Document> document(newDocument(false, QSizeF(3000, 2000), mixedImages(4)));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    const QList<Placement> thrown = placements(theme);
    ItemTransform *transform = theme->items()->at(2)->transform();
    QSignalSpy updated(transform, &SharedTransform::updated);
    QSignalSpy moved(transform, &ItemTransform::positionChanged);
    theme->rearrange();
    QVERIFY(placements(theme) != thrown);
    // One notice per photo instead of one per changed value.
    QCOMPARE(updated.count(), 1);
    QCOMPARE(moved.count(), 0);
    updated.clear();
    theme->randomize();
    QVERIFY(updated.count() >= 1);
}

void TestPhotoDropTheme::arrangeCommandsMerge()
{
    Document document(true);
    UndoStack *stack = document.undoStack();
    ItemTransform first(&document);
    ItemTransform second(&document);
    auto *a = new PhotoDropThemeArrangeCommand;
    a->addCommand(new ItemTransformUndoCommand(&first, QPointF(10, 0), 2, 0));
    stack->push(a);
    auto *b = new PhotoDropThemeArrangeCommand;
    b->addCommand(new ItemTransformUndoCommand(&first, QPointF(20, 0), 3, 0));
    b->addCommand(new ItemTransformUndoCommand(&second, QPointF(0, 5), 4, 0.5));
    stack->push(b);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(first.position(), QPointF(20, 0));
    QCOMPARE(second.position(), QPointF(0, 5));
    QCOMPARE(second.rotationRelative(), 0.5);
    stack->undo();
    QCOMPARE(first.position(), QPointF(0, 0));
    QCOMPARE(first.zoom(), 1.0);
    QCOMPARE(second.position(), QPointF(0, 0));
    QCOMPARE(second.zoom(), 1.0);
    QCOMPARE(second.rotationRelative(), 0.0);
    stack->redo();
    QCOMPARE(first.zoom(), 3.0);
    QCOMPARE(second.zoom(), 4.0);
    // Another command id does not merge.
    first.setZoom(7);
    QCOMPARE(stack->count(), 2);
}

void TestPhotoDropTheme::nestedArrangeCommandsMerge()
{
    // Two arrangements pushed while one step first runs: the second is
    // merged before it runs, so what it adds must still take effect.
    Document document(true);
    UndoStack *stack = document.undoStack();
    ItemTransform first(&document);
    ItemTransform second(&document);
    stack->push(new NestingCommand([&] {
        auto *a = new PhotoDropThemeArrangeCommand;
        a->addCommand(new ItemTransformUndoCommand(&first, QPointF(1, 1), 1, 0));
        stack->push(a);
        auto *b = new PhotoDropThemeArrangeCommand;
        b->addCommand(new ItemTransformUndoCommand(&first, QPointF(2, 2), 1, 0));
        b->addCommand(new ItemTransformUndoCommand(&second, QPointF(3, 3), 1, 0));
        stack->push(b);
    }));
    QCOMPARE(stack->count(), 1);
    QCOMPARE(first.position(), QPointF(2, 2));
    QCOMPARE(second.position(), QPointF(3, 3));
    stack->undo();
    QCOMPARE(first.position(), QPointF(0, 0));
    QCOMPARE(second.position(), QPointF(0, 0));
    stack->redo();
    QCOMPARE(first.position(), QPointF(2, 2));
    QCOMPARE(second.position(), QPointF(3, 3));
}

void TestPhotoDropTheme::recyclingAfterRemoveAndUndo()
{
    QScopedPointer<Document> document(newDocument(true, QSizeF(3000, 2000), mixedImages(4)));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    theme->rearrange();
    UndoStack *stack = document->undoStack();
    stack->clear();
    const QList<Placement> before = placements(theme);
    const auto removedItem = theme->items()->at(1);
    const auto removedImage = document->imageList()->at(1);
    QVERIFY(document->imageList()->removeRows(1, 2));
    QCOMPARE(theme->items()->count(), 2);
    QCOMPARE(theme->recycledCount(), 4);
    stack->undo();
    // The same photos come back, where they were.
    QCOMPARE(theme->items()->count(), 4);
    QCOMPARE(theme->items()->at(1), removedItem);
    QCOMPARE(removedItem->source(), removedImage);
    QCOMPARE(placements(theme), before);
    stack->redo();
    QCOMPARE(theme->items()->count(), 2);
    stack->undo();
    QCOMPARE(theme->items()->at(1), removedItem);
    QCOMPARE(placements(theme), before);
}

void TestPhotoDropTheme::recyclingAfterPageSizeChange()
{
    QScopedPointer<Document> document(newDocument(true, QSizeF(3000, 2000), mixedImages(3)));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    const auto items = theme->items()->items();
    const QList<Placement> before = placements(theme);
    document->setPageSize(PageSize(PageSize::Pixels, QSizeF(2000, 3000)));
    // Every image went out and came back to its old photo.
    QCOMPARE(theme->items()->items(), items);
    QCOMPARE(placements(theme), before);
    for (int row = 0; row < 3; ++row)
        QCOMPARE(theme->items()->at(row)->source(), document->imageList()->at(row));
}

void TestPhotoDropTheme::recycledPhotoGoesWithItsImage()
{
    QScopedPointer<Document> document(newDocument(true, QSizeF(3000, 2000), mixedImages(3)));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    QWeakPointer<PhotoDropItemProperties> item = theme->items()->at(0);
    QWeakPointer<ImageSource> image = document->imageList()->at(0);
    QVERIFY(document->imageList()->removeRows(0, 1));
    QCOMPARE(theme->recycledCount(), 3);
    // The removal step still holds the image: it may come back.
    QVERIFY(!image.isNull());
    QVERIFY(!item.isNull());
    document->undoStack()->clear();
    // Now nothing holds the image; its photo is dropped with it.
    QVERIFY(image.isNull());
    QCOMPARE(theme->recycledCount(), 2);
    QVERIFY(item.isNull());
}

void TestPhotoDropTheme::imageMovesAreFollowed()
{
    QScopedPointer<Document> document(newDocument(true, QSizeF(3000, 2000), mixedImages(5)));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    QVERIFY(document->imageList()->moveItems(0, 1, 4));
    QCOMPARE(stackNames(theme), imageNames(*document));
    document->undoStack()->undo();
    QCOMPARE(stackNames(theme), imageNames(*document));
    for (int row = 0; row < 5; ++row)
        QCOMPARE(theme->items()->at(row)->source(), document->imageList()->at(row));
}

void TestPhotoDropTheme::stacking_data()
{
    QTest::addColumn<QString>("operation");
    QTest::addColumn<QList<int>>("selection");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("stepText");

    // Squares of side 100 in a row along x; they overlap when their
    // centres are less than 100 apart:
    //
    //     A 100   E 130   B 160   D 190            C 400
    //
    // A overlaps B, D, E; B overlaps A, D, E; D overlaps A, B, E; C none.
    QTest::newRow("forward: nearest above") << "bringForward" << QList<int> { 0 } << "BACDE"
                                            << "Bringing Forward";
    QTest::newRow("front: highest above") << "bringToFront" << QList<int> { 0 } << "BCDEA"
                                          << "Bringing to Front";
    QTest::newRow("front: nothing above overlaps") << "bringToFront" << QList<int> { 2 } << "ABCDE"
                                                   << "";
    QTest::newRow("front: already on top") << "bringToFront" << QList<int> { 4 } << "ABCDE"
                                           << "";
    QTest::newRow("backward: nearest below") << "sendBackward" << QList<int> { 4 } << "ABCED"
                                             << "Sending Backward";
    QTest::newRow("back: lowest below") << "sendToBack" << QList<int> { 4 } << "EABCD"
                                        << "Sending to Back";
    QTest::newRow("back: nothing below overlaps") << "sendToBack" << QList<int> { 2 } << "ABCDE"
                                                  << "";
    QTest::newRow("front: two, the upper travels along")
        << "bringToFront" << QList<int> { 0, 1 } << "CDEBA"
        << "Bringing to Front";
    QTest::newRow("forward: two, the upper travels along")
        << "bringForward" << QList<int> { 0, 1 } << "CDBAE"
        << "Bringing Forward";
    QTest::newRow("backward: two, the lower travels along")
        << "sendBackward" << QList<int> { 3, 4 } << "AEDBC"
        << "Sending Backward";
    QTest::newRow("back: two apart") << "sendToBack" << QList<int> { 3, 1 } << "DBACE"
                                     << "Sending to Back";
}

void TestPhotoDropTheme::stacking()
{
    QFETCH(QString, operation);
    QFETCH(QList<int>, selection);
    QFETCH(QString, expected);
    QFETCH(QString, stepText);
    QScopedPointer<Document> document(newDocument(true, QSizeF(1000, 1000),
        writeImages({ { 20, 20 }, { 20, 20 }, { 20, 20 }, { 20, 20 }, { 20, 20 } })));
    PhotoDropTheme *theme = installTheme(document.data());
    QVERIFY(theme);
    const qreal xs[] = { 100, 160, 400, 190, 130 };
    for (int row = 0; row < 5; ++row) {
        PhotoDropItemProperties *item = theme->items()->at(row).data();
        item->setObjectName(QString(QChar('A' + row)));
        item->transform()->setPosition(QPointF(xs[row], 100));
        item->transform()->setZoom(100);
        item->transform()->setRotationRelative(0);
    }
    UndoStack *stack = document->undoStack();
    stack->clear();
    const QList<QSharedPointer<ImageSource>> images = document->imageList()->items();

    QVERIFY(QMetaObject::invokeMethod(theme, operation.toLatin1().constData(),
        Q_ARG(QItemSelection, selectRows(theme, selection))));
    QCOMPARE(stackNames(theme).join(QString()), expected);
    // The theme follows the image list, which is what was moved.
    for (int row = 0; row < 5; ++row)
        QCOMPARE(theme->items()->at(row)->source(), document->imageList()->at(row));
    if (stepText.isEmpty()) {
        QCOMPARE(stack->count(), 0);
        return;
    }
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), stepText);
    stack->undo();
    QCOMPARE(stackNames(theme).join(QString()), QStringLiteral("ABCDE"));
    QCOMPARE(document->imageList()->items(), images);
}

void TestPhotoDropTheme::seededLayoutIsReproduced()
{
    const QList<QUrl> urls = mixedImages(8);
    QList<Placement> layouts[2];
    for (QList<Placement> &layout : layouts) {
        RandomGenerator::seed(2024);
        QScopedPointer<Document> document(newDocument(false, QSizeF(3000, 2000), urls));
        PhotoDropTheme *theme = installTheme(document.data());
        QVERIFY(theme);
        theme->rotationRestrictions()->setVariation(15);
        theme->randomize();
        layout = placements(theme);
    }
    QCOMPARE(layouts[1], layouts[0]);
    RandomGenerator::seed(2025);
    QScopedPointer<Document> document(newDocument(false, QSizeF(3000, 2000), urls));
    PhotoDropTheme *theme = installTheme(document.data());
    theme->rotationRestrictions()->setVariation(15);
    theme->randomize();
    QVERIFY(placements(theme) != layouts[0]);
}

QTEST_MAIN(TestPhotoDropTheme)
#include "tst_photodroptheme.moc"
