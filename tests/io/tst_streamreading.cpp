#include <QtTest>

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QImage>

#include "io/collagestreamsettings.h"
#include "io/recordheader.h"
#include "io/streamreading.h"
#include "model/pagesize.h"

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
    QString styleName;
    double pointSize = 12;
    qint32 pixelSize = -1;
    quint8 styleHint = QFont::AnyStyle;
    quint16 styleStrategy = QFont::PreferDefault;
    quint16 weight = QFont::Normal;
    quint8 bits = 0;
    quint16 stretch = 0;
    quint8 extendedBits = 0;
    qint32 letterSpacing = 0;
    qint32 wordSpacing = 0;
    quint8 hintingPreference = 0;
    quint8 capitalization = 0;
    QStringList families { QStringLiteral("DejaVu Sans") };
    quint32 familyCount = 1;

    QByteArray bytes() const
    {
        QByteArray result = encode(family, styleName, pointSize, pixelSize, styleHint,
            styleStrategy, weight, bits, stretch, extendedBits, letterSpacing, wordSpacing,
            hintingPreference, capitalization, familyCount);
        for (const QString &name : families)
            result += encode(name);
        return result;
    }
};

// A device that cannot tell its length, like a pipe.
class PipeDevice : public QIODevice
{
public:
    explicit PipeDevice(const QByteArray &data)
        : m_data(data)
    {
    }
    bool isSequential() const override { return true; }
    qint64 bytesAvailable() const override
    {
        return m_data.size() - m_offset + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char *data, qint64 maxSize) override
    {
        const qint64 size = qMin(maxSize, qint64(m_data.size()) - m_offset);
        memcpy(data, m_data.constData() + m_offset, size_t(size));
        m_offset += size;
        return size;
    }
    qint64 writeData(const char *, qint64) override { return -1; }

private:
    QByteArray m_data;
    qint64 m_offset = 0;
};

} // namespace

Q_DECLARE_METATYPE(FontFields)

class TestStreamReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fontsReadAsTheLibraryReadsThem_data();
    void fontsReadAsTheLibraryReadsThem();
    void damagedFontsAreRefused_data();
    void damagedFontsAreRefused();
    void fontOfAnotherStreamVersionIsRefused();
    void colours_data();
    void colours();
    void damagedColoursAreRefused_data();
    void damagedColoursAreRefused();
    void reals_data();
    void reals();
    void counts_data();
    void counts();
    void listCountsBeyondTheData_data();
    void listCountsBeyondTheData();
    void devicesOfUnknownLength();
    void variants_data();
    void variants();
    void refusedVariants_data();
    void refusedVariants();
    void variantHash();
    void recordHeaders_data();
    void recordHeaders();
    void headerAfterAnErrorReadsNothing();
    void streamSettingsAreRestored();
};

