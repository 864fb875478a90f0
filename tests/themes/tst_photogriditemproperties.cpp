#include <QImage>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <limits>

#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/rotationrestriction.h"
#include "model/transformedimagesource.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "undo/undocommandwrapper.h"
#include "undo/undostack.h"

namespace {

// The id of the first command recorded in step `index`.
int commandId(const UndoStack *stack, int index)
{
    const auto *wrapper = dynamic_cast<const UndoCommandWrapper *>(stack->command(index));
    return wrapper && !wrapper->commands().isEmpty() ? wrapper->commands().first()->id() : -2;
}

} // namespace

class TestPhotoGridItemProperties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void defaults();
    void setterCommands_data();
    void setterCommands();
    void currentValuesRecordNothing_data();
    void currentValuesRecordNothing();
    void filterAndMaskRecordEvenUnchanged_data();
    void filterAndMaskRecordEvenUnchanged();
    void angleChangesMerge();
    void rectChangesNeverMerge();
    void angleClamps_data();
    void angleClamps();
    void restrictionTurnsCells();
    void withoutUndoStack();

private:
    QTemporaryDir m_dir;
    QList<QUrl> m_urls;
    Document *m_document = nullptr;
    RotationRestriction *m_restriction = nullptr;
};

void TestPhotoGridItemProperties::initTestCase()
{
    QVERIFY(m_dir.isValid());
    for (int i = 0; i < 2; ++i) {
        QImage image(QSize(40 + 20 * i, 30), QImage::Format_RGB32);
        image.fill(i ? Qt::darkCyan : Qt::darkYellow);
        const QString path = m_dir.filePath(QStringLiteral("item%1.png").arg(i));
        QVERIFY(image.save(path));
        m_urls.append(QUrl::fromLocalFile(path));
    }
}

void TestPhotoGridItemProperties::init()
{
    m_document = new Document(true, this);
    QVERIFY(m_document->imageList()->insertUrls(0, m_urls, false));
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

void TestPhotoGridItemProperties::defaults()
{
    const QSharedPointer<ImageSource> image = m_document->imageList()->at(0);
    PhotoGridItemProperties item(m_document, m_restriction, image);
    QVERIFY(item.rect().isNull());
    QCOMPARE(item.angleRelative(), 0.0);
    QCOMPARE(item.angle(), 10.0);
    QCOMPARE(item.restriction(), m_restriction);
    QVERIFY(item.source());
    QCOMPARE(item.source()->source(), image);
    QCOMPARE(item.image(), image);
    QCOMPARE(item.source()->transform(), QTransform());
    QCOMPARE(item.source()->document(), m_document);
    QCOMPARE(item.filterType(), 0);
    QCOMPARE(item.maskShape(), 0);
    QCOMPARE(item.parent(), nullptr);
    QCOMPARE(item.property("angleRelative").toReal(), 0.0);

    PhotoGridItemProperties empty(m_document, nullptr);
    QVERIFY(empty.source());
    QVERIFY(!empty.image());
    empty.setAngleRelative(0.5);
    QCOMPARE(empty.angle(), 90.0); // without a restriction r x 180
    empty.setAngle(-45);
    QCOMPARE(empty.angleRelative(), -0.25);
}

void TestPhotoGridItemProperties::setterCommands_data()
{
    QTest::addColumn<QString>("setter");
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("id");
    QTest::addColumn<QString>("signal");
    QTest::newRow("rect") << "rect"
                          << "rect change" << -1 << "rectChanged";
    QTest::newRow("angle") << "angle"
                           << "angle change" << 19 << "angleRelativeChanged";
    QTest::newRow("angleRelative") << "angleRelative"
                                   << "angle change" << 19 << "angleRelativeChanged";
    QTest::newRow("source") << "source"
                            << "source change" << -1 << "sourceChanged";
    QTest::newRow("filterType") << "filterType"
                                << "Change filter" << 32 << "filterTypeChanged";
    QTest::newRow("maskShape") << "maskShape"
                               << "Change mask" << 33 << "maskShapeChanged";
}

void TestPhotoGridItemProperties::setterCommands()
{
    QFETCH(QString, setter);
    QFETCH(QString, text);
    QFETCH(int, id);
    QFETCH(QString, signal);
    PhotoGridItemProperties item(m_document, m_restriction, m_document->imageList()->at(0));
    UndoStack *stack = m_document->undoStack();
    const QSharedPointer<TransformedImageSource> other
        = QSharedPointer<TransformedImageSource>::create(
            m_document->imageList()->at(1), m_document);

    QByteArray signature;
    const QMetaObject *meta = item.metaObject();
    for (int i = meta->methodOffset(); i < meta->methodCount(); ++i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == QMetaMethod::Signal && method.name() == signal.toLatin1())
            signature = QByteArray::number(QSIGNAL_CODE) + method.methodSignature();
    }
    QSignalSpy changed(&item, signature.constData());
    QVERIFY(changed.isValid());
    QSignalSpy angleChanged(&item, &PhotoGridItemProperties::angleChanged);

    auto snapshot = [&item] {
        return QVariantList { item.rect(), item.angleRelative(), quintptr(item.source().data()),
            item.filterType(), item.maskShape() };
    };
    const QVariantList before = snapshot();
    if (setter == QLatin1String("rect"))
        item.setRect(QRectF(10, 20, 300, 400));
    else if (setter == QLatin1String("angle"))
        item.setAngle(25); // zero 10, variation 20
    else if (setter == QLatin1String("angleRelative"))
        item.setAngleRelative(0.75);
    else if (setter == QLatin1String("source"))
        item.setSource(other);
    else if (setter == QLatin1String("filterType"))
        item.setFilterType(3);
    else if (setter == QLatin1String("maskShape"))
        item.setMaskShape(4);
    const QVariantList after = snapshot();

    QVERIFY(after != before);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(angleChanged.count(), signal == QLatin1String("angleRelativeChanged") ? 1 : 0);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), text);
    QCOMPARE(commandId(stack, 0), id);
    if (setter == QLatin1String("angle"))
        QCOMPARE(item.angleRelative(), 0.75);
    stack->undo();
    QCOMPARE(snapshot(), before);
    QCOMPARE(changed.count(), 2);
    stack->redo();
    QCOMPARE(snapshot(), after);
}

