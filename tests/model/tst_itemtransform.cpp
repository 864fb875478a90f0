#include <QtTest>

#include <QGraphicsRectItem>
#include <QMatrix4x4>

#include "model/document.h"
#include "model/itemtransform.h"
#include "model/itemtransformundocommand.h"
#include "model/linkedtransform.h"
#include "model/rotationrestriction.h"
#include "undo/commandids.h"
#include "undo/undostack.h"

namespace {

bool fuzzyEqual(const QPointF &a, const QPointF &b, qreal tolerance = 1e-4)
{
    return qAbs(a.x() - b.x()) < tolerance && qAbs(a.y() - b.y()) < tolerance;
}

} // namespace

class TestItemTransform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void defaults();
    void directSetters();
    void rotationMapping_data();
    void rotationMapping();
    void freeMappingFunctions_data();
    void freeMappingFunctions();
    void restrictionTurnsEveryPhoto();
    void restrictionGoneFallsBack();
    void applyToMapsPoints_data();
    void applyToMapsPoints();
    void commandTexts_data();
    void commandTexts();
    void dragIsOneStep();
    void mergedChangesRenameTheStep();
    void twoTransformsStayTwoSteps();
    void cleanStateBreaksMerging();
    void undoAnnouncesOnlyWhatChanged();
    void unchangedValuesPushNothing();
    void undoAfterTargetIsGone();
    void linkedTransformFollows();
    void linkedTransformBecomesIdentity();
};

void TestItemTransform::defaults()
{
    ItemTransform transform;
    QCOMPARE(transform.position(), QPointF(0, 0));
    QCOMPARE(transform.zoom(), 1.0);
    QCOMPARE(transform.rotationRelative(), 0.0);
    QCOMPARE(transform.rotation(), 0.0);
    QVERIFY(transform.transform().isIdentity());
    QCOMPARE(ItemTransformUndoCommand(&transform, QPointF(1, 1), 1, 0).id(),
        int(CommandId::ItemTransform));
}

void TestItemTransform::directSetters()
{
    ItemTransform transform;
    QSignalSpy positionSpy(&transform, &ItemTransform::positionChanged);
    QSignalSpy zoomSpy(&transform, &ItemTransform::zoomChanged);
    QSignalSpy relativeSpy(&transform, &ItemTransform::rotationRelativeChanged);
    QSignalSpy rotationSpy(&transform, &ItemTransform::rotationChanged);
    QSignalSpy updatedSpy(&transform, &SharedTransform::updated);

    transform.setPosition(QPointF(3, 4));
    transform.setZoom(2);
    transform.setRotationRelative(0.5);

    QCOMPARE(transform.position(), QPointF(3, 4));
    QCOMPARE(transform.zoom(), 2.0);
    QCOMPARE(transform.rotation(), 90.0);
    QCOMPARE(positionSpy.count(), 1);
    QCOMPARE(positionSpy.first().first().toPointF(), QPointF(3, 4));
    QCOMPARE(zoomSpy.count(), 1);
    QCOMPARE(relativeSpy.count(), 1);
    QCOMPARE(relativeSpy.first().first().toDouble(), 0.5);
    QCOMPARE(rotationSpy.count(), 1);
    QCOMPARE(updatedSpy.count(), 3);

    // Through the meta-object, as panels and scripts write it.
    QVERIFY(transform.setProperty("rotation", -45.0));
    QCOMPARE(transform.rotationRelative(), -0.25);
    QVERIFY(transform.setProperty("position", QPointF(7, 8)));
    QCOMPARE(transform.property("position").toPointF(), QPointF(7, 8));
}

void TestItemTransform::rotationMapping_data()
{
    QTest::addColumn<bool>("restricted");
    QTest::addColumn<qreal>("zero");
    QTest::addColumn<qreal>("variation");
    QTest::addColumn<qreal>("degrees");
    QTest::addColumn<qreal>("expectedRelative");
    QTest::addColumn<qreal>("expectedRotation");

    QTest::newRow("unrestricted quarter") << false << 0.0 << 0.0 << 45.0 << 0.25 << 45.0;
    QTest::newRow("unrestricted wraps") << false << 0.0 << 0.0 << 270.0 << -0.5 << -90.0;
    QTest::newRow("inside variation") << true << 0.0 << 15.0 << 7.5 << 0.5 << 7.5;
    QTest::newRow("around zero") << true << 10.0 << 20.0 << 0.0 << -0.5 << 0.0;
    QTest::newRow("clamped above") << true << 0.0 << 15.0 << 40.0 << 1.0 << 15.0;
    QTest::newRow("1000 degrees") << true << 0.0 << 15.0 << 1000.0 << -1.0 << -15.0;
    QTest::newRow("short way round zero") << true << 170.0 << 30.0 << -175.0 << 0.5 << 185.0;
}

