// The translator's string numbers that the main window shows, named once.
// The measurement kinds' names, buttons and prompts are the kind table's.
#pragma once

#include "app/AppStrings.h"
#include "camera/pages/CameraPageStrings.h"
#include "platform/WinTypes.h"

// Window and controls.
constexpr UINT IDS_CANCEL = 154;
constexpr UINT IDS_UNIT_PIXEL = 192;   // "px"
constexpr UINT IDS_UNIT_COUNT = 193;
constexpr UINT IDS_UNIT_DEGREE = 194;

// Message line.
constexpr UINT IDS_CAMERA_CONNECTED = 500;
constexpr UINT IDS_MEASURE_DONE = 518;
constexpr UINT IDS_SHAPE_CANCELLED = 532;
constexpr UINT IDS_DATA_DELETED = 533;
constexpr UINT IDS_CROSS_LINES_MADE = 535;
constexpr UINT IDS_SHAPES_HIDDEN = 542;
constexpr UINT IDS_SHAPES_SHOWN = 543;
constexpr UINT IDS_INVALID_POINT = 581;
constexpr UINT IDS_CAMERA_NOT_CONNECTED = 601;
constexpr UINT IDS_SHAPE_ERROR = 615;
constexpr UINT IDS_DELETE_ERROR = 618;
constexpr UINT IDS_CAMERA_DISCONNECTED = 622;

// Questions before results go.
constexpr UINT IDS_DELETE_SELECTED_QUESTION = 560;
constexpr UINT IDS_CLEAR_MEASURE_QUESTION = 561;

// Start-up, live view and exit.
constexpr UINT IDS_LIVE_IMAGE = 163;
constexpr UINT IDS_STILL_IMAGE = 164;
constexpr UINT IDS_UNIT_NAME = 210;
constexpr UINT IDS_SWITCHED_TO_CAMERA = 508;
constexpr UINT IDS_SWITCHED_TO_STILL = 509;
constexpr UINT IDS_STREAM_START_ERROR = 602;
constexpr UINT IDS_WINDOW_INIT_ERROR = 604;
constexpr UINT IDS_SDK_TOO_OLD = 624;
constexpr UINT IDS_SDK_LOAD_ERROR = 626;

// The magnifier, the calibration's reference line, cross lines and the scale.
constexpr UINT IDS_ZOOM_WND_TITLE = 148;
constexpr UINT IDS_CALIBRATION_TWO_POINT_PROMPT = 514;
constexpr UINT IDS_CALIBRATION_THREE_POINT_PROMPT = 515;
constexpr UINT IDS_CALIBRATION_CANCELLED = 517;
constexpr UINT IDS_CALIBRATION_CHANGED = 551;
constexpr UINT IDS_CALIBRATION_CANNOT_START = 614;
constexpr UINT IDS_CALIBRATION_FILE_KIND = 250;  // the .clb files' name in the file dialogs
constexpr UINT IDS_CROSS_LINES_HIDDEN = 536;
constexpr UINT IDS_CROSS_LINES_CANCELLED = 537;
constexpr UINT IDS_CROSS_LINES_SHOWN = 538;
constexpr UINT IDS_SCALE_SHOWN = 539;
constexpr UINT IDS_SCALE_CANCELLED = 540;
constexpr UINT IDS_SCALE_HIDDEN = 541;

// The status bar's reading of the pixel under the pointer.
constexpr UINT IDS_POINTER_GREY = 690; // before a grey picture's level

// Camera adjustment.
constexpr UINT IDS_RESOLUTION_ERROR = 628;
