// JPEG bytes held elsewhere (an encoder's buffer) with the picture's size.
#pragma once

#include <cstddef>
#include <cstdint>

namespace image {

struct ENCODED_JPEG {
    const uint8_t* pData;
    size_t nSize;
    int nWidth;
    int nHeight;
    bool bGray;
};

} // namespace image