void TestStreamReading::fontsReadAsTheLibraryReadsThem_data()
{
    QTest::addColumn<QFont>("font");

    QTest::newRow("default") << QFont();
    QTest::newRow("point size") << QFont(QStringLiteral("Helvetica"), 24);
    QFont decorated(QStringLiteral("DejaVu Serif"));
    decorated.setPixelSize(13);
    decorated.setItalic(true);
    decorated.setUnderline(true);
    decorated.setOverline(true);
    decorated.setStrikeOut(true);
    decorated.setFixedPitch(true);
    decorated.setKerning(false);
    QTest::newRow("decorated, pixel size") << decorated;
    QFont spaced(QStringLiteral("DejaVu Sans"), 18);
    spaced.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
    spaced.setWordSpacing(-1.25);
    spaced.setStretch(QFont::Condensed);
    spaced.setCapitalization(QFont::SmallCaps);
    spaced.setHintingPreference(QFont::PreferNoHinting);
    QTest::newRow("spacing and stretch") << spaced;
    QFont percent(QStringLiteral("DejaVu Sans"), 9);
    percent.setLetterSpacing(QFont::PercentageSpacing, 120);
    percent.setStyleStrategy(QFont::StyleStrategy(QFont::PreferBitmap | QFont::NoAntialias));
    percent.setStyleHint(QFont::Monospace);
    QTest::newRow("percentage spacing, strategy") << percent;
    QFont families(QStringLiteral("A"));
    families.setFamilies({ QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Ç") });
    families.setStyleName(QStringLiteral("Oblique"));
    families.setWeight(QFont::Weight(650));
    families.setPointSizeF(10.75);
    QTest::newRow("families, style name, odd weight") << families;
}

void TestStreamReading::fontsReadAsTheLibraryReadsThem()
{
    QFETCH(QFont, font);
    const QByteArray bytes = encode(font, qint32(0x5a5a5a5a));

    QDataStream library(bytes);
    library.setVersion(FileVersion);
    QFont expected;
    library >> expected;

    QDataStream stream(bytes);
    stream.setVersion(FileVersion);
    QFont read;
    QVERIFY(readFont(stream, &read));
    QCOMPARE(read, expected);
    QCOMPARE(encode(read), encode(expected));
    // Exactly the font's bytes were consumed.
    qint32 marker = 0;
    stream >> marker;
    QCOMPARE(marker, qint32(0x5a5a5a5a));
    QVERIFY(stream.atEnd());
}

void TestStreamReading::damagedFontsAreRefused_data()
{
    QTest::addColumn<FontFields>("fields");
    QTest::addColumn<bool>("accepted");

    const FontFields sound;
    QTest::newRow("sound") << sound << true;
    FontFields f = sound;
    f.familyCount = 0x7ffffff0;
    QTest::newRow("absurd family count") << f << false;
    f = sound;
    f.familyCount = 3; // only one follows
    QTest::newRow("family count past the end") << f << false;
    f = sound;
    f.families.clear();
    f.familyCount = 0;
    QTest::newRow("no families") << f << false;
    f = sound;
    f.pointSize = qQNaN();
    QTest::newRow("NaN point size") << f << false;
    f = sound;
    f.pointSize = 0;
    QTest::newRow("zero point size") << f << false;
    f = sound;
    f.pointSize = 1e12;
    QTest::newRow("huge point size") << f << false;
    f = sound;
    f.pointSize = -1;
    f.pixelSize = 20;
    QTest::newRow("pixel size") << f << true;
    f.pixelSize = -20;
    QTest::newRow("negative pixel size") << f << false;
    f = sound;
    f.weight = 5000;
    QTest::newRow("weight") << f << false;
    f = sound;
    f.styleHint = 99;
    QTest::newRow("style hint") << f << false;
    f = sound;
    f.stretch = 4001;
    QTest::newRow("stretch") << f << false;
    f = sound;
    f.letterSpacing = 64 * 5000;
    QTest::newRow("letter spacing") << f << false;
    f = sound;
    f.wordSpacing = -64 * 5000;
    QTest::newRow("word spacing") << f << false;
    f = sound;
    f.hintingPreference = 4;
    QTest::newRow("hinting") << f << false;
    f = sound;
    f.capitalization = 5;
    QTest::newRow("capitalization") << f << false;
}

void TestStreamReading::damagedFontsAreRefused()
{
    QFETCH(FontFields, fields);
    QFETCH(bool, accepted);
    const QByteArray bytes = fields.bytes();
    QDataStream stream(bytes);
    stream.setVersion(FileVersion);
    QFont font(QStringLiteral("Untouched"));
    QCOMPARE(readFont(stream, &font), accepted);
    if (accepted) {
        QCOMPARE(font.family(), fields.family);
        QCOMPARE(stream.status(), QDataStream::Ok);
    } else {
        QCOMPARE(font.family(), QStringLiteral("Untouched"));
        QVERIFY(stream.status() != QDataStream::Ok);
    }
}

void TestStreamReading::fontOfAnotherStreamVersionIsRefused()
{
    const QByteArray bytes = FontFields().bytes();
    QDataStream stream(bytes);
    stream.setVersion(QDataStream::Qt_5_15);
    QFont font;
    QVERIFY(!readFont(stream, &font));
    QCOMPARE(stream.status(), QDataStream::ReadCorruptData);
}

void TestStreamReading::colours_data()
{
    QTest::addColumn<QColor>("color");
    QTest::newRow("invalid") << QColor();
    QTest::newRow("rgb") << QColor(10, 20, 30, 40);
    QTest::newRow("hsv") << QColor::fromHsv(359, 10, 200, 128);
    QTest::newRow("achromatic hsv") << QColor::fromHsv(-1, 0, 50);
    QTest::newRow("cmyk") << QColor::fromCmyk(1, 2, 3, 4, 5);
    QTest::newRow("hsl") << QColor::fromHsl(200, 100, 50);
    QTest::newRow("extended rgb") << QColor::fromRgbF(1.5f, -0.25f, 0.5f, 0.75f);
}

void TestStreamReading::colours()
{
    QFETCH(QColor, color);
    QDataStream stream(encode(color));
    stream.setVersion(FileVersion);
    QColor read(Qt::magenta);
    QVERIFY(readColor(stream, &read));
    QCOMPARE(read, color);
    QCOMPARE(read.spec(), color.spec());
    QVERIFY(stream.atEnd());
}

void TestStreamReading::damagedColoursAreRefused_data()
{
    QTest::addColumn<qint8>("model");
    QTest::addColumn<quint16>("alpha");
    QTest::addColumn<quint16>("first");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("rgb") << qint8(QColor::Rgb) << quint16(0xffff) << quint16(0x1234) << true;
    QTest::newRow("unknown model") << qint8(6) << quint16(0xffff) << quint16(0) << false;
    QTest::newRow("large model") << qint8(127) << quint16(0xffff) << quint16(0) << false;
    QTest::newRow("negative model") << qint8(-1) << quint16(0xffff) << quint16(0) << false;
    QTest::newRow("hsv hue past a turn")
        << qint8(QColor::Hsv) << quint16(0xffff) << quint16(36000) << false;
    QTest::newRow("hsl hue past a turn")
        << qint8(QColor::Hsl) << quint16(0xffff) << quint16(50000) << false;
    QTest::newRow("achromatic hsl")
        << qint8(QColor::Hsl) << quint16(0xffff) << quint16(0xffff) << true;
    // Half floats: 0x3c00 is 1, 0x7c00 infinity, 0x7e00 NaN.
    QTest::newRow("extended") << qint8(QColor::ExtendedRgb) << quint16(0x3c00) << quint16(0x3c00)
                              << true;
    QTest::newRow("extended infinite alpha")
        << qint8(QColor::ExtendedRgb) << quint16(0x7c00) << quint16(0x3c00) << false;
    QTest::newRow("extended NaN red")
        << qint8(QColor::ExtendedRgb) << quint16(0x3c00) << quint16(0x7e00) << false;
}

void TestStreamReading::damagedColoursAreRefused()
{
    QFETCH(qint8, model);
    QFETCH(quint16, alpha);
    QFETCH(quint16, first);
    QFETCH(bool, accepted);
    QDataStream stream(encode(model, alpha, first, quint16(0), quint16(0), quint16(0)));
    stream.setVersion(FileVersion);
    QColor color(Qt::magenta);
    QCOMPARE(readColor(stream, &color), accepted);
    if (!accepted) {
        QCOMPARE(color, QColor(Qt::magenta));
        QCOMPARE(stream.status(), QDataStream::ReadCorruptData);
    } else {
        QCOMPARE(int(color.spec()), int(model));
    }
}

void TestStreamReading::reals_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("zero") << 0.0 << true;
    QTest::newRow("negative zero") << -0.0 << true;
    QTest::newRow("limit") << MaximumMagnitude << true;
    QTest::newRow("negative limit") << -MaximumMagnitude << true;
    QTest::newRow("beyond the limit") << MaximumMagnitude * 1.0001 << false;
    QTest::newRow("NaN") << qQNaN() << false;
    QTest::newRow("infinity") << qInf() << false;
    QTest::newRow("negative infinity") << -qInf() << false;
}

void TestStreamReading::reals()
{
    QFETCH(double, value);
    QFETCH(bool, accepted);
    QDataStream stream(encode(value));
    stream.setVersion(FileVersion);
    double read = 7;
    QCOMPARE(readReal(stream, &read), accepted);
    QCOMPARE(read, accepted ? value : 7.0);
}

void TestStreamReading::counts_data()
{
    QTest::addColumn<qint32>("count");
    QTest::addColumn<int>("bytesAfter");
    QTest::addColumn<int>("bytesEach");
    QTest::addColumn<bool>("accepted");

    QTest::newRow("none") << 0 << 0 << 8 << true;
    QTest::newRow("exactly the bytes there") << 5 << 40 << 8 << true;
    QTest::newRow("one more than there") << 6 << 40 << 8 << false;
    QTest::newRow("negative") << -1 << 40 << 8 << false;
    QTest::newRow("most negative") << qint32(0x80000000) << 40 << 8 << false;
    QTest::newRow("largest") << 0x7fffffff << 40 << 1 << false;
}

void TestStreamReading::counts()
{
    QFETCH(qint32, count);
    QFETCH(int, bytesAfter);
    QFETCH(int, bytesEach);
    QFETCH(bool, accepted);
    const QByteArray bytes = encode(count) + QByteArray(bytesAfter, '\0');
    QDataStream stream(bytes);
    stream.setVersion(FileVersion);
    qint32 read = -99;
    QCOMPARE(readCount(stream, &read, bytesEach), accepted);
    QCOMPARE(read, accepted ? count : -99);
    QCOMPARE(stream.status(), accepted ? QDataStream::Ok : QDataStream::ReadCorruptData);
}

void TestStreamReading::listCountsBeyondTheData_data()
{
    QTest::addColumn<int>("kind");
    QTest::newRow("addresses") << 0;
    QTest::newRow("numbers") << 1;
    QTest::newRow("strings") << 2;
    QTest::newRow("properties") << 3;
}

void TestStreamReading::listCountsBeyondTheData()
{
    QFETCH(int, kind);
    // The library's own readers would reserve room for four billion
    // elements here before reading the first.
    const QByteArray bytes = encode(quint32(0xfffffff0)) + QByteArray(64, '\0');
    QDataStream stream(bytes);
    stream.setVersion(FileVersion);
    bool read = true;
    switch (kind) {
    case 0: {
        QList<QUrl> list;
        read = readUrlList(stream, &list);
        break;
    }
    case 1: {
        QList<qint32> list;
        read = readIntList(stream, &list);
        break;
    }
    case 2: {
        QStringList list;
        read = readStringList(stream, &list);
        break;
    }
    default: {
        QHash<QByteArray, QVariant> hash;
        read = readVariantHash(stream, &hash);
        break;
    }
    }
    QVERIFY(!read);
    QCOMPARE(stream.status(), QDataStream::ReadCorruptData);
}

void TestStreamReading::devicesOfUnknownLength()
{
    QByteArray bytes = encode(QList<qint32> { 4, 5, 6 }, quint32(0x01000001));
    PipeDevice pipe(bytes);
    pipe.open(QIODevice::ReadOnly);
    QDataStream stream(&pipe);
    stream.setVersion(FileVersion);
    QCOMPARE(remainingBytes(stream), qint64(-1));
    QList<qint32> list;
    QVERIFY(readIntList(stream, &list));
    QCOMPARE(list, (QList<qint32> { 4, 5, 6 }));
    // Past the sanity limit for devices that cannot tell their length.
    QVERIFY(!canHold(stream, 0x01000001, 1));
    QVERIFY(canHold(stream, 0x01000000, 1));

    QBuffer plain(&bytes);
    plain.open(QIODevice::ReadOnly);
    QDataStream known(&plain);
    QCOMPARE(remainingBytes(known), qint64(bytes.size()));
}

void TestStreamReading::variants_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::newRow("invalid") << QVariant();
    QTest::newRow("bool") << QVariant(true);
    QTest::newRow("int") << QVariant(-42);
    QTest::newRow("unsigned long long") << QVariant(quint64(1) << 60);
    QTest::newRow("double") << QVariant(2.5);
    QTest::newRow("string") << QVariant(QStringLiteral("text"));
    QTest::newRow("null byte array") << QVariant(QByteArray());
    QTest::newRow("byte array") << QVariant(QByteArray("\x01\x02geometry", 10));
    QTest::newRow("address") << QVariant(QUrl(QStringLiteral("https://example.org/a?b#c")));
    QTest::newRow("point") << QVariant(QPointF(1.5, -2));
    QTest::newRow("rectangle") << QVariant(QRect(1, 2, 3, 4));
    QTest::newRow("size") << QVariant(QSizeF(3, 4));
    QTest::newRow("colour") << QVariant(QColor(1, 2, 3));
    QTest::newRow("string list") << QVariant(QStringList { "a", "", "c" });
}

