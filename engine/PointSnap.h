// Where a point of a measurement or of the reference line lands: the pixel
// under the pointer, or one the picture offers near it (an edge, a line).
#pragma once

#include "platform/WinTypes.h"

class IPointSnap {
public:
    virtual ~IPointSnap() = default;
    // The pixel a click on ptImage lands on at the display ratio; false
    // keeps ptImage. A target lies on the picture.
    virtual bool SnapTarget(POINT ptImage, double dRatio, POINT& ptTarget) = 0;
};
