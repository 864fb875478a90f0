#include "exactrenderer.h"

#include <QList>
#include <QPainter>
#include <QThreadPool>
#include <QtConcurrent>
#include <QtMath>

#include "imaging/imagedecoder.h"
#include "imaging/imagelevels.h"

namespace ExactRenderer {

namespace {

// One tile of an exact-scale rendering.
struct TransformedImageSourceStruct
{
    const QImage *source = nullptr;
    QSizeF logicalSize;
    QTransform transform;
    QRect tile;
    int supersampling = ExactRenderer::supersampling;
    QSize outputSize;
};

struct TransformationResult
{
    QImage image;
    QRect tile;
    QSize outputSize;
    QTransform transform;
};

struct PixmapCachingResults
{
    QTransform transform;
    QImage image;
};

TransformationResult renderTile(const TransformedImageSourceStruct &job)
{
    const int factor = job.supersampling;
    QImage supersampled(job.tile.size() * factor, QImage::Format_ARGB32_Premultiplied);
    supersampled.fill(Qt::transparent);
    {
        QPainter painter(&supersampled);
        if (factor == 1) // filtered sampling stands in for the supersampling
            painter.setRenderHints(QPainter::Antialiasing | QPainter::SmoothPixmapTransform);
        painter.scale(factor, factor);
        painter.translate(-job.tile.topLeft());
        painter.translate(job.outputSize.width() / 2.0, job.outputSize.height() / 2.0);
        painter.setTransform(job.transform, true);
        const QSizeF size = job.logicalSize;
        const QRectF target(-size.width() / 2.0, -size.height() / 2.0, size.width(), size.height());
        painter.drawImage(target, *job.source);
    }
    if (factor == 1)
        return { supersampled, job.tile, job.outputSize, job.transform };
    return { supersampled.scaled(job.tile.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation),
        job.tile, job.outputSize, job.transform };
}

void collectTile(PixmapCachingResults &result, const TransformationResult &tile)
{
    if (result.image.isNull()) {
        result.image = QImage(tile.outputSize, QImage::Format_ARGB32_Premultiplied);
        result.image.fill(Qt::transparent);
        result.transform = tile.transform;
    }
    QPainter painter(&result.image);
    painter.drawImage(tile.tile.topLeft(), tile.image);
}

bool exceedsPixelLimit(const QSize &size)
{
    return qint64(size.width()) * size.height() > ImageDecoder::maximumPixels;
}

} // namespace

QImage transformImage(const QImage &source, const QTransform &transform, bool parallel)
{
    return renderTransformed(source, source.size(), transform, parallel);
}

QImage renderTransformed(
    const QImage &source, const QSizeF &logicalSize, const QTransform &transform, bool parallel)
{
    if (source.isNull() || logicalSize.isEmpty())
        return QImage();
    if (transform.isIdentity() && QSizeF(source.size()) == logicalSize)
        return source;

    const ImageLevels::LevelKey key = ImageLevels::decompose(transform);
    const qreal w = logicalSize.width();
    const qreal h = logicalSize.height();
    if (key.sin == 0.0 && qFuzzyCompare(key.cos, 1.0)) {
        const QSize target = ImageLevels::scaledSize(logicalSize.toSize(), key.scale);
        if (target.isEmpty() || exceedsPixelLimit(target))
            return QImage();
        return source.size() == target
            ? source
            : source.scaled(target, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    }

    // Rotated: the output is the bounding box of the turned picture.
    const qreal s = key.scale;
    const QSize outputSize(qCeil(w * key.cos * s) + qCeil(h * key.sin * s),
        qCeil(h * key.cos * s) + qCeil(w * key.sin * s));
    if (outputSize.isEmpty() || exceedsPixelLimit(outputSize))
        return QImage();
    // Supersampling averages many source pixels into one output pixel. When
    // the picture was decoded close to the output scale (at most two source
    // pixels per output pixel) bilinear filtering with antialiased edges
    // gives the same result at a sixteenth of the work.
    const qreal sourcePerOutput = source.width() / qMax(w * s, qreal(1));
    const int factor = sourcePerOutput <= 2.0 ? 1 : supersampling;
    const int columns = outputSize.width() / tileSide + 1;
    const int rows = outputSize.height() / tileSide + 1;
    const QRect outputRect(QPoint(0, 0), outputSize);
    QList<TransformedImageSourceStruct> jobs;
    jobs.reserve(columns * rows);
    for (int column = columns - 1; column >= 0; --column) {
        for (int row = rows - 1; row >= 0; --row) {
            const QRect tile(tileSide * column, tileSide * row, tileSide, tileSide);
            if (!tile.intersects(outputRect))
                continue; // the spare column or row of an exact multiple
            jobs.append({ &source, logicalSize, transform, tile, factor, outputSize });
        }
    }

    PixmapCachingResults result;
    if (parallel) {
        result = QtConcurrent::mappedReduced<PixmapCachingResults>(QThreadPool::globalInstance(),
            jobs, renderTile, collectTile,
            QtConcurrent::UnorderedReduce | QtConcurrent::SequentialReduce)
                     .result();
    } else {
        for (const TransformedImageSourceStruct &job : std::as_const(jobs))
            collectTile(result, renderTile(job));
    }
    return result.image;
}

} // namespace ExactRenderer
