// The window messages the main window receives from its tool window, its
// magnifier and its dialogs, each number named once. The overlay's own
// notices are in engine/OverlayMessages.h, the camera's in camera/CameraCtrl.h,
// the series threads' in workflow/capture/CaptureMessages.h.
#pragma once

#include "platform/WinTypes.h"

// Tool window.
constexpr UINT WM_END_CALIBRATION_TAB = WM_USER + 0x02;
constexpr UINT WM_DISP_MEASURE_SHAPE = WM_USER + 0x03;
constexpr UINT WM_DISP_ZOOM_WINDOW = WM_USER + 0x04;
constexpr UINT WM_MOVE_MEAS_MODE_DLG = WM_USER + 0x06;
constexpr UINT WM_SELECT_CALIBRATION_LIST = WM_USER + 0x10;
constexpr UINT WM_START_SET_CALIBRATION = WM_USER + 0x11;
constexpr UINT WM_CANCEL_SET_CALIBRATION = WM_USER + 0x13;
constexpr UINT WM_LOAD_CALIBRATION_DATA = WM_USER + 0x14;
constexpr UINT WM_SAVE_CALIBRATION_DATA = WM_USER + 0x15;
constexpr UINT WM_CHANGE_CALIBRATION = WM_USER + 0x16;
constexpr UINT WM_START_MAKE_LINE = WM_USER + 0x22;
constexpr UINT WM_START_MAKE_PERPENDICULAR = WM_USER + 0x23;
constexpr UINT WM_START_MAKE_CIRCLE = WM_USER + 0x24;
constexpr UINT WM_START_MAKE_2CIRCLE_LINE = WM_USER + 0x25;
constexpr UINT WM_START_MAKE_ANGLE = WM_USER + 0x26;
constexpr UINT WM_START_MAKE_POLYGON = WM_USER + 0x27;
constexpr UINT WM_START_MAKE_POINT_COUNT = WM_USER + 0x28;
constexpr UINT WM_START_MAKE_TEXT = WM_USER + 0x2a;
constexpr UINT WM_CANCEL_MAKE_SHAPE = WM_USER + 0x2b;
constexpr UINT WM_UNDO_SET_POINT = WM_USER + 0x2e;
// From the measurement page's scale button: wParam 1 show, 0 hide.
constexpr UINT WM_DISP_SCALE = WM_USER + 0x31;
constexpr UINT WM_SAVE_MEASURE_DATA = WM_USER + 0x40;
constexpr UINT WM_DELETE_SEL_MEASURE_DATA = WM_USER + 0x41;
// Also from the camera adjustment (wParam 0: the calibration stays; lParam
// -1: without asking again).
constexpr UINT WM_DELETE_ALL_MEASURE_DATA = WM_USER + 0x42;
constexpr UINT WM_EDIT_TEXT = WM_USER + 0x46;
constexpr UINT WM_RECALC_MEAS_RESULT = WM_USER + 0x47;
constexpr UINT WM_UPDATE_MEAS_RESULT_LIST = WM_USER + 0x48;

// Magnifier: it was closed by its close box.
constexpr UINT WM_CLOSE_ZOOM_WINDOW = WM_USER + 0x05;

// System settings: "十字線削除" asks for the cross lines to go once the
// dialog ends with OK.
constexpr UINT WM_DELETE_CROSS_LINE = WM_USER + 0x44;
