// The camera controller: lists and opens cameras, runs the stream into the
// frame ring and announces each frame to the receiver, hands out copies of
// frames, records video through the SDK, and gets and sets parameters.
// CameraCtrl.cpp opens, closes and changes the mode; CameraCtrlStream.cpp
// runs the stream and the callback; CameraCtrlParams.cpp gets and sets the
// parameters and the white balance; CameraCtrlRecord.cpp records video and
// reads versions, counters and error texts.
#pragma once

#include "camera/CameraModes.h"
#include "camera/FrameRing.h"
#include "camera/ICubeApi.h"
#include "platform/MessageSink.h"
#include "platform/WinTypes.h"

#include <QString>
#include <QStringList>

#include <atomic>
#include <cstdint>
#include <functional>
#include <vector>

constexpr int CAMERA_PARAM_NUM = 25;
constexpr int ICUBE_ERR_NO_IMAGE_MEMORY = 10;

// Messages the controller posts (the main window's numbers).
// WM_CAMERA_FRAME: wParam the ring slot; lParam the time since the previous
// frame, measured in whole milliseconds and passed as milliseconds x 1000.
// At most one is outstanding: the next is posted only after the receiver has
// taken a frame (ShotNewestImageTo, ShotImageTo) or called ResetFrameMessage,
// so a slow receiver skips frames instead of queueing them.
constexpr UINT WM_CAMERA_FRAME = WM_USER + 0x01;
constexpr UINT WM_CAMERA_DISCONNECT = WM_USER + 0x101;

struct CAMERA_PARAM_INFO {
    int32_t bEnable;
    int32_t bAutoEnable;
    int32_t bAuto;
    int32_t bValueIsOne;
    int32_t nValue;
    int32_t nMin;
    int32_t nMax;
    int32_t nDefault;
    int32_t bDefaultIsOne;
    int32_t bAutoDefault;
};

class CCameraCtrl {
public:
    // Binds the SDK (the process-wide binding unless one is given) and lists the cameras.
    explicit CCameraCtrl(CICubeApi* pApi = nullptr);
    ~CCameraCtrl();
    CCameraCtrl(const CCameraCtrl&) = delete;
    CCameraCtrl& operator=(const CCameraCtrl&) = delete;

    BOOL IsLibraryLoaded() const { return m_bLibraryLoaded; }
    int GetCameraCount() const { return int(m_CameraNames.size()); }
    // Lists the cameras anew (a camera plugged in since the start appears);
    // only while none is open, since listing starts the library afresh.
    BOOL RefreshCameraList();
    QString GetCameraName(int nIndex) const;
    int GetCurrentCamera() const { return m_nCurrentCamera; }

    BOOL OpenCamera(int nIndex);
    BOOL CloseCamera();
    BOOL IsOpen() const;
    BOOL GetImageSize(int32_t& nWidth, int32_t& nHeight, BOOL* pbColor = nullptr, int32_t* pnFrameSize = nullptr) const;
    BOOL IsColorCamera() const { return m_bColorCamera; }
    BOOL m_bGrayDisplay = FALSE;

    BOOL StartStreaming(IMessageSink* pReceiver, UINT nFrameMessage, UINT nDisconnectMessage);
    BOOL StopStreaminig();
    BOOL IsStreaming() const;
    // Copies a whole frame (frame size bytes) of nSlot, or of the newest frame
    // for a negative slot.
    BOOL ShotImage(void* pDest, int nSlot);
    // The same with the destination's size; pInfo receives the frame's sequence and size.
    BOOL ShotImage(void* pDest, size_t nDestSize, int nSlot, FRAME_INFO* pInfo = nullptr);
    // The same into a buffer the caller owns, grown to the frame's own size.
    // Safe on a thread of its own: it touches neither the live view's take
    // nor the size fields a resolution change writes.
    BOOL ShotImage(std::vector<uint8_t>& buffer, int nSlot, FRAME_INFO* pInfo = nullptr);
    // Lets fnUse copy the frame of nSlot (the newest for a negative slot)
    // straight out of the pinned slot, with no buffer in between.
    // Also counts as the live view's take: the next frame is announced again.
    BOOL ShotImageTo(int nSlot, const std::function<bool(const uint8_t*, const FRAME_INFO&)>& fnUse);
    // The live view's take on WM_CAMERA_FRAME: pins the newest complete frame,
    // if it is newer than the last one taken, lets fnUse copy it out of the
    // slot, and unpins it. FALSE when no newer frame is there (or fnUse
    // refuses). Either way the next frame is announced again.
    BOOL ShotNewestImageTo(const std::function<bool(const uint8_t*, const FRAME_INFO&)>& fnUse);
    // The same into pDest (nDestSize bytes at least the frame size).
    BOOL ShotNewestImage(void* pDest, size_t nDestSize, FRAME_INFO* pInfo = nullptr);
    // Lets the next frame be announced even though none was taken.
    void ResetFrameMessage() { m_Context.bFramePosted.store(false, std::memory_order_release); }
    // Frames the callback placed in the ring, and frames the live view took.
    uint64_t GetFramesDelivered() const { return m_nDelivered.load(std::memory_order_relaxed); }
    uint64_t GetFramesTaken() const { return m_nTaken.load(std::memory_order_relaxed); }

