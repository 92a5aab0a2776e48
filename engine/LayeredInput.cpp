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

void CLayeredInput::EndShapeInput()
{
    m_bMakingShape = FALSE;
    m_bMakingCrossLine = FALSE;
}

void CLayeredInput::OnLButtonDown(UINT nFlags, POINT pt)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    const int mod = ModifierOf(nFlags);
    if (m_bCalibration) {
        if (m_nClickCount == 0) {
            if (!eng.StartCalibrationLine(m_nCalibKind, pt)) {
                Post(WM_ERROR_MAKE_SHAPE, 0, 0);
                EndShapeInput();
            }
        } else {
            double len = 0.0;
            const int r = eng.AddCalibrationPoint(pt, TRUE, mod, len);
            if (r == ADDPT_DONE) {
                m_dCalibPixelLength = len;
                Post(WM_END_SET_CALIBRATION, 0, 0);
                m_bCalibration = FALSE;
            } else if (r == ADDPT_REJECTED) {
                Post(WM_INVALID_SET_POINT, 0, 0);
                --m_nClickCount;
            } else if (r == ADDPT_ERROR) {
                m_nClickCount = 0;
                m_bCalibration = FALSE;
                Post(WM_ERROR_SET_CALIBRATION, 0, 0);
                Post(WM_ERROR_MAKE_SHAPE, 0, 0);
            }
        }
        ++m_nClickCount;
    } else if (m_bMakingShape) {
        if (m_nClickCount == 0) {
            if (!eng.StartShape(m_nKind, pt)) {
                Post(WM_ERROR_MAKE_SHAPE, 0, 0);
                EndShapeInput();
            }
        } else {
            const int r = eng.AddPoint(pt, TRUE, mod, FALSE);
            if (eng.GetInputState() == INPUT_MAKING_SHAPE) {
                Post(WM_MAKING_RGN_DISP_CAPTION, WPARAM(m_nKind), LPARAM(eng.GetPointCount()));
            }
            if (r == ADDPT_DONE) {
                Post(WM_END_MAKE_SHAPE, 0, 0);
                m_bMakingShape = FALSE;
            } else if (r == ADDPT_REJECTED) {
                Post(WM_INVALID_SET_POINT, 0, 0);
                --m_nClickCount;
            } else if (r == ADDPT_ERROR) {
                Post(WM_ERROR_MAKE_SHAPE, 0, 0);
                EndShapeInput();
            }
        }
        ++m_nClickCount;
    } else if (m_bMakingCrossLine) {
        OnCrossClick(pt);
    } else if (m_bPlacingText) {
        const BOOL bOk = eng.AddText(m_PendingText, pt, m_PendingFont, m_nPendingPt, m_crPending);
        Post(bOk ? WM_END_MAKE_SHAPE : WM_ERROR_MAKE_SHAPE, 0, 0);
        m_bPlacingText = FALSE;
    } else {
        eng.SelectAt(pt);
        std::vector<int32_t> selected;
        eng.GetSelectedMeasNo(selected);
        Post(WM_SELECT_MEASURE_SHAPE, WPARAM(intptr_t(selected.empty() ? -1 : selected[0])), 1);
    }
    Redraw();
}

void CLayeredInput::OnRButtonDown(UINT nFlags, POINT pt)
{
    (void)nFlags;
    if (!m_bMakingShape || (m_nKind != MEAS_PERPENDICULAR && m_nKind != MEAS_POLYGON && m_nKind != MEAS_COUNT)) {
        return;
    }
    m_bMakingShape = FALSE;
    const int r = m_RgnDataCtrl.AddPoint(pt, TRUE, MODIFIER_NONE, TRUE);
    if (r == ADDPT_REJECTED) {
        Post(WM_INVALID_SET_POINT, 0, 0);
        m_bMakingShape = TRUE;
    } else if (r == ADDPT_DONE) {
        Post(WM_END_MAKE_SHAPE, 0, 0);
    } else {
        // The input is over: leave no half-made shape behind in the engine.
        if (m_RgnDataCtrl.GetInputState() == INPUT_MAKING_SHAPE) {
            m_RgnDataCtrl.ResetInput();
        }
        Post(WM_ERROR_MAKE_SHAPE, 0, 0);
    }
    Redraw();
}

void CLayeredInput::OnMouseMove(UINT nFlags, POINT pt)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    const int mod = ModifierOf(nFlags);
    if (m_bCalibration && m_nClickCount >= 1) {
        double len = 0.0;
        if (eng.AddCalibrationPoint(pt, FALSE, mod, len) == ADDPT_ERROR) {
            m_bCalibration = FALSE;
            m_nClickCount = 0;
            Post(WM_ERROR_SET_CALIBRATION, 0, 0);
            Post(WM_ERROR_MAKE_SHAPE, 0, 0);
        }
        Redraw();
    } else if (m_bMakingShape && m_nClickCount >= 1) {
        if (eng.AddPoint(pt, FALSE, mod, FALSE) == ADDPT_ERROR) {
            m_bMakingShape = FALSE;
            m_nClickCount = 0;
            Post(WM_ERROR_MAKE_SHAPE, 0, 0);
        }
        Redraw();
    } else if (m_bMakingCrossLine) {
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
    if (!m_bInit || !m_RgnDataCtrl.IsCalibrationValid() || m_bMakingCrossLine || m_bPlacingText || m_bCalibration ||
        nKind < MEAS_LENGTH || nKind > MEAS_COUNT) {
        return FALSE;
    }
    m_nKind = nKind;
    m_nClickCount = 0;
    m_bMakingShape = TRUE;
    return TRUE;
}

