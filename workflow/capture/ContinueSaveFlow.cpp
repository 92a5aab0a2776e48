// The continuous-save button: an interval series on the worker threads, or
// one image per click, the subfolder of a series, the threads' messages and
// the button's look.
#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/QSFileAccess.h"
#include "app/WriteFailureText.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SetIntervalDlg.h"
#include "ui_PixmetraDlg.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/capture/CaptureMessages.h"
#include "workflow/capture/CaptureStrings.h"
#include "workflow/capture/ContinueSave.h"
#include "workflow/capture/OverlaySave.h"
#include "workflow/capture/SeriesNaming.h"
#include "platform/AtomicFile.h"
#include "workflow/toolwnd/MeasureModeDlg.h"

#include <QDateTime>
#include <QDir>

namespace {

QString ProgressText(int nNext, int nCount)
{
    return QStringLiteral("　[ %1 / %2 ]").arg(nNext).arg(nCount);
}

} // namespace

std::array<QWidget*, 8> CPixmetraDlg::ControlGroup1() const
{
    return {m_pUi->btnDispImage, m_pUi->btnLoadImage, m_pUi->btnSaveImage, m_pUi->btnSaveVideo,
            m_pUi->btnCrossLine, m_pUi->btnCrossCancel, m_pUi->btnSetting, m_pUi->btnCameraSetting};
}

void CPixmetraDlg::UpdateCaptureButtons()
{
    const bool bPicture = m_pLive->HasPicture();
    m_pUi->btnLoadImage->setEnabled(true);
    m_pUi->btnSaveImage->setEnabled(bPicture);
    m_pUi->btnSaveContinue->setEnabled(m_pLive->IsCameraOK() || m_SaveContinue.bSaving);
    if (m_SaveContinue.bSaving) {
        for (QWidget* pControl : ControlGroup1()) {
            pControl->setEnabled(false);
        }
        EnableMeasureGroup(false);
    }
    UpdateSaveContinueButton();
}

void CPixmetraDlg::UpdateSaveContinueButton()
{
    const bool bClick = m_Setting.SaveContinue.SaveContinueMode == 1;
    m_pUi->btnSaveContinue->setText(GetProgramString(m_SaveContinue.bSaving ? IDS_SAVE_STOP : IDS_SAVE_CONTINUE));
    m_pUi->btnSaveContinue->setToolTip(GetProgramString(
        bClick ? IDS_TIP_SAVE_ON_CLICK : (m_SaveContinue.bSaving ? IDS_TIP_SAVE_STOP : IDS_TIP_SAVE_INTERVAL)));
}

bool CPixmetraDlg::CheckClearMeasureData()
{
    if (MeasDataList.empty()) {
        WriteLog(QStringLiteral("[MAIN]CheckClearMeasureData() MeasDataList.GetCount() = 0"));
        return true;
    }
    if (AfxMessageBox(IDS_CLEAR_MEASURE_QUESTION, MB_YESNO | MB_ICONQUESTION, this) != IDYES) {
        WriteLog(QStringLiteral("[MAIN]CheckClearMeasureData() Clear Cancel"));
        return false;
    }
    OnDeleteAllMeasureData(0, LPARAM(-1));
    // Cleared data begin a new click series.
    m_SaveContinue.bClickStarted = false;
    return true;
}

void CPixmetraDlg::OnBnClickedBtnSaveContinue()
{
    const bool bToolEnabled = m_pMeasureModeDlg != nullptr && m_pMeasureModeDlg->isEnabled();
    if (m_pMeasureModeDlg != nullptr) {
        m_pMeasureModeDlg->setEnabled(false);
    }
    // Stopping a running series asks nothing.
    if (m_SaveContinue.bSaving || CheckClearMeasureData()) {
        if (m_Setting.SaveContinue.SaveContinueMode == 1 && !m_SaveContinue.bSaving) {
            SaveContinueOnClick();
        } else {
            SaveContinueInterval();
        }
    }
    if (m_pMeasureModeDlg != nullptr) {
        m_pMeasureModeDlg->setEnabled(bToolEnabled);
    }
}

