// The main window's timers. The window messages it receives are named in
// app/MainWindowMessages.h, engine/OverlayMessages.h, camera/CameraCtrl.h and
// workflow/capture/CaptureMessages.h; the window's message table hands each
// to its handler.
#pragma once

constexpr int TIMER_FRAME_COUNT = 1; // every 100 ms while streaming
