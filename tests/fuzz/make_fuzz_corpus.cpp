// Writes the seed corpus of the collage file fuzzer: small valid documents
// of both themes with text and stickers, in the current record versions (as
// the program itself writes them) and in older ones, with fonts as earlier
// builds wrote them and as programs on later Qt releases write them.
//
//   make_fuzz_corpus <folder>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>

#include "io/collagefilebuilder.h"
#include "io/documentbytes.h"
#include "model/document.h"
#include "themes/builtinthemes.h"

using namespace CollageFileBuilder;

namespace {

// Current versions go through the program: read, then written as it writes.
QByteArray rewritten(const QByteArray &bytes)
{
    const std::unique_ptr<Document> document = DocumentBytes::read(bytes);
    return document ? DocumentBytes::write(*document) : QByteArray();
}

// Fonts of many kinds, and values a program on a later Qt release may
// write: OpenType features (in hash order) and axes, a frame wider than the
// photo, huge but finite numbers and properties of its own.
Content laterProgram()
{
    Content c = photoDropContent();
    c.urls.clear();
    c.rotations.clear();
    c.photos.clear();
    QFont pixels(QStringLiteral("DejaVu Serif"));
    pixels.setPixelSize(40);
    pixels.setUnderline(true);
    pixels.setLetterSpacing(QFont::PercentageSpacing, 110);
    QFont families(QStringLiteral("DejaVu Sans Mono"), 12);
    families.setFamilies({ QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace") });
    families.setCapitalization(QFont::AllUppercase);
    c.overlays.append({ QStringLiteral("Second"), pixels, QColor::fromHsv(30, 200, 250),
        QPointF(0.5, 0.1), -5, 0.5, 1, qint32(Qt::AlignCenter),
        { { tag("smcp"), 1 }, { tag("liga"), 0 }, { tag("cv11"), 2 } },
        { { tag("wght"), 300 }, { tag("wdth"), 87.5 } } });
    c.overlays.append({ QString(), families, QColor::fromCmyk(0, 50, 100, 0), QPointF(0.9, 0.9),
        180, 3, 0.25, qint32(Qt::AlignRight), { { tag("tnum"), 1 } }, {} });
    c.stickers.append({ QStringLiteral(":/stickers/ribbon.svg"), QPointF(1e40, -3), 12.5, 1, 0.5 });
    c.frameSize = 1.5;
    c.gradientAngle = 1e12;
    c.properties.insert("pageCount", 12);
    c.properties.insert("author", QStringLiteral("Ada"));
    c.properties.insert(
        "history", QVariantList { 1, QStringLiteral("two"), QVariantMap { { "x", 3.5 } } });
    return c;
}

} // namespace

int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTextStream err(stderr);
    if (argc != 2) {
        err << "usage: make_fuzz_corpus <folder>\n";
        return 2;
    }
    BuiltInThemes::registerAll();
    const QDir folder(QString::fromLocal8Bit(argv[1]));

    // Every record in its first version; the field order of Versions is
    // document, pageSize, imageList, imageSource, the three Photo Drop
    // records, itemTransform, the two grid records, transformedSource,
    // shadow, frame and background.
    const Versions oldest { 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0 };
    const Versions middle { 2, 1, 1, 1, 1, 1, 1, 1, 2, 2, 1, 1, 1, 1 };
    Versions earlierFonts;
    earlierFonts.fontOpenType = false;

    const QList<std::pair<QString, QByteArray>> files = {
        { QStringLiteral("photodrop.tsq"), rewritten(Builder().build(photoDropContent()).bytes) },
        { QStringLiteral("mosaic.tsq"), rewritten(Builder().build(mosaicContent()).bytes) },
        { QStringLiteral("later-program.tsq"), Builder().build(laterProgram()).bytes },
        { QStringLiteral("earlier-fonts.tsq"), Builder(earlierFonts).build(laterProgram()).bytes },
        { QStringLiteral("photodrop-oldest.tsq"), Builder(oldest).build(photoDropContent()).bytes },
        { QStringLiteral("mosaic-oldest.tsq"), Builder(oldest).build(mosaicContent()).bytes },
        { QStringLiteral("photodrop-version2.tsq"),
            Builder(middle).build(photoDropContent()).bytes },
        { QStringLiteral("mosaic-version2.tsq"), Builder(middle).build(mosaicContent()).bytes },
    };
    for (const auto &[name, bytes] : files) {
        if (bytes.isEmpty()) {
            err << name << ": the program refused its own document\n";
            return 1;
        }
        QFile file(folder.filePath(name));
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size()) {
            err << name << ": " << file.errorString() << "\n";
            return 1;
        }
    }
    return 0;
}