void TestPhotoGridItemProperties::currentValuesRecordNothing_data()
{
    QTest::addColumn<QString>("setter");
    QTest::newRow("rect") << "rect";
    QTest::newRow("angle") << "angle";
    QTest::newRow("angleRelative") << "angleRelative";
    QTest::newRow("angleRelative beyond the clamp") << "clamped";
    QTest::newRow("source") << "source";
    QTest::newRow("null source") << "null source";
    QTest::newRow("not a number") << "nan";
}

void TestPhotoGridItemProperties::currentValuesRecordNothing()
{
    QFETCH(QString, setter);
    PhotoGridItemProperties item(m_document, m_restriction, m_document->imageList()->at(0));
    item.setRect(QRectF(1, 2, 3, 4));
    item.setAngleRelative(1);
    UndoStack *stack = m_document->undoStack();
    stack->clear();
    QSignalSpy rect(&item, &PhotoGridItemProperties::rectChanged);
    QSignalSpy angle(&item, &PhotoGridItemProperties::angleChanged);
    QSignalSpy source(&item, &PhotoGridItemProperties::sourceChanged);
    if (setter == QLatin1String("rect"))
        item.setRect(QRectF(1, 2, 3, 4));
    else if (setter == QLatin1String("angle"))
        item.setAngle(30);
    else if (setter == QLatin1String("angleRelative"))
        item.setAngleRelative(1);
    else if (setter == QLatin1String("clamped"))
        item.setAngleRelative(7);
    else if (setter == QLatin1String("source"))
        item.setSource(item.source());
    else if (setter == QLatin1String("null source"))
        item.setSource(QSharedPointer<TransformedImageSource>());
    else if (setter == QLatin1String("nan"))
        item.setAngleRelative(std::numeric_limits<qreal>::quiet_NaN());
    QCOMPARE(stack->count(), 0);
    QCOMPARE(rect.count() + angle.count() + source.count(), 0);
    QVERIFY(item.source());
    QCOMPARE(item.angleRelative(), 1.0);
}

void TestPhotoGridItemProperties::filterAndMaskRecordEvenUnchanged_data()
{
    QTest::addColumn<bool>("mask");
    QTest::newRow("filter") << false;
    QTest::newRow("mask") << true;
}

void TestPhotoGridItemProperties::filterAndMaskRecordEvenUnchanged()
{
    QFETCH(bool, mask);
    PhotoGridItemProperties item(m_document, m_restriction, m_document->imageList()->at(0));
    PhotoGridItemProperties neighbour(m_document, m_restriction, m_document->imageList()->at(1));
    UndoStack *stack = m_document->undoStack();
    auto set = [mask](PhotoGridItemProperties &target, int value) {
        if (mask)
            target.setMaskShape(value);
        else
            target.setFilterType(value);
    };
    auto value = [mask](const PhotoGridItemProperties &target) {
        return mask ? target.maskShape() : target.filterType();
    };
    QSignalSpy changed(&item,
        mask ? &PhotoGridItemProperties::maskShapeChanged
             : &PhotoGridItemProperties::filterTypeChanged);
    // Choosing the current entry is a step, though nothing changes.
    set(item, 0);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(changed.count(), 0);
    // The next choice on the same cell merges into it ...
    set(item, 2);
    set(item, 5);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(changed.count(), 2);
    // ... a choice on another cell does not.
    set(neighbour, 1);
    QCOMPARE(stack->count(), 2);
    stack->undo();
    stack->undo();
    QCOMPARE(value(item), 0);
    stack->redo();
    QCOMPARE(value(item), 5);
    QCOMPARE(value(neighbour), 0);
}