BOOL CPixmetraDlg::MakeSaveSubFolder(QString& subFolder)
{
    subFolder.clear();
    const SAVE_CONTINUE_SETTING& s = m_Setting.SaveContinue;
    if (s.SubFolderKind == 0) {
        return TRUE;
    }
    if (s.SubFolderKind == 1) {
        const int n = HighestFolderNumber(s.SaveFolderPath);
        WriteLog(QStringLiteral("[MAIN]MakeSaveSubFolder()  Max Folder Number:%1").arg(n));
        if (n >= SERIES_NUMBER_MAX) {
            AfxMessageBox(IDS_FOLDER_NUMBER_FULL, MB_ICONERROR | MB_TASKMODAL, this);
            return FALSE;
        }
        subFolder = NumberedSubFolderName(n + 1);
    } else {
        subFolder = DatedSubFolderName(s.SaveFolderPath, QDateTime::currentDateTime());
    }
    const QString full = JoinSeriesPath(s.SaveFolderPath, subFolder);
    WriteLog(QStringLiteral("[MAIN]MakeSaveSubFolder()  Create SubFolder (%1)").arg(full));
    if (!CQSFileAccess::CreateFolder(full)) {
        // Every image would fail: the series does not start.
        WriteLog(QStringLiteral("[MAIN]MakeSaveSubFolder()  Create SubFolder Error!"));
        SetStatusMessage(IDS_SAVE_ERROR);
        AfxMessageBox(IDS_SAVE_ERROR, MB_ICONERROR | MB_TASKMODAL, this);
        subFolder.clear();
        return FALSE;
    }
    return TRUE;
}

// The folder, title and type of a series: asked in the file dialog, or the
// stored folder with a new subfolder. False when the user cancelled or the
// subfolder could not be made.
bool CPixmetraDlg::ChooseSeriesTarget(bool bTopmostDialog)
{
    (void)bTopmostDialog; // the dialog is modal over the window in every case
    SAVE_CONTINUE_SETTING& s = m_Setting.SaveContinue;
    m_SaveContinue.SubFolder.clear();
    m_SaveContinue.FileTitle.clear();
    if (s.SaveFolderKind != 0) {
        CQSFileAccess access;
        const QString path = access.SelectImageFile(FALSE, s.SaveFolderPath, TRUE, m_Setting.FileFormat, FALSE);
        if (path.isEmpty()) {
            return false;
        }
        const SERIES_FILE_CHOICE choice = ParseSeriesFileChoice(path);
        s.SaveFolderPath = choice.folder;
        m_Setting.FileFormat = choice.nFileType;
        m_SaveContinue.FileTitle = choice.title;
    } else if (!MakeSaveSubFolder(m_SaveContinue.SubFolder)) {
        return false;
    }
    m_SaveContinue.SeriesFolder = s.SaveFolderPath;
    m_SaveContinue.SeriesFileType = m_Setting.FileFormat == 1 ? 1 : 0;
    // A folder that cannot take a file stops the series before it starts.
    const QString folder = JoinSeriesPath(m_SaveContinue.SeriesFolder, m_SaveContinue.SubFolder);
    const int nError = platform::ProbeFolderWritable(folder);
    if (nError != 0) {
        WriteLog(QStringLiteral("[MAIN]Series folder cannot be written (errno %1): %2").arg(nError).arg(folder));
        if (!m_SaveContinue.SubFolder.isEmpty()) {
            QDir().rmdir(folder);
        }
        const QString text =
            GetProgramString(IDS_SERIES_FOLDER_NOT_WRITABLE) + QLatin1Char('\n') + WriteFailureReason(nError);
        SetStatusMessage(text);
        AfxMessageBox(text, MB_ICONERROR | MB_TASKMODAL, this);
        return false;
    }
    return true;
}

