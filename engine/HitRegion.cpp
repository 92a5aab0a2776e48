#include "engine/HitRegion.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

void CHitRegion::SetEmpty()
{
    m_Kind = HIT_NONE;
    m_Points.clear();
    m_Bounds = RECT{0, 0, 0, 0};
}

void CHitRegion::SetRect(const RECT& rc)
{
    SetEmpty();
    if (rc.right <= rc.left || rc.bottom <= rc.top) {
        return;
    }
    m_Kind = HIT_RECT;
    m_Bounds = rc;
}

bool CHitRegion::InDisc(POINT p, int cx, int cy)
{
    const int64_t dx = int64_t(p.x) - cx;
    const int64_t dy = int64_t(p.y) - cy;
    return dx * dx + dy * dy <= int64_t(kDiscRadius) * kDiscRadius;
}

void CHitRegion::SetLine(POINT a, POINT b)
{
    SetEmpty();
    const int64_t dx = int64_t(b.x) - a.x;
    const int64_t dy = int64_t(b.y) - a.y;
    if (dx == 0 && dy == 0) {
        return;
    }
    m_bMajorY = std::llabs(dx) <= std::llabs(dy);
    if (m_bMajorY) {
        const POINT s = a.y <= b.y ? a : b;
        const POINT o = a.y <= b.y ? b : a;
        m_Start = s;
        m_dSlope = double(o.x - s.x) / double(o.y - s.y);
        m_nLength = int(std::llabs(dy));
    } else {
        const POINT s = a.x <= b.x ? a : b;
        const POINT o = a.x <= b.x ? b : a;
        m_Start = s;
        m_dSlope = double(o.y - s.y) / double(o.x - s.x);
        m_nLength = int(std::llabs(dx));
    }
    m_Kind = HIT_LINE;
    const int r = kDiscRadius;
    m_Bounds = RECT{std::min(a.x, b.x) - r, std::min(a.y, b.y) - r, std::max(a.x, b.x) + r + 1,
                    std::max(a.y, b.y) + r + 1};
}

bool CHitRegion::LineContains(POINT p) const
{
    // Only the few sampled discs near the point along the major axis can hold it.
    const int u = m_bMajorY ? p.y - m_Start.y : p.x - m_Start.x;
    int t = std::max(0, u - kDiscRadius);
    t += t & 1;
    const int tEnd = std::min(u + kDiscRadius, m_nLength - 1);
    for (; t <= tEnd; t += 2) {
        if (m_bMajorY) {
            const int cx = int(std::trunc(m_Start.x + t * m_dSlope));
            if (InDisc(p, cx, m_Start.y + t)) {
                return true;
            }
        } else {
            const int cy = int(std::trunc(m_Start.y + t * m_dSlope));
            if (InDisc(p, m_Start.x + t, cy)) {
                return true;
            }
        }
    }
    return false;
}

void CHitRegion::SetDiscs(std::vector<POINT> centres)
{
    SetEmpty();
    if (centres.empty()) {
        return;
    }
    m_Kind = HIT_DISCS;
    m_Points = std::move(centres);
    SetBoundsAround(m_Points, kDiscRadius);
}

void CHitRegion::SetBoundsAround(const std::vector<POINT>& points, int nGrow)
{
    RECT b{points[0].x, points[0].y, points[0].x, points[0].y};
    for (const POINT& c : points) {
        b.left = std::min(b.left, c.x);
        b.top = std::min(b.top, c.y);
        b.right = std::max(b.right, c.x);
        b.bottom = std::max(b.bottom, c.y);
    }
    m_Bounds = RECT{b.left - nGrow, b.top - nGrow, b.right + nGrow + 1, b.bottom + nGrow + 1};
}

void CHitRegion::SetDisc(const RECT& square)
{
    SetEmpty();
    if (square.right <= square.left || square.bottom <= square.top) {
        return;
    }
    m_Kind = HIT_DISC;
    m_dCx = (double(square.left) + square.right) / 2.0;
    m_dCy = (double(square.top) + square.bottom) / 2.0;
    const double r = (double(square.right) - square.left) / 2.0;
    m_dR2 = r * r;
    m_Bounds = RECT{square.left, square.top, square.right + 1, square.bottom + 1};
}

void CHitRegion::SetPolygon(const POINT* pPoints, int nCount)
{
    SetEmpty();
    if (pPoints == nullptr || nCount < 3) {
        return;
    }
    m_Kind = HIT_POLYGON;
    m_Points.assign(pPoints, pPoints + nCount);
    SetBoundsAround(m_Points, 0);
}

bool CHitRegion::RectContains(POINT) const
{
    return true; // the box is the rectangle
}

bool CHitRegion::DiscsContain(POINT p) const
{
    for (const POINT& c : m_Points) {
        if (InDisc(p, c.x, c.y)) {
            return true;
        }
    }
    return false;
}

bool CHitRegion::DiscContains(POINT p) const
{
    const double dx = p.x - m_dCx;
    const double dy = p.y - m_dCy;
    return dx * dx + dy * dy <= m_dR2;
}

bool CHitRegion::PolygonContains(POINT p) const
{
    // Non-zero winding rule, tested at the pixel centre.
    const double px = p.x + 0.5;
    const double py = p.y + 0.5;
    int winding = 0;
    const size_t n = m_Points.size();
    for (size_t i = 0; i < n; ++i) {
        const POINT& a = m_Points[i];
        const POINT& b = m_Points[(i + 1) % n];
        const double cross = (double(b.x) - a.x) * (py - a.y) - (px - a.x) * (double(b.y) - a.y);
        if (a.y <= py) {
            if (b.y > py && cross > 0) {
                ++winding;
            }
        } else if (b.y <= py && cross < 0) {
            --winding;
        }
    }
    return winding != 0;
}

bool CHitRegion::ContainsInBounds(POINT p) const
{
    using CONTAINS = bool (CHitRegion::*)(POINT) const;
    // By region kind, HIT_RECT .. HIT_POLYGON.
    static constexpr CONTAINS kContains[] = {&CHitRegion::RectContains, &CHitRegion::LineContains,
                                             &CHitRegion::DiscsContain, &CHitRegion::DiscContains,
                                             &CHitRegion::PolygonContains};
    return (this->*kContains[m_Kind - HIT_RECT])(p);
}
