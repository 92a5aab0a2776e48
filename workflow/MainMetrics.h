// Sizes the main window's layout is drawn in, in pixels at display scale 1.
#pragma once

constexpr int kStatusHeight = 22;
// Between the main window and the tool window beside it.
constexpr int kToolGap = 12;

inline int Scaled(int n, double dScale)
{
    return int(n * dScale);
}
