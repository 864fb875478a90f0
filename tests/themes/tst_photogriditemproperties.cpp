#include <QSignalSpy>
#include <QTest>

#include <functional>

#include "model/imagesource.h"
#include "model/rotationrestriction.h"
#include "model/transformedimagesource.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/themetestdata.h"

using Item = PhotoGridItemProperties;
using Change = std::function<void(Item &, Document *)>;
Q_DECLARE_METATYPE(Change)

class TestPhotoGridItemProperties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(!(m_urls = m_photos.write({ { 40, 30 }, { 60, 30 } })).isEmpty());
    }
    void init();
    void cleanup();

    void setters_data();
    void setters();
    void merging_data();
    void merging();
    void angleClamps_data();
    void angleClamps();
    void restrictionTurnsCells();

private:
    ThemeTestData::PhotoFiles m_photos;
    QList<QUrl> m_urls;
    Document *m_document = nullptr;
    RotationRestriction *m_restriction = nullptr;
};

void TestPhotoGridItemProperties::init()
{
    m_document = ThemeTestData::newDocument(QSizeF(300, 200), m_urls, {}, this);
    QVERIFY(m_document);
    m_restriction = new RotationRestriction(nullptr, m_document);
    m_restriction->setZero(10);
    m_restriction->setVariation(20);
    m_restriction->setDocument(m_document);
    m_document->undoStack()->clear();
}

void TestPhotoGridItemProperties::cleanup()
{
    delete m_document;
    m_document = nullptr;
}

void TestPhotoGridItemProperties::setters_data()
{
    QTest::addColumn<Change>("change");
    QTest::addColumn<QString>("text"); // of the undo step; none: nothing changes
    // The cell starts at rect (1, 2, 3, 4) and the relative angle 1; the
    // restriction is zero 10, variation 20.
    const auto row = [](const char *name, const char *text, Change change) {
        QTest::newRow(name) << change << QString::fromLatin1(text);
    };
    row("rect", "rect change", [](Item &i, Document *) { i.setRect(QRectF(10, 20, 300, 400)); });
    row("angle", "angle change", [](Item &i, Document *) { i.setAngle(25); });
    row("source", "source change", [](Item &i, Document *d) {
        i.setSource(QSharedPointer<TransformedImageSource>::create(d->imageList()->at(1), d));
    });
    row("filterType", "Change filter", [](Item &i, Document *) { i.setFilterType(3); });
    row("maskShape", "Change mask", [](Item &i, Document *) { i.setMaskShape(4); });
    // Values the cell has already record nothing.
    row("angle beyond the clamp", "", [](Item &i, Document *) { i.setAngleRelative(7); });
    row("angle not a number", "", [](Item &i, Document *) { i.setAngleRelative(qQNaN()); });
    row("null source", "", [](Item &i, Document *) { i.setSource({}); });
}

void TestPhotoGridItemProperties::setters()
{
    QFETCH(Change, change);
    QFETCH(QString, text);
    // Without an undo stack the setters change the value directly.
    Document unstacked(false);
    QVERIFY(unstacked.imageList()->insertUrls(0, m_urls, false));
    for (Document *document : { m_document, &unstacked }) {
        Item item(document, m_restriction, document->imageList()->at(0));
        item.setRect(QRectF(1, 2, 3, 4));
        item.setAngleRelative(1);
        UndoStack *stack = document->undoStack();
        if (stack)
            stack->clear();
        const auto snapshot = [&item] {
            return QVariantList { item.rect(), item.angleRelative(), quintptr(item.source().data()),
                item.filterType(), item.maskShape() };
        };

        const QVariantList before = snapshot();
        change(item, document);
        const QVariantList after = snapshot();
        QCOMPARE(after != before, !text.isEmpty());
        QVERIFY(item.source());
        if (!stack)
            continue;
        QCOMPARE(stack->count(), text.isEmpty() ? 0 : 1);
        if (text.isEmpty())
            continue;
        QCOMPARE(stack->text(0), text);
        ThemeTestData::compareUndoRedo(stack, snapshot, before, after);
    }
}

