#include "FakeUvcSys.h"

namespace {

int Fail(int nErr)
{
    errno = nErr;
    return -1;
}

void Copy(uint8_t* pDst, size_t nCap, const char* pText)
{
    std::strncpy(reinterpret_cast<char*>(pDst), pText, nCap - 1);
    pDst[nCap - 1] = 0;
}

} // namespace

int CFakeUvcSys::Ioctl(int fd, unsigned long nRequest, void* pArg)
{
    std::unique_lock<std::mutex> lock(m_Mutex);
    if (m_bUnplugged) {
        return Fail(ENODEV);
    }
    switch (nRequest) {
    case VIDIOC_QUERYCAP: {
        auto* cap = static_cast<v4l2_capability*>(pArg);
        Copy(cap->driver, sizeof(cap->driver), "uvcvideo");
        Copy(cap->card, sizeof(cap->card), "Bench Camera 5MP");
        Copy(cap->bus_info, sizeof(cap->bus_info), busInfo.c_str());
        cap->version = (6u << 16) | (1u << 8) | 38u;
        const uint32_t caps = fd == kMetaFd ? uint32_t(V4L2_CAP_META_CAPTURE | V4L2_CAP_STREAMING) : nCaps;
        cap->capabilities = caps | V4L2_CAP_DEVICE_CAPS;
        cap->device_caps = caps;
        return 0;
    }
    case VIDIOC_ENUM_FMT: {
        auto* d = static_cast<v4l2_fmtdesc*>(pArg);
        if (d->index >= formats.size()) {
            return Fail(EINVAL);
        }
        d->pixelformat = formats[d->index].nFourcc;
        d->flags = formats[d->index].bEmulated ? V4L2_FMT_FLAG_EMULATED : 0;
        return 0;
    }
    case VIDIOC_ENUM_FRAMESIZES: {
        auto* s = static_cast<v4l2_frmsizeenum*>(pArg);
        for (const FORMAT& f : formats) {
            if (f.nFourcc == s->pixel_format && s->index < f.sizes.size()) {
                s->type = V4L2_FRMSIZE_TYPE_DISCRETE;
                s->discrete.width = uint32_t(f.sizes[s->index].first);
                s->discrete.height = uint32_t(f.sizes[s->index].second);
                return 0;
            }
        }
        return Fail(EINVAL);
    }
    case VIDIOC_ENUM_FRAMEINTERVALS: {
        auto* iv = static_cast<v4l2_frmivalenum*>(pArg);
        if (iv->index >= intervals.size()) {
            return Fail(EINVAL);
        }
        iv->type = V4L2_FRMIVAL_TYPE_DISCRETE;
        iv->discrete.numerator = intervals[iv->index].first;
        iv->discrete.denominator = intervals[iv->index].second;
        return 0;
    }
    case VIDIOC_S_FMT: {
        auto* f = static_cast<v4l2_format*>(pArg);
        if (m_bStreaming) {
            return Fail(EBUSY);
        }
        const bool bYuyv = f->fmt.pix.pixelformat == V4L2_PIX_FMT_YUYV;
        // Drivers pad lines; a wider stride than the picture must be honoured.
        f->fmt.pix.bytesperline = bYuyv ? f->fmt.pix.width * 2 + 64 : 0;
        f->fmt.pix.sizeimage =
            bYuyv ? f->fmt.pix.bytesperline * f->fmt.pix.height : f->fmt.pix.width * f->fmt.pix.height * 2;
        format = *f;
        return 0;
    }
    case VIDIOC_S_PARM: return 0;
    case VIDIOC_REQBUFS: {
        auto* r = static_cast<v4l2_requestbuffers*>(pArg);
        m_Buffers.assign(r->count, std::vector<uint8_t>(format.fmt.pix.sizeimage));
        m_Queued.clear();
        m_Done.clear();
        return 0;
    }
    case VIDIOC_QUERYBUF: {
        auto* b = static_cast<v4l2_buffer*>(pArg);
        if (b->index >= m_Buffers.size()) {
            return Fail(EINVAL);
        }
        b->length = uint32_t(m_Buffers[b->index].size());
        b->m.offset = uint32_t(b->index * kOffsetStep);
        return 0;
    }
    case VIDIOC_QBUF: {
        auto* b = static_cast<v4l2_buffer*>(pArg);
        if (b->index >= m_Buffers.size()) {
            return Fail(EINVAL);
        }
        m_Queued.push_back(b->index);
        return 0;
    }
    case VIDIOC_DQBUF: {
        auto* b = static_cast<v4l2_buffer*>(pArg);
        if (m_Done.empty()) {
            return Fail(EAGAIN);
        }
        const DONE d = m_Done.front();
        m_Done.pop_front();
        b->index = d.nIndex;
        b->bytesused = d.nUsed;
        b->flags = d.bError ? V4L2_BUF_FLAG_ERROR : 0;
        return 0;
    }
    case VIDIOC_STREAMON:
        if (nStreamOnErrno != 0) {
            return Fail(nStreamOnErrno);
        }
        m_bStreaming = true;
        return 0;
    case VIDIOC_STREAMOFF:
        m_bStreaming = false;
        ++nStreamOffs;
        return 0;
    case VIDIOC_QUERYCTRL: {
        auto* q = static_cast<v4l2_queryctrl*>(pArg);
        const auto it = controls.find(q->id);
        if (it == controls.end()) {
            return Fail(EINVAL);
        }
        q->minimum = it->second.nMin;
        q->maximum = it->second.nMax;
        q->default_value = it->second.nDefault;
        q->type = it->second.nType;
        q->step = 1;
        return 0;
    }
    case VIDIOC_QUERYMENU: {
        auto* m = static_cast<v4l2_querymenu*>(pArg);
        const auto it = controls.find(m->id);
        return it != controls.end() && it->second.menu.count(int(m->index)) != 0 ? 0 : Fail(EINVAL);
    }
    case VIDIOC_G_CTRL:
    case VIDIOC_S_CTRL: {
        auto* c = static_cast<v4l2_control*>(pArg);
        const auto it = controls.find(c->id);
        if (it == controls.end()) {
            return Fail(EINVAL);
        }
        if (nRequest == VIDIOC_G_CTRL) {
            c->value = it->second.nValue;
        } else {
            it->second.nValue = c->value;
            writes.emplace_back(c->id, c->value);
        }
        return 0;
    }
    default: return Fail(ENOTTY);
    }
}
