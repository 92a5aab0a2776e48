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

void CQSRgnData::BuildRegion(int32_t nLimit)
{
    const RGN_DATA& d = m_RgnData;
    const int n = d.nPointNum < 0 ? 0 : (d.nPointNum > MAX_RGN_POINT ? MAX_RGN_POINT : d.nPointNum);
    switch (d.nFigure) {
    case RGN_LINE:
        if (n >= 2) {
            m_Rgn.SetLine(RgnPoint(d, 0), RgnPoint(d, 1));
        } else {
            m_Rgn.SetEmpty();
        }
        break;
    case RGN_CIRCLE:
        if (n >= 5) {
            m_Rgn.SetDisc(RECT{d.nX[3], d.nY[3], d.nX[4], d.nY[4]});
        } else {
            m_Rgn.SetEmpty();
        }
        break;
    case RGN_ARC: {
        m_Rgn.SetEmpty();
        if (n < 6) {
            break;
        }
        const POINT p0 = RgnPoint(d, 0), p1 = RgnPoint(d, 1), p2 = RgnPoint(d, 2), c = RgnPoint(d, 5);
        const int64_t orient = CrossProduct(p0, p1, p2);
        const double r = CalcPixelDistance(double(p0.x) - c.x, double(p0.y) - c.y);
        if (orient == 0 || r == 0.0 || r > nLimit) {
            break;
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
        m_Rgn.SetDiscs(std::move(centres));
        break;
    }
    case RGN_POLYGON: {
        POINT pts[MAX_POLYGON_POINT];
        const int m = n > MAX_POLYGON_POINT ? MAX_POLYGON_POINT : n;
        for (int i = 0; i < m; ++i) {
            pts[i] = RgnPoint(d, i);
        }
        m_Rgn.SetPolygon(pts, m);
        break;
    }
    case RGN_TEXT:
        if (n >= 2) {
            m_Rgn.SetRect(RECT{d.nX[0], d.nY[0], d.nX[1], d.nY[1]});
        } else {
            m_Rgn.SetEmpty();
        }
        break;
    default:
        // A point set is never hit directly; its captions or the list pick it.
        m_Rgn.SetEmpty();
        break;
    }
}

DRAW_SETTING DefaultEngineDrawSetting()
{
    return InitialEngineDrawSetting();
}
