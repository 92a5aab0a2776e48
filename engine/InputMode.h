// The overlay's input under way: which operation its next click goes to and
// what that operation was begun with. The engine keeps it beside its own
// input state; the overlay reads it from there.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <string>

// What the overlay's next click goes to.
enum {
    MODE_SELECT = 0,
    MODE_SHAPE = 1,
    MODE_CALIBRATION = 2,
    MODE_CROSS_LINE = 3,
    MODE_TEXT = 4,
};

// The cross lines asked for: how many of each direction, and whether the
// vertical ones are placed first, one click each.
struct CROSS_PLAN {
    int nHorz = 0;
    int nVert = 0;
    BOOL bSeparate = FALSE;
};

// An annotation waiting for the click that places it.
struct PENDING_TEXT {
    std::u16string text;
    std::u16string fontName;
    int32_t nFontPt = 0;
    COLORREF crText = 0;
};

// The overlay's input under way: the mode with what it was begun with.
struct INPUT_MODE {
    int nMode = MODE_SELECT;
    int32_t nKind = -1;             // the measurement last begun
    int32_t nCalibKind = 0;         // the calibration line last begun
    int nClicks = 0;                // clicks taken since the mode began
    double dCalibPixelLength = 0.0; // the finished calibration line
    CROSS_PLAN cross;
    PENDING_TEXT text;
};
