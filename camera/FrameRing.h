// The 20 frame slots between the SDK's callback thread and the readers. A
// reader pins a slot before copying and unpins it after; the writer never
// writes a pinned slot (it takes the next free one) and never waits. Each
// slot carries the sequence number of its frame.
//
// The writer takes no lock: it relies on its owner never calling Allocate or
// Free while it may run. Before CCameraCtrl reallocates or frees the ring
// (open, close, mode change) it stops the stream, whose Stop returns only
// after the SDK's frame thread has ended, and disarms its callback, waiting
// out a call that is still running, so no write can overlap the resize.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <functional>
#include <memory>
#include <shared_mutex>

constexpr int FRAME_RING_NUM = 20;

struct FRAME_INFO {
    uint64_t nSequence = 0; // 0: the slot never held a frame
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    size_t nSize = 0;
};

class CFrameRing {
public:
    // (Re)allocates every slot with nSlotSize zero bytes; false when memory is
    // short. Waits for the readers; the writer must already be stopped.
    bool Allocate(size_t nSlotSize, int32_t nWidth, int32_t nHeight);
    void Free();
    size_t SlotSize() const { return m_nSlotSize; }
    bool IsAllocated() const { return m_nSlotSize > 0; }
    bool HoldsPictures(int32_t nWidth, int32_t nHeight) const
    {
        return IsAllocated() && m_nWidth == nWidth && m_nHeight == nHeight;
    }

    // Writer side (one thread): copies a frame into the first free slot from
    // nStart on. Returns the slot, or -1 when the frame is not exactly one
    // picture of the ring's size or every slot is pinned.
    int Write(int nStart, const void* pData, size_t nSize);
    // Reader side: copies slot nSlot (whole) into pDest; false when it is
    // being written, empty, or larger than nDestSize.
    bool Read(int nSlot, void* pDest, size_t nDestSize, FRAME_INFO* pInfo);
    // Hands the pinned slot's bytes to fnUse (which copies them where they
    // are needed); false when the slot is being written or empty.
    bool Use(int nSlot, const std::function<bool(const uint8_t*, const FRAME_INFO&)>& fnUse);
    // Pins the newest frame and hands it to fnUse when its sequence number is
    // above nAfter; false when there is none newer (or fnUse refuses it).
    bool UseNewest(uint64_t nAfter, const std::function<bool(const uint8_t*, const FRAME_INFO&)>& fnUse);
    int LatestSlot() const { return m_nLatest.load(std::memory_order_acquire); }

    // Readers hold this shared while they copy; Allocate and Free take it
    // exclusively, so a slot is never freed under a reader.
    std::shared_mutex& ResizeLock() { return m_ResizeLock; }

private:
    struct FREE_DELETER {
        void operator()(uint8_t* p) const { std::free(p); }
    };
    struct SLOT {
        std::unique_ptr<uint8_t, FREE_DELETER> pBuffer;
        std::atomic<int> nState{0}; // -1 being written, 0 free, n > 0 pinned by n readers
        FRAME_INFO info;
    };
    SLOT m_Slots[FRAME_RING_NUM];
    size_t m_nSlotSize = 0;
    int32_t m_nWidth = 0, m_nHeight = 0;
    uint64_t m_nSequence = 0;
    std::atomic<int> m_nLatest{-1};
    std::shared_mutex m_ResizeLock;
};
