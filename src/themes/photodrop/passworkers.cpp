#include "passworkers.h"

#include <QThreadPool>

#include <thread>

namespace {

// A few ranges per thread, so that the uneven cost of the pairs (most are
// rejected at once) still spreads over all threads.
constexpr int RangesPerThread = 4;

} // namespace

PassWorkers::PassWorkers(int threads)
{
    QThreadPool *pool = QThreadPool::globalInstance();
    for (int k = 1; k < threads; ++k) {
        ++m_running;
        if (!pool->tryStart([this] { helperLoop(); })) {
            --m_running;
            break;
        }
        ++m_helpers;
    }
}

PassWorkers::~PassWorkers()
{
    m_stop = true;
    ++m_generation;
    while (m_running.load() > 0)
        std::this_thread::yield();
}

void PassWorkers::forEachRange(std::ptrdiff_t size, const Work &work)
{
    if (m_helpers == 0 || size < 2) {
        work(std::ptrdiff_t(0), size);
        return;
    }
    m_work = &work;
    m_size = size;
    m_rangeCount = qMin(size, std::ptrdiff_t(m_helpers + 1) * RangesPerThread);
    m_nextRange = 0;
    m_finished = 0;
    ++m_generation; // publishes the step to the helpers
    takeRanges();
    // Every helper answers every step, so none can miss the next one.
    while (m_finished.load() < m_helpers)
        std::this_thread::yield();
}

void PassWorkers::helperLoop()
{
    quint64 seen = 0;
    for (;;) {
        quint64 generation = m_generation.load();
        while (generation == seen) {
            std::this_thread::yield();
            generation = m_generation.load();
        }
        seen = generation;
        if (m_stop.load())
            break;
        takeRanges();
        ++m_finished;
    }
    --m_running;
}

void PassWorkers::takeRanges()
{
    for (std::ptrdiff_t k = m_nextRange++; k < m_rangeCount; k = m_nextRange++)
        (*m_work)(m_size * k / m_rangeCount, m_size * (k + 1) / m_rangeCount);
}
