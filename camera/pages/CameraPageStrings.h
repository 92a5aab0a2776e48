// The translator's string numbers that the camera adjustment dialog and its
// pages show, named once (the main window's string table uses the same names
// for the ones it shows too).
#pragma once

#include "platform/WinTypes.h"

constexpr UINT IDS_CAMERA_SETTING_TITLE = 141;
constexpr UINT IDS_UNIT_MHZ = 195;
constexpr UINT IDS_UNIT_FPS = 196;
constexpr UINT IDS_CLOCK_GROUP = 220;      // "クロック数"
constexpr UINT IDS_FRAME_RATE_GROUP = 221; // "フレームレート"
constexpr UINT IDS_DELETE_ALL_QUESTION = 565;
constexpr UINT IDS_CAMERA_VALUE_REFUSED = 585;
