#include "workflow/capture/StillController.h"

#include "app/LogFile.h"
#include "app/PixmetraApp.h"
#include "app/QSFileAccess.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/StatusLine.h"
#include "engine/LayeredWnd.h"
#include "workflow/MainButtons.h"
#include "workflow/overlay/CrossLines.h"
#include "workflow/magnifier/ZoomWndFlow.h"
#include "workflow/capture/CaptureStrings.h"
#include "workflow/capture/OverlaySave.h"
#include "workflow/capture/SaveRegion.h"
#include "workflow/live/LiveController.h"
#include "workflow/live/PictureViewController.h"
#include "workflow/toolwnd/MeasureModeDlg.h"

#include <QPointer>

namespace {

// Keeps the tool window disabled while a file flow runs and gives it back
// its own enabled state afterwards.
class CToolWindowPause {
public:
    explicit CToolWindowPause(QWidget* pTool) : m_pTool(pTool)
    {
        if (m_pTool != nullptr) {
            m_bWasEnabled = m_pTool->isEnabled();
            m_pTool->setEnabled(false);
        }
    }
    ~CToolWindowPause()
    {
        if (m_pTool != nullptr) {
            m_pTool->setEnabled(m_bWasEnabled);
        }
    }
    CToolWindowPause(const CToolWindowPause&) = delete;
    CToolWindowPause& operator=(const CToolWindowPause&) = delete;

private:
    QPointer<QWidget> m_pTool;
    bool m_bWasEnabled = true;
};

} // namespace

void CStillController::OnBnClickedBtnSaveImage()
{
    WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSaveImage()->"));
    CToolWindowPause pause(m_Parts.pTool);
    bool bBackToLive = false;
    if (m_Parts.live.GetDispImageKind() == DISP_CAMERA_IMAGE) {
        if (!m_Parts.live.OneShotImage(TRUE)) {
            return;
        }
        // The captured frame stays on screen as a still while the dialog is open.
        m_Parts.live.SetImageKind(DISP_STILL_IMAGE);
        bBackToLive = true;
    }
    CQSFileAccess access;
    const QString path = access.SelectImageFile(FALSE, QString(), TRUE, m_Parts.setting.FileFormat, TRUE);
    if (!path.isEmpty()) {
        const RECT region =
            VisibleSaveRegion(m_Parts.setting, m_Parts.geometry, m_Parts.live.IsFileImageLoaded() != FALSE);
        if (region.right > region.left) {
            WriteLog(QStringLiteral("[MAIN]DrawArea  Left:%1 Top:%2 Width:%3 Height:%4")
                         .arg(region.left)
                         .arg(region.top)
                         .arg(region.right - region.left)
                         .arg(region.bottom - region.top));
        }
        const CRgnDataCtrl* pEngine = m_Parts.pOverlay != nullptr ? &m_Parts.pOverlay->Engine() : nullptr;
        const STILL_SAVE_RESULT result =
            SaveImageWithOverlay(m_Parts.live.Image(), pEngine, path, region, m_Parts.setting.JpegQuality);
        if (result == STILL_SAVE_RESULT::Saved) {
            m_Parts.status.SetStatusString(IDS_IMAGE_SAVED);
        } else {
            // A picture that could not be copied is not saved without its overlay.
            WriteLog(result == STILL_SAVE_RESULT::CopyFailed ? QStringLiteral("[MAIN]AccImage.CopyToDib() Error!")
                                                             : QStringLiteral("[MAIN]AccImage.SaveImageFile(%1) Error!").arg(path));
            m_Parts.status.SetStatusString(IDS_SAVE_ERROR);
            AfxMessageBox(IDS_SAVE_ERROR, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
        }
    }
    if (bBackToLive) {
        m_Parts.live.SetImageKind(DISP_CAMERA_IMAGE);
    }
    WriteLog(QStringLiteral("->[MAIN]OnBnClickedBtnSaveImage()"));
}

void CStillController::OnBnClickedBtnLoadImage()
{
    CToolWindowPause pause(m_Parts.pTool);
    WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnLoadImage()"));
    CQSFileAccess access;
    const QString path = access.SelectImageFile(TRUE, QString(), FALSE, m_Parts.setting.FileFormat, FALSE);
    if (path.isEmpty()) {
        return;
    }
    // Read first: a file that does not load leaves the picture and its
    // results as they are, and nothing is asked.
    image::DECODED_IMAGE decoded;
    WriteLog(QStringLiteral("[MAIN]DispFileImage()"));
    if (!CAccImage::DecodeImageFile(path, decoded)) {
        ReportLoadError(path);
        return;
    }
    if (!m_Parts.fnMayReplacePicture()) {
        return;
    }
    if (m_Parts.pCrossLines != nullptr) {
        m_Parts.pCrossLines->DeleteCrossLines();
    }
    if (!ShowLoadedImage(path, decoded)) {
        return;
    }
    // Only a picture that loaded is handed to the overlay and the tool window.
    if (m_Parts.pOverlay != nullptr) {
        m_Parts.view.InitialiseOverlay(m_Parts.live.StillImageInfo().nWidth, m_Parts.live.StillImageInfo().nHeight);
        m_Parts.fnApplyCalibration();
    }
    if (m_Parts.pZoomFlow != nullptr) {
        m_Parts.pZoomFlow->OnNewPicture();
    }
    m_Parts.buttons.UpdateButtons();
}

BOOL CStillController::DispFileImage(const QString& path)
{
    WriteLog(QStringLiteral("[MAIN]DispFileImage()"));
    image::DECODED_IMAGE decoded;
    if (!CAccImage::DecodeImageFile(path, decoded)) {
        ReportLoadError(path);
        return FALSE;
    }
    return ShowLoadedImage(path, decoded);
}

BOOL CStillController::ShowLoadedImage(const QString& path, const image::DECODED_IMAGE& decoded)
{
    IMAGE_INFO info{};
    if (!m_Parts.live.Image().AdoptDecoded(decoded, &info)) {
        ReportLoadError(path); // the picture shown so far stays
        return FALSE;
    }
    m_Parts.live.SetFileImage(info, path);
    m_Parts.status.SetStatusString(IDS_IMAGE_LOADED);
    m_Parts.geometry.SelectView(true);
    m_Parts.geometry.ResetView(info);
    m_Parts.live.SetImageKind(DISP_STILL_IMAGE);
    return TRUE;
}

void CStillController::ReportLoadError(const QString& path)
{
    m_Parts.status.SetStatusString(IDS_LOAD_ERROR);
    AfxMessageBox(IDS_LOAD_ERROR, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
    WriteLog(QStringLiteral("[MAIN]AccImage.LoadImageFile(%1)  Error!").arg(path));
}
