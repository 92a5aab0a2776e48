// The main window's side of the camera: choosing and opening the camera,
// starting and stopping the stream, taking each frame to the screen, the
// frame-rate and frame-count texts, the disconnect and the live/still switch.
#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/AboutDlg.h"
#include "ui_PixmetraDlg.h"
#include "workflow/MainMessages.h"
#include "workflow/MainStrings.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/live/PictureBox.h"

#include <cmath>

namespace {

QString CameraErrorText(const CCameraCtrl& camera)
{
    QString text;
    const int code = camera.GetErrorMessage(text);
    return QString::asprintf("%d:", code) + text;
}

} // namespace

BOOL CPixmetraDlg::InitCamera()
{
    WriteLog(QStringLiteral("[MAIN]InitCamera()->"));
    m_nSelectCameraIdx = -1;
    BOOL bResult = FALSE;
    if (!CameraCtrl.IsLibraryLoaded()) {
        AfxMessageBox(IDS_SDK_LOAD_ERROR, MB_ICONERROR | MB_TASKMODAL, this);
        return FALSE;
    }
    if (!CameraCtrl.IsApiVersionSupported()) {
        AfxMessageBox(IDS_SDK_TOO_OLD, MB_ICONERROR | MB_TASKMODAL, this);
        WriteLog(QStringLiteral("[MAIN]InitCamera() DLL Error!"));
    } else {
        CAMERA_SETTING& cam = m_Setting.Camera;
        int nChosen = 0;
        bool bFound = false;
        for (int i = 0; i < CameraCtrl.GetCameraCount(); ++i) {
            if (CameraCtrl.GetCameraName(i) == cam.CurConectCameraName && i == cam.CurConnectCameraIdx) {
                nChosen = i;
                bFound = true;
                break;
            }
        }
        if (!CameraCtrl.OpenCamera(nChosen)) {
            WriteLog(QStringLiteral("[MAIN]CameraCtrl.OpenCamera() Error!  ") + CameraErrorText(CameraCtrl));
        } else {
            m_nSelectCameraIdx = nChosen;
            const QString name = CameraCtrl.GetCameraName(nChosen);
            WriteLog(QStringLiteral("[MAIN]Camera Idx:%1 Camera Name:%2").arg(nChosen).arg(name));
            cam.CurConectCameraName = name;
            cam.CurConnectCameraIdx = nChosen;
            WriteLog(QStringLiteral("[MAIN]CameraCtrl.GetDllVersion : ") + CameraCtrl.GetDllVersion());
            WriteLog(QStringLiteral("[MAIN]CameraCtrl.GetApiVersion : ") + CameraCtrl.GetApiVersion());
            WriteLog(QStringLiteral("[MAIN]CameraCtrl.GetFWVersion : ") + CameraCtrl.GetFWVersion(nChosen));
            WriteLog(QStringLiteral("[MAIN]CameraCtrl.GetSerialNum : ") + CameraCtrl.GetSerialNum(nChosen));
            if (bFound) {
                CameraCtrl.SetChangeResolution(cam.ResolutionIdx);
            }
            // The size after the resolution change: frames arrive at this size.
            int32_t w = 0, h = 0, nFrameSize = 0;
            BOOL bColor = FALSE;
            CameraCtrl.GetImageSize(w, h, &bColor, &nFrameSize);
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
    return bResult;
}

BOOL CPixmetraDlg::StartStreaming(BOOL bForce)
{
    WriteLog(QStringLiteral("[MAIN]StartStreaming()"));
    if (!bForce && CameraCtrl.IsStreaming()) {
        WriteLog(QStringLiteral("[MAIN]Already Starting..."));
        return TRUE;
    }
    WriteLog(QStringLiteral("[MAIN]StartStreaming() -> CameraCtrl.StartStreaming() is Start"));
    const BOOL bOk = CameraCtrl.StartStreaming(&m_Sink, WM_CAMERA_FRAME, WM_CAMERA_DISCONNECT);
    WriteLog(QStringLiteral("[MAIN]StartStreaming() -> CameraCtrl.StartStreaming is End"));
    if (bOk) {
        if (m_nFrameTimerId != 0) {
            killTimer(m_nFrameTimerId);
        }
        m_nFrameTimerId = startTimer(100);
        m_FrameRate.Reset();
        m_nGraySkip = 0;
        SetStatusPart(1, QString::asprintf("  %.1f fps", 0.0));
        return TRUE;
    }
    m_bCameraOK = FALSE;
    AfxMessageBox(IDS_STREAM_START_ERROR, MB_ICONERROR | MB_TASKMODAL, this);
    WriteLog(QStringLiteral("[MAIN]CameraCtrl.StartStreaming Error! (") + CameraErrorText(CameraCtrl) +
             QLatin1Char(')'));
    return FALSE;
}

void CPixmetraDlg::StopStreaming()
{
    WriteLog(QStringLiteral("[MAIN]StopStreaming()"));
    if (m_nFrameTimerId != 0) {
        killTimer(m_nFrameTimerId);
        m_nFrameTimerId = 0;
    }
    if (!CameraCtrl.StopStreaminig()) {
        WriteLog(QStringLiteral("[MAIN]CameraCtrl.StopStreaminig() Error!"));
    }
}

bool CPixmetraDlg::TakeFrame(FRAME_INFO& info)
{
    // The newest whole frame, whatever slot the message named: a slow window
    // skips frames instead of falling behind. The frame's own size decides
    // how much is read: never more than the slot holds.
    return CameraCtrl.ShotNewestImageTo([&](const uint8_t* pData, const FRAME_INFO& frame) {
        info = frame;
        const size_t nRow = size_t(frame.nWidth) * 3;
        if (frame.nWidth <= 0 || frame.nHeight <= 0 || frame.nSize < nRow * size_t(frame.nHeight)) {
            return false;
        }
        return AccImage.SetImage(pData, IMAGE_INFO{24, frame.nWidth, frame.nHeight}, int32_t(nRow)) != 0;
    }) != 0;
}

void CPixmetraDlg::OnCameraFrame(int /*nSlot: the newest frame is taken*/, int nIntervalUs)
{
    // The text is made only when the shown value changes: a steady rate costs nothing.
    if (m_FrameRate.Add(nIntervalUs)) {
        SetStatusPart(1, QString::asprintf("  %.2f fps", m_FrameRate.Fps()));
    }
    // A frame that was on its way when the stream stopped leaves the still picture alone.
    if (!m_bCameraOK || m_nDispImageKind != DISP_CAMERA_IMAGE) {
        return;
    }
    bool bGrey = false;
    if (m_bColorCamera && CameraCtrl.m_bGrayDisplay && CameraCtrl.IsOpen()) {
        // About 20 grey pictures a second at most.
        ++m_nGraySkip;
        if (m_nGraySkip < 1 - int(std::trunc(m_FrameRate.Fps() / -20.0))) {
            // Not shown, but the camera may announce the next frame.
            CameraCtrl.ResetFrameMessage();
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
        AccImage.ConvertToGrayscale();
    }
    if (info.nWidth != m_CameraImageInfo.nWidth || info.nHeight != m_CameraImageInfo.nHeight) {
        OnCameraFrameSize(info);
    }
    ++m_nShownFrames;
    m_Geometry.UpdateVisibleRegion();
    m_pPicture->update();
}

void CPixmetraDlg::OnCameraFrameSize(const FRAME_INFO& info)
{
    WriteLog(QStringLiteral("[MAIN]Camera frame size %1 x %2").arg(info.nWidth).arg(info.nHeight));
    m_CameraImageInfo = IMAGE_INFO{24, info.nWidth, info.nHeight};
    m_nFrameSize = int(info.nSize);
    if (!m_Geometry.IsStillView()) {
        m_pView->ResetPictureView(m_CameraImageInfo);
    } else {
        m_Geometry.CameraView().ImageInfo = m_CameraImageInfo;
    }
    m_pView->InitialiseOverlay(info.nWidth, info.nHeight);
    SetStatusPart(0, GetImageInfoText(m_CameraImageInfo, m_bColorCamera));
}

void CPixmetraDlg::OnFrameCountTimer()
{
    if (!CameraCtrl.IsOpen()) {
        return;
    }
    int32_t nGood = 0, nBad = 0;
    if (!CameraCtrl.GetFrameCount(nGood, nBad)) {
        WriteLog(QStringLiteral("[CameraCtrl]GetFrameCount()  ICubeSDK Error! : %1").arg(CameraCtrl.GetLastError()));
        return;
    }
    if (nGood != m_nGoodFrames) {
        m_nGoodFrames = nGood;
        SetStatusPart(2, QString::asprintf(" frames：%d", nGood));
    }
    if (nBad != m_nBadFrames) {
        m_nBadFrames = nBad;
        SetStatusPart(3, QString::asprintf(" bad frames：%d", nBad));
    }
}

void CPixmetraDlg::OnDisConnectedMessage()
{
    WriteLog(QStringLiteral("[MAIN]OnDisConnectedMessage()"));
    SetStatusMessage(IDS_CAMERA_DISCONNECTED);
    StopStreaming();
    m_bCameraOK = FALSE;
    UpdateButtons();
    SetImageKind(DISP_STILL_IMAGE);
    SetDispImageButtonLook(DISP_STILL_IMAGE);
    WatchForCameraReturn(true);
}

QString CPixmetraDlg::GetImageInfoText(const IMAGE_INFO& info, BOOL bColor) const
{
    if (!m_bCameraOK && AccImage.IsEmpty()) {
        return QString();
    }
    return QString::asprintf(" %s ［ %d×%d ］", bColor ? "COLOR" : "MONO", info.nWidth, info.nHeight);
}

void CPixmetraDlg::SetImageKind(int nKind)
{
    m_nDispImageKind = nKind;
    QString text;
    if (nKind == DISP_STILL_IMAGE) {
        WriteLog(QStringLiteral("[MAIN]SetImageKind(DISP_STILL_IMAGE)"));
        SetDispImageButtonLook(DISP_STILL_IMAGE);
        StopStreaming();
        text = m_bFileImageLoaded ? GetImageInfoText(m_StillImageInfo, m_StillImageInfo.nBitCount == 24)
                                  : GetImageInfoText(m_CameraImageInfo, m_bColorCamera);
    } else {
        WriteLog(QStringLiteral("[MAIN]SetImageKind(DISP_CAMERA_IMAGE)"));
        m_bCameraOK = StartStreaming(TRUE);
        if (!m_bCameraOK) {
            m_nDispImageKind = DISP_STILL_IMAGE;
            text = GetStatusPartText(0);
        } else {
            SetDispImageButtonLook(DISP_CAMERA_IMAGE);
            text = GetImageInfoText(m_CameraImageInfo, m_bColorCamera);
        }
    }
    SetStatusPart(0, text);
    if (!m_bCameraOK) {
        for (int part = 1; part <= 3; ++part) {
            SetStatusPart(part, QString());
        }
        m_nGoodFrames = m_nBadFrames = -1;
        m_FrameRate.Reset();
    }
    UpdateButtons();
    if (m_bFileImageLoaded) {
        if (m_nDispImageKind == DISP_CAMERA_IMAGE) {
            m_bFileImageLoaded = FALSE;
        }
        m_Geometry.SwitchView(m_bFileImageLoaded != 0);
        m_Geometry.ZoomFit();
        m_pView->Refresh();
    }
    update();
}

void CPixmetraDlg::OnBnClickedBtnDispImage()
{
    WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnDispImage() DispImageKind:%1").arg(m_nDispImageKind));
    if (m_nDispImageKind == DISP_CAMERA_IMAGE) {
        WriteLog(QStringLiteral("[MAIN]->Disp still image."));
        if (m_pLayeredWnd != nullptr) {
            m_pLayeredWnd->Redraw();
        }
        // The newest frame is already in the picture buffer: it becomes the still.
        SetImageKind(DISP_STILL_IMAGE);
        SetStatusMessage(IDS_SWITCHED_TO_STILL);
        return;
    }
    if (!m_bCameraOK) {
        SetStatusMessage(IDS_CAMERA_NOT_CONNECTED);
        WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnDispImage() bCameraOK = FALSE  ->Disp still image"));
        return;
    }
    WriteLog(QStringLiteral("[MAIN]->Disp camera image."));
    if (m_pLayeredWnd != nullptr) {
        m_pLayeredWnd->Redraw();
    }
    SetImageKind(DISP_CAMERA_IMAGE);
    SetStatusMessage(m_bCameraOK ? IDS_SWITCHED_TO_CAMERA : IDS_CAMERA_NOT_CONNECTED);
}

void CPixmetraDlg::FillAboutDlg(CAboutDlg& dlg)
{
    if (!m_bCameraOK) {
        dlg.SetNoDevice();
        return;
    }
    const bool bListed = m_nSelectCameraIdx >= 0 && m_nSelectCameraIdx < CameraCtrl.GetCameraCount();
    dlg.SetCameraInfo(CameraCtrl.GetCameraName(m_nSelectCameraIdx), CameraCtrl.GetDllVersion(),
                      CameraCtrl.GetApiVersion(), bListed ? CameraCtrl.GetFWVersion(m_nSelectCameraIdx) : QString(),
                      bListed ? CameraCtrl.GetSerialNum(m_nSelectCameraIdx) : QString());
}

void CPixmetraDlg::OnAbout()
{
    CAboutDlg dlg(this);
    FillAboutDlg(dlg);
    dlg.exec();
}
