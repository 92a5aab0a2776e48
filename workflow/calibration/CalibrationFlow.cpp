// The main window's side of a calibration: the reference line drawn on the
// overlay, its true length asked for, the table stored into the settings,
// selection and deletion of slots, .clb files, and the current calibration
// handed to the overlay so every result is recomputed in its unit.
#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/QSFileAccess.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SetLengthDlg.h"
#include "engine/OverlayMessages.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/calibration/CalibrationList.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageCalibration.h"
#include "workflow/toolwnd/PageMeasurement.h"
#include "workflow/toolwnd/ToolMessages.h"

#include <QAbstractButton>

#include <algorithm>

namespace {
constexpr UINT IDS_CALIB_START_2 = 514;
constexpr UINT IDS_CALIB_START_3 = 515;
constexpr UINT IDS_CALIB_CANCELLED = 517;
constexpr UINT IDS_CALIB_CHANGED = 551;
constexpr UINT IDS_CALIB_CANNOT_START = 614;
constexpr UINT IDS_CALIB_FILE_KIND = 250;
constexpr UINT IDS_STOP = 154;
} // namespace

void CPixmetraDlg::OnChangeCalibration()
{
    // The page tells this only when another slot became current.
    OnSelectCalibrationList();
    SetStatusMessage(IDS_CALIB_CHANGED);
}

void CPixmetraDlg::OnEndCalibrationTab()
{
    if (m_pMeasureModeDlg != nullptr) {
        m_pMeasureModeDlg->SetSystemSettings();
    }
    SaveSystemSetting(m_Setting);
    ApplyCalibration();
}

bool CPixmetraDlg::IsCalibrating() const
{
    return m_pLayeredWnd != nullptr && m_pLayeredWnd->Input().IsCalibrating();
}

void CPixmetraDlg::ShowCalibrationPrompt()
{
    const int32_t n = std::clamp(m_Setting.CalibrationIndex, 0, CALIBRATION_NUM - 1);
    SetStatusMessage(m_Setting.Calibration[n].SetPointKind == 1 ? IDS_CALIB_START_3 : IDS_CALIB_START_2);
}

void CPixmetraDlg::ConnectCalibrationPage()
{
    // The page's delete button needs the results and the message boxes of the main window.
    auto* pDelete = m_pMeasureModeDlg->PageCalibration()->findChild<QAbstractButton*>(
        QString::fromLatin1(kCalibrationDeleteName));
    if (pDelete != nullptr) {
        connect(pDelete, &QAbstractButton::clicked, this, [this] { OnDeleteCalibration(); });
    }
}

QAbstractButton* CPixmetraDlg::CalibrationSetButton() const
{
    if (m_pMeasureModeDlg == nullptr) {
        return nullptr;
    }
    return qobject_cast<QAbstractButton*>(m_pMeasureModeDlg->PageCalibration()->GetDlgItem(1012));
}

void CPixmetraDlg::EndCalibrationInput()
{
    if (QAbstractButton* pSet = CalibrationSetButton()) {
        pSet->setText(m_CalibSetCaption.isEmpty() ? pSet->text() : m_CalibSetCaption);
    }
    if (m_pLayeredWnd != nullptr) {
        CRgnDataCtrl& eng = m_pLayeredWnd->Engine();
        // The reference line is no longer shown; the shapes come back as the check box says.
        if (!m_pLayeredWnd->Input().IsMakingShape()) {
            eng.ResetInput();
        }
        eng.m_bDispShapes = m_pMeasure->IsDispMeasureShape();
        m_pLayeredWnd->Redraw();
    }
    m_pMeasure->RestoreInputGroup(INPUT_GROUP_CALIBRATION);
    UpdateButtons();
}

