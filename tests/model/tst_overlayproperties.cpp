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
    void defaults();
    void setters_data();
    void setters();
    void clamps_data();
    void clamps();
    void otherPropertiesAndObjectsStaySeparate();
    void sourceIsTheStickerPath();
    void availableStickers();
};

void TestOverlayProperties::defaults()
{
    Document document(false);
    TextOverlayProperties *overlay = document.addTextOverlay();
    QCOMPARE(overlay->parent(), &document);
    QCOMPARE(overlay->text(), QStringLiteral("Text"));
    QCOMPARE(overlay->font().family(), QStringLiteral("Helvetica"));
    QCOMPARE(overlay->font().pointSizeF(), 24.0);
    QCOMPARE(overlay->color(), QColor(Qt::white));
    QCOMPARE(overlay->alignment(), int(Qt::AlignHCenter | Qt::AlignVCenter));
    QObject *sticker = document.addSticker();
    for (QObject *object : { static_cast<QObject *>(overlay), sticker }) {
        // A fuzzily equal position is no change.
        QSignalSpy moved(object, metaProperty(object, "position").notifySignal());
        QVERIFY(object->setProperty("position", QPointF(0.5 + 1e-15, 0.5)));
        QCOMPARE(moved.size(), 0);
        QCOMPARE(object->property("position").toPointF(), QPointF(0.5, 0.5));
        QCOMPARE(object->property("rotation").toDouble(), 0.0);
        QCOMPARE(object->property("scale").toDouble(), 1.0);
        QCOMPARE(object->property("opacity").toDouble(), 1.0);
    }
}

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
    QTest::newRow("text color") << int(Text) << QByteArray("color") << QVariant(QColor(Qt::red))
                                << QVariant(QColor(10, 20, 30, 40)) << "Change text color";
    QTest::newRow("text position") << int(Text) << QByteArray("position")
                                   << QVariant(QPointF(0.1, 0.9)) << QVariant(QPointF(-0.5, 2))
                                   << "Move text";
    QTest::newRow("text rotation") << int(Text) << QByteArray("rotation") << QVariant(45.0)
                                   << QVariant(-720.5) << "Rotate text";
    QTest::newRow("text scale") << int(Text) << QByteArray("scale") << QVariant(2.5)
                                << QVariant(0.25) << "Scale text";
    QTest::newRow("text opacity") << int(Text) << QByteArray("opacity") << QVariant(0.5)
                                  << QVariant(0.0) << "Change text opacity";
    QTest::newRow("alignment") << int(Text) << QByteArray("alignment")
                               << QVariant(int(Qt::AlignLeft | Qt::AlignTop))
                               << QVariant(int(Qt::AlignRight | Qt::AlignBottom))
                               << "Change text alignment";
    QTest::newRow("sticker path") << int(Sticker) << QByteArray("stickerPath")
                                  << QVariant(QStringLiteral(":/stickers/heart.svg"))
                                  << QVariant(QStringLiteral(":/stickers/star.svg"))
                                  << "Change sticker";
    QTest::newRow("sticker position") << int(Sticker) << QByteArray("position")
                                      << QVariant(QPointF(0.2, 0.3)) << QVariant(QPointF(1, 1))
                                      << "Move sticker";
    QTest::newRow("sticker rotation") << int(Sticker) << QByteArray("rotation") << QVariant(90.0)
                                      << QVariant(450.0) << "Rotate sticker";
    QTest::newRow("sticker scale") << int(Sticker) << QByteArray("scale") << QVariant(3.0)
                                   << QVariant(0.5) << "Scale sticker";
    QTest::newRow("sticker opacity") << int(Sticker) << QByteArray("opacity") << QVariant(0.75)
                                     << QVariant(0.125) << "Change sticker opacity";
}

