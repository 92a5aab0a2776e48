#include "camera/CameraCtrl.h"

#include "app/LogFile.h"
#include "camera/ICubeParams.h"

#include <QByteArray>

#include <algorithm>
#include <iterator>

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
    ListCameras();
}

void CCameraCtrl::ListCameras()
{
    m_nLastError = 0;
    m_CameraNames.clear();
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
        m_CameraNames << QString::fromLocal8Bit(name);
        Log(QString::asprintf("[CameraCtrl]ICubeSDK_GetName()  Idx : %d  Name : ", i) + QString::fromLocal8Bit(name));
    }
    if (m_nLastError != 0) {
        m_CameraNames.clear(); // a naming error offers no camera at all
    }
}

BOOL CCameraCtrl::RefreshCameraList()
{
    if (!Usable() || IsOpen()) {
        return FALSE;
    }
    CloseCamera(); // what is left of a camera that went away
    ListCameras();
    return TRUE;
}

CCameraCtrl::~CCameraCtrl()
{
    CloseCamera();
}

void CCameraCtrl::Log(const QString& text) const
{
    WriteLog(text);
}

BOOL CCameraCtrl::FailWith(int nCode)
{
    m_nLastError = nCode;
    return FALSE;
}

bool CCameraCtrl::SdkFailed(int nCode, const char* pszLogFormat)
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
    // Stops the stream and closes the camera first: the ring below is
    // reallocated with no callback left to write into it.
    CloseCamera();
    int err = m_pApi->ICubeSDK_Open(nIndex);
    if (err == ICUBE_ERR_CONFIG_CRC_CORRUPT || err == ICUBE_ERR_CONFIG_CORRUPT) {
        // Corrupt configuration data: reset it and try once more.
        m_nLastError = err;
        m_pApi->ICubeSDK_SetCamParameter(nIndex, ICUBE_PARAM_CONFIG_RESET, 0);
        m_pApi->ICubeSDK_Close(nIndex);
        err = m_pApi->ICubeSDK_Open(nIndex);
    }
    if (err != 0) {
        return FailWith(err);
    }
    m_nCurrentCamera = nIndex;
    auto fail = [&](int code) {
        m_pApi->ICubeSDK_Close(nIndex);
        m_nCurrentCamera = -1;
        return FailWith(code);
    };
    char name[256] = {};
    if ((err = m_pApi->ICubeSDK_GetName(nIndex, name)) != 0) {
        return fail(err);
    }
    const QByteArray n(name);
    if (std::any_of(std::begin(kModelFixNames), std::end(kModelFixNames), [&](const char* p) { return n.contains(p); })) {
        if ((err = m_pApi->ICubeSDK_SetCamParameter(nIndex, ICUBE_PARAM_MODEL_FIX, 1)) != 0) {
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
    m_pApi->ICubeSDK_GetCamParameter(nIndex, ICUBE_PARAM_COLOUR, &colour);
    m_bColorCamera = colour == 1 ? TRUE : FALSE;
    m_bGrayDisplay = m_bColorCamera ? FALSE : TRUE;
    m_nFrameSize = m_nWidth * m_nHeight * 3;
    if (!m_Ring.Allocate(size_t(m_nFrameSize), m_nWidth, m_nHeight)) {
        return fail(ICUBE_ERR_NO_IMAGE_MEMORY);
    }
    return TRUE;
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

int CCameraCtrl::GetModeNumber(int nIndex) const
{
    return (nIndex >= 0 && nIndex < m_nModeCount) ? m_nModeList[nIndex] : -1;
}

bool CCameraCtrl::GetModeSize(int nMode, int32_t& nWidth, int32_t& nHeight)
{
    return CameraModeSize(nMode, nWidth, nHeight);
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
    // The ring's writer must be gone before the ring is reallocated. Stop has
    // joined the SDK's thread; a stream the SDK ended by itself skipped that,
    // so the callback is disarmed here in every case.
    DeactivateCallback();
    int err = m_pApi->ICubeSDK_SetMode(m_nCurrentCamera, m_nModeList[nIndex]);
    if (err != 0) {
        return FailWith(err);
    }
    m_nCurrentMode = m_nModeList[nIndex];
    if ((err = m_pApi->ICubeSDK_GetSize(m_nCurrentCamera, &m_nWidth, &m_nHeight)) != 0) {
        return FailWith(err);
    }
    // The ring follows the picture size (not only the byte count), so the
    // callback never writes past a slot and each frame carries its own size.
    const int32_t frameSize = m_nWidth * m_nHeight * 3;
    if (frameSize != m_nFrameSize || !m_Ring.HoldsPictures(m_nWidth, m_nHeight)) {
        m_nFrameSize = frameSize;
        if (!m_Ring.Allocate(size_t(frameSize), m_nWidth, m_nHeight)) {
            m_nFrameSize = 0;
            return FailWith(ICUBE_ERR_NO_IMAGE_MEMORY);
        }
    }
    if (bStreaming && !StartStreaming(m_pReceiver, m_nFrameMessage, m_nDisconnectMessage)) {
        return FALSE;
    }
    return TRUE;
}
