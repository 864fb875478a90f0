#include "largeimage.h"

#include <limits>

#ifdef Q_OS_LINUX
#include <sys/mman.h>
#endif

namespace {

#ifdef Q_OS_LINUX
struct Mapping
{
    void *address;
    size_t length;
};

void unmap(void *info)
{
    auto *mapping = static_cast<Mapping *>(info);
    munmap(mapping->address, mapping->length);
    delete mapping;
}

QImage mappedImage(const QSize &size, QImage::Format format, qsizetype bytesPerLine)
{
    const size_t length = size_t(bytesPerLine) * size_t(size.height());
    void *address
        = mmap(nullptr, length, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (address == MAP_FAILED)
        return QImage();
        // Both hints are optional: older kernels refuse them and the pages are
        // then faulted in as they are touched.
#ifdef MADV_HUGEPAGE
    madvise(address, length, MADV_HUGEPAGE);
#endif
#ifdef MADV_POPULATE_WRITE
    if (length <= LargeImage::populateLimit)
        madvise(address, length, MADV_POPULATE_WRITE);
#endif
    auto *mapping = new Mapping { address, length };
    QImage image(static_cast<uchar *>(address), size.width(), size.height(), bytesPerLine, format,
        unmap, mapping);
    if (image.isNull())
        unmap(mapping); // refused images never call their cleanup
    return image;
}
#endif

} // namespace

QImage LargeImage::create(const QSize &size, QImage::Format format)
{
    if (size.isEmpty() || format == QImage::Format_Invalid)
        return QImage();
    const int depth = QImage::toPixelFormat(format).bitsPerPixel();
    // Rows aligned to 32 bits, as QImage lays them out itself.
    const qint64 bytesPerLine = ((qint64(size.width()) * depth + 31) / 32) * 4;
    const qint64 bytes = bytesPerLine * size.height();
#ifdef Q_OS_LINUX
    if (bytes >= threshold && bytesPerLine <= std::numeric_limits<int>::max()) {
        QImage image = mappedImage(size, format, qsizetype(bytesPerLine));
        if (!image.isNull())
            return image;
    }
#endif
    Q_UNUSED(bytes);
    return QImage(size, format);
}
