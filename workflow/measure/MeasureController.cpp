#include "workflow/measure/MeasureController.h"

#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/PixmetraApp.h"
#include "app/QSFileAccess.h"
#include "app/SystemSetting.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SetTextDlg.h"
#include "app/dialogs/StatusLine.h"
#include "engine/LayeredWnd.h"
#include "engine/kinds/MeasureKindInfo.h"
#include "workflow/MainButtons.h"
#include "workflow/MainStrings.h"
#include "workflow/live/PictureState.h"
#include "workflow/measure/MeasureExport.h"
#include "workflow/measure/ResultRows.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageMeasurement.h"
#include "workflow/toolwnd/ToolControls.h"

#include <algorithm>

void CMeasureController::AttachWindows(CLayeredWnd* pOverlay, CMeasureModeDlg* pTool)
{
    m_pOverlay = pOverlay;
    m_pTool = pTool;
}

bool CMeasureController::CheckClearMeasureData()
{
    if (MeasDataList.empty()) {
        WriteLog(QStringLiteral("[MAIN]CheckClearMeasureData() MeasDataList.GetCount() = 0"));
        return true;
    }
    if (AfxMessageBox(IDS_CLEAR_MEASURE_QUESTION, MB_YESNO | MB_ICONQUESTION, m_Parts.pOwner) != IDYES) {
        WriteLog(QStringLiteral("[MAIN]CheckClearMeasureData() Clear Cancel"));
        return false;
    }
    OnDeleteAllMeasureData(0, LPARAM(-1));
    if (m_Parts.fnResultsCleared) {
        m_Parts.fnResultsCleared();
    }
    return true;
}

void CMeasureController::EnableMeasureGroup(bool bEnable)
{
    // While a shape or a reference line is input its group decides, whatever
    // a refresh of the buttons found.
    if (m_InputGroups.IsHeld()) {
        m_InputGroups.KeepDisabled();
        return;
    }
    if (m_pTool != nullptr) {
        m_pTool->EnableMeasure(bEnable);
    }
}

void CMeasureController::DisableInputGroup(int nGroup)
{
    if (m_pTool != nullptr) {
        // The pages' own rules keep their controls off as well; the two check
        // boxes stay as they were unless the group takes them.
        QWidget* boxes[] = {m_pTool->GetDlgItem(IDC_CHECK_DISP_RESULT), m_pTool->GetDlgItem(IDC_CHECK_DISP_ZOOM)};
        bool bWasEnabled[2] = {};
        for (int i = 0; i < 2; ++i) {
            bWasEnabled[i] = boxes[i] != nullptr && boxes[i]->isEnabled();
        }
        m_pTool->EnableMeasure(false);
        for (int i = 0; i < 2; ++i) {
            if (boxes[i] != nullptr) {
                boxes[i]->setEnabled(bWasEnabled[i]);
            }
        }
    }
    m_InputGroups.Disable(nGroup, [this](int nID) { return m_Parts.buttons.GetDlgItem(nID); }, m_pTool, m_Parts.picture.IsCameraOK() != FALSE);
}

void CMeasureController::RestoreInputGroup(int nGroup)
{
    m_InputGroups.Restore(nGroup);
    EnableMeasureGroup(true);
}

void CMeasureController::OnInvalidSetPoint()
{
    m_Parts.status.SetStatusString(IDS_INVALID_POINT);
}

void CMeasureController::OnStartMake(int nKind)
{
    if (!IsPointKind(nKind)) {
        return;
    }
    DisableInputGroup(INPUT_GROUP_MEASURE);
    if (m_pOverlay != nullptr && m_Parts.picture.HasPicture()) {
        CLayeredInput& input = m_pOverlay->Input();
        if (!input.IsMakingCrossLine() && !input.IsPlacingText()) {
            // A shape left half made by an earlier start is discarded first,
            // so the new kind's first click does not complete the old shape.
            if (input.IsMakingShape()) {
                input.CancelInput();
            }
            input.StartMakeShape(nKind);
        }
    }
    // The prompt shows even when nothing was prepared; the user leaves with 中止.
    m_Parts.status.SetStatusString(kMeasureKinds[nKind].nStartPrompt);
}

