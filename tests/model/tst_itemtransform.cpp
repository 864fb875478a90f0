#include <QtTest>

#include <QGraphicsRectItem>
#include <QMatrix4x4>

#include "model/document.h"
#include "model/itemtransform.h"
#include "model/itemtransformundocommand.h"
#include "model/linkedtransform.h"
#include "model/randomgenerator.h"
#include "model/rotationrestriction.h"
#include "undo/undostack.h"

namespace {

bool fuzzyEqual(const QPointF &a, const QPointF &b)
{
    return qAbs(a.x() - b.x()) < 1e-4 && qAbs(a.y() - b.y()) < 1e-4;
}

} // namespace

class TestItemTransform : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cleanup() { RandomGenerator::reseed(); }

    void rotationMapping_data()
    {
        QTest::addColumn<qreal>("zero");
        QTest::addColumn<qreal>("variation"); // 0: no restriction
        QTest::addColumn<qreal>("degrees");
        QTest::addColumn<qreal>("expectedRelative");
        QTest::addColumn<qreal>("expectedRotation");

        QTest::newRow("unrestricted wraps") << 0.0 << 0.0 << 270.0 << -0.5 << -90.0;
        QTest::newRow("1000 degrees") << 0.0 << 15.0 << 1000.0 << -1.0 << -15.0;
        QTest::newRow("short way round zero") << 170.0 << 30.0 << -175.0 << 0.5 << 185.0;
    }

    void rotationMapping()
    {
        QFETCH(qreal, zero);
        QFETCH(qreal, variation);
        QFETCH(qreal, degrees);
        QFETCH(qreal, expectedRelative);
        QFETCH(qreal, expectedRotation);

        RotationRestriction restriction;
        restriction.setZero(zero);
        restriction.setVariation(variation);
        const bool restricted = variation > 0;
        ItemTransform transform(nullptr, restricted ? &restriction : nullptr);
        transform.setRotation(degrees);
        QVERIFY2(qFuzzyCompare(transform.rotationRelative(), expectedRelative),
            qPrintable(QString::number(transform.rotationRelative())));
        QVERIFY2(qFuzzyCompare(transform.rotation(), expectedRotation),
            qPrintable(QString::number(transform.rotation())));
        // A full turn more is the same direction.
        if (restricted)
            QVERIFY(qFuzzyCompare(
                rotationToRelative(expectedRotation + 720, zero, variation), expectedRelative));
    }

    void restrictionTurnsEveryPhoto()
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
        QSignalSpy updatedSpy(&second, &SharedTransform::updated);
        restriction.setVariation(30);
        QCOMPARE(stack->count(), steps + 1); // the restriction's own step, none per photo
        QCOMPARE(first.rotation(), 35.0);
        QCOMPARE(second.rotation(), -10.0);
        QCOMPARE(updatedSpy.count(), 1);
        stack->undo();
        QCOMPARE(first.rotation(), 20.0);
    }

    void restrictionGoneFallsBack()
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

    void undoSteps()
    {
        Document document(true);
        UndoStack *stack = document.undoStack();
        ItemTransform transform(&document);
        ItemTransform other(&document);
        // Values it already has push nothing, a clamped one included.
        transform.setPosition(QPointF(0, 0));
        transform.setRotationRelative(-0.0);
        other.setRotationRelative(1);
        other.setRotationRelative(3);
        QCOMPARE(stack->count(), 1);

        // A drag is one step, and a zoom within it joins the step; another
        // transform starts its own.
        QSignalSpy zoomSpy(&transform, &ItemTransform::zoomChanged);
        for (int i = 1; i <= 20; ++i)
            transform.setPosition(QPointF(i * 0.5, i * 0.25));
        transform.setZoom(3);
        other.setPosition(QPointF(2, 2));
        QCOMPARE(stack->count(), 3);
        stack->undo();
        stack->undo();
        QCOMPARE(transform.position(), QPointF(0, 0));
        QCOMPARE(transform.zoom(), 1.0);
        stack->redo();
        QCOMPARE(transform.position(), QPointF(10, 5));
        // Undo and redo announce only what they change.
        QCOMPARE(zoomSpy.count(), 3);
    }

    void undoAfterTargetIsGone()
    {
        Document document(true);
        auto *transform = new ItemTransform(&document);
        transform->setPosition(QPointF(4, 4));
        delete transform;
        document.undoStack()->undo();
        document.undoStack()->redo();
        QCOMPARE(document.undoStack()->count(), 1);
    }

    void linkedTransform()
    {
        auto *transform = new ItemTransform;
        transform->setPosition(QPointF(10, 20));
        transform->setZoom(2);
        QGraphicsRectItem item(0, 0, 10, 10);
        auto *linked = new LinkedTransform(transform);
        item.setTransformations({ linked }); // the item owns and deletes it

        // The item follows every change. Rotations are clockwise on the
        // y-down page: (1, 0) turns to (0, 1).
        transform->setRotationRelative(0.5);
        QVERIFY(fuzzyEqual(item.sceneTransform().map(QPointF(1, 0)), QPointF(10, 22)));

        // A transform that goes leaves the identity, not a dangling pointer.
        delete transform;
        QVERIFY(!linked->linkedTransform());
        QMatrix4x4 matrix;
        linked->applyTo(&matrix);
        QVERIFY(matrix.isIdentity());
        QCOMPARE(item.sceneTransform().map(QPointF(0, 0)), QPointF(0, 0));
    }

    // The random numbers that lay photos out

    void seeding()
    {
        // A seed reproduces its sequence; another seed or a reseed does not.
        const auto draws = [](quint64 seed) {
            RandomGenerator::seed(seed);
            return QList<quint64> { RandomGenerator::draw64(), RandomGenerator::draw64() };
        };
        const QList<quint64> first = draws(42);
        QCOMPARE(draws(42), first);
        QCOMPARE(RandomGenerator::fixedSeed().value_or(0), quint64(42));
        QVERIFY(draws(43) != first);
        RandomGenerator::reseed();
        QVERIFY(!RandomGenerator::fixedSeed());
        QVERIFY(RandomGenerator::draw64() != first.first());
    }

    void indexRange_data()
    {
        QTest::addColumn<quint64>("n");
        QTest::newRow("one") << quint64(1);
        QTest::newRow("just above a power of two") << quint64(9);
    }

    void indexRange()
    {
        QFETCH(quint64, n);
        RandomGenerator::seed(3);
        QList<int> hits(int(n), 0);
        for (int i = 0; i < 4000; ++i) {
            const quint64 value = RandomGenerator::index(n);
            QVERIFY(value < n);
            ++hits[int(value)];
        }
        for (int count : hits)
            QVERIFY(count > 0); // every value is reachable
        QCOMPARE(RandomGenerator::index(0), quint64(0));

        // Thousandths reach both ends of their range.
        int low = 1000, high = -1;
        for (int i = 0; i < 20000; ++i) {
            const int k = RandomGenerator::thousandth();
            low = qMin(low, k);
            high = qMax(high, k);
        }
        QCOMPARE(low, 0);
        QCOMPARE(high, 999);
    }
};

QTEST_MAIN(TestItemTransform)
#include "tst_itemtransform.moc"
