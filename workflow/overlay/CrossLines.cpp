#include "workflow/overlay/CrossLines.h"

#include "app/LogFile.h"
#include "app/MainWindowMessages.h"
#include "app/dialogs/StatusLine.h"
#include "app/dialogs/SystemSettingDlg.h"
#include "app/SystemSetting.h"
#include "engine/LayeredWnd.h"
#include "engine/OverlayMessages.h"
#include "image/AccImage.h"
#include "workflow/MainButtons.h"
#include "workflow/MainControls.h"
#include "workflow/MainStrings.h"
#include "workflow/live/PictureState.h"
#include "workflow/toolwnd/MeasureModeDlg.h"
#include "workflow/toolwnd/PageMeasurement.h"

#include <QAbstractButton>

#include <cstring>

CCrossLines::CCrossLines(const CROSS_LINES_PARTS& parts)
    : m_Buttons(parts.buttons), m_Status(parts.status), m_Picture(parts.picture), m_Setting(parts.setting),
      m_pOverlay(parts.pOverlay), m_pTool(parts.pTool)
{
    if (QAbstractButton* pButton = CrossButton()) {
        QObject::connect(pButton, &QAbstractButton::clicked, pButton, [this] { OnBnClickedDispCrossLine(); });
    }
    if (auto* pCancel = qobject_cast<QAbstractButton*>(CancelButton())) {
        QObject::connect(pCancel, &QAbstractButton::clicked, pCancel, [this] { OnBnClickedBtnCancelMakeCross(); });
    }
}

QAbstractButton* CCrossLines::CrossButton() const
{
    return qobject_cast<QAbstractButton*>(m_Buttons.GetDlgItem(IDC_BTN_CROSS_LINE));
}

QWidget* CCrossLines::CancelButton() const
{
    return m_Buttons.GetDlgItem(IDC_BTN_CROSS_CANCEL);
}

CRgnDataCtrl* CCrossLines::Engine() const
{
    return m_pOverlay != nullptr ? &m_pOverlay->Engine() : nullptr;
}

std::vector<QWidget*> CCrossLines::Group() const
{
    std::vector<QWidget*> group;
    for (int nID : {IDC_BTN_DISP_IMAGE, IDC_BTN_LOAD_IMAGE, IDC_BTN_SAVE_IMAGE, IDC_BTN_CROSS_LINE, IDC_BTN_SETTING}) {
        group.push_back(m_Buttons.GetDlgItem(nID));
    }
    if (m_Picture.IsCameraOK()) {
        for (int nID : {IDC_BTN_SAVE_CONTINUE, IDC_BTN_SAVE_VIDEO, IDC_BTN_CAMERA_SETTING}) {
            group.push_back(m_Buttons.GetDlgItem(nID));
        }
    }
    return group;
}

void CCrossLines::OnMakingCrossLineDispCaption(UINT nID)
{
    m_Status.SetStatusString(nID);
}

void CCrossLines::SetShown(BOOL bShow)
{
    if (CRgnDataCtrl* pEng = Engine()) {
        pEng->m_bDispCrossLine = bShow;
    }
    m_Setting.CrossLinePos.bDispCrossLine = bShow;
    if (QAbstractButton* pButton = CrossButton()) {
        pButton->setChecked(bShow != FALSE);
    }
}

void CCrossLines::OnBnClickedDispCrossLine()
{
    WriteLog(QStringLiteral("[MAIN]OnBnClickedDispCrossLine()"));
    CRgnDataCtrl* pEng = Engine();
    if (pEng == nullptr || m_bMaking) {
        // Nothing to draw on, or input already under way: the look stays as it was.
        if (QAbstractButton* pButton = CrossButton()) {
            pButton->setChecked(m_bMaking || (pEng != nullptr && pEng->m_bDispCrossLine));
        }
        return;
    }
    SYSTEM_SETTING& s = m_Setting;
    if (s.MakeCrossLineKind == 1) {
        // Only positions that lie inside the picture are copied back.
        int nCountX = 0, nCountY = 0;
        const BOOL bCounts = pEng->GetCrossLinePos(s.CrossLinePos.XCrossLinePos, nCountX,
                                                   s.CrossLinePos.YCrossLinePos, nCountY);
        if (!bCounts || (nCountX == 0 && nCountY == 0)) {
            StartInput();
            return;
        }
        const BOOL bShow = pEng->m_bDispCrossLine ? FALSE : TRUE;
        SetShown(bShow);
        m_Status.SetStatusString(bShow ? IDS_CROSS_LINES_SHOWN : IDS_CROSS_LINES_HIDDEN);
        m_pOverlay->Redraw();
        return;
    }
    if (pEng->m_bDispCrossLine) {
        SetShown(FALSE);
        m_Status.SetStatusString(IDS_CROSS_LINES_HIDDEN);
        m_pOverlay->Redraw();
        return;
    }
    // Made anew at each press: the old lines go first.
    pEng->ClearCrossLines();
    StartInput();
}

void CCrossLines::StartInput()
{
    const SYSTEM_SETTING& s = m_Setting;
    m_Enabler.DisableGroup(Group());
    m_bMaking = true;
    if (CMeasureModeDlg* pTool = m_pTool) {
        pTool->EnableMeasure(false);
        pTool->PageMeasurement()->SetBusy(true);
    }
    // A refusal (another input under way) leaves the pressed look and the
    // cancel button, through which the user leaves.
    m_pOverlay->Input().StartCrossLineInput(s.CrossHorzLineNum, s.CrossVertLineNum,
                                                  s.bCrossLineSeparateInput);
    if (QAbstractButton* pButton = CrossButton()) {
        pButton->setChecked(true);
    }
    if (QWidget* pCancel = CancelButton()) {
        pCancel->setEnabled(true);
        pCancel->show();
    }
    m_Buttons.UpdateLayout();
    m_pOverlay->Redraw();
}

