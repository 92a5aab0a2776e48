#include "workflow/settings/SettingsController.h"

#include "app/LogFile.h"
#include "app/PixmetraApp.h"
#include "app/SystemSetting.h"
#include "app/dialogs/EnabledCtrl.h"
#include "app/dialogs/StatusLine.h"
#include "app/dialogs/SystemSettingDlg.h"
#include "camera/CameraCtrl.h"
#include "camera/pages/CameraSettingDlg.h"
#include "engine/LayeredWnd.h"
#include "image/AccImage.h"
#include "workflow/MainButtons.h"
#include "workflow/MainControls.h"
#include "workflow/MainStrings.h"
#include "workflow/StatusParts.h"
#include "workflow/live/DisplayGeometry.h"
#include "workflow/live/LiveController.h"
#include "workflow/live/PictureViewController.h"
#include "workflow/magnifier/ZoomWndDlg.h"
#include "workflow/magnifier/ZoomWndFlow.h"
#include "workflow/overlay/CrossLines.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageMeasurement.h"

#include <QFont>
#include <QStringList>

#include <algorithm>

struct CSettingsController::BEFORE {
    int32_t nVert;
    int32_t nHorz;
    BOOL bSeparate;
    int32_t nDownPlace;
    CAMERA_SETTING camera;
};

void CSettingsController::OnBnClickedBtnCameraSetting()
{
    WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting()->"));
    {
        // The windows over the picture wait for the dialog; each gets its own state back.
        const CWndEnabledCtrl toolWnd(m_Parts.pTool, FALSE);
        const CWndEnabledCtrl overlay(m_Parts.pOverlay, FALSE);
        m_Parts.status.SetStatusMessage(QString());
        if (m_Parts.pOverlay != nullptr) {
            m_Parts.pOverlay->Redraw();
        }
        CCameraCtrl& camera = m_Parts.camera;
        if (camera.IsOpen()) {
            CCameraSettingDlg dlg(m_Parts.pOwner);
            WriteLog(QStringLiteral("[CAMSETTINGDLG]SetParam()"));
            dlg.SetParam(&camera, camera.GetResolutionIndex(), m_Parts.fnHasResults() ? TRUE : FALSE, m_Parts.pSink);
            dlg.SetStatusLine(&m_Parts.status);
            if (dlg.DoModal() == IDOK && dlg.GetResolutionIndex() != camera.GetResolutionIndex()) {
                ChangeCameraResolution(dlg.GetResolutionIndex());
            }
        }
    }
    m_Parts.buttons.UpdateButtons();
    WriteLog(QStringLiteral("[MAIN]->OnBnClickedBtnSystemSetting()"));
}