BOOL CLayeredInput::StartCalibrationInput(int32_t nSetPointKind)
{
    if (!m_bInit || !m_RgnDataCtrl.HasDrawWindow() || m_bMakingShape || m_bMakingCrossLine || m_bPlacingText) {
        return FALSE;
    }
    m_nCalibKind = nSetPointKind;
    m_nClickCount = 0;
    m_dCalibPixelLength = 0.0;
    m_bCalibration = TRUE;
    return TRUE;
}

BOOL CLayeredInput::UndoLastPoint()
{
    if (m_bMakingShape) {
        if (!m_RgnDataCtrl.UndoLastPoint()) {
            return FALSE;
        }
        if (m_nClickCount > 0) {
            --m_nClickCount;
        }
        Post(WM_MAKING_RGN_DISP_CAPTION, WPARAM(m_nKind), LPARAM(m_RgnDataCtrl.GetPointCount()));
        Redraw();
        return TRUE;
    }
    if (m_bMakingCrossLine) {
        if (m_nClickCount > 0) {
            --m_nClickCount;
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
    m_bMakingShape = FALSE;
    m_bMakingCrossLine = FALSE;
    m_bPlacingText = FALSE;
    m_bCalibration = FALSE;
    m_nClickCount = 0;
    Redraw();
    return TRUE;
}

// ---------------------------------------------------------------------------
// Cross lines

BOOL CLayeredInput::StartCrossLineInput(int nHorzNum, int nVertNum, BOOL bSeparate)
{
    if (!m_bInit || nHorzNum < 0 || nVertNum < 0 || nHorzNum > MAX_CROSS_LINE || nVertNum > MAX_CROSS_LINE ||
        (nHorzNum == 0 && nVertNum == 0) || m_bMakingShape || m_bPlacingText || m_bCalibration) {
        return FALSE;
    }
    m_nCrossHorzNum = nHorzNum;
    m_nCrossVertNum = nVertNum;
    m_bCrossSeparate = bSeparate;
    m_nClickCount = 0;
    m_bMakingCrossLine = TRUE;
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
    m_bMakingCrossLine = FALSE;
    m_nClickCount = 0;
    Post(WM_END_MAKE_SHAPE, 1, 0);
}

void CLayeredInput::OnCrossClick(POINT pt)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    POINT p = pt;
    bool bLast = false;
    bool bVertDone = false;
    if (!m_bCrossSeparate) {
        if (pt.x < 1 || pt.y < 1) {
            return;
        }
        const int total = m_nCrossVertNum > 0 ? m_nCrossVertNum : m_nCrossHorzNum;
        bLast = m_nClickCount + 1 >= total;
    } else if (m_nClickCount < m_nCrossVertNum) {
        if (pt.x < 1) {
            return;
        }
        p = POINT{pt.x, 0};
        bVertDone = m_nClickCount + 1 == m_nCrossVertNum;
        bLast = bVertDone && m_nCrossHorzNum == 0;
    } else {
        if (pt.y < 1) {
            return;
        }
        p = POINT{0, pt.y};
        bLast = m_nClickCount + 1 - m_nCrossVertNum >= m_nCrossHorzNum;
    }
    const BOOL bOk = m_nClickCount == 0 ? eng.StartCrossLine(p, TRUE, bLast) : eng.AddCrossLinePoint(p, TRUE, bLast);
    if (!bOk) {
        m_bMakingCrossLine = FALSE;
        m_nClickCount = 0;
        Post(WM_ERROR_MAKE_SHAPE, 0, 0);
        return;
    }
    ++m_nClickCount;
    if (bLast) {
        FinishCrossInput();
    } else if (bVertDone) {
        Post(WM_MAKING_CROSSLINE_DISP_CAPTION, WPARAM(IDS_CROSS_HORZ_PROMPT), 0);
    }
}

void CLayeredInput::OnCrossMove(POINT pt)
{
    CRgnDataCtrl& eng = m_RgnDataCtrl;
    POINT p = pt;
    if (m_bCrossSeparate) {
        p = m_nClickCount < m_nCrossVertNum ? POINT{pt.x, 0} : POINT{0, pt.y};
    }
    const BOOL bOk = m_nClickCount == 0 ? eng.StartCrossLine(p, FALSE, FALSE) : eng.AddCrossLinePoint(p, FALSE, FALSE);
    if (!bOk) {
        m_bMakingCrossLine = FALSE;
        m_nClickCount = 0;
        Post(WM_ERROR_MAKE_SHAPE, 0, 0);
    }
}

// ---------------------------------------------------------------------------
// Text

BOOL CLayeredInput::SetTextToPlace(const std::u16string& text, const std::u16string& fontName, int32_t nFontPt,
                                   COLORREF crText)
{
    if (!m_bInit || text.empty() || fontName.empty() || nFontPt < 1 || m_bMakingShape || m_bMakingCrossLine ||
        m_bCalibration) {
        return FALSE;
    }
    m_PendingText = text;
    m_PendingFont = fontName;
    m_nPendingPt = nFontPt;
    m_crPending = crText;
    m_bPlacingText = TRUE;
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
