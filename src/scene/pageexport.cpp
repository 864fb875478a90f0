#include "pageexport.h"

#include <array>

#include <QColorSpace>
#include <QImageWriter>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScopeGuard>
#include <QtConcurrent>

#include "imaging/jpegwriter.h"
#include "imaging/largeimage.h"
#include "imaging/pngwriter.h"
#include "model/document.h"
#include "scene/bandrenderer.h"
#include "scene/documentrenderer.h"

namespace {

// Bands are drawn and encoded at the same time, on two cores. A page is cut
// into at least this many, so that the encoder starts early ...
constexpr int MinimumBandCount = 8;
// ... and none is larger than this, so that a poster needs little memory.
constexpr qsizetype MaximumBandBytes = qsizetype(64) << 20;
constexpr int MinimumBandRows = 64;

int bandRows(const QSize &size)
{
    const int byCount = (size.height() + MinimumBandCount - 1) / MinimumBandCount;
    const int byBytes = int(MaximumBandBytes / (qsizetype(size.width()) * 4));
    return qMax(MinimumBandRows, qMin(byCount, byBytes));
}

constexpr double MetresPerInch = 0.0254;
// Pixel pages have no physical size; their PDF page shows them at the
// resolution of a screen.
constexpr double PixelPageDpi = 96.0;

bool isOpaque(const QImage &image)
{
    if (!image.hasAlphaChannel())
        return true;
    for (int y = 0; y < image.height(); ++y) {
        const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
        for (int x = 0; x < image.width(); ++x) {
            if (qAlpha(line[x]) != 255)
                return false;
        }
    }
    return true;
}

} // namespace

PageExport::PageExport(Document *document, const ExportSettings &settings)
    : m_document(document)
    , m_settings(settings)
{
}

QList<QByteArray> PageExport::formats()
{
    QList<QByteArray> formats = QImageWriter::supportedImageFormats();
    formats.removeAll("pdf");
    formats.append("pdf");
    return formats;
}

bool PageExport::formatHasAlpha(const QByteArray &format)
{
    static const QList<QByteArray> opaque { "jpg", "jpeg", "bmp", "ppm", "pgm", "pbm", "xbm",
        "pdf" };
    return !opaque.contains(format.toLower());
}

bool PageExport::formatHasQuality(const QByteArray &format)
{
    const QByteArray lower = format.toLower();
    return lower == "jpg" || lower == "jpeg" || lower == "webp";
}

bool PageExport::step(int done, int total)
{
    if (m_cancelled || (m_progress && !m_progress(done, total)))
        m_cancelled = true;
    return !m_cancelled;
}

QImage PageExport::render(const QColor &background)
{
    const LargeImage::Recycling recycling;
    m_cancelled = false;
    m_allocationFailed = false;
    const QSize size = m_settings.size;
    QImage image
        = size.isEmpty() ? QImage() : LargeImage::create(size, QImage::Format_ARGB32_Premultiplied);
    if (image.isNull()) {
        m_allocationFailed = true;
        m_error = tr("Can't allocate image buffer");
        return QImage();
    }
    image.fill(background);
    QPainter painter(&image);
    painter.setRenderHints(
        QPainter::Antialiasing | QPainter::TextAntialiasing | QPainter::SmoothPixmapTransform);
    // One step per photo, and one more for writing the file.
    const bool finished = DocumentRenderer::render(
        m_document, &painter, QRectF(QPointF(0, 0), size), QRectF(), [this](int taken, int noted) {
            m_photos = noted;
            return step(taken, noted + 1);
        });
    painter.end();
    if (!finished || m_cancelled) {
        m_cancelled = true;
        return QImage();
    }
    return image;
}

QImage PageExport::finishedImage(const QColor &background)
{
    QImage image = render(background);
    if (image.isNull())
        return image;
    drawWatermark(
        &image, m_settings.watermark, m_settings.watermarkPosition, m_settings.watermarkOpacity);
    // Print pages carry their resolution, so that they print at their size.
    if (!m_settings.resolution.isEmpty()) {
        image.setDotsPerMeterX(qRound(m_settings.resolution.width() / MetresPerInch));
        image.setDotsPerMeterY(qRound(m_settings.resolution.height() / MetresPerInch));
    }
    // Photos are turned into sRGB as they are read; the file says so, so
    // that colour-managed viewers show what the editor showed.
    image.setColorSpace(QColorSpace(QColorSpace::SRgb));
    // An opaque page needs no alpha channel in the file: smaller and faster.
    if (isOpaque(image))
        image.reinterpretAsFormat(QImage::Format_RGB32);
    return image;
}

