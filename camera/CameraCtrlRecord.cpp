// Video recording through the SDK, and what the controller reports about the
// library and the camera: versions, serial number, frame counts, error text.
#include "camera/CameraCtrl.h"

#include "camera/ICubeParams.h"

#include <QByteArray>

namespace {

// Reads a text the SDK writes into a buffer of 64 characters; empty on failure.
template <typename FN>
QString SdkText(FN&& fnRead)
{
    char buf[64] = {};
    return fnRead(buf) == 0 ? QString::fromLocal8Bit(buf) : QString();
}

} // namespace

BOOL CCameraCtrl::StartSaveAVI(const QString& path, int nSeconds)
{
    if (!IsStreaming()) {
        Log(QStringLiteral("[CameraCtrl]StartSaveAVI()  not Streaming Error!"));
        return FALSE;
    }
    QByteArray file = path.toLocal8Bit();
    const int err = m_pApi->ICubeSDK_SaveAvi(m_nCurrentCamera, file.data(), 0, nSeconds);
    return err == 0 ? TRUE : FailWith(err);
}

BOOL CCameraCtrl::GetVideoRecordingParam(BOOL& bEnable, BOOL& bOn)
{
    ICUBE_PARAM_RANGE range{};
    if (!ReadRange(ICUBE_PARAM_RECORDING, range)) {
        return FALSE;
    }
    bEnable = range.bEnabled != 0 ? TRUE : FALSE;
    if (bEnable) {
        int v = 0;
        if (SdkFailed(m_pApi->ICubeSDK_GetCamParameter(m_nCurrentCamera, ICUBE_PARAM_RECORDING, &v), nullptr)) {
            return FALSE;
        }
        bOn = v == 1 ? TRUE : FALSE;
    }
    return TRUE;
}

int CCameraCtrl::GetVideoRecordingError() const
{
    int nError = 0;
    if (!IsOpen() || m_pApi->ICubeSDK_GetCamParameter(m_nCurrentCamera, ICUBE_PARAM_RECORDING_ERROR, &nError) != 0) {
        return 0;
    }
    return nError;
}

int CCameraCtrl::GetErrorMessage(QString& text) const
{
    text = GetICubeErrorText(m_nLastError);
    return m_nLastError;
}

QString CCameraCtrl::GetDllVersion() const
{
    if (m_pApi == nullptr) {
        return QString();
    }
    return SdkText([this](char* buf) { return m_pApi->ICubeSDK_GetVersion(0, buf); });
}

QString CCameraCtrl::GetApiVersion() const
{
    if (m_pApi == nullptr) {
        return QString();
    }
    return SdkText([this](char* buf) { return m_pApi->ICubeSDK_GetVersion(1, buf); });
}

bool CCameraCtrl::IsApiVersionSupported() const
{
    return IsInterfaceVersionSupported(GetApiVersion().toLatin1().constData());
}

QString CCameraCtrl::GetFWVersion(int nIndex) const
{
    if (m_pApi == nullptr || nIndex < 0 || nIndex >= m_CameraNames.size()) {
        return QString();
    }
    return SdkText([&](char* buf) { return m_pApi->ICubeSDK_GetFWVersion(nIndex, buf); });
}

QString CCameraCtrl::GetSerialNum(int nIndex) const
{
    if (m_pApi == nullptr || nIndex < 0 || nIndex >= m_CameraNames.size()) {
        return QString();
    }
    return SdkText([&](char* buf) { return m_pApi->ICubeSDK_GetSerialNum(nIndex, buf); });
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
