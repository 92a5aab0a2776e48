#include "workflow/capture/SeriesController.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/QSFileAccess.h"
#include "app/SystemSetting.h"
#include "app/WriteFailureText.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SetIntervalDlg.h"
#include "app/dialogs/StatusLine.h"
#include "camera/CameraCtrl.h"
#include "image/AccImage.h"
#include "platform/AtomicFile.h"
#include "workflow/MainButtons.h"
#include "workflow/MainControls.h"
#include "workflow/capture/CaptureStrings.h"
#include "workflow/capture/ContinueSave.h"
#include "workflow/capture/OverlaySave.h"
#include "workflow/capture/SaveRegion.h"
#include "workflow/capture/SeriesNaming.h"
#include "workflow/live/DisplayGeometry.h"
#include "workflow/live/PictureState.h"
#include "workflow/toolwnd/MeasureModeDlg.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QDir>

namespace {

// Disabled while a series runs: picture kind, load, save, video, cross
// lines, settings and camera adjustment.
constexpr std::array<int, 8> kGroup1 = {IDC_BTN_DISP_IMAGE, IDC_BTN_LOAD_IMAGE,   IDC_BTN_SAVE_IMAGE,
                                        IDC_BTN_SAVE_VIDEO, IDC_BTN_CROSS_LINE,   IDC_BTN_CROSS_CANCEL,
                                        IDC_BTN_SETTING,    IDC_BTN_CAMERA_SETTING};

QString ProgressText(int nNext, int nCount)
{
    return QStringLiteral("　[ %1 / %2 ]").arg(nNext).arg(nCount);
}

void SetEnabled(QWidget* pControl, bool bEnable)
{
    if (pControl != nullptr) {
        pControl->setEnabled(bEnable);
    }
}

} // namespace

CSeriesController::CSeriesController(const SERIES_PARTS& parts) : m_Parts(parts) {}

CSeriesController::~CSeriesController() = default;

std::array<QWidget*, 8> CSeriesController::ControlGroup1() const
{
    std::array<QWidget*, 8> group{};
    for (size_t i = 0; i < kGroup1.size(); ++i) {
        group[i] = m_Parts.buttons.GetDlgItem(kGroup1[i]);
    }
    return group;
}

void CSeriesController::UpdateCaptureButtons()
{
    SetEnabled(m_Parts.buttons.GetDlgItem(IDC_BTN_LOAD_IMAGE), true);
    SetEnabled(m_Parts.buttons.GetDlgItem(IDC_BTN_SAVE_IMAGE), m_Parts.picture.HasPicture());
    SetEnabled(m_Parts.buttons.GetDlgItem(IDC_BTN_SAVE_CONTINUE), m_Parts.picture.IsCameraOK() || m_State.bSaving);
    if (m_State.bSaving) {
        for (QWidget* pControl : ControlGroup1()) {
            SetEnabled(pControl, false);
        }
        m_Parts.fnEnableMeasure(false);
    }
    UpdateSaveContinueButton();
}

void CSeriesController::UpdateSaveContinueButton()
{
    auto* pButton = qobject_cast<QAbstractButton*>(m_Parts.buttons.GetDlgItem(IDC_BTN_SAVE_CONTINUE));
    if (pButton == nullptr) {
        return;
    }
    const bool bClick = m_Parts.setting.SaveContinue.SaveContinueMode == 1;
    pButton->setText(GetProgramString(m_State.bSaving ? IDS_SAVE_STOP : IDS_SAVE_CONTINUE));
    pButton->setToolTip(GetProgramString(
        bClick ? IDS_TIP_SAVE_ON_CLICK : (m_State.bSaving ? IDS_TIP_SAVE_STOP : IDS_TIP_SAVE_INTERVAL)));
}

