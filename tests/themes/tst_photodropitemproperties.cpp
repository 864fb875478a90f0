#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>

#include "model/document.h"
#include "model/imagesource.h"
#include "model/itemtransform.h"
#include "model/rotationrestriction.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "undo/undostack.h"

namespace {

struct Setting
{
    void (PhotoDropItemProperties::*set)(int);
    int (PhotoDropItemProperties::*get)() const;
    const char *signal;
    QString undoText;
};

Setting settingNamed(const QString &name)
{
    if (name == QLatin1String("filter"))
        return { &PhotoDropItemProperties::setFilterType, &PhotoDropItemProperties::filterType,
            SIGNAL(filterTypeChanged(int)), QStringLiteral("Change filter") };
    return { &PhotoDropItemProperties::setMaskShape, &PhotoDropItemProperties::maskShape,
        SIGNAL(maskShapeChanged(int)), QStringLiteral("Change mask") };
}

// A list of five photos named "0" to "4".
struct NamedList
{
    PhotoDropItemPropertiesList list;
    QAbstractItemModelTester tester { &list,
        QAbstractItemModelTester::FailureReportingMode::QtTest };
    QList<QSharedPointer<PhotoDropItemProperties>> items;

    NamedList()
    {
        for (int k = 0; k < 5; ++k) {
            items.append(QSharedPointer<PhotoDropItemProperties>::create(nullptr, nullptr));
            items.last()->setObjectName(QString::number(k));
        }
    }

    QStringList names() const
    {
        QStringList result;
        for (const auto &item : list.items())
            result.append(item->objectName());
        return result;
    }
};

} // namespace

class TestPhotoDropItemProperties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void transformAndSource();
    void undoSteps_data();
    void undoSteps();
    void scriptNamesAndSeparateSteps();

    void listInsertRemoveClear();
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
    QSignalSpy spy(item, &PhotoDropItemProperties::sourceChanged);
    item->setSource(image);
    QCOMPARE(spy.count(), 1);
    image.reset();
    QVERIFY(!weak.isNull());
    item->setSource({});
    QVERIFY(weak.isNull());
    QCOMPARE(spy.count(), 2);

    // The transform is the photo's own and goes with it.
    delete item;
    QVERIFY(transform.isNull());
}

void TestPhotoDropItemProperties::undoSteps_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("filter") << "filter";
    QTest::newRow("mask") << "mask";
}

void TestPhotoDropItemProperties::undoSteps()
{
    QFETCH(QString, name);
    const Setting p = settingNamed(name);
    Document document(true);
    UndoStack *stack = document.undoStack();
    PhotoDropItemProperties item(&document, nullptr);
    PhotoDropItemProperties other(&document, nullptr);
    QSignalSpy spy(&item, p.signal);

    // Choosing what the photo has records a step and announces nothing; the
    // next change of the photo merges with it.
    (item.*p.set)(0);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(spy.count(), 0);
    (item.*p.set)(1);
    QCOMPARE(stack->count(), 1);
    // After a save a run of changes is one new step; another photo's change
    // is a step of its own.
    stack->setClean();
    (item.*p.set)(2);
    (item.*p.set)(3);
    (other.*p.set)(2);
    QCOMPARE(stack->count(), 3);
    QCOMPARE(stack->text(1), p.undoText);

    stack->undo();
    QCOMPARE((other.*p.get)(), 0);
    QCOMPARE((item.*p.get)(), 3);
    stack->undo();
    QCOMPARE((item.*p.get)(), 1); // the value from before the run
    stack->redo();
    QCOMPARE((item.*p.get)(), 3);
    stack->undo();
    stack->undo();
    QCOMPARE((item.*p.get)(), 0);
}

void TestPhotoDropItemProperties::scriptNamesAndSeparateSteps()
{
    // Scripts and panels reach the settings by name; a filter and a mask
    // change are separate steps even on one photo.
    Document document(true);
    UndoStack *stack = document.undoStack();
    PhotoDropItemProperties item(&document, nullptr);
    QVERIFY(item.setProperty("filterType", 1));
    QVERIFY(item.setProperty("maskShape", 1));
    QVERIFY(item.setProperty("filterType", 99)); // kept as it is, for newer files
    QCOMPARE(stack->count(), 3);
    QCOMPARE(stack->text(0), QStringLiteral("Change filter"));
    QCOMPARE(stack->text(1), QStringLiteral("Change mask"));
    QCOMPARE(item.property("transform").value<ItemTransform *>(), item.transform());
    stack->undo();
    stack->undo();
    QCOMPARE(item.filterType(), 1);
    QCOMPARE(item.maskShape(), 0);
    stack->redo();
    stack->redo();
    QCOMPARE(item.filterType(), 99);
}

void TestPhotoDropItemProperties::listInsertRemoveClear()
{
    NamedList named;
    PhotoDropItemPropertiesList &list = named.list;
    QVERIFY(list.insertItem(0, named.items[0]));
    QVERIFY(list.insertItem(1, named.items[2]));
    QVERIFY(list.insertItem(1, named.items[1]));
    QVERIFY(!list.insertItem(7, named.items[3]));
    QVERIFY(!list.insertItem(-1, named.items[3]));
    QVERIFY(!list.insertItem(0, {}));
    QCOMPARE(named.names(), QStringList({ "0", "1", "2" }));
    QCOMPARE(list.data(list.index(1), PhotoDropItemPropertiesList::ItemRole).value<QObject *>(),
        named.items[1].data());

    QVERIFY(list.removeItems(1, 1));
    QCOMPARE(named.names(), QStringList({ "0", "2" }));
    QCOMPARE(list.indexOf(named.items[1].data()), -1);
    QVERIFY(!list.removeItems(1, 2));
    QVERIFY(!list.removeItems(0, 0));

    // Once nothing else holds the photos, clearing the list drops them.
    QWeakPointer<PhotoDropItemProperties> weak = named.items[0];
    named.items.clear();
    list.clear();
    QCOMPARE(list.count(), 0);
    QVERIFY(weak.isNull());
}

QTEST_MAIN(TestPhotoDropItemProperties)
#include "tst_photodropitemproperties.moc"
