// The one fit rule for a picture in a rectangle, shared by the image buffer's
// drawing and the screen layout (which has no use for Qt).
#pragma once

#include "platform/WinTypes.h"

#include <cmath>
#include <cstdint>

// The largest rectangle of the picture's aspect inside rc, centred along the
// axis with room to spare; returns the scale, 0.0 for an empty picture.
inline double FitRectToImage(RECT& rc, int32_t nWidth, int32_t nHeight)
{
    if (nWidth <= 0 || nHeight <= 0) {
        return 0.0;
    }
    const int32_t W = rc.right - rc.left;
    const int32_t H = rc.bottom - rc.top;
    const double sx = double(W) / nWidth;
    const double sy = double(H) / nHeight;
    double scale;
    int32_t newW = W, newH = H;
    if (sy > sx) {
        scale = sx;
        newH = int32_t(std::trunc(nHeight * sx));
        rc.top += (H - newH) / 2;
    } else {
        scale = sy;
        newW = int32_t(std::trunc(nWidth * sy));
        rc.left += (W - newW) / 2;
    }
    rc.right = rc.left + newW;
    rc.bottom = rc.top + newH;
    return scale;
}
