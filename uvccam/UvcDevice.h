// One V4L2 video capture device: what it is, the frame sizes it offers as the
// camera's modes, and its stream, which runs on a capture thread of its own
// and hands each frame on as packed BGR rows.
#pragma once

#include "uvccam/DecodeHelper.h"
#include "uvccam/DecodeLoad.h"
#include "uvccam/UvcFrameConvert.h"
#include "uvccam/UvcSys.h"

#include <linux/videodev2.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace uvccam {

// Result codes in the camera library's own numbering.
constexpr int UVC_OK = 0;
constexpr int UVC_E_UNSPECIFIED = 1;
constexpr int UVC_E_NOT_OPEN = -1;
constexpr int UVC_E_RANGE = -2;
constexpr int UVC_E_MEMORY = -3;
constexpr int UVC_E_ALREADY_OPEN = -4;
constexpr int UVC_E_STREAMING = -7;
constexpr int UVC_E_NOT_ENABLED = -9;
constexpr int UVC_E_USB = -16;
constexpr int UVC_E_BUSY = -17;
constexpr int UVC_E_ACCESS = -18;

// The frame callback's event types.
constexpr int UVC_EVENT_FRAME = 0;
constexpr int UVC_EVENT_DISCONNECTED = 1;

struct UVC_DEVICE_INFO {
    std::string Card;    // the product name
    std::string BusInfo; // where it is plugged in, e.g. usb-0000:00:14.0-1
    std::string Driver;
    uint32_t nVersion = 0; // KERNEL_VERSION form
    // "a.b.c" from nVersion.
    std::string VersionText() const;
};

struct UVC_MODE {
    uint32_t nFourcc = 0; // V4L2_PIX_FMT_MJPEG or V4L2_PIX_FMT_YUYV
    int nWidth = 0;
    int nHeight = 0;
    // The fastest frame interval the device offers at this size.
    uint32_t nIntervalNum = 0;
    uint32_t nIntervalDen = 0;
};

// What the library makes of an errno from the device.
int ResultFromErrno(int nErr);

class CUvcDevice {
public:
    // nEvent UVC_EVENT_FRAME with the BGR frame, or UVC_EVENT_DISCONNECTED.
    using FRAME_SINK = std::function<void(int nEvent, const uint8_t* pData, int nSize)>;

    explicit CUvcDevice(IUvcSys& sys) : m_Sys(sys) {}
    ~CUvcDevice();
    CUvcDevice(const CUvcDevice&) = delete;
    CUvcDevice& operator=(const CUvcDevice&) = delete;

    // Opens the node and checks that it captures video by streaming. A node
    // another program holds gives UVC_E_BUSY, one the user may not open
    // UVC_E_ACCESS.
    int Open(const std::string& path);
    void Close();
    bool IsOpen() const { return m_fd >= 0; }
    int Fd() const { return m_fd; }
    const UVC_DEVICE_INFO& Info() const { return m_Info; }

    // The device's frame sizes, smallest first, each in the format that suits
    // it: MJPEG above 640 x 480 where the device has it (raw frames that
    // large do not fit through USB 2 at a useful rate), YUYV otherwise.
    const std::vector<UVC_MODE>& Modes() const { return m_Modes; }

    // rawSink, when given, sees each good compressed (MJPEG) frame as the
    // device sent it, before its buffer goes back to the device.
    using RAW_SINK = std::function<void(const uint8_t* pData, size_t nSize)>;
    int StartStream(const UVC_MODE& mode, FRAME_SINK sink, RAW_SINK rawSink = nullptr);
    void StopStream();
    // Safe from any thread: the library's callers ask while saving frames.
    bool IsStreaming() const { return m_bRunning.load() && !m_bLost.load(); }
    bool IsLost() const { return m_bLost.load(); }

    int GoodFrames() const { return m_nGood.load(); }
    int BrokenFrames() const { return m_nBroken.load(); }
    // MJPEG frames that take longer to decode than to arrive get a second
    // decoding thread until decoding keeps up again; bAlways gives it for
    // the whole of the next stream on (tests).
    void SetDecodeHelper(bool bAlways) { m_bAlwaysHelper.store(bAlways); }
    bool HasDecodeHelper() const { return m_bHelper.load(); }
    // Mirrors done here for devices without flip controls.
    void SetSoftFlip(bool bHorizontal, bool bVertical)
    {
        m_bFlipH.store(bHorizontal);
        m_bFlipV.store(bVertical);
    }

private:
    struct MAPPED_BUFFER {
        void* p = nullptr;
        size_t nLength = 0;
    };

    void ReadModes();
    void CaptureLoop();
    // Converts nBytes of a buffer into frame; false for a broken one. MJPEG
    // decodes are timed for the decode load, on either decoding thread.
    bool ConvertInto(const uint8_t* p, size_t nBytes, CMjpegDecoder& decoder, std::vector<uint8_t>& frame);
    // Counts the frame of buffer nIndex (its nBytes at p), shows a good one's
    // compressed data to the raw sink, requeues the buffer and hands the
    // frame on; false when the device is gone.
    bool Deliver(uint32_t nIndex, const uint8_t* p, size_t nBytes, bool bGood, const std::vector<uint8_t>& frame);
    // Calls the helper in or lets it go as the decode load says.
    void FitHelper();
    void StartHelper();
    void StopHelper();
    void ReleaseBuffers();
    void Disconnected();

    IUvcSys& m_Sys;
    int m_fd = -1;
    UVC_DEVICE_INFO m_Info;
    std::vector<UVC_MODE> m_Modes;

    UVC_MODE m_Mode;
    uint32_t m_nStride = 0;
    std::vector<MAPPED_BUFFER> m_Buffers;
    std::vector<uint8_t> m_Frame;
    CMjpegDecoder m_Decoder;
    std::unique_ptr<CDecodeHelper> m_pHelper; // the capture thread's alone while it runs
    std::atomic<bool> m_bHelper{false};
    std::atomic<bool> m_bAlwaysHelper{false};
    bool m_bHelperForStream = false;
    CDecodeLoad m_Load;
    FRAME_SINK m_Sink;
    RAW_SINK m_RawSink;
    std::thread m_Thread;
    std::atomic<bool> m_bStop{false};
    std::atomic<bool> m_bRunning{false};
    std::atomic<bool> m_bLost{false};
    std::atomic<int> m_nGood{0};
    std::atomic<int> m_nBroken{0};
    std::atomic<bool> m_bFlipH{false};
    std::atomic<bool> m_bFlipV{false};
};

} // namespace uvccam
