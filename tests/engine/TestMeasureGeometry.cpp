#include "engine/MeasureGeometry.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

TEST(MeasureGeometry, FormatValueStringFollowsTheTrailingZeroRule)
{
    EXPECT_EQ(FormatValueString(1.5, 3), u"1.5");
    EXPECT_EQ(FormatValueString(2.0, 1), u"2.0");
    EXPECT_EQ(FormatValueString(3.0, 2, true), u"3");
    EXPECT_EQ(FormatValueString(12.345, 3), u"12.345");
    EXPECT_EQ(FormatValueString(12.345, 1), u"12.3");
    EXPECT_EQ(FormatValueString(7.0, 0), u"7");
    EXPECT_EQ(FormatValueString(7.0, 0, true), u"7");
    EXPECT_EQ(FormatValueString(2.5, 5), u"2.5");
    EXPECT_EQ(FormatValueString(1.0, -1), u"");
    EXPECT_EQ(FormatValueString(1e300, 5).size(), 303u); // no fixed buffer overflow
}

TEST(MeasureGeometry, RoundingAndBasicValues)
{
    EXPECT_EQ(RoundHalfUp(2.5), 3);
    EXPECT_EQ(RoundHalfUp(-2.5), -2); // floor(v + 0.5), also for negative values
    EXPECT_EQ(RoundHalfUp(-2.6), -3);
    EXPECT_DOUBLE_EQ(CalcPixelDistance(3, 4), 5.0);
    EXPECT_DOUBLE_EQ(CalcCalibDistance(3, -4, 0.5), 2.5);
    EXPECT_NEAR(CalcAngle(POINT{10, 0}, POINT{0, 0}, POINT{0, 10}), 90.0, 1e-12);
    // A straight angle must not turn into NaN through rounding of the cosine.
    EXPECT_DOUBLE_EQ(CalcAngle(POINT{-3, -7}, POINT{0, 0}, POINT{3, 7}), 180.0);
    EXPECT_EQ(CalcAngle(POINT{0, 0}, POINT{0, 0}, POINT{3, 7}), 0.0);
    EXPECT_TRUE(IsCollinear(POINT{0, 0}, POINT{2, 2}, POINT{5, 5}));
    EXPECT_FALSE(IsCollinear(POINT{0, 0}, POINT{2, 2}, POINT{5, 6}));
    // Far-away points: the products exceed 32 bits.
    EXPECT_FALSE(IsCollinear(POINT{0, 0}, POINT{100000, 100001}, POINT{200000, 200001}));
    EXPECT_TRUE(IsCollinear(POINT{0, 0}, POINT{100000, 100001}, POINT{200000, 200002}));
}

TEST(MeasureGeometry, PerpendicularFootAndIntersection)
{
    EXPECT_EQ(CalcPerpendicularFoot(POINT{5, 9}, POINT{0, 0}, POINT{0, 10}), (POINT{0, 9}));
    EXPECT_EQ(CalcPerpendicularFoot(POINT{5, 9}, POINT{0, 3}, POINT{10, 3}), (POINT{5, 3}));
    EXPECT_EQ(CalcPerpendicularFoot(POINT{0, 10}, POINT{0, 0}, POINT{10, 10}), (POINT{5, 5}));

    double x = 0, y = 0;
    ASSERT_TRUE(CalcLineIntersection(POINT{0, 0}, POINT{10, 10}, POINT{0, 10}, POINT{10, 0}, x, y));
    EXPECT_DOUBLE_EQ(x, 5.0);
    EXPECT_DOUBLE_EQ(y, 5.0);
    ASSERT_TRUE(CalcLineIntersection(POINT{3, 0}, POINT{3, 10}, POINT{0, 1}, POINT{10, 6}, x, y));
    EXPECT_DOUBLE_EQ(x, 3.0);
    EXPECT_DOUBLE_EQ(y, 2.5);
    ASSERT_TRUE(CalcLineIntersection(POINT{0, 4}, POINT{10, 4}, POINT{7, 0}, POINT{7, 10}, x, y));
    EXPECT_DOUBLE_EQ(x, 7.0);
    EXPECT_DOUBLE_EQ(y, 4.0);
    // Intercepts kept as doubles: lines y = x/3 + 1/3 and y = -x + 9 meet at (6.5, 2.5).
    ASSERT_TRUE(CalcLineIntersection(POINT{2, 1}, POINT{5, 2}, POINT{0, 9}, POINT{9, 0}, x, y));
    EXPECT_NEAR(x, 6.5, 1e-9);
    EXPECT_NEAR(y, 2.5, 1e-9);
    EXPECT_FALSE(CalcLineIntersection(POINT{0, 0}, POINT{0, 5}, POINT{3, 0}, POINT{3, 9}, x, y));
    EXPECT_FALSE(CalcLineIntersection(POINT{0, 0}, POINT{5, 0}, POINT{0, 3}, POINT{9, 3}, x, y));
    EXPECT_FALSE(CalcLineIntersection(POINT{0, 0}, POINT{2, 1}, POINT{0, 3}, POINT{4, 5}, x, y));
}

