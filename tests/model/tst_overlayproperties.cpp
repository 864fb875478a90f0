#include <QtTest>

#include <QMetaProperty>

#include "model/document.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "undo/undostack.h"

namespace {

enum Kind { Text, Sticker };

QObject *makeOverlay(Document &document, int kind)
{
    if (kind == Text)
        return document.addTextOverlay();
    return document.addSticker();
}

QMetaProperty metaProperty(const QObject *object, const char *name)
{
    const QMetaObject *meta = object->metaObject();
    return meta->property(meta->indexOfProperty(name));
}

bool sameValue(const QVariant &a, const QVariant &b)
{
    if (a.metaType().id() == QMetaType::Double || b.metaType().id() == QMetaType::Double)
        return qFuzzyCompare(a.toDouble(), b.toDouble());
    return a == b;
}

} // namespace

class TestOverlayProperties : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void setters_data();
    void setters();
    void clamps_data();
    void clamps();
    void otherPropertiesAndObjectsStaySeparate();
};

void TestOverlayProperties::setters_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("first");
    QTest::addColumn<QVariant>("second");
    QTest::addColumn<QString>("commandText");

    QFont bold(QStringLiteral("Serif"), 30, QFont::Bold, true);
    QFont small(QStringLiteral("Serif"), 8);

    QTest::newRow("text") << int(Text) << QByteArray("text") << QVariant(QStringLiteral("Hello"))
                          << QVariant(QStringLiteral("Hello\nworld")) << "Change text";
    QTest::newRow("font") << int(Text) << QByteArray("font") << QVariant(bold) << QVariant(small)
                          << "Change font";
    QTest::newRow("text position")
        << int(Text) << QByteArray("position") << QVariant(QPointF(0.1, 0.9))
        << QVariant(QPointF(-0.5, 2)) << "Move text";
    QTest::newRow("alignment") << int(Text) << QByteArray("alignment")
                               << QVariant(int(Qt::AlignLeft | Qt::AlignTop))
                               << QVariant(int(Qt::AlignRight | Qt::AlignBottom))
                               << "Change text alignment";
    QTest::newRow("sticker path") << int(Sticker) << QByteArray("stickerPath")
                                  << QVariant(QStringLiteral(":/stickers/heart.svg"))
                                  << QVariant(QStringLiteral(":/stickers/star.svg"))
                                  << "Change sticker";
    QTest::newRow("sticker opacity") << int(Sticker) << QByteArray("opacity") << QVariant(0.75)
                                     << QVariant(0.125) << "Change sticker opacity";
}

// Every setter records one step per run of edits that undoes to the value
// before the run.
void TestOverlayProperties::setters()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, first);
    QFETCH(QVariant, second);
    QFETCH(QString, commandText);

    Document document(true);
    QObject *overlay = makeOverlay(document, kind);
    const QMetaProperty meta = metaProperty(overlay, property.constData());
    const QVariant initial = meta.read(overlay);
    QSignalSpy spy(overlay, meta.notifySignal());
    QVERIFY(meta.write(overlay, first));
    QVERIFY(meta.write(overlay, second));
    QVERIFY(meta.write(overlay, second)); // no change, not announced
    QVERIFY(sameValue(meta.read(overlay), second));
    QCOMPARE(spy.size(), 2);

    UndoStack *stack = document.undoStack();
    QCOMPARE(stack->count(), 1);
    QCOMPARE(stack->undoText(), commandText);
    stack->undo();
    QVERIFY(sameValue(meta.read(overlay), initial));
    stack->redo();
    QVERIFY(sameValue(meta.read(overlay), second));
}

void TestOverlayProperties::clamps_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("stored");

    QTest::newRow("scale 500") << QByteArray("scale") << 500.0 << 100.0;
    QTest::newRow("scale NaN") << QByteArray("scale") << qQNaN() << 1.0;
    QTest::newRow("opacity -1") << QByteArray("opacity") << -1.0 << 0.0;
    QTest::newRow("rotation 1000 is kept") << QByteArray("rotation") << 1000.0 << 1000.0;
    QTest::newRow("rotation NaN") << QByteArray("rotation") << qQNaN() << 0.0;
}

void TestOverlayProperties::clamps()
{
    QFETCH(QByteArray, property);
    QFETCH(double, value);
    QFETCH(double, stored);

    for (int kind : { int(Text), int(Sticker) }) {
        Document document(true);
        QObject *overlay = makeOverlay(document, kind);
        QVERIFY(overlay->setProperty(property.constData(), value));
        QCOMPARE(overlay->property(property.constData()).toDouble(), stored);
        // A value that clamps to the current one is no change.
        const QMetaProperty meta = metaProperty(overlay, property.constData());
        QSignalSpy spy(overlay, meta.notifySignal());
        QVERIFY(meta.write(overlay, value));
        QCOMPARE(spy.size(), 0);
    }
}

void TestOverlayProperties::otherPropertiesAndObjectsStaySeparate()
{
    Document document(true);
    TextOverlayProperties *text = document.addTextOverlay();
    StickerProperties *first = document.addSticker();
    StickerProperties *second = document.addSticker();
    text->setRotation(10);
    text->setScale(2);
    first->setScale(2);
    second->setScale(3);
    QCOMPARE(document.undoStack()->count(), 4);
    while (document.undoStack()->canUndo())
        document.undoStack()->undo();
    QCOMPARE(text->rotation(), 0.0);
    QCOMPARE(text->scale() + first->scale() + second->scale(), 3.0);
}

QTEST_MAIN(TestOverlayProperties)
#include "tst_overlayproperties.moc"
