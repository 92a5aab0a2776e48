// The image-save and image-load buttons: the picture shown, with its
// measurement overlay, to a file, and a file as the still picture.
#include "app/LogFile.h"
#include "app/PixmetraApp.h"
#include "app/QSFileAccess.h"
#include "app/dialogs/MessageBox.h"
#include "engine/LayeredWnd.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/overlay/CrossLines.h"
#include "workflow/magnifier/ZoomWndFlow.h"
#include "workflow/capture/CaptureStrings.h"
#include "workflow/capture/OverlaySave.h"
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

void CPixmetraDlg::OnBnClickedBtnSaveImage()
{
    WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSaveImage()->"));
    CToolWindowPause pause(m_pMeasureModeDlg);
    bool bBackToLive = false;
    if (m_pLive->GetDispImageKind() == DISP_CAMERA_IMAGE) {
        if (!m_pLive->OneShotImage(TRUE)) {
            return;
        }
        // The captured frame stays on screen as a still while the dialog is open.
        m_pLive->SetImageKind(DISP_STILL_IMAGE);
        bBackToLive = true;
    }
    CQSFileAccess access;
    const QString path = access.SelectImageFile(FALSE, QString(), TRUE, m_Setting.FileFormat, TRUE);
    if (!path.isEmpty()) {
        RECT region{0, 0, 0, 0};
        if (!m_Setting.bSaveHoleImage) {
            const DISP_VIEW_STATE& view = m_pLive->IsFileImageLoaded() ? m_Geometry.StillView() : m_Geometry.CameraView();
            if (!view.bFit) {
                region = view.VisibleRect;
                WriteLog(QStringLiteral("[MAIN]DrawArea  Left:%1 Top:%2 Width:%3 Height:%4")
                             .arg(region.left)
                             .arg(region.top)
                             .arg(region.right - region.left)
                             .arg(region.bottom - region.top));
            }
        }
        const CRgnDataCtrl* pEngine = m_pLayeredWnd != nullptr ? &m_pLayeredWnd->Engine() : nullptr;
        const STILL_SAVE_RESULT result =
            SaveImageWithOverlay(AccImage, pEngine, path, region, m_Setting.JpegQuality);
        if (result == STILL_SAVE_RESULT::Saved) {
            SetStatusMessage(IDS_IMAGE_SAVED);
        } else {
            // A picture that could not be copied is not saved without its overlay.
            WriteLog(result == STILL_SAVE_RESULT::CopyFailed ? QStringLiteral("[MAIN]AccImage.CopyToDib() Error!")
                                                             : QStringLiteral("[MAIN]AccImage.SaveImageFile(%1) Error!").arg(path));
            SetStatusMessage(IDS_SAVE_ERROR);
            AfxMessageBox(IDS_SAVE_ERROR, MB_ICONERROR | MB_TASKMODAL, this);
        }
    }
    if (bBackToLive) {
        m_pLive->SetImageKind(DISP_CAMERA_IMAGE);
    }
    WriteLog(QStringLiteral("->[MAIN]OnBnClickedBtnSaveImage()"));
}

void CPixmetraDlg::OnBnClickedBtnLoadImage()
{
    CToolWindowPause pause(m_pMeasureModeDlg);
    WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnLoadImage()"));
    CQSFileAccess access;
    const QString path = access.SelectImageFile(TRUE, QString(), FALSE, m_Setting.FileFormat, FALSE);
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
    if (!m_pMeasure->CheckClearMeasureData()) {
        return;
    }
    if (m_pCrossLines != nullptr) {
        m_pCrossLines->DeleteCrossLines();
    }
    if (!ShowLoadedImage(path, decoded)) {
        return;
    }
    // Only a picture that loaded is handed to the overlay and the tool window.
    if (m_pLayeredWnd != nullptr) {
        m_pView->InitialiseOverlay(m_pLive->StillImageInfo().nWidth, m_pLive->StillImageInfo().nHeight);
        ApplyCalibration();
    }
    if (m_pZoomFlow != nullptr) {
        m_pZoomFlow->OnNewPicture();
    }
    UpdateButtons();
}

BOOL CPixmetraDlg::DispFileImage(const QString& path)
{
    WriteLog(QStringLiteral("[MAIN]DispFileImage()"));
    image::DECODED_IMAGE decoded;
    if (!CAccImage::DecodeImageFile(path, decoded)) {
        ReportLoadError(path);
        return FALSE;
    }
    return ShowLoadedImage(path, decoded);
}

BOOL CPixmetraDlg::ShowLoadedImage(const QString& path, const image::DECODED_IMAGE& decoded)
{
    IMAGE_INFO info{};
    if (!AccImage.AdoptDecoded(decoded, &info)) {
        ReportLoadError(path); // the picture shown so far stays
        return FALSE;
    }
    m_pLive->SetFileImage(info);
    SetStatusMessage(IDS_IMAGE_LOADED);
    m_Geometry.SelectView(true);
    m_Geometry.ResetView(info);
    m_pLive->SetImageKind(DISP_STILL_IMAGE);
    return TRUE;
}

void CPixmetraDlg::ReportLoadError(const QString& path)
{
    SetStatusMessage(IDS_LOAD_ERROR);
    AfxMessageBox(IDS_LOAD_ERROR, MB_ICONERROR | MB_TASKMODAL, this);
    WriteLog(QStringLiteral("[MAIN]AccImage.LoadImageFile(%1)  Error!").arg(path));
}
