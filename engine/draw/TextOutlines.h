// Outlines of captions and annotations, kept per shape until its text, font,
// size or place changes: turning glyphs into paths is the costly part of
// drawing a text. Each text also gets a thin halo in a contrasting colour,
// drawn beneath it, so that a caption stays legible on a picture of its own
// colour.
#pragma once

#include "engine/RgnData.h"

#include <QImage>
#include <QPainterPath>

#include <list>
#include <string>
#include <unordered_map>

// Near black for light text colours, white for dark ones. Near black, not
// black: black is the background of the drawing window and never drawn.
COLORREF ContrastingColour(COLORREF crText);

class CTextOutlines {
public:
    struct OUTLINE {
        std::u16string text;
        std::u16string font;
        int nPointSize = 0;
        POINT pt{0, 0};
        QPainterPath fill;
        QPainterPath stroke;
        QPainterPath halo; // the ring around the glyphs, beneath fill and stroke
        // The three paths filled once into a picture of their own, for a
        // painter at the picture's own scale: one blit in place of three
        // fills that flatten every glyph's curves again.
        QImage sprite;
        QPoint spriteAt;
        COLORREF spriteColour = 0;
    };

    // The outline of text record d at nPointSize points.
    OUTLINE& Get(const RGN_DATA& d, int nPointSize);
    // The outline filled, without antialiasing, in crText over its halo in
    // the contrasting colour, on a transparent picture whose top left corner
    // belongs at 'at'. Kept until the text or the colour changes.
    static const QImage& Sprite(OUTLINE& t, COLORREF crText, QPoint& at);
    // Forgets the outlines of shapes gone from the list once they pile up.
    void Prune(const std::list<CQSRgnData>& shapes);

    // The halo's stroke width for a text of nPointSize points: it grows
    // with the text, so it stays visible when captions are enlarged for a
    // zoomed-out picture.
    static double HaloWidth(int nPointSize);

private:
    std::unordered_map<int32_t, OUTLINE> m_Texts;
    OUTLINE m_Scratch; // for a record without an ID
};
