// Writes a small collage document made of the sample pictures, for trying
// the editing window by hand or in a screenshot:
//
//     make_sample_collage OUTPUT.tsq [mosaic|photodrop]
//
// The photos are copied beside the document, which refers to them.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QUrl>

#include <cstdio>

#include "io/documentfile.h"
#include "model/document.h"
#include "model/imagelist.h"
#include "model/stickerproperties.h"
#include "model/textoverlayproperties.h"
#include "themes/builtinthemes.h"

int main(int argc, char *argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.isEmpty()) {
        std::fprintf(stderr, "usage: make_sample_collage OUTPUT.tsq [mosaic|photodrop]\n");
        return 2;
    }
    BuiltInThemes::registerAll();
    const QFileInfo output(args.at(0));
    const QDir folder = output.absoluteDir();
    QList<QUrl> photos;
    for (int i = 1; i <= 7; ++i) {
        const QString name = QStringLiteral("sample%1.jpg").arg(i);
        const QString target = folder.filePath(name);
        QFile::remove(target);
        if (!QFile::copy(QStringLiteral(":/samples/") + name, target)) {
            std::fprintf(stderr, "make_sample_collage: cannot write %s\n", qPrintable(target));
            return 1;
        }
        QFile::setPermissions(
            target, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
        photos.append(QUrl::fromLocalFile(target));
    }

    Document document(true);
    const bool photoDrop = args.value(1) == QLatin1String("photodrop");
    document.setThemeId(photoDrop ? BuiltInThemes::PhotoDropId : BuiltInThemes::MosaicId);
    document.setPageSize(PageSize(PageSize::Pixels, QSizeF(1200, 900), QString()));
    if (!document.imageList()->insertUrls(0, photos, false)) {
        std::fprintf(stderr, "make_sample_collage: the sample pictures did not load\n");
        return 1;
    }
    TextOverlayProperties *text = document.addTextOverlay();
    text->setText(QStringLiteral("Summer by the lake"));
    text->setPosition(QPointF(0.5, 0.88));
    const QStringList stickers = StickerProperties::availableStickers();
    if (!stickers.isEmpty()) {
        StickerProperties *sticker = document.addSticker(stickers.first());
        sticker->setPosition(QPointF(0.88, 0.14));
    }

    QString error;
    if (!DocumentFile::save(&document, output.absoluteFilePath(), &error)) {
        std::fprintf(stderr, "make_sample_collage: %s\n", qPrintable(error));
        return 1;
    }
    return 0;
}
