#include "camera/FrameRing.h"

#include <cstring>
#include <mutex>

bool CFrameRing::Allocate(size_t nSlotSize, int32_t nWidth, int32_t nHeight)
{
    std::unique_lock<std::shared_mutex> lock(m_ResizeLock);
    for (SLOT& s : m_Slots) {
        s.pBuffer.reset();
        s.info = FRAME_INFO{};
        s.nState.store(0);
    }
    m_nSlotSize = 0;
    m_nLatest = -1;
    if (nSlotSize == 0) {
        return false;
    }
    for (SLOT& s : m_Slots) {
        s.pBuffer.reset(static_cast<uint8_t*>(std::calloc(nSlotSize, 1)));
        if (!s.pBuffer) {
            for (SLOT& t : m_Slots) {
                t.pBuffer.reset();
            }
            return false;
        }
    }
    m_nSlotSize = nSlotSize;
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    return true;
}

void CFrameRing::Free()
{
    Allocate(0, 0, 0);
}

int CFrameRing::Write(int nStart, const void* pData, size_t nSize)
{
    // Exactly one picture: a slot never holds more than it has room for, and a
    // reader can trust width x height x 3 == size.
    if (pData == nullptr || nSize == 0 || nSize != m_nSlotSize || nSize != size_t(m_nWidth) * size_t(m_nHeight) * 3) {
        return -1;
    }
    for (int k = 0; k < FRAME_RING_NUM; ++k) {
        const int i = (nStart + k) % FRAME_RING_NUM;
        SLOT& s = m_Slots[i];
        int expected = 0;
        if (!s.nState.compare_exchange_strong(expected, -1, std::memory_order_acquire)) {
            continue; // pinned by a reader: take the next one
        }
        std::memcpy(s.pBuffer.get(), pData, nSize);
        s.info = FRAME_INFO{++m_nSequence, m_nWidth, m_nHeight, nSize};
        s.nState.store(0, std::memory_order_release);
        m_nLatest.store(i, std::memory_order_release);
        return i;
    }
    return -1;
}

bool CFrameRing::UseNewest(uint64_t nAfter, const std::function<bool(const uint8_t*, const FRAME_INFO&)>& fnUse)
{
    std::shared_lock<std::shared_mutex> lock(m_ResizeLock);
    // The writer takes the slot after the newest, so the newest is being
    // rewritten only when every other slot is pinned; a few tries suffice.
    for (int nTry = 0; nTry < FRAME_RING_NUM; ++nTry) {
        const int nSlot = m_nLatest.load(std::memory_order_acquire);
        if (nSlot < 0) {
            return false;
        }
        SLOT& s = m_Slots[nSlot];
        int state = s.nState.load(std::memory_order_acquire);
        bool bPinned = false;
        while (state >= 0) {
            if (s.nState.compare_exchange_weak(state, state + 1, std::memory_order_acquire)) {
                bPinned = true;
                break;
            }
        }
        if (!bPinned) {
            continue; // being written: the newest moves on
        }
        const bool bOk = s.pBuffer && s.info.nSequence > nAfter && fnUse(s.pBuffer.get(), s.info);
        s.nState.fetch_sub(1, std::memory_order_release);
        return bOk;
    }
    return false;
}

bool CFrameRing::Use(int nSlot, const std::function<bool(const uint8_t*, const FRAME_INFO&)>& fnUse)
{
    if (nSlot < 0 || nSlot >= FRAME_RING_NUM) {
        return false;
    }
    std::shared_lock<std::shared_mutex> lock(m_ResizeLock);
    SLOT& s = m_Slots[nSlot];
    int state = s.nState.load(std::memory_order_acquire);
    do {
        if (state < 0) {
            return false; // being written: a clear failure, never a torn frame
        }
    } while (!s.nState.compare_exchange_weak(state, state + 1, std::memory_order_acquire));
    const bool bOk = s.pBuffer && s.info.nSequence != 0 && fnUse(s.pBuffer.get(), s.info);
    s.nState.fetch_sub(1, std::memory_order_release);
    return bOk;
}

bool CFrameRing::Read(int nSlot, void* pDest, size_t nDestSize, FRAME_INFO* pInfo)
{
    if (pDest == nullptr) {
        return false;
    }
    return Use(nSlot, [&](const uint8_t* pData, const FRAME_INFO& info) {
        if (info.nSize > nDestSize) {
            return false;
        }
        std::memcpy(pDest, pData, info.nSize);
        if (pInfo != nullptr) {
            *pInfo = info;
        }
        return true;
    });
}
