#include "EngineFixture.h"

#include "engine/QtTextMeasurer.h"
#include "engine/RgnDataDrawer.h"
#include "engine/draw/TextOutlines.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

namespace {

class RenderTest : public EngineTestBase<CQtTextMeasurer> {
protected:
    RenderTest()
    {
        Eng().SetCalibration(1.0, 1, 1, FALSE);
        DRAW_SETTING s = DefaultEngineDrawSetting();
        CopyTextField(s.MeasStrFontName, u"Noto Sans CJK JP");
        Eng().SetDrawSetting(s);
    }
    QImage Draw(int w = 640, int h = 480)
    {
        QImage img(w, h, QImage::Format_RGB32);
        QPainter p(&img);
        EXPECT_TRUE(drawer.Draw(Eng(), p, w, h, true));
        return img;
    }
    // The newest caption or annotation.
    const RGN_DATA* LastCaption()
    {
        const RGN_DATA* cap = nullptr;
        for (const CQSRgnData& s : Eng().GetShapeList()) {
            if (s.Data().nFigure == RGN_TEXT) {
                cap = &s.Data();
            }
        }
        return cap;
    }
    static QRgb Rgb(COLORREF c) { return qRgb(GetRValue(c), GetGValue(c), GetBValue(c)); }
    static int CountColour(const QImage& img, QRgb c, QRect r = QRect())
    {
        if (r.isNull()) {
            r = img.rect();
        }
        int n = 0;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            for (int x = r.left(); x <= r.right(); ++x) {
                n += img.pixel(x, y) == c;
            }
        }
        return n;
    }

    CRgnDataDrawer drawer;
};

} // namespace

TEST(RenderWidths, WidthTableAgainstTheZoomRatio)
{
    EXPECT_EQ(CRgnDataDrawer::FigureLineWidth(5, 0.25, true, TRUE), 20);
    EXPECT_EQ(CRgnDataDrawer::FigureLineWidth(5, 0.15, true, TRUE), 33);
    EXPECT_EQ(CRgnDataDrawer::FigureLineWidth(5, 0.05, true, TRUE), 100);
    EXPECT_EQ(CRgnDataDrawer::FigureLineWidth(1, 0.95, true, TRUE), 2);
    EXPECT_EQ(CRgnDataDrawer::FigureLineWidth(1, 0.35, true, TRUE), 8);
    EXPECT_EQ(CRgnDataDrawer::FigureLineWidth(5, 2.0, true, TRUE), 3);
    EXPECT_EQ(CRgnDataDrawer::FigureLineWidth(5, 0.25, true, FALSE), 5);
    EXPECT_EQ(CRgnDataDrawer::FigureLineWidth(5, 0.25, false, TRUE), 5);
    EXPECT_EQ(CRgnDataDrawer::FigureLineWidth(0, 1.0, true, TRUE), 5);
    EXPECT_EQ(CRgnDataDrawer::ToQColor(0x4080ff), QColor(255, 128, 64));
}

TEST_F(RenderTest, LineOfWidthFiveCircleAndPointSquares)
{
    Measure(MEAS_LENGTH, {POINT{20, 50}, POINT{220, 50}});
    const QImage img = Draw();
    const QRgb red = Rgb(Eng().GetDrawSetting().RgnColor);
    // Rows 48..52 carry the 5-pixel line; nothing more than a pixel beyond.
    for (int y = 48; y <= 52; ++y) {
        EXPECT_EQ(img.pixel(150, y), red) << y;
    }
    EXPECT_NE(img.pixel(150, 46), red);
    EXPECT_NE(img.pixel(150, 54), red);
    EXPECT_NE(img.pixel(17, 50), red); // flat caps
    EXPECT_NE(img.pixel(224, 50), red);

    Eng().ClearAll();
    Measure(MEAS_CIRCLE, {POINT{200, 100}, POINT{300, 200}, POINT{200, 300}});
    Measure(MEAS_COUNT, {POINT{500, 400}, POINT{560, 400}}, true);
    const QImage c = Draw();
    EXPECT_EQ(c.pixel(100, 200), red); // the circle passes through (100, 200)
    EXPECT_EQ(c.pixel(200, 101), red);
    EXPECT_NE(c.pixel(150, 200), red); // not filled
    EXPECT_EQ(c.pixel(500 - 4, 400 - 4), red); // a square of half side 5
    EXPECT_EQ(c.pixel(500 + 5, 400 + 5), red);
    EXPECT_NE(c.pixel(500 + 7, 400), red);
}

