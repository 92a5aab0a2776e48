#include "camera/CameraCtrl.h"

#include "app/LogFile.h"
#include "platform/SyncEvent.h"

#include <QByteArray>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <thread>

namespace {

struct MODE_SIZE {
    int32_t w, h;
};
const MODE_SIZE kModeSizes[CAMERA_MODE_MAX] = {{320, 240},   {640, 480},   {752, 480},   {800, 600},
                                               {1024, 768},  {1280, 1024}, {1600, 1200}, {2048, 1536},
                                               {2592, 1944}, {3840, 2748}, {1920, 1200}};

const int kSdkParamIds[CAMERA_PARAM_NUM] = {7,  8,   12, 13,  15,  147, 4,   5,   117, 1,   2,  19, 109,
                                            111, 3, 110, 115, 9,  10,  11,  106, 107, 108, 24, 116};

constexpr int SDK_PARAM_WHITE_BALANCE = 6;
constexpr int SDK_PARAM_EXPOSURE = 7;
constexpr int SDK_PARAM_COLOR = 14;
constexpr int SDK_PARAM_RECORDING = 24;
constexpr int SDK_PARAM_MODEL_FIX = 43;
constexpr int SDK_PARAM_CONFIG_RESET = 143;

QString Text(const char* psz)
{
    return QString::fromLocal8Bit(psz);
}

} // namespace

// ---------------------------------------------------------------------------

CCameraCtrl::CCameraCtrl(CICubeApi* pApi)
{
    m_pApi = pApi != nullptr ? pApi : &CICubeApi::Process();
    if (!m_pApi->IsLoaded()) {
        m_pApi = nullptr;
        m_nLastError = 1;
        Log(QStringLiteral("[CameraCtrl]LoadICubeApi() Error!"));
        return;
    }
    if (!m_pApi->IsUsable()) {
        // An entry point that is missing is never called: no camera at all.
        m_nLastError = 1;
        Log(QStringLiteral("[CameraCtrl]LoadICubeApi() Error!  Missing : ") +
            m_pApi->MissingEntryPoints().join(QStringLiteral(", ")));
        m_pApi = nullptr;
        return;
    }
    m_bLibraryLoaded = TRUE;
    const int n = m_pApi->ICubeSDK_Init();
    Log(QString::asprintf("[CameraCtrl]ICubeSDK_Init()  Camera count : %d", n));
    for (int i = 0; i < n; ++i) {
        char name[256] = {};
        const int err = m_pApi->ICubeSDK_GetName(i, name);
        if (err != 0) {
            m_nLastError = err;
            Log(QString::asprintf("[CameraCtrl]ICubeSDK_GetName() Error!  Idx : %d  Err : %d", i, err));
            break;
        }
        name[sizeof(name) - 1] = 0;
        m_CameraNames << Text(name);
        Log(QString::asprintf("[CameraCtrl]ICubeSDK_GetName()  Idx : %d  Name : ", i) + Text(name));
    }
    if (m_nLastError != 0) {
        m_CameraNames.clear(); // a naming error offers no camera at all
    }
}

CCameraCtrl::~CCameraCtrl()
{
    CloseCamera();
}

void CCameraCtrl::Log(const QString& text) const
{
    WriteLog(text);
}

BOOL CCameraCtrl::Fail(int nCode)
{
    m_nLastError = nCode;
    return FALSE;
}

bool CCameraCtrl::Failed(int nCode, const char* pszLogFormat)
{
    if (nCode == 0) {
        return false;
    }
    m_nLastError = nCode;
    if (pszLogFormat != nullptr) {
        Log(QString::asprintf(pszLogFormat, nCode));
    }
    return true;
}

QString CCameraCtrl::GetCameraName(int nIndex) const
{
    return (nIndex >= 0 && nIndex < m_CameraNames.size()) ? m_CameraNames[nIndex] : QString();
}

BOOL CCameraCtrl::IsOpen() const
{
    return (Usable() && m_nCurrentCamera != -1 && m_pApi->ICubeSDK_IsOpen(m_nCurrentCamera) == 1) ? TRUE : FALSE;
}

