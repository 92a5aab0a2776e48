// The size and depth of a picture, shared by the image buffer and the code
// that lays the picture out on screen (which has no use for Qt).
#pragma once

#include <cstdint>

struct IMAGE_INFO {
    uint32_t nBitCount;
    int32_t nWidth;
    int32_t nHeight;
};
