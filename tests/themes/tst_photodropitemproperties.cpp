#include <QAbstractItemModelTester>
#include <QTest>

#include "model/document.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/rotationrestriction.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "undo/undostack.h"

class TestPhotoDropItemProperties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void transformAndSource();
    void undoSteps();
    void list();
};

void TestPhotoDropItemProperties::transformAndSource()
{
    Document document(true);
    RotationRestriction restriction(&document);
    restriction.setVariation(20);
    auto *item = new PhotoDropItemProperties(&document, &restriction);
    QPointer<ItemTransform> transform = item->transform();
    QCOMPARE(transform->document(), &document);
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

void TestPhotoDropItemProperties::undoSteps()
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
    QCOMPARE(item.property("transform").value<ItemTransform *>(), item.transform());
    stack->undo();
    stack->undo();
    QCOMPARE(item.filterType(), 1);
    QCOMPARE(item.maskShape(), 0);
    stack->redo();
    stack->redo();
    QCOMPARE(item.filterType(), 99);
    QCOMPARE(item.maskShape(), 1);
}

void TestPhotoDropItemProperties::list()
{
    PhotoDropItemPropertiesList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
    QList<QSharedPointer<PhotoDropItemProperties>> items;
    for (int k = 0; k < 4; ++k)
        items.append(QSharedPointer<PhotoDropItemProperties>::create(nullptr, nullptr));
    QVERIFY(list.insertItem(0, items[0]));
    QVERIFY(list.insertItem(1, items[2]));
    QVERIFY(list.insertItem(1, items[1]));
    QVERIFY(!list.insertItem(7, items[3]));
    QVERIFY(!list.insertItem(-1, items[3]));
    QVERIFY(!list.insertItem(0, {}));
    QCOMPARE(list.items(), items.mid(0, 3));
    QCOMPARE(list.data(list.index(1), PhotoDropItemPropertiesList::ItemRole).value<QObject *>(),
        items[1].data());

    QVERIFY(list.removeItems(1, 1));
    QCOMPARE(list.items(), decltype(items)({ items[0], items[2] }));
    QCOMPARE(list.indexOf(items[1].data()), -1);
    QVERIFY(!list.removeItems(1, 2));
    QVERIFY(!list.removeItems(0, 0));

    // Once nothing else holds the photos, clearing the list drops them.
    QWeakPointer<PhotoDropItemProperties> weak = items[0];
    items.clear();
    list.clear();
    QCOMPARE(list.count(), 0);
    QVERIFY(weak.isNull());
}

QTEST_MAIN(TestPhotoDropItemProperties)
#include "tst_photodropitemproperties.moc"
