#include "simcam/SimCamera.h"

#include "camera/CameraModes.h"
#include "camera/ICubeParams.h"
#include "simcam/SimParams.h"

#include <algorithm>
#include <chrono>
#include <cmath>

namespace simcam {

CSimCamera::CSimCamera(SIM_MODEL model, SIM_FAULTS* pFaults)
    : m_Model(std::move(model)), m_pFaults(pFaults), m_nMode(m_Model.nDefaultMode)
{
    m_Params = DefaultParams(m_Model.bColour, !pFaults->bNoOnePush);
}

CSimCamera::~CSimCamera()
{
    StopThread();
}

int CSimCamera::Open()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    ++m_nOpenCount;
    if (m_pFaults->nOpenError != 0) {
        // Corrupt configuration: the interface is open enough to be reset and closed.
        const int err = m_pFaults->nOpenError;
        m_pFaults->nOpenError = 0; // answered once
        m_bOpen = true;
        return err;
    }
    if (m_bOpen) {
        return -4;
    }
    if (m_bUnplugged) {
        return -16; // no device on the bus
    }
    m_bOpen = true;
    return 0;
}

int CSimCamera::Close()
{
    StopThread();
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    m_bOpen = false;
    m_pCallback = nullptr;
    m_pContext = nullptr;
    return 0;
}

int CSimCamera::SetCallback(ICUBE_FRAME_CALLBACK pCallback, void* pContext)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    if (m_bStarted) {
        return -7;
    }
    m_pCallback = pCallback;
    m_pContext = pContext;
    return 0;
}

int CSimCamera::Start()
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    if (m_bStarted) {
        return 0;
    }
    m_nGood = 0;
    m_nBroken = 0;
    m_bStop = false;
    m_bStarted = true;
    m_Thread = std::thread([this] { Run(); });
    return 0;
}

void CSimCamera::StopThread()
{
    {
        std::lock_guard<std::mutex> lock(m_Mutex);
        m_bStop = true;
    }
    m_Wake.notify_all();
    if (m_Thread.joinable()) {
        m_Thread.join(); // no callback runs once Stop has returned
    }
    // A recording ends with the stream, its file complete.
    m_Recorder.Stop();
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bStarted = false;
}

int CSimCamera::Stop()
{
    if (!m_bOpen) {
        return -1;
    }
    StopThread();
    return 0;
}

int CSimCamera::GetSize(int& w, int& h) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    w = kCameraModeSizes[m_nMode].nWidth;
    h = kCameraModeSizes[m_nMode].nHeight;
    return 0;
}

int CSimCamera::SetMode(int nMode)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    if (m_bStarted) {
        return -7;
    }
    if (std::find(m_Model.modes.begin(), m_Model.modes.end(), nMode) == m_Model.modes.end()) {
        return -2;
    }
    m_nMode = nMode;
    m_bPatternDirty = true;
    return 0;
}

int CSimCamera::GetMode(int& nMode) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    nMode = m_nMode;
    return m_bOpen ? 0 : -1;
}

int CSimCamera::GetModeList(int& nCount, int* pModes) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    nCount = int(m_Model.modes.size());
    for (size_t i = 0; i < m_Model.modes.size(); ++i) {
        pModes[i] = m_Model.modes[i];
    }
    return 0;
}

int CSimCamera::SetParam(int nParam, int nValue)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    auto it = m_Params.find(nParam);
    if (it == m_Params.end() || !it->second.bEnabled) {
        return m_Model.bColour ? -9 : -10;
    }
    if (nParam == ICUBE_PARAM_RECORDING || nParam == ICUBE_PARAM_RECORDING_ERROR) {
        return -9; // read only
    }
    if (nValue < it->second.nMin || nValue > it->second.nMax) {
        return -2;
    }
    ++m_WriteCounts[nParam];
    it->second.nValue = nValue;
    m_bPatternDirty = true;
    return 0;
}

void CSimCamera::SettleWhiteBalance()
{
    if (m_nWhiteBalanceDoneAt != 0 && media::NowMs() >= m_nWhiteBalanceDoneAt) {
        m_nWhiteBalanceDoneAt = 0;
        m_Params[ICUBE_PARAM_WHITE_BALANCE].nValue = 1;
        m_Params[ICUBE_PARAM_RED_GAIN].nValue = m_Params[ICUBE_PARAM_GREEN_GAIN].nValue = m_Params[ICUBE_PARAM_BLUE_GAIN].nValue = 64;
        m_bPatternDirty = true;
    }
}

