// Display geometry: picture box layout, fit and zoom steps, the ratio list,
// centring, clamping, scrolling and the mapping of clicks to image pixels.
#include "image/AccImage.h"
#include "workflow/live/DisplayGeometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

constexpr IMAGE_INFO kVga{24, 640, 480};
constexpr IMAGE_INFO k5MP{24, 2592, 1944};

// A frame of W x H at (10, 20) in the client area, margins of 40 and 30.
CDisplayGeometry MakeGeometry(int32_t W, int32_t H)
{
    CDisplayGeometry g;
    g.SetFrameRect(RECT{10, 20, 10 + W, 20 + H});
    g.SetFrameMargins(10 + W + 40, 20 + H + 30);
    return g;
}

std::vector<std::string> RatioTexts(const CDisplayGeometry& g)
{
    std::vector<std::string> v;
    for (int i = 0; i < g.GetRatioCount(); ++i) {
        v.push_back(g.GetRatioText(i));
    }
    return v;
}

void ExpectRect(const RECT& rc, int32_t l, int32_t t, int32_t r, int32_t b)
{
    EXPECT_EQ(rc.left, l);
    EXPECT_EQ(rc.top, t);
    EXPECT_EQ(rc.right, r);
    EXPECT_EQ(rc.bottom, b);
}

} // namespace

TEST(DisplayGeometry, SmallPictureIsShownAtOneCentredWithoutBars)
{
    CDisplayGeometry g = MakeGeometry(1000, 700);
    EXPECT_EQ(g.ResetView(kVga), 0);
    const DISP_VIEW_STATE& v = g.CurrentView();
    EXPECT_EQ(v.dFitRatio, 1.0);
    EXPECT_EQ(v.CurDrawRatio, 1.0);
    EXPECT_TRUE(v.bFit);
    EXPECT_EQ(RatioTexts(g), (std::vector<std::string>{"x1.00", "x1.10", "x1.20", "x1.30", "x1.40", "x1.50", "x1.60",
                                                        "x1.70", "x1.80", "x1.90", "x2.00", "x3.00"}));
    // Centred in the frame, which itself lies at (10, 20).
    ExpectRect(g.GetPictureBoxRect(), 10 + 500 - 320, 20 + 350 - 240, 10 + 500 + 320, 20 + 350 + 240);
    EXPECT_FALSE(g.GetHScroll().bVisible);
    EXPECT_FALSE(g.GetVScroll().bVisible);
    EXPECT_EQ(g.GetScrollPos(), (POINT{0, 0}));
    EXPECT_EQ(g.GetHScroll().nMax, 0);
    EXPECT_EQ(g.GetVScroll().nMax, 0);

    // x3.00: 1920 x 1440 covers the frame both ways, so the box is the frame and both bars show.
    g.DispCurrentRatioImage(11);
    ExpectRect(g.GetPictureBoxRect(), 10, 20, 1010, 720);
    EXPECT_TRUE(g.GetHScroll().bVisible);
    EXPECT_TRUE(g.GetVScroll().bVisible);
    EXPECT_EQ(g.GetHScroll().nMax, 640 - 333);
    EXPECT_EQ(g.GetVScroll().nMax, 480 - 233);

    // x1.50: 960 x 720, only the height exceeds: full height, width centred.
    g.DispCurrentRatioImage(5);
    ExpectRect(g.GetPictureBoxRect(), 10 + 20, 20, 10 + 20 + 960, 720);
    EXPECT_FALSE(g.GetHScroll().bVisible);
    EXPECT_TRUE(g.GetVScroll().bVisible);
}

TEST(DisplayGeometry, WidePictureBoxKeepsFrameWidth)
{
    // 2000 x 100 in 800 x 600: fit 0.4; at x0.50 the width exceeds and the height does not.
    CDisplayGeometry g = MakeGeometry(800, 600);
    g.ResetView(IMAGE_INFO{24, 2000, 100});
    EXPECT_DOUBLE_EQ(g.CurrentView().dFitRatio, 0.4);
    ExpectRect(g.CurrentView().DrawRect, 0, 280, 800, 320);
    EXPECT_EQ(g.GetRatioText(1), "x0.50");
    g.DispCurrentRatioImage(1);
    ExpectRect(g.GetPictureBoxRect(), 10, 20 + (600 - 50) / 2, 810, 20 + (600 - 50) / 2 + 50);
    EXPECT_TRUE(g.GetHScroll().bVisible);
    EXPECT_FALSE(g.GetVScroll().bVisible);
    EXPECT_EQ(g.GetScrollPos(), (POINT{1000 - 800, 0}));
}

