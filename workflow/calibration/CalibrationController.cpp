#include "workflow/calibration/CalibrationController.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/QSFileAccess.h"
#include "app/SystemSetting.h"
#include "app/UserFolders.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SetLengthDlg.h"
#include "app/dialogs/StatusLine.h"
#include "engine/LayeredWnd.h"
#include "workflow/MainButtons.h"
#include "workflow/MainStrings.h"
#include "workflow/calibration/CalibrationCaption.h"
#include "workflow/calibration/CalibrationList.h"
#include "workflow/live/PictureState.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageCalibration.h"
#include "workflow/toolwnd/PageMeasurement.h"
#include "workflow/toolwnd/ToolControls.h"

#include <QAbstractButton>

#include <algorithm>

namespace {

UINT ReferencePrompt(int32_t nSetPointKind)
{
    return nSetPointKind == 1 ? IDS_CALIBRATION_THREE_POINT_PROMPT : IDS_CALIBRATION_TWO_POINT_PROMPT;
}

} // namespace

CCalibrationController::CCalibrationController(const CALIBRATION_PARTS& parts) : m_Parts(parts)
{
    // The page's delete button needs the results and the message boxes of the main window.
    if (m_Parts.pTool == nullptr) {
        return;
    }
    auto* pDelete =
        m_Parts.pTool->PageCalibration()->findChild<QAbstractButton*>(QString::fromLatin1(kCalibrationDeleteName));
    if (pDelete != nullptr) {
        QObject::connect(pDelete, &QAbstractButton::clicked, &m_Connections, [this] { OnDeleteCalibration(); });
    }
}

void CCalibrationController::OnChangeCalibration()
{
    // The page tells this only when another slot became current.
    OnSelectCalibrationList();
    m_Parts.status.SetStatusString(IDS_CALIBRATION_CHANGED);
}

void CCalibrationController::OnEndCalibrationTab()
{
    if (m_Parts.pTool != nullptr) {
        m_Parts.pTool->SetSystemSettings();
    }
    SaveSystemSetting(m_Parts.setting);
    ApplyCalibration();
}

bool CCalibrationController::IsCalibrating() const
{
    return m_Parts.pOverlay != nullptr && m_Parts.pOverlay->Input().IsCalibrating();
}

void CCalibrationController::ShowCalibrationPrompt()
{
    const int32_t n = std::clamp(m_Parts.setting.CalibrationIndex, 0, CALIBRATION_NUM - 1);
    m_Parts.status.SetStatusString(ReferencePrompt(m_Parts.setting.Calibration[n].SetPointKind));
}

QAbstractButton* CCalibrationController::CalibrationSetButton() const
{
    if (m_Parts.pTool == nullptr) {
        return nullptr;
    }
    return qobject_cast<QAbstractButton*>(m_Parts.pTool->PageCalibration()->GetDlgItem(IDC_BTN_SET_CALIBRATION));
}

void CCalibrationController::EndCalibrationInput()
{
    if (QAbstractButton* pSet = CalibrationSetButton()) {
        pSet->setText(m_CalibSetCaption.isEmpty() ? pSet->text() : m_CalibSetCaption);
    }
    if (CLayeredWnd* pOverlay = m_Parts.pOverlay) {
        CRgnDataCtrl& eng = pOverlay->Engine();
        // The reference line is no longer shown; the shapes come back as the check box says.
        if (!pOverlay->Input().IsMakingShape()) {
            eng.ResetInput();
        }
        eng.m_bDispShapes = m_Parts.fnShapesShown() ? TRUE : FALSE;
        pOverlay->Redraw();
    }
    m_Parts.fnHoldMeasureInput(false);
    m_Parts.buttons.UpdateButtons();
}