BOOL CCameraCtrl::OpenCamera(int nIndex)
{
    if (IsOpen() && m_nCurrentCamera == nIndex) {
        return TRUE;
    }
    if (!Usable() || m_CameraNames.isEmpty()) {
        Log(QStringLiteral("[CameraCtrl]OpenCamera()  Load DLL Error or not Conected Camera"));
        return FALSE;
    }
    if (nIndex < 0 || nIndex >= m_CameraNames.size()) {
        return FALSE;
    }
    CloseCamera();
    int err = m_pApi->ICubeSDK_Open(nIndex);
    if (err == -24 || err == -25) {
        // Corrupt configuration data: reset it and try once more.
        m_nLastError = err;
        m_pApi->ICubeSDK_SetCamParameter(nIndex, SDK_PARAM_CONFIG_RESET, 0);
        m_pApi->ICubeSDK_Close(nIndex);
        err = m_pApi->ICubeSDK_Open(nIndex);
    }
    if (err != 0) {
        return Fail(err);
    }
    m_nCurrentCamera = nIndex;
    auto fail = [&](int code) {
        m_pApi->ICubeSDK_Close(nIndex);
        m_nCurrentCamera = -1;
        m_nLastError = code;
        return FALSE;
    };
    char name[256] = {};
    if ((err = m_pApi->ICubeSDK_GetName(nIndex, name)) != 0) {
        return fail(err);
    }
    const QByteArray n(name);
    if (n.contains("4133") || n.contains("4203")) {
        if ((err = m_pApi->ICubeSDK_SetCamParameter(nIndex, SDK_PARAM_MODEL_FIX, 1)) != 0) {
            return fail(err);
        }
    }
    int count = 0;
    int modes[32] = {};
    if ((err = m_pApi->ICubeSDK_GetModeList(nIndex, &count, modes)) == 0) {
        m_nModeCount = std::clamp(count, 0, CAMERA_MODE_MAX);
        std::copy(modes, modes + m_nModeCount, m_nModeList);
        if ((err = m_pApi->ICubeSDK_GetMode(nIndex, &m_nCurrentMode)) != 0) {
            m_nLastError = err;
        }
    } else {
        m_nLastError = err;
    }
    if ((err = m_pApi->ICubeSDK_GetSize(nIndex, &m_nWidth, &m_nHeight)) != 0 || m_nWidth <= 0 || m_nHeight <= 0) {
        return fail(err != 0 ? err : 1);
    }
    int colour = 0;
    m_pApi->ICubeSDK_GetCamParameter(nIndex, SDK_PARAM_COLOR, &colour);
    m_bColorCamera = colour == 1 ? TRUE : FALSE;
    m_bGrayDisplay = m_bColorCamera ? FALSE : TRUE;
    m_nFrameSize = m_nWidth * m_nHeight * 3;
    if (!m_Ring.Allocate(size_t(m_nFrameSize), m_nWidth, m_nHeight)) {
        return fail(ICUBE_ERR_NO_IMAGE_MEMORY);
    }
    return TRUE;
}

void CCameraCtrl::DeactivateCallback()
{
    m_Context.bActive = false;
    // Wait out a callback that is already running; after this none touches us.
    while (m_Context.nInFlight.load() > 0) {
        std::this_thread::yield();
    }
}

BOOL CCameraCtrl::CloseCamera()
{
    if (m_nCurrentCamera == -1) {
        return TRUE;
    }
    if (Usable()) {
        StopStreaminig();
        DeactivateCallback();
        const int err = m_pApi->ICubeSDK_Close(m_nCurrentCamera);
        if (err != 0) {
            m_nLastError = err;
        }
    }
    m_Ring.Free();
    m_nCurrentCamera = -1;
    m_nModeCount = 0;
    m_nCurrentMode = -1;
    Log(QStringLiteral("[CameraCtrl]CloseCamera()"));
    return TRUE;
}

BOOL CCameraCtrl::GetImageSize(int32_t& nWidth, int32_t& nHeight, BOOL* pbColor, int32_t* pnFrameSize) const
{
    if (!IsOpen()) {
        return FALSE;
    }
    nWidth = m_nWidth;
    nHeight = m_nHeight;
    if (pbColor != nullptr) {
        *pbColor = m_bColorCamera;
    }
    if (pnFrameSize != nullptr) {
        *pnFrameSize = m_nFrameSize;
    }
    return TRUE;
}

