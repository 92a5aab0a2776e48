#include "uvccam/DecodeHelper.h"

namespace uvccam {

CDecodeHelper::CDecodeHelper(DECODE decode, DELIVER deliver, size_t nFrameBytes)
    : m_Decode(std::move(decode)), m_Deliver(std::move(deliver)), m_Frame(nFrameBytes, 0),
      m_Thread(&CDecodeHelper::Run, this)
{
}

CDecodeHelper::~CDecodeHelper()
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bQuit = true;
    }
    m_Cv.notify_all();
    m_Thread.join();
}

bool CDecodeHelper::TryGive(const uint8_t* p, size_t nSize, uint32_t nTag)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_bWork) {
            return false;
        }
        m_pData = p;
        m_nSize = nSize;
        m_nTag = nTag;
        m_bWork = true;
    }
    m_Cv.notify_all();
    return true;
}

void CDecodeHelper::WaitIdle()
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    m_Cv.wait(lock, [&] { return !m_bWork; });
}

void CDecodeHelper::Run()
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    for (;;) {
        m_Cv.wait(lock, [&] { return m_bWork || m_bQuit; });
        if (!m_bWork) {
            return;
        }
        const uint8_t* p = m_pData;
        const size_t n = m_nSize;
        const uint32_t nTag = m_nTag;
        lock.unlock();
        const bool bGood = m_Decode(p, n, m_Decoder, m_Frame);
        m_Deliver(p, n, nTag, bGood, m_Frame);
        lock.lock();
        m_bWork = false;
        m_Cv.notify_all();
    }
}

} // namespace uvccam