// Every setter assigns at once without an undo stack; with one it records
// one step per run of edits that undoes to the value before the run.
void TestOverlayProperties::setters()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, first);
    QFETCH(QVariant, second);
    QFETCH(QString, commandText);

    for (bool withUndo : { false, true }) {
        Document document(withUndo);
        QObject *overlay = makeOverlay(document, kind);
        const QMetaProperty meta = metaProperty(overlay, property.constData());
        const QVariant initial = meta.read(overlay);
        QSignalSpy spy(overlay, meta.notifySignal());

        QVERIFY(meta.write(overlay, first));
        QVERIFY(sameValue(meta.read(overlay), first));
        QCOMPARE(spy.size(), 1);
        QVERIFY(sameValue(spy.at(0).at(0), first));
        QVERIFY(meta.write(overlay, second));
        QVERIFY(meta.write(overlay, second)); // no change, not announced
        QVERIFY(sameValue(meta.read(overlay), second));
        QCOMPARE(spy.size(), 2);

        if (!withUndo) {
            QVERIFY(!document.undoStack());
            continue;
        }
        UndoStack *stack = document.undoStack();
        QCOMPARE(stack->count(), 1);
        QCOMPARE(stack->undoText(), commandText);
        stack->undo();
        QVERIFY(sameValue(meta.read(overlay), initial));
        QCOMPARE(spy.size(), 3);
        stack->redo();
        QVERIFY(sameValue(meta.read(overlay), second));
    }
}

void TestOverlayProperties::clamps_data()
{
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("stored");

    QTest::newRow("scale 500") << QByteArray("scale") << 500.0 << 100.0;
    QTest::newRow("scale 0") << QByteArray("scale") << 0.0 << 0.01;
    QTest::newRow("scale infinite") << QByteArray("scale") << qInf() << 1.0;
    QTest::newRow("scale NaN") << QByteArray("scale") << qQNaN() << 1.0;
    QTest::newRow("opacity -1") << QByteArray("opacity") << -1.0 << 0.0;
    QTest::newRow("opacity NaN") << QByteArray("opacity") << qQNaN() << 1.0;
    QTest::newRow("rotation 1000 is kept") << QByteArray("rotation") << 1000.0 << 1000.0;
    QTest::newRow("rotation NaN") << QByteArray("rotation") << qQNaN() << 0.0;
}

void TestOverlayProperties::clamps()
{
    QFETCH(QByteArray, property);
    QFETCH(double, value);
    QFETCH(double, stored);

    for (bool withUndo : { false, true }) {
        for (int kind : { int(Text), int(Sticker) }) {
            Document document(withUndo);
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

void TestOverlayProperties::sourceIsTheStickerPath()
{
    Document document(true);
    StickerProperties *sticker = document.addSticker();
    QSignalSpy pathSpy(sticker, &StickerProperties::stickerPathChanged);
    QSignalSpy sourceSpy(sticker, &StickerProperties::sourceChanged);
    sticker->setSource(QStringLiteral(":/stickers/pin.svg"));
    QCOMPARE(sticker->stickerPath(), QStringLiteral(":/stickers/pin.svg"));
    QCOMPARE(sticker->source(), sticker->stickerPath());
    QCOMPARE(pathSpy.size(), 1);
    QCOMPARE(sourceSpy.size(), 1);
    QCOMPARE(document.undoStack()->undoText(), QStringLiteral("Change sticker"));
    QCOMPARE(document.addSticker(QStringLiteral(":/stickers/heart.svg"))->stickerPath(),
             QStringLiteral(":/stickers/heart.svg"));
}

void TestOverlayProperties::availableStickers()
{
    const QStringList stickers = StickerProperties::availableStickers();
    const QStringList expected { QStringLiteral(":/stickers/arrow_right.svg"),
        QStringLiteral(":/stickers/camera.svg"), QStringLiteral(":/stickers/circle.svg"),
        QStringLiteral(":/stickers/frame_ornate.svg"), QStringLiteral(":/stickers/heart.svg"),
        QStringLiteral(":/stickers/pin.svg"), QStringLiteral(":/stickers/ribbon.svg"),
        QStringLiteral(":/stickers/speech_bubble.svg"), QStringLiteral(":/stickers/star.svg"),
        QStringLiteral(":/stickers/thumbs_up.svg") };
    QCOMPARE(stickers, expected);
    for (const QString &path : stickers)
        QVERIFY2(QFile::exists(path), qPrintable(path));
}

QTEST_MAIN(TestOverlayProperties)
#include "tst_overlayproperties.moc"
