// The SDK's entry points over the simulated cameras, plus a small control
// surface (ICubeSim_*) that only tests and demos call. Faults can also be set
// through environment variables read by ICubeSDK_Init:
//   PIXMETRA_SIMCAM_CAMERAS=0..2          number of cameras (default 2)
//   PIXMETRA_SIMCAM_NAME_ERROR=i          GetName of camera i fails
//   PIXMETRA_SIMCAM_OPEN_ERROR=-24|-25    the next open reports corrupt configuration data
//   PIXMETRA_SIMCAM_DISCONNECT_AFTER=n    the camera disconnects after n frames
//   PIXMETRA_SIMCAM_BROKEN_EVERY=n        every n-th frame is broken
//   PIXMETRA_SIMCAM_FPS=n                 frame rate regardless of exposure
//   PIXMETRA_SIMCAM_SWAY=1                the picture sways slowly instead of standing still
//   PIXMETRA_SIMCAM_API_VERSION=d.d.d.d   interface version text
#include "camera/ICubeSDK.h"
#include "simcam/SimCamera.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#ifndef SIMCAM_LIBRARY_VERSION
#define SIMCAM_LIBRARY_VERSION "2.0.1.0"
#endif

using namespace simcam;

namespace {

struct SDK_STATE {
    std::mutex mutex;
    SIM_FAULTS faults;
    std::vector<std::unique_ptr<CSimCamera>> cameras;
    int nNameError = -1;
    std::string apiVersion = "1.0.4.2";
};

SDK_STATE& State()
{
    // Destroyed when the library is unloaded: the cameras stop their threads then.
    static SDK_STATE state;
    return state;
}

int EnvInt(const char* name, int def)
{
    const char* v = std::getenv(name);
    return (v != nullptr && *v != 0) ? std::atoi(v) : def;
}

CSimCamera* Cam(int nCam)
{
    SDK_STATE& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return (nCam >= 0 && size_t(nCam) < s.cameras.size()) ? s.cameras[size_t(nCam)].get() : nullptr;
}

int CopyText(char* dst, const std::string& text, size_t cap)
{
    if (dst == nullptr) {
        return -2;
    }
    const size_t n = text.size() < cap - 1 ? text.size() : cap - 1;
    std::memcpy(dst, text.data(), n);
    dst[n] = 0;
    return 0;
}

// A setting the simulated cameras lack: nResult for a camera that exists, -1 otherwise.
int Unsupported(int nCam, int nResult)
{
    return Cam(nCam) != nullptr ? nResult : -1;
}

// The reading of a setting the simulated cameras lack: 0 into pValue when given.
int ReportNone(int nCam, int* pValue)
{
    if (Cam(nCam) == nullptr) {
        return -1;
    }
    if (pValue != nullptr) {
        *pValue = 0;
    }
    return 0;
}

} // namespace

#define CAM_OR_FAIL(n)          \
    CSimCamera* c = Cam(n);     \
    if (c == nullptr) {         \
        return -1;              \
    }

