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
    void textDefaults();
    void stickerDefaults();
    void setters_data();
    void setters();
    void clamps_data();
    void clamps();
    void unchangedValuesAreIgnored_data();
    void unchangedValuesAreIgnored();
    void mergingPerPropertyAndObject_data();
    void mergingPerPropertyAndObject();
    void cleanStateStartsNewStep();
    void sourceIsTheStickerPath();
    void addStickerOnEditedDocument();
    void availableStickers();
};

void TestOverlayProperties::textDefaults()
{
    Document document(false);
    TextOverlayProperties *overlay = document.addTextOverlay();
    QCOMPARE(overlay->parent(), &document);
    QCOMPARE(overlay->document(), &document);
    QCOMPARE(overlay->text(), QStringLiteral("Text"));
    QCOMPARE(overlay->font().family(), QStringLiteral("Helvetica"));
    QCOMPARE(overlay->font().pointSizeF(), 24.0);
    QCOMPARE(overlay->font().weight(), QFont::Normal);
    QVERIFY(!overlay->font().italic());
    QCOMPARE(overlay->color(), QColor(Qt::white));
    QCOMPARE(overlay->position(), QPointF(0.5, 0.5));
    QCOMPARE(overlay->rotation(), 0.0);
    QCOMPARE(overlay->scale(), 1.0);
    QCOMPARE(overlay->opacity(), 1.0);
    QCOMPARE(overlay->alignment(), 132);
    QCOMPARE(overlay->alignment(), int(Qt::AlignHCenter | Qt::AlignVCenter));
}

void TestOverlayProperties::stickerDefaults()
{
    Document document(false);
    StickerProperties *sticker = document.addSticker();
    QCOMPARE(sticker->parent(), &document);
    QVERIFY(sticker->stickerPath().isEmpty());
    QCOMPARE(sticker->position(), QPointF(0.5, 0.5));
    QCOMPARE(sticker->rotation(), 0.0);
    QCOMPARE(sticker->scale(), 1.0);
    QCOMPARE(sticker->opacity(), 1.0);
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
        QVERIFY(meta.isValid());
        QVERIFY(meta.hasNotifySignal());
        const QVariant initial = meta.read(overlay);
        QSignalSpy spy(overlay, meta.notifySignal());

        QVERIFY(meta.write(overlay, first));
        QVERIFY(sameValue(meta.read(overlay), first));
        QCOMPARE(spy.size(), 1);
        QVERIFY(sameValue(spy.at(0).at(0), first));
        QVERIFY(meta.write(overlay, second));
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
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<double>("value");
    QTest::addColumn<double>("stored");

    for (int kind : { int(Text), int(Sticker) }) {
        const char *prefix = kind == Text ? "text " : "sticker ";
        auto row = [&](const char *name) -> QTestData & {
            return QTest::newRow(QByteArray(prefix).append(name).constData());
        };
        row("scale 500") << kind << QByteArray("scale") << 500.0 << 100.0;
        row("scale 100") << kind << QByteArray("scale") << 100.0 << 100.0;
        row("scale 0") << kind << QByteArray("scale") << 0.0 << 0.01;
        row("scale -2") << kind << QByteArray("scale") << -2.0 << 0.01;
        row("scale 0.02") << kind << QByteArray("scale") << 0.02 << 0.02;
        row("scale infinite") << kind << QByteArray("scale") << qInf() << 1.0;
        row("scale NaN") << kind << QByteArray("scale") << qQNaN() << 1.0;
        row("opacity 2") << kind << QByteArray("opacity") << 2.0 << 1.0;
        row("opacity -1") << kind << QByteArray("opacity") << -1.0 << 0.0;
        row("opacity 0.3") << kind << QByteArray("opacity") << 0.3 << 0.3;
        row("opacity NaN") << kind << QByteArray("opacity") << qQNaN() << 1.0;
        row("rotation 1000") << kind << QByteArray("rotation") << 1000.0 << 1000.0;
        row("rotation NaN") << kind << QByteArray("rotation") << qQNaN() << 0.0;
    }
}

void TestOverlayProperties::clamps()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, property);
    QFETCH(double, value);
    QFETCH(double, stored);

    for (bool withUndo : { false, true }) {
        Document document(withUndo);
        QObject *overlay = makeOverlay(document, kind);
        QVERIFY(overlay->setProperty(property.constData(), value));
        QCOMPARE(overlay->property(property.constData()).toDouble(), stored);
    }
}

void TestOverlayProperties::unchangedValuesAreIgnored_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("property");
    QTest::addColumn<QVariant>("value");

    QTest::newRow("same text") << int(Text) << QByteArray("text") << QVariant(QStringLiteral("Text"));
    QTest::newRow("same font") << int(Text) << QByteArray("font")
                               << QVariant(QFont(QStringLiteral("Helvetica"), 24));
    QTest::newRow("same colour") << int(Text) << QByteArray("color") << QVariant(QColor(Qt::white));
    QTest::newRow("same position") << int(Text) << QByteArray("position")
                                   << QVariant(QPointF(0.5, 0.5));
    QTest::newRow("scale clamped to current") << int(Text) << QByteArray("scale")
                                              << QVariant(1.0);
    QTest::newRow("opacity clamped to current") << int(Sticker) << QByteArray("opacity")
                                                << QVariant(7.0);
    QTest::newRow("same path") << int(Sticker) << QByteArray("stickerPath")
                               << QVariant(QString());
    QTest::newRow("fuzzily same position")
        << int(Sticker) << QByteArray("position") << QVariant(QPointF(0.5 + 1e-15, 0.5));
}

