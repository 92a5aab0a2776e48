// Point input: the state machine that turns clicks into finished measurements
// and the calibration line.
#include "engine/RgnDataCtrl.h"

#include "engine/MeasureGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace {

RGN_DATA MakeLine(POINT a, POINT b, BOOL bSelectable, BOOL bPrimary)
{
    RGN_DATA d{};
    d.nFigure = RGN_LINE;
    d.nPointNum = 2;
    SetRgnPoint(d, 0, a);
    SetRgnPoint(d, 1, b);
    d.bSelectable = bSelectable;
    d.bPrimary = bPrimary;
    return d;
}

POINT Offset(POINT p, POINT from, POINT to)
{
    return POINT{p.x + (to.x - from.x), p.y + (to.y - from.y)};
}

int64_t SquaredDistance(POINT a, POINT b)
{
    const int64_t dx = int64_t(a.x) - b.x;
    const int64_t dy = int64_t(a.y) - b.y;
    return dx * dx + dy * dy;
}

} // namespace

bool CRgnDataCtrl::AcceptableCircle(POINT p0, POINT p1, POINT p2) const
{
    if (IsCollinear(p0, p1, p2)) {
        return false;
    }
    double cx = 0.0, cy = 0.0, r = 0.0;
    if (!CalcCircle3Points(p0, p1, p2, cx, cy, r)) {
        return false;
    }
    // A nearly straight arc has an astronomically large circle: refuse it
    // like collinear points before any of it reaches int32 coordinates.
    const double limit = FarLimit();
    return r <= limit && std::fabs(cx) <= 2.0 * limit && std::fabs(cy) <= 2.0 * limit;
}

bool CRgnDataCtrl::ZeroPerpendicular(POINT p, POINT a, POINT b) const
{
    return IsCollinear(a, b, p) || CalcPerpendicularFoot(p, a, b) == p;
}

