// The camera's parameters by the program's index (0..24), their ranges and
// automatic modes, the exposure, and the one-push white balance.
#include "camera/CameraCtrl.h"

#include "camera/ICubeParams.h"
#include "platform/SyncEvent.h"

namespace {

// The SDK's parameter for each of the program's parameter indexes.
const int kSdkParamIds[CAMERA_PARAM_NUM] = {
    ICUBE_PARAM_EXPOSURE,       ICUBE_PARAM_EXPOSURE_TARGET, ICUBE_PARAM_BLACK_LEVEL,
    ICUBE_PARAM_GAIN,           ICUBE_PARAM_CLOCK,           ICUBE_PARAM_FPS,
    ICUBE_PARAM_FLIP_V,         ICUBE_PARAM_FLIP_H,          ICUBE_PARAM_COLOUR_PROCESSING,
    ICUBE_PARAM_BRIGHTNESS,     ICUBE_PARAM_CONTRAST,        ICUBE_PARAM_SATURATION,
    ICUBE_PARAM_HUE,            ICUBE_PARAM_GAMMA_ON,        ICUBE_PARAM_GAMMA,
    ICUBE_PARAM_COLOUR_CORRECTION, ICUBE_PARAM_TNR,          ICUBE_PARAM_RED_GAIN,
    ICUBE_PARAM_GREEN_GAIN,     ICUBE_PARAM_BLUE_GAIN,       ICUBE_PARAM_RED_OFFSET,
    ICUBE_PARAM_GREEN_OFFSET,   ICUBE_PARAM_BLUE_OFFSET,     ICUBE_PARAM_RECORDING,
    ICUBE_PARAM_BAYER,
};

} // namespace

int CCameraCtrl::ToSdkParamId(int nIndex)
{
    return (nIndex >= 0 && nIndex < CAMERA_PARAM_NUM) ? kSdkParamIds[nIndex] : 0;
}

BOOL CCameraCtrl::ReadRange(int nSdkParam, ICUBE_PARAM_RANGE& range)
{
    if (!IsOpen()) {
        return FALSE;
    }
    // The SDK may fill more than the six fields we read: give it room.
    int buffer[64] = {};
    if (SdkFailed(m_pApi->ICubeSDK_GetCamParameterRange(m_nCurrentCamera, nSdkParam, buffer),
                  "[CameraCtrl]ICubeSDK_GetCamParameterRange Error! : %d")) {
        return FALSE;
    }
    range = ICUBE_PARAM_RANGE{buffer[0], buffer[1], buffer[2], buffer[3], buffer[4], buffer[5]};
    return TRUE;
}

BOOL CCameraCtrl::BeginParam(int nIndex, const char* pszStartLog, int& nSdkParam, ICUBE_PARAM_RANGE& range)
{
    Log(QString::fromLatin1(pszStartLog));
    nSdkParam = ToSdkParamId(nIndex);
    return ReadRange(nSdkParam, range);
}

BOOL CCameraCtrl::GetExposure(BOOL& bAuto, double& dMs)
{
    Log(QStringLiteral("[CameraCtrl]GetExposure()->"));
    if (!IsOpen()) {
        return FALSE;
    }
    int flag = 0;
    if (SdkFailed(m_pApi->ICubeSDK_GetParamAuto(m_nCurrentCamera, ICUBE_PARAM_EXPOSURE, &flag),
                  "[CameraCtrl]ICubeSDK_GetParamAuto Error! : %d")) {
        return FALSE;
    }
    bAuto = flag != 0 ? TRUE : FALSE;
    float ms = 0.0f;
    if (SdkFailed(m_pApi->ICubeSDK_GetExposure(m_nCurrentCamera, &ms), "[CameraCtrl]ICubeSDK_GetExposure Error! : %d")) {
        return FALSE;
    }
    dMs = double(ms);
    Log(QStringLiteral("[CameraCtrl]->GetExposure() is End"));
    return TRUE;
}

