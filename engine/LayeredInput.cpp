#include "engine/LayeredInput.h"

#include "engine/OverlayMessages.h"

CLayeredInput::CLayeredInput(IMessageSink* pOwner) : m_pOwner(pOwner) {}

void CLayeredInput::Post(UINT nMessage, WPARAM wParam, LPARAM lParam)
{
    if (m_pOwner != nullptr) {
        m_pOwner->PostMessage(nMessage, wParam, lParam);
    }
}

void CLayeredInput::Redraw()
{
    if (m_fnRedraw) {
        m_fnRedraw();
    }
}

int CLayeredInput::ModifierOf(UINT nFlags)
{
    if (nFlags & MK_CONTROL) {
        return MODIFIER_CTRL;
    }
    return (nFlags & MK_SHIFT) ? MODIFIER_SHIFT : MODIFIER_NONE;
}

bool CLayeredInput::ReportRefusal(int nResult, bool bCalibration)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    if (nResult == ADDPT_REJECTED) {
        Post(WM_INVALID_SET_POINT, 0, 0);
        eng.CountClick(-1); // the refused click does not count
        return true;
    }
    if (nResult == ADDPT_ERROR) {
        if (bCalibration) {
            eng.CountClick(-eng.GetInputMode().nClicks);
            Post(WM_ERROR_SET_CALIBRATION, 0, 0);
        }
        Post(WM_ERROR_MAKE_SHAPE, 0, 0);
        eng.EndInputMode();
        return false;
    }
    return true;
}

void CLayeredInput::OnPointClick(POINT pt, int nModifier)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    const INPUT_MODE& m = Mode();
    const bool bCalibration = m.nMode == MODE_CALIBRATION;
    if (m.nClicks == 0) {
        const BOOL bStarted = bCalibration ? eng.StartCalibrationLine(m.nCalibKind, pt) : eng.StartShape(m.nKind, pt);
        if (!bStarted) {
            Post(WM_ERROR_MAKE_SHAPE, 0, 0);
            if (!bCalibration) {
                eng.EndInputMode(); // a calibration goes on: its next click is the first point
            }
        }
    } else {
        double len = 0.0;
        const int r = bCalibration ? eng.AddCalibrationPoint(pt, TRUE, nModifier, len)
                                   : eng.AddPoint(pt, TRUE, nModifier, FALSE);
        if (!bCalibration && eng.GetInputState() == INPUT_MAKING_SHAPE) {
            Post(WM_MAKING_RGN_DISP_CAPTION, WPARAM(m.nKind), LPARAM(eng.GetPointCount()));
        }
        if (r == ADDPT_DONE) {
            if (bCalibration) {
                eng.SetCalibrationPixelLength(len);
            }
            Post(bCalibration ? WM_END_SET_CALIBRATION : WM_END_MAKE_SHAPE, 0, 0);
            eng.EndInputMode();
        } else {
            ReportRefusal(r, bCalibration);
        }
    }
    eng.CountClick(1);
}

void CLayeredInput::OnLButtonDown(UINT nFlags, POINT pt)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    switch (Mode().nMode) {
    case MODE_CALIBRATION:
    case MODE_SHAPE:
        OnPointClick(pt, ModifierOf(nFlags));
        break;
    case MODE_CROSS_LINE:
        OnCrossClick(pt);
        break;
    case MODE_TEXT: {
        const PENDING_TEXT& t = Mode().text;
        const BOOL bOk = eng.AddText(t.text, pt, t.fontName, t.nFontPt, t.crText);
        Post(bOk ? WM_END_MAKE_SHAPE : WM_ERROR_MAKE_SHAPE, 0, 0);
        eng.EndInputMode();
        break;
    }
    default: {
        eng.SelectAt(pt);
        std::vector<int32_t> selected;
        eng.GetSelectedMeasNo(selected);
        Post(WM_SELECT_MEASURE_SHAPE, WPARAM(intptr_t(selected.empty() ? -1 : selected[0])), 1);
        break;
    }
    }
    Redraw();
}