void CCrossLines::RestoreGroup()
{
    m_Enabler.RestoreGroup(Group());
    m_bMaking = false;
    m_Buttons.UpdateButtons();
    if (CMeasureModeDlg* pTool = m_pTool) {
        pTool->PageMeasurement()->SetBusy(false);
    }
}

void CCrossLines::EndInputLook()
{
    if (QWidget* pCancel = CancelButton()) {
        pCancel->hide();
    }
    m_Buttons.UpdateLayout();
}

void CCrossLines::OnBnClickedBtnCancelMakeCross()
{
    RestoreGroup();
    WriteLog(QStringLiteral("[MAIN]OnBnClickedBtnCancelMakeCross()"));
    if (CRgnDataCtrl* pEng = Engine()) {
        CLayeredInput& input = m_pOverlay->Input();
        if (input.IsMakingCrossLine()) {
            input.CancelInput();
        }
        // The lines being made go with the input.
        pEng->ClearCrossLines();
        pEng->m_bDispCrossLine = FALSE;
        m_pOverlay->Redraw();
    }
    if (QAbstractButton* pButton = CrossButton()) {
        pButton->setChecked(false);
    }
    m_Status.SetStatusString(IDS_CROSS_LINES_CANCELLED);
    EndInputLook();
}

void CCrossLines::OnEndMakeCrossLine()
{
    EndInputLook();
    SetShown(TRUE);
    SaveCrossLinePosValue();
    RestoreGroup();
}

BOOL CCrossLines::SaveCrossLinePosValue()
{
    WriteLog(QStringLiteral("[MAIN]SaveCrossLinePosValue()"));
    CRgnDataCtrl* pEng = Engine();
    if (pEng == nullptr) {
        return FALSE;
    }
    SYSTEM_SETTING& s = m_Setting;
    int nCountX = 0, nCountY = 0;
    if (!pEng->GetCrossLinePos(s.CrossLinePos.XCrossLinePos, nCountX, s.CrossLinePos.YCrossLinePos, nCountY)) {
        return FALSE;
    }
    s.CrossVertLineNum = nCountX;
    s.CrossHorzLineNum = nCountY;
    return WriteCrossLinePosValue(s.CrossLinePos);
}

BOOL CCrossLines::LoadCrossLinePosValue()
{
    WriteLog(QStringLiteral("[MAIN]LoadCrossLinePosValue()"));
    CRgnDataCtrl* pEng = Engine();
    if (pEng == nullptr || (!m_Picture.IsCameraOK() && m_Picture.Image().IsEmpty())) {
        return FALSE;
    }
    SYSTEM_SETTING& s = m_Setting;
    CROSSLINE_POS_VALUE stored{};
    if (!ReadCrossLinePosValue(stored)) {
        return FALSE;
    }
    s.CrossLinePos = stored;
    pEng->SetCrossLinePos(stored.XCrossLinePos, s.CrossVertLineNum, stored.YCrossLinePos, s.CrossHorzLineNum);
    pEng->m_bDispCrossLine = stored.bDispCrossLine;
    m_pOverlay->Redraw();
    if (QAbstractButton* pButton = CrossButton()) {
        pButton->setChecked(stored.bDispCrossLine != FALSE);
    }
    return TRUE;
}

void CCrossLines::ApplyClearMark()
{
    if (!m_bClearCrossLine) {
        return;
    }
    m_bClearCrossLine = FALSE;
    DeleteCrossLines();
}

void CCrossLines::DeleteCrossLines()
{
    if (CRgnDataCtrl* pEng = Engine()) {
        pEng->ClearCrossLines();
        m_pOverlay->Redraw();
    }
    SetShown(FALSE);
    CROSSLINE_POS_VALUE& pos = m_Setting.CrossLinePos;
    std::memset(pos.XCrossLinePos, 0, sizeof(pos.XCrossLinePos));
    std::memset(pos.YCrossLinePos, 0, sizeof(pos.YCrossLinePos));
    WriteCrossLinePosValue(pos);
}

void CCrossLines::UpdateButtons()
{
    const SYSTEM_SETTING& s = m_Setting;
    const bool bPicture = m_Picture.IsCameraOK() || !m_Picture.Image().IsEmpty();
    const bool bConfigured =
        s.bCrossLineSeparateInput ? (s.CrossVertLineNum != 0 || s.CrossHorzLineNum != 0) : s.CrossVertLineNum != 0;
    // Not while the overlay takes the clicks for a measurement, a
    // calibration line or a text note.
    CLayeredWnd* pOverlay = m_pOverlay;
    const bool bFree = pOverlay != nullptr && !pOverlay->Input().IsMakingShape() &&
                       !pOverlay->Input().IsCalibrating() && !pOverlay->Input().IsPlacingText();
    if (QAbstractButton* pButton = CrossButton()) {
        pButton->setEnabled(bPicture && bConfigured && bFree);
    }
    if (m_bMaking) {
        for (QWidget* p : Group()) {
            if (p != nullptr) {
                p->setEnabled(false);
            }
        }
        if (CMeasureModeDlg* pTool = m_pTool) {
            pTool->EnableMeasure(false);
        }
    }
}
