#include "heifdecoder.h"

#ifdef TESSELO_HAVE_HEIF

#include <QtGlobal>

#include <mutex>

#include <libheif/heif.h>

namespace {

// No side longer than this is parsed; the decoder's pixel limit refuses
// far smaller pictures anyway, this only keeps libheif from planning huge
// grids.
constexpr int maximumSide = 32768;

heif_context *context(void *pointer)
{
    return static_cast<heif_context *>(pointer);
}

heif_image_handle *handle(void *pointer)
{
    return static_cast<heif_image_handle *>(pointer);
}

void initialiseLibrary()
{
    static std::once_flag once;
    std::call_once(once, [] { heif_init(nullptr); });
}

void releaseImage(void *image)
{
    heif_image_release(static_cast<heif_image *>(image));
}

// The coded colour description that phones write instead of a profile.
QColorSpace fromNclx(const heif_color_profile_nclx &nclx)
{
    QColorSpace::Primaries primaries;
    switch (nclx.color_primaries) {
    case heif_color_primaries_ITU_R_BT_709_5:
    case heif_color_primaries_unspecified:
        primaries = QColorSpace::Primaries::SRgb;
        break;
    case heif_color_primaries_SMPTE_EG_432_1:
        primaries = QColorSpace::Primaries::DciP3D65;
        break;
    default:
        return QColorSpace(); // nothing Qt can convert from; shown as sRGB
    }
    switch (nclx.transfer_characteristics) {
    case heif_transfer_characteristic_linear:
        return QColorSpace(primaries, QColorSpace::TransferFunction::Linear);
    case heif_transfer_characteristic_ITU_R_BT_709_5:
    case heif_transfer_characteristic_ITU_R_BT_601_6:
    case heif_transfer_characteristic_unspecified:
    case heif_transfer_characteristic_IEC_61966_2_1:
        return QColorSpace(primaries, QColorSpace::TransferFunction::SRgb);
    default:
        return QColorSpace();
    }
}

} // namespace

HeifDecoder::HeifDecoder()
{
    initialiseLibrary();
}

HeifDecoder::~HeifDecoder()
{
    if (m_handle)
        heif_image_handle_release(handle(m_handle));
    if (m_context)
        heif_context_free(context(m_context));
}

bool HeifDecoder::isHeif(const QByteArray &head)
{
    if (head.size() < 12 || head.mid(4, 4) != "ftyp")
        return false;
    return heif_check_filetype(
               reinterpret_cast<const uint8_t *>(head.constData()), int(head.size()))
        != heif_filetype_no;
}

QStringList HeifDecoder::suffixes()
{
    return { QStringLiteral("heic"), QStringLiteral("heif"), QStringLiteral("avif") };
}

bool HeifDecoder::fail(const QString &message)
{
    m_error = message;
    m_size = QSize();
    return false;
}

bool HeifDecoder::readHeader(const QByteArray &data)
{
    if (m_context || data.isEmpty())
        return fail(QStringLiteral("No HEIF data"));
    m_context = heif_context_alloc();
    if (!m_context)
        return fail(QStringLiteral("Out of memory"));
    heif_context_set_maximum_image_size_limit(context(m_context), maximumSide);
    heif_error error = heif_context_read_from_memory_without_copy(
        context(m_context), data.constData(), size_t(data.size()), nullptr);
    if (error.code != heif_error_Ok)
        return fail(QString::fromUtf8(error.message));
    heif_image_handle *primary = nullptr;
    error = heif_context_get_primary_image_handle(context(m_context), &primary);
    if (error.code != heif_error_Ok || !primary)
        return fail(QString::fromUtf8(error.message));
    m_handle = primary;
    const QSize size(heif_image_handle_get_width(primary), heif_image_handle_get_height(primary));
    if (size.isEmpty())
        return fail(QStringLiteral("HEIF image without size"));
    m_size = size;
    return true;
}

QColorSpace HeifDecoder::colorSpace() const
{
    const heif_image_handle *primary = handle(m_handle);
    switch (heif_image_handle_get_color_profile_type(primary)) {
    case heif_color_profile_type_prof:
    case heif_color_profile_type_rICC: {
        QByteArray icc(
            qsizetype(heif_image_handle_get_raw_color_profile_size(primary)), Qt::Uninitialized);
        if (icc.isEmpty()
            || heif_image_handle_get_raw_color_profile(primary, icc.data()).code != heif_error_Ok)
            return QColorSpace();
        return QColorSpace::fromIccProfile(icc);
    }
    case heif_color_profile_type_nclx: {
        heif_color_profile_nclx *nclx = nullptr;
        const heif_error error = heif_image_handle_get_nclx_color_profile(primary, &nclx);
        // libheif may hand out the profile along with an error about it.
        const QColorSpace space
            = error.code == heif_error_Ok && nclx ? fromNclx(*nclx) : QColorSpace();
        if (nclx)
            heif_nclx_color_profile_free(nclx);
        return space;
    }
    default:
        return QColorSpace();
    }
}

QImage HeifDecoder::decode()
{
    if (!m_handle || !m_size.isValid())
        return QImage();
    const bool alpha = heif_image_handle_has_alpha_channel(handle(m_handle));
    heif_decoding_options *options = heif_decoding_options_alloc();
    options->convert_hdr_to_8bit = 1;
    heif_image *decoded = nullptr;
    const heif_error error = heif_decode_image(handle(m_handle), &decoded, heif_colorspace_RGB,
        alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, options);
    heif_decoding_options_free(options);
    if (error.code != heif_error_Ok || !decoded) {
        if (decoded)
            heif_image_release(decoded);
        fail(QString::fromUtf8(error.message));
        return QImage();
    }
    int stride = 0;
    const uint8_t *plane
        = heif_image_get_plane_readonly(decoded, heif_channel_interleaved, &stride);
    const int width = heif_image_get_width(decoded, heif_channel_interleaved);
    const int height = heif_image_get_height(decoded, heif_channel_interleaved);
    if (!plane || width <= 0 || height <= 0 || stride <= 0) {
        heif_image_release(decoded);
        fail(QStringLiteral("HEIF image without pixels"));
        return QImage();
    }
    // The image borrows libheif's buffer and releases it with its last copy.
    QImage image(plane, width, height, stride,
        alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888, releaseImage, decoded);
    image.setColorSpace(colorSpace());
    return image;
}

#else // TESSELO_HAVE_HEIF

HeifDecoder::HeifDecoder() = default;
HeifDecoder::~HeifDecoder() = default;

bool HeifDecoder::isHeif(const QByteArray &)
{
    return false;
}

QStringList HeifDecoder::suffixes()
{
    return {};
}

bool HeifDecoder::readHeader(const QByteArray &)
{
    return fail(QStringLiteral("HEIF support is not built in"));
}

bool HeifDecoder::fail(const QString &message)
{
    m_error = message;
    m_size = QSize();
    return false;
}

QColorSpace HeifDecoder::colorSpace() const
{
    return QColorSpace();
}

QImage HeifDecoder::decode()
{
    return QImage();
}

#endif // TESSELO_HAVE_HEIF
