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

using Setter = void (PhotoDropItemProperties::*)(int);
using Getter = int (PhotoDropItemProperties::*)() const;

struct Property
{
    Setter set;
    Getter get;
    const char *signal;
    QString text;
    int id;
};

Property settingNamed(const QString &name)
{
    if (name == QLatin1String("filter"))
        return { &PhotoDropItemProperties::setFilterType, &PhotoDropItemProperties::filterType,
            SIGNAL(filterTypeChanged(int)), QStringLiteral("Change filter"), 32 };
    return { &PhotoDropItemProperties::setMaskShape, &PhotoDropItemProperties::maskShape,
        SIGNAL(maskShapeChanged(int)), QStringLiteral("Change mask"), 33 };
}

QList<QSharedPointer<PhotoDropItemProperties>> makeItems(int count)
{
    QList<QSharedPointer<PhotoDropItemProperties>> items;
    for (int k = 0; k < count; ++k) {
        items.append(QSharedPointer<PhotoDropItemProperties>::create(nullptr, nullptr));
        items.last()->setObjectName(QString::number(k));
    }
    return items;
}

QStringList names(const PhotoDropItemPropertiesList &list)
{
    QStringList result;
    for (const auto &item : list.items())
        result.append(item->objectName());
    return result;
}

} // namespace

class TestPhotoDropItemProperties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults();
    void transformBelongsToTheDocument();

    void setWithoutUndoStack_data();
    void setWithoutUndoStack();
    void oneStepPerRun_data();
    void oneStepPerRun();
    void twoPhotosTwoSteps_data();
    void twoPhotosTwoSteps();
    void sameValueStillRecorded_data();
    void sameValueStillRecorded();
    void filterThenMaskTwoSteps();
    void metaProperties();

    void setSource();

    void listInsertRemove();
    void listMoves_data();
    void listMoves();
    void listClear();
};

void TestPhotoDropItemProperties::defaults()
{
    PhotoDropItemProperties item(nullptr, nullptr);
    QCOMPARE(item.filterType(), 0);
    QCOMPARE(item.maskShape(), 0);
    QVERIFY(item.source().isNull());
    QVERIFY(item.transform());
    QCOMPARE(item.transform()->parent(), &item);
}

void TestPhotoDropItemProperties::transformBelongsToTheDocument()
{
    Document document(true);
    RotationRestriction restriction(&document);
    restriction.setVariation(20);
    auto *item = new PhotoDropItemProperties(&document, &restriction);
    QPointer<ItemTransform> transform = item->transform();
    QCOMPARE(transform->document(), &document);
    QCOMPARE(transform->restriction(), &restriction);
    transform->setRotationRelative(0.5);
    QCOMPARE(transform->rotation(), 10.0);
    // The transform is the item's own and goes with it.
    delete item;
    QVERIFY(transform.isNull());
}

void TestPhotoDropItemProperties::setWithoutUndoStack_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QList<int>>("values");
    QTest::addColumn<QList<int>>("signalled");
    QTest::newRow("filter") << "filter" << QList<int> { 2, 2, 3, 0, 99, -4 }
                            << QList<int> { 2, 3, 0, 99, -4 };
    QTest::newRow("mask") << "mask" << QList<int> { 0, 1, 5, 5, 7 } << QList<int> { 1, 5, 7 };
}

void TestPhotoDropItemProperties::setWithoutUndoStack()
{
    QFETCH(QString, name);
    QFETCH(QList<int>, values);
    QFETCH(QList<int>, signalled);
    Document document(false);
    PhotoDropItemProperties item(&document, nullptr);
    const Property p = settingNamed(name);
    QSignalSpy spy(&item, p.signal);
    for (int value : values) {
        (item.*p.set)(value);
        QCOMPARE((item.*p.get)(), value);
    }
    QList<int> seen;
    for (const QList<QVariant> &arguments : spy)
        seen.append(arguments.at(0).toInt());
    // Equal values are not announced; unknown codes are kept as they are.
    QCOMPARE(seen, signalled);
}

void TestPhotoDropItemProperties::oneStepPerRun_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("filter: Sepia, then Warm") << "filter";
    QTest::newRow("mask: Heart, then Star") << "mask";
}

