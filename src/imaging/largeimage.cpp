#include "largeimage.h"

#include <QMutex>

#include <limits>
#include <vector>

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

// Released mappings kept for reuse while a Recycling scope lives.
struct Recycler
{
    QMutex mutex;
    int scopes = 0;
    size_t bytes = 0;
    std::vector<Mapping> kept;
};

Recycler &recycler()
{
    static Recycler instance;
    return instance;
}

void unmap(void *info)
{
    auto *mapping = static_cast<Mapping *>(info);
    {
        Recycler &kept = recycler();
        QMutexLocker locker(&kept.mutex);
        if (kept.scopes > 0 && kept.bytes + mapping->length <= LargeImage::recycleLimit) {
            kept.kept.push_back(*mapping);
            kept.bytes += mapping->length;
            delete mapping;
            return;
        }
    }
    munmap(mapping->address, mapping->length);
    delete mapping;
}

// The smallest kept mapping of at least `length` bytes, if it is not more
// than twice as large.
void *takeKept(size_t length, size_t *keptLength)
{
    Recycler &kept = recycler();
    QMutexLocker locker(&kept.mutex);
    auto best = kept.kept.end();
    for (auto it = kept.kept.begin(); it != kept.kept.end(); ++it) {
        if (it->length >= length && it->length <= 2 * length
            && (best == kept.kept.end() || it->length < best->length))
            best = it;
    }
    if (best == kept.kept.end())
        return nullptr;
    void *address = best->address;
    *keptLength = best->length;
    kept.bytes -= best->length;
    kept.kept.erase(best);
    return address;
}

QImage mappedImage(const QSize &size, QImage::Format format, qsizetype bytesPerLine)
{
    size_t length = size_t(bytesPerLine) * size_t(size.height());
    size_t keptLength = 0;
    if (void *kept = takeKept(length, &keptLength)) {
        auto *mapping = new Mapping { kept, keptLength };
        QImage image(static_cast<uchar *>(kept), size.width(), size.height(), bytesPerLine, format,
            unmap, mapping);
        if (image.isNull())
            unmap(mapping);
        return image;
    }
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

LargeImage::Recycling::Recycling()
{
#ifdef Q_OS_LINUX
    QMutexLocker locker(&recycler().mutex);
    ++recycler().scopes;
#endif
}

LargeImage::Recycling::~Recycling()
{
#ifdef Q_OS_LINUX
    std::vector<Mapping> released;
    {
        QMutexLocker locker(&recycler().mutex);
        if (--recycler().scopes > 0)
            return;
        released.swap(recycler().kept);
        recycler().bytes = 0;
    }
    for (const Mapping &mapping : released)
        munmap(mapping.address, mapping.length);
#endif
}

size_t LargeImage::recycledBytes()
{
#ifdef Q_OS_LINUX
    QMutexLocker locker(&recycler().mutex);
    return recycler().bytes;
#else
    return 0;
#endif
}

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
