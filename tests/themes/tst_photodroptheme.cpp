#include <QAbstractItemModelTester>
#include <QItemSelection>
#include <QSignalSpy>
#include <QTest>

#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/itemtransformundocommand.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "model/shadowproperties.h"
#include "themes/builtinthemes.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodroptheme.h"
#include "themes/photodrop/photodropthemearrangecommand.h"
#include "themes/themeregistry.h"
#include "themes/themetestdata.h"

using namespace ThemeTestData;

namespace {

// Each photo's x, y, zoom and relative rotation.
using Placement = QList<qreal>;

QList<Placement> placements(const PhotoDropTheme *theme)
{
    QList<Placement> result;
    for (const auto &item : theme->items()->items()) {
        const ItemTransform *t = item->transform();
        result.append({ t->position().x(), t->position().y(), t->zoom(), t->rotationRelative() });
    }
    return result;
}

// Runs its action only when it first runs, as a setter called by an
// assignment does.
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
    void initTestCase()
    {
        ThemeRegistry::registerTheme<PhotoDropTheme>(BuiltInThemes::PhotoDropId, QIcon(),
            QStringLiteral("Photo Drop"), QStringLiteral(":/PhotoDropTemplates"));
    }
    void cleanup() { RandomGenerator::reseed(); }

    void newPhotos()
    {
        const QSizeF page(1000, 2000);
        QScopedPointer<Document> document(newDocument(page, images(3)));
        QVERIFY(document);
        UndoStack *stack = document->undoStack();
        document->setThemeId(BuiltInThemes::PhotoDropId);
        auto *theme = qobject_cast<PhotoDropTheme *>(document->theme());
        QVERIFY(theme);
        // Building the photos is part of the theme change, not steps of its own.
        QCOMPARE(stack->count(), 1);
        QCOMPARE(theme->items()->count(), 3);
        for (int row = 0; row < 3; ++row)
            QCOMPARE(theme->items()->at(row)->source(), document->imageList()->at(row));
        // The appearance objects record their changes in the document.
        const qreal blur = theme->shadows()->blurRadius();
        theme->shadows()->setBlurRadius(blur + 5);
        QCOMPARE(stack->count(), 2);
        stack->undo();
        QCOMPARE(theme->shadows()->blurRadius(), blur);

        // Inserted photos are thrown within the insertion step.
        theme->rotationRestrictions()->setVariation(40);
        stack->clear();
        QVERIFY(document->imageList()->insertUrls(3, images(6), false));
        QCOMPARE(stack->count(), 1);
        QCOMPARE(theme->items()->count(), 9);
        for (int row = 3; row < 9; ++row) {
            const QRectF onPage
                = PhotoDropTheme::outline(theme->items()->at(row).data()).boundingRect();
            QVERIFY(QRectF(QPointF(-1, -1), page + QSizeF(2, 2)).contains(onPage));
        }
        stack->undo();
        QCOMPARE(theme->items()->count(), 3);
    }

    void arrangeAndRandomizeUndo()
    {
        RandomGenerator::seed(21);
        QScopedPointer<Document> document;
        PhotoDropTheme *theme = newTheme(document, QSizeF(3000, 2000), {});
        QVERIFY(theme);
        UndoStack *stack = document->undoStack();
        // Nothing to arrange or throw is no step.
        theme->rearrange();
        theme->randomize();
        QCOMPARE(stack->count(), 0);
        QVERIFY(document->imageList()->insertUrls(0, images(6), false));
        theme->rotationRestrictions()->setVariation(20);
        stack->clear();
        const QList<Placement> thrown = placements(theme);

        // Arranging moves the photos about the page and keeps their turns.
        theme->rearrange();
        const QList<Placement> once = placements(theme);
        QVERIFY(once != thrown);
        for (int row = 0; row < 6; ++row)
            QCOMPARE(once[row][3], thrown[row][3]);

        // Arranging again goes on from there, in the same step.
        theme->rearrange();
        const QList<Placement> twice = placements(theme);
        QVERIFY(twice != once);
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->text(0), QStringLiteral("Arranging items"));
        QSignalSpy moved(theme->items()->at(0)->transform(), &ItemTransform::positionChanged);
        stack->undo();
        QCOMPARE(moved.count(), 1);
        compareUndoRedo(
            stack, [theme] { return placements(theme); }, thrown, twice);

