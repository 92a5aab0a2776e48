// The messages the continuous-save threads post to the main window. lParam
// is always the series id, so a message of an earlier series (stopped and
// replaced within moments) is told apart and ignored.
#pragma once

#include "platform/WinTypes.h"

// An image of the series was saved; wParam: images saved so far.
constexpr UINT WM_SAVE_IMAGE_CONTINUE = WM_USER + 0x104;
// The series ended; wParam 1: by a failed save, 0: its ticks are done.
constexpr UINT WM_END_SAVE_IMAGE_CONTINUE = WM_USER + 0x105;
// Seconds until the next image is due (wParam).
constexpr UINT WM_SAVE_CONTINUE_COUNTDOWN = WM_USER + 0x106;
