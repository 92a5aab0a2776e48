#include "engine/MeasureGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>

namespace {
constexpr double kPi = 3.141592653589793;
}

int32_t RoundHalfUp(double v)
{
    return static_cast<int32_t>(std::floor(v + 0.5));
}

bool FitsInt32(double v)
{
    const double r = std::floor(v + 0.5);
    return std::isfinite(r) && r >= double(std::numeric_limits<int32_t>::min()) &&
           r <= double(std::numeric_limits<int32_t>::max());
}

int64_t CrossProduct(POINT o, POINT a, POINT b)
{
    return (int64_t(a.x) - o.x) * (int64_t(b.y) - o.y) - (int64_t(a.y) - o.y) * (int64_t(b.x) - o.x);
}

bool IsCollinear(POINT a, POINT b, POINT c)
{
    return (int64_t(c.y) - a.y) * (int64_t(b.x) - a.x) == (int64_t(b.y) - a.y) * (int64_t(c.x) - a.x);
}

double CalcPixelDistance(double dx, double dy)
{
    return std::sqrt(dx * dx + dy * dy);
}

double CalcCalibDistance(double dx, double dy, double k)
{
    const double x = k * std::fabs(dx);
    const double y = k * std::fabs(dy);
    return std::sqrt(x * x + y * y);
}

POINT CalcPerpendicularFoot(POINT p, POINT a, POINT b)
{
    if (a.x == b.x) {
        return POINT{a.x, p.y};
    }
    if (a.y == b.y) {
        return POINT{p.x, a.y};
    }
    const double m = (double(b.y) - a.y) / (double(b.x) - a.x);
    const double c = a.y - a.x * m;
    const double t = (p.y - c) * m + p.x;
    return POINT{RoundHalfUp(t / (m * m + 1.0)), RoundHalfUp(t * m / (m * m + 1.0) + c)};
}

bool CalcLineIntersection(POINT a, POINT b, POINT c, POINT d, double& x, double& y)
{
    const bool v1 = a.x == b.x;
    const bool v2 = c.x == d.x;
    const bool h1 = a.y == b.y;
    const bool h2 = c.y == d.y;
    const double m1 = v1 ? 0.0 : (double(b.y) - a.y) / (double(b.x) - a.x);
    const double m2 = v2 ? 0.0 : (double(d.y) - c.y) / (double(d.x) - c.x);
    if ((v1 && v2) || (h1 && h2) || (!v1 && !h1 && !v2 && !h2 && m1 == m2)) {
        return false;
    }
    // Intercepts stay doubles; only the final point is rounded by the caller.
    const double b1 = a.y - a.x * m1;
    const double b2 = c.y - c.x * m2;
    if (v1) {
        x = a.x;
        y = a.x * m2 + b2;
    } else if (h1) {
        y = a.y;
        x = (m1 - m2 == 0.0) ? double(c.x) : (b2 - b1) / (m1 - m2);
    } else if (v2) {
        x = c.x;
        y = c.x * m1 + b1;
    } else if (h2) {
        y = c.y;
        x = (b2 - b1) / (m1 - m2);
    } else {
        x = (b2 - b1) / (m1 - m2);
        y = x * m1 + b1;
    }
    return std::isfinite(x) && std::isfinite(y);
}

bool CalcCircle3Points(POINT p0, POINT p1, POINT p2, double& cx, double& cy, double& r)
{
    // Perpendicular bisectors, relative to p0 to keep the numbers small.
    const double ax = double(p1.x) - p0.x, ay = double(p1.y) - p0.y;
    const double bx = double(p2.x) - p0.x, by = double(p2.y) - p0.y;
    const double det = 2.0 * (ax * by - ay * bx);
    if (det == 0.0) {
        return false;
    }
    const double a2 = ax * ax + ay * ay;
    const double b2 = bx * bx + by * by;
    const double ux = (by * a2 - ay * b2) / det;
    const double uy = (ax * b2 - bx * a2) / det;
    cx = p0.x + ux;
    cy = p0.y + uy;
    r = std::sqrt(ux * ux + uy * uy);
    return std::isfinite(cx) && std::isfinite(cy) && std::isfinite(r);
}

double CalcAngle(POINT a, POINT v, POINT b)
{
    const int64_t ax = int64_t(a.x) - v.x, ay = int64_t(a.y) - v.y;
    const int64_t bx = int64_t(b.x) - v.x, by = int64_t(b.y) - v.y;
    const int64_t la2 = ax * ax + ay * ay;
    const int64_t lb2 = bx * bx + by * by;
    if (la2 == 0 || lb2 == 0) {
        return 0.0;
    }
    // One square root of the exact product keeps a straight angle at exactly -1.
    const double dot = double(ax * bx + ay * by);
    double c = dot / std::sqrt(double(la2) * double(lb2));
    c = c < -1.0 ? -1.0 : (c > 1.0 ? 1.0 : c);
    return std::acos(c) * 180.0 / kPi;
}

