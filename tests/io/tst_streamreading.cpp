#include <QtTest>

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QImage>

#include "io/collagestreamsettings.h"
#include "io/recordheader.h"
#include "io/streamreading.h"

using namespace StreamReading;

namespace {

constexpr QDataStream::Version FileVersion = CollageStreamSettings::Version;

template<typename... Values> QByteArray encode(const Values &...values)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(FileVersion);
    (out << ... << values);
    return bytes;
}

// The raw fields of a font as the stream version writes them.
struct FontFields
{
    QString family = QStringLiteral("DejaVu Sans");
    double pointSize = 12;
    qint32 pixelSize = -1;
    quint16 weight = QFont::Normal;
    qint32 letterSpacing = 0;
    quint8 capitalization = 0;
    QStringList families { QStringLiteral("DejaVu Sans") };
    quint32 familyCount = 1;

    QByteArray bytes() const
    {
        // Style name, style hint and strategy, bits, stretch, extended bits,
        // word spacing and hinting preference keep their defaults.
        QByteArray result = encode(family, QString(), pointSize, pixelSize, quint8(QFont::AnyStyle),
            quint16(QFont::PreferDefault), weight, quint8(0), quint16(0), quint8(0), letterSpacing,
            qint32(0), quint8(0), capitalization, familyCount);
        for (const QString &name : families)
            result += encode(name);
        return result;
    }
};

enum Kind { Font, Colour, Real, Variant, IntList, VariantHash };

// Reads `bytes` with the checking reader. An accepted value equals what the
// library reads and takes exactly its bytes; a refused one leaves the
// target as it was and the stream failed.
template<typename T>
void checkRead(const QByteArray &bytes, bool accepted, bool (*reader)(QDataStream &, T *),
    const T &untouched = T())
{
    QDataStream stream(bytes + encode(qint32(0x5a5a5a5a)));
    stream.setVersion(FileVersion);
    T read = untouched;
    QCOMPARE(reader(stream, &read), accepted);
    if (!accepted) {
        QCOMPARE(encode(read), encode(untouched));
        QVERIFY(stream.status() != QDataStream::Ok);
        return;
    }
    // Only sound data goes to the library: it trusts every count.
    QDataStream library(bytes);
    library.setVersion(FileVersion);
    T expected;
    library >> expected;
    QCOMPARE(encode(read), encode(expected));
    qint32 marker = 0;
    stream >> marker;
    QCOMPARE(marker, qint32(0x5a5a5a5a));
}

} // namespace

Q_DECLARE_METATYPE(FontFields)

class TestStreamReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void values_data();
    void values();
    void counts_data();
    void counts();
    void recordHeaders_data();
    void recordHeaders();
    void streamSettingsAreRestored();
};

