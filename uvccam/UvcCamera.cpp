#include "uvccam/UvcCamera.h"

#include "camera/CameraModes.h"
#include "camera/ICubeParams.h"

#include <linux/videodev2.h>

#include <utility>

namespace uvccam {

CUvcCamera::CUvcCamera(IUvcSys& sys, std::string path, UVC_DEVICE_INFO info)
    : m_Sys(sys), m_Path(std::move(path)), m_Info(std::move(info)), m_Device(sys)
{
}

std::string CUvcCamera::SerialText() const
{
    const std::string& bus = m_Info.BusInfo;
    return bus.size() > 11 ? bus.substr(bus.size() - 11) : bus;
}

int CUvcCamera::ModeNumber(const UVC_MODE& mode)
{
    return CameraModeOfSize(mode.nWidth, mode.nHeight);
}

int CUvcCamera::FirstOffered() const
{
    const int n = int(m_Device.Modes().size());
    return n > UVC_MODE_LIST_MAX ? n - UVC_MODE_LIST_MAX : 0;
}

int CUvcCamera::Open()
{
    if (m_bOpen.load()) {
        return UVC_E_ALREADY_OPEN;
    }
    const int r = m_Device.Open(m_Path);
    if (r != UVC_OK) {
        return r;
    }
    if (m_Device.Modes().empty()) {
        // Only formats we cannot show (H.264 and the like).
        m_Device.Close();
        return UVC_E_NOT_ENABLED;
    }
    m_pControls = std::make_unique<CUvcControls>(m_Sys, m_Device.Fd());
    m_pControls->Query();
    // The largest size to start with, as a measuring camera is used.
    m_nMode = int(m_Device.Modes().size()) - 1;
    m_Device.SetSoftFlip(false, false);
    m_bOpen.store(true);
    return UVC_OK;
}

bool CUvcCamera::Relocate(const std::string& path, const UVC_DEVICE_INFO& info)
{
    if (m_bOpen.load()) {
        return false;
    }
    m_Path = path;
    m_Info = info;
    return true;
}

int CUvcCamera::Close()
{
    if (!m_bOpen.load()) {
        return UVC_E_NOT_OPEN;
    }
    m_bOpen.store(false);
    m_Device.Close();
    m_Recorder.Stop();
    m_pControls.reset();
    m_nMode = -1;
    return UVC_OK;
}

int CUvcCamera::SetCallback(ICUBE_FRAME_CALLBACK pCallback, void* pContext)
{
    if (!m_bOpen.load()) {
        return UVC_E_NOT_OPEN;
    }
    if (m_Device.IsStreaming()) {
        return UVC_E_STREAMING;
    }
    m_pCallback = pCallback;
    m_pContext = pContext;
    return UVC_OK;
}

void CUvcCamera::OnDeviceEvent(int nEvent, const uint8_t* pData, int nSize)
{
    // MJPEG frames reach the recorder as the camera compressed them (OnRawFrame).
    if (nEvent == UVC_EVENT_FRAME && !IsMjpegMode() && m_Recorder.IsTaking()) {
        const UVC_MODE& mode = m_Device.Modes()[size_t(m_nMode)];
        m_Recorder.AddFrame(pData, mode.nWidth, mode.nHeight);
        if (m_Recorder.IsDue()) {
            m_Recorder.Finish();
        }
    } else if (nEvent == UVC_EVENT_DISCONNECTED) {
        m_Recorder.Finish(); // the file keeps the frames recorded so far
    }
    if (m_pCallback != nullptr) {
        m_pCallback(nEvent, const_cast<uint8_t*>(pData), nSize, m_pContext);
    }
}

bool CUvcCamera::IsMjpegMode() const
{
    return m_nMode >= 0 && m_Device.Modes()[size_t(m_nMode)].nFourcc == V4L2_PIX_FMT_MJPEG;
}

void CUvcCamera::OnRawFrame(const uint8_t* pData, size_t nSize)
{
    if (!m_Recorder.IsTaking()) {
        return;
    }
    const UVC_MODE& mode = m_Device.Modes()[size_t(m_nMode)];
    m_Recorder.AddJpegFrame(pData, nSize, mode.nWidth, mode.nHeight);
    if (m_Recorder.IsDue()) {
        m_Recorder.Finish();
    }
}

int CUvcCamera::Start()
{
    if (!m_bOpen.load()) {
        return UVC_E_NOT_OPEN;
    }
    if (m_Device.IsStreaming()) {
        return UVC_OK;
    }
    // A stream the cable ended is released before the next start.
    m_Device.StopStream();
    return m_Device.StartStream(
        m_Device.Modes()[size_t(m_nMode)], [this](int nEvent, const uint8_t* p, int n) { OnDeviceEvent(nEvent, p, n); },
        [this](const uint8_t* p, size_t n) { OnRawFrame(p, n); });
}

int CUvcCamera::Stop()
{
    if (!m_bOpen.load()) {
        return UVC_E_NOT_OPEN;
    }
    m_Device.StopStream();
    // A recording ends with the stream, its file complete.
    m_Recorder.Stop();
    return UVC_OK;
}

int CUvcCamera::GetSize(int& nWidth, int& nHeight) const
{
    if (!m_bOpen.load()) {
        return UVC_E_NOT_OPEN;
    }
    const UVC_MODE& mode = m_Device.Modes()[size_t(m_nMode)];
    nWidth = mode.nWidth;
    nHeight = mode.nHeight;
    return UVC_OK;
}

int CUvcCamera::GetModeList(int& nCount, int* pModes) const
{
    if (!m_bOpen.load()) {
        return UVC_E_NOT_OPEN;
    }
    const std::vector<UVC_MODE>& modes = m_Device.Modes();
    nCount = 0;
    for (size_t i = size_t(FirstOffered()); i < modes.size(); ++i) {
        pModes[nCount++] = ModeNumber(modes[i]);
    }
    return UVC_OK;
}

int CUvcCamera::GetMode(int& nMode) const
{
    if (!m_bOpen.load()) {
        return UVC_E_NOT_OPEN;
    }
    nMode = ModeNumber(m_Device.Modes()[size_t(m_nMode)]);
    return UVC_OK;
}

int CUvcCamera::SetMode(int nMode)
{
    if (!m_bOpen.load()) {
        return UVC_E_NOT_OPEN;
    }
    if (m_Device.IsStreaming()) {
        return UVC_E_STREAMING;
    }
    const std::vector<UVC_MODE>& modes = m_Device.Modes();
    for (size_t i = size_t(FirstOffered()); i < modes.size(); ++i) {
        if (ModeNumber(modes[i]) == nMode) {
            m_nMode = int(i);
            return UVC_OK;
        }
    }
    return UVC_E_RANGE;
}

int CUvcCamera::SetParameter(int nParam, int nValue)
{
    if (!m_bOpen.load()) {
        return UVC_E_NOT_OPEN;
    }
    const int r = m_pControls->Set(nParam, nValue);
    if (r == UVC_OK && (nParam == ICUBE_PARAM_FLIP_H || nParam == ICUBE_PARAM_FLIP_V)) {
        m_Device.SetSoftFlip(m_pControls->SoftFlipH(), m_pControls->SoftFlipV());
    }
    return r;
}

int CUvcCamera::GetParameter(int nParam, int& nValue) const
{
    if (!IsOpen()) {
        return UVC_E_NOT_OPEN;
    }
    if (nParam == ICUBE_PARAM_RECORDING) {
        nValue = m_Recorder.IsRecording() ? 1 : 0;
        return UVC_OK;
    }
    if (nParam == ICUBE_PARAM_RECORDING_ERROR) {
        nValue = m_Recorder.WriteError();
        return UVC_OK;
    }
    return m_pControls->Get(nParam, nValue);
}

int CUvcCamera::GetParameterRange(int nParam, UVC_PARAM_RANGE& range) const
{
    if (!IsOpen()) {
        return UVC_E_NOT_OPEN;
    }
    if (nParam == ICUBE_PARAM_RECORDING) {
        range = UVC_PARAM_RANGE{1, 0, 0, 0, 0, 1};
        return UVC_OK;
    }
    if (nParam == ICUBE_PARAM_RECORDING_ERROR) {
        range = UVC_PARAM_RANGE{1, 0, 0, 0, 0, 0x7fffffff};
        return UVC_OK;
    }
    return m_pControls->GetRange(nParam, range);
}

int CUvcCamera::SaveAvi(const std::string& path, int nSeconds)
{
    if (!IsOpen()) {
        return UVC_E_NOT_OPEN;
    }
    if (m_Recorder.IsRecording()) {
        return UVC_E_BUSY;
    }
    if (!m_Device.IsStreaming() || nSeconds <= 0) {
        return UVC_E_RANGE;
    }
    const UVC_MODE& mode = m_Device.Modes()[size_t(m_nMode)];
    const double dFps = mode.nIntervalNum != 0 ? double(mode.nIntervalDen) / mode.nIntervalNum : 30.0;
    if (!m_Recorder.Start(path, mode.nWidth, mode.nHeight, dFps, int64_t(nSeconds) * 1000)) {
        return -13; // bad file pointer: the file cannot be written
    }
    return UVC_OK;
}

} // namespace uvccam