void TestItemTransform::rotationMapping()
{
    QFETCH(bool, restricted);
    QFETCH(qreal, zero);
    QFETCH(qreal, variation);
    QFETCH(qreal, degrees);
    QFETCH(qreal, expectedRelative);
    QFETCH(qreal, expectedRotation);

    RotationRestriction restriction;
    restriction.setZero(zero);
    restriction.setVariation(variation);
    ItemTransform transform(nullptr, restricted ? &restriction : nullptr);
    transform.setRotation(degrees);
    QVERIFY2(qFuzzyCompare(transform.rotationRelative(), expectedRelative),
        qPrintable(QString::number(transform.rotationRelative())));
    QVERIFY2(qFuzzyCompare(transform.rotation(), expectedRotation),
        qPrintable(QString::number(transform.rotation())));
}

void TestItemTransform::freeMappingFunctions_data()
{
    QTest::addColumn<qreal>("zero");
    QTest::addColumn<qreal>("variation");
    QTest::addColumn<qreal>("relative");

    QTest::newRow("plain") << 0.0 << 15.0 << 0.6;
    QTest::newRow("tilted") << 45.0 << 35.0 << -0.8;
    QTest::newRow("upside down") << 180.0 << 90.0 << 0.5;
}

void TestItemTransform::freeMappingFunctions()
{
    QFETCH(qreal, zero);
    QFETCH(qreal, variation);
    QFETCH(qreal, relative);

    const qreal degrees = rotationToDegrees(relative, zero, variation);
    QCOMPARE(degrees, relative * variation + zero);
    QVERIFY(qFuzzyCompare(rotationToRelative(degrees, zero, variation), relative));
    // A full turn more is the same direction.
    QVERIFY(qFuzzyCompare(rotationToRelative(degrees + 720, zero, variation), relative));

    RotationRestriction restriction;
    restriction.setZero(zero);
    restriction.setVariation(variation);
    QCOMPARE(restriction.toDegrees(relative), degrees);
    QCOMPARE(restriction.toRelative(degrees), rotationToRelative(degrees, zero, variation));
}

void TestItemTransform::restrictionTurnsEveryPhoto()
{
    Document document(true);
    RotationRestriction restriction(&document);
    restriction.setVariation(15);
    restriction.setZero(5);
    ItemTransform first(&document, &restriction);
    ItemTransform second(&document, &restriction);
    first.setRotationRelative(1);
    second.setRotationRelative(-0.5);
    QCOMPARE(first.rotation(), 20.0);
    QCOMPARE(second.rotation(), -2.5);

    UndoStack *stack = document.undoStack();
    const int steps = stack->count();
    QSignalSpy rotationSpy(&first, &ItemTransform::rotationChanged);
    QSignalSpy updatedSpy(&second, &SharedTransform::updated);
    restriction.setVariation(30);

    QCOMPARE(stack->count(), steps + 1); // the restriction's own step, none per photo
    QCOMPARE(first.rotation() - restriction.zero(), 30.0);
    QCOMPARE(second.rotation() - restriction.zero(), -15.0);
    QCOMPARE(first.rotationRelative(), 1.0);
    QCOMPARE(rotationSpy.count(), 1);
    QCOMPARE(updatedSpy.count(), 1);

    stack->undo();
    QCOMPARE(first.rotation(), 20.0);
}

void TestItemTransform::restrictionGoneFallsBack()
{
    auto *restriction = new RotationRestriction;
    restriction->setVariation(10);
    ItemTransform transform(nullptr, restriction);
    transform.setRotationRelative(0.5);
    QCOMPARE(transform.rotation(), 5.0);

    QSignalSpy rotationSpy(&transform, &ItemTransform::rotationChanged);
    delete restriction;
    QVERIFY(!transform.restriction());
    QCOMPARE(rotationSpy.count(), 1);
    QCOMPARE(transform.rotation(), 90.0);

    RotationRestriction other;
    other.setZero(30);
    transform.setRestriction(&other);
    QCOMPARE(transform.rotation(), 120.0);
    QCOMPARE(rotationSpy.count(), 2);
}

