#include "simcam/SimCamera.h"

#include <turbojpeg.h>

#include <algorithm>
#include <chrono>
#include <cmath>

namespace simcam {

namespace {

struct MODE_SIZE {
    int w, h;
};
const MODE_SIZE kModeSizes[11] = {{320, 240},   {640, 480},   {752, 480},   {800, 600},
                                  {1024, 768},  {1280, 1024}, {1600, 1200}, {2048, 1536},
                                  {2592, 1944}, {3840, 2748}, {1920, 1200}};

enum : int {
    P_BRIGHTNESS = 1, P_CONTRAST = 2, P_GAMMA = 3, P_FLIP_V = 4, P_FLIP_H = 5, P_WHITE_BALANCE = 6,
    P_EXPOSURE = 7, P_EXPOSURE_TARGET = 8, P_RED_GAIN = 9, P_GREEN_GAIN = 10, P_BLUE_GAIN = 11,
    P_BLACK_LEVEL = 12, P_GAIN = 13, P_COLOUR = 14, P_CLOCK = 15, P_SATURATION = 19, P_RECORDING = 24,
    P_MODEL_FIX = 43, P_RED_OFFSET = 106, P_GREEN_OFFSET = 107, P_BLUE_OFFSET = 108, P_HUE = 109,
    P_COLOUR_CORRECTION = 110, P_GAMMA_ON = 111, P_TNR = 115, P_BAYER = 116, P_COLOUR_PROCESSING = 117,
    P_CONFIG_RESET = 143, P_FPS = 147,
};

SIM_PARAM Param(int def, int mn, int mx, int bAuto = 0, int bAutoOn = 0, int bOnePush = 0)
{
    SIM_PARAM p;
    p.bEnabled = 1;
    p.bAutoAvailable = bAuto;
    p.bOnePush = bOnePush;
    p.nDefault = def;
    p.nMin = mn;
    p.nMax = mx;
    p.nValue = def;
    p.bAuto = bAutoOn;
    p.bAutoDefault = bAutoOn;
    return p;
}

} // namespace

int64_t NowMs()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

CSimCamera::CSimCamera(SIM_MODEL model, SIM_FAULTS* pFaults)
    : m_Model(std::move(model)), m_pFaults(pFaults), m_nMode(m_Model.nDefaultMode)
{
    m_Params[P_EXPOSURE] = Param(20, 1, 1000, 1, 0);
    m_Params[P_EXPOSURE_TARGET] = Param(128, 0, 255);
    m_Params[P_BLACK_LEVEL] = Param(16, 0, 255, 1, 1);
    m_Params[P_GAIN] = Param(20, 0, 100);
    m_Params[P_FLIP_V] = Param(0, 0, 1);
    m_Params[P_FLIP_H] = Param(0, 0, 1);
    m_Params[P_BRIGHTNESS] = Param(0, -64, 64);
    m_Params[P_CONTRAST] = Param(32, 0, 64);
    m_Params[P_GAMMA] = Param(100, 50, 200);
    m_Params[P_GAMMA_ON] = Param(0, 0, 1);
    m_Params[P_TNR] = Param(0, 0, 1);
    m_Params[P_RECORDING] = Param(0, 0, 1);
    m_Params[P_MODEL_FIX] = Param(0, 0, 1);
    m_Params[P_CONFIG_RESET] = Param(1, 0, 1);
    m_Params[P_COLOUR] = Param(m_Model.bColour ? 1 : 0, 0, 1);
    if (m_Model.bColour) {
        m_Params[P_CLOCK] = Param(48, 12, 96);
        m_Params[P_WHITE_BALANCE] = Param(0, 0, 1, 1, 0, pFaults->bNoOnePush ? 0 : 1);
        m_Params[P_COLOUR_PROCESSING] = Param(1, 0, 1);
        m_Params[P_SATURATION] = Param(64, 0, 128);
        m_Params[P_HUE] = Param(0, -180, 180);
        m_Params[P_COLOUR_CORRECTION] = Param(1, 0, 1);
        m_Params[P_RED_GAIN] = Param(92, 0, 255);
        m_Params[P_GREEN_GAIN] = Param(64, 0, 255);
        m_Params[P_BLUE_GAIN] = Param(48, 0, 255);
        m_Params[P_RED_OFFSET] = Param(0, -64, 64);
        m_Params[P_GREEN_OFFSET] = Param(0, -64, 64);
        m_Params[P_BLUE_OFFSET] = Param(0, -64, 64);
        m_Params[P_BAYER] = Param(0, 0, 1);
    } else {
        m_Params[P_FPS] = Param(30, 1, 120);
    }
}

CSimCamera::~CSimCamera()
{
    StopThread();
    if (m_pJpegBuf != nullptr) {
        tjFree(m_pJpegBuf);
    }
    if (m_hJpeg != nullptr) {
        tjDestroy(m_hJpeg);
    }
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
    std::lock_guard<std::mutex> lock(m_Mutex);
    m_bStarted = false;
    if (m_pAvi) {
        m_pAvi->Close();
        m_pAvi.reset();
        m_Params[P_RECORDING].nValue = 0;
    }
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
    w = kModeSizes[m_nMode].w;
    h = kModeSizes[m_nMode].h;
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
    if (nParam == P_RECORDING) {
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
    if (m_nWhiteBalanceDoneAt != 0 && NowMs() >= m_nWhiteBalanceDoneAt) {
        m_nWhiteBalanceDoneAt = 0;
        m_Params[P_WHITE_BALANCE].nValue = 1;
        m_Params[P_RED_GAIN].nValue = m_Params[P_GREEN_GAIN].nValue = m_Params[P_BLUE_GAIN].nValue = 64;
        m_bPatternDirty = true;
    }
}

int CSimCamera::GetParam(int nParam, int& nValue)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    if (nParam == P_WHITE_BALANCE) {
        SettleWhiteBalance();
    }
    auto it = m_Params.find(nParam);
    if (it == m_Params.end() || !it->second.bEnabled) {
        return -9;
    }
    nValue = it->second.nValue;
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
        m_nWhiteBalanceDoneAt = m_pFaults->bWhiteBalanceNever ? 0 : NowMs() + 300;
    }
    return err;
}