bool CMeasureController::AskText(const QString& text, QString& fontName, int& nFontPt, COLORREF& color)
{
    CSetTextDlg dlg(m_Parts.pOwner);
    dlg.m_Text = text;
    dlg.m_FontName = m_Parts.setting.CaptionFontName;
    dlg.m_nFontPt = m_Parts.setting.CaptionFontPt;
    dlg.m_Color = m_crLastText;
    m_pTool->setEnabled(false);
    const int nResult = dlg.DoModal();
    m_pTool->setEnabled(true);
    if (nResult != IDOK) {
        return false;
    }
    m_LastText = dlg.m_Text;
    m_crLastText = dlg.m_Color;
    fontName = dlg.m_FontName;
    nFontPt = dlg.m_nFontPt;
    color = dlg.m_Color;
    return true;
}

void CMeasureController::OnStartMakeText()
{
    QString fontName;
    int nFontPt = 0;
    COLORREF color = 0;
    if (!AskText(QString(), fontName, nFontPt, color) || m_pOverlay == nullptr) {
        m_pTool->PageMeasurement()->CancelMakeShape();
        m_Parts.status.SetStatusString(IDS_SHAPE_CANCELLED);
        return;
    }
    CLayeredInput& input = m_pOverlay->Input();
    if (input.IsMakingShape()) {
        input.CancelInput();
    }
    input.SetTextToPlace(m_LastText.toStdU16String(), fontName.toStdU16String(), nFontPt, color);
    DisableInputGroup(INPUT_GROUP_MEASURE);
    m_Parts.status.SetStatusString(kMeasureKinds[MEAS_TEXT].nStartPrompt);
}

void CMeasureController::OnEditText()
{
    if (m_SelList.empty() || m_pOverlay == nullptr) {
        return;
    }
    const int nRow = m_SelList.back();
    if (nRow < 0 || nRow >= int(MeasDataList.size()) || !IsTextRow(MeasDataList[size_t(nRow)])) {
        return;
    }
    QString fontName;
    int nFontPt = 0;
    COLORREF color = 0;
    if (!AskText(QString::fromUtf16(MeasDataList[size_t(nRow)].szText), fontName, nFontPt, color)) {
        return;
    }
    m_pOverlay->Engine().SelectMeasurements({MeasDataList[size_t(nRow)].nMeasNum});
    m_pOverlay->Input().EditSelectedText(m_LastText.toStdU16String(), fontName.toStdU16String(), nFontPt, color);
}

void CMeasureController::OnCancelMakeShape()
{
    if (m_pOverlay != nullptr) {
        CLayeredInput& input = m_pOverlay->Input();
        if (input.IsMakingShape() || input.IsMakingCrossLine() || input.IsPlacingText()) {
            input.CancelInput();
        }
    }
    m_Parts.status.SetStatusString(IDS_SHAPE_CANCELLED);
    RestoreInputGroup(INPUT_GROUP_MEASURE);
    m_Parts.buttons.UpdateButtons();
}

void CMeasureController::OnUndoSetPoint()
{
    if (m_pOverlay != nullptr) {
        m_pOverlay->Input().UndoLastPoint();
    }
}

void CMeasureController::CopyResults()
{
    if (m_pOverlay != nullptr) {
        m_pOverlay->Engine().CopyMeasureData(MeasDataList);
    }
}

void CMeasureController::OnEndMakeShape(WPARAM wParam)
{
    m_Parts.status.SetStatusString(wParam == 1 ? IDS_CROSS_LINES_MADE : IDS_MEASURE_DONE);
    CopyResults();
    if (m_pTool != nullptr) {
        m_pTool->PageMeasurement()->EndMakeShape();
    }
    RestoreInputGroup(INPUT_GROUP_MEASURE);
    m_Parts.buttons.UpdateButtons();
}

void CMeasureController::OnErrorMakeShape()
{
    m_Parts.status.SetStatusString(IDS_SHAPE_ERROR);
    m_pTool->PageMeasurement()->CancelMakeShape();
    RestoreInputGroup(INPUT_GROUP_MEASURE);
    m_Parts.buttons.UpdateButtons();
}