void TestItemTransform::applyToMapsPoints_data()
{
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<qreal>("zoom");
    QTest::addColumn<qreal>("relative");
    QTest::addColumn<QPointF>("point");
    QTest::addColumn<QPointF>("expected");

    // Rotations are clockwise on the y-down page: (1, 0) turns to (0, 1).
    QTest::newRow("identity") << QPointF() << 1.0 << 0.0 << QPointF(2, 3) << QPointF(2, 3);
    QTest::newRow("move") << QPointF(10, -5) << 1.0 << 0.0 << QPointF(2, 3) << QPointF(12, -2);
    QTest::newRow("zoom") << QPointF(10, 0) << 3.0 << 0.0 << QPointF(1, 1) << QPointF(13, 3);
    QTest::newRow("quarter turn") << QPointF() << 1.0 << 0.5 << QPointF(1, 0) << QPointF(0, 1);
    QTest::newRow("all three") << QPointF(100, 50) << 2.0 << 0.5 << QPointF(1, 0)
                               << QPointF(100, 52);
    QTest::newRow("half turn") << QPointF(1, 1) << 0.5 << 1.0 << QPointF(4, 2) << QPointF(-1, 0);
}

void TestItemTransform::applyToMapsPoints()
{
    QFETCH(QPointF, position);
    QFETCH(qreal, zoom);
    QFETCH(qreal, relative);
    QFETCH(QPointF, point);
    QFETCH(QPointF, expected);

    ItemTransform transform;
    transform.setPosition(position);
    transform.setZoom(zoom);
    transform.setRotationRelative(relative);

    const QPointF mapped = transform.transform().map(point);
    QVERIFY2(fuzzyEqual(mapped, expected),
        qPrintable(QStringLiteral("%1,%2").arg(mapped.x()).arg(mapped.y())));
    QMatrix4x4 matrix;
    transform.applyTo(&matrix);
    QVERIFY(fuzzyEqual(matrix.map(point), expected));
}

void TestItemTransform::commandTexts_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QPointF>("position");
    QTest::addColumn<qreal>("zoom");
    QTest::addColumn<qreal>("relative");
    QTest::addColumn<QString>("expected");

    QTest::newRow("move") << QString() << QPointF(5, 5) << 1.0 << 0.0 << "Moving object";
    QTest::newRow("scale") << QString() << QPointF() << 2.0 << 0.0 << "Scaling object";
    QTest::newRow("rotate") << QString() << QPointF() << 1.0 << 0.3 << "Rotating object";
    QTest::newRow("move and scale")
        << QString() << QPointF(1, 0) << 2.0 << 0.0 << "Changing object";
    QTest::newRow("move and rotate")
        << QString() << QPointF(1, 0) << 1.0 << 0.3 << "Changing object";
    QTest::newRow("named") << QStringLiteral("beach.jpg") << QPointF(0, 9) << 1.0 << 0.0
                           << "Moving beach.jpg";
    QTest::newRow("nothing") << QString() << QPointF() << 1.0 << 0.0 << "Scaling object";
}

void TestItemTransform::commandTexts()
{
    QFETCH(QString, name);
    QFETCH(QPointF, position);
    QFETCH(qreal, zoom);
    QFETCH(qreal, relative);
    QFETCH(QString, expected);

    ItemTransform transform;
    transform.setObjectName(name);
    const ItemTransformUndoCommand command(&transform, position, zoom, relative);
    QCOMPARE(command.text(), expected);
}

void TestItemTransform::dragIsOneStep()
{
    Document document(true);
    RotationRestriction restriction(&document);
    restriction.setVariation(15);
    ItemTransform transform(&document, &restriction);
    transform.setZoom(1.5);
    transform.setRotationRelative(0.4);
    UndoStack *stack = document.undoStack();
    stack->setClean();
    const int steps = stack->count();

    const QPointF start = transform.position();
    for (int i = 1; i <= 20; ++i)
        transform.setPosition(QPointF(i * 0.5, i * 0.25));

    QCOMPARE(stack->count(), steps + 1);
    QCOMPARE(stack->undoText(), QStringLiteral("Moving object"));
    QCOMPARE(transform.position(), QPointF(10, 5));

    stack->undo();
    QCOMPARE(transform.position(), start);
    QCOMPARE(transform.zoom(), 1.5);
    QCOMPARE(transform.rotationRelative(), 0.4);

    stack->redo();
    QCOMPARE(transform.position(), QPointF(10, 5));
    QCOMPARE(stack->count(), steps + 1);
}

void TestItemTransform::mergedChangesRenameTheStep()
{
    Document document(true);
    ItemTransform transform(&document);
    UndoStack *stack = document.undoStack();

    transform.setPosition(QPointF(1, 2));
    QCOMPARE(stack->undoText(), QStringLiteral("Moving object"));
    transform.setZoom(3);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->undoText(), QStringLiteral("Changing object"));

    stack->undo();
    QCOMPARE(transform.position(), QPointF(0, 0));
    QCOMPARE(transform.zoom(), 1.0);
}