TEST_F(RenderTest, CaptionsFollowMeasStrColorAndSelectionIsDrawnInSelColours)
{
    Measure(MEAS_LENGTH, {POINT{100, 200}, POINT{300, 200}});
    const RGN_DATA* cap = LastCaption();
    ASSERT_NE(cap, nullptr);
    const QRect box(cap->nX[0], cap->nY[0], cap->nX[1] - cap->nX[0], cap->nY[1] - cap->nY[0]);
    EXPECT_GT(box.width(), 10);
    EXPECT_GT(CountColour(Draw(), Rgb(Eng().GetDrawSetting().MeasStrColor), box), 20);
    DRAW_SETTING s = Eng().GetDrawSetting();
    s.MeasStrColor = 0x00a0b0c0;
    Eng().SetDrawSetting(s);
    EXPECT_GT(CountColour(Draw(), Rgb(0x00a0b0c0), box), 20);

    // Pick the line: it and its caption turn to the selection colours.
    input.OnLButtonDown(MK_LBUTTON, POINT{150, 205});
    ASSERT_EQ(Eng().GetInputState(), INPUT_SELECTED);
    const QImage img = Draw();
    EXPECT_EQ(img.pixel(250, 200), Rgb(s.SelRgnColor));
    EXPECT_GT(CountColour(img, Rgb(s.SelMeasStrColor), box), 20);
    EXPECT_EQ(CountColour(img, Rgb(0x00a0b0c0), box), 0);
}

// (The scale bar's pixels: the window's scale bar suite.)
TEST_F(RenderTest, CrossLinesAndConstructionPreview)
{
    ASSERT_TRUE(input.StartCrossLineInput(1, 1, FALSE));
    input.OnLButtonDown(MK_LBUTTON, POINT{100, 150});
    QImage img = Draw();
    const QRgb cyan = Rgb(Eng().GetDrawSetting().CrossColor);
    EXPECT_EQ(img.pixel(100, 1), cyan);
    EXPECT_EQ(img.pixel(100, 478), cyan);
    EXPECT_EQ(img.pixel(1, 150), cyan);
    EXPECT_EQ(img.pixel(638, 150), cyan);

    Eng().m_bDispCrossLine = FALSE;
    ASSERT_TRUE(input.StartMakeShape(MEAS_ANGLE));
    input.OnLButtonDown(MK_LBUTTON, POINT{50, 300});
    input.OnMouseMove(0, POINT{250, 300});
    img = Draw();
    const QRgb green = Rgb(Eng().GetDrawSetting().MakeRgnColor);
    EXPECT_EQ(img.pixel(150, 300), green); // the rubber band
}

TEST_F(RenderTest, ArcFollowsTheOrderOfItsPointsAndDegenerateShapesAreHarmless)
{
    // Centre (200, 200), radius 100: from the right through the left to the top.
    Measure(MEAS_ARC, {POINT{300, 200}, POINT{100, 200}, POINT{200, 100}});
    ASSERT_EQ(Eng().GetMeasureArray().size(), 1u);
    const QImage img = Draw();
    const QRgb red = Rgb(Eng().GetDrawSetting().RgnColor);
    EXPECT_EQ(img.pixel(200, 300), red);  // the bottom lies on the arc
    EXPECT_NE(img.pixel(271, 129), red);  // the upper right does not
    EXPECT_EQ(Eng().HitTest(POINT{271, 129}), nullptr) << "nor does its hit region";

    // Records that could never come from input: drawing them does nothing harmful.
    CRgnDataCtrl& eng = Eng();
    eng.ClearAll();
    QImage target(640, 480, QImage::Format_RGB32);
    RGN_DATA bad{};
    bad.nFigure = RGN_ARC;
    bad.nPointNum = 6; // all points equal
    CQSRgnData shape(bad);
    shape.BuildRegion(eng.FarLimit());
    EXPECT_TRUE(shape.Region().IsEmpty());
    RECT all{0, 0, 0, 0};
    EXPECT_TRUE(drawer.Render(eng, target, all));
}

