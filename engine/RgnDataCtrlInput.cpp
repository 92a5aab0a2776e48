// Point input: the state machine that turns clicks into finished measurements
// and the calibration line.
#include "engine/RgnDataCtrl.h"

#include "engine/MeasureGeometry.h"

#include <cstring>

int CRgnDataCtrl::TakePoint(POINT ptWnd, BOOL bConfirm, int nModifier, int nMaxPoints)
{
    POINT p{};
    if (!InputToImage(ptWnd, p)) {
        return ADDPT_CONTINUE; // outside the image: ignored
    }
    if (m_nPointCount > 0) {
        if (nModifier == MODIFIER_SHIFT) {
            p.x = m_Points[m_nPointCount - 1].x;
        } else if (nModifier == MODIFIER_CTRL) {
            p.y = m_Points[m_nPointCount - 1].y;
        }
    }
    if (m_nPointCount >= nMaxPoints) {
        ResetInput();
        return ADDPT_ERROR;
    }
    m_Points[m_nPointCount] = p; // the provisional point, or the next confirmed one
    if (bConfirm) {
        for (int i = 0; i < m_nPointCount; ++i) {
            if (m_Points[i] == p) {
                return ADDPT_REJECTED;
            }
        }
        ++m_nPointCount;
    }
    return TAKE_STORED;
}

BOOL CRgnDataCtrl::StartShape(int32_t nKind, POINT ptWnd)
{
    // A shape whose every point was undone starts again from its first point.
    const bool bRestart = m_nState == INPUT_MAKING_SHAPE && m_nPointCount == 0;
    if (!HasDrawWindow() || !m_bCalibrationValid ||
        (m_nState != INPUT_IDLE && m_nState != INPUT_SELECTED && !bRestart) || nKind < MEAS_LENGTH ||
        nKind > MEAS_COUNT) {
        return FALSE;
    }
    POINT p{};
    if (!InputToImage(ptWnd, p)) {
        // Ends the input: a later plain click must not extend an abandoned shape.
        ResetInput();
        return FALSE;
    }
    m_nState = INPUT_MAKING_SHAPE;
    m_bCalibrationDone = FALSE;
    std::memset(m_Points, 0, sizeof(m_Points));
    ClearSelection();
    m_nMakingKind = nKind;
    m_Points[0] = p;
    m_nPointCount = 1;
    return TRUE;
}

int CRgnDataCtrl::AddPoint(POINT ptWnd, BOOL bConfirm, int nModifier, BOOL bFinish)
{
    if (!HasDrawWindow() || m_nState != INPUT_MAKING_SHAPE) {
        if (m_nState == INPUT_MAKING_SHAPE) {
            ResetInput();
        }
        return ADDPT_ERROR;
    }
    const CMeasureKind* pKind = FindMeasureKind(m_nMakingKind);
    if (pKind == nullptr) {
        ResetInput();
        return ADDPT_ERROR;
    }
    const int taken = TakePoint(ptWnd, bConfirm, pKind->SquaresUp(m_nPointCount) ? nModifier : MODIFIER_NONE,
                                MAX_INPUT_POINT);
    if (taken != TAKE_STORED) {
        return taken;
    }
    switch (pKind->Judge(m_Points, m_nPointCount, bConfirm != 0, bFinish != 0, Limits())) {
    case VERDICT_CONTINUE:
        return ADDPT_CONTINUE;
    case VERDICT_REJECT:
        --m_nPointCount;
        return ADDPT_REJECTED;
    case VERDICT_ABORT:
        ResetInput();
        return ADDPT_ERROR;
    case VERDICT_DONE:
        break;
    }
    const COMMIT_MARK mark = MarkCommit();
    const bool bOk = pKind->Build(m_Points, m_nPointCount, *this);
    if (!bOk) {
        Rollback(mark);
    }
    ResetInput();
    return bOk ? ADDPT_DONE : ADDPT_ERROR;
}

void CRgnDataCtrl::GetPreview(std::vector<PREVIEW_ITEM>& out) const
{
    out.clear();
    const CMeasureKind* pKind = FindMeasureKind(m_nMakingKind);
    if (m_nState == INPUT_MAKING_SHAPE && pKind != nullptr) {
        pKind->Preview(m_Points, m_nPointCount, Limits(), out);
    }
}

BOOL CRgnDataCtrl::StartCalibrationLine(int32_t nSetPointKind, POINT ptWnd)
{
    if (!HasDrawWindow() || (m_nState != INPUT_IDLE && m_nState != INPUT_SELECTED)) {
        return FALSE;
    }
    m_nState = INPUT_CALIBRATION;
    m_bCalibrationDone = FALSE;
    m_nMakingKind = nSetPointKind;
    std::memset(m_Points, 0, sizeof(m_Points));
    m_nPointCount = 0;
    POINT p{};
    if (!InputToImage(ptWnd, p)) {
        return FALSE; // calibration input goes on; the next click is the first point
    }
    ClearSelection();
    m_Points[0] = p;
    m_nPointCount = 1;
    return TRUE;
}

int CRgnDataCtrl::AddCalibrationPoint(POINT ptWnd, BOOL bConfirm, int nModifier, double& dPixelLength)
{
    dPixelLength = 0.0;
    if (!HasDrawWindow() || m_nState != INPUT_CALIBRATION) {
        return ADDPT_ERROR;
    }
    if (m_nMakingKind != 0 && m_nMakingKind != 1) {
        ResetInput();
        return ADDPT_ERROR;
    }
    // A double click must not give a reference line of length 0: duplicates are refused.
    const int taken = TakePoint(ptWnd, bConfirm, nModifier, 3);
    if (taken != TAKE_STORED) {
        return taken;
    }
    const int n = m_nPointCount;
    if (m_nMakingKind == 0 && n == 2 && bConfirm) {
        dPixelLength = CalcPixelDistance(double(m_Points[1].x) - m_Points[0].x, double(m_Points[1].y) - m_Points[0].y);
        m_nState = INPUT_IDLE;
        m_bCalibrationDone = TRUE;
        return ADDPT_DONE;
    }
    if (m_nMakingKind == 1 && n == 3 && bConfirm) {
        if (IsZeroPerpendicular(m_Points[2], m_Points[0], m_Points[1])) {
            m_nPointCount = 2;
            return ADDPT_REJECTED;
        }
        const POINT f = CalcPerpendicularFoot(m_Points[2], m_Points[0], m_Points[1]);
        dPixelLength = CalcPixelDistance(double(m_Points[2].x) - f.x, double(m_Points[2].y) - f.y);
        m_nState = INPUT_IDLE;
        m_bCalibrationDone = TRUE;
        return ADDPT_DONE;
    }
    return ADDPT_CONTINUE;
}

void CRgnDataCtrl::ResetInput()
{
    m_bCalibrationDone = FALSE;
    std::memset(m_Points, 0, sizeof(m_Points));
    m_nPointCount = 0;
    m_nState = INPUT_IDLE;
}

BOOL CRgnDataCtrl::Cancel()
{
    if (m_nState == INPUT_MAKING_SHAPE || m_nState == INPUT_CALIBRATION) {
        ResetInput();
        return TRUE;
    }
    if (m_nState == INPUT_MAKING_CROSS) {
        ClearCrossLines();
        m_nState = INPUT_IDLE;
        return TRUE;
    }
    return FALSE;
}

BOOL CRgnDataCtrl::UndoLastPoint()
{
    if (m_nState != INPUT_MAKING_SHAPE || m_nPointCount < 1) {
        return FALSE;
    }
    m_Points[m_nPointCount] = POINT{0, 0};
    --m_nPointCount;
    return TRUE;
}

