// A second decoding thread for a stream whose frames take longer to decode
// than they take to arrive: it decodes one frame while the capture thread
// takes and decodes the next, and hands its frame on itself as soon as it is
// decoded. The capture thread gives it a frame only while it is idle and
// hands a frame of its own on only after waiting for it, so frames leave one
// at a time and in the device's order.
#pragma once

#include "uvccam/UvcFrameConvert.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

namespace uvccam {

class CDecodeHelper {
public:
    // Decodes nSize bytes at p into frame with decoder; false for a broken frame.
    using DECODE = std::function<bool(const uint8_t* p, size_t nSize, CMjpegDecoder& decoder,
                                      std::vector<uint8_t>& frame)>;
    // Hands a frame on: the data and tag it was given with, whether it
    // decoded, and its pixels.
    using DELIVER =
        std::function<void(const uint8_t* p, size_t nSize, uint32_t nTag, bool bGood, const std::vector<uint8_t>& frame)>;

    CDecodeHelper(DECODE decode, DELIVER deliver, size_t nFrameBytes);
    // Hands on the frame in hand first.
    ~CDecodeHelper();
    CDecodeHelper(const CDecodeHelper&) = delete;
    CDecodeHelper& operator=(const CDecodeHelper&) = delete;

    // Takes a frame to decode and hand on when idle, false while it still
    // has one; the data stays valid until the frame is handed on.
    bool TryGive(const uint8_t* p, size_t nSize, uint32_t nTag);
    // Returns once the frame in hand, if any, has been handed on.
    void WaitIdle();

private:
    void Run();

    DECODE m_Decode;
    DELIVER m_Deliver;
    CMjpegDecoder m_Decoder;
    std::vector<uint8_t> m_Frame;
    std::mutex m_Mutex;
    std::condition_variable m_Cv;
    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
    uint32_t m_nTag = 0;
    bool m_bWork = false; // a frame is given and not yet handed on
    bool m_bQuit = false;
    std::thread m_Thread;
};

} // namespace uvccam