void TestOverlayProperties::unchangedValuesAreIgnored()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, property);
    QFETCH(QVariant, value);

    Document document(false);
    QObject *overlay = makeOverlay(document, kind);
    const QMetaProperty meta = metaProperty(overlay, property.constData());
    QSignalSpy spy(overlay, meta.notifySignal());
    QVERIFY(meta.write(overlay, value));
    QCOMPARE(spy.size(), 0);
}

void TestOverlayProperties::mergingPerPropertyAndObject_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("firstProperty");
    QTest::addColumn<QVariant>("firstValue");
    QTest::addColumn<bool>("sameObject");
    QTest::addColumn<QByteArray>("secondProperty");
    QTest::addColumn<QVariant>("secondValue");
    QTest::addColumn<int>("steps");

    QTest::newRow("two moves of one text") << int(Text) << QByteArray("position")
                                           << QVariant(QPointF(0.1, 0.1)) << true
                                           << QByteArray("position")
                                           << QVariant(QPointF(0.2, 0.2)) << 1;
    QTest::newRow("moves of two texts") << int(Text) << QByteArray("position")
                                        << QVariant(QPointF(0.1, 0.1)) << false
                                        << QByteArray("position")
                                        << QVariant(QPointF(0.2, 0.2)) << 2;
    QTest::newRow("text then font") << int(Text) << QByteArray("text") << QVariant(QStringLiteral("a"))
                                    << true << QByteArray("font")
                                    << QVariant(QFont(QStringLiteral("Serif"), 9)) << 2;
    QTest::newRow("rotation then scale") << int(Text) << QByteArray("rotation") << QVariant(10.0)
                                         << true << QByteArray("scale") << QVariant(2.0) << 2;
    QTest::newRow("two texts of one overlay") << int(Text) << QByteArray("text")
                                              << QVariant(QStringLiteral("a")) << true
                                              << QByteArray("text")
                                              << QVariant(QStringLiteral("ab")) << 1;
    QTest::newRow("two sticker paths") << int(Sticker) << QByteArray("stickerPath")
                                       << QVariant(QStringLiteral(":/stickers/pin.svg")) << true
                                       << QByteArray("stickerPath")
                                       << QVariant(QStringLiteral(":/stickers/star.svg")) << 1;
    QTest::newRow("sticker scales of two stickers")
        << int(Sticker) << QByteArray("scale") << QVariant(2.0) << false << QByteArray("scale")
        << QVariant(3.0) << 2;
    QTest::newRow("sticker opacity then rotation")
        << int(Sticker) << QByteArray("opacity") << QVariant(0.5) << true
        << QByteArray("rotation") << QVariant(30.0) << 2;
}

void TestOverlayProperties::mergingPerPropertyAndObject()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, firstProperty);
    QFETCH(QVariant, firstValue);
    QFETCH(bool, sameObject);
    QFETCH(QByteArray, secondProperty);
    QFETCH(QVariant, secondValue);
    QFETCH(int, steps);

    Document document(true);
    QObject *a = makeOverlay(document, kind);
    QObject *b = sameObject ? a : makeOverlay(document, kind);
    const QVariant aBefore = a->property(firstProperty.constData());
    const QVariant bBefore = b->property(secondProperty.constData());
    QVERIFY(a->setProperty(firstProperty.constData(), firstValue));
    QVERIFY(b->setProperty(secondProperty.constData(), secondValue));
    QCOMPARE(document.undoStack()->count(), steps);

    // Undoing everything restores both values from before.
    while (document.undoStack()->canUndo())
        document.undoStack()->undo();
    QVERIFY(sameValue(a->property(firstProperty.constData()), aBefore));
    QVERIFY(sameValue(b->property(secondProperty.constData()), bBefore));
}

void TestOverlayProperties::cleanStateStartsNewStep()
{
    Document document(true);
    TextOverlayProperties *overlay = document.addTextOverlay();
    overlay->setScale(2);
    document.undoStack()->setClean();
    overlay->setScale(3);
    QCOMPARE(document.undoStack()->count(), 2);
    document.undoStack()->undo();
    QCOMPARE(overlay->scale(), 2.0);
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
}

void TestOverlayProperties::addStickerOnEditedDocument()
{
    Document document(true);
    StickerProperties *sticker = document.addSticker(QStringLiteral(":/stickers/heart.svg"));
    QCOMPARE(sticker->stickerPath(), QStringLiteral(":/stickers/heart.svg"));
    QCOMPARE(document.stickers().size(), 1);
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
