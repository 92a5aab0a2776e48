// A JPEG written band by band is the picture the whole-picture encoder
// writes, whatever the bands; misuse and faults are refused, and the writer
// works again after them.
#include "image/JpegBandWriter.h"
#include "image/JpegCodec.h"

#include <gtest/gtest.h>

#include <cstring>
#include <random>
#include <vector>

namespace {

std::vector<uint8_t> Picture(int w, int h, int nBytes, unsigned nNoise = 32)
{
    std::vector<uint8_t> px(size_t(w) * h * nBytes);
    std::mt19937 rng(3);
    for (size_t i = 0; i < px.size(); ++i) {
        px[i] = uint8_t((i / nBytes % w) * 255 / w + rng() % nNoise);
    }
    return px;
}

std::vector<uint8_t> Banded(image::CJpegBandWriter& writer, const std::vector<uint8_t>& px, int w, int h,
                            int nBytes, int nBand, int nQuality = 85)
{
    EXPECT_TRUE(writer.Begin(w, h, uint32_t(nBytes * 8), nQuality));
    for (int y = 0; y < h; y += nBand) {
        EXPECT_TRUE(writer.WriteRows(px.data() + size_t(y) * w * nBytes, w * nBytes, std::min(nBand, h - y)));
    }
    const uint8_t* p = nullptr;
    size_t n = 0;
    EXPECT_TRUE(writer.Finish(p, n));
    return std::vector<uint8_t>(p, p + n);
}

TEST(JpegBandWriter, AnyBandsGiveTheWholePictureEncodersBytes)
{
    image::CJpegBandWriter writer;
    for (const int nBytes : {3, 4}) {
        // Odd sizes: partial blocks at the right and bottom edges.
        const int w = 301, h = 203;
        const std::vector<uint8_t> px = Picture(w, h, nBytes);
        image::CJpegEncoder whole;
        const uint8_t* p = nullptr;
        size_t n = 0;
        ASSERT_TRUE(whole.Encode(px.data(), w, h, w * nBytes, uint32_t(nBytes * 8), 85, p, n));
        const std::vector<uint8_t> expected(p, p + n);
        for (const int nBand : {1, 7, 16, 203}) {
            EXPECT_EQ(Banded(writer, px, w, h, nBytes, nBand), expected) << nBytes << " bytes, bands of " << nBand;
        }
    }
    // Larger than the first output buffer: it grows and keeps every byte.
    const int w = 1600, h = 1200;
    const std::vector<uint8_t> px = Picture(w, h, 3, 256);
    image::CJpegEncoder whole;
    const uint8_t* p = nullptr;
    size_t n = 0;
    ASSERT_TRUE(whole.Encode(px.data(), w, h, w * 3, 24, 85, p, n));
    ASSERT_GT(n, size_t(1) << 20);
    EXPECT_EQ(Banded(writer, px, w, h, 3, 320), std::vector<uint8_t>(p, p + n));
}

TEST(JpegBandWriter, MisuseIsRefusedAndTheWriterRecovers)
{
    image::CJpegBandWriter writer;
    const uint8_t* p = nullptr;
    size_t n = 0;
    EXPECT_FALSE(writer.Begin(0, 10, 24, 80));
    EXPECT_FALSE(writer.Begin(10, -1, 24, 80));
    EXPECT_FALSE(writer.Begin(70000, 10, 24, 80)); // beyond the format's 65,500
    EXPECT_FALSE(writer.Begin(10, 10, 16, 80));
    EXPECT_FALSE(writer.WriteRows(nullptr, 30, 1)); // nothing begun
    EXPECT_FALSE(writer.Finish(p, n));

    const std::vector<uint8_t> px = Picture(40, 30, 3);
    ASSERT_TRUE(writer.Begin(40, 30, 24, 80));
    EXPECT_TRUE(writer.WriteRows(px.data(), 120, 20));
    EXPECT_FALSE(writer.WriteRows(px.data(), 120, 11)) << "more rows than the picture has";
    EXPECT_FALSE(writer.Finish(p, n)) << "a failed picture is never finished";

    ASSERT_TRUE(writer.Begin(40, 30, 24, 80));
    EXPECT_TRUE(writer.WriteRows(px.data(), 120, 29));
    EXPECT_FALSE(writer.Finish(p, n)) << "a row short";

    // Abandoned half way, then a whole picture: the same bytes as ever.
    ASSERT_TRUE(writer.Begin(40, 30, 24, 80));
    EXPECT_TRUE(writer.WriteRows(px.data(), 120, 10));
    image::CJpegEncoder whole;
    ASSERT_TRUE(whole.Encode(px.data(), 40, 30, 120, 24, 80, p, n));
    const std::vector<uint8_t> expected(p, p + n);
    writer.Abort();
    EXPECT_EQ(Banded(writer, px, 40, 30, 3, 8, 80), expected);
    ASSERT_TRUE(writer.Begin(40, 30, 24, 80));
    EXPECT_TRUE(writer.WriteRows(px.data(), 120, 10));
    EXPECT_EQ(Banded(writer, px, 40, 30, 3, 30, 80), expected) << "Begin drops an unfinished picture";
}

} // namespace