BOOL CSettingsController::ChangeCameraResolution(int nIndex)
{
    CLiveController& live = m_Parts.live;
    CCameraCtrl& camera = m_Parts.camera;
    m_Parts.pCrossLines->DeleteCrossLines();
    const BOOL bWanted = live.GetDispImageKind() == DISP_CAMERA_IMAGE;
    BOOL bOk = camera.SetChangeResolution(nIndex);
    if (!bOk) {
        // The camera keeps (or went back to) a mode of its list; whatever it
        // runs now is what the window shows, and the stream comes back.
        WriteLog(QStringLiteral("[MAIN]ChangeCameraResolution() Error! Idx:%1").arg(nIndex));
        AfxMessageBox(IDS_RESOLUTION_ERROR, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
        if (bWanted && !camera.IsStreaming()) {
            live.StartStreaming(TRUE);
            if (!live.IsCameraOK()) {
                live.SetImageKind(DISP_STILL_IMAGE);
            }
        }
    }
    // The window follows the camera's own size, whether the change was taken or not.
    int32_t w = 0, h = 0, nFrameSize = 0;
    BOOL bColor = live.IsColorCamera();
    if (camera.GetImageSize(w, h, &bColor, &nFrameSize)) {
        live.SetCameraImageSize(IMAGE_INFO{24, w, h}, nFrameSize);
    }
    CDisplayGeometry& geometry = m_Parts.geometry;
    if (geometry.IsStillView()) {
        geometry.CameraView().ImageInfo = live.CameraImageInfo();
    } else {
        m_Parts.view.ResetPictureView(live.CameraImageInfo());
    }
    if (!geometry.IsStillView()) {
        m_Parts.view.InitialiseOverlay(live.CameraImageInfo().nWidth, live.CameraImageInfo().nHeight);
    }
    const int nNow = camera.GetResolutionIndex();
    if (nNow >= 0) {
        m_Parts.setting.Camera.ResolutionIdx = nNow;
        WriteCameraSetting(m_Parts.setting.Camera);
    }
    live.ShowCameraInfo();
    return bOk;
}

void CSettingsController::OnDeleteCrossLine()
{
    WriteLog(QStringLiteral("[MAIN]OnDeleteCrossLine()"));
    // Carried out when the settings window ends with OK; kept until then.
    m_bDeleteCrossLineMark = TRUE;
}

void CSettingsController::OnBnClickedBtnSystemSetting()
{
    WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting()->"));
    {
        const CWndEnabledCtrl toolWnd(m_Parts.pTool, FALSE);
        const CWndEnabledCtrl overlay(m_Parts.pOverlay, FALSE);
        m_Parts.status.SetStatusMessage(QString());
        SYSTEM_SETTING& setting = m_Parts.setting;
        // The window reads the file: it must hold what the program runs with now.
        SaveSystemSetting(setting);

        const BEFORE before{setting.CrossVertLineNum, setting.CrossHorzLineNum, setting.bCrossLineSeparateInput,
                            setting.MeasureDownPlace, setting.Camera};

        // Without a running camera the list is made anew, so a camera
        // plugged in since the start can be chosen.
        CLiveController& live = m_Parts.live;
        CCameraCtrl& camera = m_Parts.camera;
        const bool bRelisted = !live.IsCameraOK() && !m_Parts.fnCaptureBusy() && camera.RefreshCameraList();
        if (bRelisted) {
            live.WatchForCameraReturn(false);
        }
        CSystemSettingDlg dlg(m_Parts.pOwner);
        QStringList names;
        for (int i = 0; i < camera.GetCameraCount(); ++i) {
            names.append(camera.GetCameraName(i));
        }
        dlg.SetCameraConnected(names.isEmpty() ? FALSE : TRUE);
        dlg.SetCameraNames(names);
        dlg.SetMainWnd(m_Parts.pSink);
        WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting() Camera Idx = %1").arg(before.camera.CurConnectCameraIdx));
        WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting() Camera Name = ") + before.camera.CurConectCameraName);
        if (dlg.DoModal() != IDOK) {
            // A retention chosen in the log copy is in the file already.
            LoadSystemSetting(setting);
            if (bRelisted) {
                live.WatchForCameraReturn(true); // the lost camera is still awaited
            }
        } else {
            ApplySettings(before, bRelisted);
        }
    }
    m_Parts.buttons.UpdateButtons();
    m_Parts.status.SetStatusMessage(QString());
    WriteLog(QStringLiteral("[MAIN]->OnBnClickedBtnSystemSetting()"));
}

void CSettingsController::ApplySettings(const BEFORE& before, bool bRelisted)
{
    SYSTEM_SETTING& setting = m_Parts.setting;
    LoadSystemSetting(setting);
    QFont caption(setting.CaptionFontName);
    caption.setPointSize(std::max(1, int(setting.CaptionFontPt)));
    if (QWidget* pMessage = m_Parts.buttons.GetDlgItem(IDC_STATIC_MESSAGE)) {
        pMessage->setFont(caption);
    }
    m_Parts.buttons.UpdateLayout();
    m_Parts.pOwner->update();

    bool bReconnect = false;
    if (setting.Camera.CurConectCameraName != before.camera.CurConectCameraName ||
        setting.Camera.CurConnectCameraIdx != before.camera.CurConnectCameraIdx) {
        bReconnect = true;
        setting.Camera.ResolutionIdx = 0;
        WriteCameraSetting(setting.Camera);
        WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting() Before Connenct Camera Idx = %1")
                     .arg(before.camera.CurConnectCameraIdx));
        WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting() Before Connenct Camera Name = ") +
                 before.camera.CurConectCameraName);
        WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting() After Connenct Camera Idx = %1")
                     .arg(setting.Camera.CurConnectCameraIdx));
        WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting() After Connenct Camera Name = ") +
                 setting.Camera.CurConectCameraName);
    }

    CLayeredWnd* pOverlay = m_Parts.pOverlay;
    if (pOverlay != nullptr) {
        pOverlay->Engine().SetDrawSetting(setting.Draw);
        pOverlay->Redraw();
    }
    if (m_Parts.pZoomFlow != nullptr && m_Parts.pZoomFlow->ZoomWnd() != nullptr) {
        m_Parts.pZoomFlow->ZoomWnd()->SetCrossColor(setting.Draw.CrossColor);
    }
    m_Parts.fnRecalcResults();

    if (setting.CrossVertLineNum != before.nVert || setting.bCrossLineSeparateInput != before.bSeparate ||
        (setting.bCrossLineSeparateInput && setting.CrossHorzLineNum != before.nHorz) || m_bDeleteCrossLineMark) {
        m_bDeleteCrossLineMark = FALSE;
        m_Parts.pCrossLines->DeleteCrossLines();
    }
    if (pOverlay != nullptr && pOverlay->Engine().m_bDispScale) {
        pOverlay->Engine().SetScaleParam(setting.ScaleSizeX, setting.ScaleSizeY, setting.DispScalPos);
        pOverlay->Redraw();
    }

    if (setting.MeasureDownPlace != before.nDownPlace && m_Parts.pTool != nullptr) {
        m_Parts.pTool->PageMeasurement()->SetDownPlace(setting.MeasureDownPlace);
        m_Parts.pTool->PageMeasurement()->RefreshMeasResultList();
    }

    if (bReconnect) {
        ReconnectCamera();
    } else if (bRelisted) {
        m_Parts.live.WatchForCameraReturn(true); // the same camera: awaited, measurements kept
    }
}

void CSettingsController::ReconnectCamera()
{
    CLiveController& live = m_Parts.live;
    m_Parts.fnClearResults();
    const BOOL bCameraOK = live.ReopenCamera();
    const IMAGE_INFO info = bCameraOK ? live.CameraImageInfo()
                                      : IMAGE_INFO{24, live.Image().GetWidth(), live.Image().GetHeight()};
    if (info.nWidth > 0 && info.nHeight > 0) {
        m_Parts.view.ResetPictureView(info);
        if (m_Parts.pOverlay != nullptr) {
            m_Parts.pOverlay->Engine().SetDrawSetting(m_Parts.setting.Draw);
            m_Parts.view.InitialiseOverlay(info.nWidth, info.nHeight);
            m_Parts.fnRecalcResults();
        }
    }
    m_Parts.parts.SetStatusPart(0, live.GetImageInfoText(info, bCameraOK ? live.IsColorCamera() : (info.nWidth > 0)));
    if (QWidget* pPicture = m_Parts.buttons.GetDlgItem(IDC_PICTURE)) {
        pPicture->update();
    }
}
