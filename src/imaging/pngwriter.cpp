#include "pngwriter.h"

#include <QIODevice>
#include <QThreadPool>
#include <QtConcurrent>

#include <zlib.h>

#include <array>
#include <cstdlib>
#include <vector>

namespace {

// Enough strips for every core, each large enough that its restart costs
// nothing worth measuring in size.
constexpr int RowsPerStripMinimum = 64;
constexpr int StripsPerThread = 4;

enum Filter : quint8 { None = 0, Sub = 1, Up = 2, Average = 3, Paeth = 4 };

void appendBigEndian(QByteArray &out, quint32 value)
{
    const char bytes[4] = { char(value >> 24), char(value >> 16), char(value >> 8), char(value) };
    out.append(bytes, 4);
}

QByteArray chunk(const char *type, const QByteArray &data)
{
    QByteArray out;
    out.reserve(data.size() + 12);
    appendBigEndian(out, quint32(data.size()));
    out.append(type, 4);
    out.append(data);
    uLong crc = crc32(0L, reinterpret_cast<const Bytef *>(type), 4);
    crc = crc32(crc, reinterpret_cast<const Bytef *>(data.constData()), uInt(data.size()));
    appendBigEndian(out, quint32(crc));
    return out;
}

// One row of the image as PNG samples: RGB, or unpremultiplied RGBA.
void rowSamples(const QImage &image, int y, bool alpha, quint8 *out)
{
    const auto *line = reinterpret_cast<const QRgb *>(image.constScanLine(y));
    const bool premultiplied = image.format() == QImage::Format_ARGB32_Premultiplied;
    for (int x = 0; x < image.width(); ++x) {
        const QRgb pixel = premultiplied ? qUnpremultiply(line[x]) : line[x];
        *out++ = quint8(qRed(pixel));
        *out++ = quint8(qGreen(pixel));
        *out++ = quint8(qBlue(pixel));
        if (alpha)
            *out++ = quint8(qAlpha(pixel));
    }
}

inline quint8 paethPredictor(int a, int b, int c)
{
    const int p = a + b - c;
    const int pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return quint8(a);
    return quint8(pb <= pc ? b : c);
}

// Filters `row` against `previous` (zeros for the first row) with every
// filter and keeps the one whose residues, read as signed bytes, sum
// smallest. `out` receives the filter byte and the residues.
void filterRow(const quint8 *row, const quint8 *previous, int length, int bpp,
    std::array<std::vector<quint8>, 5> &candidates, std::vector<quint8> &out)
{
    std::array<quint64, 5> sums {};
    for (int i = 0; i < length; ++i) {
        const int a = i >= bpp ? row[i - bpp] : 0;
        const int b = previous[i];
        const int c = i >= bpp ? previous[i - bpp] : 0;
        const quint8 x = row[i];
        const quint8 residues[5] = { x, quint8(x - a), quint8(x - b), quint8(x - ((a + b) >> 1)),
            quint8(x - paethPredictor(a, b, c)) };
        for (int f = 0; f < 5; ++f) {
            candidates[size_t(f)][size_t(i)] = residues[f];
            sums[size_t(f)] += quint64(std::abs(int(qint8(residues[f]))));
        }
    }
    int best = 0;
    for (int f = 1; f < 5; ++f) {
        if (sums[size_t(f)] < sums[size_t(best)])
            best = f;
    }
    out[0] = quint8(best);
    std::copy(candidates[size_t(best)].begin(), candidates[size_t(best)].begin() + length,
        out.begin() + 1);
}

struct Strip
{
    int first = 0;
    int end = 0;
    bool last = false;
};

struct DeflatedStrip
{
    QByteArray data;
    uLong adler = 1;
    qint64 length = 0;
    bool ok = false;
};

DeflatedStrip deflateStrip(const QImage &image, const Strip &strip, bool alpha, int level)
{
    DeflatedStrip result;
    const int bpp = alpha ? 4 : 3;
    const int length = image.width() * bpp;
    std::vector<quint8> previous(static_cast<size_t>(length), 0);
    std::vector<quint8> current(static_cast<size_t>(length));
    std::vector<quint8> filtered(size_t(length) + 1);
    std::array<std::vector<quint8>, 5> candidates;
    for (auto &candidate : candidates)
        candidate.resize(size_t(length));
    if (strip.first > 0)
        rowSamples(image, strip.first - 1, alpha, previous.data());

    z_stream stream {};
    // Raw deflate: the strips share one zlib header and checksum.
    if (deflateInit2(&stream, level, Z_DEFLATED, -15, 9, Z_FILTERED) != Z_OK)
        return result;
    std::vector<char> buffer(size_t(1) << 18);
    bool ok = true;
    for (int y = strip.first; y < strip.end && ok; ++y) {
        rowSamples(image, y, alpha, current.data());
        filterRow(current.data(), previous.data(), length, bpp, candidates, filtered);
        std::swap(previous, current);
        result.adler = adler32(result.adler, filtered.data(), uInt(filtered.size()));
        result.length += qint64(filtered.size());
        const bool lastRow = y + 1 == strip.end;
        const int flush = lastRow ? (strip.last ? Z_FINISH : Z_SYNC_FLUSH) : Z_NO_FLUSH;
        stream.next_in = filtered.data();
        stream.avail_in = uInt(filtered.size());
        do {
            stream.next_out = reinterpret_cast<Bytef *>(buffer.data());
            stream.avail_out = uInt(buffer.size());
            const int status = deflate(&stream, flush);
            if (status == Z_STREAM_ERROR) {
                ok = false;
                break;
            }
            result.data.append(buffer.data(), qsizetype(buffer.size() - stream.avail_out));
        } while (stream.avail_out == 0);
    }
    deflateEnd(&stream);
    result.ok = ok;
    return result;
}

QByteArray headerChunk(const QImage &image, bool alpha)
{
    QByteArray header;
    appendBigEndian(header, quint32(image.width()));
    appendBigEndian(header, quint32(image.height()));
    header.append(char(8)); // bits per sample
    header.append(char(alpha ? 6 : 2)); // RGBA or RGB
    header.append(char(0)); // deflate
    header.append(char(0)); // adaptive filtering
    header.append(char(0)); // no interlace
    return chunk("IHDR", header);
}

QByteArray resolutionChunk(const QImage &image)
{
    if (image.dotsPerMeterX() <= 0 || image.dotsPerMeterY() <= 0)
        return QByteArray();
    QByteArray data;
    appendBigEndian(data, quint32(image.dotsPerMeterX()));
    appendBigEndian(data, quint32(image.dotsPerMeterY()));
    data.append(char(1)); // metres
    return chunk("pHYs", data);
}

} // namespace

