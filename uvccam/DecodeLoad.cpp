#include "uvccam/DecodeLoad.h"

namespace uvccam {

namespace {

// The first decodes pay for setting up: no decision before this many.
constexpr int kSettleDecodes = 8;
// A second thread from this share of the interval on ...
constexpr double kBusyShare = 0.9;
// ... and back to one after this many decodes in a row under this share:
// two seconds at 15 frames a second.
constexpr double kCalmShare = 0.6;
constexpr int kCalmDecodes = 30;

} // namespace

void CDecodeLoad::Reset(double dIntervalMs)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_dIntervalMs = dIntervalMs;
    m_dAverageMs = 0.0;
    m_nTimed = 0;
    m_nCalm = 0;
}

void CDecodeLoad::Add(double dMs)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_dAverageMs = m_nTimed == 0 ? dMs : 0.8 * m_dAverageMs + 0.2 * dMs;
    ++m_nTimed;
    m_nCalm = m_dAverageMs < kCalmShare * m_dIntervalMs ? m_nCalm + 1 : 0;
}

bool CDecodeLoad::WantsHelper(bool bHelperNow) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (m_dIntervalMs <= 0.0) {
        return false;
    }
    if (bHelperNow) {
        return m_nCalm < kCalmDecodes;
    }
    return m_nTimed >= kSettleDecodes && m_dAverageMs > kBusyShare * m_dIntervalMs;
}

} // namespace uvccam
