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

void CLayeredInput::OnCalibrationClick(POINT pt, int nModifier)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    if (Mode().nClicks == 0) {
        if (!eng.StartCalibrationLine(Mode().nCalibKind, pt)) {
            // Calibration goes on: a click outside the image is followed by the first point.
            Post(WM_ERROR_MAKE_SHAPE, 0, 0);
        }
    } else {
        double len = 0.0;
        const int r = eng.AddCalibrationPoint(pt, TRUE, nModifier, len);
        if (r == ADDPT_DONE) {
            eng.SetCalibrationPixelLength(len);
            Post(WM_END_SET_CALIBRATION, 0, 0);
            eng.EndInputMode();
        } else {
            ReportRefusal(r, true);
        }
    }
    eng.CountClick(1);
}

void CLayeredInput::OnShapeClick(POINT pt, int nModifier)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    const int32_t kind = Mode().nKind;
    if (Mode().nClicks == 0) {
        if (!eng.StartShape(kind, pt)) {
            Post(WM_ERROR_MAKE_SHAPE, 0, 0);
            eng.EndInputMode();
        }
    } else {
        const int r = eng.AddPoint(pt, TRUE, nModifier, FALSE);
        if (eng.GetInputState() == INPUT_MAKING_SHAPE) {
            Post(WM_MAKING_RGN_DISP_CAPTION, WPARAM(kind), LPARAM(eng.GetPointCount()));
        }
        if (r == ADDPT_DONE) {
            Post(WM_END_MAKE_SHAPE, 0, 0);
            eng.EndInputMode();
        } else {
            ReportRefusal(r, false);
        }
    }
    eng.CountClick(1);
}

void CLayeredInput::OnLButtonDown(UINT nFlags, POINT pt)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    switch (Mode().nMode) {
    case MODE_CALIBRATION:
        OnCalibrationClick(pt, ModifierOf(nFlags));
        break;
    case MODE_SHAPE:
        OnShapeClick(pt, ModifierOf(nFlags));
        break;
    case MODE_CROSS_LINE:
        OnCrossClick(pt);
        break;
    case MODE_TEXT: {
        const INPUT_MODE& m = Mode();
        const BOOL bOk = eng.AddText(m.text, pt, m.fontName, m.nFontPt, m.crText);
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
    const int32_t kind = Mode().nKind;
    if (!IsMakingShape() || (kind != MEAS_PERPENDICULAR && kind != MEAS_POLYGON && kind != MEAS_COUNT)) {
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
    const int mode = Mode().nMode;
    if (!m_bInit || !m_RgnDataCtrl.IsCalibrationValid() || mode == MODE_CROSS_LINE || mode == MODE_TEXT ||
        mode == MODE_CALIBRATION || nKind < MEAS_LENGTH || nKind > MEAS_COUNT) {
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
    const int mode = Mode().nMode;
    if (!m_bInit || !m_RgnDataCtrl.HasDrawWindow() || mode == MODE_SHAPE || mode == MODE_CROSS_LINE ||
        mode == MODE_TEXT) {
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
    const int mode = Mode().nMode;
    if (!m_bInit || nHorzNum < 0 || nVertNum < 0 || nHorzNum > MAX_CROSS_LINE || nVertNum > MAX_CROSS_LINE ||
        (nHorzNum == 0 && nVertNum == 0) || mode == MODE_SHAPE || mode == MODE_TEXT || mode == MODE_CALIBRATION) {
        return FALSE;
    }
    INPUT_MODE m = Mode();
    m.nMode = MODE_CROSS_LINE;
    m.nCrossHorz = nHorzNum;
    m.nCrossVert = nVertNum;
    m.bCrossSeparate = bSeparate;
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
    const INPUT_MODE& m = Mode();
    const int clicks = m.nClicks;
    POINT p = pt;
    bool bLast = false;
    bool bVertDone = false;
    if (!m.bCrossSeparate) {
        if (pt.x < 1 || pt.y < 1) {
            return;
        }
        const int total = m.nCrossVert > 0 ? m.nCrossVert : m.nCrossHorz;
        bLast = clicks + 1 >= total;
    } else if (clicks < m.nCrossVert) {
        if (pt.x < 1) {
            return;
        }
        p = POINT{pt.x, 0};
        bVertDone = clicks + 1 == m.nCrossVert;
        bLast = bVertDone && m.nCrossHorz == 0;
    } else {
        if (pt.y < 1) {
            return;
        }
        p = POINT{0, pt.y};
        bLast = clicks + 1 - m.nCrossVert >= m.nCrossHorz;
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
    if (m.bCrossSeparate) {
        p = m.nClicks < m.nCrossVert ? POINT{pt.x, 0} : POINT{0, pt.y};
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
    const int mode = Mode().nMode;
    if (!m_bInit || text.empty() || fontName.empty() || nFontPt < 1 || mode == MODE_SHAPE ||
        mode == MODE_CROSS_LINE || mode == MODE_CALIBRATION) {
        return FALSE;
    }
    INPUT_MODE m = Mode();
    m.nMode = MODE_TEXT;
    m.text = text;
    m.fontName = fontName;
    m.nFontPt = nFontPt;
    m.crText = crText;
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
