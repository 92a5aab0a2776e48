// The camera library the program loads on Linux: the SDK's entry points over
// the UVC cameras present and, after them, the simulated cameras of the
// simulator library beside this one (libICubeSim.so). Setting
// PIXMETRA_UVC_CAMERAS=0 leaves the UVC cameras out (the tests do, so a
// camera on the developer's machine does not shift the simulated ones).
#include "camera/CameraModes.h"
#include "camera/ICubeParams.h"
#include "camera/ICubeSDK.h"
#include "uvccam/CameraHub.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <string>

using namespace uvccam;

namespace {

constexpr const char* kLibraryVersion = "2.0.1.0";
constexpr const char* kInterfaceVersion = "1.0.4.2";
constexpr int kNotSupported = -20;

struct HUB_STATE {
    SIM_LINK sim;
    bool bSim;
    CCameraHub hub;
    HUB_STATE() : bSim(sim.Load(OwnFolder() + "libICubeSim.so")), hub(RealUvcSys(), bSim ? &sim : nullptr) {}
};

HUB_STATE& State()
{
    static HUB_STATE state;
    return state;
}

CCameraHub& Hub()
{
    return State().hub;
}

const SIM_LINK& Sim()
{
    return State().sim;
}

int CopyText(char* pDst, const std::string& text, size_t nCap)
{
    if (pDst == nullptr) {
        return UVC_E_RANGE;
    }
    const size_t n = text.size() < nCap - 1 ? text.size() : nCap - 1;
    std::memcpy(pDst, text.data(), n);
    pDst[n] = 0;
    return UVC_OK;
}

bool UvcWanted()
{
    const char* v = std::getenv("PIXMETRA_UVC_CAMERAS");
    return v == nullptr || std::strcmp(v, "0") != 0;
}

} // namespace

// One entry point's body: the UVC camera's statement block, or the
// simulator's same call with its own index.
#define HUB_ROUTE(nCam, simCall, ...)                                                                                  \
    return Hub().Route(                                                                                                \
        nCam, [&](CUvcCamera & c) -> int { (void)c; __VA_ARGS__ }, [&](int n) -> int { return Sim().simCall; })

#define HUB_NEEDS_OPEN                                                                                                 \
    if (!c.IsOpen()) {                                                                                                 \
        return UVC_E_NOT_OPEN;                                                                                         \
    }

