#include "uvccam/UvcDevice.h"

#include <fcntl.h>
#include <linux/videodev2.h>
#include <sys/mman.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <utility>

namespace uvccam {

namespace {

constexpr uint32_t kBufferCount = 4;
// Raw frames larger than this go as MJPEG where the device can.
constexpr int kRawAreaLimit = 640 * 480;
constexpr int kPollMs = 100;

std::string Text(const uint8_t* p, size_t nCap)
{
    return std::string(reinterpret_cast<const char*>(p), strnlen(reinterpret_cast<const char*>(p), nCap));
}

bool IsSupportedFormat(uint32_t nFourcc)
{
    return nFourcc == V4L2_PIX_FMT_MJPEG || nFourcc == V4L2_PIX_FMT_YUYV;
}

// Interval a/b is shorter than c/d.
bool Faster(uint32_t a, uint32_t b, uint32_t c, uint32_t d)
{
    return uint64_t(a) * d < uint64_t(c) * b;
}

} // namespace

std::string UVC_DEVICE_INFO::VersionText() const
{
    return std::to_string((nVersion >> 16) & 0xff) + "." + std::to_string((nVersion >> 8) & 0xff) + "." +
           std::to_string(nVersion & 0xff);
}

int ResultFromErrno(int nErr)
{
    switch (nErr) {
    case EBUSY: return UVC_E_BUSY;
    case EACCES:
    case EPERM: return UVC_E_ACCESS;
    case ENODEV:
    case ENXIO:
    case EIO:
    case EPIPE:
    case ETIMEDOUT: return UVC_E_USB;
    case ENOMEM: return UVC_E_MEMORY;
    case EINVAL:
    case ERANGE: return UVC_E_RANGE;
    default: return UVC_E_UNSPECIFIED;
    }
}

CUvcDevice::~CUvcDevice()
{
    Close();
}

int CUvcDevice::Open(const std::string& path)
{
    if (m_fd >= 0) {
        return UVC_E_ALREADY_OPEN;
    }
    // Non-blocking: a device that stops sending never blocks a buffer fetch.
    const int fd = m_Sys.Open(path.c_str(), O_RDWR | O_NONBLOCK);
    if (fd < 0) {
        return ResultFromErrno(errno);
    }
    v4l2_capability cap{};
    if (XIoctl(m_Sys, fd, VIDIOC_QUERYCAP, &cap) < 0) {
        const int nErr = errno;
        m_Sys.Close(fd);
        return ResultFromErrno(nErr);
    }
    const uint32_t caps = (cap.capabilities & V4L2_CAP_DEVICE_CAPS) != 0 ? cap.device_caps : cap.capabilities;
    if ((caps & V4L2_CAP_VIDEO_CAPTURE) == 0 || (caps & V4L2_CAP_STREAMING) == 0) {
        // A metadata node or an output device: not a camera we can stream from.
        m_Sys.Close(fd);
        return UVC_E_ACCESS;
    }
    m_fd = fd;
    m_Info.Card = Text(cap.card, sizeof(cap.card));
    m_Info.BusInfo = Text(cap.bus_info, sizeof(cap.bus_info));
    m_Info.Driver = Text(cap.driver, sizeof(cap.driver));
    m_Info.nVersion = cap.version;
    m_bLost.store(false);
    ReadModes();
    return UVC_OK;
}

void CUvcDevice::Close()
{
    StopStream();
    if (m_fd >= 0) {
        m_Sys.Close(m_fd);
        m_fd = -1;
    }
    m_Modes.clear();
}

void CUvcDevice::ReadModes()
{
    // size -> the best format and interval for it
    std::map<std::pair<int, int>, UVC_MODE> bySize;
    for (uint32_t i = 0;; ++i) {
        v4l2_fmtdesc desc{};
        desc.index = i;
        desc.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        if (XIoctl(m_Sys, m_fd, VIDIOC_ENUM_FMT, &desc) < 0) {
            break;
        }
        if (!IsSupportedFormat(desc.pixelformat) || (desc.flags & V4L2_FMT_FLAG_EMULATED) != 0) {
            continue;
        }
        for (uint32_t j = 0;; ++j) {
            v4l2_frmsizeenum size{};
            size.index = j;
            size.pixel_format = desc.pixelformat;
            if (XIoctl(m_Sys, m_fd, VIDIOC_ENUM_FRAMESIZES, &size) < 0) {
                break;
            }
            UVC_MODE mode;
            mode.nFourcc = desc.pixelformat;
            if (size.type == V4L2_FRMSIZE_TYPE_DISCRETE) {
                mode.nWidth = int(size.discrete.width);
                mode.nHeight = int(size.discrete.height);
            } else {
                // Step-wise devices: their largest size is the one mode offered.
                mode.nWidth = int(size.stepwise.max_width);
                mode.nHeight = int(size.stepwise.max_height);
            }
            if (mode.nWidth <= 0 || mode.nHeight <= 0 || mode.nWidth > 16384 || mode.nHeight > 16384 ||
                (mode.nFourcc == V4L2_PIX_FMT_YUYV && mode.nWidth % 2 != 0)) {
                continue;
            }
            for (uint32_t k = 0;; ++k) {
                v4l2_frmivalenum ival{};
                ival.index = k;
                ival.pixel_format = desc.pixelformat;
                ival.width = uint32_t(mode.nWidth);
                ival.height = uint32_t(mode.nHeight);
                if (XIoctl(m_Sys, m_fd, VIDIOC_ENUM_FRAMEINTERVALS, &ival) < 0) {
                    break;
                }
                const v4l2_fract f =
                    ival.type == V4L2_FRMIVAL_TYPE_DISCRETE ? ival.discrete : ival.stepwise.min;
                if (f.numerator != 0 && f.denominator != 0 &&
                    (mode.nIntervalDen == 0 ||
                     Faster(f.numerator, f.denominator, mode.nIntervalNum, mode.nIntervalDen))) {
                    mode.nIntervalNum = f.numerator;
                    mode.nIntervalDen = f.denominator;
                }
                if (ival.type != V4L2_FRMIVAL_TYPE_DISCRETE) {
                    break;
                }
            }
            const auto key = std::make_pair(mode.nWidth, mode.nHeight);
            const auto it = bySize.find(key);
            const bool bLarge = mode.nWidth * mode.nHeight > kRawAreaLimit;
            const uint32_t nPreferred = bLarge ? V4L2_PIX_FMT_MJPEG : V4L2_PIX_FMT_YUYV;
            if (it == bySize.end() || (it->second.nFourcc != nPreferred && mode.nFourcc == nPreferred)) {
                bySize[key] = mode;
            }
            if (size.type != V4L2_FRMSIZE_TYPE_DISCRETE) {
                break;
            }
        }
    }
    m_Modes.clear();
    for (const auto& [key, mode] : bySize) {
        m_Modes.push_back(mode);
    }
    std::stable_sort(m_Modes.begin(), m_Modes.end(), [](const UVC_MODE& a, const UVC_MODE& b) {
        return int64_t(a.nWidth) * a.nHeight < int64_t(b.nWidth) * b.nHeight;
    });
}

int CUvcDevice::StartStream(const UVC_MODE& mode, FRAME_SINK sink, RAW_SINK rawSink)
{
    if (m_fd < 0) {
        return UVC_E_NOT_OPEN;
    }
    if (m_Thread.joinable()) {
        return UVC_E_STREAMING;
    }
    v4l2_format fmt{};
    fmt.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    fmt.fmt.pix.width = uint32_t(mode.nWidth);
    fmt.fmt.pix.height = uint32_t(mode.nHeight);
    fmt.fmt.pix.pixelformat = mode.nFourcc;
    fmt.fmt.pix.field = V4L2_FIELD_NONE;
    if (XIoctl(m_Sys, m_fd, VIDIOC_S_FMT, &fmt) < 0) {
        return ResultFromErrno(errno);
    }
    // The driver answers with what it will really send; anything else than
    // asked would make every frame the wrong size.
    if (fmt.fmt.pix.width != uint32_t(mode.nWidth) || fmt.fmt.pix.height != uint32_t(mode.nHeight) ||
        fmt.fmt.pix.pixelformat != mode.nFourcc) {
        return UVC_E_RANGE;
    }
    m_nStride = mode.nFourcc == V4L2_PIX_FMT_YUYV ? std::max(fmt.fmt.pix.bytesperline, uint32_t(mode.nWidth) * 2) : 0;
    if (mode.nIntervalDen != 0) {
        v4l2_streamparm parm{};
        parm.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        parm.parm.capture.timeperframe.numerator = mode.nIntervalNum;
        parm.parm.capture.timeperframe.denominator = mode.nIntervalDen;
        XIoctl(m_Sys, m_fd, VIDIOC_S_PARM, &parm); // the device's own rate when refused
    }

    v4l2_requestbuffers req{};
    req.count = kBufferCount;
    req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    req.memory = V4L2_MEMORY_MMAP;
    if (XIoctl(m_Sys, m_fd, VIDIOC_REQBUFS, &req) < 0) {
        return ResultFromErrno(errno);
    }
    if (req.count < 2) {
        ReleaseBuffers();
        return UVC_E_MEMORY;
    }
    for (uint32_t i = 0; i < req.count; ++i) {
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        buf.index = i;
        if (XIoctl(m_Sys, m_fd, VIDIOC_QUERYBUF, &buf) < 0) {
            const int nErr = errno;
            ReleaseBuffers();
            return ResultFromErrno(nErr);
        }
        void* p = m_Sys.Mmap(buf.length, PROT_READ | PROT_WRITE, MAP_SHARED, m_fd, off_t(buf.m.offset));
        if (p == MAP_FAILED) {
            ReleaseBuffers();
            return UVC_E_MEMORY;
        }
        m_Buffers.push_back(MAPPED_BUFFER{p, buf.length});
        if (XIoctl(m_Sys, m_fd, VIDIOC_QBUF, &buf) < 0) {
            const int nErr = errno;
            ReleaseBuffers();
            return ResultFromErrno(nErr);
        }
    }
    // The one frame handed on, allocated per stream, never per frame.
    m_Frame.assign(size_t(mode.nWidth) * size_t(mode.nHeight) * 3, 0);
    m_Mode = mode;
    int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    if (XIoctl(m_Sys, m_fd, VIDIOC_STREAMON, &type) < 0) {
        const int nErr = errno;
        ReleaseBuffers();
        return ResultFromErrno(nErr);
    }
    m_Sink = std::move(sink);
    m_RawSink = std::move(rawSink);
    m_nGood.store(0);
    m_nBroken.store(0);
    m_bStop.store(false);
    m_Load.Reset(mode.nIntervalDen != 0 ? 1000.0 * double(mode.nIntervalNum) / double(mode.nIntervalDen) : 0.0);
    m_bHelperForStream = m_bAlwaysHelper.load() && mode.nFourcc == V4L2_PIX_FMT_MJPEG;
    if (m_bHelperForStream) {
        StartHelper();
    }
    m_Thread = std::thread(&CUvcDevice::CaptureLoop, this);
    m_bRunning.store(true);
    return UVC_OK;
}

void CUvcDevice::StopStream()
{
    if (!m_Thread.joinable()) {
        return;
    }
    m_bRunning.store(false);
    m_bStop.store(true);
    m_Thread.join();
    StopHelper();
    if (!m_bLost.load()) {
        int type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        XIoctl(m_Sys, m_fd, VIDIOC_STREAMOFF, &type);
    }
    ReleaseBuffers();
    m_Sink = nullptr;
    m_RawSink = nullptr;
}

void CUvcDevice::ReleaseBuffers()
{
    for (const MAPPED_BUFFER& b : m_Buffers) {
        m_Sys.Munmap(b.p, b.nLength);
    }
    m_Buffers.clear();
    if (!m_bLost.load() && m_fd >= 0) {
        v4l2_requestbuffers req{};
        req.count = 0;
        req.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        req.memory = V4L2_MEMORY_MMAP;
        XIoctl(m_Sys, m_fd, VIDIOC_REQBUFS, &req);
    }
}

void CUvcDevice::Disconnected()
{
    if (!m_bLost.exchange(true) && m_Sink) {
        m_Sink(UVC_EVENT_DISCONNECTED, nullptr, 0);
    }
}

void CUvcDevice::CaptureLoop()
{
    // The helper must be done with a mapped buffer before the buffers go.
    const auto waitForHelper = [&] {
        if (m_pHelper) {
            m_pHelper->WaitIdle();
        }
    };
    const auto lost = [&] {
        waitForHelper();
        Disconnected();
    };
    while (!m_bStop.load() && !m_bLost.load()) {
        pollfd pfd{m_fd, POLLIN, 0};
        const int r = m_Sys.Poll(&pfd, 1, kPollMs);
        if (r < 0) {
            if (errno == EINTR) {
                continue;
            }
            lost();
            return;
        }
        if (r == 0) {
            continue;
        }
        // On an error flag the buffer fetch below tells a pulled cable
        // (ENODEV) from a passing fault.
        v4l2_buffer buf{};
        buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        buf.memory = V4L2_MEMORY_MMAP;
        if (XIoctl(m_Sys, m_fd, VIDIOC_DQBUF, &buf) < 0) {
            if (errno == EAGAIN && (pfd.revents & (POLLERR | POLLHUP | POLLNVAL)) == 0) {
                continue;
            }
            lost();
            return;
        }
        const bool bUsable = buf.index < m_Buffers.size() && (buf.flags & V4L2_BUF_FLAG_ERROR) == 0;
        const MAPPED_BUFFER* pBuffer = buf.index < m_Buffers.size() ? &m_Buffers[buf.index] : nullptr;
        const uint8_t* p = pBuffer != nullptr ? static_cast<const uint8_t*>(pBuffer->p) : nullptr;
        const size_t nBytes = pBuffer != nullptr ? std::min<size_t>(buf.bytesused, pBuffer->nLength) : 0;
        if (m_Mode.nFourcc == V4L2_PIX_FMT_MJPEG) {
            FitHelper();
        }
        // An idle helper takes the frame and hands it on itself.
        if (m_pHelper && bUsable && m_pHelper->TryGive(p, nBytes, buf.index)) {
            continue;
        }
        const bool bGood = bUsable && ConvertInto(p, nBytes, m_Decoder, m_Frame);
        // The helper's earlier frame goes first.
        waitForHelper();
        if (m_bLost.load() || !Deliver(buf.index, p, nBytes, bGood, m_Frame)) {
            return;
        }
    }
    waitForHelper();
}

bool CUvcDevice::Deliver(uint32_t nIndex, const uint8_t* p, size_t nBytes, bool bGood,
                         const std::vector<uint8_t>& frame)
{
    if (bGood) {
        m_nGood.fetch_add(1);
        if (m_RawSink && m_Mode.nFourcc == V4L2_PIX_FMT_MJPEG) {
            m_RawSink(p, nBytes);
        }
    } else {
        m_nBroken.fetch_add(1);
    }
    // Requeued before the frame is handed on so the device can fill it meanwhile.
    v4l2_buffer buf{};
    buf.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    buf.memory = V4L2_MEMORY_MMAP;
    buf.index = nIndex;
    if (XIoctl(m_Sys, m_fd, VIDIOC_QBUF, &buf) < 0) {
        Disconnected();
        return false;
    }
    if (bGood && m_Sink) {
        m_Sink(UVC_EVENT_FRAME, frame.data(), int(frame.size()));
    }
    return true;
}

void CUvcDevice::FitHelper()
{
    const bool bWanted = m_bHelperForStream || m_Load.WantsHelper(m_pHelper != nullptr);
    if (bWanted && !m_pHelper) {
        StartHelper();
    } else if (!bWanted && m_pHelper) {
        StopHelper();
    }
}

void CUvcDevice::StartHelper()
{
    m_pHelper = std::make_unique<CDecodeHelper>(
        [this](const uint8_t* p, size_t n, CMjpegDecoder& decoder, std::vector<uint8_t>& frame) {
            return ConvertInto(p, n, decoder, frame);
        },
        [this](const uint8_t* p, size_t n, uint32_t nIndex, bool bGood, const std::vector<uint8_t>& frame) {
            Deliver(nIndex, p, n, bGood, frame);
        },
        m_Frame.size());
    m_bHelper.store(true);
}

void CUvcDevice::StopHelper()
{
    m_pHelper.reset();
    m_bHelper.store(false);
}

bool CUvcDevice::ConvertInto(const uint8_t* p, size_t nBytes, CMjpegDecoder& decoder, std::vector<uint8_t>& frame)
{
    bool bOk = false;
    if (m_Mode.nFourcc == V4L2_PIX_FMT_YUYV) {
        const size_t nNeeded = size_t(m_nStride) * size_t(m_Mode.nHeight - 1) + size_t(m_Mode.nWidth) * 2;
        bOk = nBytes >= nNeeded;
        if (bOk) {
            YuyvToBgr(p, m_nStride, m_Mode.nWidth, m_Mode.nHeight, frame.data());
        }
    } else {
        const int64_t t0 = m_Sys.MonotonicUs();
        bOk = decoder.Decode(p, nBytes, m_Mode.nWidth, m_Mode.nHeight, frame.data());
        m_Load.Add(double(m_Sys.MonotonicUs() - t0) / 1000.0);
    }
    if (bOk && (m_bFlipH.load() || m_bFlipV.load())) {
        FlipBgr(frame.data(), m_Mode.nWidth, m_Mode.nHeight, m_bFlipH.load(), m_bFlipV.load());
    }
    return bOk;
}

} // namespace uvccam
