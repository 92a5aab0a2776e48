// Counting points, and placed text annotations.
#include "engine/kinds/MeasureKinds.h"

#include <algorithm>

bool CCountKind::Value(const RGN_DATA& shape, double, MEASURE_VALUE& out) const
{
    const int n = PointCount(shape);
    if (n < 1) {
        return false;
    }
    out.dValue = n;
    for (int i = 0; i < n; ++i) {
        out.captions.push_back(RgnPoint(shape, i));
    }
    return true;
}

POINT_VERDICT CCountKind::Judge(const POINT*, int n, bool bConfirm, bool bFinish, const KIND_LIMITS&) const
{
    return bConfirm && (n >= MAX_COUNT_POINT || bFinish) ? VERDICT_DONE : VERDICT_CONTINUE;
}

bool CCountKind::Build(const POINT* P, int n, IShapeStore& store) const
{
    RGN_DATA pts = MakePointRecord(RGN_POINTS, P, std::min(n, MAX_COUNT_POINT), FALSE);
    return MeasureAndStore(store, MEAS_COUNT, pts);
}

void CCountKind::Preview(const POINT* P, int n, const KIND_LIMITS&, std::vector<PREVIEW_ITEM>& out) const
{
    for (int i = 0; i < n; ++i) {
        Add(out, PREVIEW_SQUARE, P[i]);
    }
}

// ---------------------------------------------------------------------------

POINT_VERDICT CTextKind::Judge(const POINT*, int, bool, bool, const KIND_LIMITS&) const
{
    return VERDICT_ABORT;
}

bool CTextKind::Build(const POINT*, int, IShapeStore&) const
{
    return false;
}

void CTextKind::Preview(const POINT*, int, const KIND_LIMITS&, std::vector<PREVIEW_ITEM>&) const {}