void TestPhotoDropItemProperties::oneStepPerRun()
{
    QFETCH(QString, name);
    const Property p = settingNamed(name);
    Document document(true);
    UndoStack *stack = document.undoStack();
    PhotoDropItemProperties item(&document, nullptr);
    (item.*p.set)(1);
    QCOMPARE(stack->count(), 1);
    stack->setClean();
    (item.*p.set)(2);
    (item.*p.set)(3);
    QCOMPARE(stack->count(), 2);
    QCOMPARE(stack->text(1), p.text);
    QCOMPARE((item.*p.get)(), 3);
    QSignalSpy spy(&item, p.signal);
    stack->undo();
    // The value from before the run, in one step.
    QCOMPARE((item.*p.get)(), 1);
    QCOMPARE(spy.count(), 1);
    stack->redo();
    QCOMPARE((item.*p.get)(), 3);
    stack->undo();
    stack->undo();
    QCOMPARE((item.*p.get)(), 0);
}

void TestPhotoDropItemProperties::twoPhotosTwoSteps_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("filter") << "filter";
    QTest::newRow("mask") << "mask";
}

void TestPhotoDropItemProperties::twoPhotosTwoSteps()
{
    QFETCH(QString, name);
    const Property p = settingNamed(name);
    Document document(true);
    UndoStack *stack = document.undoStack();
    PhotoDropItemProperties first(&document, nullptr);
    PhotoDropItemProperties second(&document, nullptr);
    (first.*p.set)(2);
    (second.*p.set)(3);
    QCOMPARE(stack->count(), 2);
    stack->undo();
    QCOMPARE((first.*p.get)(), 2);
    QCOMPARE((second.*p.get)(), 0);
}

void TestPhotoDropItemProperties::sameValueStillRecorded_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("filter") << "filter";
    QTest::newRow("mask") << "mask";
}

void TestPhotoDropItemProperties::sameValueStillRecorded()
{
    QFETCH(QString, name);
    const Property p = settingNamed(name);
    Document document(true);
    UndoStack *stack = document.undoStack();
    PhotoDropItemProperties item(&document, nullptr);
    QSignalSpy spy(&item, p.signal);
    (item.*p.set)(0);
    // Choosing what the photo has records a step and announces nothing.
    QCOMPARE(stack->count(), 1);
    QCOMPARE(spy.count(), 0);
    (item.*p.set)(4);
    // ... which the next change of the photo merges with.
    QCOMPARE(stack->count(), 1);
    QCOMPARE(spy.count(), 1);
    stack->undo();
    QCOMPARE((item.*p.get)(), 0);
}

void TestPhotoDropItemProperties::filterThenMaskTwoSteps()
{
    Document document(true);
    UndoStack *stack = document.undoStack();
    PhotoDropItemProperties item(&document, nullptr);
    item.setFilterType(1);
    item.setMaskShape(1);
    item.setFilterType(2);
    QCOMPARE(stack->count(), 3);
    QCOMPARE(stack->text(0), QStringLiteral("Change filter"));
    QCOMPARE(stack->text(1), QStringLiteral("Change mask"));
    stack->undo();
    stack->undo();
    QCOMPARE(item.filterType(), 1);
    QCOMPARE(item.maskShape(), 0);
}

void TestPhotoDropItemProperties::metaProperties()
{
    // Scripts and panels reach the settings by name.
    Document document(true);
    PhotoDropItemProperties item(&document, nullptr);
    QVERIFY(item.setProperty("filterType", 5));
    QVERIFY(item.setProperty("maskShape", 3));
    QCOMPARE(item.filterType(), 5);
    QCOMPARE(item.maskShape(), 3);
    QCOMPARE(document.undoStack()->count(), 2);
    QCOMPARE(item.property("transform").value<ItemTransform *>(), item.transform());
}

void TestPhotoDropItemProperties::setSource()
{
    PhotoDropItemProperties item(nullptr, nullptr);
    auto image = QSharedPointer<ImageSource>::create();
    QSignalSpy spy(&item, &PhotoDropItemProperties::sourceChanged);
    item.setSource(image);
    QCOMPARE(item.source(), image);
    QCOMPARE(spy.count(), 1);
    QCOMPARE(spy.at(0).at(0).value<ImageSource *>(), image.data());
    item.setSource({});
    QVERIFY(item.source().isNull());
    QCOMPARE(spy.count(), 2);
    // The photo shares the image; it does not own it.
    QWeakPointer<ImageSource> weak = image;
    item.setSource(image);
    image.reset();
    QVERIFY(!weak.isNull());
    item.setSource({});
    QVERIFY(weak.isNull());
}