PageExport::Result PageExport::write(const QString &path)
{
    const LargeImage::Recycling recycling;
    m_error.clear();
    const QByteArray format = m_settings.format.toLower();
    if (!formats().contains(format)) {
        m_error = tr("The format \"%1\" cannot be written.").arg(QString::fromLatin1(format));
        return Result::Failed;
    }
    if (format == "jpg" || format == "jpeg")
        return writeJpegInBands(path);
    // Formats without transparency get the page over white, not over
    // whatever the empty pixels would turn into.
    const QImage image = finishedImage(formatHasAlpha(format) ? Qt::transparent : Qt::white);
    if (m_cancelled)
        return Result::Cancelled;
    if (image.isNull())
        return Result::Failed;
    if (!step(m_photos, m_photos + 1))
        return Result::Cancelled;

    QSaveFile file(path);
    if (!openForWriting(&file))
        return Result::Failed;
    const bool written = format == "pdf"
        ? writePdf(image, &file)
        : writeImage(image, &file, format, m_settings.quality, &m_error);
    if (!written) {
        file.cancelWriting();
        return Result::Failed;
    }
    return commit(&file);
}

bool PageExport::openForWriting(QSaveFile *file)
{
    if (file->open(QIODevice::WriteOnly))
        return true;
    m_error = file->errorString();
    return false;
}

PageExport::Result PageExport::commit(QSaveFile *file)
{
    if (!file->commit()) {
        m_error = file->errorString();
        return Result::Failed;
    }
    step(m_photos + 1, m_photos + 1);
    return Result::Written;
}

PageExport::Result PageExport::writeJpegInBands(const QString &path)
{
    const QSize size = m_settings.size;
    const int rows = size.isEmpty() ? 0 : qMin(size.height(), bandRows(size));
    // Two bands: one is drawn while the other is encoded.
    std::array<QImage, 2> bands;
    for (QImage &band : bands) {
        if (rows > 0)
            band = LargeImage::create(QSize(size.width(), rows), QImage::Format_RGB32);
        if (band.isNull()) {
            m_allocationFailed = true;
            m_error = tr("Can't allocate image buffer");
            return Result::Failed;
        }
    }
    BandRenderer renderer(m_document, size);
    renderer.setProgress([this](int taken, int noted) {
        m_photos = noted;
        return step(taken, noted + 1);
    });
    renderer.plan(rows);

    QSaveFile file(path);
    if (!openForWriting(&file))
        return Result::Failed;
    const int dotsPerInch = m_settings.resolution.isEmpty()
        ? qRound(QImage(1, 1, QImage::Format_RGB32).dotsPerMeterX() * MetresPerInch)
        : qRound(m_settings.resolution.width());
    JpegWriter writer(&file, size, m_settings.quality, dotsPerInch);
    QFuture<bool> encoding;
    auto encoded = [&encoding] { return !encoding.isValid() || encoding.result(); };
    const auto waitForEncoder = qScopeGuard([&encoding] {
        if (encoding.isValid())
            encoding.waitForFinished();
    });
    for (int top = 0, index = 0; top < size.height(); top += rows, ++index) {
        QImage *band = &bands[size_t(index % 2)];
        band->fill(Qt::white);
        if (!renderer.drawBand(band, top)) {
            m_cancelled = true;
            return Result::Cancelled;
        }
        if (!m_settings.watermark.isEmpty()) {
            QPainter painter(band);
            painter.translate(0, -top);
            drawWatermark(&painter, size, m_settings.watermark, m_settings.watermarkPosition,
                m_settings.watermarkOpacity);
        }
        if (!encoded()) {
            m_error = writer.errorString();
            return Result::Failed;
        }
        const int bandRows = qMin(rows, size.height() - top);
        encoding = QtConcurrent::run(
            [&writer, band, bandRows] { return writer.writeRows(*band, bandRows); });
    }
    if (!encoded() || !writer.finish()) {
        m_error = writer.errorString();
        return Result::Failed;
    }
    if (!step(m_photos, m_photos + 1))
        return Result::Cancelled;
    return commit(&file);
}

bool PageExport::writeImage(
    const QImage &image, QIODevice *device, const QByteArray &format, int quality, QString *error)
{
    if (format.toLower() == "png")
        return PngWriter::write(image, device, error);
    QImageWriter writer(device, format);
    if (formatHasQuality(format))
        writer.setQuality(qBound(1, quality, 100));
    if (writer.write(image))
        return true;
    if (error)
        *error = writer.errorString();
    return false;
}

bool PageExport::writePdf(const QImage &image, QIODevice *device)
{
    // A page of the collage's physical size with its pixels at the chosen
    // resolution, as print shops want it.
    const QSizeF dpi = m_settings.resolution.isEmpty() ? QSizeF(PixelPageDpi, PixelPageDpi)
                                                       : m_settings.resolution;
    const QSizeF inches(image.width() / dpi.width(), image.height() / dpi.height());
    QPdfWriter pdf(device);
    pdf.setCreator(QStringLiteral("Tesselo"));
    pdf.setPageSize(QPageSize(inches, QPageSize::Inch));
    pdf.setPageMargins(QMarginsF(0, 0, 0, 0));
    pdf.setResolution(qMax(1, qRound(qMax(dpi.width(), dpi.height()))));
    QPainter painter;
    if (!painter.begin(&pdf)) {
        m_error = tr("The PDF file could not be started.");
        return false;
    }
    painter.drawImage(QRectF(QPointF(0, 0), QSizeF(pdf.width(), pdf.height())), image);
    if (!painter.end()) {
        m_error = device->errorString();
        return false;
    }
    return true;
}
