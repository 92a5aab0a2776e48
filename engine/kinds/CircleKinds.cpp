// Diameter, radius of an arc, and two circles with their centre distance.
#include "engine/MeasureGeometry.h"
#include "engine/kinds/MeasureKinds.h"

bool CCircleKind::Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const
{
    double cx = 0.0, cy = 0.0, r = 0.0;
    if (PointCount(shape) < 6 ||
        !CalcCircle3Points(RgnPoint(shape, 0), RgnPoint(shape, 1), RgnPoint(shape, 2), cx, cy, r)) {
        return false;
    }
    // A circle gives its diameter with the caption at the centre, an arc its
    // radius with the caption on its middle point.
    const double f = m_nFigure == RGN_CIRCLE ? 2.0 : 1.0;
    out.dPixel = f * r;
    out.dValue = f * k * r;
    out.captions.push_back(m_nFigure == RGN_CIRCLE ? RgnPoint(shape, 5) : RgnPoint(shape, 1));
    return true;
}

bool CCircleKind::MakeCircle(const POINT* q, RGN_DATA& d, double& cx, double& cy) const
{
    double r = 0.0;
    if (!CalcCircle3Points(q[0], q[1], q[2], cx, cy, r)) {
        return false;
    }
    const POINT centre{RoundHalfUp(cx), RoundHalfUp(cy)};
    const POINT corners[3] = {POINT{RoundHalfUp(centre.x - r), RoundHalfUp(centre.y - r)},
                              POINT{RoundHalfUp(centre.x + r), RoundHalfUp(centre.y + r)}, centre};
    d = MakePointRecord(m_nFigure, q, 3, TRUE);
    d.nPointNum = 6;
    for (int i = 0; i < 3; ++i) {
        SetRgnPoint(d, 3 + i, corners[i]);
    }
    return true;
}

POINT_VERDICT CCircleKind::Judge(const POINT* P, int n, bool bConfirm, bool, const KIND_LIMITS& lim) const
{
    if (n == 3 && bConfirm) {
        return IsAcceptableCircle(P[0], P[1], P[2], lim.nFarLimit) ? VERDICT_DONE : VERDICT_REJECT;
    }
    return VERDICT_CONTINUE;
}

bool CCircleKind::Build(const POINT* P, int, IShapeStore& store) const
{
    RGN_DATA circle{};
    double cx = 0.0, cy = 0.0;
    return MakeCircle(P, circle, cx, cy) && MeasureAndStore(store, m_nKind, circle);
}

void CCircleKind::Preview(const POINT* P, int n, const KIND_LIMITS&, std::vector<PREVIEW_ITEM>& out) const
{
    if (n >= 2) {
        Add(out, m_nFigure == RGN_CIRCLE ? PREVIEW_CIRCLE : PREVIEW_ARC, P[0], P[1], P[2]);
    }
    if (n >= 1) {
        Add(out, PREVIEW_MARK, P[0]);
    }
    if (n == 2) {
        Add(out, PREVIEW_MARK, P[1]);
    }
}

// ---------------------------------------------------------------------------

bool CTwoCircleKind::Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const
{
    return shape.nFigure == RGN_CIRCLE ? CCircleKind::Value(shape, k, out) : DistanceValue(shape, k, out);
}

bool CTwoCircleKind::Recalc(const RGN_DATA& primary, double k, MEASURE_DATA& row) const
{
    if (row.nFigure == RGN_LINE) {
        // Measured between unrounded centres: the pixel value stays.
        row.dValue = row.dPixelValue * k;
        return true;
    }
    return CCircleKind::Recalc(primary, k, row);
}

POINT_VERDICT CTwoCircleKind::Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS& lim) const
{
    // The first circle is judged on its third point, the second on the sixth.
    if (n == 3 && CCircleKind::Judge(P, n, bConfirm, bFinish, lim) == VERDICT_REJECT) {
        return VERDICT_REJECT;
    }
    return n == 6 ? CCircleKind::Judge(P + 3, 3, bConfirm, bFinish, lim) : VERDICT_CONTINUE;
}

bool CTwoCircleKind::Build(const POINT* P, int, IShapeStore& store) const
{
    RGN_DATA circles[2]{};
    double cx[2]{}, cy[2]{};
    for (int c = 0; c < 2; ++c) {
        if (!MakeCircle(P + 3 * c, circles[c], cx[c], cy[c])) {
            return false;
        }
    }
    // The centre distance is taken between the unrounded centres.
    RGN_DATA line = MakeLine(RgnPoint(circles[0], 5), RgnPoint(circles[1], 5), TRUE, TRUE);
    const double dPixel = CalcPixelDistance(cx[1] - cx[0], cy[1] - cy[0]);
    const std::vector<POINT> caption{CalcMidPoint(RgnPoint(line, 0), RgnPoint(line, 1))};
    if (!store.CommitValue(MEAS_2CIRCLE, line, dPixel, dPixel * store.Factor(), caption)) {
        return false;
    }
    store.StoreShape(line, line.nMeasNo);
    for (RGN_DATA& circle : circles) {
        if (!MeasureAndStore(store, MEAS_2CIRCLE, circle)) {
            return false;
        }
    }
    return true;
}

void CTwoCircleKind::Preview(const POINT* P, int n, const KIND_LIMITS&, std::vector<PREVIEW_ITEM>& out) const
{
    if (n >= 2) {
        Add(out, PREVIEW_CIRCLE, P[0], P[1], P[2]);
    }
    if (n >= 5) {
        Add(out, PREVIEW_CIRCLE, P[3], P[4], P[5]);
    }
    if (n >= 1 && n <= 2) {
        Add(out, PREVIEW_MARK, P[0]);
    }
    if (n == 2) {
        Add(out, PREVIEW_MARK, P[1]);
    }
    if (n > 3) {
        Add(out, PREVIEW_MARK, P[3]);
    }
    if (n == 5) {
        Add(out, PREVIEW_MARK, P[4]);
    }
}
