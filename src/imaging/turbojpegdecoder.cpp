#include "turbojpegdecoder.h"

#ifdef TESSELO_HAVE_TURBOJPEG

#include <QSysInfo>

#include <algorithm>

#include <turbojpeg.h>

#include "imaging/largeimage.h"

TurboJpegDecoder::TurboJpegDecoder()
    : m_handle(tjInitDecompress())
{
}

TurboJpegDecoder::~TurboJpegDecoder()
{
    if (m_handle)
        tjDestroy(static_cast<tjhandle>(m_handle));
}

bool TurboJpegDecoder::readHeader(const QByteArray &data)
{
    m_size = QSize();
    if (!m_handle || data.isEmpty())
        return false;
    int width = 0;
    int height = 0;
    int subsampling = 0;
    int colorspace = 0;
    if (tjDecompressHeader3(static_cast<tjhandle>(m_handle),
            reinterpret_cast<const unsigned char *>(data.constData()),
            static_cast<unsigned long>(data.size()), &width, &height, &subsampling, &colorspace)
        != 0)
        return false;
    if (width <= 0 || height <= 0)
        return false;
    m_size = QSize(width, height);
    return true;
}

QList<QSize> TurboJpegDecoder::scaledSizes() const
{
    QList<QSize> sizes;
    if (!m_size.isValid())
        return sizes;
    int count = 0;
    const tjscalingfactor *factors = tjGetScalingFactors(&count);
    for (int i = 0; factors && i < count; ++i) {
        const tjscalingfactor factor = factors[i];
        if (factor.num > factor.denom)
            continue; // enlargements are of no use here
        const QSize size(TJSCALED(m_size.width(), factor), TJSCALED(m_size.height(), factor));
        if (!sizes.contains(size))
            sizes.append(size);
    }
    std::sort(sizes.begin(), sizes.end(), [](const QSize &a, const QSize &b) {
        return qint64(a.width()) * a.height() < qint64(b.width()) * b.height();
    });
    return sizes;
}

QImage TurboJpegDecoder::decode(const QByteArray &data, const QSize &scaledSize)
{
    if (!m_handle || !m_size.isValid() || !scaledSizes().contains(scaledSize))
        return QImage();
    QImage image = LargeImage::create(scaledSize, QImage::Format_RGB32);
    if (image.isNull())
        return QImage();
    // RGB32 is 0xffRRGGBB in native order, that is B, G, R, X in memory on
    // the little-endian machines the program runs on.
    const int pixelFormat = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? TJPF_BGRX : TJPF_XRGB;
    const int result = tjDecompress2(static_cast<tjhandle>(m_handle),
        reinterpret_cast<const unsigned char *>(data.constData()),
        static_cast<unsigned long>(data.size()), image.bits(), scaledSize.width(),
        int(image.bytesPerLine()), scaledSize.height(), pixelFormat, 0);
    // Warnings (such as extraneous bytes before a marker) leave a complete
    // picture; the caller has checked that the scan data is whole.
    if (result != 0 && tjGetErrorCode(static_cast<tjhandle>(m_handle)) != TJERR_WARNING)
        return QImage();
    return image;
}

#endif // TESSELO_HAVE_TURBOJPEG
