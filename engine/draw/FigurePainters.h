// Drawing of the engine's figures with QPainter: one painter per figure
// type, and the outline of the shape being made. Coordinates are image
// pixels; the caller sets the view transform.
#pragma once

#include "engine/RgnDataCtrl.h"
#include "engine/draw/TextOutlines.h"

#include <QColor>
#include <QPainter>
#include <QRect>

#include <vector>

// One drawing pass.
struct FIGURE_PASS {
    QPainter* p;
    const CRgnDataCtrl* eng;
    int32_t nLineWidth;
    bool bScreen; // captions at the screen size of their font
    CTextOutlines* pTexts;
};

// The colour of a COLORREF (0x00bbggrr).
QColor ColourOf(COLORREF cr);
// The centre of image pixel p: figures cover the same pixels as when drawn
// at image resolution and stretched.
QPointF PixelCentre(POINT p);
QPen FigurePen(COLORREF cr, int32_t w);

// Draws one shape in crFigure. A caption or annotation takes crText, or with
// kOwnTextColour its own colour (annotations) or the setting's (captions).
constexpr COLORREF kOwnTextColour = 0xffffffffu;
void PaintFigure(const FIGURE_PASS& pass, const RGN_DATA& d, COLORREF crFigure, COLORREF crText);

// A rectangle in picture pixels that holds every pixel PaintFigure sets
// for d with lines nLineWidth wide at the picture's own scale; a null
// rectangle when that cannot be told (the figure is then always drawn).
QRect FigureBounds(const RGN_DATA& d, int32_t nLineWidth, int32_t nFarLimit);

// Draws the outline of a shape under construction in the making colour.
void PaintPreview(const FIGURE_PASS& pass, const std::vector<PREVIEW_ITEM>& items);
