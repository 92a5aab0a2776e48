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

// The drawing block of a new settings file. Inline, as the one below: the
// engine's core links no library of the platform.
inline DRAW_SETTING DefaultDrawSetting()
{
    DRAW_SETTING d{};
    d.MakeRgnColor = 0x4080ff; // orange
    d.SelRgnColor = 0xff0000;  // blue
    d.RgnColor = 0x00ff00;     // green
    d.SelMeasStrColor = 0xff00ff;
    d.MeasStrColor = 0x00ffff; // yellow
    d.CrossColor = 0xffff00;   // cyan
    d.ScaleColor = 0x0000ff;   // red
    d.DrawLineWidth = 2;
    d.DrawCrossLineWidth = 2;
    CopyTextField(d.MeasStrFontName, u"MS UI Gothic");
    d.MeasStrFontPt = 14;
    d.CountKind = 0;
    d.bAutoReSize = TRUE;
    return d;
}

// What the engine draws with until the main window passes the settings read:
// the block above with bolder lines, primary colours and the caption font.
inline DRAW_SETTING InitialEngineDrawSetting()
{
    DRAW_SETTING d = DefaultDrawSetting();
    d.MakeRgnColor = 0x00ff00; // green
    d.RgnColor = 0x0000ff;     // red
    d.ScaleColor = 0xffffff;   // white
    d.DrawLineWidth = 5;
    d.DrawCrossLineWidth = 5;
    CopyTextField(d.MeasStrFontName, u"メイリオ");
    d.MeasStrFontPt = 15;
    return d;
}

inline bool operator==(const DRAW_SETTING& a, const DRAW_SETTING& b)
{
    return a.MakeRgnColor == b.MakeRgnColor && a.SelRgnColor == b.SelRgnColor && a.RgnColor == b.RgnColor &&
           a.SelMeasStrColor == b.SelMeasStrColor && a.MeasStrColor == b.MeasStrColor &&
           a.CrossColor == b.CrossColor && a.ScaleColor == b.ScaleColor && a.DrawLineWidth == b.DrawLineWidth &&
           a.DrawCrossLineWidth == b.DrawCrossLineWidth &&
           TextFieldString(a.MeasStrFontName) == TextFieldString(b.MeasStrFontName) &&
           a.MeasStrFontPt == b.MeasStrFontPt && a.CountKind == b.CountKind && a.bAutoReSize == b.bAutoReSize;
}