TEST_F(RenderTest, RenderForSavingDrawsShapesAtFullSizeWithoutSelection)
{
    Measure(MEAS_LENGTH, {POINT{100, 100}, POINT{300, 100}});
    input.OnLButtonDown(MK_LBUTTON, POINT{200, 100}); // selected
    Eng().SetView(0.25, 0, 0);
    QImage target(640, 480, QImage::Format_RGB32);
    target.fill(Qt::black);
    ASSERT_TRUE(drawer.Render(Eng(), target, RECT{0, 0, 0, 0}));
    const QRgb red = Rgb(Eng().GetDrawSetting().RgnColor);
    EXPECT_EQ(target.pixel(200, 98), red); // width 5, no zoom compensation
    EXPECT_NE(target.pixel(200, 104), red);
    EXPECT_EQ(CountColour(target, Rgb(Eng().GetDrawSetting().SelRgnColor)), 0);
}

TEST_F(RenderTest, DrawsAtZoomAndScrollLikeTheStretchedPicture)
{
    Measure(MEAS_LENGTH, {POINT{100, 100}, POINT{300, 100}});
    Eng().SetView(2.0, 50, 50); // window = (image - 50) * 2
    const QImage img = Draw(400, 400);
    const QRgb red = Rgb(Eng().GetDrawSetting().RgnColor);
    // Width 5 at ratio 2 with auto resize: 3 image px = 6 window px around y 100.
    EXPECT_EQ(img.pixel(200, 101), red); // (100.5 - 50) * 2
    EXPECT_EQ(img.pixel(200, 98), red);
    EXPECT_EQ(img.pixel(200, 103), red);
    EXPECT_NE(img.pixel(200, 95), red);
    EXPECT_NE(img.pixel(200, 107), red);
    EXPECT_EQ(img.pixel(110, 100), red); // image x 105
    EXPECT_NE(img.pixel(90, 100), red);  // image x 95: before the line starts
}