void TestPhotoGridItemProperties::merging_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<int>("firstSteps"); // after choosing the current value
    QTest::addColumn<int>("steps"); // after two more changes
    // Choosing the current filter is a step, though nothing changes.
    QTest::newRow("filter") << 0 << 1 << 1;
    QTest::newRow("angle") << 1 << 0 << 1;
    // Rectangles never merge; a difference far below any fuzzy comparison
    // is still a change.
    QTest::newRow("rect") << 2 << 0 << 2;
}

void TestPhotoGridItemProperties::merging()
{
    QFETCH(int, kind);
    QFETCH(int, firstSteps);
    QFETCH(int, steps);
    Item item(m_document, m_restriction, m_document->imageList()->at(0));
    Item neighbour(m_document, m_restriction, m_document->imageList()->at(1));
    UndoStack *stack = m_document->undoStack();
    const auto set = [kind](Item &target, int value) {
        if (kind == 0)
            target.setFilterType(value);
        else if (kind == 1)
            target.setAngleRelative(value / 10.0);
        else
            target.setRect(value ? QRectF(0, 0, 100, 5 + value * 1e-12) : QRectF());
    };
    const auto value = [kind](const Item &target) {
        if (kind == 2)
            return target.rect().isNull() ? 0 : qRound((target.rect().height() - 5) * 1e12);
        return kind == 0 ? target.filterType() : qRound(target.angleRelative() * 10);
    };
    set(item, 0);
    QCOMPARE(stack->count(), firstSteps);
    // Further changes of one cell merge into one step; a change of
    // another cell does not.
    set(item, 2);
    set(item, 5);
    QCOMPARE(stack->count(), steps);
    set(neighbour, 1);
    QCOMPARE(stack->count(), steps + 1);
    while (stack->canUndo())
        stack->undo();
    QCOMPARE(value(item), 0);
    QCOMPARE(value(neighbour), 0);
    while (stack->canRedo())
        stack->redo();
    QCOMPARE(value(item), 5);
    QCOMPARE(value(neighbour), 1);
}

void TestPhotoGridItemProperties::angleClamps_data()
{
    QTest::addColumn<bool>("restricted");
    QTest::addColumn<bool>("relative");
    QTest::addColumn<qreal>("value");
    QTest::addColumn<qreal>("expectedRelative");
    QTest::addColumn<qreal>("expectedDegrees");
    // Restriction: zero 10, variation 20; without one a relative r is r x 180.
    QTest::newRow("relative above") << true << true << 1.5 << 1.0 << 30.0;
    QTest::newRow("degrees beyond variation") << true << false << 100.0 << 1.0 << 30.0;
    QTest::newRow("degrees a turn away") << true << false << 375.0 << 0.25 << 15.0;
    QTest::newRow("unrestricted degrees") << false << false << -45.0 << -0.25 << -45.0;
}

void TestPhotoGridItemProperties::angleClamps()
{
    QFETCH(bool, restricted);
    QFETCH(bool, relative);
    QFETCH(qreal, value);
    QFETCH(qreal, expectedRelative);
    QFETCH(qreal, expectedDegrees);
    for (Document *document : { m_document, static_cast<Document *>(nullptr) }) {
        PhotoGridItemProperties item(
            document, restricted ? m_restriction : nullptr, m_document->imageList()->at(0));
        if (relative)
            item.setAngleRelative(value);
        else
            item.setAngle(value);
        QCOMPARE(item.angleRelative(), expectedRelative);
        QCOMPARE(item.angle(), expectedDegrees);
    }
}

void TestPhotoGridItemProperties::restrictionTurnsCells()
{
    PhotoGridItemProperties a(m_document, m_restriction, m_document->imageList()->at(0));
    PhotoGridItemProperties b(m_document, m_restriction, m_document->imageList()->at(1));
    a.setAngleRelative(0.5);
    QSignalSpy turnedA(&a, &PhotoGridItemProperties::angleChanged);
    QSignalSpy turnedB(&b, &PhotoGridItemProperties::angleChanged);
    m_restriction->setVariation(40);
    QCOMPARE(turnedA.count() + turnedB.count(), 2);
    QCOMPARE(a.angleRelative(), 0.5);
    QCOMPARE(a.angle(), 30.0);
    m_restriction->setZero(-20);
    QCOMPARE(turnedA.count(), 2);
    QCOMPARE(a.angle(), 0.0);
}

QTEST_MAIN(TestPhotoGridItemProperties)
#include "tst_photogriditemproperties.moc"
