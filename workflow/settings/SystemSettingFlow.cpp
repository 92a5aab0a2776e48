// The settings button of the main window: the settings window runs on a copy
// of the settings in the file, and what it wrote is applied to the running
// window: caption font, drawing, calibration, cross lines, decimals and,
// when another camera was chosen, a reconnection.
#include "app/LogFile.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/EnabledCtrl.h"
#include "app/dialogs/SystemSettingDlg.h"
#include "ui_PixmetraDlg.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/capture/VideoRecord.h"
#include "workflow/magnifier/ZoomWndDlg.h"
#include "workflow/magnifier/ZoomWndFlow.h"
#include "workflow/live/PictureBox.h"
#include "workflow/settings/SettingsFlow.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageMeasurement.h"

#include <vector>

void CPixmetraDlg::OnDeleteCrossLine()
{
    WriteLog(QStringLiteral("[MAIN]OnDeleteCrossLine()"));
    // Carried out when the settings window ends with OK; kept until then.
    m_bDeleteCrossLineMark = TRUE;
}

void CPixmetraDlg::OnBnClickedBtnSystemSetting()
{
    WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting()->"));
    {
        const CWndEnabledCtrl toolWnd(m_pMeasureModeDlg, FALSE);
        const CWndEnabledCtrl overlay(m_pLayeredWnd, FALSE);
        SetStatusMessage(QString());
        // The window reads the file: it must hold what the program runs with now.
        SaveSystemSetting(m_Setting);

        const int32_t nOldVert = m_Setting.CrossVertLineNum;
        const int32_t nOldHorz = m_Setting.CrossHorzLineNum;
        const BOOL bOldSeparate = m_Setting.bCrossLineSeparateInput;
        const int32_t nOldDownPlace = m_Setting.MeasureDownPlace;
        const CAMERA_SETTING oldCamera = m_Setting.Camera;

        // Without a running camera the list is made anew, so a camera
        // plugged in since the start can be chosen.
        const bool bRelisted = !m_pLive->IsCameraOK() && !SaveContinueState().bSaving && !m_pVideoRecord->IsRecording() &&
                               CameraCtrl.RefreshCameraList();
        if (bRelisted) {
            m_pLive->WatchForCameraReturn(false);
        }
        CSystemSettingDlg dlg(this);
        QStringList names;
        for (int i = 0; i < CameraCtrl.GetCameraCount(); ++i) {
            names.append(CameraCtrl.GetCameraName(i));
        }
        dlg.SetCameraConnected(names.isEmpty() ? FALSE : TRUE);
        dlg.SetCameraNames(names);
        dlg.SetMainWnd(&m_Sink);
        WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting() Camera Idx = %1").arg(oldCamera.CurConnectCameraIdx));
        WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting() Camera Name = ") + oldCamera.CurConectCameraName);
        if (dlg.DoModal() != IDOK) {
            // A retention chosen in the log copy is in the file already.
            LoadSystemSetting(m_Setting);
            if (bRelisted) {
                m_pLive->WatchForCameraReturn(true); // the lost camera is still awaited
            }
        } else {
            LoadSystemSetting(m_Setting);
            QFont caption(m_Setting.CaptionFontName);
            caption.setPointSize(std::max(1, int(m_Setting.CaptionFontPt)));
            m_pUi->labelMessage->setFont(caption);
            LayoutControls();
            update();

            bool bReconnect = false;
            if (m_Setting.Camera.CurConectCameraName != oldCamera.CurConectCameraName ||
                m_Setting.Camera.CurConnectCameraIdx != oldCamera.CurConnectCameraIdx) {
                bReconnect = true;
                m_Setting.Camera.ResolutionIdx = 0;
                WriteCameraSetting(m_Setting.Camera);
                WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting() Before Connenct Camera Idx = %1")
                             .arg(oldCamera.CurConnectCameraIdx));
                WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting() Before Connenct Camera Name = ") +
                         oldCamera.CurConectCameraName);
                WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting() After Connenct Camera Idx = %1")
                             .arg(m_Setting.Camera.CurConnectCameraIdx));
                WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting() After Connenct Camera Name = ") +
                         m_Setting.Camera.CurConectCameraName);
            }

            if (m_pLayeredWnd != nullptr) {
                m_pLayeredWnd->Engine().SetDrawSetting(m_Setting.Draw);
                m_pLayeredWnd->Redraw();
            }
            if (m_pZoomFlow != nullptr && m_pZoomFlow->ZoomWnd() != nullptr) {
                m_pZoomFlow->ZoomWnd()->SetCrossColor(m_Setting.Draw.CrossColor);
            }
            ApplyCalibration();

            if (m_Setting.CrossVertLineNum != nOldVert || m_Setting.bCrossLineSeparateInput != bOldSeparate ||
                (m_Setting.bCrossLineSeparateInput && m_Setting.CrossHorzLineNum != nOldHorz) ||
                m_bDeleteCrossLineMark) {
                m_bDeleteCrossLineMark = FALSE;
                ResetCrossLines(*this);
            }
            if (m_pLayeredWnd != nullptr && m_pLayeredWnd->Engine().m_bDispScale) {
                m_pLayeredWnd->Engine().SetScaleParam(m_Setting.ScaleSizeX, m_Setting.ScaleSizeY, m_Setting.DispScalPos);
                m_pLayeredWnd->Redraw();
            }

            if (m_Setting.MeasureDownPlace != nOldDownPlace && m_pMeasureModeDlg != nullptr) {
                m_pMeasureModeDlg->PageMeasurement()->SetDownPlace(m_Setting.MeasureDownPlace);
                m_pMeasureModeDlg->PageMeasurement()->RefreshMeasResultList();
            }

            if (bReconnect) {
                ReconnectCamera();
            } else if (bRelisted) {
                m_pLive->WatchForCameraReturn(true); // the same camera: awaited, measurements kept
            }
        }
    }
    UpdateButtons();
    SetStatusMessage(QString());
    WriteLog(QStringLiteral("[MAIN]->OnBnClickedBtnSystemSetting()"));
}

void CPixmetraDlg::ReconnectCamera()
{
    m_pMeasure->OnDeleteAllMeasureData(0, LPARAM(-1));
    const BOOL bCameraOK = m_pLive->ReopenCamera();
    const IMAGE_INFO info = bCameraOK ? m_pLive->CameraImageInfo()
                                        : IMAGE_INFO{24, AccImage.GetWidth(), AccImage.GetHeight()};
    if (info.nWidth > 0 && info.nHeight > 0) {
        m_pView->ResetPictureView(info);
        if (m_pLayeredWnd != nullptr) {
            m_pLayeredWnd->Engine().SetDrawSetting(m_Setting.Draw);
            m_pView->InitialiseOverlay(info.nWidth, info.nHeight);
            ApplyCalibration();
        }
    }
    SetStatusPart(0, m_pLive->GetImageInfoText(info, bCameraOK ? m_pLive->IsColorCamera() : (info.nWidth > 0)));
    if (m_pPicture != nullptr) {
        m_pPicture->update();
    }
}