BOOL CCameraCtrl::IsStreaming() const
{
    return (IsOpen() && m_pApi->ICubeSDK_IsStarted(m_nCurrentCamera) == 1) ? TRUE : FALSE;
}

BOOL CCameraCtrl::StartStreaming(IMessageSink* pReceiver, UINT nFrameMessage, UINT nDisconnectMessage)
{
    Log(QStringLiteral("[CameraCtrl]StartStreaming()->"));
    if (!IsOpen()) {
        return FALSE;
    }
    if (IsStreaming()) {
        return TRUE;
    }
    m_pReceiver = pReceiver;
    m_nFrameMessage = nFrameMessage;
    m_nDisconnectMessage = nDisconnectMessage;
    m_Context.pCtrl = this;
    m_Context.pReceiver = pReceiver;
    m_Context.nFrameMessage = nFrameMessage;
    m_Context.nDisconnectMessage = nDisconnectMessage;
    m_Context.nNextSlot = 0;
    m_nFrameFrequency = platform::QueryPerformanceFrequency();
    m_nFrameMark = platform::QueryPerformanceCounter();
    m_Context.bActive = true;
    int err = m_pApi->ICubeSDK_SetCallbackEx(m_nCurrentCamera, 1, &CCameraCtrl::FrameCallback, &m_Context);
    if (err == 0) {
        err = m_pApi->ICubeSDK_Start(m_nCurrentCamera, nullptr, 0, 1);
    }
    if (err != 0) {
        DeactivateCallback();
        m_nLastError = err;
        return FALSE;
    }
    Log(QStringLiteral("[CameraCtrl]->StartStreaming() is End"));
    return TRUE;
}

BOOL CCameraCtrl::StopStreaminig()
{
    if (!IsStreaming()) {
        return FALSE;
    }
    const int err = m_pApi->ICubeSDK_Stop(m_nCurrentCamera);
    DeactivateCallback();
    if (err != 0) {
        m_nLastError = err;
        Log(QStringLiteral("[CameraCtrl]StopStreaminig() Error!"));
        return FALSE;
    }
    Log(QStringLiteral("[CameraCtrl]StopStreaminig()"));
    return TRUE;
}

int CCameraCtrl::CopyFrameToRing(const void* pData, int nSize)
{
    const int slot = m_Ring.Write(m_Context.nNextSlot.load(std::memory_order_relaxed), pData, size_t(nSize < 0 ? 0 : nSize));
    if (slot < 0) {
        ++m_nDropped;
        return -1;
    }
    m_Context.nNextSlot.store((slot + 1) % FRAME_RING_NUM, std::memory_order_relaxed);
    return slot;
}

int ICUBE_CALL CCameraCtrl::FrameCallback(int nEvent, void* pData, int nSize, void* pContext)
{
    auto* ctx = static_cast<CALLBACK_CONTEXT*>(pContext);
    if (ctx == nullptr) {
        return 42;
    }
    ctx->nInFlight.fetch_add(1);
    if (!ctx->bActive.load()) {
        ctx->nInFlight.fetch_sub(1);
        return 42;
    }
    CCameraCtrl* self = ctx->pCtrl;
    if (nEvent == 0) {
        const int slot = self->CopyFrameToRing(pData, nSize);
        const int64_t now = platform::QueryPerformanceCounter();
        const int32_t intervalMs = int32_t((now - self->m_nFrameMark) * 1000 / self->m_nFrameFrequency);
        self->m_nFrameMark = now;
        if (slot >= 0 && ctx->pReceiver != nullptr) {
            ctx->pReceiver->PostMessage(ctx->nFrameMessage, WPARAM(slot), LPARAM(std::trunc(intervalMs * 1000.0)));
        }
    } else if (nEvent == 1 && ctx->pReceiver != nullptr) {
        ctx->pReceiver->PostMessage(ctx->nDisconnectMessage, 0, 0);
    }
    ctx->nInFlight.fetch_sub(1);
    return 42;
}

BOOL CCameraCtrl::ShotImage(void* pDest, int nSlot)
{
    return ShotImage(pDest, size_t(m_nFrameSize), nSlot, nullptr);
}

