#include "engine/RgnData.h"

#include "engine/MeasureGeometry.h"

#include <cmath>
#include <cstring>

namespace {
constexpr double kDegree = 3.141592653589793 / 180.0;
}

CQSRgnData::CQSRgnData()
{
    std::memset(&m_RgnData, 0, sizeof(m_RgnData));
}

CQSRgnData::CQSRgnData(const RGN_DATA& data) : m_RgnData(data) {}

CQSRgnData::CQSRgnData(const RGN_DATA& data, int32_t nLimit) : m_RgnData(data)
{
    BuildRegion(nLimit);
}

void CQSRgnData::Offset(int32_t dx, int32_t dy, int32_t nLimit)
{
    Edit(nLimit, [&](RGN_DATA& d) {
        const int n = d.nPointNum < 0 ? 0 : (d.nPointNum > MAX_RGN_POINT ? MAX_RGN_POINT : d.nPointNum);
        for (int i = 0; i < n; ++i) {
            d.nX[i] += dx;
            d.nY[i] += dy;
        }
    });
}

namespace {

// The region of one figure type from its n stored points.
using REGION_BUILDER = void (*)(const RGN_DATA& d, int n, int32_t nLimit, CHitRegion& rgn);

void LineRegion(const RGN_DATA& d, int n, int32_t, CHitRegion& rgn)
{
    if (n >= 2) {
        rgn.SetLine(RgnPoint(d, 0), RgnPoint(d, 1));
    }
}

void CircleRegion(const RGN_DATA& d, int n, int32_t, CHitRegion& rgn)
{
    if (n >= 5) {
        rgn.SetDisc(RECT{d.nX[3], d.nY[3], d.nX[4], d.nY[4]});
    }
}

void ArcRegion(const RGN_DATA& d, int n, int32_t nLimit, CHitRegion& rgn)
{
    if (n < 6) {
        return;
    }
    const POINT p0 = RgnPoint(d, 0), p1 = RgnPoint(d, 1), p2 = RgnPoint(d, 2), c = RgnPoint(d, 5);
    const int64_t orient = CrossProduct(p0, p1, p2);
    const double r = CalcPixelDistance(double(p0.x) - c.x, double(p0.y) - c.y);
    if (orient == 0 || r == 0.0 || r > nLimit) {
        return;
    }
    // The arc runs from P0 through P1 to P2: its sense follows the
    // orientation of the three points.
    const int dir = orient > 0 ? 1 : -1;
    const double t0 = std::atan2(double(p0.y) - c.y, double(p0.x) - c.x);
    const double t2 = std::atan2(double(p2.y) - c.y, double(p2.x) - c.x);
    double sweep = std::fmod(dir * (t2 - t0) / kDegree + 720.0, 360.0);
    std::vector<POINT> centres;
    centres.reserve(361);
    for (int k = 0; k < sweep; ++k) {
        const double t = t0 + dir * k * kDegree;
        centres.push_back(POINT{int32_t(std::trunc(c.x + r * std::cos(t))), int32_t(std::trunc(c.y + r * std::sin(t)))});
    }
    rgn.SetDiscs(std::move(centres));
}

void PolygonRegion(const RGN_DATA& d, int n, int32_t, CHitRegion& rgn)
{
    POINT pts[MAX_POLYGON_POINT];
    const int m = n > MAX_POLYGON_POINT ? MAX_POLYGON_POINT : n;
    for (int i = 0; i < m; ++i) {
        pts[i] = RgnPoint(d, i);
    }
    rgn.SetPolygon(pts, m);
}

// A point set is never hit directly; its captions or the list pick it.
void PointsRegion(const RGN_DATA&, int, int32_t, CHitRegion&) {}

void TextRegion(const RGN_DATA& d, int n, int32_t, CHitRegion& rgn)
{
    if (n >= 2) {
        rgn.SetRect(RECT{d.nX[0], d.nY[0], d.nX[1], d.nY[1]});
    }
}

// By figure type, RGN_LINE .. RGN_TEXT.
constexpr REGION_BUILDER kRegionBuilders[] = {LineRegion, CircleRegion, ArcRegion,
                                              PolygonRegion, PointsRegion, TextRegion};

} // namespace

void CQSRgnData::BuildRegion(int32_t nLimit)
{
    const RGN_DATA& d = m_RgnData;
    const int n = d.nPointNum < 0 ? 0 : (d.nPointNum > MAX_RGN_POINT ? MAX_RGN_POINT : d.nPointNum);
    m_Rgn.SetEmpty();
    if (d.nFigure >= RGN_LINE && d.nFigure <= RGN_TEXT) {
        kRegionBuilders[d.nFigure](d, n, nLimit, m_Rgn);
    }
}

DRAW_SETTING DefaultEngineDrawSetting()
{
    return InitialEngineDrawSetting();
}