TEST(DisplayGeometry, FiveMegapixelFitZoomAndLimits)
{
    CDisplayGeometry g = MakeGeometry(800, 600);
    g.ResetView(k5MP);
    DISP_VIEW_STATE& v = g.CurrentView();
    EXPECT_NEAR(v.dFitRatio, 0.3086, 1e-4);
    const std::vector<std::string> texts = RatioTexts(g);
    ASSERT_EQ(texts.size(), 19u);
    EXPECT_EQ(texts[0], "x0.31");
    EXPECT_EQ(texts[1], "x0.40");
    EXPECT_EQ(texts[17], "x2.00");
    EXPECT_EQ(texts[18], "x3.00");
    EXPECT_EQ(g.GetRatio(0), 0.31);
    EXPECT_FALSE(g.GetHScroll().bVisible);
    EXPECT_FALSE(g.GetVScroll().bVisible);
    EXPECT_EQ(g.GetScrollPos(), (POINT{0, 0}));

    // Zoom out at fit changes nothing.
    EXPECT_FALSE(g.ZoomOut());
    EXPECT_EQ(g.GetRatioSel(), 0);
    EXPECT_TRUE(v.bFit);

    ASSERT_TRUE(g.ZoomIn());
    EXPECT_EQ(g.GetRatioSel(), 1);
    EXPECT_EQ(v.CurDrawRatio, 0.4);
    EXPECT_FALSE(v.bFit);
    EXPECT_EQ(v.CenterPos, (POINT{1296, 972}));
    // 800 / 0.4 = 2000 image pixels across, 1500 down, centred on (1296, 972).
    EXPECT_EQ(g.GetScrollPos(), (POINT{296, 222}));
    EXPECT_EQ(g.GetHScroll().nMax, 592);
    EXPECT_EQ(g.GetVScroll().nMax, 444);
    EXPECT_EQ(g.GetHScroll().nPos, 296);
    EXPECT_EQ(g.GetVScroll().nPos, 222);
    EXPECT_TRUE(g.GetHScroll().bVisible);
    EXPECT_TRUE(g.GetVScroll().bVisible);
    ExpectRect(g.GetPictureBoxRect(), 10, 20, 810, 620);

    // The next step keeps the centre.
    ASSERT_TRUE(g.ZoomIn());
    EXPECT_EQ(g.GetScrollPos(), (POINT{1296 - 800, 972 - 600}));

    while (g.ZoomIn()) {
    }
    EXPECT_EQ(g.GetRatioSel(), 18);
    EXPECT_EQ(v.CurDrawRatio, 3.0);
    const POINT pos = g.GetScrollPos();
    const POINT centre = v.CenterPos;
    EXPECT_FALSE(g.ZoomIn());
    EXPECT_EQ(g.GetRatioSel(), 18);
    EXPECT_EQ(g.GetScrollPos(), pos);
    EXPECT_EQ(v.CenterPos, centre);

    // The fit entry of the combo goes back to the origin with the exact fit ratio.
    g.DispCurrentRatioImage(0);
    EXPECT_TRUE(v.bFit);
    EXPECT_EQ(v.CurDrawRatio, v.dFitRatio);
    EXPECT_EQ(v.CenterPos, (POINT{0, 0}));
    EXPECT_EQ(g.GetScrollPos(), (POINT{0, 0}));
    // And zooming in again centres on the picture, not on the old view.
    g.ZoomIn();
    EXPECT_EQ(g.GetScrollPos(), (POINT{296, 222}));
    g.ZoomFit();
    EXPECT_EQ(g.GetRatioSel(), 0);
    EXPECT_EQ(g.GetScrollPos(), (POINT{0, 0}));
    EXPECT_EQ(v.CurDrawRatio, v.dFitRatio);
}

