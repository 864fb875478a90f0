#pragma once

#include <QtGlobal>

#include <atomic>
#include <cstddef>
#include <functional>

// Pool threads that stay with one relaxation run and share each of its steps
// with the calling thread. A run has some fifteen hundred steps, many of them
// a fraction of a millisecond: waking a pool thread for each would cost a
// good part of the step, so the helpers wait between steps by spinning and
// yielding instead of sleeping.
class PassWorkers
{
public:
    using Work = std::function<void(std::ptrdiff_t begin, std::ptrdiff_t end)>;

    // Borrows up to threads - 1 idle threads of the global pool; none when the
    // pool is busy, and the calling thread then does every step alone.
    explicit PassWorkers(int threads);
    ~PassWorkers();
    Q_DISABLE_COPY(PassWorkers)

    int helperCount() const { return m_helpers; }

    // Calls work over the indexes 0 ... size - 1 cut into ranges, on the
    // calling thread and the helpers; returns when every range is done.
    void forEachRange(std::ptrdiff_t size, const Work &work);

private:
    void helperLoop();
    void takeRanges();

    int m_helpers = 0;
    const Work *m_work = nullptr;
    std::ptrdiff_t m_size = 0;
    std::ptrdiff_t m_rangeCount = 0;
    std::atomic<std::ptrdiff_t> m_nextRange { 0 };
    std::atomic<quint64> m_generation { 0 };
    std::atomic<int> m_finished { 0 };
    std::atomic<int> m_running { 0 };
    std::atomic<bool> m_stop { false };
};
