// A UVC camera for tests, loaded with LD_PRELOAD: the node named by
// FAKE_V4L2_NODE is a character device that answers the V4L2 calls as the
// uvcvideo driver does and sends paced frames (MJPEG at 2592 x 1944 and
// 1280 x 720, YUYV at 640 x 480 and 320 x 240, 30 per second). Like the
// driver it may be opened many times, but only the first handle that asks for
// buffers may stream; the others get EBUSY. FakeV4l2_Unplug pulls its cable
// (poll flags an error, every call fails with ENODEV, the node is gone),
// FakeV4l2_Plug puts it back, FakeV4l2_PlugAt into another port. Every other file goes to the system as usual.
#include <dlfcn.h>
#include <fcntl.h>
#include <linux/videodev2.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/mman.h>
#include <sys/select.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
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
#include <set>
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
const uint32_t kFourccs[] = {V4L2_PIX_FMT_MJPEG, V4L2_PIX_FMT_YUYV};

struct CONTROL {
    const char* pName;
    int32_t nMin, nMax, nDefault, nValue;
    uint32_t nType;
};

// Each buffer is a memory file, so the program's mappings and the device's
// own see the same pages, as with a driver's buffers.
struct BUFFER {
    int nMemFd = -1;
    void* pData = nullptr; // the device's mapping
    bool bMapped = false;
    bool bQueued = false;
};

using MMAP_FN = void* (*)(void*, size_t, int, int, int, off_t);
using CLOSE_FN = int (*)(int);

struct DEVICE {
    std::mutex mutex;
    std::map<int, v4l2_priority> fds; // each open handle and its priority
    std::set<int> blocking;           // handles opened without O_NONBLOCK
    std::map<int, std::set<uint32_t>> subscribed; // control events each handle wants
    std::map<int, std::deque<v4l2_event>> events; // and those waiting for it
    uint32_t nEventSequence = 0;
    int nOwner = -1; // the handle whose buffers these are
    uint32_t nFourcc = V4L2_PIX_FMT_MJPEG;
    uint32_t nWidth = 2592, nHeight = 1944;
    std::vector<uint8_t> frame; // what each buffer receives
    std::vector<BUFFER> buffers;
    std::deque<uint32_t> queued;
    uint32_t nSequence = 0;
    bool bStreaming = false;
    bool bUnplugged = false;
    std::chrono::steady_clock::time_point next;
    std::map<uint32_t, CONTROL> controls = {
        {V4L2_CID_USER_CLASS, {"User Controls", 0, 0, 0, 0, V4L2_CTRL_TYPE_CTRL_CLASS}},
        {V4L2_CID_CAMERA_CLASS, {"Camera Controls", 0, 0, 0, 0, V4L2_CTRL_TYPE_CTRL_CLASS}},
        {V4L2_CID_BRIGHTNESS, {"Brightness", -64, 64, 0, 0, V4L2_CTRL_TYPE_INTEGER}},
        {V4L2_CID_AUTO_WHITE_BALANCE, {"White Balance, Automatic", 0, 1, 1, 1, V4L2_CTRL_TYPE_BOOLEAN}},
        {V4L2_CID_GAIN, {"Gain", 0, 100, 10, 10, V4L2_CTRL_TYPE_INTEGER}},
        {V4L2_CID_WHITE_BALANCE_TEMPERATURE,
         {"White Balance Temperature", 2800, 6500, 4600, 4600, V4L2_CTRL_TYPE_INTEGER}},
        {V4L2_CID_EXPOSURE_AUTO, {"Auto Exposure", 0, 3, 3, 3, V4L2_CTRL_TYPE_MENU}},
        {V4L2_CID_EXPOSURE_ABSOLUTE, {"Exposure Time, Absolute", 3, 2047, 333, 333, V4L2_CTRL_TYPE_INTEGER}},
    };
};

DEVICE& Dev()
{
    static DEVICE dev;
    return dev;
}

// Where the camera is plugged in: FAKE_V4L2_NODE, until FakeV4l2_PlugAt.
std::string& NodePath()
{
    static std::string path = std::getenv("FAKE_V4L2_NODE") != nullptr ? std::getenv("FAKE_V4L2_NODE") : "";
    return path;
}

