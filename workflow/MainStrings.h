// The translator's string numbers that the main window shows, named once.
#pragma once

#include "platform/WinTypes.h"

// Window and controls.
constexpr UINT IDS_PROGRAM_TITLE = 130;
constexpr UINT IDS_CANCEL = 154;
constexpr UINT IDS_UNIT_PIXEL = 192;   // "px"
constexpr UINT IDS_UNIT_COUNT = 193;
constexpr UINT IDS_UNIT_DEGREE = 194;
constexpr UINT IDS_UNIT_FPS = 196;

// Result list names that are not "name of the kind".
constexpr UINT IDS_FIRST_CIRCLE_DIAMETER = 310;
constexpr UINT IDS_SECOND_CIRCLE_DIAMETER = 311;
constexpr UINT IDS_TEXT_NAME = 312;

// Message line.
constexpr UINT IDS_CAMERA_CONNECTED = 500;
constexpr UINT IDS_MEASURE_DONE = 518;
constexpr UINT IDS_SHAPE_CANCELLED = 532;
constexpr UINT IDS_DATA_DELETED = 533;
constexpr UINT IDS_PARALLEL_POINT_PROMPT = 546;
constexpr UINT IDS_PERPENDICULAR_END_PROMPT = 547;
constexpr UINT IDS_SECOND_CIRCLE_PROMPT = 548;
constexpr UINT IDS_SECOND_LINE_PROMPT = 549;
constexpr UINT IDS_ANGLE_SIDE_PROMPT = 550;
constexpr UINT IDS_INVALID_POINT = 581;
constexpr UINT IDS_CAMERA_NOT_CONNECTED = 601;
constexpr UINT IDS_SHAPE_ERROR = 615;
constexpr UINT IDS_CAMERA_DISCONNECTED = 622;

// By measurement kind (0..9): the button, its tooltip, the first prompt and
// the result row's name.
constexpr UINT IDS_MEASURE_BUTTON[10] = {165, 166, 168, 169, 170, 167, 173, 171, 172, 174};
constexpr UINT IDS_MEASURE_DESCRIPTION[10] = {260, 261, 262, 263, 266, 269, 267, 264, 265, 268};
constexpr UINT IDS_MEASURE_PROMPT[10] = {519, 520, 522, 523, 524, 521, 527, 525, 526, 528};
constexpr UINT IDS_MEASURE_RESULT[10] = {300, 301, 302, 303, 304, 305, 306, 307, 308, 309};

// Start-up, live view and exit.
constexpr UINT IDS_ABOUT = 101;
constexpr UINT IDS_PROGRAM_NAME_NO_CAMERA = 135;
constexpr UINT IDS_LIVE_IMAGE = 163;
constexpr UINT IDS_STILL_IMAGE = 164;
constexpr UINT IDS_UNIT_NAME = 210;
constexpr UINT IDS_CALIBRATION_VALUE = 211;
constexpr UINT IDS_SWITCHED_TO_CAMERA = 508;
constexpr UINT IDS_SWITCHED_TO_STILL = 509;
constexpr UINT IDS_DELETE_ALL_QUESTION = 565;
constexpr UINT IDS_STREAM_START_ERROR = 602;
constexpr UINT IDS_WINDOW_INIT_ERROR = 604;
constexpr UINT IDS_SDK_TOO_OLD = 624;
constexpr UINT IDS_SDK_LOAD_ERROR = 626;
