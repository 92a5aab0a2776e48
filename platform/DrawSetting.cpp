#include "platform/DrawSetting.h"

DRAW_SETTING DefaultDrawSetting()
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
