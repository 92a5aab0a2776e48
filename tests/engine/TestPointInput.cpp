// Point input the random fingerprints rarely reach or never fold:
// near-collinear circles, the 20-vertex polygon, count labels after a
// deletion, the 50-point count, refused starts and failed caption measuring.
#include "EngineFixture.h"

#include "engine/PointerPixel.h"

#include <cmath>
#include <limits>

TEST_F(EngineTest, NearlyCollinearCircleIsRejectedLikeCollinear)
{
    ASSERT_TRUE(input.StartMakeShape(MEAS_ARC));
    input.OnLButtonDown(MK_LBUTTON, POINT{0, 100});
    input.OnLButtonDown(MK_LBUTTON, POINT{320, 101});
    input.OnLButtonDown(MK_LBUTTON, POINT{639, 101}); // radius about 51000 px
    EXPECT_TRUE(Contains(Messages(), WM_INVALID_SET_POINT));
    EXPECT_EQ(Eng().GetPointCount(), 2);
    EXPECT_TRUE(Eng().GetMeasureArray().empty());
}

TEST_F(EngineTest, PolygonClosesOnTwentiethVertexAndRefusesCrossing)
{
    ASSERT_TRUE(input.StartMakeShape(MEAS_POLYGON));
    // 20 vertices on a convex curve.
    for (int i = 0; i < 20; ++i) {
        const double a = i * 2 * M_PI / 20;
        input.OnLButtonDown(MK_LBUTTON, POINT{int(320 + 200 * std::cos(a)), int(240 + 200 * std::sin(a))});
    }
    EXPECT_EQ(Messages().back(), WM_END_MAKE_SHAPE);
    ASSERT_EQ(Eng().GetMeasureArray().size(), 1u);
    EXPECT_EQ(ShapesOf(1, RGN_POLYGON).at(0)->nPointNum, 20);
    EXPECT_GT(Row(0).dPixelValue, 100000.0);

    // Bow tie: the fourth vertex crossing the first edge is refused.
    Measure(MEAS_POLYGON, {POINT{10, 10}, POINT{100, 100}, POINT{100, 10}, POINT{10, 100}});
    EXPECT_TRUE(Contains(Messages(), WM_INVALID_SET_POINT));
    EXPECT_EQ(Eng().GetPointCount(), 3);
    input.OnRButtonDown(MK_RBUTTON, POINT{40, 5});
    EXPECT_EQ(Messages().back(), WM_END_MAKE_SHAPE);
    EXPECT_EQ(Eng().GetMeasureArray().size(), 2u);

    // Right click with only two points.
    ASSERT_TRUE(input.StartMakeShape(MEAS_POLYGON));
    input.OnLButtonDown(MK_LBUTTON, POINT{10, 10});
    input.OnRButtonDown(MK_RBUTTON, POINT{100, 100});
    EXPECT_EQ(Messages().back(), WM_ERROR_MAKE_SHAPE);
    EXPECT_EQ(Eng().GetInputState(), INPUT_IDLE);
    EXPECT_EQ(Eng().GetMeasureArray().size(), 2u);
}

TEST_F(EngineTest, SquareAreaAndCountLabels)
{
    Eng().SetCalibration(0.1, 1, 1, FALSE);
    Measure(MEAS_POLYGON, {POINT{10, 10}, POINT{20, 10}, POINT{20, 20}, POINT{10, 20}}, true);
    ASSERT_EQ(Eng().GetMeasureArray().size(), 1u);
    EXPECT_DOUBLE_EQ(Row(0).dPixelValue, 100.0);
    EXPECT_NEAR(Row(0).dValue, 1.0, 1e-12);

    Measure(MEAS_COUNT, {POINT{50, 50}, POINT{60, 50}, POINT{70, 50}}, true);
    ASSERT_EQ(Eng().GetMeasureArray().size(), 2u);
    EXPECT_DOUBLE_EQ(Row(1).dValue, 3.0);
    auto labels = ShapesOf(2, RGN_TEXT);
    ASSERT_EQ(labels.size(), 3u);
    EXPECT_EQ(Text(*labels[0]), u"1");
    EXPECT_EQ(Text(*labels[2]), u"3");

    DRAW_SETTING s = Eng().GetDrawSetting();
    s.CountKind = 1;
    Eng().SetDrawSetting(s);
    labels = ShapesOf(2, RGN_TEXT);
    EXPECT_EQ(Text(*labels[0]), u"2"); // the row's position in the results
    EXPECT_EQ(Text(*labels[2]), u"2");
    ASSERT_TRUE(Eng().DeleteMeasurement(1));
    labels = ShapesOf(2, RGN_TEXT);
    EXPECT_EQ(Text(*labels[1]), u"1");
}

TEST_F(EngineTest, CountEndsByItselfAtFifty)
{
    ASSERT_TRUE(input.StartMakeShape(MEAS_COUNT));
    for (int i = 0; i < 50; ++i) {
        input.OnLButtonDown(MK_LBUTTON, POINT{10 + (i % 10) * 30, 10 + (i / 10) * 30});
    }
    EXPECT_EQ(Messages().back(), WM_END_MAKE_SHAPE);
    ASSERT_EQ(Eng().GetMeasureArray().size(), 1u);
    EXPECT_DOUBLE_EQ(Row(0).dValue, 50.0);
    EXPECT_EQ(ShapesOf(1, RGN_TEXT).size(), 50u);
    // Captions also stand for points in row or column 0.
    Measure(MEAS_COUNT, {POINT{0, 0}, POINT{0, 30}}, true);
    EXPECT_EQ(ShapesOf(2, RGN_TEXT).size(), 2u);
}

