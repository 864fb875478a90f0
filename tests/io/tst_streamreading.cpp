#include <QtTest>

#include <QBuffer>
#include <QColor>
#include <QFont>
#include <QtEndian>

#include "io/collagefilebuilder.h"
#include "io/collagestreamsettings.h"
#include "io/recordheader.h"
#include "io/streamreading.h"
#include "model/opentypesettings.h"

using namespace StreamReading;
using CollageFileBuilder::tag;

namespace {

constexpr QDataStream::Version FileVersion = CollageStreamSettings::Version;

template<typename... Values>
QByteArray encodeIn(QDataStream::Version version, const Values &...values)
{
    QByteArray bytes;
    QDataStream out(&bytes, QIODevice::WriteOnly);
    out.setVersion(version);
    (out << ... << values);
    return bytes;
}

template<typename... Values> QByteArray encode(const Values &...values)
{
    return encodeIn(FileVersion, values...);
}

// The OpenType containers that follow a font's fields, as written: in
// any order, the feature count free to disagree with the entries.
struct FontTail
{
    QList<std::pair<quint32, quint32>> features;
    QList<std::pair<quint32, double>> axes;
    qint64 featureCount = -1; // -1: the number of features

    QByteArray bytes() const
    {
        QByteArray result = encode(quint32(featureCount < 0 ? features.size() : featureCount));
        for (const auto &[tag, value] : features)
            result += encode(tag, value);
        result += encode(quint32(axes.size()));
        for (const auto &[tag, value] : axes)
            result += encode(tag, value);
        return result;
    }

    OpenTypeSettings settings() const
    {
        OpenTypeSettings result;
        for (const auto &[tag, value] : features)
            result.features.insert(tag, value);
        for (const auto &[tag, value] : axes)
            result.axes.insert(tag, float(value));
        return result;
    }
};

// The raw fields of a font as the stream version writes them.
struct FontFields
{
    double pointSize = 12;
    qint32 pixelSize = -1;
    quint32 familyCount = 1;

    QByteArray bytes() const
    {
        // The family, style name, style hint and strategy, weight, bits,
        // stretch, extended bits, spacings, hinting preference and
        // capitalization keep their defaults; one family follows the count.
        const QString family = QStringLiteral("DejaVu Sans");
        return encode(family, QString(), pointSize, pixelSize, quint8(QFont::AnyStyle),
            quint16(QFont::PreferDefault), quint16(QFont::Normal), quint8(0), quint16(0), quint8(0),
            qint32(0), qint32(0), quint8(0), quint8(0), familyCount, family);
    }
};

enum Kind { Colour, Real, Variant, IntList, VariantHash };

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

Q_DECLARE_METATYPE(OpenTypeSettings)

class TestStreamReading : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void fonts_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // the font and the record's colour
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QFont>("font");
        QTest::addColumn<OpenTypeSettings>("settings");

        const QByteArray colour = encode(QColor(10, 20, 30));
        QFont decorated(QStringLiteral("A"));
        decorated.setFamilies({ QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("Ç") });
        decorated.setStyleName(QStringLiteral("Oblique"));
        decorated.setWeight(QFont::Weight(650));
        decorated.setPixelSize(13);
        decorated.setLetterSpacing(QFont::AbsoluteSpacing, 2.5);
        decorated.setCapitalization(QFont::SmallCaps);
        FontTail tail;
        tail.features = { { tag("liga"), 0 }, { tag("cv01"), 3 }, { tag("kern"), 1 } };
        tail.axes = { { tag("wght"), 650 }, { tag("opsz"), 12.5 } };

        const auto row = [&](const char *name, const QByteArray &bytes, bool accepted,
                             const FontTail &expected = FontTail()) {
            QTest::newRow(name) << bytes + colour << accepted << decorated << expected.settings();
        };
        // The fields of the font as Qt 6.4 writes them.
        const QByteArray fields = encodeIn(QDataStream::Qt_6_4, decorated);
        row("full layout, features and axes in any order", fields + tail.bytes(), true, tail);
        row("layout of earlier builds", fields, true);
        const auto spoiled = [&](const char *name, auto change) {
            FontTail damaged = tail;
            change(damaged);
            row(name, fields + damaged.bytes(), false);
        };
        spoiled("feature tag with a control character",
            [](FontTail &t) { t.features[1].first = 0x63760a31; });
        spoiled("feature twice", [](FontTail &t) { t.features.append({ tag("liga"), 1 }); });
        spoiled("NaN axis position", [](FontTail &t) { t.axes[1].second = qQNaN(); });
        spoiled("feature count past the end", [](FontTail &t) { t.featureCount = 4; });
        // An invalid colour after the fields alone reads as a feature count
        // of 0x00ffff00; earlier builds never wrote one, and it is no count.
        QTest::newRow("earlier layout, then an invalid colour")
            << fields + encode(QColor()) << false << decorated << OpenTypeSettings();
        // Neither a colour model nor the top byte of a count.
        row("neither layout", fields + QByteArray(1, '\x06'), false);