int CSimCamera::GetParam(int nParam, int& nValue)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    if (nParam == ICUBE_PARAM_WHITE_BALANCE) {
        SettleWhiteBalance();
    }
    auto it = m_Params.find(nParam);
    if (it == m_Params.end() || !it->second.bEnabled) {
        return -9;
    }
    if (nParam == ICUBE_PARAM_RECORDING) {
        nValue = m_Recorder.IsRecording() ? 1 : 0;
    } else if (nParam == ICUBE_PARAM_RECORDING_ERROR) {
        nValue = m_Recorder.WriteError();
    } else {
        nValue = it->second.nValue;
    }
    return 0;
}

int CSimCamera::GetRange(int nParam, ICUBE_PARAM_RANGE& range) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    range = ICUBE_PARAM_RANGE{0, 0, 0, 0, 0, 0};
    auto it = m_Params.find(nParam);
    if (it != m_Params.end()) {
        const SIM_PARAM& p = it->second;
        range = ICUBE_PARAM_RANGE{p.bEnabled, p.bAutoAvailable, p.bOnePush, p.nDefault, p.nMin, p.nMax};
    }
    return 0;
}

// The parameter if the camera is open and it has the feature, else the error code.
SIM_PARAM* CSimCamera::FeatureParam(int nParam, bool bOnePush, int& err)
{
    auto it = m_Params.find(nParam);
    err = !m_bOpen ? -1 : ((it == m_Params.end() || !(bOnePush ? it->second.bOnePush : it->second.bAutoAvailable)) ? -9 : 0);
    return err == 0 ? &it->second : nullptr;
}

int CSimCamera::GetAuto(int nParam, int& bAuto) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    int err = 0;
    if (const SIM_PARAM* p = const_cast<CSimCamera*>(this)->FeatureParam(nParam, false, err)) {
        bAuto = p->bAuto;
    }
    return err;
}

int CSimCamera::SetAuto(int nParam, int bAuto)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    int err = 0;
    if (SIM_PARAM* p = FeatureParam(nParam, false, err)) {
        p->bAuto = bAuto ? 1 : 0;
    }
    return err;
}

int CSimCamera::SetAutoDef(int nParam)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    int err = 0;
    if (SIM_PARAM* p = FeatureParam(nParam, false, err)) {
        p->bAuto = p->bAutoDefault;
    }
    return err;
}

int CSimCamera::OnePush(int nParam)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    int err = 0;
    if (SIM_PARAM* p = FeatureParam(nParam, true, err)) {
        p->nValue = 0;
        // Settles after 300 ms, or never when the fault says so.
        m_nWhiteBalanceDoneAt = m_pFaults->bWhiteBalanceNever ? 0 : media::NowMs() + 300;
    }
    return err;
}

int CSimCamera::GetExposure(float& ms) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    const SIM_PARAM& p = m_Params.at(ICUBE_PARAM_EXPOSURE);
    ms = float(p.bAuto ? 16.5 : p.nValue);
    return 0;
}

int CSimCamera::SetExposure(float ms)
{
    return SetParam(ICUBE_PARAM_EXPOSURE, int(std::lround(ms)));
}

int CSimCamera::WriteCount(int nParam) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    auto it = m_WriteCounts.find(nParam);
    return it == m_WriteCounts.end() ? 0 : it->second;
}

double CSimCamera::FrameIntervalMs()
{
    const CAMERA_MODE_SIZE sz = kCameraModeSizes[m_nMode];
    double fps = 30.0;
    if (m_pFaults->nFps > 0) {
        fps = m_pFaults->nFps;
    } else if (m_Model.bColour) {
        fps = std::clamp(m_Params[ICUBE_PARAM_CLOCK].nValue * 1e6 / (double(sz.nWidth) * sz.nHeight * 1.25), 1.0, 60.0);
    } else {
        fps = m_Params[ICUBE_PARAM_FPS].nValue;
    }
    const SIM_PARAM& exp = m_Params[ICUBE_PARAM_EXPOSURE];
    const double exposure = m_pFaults->nFps > 0 ? 0.0 : (exp.bAuto ? 16.5 : exp.nValue);
    return std::max(1000.0 / fps, exposure);
}

