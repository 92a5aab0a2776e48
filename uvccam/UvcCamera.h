// One UVC camera as the camera library's entry points see it: the device,
// its controls, the mode in use and the program's frame callback.
#pragma once

#include "camera/ICubeSDK.h"
#include "media/AviRecorder.h"
#include "uvccam/UvcControls.h"
#include "uvccam/UvcDevice.h"

#include <atomic>
#include <memory>
#include <string>

namespace uvccam {

// The most modes the program has room for.
constexpr int UVC_MODE_LIST_MAX = 11;

class CUvcCamera {
public:
    CUvcCamera(IUvcSys& sys, std::string path, UVC_DEVICE_INFO info);

    const std::string& Path() const { return m_Path; }
    const UVC_DEVICE_INFO& Info() const { return m_Info; }
    // The serial number field holds 11 characters: the end of the bus
    // position, which tells two cameras of one model apart.
    std::string SerialText() const;

    int Open();
    int Close();
    // A camera whose cable was pulled is no longer open.
    bool IsOpen() const { return m_bOpen.load() && !m_Device.IsLost(); }
    // Opened once and its cable pulled since: only a close is left to do.
    bool IsLost() const { return m_bOpen.load() && m_Device.IsLost(); }
    // The camera plugged in again under another node (and maybe another
    // port); false while it is open.
    bool Relocate(const std::string& path, const UVC_DEVICE_INFO& info);
    int SetCallback(ICUBE_FRAME_CALLBACK pCallback, void* pContext);
    int Start();
    bool IsStarted() const { return m_Device.IsStreaming(); }
    int Stop();

    int GetSize(int& nWidth, int& nHeight) const;
    // Mode numbers: the program's table number where the size is in it,
    // else the number that carries the size.
    int GetModeList(int& nCount, int* pModes) const;
    int GetMode(int& nMode) const;
    int SetMode(int nMode);

    CUvcControls* Controls() { return m_pControls.get(); }
    int SetParameter(int nParam, int nValue);
    // The recording state (1 while a video is being written) on top of the controls.
    int GetParameter(int nParam, int& nValue) const;
    int GetParameterRange(int nParam, UVC_PARAM_RANGE& range) const;

    // Records the stream for nSeconds into a Motion-JPEG AVI file (OpenDML
    // past 1 GiB), written on the recorder's own thread.
    int SaveAvi(const std::string& path, int nSeconds);
    bool IsRecording() const { return m_Recorder.IsRecording(); }
    int GetGoodFrames() const { return m_Device.GoodFrames(); }
    int GetBrokenFrames() const { return m_Device.BrokenFrames(); }

private:
    static int ModeNumber(const UVC_MODE& mode);
    // The modes offered: the largest UVC_MODE_LIST_MAX of the device's.
    int FirstOffered() const;
    void OnDeviceEvent(int nEvent, const uint8_t* pData, int nSize);
    void OnRawFrame(const uint8_t* pData, size_t nSize);
    bool IsMjpegMode() const;

    IUvcSys& m_Sys;
    std::string m_Path;
    UVC_DEVICE_INFO m_Info;
    CUvcDevice m_Device;
    std::unique_ptr<CUvcControls> m_pControls;
    std::atomic<bool> m_bOpen{false};
    int m_nMode = -1; // index into the device's modes
    media::CAviRecorder m_Recorder;
    ICUBE_FRAME_CALLBACK m_pCallback = nullptr;
    void* m_pContext = nullptr;
};

} // namespace uvccam
