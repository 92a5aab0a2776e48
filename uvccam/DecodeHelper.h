// A second decoding thread for a stream whose frames take longer to decode
// than they take to arrive: it decodes one frame while the capture thread
// decodes the next, and the capture thread hands both on in order.
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

    CDecodeHelper(DECODE decode, size_t nFrameBytes);
    ~CDecodeHelper();
    CDecodeHelper(const CDecodeHelper&) = delete;
    CDecodeHelper& operator=(const CDecodeHelper&) = delete;

    // Starts decoding a frame; the data stays valid until Take returns.
    // Only one frame at a time: call Take before the next Give.
    void Give(const uint8_t* p, size_t nSize);
    // Waits for the frame given last: whether it decoded, and its pixels,
    // valid until the next Give.
    bool Take(const std::vector<uint8_t>*& pFrame);

private:
    void Run();

    DECODE m_Decode;
    CMjpegDecoder m_Decoder;
    std::vector<uint8_t> m_Frame;
    std::mutex m_Mutex;
    std::condition_variable m_Cv;
    const uint8_t* m_pData = nullptr;
    size_t m_nSize = 0;
    bool m_bWork = false; // a frame is given and not yet decoded
    bool m_bOk = false;
    bool m_bQuit = false;
    std::thread m_Thread;
};

} // namespace uvccam