void TestStreamReading::values_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("font: default") << int(Font) << encode(QFont()) << true;
    QFont decorated(QStringLiteral("DejaVu Serif"));
    decorated.setPixelSize(13);
    decorated.setItalic(true);
    decorated.setStrikeOut(true);
    decorated.setKerning(false);
    decorated.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    decorated.setWordSpacing(-1.25);
    decorated.setStretch(QFont::Condensed);
    decorated.setCapitalization(QFont::SmallCaps);
    QTest::newRow("font: decorated, pixel size") << int(Font) << encode(decorated) << true;
    QFont families(QStringLiteral("A"));
    families.setFamilies({ QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Ç") });
    families.setStyleName(QStringLiteral("Oblique"));
    families.setWeight(QFont::Weight(650));
    families.setPointSizeF(10.75);
    families.setStyleStrategy(QFont::StyleStrategy(QFont::PreferBitmap | QFont::NoAntialias));
    QTest::newRow("font: families, style name, odd weight")
        << int(Font) << encode(families) << true;
    const auto font = [](const char *name, bool accepted, auto change) {
        FontFields fields;
        change(fields);
        QTest::newRow(name) << int(Font) << fields.bytes() << accepted;
    };
    font("font: sound fields", true, [](FontFields &) {});
    font("font: absurd family count", false, [](FontFields &f) { f.familyCount = 0x7ffffff0; });
    font("font: family count past the end", false, [](FontFields &f) { f.familyCount = 3; });
    font("font: no families", false, [](FontFields &f) {
        f.families.clear();
        f.familyCount = 0;
    });
    font("font: NaN point size", false, [](FontFields &f) { f.pointSize = qQNaN(); });
    font("font: pixel size", true, [](FontFields &f) {
        f.pointSize = -1;
        f.pixelSize = 20;
    });
    font("font: negative pixel size", false, [](FontFields &f) {
        f.pointSize = -1;
        f.pixelSize = -20;
    });
    font("font: weight", false, [](FontFields &f) { f.weight = 5000; });
    font("font: letter spacing", false, [](FontFields &f) { f.letterSpacing = 64 * 5000; });
    font("font: capitalization", false, [](FontFields &f) { f.capitalization = 5; });

    QTest::newRow("colour: invalid") << int(Colour) << encode(QColor()) << true;
    QTest::newRow("colour: achromatic hsv")
        << int(Colour) << encode(QColor::fromHsv(-1, 0, 50)) << true;
    QTest::newRow("colour: cmyk") << int(Colour) << encode(QColor::fromCmyk(1, 2, 3, 4, 5)) << true;
    QTest::newRow("colour: extended rgb")
        << int(Colour) << encode(QColor::fromRgbF(1.5f, -0.25f, 0.5f, 0.75f)) << true;
    // Model, alpha, four components; half floats: 0x3c00 is 1, 0x7c00
    // infinity, 0x7e00 NaN.
    const auto colour
        = [](const char *name, bool accepted, qint8 model, quint16 alpha, quint16 first) {
              QTest::newRow(name) << int(Colour)
                                  << encode(model, alpha, first, quint16(0), quint16(0), quint16(0))
                                  << accepted;
          };
    colour("colour: achromatic hsl", true, QColor::Hsl, 0xffff, 0xffff);
    colour("colour: unknown model", false, 6, 0xffff, 0);
    colour("colour: hsv hue past a turn", false, QColor::Hsv, 0xffff, 36000);
    colour("colour: extended NaN red", false, QColor::ExtendedRgb, 0x3c00, 0x7e00);

    QTest::newRow("real: negative zero") << int(Real) << encode(-0.0) << true;
    QTest::newRow("real: beyond the limit")
        << int(Real) << encode(MaximumMagnitude * 1.0001) << false;
    QTest::newRow("real: NaN") << int(Real) << encode(qQNaN()) << false;
    QTest::newRow("real: infinity") << int(Real) << encode(qInf()) << false;

    const auto variant = [](const char *name, const QVariant &value) {
        QTest::newRow(name) << int(Variant) << encode(value) << true;
    };
    variant("variant: invalid", QVariant());
    variant("variant: unsigned long long", QVariant(quint64(1) << 60));
    variant("variant: address", QVariant(QUrl(QStringLiteral("https://example.org/a?b#c"))));
    variant("variant: colour", QVariant(QColor(1, 2, 3)));
    variant("variant: string list", QVariant(QStringList { "a", "", "c" }));
    const auto refused = [](const char *name, const QByteArray &bytes) {
        QTest::newRow(name) << int(Variant) << bytes << false;
    };
    refused("variant: list of variants", encode(QVariant(QVariantList { 1, 2 })));
    refused("variant: image", encode(QVariant(QImage(2, 2, QImage::Format_ARGB32))));
    refused("variant: type by name",
        encode(quint32(QMetaType::User), qint8(0), QByteArray("PageSize")));
    refused("variant: unknown type id", encode(quint32(0x7ffff), qint8(0)));
    refused("variant: odd null flag", encode(quint32(QMetaType::Int), qint8(2), qint32(1)));
    refused("variant: colour with unknown model",
        encode(quint32(QMetaType::QColor), qint8(0), qint8(9), quint16(0), quint16(0), quint16(0),
            quint16(0), quint16(0)));

    const QHash<QByteArray, QVariant> hash { { "windowGeometry", QByteArray("geometry") },
        { "tags", QStringList { "x" } } };
    QTest::newRow("hash: sound") << int(VariantHash) << encode(hash) << true;
    QHash<QByteArray, QVariant> spoiled = hash;
    spoiled.insert("list", QVariantList { 1 });
    QTest::newRow("hash: one refused entry") << int(VariantHash) << encode(spoiled) << false;

    // The library's own readers would reserve room for four billion
    // elements here before reading the first.
    const QByteArray absurd = encode(quint32(0xfffffff0)) + QByteArray(64, '\0');
    QTest::newRow("numbers: absurd count") << int(IntList) << absurd << false;
    QTest::newRow("hash: absurd count") << int(VariantHash) << absurd << false;
}

void TestStreamReading::values()
{
    QFETCH(int, kind);
    QFETCH(QByteArray, bytes);
    QFETCH(bool, accepted);
    switch (Kind(kind)) {
    case Font:
        return checkRead<QFont>(bytes, accepted, readFont, QFont(QStringLiteral("Untouched")));
    case Colour:
        return checkRead<QColor>(bytes, accepted, readColor, QColor(Qt::magenta));
    case Real:
        return checkRead<double>(bytes, accepted, readReal, 7.0);
    case Variant:
        return checkRead<QVariant>(bytes, accepted, readVariant, QStringLiteral("untouched"));
    case IntList:
        return checkRead<QList<qint32>>(bytes, accepted, readIntList);
    case VariantHash:
        return checkRead<QHash<QByteArray, QVariant>>(bytes, accepted, readVariantHash);
    }
}

void TestStreamReading::counts_data()
{
    QTest::addColumn<qint32>("count");
    QTest::addColumn<int>("bytesEach");
    QTest::addColumn<bool>("accepted");

    // 40 bytes follow the count.
    QTest::newRow("exactly the bytes there") << 5 << 8 << true;
    QTest::newRow("one more than there") << 6 << 8 << false;
    QTest::newRow("negative") << -1 << 8 << false;
    QTest::newRow("most negative") << qint32(0x80000000) << 8 << false;
    QTest::newRow("largest") << 0x7fffffff << 1 << false;
}

void TestStreamReading::counts()
{
    QFETCH(qint32, count);
    QFETCH(int, bytesEach);
    QFETCH(bool, accepted);
    const QByteArray bytes = encode(count) + QByteArray(40, '\0');
    QDataStream stream(bytes);
    stream.setVersion(FileVersion);
    qint32 read = -99;
    QCOMPARE(readCount(stream, &read, bytesEach), accepted);
    QCOMPARE(read, accepted ? count : -99);
    QCOMPARE(stream.status(), accepted ? QDataStream::Ok : QDataStream::ReadCorruptData);
}

void TestStreamReading::recordHeaders_data()
{
    QTest::addColumn<quint16>("magic");
    QTest::addColumn<quint16>("version");
    QTest::addColumn<int>("expected"); // -1: refused

    QTest::newRow("current") << quint16(0xD300) << quint16(3) << 3;
    QTest::newRow("oldest") << quint16(0xD300) << quint16(0) << 0;
    QTest::newRow("newer") << quint16(0xD300) << quint16(4) << -1;
    QTest::newRow("other record") << quint16(0xD301) << quint16(1) << -1;
}

void TestStreamReading::recordHeaders()
{
    QFETCH(quint16, magic);
    QFETCH(quint16, version);
    QFETCH(int, expected);
    QDataStream stream(encode(magic, version));
    const std::optional<quint16> read = readRecordHeader(stream, RecordTypes::Background);
    QCOMPARE(read.has_value(), expected >= 0);
    if (read)
        QCOMPARE(int(*read), expected);
    else
        QCOMPARE(stream.status(), QDataStream::ReadCorruptData);

    // After an error nothing more is read.
    QBuffer buffer;
    buffer.setData(encode(magic, version));
    buffer.open(QIODevice::ReadOnly);
    QDataStream failed(&buffer);
    failed.setStatus(QDataStream::ReadPastEnd);
    QVERIFY(!readRecordHeader(failed, RecordTypes::Background));
    QCOMPARE(buffer.pos(), qint64(0));
    QCOMPARE(failed.status(), QDataStream::ReadPastEnd);
}

void TestStreamReading::streamSettingsAreRestored()
{
    QByteArray bytes;
    QDataStream stream(&bytes, QIODevice::WriteOnly);
    stream.setVersion(QDataStream::Qt_5_15);
    stream.setByteOrder(QDataStream::LittleEndian);
    stream.setFloatingPointPrecision(QDataStream::SinglePrecision);
    {
        CollageStreamSettings settings(stream);
        writeRecordHeader(stream, RecordTypes::Background);
        stream << 1.0;
    }
    // Magic first, big-endian, and a double of eight bytes.
    QCOMPARE(bytes.toHex(), QByteArray("d30000033ff0000000000000"));
    QCOMPARE(stream.version(), int(QDataStream::Qt_5_15));
    QCOMPARE(stream.byteOrder(), QDataStream::LittleEndian);
    QCOMPARE(stream.floatingPointPrecision(), QDataStream::SinglePrecision);
}

QTEST_MAIN(TestStreamReading)
#include "tst_streamreading.moc"
