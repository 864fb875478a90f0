#include "jpegwriter.h"

#include <QColorSpace>
#include <QIODevice>

#include <csetjmp>
#include <cstdio>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

namespace {

constexpr size_t OutputBufferSize = size_t(1) << 16;

} // namespace

struct JpegWriter::State
{
    jpeg_compress_struct info {};
    jpeg_error_mgr errors {};
    jpeg_destination_mgr destination {};
    std::jmp_buf jump {};
    std::vector<JOCTET> buffer = std::vector<JOCTET>(OutputBufferSize);
    QIODevice *device = nullptr;
    QString error;
    bool started = false;
    bool failed = false;

    static State *of(j_common_ptr info) { return static_cast<State *>(info->client_data); }

    static void failWith(j_common_ptr info)
    {
        State *state = of(info);
        char message[JMSG_LENGTH_MAX];
        (*info->err->format_message)(info, message);
        if (state->error.isEmpty())
            state->error = QString::fromLocal8Bit(message);
        std::longjmp(state->jump, 1);
    }
    static void silence(j_common_ptr) { }

    static void startDestination(j_compress_ptr info)
    {
        State *state = of(reinterpret_cast<j_common_ptr>(info));
        info->dest->next_output_byte = state->buffer.data();
        info->dest->free_in_buffer = state->buffer.size();
    }
    static boolean emptyBuffer(j_compress_ptr info)
    {
        State *state = of(reinterpret_cast<j_common_ptr>(info));
        const qint64 size = qint64(state->buffer.size());
        if (state->device->write(reinterpret_cast<const char *>(state->buffer.data()), size)
            != size) {
            state->error = state->device->errorString();
            ERREXIT(info, JERR_FILE_WRITE);
        }
        startDestination(info);
        return TRUE;
    }
    static void termDestination(j_compress_ptr info)
    {
        State *state = of(reinterpret_cast<j_common_ptr>(info));
        const qint64 size = qint64(state->buffer.size() - info->dest->free_in_buffer);
        if (size > 0
            && state->device->write(reinterpret_cast<const char *>(state->buffer.data()), size)
                != size) {
            state->error = state->device->errorString();
            ERREXIT(info, JERR_FILE_WRITE);
        }
    }
};

JpegWriter::JpegWriter(QIODevice *device, const QSize &size, int quality, int dotsPerInch)
    : m_state(std::make_unique<State>())
{
    State &state = *m_state;
    state.device = device;
    state.info.err = jpeg_std_error(&state.errors);
    state.errors.error_exit = &State::failWith;
    state.errors.output_message = &State::silence;
    state.info.client_data = &state;
    if (setjmp(state.jump)) {
        state.failed = true;
        return;
    }
    jpeg_create_compress(&state.info);
    state.destination.init_destination = &State::startDestination;
    state.destination.empty_output_buffer = &State::emptyBuffer;
    state.destination.term_destination = &State::termDestination;
    state.info.dest = &state.destination;
    state.info.image_width = JDIMENSION(size.width());
    state.info.image_height = JDIMENSION(size.height());
    // Qt's 32-bit pixels are B, G, R, A in memory: read them as they are.
    state.info.input_components = 4;
    state.info.in_color_space = JCS_EXT_BGRX;
    jpeg_set_defaults(&state.info);
    state.info.density_unit = 1;
    state.info.X_density = UINT16(qBound(1, dotsPerInch, 65535));
    state.info.Y_density = state.info.X_density;
    jpeg_set_quality(&state.info, qBound(1, quality, 100), TRUE);
    jpeg_start_compress(&state.info, TRUE);
    // The page is sRGB: say so, so that colour-managed viewers agree.
    const QByteArray profile = QColorSpace(QColorSpace::SRgb).iccProfile();
    jpeg_write_icc_profile(&state.info, reinterpret_cast<const JOCTET *>(profile.constData()),
        unsigned(profile.size()));
    state.started = true;
}

JpegWriter::~JpegWriter()
{
    if (m_state->started || m_state->failed)
        jpeg_destroy_compress(&m_state->info);
}

bool JpegWriter::writeRows(const QImage &band, int rows)
{
    State &state = *m_state;
    if (state.failed || !state.started)
        return false;
    if (band.depth() != 32 || band.width() != int(state.info.image_width)) {
        state.error = tr("The rows do not fit the picture.");
        state.failed = true;
        return false;
    }
    if (setjmp(state.jump)) {
        state.failed = true;
        return false;
    }
    for (int y = 0; y < qMin(rows, band.height()); ++y) {
        JSAMPROW row = const_cast<JSAMPROW>(band.constScanLine(y));
        jpeg_write_scanlines(&state.info, &row, 1);
    }
    return true;
}

bool JpegWriter::finish()
{
    State &state = *m_state;
    if (state.failed || !state.started)
        return false;
    if (setjmp(state.jump)) {
        state.failed = true;
        return false;
    }
    if (state.info.next_scanline != state.info.image_height) {
        state.error = tr("The picture was not written whole.");
        state.failed = true;
        return false;
    }
    jpeg_finish_compress(&state.info);
    return true;
}

QString JpegWriter::errorString() const
{
    return m_state->error.isEmpty() ? tr("The JPEG file could not be written.") : m_state->error;
}
