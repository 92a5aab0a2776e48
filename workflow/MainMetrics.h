// Sizes the main window's layout is drawn in, in pixels at display scale 1.
#pragma once

// The status bar: a row for what lies under the pointer above the row of its parts.
constexpr int kStatusRowHeight = 22;
constexpr int kStatusHeight = 2 * kStatusRowHeight;
// Between the main window and the tool window beside it.
constexpr int kToolGap = 12;

inline int Scaled(int n, double dScale)
{
    return int(n * dScale);
}
