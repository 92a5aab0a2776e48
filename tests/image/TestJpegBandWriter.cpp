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

// Planes converted band by band on another object, from rows padded to the
// planes' width by repeating the last column (and to an even height by
// repeating the last row), then padded below: the same bytes as the
// whole-picture encoder gives for the unpadded picture.
TEST(JpegBandWriter, PlanesGiveTheWholePictureEncodersBytes)
{
    image::CJpegBandWriter writer;
    image::CYuvConverter converter;
    image::JPEG_YUV420 planes;
    for (const auto& [w, h] : {std::pair<int, int>{301, 203}, {64, 48}, {40, 30}, {17, 1}, {2592, 1944}}) {
        const std::vector<uint8_t> px = Picture(w, h, 4);
        ASSERT_TRUE(planes.Resize(w, h));
        const int w16 = planes.nWidth16, h16 = planes.nHeight16;
        ASSERT_EQ(w16 % 16, 0);
        ASSERT_EQ(h16 % 16, 0);
        const int hEven = h + h % 2;
        std::vector<uint8_t> padded(size_t(w16) * hEven * 4);
        for (int y = 0; y < hEven; ++y) {
            for (int x = 0; x < w16; ++x) {
                std::memcpy(&padded[(size_t(y) * w16 + x) * 4], &px[(size_t(std::min(y, h - 1)) * w + std::min(x, w - 1)) * 4],
                            4);
            }
        }
        for (const int nBand : {16, 48, 1024}) {
            ASSERT_TRUE(writer.BeginYuv(w, h, 85));
            for (int y = 0; y < hEven; y += nBand) {
                const int n = std::min(nBand, hEven - y);
                ASSERT_TRUE(converter.Convert(&padded[size_t(y) * w16 * 4], w16 * 4, planes, y, n));
            }
            planes.PadBottom(h);
            for (int y = 0; y < h16; y += nBand) {
                ASSERT_TRUE(writer.WriteYuvRows(planes, y, std::min(nBand, h16 - y)));
            }
            const uint8_t* p = nullptr;
            size_t n = 0;
            ASSERT_TRUE(writer.Finish(p, n));
            const std::vector<uint8_t> banded(p, p + n);
            image::CJpegEncoder whole;
            ASSERT_TRUE(whole.Encode(px.data(), w, h, w * 4, 32, 85, p, n));
            EXPECT_EQ(banded, std::vector<uint8_t>(p, p + n)) << w << " x " << h << ", bands of " << nBand;
        }
    }
    // Out of order, not whole groups, or rows into a picture begun as pixel rows: refused.
    ASSERT_TRUE(planes.Resize(40, 30));
    ASSERT_TRUE(writer.BeginYuv(40, 30, 80));
    EXPECT_FALSE(writer.WriteYuvRows(planes, 16, 16));
    ASSERT_TRUE(writer.BeginYuv(40, 30, 80));
    EXPECT_FALSE(writer.WriteYuvRows(planes, 0, 8));
    ASSERT_TRUE(writer.Begin(40, 30, 24, 80));
    EXPECT_FALSE(writer.WriteYuvRows(planes, 0, 16));
    EXPECT_FALSE(converter.Convert(planes.y.data(), 160, planes, 1, 2)) << "odd first row";
    EXPECT_FALSE(converter.Convert(planes.y.data(), 160, planes, 0, 48)) << "past the planes";
    EXPECT_FALSE(planes.Resize(0, 10));
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