TEST_F(RenderTest, LayerOfFinishedShapesFollowsEveryChange)
{
    Measure(MEAS_LENGTH, {POINT{100, 300}, POINT{300, 300}});
    const QRgb red = Rgb(Eng().GetDrawSetting().RgnColor);
    QImage img = Draw();
    const int renders = drawer.LayerRenderCount();
    img = Draw();
    EXPECT_EQ(drawer.LayerRenderCount(), renders); // nothing changed: the layer is reused
    EXPECT_EQ(img.pixel(150, 300), red);

    // Dragging the caption moves it in the next drawing.
    const RGN_DATA* cap = LastCaption();
    ASSERT_NE(cap, nullptr);
    const QRect before(cap->nX[0], cap->nY[0], cap->nX[1] - cap->nX[0], cap->nY[1] - cap->nY[0]);
    const QRgb yellow = Rgb(Eng().GetDrawSetting().MeasStrColor);
    EXPECT_GT(CountColour(img, yellow, before), 10);
    input.OnLButtonDown(MK_LBUTTON, POINT{before.x() + 2, before.y() + 2});
    input.OnMouseMove(MK_LBUTTON, POINT{before.x() + 2, before.y() + 102});
    img = Draw();
    EXPECT_EQ(CountColour(img, yellow, before), 0);
    EXPECT_GT(drawer.LayerRenderCount(), renders);

    // Settings and zoom changes show at once.
    input.OnLButtonDown(MK_LBUTTON, POINT{600, 20}); // deselect
    DRAW_SETTING s = Eng().GetDrawSetting();
    s.RgnColor = 0x00123456;
    Eng().SetDrawSetting(s);
    EXPECT_EQ(Draw().pixel(150, 300), Rgb(0x00123456));
    Eng().SetView(0.5, 0, 0);
    img = Draw();
    EXPECT_EQ(img.pixel(75, 150), Rgb(0x00123456));
    EXPECT_NE(img.pixel(150, 300), Rgb(0x00123456));
    // Over a picture the overlay is blended: the picture shows where nothing
    // is drawn, and nothing at all when the shapes are hidden.
    QImage picture(640, 480, QImage::Format_RGB32);
    picture.fill(QColor(10, 200, 30));
    {
        QPainter p(&picture);
        ASSERT_TRUE(drawer.Draw(Eng(), p, 640, 480));
    }
    EXPECT_EQ(picture.pixel(75, 150), Rgb(0x00123456));
    EXPECT_EQ(picture.pixel(300, 50), qRgb(10, 200, 30));
    Eng().m_bDispShapes = FALSE;
    picture.fill(QColor(10, 200, 30));
    {
        QPainter p(&picture);
        ASSERT_TRUE(drawer.Draw(Eng(), p, 640, 480));
    }
    EXPECT_EQ(picture.pixel(75, 150), qRgb(10, 200, 30));
    Eng().m_bDispShapes = TRUE;

    // Every other change that is drawn renders the layer anew; a rubber band
    // and reading the results do not.
    const auto redrawn = [&] {
        const int before = drawer.LayerRenderCount();
        Draw();
        return drawer.LayerRenderCount() > before;
    };
    redrawn();
    ASSERT_TRUE(input.StartMakeShape(MEAS_LENGTH));
    input.OnLButtonDown(MK_LBUTTON, POINT{400, 400});
    redrawn();
    input.OnMouseMove(0, POINT{450, 420});
    std::vector<MEASURE_DATA> rows;
    Eng().CopyMeasureData(rows);
    EXPECT_FALSE(redrawn()) << "rubber band and reading";
    input.CancelInput();
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"perpendicular group", [&] { Measure(MEAS_PERPENDICULAR, {POINT{100, 100}, POINT{300, 100}, POINT{200, 150}}, true); }},
        {"selection", [&] { input.OnLButtonDown(MK_LBUTTON, POINT{75, 152}); }},
        {"recalculation", [&] { Eng().SetCalibration(0.25, 2, 1, TRUE); }},
        {"annotation", [&] {
             input.SetTextToPlace(u"note", u"Font", 12, 0xff);
             input.OnLButtonDown(MK_LBUTTON, POINT{20, 20});
         }},
        {"selection from the list", [&] { Eng().SelectMeasurements({Eng().GetLastMeasNo()}); }},
        {"edited annotation", [&] { input.EditSelectedText(u"longer note", u"Font", 12, 0xff); }},
        {"deletion", [&] { Eng().DeleteMeasurement(1); }},
        {"clearing", [&] { Eng().ClearAll(); }},
    };
    for (const auto& [what, change] : changes) {
        change();
        EXPECT_TRUE(redrawn()) << what;
    }
}

