// A camera whose cable was pulled comes back with the measurements and the
// view as they were, unless it now gives another size.
#include "workflow/live/LiveController.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/SystemSetting.h"
#include "app/dialogs/AboutDlg.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/StatusLine.h"
#include "engine/LayeredWnd.h"
#include "image/AccImage.h"
#include "workflow/MainButtons.h"
#include "workflow/MainStrings.h"
#include "workflow/StatusParts.h"
#include "workflow/capture/CaptureStrings.h"
#include "workflow/live/DisplayGeometry.h"
#include "workflow/live/PictureViewController.h"

#include <QApplication>
#include <QGuiApplication>
#include <QTimerEvent>
#include <QWidget>

#include <cmath>
#include <vector>

namespace {

QString CameraErrorText(const CCameraCtrl& camera)
{
    QString text;
    const int code = camera.GetErrorMessage(text);
    return QString::asprintf("%d:", code) + text;
}

constexpr int kReturnPollMs = 1000;

} // namespace

CLiveController::CLiveController(const LIVE_PARTS& parts) : m_Parts(parts)
{
}

void CLiveController::AttachView(const LIVE_VIEW_PARTS& view)
{
    m_pView = &view.view;
    m_pPictureBox = view.pPictureBox;
    m_pOverlay = view.pOverlay;
}

