// Widening BGR rows to BGRX: every width, the vector body and its scalar
// tail alike, and never a byte read past the row (the sanitizer build
// checks that on buffers cut to the row's exact size).
#include "image/PixelWiden.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

TEST(PixelWiden, EveryWidthGivesEachPixelItsBytesAndAnOpaqueFourth)
{
    for (int32_t n = 0; n <= 70; ++n) {
        const std::unique_ptr<uint8_t[]> src(new uint8_t[size_t(n) * 3]);
        for (int32_t i = 0; i < n * 3; ++i) {
            src[size_t(i)] = uint8_t(i * 7 + 1);
        }
        std::vector<uint8_t> dst(size_t(n) * 4 + 4, 0x5a);
        image::WidenBgrToBgrx(src.get(), dst.data(), n);
        for (int32_t x = 0; x < n; ++x) {
            ASSERT_EQ(dst[size_t(x) * 4 + 0], src[size_t(x) * 3 + 0]) << n << " pixels, pixel " << x;
            ASSERT_EQ(dst[size_t(x) * 4 + 1], src[size_t(x) * 3 + 1]) << n << " pixels, pixel " << x;
            ASSERT_EQ(dst[size_t(x) * 4 + 2], src[size_t(x) * 3 + 2]) << n << " pixels, pixel " << x;
            ASSERT_EQ(dst[size_t(x) * 4 + 3], 255) << n << " pixels, pixel " << x;
        }
        for (size_t i = size_t(n) * 4; i < dst.size(); ++i) {
            ASSERT_EQ(dst[i], 0x5a) << "written past " << n << " pixels";
        }
    }
}