BOOL CCameraCtrl::ShotImage(void* pDest, size_t nDestSize, int nSlot, FRAME_INFO* pInfo)
{
    if (pDest == nullptr) {
        return FALSE;
    }
    if (!IsStreaming()) {
        Log(QStringLiteral("[CameraCtrl]ShotImage()  not Streaming Error!"));
        return FALSE;
    }
    const int slot = nSlot < 0 ? m_Ring.LatestSlot() : nSlot;
    return m_Ring.Read(slot, pDest, nDestSize, pInfo) ? TRUE : FALSE;
}

BOOL CCameraCtrl::ShotImageTo(int nSlot, const std::function<bool(const uint8_t*, const FRAME_INFO&)>& fnUse)
{
    if (!IsStreaming()) {
        Log(QStringLiteral("[CameraCtrl]ShotImage()  not Streaming Error!"));
        return FALSE;
    }
    return m_Ring.Use(nSlot < 0 ? m_Ring.LatestSlot() : nSlot, fnUse) ? TRUE : FALSE;
}

BOOL CCameraCtrl::StartSaveAVI(const QString& path, int nSeconds)
{
    if (!IsStreaming()) {
        Log(QStringLiteral("[CameraCtrl]StartSaveAVI()  not Streaming Error!"));
        return FALSE;
    }
    QByteArray file = path.toLocal8Bit();
    const int err = m_pApi->ICubeSDK_SaveAvi(m_nCurrentCamera, file.data(), 0, nSeconds);
    return err == 0 ? TRUE : Fail(err);
}

int CCameraCtrl::GetModeNumber(int nIndex) const
{
    return (nIndex >= 0 && nIndex < m_nModeCount) ? m_nModeList[nIndex] : -1;
}

bool CCameraCtrl::GetModeSize(int nMode, int32_t& nWidth, int32_t& nHeight)
{
    if (nMode < 0 || nMode >= CAMERA_MODE_MAX) {
        return false;
    }
    nWidth = kModeSizes[nMode].w;
    nHeight = kModeSizes[nMode].h;
    return true;
}

int CCameraCtrl::GetResolutionIndex() const
{
    if (!IsOpen() || m_nModeCount == 0) {
        return -1;
    }
    for (int i = 0; i < m_nModeCount; ++i) {
        if (m_nModeList[i] == m_nCurrentMode) {
            return i;
        }
    }
    return -1;
}

BOOL CCameraCtrl::SetChangeResolution(int nIndex)
{
    Log(QString::asprintf("[CameraCtrl]SetChangeResolution()  Idx: %d", nIndex));
    if (!IsOpen() || nIndex < 0 || nIndex >= m_nModeCount) {
        return FALSE;
    }
    if (GetResolutionIndex() == nIndex) {
        return TRUE;
    }
    const BOOL bStreaming = IsStreaming();
    StopStreaminig();
    int err = m_pApi->ICubeSDK_SetMode(m_nCurrentCamera, m_nModeList[nIndex]);
    if (err != 0) {
        return Fail(err);
    }
    m_nCurrentMode = m_nModeList[nIndex];
    if ((err = m_pApi->ICubeSDK_GetSize(m_nCurrentCamera, &m_nWidth, &m_nHeight)) != 0) {
        return Fail(err);
    }
    // The ring follows the frame size, so the callback never writes past a slot.
    const int32_t frameSize = m_nWidth * m_nHeight * 3;
    if (frameSize != m_nFrameSize || !m_Ring.IsAllocated()) {
        m_nFrameSize = frameSize;
        if (!m_Ring.Allocate(size_t(frameSize), m_nWidth, m_nHeight)) {
            m_nFrameSize = 0;
            return Fail(ICUBE_ERR_NO_IMAGE_MEMORY);
        }
    }
    if (bStreaming && !StartStreaming(m_pReceiver, m_nFrameMessage, m_nDisconnectMessage)) {
        return FALSE;
    }
    return TRUE;
}