bool PngWriter::write(const QImage &source, QIODevice *device, QString *error, int level)
{
    auto fail = [error](const QString &message) {
        if (error)
            *error = message;
        return false;
    };
    if (source.isNull() || !device)
        return fail(tr("There is no picture to write."));
    QImage image = source;
    if (image.format() != QImage::Format_RGB32 && image.format() != QImage::Format_ARGB32
        && image.format() != QImage::Format_ARGB32_Premultiplied)
        image = image.convertToFormat(
            image.hasAlphaChannel() ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    const bool alpha = image.hasAlphaChannel();

    QList<Strip> strips;
    const int threads = qMax(1, QThreadPool::globalInstance()->maxThreadCount());
    const int rows = qMax(RowsPerStripMinimum,
        (image.height() + threads * StripsPerThread - 1) / (threads * StripsPerThread));
    for (int first = 0; first < image.height(); first += rows)
        strips.append({ first, qMin(image.height(), first + rows), false });
    strips.last().last = true;

    static const char signature[8] = { char(0x89), 'P', 'N', 'G', '\r', '\n', char(0x1a), '\n' };
    QByteArray head(signature, 8);
    head += headerChunk(image, alpha);
    head += resolutionChunk(image);
    // The page is sRGB (rendering intent: perceptual).
    head += chunk("sRGB", QByteArray(1, char(0)));
    if (device->write(head) != head.size())
        return fail(device->errorString());

    // Strips are deflated in parallel and written in order as they finish.
    const QList<DeflatedStrip> deflated
        = QtConcurrent::blockingMapped(strips, [&image, alpha, level](const Strip &strip) {
              return deflateStrip(image, strip, alpha, level);
          });
    const char zlibHeader[2] = { char(0x78), char(0x5e) };
    uLong adler = 1;
    bool first = true;
    for (const DeflatedStrip &strip : deflated) {
        if (!strip.ok)
            return fail(tr("The picture could not be compressed."));
        QByteArray data = strip.data;
        if (first)
            data.prepend(zlibHeader, 2);
        first = false;
        adler = adler32_combine(adler, strip.adler, z_off_t(strip.length));
        if (&strip == &deflated.last()) {
            appendBigEndian(data, quint32(adler));
        }
        const QByteArray idat = chunk("IDAT", data);
        if (device->write(idat) != idat.size())
            return fail(device->errorString());
    }
    const QByteArray end = chunk("IEND", QByteArray());
    if (device->write(end) != end.size())
        return fail(device->errorString());
    return true;
}
