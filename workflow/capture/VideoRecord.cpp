#include "workflow/capture/VideoRecord.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/QSFileAccess.h"
#include "app/WriteFailureText.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SetAviSecDlg.h"
#include "app/dialogs/StatusLine.h"
#include "camera/CameraCtrl.h"
#include "engine/LayeredWnd.h"
#include "workflow/MainControls.h"
#include "workflow/MainButtons.h"
#include "workflow/capture/CaptureStrings.h"
#include "workflow/capture/SaveContinueState.h"
#include "workflow/live/PictureState.h"
#include "workflow/toolwnd/MeasureModeDlg.h"

#include <QApplication>
#include <QTimerEvent>

#include <cstring>

namespace {

// Disabled while a recording runs: picture kind, load, save, continuous
// save, video, cross lines, settings and camera adjustment.
constexpr std::array<int, 8> kGroup3 = {IDC_BTN_DISP_IMAGE,    IDC_BTN_LOAD_IMAGE, IDC_BTN_SAVE_IMAGE,
                                        IDC_BTN_SAVE_CONTINUE, IDC_BTN_SAVE_VIDEO, IDC_BTN_CROSS_LINE,
                                        IDC_BTN_SETTING,       IDC_BTN_CAMERA_SETTING};
// Also idle while recording: the zoom and the ratio box.
constexpr std::array<int, 4> kViewControls = {IDC_BTN_ZOOM_FIT, IDC_BTN_ZOOM_IN, IDC_BTN_ZOOM_OUT, IDC_COMBO_RATIO};

// A window disabled for the length of a handler, given back its state after.
class CDisabledWhile {
public:
    explicit CDisabledWhile(QWidget* p) : m_p(p), m_bWas(p != nullptr && p->isEnabled())
    {
        if (m_p != nullptr) {
            m_p->setEnabled(false);
        }
    }
    ~CDisabledWhile()
    {
        if (m_p != nullptr) {
            m_p->setEnabled(m_bWas);
        }
    }
    CDisabledWhile(const CDisabledWhile&) = delete;
    CDisabledWhile& operator=(const CDisabledWhile&) = delete;

private:
    QWidget* m_p;
    bool m_bWas;
};

// The reason after a message, for an error number the SDK reported.
QString ReasonText(int nError)
{
    return nError != 0 ? QStringLiteral("　") + WriteFailureReason(nError) : QString();
}

QString ErrorLogText(int nError)
{
    return nError != 0 ? QStringLiteral(" errno:%1 (%2)").arg(nError).arg(QString::fromLocal8Bit(std::strerror(nError)))
                       : QString();
}

// How long after the count the SDK may take to finish its file before the
// window stops waiting for it.
constexpr qint64 kMaxOverMs = 60000;

} // namespace

CVideoRecord::CVideoRecord(const VIDEO_RECORD_PARTS& parts) : m_Parts(parts)
{
}

void CVideoRecord::OnBnClickedBtnSaveAvi()
{
    if (m_bSaveAvi) {
        return;
    }
    CDisabledWhile tool(m_Parts.pTool);
    CDisabledWhile overlay(m_Parts.pOverlay);
    WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnSaveAvi()"));
    StartRecording();
}

bool CVideoRecord::StartRecording()
{
    if (!m_Parts.fnMayReplacePicture()) {
        return false;
    }
    const QString filter = QStringLiteral("%1(*.%2)|*.%3||").arg(GetProgramString(IDS_VIDEO_FILE_FILTER), "avi", "avi");
    // An existing file is replaced only when the user says so in the dialog.
    const QString path = CQSFileAccess().SelectFile(FALSE, QStringLiteral("avi"), QString(), filter, TRUE);
    if (path.isEmpty()) {
        return false;
    }
    CSetAviSecDlg dlg(m_Parts.pOwner);
    dlg.m_nAviSec = SaveAviTotalSec < 1 ? 1 : SaveAviTotalSec;
    if (dlg.DoModal() != IDOK) {
        return false;
    }
    SaveAviTotalSec = dlg.m_nAviSec;
    WriteLog(QStringLiteral("[MAIN]SaveAviTotalSec:%1").arg(SaveAviTotalSec));
    SaveAviSecCnt = 0;
    m_OverTime.invalidate();
    m_Parts.status.SetStatusMessage(ProgressText());

    QApplication::setOverrideCursor(Qt::WaitCursor);
    const BOOL bStarted = m_Parts.camera.StartSaveAVI(path, SaveAviTotalSec);
    QApplication::restoreOverrideCursor();
    if (!bStarted) {
        // A file that could not be made or a disk too full for its header says why.
        const int nError = m_Parts.camera.GetVideoRecordingError();
        m_Parts.status.SetStatusMessage(GetProgramString(IDS_VIDEO_START_ERROR) + ReasonText(nError));
        WriteLog(QStringLiteral("[MAIN]CameraCtrl.StartSaveAVI(%1) Error!").arg(path) + ErrorLogText(nError));
        return false;
    }
    m_bSaveAvi = TRUE;
    DisableGroup();
    m_Parts.buttons.UpdateButtons(); // the picture actions and the tool window idle while recording
    m_nSaveAviTimerId = startTimer(m_nTickMs, Qt::PreciseTimer);
    return true;
}