extern "C" {

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_Init(void)
{
    return Hub().Init(UvcWanted());
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetVersion(int nKind, char* pszVersion)
{
    if (Sim().IsLoaded()) {
        return Sim().ICubeSDK_GetVersion(nKind, pszVersion);
    }
    return CopyText(pszVersion, nKind == 1 ? kInterfaceVersion : kLibraryVersion, 8);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetFWVersion(int nCam, char* psz)
{
    HUB_ROUTE(nCam, ICubeSDK_GetFWVersion(n, psz), { return CopyText(psz, c.Info().VersionText(), 8); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetSerialNum(int nCam, char* psz)
{
    HUB_ROUTE(nCam, ICubeSDK_GetSerialNum(n, psz), { return CopyText(psz, c.SerialText(), 12); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetFPGAVersion(int nCam, char* psz)
{
    HUB_ROUTE(nCam, ICubeSDK_GetFPGAVersion(n, psz), { return CopyText(psz, "0.0", 8); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetName(int nCam, char* psz)
{
    HUB_ROUTE(nCam, ICubeSDK_GetName(n, psz), { return CopyText(psz, c.Info().Card, 64); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_Open(int nCam)
{
    HUB_ROUTE(nCam, ICubeSDK_Open(n), { return Hub().Open(c); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_Close(int nCam)
{
    HUB_ROUTE(nCam, ICubeSDK_Close(n), { return c.Close(); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_IsOpen(int nCam)
{
    const int r = Hub().Route(nCam, [](CUvcCamera& c) { return c.IsOpen() ? 1 : 0; },
                              [](int n) { return Sim().ICubeSDK_IsOpen(n); });
    return r == 1 ? 1 : 0;
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_IsOpenEx(int nCam, int* pOpen)
{
    if (pOpen == nullptr) {
        return UVC_E_RANGE;
    }
    *pOpen = ICubeSDK_IsOpen(nCam);
    return UVC_OK;
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetCallback(int nCam, int nMode, ICUBE_FRAME_CALLBACK pCallback, void* pContext)
{
    HUB_ROUTE(nCam, ICubeSDK_SetCallback(n, nMode, pCallback, pContext), { return c.SetCallback(pCallback, pContext); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetCallbackEx(int nCam, int nMode, ICUBE_FRAME_CALLBACK pCallback,
                                                   void* pContext)
{
    HUB_ROUTE(nCam, ICubeSDK_SetCallbackEx(n, nMode, pCallback, pContext), { return c.SetCallback(pCallback, pContext); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_Start(int nCam, void* hWnd, int bPreview, int bCallback)
{
    HUB_ROUTE(nCam, ICubeSDK_Start(n, hWnd, bPreview, bCallback), { return c.Start(); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_IsStarted(int nCam)
{
    const int r = Hub().Route(nCam, [](CUvcCamera& c) { return c.IsStarted() ? 1 : 0; },
                              [](int n) { return Sim().ICubeSDK_IsStarted(n); });
    return r == 1 ? 1 : 0;
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_Stop(int nCam)
{
    HUB_ROUTE(nCam, ICubeSDK_Stop(n), { return c.Stop(); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetSize(int nCam, int* pWidth, int* pHeight)
{
    HUB_ROUTE(nCam, ICubeSDK_GetSize(n, pWidth, pHeight), {
        if (pWidth == nullptr || pHeight == nullptr) {
            return UVC_E_RANGE;
        }
        return c.GetSize(*pWidth, *pHeight);
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetResolution(int nCam, int* pWidth, int* pHeight)
{
    HUB_ROUTE(nCam, ICubeSDK_GetResolution(n, pWidth, pHeight), {
        if (pWidth == nullptr || pHeight == nullptr) {
            return UVC_E_RANGE;
        }
        return c.GetSize(*pWidth, *pHeight);
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetResolution(int nCam, int nWidth, int nHeight)
{
    HUB_ROUTE(nCam, ICubeSDK_SetResolution(n, nWidth, nHeight), { return c.SetMode(CameraModeOfSize(nWidth, nHeight)); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetResolutionRange(int nCam, int* pMaxWidth, int* pMaxHeight)
{
    HUB_ROUTE(nCam, ICubeSDK_GetResolutionRange(n, pMaxWidth, pMaxHeight), {
        HUB_NEEDS_OPEN
        int nCount = 0;
        int modes[UVC_MODE_LIST_MAX];
        int32_t w = 0, h = 0;
        if (pMaxWidth == nullptr || pMaxHeight == nullptr || c.GetModeList(nCount, modes) != UVC_OK || nCount == 0 ||
            !CameraModeSize(modes[nCount - 1], w, h)) {
            return UVC_E_RANGE;
        }
        *pMaxWidth = w;
        *pMaxHeight = h;
        return UVC_OK;
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetMode(int nCam, int nMode)
{
    HUB_ROUTE(nCam, ICubeSDK_SetMode(n, nMode), { return c.SetMode(nMode); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetMode(int nCam, int* pMode)
{
    HUB_ROUTE(nCam, ICubeSDK_GetMode(n, pMode), { return pMode != nullptr ? c.GetMode(*pMode) : UVC_E_RANGE; });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetModeList(int nCam, int* pCount, int* pModes)
{
    HUB_ROUTE(nCam, ICubeSDK_GetModeList(n, pCount, pModes), { return pCount != nullptr && pModes != nullptr ? c.GetModeList(*pCount, pModes) : UVC_E_RANGE; });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetBinSkip(int nCam, int nBinSkip)
{
    HUB_ROUTE(nCam, ICubeSDK_SetBinSkip(n, nBinSkip), { return kNotSupported; });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetBinSkip(int nCam, int* pBinSkip)
{
    HUB_ROUTE(nCam, ICubeSDK_GetBinSkip(n, pBinSkip), { return kNotSupported; });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetBinSkipList(int nCam, int* pCount, int* pList)
{
    HUB_ROUTE(nCam, ICubeSDK_GetBinSkipList(n, pCount, pList), { return kNotSupported; });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SaveToFile(int nCam, char* pszPath)
{
    HUB_ROUTE(nCam, ICubeSDK_SaveToFile(n, pszPath), { return kNotSupported; });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SaveAvi(int nCam, char* pszPath, int nCodec, int nSeconds)
{
    HUB_ROUTE(nCam, ICubeSDK_SaveAvi(n, pszPath, nCodec, nSeconds),
              { return pszPath != nullptr ? c.SaveAvi(pszPath, nSeconds) : UVC_E_RANGE; });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetTrigger(int nCam, int nMode)
{
    HUB_ROUTE(nCam, ICubeSDK_SetTrigger(n, nMode), { return kNotSupported; });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetTrigger(int nCam, int* pMode)
{
    HUB_ROUTE(nCam, ICubeSDK_GetTrigger(n, pMode), { return kNotSupported; });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetCamParameter(int nCam, int nParam, int nValue)
{
    HUB_ROUTE(nCam, ICubeSDK_SetCamParameter(n, nParam, nValue), { return c.SetParameter(nParam, nValue); });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetCamParameter(int nCam, int nParam, int* pValue)
{
    HUB_ROUTE(nCam, ICubeSDK_GetCamParameter(n, nParam, pValue), {
        HUB_NEEDS_OPEN
        return pValue != nullptr ? c.GetParameter(nParam, *pValue) : UVC_E_RANGE;
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetCamParameterRange(int nCam, int nParam, void* pRange)
{
    HUB_ROUTE(nCam, ICubeSDK_GetCamParameterRange(n, nParam, pRange), {
        HUB_NEEDS_OPEN
        if (pRange == nullptr) {
            return UVC_E_RANGE;
        }
        UVC_PARAM_RANGE range;
        const int r = c.GetParameterRange(nParam, range);
        std::memcpy(pRange, &range, sizeof(range)); // a lacking control reads as not enabled
        return r;
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetParamAuto(int nCam, int nParam, int* pAuto)
{
    HUB_ROUTE(nCam, ICubeSDK_GetParamAuto(n, nParam, pAuto), {
        HUB_NEEDS_OPEN
        return pAuto != nullptr ? c.Controls()->GetAuto(nParam, *pAuto) : UVC_E_RANGE;
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetParamAuto(int nCam, int nParam, int bAuto)
{
    HUB_ROUTE(nCam, ICubeSDK_SetParamAuto(n, nParam, bAuto), {
        HUB_NEEDS_OPEN
        return c.Controls()->SetAuto(nParam, bAuto);
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetParamAutoDef(int nCam, int nParam)
{
    HUB_ROUTE(nCam, ICubeSDK_SetParamAutoDef(n, nParam), {
        HUB_NEEDS_OPEN
        return c.Controls()->SetAutoDefault(nParam);
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetParamOnePush(int nCam, int nParam)
{
    HUB_ROUTE(nCam, ICubeSDK_SetParamOnePush(n, nParam), {
        HUB_NEEDS_OPEN
        return c.Controls()->OnePush(nParam);
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetBrokenFrames(int nCam, int* pCount)
{
    HUB_ROUTE(nCam, ICubeSDK_GetBrokenFrames(n, pCount), {
        HUB_NEEDS_OPEN
        if (pCount == nullptr) {
            return UVC_E_RANGE;
        }
        *pCount = c.GetBrokenFrames();
        return UVC_OK;
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetGoodFrames(int nCam, int* pCount)
{
    HUB_ROUTE(nCam, ICubeSDK_GetGoodFrames(n, pCount), {
        HUB_NEEDS_OPEN
        if (pCount == nullptr) {
            return UVC_E_RANGE;
        }
        *pCount = c.GetGoodFrames();
        return UVC_OK;
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetExposure(int nCam, float fMs)
{
    HUB_ROUTE(nCam, ICubeSDK_SetExposure(n, fMs), {
        HUB_NEEDS_OPEN
        return c.SetParameter(ICUBE_PARAM_EXPOSURE, int(std::lround(fMs * 10.0f)));
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetExposure(int nCam, float* pMs)
{
    HUB_ROUTE(nCam, ICubeSDK_GetExposure(n, pMs), {
        HUB_NEEDS_OPEN
        return pMs != nullptr ? c.Controls()->GetExposureMs(*pMs) : UVC_E_RANGE;
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetExposureRange(int nCam, float* pMin, float* pMax, float* pDefault)
{
    HUB_ROUTE(nCam, ICubeSDK_GetExposureRange(n, pMin, pMax, pDefault), {
        HUB_NEEDS_OPEN
        UVC_PARAM_RANGE range;
        const int r = c.Controls()->GetRange(ICUBE_PARAM_EXPOSURE, range);
        if (r != UVC_OK || pMin == nullptr || pMax == nullptr || pDefault == nullptr) {
            return r != UVC_OK ? r : UVC_E_RANGE;
        }
        *pMin = float(range.nMin) * 0.1f;
        *pMax = float(range.nMax) * 0.1f;
        *pDefault = float(range.nDefault) * 0.1f;
        return UVC_OK;
    });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetDisplayMode(int nCam, int nMode)
{
    HUB_ROUTE(nCam, ICubeSDK_SetDisplayMode(n, nMode), { return UVC_OK; });
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetResolutionParam(int nCam, int nParam, int nValue)
{
    HUB_ROUTE(nCam, ICubeSDK_SetResolutionParam(n, nParam, nValue), { return kNotSupported; });
}

// The simulator's control surface, passed on with its own camera index.
ICUBE_EXPORT void ICubeSim_SetFault(const char* pszName, int nValue)
{
    if (Sim().ICubeSim_SetFault != nullptr) {
        Sim().ICubeSim_SetFault(pszName, nValue);
    }
}

ICUBE_EXPORT void ICubeSim_SetApiVersion(const char* pszVersion)
{
    if (Sim().ICubeSim_SetApiVersion != nullptr) {
        Sim().ICubeSim_SetApiVersion(pszVersion);
    }
}

ICUBE_EXPORT int ICubeSim_GetCount(int nCam, int nParam)
{
    const int n = Hub().SimIndex(nCam);
    return n >= 0 && Sim().ICubeSim_GetCount != nullptr ? Sim().ICubeSim_GetCount(n, nParam) : -1;
}

} // extern "C"
