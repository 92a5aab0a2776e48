// Points landing on edges: the search on pictures drawn for the purpose, and
// measurements by hand-placed clicks on the simulated camera's still scene.
#include "EngineFixture.h"

#include "image/AccImage.h"
#include "image/EdgeSnap.h"
#include "simcam/TestPattern.h"
#include "workflow/measure/PictureSnap.h"

#include <cmath>
#include <functional>
#include <random>
#include <vector>

namespace {

constexpr int kW = 64, kH = 48;

// A picture of kW x kH whose column x has grey level fnColumn(x), with a
// little noise, in 8 or 24 bits (rows padded to 4 bytes).
std::vector<uint8_t> Columns(uint32_t nBits, const std::function<int(int)>& fnColumn, int32_t& nStride)
{
    const int nBytes = int(nBits / 8);
    nStride = CAccImage::GetStride(kW, nBits);
    std::vector<uint8_t> px(size_t(nStride) * kH);
    uint32_t seed = 7;
    for (int y = 0; y < kH; ++y) {
        for (int x = 0; x < kW; ++x) {
            seed = seed * 1664525u + 1013904223u;
            const int v = std::clamp(fnColumn(x) + int(seed >> 29) - 3, 0, 255);
            for (int b = 0; b < nBytes; ++b) {
                px[size_t(y) * nStride + size_t(x) * nBytes + b] = uint8_t(v);
            }
        }
    }
    return px;
}

TEST(EdgeSnapSearch, FindsLineMiddlesAndEdgesAndNothingInNoise)
{
    const struct {
        const char* pszCase;
        uint32_t nBits;
        std::function<int(int)> fnColumn;
        POINT ptPointer;
        int nRadius;
        bool bFound;
        int xLo, xHi; // the target's column lies in xLo..xHi
    } cases[] = {
        {"dark 3 px line", 24, [](int x) { return x >= 20 && x <= 22 ? 60 : 200; }, {16, 10}, 6, true, 21, 21},
        {"dark 5 px line", 24, [](int x) { return x >= 30 && x <= 34 ? 60 : 200; }, {27, 10}, 8, true, 32, 32},
        {"bright 1 px line", 8, [](int x) { return x == 30 ? 220 : 50; }, {26, 20}, 6, true, 30, 30},
        {"step", 24, [](int x) { return x >= 25 ? 200 : 40; }, {20, 10}, 8, true, 24, 25},
        {"wide band is two edges", 32, [](int x) { return x >= 20 && x < 40 ? 40 : 200; }, {23, 10}, 6, true, 19, 20},
        {"line at the border", 24, [](int x) { return x == 1 ? 30 : 180; }, {4, 47}, 6, true, 1, 1},
        {"noise only", 24, [](int) { return 128; }, {30, 20}, 10, false, 0, 0},
        {"line beyond the radius", 24, [](int x) { return x == 40 ? 30 : 180; }, {30, 20}, 6, false, 0, 0},
        {"pointer off the picture", 24, [](int x) { return x == 40 ? 30 : 180; }, {-1, 20}, 6, false, 0, 0},
    };
    image::CEdgeSnap snap;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszCase);
        int32_t nStride = 0;
        const std::vector<uint8_t> px = Columns(c.nBits, c.fnColumn, nStride);
        POINT t{-9, -9};
        ASSERT_EQ(snap.FindTarget(image::PIXEL_VIEW{px.data(), IMAGE_INFO{c.nBits, kW, kH}, nStride}, c.ptPointer,
                                  c.nRadius, t),
                  c.bFound);
        if (c.bFound) {
            EXPECT_GE(t.x, c.xLo);
            EXPECT_LE(t.x, c.xHi);
            EXPECT_LE(std::abs(t.y - c.ptPointer.y), c.nRadius);
        }
    }
}

TEST(EdgeSnapSearch, RadiusIsSixScreenPixelsAndAtLeastTwo)
{
    EXPECT_EQ(image::SnapRadius(0.39, kSnapScreenRadius), 16);
    EXPECT_EQ(image::SnapRadius(1.0, kSnapScreenRadius), 6);
    EXPECT_EQ(image::SnapRadius(4.0, kSnapScreenRadius), 2);
    EXPECT_EQ(image::SnapRadius(0.01, kSnapScreenRadius), image::CEdgeSnap::kMaxRadius);
}

// The simulated camera's still scene at the ratio that fits a 5 MP picture
// on a laptop's screen, measured through the overlay's input.
class SceneSnapTest : public ::testing::Test {
protected:
    static constexpr int kSceneW = 2592, kSceneH = 1944;
    static constexpr double kFitRatio = 0.39;

    SceneSnapTest() : input(&sink), snap(picture)
    {
        const std::vector<uint8_t> frame = simcam::CTestPattern::StillFrame(kSceneW, kSceneH);
        picture.SetImage(frame.data(), IMAGE_INFO{24, kSceneW, kSceneH}, kSceneW * 3);
        CRgnDataCtrl& eng = input.Engine();
        eng.SetDrawWindow(&measurer);
        eng.SetImageSize(kSceneW, kSceneH, kFitRatio);
        eng.SetCalibration(1.0, 3, 0, FALSE);
        input.SetInitialised(TRUE);
    }