void CSeriesController::OnBnClickedBtnSaveContinue()
{
    CMeasureModeDlg* pTool = m_Parts.pTool;
    const bool bToolEnabled = pTool != nullptr && pTool->isEnabled();
    if (pTool != nullptr) {
        pTool->setEnabled(false);
    }
    // Stopping a running series asks nothing.
    if (m_State.bSaving || m_Parts.fnMayReplacePicture()) {
        if (m_Parts.setting.SaveContinue.SaveContinueMode == 1 && !m_State.bSaving) {
            SaveContinueOnClick();
        } else {
            SaveContinueInterval();
        }
    }
    if (pTool != nullptr) {
        pTool->setEnabled(bToolEnabled);
    }
}

BOOL CSeriesController::MakeSaveSubFolder(QString& subFolder)
{
    subFolder.clear();
    const SAVE_CONTINUE_SETTING& s = m_Parts.setting.SaveContinue;
    if (s.SubFolderKind == 0) {
        return TRUE;
    }
    if (s.SubFolderKind == 1) {
        const int n = HighestFolderNumber(s.SaveFolderPath);
        WriteLog(QStringLiteral("[MAIN]MakeSaveSubFolder()  Max Folder Number:%1").arg(n));
        if (n >= SERIES_NUMBER_MAX) {
            AfxMessageBox(IDS_FOLDER_NUMBER_FULL, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
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
        m_Parts.status.SetStatusString(IDS_SAVE_ERROR);
        AfxMessageBox(IDS_SAVE_ERROR, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
        subFolder.clear();
        return FALSE;
    }
    return TRUE;
}

// The folder, title and type of a series: asked in the file dialog, or the
// stored folder with a new subfolder. False when the user cancelled or the
// subfolder could not be made.
bool CSeriesController::ChooseSeriesTarget(bool bTopmostDialog)
{
    (void)bTopmostDialog; // the dialog is modal over the window in every case
    SYSTEM_SETTING& setting = m_Parts.setting;
    SAVE_CONTINUE_SETTING& s = setting.SaveContinue;
    m_State.SubFolder.clear();
    m_State.FileTitle.clear();
    if (s.SaveFolderKind != 0) {
        CQSFileAccess access;
        const QString path = access.SelectImageFile(FALSE, s.SaveFolderPath, TRUE, setting.FileFormat, FALSE);
        if (path.isEmpty()) {
            return false;
        }
        const SERIES_FILE_CHOICE choice = ParseSeriesFileChoice(path);
        s.SaveFolderPath = choice.folder;
        setting.FileFormat = choice.nFileType;
        m_State.FileTitle = choice.title;
    } else if (!MakeSaveSubFolder(m_State.SubFolder)) {
        return false;
    }
    m_State.SeriesFolder = s.SaveFolderPath;
    m_State.SeriesFileType = setting.FileFormat == 1 ? 1 : 0;
    // A folder that cannot take a file stops the series before it starts.
    const QString folder = JoinSeriesPath(m_State.SeriesFolder, m_State.SubFolder);
    const int nError = platform::ProbeFolderWritable(folder);
    if (nError != 0) {
        WriteLog(QStringLiteral("[MAIN]Series folder cannot be written (errno %1): %2").arg(nError).arg(folder));
        if (!m_State.SubFolder.isEmpty()) {
            QDir().rmdir(folder);
        }
        const QString text =
            GetProgramString(IDS_SERIES_FOLDER_NOT_WRITABLE) + QLatin1Char('\n') + WriteFailureReason(nError);
        m_Parts.status.SetStatusMessage(text);
        AfxMessageBox(text, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
        return false;
    }
    return true;
}

void CSeriesController::SaveContinueInterval()
{
    WriteLog(QStringLiteral("[MAIN]SaveContinueInterval()->"));
    SAVE_CONTINUE_SETTING& s = m_Parts.setting.SaveContinue;
    if (m_State.bSaving) {
        WriteLog(QStringLiteral("[MAIN]Stop Save Continue."));
        if (m_pContinueSave) {
            m_pContinueSave->Stop();
        }
        EndSaveContinueSeries();
        m_Parts.status.SetStatusString(IDS_SAVE_CONTINUE_STOPPED);
        WriteLog(QStringLiteral("[MAIN]->SaveContinueInterval()"));
        return;
    }
    m_State.SaveImageCount = 0;
    if (!ChooseSeriesTarget(true)) {
        return;
    }
    const QString folder = JoinSeriesPath(m_State.SeriesFolder, m_State.SubFolder);
    if (s.SaveIntervalKind == 1) {
        CSetIntervalDlg dlg(m_Parts.pOwner);
        dlg.m_nIntervalMin = s.IntervelMin;
        dlg.m_nIntervalSec = (s.IntervelMin == 0 && s.IntervalSec == 0) ? 1 : s.IntervalSec;
        dlg.m_nIntervalCnt = s.IntervalCnt < 1 ? 1 : s.IntervalCnt;
        if (dlg.DoModal() != IDOK) {
            if (!m_State.SubFolder.isEmpty()) {
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
    if (HighestFileNumber(folder, m_State.FileTitle, m_State.SeriesFileType) >= SERIES_NUMBER_MAX) {
        AfxMessageBox(IDS_FILE_NUMBER_FULL, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
        return;
    }
    m_State.SaveIntervalSec = s.IntervelMin * 60 + s.IntervalSec;
    m_State.IntervalCnt = s.IntervalCnt;
    m_Parts.status.SetStatusString(IDS_SAVING_CONTINUE, ProgressText(1, s.IntervalCnt));
    WriteLog(QStringLiteral("[MAIN]Start Save Continue.  SaveIntervalSec:%1").arg(m_State.SaveIntervalSec));

    CONTINUE_SAVE_PLAN plan;
    plan.nCount = s.IntervalCnt;
    plan.nIntervalSec = m_State.SaveIntervalSec;
    plan.folder = folder;
    plan.title = m_State.FileTitle;
    plan.nFileType = m_State.SeriesFileType;
    plan.nQuality = m_Parts.setting.JpegQuality;
    plan.bGrey = m_Parts.picture.IsColorCamera() && m_Parts.camera.m_bGrayDisplay;
    plan.region = VisibleSaveRegion(m_Parts.setting, m_Parts.geometry, m_Parts.picture.IsFileImageLoaded() != FALSE);
    const auto group = ControlGroup1();
    for (size_t i = 0; i < group.size(); ++i) {
        m_State.GroupEnabled[i] = group[i] != nullptr && group[i]->isEnabled();
    }
    m_State.bSaving = true;
    if (!m_pContinueSave) {
        m_pContinueSave = std::make_unique<CContinueSave>(m_Parts.camera, m_Parts.pSink, m_Parts.pClock);
    }
    m_State.nSeriesId = m_pContinueSave->Start(plan);
    UpdateSaveContinueButton();
    UpdateCaptureButtons();
    WriteLog(QStringLiteral("[MAIN]->SaveContinueInterval()"));
}

void CSeriesController::EndSaveContinueSeries()
{
    m_State.bSaving = false;
    m_State.nSeriesId = 0;
    UpdateSaveContinueButton();
    const auto group = ControlGroup1();
    for (size_t i = 0; i < group.size(); ++i) {
        SetEnabled(group[i], m_State.GroupEnabled[i]);
    }
    m_Parts.buttons.UpdateButtons();
}

void CSeriesController::SaveContinueOnClick()
{
    WriteLog(QStringLiteral("[MAIN]SaveContinueOnClick()"));
    if (!m_State.bClickStarted) {
        if (!ChooseSeriesTarget(false)) {
            return;
        }
    }
    const QString folder = JoinSeriesPath(m_State.SeriesFolder, m_State.SubFolder);
    m_State.SaveImageCount = HighestFileNumber(folder, m_State.FileTitle, m_State.SeriesFileType);
    WriteLog(QStringLiteral("[MAIN]Max File Number : %1").arg(m_State.SaveImageCount));
    if (m_State.SaveImageCount >= SERIES_NUMBER_MAX) {
        AfxMessageBox(IDS_FILE_NUMBER_FULL, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
        return;
    }
    m_State.bClickStarted = true;
    if (!m_Parts.fnTakeStill()) {
        // 603 was shown with its box; the image of this click is lost.
        AfxMessageBox(IDS_SAVE_ERROR, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
        return;
    }
    m_State.SaveImageCount += 1;
    const QString path =
        JoinSeriesPath(folder, SeriesFileName(m_State.SaveImageCount, m_State.FileTitle, m_State.SeriesFileType));
    CAccImage& image = m_Parts.picture.Image();
    const RECT region = ClipSaveRegion(VisibleSaveRegion(m_Parts.setting, m_Parts.geometry, m_Parts.picture.IsFileImageLoaded() != FALSE), image.GetWidth(), image.GetHeight());
    if (image.SaveImageFile(path, region, m_Parts.setting.JpegQuality)) {
        m_Parts.status.SetStatusString(IDS_IMAGE_SAVED);
        return;
    }
    WriteLog(QStringLiteral("[MAIN]AccImage.SaveImageFile(%1) Error!").arg(path));
    m_Parts.status.SetStatusString(IDS_SAVE_ERROR);
    AfxMessageBox(IDS_SAVE_ERROR, MB_ICONERROR | MB_TASKMODAL, m_Parts.pOwner);
}

void CSeriesController::OnSaveImageContinue(WPARAM wParam, LPARAM lParam)
{
    // A message of a series that was stopped (and maybe replaced) says nothing about this one.
    if (!m_State.bSaving || uint64_t(lParam) != m_State.nSeriesId) {
        return;
    }
    m_State.SaveImageCount = int(wParam);
    m_Parts.status.SetStatusString(IDS_SAVING_CONTINUE, ProgressText(m_State.SaveImageCount + 1, m_State.IntervalCnt));
    WriteLog(QStringLiteral("[MAIN]OnSaveImageContinue()  SaveImageCount:%1").arg(m_State.SaveImageCount));
}

void CSeriesController::OnSaveContinueCountdown(WPARAM wParam, LPARAM lParam)
{
    if (!m_State.bSaving || uint64_t(lParam) != m_State.nSeriesId) {
        return;
    }
    m_State.nCountdown = int(wParam);
    m_Parts.status.SetStatusString(IDS_SAVING_CONTINUE,
                                   ProgressText(m_State.SaveImageCount + 1, m_State.IntervalCnt) +
                                       QStringLiteral("　%1 s").arg(m_State.nCountdown));
}

void CSeriesController::OnEndSaveImageContinue(WPARAM wParam, LPARAM lParam)
{
    if (!m_State.bSaving || uint64_t(lParam) != m_State.nSeriesId) {
        return;
    }
    CONTINUE_SAVE_STATUS status;
    if (m_pContinueSave && m_pContinueSave->GetStatus(uint64_t(lParam), status)) {
        m_State.SaveImageCount = status.nSaved;
    }
    WriteLog(QStringLiteral("[MAIN]OnEndSaveImageContinue()  SaveImageCount:%1").arg(m_State.SaveImageCount));
    if (status.nSkipped > 0 || status.nLate > 0) {
        WriteLog(QStringLiteral("[MAIN]OnEndSaveImageContinue()  Skipped:%1 Late:%2")
                     .arg(status.nSkipped)
                     .arg(status.nLate));
    }
    EndSaveContinueSeries();
    if (wParam != 0) {
        // Why the series stopped and what it left.
        QString why = GetProgramString(IDS_SAVE_ERROR);
        if (status.nWriteError != 0) {
            why += QStringLiteral("　") + WriteFailureReason(status.nWriteError);
        }
        m_Parts.status.SetStatusMessage(why + QStringLiteral("　") +
                                        GetProgramString(IDS_IMAGES_SAVED_COUNT).arg(m_State.SaveImageCount));
        return;
    }
    QString suffix = ProgressText(status.nSaved, m_State.IntervalCnt);
    if (status.nSkipped > 0) {
        suffix += QStringLiteral("　skipped %1").arg(status.nSkipped);
    }
    if (status.nLate > 0) {
        suffix += QStringLiteral("　late %1").arg(status.nLate);
    }
    m_Parts.status.SetStatusString(IDS_SAVE_CONTINUE_ENDED, suffix);
}

void CSeriesController::StopThreads()
{
    if (m_pContinueSave) {
        m_pContinueSave->Quit();
    }
}