        const auto field = [&](const char *name, bool accepted, auto change) {
            FontFields f;
            change(f);
            QFont expected;
            if (accepted) {
                QDataStream library(f.bytes());
                library.setVersion(QDataStream::Qt_6_4);
                library >> expected;
            }
            QTest::newRow(name) << f.bytes() + FontTail().bytes() + colour << accepted << expected
                                << OpenTypeSettings();
        };
        field("sound fields", true, [](FontFields &) {});
        field("absurd family count", false, [](FontFields &f) { f.familyCount = 0x7ffffff0; });
        field("NaN point size", false, [](FontFields &f) { f.pointSize = qQNaN(); });
        field("negative pixel size", false, [](FontFields &f) {
            f.pointSize = -1;
            f.pixelSize = -20;
        });
    }

    // A font is read with the layout it has, and the record's colour after it
    // is found where it is.
    void fonts()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(bool, accepted);
        QFETCH(QFont, font);
        QFETCH(OpenTypeSettings, settings);
        QDataStream stream(bytes);
        stream.setVersion(FileVersion);
        const QFont untouched(QStringLiteral("Untouched"));
        QFont read = untouched;
        OpenTypeSettings readSettings;
        readSettings.features.insert(tag("smcp"), 1);
        const OpenTypeSettings untouchedSettings = readSettings;
        QCOMPARE(readFont(stream, &read, &readSettings), accepted);
        if (!accepted) {
            QCOMPARE(read, untouched);
            QCOMPARE(readSettings, untouchedSettings);
            QVERIFY(stream.status() != QDataStream::Ok);
            return;
        }
        QCOMPARE(read, font);
        QCOMPARE(read.families(), font.families());
        QCOMPARE(readSettings, settings);
        QColor colour;
        QVERIFY(readColor(stream, &colour));
        QCOMPARE(colour, QColor(10, 20, 30));
        QVERIFY(stream.atEnd());
    }

    void values_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<bool>("accepted");

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

        QTest::newRow("real: infinity") << int(Real) << encode(-qInf()) << false;

        const auto refused = [](const char *name, const QByteArray &bytes) {
            QTest::newRow(name) << int(Variant) << bytes << false;
        };
        const QVariantMap map { { "size", QSizeF(2, 3) }, { "list", QVariantList { 1, "two" } } };
        QTest::newRow("variant: nested lists and maps")
            << int(Variant)
            << encode(QVariant(QVariantList { 1, map, QVariantHash { { "a", 1.5 } } })) << true;
        QTest::newRow("variant: byte array list")
            << int(Variant) << encode(QVariant::fromValue(QByteArrayList { "a", "" })) << true;
        QVariant deep = 1;
        for (int depth = 0; depth <= MaximumVariantDepth; ++depth)
            deep = QVariantList { deep };
        refused("variant: lists nested too deep", encode(deep));
        refused("variant: image", encode(QVariant(QImage(2, 2, QImage::Format_RGB32))));
        refused("variant: type by name",
            encode(quint32(QMetaType::User), qint8(0), QByteArray("PageSize")));
        refused("variant: unknown type id", encode(quint32(0x7ffff), qint8(0)));

        const QHash<QByteArray, QVariant> hash { { "windowGeometry", QByteArray("geometry") },
            { "tags", QStringList { "x" } } };
        QTest::newRow("hash: sound") << int(VariantHash) << encode(hash) << true;
        QHash<QByteArray, QVariant> spoiled = hash;
        spoiled.insert("font", QFont());
        QTest::newRow("hash: one refused entry") << int(VariantHash) << encode(spoiled) << false;

        // The library's own readers would reserve room for four billion
        // elements here before reading the first.
        const QByteArray absurd = encode(quint32(0xfffffff0)) + QByteArray(64, '\0');
        QTest::newRow("numbers: absurd count") << int(IntList) << absurd << false;
        QTest::newRow("hash: absurd count") << int(VariantHash) << absurd << false;
    }

    void values()
    {
        QFETCH(int, kind);
        QFETCH(QByteArray, bytes);
        QFETCH(bool, accepted);
        switch (Kind(kind)) {
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

    void counts_data()
    {
        QTest::addColumn<qint32>("count");
        QTest::addColumn<int>("bytesEach");
        QTest::addColumn<bool>("accepted");

        // 40 bytes follow the count.
        QTest::newRow("exactly the bytes there") << 5 << 8 << true;
        QTest::newRow("one more than there") << 6 << 8 << false;
        QTest::newRow("most negative") << qint32(0x80000000) << 8 << false;
    }

    void counts()
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

    void recordHeaders_data()
    {
        QTest::addColumn<quint16>("magic");
        QTest::addColumn<quint16>("version");
        QTest::addColumn<int>("expected"); // -1: refused

        QTest::newRow("current") << quint16(0xD300) << quint16(3) << 3;
        QTest::newRow("newer") << quint16(0xD300) << quint16(4) << -1;
        QTest::newRow("other record") << quint16(0xD301) << quint16(1) << -1;
    }

    void recordHeaders()
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

    void streamSettingsAreRestored()
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
};

QTEST_MAIN(TestStreamReading)
#include "tst_streamreading.moc"