void CMeasureController::OnMakingRgnDispCaption(int nKind, int nCount)
{
    const UINT id = MeasureKindPrompt(nKind, nCount);
    if (id != 0) {
        m_Parts.status.SetStatusString(id);
    }
}

void CMeasureController::OnSelectMeasureShape(int32_t nMeasNum, LPARAM lSource)
{
    if (lSource == 1) {
        m_SelList.clear();
        m_pTool->PageMeasurement()->SelectMeasureShape(nMeasNum);
    } else if (lSource == 0) {
        const std::vector<int32_t> measNums = MeasNumsOfRows(MeasDataList, m_SelList);
        if (m_pOverlay != nullptr) {
            m_pOverlay->Engine().SelectMeasurements(measNums);
            m_pOverlay->Redraw();
        }
    }
}

void CMeasureController::OnDeleteSelMeasureData()
{
    if (m_SelList.empty() || m_pOverlay == nullptr) {
        return;
    }
    if (AfxMessageBox(IDS_DELETE_SELECTED_QUESTION, MB_YESNO | MB_ICONQUESTION, m_Parts.pOwner) != IDYES) {
        return;
    }
    // Each measurement once, so a row whose measurement already went with an
    // earlier row is no failure. (A 2-circle measurement numbers its three
    // rows on their own: each selected row deletes just its own shapes.)
    for (int32_t nMeasNum : MeasNumsOfRows(MeasDataList, m_SelList)) {
        if (!m_pOverlay->Engine().DeleteMeasurement(nMeasNum)) {
            WriteLog(QStringLiteral("[MAIN]OnDeleteSelMeasureData() DeleteMeasureData is Error!"));
            AfxMessageBox(IDS_DELETE_ERROR, MB_OK | MB_ICONERROR, m_Parts.pOwner);
        }
    }
    m_SelList.clear();
    m_pOverlay->Redraw();
    CopyResults();
    m_pTool->PageMeasurement()->SelectMeasureShape(-1);
    m_pTool->PageMeasurement()->RefreshMeasResultList();
    m_Parts.status.SetStatusString(IDS_DATA_DELETED);
}

void CMeasureController::OnDeleteAllMeasureData(WPARAM wAlsoCalibration, LPARAM lQuestion)
{
    if (!MeasDataList.empty()) {
        if (int(lQuestion) != -1 && AfxMessageBox(UINT(lQuestion), MB_YESNO | MB_ICONQUESTION, m_Parts.pOwner) != IDYES) {
            return;
        }
        if (m_pOverlay != nullptr) {
            m_pOverlay->Engine().ClearAll();
            m_pOverlay->Redraw();
        }
        MeasDataList.clear();
        m_SelList.clear();
        m_pTool->PageMeasurement()->SelectMeasureShape(-1);
        m_pTool->PageMeasurement()->RefreshMeasResultList();
        m_Parts.status.SetStatusString(IDS_DATA_DELETED);
    }
    // Deleting the calibration as well belongs to the calibration page.
    (void)wAlsoCalibration;
}

void CMeasureController::OnSaveMeasureData()
{
    if (MeasDataList.empty()) {
        return;
    }
    CQSFileAccess access;
    const QString path = access.SelectCsvFile(m_Parts.setting.SaveContinue.SaveFolderPath);
    if (path.isEmpty()) {
        return;
    }
    const int32_t n = std::clamp(m_Parts.setting.CalibrationIndex, 0, CALIBRATION_NUM - 1);
    m_Parts.status.SetStatusString(SaveMeasureData(path, MeasDataList, m_Parts.setting.Calibration[n], m_Parts.setting.MeasureDownPlace));
}

void CMeasureController::OnDispMeasureShape(bool bShow)
{
    m_bDispMeasureShape = bShow ? TRUE : FALSE;
    if (m_pOverlay != nullptr) {
        m_pOverlay->Engine().m_bDispShapes = m_bDispMeasureShape;
        m_pOverlay->Redraw();
    }
    m_Parts.status.SetStatusString(bShow ? IDS_SHAPES_SHOWN : IDS_SHAPES_HIDDEN);
}

