// A UVC camera for tests, loaded with LD_PRELOAD: opening the node named by
// FAKE_V4L2_NODE gives a device that answers the V4L2 calls a camera library
// makes and sends paced frames (MJPEG at 2592 x 1944 and 1280 x 720, YUYV at
// 640 x 480 and 320 x 240, 30 per second). FAKE_V4L2_UNPLUG_AFTER=n pulls its
// cable after n frames: poll then flags an error and every call fails with
// ENODEV. Every other file goes to the system as usual.
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <unistd.h>

#include <turbojpeg.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdarg>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

template <class F> F Next(const char* pName)
{
    return reinterpret_cast<F>(dlsym(RTLD_NEXT, pName));
}

struct SIZE_ENTRY {
    uint32_t nFourcc;
    uint32_t nWidth, nHeight;
};

const SIZE_ENTRY kSizes[] = {
    {V4L2_PIX_FMT_MJPEG, 2592, 1944},
    {V4L2_PIX_FMT_MJPEG, 1280, 720},
    {V4L2_PIX_FMT_YUYV, 640, 480},
    {V4L2_PIX_FMT_YUYV, 320, 240},
};

struct CONTROL {
    int32_t nMin, nMax, nDefault, nValue;
    uint32_t nType;
};

struct DEVICE {
    std::mutex mutex;
    int fd = -1;
    uint32_t nFourcc = V4L2_PIX_FMT_MJPEG;
    uint32_t nWidth = 2592, nHeight = 1944;
    std::vector<uint8_t> frame; // what each buffer receives
    std::vector<void*> buffers;
    size_t nBufferSize = 0;
    std::deque<uint32_t> queued;
    bool bStreaming = false;
    bool bUnplugged = false;
    long nSent = 0;
    long nUnplugAfter = -1;
    std::chrono::steady_clock::time_point next;
    std::map<uint32_t, CONTROL> controls = {
        {V4L2_CID_BRIGHTNESS, {-64, 64, 0, 0, V4L2_CTRL_TYPE_INTEGER}},
        {V4L2_CID_GAIN, {0, 100, 10, 10, V4L2_CTRL_TYPE_INTEGER}},
        {V4L2_CID_EXPOSURE_ABSOLUTE, {3, 2047, 333, 333, V4L2_CTRL_TYPE_INTEGER}},
        {V4L2_CID_EXPOSURE_AUTO, {0, 3, 3, 3, V4L2_CTRL_TYPE_MENU}},
        {V4L2_CID_WHITE_BALANCE_TEMPERATURE, {2800, 6500, 4600, 4600, V4L2_CTRL_TYPE_INTEGER}},
        {V4L2_CID_AUTO_WHITE_BALANCE, {0, 1, 1, 1, V4L2_CTRL_TYPE_BOOLEAN}},
    };
};

DEVICE& Dev()
{
    static DEVICE dev;
    return dev;
}

bool IsFakePath(const char* pPath)
{
    const char* pNode = std::getenv("FAKE_V4L2_NODE");
    return pPath != nullptr && pNode != nullptr && std::strcmp(pPath, pNode) == 0;
}

// The picture of the current size: a gradient with the brightness control in it.
void MakeFrame(DEVICE& d)
{
    const uint32_t w = d.nWidth, h = d.nHeight;
    const int nBright = d.controls[V4L2_CID_BRIGHTNESS].nValue;
    if (d.nFourcc == V4L2_PIX_FMT_YUYV) {
        d.frame.assign(size_t(w) * h * 2, 0);
        for (uint32_t y = 0; y < h; ++y) {
            for (uint32_t x = 0; x < w; ++x) {
                uint8_t* p = &d.frame[(size_t(y) * w + x) * 2];
                p[0] = uint8_t(std::clamp<int>(16 + int(x * 200 / w) + nBright, 0, 255));
                p[1] = 128;
            }
        }
        return;
    }
    std::vector<uint8_t> bgr(size_t(w) * h * 3);
    for (uint32_t y = 0; y < h; ++y) {
        for (uint32_t x = 0; x < w; ++x) {
            uint8_t* p = &bgr[(size_t(y) * w + x) * 3];
            p[0] = p[1] = p[2] = uint8_t(std::clamp<int>(int(x * 200 / w) + 20 + nBright, 0, 255));
        }
    }
    tjhandle hEnc = tjInitCompress();
    unsigned char* pJpeg = nullptr;
    unsigned long nJpeg = 0;
    tjCompress2(hEnc, bgr.data(), int(w), int(w) * 3, int(h), TJPF_BGR, &pJpeg, &nJpeg, TJSAMP_422, 80, 0);
    d.frame.assign(pJpeg, pJpeg + nJpeg);
    tjFree(pJpeg);
    tjDestroy(hEnc);
}

