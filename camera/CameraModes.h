// The camera modes' frame sizes, by mode number. The controller and the
// simulated SDK both read this one table; it needs nothing but the compiler,
// so the SDK library can include it without linking the program.
#pragma once

#include <cstdint>

constexpr int CAMERA_MODE_MAX = 11;

struct CAMERA_MODE_SIZE {
    int32_t nWidth;
    int32_t nHeight;
};

inline constexpr CAMERA_MODE_SIZE kCameraModeSizes[CAMERA_MODE_MAX] = {
    {320, 240},   {640, 480},   {752, 480},   {800, 600},   {1024, 768}, {1280, 1024},
    {1600, 1200}, {2048, 1536}, {2592, 1944}, {3840, 2748}, {1920, 1200},
};

constexpr bool IsCameraMode(int nMode)
{
    return nMode >= 0 && nMode < CAMERA_MODE_MAX;
}
