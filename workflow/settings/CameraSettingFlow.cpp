// The camera adjustment button of the main window: the dialog runs over the
// live picture, and a resolution chosen there is applied when it closes.
#include "app/LogFile.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/EnabledCtrl.h"
#include "app/dialogs/StatusLine.h"
#include "camera/pages/CameraSettingDlg.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/live/PictureBox.h"
#include "workflow/overlay/CrossLines.h"
#include "workflow/settings/SettingsFlow.h"
#include "workflow/toolwnd/MeasureModeDlg.h"

namespace {

// Shown when the camera refuses the mode it listed itself.
constexpr UINT IDS_RESOLUTION_CHANGE_ERROR = 628;

// The camera pages report on the main window's message line.
class CMainStatusLine : public IStatusLine {
public:
    explicit CMainStatusLine(CPixmetraDlg& dlg) : m_Dlg(dlg) {}
    void SetStatusMessage(const QString& text) override { m_Dlg.SetStatusMessage(text); }
    QString GetMessageText() const override { return m_Dlg.GetMessageText(); }

private:
    CPixmetraDlg& m_Dlg;
};

} // namespace

void ResetCrossLines(CPixmetraDlg& dlg)
{
    if (CCrossLines* pCross = dlg.CrossLines()) {
        pCross->DeleteCrossLines();
    }
}

void CPixmetraDlg::OnBnClickedBtnCameraSetting()
{
    WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSystemSetting()->"));
    {
        // The windows over the picture wait for the dialog; each gets its own state back.
        const CWndEnabledCtrl toolWnd(m_pMeasureModeDlg, FALSE);
        const CWndEnabledCtrl overlay(m_pLayeredWnd, FALSE);
        SetStatusMessage(QString());
        if (m_pLayeredWnd != nullptr) {
            m_pLayeredWnd->Redraw();
        }
        if (CameraCtrl.IsOpen()) {
            CCameraSettingDlg dlg(this);
            WriteLog(QStringLiteral("[CAMSETTINGDLG]SetParam()"));
            dlg.SetParam(&CameraCtrl, CameraCtrl.GetResolutionIndex(), m_pMeasure->Results().empty() ? FALSE : TRUE, &m_Sink);
            CMainStatusLine status(*this);
            dlg.SetStatusLine(&status);
            if (dlg.DoModal() == IDOK && dlg.GetResolutionIndex() != CameraCtrl.GetResolutionIndex()) {
                ChangeCameraResolution(dlg.GetResolutionIndex());
            }
        }
    }
    UpdateButtons();
    WriteLog(QStringLiteral("[MAIN]->OnBnClickedBtnSystemSetting()"));
}

BOOL CPixmetraDlg::ChangeCameraResolution(int nIndex)
{
    ResetCrossLines(*this);
    const BOOL bWanted = m_pLive->GetDispImageKind() == DISP_CAMERA_IMAGE;
    BOOL bOk = CameraCtrl.SetChangeResolution(nIndex);
    if (!bOk) {
        // The camera keeps (or went back to) a mode of its list; whatever it
        // runs now is what the window shows, and the stream comes back.
        WriteLog(QStringLiteral("[MAIN]ChangeCameraResolution() Error! Idx:%1").arg(nIndex));
        AfxMessageBox(IDS_RESOLUTION_CHANGE_ERROR, MB_ICONERROR | MB_TASKMODAL, this);
        if (bWanted && !CameraCtrl.IsStreaming()) {
            m_pLive->StartStreaming(TRUE);
            if (!m_pLive->IsCameraOK()) {
                m_pLive->SetImageKind(DISP_STILL_IMAGE);
            }
        }
    }
    // The window follows the camera's own size, whether the change was taken or not.
    int32_t w = 0, h = 0, nFrameSize = 0;
    BOOL bColor = m_pLive->IsColorCamera();
    if (CameraCtrl.GetImageSize(w, h, &bColor, &nFrameSize)) {
        m_pLive->SetCameraImageSize(IMAGE_INFO{24, w, h}, nFrameSize);
    }
    if (m_Geometry.IsStillView()) {
        m_Geometry.CameraView().ImageInfo = m_pLive->CameraImageInfo();
    } else {
        m_pView->ResetPictureView(m_pLive->CameraImageInfo());
    }
    if (!m_Geometry.IsStillView()) {
        m_pView->InitialiseOverlay(m_pLive->CameraImageInfo().nWidth, m_pLive->CameraImageInfo().nHeight);
    }
    const int nNow = CameraCtrl.GetResolutionIndex();
    if (nNow >= 0) {
        m_Setting.Camera.ResolutionIdx = nNow;
        WriteCameraSetting(m_Setting.Camera);
    }
    m_pLive->ShowCameraInfo();
    return bOk;
}