BOOL CLiveController::InitCamera()
{
    WriteLog(QStringLiteral("[MAIN]InitCamera()->"));
    m_nSelectCameraIdx = -1;
    m_bCameraOK = FALSE;
    BOOL bResult = FALSE;
    if (!m_Parts.camera.IsLibraryLoaded()) {
        AfxMessageBox(IDS_SDK_LOAD_ERROR, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
        return FALSE;
    }
    if (!m_Parts.camera.IsApiVersionSupported()) {
        AfxMessageBox(IDS_SDK_TOO_OLD, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
        WriteLog(QStringLiteral("[MAIN]InitCamera() DLL Error!"));
    } else {
        CAMERA_SETTING& cam = m_Parts.setting.Camera;
        int nChosen = 0;
        bool bFound = false;
        for (int i = 0; i < m_Parts.camera.GetCameraCount(); ++i) {
            if (m_Parts.camera.GetCameraName(i) == cam.CurConectCameraName && i == cam.CurConnectCameraIdx) {
                nChosen = i;
                bFound = true;
                break;
            }
        }
        if (!m_Parts.camera.OpenCamera(nChosen)) {
            WriteLog(QStringLiteral("[MAIN]CameraCtrl.OpenCamera() Error!  ") + CameraErrorText(m_Parts.camera));
        } else {
            m_nSelectCameraIdx = nChosen;
            const QString name = m_Parts.camera.GetCameraName(nChosen);
            WriteLog(QStringLiteral("[MAIN]Camera Idx:%1 Camera Name:%2").arg(nChosen).arg(name));
            cam.CurConectCameraName = name;
            cam.CurConnectCameraIdx = nChosen;
            WriteLog(QStringLiteral("[MAIN]CameraCtrl.GetDllVersion : ") + m_Parts.camera.GetDllVersion());
            WriteLog(QStringLiteral("[MAIN]CameraCtrl.GetApiVersion : ") + m_Parts.camera.GetApiVersion());
            WriteLog(QStringLiteral("[MAIN]CameraCtrl.GetFWVersion : ") + m_Parts.camera.GetFWVersion(nChosen));
            WriteLog(QStringLiteral("[MAIN]CameraCtrl.GetSerialNum : ") + m_Parts.camera.GetSerialNum(nChosen));
            if (bFound) {
                m_Parts.camera.SetChangeResolution(cam.ResolutionIdx);
            }
            // The size after the resolution change: frames arrive at this size.
            int32_t w = 0, h = 0, nFrameSize = 0;
            BOOL bColor = FALSE;
            m_Parts.camera.GetImageSize(w, h, &bColor, &nFrameSize);
            m_CameraImageInfo = IMAGE_INFO{24, w, h};
            m_bColorCamera = bColor;
            m_nFrameSize = nFrameSize;
            bResult = nFrameSize > 0 ? TRUE : FALSE;
            if (!bResult) {
                WriteLog(QStringLiteral("[MAIN]InitCamera() Memory Error!"));
            }
        }
    }
    WriteLog(QStringLiteral("[MAIN]->InitCamera() is End."));
    m_bCameraOK = bResult;
    return bResult;
}

BOOL CLiveController::StartStreaming(BOOL bForce)
{
    WriteLog(QStringLiteral("[MAIN]StartStreaming()"));
    if (!bForce && m_Parts.camera.IsStreaming()) {
        WriteLog(QStringLiteral("[MAIN]Already Starting..."));
        return TRUE;
    }
    WriteLog(QStringLiteral("[MAIN]StartStreaming() -> CameraCtrl.StartStreaming() is Start"));
    const BOOL bOk = m_Parts.camera.StartStreaming(m_Parts.pSink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT);
    WriteLog(QStringLiteral("[MAIN]StartStreaming() -> CameraCtrl.StartStreaming is End"));
    if (bOk) {
        if (m_nFrameTimerId != 0) {
            killTimer(m_nFrameTimerId);
        }
        m_nFrameTimerId = startTimer(100);
        m_FrameRate.Reset();
        m_nGraySkip = 0;
        m_Parts.parts.SetStatusPart(1, QString::asprintf("  %.1f fps", 0.0));
        return TRUE;
    }
    m_bCameraOK = FALSE;
    AfxMessageBox(IDS_STREAM_START_ERROR, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
    WriteLog(QStringLiteral("[MAIN]CameraCtrl.StartStreaming Error! (") + CameraErrorText(m_Parts.camera) +
             QLatin1Char(')'));
    return FALSE;
}

void CLiveController::StopStreaming()
{
    WriteLog(QStringLiteral("[MAIN]StopStreaming()"));
    if (m_nFrameTimerId != 0) {
        killTimer(m_nFrameTimerId);
        m_nFrameTimerId = 0;
    }
    if (!m_Parts.camera.StopStreaminig()) {
        WriteLog(QStringLiteral("[MAIN]CameraCtrl.StopStreaminig() Error!"));
    }
}

bool CLiveController::TakeFrame(FRAME_INFO& info)
{
    // The newest whole frame, whatever slot the message named: a slow window
    // skips frames instead of falling behind. The frame's own size decides
    // how much is read: never more than the slot holds.
    return m_Parts.camera.ShotNewestImageTo([&](const uint8_t* pData, const FRAME_INFO& frame) {
        info = frame;
        const size_t nRow = size_t(frame.nWidth) * 3;
        if (frame.nWidth <= 0 || frame.nHeight <= 0 || frame.nSize < nRow * size_t(frame.nHeight)) {
            return false;
        }
        return m_Parts.image.SetImage(pData, IMAGE_INFO{24, frame.nWidth, frame.nHeight}, int32_t(nRow)) != 0;
    }) != 0;
}

void CLiveController::OnCameraFrame(int /*nSlot: the newest frame is taken*/, int nIntervalUs)
{
    // The text is made only when the shown value changes: a steady rate costs nothing.
    if (m_FrameRate.Add(nIntervalUs)) {
        m_Parts.parts.SetStatusPart(1, QString::asprintf("  %.2f fps", m_FrameRate.Fps()));
    }
    // A frame that was on its way when the stream stopped leaves the still picture alone.
    if (!m_bCameraOK || m_nDispImageKind != DISP_CAMERA_IMAGE) {
        return;
    }
    bool bGrey = false;
    if (m_bColorCamera && m_Parts.camera.m_bGrayDisplay && m_Parts.camera.IsOpen()) {
        // About 20 grey pictures a second at most.
        ++m_nGraySkip;
        if (m_nGraySkip < 1 - int(std::trunc(m_FrameRate.Fps() / -20.0))) {
            // Not shown, but the camera may announce the next frame.
            m_Parts.camera.ResetFrameMessage();
            return;
        }
        m_nGraySkip = 0;
        bGrey = true;
    }
    FRAME_INFO info;
    if (!TakeFrame(info)) {
        return;
    }
    if (bGrey) {
        m_Parts.image.ConvertToGrayscale();
    }
    if (info.nWidth != m_CameraImageInfo.nWidth || info.nHeight != m_CameraImageInfo.nHeight) {
        OnCameraFrameSize(info);
    }
    ++m_nShownFrames;
    m_Parts.geometry.UpdateVisibleRegion();
    m_pPictureBox->update();
}

void CLiveController::OnCameraFrameSize(const FRAME_INFO& info)
{
    WriteLog(QStringLiteral("[MAIN]Camera frame size %1 x %2").arg(info.nWidth).arg(info.nHeight));
    m_CameraImageInfo = IMAGE_INFO{24, info.nWidth, info.nHeight};
    m_nFrameSize = int(info.nSize);
    if (!m_Parts.geometry.IsStillView()) {
        m_pView->ResetPictureView(m_CameraImageInfo);
    } else {
        m_Parts.geometry.CameraView().ImageInfo = m_CameraImageInfo;
    }
    m_pView->InitialiseOverlay(info.nWidth, info.nHeight);
    m_Parts.parts.SetStatusPart(0, GetImageInfoText(m_CameraImageInfo, m_bColorCamera));
}

void CLiveController::OnFrameCountTimer()
{
    if (!m_Parts.camera.IsOpen()) {
        return;
    }
    int32_t nGood = 0, nBad = 0;
    if (!m_Parts.camera.GetFrameCount(nGood, nBad)) {
        WriteLog(QStringLiteral("[CameraCtrl]GetFrameCount()  ICubeSDK Error! : %1").arg(m_Parts.camera.GetLastError()));
        return;
    }
    if (nGood != m_nGoodFrames) {
        m_nGoodFrames = nGood;
        m_Parts.parts.SetStatusPart(2, QString::asprintf(" frames：%d", nGood));
    }
    if (nBad != m_nBadFrames) {
        m_nBadFrames = nBad;
        m_Parts.parts.SetStatusPart(3, QString::asprintf(" bad frames：%d", nBad));
    }
}

void CLiveController::OnDisConnectedMessage()
{
    WriteLog(QStringLiteral("[MAIN]OnDisConnectedMessage()"));
    m_Parts.status.SetStatusString(IDS_CAMERA_DISCONNECTED);
    StopStreaming();
    m_bCameraOK = FALSE;
    m_Parts.buttons.UpdateButtons();
    SetImageKind(DISP_STILL_IMAGE);
    m_Parts.buttons.SetDispImageButtonLook(DISP_STILL_IMAGE);
    WatchForCameraReturn(true);
}

QString CLiveController::GetImageInfoText(const IMAGE_INFO& info, BOOL bColor) const
{
    if (!m_bCameraOK && m_Parts.image.IsEmpty()) {
        return QString();
    }
    return QString::asprintf(" %s ［ %d×%d ］", bColor ? "COLOR" : "MONO", info.nWidth, info.nHeight);
}

void CLiveController::SetImageKind(int nKind)
{
    m_nDispImageKind = nKind;
    QString text;
    if (nKind == DISP_STILL_IMAGE) {
        WriteLog(QStringLiteral("[MAIN]SetImageKind(DISP_STILL_IMAGE)"));
        m_Parts.buttons.SetDispImageButtonLook(DISP_STILL_IMAGE);
        StopStreaming();
        text = m_bFileImageLoaded ? GetImageInfoText(m_StillImageInfo, m_StillImageInfo.nBitCount == 24)
                                  : GetImageInfoText(m_CameraImageInfo, m_bColorCamera);
    } else {
        WriteLog(QStringLiteral("[MAIN]SetImageKind(DISP_CAMERA_IMAGE)"));
        m_bCameraOK = StartStreaming(TRUE);
        if (!m_bCameraOK) {
            m_nDispImageKind = DISP_STILL_IMAGE;
            text = m_Parts.parts.GetStatusPartText(0);
        } else {
            m_Parts.buttons.SetDispImageButtonLook(DISP_CAMERA_IMAGE);
            text = GetImageInfoText(m_CameraImageInfo, m_bColorCamera);
        }
    }
    m_Parts.parts.SetStatusPart(0, text);
    if (!m_bCameraOK) {
        for (int part = 1; part <= 3; ++part) {
            m_Parts.parts.SetStatusPart(part, QString());
        }
        m_nGoodFrames = m_nBadFrames = -1;
        m_FrameRate.Reset();
    }
    m_Parts.buttons.UpdateButtons();
    if (m_bFileImageLoaded) {
        if (m_nDispImageKind == DISP_CAMERA_IMAGE) {
            m_bFileImageLoaded = FALSE;
        }
        m_Parts.geometry.SwitchView(m_bFileImageLoaded != 0);
        m_Parts.geometry.ZoomFit();
        m_pView->Refresh();
    }
    if (m_Parts.pOwner != nullptr) {
        m_Parts.pOwner->update();
    }
}

void CLiveController::OnBnClickedBtnDispImage()
{
    WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnDispImage() DispImageKind:%1").arg(m_nDispImageKind));
    if (m_nDispImageKind == DISP_CAMERA_IMAGE) {
        WriteLog(QStringLiteral("[MAIN]->Disp still image."));
        if (m_pOverlay != nullptr) {
            m_pOverlay->Redraw();
        }
        // The newest frame is already in the picture buffer: it becomes the still.
        SetImageKind(DISP_STILL_IMAGE);
        m_Parts.status.SetStatusString(IDS_SWITCHED_TO_STILL);
        return;
    }
    if (!m_bCameraOK) {
        m_Parts.status.SetStatusString(IDS_CAMERA_NOT_CONNECTED);
        WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnDispImage() bCameraOK = FALSE  ->Disp still image"));
        return;
    }
    WriteLog(QStringLiteral("[MAIN]->Disp camera image."));
    if (m_pOverlay != nullptr) {
        m_pOverlay->Redraw();
    }
    SetImageKind(DISP_CAMERA_IMAGE);
    m_Parts.status.SetStatusString(m_bCameraOK ? IDS_SWITCHED_TO_CAMERA : IDS_CAMERA_NOT_CONNECTED);
}

void CLiveController::FillAboutDlg(CAboutDlg& dlg)
{
    if (!m_bCameraOK) {
        dlg.SetNoDevice();
        return;
    }
    const bool bListed = m_nSelectCameraIdx >= 0 && m_nSelectCameraIdx < m_Parts.camera.GetCameraCount();
    dlg.SetCameraInfo(m_Parts.camera.GetCameraName(m_nSelectCameraIdx), m_Parts.camera.GetDllVersion(),
                      m_Parts.camera.GetApiVersion(), bListed ? m_Parts.camera.GetFWVersion(m_nSelectCameraIdx) : QString(),
                      bListed ? m_Parts.camera.GetSerialNum(m_nSelectCameraIdx) : QString());
}


void CLiveController::WatchForCameraReturn(bool bWatch)
{
    if (bWatch && m_nReturnTimerId == 0 && !m_bDestroyed && m_nSelectCameraIdx >= 0) {
        WriteLog(QStringLiteral("[MAIN]Waiting for the camera to come back."));
        m_nReturnTimerId = startTimer(kReturnPollMs);
    } else if (!bWatch && m_nReturnTimerId != 0) {
        killTimer(m_nReturnTimerId);
        m_nReturnTimerId = 0;
    }
}

void CLiveController::OnCameraReturnTimer()
{
    if (m_bCameraOK || m_bDestroyed) {
        WatchForCameraReturn(false); // back by another way (the settings' camera choice)
        return;
    }
    // A series or a recording still winding down keeps its own hold on the
    // camera; a modal window is the user's turn.
    if (m_Parts.fnCaptureBusy() || QApplication::activeModalWidget() != nullptr) {
        return;
    }
    // Quiet while the camera stays away: the open fails without a message.
    const int nCam = m_nSelectCameraIdx;
    if (!m_Parts.camera.OpenCamera(nCam)) {
        return;
    }
    WatchForCameraReturn(false);
    WriteLog(QStringLiteral("[MAIN]The camera is back."));
    const IMAGE_INFO before = m_CameraImageInfo;
    InitCamera(); // the camera is open: this sets its mode and reads its size
    if (m_bCameraOK && (m_CameraImageInfo.nWidth != before.nWidth || m_CameraImageInfo.nHeight != before.nHeight)) {
        // Another size: measurements made on the old picture do not fit it.
        m_Parts.fnReconnect();
        return;
    }
    if (m_bCameraOK && !m_bFileImageLoaded) {
        SetImageKind(DISP_CAMERA_IMAGE); // streams again; clears the flag when it cannot
    }
    if (!m_bCameraOK) {
        WriteLog(QStringLiteral("[MAIN]The camera came back but does not stream."));
        m_Parts.camera.CloseCamera();
        m_nSelectCameraIdx = nCam;
        WatchForCameraReturn(true);
        return;
    }
    // With an image file shown the camera waits for the picture-kind button.
    if (m_Parts.status.GetMessageText() == GetProgramString(IDS_CAMERA_DISCONNECTED)) {
        m_Parts.status.SetStatusMessage(QString());
    }
    m_Parts.buttons.UpdateButtons();
}

BOOL CLiveController::OneShotImage(BOOL bWithMessages)
{
    WriteLog(QStringLiteral("[MAIN]OneShotImage()->"));
    QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    const bool bMessages = bWithMessages || m_Parts.setting.SaveContinue.SaveContinueMode == 1;
    if (bMessages) {
        m_Parts.status.SetStatusString(IDS_CAPTURING);
    }
    // Grey applies to every captured frame, not only to every shown one.
    const bool bGrey = m_bColorCamera && m_Parts.camera.m_bGrayDisplay && m_Parts.camera.IsOpen();
    FRAME_INFO info;
    bool bSetFailed = false;
    const BOOL bShot = m_Parts.camera.ShotImageTo(-1, [&](const uint8_t* pData, const FRAME_INFO& frame) {
        info = frame;
        const size_t nRow = size_t(frame.nWidth) * 3;
        if (frame.nWidth <= 0 || frame.nHeight <= 0 || frame.nSize < nRow * size_t(frame.nHeight) ||
            !m_Parts.image.SetImage(pData, IMAGE_INFO{24, frame.nWidth, frame.nHeight}, int32_t(nRow))) {
            bSetFailed = true;
            return false;
        }
        return true;
    });
    BOOL bResult = bShot;
    if (!bShot) {
        WriteLog(bSetFailed ? QStringLiteral("[MAIN]AccImage.SetImage() Error!")
                            : QStringLiteral("[MAIN]CameraCtrl.ShotImage() Error!"));
    } else {
        if (bGrey) {
            m_Parts.image.ConvertToGrayscale();
        }
        if (info.nWidth != m_CameraImageInfo.nWidth || info.nHeight != m_CameraImageInfo.nHeight) {
            OnCameraFrameSize(info);
        }
    }
    if (bMessages) {
        if (bResult) {
            m_Parts.status.SetStatusString(IDS_CAPTURED);
        } else {
            m_Parts.status.SetStatusString(IDS_CAPTURE_ERROR);
            AfxMessageBox(IDS_CAPTURE_ERROR, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
        }
    }
    QGuiApplication::restoreOverrideCursor();
    WriteLog(QStringLiteral("[MAIN]->OneShotImage() is End."));
    return bResult;
}

CAccImage& CLiveController::Image()
{
    return m_Parts.image;
}

bool CLiveController::HasPicture() const
{
    return m_bCameraOK || !m_Parts.image.IsEmpty();
}

void CLiveController::OnDestroy()
{
    m_bDestroyed = TRUE;
    WatchForCameraReturn(false);
    StopStreaming();
}

BOOL CLiveController::ReopenCamera()
{
    StopStreaming();
    m_Parts.camera.CloseCamera();
    if (InitCamera()) {
        m_bCameraOK = StartStreaming(FALSE);
    }
    if (!m_bCameraOK) {
        SetImageKind(DISP_STILL_IMAGE);
        return FALSE;
    }
    // Nothing of the old camera's size stays behind: the picture buffer
    // starts black at the new size until the first frame arrives.
    const size_t nBytes = size_t(m_CameraImageInfo.nWidth) * size_t(m_CameraImageInfo.nHeight) * 3;
    const std::vector<uint8_t> black(nBytes, 0);
    m_Parts.image.SetImage(black.data(), m_CameraImageInfo);
    m_bFileImageLoaded = FALSE;
    if (m_Parts.geometry.IsStillView()) {
        m_Parts.geometry.SwitchView(false);
    }
    m_nDispImageKind = DISP_CAMERA_IMAGE;
    m_Parts.buttons.SetDispImageButtonLook(DISP_CAMERA_IMAGE);
    return TRUE;
}

void CLiveController::SetCameraImageSize(const IMAGE_INFO& info, int nFrameSize)
{
    m_CameraImageInfo = info;
    m_nFrameSize = nFrameSize;
}

void CLiveController::ShowCameraInfo()
{
    m_Parts.parts.SetStatusPart(0, GetImageInfoText(m_CameraImageInfo, m_bColorCamera));
}

void CLiveController::timerEvent(QTimerEvent* pEvent)
{
    if (pEvent->timerId() == m_nFrameTimerId) {
        OnFrameCountTimer();
    } else if (pEvent->timerId() == m_nReturnTimerId) {
        OnCameraReturnTimer();
    } else {
        QObject::timerEvent(pEvent);
    }
}