void CLayeredInput::OnRButtonDown(UINT nFlags, POINT pt)
{
    (void)nFlags;
    const CMeasureKind* pKind = FindMeasureKind(Mode().nKind);
    if (!IsMakingShape() || pKind == nullptr || !pKind->FinishesOnRightClick()) {
        return;
    }
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    const int r = eng.AddPoint(pt, TRUE, MODIFIER_NONE, TRUE);
    if (r != ADDPT_REJECTED) {
        eng.EndInputMode(); // finished or failed: the shape input is over either way
    }
    if (r == ADDPT_REJECTED) {
        Post(WM_INVALID_SET_POINT, 0, 0);
    } else if (r == ADDPT_DONE) {
        Post(WM_END_MAKE_SHAPE, 0, 0);
    } else {
        // The input is over: leave no half-made shape behind in the engine.
        if (eng.GetInputState() == INPUT_MAKING_SHAPE) {
            eng.ResetInput();
        }
        Post(WM_ERROR_MAKE_SHAPE, 0, 0);
    }
    Redraw();
}

void CLayeredInput::OnMouseMove(UINT nFlags, POINT pt)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    const int mod = ModifierOf(nFlags);
    if (IsCalibrating() && Mode().nClicks >= 1) {
        double len = 0.0;
        if (eng.AddCalibrationPoint(pt, FALSE, mod, len) == ADDPT_ERROR) {
            ReportRefusal(ADDPT_ERROR, true);
        }
        Redraw();
    } else if (IsMakingShape() && Mode().nClicks >= 1) {
        if (eng.AddPoint(pt, FALSE, mod, FALSE) == ADDPT_ERROR) {
            eng.CountClick(-Mode().nClicks);
            ReportRefusal(ADDPT_ERROR, false);
        }
        Redraw();
    } else if (IsMakingCrossLine()) {
        OnCrossMove(pt);
        Redraw();
    } else if (nFlags == MK_LBUTTON) {
        eng.DragTo(pt);
        Redraw();
    }
    Post(WM_MOUSE_POSITION, WPARAM(intptr_t(pt.x)), LPARAM(pt.y));
}

BOOL CLayeredInput::StartMakeShape(int32_t nKind)
{
    if (!m_bInit || !m_RgnDataCtrl.IsCalibrationValid() || OtherModeUnderWay(MODE_SHAPE) || nKind < MEAS_LENGTH ||
        nKind > MEAS_COUNT) {
        return FALSE;
    }
    INPUT_MODE m = Mode();
    m.nMode = MODE_SHAPE;
    m.nKind = nKind;
    m.nClicks = 0;
    m_RgnDataCtrl.BeginInputMode(m);
    return TRUE;
}

BOOL CLayeredInput::StartCalibrationInput(int32_t nSetPointKind)
{
    if (!m_bInit || !m_RgnDataCtrl.HasDrawWindow() || OtherModeUnderWay(MODE_CALIBRATION)) {
        return FALSE;
    }
    INPUT_MODE m = Mode();
    m.nMode = MODE_CALIBRATION;
    m.nCalibKind = nSetPointKind;
    m.nClicks = 0;
    m.dCalibPixelLength = 0.0;
    m_RgnDataCtrl.BeginInputMode(m);
    return TRUE;
}

BOOL CLayeredInput::UndoLastPoint()
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    if (IsMakingShape()) {
        if (!eng.UndoLastPoint()) {
            return FALSE;
        }
        if (Mode().nClicks > 0) {
            eng.CountClick(-1);
        }
        Post(WM_MAKING_RGN_DISP_CAPTION, WPARAM(Mode().nKind), LPARAM(eng.GetPointCount()));
        Redraw();
        return TRUE;
    }
    if (IsMakingCrossLine()) {
        if (Mode().nClicks > 0) {
            eng.CountClick(-1);
        }
        Redraw();
        return TRUE;
    }
    return FALSE;
}

BOOL CLayeredInput::CancelInput()
{
    if (!m_bInit) {
        return FALSE;
    }
    m_RgnDataCtrl.Cancel();
    m_RgnDataCtrl.EndInputMode();
    m_RgnDataCtrl.CountClick(-Mode().nClicks);
    Redraw();
    return TRUE;
}

// ---------------------------------------------------------------------------
// Cross lines

