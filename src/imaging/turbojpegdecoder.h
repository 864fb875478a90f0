#pragma once

#ifdef TESSELO_HAVE_TURBOJPEG

#include <QByteArray>
#include <QImage>
#include <QList>
#include <QSize>

// JPEG decoding through libjpeg-turbo's TurboJPEG interface. Its scaled
// decoding (in eighths of the full size) skips most of the inverse-DCT and
// colour-conversion work, which is what makes loading large photos for the
// image cache cheap. Sizes here are those of the stored pixels, before any
// orientation tag is applied.
class TurboJpegDecoder
{
public:
    TurboJpegDecoder();
    ~TurboJpegDecoder();
    Q_DISABLE_COPY(TurboJpegDecoder)

    // Reads the frame header; false when the data is not a JPEG TurboJPEG
    // can read.
    bool readHeader(const QByteArray &data);
    QSize size() const { return m_size; }

    // The sizes the decoder can produce, from the smallest reduction to the
    // full size.
    QList<QSize> scaledSizes() const;

    // Decodes into an RGB32 image of `scaledSize`, one of scaledSizes().
    // Returns a null image on failure (unsupported colour space, corrupt
    // data, out of memory).
    QImage decode(const QByteArray &data, const QSize &scaledSize);

private:
    void *m_handle = nullptr;
    QSize m_size;
};

#endif // TESSELO_HAVE_TURBOJPEG