TEST(MeasureGeometry, CircleAreaAndValidity)
{
    double cx = 0, cy = 0, r = 0;
    ASSERT_TRUE(CalcCircle3Points(POINT{0, 0}, POINT{10, 0}, POINT{0, 10}, cx, cy, r));
    EXPECT_NEAR(cx, 5.0, 1e-12);
    EXPECT_NEAR(cy, 5.0, 1e-12);
    EXPECT_NEAR(r, std::sqrt(50.0), 1e-12);
    EXPECT_FALSE(CalcCircle3Points(POINT{0, 0}, POINT{1, 1}, POINT{2, 2}, cx, cy, r));

    const POINT square[] = {{0, 0}, {10, 0}, {10, 10}, {0, 10}};
    EXPECT_EQ(CalcPolygonArea2(square, 4), 200);
    EXPECT_NEAR(CalcPolygonCalibArea(square, 4, 0.1), 1.0, 1e-12);

    const POINT bowtie[] = {{0, 0}, {10, 10}, {10, 0}, {0, 10}};
    EXPECT_TRUE(IsPolygonInvalid(bowtie, 4, false));
    const POINT straight[] = {{0, 0}, {5, 0}, {10, 0}};
    EXPECT_TRUE(IsPolygonInvalid(straight, 3, false));
    // Concave and simple, with P2 on the closing edge's infinite line but not
    // on the edge itself: it must be closable.
    const POINT concave[] = {{0, 0}, {20, 0}, {30, 0 + 10}, {10, 10}, {10, 20}, {-10, -10}};
    EXPECT_FALSE(IsPolygonInvalid(concave, 6, false));
    EXPECT_FALSE(IsPolygonInvalid(concave, 6, true));
    // A vertex on the closing edge itself is refused.
    const POINT onEdge[] = {{0, 0}, {10, 0}, {5, 5}, {10, 10}};
    EXPECT_FALSE(IsPolygonInvalid(onEdge, 4, false));
    EXPECT_TRUE(IsPolygonInvalid(onEdge, 4, true));
}

TEST(MeasureGeometry, TwoLineAngleSideRuleGivesTheFourOpenings)
{
    // Lines through I = (100, 100): one along +x, one at 60 degrees.
    const POINT I{100, 100};
    const POINT A{200, 100};
    const POINT B{150, 13}; // about 60 degrees up (y grows downward)
    const double theta = CalcAngle(A, I, B);
    EXPECT_NEAR(theta, 60.0, 0.2);
    // Inside the opening between the far ends.
    EXPECT_NEAR(CalcTwoLineAngle(A, I, B, POINT{160, 80}), theta, 1e-12);
    // Neighbouring openings and the opposite opening.
    EXPECT_NEAR(CalcTwoLineAngle(A, I, B, POINT{60, 60}), 360 - theta, 1e-12);
    EXPECT_NEAR(CalcTwoLineAngle(A, I, B, POINT{150, 140}), 360 - theta, 1e-12);
    EXPECT_NEAR(CalcTwoLineAngle(A, I, B, POINT{60, 140}), 360 - theta, 1e-12);
}

TEST(MeasureGeometry, TranslationChangesNoLengthAreaOrAngle)
{
    std::mt19937 rng(12345);
    std::uniform_int_distribution<int> coord(0, 2000);
    std::uniform_int_distribution<int> shift(-100000, 100000);
    for (int iter = 0; iter < 2000; ++iter) {
        POINT p[4];
        for (POINT& q : p) {
            q = POINT{coord(rng), coord(rng)};
        }
        const int dx = shift(rng), dy = shift(rng);
        POINT t[4];
        for (int i = 0; i < 4; ++i) {
            t[i] = POINT{p[i].x + dx, p[i].y + dy};
        }
        EXPECT_DOUBLE_EQ(CalcPixelDistance(p[1].x - p[0].x, p[1].y - p[0].y),
                         CalcPixelDistance(t[1].x - t[0].x, t[1].y - t[0].y));
        EXPECT_EQ(std::llabs(CalcPolygonArea2(p, 4)), std::llabs(CalcPolygonArea2(t, 4)));
        EXPECT_NEAR(CalcAngle(p[0], p[1], p[2]), CalcAngle(t[0], t[1], t[2]), 1e-9);
        EXPECT_EQ(IsCollinear(p[0], p[1], p[2]), IsCollinear(t[0], t[1], t[2]));
        // Against an independent formula: the law of cosines.
        const double a = std::hypot(p[0].x - p[1].x, p[0].y - p[1].y);
        const double b = std::hypot(p[2].x - p[1].x, p[2].y - p[1].y);
        const double c = std::hypot(p[0].x - p[2].x, p[0].y - p[2].y);
        if (a > 0 && b > 0 && !IsCollinear(p[0], p[1], p[2])) {
            const double expected = std::acos((a * a + b * b - c * c) / (2 * a * b)) * 180.0 / M_PI;
            EXPECT_NEAR(CalcAngle(p[0], p[1], p[2]), expected, 1e-6);
        }
        double cx, cy, r;
        if (!IsCollinear(p[0], p[1], p[2]) && CalcCircle3Points(p[0], p[1], p[2], cx, cy, r)) {
            for (int i = 0; i < 3; ++i) {
                EXPECT_NEAR(std::hypot(p[i].x - cx, p[i].y - cy), r, 1e-6 * std::max(1.0, r));
            }
        }
    }
}
