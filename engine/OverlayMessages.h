// Messages the overlay posts to its owner (the main window).
#pragma once

#include "platform/WinTypes.h"

constexpr UINT WM_END_SET_CALIBRATION = WM_USER + 0x12;          // 0x412
constexpr UINT WM_ERROR_SET_CALIBRATION = WM_USER + 0x17;        // 0x417
constexpr UINT WM_SELECT_MEASURE_SHAPE = WM_USER + 0x21;         // 0x421
constexpr UINT WM_END_MAKE_SHAPE = WM_USER + 0x2c;               // 0x42c
constexpr UINT WM_ERROR_MAKE_SHAPE = WM_USER + 0x2d;             // 0x42d
constexpr UINT WM_INVALID_SET_POINT = WM_USER + 0x2f;            // 0x42f
constexpr UINT WM_MAKING_RGN_DISP_CAPTION = WM_USER + 0x45;      // 0x445
constexpr UINT WM_MAKING_CROSSLINE_DISP_CAPTION = WM_USER + 0x49; // 0x449
constexpr UINT WM_MOUSE_POSITION = WM_USER + 0x70;               // 0x470

// String numbers the cross-line caption message carries.
constexpr int IDS_CROSS_PROMPT = 529;
constexpr int IDS_CROSS_VERT_PROMPT = 553;
constexpr int IDS_CROSS_HORZ_PROMPT = 554;

// Mouse-message key flags.
constexpr UINT MK_LBUTTON = 0x0001;
constexpr UINT MK_RBUTTON = 0x0002;
constexpr UINT MK_SHIFT = 0x0004;
constexpr UINT MK_CONTROL = 0x0008;
constexpr UINT MK_MBUTTON = 0x0010;