void CCalibrationController::OnStartSetCalibration()
{
    WriteLog(QStringLiteral("[MAIN]OnStartSetCalibration()->"));
    CMeasureModeDlg* pTool = m_Parts.pTool;
    CLayeredWnd* pOverlay = m_Parts.pOverlay;
    // The set button doubles as 中止 while the line is drawn.
    if (IsCalibrating()) {
        OnCancelSetCalibration();
        return;
    }
    if (pTool != nullptr && pTool->PageCalibration()->Table().SetNeedsOverwriteQuestion() &&
        AfxMessageBox(CALIB_ASK_OVERWRITE, MB_YESNO | MB_ICONQUESTION, m_Parts.pOwner) != IDYES) {
        return;
    }
    m_Parts.fnHoldMeasureInput(true);
    if (pTool == nullptr) {
        m_Parts.status.SetStatusString(IDS_CALIBRATION_CANNOT_START);
        return;
    }
    pTool->SetSystemSettings();
    const int32_t nKind = pTool->PageCalibration()->Table().Current().SetPointKind == 1 ? 1 : 0;
    bool bStarted = false;
    if (pOverlay != nullptr && m_Parts.picture.HasPicture()) {
        CLayeredInput& input = pOverlay->Input();
        if (input.IsMakingShape()) {
            input.CancelInput();
        }
        bStarted = input.StartCalibrationInput(nKind) != FALSE;
        if (bStarted) {
            pOverlay->Engine().m_bDispShapes = FALSE;
            pOverlay->Redraw();
        }
    }
    // Only the set button stays usable: it stops the input.
    if (QAbstractButton* pSet = CalibrationSetButton()) {
        m_CalibSetCaption = pSet->text();
        pSet->setText(GetProgramString(IDS_CANCEL));
        pSet->setEnabled(true);
    }
    m_Parts.status.SetStatusString(bStarted ? ReferencePrompt(nKind) : IDS_CALIBRATION_CANNOT_START);
}

void CCalibrationController::OnEndSetCalibration()
{
    CMeasureModeDlg* pTool = m_Parts.pTool;
    if (m_Parts.pOverlay == nullptr || pTool == nullptr) {
        WriteLog(QStringLiteral("[MAIN]OnEndSetCalibration()  GetCurCalibrationSetting Error!"));
        EndCalibrationInput();
        return;
    }
    CPageCalibration* pPage = pTool->PageCalibration();
    CCalibrationTable& table = pPage->Table();
    CSetLengthDlg dlg(m_Parts.pOwner);
    dlg.m_UnitText = CalibrationUnitText(table.Current().UnitKind);
    pTool->setEnabled(false);
    const int nResult = dlg.DoModal();
    pTool->setEnabled(true);
    if (nResult != IDOK) {
        m_Parts.status.SetStatusString(IDS_CALIBRATION_CANCELLED);
    } else {
        const UINT nMessage =
            table.SetReference(m_Parts.pOverlay->Input().GetCalibrationPixelLength(), dlg.m_dReferenceLength);
        if (nMessage == CALIB_MSG_SET_DONE) {
            pTool->SetSystemSettings();
            RefreshCalibrationList(*pPage->CalibrationList(), table);
            pPage->UpdateControls();
            ApplyCalibration();
        }
        m_Parts.status.SetStatusString(nMessage);
    }
    EndCalibrationInput();
    WriteLog(QStringLiteral("[MAIN]->OnEndSetCalibration()"));
}

void CCalibrationController::OnCancelSetCalibration()
{
    if (IsCalibrating()) {
        m_Parts.pOverlay->Input().CancelInput();
    }
    m_Parts.status.SetStatusString(IDS_CALIBRATION_CANCELLED);
    EndCalibrationInput();
}

void CCalibrationController::OnErrorSetCalibration()
{
    if (IsCalibrating()) {
        m_Parts.pOverlay->Input().CancelInput();
    }
    m_Parts.status.SetStatusString(CALIB_MSG_SET_FAILED);
    EndCalibrationInput();
}

void CCalibrationController::OnSelectCalibrationList()
{
    CMeasureModeDlg* pTool = m_Parts.pTool;
    if (pTool == nullptr) {
        return;
    }
    pTool->SetSystemSettings();
    ApplyCalibration();
    // A slot without a calibration leaves the overlay as it was but its texts still change.
    UpdateCalibrationCaption();
    pTool->UpdateCalibrationTexts();
    pTool->PageMeasurement()->RefreshMeasResultList();
}

