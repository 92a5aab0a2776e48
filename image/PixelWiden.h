// 24-bit BGR pixels widened to 32-bit BGRX (X = 255), the layout painters
// and encoders take fastest.
#pragma once

#include <cstdint>

namespace image {

// nPixels pixels from pSrc (3 bytes each) to pDst (4 bytes each); the two
// must not overlap.
void WidenBgrToBgrx(const uint8_t* pSrc, uint8_t* pDst, int32_t nPixels);

} // namespace image