QString CVideoRecord::ProgressText() const
{
    const QString sec = GetProgramString(IDS_UNIT_SECOND);
    return GetProgramString(IDS_RECORDING_VIDEO) +
           QStringLiteral("　[ %1%2 / %3%4 ]").arg(SaveAviSecCnt).arg(sec).arg(SaveAviTotalSec).arg(sec);
}

void CVideoRecord::timerEvent(QTimerEvent* pEvent)
{
    if (pEvent->timerId() == m_nSaveAviTimerId && m_nSaveAviTimerId != 0) {
        OnTimerSaveAvi();
    }
}

void CVideoRecord::OnTimerSaveAvi()
{
    if (SaveAviSecCnt < SaveAviTotalSec) {
        ++SaveAviSecCnt;
    }
    if (SaveAviSecCnt >= SaveAviTotalSec && !m_OverTime.isValid()) {
        m_OverTime.start();
    }
    m_Parts.status.SetStatusMessage(ProgressText());
    BOOL bEnable = FALSE, bOn = FALSE;
    const BOOL bRead = m_Parts.camera.GetVideoRecordingParam(bEnable, bOn);
    WriteLog(QStringLiteral("[MAIN]OnTimer(SaveAvi) bEnable:%1 AviState:%2 / SaveAviSecCnt:%3")
                 .arg(bEnable ? "TRUE" : "FALSE", bOn ? "ON" : "OFF")
                 .arg(SaveAviSecCnt));
    // An SDK without the state leaves the end to the count; a camera that
    // cannot be asked any more has stopped recording.
    const bool bEnded = !bRead || (bEnable && !bOn);
    if (SaveAviSecCnt < SaveAviTotalSec) {
        if (bEnded) {
            EndRecording(false);
        }
        return;
    }
    // The count is done; the recording ends when the SDK has finished its file.
    if (bEnded || !bEnable || m_OverTime.elapsed() >= kMaxOverMs) {
        EndRecording(true);
    }
}

void CVideoRecord::EndRecording(bool bCompleted)
{
    if (m_nSaveAviTimerId != 0) {
        killTimer(m_nSaveAviTimerId);
        m_nSaveAviTimerId = 0;
    }
    // A write that failed (a full disk) ended the file early, even when the
    // count had run out: it holds the frames up to the failure.
    const int nError = m_Parts.camera.GetVideoRecordingError();
    bCompleted = bCompleted && nError == 0;
    const QString progress = ProgressText().mid(GetProgramString(IDS_RECORDING_VIDEO).size());
    m_Parts.status.SetStatusMessage(bCompleted ? GetProgramString(IDS_VIDEO_SAVED)
                                      : GetProgramString(IDS_VIDEO_ENDED_EARLY) + progress + ReasonText(nError));
    m_bSaveAvi = FALSE;
    RestoreGroup();
    m_Parts.buttons.UpdateButtons(); // the tool window is no longer busy
    WriteLog(bCompleted ? QStringLiteral("[MAIN]->End Save AVI.")
                        : QStringLiteral("[MAIN]->Save AVI stopped early at %1 of %2 s.")
                                  .arg(SaveAviSecCnt)
                                  .arg(SaveAviTotalSec) +
                              ErrorLogText(nError));
}

void CVideoRecord::DisableGroup()
{
    for (size_t i = 0; i < kGroup3.size(); ++i) {
        QWidget* p = m_Parts.buttons.GetDlgItem(kGroup3[i]);
        m_GroupEnabled[i] = p != nullptr && p->isEnabled();
        if (p != nullptr) {
            p->setEnabled(false);
        }
    }
}

void CVideoRecord::RestoreGroup()
{
    for (size_t i = 0; i < kGroup3.size(); ++i) {
        if (QWidget* p = m_Parts.buttons.GetDlgItem(kGroup3[i])) {
            p->setEnabled(m_GroupEnabled[i]);
        }
    }
}

void CVideoRecord::UpdateControls()
{
    if (QWidget* p = m_Parts.buttons.GetDlgItem(IDC_BTN_SAVE_VIDEO)) {
        // One capture at a time: no recording while a picture series runs.
        p->setEnabled(m_Parts.picture.IsCameraOK() && !m_bSaveAvi && m_Parts.picture.GetDispImageKind() == DISP_CAMERA_IMAGE &&
                      !m_Parts.series.bSaving);
    }
    if (!m_bSaveAvi) {
        return;
    }
    for (int nID : kGroup3) {
        if (QWidget* p = m_Parts.buttons.GetDlgItem(nID)) {
            p->setEnabled(false);
        }
    }
    for (int nID : kViewControls) {
        if (QWidget* p = m_Parts.buttons.GetDlgItem(nID)) {
            p->setEnabled(false);
        }
    }
    if (m_Parts.pTool != nullptr) {
        m_Parts.pTool->EnableMeasure(false);
    }
}

void CVideoRecord::OnDestroy()
{
    if (m_nSaveAviTimerId != 0) {
        killTimer(m_nSaveAviTimerId);
        m_nSaveAviTimerId = 0;
        WriteLog(QStringLiteral("[MAIN]OnDestroy() ends the video recording at %1 of %2 s.")
                     .arg(SaveAviSecCnt)
                     .arg(SaveAviTotalSec));
    }
    m_bSaveAvi = FALSE;
}
