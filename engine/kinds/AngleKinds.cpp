// The angle at a vertex and the angle between two lines.
#include "engine/MeasureGeometry.h"
#include "engine/kinds/MeasureKinds.h"

#include <cmath>

namespace {

int64_t SquaredDistance(POINT a, POINT b)
{
    const int64_t dx = int64_t(a.x) - b.x;
    const int64_t dy = int64_t(a.y) - b.y;
    return dx * dx + dy * dy;
}

} // namespace

bool CAngleKind::Value(const RGN_DATA& shape, double, MEASURE_VALUE& out) const
{
    if (PointCount(shape) < 3) {
        return false;
    }
    out.dValue = CalcAngle(RgnPoint(shape, 0), RgnPoint(shape, 1), RgnPoint(shape, 2));
    out.captions.push_back(RgnPoint(shape, 1));
    return true;
}

POINT_VERDICT CAngleKind::Judge(const POINT*, int n, bool bConfirm, bool, const KIND_LIMITS&) const
{
    return n == 3 && bConfirm ? VERDICT_DONE : VERDICT_CONTINUE;
}

bool CAngleKind::Build(const POINT* P, int, IShapeStore& store) const
{
    // The value is taken from the three points; the two legs carry its number.
    RGN_DATA calc{};
    calc.nFigure = RGN_LINE;
    calc.nPointNum = 3;
    for (int i = 0; i < 3; ++i) {
        SetRgnPoint(calc, i, P[i]);
    }
    if (!store.MeasureShape(MEAS_ANGLE, calc)) {
        return false;
    }
    RGN_DATA l1 = MakeLine(P[0], P[1], TRUE, FALSE);
    store.StoreShape(l1, calc.nMeasNo);
    RGN_DATA l2 = MakeLine(P[1], P[2], TRUE, FALSE);
    store.StoreShape(l2, calc.nMeasNo);
    return true;
}

void CAngleKind::Preview(const POINT* P, int n, const KIND_LIMITS&, std::vector<PREVIEW_ITEM>& out) const
{
    if (n >= 1) {
        Add(out, PREVIEW_SEGMENT, P[0], P[1]);
    }
    if (n == 2) {
        Add(out, PREVIEW_SEGMENT, P[1], P[2]);
    }
}

// ---------------------------------------------------------------------------

bool CTwoLineAngleKind::Value(const RGN_DATA& shape, double, MEASURE_VALUE& out) const
{
    if (PointCount(shape) < 4) {
        return false;
    }
    out.dValue = CalcTwoLineAngle(RgnPoint(shape, 0), RgnPoint(shape, 1), RgnPoint(shape, 2), RgnPoint(shape, 3));
    out.captions.push_back(RgnPoint(shape, 1));
    return true;
}

POINT_VERDICT CTwoLineAngleKind::Judge(const POINT* P, int n, bool bConfirm, bool, const KIND_LIMITS& lim) const
{
    if (n == 4 && bConfirm) {
        // Lines meeting nowhere, or too far away to be drawn, end the input.
        double x = 0.0, y = 0.0;
        const double limit = lim.nFarLimit;
        if (!CalcLineIntersection(P[0], P[1], P[2], P[3], x, y) || std::fabs(x - lim.nWidth / 2.0) > limit ||
            std::fabs(y - lim.nHeight / 2.0) > limit) {
            return VERDICT_ABORT;
        }
    }
    return n == 5 && bConfirm ? VERDICT_DONE : VERDICT_CONTINUE;
}

bool CTwoLineAngleKind::Build(const POINT* P, int, IShapeStore& store) const
{
    double x = 0.0, y = 0.0;
    if (!CalcLineIntersection(P[0], P[1], P[2], P[3], x, y) || !FitsInt32(x) || !FitsInt32(y)) {
        return false;
    }
    // Each line is kept from the intersection to its end further away.
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
    if (!store.MeasureShape(MEAS_2LINE_ANGLE, calc)) {
        return false;
    }
    RGN_DATA l1 = MakeLine(A, I, TRUE, FALSE);
    store.StoreShape(l1, calc.nMeasNo);
    RGN_DATA l2 = MakeLine(B, I, TRUE, FALSE);
    store.StoreShape(l2, calc.nMeasNo);
    return true;
}

void CTwoLineAngleKind::Preview(const POINT* P, int n, const KIND_LIMITS& lim, std::vector<PREVIEW_ITEM>& out) const
{
    if (n >= 1 && n <= 3) {
        Add(out, PREVIEW_SEGMENT, P[0], P[1]);
    }
    if (n == 3) {
        Add(out, PREVIEW_SEGMENT, P[2], P[3]);
    }
    if (n < 4) {
        return;
    }
    double x = 0, y = 0;
    if (CalcLineIntersection(P[0], P[1], P[2], P[3], x, y) && FitsInt32(x) && FitsInt32(y) &&
        std::fabs(x) < lim.nFarLimit && std::fabs(y) < lim.nFarLimit) {
        const POINT I{RoundHalfUp(x), RoundHalfUp(y)};
        auto far = [&](POINT a, POINT b) {
            const double da = std::hypot(double(a.x) - I.x, double(a.y) - I.y);
            const double db = std::hypot(double(b.x) - I.x, double(b.y) - I.y);
            return db > da ? b : a;
        };
        Add(out, PREVIEW_LINE, far(P[0], P[1]), I);
        Add(out, PREVIEW_LINE, I, far(P[2], P[3]));
    }
}
