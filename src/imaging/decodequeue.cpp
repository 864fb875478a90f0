#include "decodequeue.h"

#include <QThreadPool>
#include <QtConcurrent>

namespace {

// The noting pass and the drawing pass reach a picture through different
// chains of transforms (a shadowed item is drawn through its effect), so
// their keys agree only up to rounding.
bool sameKey(const ImageCache::LevelKey &a, const ImageCache::LevelKey &b)
{
    constexpr qreal tolerance = 1e-9;
    return qAbs(a.scale - b.scale) <= tolerance * qMax(qreal(1), a.scale)
        && qAbs(a.sin - b.sin) <= tolerance && qAbs(a.cos - b.cos) <= tolerance;
}

} // namespace

DecodeQueue::DecodeQueue()
    // One decode per thread, and one ready for the drawing to take.
    : m_window(qMax(1, ImageCache::loadingPool()->maxThreadCount()) + 1)
{
}

DecodeQueue::~DecodeQueue()
{
    for (Entry &entry : m_entries) {
        if (entry.started)
            entry.decode.waitForFinished();
    }
}

void DecodeQueue::note(const QUrl &url, const ImageCache::LevelKey &deviceKey)
{
    for (const Entry &entry : std::as_const(m_entries)) {
        if (entry.url == url && sameKey(entry.key, deviceKey))
            return; // drawn twice alike: one decode serves both
    }
    m_entries.append({ url, deviceKey, {}, false });
    if (m_running)
        fillWindow();
}

void DecodeQueue::start()
{
    m_running = true;
    fillWindow();
}

ImageCache::OutputDecode DecodeQueue::take(const QUrl &url, const ImageCache::LevelKey &deviceKey)
{
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it) {
        if (it->url != url || !sameKey(it->key, deviceKey))
            continue;
        if (!it->started)
            launch(*it);
        ImageCache::OutputDecode decoded = it->decode.result();
        m_entries.erase(it);
        if (m_running)
            fillWindow();
        return decoded;
    }
    return {};
}

int DecodeQueue::inFlight() const
{
    int count = 0;
    for (const Entry &entry : m_entries)
        count += entry.started ? 1 : 0;
    return count;
}

void DecodeQueue::fillWindow()
{
    int running = inFlight();
    for (Entry &entry : m_entries) {
        if (running >= m_window)
            break;
        if (!entry.started) {
            launch(entry);
            ++running;
        }
    }
}

void DecodeQueue::launch(Entry &entry)
{
    entry.decode = QtConcurrent::run(
        ImageCache::loadingPool(), &ImageCache::decodeForOutput, entry.url, entry.key);
    entry.started = true;
}
