#include <QtTest>

#include "io/collagefilebuilder.h"
#include "io/documentbytes.h"
#include "model/document.h"
#include "model/randomgenerator.h"
#include "themes/builtinthemes.h"

using namespace CollageFileBuilder;

namespace {

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
    // Fonts as earlier builds of this program wrote them, and fonts with
    // OpenType settings as programs on later Qt releases write them.
    old.fontOpenType = false;
    Content decorated = photoDropContent();
    decorated.overlays[0].features = { { tag("liga"), 0 }, { tag("ss01"), 1 } };
    decorated.overlays[0].axes = { { tag("wght"), 650 } };
    decorated.frameSize = 1.5;
    decorated.properties.insert("count", 3);
    decorated.properties.insert("title", QStringLiteral("Trip"));
    return { Builder().build(decorated).bytes, Builder().build(mosaicContent()).bytes,
        Builder(old).build(photoDropContent()).bytes, Builder(old).build(mosaicContent()).bytes };
}

} // namespace

class TestDocumentMutations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void initTestCase() { BuiltInThemes::registerAll(); }

    void damagedCopies_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        const QList<QByteArray> seeds = seedFiles();
        QTest::newRow("photo drop, fonts with OpenType settings") << seeds.at(0);
        QTest::newRow("mosaic") << seeds.at(1);
        QTest::newRow("old photo drop, fonts of earlier builds") << seeds.at(2);
        QTest::newRow("old mosaic") << seeds.at(3);
    }

    void damagedCopies()
    {
        QFETCH(QByteArray, bytes);
        QVERIFY(DocumentBytes::read(bytes));
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
};

QTEST_MAIN(TestDocumentMutations)
#include "tst_documentmutations.moc"
