// The frame rate of the status bar: the four frames since the last update
// over the sum of their intervals, updated on every fourth frame. One frame's
// interval alone swings wildly when frames come unevenly (two back to back,
// then a long gap); the sum over four does not.
#pragma once

#include <cmath>
#include <cstdint>

class CFrameRate {
public:
    static constexpr int kFrames = 4;

    void Reset() { *this = CFrameRate(); }
    // One frame and its interval in microseconds; true when the rate to show
    // has changed (to the hundredth), which happens only on every fourth frame.
    bool Add(int nIntervalUs)
    {
        m_nSumUs += nIntervalUs > 0 ? nIntervalUs : 0;
        if (++m_nCount < kFrames) {
            return false;
        }
        const int64_t nSumUs = m_nSumUs;
        m_nCount = 0;
        m_nSumUs = 0;
        // Four frames within one millisecond report 0: the last rate stands.
        if (nSumUs <= 0) {
            return false;
        }
        m_dFps = kFrames * 1000000.0 / double(nSumUs);
        const long nCenti = std::lround(m_dFps * 100.0);
        if (nCenti == m_nShownCenti) {
            return false;
        }
        m_nShownCenti = nCenti;
        return true;
    }
    // The last rate, 0 before the first four frames.
    double Fps() const { return m_dFps; }

private:
    double m_dFps = 0.0;
    int m_nCount = 0;
    int64_t m_nSumUs = 0;
    long m_nShownCenti = -1;
};
