// Which image pixel the pointer is on. The picture is drawn with image pixel
// i over window pixels [i * ratio, (i + 1) * ratio), so the pointer's window
// pixel w is taken at its centre, w + 0.5: every window pixel of an image
// pixel gives that pixel, at every ratio (clicks, pointer moves, dragging,
// hit-testing and the magnifier all ask here).
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>

// floor((w + 0.5) / ratio) + scroll for both axes; false without a usable
// ratio or when the result leaves the int32 range. No check against the
// image's size: the caller decides what lies outside it.
bool PointerToImagePixel(POINT ptWnd, double dRatio, POINT ptScroll, POINT& ptImage);