int CSimCamera::GetExposure(float& ms) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    const SIM_PARAM& p = m_Params.at(P_EXPOSURE);
    ms = float(p.bAuto ? 16.5 : p.nValue);
    return 0;
}

int CSimCamera::SetExposure(float ms)
{
    return SetParam(P_EXPOSURE, int(std::lround(ms)));
}

int CSimCamera::WriteCount(int nParam) const
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    auto it = m_WriteCounts.find(nParam);
    return it == m_WriteCounts.end() ? 0 : it->second;
}

double CSimCamera::FrameIntervalMs()
{
    const MODE_SIZE sz = kModeSizes[m_nMode];
    double fps = 30.0;
    if (m_pFaults->nFps > 0) {
        fps = m_pFaults->nFps;
    } else if (m_Model.bColour) {
        fps = std::clamp(m_Params[P_CLOCK].nValue * 1e6 / (double(sz.w) * sz.h * 1.25), 1.0, 60.0);
    } else {
        fps = m_Params[P_FPS].nValue;
    }
    const SIM_PARAM& exp = m_Params[P_EXPOSURE];
    const double exposure = m_pFaults->nFps > 0 ? 0.0 : (exp.bAuto ? 16.5 : exp.nValue);
    return std::max(1000.0 / fps, exposure);
}