TEST_F(EngineTest, StartRefusedWithoutCalibrationOrDrawWindow)
{
    CRgnDataCtrl eng;
    EXPECT_FALSE(eng.SetCalibration(0.5, 1, 0, FALSE)); // no drawing window yet
    eng.SetDrawWindow(&measurer);
    eng.SetImageSize(100, 100, 1.0);
    EXPECT_FALSE(eng.StartShape(MEAS_LENGTH, POINT{5, 5}));
    EXPECT_FALSE(eng.SetCalibration(0.0, 1, 0, FALSE));
    EXPECT_FALSE(eng.SetCalibration(std::nan(""), 1, 0, FALSE));
    EXPECT_FALSE(eng.SetCalibration(1.0, 1, 3, FALSE));
    EXPECT_FALSE(eng.SetCalibration(1.0, 1, -1, FALSE));
    EXPECT_FALSE(eng.IsCalibrationValid());
    EXPECT_TRUE(eng.SetCalibration(1.0, 9, 2, FALSE));
    EXPECT_EQ(eng.GetDecimals(), 5); // clamped
    EXPECT_TRUE(eng.StartShape(MEAS_LENGTH, POINT{5, 5}));
}

TEST_F(EngineTest, FailedCaptionMeasuringKeepsTheMeasurement)
{
    measurer.failing = true;
    Measure(MEAS_LENGTH, {POINT{10, 10}, POINT{50, 10}});
    EXPECT_EQ(Eng().GetMeasureArray().size(), 1u);
    EXPECT_EQ(ShapesOf(1, RGN_TEXT).size(), 0u);
    EXPECT_EQ(ShapesOf(1, RGN_LINE).size(), 1u);
}

// Image pixel i is drawn over window pixels [i r, (i + 1) r): every window
// pixel maps to the image pixel under its centre, at zooms and at fit ratios
// below 1 alike (at x3 and x8 exactly i = w / r).
TEST(PointerPixel, EveryWindowPixelTakesTheImagePixelDrawnThere)
{
    for (const double r : {1.0, 1.5, 2.0, 3.0, 8.0, 0.39, 25.0 / 81.0, 0.5}) {
        for (int w = -3; w < 400; ++w) {
            POINT p{};
            ASSERT_TRUE(PointerToImagePixel(POINT{w, w + 1}, r, POINT{7, 11}, p)) << r;
            const int i = p.x - 7;
            EXPECT_LE(i * r, w + 0.5 + 1e-9) << r << " " << w;
            EXPECT_GT((i + 1) * r, w + 0.5 - 1e-9) << r << " " << w;
            if (r == std::floor(r)) {
                EXPECT_EQ(i, int(std::floor(w / r))) << r << " " << w;
            }
            EXPECT_EQ(p.y - 11, int(std::floor((w + 1.5) / r))) << r << " " << w;
        }
    }
    POINT p{3, 3};
    for (const double r : {0.0, -1.0, std::nan(""), std::numeric_limits<double>::infinity()}) {
        EXPECT_FALSE(PointerToImagePixel(POINT{1, 1}, r, POINT{}, p)) << r;
    }
    EXPECT_FALSE(PointerToImagePixel(POINT{2000000000, 0}, 0.01, POINT{}, p));
    EXPECT_EQ(p, (POINT{3, 3}));
}

// Through the engine at x3 scrolled by (8, 8): clicks, the rubber band,
// hit-testing and dragging take the pixel under the pointer from any of its
// three window columns.
TEST_F(EngineTest, AtAZoomEveryWindowColumnOfAPixelIsThatPixel)
{
    Eng().SetView(3.0, 8, 8);
    ASSERT_TRUE(input.StartMakeShape(MEAS_LENGTH));
    input.OnLButtonDown(MK_LBUTTON, POINT{3 * 10 + 2, 3 * 5 + 2}); // last column and row of (18, 13)
    input.OnMouseMove(0, POINT{3 * 40 + 2, 3 * 5});
    EXPECT_EQ(Eng().GetInputPoint(1), (POINT{48, 13}));
    input.OnLButtonDown(MK_LBUTTON, POINT{3 * 40 + 2, 3 * 5 + 1});
    ASSERT_EQ(Eng().GetMeasureArray().size(), 1u);
    const RGN_DATA* line = ShapesOf(1, RGN_LINE).at(0);
    EXPECT_EQ((POINT{line->nX[0], line->nY[0]}), (POINT{18, 13}));
    EXPECT_EQ((POINT{line->nX[1], line->nY[1]}), (POINT{48, 13}));
    EXPECT_DOUBLE_EQ(Row(0).dPixelValue, 30.0);

    // A note placed from the last column of (38, 38), picked from that of
    // (39, 39); one window pixel on, the pointer is on (40, 39): the note follows by one.
    ASSERT_TRUE(Eng().AddText(u"A", POINT{3 * 30 + 2, 3 * 30 + 2}, u"Sans", 12, 0));
    const RGN_DATA& note = Eng().GetShapeList().back().Data();
    EXPECT_EQ((POINT{note.nX[0], note.nY[0]}), (POINT{38, 38}));
    input.OnLButtonDown(MK_LBUTTON, POINT{3 * 31 + 2, 3 * 31 + 2});
    ASSERT_EQ(Eng().GetSelectedID(), note.nID);
    input.OnMouseMove(MK_LBUTTON, POINT{3 * 31 + 3, 3 * 31 + 2});
    EXPECT_EQ((POINT{note.nX[0], note.nY[0]}), (POINT{39, 38}));
}