TEST(DisplayGeometry, CentreClampsAtThePictureEdges)
{
    CDisplayGeometry g = MakeGeometry(800, 600);
    g.ResetView(k5MP);
    DISP_VIEW_STATE& v = g.CurrentView();
    v.CenterPos = POINT{100, 1900};
    g.DispCurrentRatioImage(1);
    // 2000 x 1500 view: left clamps to 0 (centre 1000), bottom to 1944 - 1500.
    EXPECT_EQ(g.GetScrollPos(), (POINT{0, 444}));
    EXPECT_EQ(v.CenterPos, (POINT{1000, 444 + 750}));
    v.CenterPos = POINT{2590, 3};
    g.DispCurrentRatioImage(1);
    EXPECT_EQ(g.GetScrollPos(), (POINT{592, 0}));
    EXPECT_EQ(v.CenterPos, (POINT{1000 + 592, 750}));
}

TEST(DisplayGeometry, ScrollingMovesOneImagePixelPerStep)
{
    CDisplayGeometry g = MakeGeometry(800, 600);
    g.ResetView(k5MP);
    g.ZoomIn();
    DISP_VIEW_STATE& v = g.CurrentView();
    using C = DispScrollCode;

    // Lines and pages move one image pixel; the range ends hold; the thumb
    // goes where it is put, within the range. Starting at (296, 222).
    const struct {
        bool bVert;
        C code;
        int nPos;
        POINT expected;
    } steps[] = {{false, C::LineDown, 0, {297, 222}},    {false, C::PageDown, 0, {298, 222}},
                 {false, C::PageUp, 0, {297, 222}},      {false, C::LineUp, 0, {296, 222}},
                 {true, C::PageDown, 0, {296, 223}},     {true, C::Bottom, 0, {296, 444}},
                 {true, C::LineDown, 0, {296, 444}},     {true, C::PageDown, 0, {296, 444}},
                 {true, C::Top, 0, {296, 0}},            {true, C::LineUp, 0, {296, 0}},
                 {true, C::PageUp, 0, {296, 0}},         {false, C::ThumbTrack, 100, {100, 0}},
                 {false, C::ThumbPosition, 5000, {592, 0}}, {false, C::EndScroll, 0, {592, 0}}};
    for (const auto& st : steps) {
        SCOPED_TRACE(int(st.code));
        g.Scroll(st.bVert, st.code, st.nPos, false);
        EXPECT_EQ(g.GetScrollPos(), st.expected);
        EXPECT_EQ(g.GetHScroll().nPos, st.expected.x);
        EXPECT_EQ(v.CenterPos, (POINT{st.expected.x + 1000, st.expected.y + 750}));
    }
    EXPECT_FALSE(g.Scroll(false, C::EndScroll, 0, false));

    // A still picture's visible region follows the scroll at once; a live
    // picture's is left to the next frame.
    EXPECT_TRUE(g.Scroll(false, C::ThumbPosition, 298, true));
    EXPECT_EQ(v.VisibleRect.left, 298);
    EXPECT_EQ(v.VisibleRect.right, 298 + 2000);
    EXPECT_EQ(v.VisibleRect.bottom, 0 + 1500);
    EXPECT_TRUE(g.Scroll(true, C::LineDown, 0, false));
    EXPECT_EQ(v.VisibleRect.top, 0);

    // The centre the scroll left behind is where the next recalculation puts the view.
    g.Scroll(false, C::ThumbPosition, 123, false);
    g.Scroll(true, C::ThumbPosition, 77, false);
    g.DispCurrentRatioImage(1);
    EXPECT_EQ(g.GetScrollPos(), (POINT{123, 77}));
}

