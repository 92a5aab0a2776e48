// The marker of the pixel the next point of a measurement lands on while
// points snap to edges: drawn by the overlay on screen only, never into a
// saved picture.
#pragma once

#include <cstdint>

// 0xAARRGGBB: magenta, a colour the picture and the other drawings avoid.
constexpr uint32_t kSnapMarkerColour = 0xffff00ff;
// Its ring's radius in screen pixels.
constexpr double kSnapMarkerRadius = 5.0;
