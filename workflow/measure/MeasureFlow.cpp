// The main window's side of a measurement: the tool window's start, undo,
// cancel, delete, text and export messages, the overlay's progress and end
// notices, and the selection both ways between the results list and the picture.
#include "app/LogFile.h"
#include "app/MultiLanguageTranslator.h"
#include "app/QSFileAccess.h"
#include "app/PixmetraApp.h"
#include "app/dialogs/MessageBox.h"
#include "app/dialogs/SetTextDlg.h"
#include "engine/OverlayMessages.h"
#include "engine/kinds/MeasureKindInfo.h"
#include "ui_PixmetraDlg.h"
#include "workflow/MainStrings.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/measure/MeasureExport.h"
#include "workflow/measure/ResultRows.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageMeasurement.h"
#include "workflow/toolwnd/ToolControls.h"
#include "workflow/toolwnd/ToolMessages.h"

#include <QShowEvent>

#include <algorithm>

void CPixmetraDlg::CreateMeasureModeDlg()
{
    // A child object of the main window, shown as its own floating window:
    // it is destroyed with the main window and never closed by the user.
    m_pMeasureModeDlg = new CMeasureModeDlg(this);
    m_pMeasureModeDlg->InitMeasDlg(&m_Sink, &m_Setting, &MeasDataList, &m_SelList);
    ConnectCalibrationPage();
}

void CPixmetraDlg::EnableMeasureGroup(bool bEnable)
{
    // While a shape or a reference line is input its group decides, whatever
    // a refresh of the buttons found.
    if (m_InputGroups.IsHeld()) {
        m_InputGroups.KeepDisabled();
        return;
    }
    if (m_pMeasureModeDlg != nullptr) {
        m_pMeasureModeDlg->EnableMeasure(bEnable);
    }
}

void CPixmetraDlg::DisableInputGroup(int nGroup)
{
    if (m_pMeasureModeDlg != nullptr) {
        // The pages' own rules keep their controls off as well; the two check
        // boxes stay as they were unless the group takes them.
        QWidget* boxes[] = {m_pMeasureModeDlg->GetDlgItem(IDC_CHECK_DISP_RESULT), m_pMeasureModeDlg->GetDlgItem(IDC_CHECK_DISP_ZOOM)};
        bool bWasEnabled[2] = {};
        for (int i = 0; i < 2; ++i) {
            bWasEnabled[i] = boxes[i] != nullptr && boxes[i]->isEnabled();
        }
        m_pMeasureModeDlg->EnableMeasure(false);
        for (int i = 0; i < 2; ++i) {
            if (boxes[i] != nullptr) {
                boxes[i]->setEnabled(bWasEnabled[i]);
            }
        }
    }
    m_InputGroups.Disable(nGroup, [this](int nID) { return GetDlgItem(nID); }, m_pMeasureModeDlg, m_pLive->IsCameraOK() != FALSE);
}

void CPixmetraDlg::RestoreInputGroup(int nGroup)
{
    m_InputGroups.Restore(nGroup);
    EnableMeasureGroup(true);
}

void CPixmetraDlg::OnInvalidSetPoint()
{
    SetStatusMessage(IDS_INVALID_POINT);
}

