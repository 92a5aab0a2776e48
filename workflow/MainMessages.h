// The window messages the main window receives, in one table: the camera's
// frame and disconnect notices and the overlay's measurement protocol.
#pragma once

#include "camera/CameraCtrl.h"
#include "engine/OverlayMessages.h"
#include "workflow/capture/CaptureMessages.h"

// WM_CAMERA_FRAME (0x401) and WM_CAMERA_DISCONNECT (0x501) come from the
// camera controller; the rest from the overlay.
inline constexpr UINT kMainWindowMessages[] = {
    WM_CAMERA_FRAME,      WM_CAMERA_DISCONNECT,  WM_END_MAKE_SHAPE,         WM_ERROR_MAKE_SHAPE,
    WM_INVALID_SET_POINT, WM_SELECT_MEASURE_SHAPE, WM_MAKING_RGN_DISP_CAPTION,
    WM_SAVE_IMAGE_CONTINUE, WM_END_SAVE_IMAGE_CONTINUE, WM_SAVE_CONTINUE_COUNTDOWN,
};

// Timers of the main window.
constexpr int TIMER_FRAME_COUNT = 1; // every 100 ms while streaming