TEST(DisplayGeometry, PictureSmallerThanTheViewStaysAtTheOrigin)
{
    // 100 x 50 at x3.00 in 800 x 600: 300 x 150, centred, nothing to scroll.
    CDisplayGeometry g = MakeGeometry(800, 600);
    g.ResetView(IMAGE_INFO{8, 100, 50});
    EXPECT_EQ(g.CurrentView().dFitRatio, 1.0);
    g.DispCurrentRatioImage(g.GetRatioCount() - 1);
    ExpectRect(g.GetPictureBoxRect(), 10 + 400 - 150, 20 + 300 - 75, 10 + 400 + 150, 20 + 300 + 75);
    EXPECT_EQ(g.GetScrollPos(), (POINT{0, 0}));
    EXPECT_LE(g.GetHScroll().nMax, 0);
    EXPECT_FALSE(g.GetHScroll().bVisible);
    g.Scroll(false, DispScrollCode::LineDown, 0, true);
    g.Scroll(true, DispScrollCode::Bottom, 0, true);
    g.Scroll(true, DispScrollCode::ThumbTrack, 40, true);
    EXPECT_EQ(g.GetScrollPos(), (POINT{0, 0}));

    // Before any picture the view has no ratio: nothing divides by zero, the view is empty.
    CDisplayGeometry empty = MakeGeometry(800, 600);
    empty.CalcDrawImagePos();
    EXPECT_EQ(empty.GetScrollPos(), (POINT{0, 0}));
    EXPECT_EQ(empty.GetHScroll().nMax, 0);
    EXPECT_EQ(empty.GetPictureBoxWidth(), 0);
    EXPECT_FALSE(empty.ZoomIn());
    POINT pt{};
    EXPECT_FALSE(empty.ClickToImage(10, 10, &pt));
    EXPECT_FALSE(empty.MagnifierToImage(10, 10, &pt));
}

// Clicks and the magnifier take the image pixel drawn under the pointer:
// image pixel i covers window pixels [i r, (i + 1) r) from the view's origin.
TEST(DisplayGeometry, ClicksAndTheMagnifierTakeThePixelDrawnThere)
{
    CDisplayGeometry g = MakeGeometry(800, 600);
    g.ResetView(k5MP);
    POINT pt{};
    // Fit (25/81): a window pixel shows 3.24 image pixels; the corner one's centre is on (1, 1).
    ASSERT_TRUE(g.ClickToImage(0, 0, &pt));
    EXPECT_EQ(pt, (POINT{1, 1}));
    ASSERT_TRUE(g.ClickToImage(400, 300, &pt));
    EXPECT_EQ(pt, (POINT{1297, 973}));  // 400.5 * 81/25 = 1297.6
    ASSERT_TRUE(g.ClickToImage(1, 1, &pt));
    EXPECT_EQ(pt, (POINT{4, 4}));  // 1.5 * 3.24 = 4.86

    // Every zoom, scrolled from the view's centre, and the fit: the pixel under each window pixel's centre.
    for (const double r : {25.0 / 81.0, 0.39, 0.4, 1.0, 1.5, 2.0, 3.0, 8.0}) {
        DISP_VIEW_STATE& v = g.CurrentView();
        v.bFit = r == 25.0 / 81.0;
        v.CurDrawRatio = r;
        v.CenterPos = POINT{1000, 900};
        g.CalcDrawImagePos();
        const POINT o = g.GetScrollPos();
        for (int w = 0; w < 800; ++w) {
            const int y = w * 599 / 799;
            POINT mag{};
            ASSERT_TRUE(g.ClickToImage(w, y, &pt));
            ASSERT_TRUE(g.MagnifierToImage(w, y, &mag));
            EXPECT_EQ(mag, pt) << r << " " << w;
            EXPECT_LE((pt.x - o.x) * r, w + 0.5 + 1e-9) << r << " " << w;
            EXPECT_GT((pt.x - o.x + 1) * r, w + 0.5 - 1e-9) << r << " " << w;
            EXPECT_LE((pt.y - o.y) * r, y + 0.5 + 1e-9) << r << " " << y;
            EXPECT_GT((pt.y - o.y + 1) * r, y + 0.5 - 1e-9) << r << " " << y;
        }
    }

    // x2.00 scrolled to (1000, 900).
    g.DispCurrentRatioImage(g.GetRatioCount() - 2);
    ASSERT_EQ(g.CurrentView().CurDrawRatio, 2.0);
    g.Scroll(false, DispScrollCode::ThumbPosition, 1000, false);
    g.Scroll(true, DispScrollCode::ThumbPosition, 900, false);
    ASSERT_TRUE(g.ClickToImage(1, 2, &pt));
    EXPECT_EQ(pt, (POINT{1000, 901}));
    ASSERT_TRUE(g.ClickToImage(799, 599, &pt));
    EXPECT_EQ(pt, (POINT{1399, 1199}));

    // The magnifier stands in the fit ratio for a ratio of 0.
    g.CurrentView().CurDrawRatio = 0.0;
    ASSERT_TRUE(g.MagnifierToImage(81, 81, &pt));
    EXPECT_EQ(pt, (POINT{1000 + 264, 900 + 264}));  // 81.5 * 81/25 = 264.06
    EXPECT_FALSE(g.ClickToImage(81, 81, &pt));
    g.CurrentView().dFitRatio = 0.0;
    EXPECT_FALSE(g.MagnifierToImage(81, 81, &pt));
}