PATTERN_LOOK CSimCamera::Look()
{
    PATTERN_LOOK look;
    look.bColour = m_Model.bColour;
    look.bMirror = m_Params[ICUBE_PARAM_FLIP_H].nValue != 0;
    look.dGain = 0.6 + m_Params[ICUBE_PARAM_GAIN].nValue / 50.0;
    look.nBrightness = m_Params[ICUBE_PARAM_BRIGHTNESS].nValue;
    if (m_Model.bColour) {
        look.dChannel[0] = m_Params[ICUBE_PARAM_BLUE_GAIN].nValue / 64.0;
        look.dChannel[1] = m_Params[ICUBE_PARAM_GREEN_GAIN].nValue / 64.0;
        look.dChannel[2] = m_Params[ICUBE_PARAM_RED_GAIN].nValue / 64.0;
    }
    return look;
}

void CSimCamera::RecordFrame(const uint8_t* pFrame, int w, int h)
{
    if (!m_Recorder.IsTaking()) {
        return;
    }
    m_Recorder.AddFrame(pFrame, w, h);
    const int nStopAfter = m_pFaults->nAviStopAfter;
    if (m_Recorder.IsDue() || (nStopAfter > 0 && m_Recorder.FramesTaken() >= nStopAfter)) {
        m_Recorder.Finish();
    }
}

int CSimCamera::SaveAvi(const std::string& path, int nSeconds)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    if (m_Recorder.IsRecording()) {
        return -17;
    }
    if (!m_bStarted || nSeconds <= 0) {
        return -2;
    }
    const CAMERA_MODE_SIZE sz = kCameraModeSizes[m_nMode];
    media::AVI_RECORDER_OPTIONS options;
    if (m_pFaults->nAviRiffLimit > 0) {
        options.nRiffLimit = uint64_t(m_pFaults->nAviRiffLimit.load());
    }
    const int64_t nSecondMs = m_pFaults->nAviSecondMs > 0 ? m_pFaults->nAviSecondMs.load() : 1000;
    if (!m_Recorder.Start(path, sz.nWidth, sz.nHeight, 1000.0 / FrameIntervalMs(), nSeconds * nSecondMs, options)) {
        return -13;
    }
    return 0;
}

void CSimCamera::Run()
{
    uint32_t nFrame = 0;
    auto next = std::chrono::steady_clock::now();
    for (;;) {
        int w = 0, h = 0;
        bool bFlipV = false;
        ICUBE_FRAME_CALLBACK pCallback = nullptr;
        void* pContext = nullptr;
        {
            std::unique_lock<std::mutex> lock(m_Mutex);
            next += std::chrono::microseconds(int64_t(FrameIntervalMs() * 1000));
            m_Wake.wait_until(lock, next, [this] { return m_bStop.load(); });
            if (m_bStop) {
                return;
            }
            w = kCameraModeSizes[m_nMode].nWidth;
            h = kCameraModeSizes[m_nMode].nHeight;
            bFlipV = m_Params[ICUBE_PARAM_FLIP_V].nValue != 0;
            if (m_bPatternDirty || m_Pattern.Width() != w || m_Pattern.Height() != h) {
                m_Pattern.Render(w, h, Look());
                m_bPatternDirty = false;
            }
            pCallback = m_pCallback;
            pContext = m_pContext;
            if (std::chrono::steady_clock::now() > next + std::chrono::seconds(1)) {
                next = std::chrono::steady_clock::now(); // do not race to catch up after a stall
            }
        }
        ++nFrame;
        if (m_pFaults->nDisconnectAfter > 0 && int(nFrame) > m_pFaults->nDisconnectAfter) {
            if (pCallback != nullptr) {
                pCallback(1, nullptr, 0, pContext);
            }
            m_Recorder.Finish(); // the file keeps the frames recorded so far
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_bOpen = false; // the camera is gone
            m_bUnplugged = true;
            return;
        }
        if (m_pFaults->nBrokenEvery > 0 && nFrame % uint32_t(m_pFaults->nBrokenEvery) == 0) {
            ++m_nBroken;
            continue;
        }
        m_Frame.resize(size_t(w) * h * 3);
        // A sample on a stage stands still; the sway is asked for.
        int ox = 0, oy = 0;
        if (m_pFaults->bSway) {
            CTestPattern::SwayOffset(nFrame, ox, oy);
        } else {
            CTestPattern::StillOffset(ox, oy);
        }
        m_Pattern.CutFrame(m_Frame.data(), ox, oy, bFlipV, nFrame);
        CTestPattern::DrawNumber(m_Frame.data(), w, h, w - 160, 12, nFrame, 3);
        ++m_nGood;
        if (pCallback != nullptr) {
            pCallback(0, m_Frame.data(), int(m_Frame.size()), pContext);
        }
        RecordFrame(m_Frame.data(), w, h);
    }
}

} // namespace simcam