void CPixmetraDlg::SaveContinueInterval()
{
    WriteLog(QStringLiteral("[MAIN]SaveContinueInterval()->"));
    SAVE_CONTINUE_SETTING& s = m_Setting.SaveContinue;
    if (m_SaveContinue.bSaving) {
        WriteLog(QStringLiteral("[MAIN]Stop Save Continue."));
        if (m_pContinueSave) {
            m_pContinueSave->Stop();
        }
        EndSaveContinueSeries();
        SetStatusMessage(IDS_SAVE_CONTINUE_STOPPED);
        WriteLog(QStringLiteral("[MAIN]->SaveContinueInterval()"));
        return;
    }
    m_SaveContinue.SaveImageCount = 0;
    if (!ChooseSeriesTarget(true)) {
        return;
    }
    const QString folder = JoinSeriesPath(m_SaveContinue.SeriesFolder, m_SaveContinue.SubFolder);
    if (s.SaveIntervalKind == 1) {
        CSetIntervalDlg dlg(this);
        dlg.m_nIntervalMin = s.IntervelMin;
        dlg.m_nIntervalSec = (s.IntervelMin == 0 && s.IntervalSec == 0) ? 1 : s.IntervalSec;
        dlg.m_nIntervalCnt = s.IntervalCnt < 1 ? 1 : s.IntervalCnt;
        if (dlg.DoModal() != IDOK) {
            if (!m_SaveContinue.SubFolder.isEmpty()) {
                WriteLog(QStringLiteral("[MAIN]Cancel Start. Delete SubFolder(%1)").arg(folder));
                QDir().rmdir(folder);
            }
            return;
        }
        s.IntervelMin = dlg.m_nIntervalMin;
        s.IntervalSec = dlg.m_nIntervalSec;
        s.IntervalCnt = dlg.m_nIntervalCnt;
    }
    // A second series into the same folder continues after its highest file.
    if (HighestFileNumber(folder, m_SaveContinue.FileTitle, m_SaveContinue.SeriesFileType) >= SERIES_NUMBER_MAX) {
        AfxMessageBox(IDS_FILE_NUMBER_FULL, MB_ICONERROR | MB_TASKMODAL, this);
        return;
    }
    m_SaveContinue.SaveIntervalSec = s.IntervelMin * 60 + s.IntervalSec;
    m_SaveContinue.IntervalCnt = s.IntervalCnt;
    SetStatusMessage(IDS_SAVING_CONTINUE, ProgressText(1, s.IntervalCnt));
    WriteLog(QStringLiteral("[MAIN]Start Save Continue.  SaveIntervalSec:%1").arg(m_SaveContinue.SaveIntervalSec));

    CONTINUE_SAVE_PLAN plan;
    plan.nCount = s.IntervalCnt;
    plan.nIntervalSec = m_SaveContinue.SaveIntervalSec;
    plan.folder = folder;
    plan.title = m_SaveContinue.FileTitle;
    plan.nFileType = m_SaveContinue.SeriesFileType;
    plan.nQuality = m_Setting.JpegQuality;
    plan.bGrey = m_pLive->IsColorCamera() && CameraCtrl.m_bGrayDisplay;
    if (!m_Setting.bSaveHoleImage) {
        const DISP_VIEW_STATE& view = m_pLive->IsFileImageLoaded() ? m_Geometry.StillView() : m_Geometry.CameraView();
        if (!view.bFit) {
            plan.region = view.VisibleRect;
        }
    }
    const auto group = ControlGroup1();
    for (size_t i = 0; i < group.size(); ++i) {
        m_SaveContinue.GroupEnabled[i] = group[i]->isEnabled();
    }
    m_SaveContinue.bSaving = true;
    if (!m_pContinueSave) {
        m_pContinueSave = std::make_unique<CContinueSave>(CameraCtrl, &m_Sink, m_Options.pSeriesClock);
    }
    m_SaveContinue.nSeriesId = m_pContinueSave->Start(plan);
    UpdateSaveContinueButton();
    UpdateCaptureButtons();
    WriteLog(QStringLiteral("[MAIN]->SaveContinueInterval()"));
}

void CPixmetraDlg::EndSaveContinueSeries()
{
    m_SaveContinue.bSaving = false;
    m_SaveContinue.nSeriesId = 0;
    UpdateSaveContinueButton();
    const auto group = ControlGroup1();
    for (size_t i = 0; i < group.size(); ++i) {
        group[i]->setEnabled(m_SaveContinue.GroupEnabled[i]);
    }
    UpdateButtons();
}

void CPixmetraDlg::SaveContinueOnClick()
{
    WriteLog(QStringLiteral("[MAIN]SaveContinueOnClick()"));
    if (!m_SaveContinue.bClickStarted) {
        if (!ChooseSeriesTarget(false)) {
            return;
        }
    }
    const QString folder = JoinSeriesPath(m_SaveContinue.SeriesFolder, m_SaveContinue.SubFolder);
    m_SaveContinue.SaveImageCount =
        HighestFileNumber(folder, m_SaveContinue.FileTitle, m_SaveContinue.SeriesFileType);
    WriteLog(QStringLiteral("[MAIN]Max File Number : %1").arg(m_SaveContinue.SaveImageCount));
    if (m_SaveContinue.SaveImageCount >= SERIES_NUMBER_MAX) {
        AfxMessageBox(IDS_FILE_NUMBER_FULL, MB_ICONERROR | MB_TASKMODAL, this);
        return;
    }
    m_SaveContinue.bClickStarted = true;
    if (!m_pLive->OneShotImage(FALSE)) {
        // 603 was shown with its box; the image of this click is lost.
        AfxMessageBox(IDS_SAVE_ERROR, MB_ICONERROR | MB_TASKMODAL, this);
        return;
    }
    m_SaveContinue.SaveImageCount += 1;
    const QString path = JoinSeriesPath(
        folder, SeriesFileName(m_SaveContinue.SaveImageCount, m_SaveContinue.FileTitle, m_SaveContinue.SeriesFileType));
    RECT region{0, 0, 0, 0};
    if (!m_Setting.bSaveHoleImage) {
        const DISP_VIEW_STATE& view = m_pLive->IsFileImageLoaded() ? m_Geometry.StillView() : m_Geometry.CameraView();
        if (!view.bFit) {
            region = ClipSaveRegion(view.VisibleRect, AccImage.GetWidth(), AccImage.GetHeight());
        }
    }
    if (AccImage.SaveImageFile(path, region, m_Setting.JpegQuality)) {
        SetStatusMessage(IDS_IMAGE_SAVED);
        return;
    }
    WriteLog(QStringLiteral("[MAIN]AccImage.SaveImageFile(%1) Error!").arg(path));
    SetStatusMessage(IDS_SAVE_ERROR);
    AfxMessageBox(IDS_SAVE_ERROR, MB_ICONERROR | MB_TASKMODAL, this);
}