void CCalibrationController::OnDeleteCalibration()
{
    CMeasureModeDlg* pTool = m_Parts.pTool;
    if (pTool == nullptr) {
        return;
    }
    CPageCalibration* pPage = pTool->PageCalibration();
    CCalibrationTable& table = pPage->Table();
    if (table.DeleteRoute() == ECalibDelete::Nothing) {
        return;
    }
    if (AfxMessageBox(CALIB_ASK_DELETE, MB_YESNO | MB_ICONQUESTION, m_Parts.pOwner) != IDYES) {
        return;
    }
    if (table.DeleteAsksResultsQuestion(m_Parts.fnHasResults())) {
        // The only calibration goes only together with the results; No keeps both.
        m_Parts.fnAskDeleteResults(CALIB_ASK_DELETE_RESULTS);
        if (m_Parts.fnHasResults()) {
            return;
        }
    }
    table.DeleteCurrent();
    pTool->SetSystemSettings();
    RefreshCalibrationList(*pPage->CalibrationList(), table);
    pPage->UpdateControls();
    OnSelectCalibrationList();
    m_Parts.status.SetStatusString(IDS_CALIBRATION_CHANGED);
}

QString CCalibrationController::CalibrationFileFilter()
{
    const QString ext = QStringLiteral("clb");
    return QStringLiteral("%1(*.%2)|*.%3||").arg(GetProgramString(IDS_CALIBRATION_FILE_KIND), ext, ext);
}

void CCalibrationController::OnLoadCalibrationData()
{
    CMeasureModeDlg* pTool = m_Parts.pTool;
    if (pTool == nullptr) {
        return;
    }
    CPageCalibration* pPage = pTool->PageCalibration();
    pTool->setEnabled(false);
    QString path;
    if (!pPage->Table().AnyEnabled() ||
        AfxMessageBox(CALIB_ASK_LOAD_OVERWRITE, MB_YESNO | MB_ICONQUESTION, m_Parts.pOwner) == IDYES) {
        CQSFileAccess access;
        path = access.SelectFile(TRUE, QStringLiteral("clb"), CalibrationFolder(), CalibrationFileFilter(), FALSE);
    }
    pTool->setEnabled(true);
    if (path.isEmpty()) {
        return;
    }
    // Loaded into a copy first: a file that is not a calibration file changes nothing.
    CCalibrationTable loaded = pPage->Table();
    const UINT nMessage = loaded.LoadFromFile(path);
    m_Parts.status.SetStatusString(nMessage);
    if (nMessage != CALIB_MSG_LOADED) {
        AfxMessageBox(nMessage, MB_OK | MB_ICONERROR, m_Parts.pOwner);
        return;
    }
    loaded.CopyTo(m_Parts.setting);
    pPage->ReloadFromSetting();
    OnSelectCalibrationList();
}

void CCalibrationController::OnSaveCalibrationData()
{
    CMeasureModeDlg* pTool = m_Parts.pTool;
    if (pTool == nullptr) {
        return;
    }
    pTool->setEnabled(false);
    pTool->SetSystemSettings();
    CQSFileAccess access;
    // The dialog asks before an existing file is overwritten.
    const QString path = access.SelectFile(FALSE, QStringLiteral("clb"), CalibrationFolder(), CalibrationFileFilter(), TRUE);
    pTool->setEnabled(true);
    if (path.isEmpty()) {
        return;
    }
    const UINT nMessage = pTool->PageCalibration()->Table().SaveToFile(path);
    m_Parts.status.SetStatusString(nMessage);
    if (nMessage != CALIB_MSG_SAVED) {
        AfxMessageBox(nMessage, MB_OK | MB_ICONERROR, m_Parts.pOwner);
    }
}

void CCalibrationController::UpdateCalibrationCaption()
{
    ShowCalibrationCaption(m_Parts.statusParts, m_Parts.setting);
}

void CCalibrationController::ApplyCalibration()
{
    CMeasureModeDlg* pTool = m_Parts.pTool;
    if (pTool != nullptr) {
        pTool->UpdateCalibrationTexts();
    }
    UpdateCalibrationCaption();
    const SYSTEM_SETTING& s = m_Parts.setting;
    const int32_t n = std::clamp(s.CalibrationIndex, 0, CALIBRATION_NUM - 1);
    const CALIBRATION_SETTING& cur = s.Calibration[n];
    if (cur.bEnable == FALSE || m_Parts.pOverlay == nullptr) {
        return;
    }
    // A slot that is enabled but has no factor leaves the overlay uncalibrated: nothing can be started.
    m_Parts.pOverlay->Engine().SetCalibration(cur.Calibration, s.MeasureDownPlace, cur.UnitKind, TRUE);
    m_Parts.pOverlay->Redraw();
    m_Parts.fnCopyResults();
    if (pTool != nullptr) {
        pTool->PageMeasurement()->RefreshMeasResultList();
    }
}
