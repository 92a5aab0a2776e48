// The camera's numbered parameters on a V4L2 device's controls: ranges,
// defaults and automatic modes as the device reports them. A parameter whose
// control the device lacks reads as not available, except the flips, which
// the library then does in software.
#pragma once

#include "uvccam/UvcSys.h"

#include <cstdint>
#include <vector>

namespace uvccam {

// As the parameter range record is laid out: six 32-bit integers.
struct UVC_PARAM_RANGE {
    int32_t bEnabled = 0;
    int32_t bAuto = 0;    // an automatic mode exists
    int32_t bOnePush = 0; // a one-push adjustment exists
    int32_t nDefault = 0;
    int32_t nMin = 0;
    int32_t nMax = 0;
};

class CUvcControls {
public:
    CUvcControls(IUvcSys& sys, int fd) : m_Sys(sys), m_fd(fd) {}

    // Reads every mapped control once; called after the device is opened.
    void Query();

    int GetRange(int nParam, UVC_PARAM_RANGE& range) const;
    int Get(int nParam, int& nValue) const;
    int Set(int nParam, int nValue);
    int GetAuto(int nParam, int& bAuto) const;
    int SetAuto(int nParam, int bAuto);
    int SetAutoDefault(int nParam);
    int OnePush(int nParam);

    // The exposure time in milliseconds (the device counts 100 µs steps).
    int GetExposureMs(float& fMs) const;

    bool SoftFlipH() const { return m_bSoftFlip[0] && m_nSoftFlip[0] != 0; }
    bool SoftFlipV() const { return m_bSoftFlip[1] && m_nSoftFlip[1] != 0; }

private:
    struct CONTROL {
        int nParam = 0;
        uint32_t nCid = 0;
        uint32_t nAutoCid = 0;    // 0: no automatic mode
        uint32_t nOnePushCid = 0; // 0: no one-push
        bool bPresent = false;
        int32_t nMin = 0, nMax = 0, nDefault = 0;
        bool bAutoPresent = false;
        bool bAutoIsMenu = false; // exposure: a menu of modes, not a switch
        int32_t nAutoOn = 1, nAutoOff = 0, nAutoDefault = 0;
        bool bOnePushPresent = false;
    };

    const CONTROL* Find(int nParam) const;
    CONTROL* Find(int nParam);
    // The device's control for nParam when the device has it; null otherwise,
    // with nSoftFlip the flip done in software in its place (-1: none).
    const CONTROL* Served(int nParam, int& nSoftFlip) const;
    bool QueryOne(uint32_t nCid, int32_t& nMin, int32_t& nMax, int32_t& nDefault, uint32_t& nType) const;
    bool MenuHas(uint32_t nCid, int32_t nIndex) const;
    int Read(uint32_t nCid, int32_t& nValue) const;
    int Write(uint32_t nCid, int32_t nValue);

    IUvcSys& m_Sys;
    int m_fd;
    std::vector<CONTROL> m_Controls;
    // Flips the device cannot do: [0] horizontal, [1] vertical.
    bool m_bSoftFlip[2] = {false, false};
    int m_nSoftFlip[2] = {0, 0};
};

} // namespace uvccam