void TestPhotoDropItemProperties::listInsertRemove()
{
    PhotoDropItemPropertiesList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto items = makeItems(4);
    QSignalSpy inserted(&list, &QAbstractItemModel::rowsInserted);
    QSignalSpy removed(&list, &QAbstractItemModel::rowsRemoved);
    QVERIFY(list.insertItem(0, items[0]));
    QVERIFY(list.insertItem(1, items[2]));
    QVERIFY(list.insertItem(1, items[1]));
    QVERIFY(list.insertItem(3, items[3]));
    QVERIFY(!list.insertItem(7, items[3]));
    QVERIFY(!list.insertItem(-1, items[3]));
    QVERIFY(!list.insertItem(0, {}));
    QCOMPARE(inserted.count(), 4);
    QCOMPARE(names(list), QStringList({ "0", "1", "2", "3" }));
    QCOMPARE(list.rowCount(), 4);
    QCOMPARE(list.at(2), items[2]);
    QCOMPARE(list.indexOf(items[3].data()), 3);
    QCOMPARE(list.data(list.index(1), Qt::DisplayRole).toString(), QStringLiteral("1"));
    QCOMPARE(list.data(list.index(1), PhotoDropItemPropertiesList::ItemRole).value<QObject *>(),
        items[1].data());

    QVERIFY(list.removeItems(1, 2));
    QCOMPARE(removed.count(), 1);
    QCOMPARE(removed.at(0).at(1).toInt(), 1);
    QCOMPARE(removed.at(0).at(2).toInt(), 2);
    QCOMPARE(names(list), QStringList({ "0", "3" }));
    QVERIFY(!list.removeItems(1, 2));
    QVERIFY(!list.removeItems(0, 0));
    QCOMPARE(list.indexOf(items[1].data()), -1);
}

void TestPhotoDropItemProperties::listMoves_data()
{
    QTest::addColumn<int>("first");
    QTest::addColumn<int>("last");
    QTest::addColumn<int>("destination");
    QTest::addColumn<QStringList>("expected");
    QTest::newRow("one up") << 1 << 1 << 4 << QStringList({ "0", "2", "3", "1", "4" });
    QTest::newRow("to the top") << 0 << 1 << 5 << QStringList({ "2", "3", "4", "0", "1" });
    QTest::newRow("down") << 3 << 4 << 1 << QStringList({ "0", "3", "4", "1", "2" });
    QTest::newRow("to the bottom") << 4 << 4 << 0 << QStringList({ "4", "0", "1", "2", "3" });
    QTest::newRow("onto itself") << 2 << 2 << 3 << QStringList({ "0", "1", "2", "3", "4" });
    QTest::newRow("out of range") << 3 << 5 << 0 << QStringList({ "0", "1", "2", "3", "4" });
}

void TestPhotoDropItemProperties::listMoves()
{
    QFETCH(int, first);
    QFETCH(int, last);
    QFETCH(int, destination);
    QFETCH(QStringList, expected);
    PhotoDropItemPropertiesList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
    const auto items = makeItems(5);
    for (int k = 0; k < 5; ++k)
        list.insertItem(k, items[k]);
    QSignalSpy moved(&list, &QAbstractItemModel::rowsMoved);
    const bool changes = expected != names(list);
    QCOMPARE(list.moveItems(first, last, destination), changes);
    QCOMPARE(moved.count(), changes ? 1 : 0);
    QCOMPARE(names(list), expected);
}

void TestPhotoDropItemProperties::listClear()
{
    PhotoDropItemPropertiesList list;
    QAbstractItemModelTester tester(&list, QAbstractItemModelTester::FailureReportingMode::QtTest);
    auto items = makeItems(3);
    for (int k = 0; k < 3; ++k)
        list.insertItem(k, items[k]);
    QWeakPointer<PhotoDropItemProperties> weak = items[0];
    items.clear();
    QSignalSpy reset(&list, &QAbstractItemModel::modelReset);
    list.clear();
    QCOMPARE(reset.count(), 1);
    QCOMPARE(list.count(), 0);
    // The list was the last holder.
    QVERIFY(weak.isNull());
}

QTEST_MAIN(TestPhotoDropItemProperties)
#include "tst_photodropitemproperties.moc"
