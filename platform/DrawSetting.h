// The drawing block of the settings, handed as one unit to the measurement
// windows. Shared by the settings file and the measurement engine.
#pragma once

#include "platform/TextField.h"
#include "platform/WinTypes.h"

struct DRAW_SETTING {
    COLORREF MakeRgnColor;
    COLORREF SelRgnColor;
    COLORREF RgnColor;
    COLORREF SelMeasStrColor;
    COLORREF MeasStrColor;
    COLORREF CrossColor;
    COLORREF ScaleColor;
    int32_t DrawLineWidth;
    int32_t DrawCrossLineWidth;
    char16_t MeasStrFontName[32];
    int32_t MeasStrFontPt;
    int32_t CountKind;
    BOOL bAutoReSize;
};

// The drawing block of a new settings file; the engine draws with it too
// until the main window passes the settings read.
DRAW_SETTING DefaultDrawSetting();

inline bool operator==(const DRAW_SETTING& a, const DRAW_SETTING& b)
{
    return a.MakeRgnColor == b.MakeRgnColor && a.SelRgnColor == b.SelRgnColor && a.RgnColor == b.RgnColor &&
           a.SelMeasStrColor == b.SelMeasStrColor && a.MeasStrColor == b.MeasStrColor &&
           a.CrossColor == b.CrossColor && a.ScaleColor == b.ScaleColor && a.DrawLineWidth == b.DrawLineWidth &&
           a.DrawCrossLineWidth == b.DrawCrossLineWidth &&
           TextFieldString(a.MeasStrFontName) == TextFieldString(b.MeasStrFontName) &&
           a.MeasStrFontPt == b.MeasStrFontPt && a.CountKind == b.CountKind && a.bAutoReSize == b.bAutoReSize;
}
