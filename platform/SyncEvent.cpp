#include "platform/SyncEvent.h"

#include <chrono>
#include <thread>

namespace platform {

void AutoResetEvent::Set()
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bSignalled = true;
    }
    m_Cond.notify_one();
}

void AutoResetEvent::Reset()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bSignalled = false;
}

bool AutoResetEvent::Wait(uint32_t nTimeoutMs)
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (nTimeoutMs == INFINITE_WAIT) {
        m_Cond.wait(lock, [this] { return m_bSignalled; });
    } else if (!m_Cond.wait_for(lock, std::chrono::milliseconds(nTimeoutMs), [this] { return m_bSignalled; })) {
        return false;
    }
    m_bSignalled = false;
    return true;
}

int64_t QueryPerformanceFrequency()
{
    return 1000000000LL; // steady_clock ticks are reported in nanoseconds
}

int64_t QueryPerformanceCounter()
{
    return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

void Sleep(uint32_t nMs)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(nMs));
}

} // namespace platform