int Fail(int nErr)
{
    errno = nErr;
    return -1;
}

int DeviceIoctl(DEVICE& d, unsigned long nRequest, void* pArg)
{
    std::lock_guard<std::mutex> lock(d.mutex);
    if (d.bUnplugged) {
        return Fail(ENODEV);
    }
    switch (nRequest) {
    case VIDIOC_QUERYCAP: {
        auto* cap = static_cast<v4l2_capability*>(pArg);
        std::memset(cap, 0, sizeof(*cap));
        std::strcpy(reinterpret_cast<char*>(cap->driver), "uvcvideo");
        std::strcpy(reinterpret_cast<char*>(cap->card), "Fake UVC Camera 5MP");
        std::strcpy(reinterpret_cast<char*>(cap->bus_info), "usb-0000:00:14.0-3");
        cap->version = (6u << 16) | (1u << 8) | 0u;
        cap->device_caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING;
        cap->capabilities = cap->device_caps | V4L2_CAP_DEVICE_CAPS;
        return 0;
    }
    case VIDIOC_ENUM_FMT: {
        auto* f = static_cast<v4l2_fmtdesc*>(pArg);
        if (f->index > 1) {
            return Fail(EINVAL);
        }
        f->pixelformat = f->index == 0 ? V4L2_PIX_FMT_MJPEG : V4L2_PIX_FMT_YUYV;
        f->flags = f->index == 0 ? V4L2_FMT_FLAG_COMPRESSED : 0;
        return 0;
    }
    case VIDIOC_ENUM_FRAMESIZES: {
        auto* s = static_cast<v4l2_frmsizeenum*>(pArg);
        uint32_t n = 0;
        for (const SIZE_ENTRY& e : kSizes) {
            if (e.nFourcc == s->pixel_format && n++ == s->index) {
                s->type = V4L2_FRMSIZE_TYPE_DISCRETE;
                s->discrete.width = e.nWidth;
                s->discrete.height = e.nHeight;
                return 0;
            }
        }
        return Fail(EINVAL);
    }
    case VIDIOC_ENUM_FRAMEINTERVALS: {
        auto* iv = static_cast<v4l2_frmivalenum*>(pArg);
        if (iv->index > 0) {
            return Fail(EINVAL);
        }
        iv->type = V4L2_FRMIVAL_TYPE_DISCRETE;
        iv->discrete = v4l2_fract{1, 30};
        return 0;
    }
    case VIDIOC_S_FMT: {
        auto* f = static_cast<v4l2_format*>(pArg);
        if (d.bStreaming || !d.buffers.empty()) {
            return Fail(EBUSY);
        }
        const SIZE_ENTRY* pFound = nullptr;
        for (const SIZE_ENTRY& e : kSizes) {
            if (e.nFourcc == f->fmt.pix.pixelformat && e.nWidth == f->fmt.pix.width &&
                e.nHeight == f->fmt.pix.height) {
                pFound = &e;
            }
        }
        if (pFound == nullptr) {
            pFound = &kSizes[0]; // drivers answer with what they can do
        }
        d.nFourcc = pFound->nFourcc;
        d.nWidth = pFound->nWidth;
        d.nHeight = pFound->nHeight;
        f->fmt.pix.pixelformat = d.nFourcc;
        f->fmt.pix.width = d.nWidth;
        f->fmt.pix.height = d.nHeight;
        f->fmt.pix.bytesperline = d.nFourcc == V4L2_PIX_FMT_YUYV ? d.nWidth * 2 : 0;
        f->fmt.pix.sizeimage = d.nWidth * d.nHeight * 2;
        d.nBufferSize = f->fmt.pix.sizeimage;
        return 0;
    }
    case VIDIOC_S_PARM: return 0;
    case VIDIOC_REQBUFS: {
        auto* r = static_cast<v4l2_requestbuffers*>(pArg);
        if (r->memory != V4L2_MEMORY_MMAP) {
            return Fail(EINVAL);
        }
        if (r->count == 0) {
            d.buffers.clear();
            d.queued.clear();
            return 0;
        }
        r->count = std::min<uint32_t>(r->count, 8);
        d.buffers.assign(r->count, nullptr);
        d.queued.clear();
        return 0;
    }
    case VIDIOC_QUERYBUF: {
        auto* b = static_cast<v4l2_buffer*>(pArg);
        if (b->index >= d.buffers.size()) {
            return Fail(EINVAL);
        }
        b->length = uint32_t(d.nBufferSize);
        b->m.offset = b->index * 0x1000000u;
        return 0;
    }
    case VIDIOC_QBUF: {
        auto* b = static_cast<v4l2_buffer*>(pArg);
        if (b->index >= d.buffers.size() || d.buffers[b->index] == nullptr) {
            return Fail(EINVAL);
        }
        d.queued.push_back(b->index);
        return 0;
    }
    case VIDIOC_DQBUF: {
        auto* b = static_cast<v4l2_buffer*>(pArg);
        if (!d.bStreaming || d.queued.empty() || std::chrono::steady_clock::now() < d.next) {
            return Fail(EAGAIN);
        }
        const uint32_t i = d.queued.front();
        d.queued.pop_front();
        const size_t n = std::min(d.frame.size(), d.nBufferSize);
        std::memcpy(d.buffers[i], d.frame.data(), n);
        b->index = i;
        b->bytesused = uint32_t(n);
        b->flags = 0;
        d.next += std::chrono::microseconds(33333);
        if (d.nUnplugAfter >= 0 && ++d.nSent >= d.nUnplugAfter) {
            d.bUnplugged = true;
        }
        return 0;
    }
    case VIDIOC_STREAMON:
        MakeFrame(d);
        d.bStreaming = true;
        d.next = std::chrono::steady_clock::now();
        return 0;
    case VIDIOC_STREAMOFF:
        d.bStreaming = false;
        d.queued.clear();
        return 0;
    case VIDIOC_QUERYCTRL: {
        auto* q = static_cast<v4l2_queryctrl*>(pArg);
        const auto it = d.controls.find(q->id);
        if (it == d.controls.end()) {
            return Fail(EINVAL);
        }
        q->minimum = it->second.nMin;
        q->maximum = it->second.nMax;
        q->default_value = it->second.nDefault;
        q->type = it->second.nType;
        q->step = 1;
        q->flags = 0;
        return 0;
    }
    case VIDIOC_QUERYMENU: {
        auto* m = static_cast<v4l2_querymenu*>(pArg);
        return m->id == V4L2_CID_EXPOSURE_AUTO && (m->index == 1 || m->index == 3) ? 0 : Fail(EINVAL);
    }
    case VIDIOC_G_CTRL:
    case VIDIOC_S_CTRL: {
        auto* c = static_cast<v4l2_control*>(pArg);
        const auto it = d.controls.find(c->id);
        if (it == d.controls.end()) {
            return Fail(EINVAL);
        }
        if (nRequest == VIDIOC_G_CTRL) {
            c->value = it->second.nValue;
        } else {
            if (c->value < it->second.nMin || c->value > it->second.nMax) {
                return Fail(ERANGE);
            }
            it->second.nValue = c->value;
        }
        return 0;
    }
    default: return Fail(ENOTTY);
    }
}

