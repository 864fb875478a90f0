#include <QtTest>

#include <QBuffer>
#include <QColor>
#include <QDir>
#include <QFile>
#include <QFont>
#include <QTemporaryDir>
#include <QtEndian>

#include <functional>

#include "io/collagefilebuilder.h"
#include "io/collagestreamsettings.h"
#include "io/documentbytes.h"
#include "io/documentfile.h"
#include "io/modelstreams.h"
#include "io/recordheader.h"
#include "io/streamreading.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/imagesource.h"
#include "model/opentypesettings.h"
#include "model/randomgenerator.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "support/filesizelimit.h"
#include "themes/builtinthemes.h"
#include "themes/photodrop/photodropitemproperties.h"
#include "themes/photodrop/photodropitempropertieslist.h"
#include "themes/photodrop/photodroptheme.h"
#include "themes/photogrid/photogriditemproperties.h"
#include "themes/photogrid/photogridtheme.h"
#include "undo/undostack.h"

using namespace CollageFileBuilder;
using namespace StreamReading;

// Turns the versions to write, the content to write and the content
// expected back into one case of an old file.
using OldFile = std::function<void(Versions &, Content &stored, Content &expected)>;
Q_DECLARE_METATYPE(OldFile)
Q_DECLARE_METATYPE(OpenTypeSettings)

