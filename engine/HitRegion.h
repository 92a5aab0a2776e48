// Hit region of a shape in image pixels. Instead of a platform region it keeps
// the figure's own geometry and answers point queries with the same result as
// the union of discs, filled disc, winding-filled polygon or rectangle it
// stands for.
#pragma once

#include "platform/WinTypes.h"

#include <vector>

class CHitRegion {
public:
    static constexpr int kDiscRadius = 10;

    enum Kind { HIT_NONE, HIT_RECT, HIT_LINE, HIT_DISCS, HIT_DISC, HIT_POLYGON };

    CHitRegion() { SetRect(RECT{0, 0, 1, 1}); }

    void SetEmpty();
    // Right and bottom edges excluded, as a rectangle region.
    void SetRect(const RECT& rc);
    // Discs of radius 10 every 2 pixels along the major axis of the segment.
    void SetLine(POINT a, POINT b);
    // Discs of radius 10 around each centre.
    void SetDiscs(std::vector<POINT> centres);
    // The filled circle inscribed in the square (left, top)-(right, bottom).
    void SetDisc(const RECT& square);
    void SetPolygon(const POINT* pPoints, int nCount);

    bool Contains(POINT p) const
    {
        // Most shapes are far from the point: the box rejects them without a call.
        return m_Kind != HIT_NONE && InBounds(p) && ContainsInBounds(p);
    }
    Kind GetKind() const { return m_Kind; }
    bool IsEmpty() const { return m_Kind == HIT_NONE; }

private:
    bool InBounds(POINT p) const
    {
        return p.x >= m_Bounds.left && p.x < m_Bounds.right && p.y >= m_Bounds.top && p.y < m_Bounds.bottom;
    }
    bool ContainsInBounds(POINT p) const;
    // The box around the points grown by nGrow, right and bottom exclusive.
    void SetBoundsAround(const std::vector<POINT>& points, int nGrow);
    bool RectContains(POINT p) const;
    bool LineContains(POINT p) const;
    bool DiscsContain(POINT p) const;
    bool DiscContains(POINT p) const;
    bool PolygonContains(POINT p) const;
    static bool InDisc(POINT p, int cx, int cy);

    Kind m_Kind = HIT_NONE;
    RECT m_Bounds{0, 0, 0, 0}; // inclusive-exclusive box for a quick reject
    // HIT_LINE
    POINT m_Start{0, 0};
    int m_nLength = 0;        // along the major axis
    bool m_bMajorY = false;
    double m_dSlope = 0.0;
    // HIT_DISC
    double m_dCx = 0.0, m_dCy = 0.0, m_dR2 = 0.0;
    // HIT_DISCS and HIT_POLYGON
    std::vector<POINT> m_Points;
};