// Saving draws the overlay band by band while the bands above are
// compressed. The painter cuts each band's drawing at its edges, which may
// set a pixel more or fewer on a shape's edge; anything beyond that (a shape
// missing, moved or cut short at a band edge) is a fault.
TEST_F(RenderTest, RenderInBandsMatchesTheWholeDrawing)
{
    Measure(MEAS_LENGTH, {POINT{40, 30}, POINT{600, 450}});
    Measure(MEAS_CIRCLE, {POINT{200, 150}, POINT{320, 130}, POINT{260, 260}});
    Measure(MEAS_ANGLE, {POINT{500, 60}, POINT{420, 200}, POINT{560, 330}});
    Measure(MEAS_PARALLEL, {POINT{60, 300}, POINT{300, 310}, POINT{200, 400}});
    // An arc of 315 degrees reaches far past its three points.
    Measure(MEAS_ARC, {POINT{420, 240}, POINT{320, 140}, POINT{391, 311}});
    Measure(MEAS_POLYGON, {POINT{450, 380}, POINT{600, 390}, POINT{560, 470}, POINT{470, 460}}, true);
    Eng().m_bDispCrossLine = TRUE;
    const int32_t crossX[] = {333}, crossY[] = {217};
    ASSERT_TRUE(Eng().SetCrossLinePos(crossX, 1, crossY, 1));
    Eng().m_bDispScale = TRUE;
    Eng().m_dScaleSizeX = 100.0;
    const QRgb grey = qRgb(90, 90, 90);
    for (const RECT area : {RECT{0, 0, 640, 480}, RECT{37, 21, 611, 449}}) {
        const int w = area.right - area.left, h = area.bottom - area.top;
        QImage whole(640, 480, QImage::Format_RGB32);
        whole.fill(grey);
        ASSERT_TRUE(drawer.Render(Eng(), whole, area));
        const QImage expected = whole.copy(area.left, area.top, w, h);
        for (const int nBand : {1, 7, 64, 320}) {
            QImage banded(w, h, QImage::Format_RGB32);
            banded.fill(grey);
            for (int y = 0; y < h; y += nBand) {
                const int n = std::min(nBand, h - y);
                QImage band(banded.bits() + y * banded.bytesPerLine(), w, n, banded.bytesPerLine(),
                            QImage::Format_RGB32);
                ASSERT_TRUE(drawer.Render(Eng(), band, area, QPoint(area.left, area.top + y)));
            }
            // Each differing pixel is an edge moved by one: its colour lies
            // next to it in the whole drawing.
            int nDiffer = 0, nOffEdge = 0;
            for (int y = 1; y + 1 < h; ++y) {
                for (int x = 1; x + 1 < w; ++x) {
                    const QRgb c = banded.pixel(x, y);
                    if (c == expected.pixel(x, y)) {
                        continue;
                    }
                    ++nDiffer;
                    bool bSame = false;
                    for (int dy = -1; dy <= 1; ++dy) {
                        for (int dx = -1; dx <= 1; ++dx) {
                            bSame = bSame || expected.pixel(x + dx, y + dy) == c;
                        }
                    }
                    nOffEdge += !bSame;
                }
            }
            EXPECT_EQ(nOffEdge, 0) << "bands of " << nBand << " rows, area at " << area.left;
            EXPECT_LE(nDiffer, nBand >= 64 ? 5 : 30) << "bands of " << nBand << " rows, area at " << area.left;
            EXPECT_GT(CountColour(banded, Rgb(Eng().GetDrawSetting().RgnColor)),
                      CountColour(expected, Rgb(Eng().GetDrawSetting().RgnColor)) * 99 / 100);
        }
    }
}

// A caption drawn at the picture's own scale is blitted from a picture of
// its fills: its pixels must be those of the fills themselves.
TEST_F(RenderTest, CaptionSpriteHoldsThePixelsOfItsFills)
{
    Measure(MEAS_LENGTH, {POINT{100, 100}, POINT{300, 180}});
    const RGN_DATA* cap = LastCaption();
    ASSERT_NE(cap, nullptr);
    CTextOutlines texts;
    for (const COLORREF cr : {COLORREF(0x0000ffff), COLORREF(0x00200000)}) {
        CTextOutlines::OUTLINE& t = texts.Get(*cap, 30);
        QImage filled(640, 480, QImage::Format_RGB32), blitted(640, 480, QImage::Format_RGB32);
        filled.fill(qRgb(128, 128, 128));
        blitted.fill(qRgb(128, 128, 128));
        {
            QPainter p(&filled);
            const COLORREF crHalo = ContrastingColour(cr);
            p.fillPath(t.halo, QColor(Rgb(crHalo)));
            p.fillPath(t.fill, QColor(Rgb(cr)));
            p.fillPath(t.stroke, QColor(Rgb(cr)));
        }
        QPoint at;
        const QImage& sprite = CTextOutlines::Sprite(t, cr, at);
        QPainter(&blitted).drawImage(at, sprite);
        EXPECT_EQ(blitted, filled) << std::hex << cr;
        EXPECT_GT(CountColour(blitted, Rgb(cr)), 50);
    }
}
