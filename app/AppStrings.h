// The translator's string numbers that the application object and the
// settings show, named once (the main window's string table uses the same
// names for the ones it shows too).
#pragma once

#include "platform/WinTypes.h"

constexpr UINT IDS_ABOUT = 101;                  // the version box's title
constexpr UINT IDS_PROGRAM_TITLE = 130;          // the program's name once a camera was connected
constexpr UINT IDS_ALREADY_RUNNING = 131;
constexpr UINT IDS_PROGRAM_NAME_NO_CAMERA = 135; // the program's name before that, and boxes' caption
constexpr UINT IDS_UNIT_UM = 197;
constexpr UINT IDS_UNIT_MM = 198;
constexpr UINT IDS_UNIT_CM = 199;
constexpr UINT IDS_CALIBRATION_VALUE = 211;      // the stem of the default calibration names

// The result row's name of each figure kind (0..9), and of a text.
constexpr UINT IDS_MEASURE_RESULT[10] = {300, 301, 302, 303, 304, 305, 306, 307, 308, 309};
constexpr UINT IDS_TEXT_NAME = 312;
