#pragma once

#include <QByteArray>
#include <QColorSpace>
#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>

// HEIF-family photos (HEIC from phones, AVIF) through libheif. Sizes and
// pixels are upright: libheif applies the file's rotation, mirroring and
// crop while decoding. The colour space the file declares (an ICC profile
// or coded primaries) is attached to the decoded image; converting it is
// the caller's business.
class HeifDecoder
{
public:
    HeifDecoder();
    ~HeifDecoder();
    Q_DISABLE_COPY(HeifDecoder)

    // Whether the first bytes of a file look like a HEIF or AVIF container
    // (false in builds without libheif).
    static bool isHeif(const QByteArray &head);
    // The file suffixes the decoder stands for, empty without libheif.
    static QStringList suffixes();

    // Parses the container and finds the primary image; `data` must stay
    // alive and unchanged while this decoder is used.
    bool readHeader(const QByteArray &data);
    QSize size() const { return m_size; }
    QString errorString() const { return m_error; }

    // Decodes the primary image into RGB888 or RGBA8888 (non-premultiplied),
    // with its colour space set. Null on failure.
    QImage decode();

private:
    QColorSpace colorSpace() const;
    bool fail(const QString &message);

    void *m_context = nullptr;
    void *m_handle = nullptr;
    QSize m_size;
    QString m_error;
};
