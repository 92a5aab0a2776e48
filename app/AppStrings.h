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
constexpr UINT IDS_CALIBRATION_VALUE = 211;
// The string of calibration unit kind 0/1/2 (µm/mm/cm); any other kind is µm.
constexpr UINT UnitNameString(int nUnitKind)
{
    return nUnitKind == 1 ? IDS_UNIT_MM : nUnitKind == 2 ? IDS_UNIT_CM : IDS_UNIT_UM;
}      // the stem of the default calibration names
