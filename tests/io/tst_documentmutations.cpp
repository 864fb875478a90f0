#include <QtTest>

#include <QBuffer>
#include <QRandomGenerator>

#include "io/collagefilebuilder.h"
#include "io/documentfile.h"
#include "model/document.h"
#include "model/randomgenerator.h"
#include "themes/builtinthemes.h"

using namespace CollageFileBuilder;

namespace {

std::unique_ptr<Document> readBytes(const QByteArray &bytes)
{
    QBuffer buffer;
    buffer.setData(bytes);
    buffer.open(QIODevice::ReadOnly);
    return DocumentFile::read(&buffer);
}

QByteArray writeBytes(const Document &document)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    return DocumentFile::write(document, &buffer) ? bytes : QByteArray();
}

// Files of both themes, with text and stickers, in the current layout and in
// old ones, so that the conversions are shaken too.
QList<QByteArray> seedFiles()
{
    Versions old;
    old.document = 1;
    old.imageList = 0;
    old.photoDropTheme = 0;
    old.photoDropItem = 1;
    old.itemTransform = 0;
    old.background = 1;
    old.gridTheme = 1;
    old.gridItem = 1;
    Versions middle;
    middle.document = 2;
    middle.background = 2;
    middle.gridTheme = 2;
    middle.gridItem = 2;
    return {
        Builder().build(photoDropContent()).bytes,
        Builder().build(mosaicContent()).bytes,
        Builder(old).build(photoDropContent()).bytes,
        Builder(old).build(mosaicContent()).bytes,
        Builder(middle).build(mosaicContent()).bytes,
    };
}

struct Tally
{
    int accepted = 0;
    int refused = 0;
};

// Opens a damaged file. Whatever is accepted must save and open again: a
// document the reader lets through is one the program can work with.
// Returns what went wrong, if anything.
QString openDamaged(const QByteArray &bytes, Tally *tally)
{
    RandomGenerator::seed(3);
    const std::unique_ptr<Document> document = readBytes(bytes);
    ++(document ? tally->accepted : tally->refused);
    if (!document)
        return QString();
    const QByteArray saved = writeBytes(*document);
    if (saved.isEmpty())
        return QStringLiteral("accepted but not saved: ") + QString::fromLatin1(bytes.toHex());
    if (!readBytes(saved))
        return QStringLiteral("saved but not opened again: ") + QString::fromLatin1(bytes.toHex());
    return QString();
}

} // namespace

class TestDocumentMutations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase();
    void truncations_data() { seeds_data(); }
    void truncations();
    void damagedCopies_data() { seeds_data(); }
    void damagedCopies();

private:
    void seeds_data();

    QList<QByteArray> m_seeds;
};

void TestDocumentMutations::initTestCase()
{
    BuiltInThemes::registerAll();
    m_seeds = seedFiles();
    for (const QByteArray &seed : std::as_const(m_seeds))
        QVERIFY(readBytes(seed));
}

void TestDocumentMutations::seeds_data()
{
    QTest::addColumn<int>("seed");
    QTest::newRow("photo drop") << 0;
    QTest::newRow("mosaic") << 1;
    QTest::newRow("old photo drop") << 2;
    QTest::newRow("old mosaic") << 3;
    QTest::newRow("version 2 mosaic") << 4;
}

void TestDocumentMutations::truncations()
{
    QFETCH(int, seed);
    const QByteArray bytes = m_seeds.at(seed);
    // Every field is needed; no shorter file is a document.
    for (qsizetype length = 0; length < bytes.size(); ++length) {
        if (readBytes(bytes.left(length)))
            QFAIL(qPrintable(
                QStringLiteral("accepted the first %1 of %2 bytes").arg(length).arg(bytes.size())));
    }
}

void TestDocumentMutations::damagedCopies()
{
    QFETCH(int, seed);
    const QByteArray bytes = m_seeds.at(seed);
    QList<QByteArray> mutants;
    // Counts, rows and lengths are 32-bit; these are the values that break
    // careless arithmetic. Every offset gets each of them.
    for (qsizetype at = 0; at + 4 <= bytes.size(); ++at) {
        for (quint32 value : { 0u, 1u, 0x7fffffffu, 0x80000000u, 0xffffffffu }) {
            mutants.append(bytes);
            qToBigEndian(value, mutants.last().data() + at);
        }
    }
    // Random bits and bytes changed, runs of bytes cut out or repeated.
    QRandomGenerator random(quint32(1000 + seed));
    for (int round = 0; round < 1500; ++round) {
        QByteArray mutant = bytes;
        const qsizetype at = qsizetype(random.bounded(quint32(bytes.size())));
        const qsizetype length
            = 1 + qsizetype(random.bounded(quint32(qMin<qsizetype>(64, bytes.size() - at))));
        if (round % 4 == 0) {
            mutant.remove(at, length);
        } else if (round % 4 == 1) {
            mutant.insert(at, bytes.mid(at, length));
        } else {
            for (int i = 0, changes = 1 + int(random.bounded(4)); i < changes; ++i) {
                const qsizetype where = qsizetype(random.bounded(quint32(mutant.size())));
                if (random.bounded(2))
                    mutant[where] = char(mutant.at(where) ^ char(1 << random.bounded(8)));
                else
                    mutant[where] = char(random.bounded(256));
            }
        }
        mutants.append(mutant);
    }

    Tally tally;
    for (const QByteArray &mutant : std::as_const(mutants)) {
        const QString failure = openDamaged(mutant, &tally);
        if (!failure.isEmpty())
            QFAIL(qPrintable(failure));
    }
    // Both paths were taken: the changes hit fields that are checked and
    // fields whose every value is a valid one.
    QVERIFY(tally.accepted > 0);
    QVERIFY(tally.refused > 0);
}

QTEST_MAIN(TestDocumentMutations)
#include "tst_documentmutations.moc"
