// The camera behind the main window's picture: choosing and opening it,
// starting and stopping the stream, taking each frame (or one still) into
// the picture buffer, the frame-rate and frame-count parts of the status
// bar, the live/still switch, a disconnect and the camera's return.
#pragma once

#include "camera/CameraCtrl.h"
#include "image/ImageInfo.h"
#include "platform/MessageSink.h"
#include "workflow/WindowParts.h"
#include "workflow/live/FrameRate.h"
#include "workflow/live/PictureState.h"

#include <QObject>
#include <QString>

#include <functional>

class CAboutDlg;
class CAccImage;

// What the live view works on from the start.
struct LIVE_PARTS {
    QWidget* pOwner; // the message boxes' parent, repainted on a switch
    IMainButtons& buttons;
    IStatusLine& status;
    IStatusParts& parts;
    CCameraCtrl& camera;
    CAccImage& image;
    CDisplayGeometry& geometry;
    SYSTEM_SETTING& setting;
    IMessageSink* pSink; // where the camera posts its frame and disconnect notices
    // A series or a recording holds the camera: it is not tried again meanwhile.
    std::function<bool()> fnCaptureBusy;
    // The camera came back at another size: opened anew as the settings' choice is.
    std::function<void()> fnReconnect;
};

// What exists once the window has its controls.
struct LIVE_VIEW_PARTS {
    CPictureViewController& view;
    QWidget* pPictureBox;
    CLayeredWnd* pOverlay; // absent when the window could not make it
};

class CLiveController : public QObject, public IPictureState {
public:
    explicit CLiveController(const LIVE_PARTS& parts);
    void AttachView(const LIVE_VIEW_PARTS& view);

    // IPictureState
    BOOL IsCameraOK() const override { return m_bCameraOK; }
    int GetDispImageKind() const override { return m_nDispImageKind; }
    CAccImage& Image() override;
    bool HasPicture() const override;

    // Opens the chosen camera and reads its size; the camera is OK when it did.
    BOOL InitCamera();
    // Starts the frames; a failure says so and the camera is no longer OK.
    BOOL StartStreaming(BOOL bForce);
    void StopStreaming();
    void SetImageKind(int nKind);
    void OnBnClickedBtnDispImage();
    void OnCameraFrame(int nSlot, int nIntervalUs);
    void OnDisConnectedMessage();
    // The newest frame as the still picture; with messages it says so.
    BOOL OneShotImage(BOOL bWithMessages);
    QString GetImageInfoText(const IMAGE_INFO& info, BOOL bColor) const;
    // The status bar's picture part for the camera's current size.
    void ShowCameraInfo();
    void FillAboutDlg(CAboutDlg& dlg);
    // Closes the camera and opens the one the settings name, streaming at its
    // size with a black picture until the first frame; FALSE: no camera, the
    // still picture stays.
    BOOL ReopenCamera();

    // While the camera is lost: once a second, quietly try to open it again;
    // when it opens, the live view comes back, measurements kept.
    void WatchForCameraReturn(bool bWatch);
    bool IsWatchingForCameraReturn() const { return m_nReturnTimerId != 0; }
    // The timers' ticks: the frame counters (every 100 ms while streaming)
    // and the try to open the lost camera (every second while watching).
    void OnFrameCountTimer();
    void OnCameraReturnTimer();
    // The window goes: nothing is started again.
    void OnDestroy();

    // A still picture from a file: its size, and whether it is shown.
    void SetFileImage(const IMAGE_INFO& info, const QString& path = QString())
    {
        m_StillImageInfo = info;
        m_bFileImageLoaded = TRUE;
        m_FileImagePath = path;
    }
    const QString& FileImagePath() const { return m_FileImagePath; }
    BOOL IsFileImageLoaded() const override { return m_bFileImageLoaded; }
    void ClearFileImage() { m_bFileImageLoaded = FALSE; }
    const IMAGE_INFO& StillImageInfo() const { return m_StillImageInfo; }
    const IMAGE_INFO& CameraImageInfo() const { return m_CameraImageInfo; }
    BOOL IsColorCamera() const override { return m_bColorCamera; }
    int GetFrameSize() const { return m_nFrameSize; }
    // The camera's size changed (a new resolution): frames come at this size.
    void SetCameraImageSize(const IMAGE_INFO& info, int nFrameSize);
    uint64_t GetShownFrameCount() const { return m_nShownFrames; }

protected:
    void timerEvent(QTimerEvent* pEvent) override;

private:
    // The one place a frame is taken out of the camera's ring into the picture buffer.
    bool TakeFrame(FRAME_INFO& info);
    void OnCameraFrameSize(const FRAME_INFO& info);

    LIVE_PARTS m_Parts;
    CPictureViewController* m_pView = nullptr;
    QWidget* m_pPictureBox = nullptr;
    CLayeredWnd* m_pOverlay = nullptr;

    BOOL m_bCameraOK = FALSE;
    BOOL m_bColorCamera = FALSE;
    BOOL m_bDestroyed = FALSE;
    BOOL m_bFileImageLoaded = FALSE;
    QString m_FileImagePath;
    int m_nSelectCameraIdx = -1;
    int m_nDispImageKind = DISP_STILL_IMAGE;
    IMAGE_INFO m_CameraImageInfo{24, 0, 0};
    IMAGE_INFO m_StillImageInfo{24, 0, 0};
    int m_nFrameSize = 0;
    CFrameRate m_FrameRate;
    int m_nGraySkip = 0;
    int m_nFrameTimerId = 0;
    int m_nReturnTimerId = 0;
    uint64_t m_nShownFrames = 0;
    int32_t m_nGoodFrames = -1;
    int32_t m_nBadFrames = -1;
};