PATTERN_LOOK CSimCamera::Look()
{
    PATTERN_LOOK look;
    look.bColour = m_Model.bColour;
    look.bMirror = m_Params[P_FLIP_H].nValue != 0;
    look.dGain = 0.6 + m_Params[P_GAIN].nValue / 50.0;
    look.nBrightness = m_Params[P_BRIGHTNESS].nValue;
    if (m_Model.bColour) {
        look.dChannel[0] = m_Params[P_BLUE_GAIN].nValue / 64.0;
        look.dChannel[1] = m_Params[P_GREEN_GAIN].nValue / 64.0;
        look.dChannel[2] = m_Params[P_RED_GAIN].nValue / 64.0;
    }
    return look;
}

void CSimCamera::RecordFrame(const uint8_t* pFrame, int w, int h)
{
    CAviWriter* pAvi = nullptr;
    {
        // Only this thread (or Stop, after joining it) ends a recording.
        std::lock_guard<std::mutex> lock(m_Mutex);
        pAvi = m_pAvi.get();
    }
    if (pAvi == nullptr) {
        return;
    }
    if (m_hJpeg == nullptr) {
        m_hJpeg = tjInitCompress();
    }
    const unsigned long need = tjBufSize(w, h, TJSAMP_420);
    if (need > m_nJpegCapacity) {
        if (m_pJpegBuf != nullptr) {
            tjFree(m_pJpegBuf);
        }
        m_pJpegBuf = tjAlloc(int(need));
        m_nJpegCapacity = m_pJpegBuf != nullptr ? need : 0;
    }
    unsigned long size = m_nJpegCapacity;
    if (m_hJpeg != nullptr && m_pJpegBuf != nullptr &&
        tjCompress2(m_hJpeg, pFrame, w, w * 3, h, TJPF_BGR, &m_pJpegBuf, &size, TJSAMP_420, 85, TJFLAG_NOREALLOC) ==
            0) {
        pAvi->AddFrame(m_pJpegBuf, size);
    }
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (NowMs() >= m_nAviEndAt) {
        m_pAvi->Close();
        m_pAvi.reset();
        m_Params[P_RECORDING].nValue = 0;
    }
}

int CSimCamera::SaveAvi(const std::string& path, int nSeconds)
{
    std::lock_guard<std::mutex> lock(m_Mutex);
    if (!m_bOpen) {
        return -1;
    }
    if (!m_bStarted || nSeconds <= 0 || m_pAvi) {
        return m_pAvi ? -17 : -2;
    }
    const MODE_SIZE sz = kModeSizes[m_nMode];
    auto avi = std::make_unique<CAviWriter>();
    if (!avi->Open(path, sz.w, sz.h, 1000.0 / FrameIntervalMs())) {
        return -13;
    }
    m_pAvi = std::move(avi);
    m_nAviEndAt = NowMs() + int64_t(nSeconds) * 1000;
    m_Params[P_RECORDING].nValue = 1;
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
            w = kModeSizes[m_nMode].w;
            h = kModeSizes[m_nMode].h;
            bFlipV = m_Params[P_FLIP_V].nValue != 0;
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
            std::lock_guard<std::mutex> lock(m_Mutex);
            m_bOpen = false; // the camera is gone
            return;
        }
        if (m_pFaults->nBrokenEvery > 0 && nFrame % uint32_t(m_pFaults->nBrokenEvery) == 0) {
            ++m_nBroken;
            continue;
        }
        m_Frame.resize(size_t(w) * h * 3);
        // The picture sways slowly inside the world's margin.
        const double t = nFrame * 0.02;
        const int ox = int(kWorldMargin / 2 + (kWorldMargin / 2 - 1) * std::sin(t));
        const int oy = int(kWorldMargin / 2 + (kWorldMargin / 4) * std::sin(t * 0.7));
        m_Pattern.CutFrame(m_Frame.data(), ox, oy, bFlipV);
        CTestPattern::DrawNumber(m_Frame.data(), w, h, w - 160, 12, nFrame, 3);
        ++m_nGood;
        if (pCallback != nullptr) {
            pCallback(0, m_Frame.data(), int(m_Frame.size()), pContext);
        }
        RecordFrame(m_Frame.data(), w, h);
    }
}

} // namespace simcam