BOOL CCameraCtrl::GetEnableWhiteBalance(BOOL& bAutoEnable, BOOL& bOnePushEnable)
{
    Log(QStringLiteral("[CameraCtrl]GetEnableWhiteBalance()->"));
    ICUBE_PARAM_RANGE range{};
    if (!ReadRange(ICUBE_PARAM_WHITE_BALANCE, range)) {
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
        err = m_pApi->ICubeSDK_SetParamAuto(m_nCurrentCamera, ICUBE_PARAM_WHITE_BALANCE, 0);
    }
    if (err == 0 && m_bWhiteBalanceOnePushEnable) {
        err = m_pApi->ICubeSDK_SetParamOnePush(m_nCurrentCamera, ICUBE_PARAM_WHITE_BALANCE);
        if (err == 0) {
            // The camera reports 1 once the white balance has settled; give it a second.
            platform::Sleep(100);
            const int64_t freq = platform::QueryPerformanceFrequency();
            const int64_t start = platform::QueryPerformanceCounter();
            int value = 0;
            while ((platform::QueryPerformanceCounter() - start) * 1000 / freq <= 1000) {
                if ((err = m_pApi->ICubeSDK_GetCamParameter(m_nCurrentCamera, ICUBE_PARAM_WHITE_BALANCE, &value)) !=
                        0 ||
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

BOOL CCameraCtrl::GetCameraParam(int nIndex, int32_t& nValue)
{
    int id = 0;
    ICUBE_PARAM_RANGE range{};
    if (!BeginParam(nIndex, "[CameraCtrl]GetCameraParam()->", id, range)) {
        return FALSE;
    }
    int bAuto = 0;
    if (range.bAutoAvailable && SdkFailed(m_pApi->ICubeSDK_GetParamAuto(m_nCurrentCamera, id, &bAuto),
                                          "[CameraCtrl]ICubeSDK_GetParamAuto Error! : %d")) {
        return FALSE;
    }
    if (!(range.bAutoAvailable && bAuto)) {
        int v = 0;
        if (SdkFailed(m_pApi->ICubeSDK_GetCamParameter(m_nCurrentCamera, id, &v),
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
    if (SdkFailed(m_pApi->ICubeSDK_GetCamParameter(m_nCurrentCamera, id, &v),
                  "[CameraCtrl]ICubeSDK_GetCamParameter Error! : %d")) {
        return FALSE;
    }
    info.nValue = v;
    info.bValueIsOne = v == 1;
    if (info.bAutoEnable) {
        // The automatic default is read by setting it and reading it back;
        // the current automatic state is put back afterwards.
        int bAuto = 0;
        if (SdkFailed(m_pApi->ICubeSDK_GetParamAuto(m_nCurrentCamera, id, &bAuto),
                      "[CameraCtrl]ICubeSDK_GetParamAuto Error! : %d")) {
            return FALSE;
        }
        info.bAuto = bAuto != 0;
        if (SdkFailed(m_pApi->ICubeSDK_SetParamAutoDef(m_nCurrentCamera, id),
                      "[CameraCtrl]ICubeSDK_SetParamAutoDef Error! : %d")) {
            return FALSE;
        }
        int bAutoDef = 0;
        if (SdkFailed(m_pApi->ICubeSDK_GetParamAuto(m_nCurrentCamera, id, &bAutoDef),
                      "[CameraCtrl]ICubeSDK_GetParamAuto Error! : %d")) {
            return FALSE;
        }
        info.bAutoDefault = bAutoDef != 0;
        if (SdkFailed(m_pApi->ICubeSDK_SetParamAuto(m_nCurrentCamera, id, info.bAuto),
                      "[CameraCtrl]ICubeSDK_SetParamAuto Error! : %d")) {
            return FALSE;
        }
    }
    Log(QStringLiteral("[CameraCtrl]->GetCameraParam() is End"));
    return TRUE;
}

BOOL CCameraCtrl::SetCameraParam(int nIndex, BOOL bFlag)
{
    Log(QStringLiteral("[CameraCtrl]SetCameraParam()->"));
    if (!IsOpen()) {
        return FALSE;
    }
    if (SdkFailed(m_pApi->ICubeSDK_SetCamParameter(m_nCurrentCamera, ToSdkParamId(nIndex), bFlag ? 1 : 0),
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
    if (SdkFailed(err, "[CameraCtrl]ICubeSDK_SetParamAuto or ICubeSDK_SetCamParameter Error! : %d")) {
        return FALSE;
    }
    Log(QStringLiteral("[CameraCtrl]->SetCameraParam() is End"));
    return TRUE;
}