TEST(DisplayGeometry, ResizeKeepsTheRatioWhenStillListed)
{
    CDisplayGeometry g = MakeGeometry(800, 600);  // margins 40 right, 30 bottom
    g.ResetView(k5MP);
    DISP_VIEW_STATE& v = g.CurrentView();
    g.ZoomIn();
    g.ZoomIn();  // x0.50
    g.Scroll(false, DispScrollCode::ThumbPosition, 700, false);
    const POINT centre = v.CenterPos;

    // Larger: fit 1090/2592 = 0.4205 -> x0.42, x0.50 ... ; x0.50 stays, and so does the centre.
    const RECT frame = g.Resize(10 + 1090 + 40, 20 + 950 + 30);
    ExpectRect(frame, 10, 20, 1100, 970);
    EXPECT_NEAR(v.dFitRatio, 1090.0 / 2592.0, 1e-12);
    EXPECT_EQ(g.GetRatioText(0), "x0.42");
    EXPECT_EQ(g.GetRatioSel(), 1);
    EXPECT_EQ(v.CurDrawRatio, 0.5);
    EXPECT_FALSE(v.bFit);
    EXPECT_EQ(v.CenterPos, centre);
    EXPECT_EQ(g.GetScrollPos().x, centre.x - 1090);

    // Larger still: fit 0.55 -> x0.50 is gone, back to fit.
    g.Resize(10 + 1426 + 40, 20 + 1100 + 30);
    EXPECT_TRUE(v.bFit);
    EXPECT_EQ(g.GetRatioSel(), 0);
    EXPECT_EQ(v.CurDrawRatio, v.dFitRatio);
    EXPECT_EQ(g.GetScrollPos(), (POINT{0, 0}));

    // In fit mode the ratio follows the frame.
    g.Resize(10 + 800 + 40, 20 + 600 + 30);
    EXPECT_TRUE(v.bFit);
    EXPECT_NEAR(v.CurDrawRatio, 0.3086, 1e-4);
    EXPECT_EQ(g.GetRatioText(0), "x0.31");
}

TEST(DisplayGeometry, CameraAndFileViewsKeepTheirOwnZoom)
{
    CDisplayGeometry g = MakeGeometry(800, 600);
    g.ResetView(k5MP);
    g.ZoomIn();  // camera view at x0.40
    g.SwitchView(true);
    g.ResetView(kVga);
    EXPECT_EQ(g.GetRatioCount(), 12);
    EXPECT_EQ(g.CurrentView().CurDrawRatio, 1.0);
    EXPECT_EQ(g.CameraView().CurDrawRatio, 0.4);
    g.ZoomIn();
    EXPECT_EQ(g.StillView().CurDrawRatio, 1.1);

    g.SwitchView(false);
    EXPECT_EQ(g.GetRatioCount(), 19);
    EXPECT_EQ(g.GetRatioSel(), 1);
    EXPECT_EQ(g.GetScrollPos(), (POINT{296, 222}));
    g.SwitchView(true);
    EXPECT_EQ(g.GetRatioSel(), 1);
    EXPECT_EQ(g.GetRatioText(1), "x1.10");
}