void TestItemTransform::twoTransformsStayTwoSteps()
{
    Document document(true);
    ItemTransform first(&document);
    ItemTransform second(&document);
    first.setPosition(QPointF(1, 1));
    second.setPosition(QPointF(2, 2));
    first.setPosition(QPointF(3, 3));
    QCOMPARE(document.undoStack()->count(), 3);

    document.undoStack()->undo();
    QCOMPARE(first.position(), QPointF(1, 1));
    QCOMPARE(second.position(), QPointF(2, 2));
}

void TestItemTransform::cleanStateBreaksMerging()
{
    Document document(true);
    ItemTransform transform(&document);
    UndoStack *stack = document.undoStack();
    transform.setZoom(2);
    transform.setZoom(3);
    QCOMPARE(stack->count(), 1);
    stack->setClean();
    transform.setZoom(4);
    QCOMPARE(stack->count(), 2);
    stack->undo();
    QCOMPARE(transform.zoom(), 3.0);
    QVERIFY(stack->isClean());
}

void TestItemTransform::undoAnnouncesOnlyWhatChanged()
{
    Document document(true);
    ItemTransform transform(&document);
    QSignalSpy positionSpy(&transform, &ItemTransform::positionChanged);
    QSignalSpy zoomSpy(&transform, &ItemTransform::zoomChanged);
    QSignalSpy relativeSpy(&transform, &ItemTransform::rotationRelativeChanged);

    transform.setZoom(2);
    QCOMPARE(zoomSpy.count(), 1);
    document.undoStack()->undo();
    QCOMPARE(zoomSpy.count(), 2);
    QCOMPARE(zoomSpy.last().first().toDouble(), 1.0);
    document.undoStack()->redo();
    QCOMPARE(zoomSpy.count(), 3);
    QCOMPARE(positionSpy.count(), 0);
    QCOMPARE(relativeSpy.count(), 0);
}

void TestItemTransform::unchangedValuesPushNothing()
{
    Document document(true);
    ItemTransform transform(&document);
    transform.setPosition(QPointF(0, 0));
    transform.setZoom(1);
    transform.setRotationRelative(0);
    transform.setRotationRelative(-0.0);
    transform.setRotation(0);
    QCOMPARE(document.undoStack()->count(), 0);

    transform.setRotationRelative(1);
    transform.setRotationRelative(3); // clamps to the value it already has
    QCOMPARE(document.undoStack()->count(), 1);
}

void TestItemTransform::undoAfterTargetIsGone()
{
    Document document(true);
    auto *transform = new ItemTransform(&document);
    transform->setPosition(QPointF(4, 4));
    delete transform;
    document.undoStack()->undo();
    document.undoStack()->redo();
    QCOMPARE(document.undoStack()->count(), 1);
}

void TestItemTransform::linkedTransformFollows()
{
    ItemTransform transform;
    transform.setPosition(QPointF(10, 20));
    transform.setZoom(2);

    QGraphicsRectItem item(0, 0, 10, 10);
    auto *linked = new LinkedTransform(&transform);
    item.setTransformations({ linked }); // the item owns and deletes it
    QCOMPARE(linked->linkedTransform(), &transform);
    QCOMPARE(item.sceneTransform().map(QPointF(1, 1)), QPointF(12, 22));

    transform.setPosition(QPointF(-5, 0));
    QCOMPARE(item.sceneTransform().map(QPointF(1, 1)), QPointF(-3, 2));
    transform.setRotationRelative(0.5);
    QVERIFY(fuzzyEqual(item.sceneTransform().map(QPointF(1, 0)), QPointF(-5, 2)));

    QMatrix4x4 own;
    QMatrix4x4 followed;
    transform.applyTo(&own);
    linked->applyTo(&followed);
    QCOMPARE(followed, own);
}

void TestItemTransform::linkedTransformBecomesIdentity()
{
    auto *transform = new ItemTransform;
    transform->setPosition(QPointF(10, 20));
    QGraphicsRectItem item(0, 0, 10, 10);
    auto *linked = new LinkedTransform(transform);
    item.setTransformations({ linked });
    QCOMPARE(item.sceneTransform().map(QPointF(0, 0)), QPointF(10, 20));

    delete transform;
    QVERIFY(!linked->linkedTransform());
    QMatrix4x4 matrix;
    linked->applyTo(&matrix);
    QVERIFY(matrix.isIdentity());
    QCOMPARE(item.sceneTransform().map(QPointF(0, 0)), QPointF(0, 0));
}

QTEST_MAIN(TestItemTransform)
#include "tst_itemtransform.moc"
