// Captions and annotations drawn over a picture of their own colour stay
// legible: a ring of the contrasting colour lies around their glyphs.
#include "EngineFixture.h"

#include "engine/QtTextMeasurer.h"
#include "engine/RgnDataDrawer.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

namespace {

class CaptionHaloTest : public EngineTestBase<CQtTextMeasurer> {
protected:
    CaptionHaloTest()
    {
        Eng().SetCalibration(1.0, 1, 1, FALSE);
        DRAW_SETTING s = DefaultEngineDrawSetting();
        CopyTextField(s.MeasStrFontName, u"Noto Sans CJK JP");
        Eng().SetDrawSetting(s);
    }
    // The overlay blended over a picture of one colour.
    QImage DrawOver(QColor picture)
    {
        QImage img(640, 480, QImage::Format_RGB32);
        img.fill(picture);
        QPainter p(&img);
        EXPECT_TRUE(drawer.Draw(Eng(), p, 640, 480));
        return img;
    }
    const RGN_DATA& NewestText()
    {
        const RGN_DATA* pText = nullptr;
        for (const CQSRgnData& s : Eng().GetShapeList()) {
            if (s.Data().nFigure == RGN_TEXT) {
                pText = &s.Data();
            }
        }
        EXPECT_NE(pText, nullptr);
        return *pText;
    }
    // Pixels of colour c in text box d, and those of them with a pixel of
    // colour ring among their eight neighbours.
    static void Count(const QImage& img, const RGN_DATA& d, QRgb c, QRgb ring, int& nAll, int& nRinged)
    {
        nAll = nRinged = 0;
        for (int y = std::max(1, d.nY[0]); y < std::min(img.height() - 1, d.nY[1]); ++y) {
            for (int x = std::max(1, d.nX[0]); x < std::min(img.width() - 1, d.nX[1]); ++x) {
                if (img.pixel(x, y) != c) {
                    continue;
                }
                ++nAll;
                bool bRing = false;
                for (int dy = -1; dy <= 1 && !bRing; ++dy) {
                    for (int dx = -1; dx <= 1 && !bRing; ++dx) {
                        bRing = img.pixel(x + dx, y + dy) == ring;
                    }
                }
                nRinged += bRing;
            }
        }
    }

    CRgnDataDrawer drawer;
};

TEST_F(CaptionHaloTest, YellowCaptionOnYellowAndDarkNoteOnDarkShowTheirGlyphs)
{
    // A yellow caption on a yellow picture: near-black rings its glyphs.
    Measure(MEAS_LENGTH, {POINT{100, 100}, POINT{300, 100}});
    const RGN_DATA caption = NewestText();
    ASSERT_EQ(Eng().GetDrawSetting().MeasStrColor, COLORREF(0x0000ffff));
    const QRgb nearBlack = qRgb(1, 1, 1);
    int nRing = 0, nUnused = 0;
    QImage img = DrawOver(QColor(255, 255, 0));
    Count(img, caption, nearBlack, nearBlack, nRing, nUnused);
    EXPECT_GT(nRing, 40);
    // The glyphs themselves stay yellow, and their edges touch the ring.
    int nGlyph = 0, nGlyphRinged = 0;
    Count(img, caption, qRgb(255, 255, 0), nearBlack, nGlyph, nGlyphRinged);
    EXPECT_GT(nGlyphRinged, 40);

    // A dark blue note on a dark blue picture: a white ring.
    ASSERT_TRUE(input.SetTextToPlace(u"Lot 7", u"Noto Sans CJK JP", 20, 0x00400000));
    input.OnLButtonDown(MK_LBUTTON, POINT{100, 300});
    const RGN_DATA note = NewestText();
    ASSERT_EQ(note.crText, COLORREF(0x00400000));
    img = DrawOver(QColor(0, 0, 0x40));
    int nWhite = 0;
    Count(img, note, qRgb(255, 255, 255), qRgb(255, 255, 255), nWhite, nUnused);
    EXPECT_GT(nWhite, 40);
    int nNote = 0, nNoteRinged = 0;
    Count(img, note, qRgb(0, 0, 0x40), qRgb(255, 255, 255), nNote, nNoteRinged);
    EXPECT_GT(nNoteRinged, 40);

    // Light and dark text colours get their contrasts; black is never a ring.
    EXPECT_EQ(ContrastingColour(0x00ffffff), COLORREF(0x00010101));
    EXPECT_EQ(ContrastingColour(0x0000ffff), COLORREF(0x00010101));
    EXPECT_EQ(ContrastingColour(0x00ff00ff), COLORREF(0x00ffffff));
    EXPECT_EQ(ContrastingColour(0x000000ff), COLORREF(0x00ffffff));
}

} // namespace