void CPixmetraDlg::OnStartSetCalibration()
{
    WriteLog(QStringLiteral("[MAIN]OnStartSetCalibration()->"));
    // The set button doubles as 中止 while the line is drawn.
    if (m_pLayeredWnd != nullptr && m_pLayeredWnd->Input().IsCalibrating()) {
        OnCancelSetCalibration();
        return;
    }
    if (m_pMeasureModeDlg != nullptr && m_pMeasureModeDlg->PageCalibration()->Table().SetNeedsOverwriteQuestion() &&
        AfxMessageBox(CALIB_ASK_OVERWRITE, MB_YESNO | MB_ICONQUESTION, this) != IDYES) {
        return;
    }
    m_pMeasure->DisableInputGroup(INPUT_GROUP_CALIBRATION);
    if (m_pMeasureModeDlg == nullptr) {
        SetStatusMessage(IDS_CALIB_CANNOT_START);
        return;
    }
    m_pMeasureModeDlg->SetSystemSettings();
    const CCalibrationTable& table = m_pMeasureModeDlg->PageCalibration()->Table();
    const int32_t nKind = table.Current().SetPointKind == 1 ? 1 : 0;
    bool bStarted = false;
    if (m_pLayeredWnd != nullptr && m_pLive->HasPicture()) {
        CLayeredInput& input = m_pLayeredWnd->Input();
        if (input.IsMakingShape()) {
            input.CancelInput();
        }
        bStarted = input.StartCalibrationInput(nKind) != FALSE;
        if (bStarted) {
            m_pLayeredWnd->Engine().m_bDispShapes = FALSE;
            m_pLayeredWnd->Redraw();
        }
    }
    // Only the set button stays usable: it stops the input.
    if (QAbstractButton* pSet = CalibrationSetButton()) {
        m_CalibSetCaption = pSet->text();
        pSet->setText(GetProgramString(IDS_STOP));
        pSet->setEnabled(true);
    }
    SetStatusMessage(!bStarted ? IDS_CALIB_CANNOT_START : nKind == 1 ? IDS_CALIB_START_3 : IDS_CALIB_START_2);
}

void CPixmetraDlg::OnEndSetCalibration()
{
    if (m_pLayeredWnd == nullptr || m_pMeasureModeDlg == nullptr) {
        WriteLog(QStringLiteral("[MAIN]OnEndSetCalibration()  GetCurCalibrationSetting Error!"));
        EndCalibrationInput();
        return;
    }
    CPageCalibration* pPage = m_pMeasureModeDlg->PageCalibration();
    CCalibrationTable& table = pPage->Table();
    CSetLengthDlg dlg(this);
    dlg.m_UnitText = GetProgramString(table.Current().UnitKind == 1 ? 198 : table.Current().UnitKind == 2 ? 199 : 197);
    m_pMeasureModeDlg->setEnabled(false);
    const int nResult = dlg.DoModal();
    m_pMeasureModeDlg->setEnabled(true);
    if (nResult != IDOK) {
        SetStatusMessage(IDS_CALIB_CANCELLED);
    } else {
        const UINT nMessage = table.SetReference(m_pLayeredWnd->Input().GetCalibrationPixelLength(), dlg.m_dReferenceLength);
        if (nMessage == CALIB_MSG_SET_DONE) {
            m_pMeasureModeDlg->SetSystemSettings();
            RefreshCalibrationList(*pPage->CalibrationList(), table);
            pPage->UpdateControls();
            ApplyCalibration();
        }
        SetStatusMessage(nMessage);
    }
    EndCalibrationInput();
    WriteLog(QStringLiteral("[MAIN]->OnEndSetCalibration()"));
}

void CPixmetraDlg::OnCancelSetCalibration()
{
    if (m_pLayeredWnd != nullptr && m_pLayeredWnd->Input().IsCalibrating()) {
        m_pLayeredWnd->Input().CancelInput();
    }
    SetStatusMessage(IDS_CALIB_CANCELLED);
    EndCalibrationInput();
}

void CPixmetraDlg::OnErrorSetCalibration()
{
    if (m_pLayeredWnd != nullptr && m_pLayeredWnd->Input().IsCalibrating()) {
        m_pLayeredWnd->Input().CancelInput();
    }
    SetStatusMessage(CALIB_MSG_SET_FAILED);
    EndCalibrationInput();
}

void CPixmetraDlg::OnSelectCalibrationList()
{
    if (m_pMeasureModeDlg == nullptr) {
        return;
    }
    m_pMeasureModeDlg->SetSystemSettings();
    ApplyCalibration();
    // A slot without a calibration leaves the overlay as it was but its texts still change.
    UpdateCalibrationCaption();
    m_pMeasureModeDlg->UpdateCalibrationTexts();
    m_pMeasureModeDlg->PageMeasurement()->RefreshMeasResultList();
}