        // After a save the next arrangement is a step of its own; a randomize
        // is a step of its own that moves every photo, and no arrangement merges
        // into it.
        stack->setClean();
        theme->rearrange();
        QCOMPARE(stack->count(), 2);
        const QList<Placement> arranged = placements(theme);
        theme->randomize();
        QCOMPARE(stack->count(), 3);
        const QList<Placement> randomized = placements(theme);
        for (int row = 0; row < 6; ++row)
            QVERIFY(randomized[row] != arranged[row]);
        stack->undo();
        QCOMPARE(placements(theme), arranged);
        stack->redo();
        QCOMPARE(placements(theme), randomized);
        theme->rearrange();
        QCOMPARE(stack->count(), 4);
    }

    void nestedArrangeCommandsMerge()
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
        compareUndoRedo(
            stack, [&] { return std::pair(first.position(), second.position()); },
            std::pair(QPointF(0, 0), QPointF(0, 0)), std::pair(QPointF(2, 2), QPointF(3, 3)));
    }

    void photoTransformAndSource()
    {
        Document document(true);
        RotationRestriction restriction(&document);
        restriction.setVariation(20);
        auto *item = new PhotoDropItemProperties(&document, &restriction);
        QPointer<ItemTransform> transform = item->transform();
        transform->setRotationRelative(0.5);
        QCOMPARE(transform->rotation(), 10.0);

        // The photo shares its image and does not own it.
        auto image = QSharedPointer<ImageSource>::create();
        QWeakPointer<ImageSource> weak = image;
        item->setSource(image);
        image.reset();
        QVERIFY(!weak.isNull());
        item->setSource({});
        QVERIFY(weak.isNull());

        // The transform is the photo's own and goes with it.
        delete item;
        QVERIFY(transform.isNull());
    }

    void photoUndoSteps()
    {
        Document document(true);
        UndoStack *stack = document.undoStack();
        PhotoDropItemProperties item(&document, nullptr);
        PhotoDropItemProperties other(&document, nullptr);

        // Choosing what the photo has records a step; the next change of the
        // photo merges with it.
        item.setFilterType(0);
        item.setFilterType(1);
        QCOMPARE(stack->count(), 1);
        // After a save a run of changes is one new step; another photo's change
        // is a step of its own.
        stack->setClean();
        item.setFilterType(2);
        item.setFilterType(3);
        other.setFilterType(2);
        QCOMPARE(stack->count(), 3);
        QCOMPARE(stack->text(1), QStringLiteral("Change filter"));
        stack->undo();
        QCOMPARE(other.filterType(), 0);
        QCOMPARE(item.filterType(), 3);
        stack->undo();
        QCOMPARE(item.filterType(), 1); // the value from before the run
        stack->redo();
        QCOMPARE(item.filterType(), 3);
        stack->undo();
        stack->undo();
        QCOMPARE(item.filterType(), 0);
        stack->clear();

        // Scripts and panels reach the settings by name; a filter and a mask
        // change are separate steps even on one photo.
        QVERIFY(item.setProperty("filterType", 1));
        QVERIFY(item.setProperty("maskShape", 1));
        QVERIFY(item.setProperty("filterType", 99)); // kept as it is, for newer files
        QCOMPARE(stack->count(), 3);
        QCOMPARE(stack->text(1), QStringLiteral("Change mask"));
        stack->undo();
        stack->undo();
        QCOMPARE(std::pair(item.filterType(), item.maskShape()), std::pair(1, 0));
        stack->redo();
        stack->redo();
        QCOMPARE(std::pair(item.filterType(), item.maskShape()), std::pair(99, 1));
    }

    void photoList()
    {
        PhotoDropItemPropertiesList list;
        QAbstractItemModelTester tester(
            &list, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QList<QSharedPointer<PhotoDropItemProperties>> items;
        for (int k = 0; k < 4; ++k)
            items.append(QSharedPointer<PhotoDropItemProperties>::create(nullptr, nullptr));
        QVERIFY(list.insertItem(0, items[0]) && list.insertItem(1, items[2]));
        QVERIFY(list.insertItem(1, items[1]));
        // Rows outside the list and null photos are refused.
        QVERIFY(!list.insertItem(7, items[3]) && !list.insertItem(-1, items[3]));
        QVERIFY(!list.insertItem(0, {}));
        QCOMPARE(list.items(), items.mid(0, 3));
        QCOMPARE(list.data(list.index(1), PhotoDropItemPropertiesList::ItemRole).value<QObject *>(),
            items[1].data());

        QVERIFY(list.removeItems(1, 1));
        QCOMPARE(list.items(), decltype(items)({ items[0], items[2] }));
        QCOMPARE(list.indexOf(items[1].data()), -1);
        QVERIFY(!list.removeItems(1, 2) && !list.removeItems(0, 0));

        // Once nothing else holds the photos, clearing the list drops them.
        QWeakPointer<PhotoDropItemProperties> weak = items[0];
        items.clear();
        list.clear();
        QCOMPARE(list.count(), 0);
        QVERIFY(weak.isNull());
    }

    void recycling()
    {
        QScopedPointer<Document> document;
        PhotoDropTheme *theme = newTheme(document, QSizeF(3000, 2000), images(4));
        QVERIFY(theme);
        theme->rearrange();
        UndoStack *stack = document->undoStack();
        stack->clear();
        auto items = theme->items()->items();
        const QList<Placement> before = placements(theme);

        // Removed photos come back, where they were, with an undo.
        QVERIFY(document->imageList()->removeRows(1, 2));
        QCOMPARE(theme->items()->count(), 2);
        QCOMPARE(theme->recycledCount(), 4);
        stack->undo();
        stack->redo();
        stack->undo();
        QCOMPARE(theme->items()->items(), items);
        QCOMPARE(placements(theme), before);

        // A page-size change sends every image out and back to its old photo.
        document->setPageSize(PageSize(PageSize::Pixels, QSizeF(2000, 3000)));
        QCOMPARE(theme->items()->items(), items);
        QCOMPARE(placements(theme), before);

        // Once no step holds a removed image, its photo is dropped with it.
        QWeakPointer<PhotoDropItemProperties> item = items.at(0);
        QWeakPointer<ImageSource> image = document->imageList()->at(0);
        items.clear();
        QVERIFY(document->imageList()->removeRows(0, 1));
        const int recycled = theme->recycledCount();
        QVERIFY(!image.isNull() && !item.isNull());
        stack->clear();
        QVERIFY(image.isNull());
        QVERIFY(item.isNull());
        QCOMPARE(theme->recycledCount(), recycled - 1);
    }

    void stacking_data()
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
        QTest::newRow("front: nothing above overlaps")
            << "bringToFront" << QList<int> { 2 } << "ABCDE"
            << "";
        QTest::newRow("front: two, the upper travels along")
            << "bringToFront" << QList<int> { 0, 1 } << "CDEBA"
            << "Bringing to Front";
        QTest::newRow("backward: two, the lower travels along")
            << "sendBackward" << QList<int> { 3, 4 } << "AEDBC"
            << "Sending Backward";
    }

    void stacking()
    {
        QFETCH(QString, operation);
        QFETCH(QList<int>, selection);
        QFETCH(QString, expected);
        QFETCH(QString, stepText);
        QScopedPointer<Document> document;
        PhotoDropTheme *theme = newTheme(document, QSizeF(1000, 1000), images(5, true));
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
        auto order = [theme] {
            QString names;
            for (const auto &item : theme->items()->items())
                names += item->objectName();
            return names;
        };

        QItemSelection selected;
        for (int row : selection)
            selected.select(theme->items()->index(row), theme->items()->index(row));
        QVERIFY(QMetaObject::invokeMethod(
            theme, operation.toLatin1().constData(), Q_ARG(QItemSelection, selected)));
        QCOMPARE(order(), expected);
        // The theme follows the image list, which is what was moved.
        for (int row = 0; row < 5; ++row)
            QCOMPARE(theme->items()->at(row)->source(), document->imageList()->at(row));
        QCOMPARE(stack->count(), stepText.isEmpty() ? 0 : 1);
        if (stepText.isEmpty())
            return;
        QCOMPARE(stack->text(0), stepText);
        stack->undo();
        QCOMPARE(order(), QStringLiteral("ABCDE"));
        QCOMPARE(document->imageList()->items(), images);
    }

private:
    // Photos of mixed proportions, or squares.
    QList<QUrl> images(int count, bool squares = false)
    {
        return m_photos.cycle(count,
            squares ? QList<QSize> { { 20, 20 } }
                    : QList<QSize> { { 40, 30 }, { 30, 40 }, { 64, 36 }, { 50, 50 }, { 90, 30 } });
    }
    PhotoDropTheme *newTheme(
        QScopedPointer<Document> &document, const QSizeF &page, const QList<QUrl> &urls)
    {
        document.reset(newDocument(page, urls, BuiltInThemes::PhotoDropId));
        return document ? qobject_cast<PhotoDropTheme *>(document->theme()) : nullptr;
    }

    PhotoFiles m_photos;
};

QTEST_MAIN(TestPhotoDropTheme)
#include "tst_photodroptheme.moc"