void CPixmetraDlg::OnSaveImageContinue(WPARAM wParam, LPARAM lParam)
{
    // A message of a series that was stopped (and maybe replaced) says nothing about this one.
    if (!m_SaveContinue.bSaving || uint64_t(lParam) != m_SaveContinue.nSeriesId) {
        return;
    }
    m_SaveContinue.SaveImageCount = int(wParam);
    SetStatusMessage(IDS_SAVING_CONTINUE, ProgressText(m_SaveContinue.SaveImageCount + 1, m_SaveContinue.IntervalCnt));
    WriteLog(QStringLiteral("[MAIN]OnSaveImageContinue()  SaveImageCount:%1").arg(m_SaveContinue.SaveImageCount));
}

void CPixmetraDlg::OnSaveContinueCountdown(WPARAM wParam, LPARAM lParam)
{
    if (!m_SaveContinue.bSaving || uint64_t(lParam) != m_SaveContinue.nSeriesId) {
        return;
    }
    m_SaveContinue.nCountdown = int(wParam);
    SetStatusMessage(IDS_SAVING_CONTINUE,
                     ProgressText(m_SaveContinue.SaveImageCount + 1, m_SaveContinue.IntervalCnt) +
                         QStringLiteral("　%1 s").arg(m_SaveContinue.nCountdown));
}

void CPixmetraDlg::OnEndSaveImageContinue(WPARAM wParam, LPARAM lParam)
{
    if (!m_SaveContinue.bSaving || uint64_t(lParam) != m_SaveContinue.nSeriesId) {
        return;
    }
    CONTINUE_SAVE_STATUS status;
    if (m_pContinueSave && m_pContinueSave->GetStatus(uint64_t(lParam), status)) {
        m_SaveContinue.SaveImageCount = status.nSaved;
    }
    WriteLog(QStringLiteral("[MAIN]OnEndSaveImageContinue()  SaveImageCount:%1").arg(m_SaveContinue.SaveImageCount));
    if (status.nSkipped > 0 || status.nLate > 0) {
        WriteLog(QStringLiteral("[MAIN]OnEndSaveImageContinue()  Skipped:%1 Late:%2").arg(status.nSkipped).arg(status.nLate));
    }
    EndSaveContinueSeries();
    if (wParam != 0) {
        // Why the series stopped and what it left.
        QString why = GetProgramString(IDS_SAVE_ERROR);
        if (status.nWriteError != 0) {
            why += QStringLiteral("　") + WriteFailureReason(status.nWriteError);
        }
        SetStatusMessage(why + QStringLiteral("　") +
                         GetProgramString(IDS_IMAGES_SAVED_COUNT).arg(m_SaveContinue.SaveImageCount));
        return;
    }
    QString suffix = ProgressText(status.nSaved, m_SaveContinue.IntervalCnt);
    if (status.nSkipped > 0) {
        suffix += QStringLiteral("　skipped %1").arg(status.nSkipped);
    }
    if (status.nLate > 0) {
        suffix += QStringLiteral("　late %1").arg(status.nLate);
    }
    SetStatusMessage(IDS_SAVE_CONTINUE_ENDED, suffix);
}

void CPixmetraDlg::StopContinueSaveThreads()
{
    // Both threads end before the camera and the log go; a file being written is finished.
    if (m_pContinueSave) {
        m_pContinueSave->Quit();
    }
}