BOOL CCameraCtrl::GetExposure(BOOL& bAuto, double& dMs)
{
    Log(QStringLiteral("[CameraCtrl]GetExposure()->"));
    if (!IsOpen()) {
        return FALSE;
    }
    int flag = 0;
    if (Failed(m_pApi->ICubeSDK_GetParamAuto(m_nCurrentCamera, SDK_PARAM_EXPOSURE, &flag),
               "[CameraCtrl]ICubeSDK_GetParamAuto Error! : %d")) {
        return FALSE;
    }
    m_bExposureAuto = flag != 0 ? TRUE : FALSE;
    bAuto = m_bExposureAuto;
    float ms = 0.0f;
    if (Failed(m_pApi->ICubeSDK_GetExposure(m_nCurrentCamera, &ms),
               "[CameraCtrl]ICubeSDK_GetExposure Error! : %d")) {
        return FALSE;
    }
    dMs = double(ms);
    Log(QStringLiteral("[CameraCtrl]->GetExposure() is End"));
    return TRUE;
}

BOOL CCameraCtrl::ReadRange(int nSdkParam, ICUBE_PARAM_RANGE& range)
{
    // The SDK may fill more than the six fields we read: give it room.
    int buffer[64] = {};
    if (Failed(m_pApi->ICubeSDK_GetCamParameterRange(m_nCurrentCamera, nSdkParam, buffer),
               "[CameraCtrl]ICubeSDK_GetCamParameterRange Error! : %d")) {
        return FALSE;
    }
    range = ICUBE_PARAM_RANGE{buffer[0], buffer[1], buffer[2], buffer[3], buffer[4], buffer[5]};
    return TRUE;
}

BOOL CCameraCtrl::GetEnableWhiteBalance(BOOL& bAutoEnable, BOOL& bOnePushEnable)
{
    Log(QStringLiteral("[CameraCtrl]GetEnableWhiteBalance()->"));
    if (!IsOpen()) {
        return FALSE;
    }
    ICUBE_PARAM_RANGE range{};
    if (!ReadRange(SDK_PARAM_WHITE_BALANCE, range)) {
        return FALSE;
    }
    m_bWhiteBalanceAutoEnable = range.bAutoAvailable != 0 ? TRUE : FALSE;
    m_bWhiteBalanceOnePushEnable = range.bOnePushAvailable != 0 ? TRUE : FALSE;
    bAutoEnable = m_bWhiteBalanceAutoEnable;
    bOnePushEnable = m_bWhiteBalanceOnePushEnable;
    Log(QStringLiteral("[CameraCtrl]->GetEnableWhiteBalance() is End"));
    return TRUE;
}

BOOL CCameraCtrl::SetWhiteBalance()
{
    Log(QStringLiteral("[CameraCtrl]SetWhiteBalance()->"));
    if (!IsOpen()) {
        return FALSE;
    }
    BOOL bResult = FALSE;
    int err = 0;
    if (m_bWhiteBalanceAutoEnable) {
        err = m_pApi->ICubeSDK_SetParamAuto(m_nCurrentCamera, SDK_PARAM_WHITE_BALANCE, 0);
    }
    if (err == 0 && m_bWhiteBalanceOnePushEnable) {
        err = m_pApi->ICubeSDK_SetParamOnePush(m_nCurrentCamera, SDK_PARAM_WHITE_BALANCE);
        if (err == 0) {
            platform::Sleep(100);
            const int64_t freq = platform::QueryPerformanceFrequency();
            const int64_t start = platform::QueryPerformanceCounter();
            int value = 0;
            while ((platform::QueryPerformanceCounter() - start) * 1000 / freq <= 1000) {
                if ((err = m_pApi->ICubeSDK_GetCamParameter(m_nCurrentCamera, SDK_PARAM_WHITE_BALANCE, &value)) != 0 ||
                    value != 0) {
                    break;
                }
                platform::Sleep(10);
            }
            bResult = (err == 0 && value != 0) ? TRUE : FALSE;
        }
    }
    if (err != 0) {
        m_nLastError = err;
    }
    if (m_nLastError == 0) {
        Log(QStringLiteral("[CameraCtrl]->SetWhiteBalance() is End"));
    } else {
        Log(QString::asprintf("[CameraCtrl]SetWhiteBalance()  ICubeSDK Error! : %d", m_nLastError));
    }
    return bResult;
}

BOOL CCameraCtrl::BeginParam(int nIndex, const char* pszStartLog, int& nSdkParam, ICUBE_PARAM_RANGE& range)
{
    Log(QString::fromLatin1(pszStartLog));
    if (!IsOpen()) {
        return FALSE;
    }
    nSdkParam = ToSdkParamId(nIndex);
    return ReadRange(nSdkParam, range);
}

