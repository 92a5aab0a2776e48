// The clock an interval series keeps time by. Every wait ends at its due
// time or as soon as its stop condition holds; whoever makes a stop
// condition true calls Interrupt afterwards, so no wait sleeps past it.
// Tests replace the clock to run a series of minutes in moments.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>

class ISeriesClock {
public:
    virtual ~ISeriesClock() = default;
    // Milliseconds on a clock that never goes back.
    virtual int64_t NowMs() = 0;
    // Blocks until NowMs() reaches nDueMs (true) or fnStop() holds (false).
    virtual bool WaitUntil(int64_t nDueMs, const std::function<bool()>& fnStop) = 0;
    // Makes every wait look at its stop condition again.
    virtual void Interrupt() = 0;
};

// The steady clock of the system.
class CSteadySeriesClock : public ISeriesClock {
public:
    int64_t NowMs() override;
    bool WaitUntil(int64_t nDueMs, const std::function<bool()>& fnStop) override;
    void Interrupt() override;

private:
    std::mutex m_Mutex;
    std::condition_variable m_Wake;
};
