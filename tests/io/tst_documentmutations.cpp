#include <QtTest>

#include <QBuffer>

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
// an old one, so that the conversions are shaken too.
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
    return { Builder().build(photoDropContent()).bytes, Builder().build(mosaicContent()).bytes,
        Builder(old).build(photoDropContent()).bytes, Builder(old).build(mosaicContent()).bytes };
}

} // namespace

class TestDocumentMutations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BuiltInThemes::registerAll(); }
    void damagedCopies_data();
    void damagedCopies();
};

void TestDocumentMutations::damagedCopies_data()
{
    QTest::addColumn<QByteArray>("bytes");
    const QList<QByteArray> seeds = seedFiles();
    QTest::newRow("photo drop") << seeds.at(0);
    QTest::newRow("mosaic") << seeds.at(1);
    QTest::newRow("old photo drop") << seeds.at(2);
    QTest::newRow("old mosaic") << seeds.at(3);
}

void TestDocumentMutations::damagedCopies()
{
    QFETCH(QByteArray, bytes);
    QVERIFY(readBytes(bytes));
    int accepted = 0;
    int refused = 0;
    for (qsizetype at = 0; at < bytes.size(); ++at) {
        // Every field is needed; no shorter file is a document.
        if (readBytes(bytes.left(at)))
            QFAIL(qPrintable(QStringLiteral("accepted the first %1 bytes").arg(at)));
        // Counts, rows and lengths are 32-bit; these values break careless
        // arithmetic. Whatever is accepted must save and open again.
        for (quint32 value : { 0u, 1u, 0x7fffffffu, 0x80000000u, 0xffffffffu }) {
            if (at + 4 > bytes.size())
                break;
            QByteArray mutant = bytes;
            qToBigEndian(value, mutant.data() + at);
            RandomGenerator::seed(3);
            const std::unique_ptr<Document> document = readBytes(mutant);
            ++(document ? accepted : refused);
            if (document && !readBytes(writeBytes(*document)))
                QFAIL(qPrintable(QStringLiteral("accepted but not saved and opened again: ")
                    + QString::fromLatin1(mutant.toHex())));
        }
    }
    // Both paths were taken: the changes hit fields that are checked and
    // fields whose every value is a valid one.
    QVERIFY(accepted > 0);
    QVERIFY(refused > 0);
}

QTEST_MAIN(TestDocumentMutations)
#include "tst_documentmutations.moc"
