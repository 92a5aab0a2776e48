// The translator's string numbers that the program's own dialogs show: their
// titles and the messages their checks give, named once.
#pragma once

#include "platform/WinTypes.h"

// Titles.
constexpr UINT IDS_SYSTEM_SETTING_TITLE = 140;
constexpr UINT IDS_SAVE_CONTINUE_TITLE = 142;  // the series settings and the interval dialog
constexpr UINT IDS_VIDEO_LENGTH_TITLE = 143;
constexpr UINT IDS_REFERENCE_LENGTH_TITLE = 144;
constexpr UINT IDS_SCALE_TITLE = 145;
constexpr UINT IDS_TEXT_TITLE = 146;
constexpr UINT IDS_LOG_COPY_TITLE = 149;
constexpr UINT IDS_SELECT_FONT_TITLE = 150;

// Messages.
constexpr UINT IDS_LOG_COPIED = 552;
constexpr UINT IDS_NUMBER_INVALID = 580;        // "only half-width digits"
constexpr UINT IDS_SELECT_COPY_TO = 582;
constexpr UINT IDS_INTERVAL_INVALID = 610;
constexpr UINT IDS_COUNT_MISSING = 611;
constexpr UINT IDS_FOLDER_MISSING = 612;
constexpr UINT IDS_SCALE_LENGTH_INVALID = 613;
constexpr UINT IDS_TEXT_MISSING = 616;
constexpr UINT IDS_LOG_COPY_ERROR = 621;
constexpr UINT IDS_TEXT_TOO_LONG = 625;
