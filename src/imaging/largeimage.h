#pragma once

#include <QImage>
#include <QSize>

// Allocation of big pixel buffers.
//
// A fresh buffer of a few hundred megabytes is otherwise filled in page by
// page as it is first touched, one page fault per 4 KiB. On virtual
// machines each fault is expensive enough to outweigh decoding or drawing
// into the buffer. Buffers from LargeImage are mapped, backed by huge pages
// where the system allows, and populated in one call.
class LargeImage
{
public:
    // Below this many bytes the ordinary allocator is just as fast.
    static constexpr qsizetype threshold = qsizetype(4) << 20;
    // Beyond this the pages are left to be filled in as they are touched,
    // so that an outsized request cannot claim all memory up front.
    static constexpr size_t populateLimit = size_t(1) << 30;

    // An image of `size` and `format` with uninitialised pixels, or a null
    // image when the memory cannot be had. Copies share the buffer as any
    // QImage does; it is released with the last of them.
    static QImage create(const QSize &size, QImage::Format format);

    // While one of these lives, released buffers are kept (up to
    // `recycleLimit` bytes) and handed out again by create(): a buffer that
    // was filled in once costs no page faults the second time. An export
    // decodes, draws and encodes many pictures of like sizes one after
    // another. The kept buffers are released with the last scope.
    class Recycling
    {
    public:
        Recycling();
        ~Recycling();
        Q_DISABLE_COPY(Recycling)
    };
    static constexpr size_t recycleLimit = size_t(128) << 20;
    // Bytes kept for reuse at the moment; for tests.
    static size_t recycledBytes();
};