void TestStreamReading::variants()
{
    QFETCH(QVariant, value);
    QVERIFY(!value.isValid() || isStorableVariant(value));
    QDataStream stream(encode(value));
    stream.setVersion(FileVersion);
    QVariant read(QStringLiteral("untouched"));
    QVERIFY(readVariant(stream, &read));
    QCOMPARE(read, value);
    QCOMPARE(read.metaType(), value.metaType());
    QVERIFY(stream.atEnd());
}

void TestStreamReading::refusedVariants_data()
{
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("list of variants") << encode(QVariant(QVariantList { 1, 2 }));
    QTest::newRow("map") << encode(QVariant(QVariantMap { { "a", 1 } }));
    QTest::newRow("hash") << encode(QVariant(QVariantHash { { "a", 1 } }));
    QTest::newRow("image") << encode(QVariant(QImage(2, 2, QImage::Format_ARGB32)));
    QTest::newRow("font") << encode(QVariant(QFont()));
    QTest::newRow("type by name") << encode(
        quint32(QMetaType::User), qint8(0), QByteArray("PageSize"));
    QTest::newRow("unknown type id") << encode(quint32(0x7ffff), qint8(0));
    QTest::newRow("odd null flag") << encode(quint32(QMetaType::Int), qint8(2), qint32(1));
    QTest::newRow("colour with unknown model") << encode(quint32(QMetaType::QColor), qint8(0),
        qint8(9), quint16(0), quint16(0), quint16(0), quint16(0), quint16(0));
}