void CPixmetraDlg::OnStartMake(int nKind)
{
    if (!IsPointKind(nKind)) {
        return;
    }
    DisableInputGroup(INPUT_GROUP_MEASURE);
    if (m_pLayeredWnd != nullptr && m_pLive->HasPicture()) {
        CLayeredInput& input = m_pLayeredWnd->Input();
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
    SetStatusMessage(kMeasureKinds[nKind].nStartPrompt);
}

void CPixmetraDlg::OnStartMakeText()
{
    CPageMeasurement* pPage = m_pMeasureModeDlg->PageMeasurement();
    CSetTextDlg dlg(this);
    dlg.m_Text.clear();
    dlg.m_FontName = m_Setting.CaptionFontName;
    dlg.m_nFontPt = m_Setting.CaptionFontPt;
    dlg.m_Color = m_crLastText;
    m_pMeasureModeDlg->setEnabled(false);
    const int nResult = dlg.DoModal();
    m_pMeasureModeDlg->setEnabled(true);
    if (nResult != IDOK || m_pLayeredWnd == nullptr) {
        pPage->CancelMakeShape();
        SetStatusMessage(IDS_SHAPE_CANCELLED);
        return;
    }
    m_LastText = dlg.m_Text;
    m_crLastText = dlg.m_Color;
    CLayeredInput& input = m_pLayeredWnd->Input();
    if (input.IsMakingShape()) {
        input.CancelInput();
    }
    input.SetTextToPlace(m_LastText.toStdU16String(), dlg.m_FontName.toStdU16String(), dlg.m_nFontPt, dlg.m_Color);
    DisableInputGroup(INPUT_GROUP_MEASURE);
    SetStatusMessage(kMeasureKinds[MEAS_TEXT].nStartPrompt);
}

void CPixmetraDlg::OnEditText()
{
    if (m_SelList.empty() || m_pLayeredWnd == nullptr) {
        return;
    }
    const int nRow = m_SelList.back();
    if (nRow < 0 || nRow >= int(MeasDataList.size()) || !IsTextRow(MeasDataList[size_t(nRow)])) {
        return;
    }
    CSetTextDlg dlg(this);
    dlg.m_Text = QString::fromUtf16(MeasDataList[size_t(nRow)].szText);
    dlg.m_FontName = m_Setting.CaptionFontName;
    dlg.m_nFontPt = m_Setting.CaptionFontPt;
    dlg.m_Color = m_crLastText;
    m_pMeasureModeDlg->setEnabled(false);
    const int nResult = dlg.DoModal();
    m_pMeasureModeDlg->setEnabled(true);
    if (nResult != IDOK) {
        return;
    }
    m_LastText = dlg.m_Text;
    m_crLastText = dlg.m_Color;
    m_pLayeredWnd->Engine().SelectMeasurements({MeasDataList[size_t(nRow)].nMeasNum});
    m_pLayeredWnd->Input().EditSelectedText(m_LastText.toStdU16String(), dlg.m_FontName.toStdU16String(),
                                            dlg.m_nFontPt, dlg.m_Color);
}

void CPixmetraDlg::OnCancelMakeShape()
{
    if (m_pLayeredWnd != nullptr) {
        CLayeredInput& input = m_pLayeredWnd->Input();
        if (input.IsMakingShape() || input.IsMakingCrossLine() || input.IsPlacingText()) {
            input.CancelInput();
        }
    }
    SetStatusMessage(IDS_SHAPE_CANCELLED);
    RestoreInputGroup(INPUT_GROUP_MEASURE);
    UpdateButtons();
}

void CPixmetraDlg::OnUndoSetPoint()
{
    if (m_pLayeredWnd != nullptr) {
        m_pLayeredWnd->Input().UndoLastPoint();
    }
}

void CPixmetraDlg::CopyResults()
{
    if (m_pLayeredWnd != nullptr) {
        m_pLayeredWnd->Engine().CopyMeasureData(MeasDataList);
    }
}

void CPixmetraDlg::OnEndMakeShape(WPARAM wParam)
{
    SetStatusMessage(wParam == 1 ? IDS_CROSS_LINES_MADE : IDS_MEASURE_DONE);
    CopyResults();
    if (m_pMeasureModeDlg != nullptr) {
        m_pMeasureModeDlg->PageMeasurement()->EndMakeShape();
    }
    RestoreInputGroup(INPUT_GROUP_MEASURE);
    UpdateButtons();
}

void CPixmetraDlg::OnErrorMakeShape()
{
    SetStatusMessage(IDS_SHAPE_ERROR);
    m_pMeasureModeDlg->PageMeasurement()->CancelMakeShape();
    RestoreInputGroup(INPUT_GROUP_MEASURE);
    UpdateButtons();
}

void CPixmetraDlg::OnMakingRgnDispCaption(int nKind, int nCount)
{
    const UINT id = MeasureKindPrompt(nKind, nCount);
    if (id != 0) {
        SetStatusMessage(id);
    }
}

void CPixmetraDlg::OnSelectMeasureShape(int32_t nMeasNum, LPARAM lSource)
{
    if (lSource == 1) {
        m_SelList.clear();
        m_pMeasureModeDlg->PageMeasurement()->SelectMeasureShape(nMeasNum);
    } else if (lSource == 0) {
        const std::vector<int32_t> measNums = MeasNumsOfRows(MeasDataList, m_SelList);
        if (m_pLayeredWnd != nullptr) {
            m_pLayeredWnd->Engine().SelectMeasurements(measNums);
            m_pLayeredWnd->Redraw();
        }
    }
}

void CPixmetraDlg::OnDeleteSelMeasureData()
{
    if (m_SelList.empty() || m_pLayeredWnd == nullptr) {
        return;
    }
    if (AfxMessageBox(IDS_DELETE_SELECTED_QUESTION, MB_YESNO | MB_ICONQUESTION, this) != IDYES) {
        return;
    }
    // Each measurement once, so a row whose measurement already went with an
    // earlier row is no failure. (A 2-circle measurement numbers its three
    // rows on their own: each selected row deletes just its own shapes.)
    for (int32_t nMeasNum : MeasNumsOfRows(MeasDataList, m_SelList)) {
        if (!m_pLayeredWnd->Engine().DeleteMeasurement(nMeasNum)) {
            WriteLog(QStringLiteral("[MAIN]OnDeleteSelMeasureData() DeleteMeasureData is Error!"));
            AfxMessageBox(IDS_DELETE_ERROR, MB_OK | MB_ICONERROR, this);
        }
    }
    m_SelList.clear();
    m_pLayeredWnd->Redraw();
    CopyResults();
    m_pMeasureModeDlg->PageMeasurement()->SelectMeasureShape(-1);
    m_pMeasureModeDlg->PageMeasurement()->RefreshMeasResultList();
    SetStatusMessage(IDS_DATA_DELETED);
}

void CPixmetraDlg::OnDeleteAllMeasureData(WPARAM wAlsoCalibration, LPARAM lQuestion)
{
    if (!MeasDataList.empty()) {
        if (int(lQuestion) != -1 && AfxMessageBox(UINT(lQuestion), MB_YESNO | MB_ICONQUESTION, this) != IDYES) {
            return;
        }
        if (m_pLayeredWnd != nullptr) {
            m_pLayeredWnd->Engine().ClearAll();
            m_pLayeredWnd->Redraw();
        }
        MeasDataList.clear();
        m_SelList.clear();
        m_pMeasureModeDlg->PageMeasurement()->SelectMeasureShape(-1);
        m_pMeasureModeDlg->PageMeasurement()->RefreshMeasResultList();
        SetStatusMessage(IDS_DATA_DELETED);
    }
    // Deleting the calibration as well belongs to the calibration page.
    (void)wAlsoCalibration;
}

void CPixmetraDlg::OnSaveMeasureData()
{
    if (MeasDataList.empty()) {
        return;
    }
    CQSFileAccess access;
    const QString path = access.SelectCsvFile(m_Setting.SaveContinue.SaveFolderPath);
    if (path.isEmpty()) {
        return;
    }
    const int32_t n = std::clamp(m_Setting.CalibrationIndex, 0, CALIBRATION_NUM - 1);
    SetStatusMessage(SaveMeasureData(path, MeasDataList, m_Setting.Calibration[n], m_Setting.MeasureDownPlace));
}

void CPixmetraDlg::OnDispMeasureShape(bool bShow)
{
    m_bDispMeasureShape = bShow ? TRUE : FALSE;
    if (m_pLayeredWnd != nullptr) {
        m_pLayeredWnd->Engine().m_bDispShapes = m_bDispMeasureShape;
        m_pLayeredWnd->Redraw();
    }
    SetStatusMessage(bShow ? IDS_SHAPES_SHOWN : IDS_SHAPES_HIDDEN);
}

void CPixmetraDlg::showEvent(QShowEvent* pEvent)
{
    QWidget::showEvent(pEvent);
    // The tool window first shows with the main window, beside it, once the
    // main window's frame is placed.
    if (m_pMeasureModeDlg != nullptr && !m_bMeasureModeShown && !pEvent->spontaneous()) {
        m_bMeasureModeShown = TRUE;
        QMetaObject::invokeMethod(
            this,
            [this] {
                PlaceToolWindow();
                m_pMeasureModeDlg->show();
            },
            Qt::QueuedConnection);
    }
}

void CPixmetraDlg::changeEvent(QEvent* pEvent)
{
    // The tool window is minimised and restored with the main window.
    if (pEvent->type() == QEvent::WindowStateChange && m_pMeasureModeDlg != nullptr && m_pMeasureModeDlg->isVisible()) {
        if (isMinimized()) {
            m_pMeasureModeDlg->showMinimized();
        } else if (m_pMeasureModeDlg->isMinimized()) {
            m_pMeasureModeDlg->showNormal();
        }
    }
    QWidget::changeEvent(pEvent);
}