BOOL CLayeredInput::StartCrossLineInput(int nHorzNum, int nVertNum, BOOL bSeparate)
{
    if (!m_bInit || nHorzNum < 0 || nVertNum < 0 || nHorzNum > MAX_CROSS_LINE || nVertNum > MAX_CROSS_LINE ||
        (nHorzNum == 0 && nVertNum == 0) || OtherModeUnderWay(MODE_CROSS_LINE)) {
        return FALSE;
    }
    INPUT_MODE m = Mode();
    m.nMode = MODE_CROSS_LINE;
    m.cross = CROSS_PLAN{nHorzNum, nVertNum, bSeparate};
    m.nClicks = 0;
    m_RgnDataCtrl.BeginInputMode(m);
    m_RgnDataCtrl.m_bDispCrossLine = TRUE;
    int id = IDS_CROSS_PROMPT;
    if (bSeparate) {
        id = nVertNum == 0 ? IDS_CROSS_HORZ_PROMPT : IDS_CROSS_VERT_PROMPT;
    }
    Post(WM_MAKING_CROSSLINE_DISP_CAPTION, WPARAM(id), 0);
    return TRUE;
}

void CLayeredInput::FinishCrossInput()
{
    m_RgnDataCtrl.EndInputMode();
    m_RgnDataCtrl.CountClick(-Mode().nClicks);
    Post(WM_END_MAKE_SHAPE, 1, 0);
}

void CLayeredInput::OnCrossClick(POINT pt)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    const CROSS_PLAN& plan = Mode().cross;
    const int clicks = Mode().nClicks;
    POINT p = pt;
    bool bLast = false;
    bool bVertDone = false;
    if (!plan.bSeparate) {
        if (pt.x < 1 || pt.y < 1) {
            return;
        }
        const int total = plan.nVert > 0 ? plan.nVert : plan.nHorz;
        bLast = clicks + 1 >= total;
    } else if (clicks < plan.nVert) {
        if (pt.x < 1) {
            return;
        }
        p = POINT{pt.x, 0};
        bVertDone = clicks + 1 == plan.nVert;
        bLast = bVertDone && plan.nHorz == 0;
    } else {
        if (pt.y < 1) {
            return;
        }
        p = POINT{0, pt.y};
        bLast = clicks + 1 - plan.nVert >= plan.nHorz;
    }
    const BOOL bOk = clicks == 0 ? eng.StartCrossLine(p, TRUE, bLast) : eng.AddCrossLinePoint(p, TRUE, bLast);
    if (!bOk) {
        eng.CountClick(-clicks);
        ReportRefusal(ADDPT_ERROR, false);
        return;
    }
    eng.CountClick(1);
    if (bLast) {
        FinishCrossInput();
    } else if (bVertDone) {
        Post(WM_MAKING_CROSSLINE_DISP_CAPTION, WPARAM(IDS_CROSS_HORZ_PROMPT), 0);
    }
}

void CLayeredInput::OnCrossMove(POINT pt)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    const INPUT_MODE& m = Mode();
    POINT p = pt;
    if (m.cross.bSeparate) {
        p = m.nClicks < m.cross.nVert ? POINT{pt.x, 0} : POINT{0, pt.y};
    }
    const BOOL bOk = m.nClicks == 0 ? eng.StartCrossLine(p, FALSE, FALSE) : eng.AddCrossLinePoint(p, FALSE, FALSE);
    if (!bOk) {
        eng.CountClick(-m.nClicks);
        ReportRefusal(ADDPT_ERROR, false);
    }
}

// ---------------------------------------------------------------------------
// Text

BOOL CLayeredInput::SetTextToPlace(const std::u16string& text, const std::u16string& fontName, int32_t nFontPt,
                                   COLORREF crText)
{
    if (!m_bInit || text.empty() || fontName.empty() || nFontPt < 1 || OtherModeUnderWay(MODE_TEXT)) {
        return FALSE;
    }
    INPUT_MODE m = Mode();
    m.nMode = MODE_TEXT;
    m.text = PENDING_TEXT{text, fontName, nFontPt, crText};
    m_RgnDataCtrl.BeginInputMode(m);
    return TRUE;
}

BOOL CLayeredInput::EditSelectedText(const std::u16string& text, const std::u16string& fontName, int32_t nFontPt,
                                     COLORREF crText)
{
    if (!m_bInit || !m_RgnDataCtrl.EditText(text, fontName, nFontPt, crText)) {
        return FALSE;
    }
    Post(WM_END_MAKE_SHAPE, 0, 0);
    Redraw();
    return TRUE;
}
