// Grey conversion of 24-bit colour pixels in place.
#pragma once

#include <cstddef>
#include <cstdint>

namespace image {

// Sets the three bytes of each whole BGR pixel in nSize bytes to
// trunc(0.586611 g + 0.114478 b + 0.298912 r); a partial pixel at the end stays.
void ConvertBgrToGrey(uint8_t* pPixels, size_t nSize);

} // namespace image
