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

// Cameras whose sizes are not in the table (UVC cameras offer 1280 x 720,
// 1920 x 1080 and the like) number their modes by the size itself:
// CAMERA_MODE_BY_SIZE + width * 16384 + height, each side below 16384.
constexpr int CAMERA_MODE_BY_SIZE = 0x10000000;

constexpr int CameraModeBySize(int nWidth, int nHeight)
{
    return CAMERA_MODE_BY_SIZE + nWidth * 16384 + nHeight;
}

// The number a camera gives the mode of a frame size: its table number
// where the table has the size, else the number that carries the size.
constexpr int CameraModeOfSize(int nWidth, int nHeight)
{
    for (int i = 0; i < CAMERA_MODE_MAX; ++i) {
        if (kCameraModeSizes[i].nWidth == nWidth && kCameraModeSizes[i].nHeight == nHeight) {
            return i;
        }
    }
    return CameraModeBySize(nWidth, nHeight);
}

// The frame size of a mode number of either kind; false for any other number.
constexpr bool CameraModeSize(int nMode, int32_t& nWidth, int32_t& nHeight)
{
    if (IsCameraMode(nMode)) {
        nWidth = kCameraModeSizes[nMode].nWidth;
        nHeight = kCameraModeSizes[nMode].nHeight;
        return true;
    }
    if (nMode <= CAMERA_MODE_BY_SIZE) {
        return false;
    }
    const int nSize = nMode - CAMERA_MODE_BY_SIZE;
    const int32_t w = nSize / 16384, h = nSize % 16384;
    if (w <= 0 || h <= 0) {
        return false;
    }
    nWidth = w;
    nHeight = h;
    return true;
}
