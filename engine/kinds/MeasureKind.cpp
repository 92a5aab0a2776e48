#include "engine/kinds/MeasureKind.h"

#include "engine/MeasureGeometry.h"
#include "engine/kinds/MeasureKinds.h"

#include <algorithm>

bool CMeasureKind::Recalc(const RGN_DATA& primary, double k, MEASURE_DATA& row) const
{
    MEASURE_VALUE v;
    if (Value(primary, k, v)) {
        row.dPixelValue = v.dPixel;
        row.dValue = v.dValue;
    }
    return true;
}

int CMeasureKind::PointCount(const RGN_DATA& d)
{
    return std::clamp(d.nPointNum, 0, MAX_RGN_POINT);
}

RGN_DATA CMeasureKind::MakeLine(POINT a, POINT b, BOOL bSelectable, BOOL bPrimary)
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

RGN_DATA CMeasureKind::MakePointRecord(int32_t nFigure, const POINT* P, int n, BOOL bPrimary)
{
    RGN_DATA d{};
    d.nFigure = nFigure;
    d.nPointNum = n;
    for (int i = 0; i < n; ++i) {
        SetRgnPoint(d, i, P[i]);
    }
    d.bSelectable = TRUE;
    d.bPrimary = bPrimary;
    return d;
}

bool CMeasureKind::DistanceValue(const RGN_DATA& shape, double k, MEASURE_VALUE& out)
{
    if (PointCount(shape) < 2) {
        return false;
    }
    const double dx = double(shape.nX[1]) - shape.nX[0];
    const double dy = double(shape.nY[1]) - shape.nY[0];
    out.dPixel = CalcPixelDistance(dx, dy);
    out.dValue = CalcCalibDistance(dx, dy, k);
    out.captions.push_back(CalcMidPoint(RgnPoint(shape, 0), RgnPoint(shape, 1)));
    return true;
}

bool CMeasureKind::MeasureAndStore(IShapeStore& store, int32_t nKind, RGN_DATA& shape)
{
    if (!store.MeasureShape(nKind, shape)) {
        return false;
    }
    store.StoreShape(shape, shape.nMeasNo);
    return true;
}

void CMeasureKind::Add(std::vector<PREVIEW_ITEM>& out, int nType, POINT a, POINT b, POINT c)
{
    out.push_back(PREVIEW_ITEM{nType, a, b, c});
}

void CMeasureKind::PreviewPerpendicular(POINT a, POINT b, POINT q, bool bParallel, std::vector<PREVIEW_ITEM>& out)
{
    if (!IsGivenPoint(a) || !IsGivenPoint(b) || !IsGivenPoint(q) || a == b) {
        return;
    }
    const POINT f = CalcPerpendicularFoot(q, a, b);
    Add(out, PREVIEW_SEGMENT, q, f);
    if (bParallel) {
        Add(out, PREVIEW_SEGMENT, POINT{a.x + q.x - f.x, a.y + q.y - f.y}, POINT{b.x + q.x - f.x, b.y + q.y - f.y});
    }
}

const CMeasureKind* FindMeasureKind(int32_t nKind)
{
    static const CLengthKind length;
    static const CParallelKind parallel;
    static const CCircleKind circle(MEAS_CIRCLE, RGN_CIRCLE);
    static const CCircleKind arc(MEAS_ARC, RGN_ARC);
    static const CTwoCircleKind twoCircle;
    static const CPerpendicularKind perpendicular;
    static const CPolygonKind polygon;
    static const CAngleKind angle;
    static const CTwoLineAngleKind twoLineAngle;
    static const CCountKind count;
    static const CTextKind text;
    // In the order of the kind numbers.
    static const CMeasureKind* const kKinds[MEAS_KIND_NUM] = {
        &length, &parallel, &circle, &arc, &twoCircle, &perpendicular, &polygon, &angle, &twoLineAngle, &count, &text,
    };
    return nKind >= 0 && nKind < MEAS_KIND_NUM ? kKinds[nKind] : nullptr;
}