extern "C" {

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_Init(void)
{
    SDK_STATE& s = State();
    std::vector<std::unique_ptr<CSimCamera>> old;
    {
        std::lock_guard<std::mutex> lock(s.mutex);
        old.swap(s.cameras);
    }
    old.clear(); // stops their threads
    std::lock_guard<std::mutex> lock(s.mutex);
    // The environment sets faults; the control surface may have set them already.
    s.faults.nOpenError = EnvInt("PIXMETRA_SIMCAM_OPEN_ERROR", s.faults.nOpenError);
    s.faults.nDisconnectAfter = EnvInt("PIXMETRA_SIMCAM_DISCONNECT_AFTER", s.faults.nDisconnectAfter);
    s.faults.nBrokenEvery = EnvInt("PIXMETRA_SIMCAM_BROKEN_EVERY", s.faults.nBrokenEvery);
    s.faults.nFps = EnvInt("PIXMETRA_SIMCAM_FPS", s.faults.nFps);
    s.faults.bSway = EnvInt("PIXMETRA_SIMCAM_SWAY", s.faults.bSway ? 1 : 0) != 0;
    s.nNameError = EnvInt("PIXMETRA_SIMCAM_NAME_ERROR", s.nNameError);
    if (const char* v = std::getenv("PIXMETRA_SIMCAM_API_VERSION")) {
        s.apiVersion = v;
    }
    const int n = EnvInt("PIXMETRA_SIMCAM_CAMERAS", 2);
    if (n >= 1) {
        s.cameras.push_back(std::make_unique<CSimCamera>(
            SIM_MODEL{"SimCam NS4133CU Colour", "SC25919440", "3.12", true, {8, 7, 6, 5, 4, 3, 1, 0}, 8}, &s.faults));
    }
    if (n >= 2) {
        s.cameras.push_back(std::make_unique<CSimCamera>(
            SIM_MODEL{"SimCam NM1300BU Mono", "SM12801024", "2.07", false, {5, 4, 2, 1, 0}, 5}, &s.faults));
    }
    return int(s.cameras.size());
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetVersion(int nKind, char* pszVersion)
{
    SDK_STATE& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    return CopyText(pszVersion, nKind == 1 ? s.apiVersion : std::string(SIMCAM_LIBRARY_VERSION), 8);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetFWVersion(int nCam, char* pszVersion)
{
    CAM_OR_FAIL(nCam);
    return CopyText(pszVersion, c->Model().firmware, 8);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetSerialNum(int nCam, char* pszSerial)
{
    CAM_OR_FAIL(nCam);
    return CopyText(pszSerial, c->Model().serial, 12);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetFPGAVersion(int nCam, char* pszVersion)
{
    CAM_OR_FAIL(nCam);
    return CopyText(pszVersion, "1.5", 8);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetName(int nCam, char* pszName)
{
    CAM_OR_FAIL(nCam);
    {
        SDK_STATE& s = State();
        std::lock_guard<std::mutex> lock(s.mutex);
        if (s.nNameError == nCam) {
            return -16;
        }
    }
    return CopyText(pszName, c->Model().name, 64);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_Open(int nCam)
{
    CAM_OR_FAIL(nCam);
    return c->Open();
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_Close(int nCam)
{
    CAM_OR_FAIL(nCam);
    return c->Close();
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_IsOpen(int nCam)
{
    CSimCamera* c = Cam(nCam);
    return (c != nullptr && c->IsOpen()) ? 1 : 0;
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_IsOpenEx(int nCam, int* pOpen)
{
    if (pOpen == nullptr) {
        return -2;
    }
    *pOpen = ICubeSDK_IsOpen(nCam);
    return 0;
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetCallback(int nCam, int nMode, ICUBE_FRAME_CALLBACK pCallback, void* pContext)
{
    (void)nMode;
    CAM_OR_FAIL(nCam);
    return c->SetCallback(pCallback, pContext);
}

#ifndef SIMCAM_PARTIAL
ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetCallbackEx(int nCam, int nMode, ICUBE_FRAME_CALLBACK pCallback,
                                                   void* pContext)
{
    (void)nMode;
    CAM_OR_FAIL(nCam);
    return c->SetCallback(pCallback, pContext);
}
#endif

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_Start(int nCam, void* hWnd, int bPreview, int bCallback)
{
    (void)hWnd;
    (void)bPreview;
    (void)bCallback;
    CAM_OR_FAIL(nCam);
    return c->Start();
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_IsStarted(int nCam)
{
    CSimCamera* c = Cam(nCam);
    return (c != nullptr && c->IsStarted()) ? 1 : 0;
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_Stop(int nCam)
{
    CAM_OR_FAIL(nCam);
    return c->Stop();
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetSize(int nCam, int* pWidth, int* pHeight)
{
    CAM_OR_FAIL(nCam);
    if (pWidth == nullptr || pHeight == nullptr) {
        return -2;
    }
    return c->GetSize(*pWidth, *pHeight);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetResolution(int nCam, int* pWidth, int* pHeight)
{
    return ICubeSDK_GetSize(nCam, pWidth, pHeight);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetResolution(int nCam, int nWidth, int nHeight)
{
    (void)nCam;
    (void)nWidth;
    (void)nHeight;
    return -20;
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetResolutionRange(int nCam, int* pMaxWidth, int* pMaxHeight)
{
    return ICubeSDK_GetSize(nCam, pMaxWidth, pMaxHeight);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetMode(int nCam, int nMode)
{
    CAM_OR_FAIL(nCam);
    return c->SetMode(nMode);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetMode(int nCam, int* pMode)
{
    CAM_OR_FAIL(nCam);
    return pMode == nullptr ? -2 : c->GetMode(*pMode);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetModeList(int nCam, int* pCount, int* pModes)
{
    CAM_OR_FAIL(nCam);
    return (pCount == nullptr || pModes == nullptr) ? -2 : c->GetModeList(*pCount, pModes);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetBinSkip(int nCam, int nBinSkip)
{
    (void)nBinSkip;
    return Unsupported(nCam, -20);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetBinSkip(int nCam, int* pBinSkip)
{
    return ReportNone(nCam, pBinSkip);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetBinSkipList(int nCam, int* pCount, int* pList)
{
    (void)pList;
    return ReportNone(nCam, pCount);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SaveToFile(int nCam, char* pszPath)
{
    (void)pszPath;
    return Unsupported(nCam, -21);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SaveAvi(int nCam, char* pszPath, int nCodec, int nSeconds)
{
    (void)nCodec;
    CAM_OR_FAIL(nCam);
    return pszPath == nullptr ? -13 : c->SaveAvi(pszPath, nSeconds);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetTrigger(int nCam, int nMode)
{
    (void)nMode;
    return Unsupported(nCam, -20);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetTrigger(int nCam, int* pMode)
{
    return ReportNone(nCam, pMode);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetCamParameter(int nCam, int nParam, int nValue)
{
    CAM_OR_FAIL(nCam);
    return c->SetParam(nParam, nValue);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetCamParameter(int nCam, int nParam, int* pValue)
{
    CAM_OR_FAIL(nCam);
    return pValue == nullptr ? -2 : c->GetParam(nParam, *pValue);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetCamParameterRange(int nCam, int nParam, void* pRange)
{
    CAM_OR_FAIL(nCam);
    return pRange == nullptr ? -2 : c->GetRange(nParam, *static_cast<ICUBE_PARAM_RANGE*>(pRange));
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetParamAuto(int nCam, int nParam, int* pAuto)
{
    CAM_OR_FAIL(nCam);
    return pAuto == nullptr ? -2 : c->GetAuto(nParam, *pAuto);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetParamAuto(int nCam, int nParam, int bAuto)
{
    CAM_OR_FAIL(nCam);
    return c->SetAuto(nParam, bAuto);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetParamAutoDef(int nCam, int nParam)
{
    CAM_OR_FAIL(nCam);
    return c->SetAutoDef(nParam);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetParamOnePush(int nCam, int nParam)
{
    CAM_OR_FAIL(nCam);
    return c->OnePush(nParam);
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetBrokenFrames(int nCam, int* pCount)
{
    CAM_OR_FAIL(nCam);
    if (pCount == nullptr) {
        return -2;
    }
    *pCount = c->BrokenFrames();
    return 0;
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetGoodFrames(int nCam, int* pCount)
{
    CAM_OR_FAIL(nCam);
    if (pCount == nullptr) {
        return -2;
    }
    *pCount = c->GoodFrames();
    return 0;
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetExposure(int nCam, float fMs)
{
    CAM_OR_FAIL(nCam);
    return c->SetExposure(fMs);
}

#ifndef SIMCAM_PARTIAL
ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetExposure(int nCam, float* pMs)
{
    CAM_OR_FAIL(nCam);
    return pMs == nullptr ? -2 : c->GetExposure(*pMs);
}
#endif

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_GetExposureRange(int nCam, float* pMin, float* pMax, float* pDefault)
{
    CAM_OR_FAIL(nCam);
    if (pMin != nullptr) {
        *pMin = 1.0f;
    }
    if (pMax != nullptr) {
        *pMax = 1000.0f;
    }
    if (pDefault != nullptr) {
        *pDefault = 20.0f;
    }
    return 0;
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetDisplayMode(int nCam, int nMode)
{
    (void)nMode;
    return Unsupported(nCam, 0); // nothing to display: accepted
}

ICUBE_EXPORT int ICUBE_CALL ICubeSDK_SetResolutionParam(int nCam, int nParam, int nValue)
{
    (void)nParam;
    (void)nValue;
    return Unsupported(nCam, -20);
}

// --- control surface for tests and demos -----------------------------------

// A camera that disconnected stays away until plug_in brings it back.
// Recordings have faults of their own: avi_stop_after (frames, then the
// recording ends as if the cable were pulled), avi_riff_limit (bytes per RIFF
// list) and avi_second_ms (how long a recorded second lasts).
ICUBE_EXPORT void ICubeSim_SetFault(const char* pszName, int nValue)
{
    SDK_STATE& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    const std::string name = pszName != nullptr ? pszName : "";
    if (name == "open_error") {
        s.faults.nOpenError = nValue;
    } else if (name == "disconnect_after") {
        s.faults.nDisconnectAfter = nValue;
    } else if (name == "broken_every") {
        s.faults.nBrokenEvery = nValue;
    } else if (name == "fps") {
        s.faults.nFps = nValue;
    } else if (name == "no_onepush") {
        s.faults.bNoOnePush = nValue != 0;
    } else if (name == "wb_never") {
        s.faults.bWhiteBalanceNever = nValue != 0;
    } else if (name == "sway") {
        s.faults.bSway = nValue != 0;
    } else if (name == "avi_stop_after") {
        s.faults.nAviStopAfter = nValue;
    } else if (name == "avi_riff_limit") {
        s.faults.nAviRiffLimit = nValue;
    } else if (name == "avi_second_ms") {
        s.faults.nAviSecondMs = nValue;
    } else if (name == "name_error") {
        s.nNameError = nValue;
    } else if (name == "plug_in") {
        // Cameras that disconnected come back on the bus.
        for (const auto& camera : s.cameras) {
            camera->PlugIn();
        }
    }
}

ICUBE_EXPORT void ICubeSim_SetApiVersion(const char* pszVersion)
{
    SDK_STATE& s = State();
    std::lock_guard<std::mutex> lock(s.mutex);
    s.apiVersion = pszVersion != nullptr ? pszVersion : "";
}

// Writes of parameter nParam, or the open count for nParam -1.
ICUBE_EXPORT int ICubeSim_GetCount(int nCam, int nParam)
{
    CSimCamera* c = Cam(nCam);
    if (c == nullptr) {
        return -1;
    }
    return nParam < 0 ? c->OpenCount() : c->WriteCount(nParam);
}

} // extern "C"
