// Geometry of the measurement kinds on integer image-pixel points. Products
// are taken in 64 bits or doubles so far-away points cannot overflow.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <string>

// Rounds half up: floor(v + 0.5). The caller keeps v inside the int32 range.
int32_t RoundHalfUp(double v);
// true when v rounds to a value inside the int32 range.
bool FitsInt32(double v);

bool IsCollinear(POINT a, POINT b, POINT c);
int64_t CrossProduct(POINT o, POINT a, POINT b); // (a - o) x (b - o)

double CalcPixelDistance(double dx, double dy);
// sqrt((k |dx|)^2 + (k |dy|)^2)
double CalcCalibDistance(double dx, double dy, double k);

// Foot of the perpendicular from p onto the infinite line a-b (a != b).
POINT CalcPerpendicularFoot(POINT p, POINT a, POINT b);

// p lies on the line a-b, or its perpendicular to a-b is zero long.
bool IsZeroPerpendicular(POINT p, POINT a, POINT b);

// A circle through three points that is not too large to keep: collinear
// or nearly straight points give none.
bool IsAcceptableCircle(POINT p0, POINT p1, POINT p2, int32_t nFarLimit);

// Intersection of the infinite lines a-b and c-d, unrounded. false when the
// lines have no intersection (both vertical, both horizontal, equal slopes).
bool CalcLineIntersection(POINT a, POINT b, POINT c, POINT d, double& x, double& y);

// Circle through three non-collinear points, unrounded centre and radius.
bool CalcCircle3Points(POINT p0, POINT p1, POINT p2, double& cx, double& cy, double& r);

// Angle at vertex v between a and b, in degrees 0..180; 0 for a degenerate leg.
double CalcAngle(POINT a, POINT v, POINT b);

// Two-line angle from the far ends a, b, the intersection i and the side click s.
double CalcTwoLineAngle(POINT a, POINT i, POINT b, POINT s);

// Twice the signed shoelace sum, exact in 64 bits.
int64_t CalcPolygonArea2(const POINT* p, int n);
double CalcPolygonCalibArea(const POINT* p, int n, double k);

// Self-crossing or degenerate polygon P0..Pn-1; with bClosing the closing edge
// Pn-1 to P0 is tested too.
bool IsPolygonInvalid(const POINT* p, int n, bool bClosing);

POINT CalcMidPoint(POINT a, POINT b);

// "%.*f" with trailing zeros removed down to one decimal; with bStripPointZero
// a final ".0" is removed too. Empty for a negative number of decimals.
std::u16string FormatValueString(double dValue, int nDecimals, bool bStripPointZero = false);