int CCameraCtrl::ToSdkParamId(int nIndex)
{
    return (nIndex >= 0 && nIndex < CAMERA_PARAM_NUM) ? kSdkParamIds[nIndex] : 0;
}

BOOL CCameraCtrl::GetCameraParam(int nIndex, int32_t& nValue)
{
    int id = 0;
    ICUBE_PARAM_RANGE range{};
    if (!BeginParam(nIndex, "[CameraCtrl]GetCameraParam()->", id, range)) {
        return FALSE;
    }
    int bAuto = 0;
    if (range.bAutoAvailable && Failed(m_pApi->ICubeSDK_GetParamAuto(m_nCurrentCamera, id, &bAuto),
                                       "[CameraCtrl]ICubeSDK_GetParamAuto Error! : %d")) {
        return FALSE;
    }
    if (!(range.bAutoAvailable && bAuto)) {
        int v = 0;
        if (Failed(m_pApi->ICubeSDK_GetCamParameter(m_nCurrentCamera, id, &v),
                   "[CameraCtrl]ICubeSDK_GetCamParameter Error! : %d")) {
            return FALSE;
        }
        nValue = v;
    }
    Log(QStringLiteral("[CameraCtrl]->GetCameraParam() is End"));
    return TRUE;
}

BOOL CCameraCtrl::GetCameraParam(int nIndex, BOOL& bEnable, CAMERA_PARAM_INFO& info)
{
    int id = 0;
    ICUBE_PARAM_RANGE range{};
    if (!BeginParam(nIndex, "[CameraCtrl]GetCameraParam()->", id, range)) {
        return FALSE;
    }
    bEnable = range.bEnabled != 0 ? TRUE : FALSE;
    info = CAMERA_PARAM_INFO{};
    if (!bEnable) {
        return TRUE;
    }
    info.bEnable = 1;
    info.bAutoEnable = range.bAutoAvailable != 0;
    info.nDefault = range.nDefault;
    info.bDefaultIsOne = range.nDefault == 1;
    info.nMin = range.nMin;
    info.nMax = range.nMax;
    int v = 0;
    if (Failed(m_pApi->ICubeSDK_GetCamParameter(m_nCurrentCamera, id, &v),
               "[CameraCtrl]ICubeSDK_GetCamParameter Error! : %d")) {
        return FALSE;
    }
    info.nValue = v;
    info.bValueIsOne = v == 1;
    if (info.bAutoEnable) {
        int bAuto = 0;
        if (Failed(m_pApi->ICubeSDK_GetParamAuto(m_nCurrentCamera, id, &bAuto),
                   "[CameraCtrl]ICubeSDK_GetParamAuto Error! : %d")) {
            return FALSE;
        }
        info.bAuto = bAuto != 0;
        if (Failed(m_pApi->ICubeSDK_SetParamAutoDef(m_nCurrentCamera, id),
                   "[CameraCtrl]ICubeSDK_SetParamAutoDef Error! : %d")) {
            return FALSE;
        }
        int bAutoDef = 0;
        if (Failed(m_pApi->ICubeSDK_GetParamAuto(m_nCurrentCamera, id, &bAutoDef),
                   "[CameraCtrl]ICubeSDK_GetParamAuto Error! : %d")) {
            return FALSE;
        }
        info.bAutoDefault = bAutoDef != 0;
        if (Failed(m_pApi->ICubeSDK_SetParamAuto(m_nCurrentCamera, id, info.bAuto),
                   "[CameraCtrl]ICubeSDK_SetParamAuto Error! : %d")) {
            return FALSE;
        }
    }
    Log(QStringLiteral("[CameraCtrl]->GetCameraParam() is End"));
    return TRUE;
}