int CRgnDataCtrl::TakePoint(POINT ptWnd, BOOL bConfirm, int nModifier, int nMaxPoints)
{
    POINT p{};
    if (!WindowToImage(ptWnd, p)) {
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
    if (!WindowToImage(ptWnd, p)) {
        // Ends the input: a later plain click must not extend an abandoned shape.
        ResetInput();
        return FALSE;
    }
    m_nState = INPUT_MAKING_SHAPE;
    m_bCalibrationDone = FALSE;
    std::memset(&m_CurShape, 0, sizeof(m_CurShape));
    std::memset(m_Points, 0, sizeof(m_Points));
    m_nSelectedID = -1;
    m_Selection.clear();
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
    const int kind = m_nMakingKind;
    // Modifiers square up a segment, but not the end points of perpendiculars.
    const int taken = TakePoint(ptWnd, bConfirm, kind != MEAS_PERPENDICULAR || m_nPointCount < 2 ? nModifier : 0,
                                MAX_INPUT_POINT);
    if (taken != TAKE_STORED) {
        return taken;
    }
    const int n = m_nPointCount;
    const POINT* P = m_Points;
    auto reject = [&]() {
        m_nPointCount = n - 1;
        return ADDPT_REJECTED;
    };
    bool bDone = false;

    switch (kind) {
    case MEAS_LENGTH:
        bDone = n == 2 && bConfirm;
        break;
    case MEAS_PARALLEL:
        if (n == 3 && bConfirm) {
            if (ZeroPerpendicular(P[2], P[0], P[1])) {
                return reject();
            }
            bDone = true;
        }
        break;
    case MEAS_CIRCLE:
    case MEAS_ARC:
        if (n == 3 && bConfirm) {
            if (!AcceptableCircle(P[0], P[1], P[2])) {
                return reject();
            }
            bDone = true;
        }
        break;
    case MEAS_2CIRCLE:
        if (n == 3 && bConfirm && !AcceptableCircle(P[0], P[1], P[2])) {
            return reject();
        }
        if (n == 6 && bConfirm) {
            if (!AcceptableCircle(P[3], P[4], P[5])) {
                return reject();
            }
            bDone = true;
        }
        break;
    case MEAS_PERPENDICULAR:
        if (bFinish && n < 3) {
            ResetInput();
            return ADDPT_ERROR;
        }
        if (bConfirm && n >= 3 && ZeroPerpendicular(P[n - 1], P[0], P[1])) {
            return reject();
        }
        bDone = bConfirm && (bFinish || n >= MAX_INPUT_POINT);
        break;
    case MEAS_POLYGON:
        if (bFinish && n < 3) {
            ResetInput();
            return ADDPT_ERROR;
        }
        if (bConfirm) {
            if (IsPolygonInvalid(P, n, bFinish != 0)) {
                return reject();
            }
            if (n < MAX_POLYGON_POINT && !bFinish) {
                return ADDPT_CONTINUE;
            }
            if (n >= MAX_POLYGON_POINT && IsPolygonInvalid(P, n, true)) {
                return reject();
            }
            bDone = n >= 3;
        }
        break;
    case MEAS_ANGLE:
        bDone = n == 3 && bConfirm;
        break;
    case MEAS_2LINE_ANGLE:
        if (n == 4 && bConfirm) {
            double x = 0.0, y = 0.0;
            const double limit = FarLimit();
            if (!CalcLineIntersection(P[0], P[1], P[2], P[3], x, y) || std::fabs(x - m_nWidth / 2.0) > limit ||
                std::fabs(y - m_nHeight / 2.0) > limit) {
                ResetInput();
                return ADDPT_ERROR;
            }
        }
        bDone = n == 5 && bConfirm;
        break;
    case MEAS_COUNT:
        bDone = bConfirm && (n >= MAX_COUNT_POINT || bFinish);
        break;
    default:
        ResetInput();
        return ADDPT_ERROR;
    }
    if (!bDone) {
        return ADDPT_CONTINUE;
    }
    const COMMIT_MARK mark = MarkCommit();
    const bool bOk = BuildFinishedShapes();
    if (!bOk) {
        Rollback(mark);
    }
    ResetInput();
    return bOk ? ADDPT_DONE : ADDPT_ERROR;
}

bool CRgnDataCtrl::BuildFinishedShapes()
{
    const POINT* P = m_Points;
    const int n = m_nPointCount;
    switch (m_nMakingKind) {
    case MEAS_LENGTH: {
        RGN_DATA line = MakeLine(P[0], P[1], TRUE, TRUE);
        if (!CalcMeasure(MEAS_LENGTH, line)) {
            return false;
        }
        AddShape(line, line.nMeasNo);
        return true;
    }
    case MEAS_PARALLEL: {
        const POINT f = CalcPerpendicularFoot(P[2], P[0], P[1]);
        RGN_DATA dist = MakeLine(P[2], f, TRUE, TRUE);
        if (!CalcMeasure(MEAS_PARALLEL, dist)) {
            return false;
        }
        const int32_t no = dist.nMeasNo;
        AddShape(dist, no);
        RGN_DATA base = MakeLine(P[0], P[1], TRUE, FALSE);
        AddShape(base, no);
        RGN_DATA para = MakeLine(Offset(P[0], f, P[2]), Offset(P[1], f, P[2]), TRUE, FALSE);
        AddShape(para, no);
        return true;
    }
    case MEAS_CIRCLE:
    case MEAS_ARC:
    case MEAS_2CIRCLE: {
        const int nCircles = m_nMakingKind == MEAS_2CIRCLE ? 2 : 1;
        RGN_DATA circles[2]{};
        double cx[2]{}, cy[2]{}, r[2]{};
        for (int c = 0; c < nCircles; ++c) {
            const POINT* q = P + 3 * c;
            if (!CalcCircle3Points(q[0], q[1], q[2], cx[c], cy[c], r[c])) {
                return false;
            }
            RGN_DATA& d = circles[c];
            d.nFigure = m_nMakingKind == MEAS_ARC ? RGN_ARC : RGN_CIRCLE;
            d.nPointNum = 6;
            const POINT centre{RoundHalfUp(cx[c]), RoundHalfUp(cy[c])};
            SetRgnPoint(d, 0, q[0]);
            SetRgnPoint(d, 1, q[1]);
            SetRgnPoint(d, 2, q[2]);
            SetRgnPoint(d, 3, POINT{RoundHalfUp(centre.x - r[c]), RoundHalfUp(centre.y - r[c])});
            SetRgnPoint(d, 4, POINT{RoundHalfUp(centre.x + r[c]), RoundHalfUp(centre.y + r[c])});
            SetRgnPoint(d, 5, centre);
            d.bSelectable = TRUE;
            d.bPrimary = TRUE;
        }
        if (nCircles == 2) {
            // The centre distance is taken between the unrounded centres.
            RGN_DATA line = MakeLine(RgnPoint(circles[0], 5), RgnPoint(circles[1], 5), TRUE, TRUE);
            const double dPixel = CalcPixelDistance(cx[1] - cx[0], cy[1] - cy[0]);
            std::vector<POINT> caption{CalcMidPoint(RgnPoint(line, 0), RgnPoint(line, 1))};
            if (!CommitMeasure(MEAS_2CIRCLE, line, dPixel, dPixel * m_dCalibration, caption)) {
                return false;
            }
            AddShape(line, line.nMeasNo);
        }
        for (int c = 0; c < nCircles; ++c) {
            if (!CalcMeasure(m_nMakingKind, circles[c])) {
                return false;
            }
            AddShape(circles[c], circles[c].nMeasNo);
        }
        return true;
    }
    case MEAS_PERPENDICULAR: {
        RGN_DATA base = MakeLine(P[0], P[1], FALSE, FALSE);
        const int32_t baseID = AddShape(base, 0);
        for (int i = 2; i < n; ++i) {
            const POINT f = CalcPerpendicularFoot(P[i], P[0], P[1]);
            RGN_DATA perp = MakeLine(P[i], f, TRUE, TRUE);
            perp.nParentID = baseID;
            if (!CalcMeasure(MEAS_PERPENDICULAR, perp)) {
                return false;
            }
            AddShape(perp, perp.nMeasNo);
            CQSRgnData* pBase = FindShape(baseID);
            if (pBase != nullptr && i - 2 < MAX_RGN_POINT) {
                pBase->m_RgnData.nChildMeasNo[i - 2] = perp.nMeasNo;
            }
        }
        return true;
    }
    case MEAS_POLYGON: {
        RGN_DATA poly{};
        poly.nFigure = RGN_POLYGON;
        poly.nPointNum = std::min(n, MAX_POLYGON_POINT);
        for (int i = 0; i < poly.nPointNum; ++i) {
            SetRgnPoint(poly, i, P[i]);
        }
        poly.bSelectable = TRUE;
        poly.bPrimary = TRUE;
        if (!CalcMeasure(MEAS_POLYGON, poly)) {
            return false;
        }
        AddShape(poly, poly.nMeasNo);
        return true;
    }
    case MEAS_ANGLE: {
        RGN_DATA calc{};
        calc.nFigure = RGN_LINE;
        calc.nPointNum = 3;
        for (int i = 0; i < 3; ++i) {
            SetRgnPoint(calc, i, P[i]);
        }
        if (!CalcMeasure(MEAS_ANGLE, calc)) {
            return false;
        }
        RGN_DATA l1 = MakeLine(P[0], P[1], TRUE, FALSE);
        AddShape(l1, calc.nMeasNo);
        RGN_DATA l2 = MakeLine(P[1], P[2], TRUE, FALSE);
        AddShape(l2, calc.nMeasNo);
        return true;
    }
    case MEAS_2LINE_ANGLE: {
        double x = 0.0, y = 0.0;
        if (!CalcLineIntersection(P[0], P[1], P[2], P[3], x, y) || !FitsInt32(x) || !FitsInt32(y)) {
            return false;
        }
        const POINT I{RoundHalfUp(x), RoundHalfUp(y)};
        const POINT A = SquaredDistance(P[1], I) > SquaredDistance(P[0], I) ? P[1] : P[0];
        const POINT B = SquaredDistance(P[3], I) > SquaredDistance(P[2], I) ? P[3] : P[2];
        RGN_DATA calc{};
        calc.nFigure = RGN_LINE;
        calc.nPointNum = 4;
        SetRgnPoint(calc, 0, A);
        SetRgnPoint(calc, 1, I);
        SetRgnPoint(calc, 2, B);
        SetRgnPoint(calc, 3, P[4]);
        if (!CalcMeasure(MEAS_2LINE_ANGLE, calc)) {
            return false;
        }
        RGN_DATA l1 = MakeLine(A, I, TRUE, FALSE);
        AddShape(l1, calc.nMeasNo);
        RGN_DATA l2 = MakeLine(B, I, TRUE, FALSE);
        AddShape(l2, calc.nMeasNo);
        return true;
    }
    case MEAS_COUNT: {
        RGN_DATA pts{};
        pts.nFigure = RGN_POINTS;
        pts.nPointNum = std::min(n, MAX_COUNT_POINT);
        for (int i = 0; i < pts.nPointNum; ++i) {
            SetRgnPoint(pts, i, P[i]);
        }
        pts.bSelectable = TRUE;
        if (!CalcMeasure(MEAS_COUNT, pts)) {
            return false;
        }
        AddShape(pts, pts.nMeasNo);
        return true;
    }
    default:
        return false;
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
    if (!WindowToImage(ptWnd, p)) {
        return FALSE; // calibration input goes on; the next click is the first point
    }
    std::memset(&m_CurShape, 0, sizeof(m_CurShape));
    m_nSelectedID = -1;
    m_Selection.clear();
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
        if (ZeroPerpendicular(m_Points[2], m_Points[0], m_Points[1])) {
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
    std::memset(&m_CurShape, 0, sizeof(m_CurShape));
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
