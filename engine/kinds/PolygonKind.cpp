// The area inside a polygon of up to twenty vertices.
#include "engine/MeasureGeometry.h"
#include "engine/kinds/MeasureKinds.h"

#include <algorithm>

bool CPolygonKind::Value(const RGN_DATA& shape, double k, MEASURE_VALUE& out) const
{
    const int n = PointCount(shape);
    if (n < 3) {
        return false;
    }
    POINT pts[MAX_RGN_POINT];
    for (int i = 0; i < n; ++i) {
        pts[i] = RgnPoint(shape, i);
    }
    const int64_t a2 = CalcPolygonArea2(pts, n);
    out.dPixel = double(a2 < 0 ? -a2 : a2) / 2.0;
    out.dValue = CalcPolygonCalibArea(pts, n, k);
    out.captions.push_back(pts[n - 1]);
    return true;
}

POINT_VERDICT CPolygonKind::Judge(const POINT* P, int n, bool bConfirm, bool bFinish, const KIND_LIMITS&) const
{
    if (bFinish && n < 3) {
        return VERDICT_ABORT;
    }
    if (!bConfirm) {
        return VERDICT_CONTINUE;
    }
    if (IsPolygonInvalid(P, n, bFinish)) {
        return VERDICT_REJECT;
    }
    if (n < MAX_POLYGON_POINT && !bFinish) {
        return VERDICT_CONTINUE;
    }
    // The last vertex closes the polygon by itself.
    if (n >= MAX_POLYGON_POINT && IsPolygonInvalid(P, n, true)) {
        return VERDICT_REJECT;
    }
    return n >= 3 ? VERDICT_DONE : VERDICT_CONTINUE;
}

bool CPolygonKind::Build(const POINT* P, int n, IShapeStore& store) const
{
    RGN_DATA poly = MakePointRecord(RGN_POLYGON, P, std::min(n, MAX_POLYGON_POINT), TRUE);
    return MeasureAndStore(store, MEAS_POLYGON, poly);
}

void CPolygonKind::Preview(const POINT* P, int n, const KIND_LIMITS&, std::vector<PREVIEW_ITEM>& out) const
{
    for (int i = 0; i < n && i + 1 < MAX_INPUT_POINT; ++i) {
        Add(out, PREVIEW_SEGMENT, P[i], P[i + 1]);
    }
}