BOOL CCameraCtrl::GetVideoRecordingParam(BOOL& bEnable, BOOL& bOn)
{
    if (!IsOpen()) {
        return FALSE;
    }
    ICUBE_PARAM_RANGE range{};
    if (!ReadRange(SDK_PARAM_RECORDING, range)) {
        return FALSE;
    }
    bEnable = range.bEnabled != 0 ? TRUE : FALSE;
    if (bEnable) {
        int v = 0;
        const int err = m_pApi->ICubeSDK_GetCamParameter(m_nCurrentCamera, SDK_PARAM_RECORDING, &v);
        if (err != 0) {
            m_nLastError = err;
            return FALSE;
        }
        bOn = v == 1 ? TRUE : FALSE;
    }
    return TRUE;
}

BOOL CCameraCtrl::SetCameraParam(int nIndex, BOOL bFlag)
{
    Log(QStringLiteral("[CameraCtrl]SetCameraParam()->"));
    if (!IsOpen()) {
        return FALSE;
    }
    if (Failed(m_pApi->ICubeSDK_SetCamParameter(m_nCurrentCamera, ToSdkParamId(nIndex), bFlag ? 1 : 0),
               "[CameraCtrl]ICubeSDK_SetCamParameter Error! : %d")) {
        return FALSE;
    }
    Log(QStringLiteral("[CameraCtrl]->SetCameraParam() is End"));
    return TRUE;
}

BOOL CCameraCtrl::SetCameraParam(int nIndex, int32_t nValue, BOOL bAuto)
{
    int id = 0;
    ICUBE_PARAM_RANGE range{};
    if (!BeginParam(nIndex, "[CameraCtrl]SetCameraParam()->", id, range)) {
        return FALSE;
    }
    int err = 0;
    if (range.bAutoAvailable) {
        err = m_pApi->ICubeSDK_SetParamAuto(m_nCurrentCamera, id, bAuto ? 1 : 0);
        if (err == 0 && !bAuto) {
            err = m_pApi->ICubeSDK_SetCamParameter(m_nCurrentCamera, id, nValue);
        }
    } else {
        err = m_pApi->ICubeSDK_SetCamParameter(m_nCurrentCamera, id, nValue);
    }
    if (err != 0) {
        m_nLastError = err;
        Log(QString::asprintf("[CameraCtrl]ICubeSDK_SetParamAuto or ICubeSDK_SetCamParameter Error! : %d", err));
        return FALSE;
    }
    Log(QStringLiteral("[CameraCtrl]->SetCameraParam() is End"));
    return TRUE;
}

int CCameraCtrl::GetErrorMessage(QString& text) const
{
    text = GetICubeErrorText(m_nLastError);
    return m_nLastError;
}

QString CCameraCtrl::GetDllVersion() const
{
    char buf[64] = {};
    return (m_pApi != nullptr && m_pApi->ICubeSDK_GetVersion(0, buf) == 0) ? Text(buf) : QString();
}

QString CCameraCtrl::GetApiVersion() const
{
    char buf[64] = {};
    return (m_pApi != nullptr && m_pApi->ICubeSDK_GetVersion(1, buf) == 0) ? Text(buf) : QString();
}

bool CCameraCtrl::IsApiVersionSupported() const
{
    return IsInterfaceVersionSupported(GetApiVersion().toLatin1().constData());
}

QString CCameraCtrl::GetFWVersion(int nIndex) const
{
    char buf[64] = {};
    if (m_pApi == nullptr || nIndex < 0 || nIndex >= m_CameraNames.size()) {
        return QString();
    }
    return m_pApi->ICubeSDK_GetFWVersion(nIndex, buf) == 0 ? Text(buf) : QString();
}

QString CCameraCtrl::GetSerialNum(int nIndex) const
{
    char buf[64] = {};
    if (m_pApi == nullptr || nIndex < 0 || nIndex >= m_CameraNames.size()) {
        return QString();
    }
    return m_pApi->ICubeSDK_GetSerialNum(nIndex, buf) == 0 ? Text(buf) : QString();
}

BOOL CCameraCtrl::GetFrameCount(int32_t& nGood, int32_t& nBroken) const
{
    if (!IsOpen()) {
        return FALSE;
    }
    int good = 0, broken = 0;
    if (m_pApi->ICubeSDK_GetGoodFrames(m_nCurrentCamera, &good) != 0 ||
        m_pApi->ICubeSDK_GetBrokenFrames(m_nCurrentCamera, &broken) != 0) {
        return FALSE;
    }
    nGood = good;
    nBroken = broken;
    return TRUE;
}