// While unplugged there is no node.
bool IsFakePath(const char* pPath)
{
    DEVICE& d = Dev();
    std::lock_guard<std::mutex> lock(d.mutex);
    return pPath != nullptr && !d.bUnplugged && !NodePath().empty() && NodePath() == pPath;
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

// The size of this format closest to the one asked for, as drivers answer.
const SIZE_ENTRY& Nearest(uint32_t nFourcc, uint32_t w, uint32_t h)
{
    if (std::find(std::begin(kFourccs), std::end(kFourccs), nFourcc) == std::end(kFourccs)) {
        nFourcc = kFourccs[0];
    }
    const SIZE_ENTRY* pBest = nullptr;
    int64_t nBest = 0;
    for (const SIZE_ENTRY& e : kSizes) {
        const int64_t n = std::llabs(int64_t(e.nWidth) - w) + std::llabs(int64_t(e.nHeight) - h);
        if (e.nFourcc == nFourcc && (pBest == nullptr || n < nBest)) {
            pBest = &e;
            nBest = n;
        }
    }
    return *pBest;
}

void FillPix(v4l2_pix_format& pix, const SIZE_ENTRY& e)
{
    std::memset(&pix, 0, sizeof(pix));
    pix.width = e.nWidth;
    pix.height = e.nHeight;
    pix.pixelformat = e.nFourcc;
    pix.field = V4L2_FIELD_NONE;
    pix.bytesperline = e.nFourcc == V4L2_PIX_FMT_YUYV ? e.nWidth * 2 : 0;
    pix.sizeimage = e.nWidth * e.nHeight * 2;
    pix.colorspace = V4L2_COLORSPACE_SRGB;
    pix.priv = V4L2_PIX_FMT_PRIV_MAGIC;
}

size_t BufferSize(const DEVICE& d)
{
    return size_t(d.nWidth) * d.nHeight * 2;
}

bool AllocBuffers(DEVICE& d, uint32_t nCount)
{
    static auto realMap = Next<MMAP_FN>("mmap");
    d.buffers.assign(nCount, BUFFER{});
    for (BUFFER& b : d.buffers) {
        b.nMemFd = memfd_create("fake-v4l2-buffer", MFD_CLOEXEC);
        if (b.nMemFd < 0 || ftruncate(b.nMemFd, off_t(BufferSize(d))) != 0) {
            return false;
        }
        b.pData = realMap(nullptr, BufferSize(d), PROT_READ | PROT_WRITE, MAP_SHARED, b.nMemFd, 0);
        if (b.pData == MAP_FAILED) {
            b.pData = nullptr;
            return false;
        }
    }
    return true;
}

void FillBuffer(const DEVICE& d, v4l2_buffer& b, uint32_t i)
{
    b.type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
    b.memory = V4L2_MEMORY_MMAP;
    b.index = i;
    b.length = uint32_t(BufferSize(d));
    b.m.offset = i * 0x1000000u;
    b.field = V4L2_FIELD_NONE;
    b.flags = V4L2_BUF_FLAG_TIMESTAMP_MONOTONIC | V4L2_BUF_FLAG_TSTAMP_SRC_SOE;
    if (d.buffers[i].bMapped) {
        b.flags |= V4L2_BUF_FLAG_MAPPED;
    }
    if (d.buffers[i].bQueued) {
        b.flags |= V4L2_BUF_FLAG_QUEUED;
    }
}

void FreeBuffers(DEVICE& d)
{
    static auto realClose = Next<CLOSE_FN>("close");
    for (BUFFER& b : d.buffers) {
        if (b.pData != nullptr) {
            munmap(b.pData, BufferSize(d));
        }
        if (b.nMemFd >= 0) {
            realClose(b.nMemFd);
        }
    }
    d.bStreaming = false;
    d.buffers.clear();
    d.queued.clear();
    d.nOwner = -1;
}

// Only the handle that holds the buffers may change the format or stream.
bool MayOwn(const DEVICE& d, int fd)
{
    return d.nOwner < 0 || d.nOwner == fd;
}

v4l2_priority TopPriority(const DEVICE& d)
{
    v4l2_priority n = V4L2_PRIORITY_UNSET;
    for (const auto& [fd, prio] : d.fds) {
        n = std::max(n, prio);
    }
    return n;
}

// Setting calls from a handle below another's recording priority are refused.
bool IsSetting(unsigned long nRequest)
{
    switch (nRequest) {
    case VIDIOC_S_INPUT:
    case VIDIOC_S_FMT:
    case VIDIOC_S_PARM:
    case VIDIOC_REQBUFS:
    case VIDIOC_STREAMON:
    case VIDIOC_STREAMOFF:
    case VIDIOC_S_CTRL:
    case VIDIOC_S_EXT_CTRLS: return true;
    default: return false;
    }
}

const CONTROL* FindControl(const DEVICE& d, uint32_t nId, bool bNext)
{
    const auto it = bNext ? d.controls.upper_bound(nId & ~(V4L2_CTRL_FLAG_NEXT_CTRL | V4L2_CTRL_FLAG_NEXT_COMPOUND))
                          : d.controls.find(nId);
    return it == d.controls.end() ? nullptr : &it->second;
}

uint32_t IdOf(const DEVICE& d, const CONTROL* p)
{
    for (const auto& [id, c] : d.controls) {
        if (&c == p) {
            return id;
        }
    }
    return 0;
}

// The fields both control queries share (the next control with NEXT_CTRL).
template <class QUERY> int QueryControl(const DEVICE& d, QUERY& q)
{
    const CONTROL* p = FindControl(d, q.id, (q.id & V4L2_CTRL_FLAG_NEXT_CTRL) != 0);
    if (p == nullptr) {
        return Fail(EINVAL);
    }
    std::memset(&q, 0, sizeof(q));
    q.id = IdOf(d, p);
    std::strcpy(reinterpret_cast<char*>(q.name), p->pName);
    q.minimum = p->nMin;
    q.maximum = p->nMax;
    q.default_value = p->nDefault;
    q.type = p->nType;
    const bool bClass = p->nType == V4L2_CTRL_TYPE_CTRL_CLASS;
    q.step = bClass ? 0 : 1;
    q.flags = bClass ? V4L2_CTRL_FLAG_READ_ONLY | V4L2_CTRL_FLAG_WRITE_ONLY : 0;
    return 0;
}

// A value out of range is refused; so is a menu item the device lacks.
int CheckValue(const CONTROL& c, int32_t nValue)
{
    if (c.nType == V4L2_CTRL_TYPE_CTRL_CLASS) {
        return EACCES;
    }
    if (nValue < c.nMin || nValue > c.nMax) {
        return ERANGE;
    }
    return c.nType == V4L2_CTRL_TYPE_MENU && nValue != 1 && nValue != 3 ? EINVAL : 0;
}

void QueueControlEvent(DEVICE& d, int fd, uint32_t nId)
{
    const CONTROL& c = d.controls[nId];
    v4l2_event ev{};
    ev.type = V4L2_EVENT_CTRL;
    ev.id = nId;
    ev.u.ctrl.changes = V4L2_EVENT_CTRL_CH_VALUE;
    ev.u.ctrl.type = c.nType;
    ev.u.ctrl.value = c.nValue;
    ev.u.ctrl.minimum = c.nMin;
    ev.u.ctrl.maximum = c.nMax;
    ev.u.ctrl.step = 1;
    ev.u.ctrl.default_value = c.nDefault;
    ev.sequence = d.nEventSequence++;
    clock_gettime(CLOCK_MONOTONIC, &ev.timestamp);
    d.events[fd].push_back(ev);
}

// A changed value is told to every other handle that asked to hear of it.
void SetControl(DEVICE& d, int fdSetter, uint32_t nId, int32_t nValue)
{
    d.controls[nId].nValue = nValue;
    for (const auto& [fd, ids] : d.subscribed) {
        if (fd != fdSetter && ids.count(nId) != 0) {
            QueueControlEvent(d, fd, nId);
        }
    }
}

int ExtControls(DEVICE& d, int fd, unsigned long nRequest, v4l2_ext_controls& e)
{
    if (e.which != V4L2_CTRL_WHICH_CUR_VAL && e.which != V4L2_CTRL_WHICH_DEF_VAL &&
        e.which != V4L2_CTRL_CLASS_USER && e.which != V4L2_CTRL_CLASS_CAMERA) {
        return Fail(EINVAL);
    }
    if (e.which == V4L2_CTRL_WHICH_DEF_VAL && nRequest != VIDIOC_G_EXT_CTRLS) {
        return Fail(EINVAL);
    }
    if (e.count > 0 && e.controls == nullptr) {
        return Fail(EFAULT);
    }
    std::memset(e.reserved, 0, sizeof(e.reserved));
    // All are checked before any is read or written.
    for (uint32_t i = 0; i < e.count; ++i) {
        const CONTROL* p = FindControl(d, e.controls[i].id, false);
        const bool bClass = (e.which == V4L2_CTRL_CLASS_USER || e.which == V4L2_CTRL_CLASS_CAMERA) &&
                            V4L2_CTRL_ID2WHICH(e.controls[i].id) != e.which;
        if (p == nullptr || bClass) {
            e.error_idx = nRequest == VIDIOC_TRY_EXT_CTRLS ? i : e.count;
            return Fail(EINVAL);
        }
        const int nErr = nRequest != VIDIOC_G_EXT_CTRLS ? CheckValue(*p, e.controls[i].value)
                         : p->nType == V4L2_CTRL_TYPE_CTRL_CLASS ? EACCES
                                                                 : 0;
        if (nErr != 0) {
            // Reading or setting fails as a whole, pointing at none; trying names the control.
            e.error_idx = nRequest == VIDIOC_TRY_EXT_CTRLS ? i : e.count;
            return Fail(nErr);
        }
    }
    for (uint32_t i = 0; i < e.count; ++i) {
        CONTROL& c = d.controls[e.controls[i].id];
        if (nRequest == VIDIOC_G_EXT_CTRLS) {
            e.controls[i].value = e.which == V4L2_CTRL_WHICH_DEF_VAL ? c.nDefault : c.nValue;
        } else if (nRequest == VIDIOC_S_EXT_CTRLS) {
            SetControl(d, fd, e.controls[i].id, e.controls[i].value);
        }
    }
    return 0;
}

int DeviceIoctl(DEVICE& d, int fd, unsigned long nRequest, void* pArg)
{
    std::unique_lock<std::mutex> lock(d.mutex);
    if (d.bUnplugged) {
        return Fail(ENODEV);
    }
    // What the driver answers; anything else is not a call it knows.
    static const std::set<unsigned long> kKnown = {
        VIDIOC_QUERYCAP, VIDIOC_ENUM_FMT, VIDIOC_ENUM_FRAMESIZES, VIDIOC_ENUM_FRAMEINTERVALS, VIDIOC_ENUMINPUT,
        VIDIOC_G_INPUT, VIDIOC_S_INPUT, VIDIOC_G_FMT, VIDIOC_TRY_FMT, VIDIOC_S_FMT, VIDIOC_G_PARM, VIDIOC_S_PARM,
        VIDIOC_REQBUFS, VIDIOC_QUERYBUF, VIDIOC_QBUF, VIDIOC_DQBUF, VIDIOC_STREAMON, VIDIOC_STREAMOFF,
        VIDIOC_QUERYCTRL, VIDIOC_QUERY_EXT_CTRL, VIDIOC_QUERYMENU, VIDIOC_G_CTRL, VIDIOC_S_CTRL, VIDIOC_G_EXT_CTRLS,
        VIDIOC_S_EXT_CTRLS, VIDIOC_TRY_EXT_CTRLS, VIDIOC_G_PRIORITY, VIDIOC_S_PRIORITY, VIDIOC_SUBSCRIBE_EVENT,
        VIDIOC_UNSUBSCRIBE_EVENT, VIDIOC_DQEVENT};
    if (kKnown.count(nRequest) == 0) {
        return Fail(ENOTTY);
    }
    if (pArg == nullptr) {
        return Fail(EFAULT);
    }
    if (IsSetting(nRequest) && d.fds[fd] < TopPriority(d)) {
        return Fail(EBUSY);
    }
    switch (nRequest) {
    case VIDIOC_QUERYCAP: {
        auto* cap = static_cast<v4l2_capability*>(pArg);
        std::memset(cap, 0, sizeof(*cap));
        std::strcpy(reinterpret_cast<char*>(cap->driver), "uvcvideo");
        std::strcpy(reinterpret_cast<char*>(cap->card), "Fake UVC Camera 5MP");
        std::strcpy(reinterpret_cast<char*>(cap->bus_info), "usb-0000:00:14.0-3");
        cap->version = (6u << 16) | (1u << 8) | 0u;
        cap->device_caps = V4L2_CAP_VIDEO_CAPTURE | V4L2_CAP_STREAMING | V4L2_CAP_EXT_PIX_FORMAT;
        cap->capabilities = cap->device_caps | V4L2_CAP_DEVICE_CAPS;
        return 0;
    }
    case VIDIOC_ENUM_FMT: {
        auto* f = static_cast<v4l2_fmtdesc*>(pArg);
        if (f->type != V4L2_BUF_TYPE_VIDEO_CAPTURE || f->index >= std::size(kFourccs)) {
            return Fail(EINVAL);
        }
        const uint32_t i = f->index;
        std::memset(f, 0, sizeof(*f));
        f->index = i;
        f->type = V4L2_BUF_TYPE_VIDEO_CAPTURE;
        f->pixelformat = kFourccs[i];
        f->flags = i == 0 ? V4L2_FMT_FLAG_COMPRESSED : 0;
        std::strcpy(reinterpret_cast<char*>(f->description), i == 0 ? "Motion-JPEG" : "YUYV 4:2:2");
        return 0;
    }
    case VIDIOC_ENUM_FRAMESIZES: {
        auto* s = static_cast<v4l2_frmsizeenum*>(pArg);
        uint32_t n = 0;
        for (const SIZE_ENTRY& e : kSizes) {
            if (e.nFourcc == s->pixel_format && n++ == s->index) {
                std::memset(s->reserved, 0, sizeof(s->reserved));
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
        const bool bSize = std::any_of(std::begin(kSizes), std::end(kSizes), [&](const SIZE_ENTRY& e) {
            return e.nFourcc == iv->pixel_format && e.nWidth == iv->width && e.nHeight == iv->height;
        });
        if (iv->index > 0 || !bSize) {
            return Fail(EINVAL);
        }
        std::memset(iv->reserved, 0, sizeof(iv->reserved));
        iv->type = V4L2_FRMIVAL_TYPE_DISCRETE;
        iv->discrete = v4l2_fract{1, 30};
        return 0;
    }
    case VIDIOC_ENUMINPUT: {
        auto* in = static_cast<v4l2_input*>(pArg);
        if (in->index != 0) {
            return Fail(EINVAL);
        }
        std::memset(in, 0, sizeof(*in));
        std::strcpy(reinterpret_cast<char*>(in->name), "Camera 1");
        in->type = V4L2_INPUT_TYPE_CAMERA;
        return 0;
    }
    case VIDIOC_G_INPUT: *static_cast<int*>(pArg) = 0; return 0;
    case VIDIOC_S_INPUT: return *static_cast<int*>(pArg) == 0 ? 0 : Fail(EINVAL);
    case VIDIOC_G_FMT:
    case VIDIOC_TRY_FMT:
    case VIDIOC_S_FMT: {
        auto* f = static_cast<v4l2_format*>(pArg);
        if (f->type != V4L2_BUF_TYPE_VIDEO_CAPTURE) {
            return Fail(EINVAL);
        }
        if (nRequest == VIDIOC_G_FMT) {
            FillPix(f->fmt.pix, Nearest(d.nFourcc, d.nWidth, d.nHeight));
            return 0;
        }
        const SIZE_ENTRY& e = Nearest(f->fmt.pix.pixelformat, f->fmt.pix.width, f->fmt.pix.height);
        if (nRequest == VIDIOC_S_FMT) {
            if (d.bStreaming || !MayOwn(d, fd) || !d.buffers.empty()) {
                return Fail(EBUSY);
            }
            d.nFourcc = e.nFourcc;
            d.nWidth = e.nWidth;
            d.nHeight = e.nHeight;
        }
        FillPix(f->fmt.pix, e);
        return 0;
    }
    case VIDIOC_G_PARM:
    case VIDIOC_S_PARM: {
        auto* p = static_cast<v4l2_streamparm*>(pArg);
        if (p->type != V4L2_BUF_TYPE_VIDEO_CAPTURE) {
            return Fail(EINVAL);
        }
        if (nRequest == VIDIOC_S_PARM && (d.bStreaming || !MayOwn(d, fd))) {
            return Fail(EBUSY);
        }
        std::memset(&p->parm, 0, sizeof(p->parm));
        p->parm.capture.capability = V4L2_CAP_TIMEPERFRAME;
        p->parm.capture.timeperframe = v4l2_fract{1, 30};
        return 0;
    }
    case VIDIOC_REQBUFS: {
        auto* r = static_cast<v4l2_requestbuffers*>(pArg);
        if (r->type != V4L2_BUF_TYPE_VIDEO_CAPTURE || r->memory != V4L2_MEMORY_MMAP) {
            return Fail(EINVAL);
        }
        if (!MayOwn(d, fd)) {
            return Fail(EBUSY);
        }
        std::memset(r->reserved, 0, sizeof(r->reserved));
        r->capabilities = V4L2_BUF_CAP_SUPPORTS_MMAP;
        r->flags = 0;
        FreeBuffers(d);
        if (r->count > 0) {
            r->count = std::clamp<uint32_t>(r->count, 2, 8);
            if (!AllocBuffers(d, r->count)) {
                FreeBuffers(d);
                return Fail(ENOMEM);
            }
            d.nOwner = fd;
        }
        return 0;
    }
    case VIDIOC_QUERYBUF: {
        auto* b = static_cast<v4l2_buffer*>(pArg);
        if (b->type != V4L2_BUF_TYPE_VIDEO_CAPTURE || b->index >= d.buffers.size()) {
            return Fail(EINVAL);
        }
        FillBuffer(d, *b, b->index);
        return 0;
    }
    case VIDIOC_QBUF: {
        auto* b = static_cast<v4l2_buffer*>(pArg);
        if (d.nOwner != fd) {
            return Fail(EBUSY);
        }
        if (b->type != V4L2_BUF_TYPE_VIDEO_CAPTURE || b->memory != V4L2_MEMORY_MMAP ||
            b->index >= d.buffers.size() || d.buffers[b->index].bQueued) {
            return Fail(EINVAL);
        }
        d.buffers[b->index].bQueued = true;
        d.queued.push_back(b->index);
        FillBuffer(d, *b, b->index);
        return 0;
    }
    case VIDIOC_DQBUF: {
        auto* b = static_cast<v4l2_buffer*>(pArg);
        if (d.nOwner != fd) {
            return Fail(EBUSY);
        }
        // A blocking handle waits for the frame (or the end of the stream).
        while (d.blocking.count(fd) != 0 && d.bStreaming && !d.bUnplugged &&
               (d.queued.empty() || std::chrono::steady_clock::now() < d.next)) {
            lock.unlock();
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
            lock.lock();
        }
        if (d.bUnplugged) {
            return Fail(ENODEV);
        }
        if (!d.bStreaming || d.queued.empty() || std::chrono::steady_clock::now() < d.next) {
            return Fail(d.blocking.count(fd) != 0 && d.bStreaming ? EINVAL : EAGAIN);
        }
        const uint32_t i = d.queued.front();
        d.queued.pop_front();
        d.buffers[i].bQueued = false;
        const size_t n = std::min(d.frame.size(), BufferSize(d));
        std::memcpy(d.buffers[i].pData, d.frame.data(), n);
        FillBuffer(d, *b, i);
        b->bytesused = uint32_t(n);
        b->sequence = d.nSequence++;
        timespec now{};
        clock_gettime(CLOCK_MONOTONIC, &now);
        b->timestamp = timeval{now.tv_sec, now.tv_nsec / 1000};
        d.next += std::chrono::microseconds(33333);
        return 0;
    }
    case VIDIOC_STREAMON:
    case VIDIOC_STREAMOFF:
        if (*static_cast<int*>(pArg) != V4L2_BUF_TYPE_VIDEO_CAPTURE) {
            return Fail(EINVAL);
        }
        if (d.nOwner != fd) {
            // No buffers: nothing to start, nothing to stop. Another's: not ours.
            return d.nOwner < 0 ? (nRequest == VIDIOC_STREAMON ? Fail(EINVAL) : 0) : Fail(EBUSY);
        }
        if (nRequest == VIDIOC_STREAMON) {
            MakeFrame(d);
            d.bStreaming = true;
            d.nSequence = 0;
            d.next = std::chrono::steady_clock::now();
        } else {
            d.bStreaming = false;
            d.queued.clear();
            for (BUFFER& b : d.buffers) {
                b.bQueued = false;
            }
        }
        return 0;
    case VIDIOC_G_PRIORITY: *static_cast<v4l2_priority*>(pArg) = TopPriority(d); return 0;
    case VIDIOC_S_PRIORITY: {
        const v4l2_priority n = *static_cast<v4l2_priority*>(pArg);
        if (n > V4L2_PRIORITY_RECORD) {
            return Fail(EINVAL);
        }
        if (d.fds[fd] < V4L2_PRIORITY_RECORD && TopPriority(d) == V4L2_PRIORITY_RECORD) {
            return Fail(EBUSY);
        }
        d.fds[fd] = n == V4L2_PRIORITY_UNSET ? V4L2_PRIORITY_DEFAULT : n;
        return 0;
    }
    case VIDIOC_QUERYCTRL: return QueryControl(d, *static_cast<v4l2_queryctrl*>(pArg));
    case VIDIOC_QUERY_EXT_CTRL: {
        auto* q = static_cast<v4l2_query_ext_ctrl*>(pArg);
        if (QueryControl(d, *q) != 0) {
            return -1;
        }
        q->elem_size = sizeof(int32_t);
        q->elems = 1;
        return 0;
    }
    case VIDIOC_G_EXT_CTRLS:
    case VIDIOC_S_EXT_CTRLS:
    case VIDIOC_TRY_EXT_CTRLS: return ExtControls(d, fd, nRequest, *static_cast<v4l2_ext_controls*>(pArg));
    case VIDIOC_SUBSCRIBE_EVENT:
    case VIDIOC_UNSUBSCRIBE_EVENT: {
        const auto* sub = static_cast<v4l2_event_subscription*>(pArg);
        if (nRequest == VIDIOC_UNSUBSCRIBE_EVENT) {
            if (sub->type == V4L2_EVENT_ALL) {
                d.subscribed.erase(fd);
            } else {
                d.subscribed[fd].erase(sub->id);
            }
            return 0;
        }
        const CONTROL* p = FindControl(d, sub->id, false);
        if (sub->type != V4L2_EVENT_CTRL || p == nullptr) {
            return Fail(EINVAL);
        }
        d.subscribed[fd].insert(sub->id);
        // A control class has no value to tell.
        if ((sub->flags & V4L2_EVENT_SUB_FL_SEND_INITIAL) != 0 && p->nType != V4L2_CTRL_TYPE_CTRL_CLASS) {
            QueueControlEvent(d, fd, sub->id);
        }
        return 0;
    }
    case VIDIOC_DQEVENT: {
        std::deque<v4l2_event>& q = d.events[fd];
        if (q.empty()) {
            return Fail(ENOENT);
        }
        auto* ev = static_cast<v4l2_event*>(pArg);
        *ev = q.front();
        q.pop_front();
        ev->pending = uint32_t(q.size());
        return 0;
    }
    case VIDIOC_QUERYMENU: {
        auto* m = static_cast<v4l2_querymenu*>(pArg);
        if (m->id != V4L2_CID_EXPOSURE_AUTO || (m->index != 1 && m->index != 3)) {
            return Fail(EINVAL);
        }
        const uint32_t i = m->index;
        std::memset(m, 0, sizeof(*m));
        m->id = V4L2_CID_EXPOSURE_AUTO;
        m->index = i;
        std::strcpy(reinterpret_cast<char*>(m->name), i == 1 ? "Manual Mode" : "Aperture Priority Mode");
        return 0;
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
            return it->second.nType == V4L2_CTRL_TYPE_CTRL_CLASS ? Fail(EACCES) : 0;
        }
        if (const int nErr = CheckValue(it->second, c->value); nErr != 0) {
            return Fail(nErr);
        }
        SetControl(d, fd, c->id, c->value);
        return 0;
    }
    }
    return Fail(ENOTTY);
}

int OpenFake(int nFlags)
{
    DEVICE& d = Dev();
    std::lock_guard<std::mutex> lock(d.mutex);
    if (d.bUnplugged) {
        return Fail(ENOENT);
    }
    const int fd = eventfd(0, EFD_CLOEXEC);
    if (fd >= 0) {
        d.fds[fd] = V4L2_PRIORITY_DEFAULT;
        if ((nFlags & O_NONBLOCK) == 0) {
            d.blocking.insert(fd);
        }
    }
    return fd;
}

bool IsFakeFd(int fd)
{
    DEVICE& d = Dev();
    std::lock_guard<std::mutex> lock(d.mutex);
    return d.fds.count(fd) != 0;
}

void FakeStat(struct stat* p)
{
    std::memset(p, 0, sizeof(*p));
    p->st_mode = S_IFCHR | 0660;
    p->st_rdev = makedev(81, 99);
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
        return OpenFake(nFlags);
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

// What fortified builds call for open(path, flags).
__attribute__((visibility("default"))) int __open_2(const char* pPath, int nFlags)
{
    return OpenOrForward("open", pPath, nFlags, 0);
}

__attribute__((visibility("default"))) int __open64_2(const char* pPath, int nFlags)
{
    return OpenOrForward("open64", pPath, nFlags, 0);
}

// Tools look at the node before they open it.
__attribute__((visibility("default"))) int stat(const char* pPath, struct stat* p)
{
    if (IsFakePath(pPath)) {
        FakeStat(p);
        return 0;
    }
    static auto real = Next<int (*)(const char*, struct stat*)>("stat");
    return real(pPath, p);
}

__attribute__((visibility("default"))) int fstat(int fd, struct stat* p)
{
    if (IsFakeFd(fd)) {
        FakeStat(p);
        return 0;
    }
    static auto real = Next<int (*)(int, struct stat*)>("fstat");
    return real(fd, p);
}

__attribute__((visibility("default"))) int close(int fd)
{
    static auto real = Next<int (*)(int)>("close");
    if (IsFakeFd(fd)) {
        DEVICE& d = Dev();
        std::lock_guard<std::mutex> lock(d.mutex);
        d.fds.erase(fd);
        d.blocking.erase(fd);
        d.subscribed.erase(fd);
        d.events.erase(fd);
        if (d.nOwner == fd) {
            FreeBuffers(d);
        }
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
        return DeviceIoctl(Dev(), fd, nRequest, pArg);
    }
    static auto real = Next<int (*)(int, unsigned long, ...)>("ioctl");
    return real(fd, nRequest, pArg);
}

__attribute__((visibility("default"))) void* mmap(void* pAddr, size_t nLength, int nProt, int nFlags, int fd,
                                                   off_t nOffset)
{
    static auto real = Next<MMAP_FN>("mmap");
    if (IsFakeFd(fd)) {
        DEVICE& d = Dev();
        std::lock_guard<std::mutex> lock(d.mutex);
        const size_t i = size_t(nOffset) / 0x1000000u;
        if (d.bUnplugged || i >= d.buffers.size() || size_t(nOffset) % 0x1000000u != 0 || nLength != BufferSize(d) ||
            (nFlags & MAP_SHARED) == 0) {
            errno = EINVAL;
            return MAP_FAILED;
        }
        void* p = real(pAddr, nLength, nProt, nFlags, d.buffers[i].nMemFd, 0);
        d.buffers[i].bMapped = d.buffers[i].bMapped || p != MAP_FAILED;
        return p;
    }
    return real(pAddr, nLength, nProt, nFlags, fd, nOffset);
}

// What poll answers for the device: frame ready, event waiting, error.
short DeviceEvents(DEVICE& d, int fd)
{
    std::lock_guard<std::mutex> lock(d.mutex);
    if (d.bUnplugged) {
        return POLLERR | POLLHUP;
    }
    const bool bFrame =
        d.bStreaming && d.nOwner == fd && !d.queued.empty() && std::chrono::steady_clock::now() >= d.next;
    const auto it = d.events.find(fd);
    return short((bFrame ? POLLIN : 0) | (it != d.events.end() && !it->second.empty() ? POLLPRI : 0));
}

// Waits up to nTimeoutMs (forever when negative) for any of nWanted.
short WaitDevice(DEVICE& d, int fd, short nWanted, int nTimeoutMs)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(nTimeoutMs);
    for (;;) {
        const short n = short(DeviceEvents(d, fd) & (nWanted | POLLERR | POLLHUP));
        if (n != 0 || (nTimeoutMs >= 0 && std::chrono::steady_clock::now() >= until)) {
            return n;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
}

// The device handle registered with each epoll set, and what it waits for.
std::mutex g_EpollMutex;
std::map<int, std::pair<int, epoll_event>> g_Epolls;

// The caller fills the array; GCC cannot see that through the interposed symbol.
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
__attribute__((visibility("default"))) int poll(pollfd* pFds, nfds_t nCount, int nTimeoutMs)
{
    if (pFds != nullptr && nCount == 1 && IsFakeFd(pFds->fd)) {
        pFds[0].revents = WaitDevice(Dev(), pFds->fd, pFds->events, nTimeoutMs);
        return pFds[0].revents != 0 ? 1 : 0;
    }
    static auto real = Next<int (*)(pollfd*, nfds_t, int)>("poll");
    return real(pFds, nCount, nTimeoutMs);
}
#pragma GCC diagnostic pop

// Tools also wait with select, on the device alone.
__attribute__((visibility("default"))) int select(int nFds, fd_set* pRead, fd_set* pWrite, fd_set* pExcept,
                                                   timeval* pTimeout)
{
    static auto real = Next<int (*)(int, fd_set*, fd_set*, fd_set*, timeval*)>("select");
    const int fd = nFds - 1;
    const bool bRead = pRead != nullptr && fd >= 0 && FD_ISSET(fd, pRead);
    const bool bExcept = pExcept != nullptr && fd >= 0 && FD_ISSET(fd, pExcept);
    if (fd < 0 || !IsFakeFd(fd) || (!bRead && !bExcept)) {
        return real(nFds, pRead, pWrite, pExcept, pTimeout);
    }
    const int nMs = pTimeout == nullptr ? -1 : int(pTimeout->tv_sec * 1000 + pTimeout->tv_usec / 1000);
    const short n = WaitDevice(Dev(), fd, short((bRead ? POLLIN : 0) | (bExcept ? POLLPRI : 0)), nMs);
    for (fd_set* pSet : {pRead, pWrite, pExcept}) {
        if (pSet != nullptr) {
            FD_ZERO(pSet);
        }
    }
    if (bRead && (n & (POLLIN | POLLERR)) != 0) {
        FD_SET(fd, pRead);
    }
    if (bExcept && (n & (POLLPRI | POLLERR)) != 0) {
        FD_SET(fd, pExcept);
    }
    return n != 0 ? 1 : 0;
}

__attribute__((visibility("default"))) int epoll_ctl(int epfd, int nOp, int fd, epoll_event* pEvent)
{
    static auto real = Next<int (*)(int, int, int, epoll_event*)>("epoll_ctl");
    if (IsFakeFd(fd)) {
        std::lock_guard<std::mutex> lock(g_EpollMutex);
        if (nOp == EPOLL_CTL_DEL) {
            g_Epolls.erase(epfd);
        } else if (pEvent != nullptr) {
            g_Epolls[epfd] = {fd, *pEvent};
        }
    }
    return real(epfd, nOp, fd, pEvent);
}

__attribute__((visibility("default"))) int epoll_wait(int epfd, epoll_event* pEvents, int nMax, int nTimeoutMs)
{
    static auto real = Next<int (*)(int, epoll_event*, int, int)>("epoll_wait");
    std::pair<int, epoll_event> reg;
    {
        std::lock_guard<std::mutex> lock(g_EpollMutex);
        const auto it = g_Epolls.find(epfd);
        if (it == g_Epolls.end() || nMax < 1) {
            return real(epfd, pEvents, nMax, nTimeoutMs);
        }
        reg = it->second;
    }
    // poll and epoll share the values of IN, PRI, ERR and HUP.
    const short n = WaitDevice(Dev(), reg.first, short(reg.second.events), nTimeoutMs);
    if (n == 0) {
        return 0;
    }
    pEvents[0].events = uint32_t(n);
    pEvents[0].data = reg.second.data;
    return 1;
}

// The test pulls the cable and puts it back with these, found through the
// preloaded library. A camera plugged in again starts with no handles open.
void FakeV4l2_PlugAt(const char* pNode);
__attribute__((visibility("default"))) void FakeV4l2_Unplug()
{
    DEVICE& d = Dev();
    std::lock_guard<std::mutex> lock(d.mutex);
    d.bUnplugged = true;
}

// Plugged into another port, the camera gets another node.
__attribute__((visibility("default"))) void FakeV4l2_PlugAt(const char* pNode)
{
    DEVICE& d = Dev();
    std::lock_guard<std::mutex> lock(d.mutex);
    NodePath() = pNode;
    d.bUnplugged = false;
    d.fds.clear();
    d.blocking.clear();
    d.subscribed.clear();
    d.events.clear();
    FreeBuffers(d);
}

__attribute__((visibility("default"))) void FakeV4l2_Plug()
{
    const std::string node = NodePath(); // a copy: PlugAt assigns the path
    FakeV4l2_PlugAt(node.c_str());
}

} // extern "C"
