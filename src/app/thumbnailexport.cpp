#include "thumbnailexport.h"

#include <QImage>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QScopeGuard>

#include "imaging/imagecache.h"
#include "io/documentfile.h"
#include "model/document.h"
#include "model/imagelist.h"

bool ThumbnailExport::write(
    const QString &document, const QString &output, int size, QString *error)
{
    if (size < 1) {
        *error = tr("the thumbnail size must be at least one pixel");
        return false;
    }
    ImageCache *cache = ImageCache::instance();
    const bool wasSizesOnly = cache->sizesOnly();
    cache->setSizesOnly(true);
    const auto restore = qScopeGuard([cache, wasSizesOnly] { cache->setSizesOnly(wasSizesOnly); });

    std::unique_ptr<Document> collage = DocumentFile::open(document, error, false);
    if (!collage) {
        *error = tr("cannot open %1: %2").arg(document, *error);
        return false;
    }
    collage->imageList()->readAllFiles(false);

    const QSizeF page = collage->pageSize().size();
    if (page.isEmpty()) {
        *error = tr("cannot open %1: the page has no size").arg(document);
        return false;
    }
    const QSize pixels
        = page.scaled(size, size, Qt::KeepAspectRatio).toSize().expandedTo(QSize(1, 1));
    QImage image(pixels, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
    collage->render(&painter, QRectF(QPointF(0, 0), pixels));
    painter.end();

    QSaveFile file(output);
    if (!file.open(QIODevice::WriteOnly)) {
        *error = tr("cannot write %1: %2").arg(output, file.errorString());
        return false;
    }
    QImageWriter writer(&file, "png");
    if (!writer.write(image) || !file.commit()) {
        *error = tr("cannot write %1: %2")
                     .arg(output,
                         writer.error() != QImageWriter::UnknownError ? writer.errorString()
                                                                      : file.errorString());
        return false;
    }
    return true;
}