void TestStreamReading::refusedVariants()
{
    QFETCH(QByteArray, bytes);
    QDataStream stream(bytes);
    stream.setVersion(FileVersion);
    QVariant read(QStringLiteral("untouched"));
    QVERIFY(!readVariant(stream, &read));
    QCOMPARE(read, QVariant(QStringLiteral("untouched")));
    QVERIFY(stream.status() != QDataStream::Ok);
}

void TestStreamReading::variantHash()
{
    const QHash<QByteArray, QVariant> hash {
        { "windowGeometry", QByteArray("geometry") },
        { "note", QStringLiteral("n") },
        { "tags", QStringList { "x" } },
    };
    QDataStream stream(encode(hash));
    stream.setVersion(FileVersion);
    QHash<QByteArray, QVariant> read;
    QVERIFY(readVariantHash(stream, &read));
    QCOMPARE(read, hash);

    // One entry of a refused type spoils the hash.
    QHash<QByteArray, QVariant> spoiled = hash;
    spoiled.insert("list", QVariantList { 1 });
    QDataStream spoiledStream(encode(spoiled));
    spoiledStream.setVersion(FileVersion);
    read.clear();
    QVERIFY(!readVariantHash(spoiledStream, &read));
    QVERIFY(read.isEmpty());
}

void TestStreamReading::recordHeaders_data()
{
    QTest::addColumn<quint16>("magic");
    QTest::addColumn<quint16>("version");
    QTest::addColumn<int>("expected"); // -1: refused

    QTest::newRow("current") << quint16(0xD300) << quint16(3) << 3;
    QTest::newRow("oldest") << quint16(0xD300) << quint16(0) << 0;
    QTest::newRow("newer") << quint16(0xD300) << quint16(4) << -1;
    QTest::newRow("negative version") << quint16(0xD300) << quint16(0xffff) << -1;
    QTest::newRow("other record") << quint16(0xD301) << quint16(1) << -1;
    QTest::newRow("byte-swapped magic") << quint16(0x00D3) << quint16(3) << -1;
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

    // The bytes of the header as written: magic first, big-endian.
    QByteArray written;
    QDataStream out(&written, QIODevice::WriteOnly);
    writeRecordHeader(out, RecordTypes::Background);
    QCOMPARE(written.toHex(), QByteArray("d3000003"));
}

void TestStreamReading::headerAfterAnErrorReadsNothing()
{
    const QByteArray bytes = encode(quint16(0xD300), quint16(3));
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    QDataStream stream(&buffer);
    stream.setStatus(QDataStream::ReadPastEnd);
    QVERIFY(!readRecordHeader(stream, RecordTypes::Background));
    QCOMPARE(buffer.pos(), qint64(0));
    QCOMPARE(stream.status(), QDataStream::ReadPastEnd);
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
        QCOMPARE(stream.version(), int(QDataStream::Qt_6_4));
        QCOMPARE(stream.byteOrder(), QDataStream::BigEndian);
        QCOMPARE(stream.floatingPointPrecision(), QDataStream::DoublePrecision);
        stream << 1.0;
    }
    QCOMPARE(bytes.size(), 8);
    QCOMPARE(stream.version(), int(QDataStream::Qt_5_15));
    QCOMPARE(stream.byteOrder(), QDataStream::LittleEndian);
    QCOMPARE(stream.floatingPointPrecision(), QDataStream::SinglePrecision);
}

QTEST_MAIN(TestStreamReading)
#include "tst_streamreading.moc"