namespace {
// Inside or on the border of the triangle, as a winding-filled region.
bool PointInTriangle(POINT p, POINT a, POINT b, POINT c)
{
    const int64_t d1 = CrossProduct(a, b, p);
    const int64_t d2 = CrossProduct(b, c, p);
    const int64_t d3 = CrossProduct(c, a, p);
    const bool hasNeg = d1 < 0 || d2 < 0 || d3 < 0;
    const bool hasPos = d1 > 0 || d2 > 0 || d3 > 0;
    if (CrossProduct(a, b, c) == 0) {
        return false; // a degenerate triangle covers no area
    }
    return !(hasNeg && hasPos);
}
} // namespace

double CalcTwoLineAngle(POINT a, POINT i, POINT b, POINT s)
{
    const double theta = CalcAngle(a, i, b);
    const int64_t c1 = (int64_t(i.x) - a.x) * (int64_t(s.y) - a.y) - (int64_t(i.y) - a.y) * (int64_t(s.x) - a.x);
    const int64_t c2 = (int64_t(i.x) - b.x) * (int64_t(s.y) - b.y) - (int64_t(i.y) - b.y) * (int64_t(s.x) - b.x);
    if (c1 != 0 && c2 != 0 && ((c1 < 0) != (c2 < 0))) {
        return PointInTriangle(i, a, b, s) ? 360.0 - theta : theta;
    }
    return 360.0 - theta;
}

int64_t CalcPolygonArea2(const POINT* p, int n)
{
    int64_t sum = 0;
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1 == n) ? 0 : i + 1;
        sum += int64_t(p[i].x) * p[j].y - int64_t(p[i].y) * p[j].x;
    }
    return sum;
}

double CalcPolygonCalibArea(const POINT* p, int n, double k)
{
    double sum = 0.0;
    for (int i = 0; i < n; ++i) {
        const int j = (i + 1 == n) ? 0 : i + 1;
        sum += (k * p[i].x) * (k * p[j].y) - (k * p[i].y) * (k * p[j].x);
    }
    return std::fabs(sum) / 2.0;
}

namespace {
int Sign(int64_t v)
{
    return v > 0 ? 1 : (v < 0 ? -1 : 0);
}

// The end points of each segment lie strictly on opposite sides of the other.
bool ProperlyCross(POINT a, POINT b, POINT c, POINT d)
{
    const int s1 = Sign(CrossProduct(a, b, c));
    const int s2 = Sign(CrossProduct(a, b, d));
    const int s3 = Sign(CrossProduct(c, d, a));
    const int s4 = Sign(CrossProduct(c, d, b));
    return s1 * s2 < 0 && s3 * s4 < 0;
}

// p lies on the closed segment a-b.
bool OnSegment(POINT p, POINT a, POINT b)
{
    if (CrossProduct(a, b, p) != 0) {
        return false;
    }
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}
} // namespace

bool IsPolygonInvalid(const POINT* p, int n, bool bClosing)
{
    for (int i = 0; i + 2 < n; ++i) {
        if (IsCollinear(p[i], p[i + 1], p[i + 2])) {
            return true;
        }
        for (int j = i + 2; j + 1 < n; ++j) {
            if (ProperlyCross(p[i], p[i + 1], p[j], p[j + 1])) {
                return true;
            }
        }
    }
    if (bClosing && n >= 3) {
        const POINT last = p[n - 1];
        const POINT first = p[0];
        for (int k = 1; k + 1 < n; ++k) {
            if (OnSegment(p[k], last, first)) {
                return true;
            }
        }
        for (int k = 1; k + 2 < n; ++k) {
            if (ProperlyCross(last, first, p[k], p[k + 1])) {
                return true;
            }
        }
        // The closing edge folding back over its neighbouring edges.
        if (OnSegment(first, p[n - 2], last) || OnSegment(last, first, p[1])) {
            return true;
        }
    }
    return false;
}

POINT CalcMidPoint(POINT a, POINT b)
{
    return POINT{a.x + (b.x - a.x) / 2, a.y + (b.y - a.y) / 2};
}

std::u16string FormatValueString(double dValue, int nDecimals, bool bStripPointZero)
{
    if (nDecimals < 0) {
        return std::u16string();
    }
    char buf[400];
    std::snprintf(buf, sizeof(buf), "%.*f", nDecimals, dValue);
    std::string s(buf);
    for (int i = 0; i < nDecimals - 1; ++i) {
        if (!s.empty() && s.back() == '0') {
            s.pop_back();
        }
    }
    if (bStripPointZero && s.size() >= 2 && s.compare(s.size() - 2, 2, ".0") == 0) {
        s.resize(s.size() - 2);
    }
    return std::u16string(s.begin(), s.end());
}

bool IsZeroPerpendicular(POINT p, POINT a, POINT b)
{
    return IsCollinear(a, b, p) || CalcPerpendicularFoot(p, a, b) == p;
}

bool IsAcceptableCircle(POINT p0, POINT p1, POINT p2, int32_t nFarLimit)
{
    if (IsCollinear(p0, p1, p2)) {
        return false;
    }
    double cx = 0.0, cy = 0.0, r = 0.0;
    if (!CalcCircle3Points(p0, p1, p2, cx, cy, r)) {
        return false;
    }
    // A nearly straight arc has an astronomically large circle: refuse it
    // like collinear points before any of it reaches int32 coordinates.
    const double limit = nFarLimit;
    return r <= limit && std::fabs(cx) <= 2.0 * limit && std::fabs(cy) <= 2.0 * limit;
}