void TestPhotoGridItemProperties::angleChangesMerge()
{
    PhotoGridItemProperties item(m_document, m_restriction, m_document->imageList()->at(0));
    PhotoGridItemProperties other(m_document, m_restriction, m_document->imageList()->at(1));
    UndoStack *stack = m_document->undoStack();
    item.setAngleRelative(0.2);
    item.setAngle(20);
    item.setAngleRelative(-0.4);
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->text(0), QStringLiteral("angle change"));
    other.setAngleRelative(0.3);
    QCOMPARE(stack->count(), 2);
    stack->undo();
    stack->undo();
    QCOMPARE(item.angleRelative(), 0.0);
    stack->redo();
    QCOMPARE(item.angleRelative(), -0.4);
}

void TestPhotoGridItemProperties::rectChangesNeverMerge()
{
    PhotoGridItemProperties item(m_document, m_restriction, m_document->imageList()->at(0));
    UndoStack *stack = m_document->undoStack();
    item.setRect(QRectF(0, 0, 100, 100));
    item.setRect(QRectF(0, 0, 100, 50));
    // A difference far below any fuzzy comparison is still a change.
    item.setRect(QRectF(0, 0, 100, 50 + 1e-9));
    QCOMPARE(stack->count(), 3);
    stack->undo();
    QCOMPARE(item.rect().height(), 50.0);
    stack->undo();
    QCOMPARE(item.rect(), QRectF(0, 0, 100, 100));
}

void TestPhotoGridItemProperties::angleClamps_data()
{
    QTest::addColumn<bool>("relative");
    QTest::addColumn<qreal>("value");
    QTest::addColumn<qreal>("expectedRelative");
    QTest::addColumn<qreal>("expectedDegrees");
    // Restriction: zero 10, variation 20.
    QTest::newRow("relative inside") << true << 0.5 << 0.5 << 20.0;
    QTest::newRow("relative above") << true << 1.5 << 1.0 << 30.0;
    QTest::newRow("relative below") << true << -3.0 << -1.0 << -10.0;
    QTest::newRow("degrees inside") << false << 0.0 << -0.5 << 0.0;
    QTest::newRow("degrees beyond variation") << false << 100.0 << 1.0 << 30.0;
    QTest::newRow("degrees a turn away") << false << 375.0 << 0.25 << 15.0;
}

void TestPhotoGridItemProperties::angleClamps()
{
    QFETCH(bool, relative);
    QFETCH(qreal, value);
    QFETCH(qreal, expectedRelative);
    QFETCH(qreal, expectedDegrees);
    for (bool withStack : { true, false }) {
        Document *document = withStack ? m_document : nullptr;
        PhotoGridItemProperties item(document, m_restriction, m_document->imageList()->at(0));
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
    QSignalSpy relativeA(&a, &PhotoGridItemProperties::angleRelativeChanged);
    m_restriction->setVariation(40);
    QCOMPARE(turnedA.count(), 1);
    QCOMPARE(turnedB.count(), 1);
    QCOMPARE(relativeA.count(), 0);
    QCOMPARE(a.angle(), 30.0);
    m_restriction->setZero(-20);
    QCOMPARE(turnedA.count(), 2);
    QCOMPARE(a.angle(), 0.0);
}

void TestPhotoGridItemProperties::withoutUndoStack()
{
    Document document(false);
    QVERIFY(document.imageList()->insertUrls(0, m_urls, false));
    PhotoGridItemProperties item(&document, nullptr, document.imageList()->at(0));
    QSignalSpy rect(&item, &PhotoGridItemProperties::rectChanged);
    QSignalSpy filter(&item, &PhotoGridItemProperties::filterTypeChanged);
    QSignalSpy source(&item, &PhotoGridItemProperties::sourceChanged);
    item.setRect(QRectF(5, 5, 10, 10));
    item.setRect(QRectF(5, 5, 10, 10));
    item.setFilterType(2);
    item.setFilterType(2);
    const auto other
        = QSharedPointer<TransformedImageSource>::create(document.imageList()->at(1), &document);
    item.setSource(other);
    QCOMPARE(rect.count(), 1);
    QCOMPARE(rect.first().first().toRectF(), QRectF(5, 5, 10, 10));
    QCOMPARE(filter.count(), 1);
    QCOMPARE(source.count(), 1);
    QCOMPARE(item.image(), document.imageList()->at(1));
}

QTEST_MAIN(TestPhotoGridItemProperties)
#include "tst_photogriditemproperties.moc"
