// Length, parallel distance and perpendiculars: a distance between two points.
#include "engine/MeasureGeometry.h"
#include "engine/kinds/MeasureKinds.h"

namespace {

POINT Offset(POINT p, POINT from, POINT to)
{
    return POINT{p.x + (to.x - from.x), p.y + (to.y - from.y)};
}

} // namespace

bool CDistanceKind::Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const
{
    return DistanceValue(shape, k, out);
}

// ---------------------------------------------------------------------------

POINT_VERDICT CLengthKind::Judge(const POINT*, int n, bool bConfirm, bool, const KIND_LIMITS&) const
{
    return n == 2 && bConfirm ? VERDICT_DONE : VERDICT_CONTINUE;
}

bool CLengthKind::Build(const POINT* P, int, IShapeStore& store) const
{
    RGN_DATA line = MakeLine(P[0], P[1], TRUE, TRUE);
    return MeasureAndStore(store, MEAS_LENGTH, line);
}

void CLengthKind::Preview(const POINT* P, int n, const KIND_LIMITS&, std::vector<PREVIEW_ITEM>& out) const
{
    if (n == 1) {
        Add(out, PREVIEW_SEGMENT, P[0], P[1]);
    }
}

// ---------------------------------------------------------------------------

POINT_VERDICT CParallelKind::Judge(const POINT* P, int n, bool bConfirm, bool, const KIND_LIMITS&) const
{
    if (n == 3 && bConfirm) {
        return IsZeroPerpendicular(P[2], P[0], P[1]) ? VERDICT_REJECT : VERDICT_DONE;
    }
    return VERDICT_CONTINUE;
}

bool CParallelKind::Build(const POINT* P, int, IShapeStore& store) const
{
    const POINT f = CalcPerpendicularFoot(P[2], P[0], P[1]);
    RGN_DATA dist = MakeLine(P[2], f, TRUE, TRUE);
    if (!store.MeasureShape(MEAS_PARALLEL, dist)) {
        return false;
    }
    const int32_t no = dist.nMeasNo;
    store.StoreShape(dist, no);
    RGN_DATA base = MakeLine(P[0], P[1], TRUE, FALSE);
    store.StoreShape(base, no);
    RGN_DATA para = MakeLine(Offset(P[0], f, P[2]), Offset(P[1], f, P[2]), TRUE, FALSE);
    store.StoreShape(para, no);
    return true;
}

void CParallelKind::Preview(const POINT* P, int n, const KIND_LIMITS&, std::vector<PREVIEW_ITEM>& out) const
{
    if (n >= 1) {
        Add(out, PREVIEW_SEGMENT, P[0], P[1]);
    }
    if (n == 2) {
        PreviewPerpendicular(P[0], P[1], P[2], true, out);
    }
}

// ---------------------------------------------------------------------------

POINT_VERDICT CPerpendicularKind::Judge(const POINT* P, int n, bool bConfirm, bool bFinish,
                                        const KIND_LIMITS&) const
{
    if (bFinish && n < 3) {
        return VERDICT_ABORT;
    }
    if (bConfirm && n >= 3 && IsZeroPerpendicular(P[n - 1], P[0], P[1])) {
        return VERDICT_REJECT;
    }
    return bConfirm && (bFinish || n >= MAX_INPUT_POINT) ? VERDICT_DONE : VERDICT_CONTINUE;
}

bool CPerpendicularKind::Build(const POINT* P, int n, IShapeStore& store) const
{
    RGN_DATA base = MakeLine(P[0], P[1], FALSE, FALSE);
    const int32_t baseID = store.StoreShape(base, 0);
    for (int i = 2; i < n; ++i) {
        const POINT f = CalcPerpendicularFoot(P[i], P[0], P[1]);
        RGN_DATA perp = MakeLine(P[i], f, TRUE, TRUE);
        perp.nParentID = baseID;
        if (!store.MeasureShape(MEAS_PERPENDICULAR, perp)) {
            return false;
        }
        store.StoreShape(perp, perp.nMeasNo);
        if (i - 2 < MAX_RGN_POINT) {
            store.LinkChild(baseID, i - 2, perp.nMeasNo);
        }
    }
    return true;
}

void CPerpendicularKind::Preview(const POINT* P, int n, const KIND_LIMITS&, std::vector<PREVIEW_ITEM>& out) const
{
    if (n >= 1) {
        Add(out, PREVIEW_SEGMENT, P[0], P[1]);
    }
    for (int i = 2; i <= n && i < MAX_INPUT_POINT; ++i) {
        PreviewPerpendicular(P[0], P[1], P[i], false, out);
    }
}