void CPixmetraDlg::OnDeleteCalibration()
{
    if (m_pMeasureModeDlg == nullptr) {
        return;
    }
    CPageCalibration* pPage = m_pMeasureModeDlg->PageCalibration();
    CCalibrationTable& table = pPage->Table();
    if (table.DeleteRoute() == ECalibDelete::Nothing) {
        return;
    }
    if (AfxMessageBox(CALIB_ASK_DELETE, MB_YESNO | MB_ICONQUESTION, this) != IDYES) {
        return;
    }
    if (table.DeleteAsksResultsQuestion(!m_pMeasure->Results().empty())) {
        // The only calibration goes only together with the results; No keeps both.
        m_pMeasure->OnDeleteAllMeasureData(1, LPARAM(CALIB_ASK_DELETE_RESULTS));
        if (!m_pMeasure->Results().empty()) {
            return;
        }
    }
    table.DeleteCurrent();
    m_pMeasureModeDlg->SetSystemSettings();
    RefreshCalibrationList(*pPage->CalibrationList(), table);
    pPage->UpdateControls();
    OnSelectCalibrationList();
    SetStatusMessage(IDS_CALIB_CHANGED);
}

QString CPixmetraDlg::CalibrationFileFilter()
{
    const QString ext = QStringLiteral("clb");
    return QStringLiteral("%1(*.%2)|*.%3||").arg(GetProgramString(IDS_CALIB_FILE_KIND), ext, ext);
}

void CPixmetraDlg::OnLoadCalibrationData()
{
    if (m_pMeasureModeDlg == nullptr) {
        return;
    }
    CPageCalibration* pPage = m_pMeasureModeDlg->PageCalibration();
    m_pMeasureModeDlg->setEnabled(false);
    QString path;
    if (!pPage->Table().AnyEnabled() ||
        AfxMessageBox(CALIB_ASK_LOAD_OVERWRITE, MB_YESNO | MB_ICONQUESTION, this) == IDYES) {
        CQSFileAccess access;
        path = access.SelectFile(TRUE, QStringLiteral("clb"), QString(), CalibrationFileFilter(), FALSE);
    }
    m_pMeasureModeDlg->setEnabled(true);
    if (path.isEmpty()) {
        return;
    }
    // Loaded into a copy first: a file that is not a calibration file changes nothing.
    CCalibrationTable loaded = pPage->Table();
    const UINT nMessage = loaded.LoadFromFile(path);
    SetStatusMessage(nMessage);
    if (nMessage != CALIB_MSG_LOADED) {
        AfxMessageBox(nMessage, MB_OK | MB_ICONERROR, this);
        return;
    }
    loaded.CopyTo(m_Setting);
    pPage->ReloadFromSetting();
    OnSelectCalibrationList();
}

void CPixmetraDlg::OnSaveCalibrationData()
{
    if (m_pMeasureModeDlg == nullptr) {
        return;
    }
    m_pMeasureModeDlg->setEnabled(false);
    m_pMeasureModeDlg->SetSystemSettings();
    CQSFileAccess access;
    // The dialog asks before an existing file is overwritten.
    const QString path = access.SelectFile(FALSE, QStringLiteral("clb"), QString(), CalibrationFileFilter(), TRUE);
    m_pMeasureModeDlg->setEnabled(true);
    if (path.isEmpty()) {
        return;
    }
    const UINT nMessage = m_pMeasureModeDlg->PageCalibration()->Table().SaveToFile(path);
    SetStatusMessage(nMessage);
    if (nMessage != CALIB_MSG_SAVED) {
        AfxMessageBox(nMessage, MB_OK | MB_ICONERROR, this);
    }
}

void CPixmetraDlg::ApplyCalibration()
{
    if (m_pMeasureModeDlg != nullptr) {
        m_pMeasureModeDlg->UpdateCalibrationTexts();
    }
    UpdateCalibrationCaption();
    const int32_t n = std::clamp(m_Setting.CalibrationIndex, 0, CALIBRATION_NUM - 1);
    const CALIBRATION_SETTING& cur = m_Setting.Calibration[n];
    if (cur.bEnable == FALSE || m_pLayeredWnd == nullptr) {
        return;
    }
    // A slot that is enabled but has no factor leaves the overlay uncalibrated: nothing can be started.
    m_pLayeredWnd->Engine().SetCalibration(cur.Calibration, m_Setting.MeasureDownPlace, cur.UnitKind, TRUE);
    m_pLayeredWnd->Redraw();
    m_pMeasure->CopyResults();
    if (m_pMeasureModeDlg != nullptr) {
        m_pMeasureModeDlg->PageMeasurement()->RefreshMeasResultList();
    }
}