    BOOL StartSaveAVI(const QString& path, int nSeconds);

    int GetModeCount() const { return m_nModeCount; }
    int GetModeNumber(int nIndex) const;
    static bool GetModeSize(int nMode, int32_t& nWidth, int32_t& nHeight);
    int GetResolutionIndex() const;
    BOOL SetChangeResolution(int nIndex);

    BOOL GetExposure(BOOL& bAuto, double& dMs);
    BOOL GetEnableWhiteBalance(BOOL& bAutoEnable, BOOL& bOnePushEnable);
    BOOL SetWhiteBalance();
    BOOL GetCameraParam(int nIndex, int32_t& nValue);
    BOOL GetCameraParam(int nIndex, BOOL& bEnable, CAMERA_PARAM_INFO& info);
    // The video recording state (parameter 23): whether it exists and whether it is on.
    BOOL GetVideoRecordingParam(BOOL& bEnable, BOOL& bOn);
    // The system's error number that ended the last recording early or kept
    // it from starting; 0 when it ran as asked or the library cannot tell.
    int GetVideoRecordingError() const;
    BOOL SetCameraParam(int nIndex, BOOL bFlag);
    BOOL SetCameraParam(int nIndex, int32_t nValue, BOOL bAuto);
    static int ToSdkParamId(int nIndex);

    int GetErrorMessage(QString& text) const;
    int GetLastError() const { return m_nLastError; }
    QString GetDllVersion() const;
    QString GetApiVersion() const;
    bool IsApiVersionSupported() const;
    QString GetFWVersion(int nIndex) const;
    QString GetSerialNum(int nIndex) const;
    BOOL GetFrameCount(int32_t& nGood, int32_t& nBroken) const;
    // Frames the callback could not place (too large, or every slot pinned).
    uint64_t GetDroppedFrames() const { return m_nDropped.load(); }

    // The callback's work for one frame without the post (for measuring).
    int CopyFrameToRing(const void* pData, int nSize);

private:
    struct CALLBACK_CONTEXT {
        CCameraCtrl* pCtrl = nullptr;
        IMessageSink* pReceiver = nullptr;
        UINT nFrameMessage = 0;
        UINT nDisconnectMessage = 0;
        std::atomic<int> nNextSlot{0};
        std::atomic<bool> bActive{false};
        std::atomic<int> nInFlight{0};
        std::atomic<bool> bFramePosted{false}; // a frame message is outstanding
    };

    static int ICUBE_CALL FrameCallback(int nEvent, void* pData, int nSize, void* pContext);
    // The library's camera count and names.
    void ListCameras();
    bool Usable() const { return m_pApi != nullptr && m_pApi->IsUsable(); }
    // Keeps nCode as the last error and returns FALSE, for "return FailWith(err);".
    BOOL FailWith(int nCode);
    // Checks an SDK call's result: true when nCode is an error, which is then
    // kept as the last error and logged with the format (unless it is null).
    bool SdkFailed(int nCode, const char* pszLogFormat);
    void Log(const QString& text) const;
    // Reads the range of parameter nSdkParam; FALSE when no camera is open or the SDK fails.
    BOOL ReadRange(int nSdkParam, ICUBE_PARAM_RANGE& range);
    // Logs the operation's start line and reads the parameter's SDK number and range.
    BOOL BeginParam(int nIndex, const char* pszStartLog, int& nSdkParam, ICUBE_PARAM_RANGE& range);
    // After this no callback touches the controller or the ring until the
    // next StartStreaming; it waits out one that is running.
    void DeactivateCallback();
    // A callback leaves; the last one out wakes DeactivateCallback.
    static void LeaveCallback(CALLBACK_CONTEXT& ctx);
    // After a take: re-arms the frame message and logs the counts now and then.
    void FrameTaken(bool bTook);
    void LogFrameStats() const;

    CICubeApi* m_pApi = nullptr;
    int64_t m_nFrameFrequency = 0;
    int64_t m_nFrameMark = 0;
    int m_nLastError = 0;
    BOOL m_bLibraryLoaded = FALSE;
    QStringList m_CameraNames;
    int m_nCurrentCamera = -1;
    int32_t m_nWidth = 0;
    int32_t m_nHeight = 0;
    BOOL m_bColorCamera = FALSE;
    // Read by the sizeless ShotImage on any thread while a mode change writes it.
    std::atomic<int32_t> m_nFrameSize{0};
    CALLBACK_CONTEXT m_Context;
    CFrameRing m_Ring;
    BOOL m_bWhiteBalanceAutoEnable = FALSE;
    BOOL m_bWhiteBalanceOnePushEnable = FALSE;
    int m_nModeCount = 0;
    int m_nModeList[CAMERA_MODE_MAX] = {};
    int m_nCurrentMode = -1;
    IMessageSink* m_pReceiver = nullptr;
    UINT m_nFrameMessage = 0;
    UINT m_nDisconnectMessage = 0;
    std::atomic<uint64_t> m_nDropped{0};
    std::atomic<uint64_t> m_nDelivered{0};
    std::atomic<uint64_t> m_nTaken{0};
    uint64_t m_nLastTaken = 0; // sequence of the last frame the live view took
    int64_t m_nStatsMark = 0;  // when the counts were last logged
};