namespace {

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

PhotoDropTheme *photoDrop(const Document &document)
{
    return qobject_cast<PhotoDropTheme *>(document.theme());
}

PhotoGridTheme *grid(const Document &document)
{
    return qobject_cast<PhotoGridTheme *>(document.theme());
}

// A document edited through the model as the editor edits it: a theme
// chosen anew lays the photos out itself.
std::unique_ptr<Document> editedDocument()
{
    RandomGenerator::seed(11);
    std::unique_ptr<Document> document
        = DocumentBytes::read(Builder().build(photoDropContent()).bytes);
    if (!document)
        document = std::make_unique<Document>(true);
    document->setPageSize(PageSize(PageSize::Inches, QSizeF(8, 10), QStringLiteral("8 x 10")));
    document->setThemeId(BuiltInThemes::MosaicId);
    // A font whose families were all removed once crashed the save.
    QFont familyless(QStringLiteral("DejaVu Sans"), 20);
    familyless.setFamilies({});
    document->addTextOverlay()->setFont(familyless);
    return document;
}

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

class TestDocumentFormat : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BuiltInThemes::registerAll(); }

    void modelRoundTrip()
    {
        const std::unique_ptr<Document> original = editedDocument();
        QVERIFY(grid(*original));
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("collage.tsq"));
        QString error;
        QVERIFY2(DocumentFile::save(original.get(), path, &error), qPrintable(error));
        QVERIFY(original->undoStack()->isClean());

        const std::unique_ptr<Document> opened = DocumentFile::open(path, &error);
        QVERIFY2(opened, qPrintable(error));
        QVERIFY(opened->undoStack()->isClean());
        // Everything the file holds came back: the opened document writes the
        // same bytes (the writer's layout itself is pinned by the test below).
        QCOMPARE(DocumentBytes::write(*opened).toHex(), readFile(path).toHex());
    }

    void oldFilesConvert_data()
    {
        QTest::addColumn<bool>("mosaic");
        QTest::addColumn<OldFile>("change");

        // Files of the current versions read and write back byte for byte.
        const OldFile current = [](Versions &, Content &, Content &) {};
        QTest::newRow("current, photo drop") << false << current;
        QTest::newRow("current, mosaic") << true << current;
        // Files of earlier builds: fonts without their OpenType containers.
        // Saved again, they carry empty ones.
        QTest::newRow("fonts of earlier builds")
            << false << OldFile([](Versions &v, Content &, Content &) { v.fontOpenType = false; });
        // Settings this build cannot show are kept; the writer puts the
        // features it got in hash order in the order of their tags.
        QTest::newRow("OpenType features and axes")
            << false << OldFile([](Versions &, Content &s, Content &e) {
                   s.overlays[0].features = { { tag("liga"), 0 }, { tag("cv02"), 3 } };
                   s.overlays[0].axes = { { tag("wght"), 720 }, { tag("slnt"), -7.5 } };
                   e.overlays[0].features = { { tag("cv02"), 3 }, { tag("liga"), 0 } };
                   e.overlays[0].axes = { { tag("slnt"), -7.5 }, { tag("wght"), 720 } };
               });
        // Values the format and the setters allow, however unusual. A relative
        // turn whose degrees would overflow, wrapped by steps of 2, is 0.
        QTest::newRow("frame wider than the photo, large finite values")
            << false << OldFile([](Versions &, Content &s, Content &e) {
                   s.frameSize = e.frameSize = 1.5;
                   s.photos[1].zoom = e.photos[1].zoom = 1e250;
                   s.stickers[0].position = e.stickers[0].position = QPointF(2e18, -1e18);
                   s.photos[2].rotation = 1e308;
                   e.photos[2].rotation = 0;
               });
        // An early Photo Drop file: no properties, overlays or stickers, no
        // turns, a gradient direction and a picture without its turn, photos
        // without filter or mask turning freely in degrees.
        QTest::newRow("early photo drop")
            << false << OldFile([](Versions &v, Content &s, Content &e) {
                   v.document = v.background = v.photoDropItem = 1;
                   v.photoDropTheme = v.itemTransform = 1;
                   v.imageList = 0;
                   e.properties.clear();
                   e.overlays.clear();
                   e.stickers.clear();
                   e.rotations = { 0, 0, 0 };
                   s.gradientDirection = 7;
                   e.gradientAngle = 180;
                   e.pictureRotation = 0;
                   e.zero = 0;
                   e.variation = 180;
                   for (int i = 0; i < 3; ++i) {
                       s.photos[i].rotation = 90 - 67.5 * i;
                       e.photos[i].rotation = s.photos[i].rotation / 180;
                       e.photos[i].filter = e.photos[i].mask = 0;
                   }
               });
        // An early Mosaic: the records that kept their layout at version 0,
        // cells in degrees (an angle out of reach is clamped) without filter
        // or mask.
        QTest::newRow("early mosaic") << true << OldFile([](Versions &v, Content &s, Content &e) {
            v.pageSize = v.imageSource = v.photoDropItemList = v.transformedSource = 0;
            v.shadow = v.frame = v.restriction = v.overlay = v.sticker = 0;
            v.gridItem = 1;
            for (int i = 0; i < 3; ++i) {
                s.cells[i].angle = QList<double> { -100, -20, 10 }.at(i);
                e.cells[i].angle = QList<double> { -1, -1, 0 }.at(i);
                e.cells[i].filter = e.cells[i].mask = 0;
            }
        });
    }

    void oldFilesConvert()
    {
        QFETCH(bool, mosaic);
        QFETCH(OldFile, change);
        Versions versions;
        Content stored = mosaic ? mosaicContent() : photoDropContent();
        Content expected = stored;
        change(versions, stored, expected);
        const std::unique_ptr<Document> document
            = DocumentBytes::read(Builder(versions).build(stored).bytes);
        QVERIFY(document);
        // Saved again, the document is a file of the current versions.
        QCOMPARE(DocumentBytes::write(*document).toHex(), Builder().build(expected).bytes.toHex());
    }

    void damagedFilesAreRefused_data()
    {
        QTest::addColumn<bool>("mosaic");
        QTest::addColumn<QString>("mark");
        QTest::addColumn<qint64>("value");
        QTest::addColumn<int>("size");

        const auto field
            = [](const char *name, bool mosaic, const char *mark, qint64 value, int size) {
                  QTest::newRow(name) << mosaic << QString::fromLatin1(mark) << value << size;
              };
        field("changed magic", false, "start", 0xD307, 2);
        field("newer document record", false, "start", 0xD3060004, 4);
        field("photo count above the theme's", false, "photoCount", 4, 4);
        field("fewer turns than images", false, "rotationCount", 2, 4);
        field("negative cell count", true, "cellCount", -5, 4);
        field("unknown background type", false, "backgroundType", 7, 4);
        field("unknown theme", false, "themeId", 3, 4);
    }

    void damagedFilesAreRefused()
    {
        QFETCH(bool, mosaic);
        QFETCH(QString, mark);
        QFETCH(qint64, value);
        QFETCH(int, size);
        File file = Builder().build(mosaic ? mosaicContent() : photoDropContent());
        QVERIFY(DocumentBytes::read(file.bytes));
        file.patch(mark, value, size);
        QVERIFY(!DocumentBytes::read(file.bytes));
    }

    // Other programs of the format may keep values of their own: they are
    // kept and saved again. A declared property, which would call the
    // setter of the theme id, is not taken from them.
    void storedProperties()
    {
        const QVariantMap others { { "accent", QColor(Qt::red) }, { "pageCount", 12 },
            { "recent", QVariantList { 1, QStringLiteral("x"), QSizeF(2, 3) } } };
        Content content = photoDropContent();
        for (auto it = others.cbegin(); it != others.cend(); ++it)
            content.properties.insert(it.key().toUtf8(), it.value());
        content.properties.insert("themeId", QByteArray("com.example"));
        const std::unique_ptr<Document> document
            = DocumentBytes::read(Builder().build(content).bytes);
        QVERIFY(document);
        const std::unique_ptr<Document> reopened
            = DocumentBytes::read(DocumentBytes::write(*document));
        QVERIFY(reopened);
        QCOMPARE(reopened->themeId(), PhotoDropId);
        for (auto it = others.cbegin(); it != others.cend(); ++it)
            QCOMPARE(reopened->property(it.key().toUtf8().constData()), it.value());
    }

    void rowsThatNameNoImage()
    {
        // The first photo written is the last row's; the first cell is cell 0.
        File file = Builder().build(photoDropContent());
        file.patch(QStringLiteral("photoRow"), 99, 4);
        std::unique_ptr<Document> document = DocumentBytes::read(file.bytes);
        QVERIFY(document);
        // The photo keeps the image the theme made it for.
        QCOMPARE(imageRow(document.get(), photoDrop(*document)->items()->at(2)->source()), 2);

        file = Builder().build(mosaicContent());
        file.patch(QStringLiteral("cellRow"), -2, 4);
        document = DocumentBytes::read(file.bytes);
        QVERIFY(document);
        // The cell shows no picture; the others are unharmed.
        QVERIFY(!grid(*document)->items().at(0)->image());
        QCOMPARE(imageRow(document.get(), grid(*document)->items().at(1)->image()), 0);
    }

    void openAndSaveErrorsAreReported()
    {
        QTemporaryDir folder;
        const QString missing = folder.filePath(QStringLiteral("missing.tsq"));
        QString error;
        QVERIFY(!DocumentFile::open(missing, &error));
        QCOMPARE(error, QStringLiteral("Can't open file %1").arg(missing));
        const QString damaged = folder.filePath(QStringLiteral("damaged.tsq"));
        QFile file(damaged);
        QVERIFY(file.open(QIODevice::WriteOnly) && file.write("\xd3\x06", 2) == 2);
        file.close();
        QVERIFY(!DocumentFile::open(damaged, &error));
        QCOMPARE(error, QStringLiteral("File corrupted"));

        const QString path = folder.filePath(QStringLiteral("no/such/folder/collage.tsq"));
        const std::unique_ptr<Document> document = editedDocument();
        QVERIFY(!DocumentFile::save(document.get(), path, &error));
        QCOMPARE(error, QStringLiteral("Can't open %1").arg(path));
        QVERIFY(!document->undoStack()->isClean());
    }

    void failedSaveKeepsOldFile()
    {
#ifndef Q_OS_LINUX
        QSKIP("The file size limit is simulated on Linux only.");
#else
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("collage.tsq"));
        const std::unique_ptr<Document> saved = editedDocument();
        QVERIFY(DocumentFile::save(saved.get(), path));
        const QByteArray before = readFile(path);
        QVERIFY(!before.isEmpty());

        // Larger than the file size limit below: writing fails like a full disk.
        const std::unique_ptr<Document> failing = editedDocument();
        for (int i = 0; i < 200; ++i)
            failing->addTextOverlay()->setText(QString(200, QChar('x')));
        QVERIFY(DocumentBytes::write(*failing).size() > 4 * before.size());

        QString error;
        bool written = false;
        {
            const FileSizeLimit limit(2 * before.size());
            QVERIFY(limit.isActive());
            written = DocumentFile::save(failing.get(), path, &error);
        }

        QVERIFY(!written);
        QVERIFY2(error.startsWith(QStringLiteral("Can't write %1: ").arg(path)), qPrintable(error));
        QVERIFY(!failing->undoStack()->isClean());
        QCOMPARE(readFile(path), before);
        QCOMPARE(QDir(folder.path()).entryList(QDir::Files), QStringList { "collage.tsq" });
