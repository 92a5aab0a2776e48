// Outlines of captions and annotations, kept per shape until its text, font,
// size or place changes: turning glyphs into paths is the costly part of
// drawing a text.
#pragma once

#include "engine/RgnData.h"

#include <QPainterPath>

#include <list>
#include <string>
#include <unordered_map>

class CTextOutlines {
public:
    struct OUTLINE {
        std::u16string text;
        std::u16string font;
        int nPointSize = 0;
        POINT pt{0, 0};
        QPainterPath fill;
        QPainterPath stroke;
    };

    // The outline of text record d at nPointSize points.
    const OUTLINE& Get(const RGN_DATA& d, int nPointSize);
    // Forgets the outlines of shapes gone from the list once they pile up.
    void Prune(const std::list<CQSRgnData>& shapes);

private:
    std::unordered_map<int32_t, OUTLINE> m_Texts;
    OUTLINE m_Scratch; // for a record without an ID
};
