#include "uvccam/DecodeHelper.h"

namespace uvccam {

CDecodeHelper::CDecodeHelper(DECODE decode, size_t nFrameBytes)
    : m_Decode(std::move(decode)), m_Frame(nFrameBytes, 0), m_Thread(&CDecodeHelper::Run, this)
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

void CDecodeHelper::Give(const uint8_t* p, size_t nSize)
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_pData = p;
        m_nSize = nSize;
        m_bWork = true;
    }
    m_Cv.notify_all();
}

bool CDecodeHelper::Take(const std::vector<uint8_t>*& pFrame)
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    m_Cv.wait(lock, [&] { return !m_bWork; });
    pFrame = &m_Frame;
    return m_bOk;
}

void CDecodeHelper::Run()
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    for (;;) {
        m_Cv.wait(lock, [&] { return m_bWork || m_bQuit; });
        if (m_bQuit && !m_bWork) {
            return;
        }
        const uint8_t* p = m_pData;
        const size_t n = m_nSize;
        lock.unlock();
        const bool bOk = m_Decode(p, n, m_Decoder, m_Frame);
        lock.lock();
        m_bOk = bOk;
        m_bWork = false;
        m_Cv.notify_all();
    }
}

} // namespace uvccam