#endif
    }

    // The seed corpus of the fuzzer: both themes, old record versions and
    // fonts of either layout.
    void damagedCopies_data()
    {
        QTest::addColumn<QString>("path");
        const QString folder = QFINDTESTDATA("../fuzz/corpus");
        if (folder.isEmpty())
            QSKIP("The seed corpus is not beside the tests.");
        for (const QFileInfo &info : QDir(folder).entryInfoList({ "*.tsq" }, QDir::Files))
            QTest::newRow(qPrintable(info.fileName())) << info.filePath();
    }

    void damagedCopies()
    {
        QFETCH(QString, path);
        QString error;
        QVERIFY2(DocumentFile::open(path, &error), qPrintable(error));
        const QByteArray bytes = readFile(path);
        int accepted = 0;
        int refused = 0;
        for (qsizetype at = 0; at < bytes.size(); ++at) {
            // Every field is needed; no shorter file is a document.
            if (DocumentBytes::read(bytes.left(at)))
                QFAIL(qPrintable(QStringLiteral("accepted the first %1 bytes").arg(at)));
            // Counts, rows and lengths are 32-bit; these values break careless
            // arithmetic. Whatever is accepted must save and open again.
            for (quint32 value : { 0u, 1u, 0x7fffffffu, 0x80000000u, 0xffffffffu }) {
                if (at + 4 > bytes.size())
                    break;
                QByteArray mutant = bytes;
                qToBigEndian(value, mutant.data() + at);
                RandomGenerator::seed(3);
                const std::unique_ptr<Document> document = DocumentBytes::read(mutant);
                ++(document ? accepted : refused);
                if (document && !DocumentBytes::read(DocumentBytes::write(*document)))
                    QFAIL(qPrintable(QStringLiteral("accepted but not saved and opened again: ")
                        + QString::fromLatin1(mutant.toHex())));
            }
        }
        // Both paths were taken: the changes hit fields that are checked and
        // fields whose every value is a valid one.
        QVERIFY(accepted > 0);
        QVERIFY(refused > 0);
    }

    // The checking readers of single values

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

    // A newer or another record is refused in whole files (above); after an
    // error nothing more is read.
    void recordHeaderAfterAnError()
    {
        QBuffer buffer;
        buffer.setData(encode(quint16(0xD300), quint16(3)));
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

QTEST_MAIN(TestDocumentFormat)
#include "tst_documentformat.moc"