int OpenFake()
{
    DEVICE& d = Dev();
    std::lock_guard<std::mutex> lock(d.mutex);
    if (d.fd >= 0) {
        // One program at a time, as a busy camera answers.
        return Fail(EBUSY);
    }
    const char* pAfter = std::getenv("FAKE_V4L2_UNPLUG_AFTER");
    d.nUnplugAfter = pAfter != nullptr ? std::atol(pAfter) : -1;
    d.fd = eventfd(0, EFD_CLOEXEC);
    return d.fd;
}

bool IsFakeFd(int fd)
{
    DEVICE& d = Dev();
    std::lock_guard<std::mutex> lock(d.mutex);
    return fd >= 0 && fd == d.fd;
}

} // namespace

extern "C" {

// The mode argument that open passes only when it creates a file.
#define FAKE_V4L2_MODE_ARG(nFlags, nMode)                                                                              \
    mode_t nMode = 0;                                                                                                  \
    if (((nFlags) & O_CREAT) != 0 || ((nFlags) & O_TMPFILE) == O_TMPFILE) {                                           \
        va_list ap;                                                                                                    \
        va_start(ap, nFlags);                                                                                          \
        nMode = mode_t(va_arg(ap, int));                                                                               \
        va_end(ap);                                                                                                    \
    }

static int OpenOrForward(const char* pRealName, const char* pPath, int nFlags, mode_t nMode)
{
    if (IsFakePath(pPath)) {
        return OpenFake();
    }
    using OPEN_FN = int (*)(const char*, int, ...);
    static auto realOpen = Next<OPEN_FN>("open");
    static auto realOpen64 = Next<OPEN_FN>("open64");
    return (std::strcmp(pRealName, "open64") == 0 ? realOpen64 : realOpen)(pPath, nFlags, nMode);
}

__attribute__((visibility("default"))) int open(const char* pPath, int nFlags, ...)
{
    FAKE_V4L2_MODE_ARG(nFlags, nMode)
    return OpenOrForward("open", pPath, nFlags, nMode);
}

__attribute__((visibility("default"))) int open64(const char* pPath, int nFlags, ...)
{
    FAKE_V4L2_MODE_ARG(nFlags, nMode)
    return OpenOrForward("open64", pPath, nFlags, nMode);
}

__attribute__((visibility("default"))) int close(int fd)
{
    static auto real = Next<int (*)(int)>("close");
    if (IsFakeFd(fd)) {
        DEVICE& d = Dev();
        std::lock_guard<std::mutex> lock(d.mutex);
        d.fd = -1;
        d.bStreaming = false;
    }
    return real(fd);
}

__attribute__((visibility("default"))) int ioctl(int fd, unsigned long nRequest, ...)
{
    va_list ap;
    va_start(ap, nRequest);
    void* pArg = va_arg(ap, void*);
    va_end(ap);
    if (IsFakeFd(fd)) {
        return DeviceIoctl(Dev(), nRequest, pArg);
    }
    static auto real = Next<int (*)(int, unsigned long, ...)>("ioctl");
    return real(fd, nRequest, pArg);
}

__attribute__((visibility("default"))) void* mmap(void* pAddr, size_t nLength, int nProt, int nFlags, int fd,
                                                   off_t nOffset)
{
    if (IsFakeFd(fd)) {
        DEVICE& d = Dev();
        std::lock_guard<std::mutex> lock(d.mutex);
        const size_t i = size_t(nOffset) / 0x1000000u;
        if (d.bUnplugged || i >= d.buffers.size() || nLength != d.nBufferSize) {
            errno = EINVAL;
            return MAP_FAILED;
        }
        // The system's own mmap: ours would take the device lock again.
        static auto realMap = Next<void* (*)(void*, size_t, int, int, int, off_t)>("mmap");
        void* p = realMap(nullptr, nLength, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        d.buffers[i] = p;
        return p;
    }
    static auto real = Next<void* (*)(void*, size_t, int, int, int, off_t)>("mmap");
    return real(pAddr, nLength, nProt, nFlags, fd, nOffset);
}

// The caller fills the array; GCC cannot see that through the interposed symbol.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
__attribute__((visibility("default"))) int poll(pollfd* pFds, nfds_t nCount, int nTimeoutMs)
{
    if (pFds != nullptr && nCount == 1 && IsFakeFd(pFds->fd)) {
        DEVICE& d = Dev();
        const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
        for (;;) {
            {
                std::lock_guard<std::mutex> lock(d.mutex);
                if (d.bUnplugged) {
                    pFds[0].revents = POLLERR | POLLHUP;
                    return 1;
                }
                if (d.bStreaming && !d.queued.empty() && std::chrono::steady_clock::now() >= d.next) {
                    pFds[0].revents = POLLIN;
                    return 1;
                }
            }
            if (std::chrono::steady_clock::now() >= until) {
                pFds[0].revents = 0;
                return 0;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    }
    static auto real = Next<int (*)(pollfd*, nfds_t, int)>("poll");
    return real(pFds, nCount, nTimeoutMs);
}
#pragma GCC diagnostic pop

} // extern "C"

// The test pulls the cable with this, found through the preloaded library.
extern "C" __attribute__((visibility("default"))) void FakeV4l2_Unplug()
{
    DEVICE& d = Dev();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.bUnplugged = true;
}
