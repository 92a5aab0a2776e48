#include "workflow/capture/SeriesClock.h"

int64_t CSteadySeriesClock::NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

bool CSteadySeriesClock::WaitUntil(int64_t nDueMs, const std::function<bool()>& fnStop)
{
    using namespace std::chrono;
    const steady_clock::time_point due{duration_cast<steady_clock::duration>(milliseconds(nDueMs))};
    std::unique_lock<std::mutex> lock(m_Mutex);
    // The stop is checked under the mutex that Interrupt takes, so a stop set
    // just before the wait is never missed; spurious wake-ups loop back.
    while (!fnStop()) {
        if (steady_clock::now() >= due) {
            return true;
        }
        m_Wake.wait_until(lock, due);
    }
    return false;
}

void CSteadySeriesClock::Interrupt()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_Wake.notify_all();
}
