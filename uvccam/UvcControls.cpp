#include "uvccam/UvcControls.h"

#include "camera/ICubeParams.h"
#include "uvccam/UvcDevice.h"

#include <linux/videodev2.h>

#include <cerrno>

namespace uvccam {

namespace {

struct MAPPING {
    int nParam;
    uint32_t nCid;
    uint32_t nAutoCid;
    uint32_t nOnePushCid;
};

const MAPPING kMappings[] = {
    {ICUBE_PARAM_BRIGHTNESS, V4L2_CID_BRIGHTNESS, 0, 0},
    {ICUBE_PARAM_CONTRAST, V4L2_CID_CONTRAST, 0, 0},
    {ICUBE_PARAM_GAMMA, V4L2_CID_GAMMA, 0, 0},
    {ICUBE_PARAM_FLIP_V, V4L2_CID_VFLIP, 0, 0},
    {ICUBE_PARAM_FLIP_H, V4L2_CID_HFLIP, 0, 0},
    {ICUBE_PARAM_WHITE_BALANCE, V4L2_CID_WHITE_BALANCE_TEMPERATURE, V4L2_CID_AUTO_WHITE_BALANCE,
     V4L2_CID_DO_WHITE_BALANCE},
    {ICUBE_PARAM_EXPOSURE, V4L2_CID_EXPOSURE_ABSOLUTE, V4L2_CID_EXPOSURE_AUTO, 0},
    {ICUBE_PARAM_RED_GAIN, V4L2_CID_RED_BALANCE, 0, 0},
    {ICUBE_PARAM_BLUE_GAIN, V4L2_CID_BLUE_BALANCE, 0, 0},
    {ICUBE_PARAM_BLACK_LEVEL, V4L2_CID_BLACK_LEVEL, 0, 0},
    {ICUBE_PARAM_GAIN, V4L2_CID_GAIN, V4L2_CID_AUTOGAIN, 0},
    {ICUBE_PARAM_SATURATION, V4L2_CID_SATURATION, 0, 0},
    {ICUBE_PARAM_HUE, V4L2_CID_HUE, V4L2_CID_HUE_AUTO, 0},
};

} // namespace

bool CUvcControls::QueryOne(uint32_t nCid, int32_t& nMin, int32_t& nMax, int32_t& nDefault, uint32_t& nType) const
{
    v4l2_queryctrl q{};
    q.id = nCid;
    if (XIoctl(m_Sys, m_fd, VIDIOC_QUERYCTRL, &q) < 0 || (q.flags & V4L2_CTRL_FLAG_DISABLED) != 0) {
        return false;
    }
    nMin = q.minimum;
    nMax = q.maximum;
    nDefault = q.default_value;
    nType = q.type;
    return true;
}

bool CUvcControls::MenuHas(uint32_t nCid, int32_t nIndex) const
{
    v4l2_querymenu m{};
    m.id = nCid;
    m.index = uint32_t(nIndex);
    return XIoctl(m_Sys, m_fd, VIDIOC_QUERYMENU, &m) == 0;
}

void CUvcControls::Query()
{
    m_Controls.clear();
    for (const MAPPING& map : kMappings) {
        CONTROL c;
        c.nParam = map.nParam;
        c.nCid = map.nCid;
        uint32_t nType = 0;
        c.bPresent = QueryOne(map.nCid, c.nMin, c.nMax, c.nDefault, nType);
        if (map.nAutoCid != 0) {
            int32_t nMin = 0, nMax = 0, nDefault = 0;
            if (QueryOne(map.nAutoCid, nMin, nMax, nDefault, nType)) {
                c.nAutoCid = map.nAutoCid;
                c.bAutoIsMenu = nType == V4L2_CTRL_TYPE_MENU;
                if (c.bAutoIsMenu) {
                    // UVC cameras offer manual and aperture priority (their
                    // automatic exposure); some offer fully automatic instead.
                    c.nAutoOff = V4L2_EXPOSURE_MANUAL;
                    c.nAutoOn = MenuHas(map.nAutoCid, V4L2_EXPOSURE_APERTURE_PRIORITY) ? V4L2_EXPOSURE_APERTURE_PRIORITY
                                                                                       : V4L2_EXPOSURE_AUTO;
                    c.bAutoPresent = MenuHas(map.nAutoCid, c.nAutoOn) && MenuHas(map.nAutoCid, c.nAutoOff);
                    c.nAutoDefault = nDefault != V4L2_EXPOSURE_MANUAL ? 1 : 0;
                } else {
                    c.bAutoPresent = true;
                    c.nAutoDefault = nDefault != 0 ? 1 : 0;
                }
            }
        }
        if (map.nOnePushCid != 0) {
            int32_t nMin = 0, nMax = 0, nDefault = 0;
            c.bOnePushPresent = QueryOne(map.nOnePushCid, nMin, nMax, nDefault, nType);
            c.nOnePushCid = c.bOnePushPresent ? map.nOnePushCid : 0;
        }
        const int nFlip = map.nParam == ICUBE_PARAM_FLIP_H ? 0 : (map.nParam == ICUBE_PARAM_FLIP_V ? 1 : -1);
        if (nFlip >= 0) {
            m_bSoftFlip[nFlip] = !c.bPresent;
            m_nSoftFlip[nFlip] = 0;
        }
        m_Controls.push_back(c);
    }
}

const CUvcControls::CONTROL* CUvcControls::Find(int nParam) const
{
    for (const CONTROL& c : m_Controls) {
        if (c.nParam == nParam) {
            return &c;
        }
    }
    return nullptr;
}

CUvcControls::CONTROL* CUvcControls::Find(int nParam)
{
    return const_cast<CONTROL*>(static_cast<const CUvcControls*>(this)->Find(nParam));
}

int CUvcControls::Read(uint32_t nCid, int32_t& nValue) const
{
    v4l2_control ctrl{};
    ctrl.id = nCid;
    if (XIoctl(m_Sys, m_fd, VIDIOC_G_CTRL, &ctrl) < 0) {
        return ResultFromErrno(errno);
    }
    nValue = ctrl.value;
    return UVC_OK;
}

int CUvcControls::Write(uint32_t nCid, int32_t nValue)
{
    v4l2_control ctrl{};
    ctrl.id = nCid;
    ctrl.value = nValue;
    return XIoctl(m_Sys, m_fd, VIDIOC_S_CTRL, &ctrl) < 0 ? ResultFromErrno(errno) : UVC_OK;
}

const CUvcControls::CONTROL* CUvcControls::Served(int nParam, int& nSoftFlip) const
{
    nSoftFlip = -1;
    const CONTROL* c = Find(nParam);
    if (c == nullptr || c->bPresent) {
        return c;
    }
    const int nFlip = nParam == ICUBE_PARAM_FLIP_H ? 0 : (nParam == ICUBE_PARAM_FLIP_V ? 1 : -1);
    if (nFlip >= 0 && m_bSoftFlip[nFlip]) {
        nSoftFlip = nFlip;
    }
    return nullptr;
}

int CUvcControls::GetRange(int nParam, UVC_PARAM_RANGE& range) const
{
    int nFlip = -1;
    const CONTROL* c = Served(nParam, nFlip);
    if (nParam == ICUBE_PARAM_COLOUR) {
        range = UVC_PARAM_RANGE{1, 0, 0, 1, 0, 1}; // YUYV and MJPEG frames are colour
    } else if (nFlip >= 0) {
        range = UVC_PARAM_RANGE{1, 0, 0, 0, 0, 1};
    } else if (c != nullptr) {
        range = UVC_PARAM_RANGE{1, c->bAutoPresent ? 1 : 0, c->bOnePushPresent ? 1 : 0, c->nDefault, c->nMin, c->nMax};
    } else {
        range = UVC_PARAM_RANGE();
        return UVC_E_NOT_ENABLED;
    }
    return UVC_OK;
}

int CUvcControls::Get(int nParam, int& nValue) const
{
    if (nParam == ICUBE_PARAM_COLOUR) {
        nValue = 1;
        return UVC_OK;
    }
    int nFlip = -1;
    const CONTROL* c = Served(nParam, nFlip);
    if (nFlip >= 0) {
        nValue = m_nSoftFlip[nFlip];
        return UVC_OK;
    }
    if (c == nullptr) {
        return UVC_E_NOT_ENABLED;
    }
    int32_t v = 0;
    const int r = Read(c->nCid, v);
    if (r == UVC_OK) {
        nValue = v;
    }
    return r;
}

int CUvcControls::Set(int nParam, int nValue)
{
    int nFlip = -1;
    const CONTROL* c = Served(nParam, nFlip);
    if (nFlip >= 0) {
        if (nValue < 0 || nValue > 1) {
            return UVC_E_RANGE;
        }
        m_nSoftFlip[nFlip] = nValue;
        return UVC_OK;
    }
    if (c == nullptr) {
        return UVC_E_NOT_ENABLED;
    }
    if (nValue < c->nMin || nValue > c->nMax) {
        return UVC_E_RANGE;
    }
    return Write(c->nCid, nValue);
}

int CUvcControls::GetAuto(int nParam, int& bAuto) const
{
    const CONTROL* c = Find(nParam);
    if (c == nullptr || !c->bAutoPresent) {
        return UVC_E_NOT_ENABLED;
    }
    int32_t v = 0;
    const int r = Read(c->nAutoCid, v);
    if (r == UVC_OK) {
        bAuto = c->bAutoIsMenu ? (v != c->nAutoOff ? 1 : 0) : (v != 0 ? 1 : 0);
    }
    return r;
}

int CUvcControls::SetAuto(int nParam, int bAuto)
{
    const CONTROL* c = Find(nParam);
    if (c == nullptr || !c->bAutoPresent) {
        return UVC_E_NOT_ENABLED;
    }
    const int32_t v = c->bAutoIsMenu ? (bAuto != 0 ? c->nAutoOn : c->nAutoOff) : (bAuto != 0 ? 1 : 0);
    return Write(c->nAutoCid, v);
}

int CUvcControls::SetAutoDefault(int nParam)
{
    const CONTROL* c = Find(nParam);
    if (c == nullptr || !c->bAutoPresent) {
        return UVC_E_NOT_ENABLED;
    }
    return SetAuto(nParam, c->nAutoDefault);
}

int CUvcControls::OnePush(int nParam)
{
    const CONTROL* c = Find(nParam);
    if (c == nullptr || !c->bOnePushPresent) {
        return UVC_E_NOT_ENABLED;
    }
    // The white balance is adjusted once only with the automatic mode off.
    if (c->bAutoPresent) {
        const int r = SetAuto(nParam, 0);
        if (r != UVC_OK) {
            return r;
        }
    }
    return Write(c->nOnePushCid, 1);
}

int CUvcControls::GetExposureMs(float& fMs) const
{
    const CONTROL* c = Find(ICUBE_PARAM_EXPOSURE);
    if (c == nullptr || !c->bPresent) {
        return UVC_E_NOT_ENABLED;
    }
    int32_t v = 0;
    const int r = Read(c->nCid, v);
    if (r == UVC_OK) {
        fMs = float(v) * 0.1f;
    }
    return r;
}

} // namespace uvccam