    // The ring of diameter d: its centre in the frame, as the scene draws it.
    static void RingCentre(double d, double& cx, double& cy)
    {
        int ox = 0, oy = 0;
        simcam::CTestPattern::StillOffset(ox, oy);
        const double ww = kSceneW + simcam::kWorldMargin, wh = kSceneH + simcam::kWorldMargin;
        const double fx = d == 400 ? 0.30 : (d == 200 ? 0.62 : 0.82);
        const double fy = d == 400 ? 0.45 : (d == 200 ? 0.40 : 0.62);
        cx = ww * fx - ox;
        cy = wh * fy - oy;
    }

    // A circle by three clicks; its diameter in pixels, or -1.
    double Circle(const POINT (&clicks)[3], bool bSnap)
    {
        input.Engine().SetPointSnap(bSnap ? &snap : nullptr);
        const size_t before = input.Engine().GetMeasureArray().size();
        EXPECT_TRUE(input.StartMakeShape(MEAS_CIRCLE));
        for (const POINT& p : clicks) {
            input.OnLButtonDown(MK_LBUTTON, p);
        }
        input.CancelInput();
        const auto& rows = input.Engine().GetMeasureArray();
        return rows.size() > before ? rows.back().dPixelValue : -1.0;
    }

    CFixedTextMeasurer measurer;
    CRecordingSink sink;
    CLayeredInput input;
    CAccImage picture;
    CPictureSnap snap;
};

TEST_F(SceneSnapTest, RingsReadTheirDiametersFromClicksNearThem)
{
    std::mt19937 rng(20261209u);
    std::uniform_real_distribution<double> unit(0.0, 1.0);
    for (const double d : {100.0, 200.0, 400.0}) {
        SCOPED_TRACE(d);
        double cx = 0, cy = 0;
        RingCentre(d, cx, cy);
        int nSnapped = 0, nPlain = 0;
        for (int trial = 0; trial < 100; ++trial) {
            // Three points spread round the ring, each up to 4 screen pixels off it.
            POINT clicks[3];
            const double a0 = unit(rng) * 2 * M_PI;
            for (int k = 0; k < 3; ++k) {
                const double a = a0 + k * 2 * M_PI / 3 + (unit(rng) - 0.5) * M_PI / 3;
                const double off = 4.0 * unit(rng), dir = unit(rng) * 2 * M_PI;
                const double sx = (cx + d / 2 * std::cos(a)) * kFitRatio + off * std::cos(dir);
                const double sy = (cy + d / 2 * std::sin(a)) * kFitRatio + off * std::sin(dir);
                clicks[k] = POINT{int32_t(std::floor(sx)), int32_t(std::floor(sy))};
            }
            nSnapped += std::fabs(Circle(clicks, true) - d) <= 1.0;
            nPlain += std::fabs(Circle(clicks, false) - d) <= 1.0;
        }
        EXPECT_GE(nSnapped, 95);
        EXPECT_LT(nPlain, nSnapped - 20) << nPlain;
    }
}

TEST_F(SceneSnapTest, ExactPointerAndRubberBandAndReferenceLine)
{
    double cx = 0, cy = 0;
    RingCentre(400, cx, cy);
    // Left of the ring's leftmost point, on no grid line.
    const POINT ptWnd{int32_t((cx - 200 - 8) * kFitRatio), int32_t((cy + 20) * kFitRatio)};
    CRgnDataCtrl& eng = input.Engine();
    POINT plain{}, snapped{};
    ASSERT_TRUE(eng.WindowToImage(ptWnd, plain));
    eng.SetPointSnap(&snap);
    ASSERT_TRUE(eng.SnapTargetAt(ptWnd, snapped));
    const double ringGap = std::hypot(snapped.x - cx, snapped.y - cy) - 200;
    EXPECT_LE(std::fabs(ringGap), 1.0);
    eng.SetExactPointer(true);
    EXPECT_FALSE(eng.SnapTargetAt(ptWnd, snapped));
    ASSERT_TRUE(eng.InputToImage(ptWnd, snapped));
    EXPECT_EQ(snapped, plain);
    eng.SetExactPointer(false);

    // The reference line's clicks and the rubber band land on the ring too.
    ASSERT_TRUE(input.StartCalibrationInput(0));
    input.OnLButtonDown(MK_LBUTTON, ptWnd);
    EXPECT_LE(std::fabs(std::hypot(eng.GetInputPoint(0).x - cx, eng.GetInputPoint(0).y - cy) - 200), 1.0);
    const POINT ptRight{int32_t((cx + 200 + 8) * kFitRatio), int32_t((cy - 20) * kFitRatio)};
    input.OnMouseMove(0, ptRight);
    EXPECT_LE(std::fabs(std::hypot(eng.GetInputPoint(1).x - cx, eng.GetInputPoint(1).y - cy) - 200), 1.0);
    input.OnLButtonDown(MK_LBUTTON, ptRight);
    EXPECT_FALSE(input.IsCalibrating());
    EXPECT_NEAR(input.GetCalibrationPixelLength(), 400.0, 4.0);
}

} // namespace
