// Auto-reset event and the performance counter, as the worker threads and the
// frame timer use them.
#pragma once

#include <condition_variable>
#include <cstdint>
#include <mutex>

namespace platform {

constexpr uint32_t INFINITE_WAIT = 0xffffffffu;

// Set wakes exactly one waiter (or the next one to wait) and resets itself.
class AutoResetEvent {
public:
    void Set();
    void Reset();
    // true when signalled, false on time-out.
    bool Wait(uint32_t nTimeoutMs = INFINITE_WAIT);

private:
    std::mutex m_Mutex;
    std::condition_variable m_Cond;
    bool m_bSignalled = false;
};

int64_t QueryPerformanceFrequency();
int64_t QueryPerformanceCounter();
void Sleep(uint32_t nMs);

} // namespace platform
