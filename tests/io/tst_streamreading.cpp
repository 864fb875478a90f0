#include <QtTest>

#include <QBuffer>
#include <QColor>
#include <QFont>

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
    quint8 capitalization = 0;
    QStringList families { QStringLiteral("DejaVu Sans") };
    quint32 familyCount = 1;

    QByteArray bytes() const
    {
        // Style name, style hint and strategy, bits, stretch, extended bits,
        // letter and word spacing and hinting preference keep their defaults.
        QByteArray result = encode(family, QString(), pointSize, pixelSize, quint8(QFont::AnyStyle),
            quint16(QFont::PreferDefault), weight, quint8(0), quint16(0), quint8(0), qint32(0),
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

    QFont decorated(QStringLiteral("A"));
    decorated.setFamilies({ QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Ç") });
    decorated.setStyleName(QStringLiteral("Oblique"));
    decorated.setWeight(QFont::Weight(650));
    decorated.setPixelSize(13);
    decorated.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    decorated.setCapitalization(QFont::SmallCaps);
    QTest::newRow("font: decorated") << int(Font) << encode(decorated) << true;
    const auto font = [](const char *name, bool accepted, auto change) {
        FontFields fields;
        change(fields);
        QTest::newRow(name) << int(Font) << fields.bytes() << accepted;
    };
    font("font: sound fields", true, [](FontFields &) {});
    font("font: absurd family count", false, [](FontFields &f) { f.familyCount = 0x7ffffff0; });
    font("font: family count past the end", false, [](FontFields &f) { f.familyCount = 3; });
    font("font: NaN point size", false, [](FontFields &f) { f.pointSize = qQNaN(); });
    font("font: negative pixel size", false, [](FontFields &f) {
        f.pointSize = -1;
        f.pixelSize = -20;
    });
    font("font: weight", false, [](FontFields &f) { f.weight = 5000; });

    QTest::newRow("colour: extended rgb")
        << int(Colour) << encode(QColor::fromRgbF(1.5f, -0.25f, 0.5f, 0.75f)) << true;
    // Model, alpha, four components; half floats: 0x3c00 is 1, 0x7e00 NaN.
    const auto colour = [](const char *name, qint8 model, quint16 alpha, quint16 first) {
        QTest::newRow(name) << int(Colour)
                            << encode(model, alpha, first, quint16(0), quint16(0), quint16(0))
                            << false;
    };
    colour("colour: unknown model", 6, 0xffff, 0);
    colour("colour: extended NaN red", QColor::ExtendedRgb, 0x3c00, 0x7e00);

    QTest::newRow("real: beyond the limit")
        << int(Real) << encode(MaximumMagnitude * 1.0001) << false;
    QTest::newRow("real: NaN") << int(Real) << encode(qQNaN()) << false;

    QTest::newRow("variant: address")
        << int(Variant) << encode(QVariant(QUrl(QStringLiteral("https://example.org/a?b#c"))))
        << true;
    const auto refused = [](const char *name, const QByteArray &bytes) {
        QTest::newRow(name) << int(Variant) << bytes << false;
    };
    refused("variant: list of variants", encode(QVariant(QVariantList { 1, 2 })));
    refused("variant: type by name",
        encode(quint32(QMetaType::User), qint8(0), QByteArray("PageSize")));
    refused("variant: unknown type id", encode(quint32(0x7ffff), qint8(0)));

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
