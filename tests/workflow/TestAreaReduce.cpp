// Area-averaging reduction of the shown picture, and the picture box drawing
// that uses it below a ratio of 1.
#include "image/AccImage.h"
#include "image/AreaReduce.h"
#include "workflow/live/PictureRenderer.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>
#include <vector>

namespace {

struct PICTURE {
    int32_t nWidth = 0;
    int32_t nHeight = 0;
    int nChannels = 3;
    int32_t nStride = 0;
    std::vector<uint8_t> Bytes;

    PICTURE(int32_t w, int32_t h, int ch, uint8_t fill = 0) : nWidth(w), nHeight(h), nChannels(ch)
    {
        nStride = (w * ch + 3) & ~3;
        Bytes.assign(size_t(nStride) * size_t(h), fill);
    }
    uint8_t* Pixel(int32_t x, int32_t y) { return Bytes.data() + size_t(y) * nStride + size_t(x) * nChannels; }
    const uint8_t* Pixel(int32_t x, int32_t y) const
    {
        return Bytes.data() + size_t(y) * nStride + size_t(x) * nChannels;
    }
};

PICTURE RandomPicture(int32_t w, int32_t h, int ch, uint32_t seed)
{
    PICTURE p(w, h, ch);
    std::mt19937 rng(seed);
    for (auto& b : p.Bytes) {
        b = uint8_t(rng());
    }
    return p;
}

// The box filter in doubles: destination pixel (i, j) is the mean of the
// source area [x0 + i w/dw, x0 + (i+1) w/dw) x [y0 + j h/dh, ...), partial
// pixels weighted by their covered part.
std::vector<double> Reference(const PICTURE& src, const RECT& rc, int32_t dw, int32_t dh)
{
    const int32_t w = rc.right - rc.left, h = rc.bottom - rc.top;
    const double sx = double(w) / dw, sy = double(h) / dh;
    std::vector<double> out(size_t(dw) * dh * src.nChannels, 0.0);
    for (int32_t j = 0; j < dh; ++j) {
        const double ya = j * sy, yb = (j + 1) * sy;
        for (int32_t i = 0; i < dw; ++i) {
            const double xa = i * sx, xb = (i + 1) * sx;
            double* o = out.data() + (size_t(j) * dw + i) * src.nChannels;
            for (int32_t y = int32_t(ya); y < int32_t(std::ceil(yb)) && y < h; ++y) {
                const double fy = std::min<double>(y + 1, yb) - std::max<double>(y, ya);
                for (int32_t x = int32_t(xa); x < int32_t(std::ceil(xb)) && x < w; ++x) {
                    const double f = fy * (std::min<double>(x + 1, xb) - std::max<double>(x, xa));
                    const uint8_t* p = src.Pixel(rc.left + x, rc.top + y);
                    for (int c = 0; c < src.nChannels; ++c) {
                        o[c] += f * p[c];
                    }
                }
            }
            for (int c = 0; c < src.nChannels; ++c) {
                o[c] /= sx * sy;
            }
        }
    }
    return out;
}

bool Reduce(image::CAreaReducer& r, const PICTURE& src, const RECT& rc, PICTURE& dst)
{
    return r.Reduce(src.Bytes.data(), src.nStride, src.nChannels, rc, dst.Bytes.data(), dst.nStride, dst.nChannels,
                    dst.nWidth, dst.nHeight);
}

RECT Whole(const PICTURE& p) { return RECT{0, 0, p.nWidth, p.nHeight}; }

// A region of the source reduced to dw x dh.
struct CASE {
    RECT rc;
    int32_t dw, dh;
};

} // namespace

TEST(AreaReduce, MatchesTheExactBoxFilter)
{
    image::CAreaReducer r;
    const PICTURE src = RandomPicture(2592, 1944, 3, 1);
    // Whole frame at the fit of 800 x 600 and of 1280 x 960, a zoomed region
    // off the origin, a reduction along one direction only, then the first
    // size again so stale cached weights would show.
    const CASE cases[] = {{RECT{0, 0, 2592, 1944}, 800, 600},  {RECT{0, 0, 2592, 1944}, 1280, 960},
                          {RECT{123, 45, 2123, 1545}, 800, 600}, {RECT{7, 9, 1007, 509}, 1000, 333},
                          {RECT{0, 0, 2592, 1944}, 799, 600},  {RECT{0, 0, 2592, 1944}, 800, 600}};
    for (const CASE& k : cases) {
        PICTURE dst(k.dw, k.dh, 3);
        ASSERT_TRUE(Reduce(r, src, k.rc, dst));
        const std::vector<double> ref = Reference(src, k.rc, k.dw, k.dh);
        double worst = 0.0;
        for (int32_t y = 0; y < k.dh; ++y) {
            for (int32_t x = 0; x < k.dw; ++x) {
                for (int c = 0; c < 3; ++c) {
                    worst = std::max(worst, std::abs(dst.Pixel(x, y)[c] - ref[(size_t(y) * k.dw + x) * 3 + c]));
                }
            }
        }
        EXPECT_LE(worst, 1.0) << k.dw << " x " << k.dh;
    }

    // Grey, and the four-byte output: the same values, grey copied to B, G, R, then 255.
    const PICTURE grey = RandomPicture(1001, 777, 1, 2);
    PICTURE g1(300, 233, 1), g4(300, 233, 4);
    ASSERT_TRUE(Reduce(r, grey, Whole(grey), g1));
    ASSERT_TRUE(Reduce(r, grey, Whole(grey), g4));
    const std::vector<double> ref = Reference(grey, Whole(grey), 300, 233);
    for (int32_t y = 0; y < 233; ++y) {
        for (int32_t x = 0; x < 300; ++x) {
            const uint8_t v = g1.Pixel(x, y)[0];
            ASSERT_LE(std::abs(v - ref[size_t(y) * 300 + x]), 1.0);
            const uint8_t* q = g4.Pixel(x, y);
            ASSERT_TRUE(q[0] == v && q[1] == v && q[2] == v && q[3] == 255);
        }
    }
    PICTURE c3(640, 480, 3), c4(640, 480, 4);
    ASSERT_TRUE(Reduce(r, src, Whole(src), c3));
    ASSERT_TRUE(Reduce(r, src, Whole(src), c4));
    for (int32_t y = 0; y < 480; ++y) {
        for (int32_t x = 0; x < 640; ++x) {
            ASSERT_EQ(std::memcmp(c3.Pixel(x, y), c4.Pixel(x, y), 3), 0);
            ASSERT_EQ(c4.Pixel(x, y)[3], 255);
        }
    }
}

TEST(AreaReduce, VectorAndPortableLoopsAgreeExactly)
{
    // Sizes that leave odd remainders for the vector loops (widths not a
    // multiple of 32 bytes, odd destination widths) and steps of 1 to 11 rows.
    const PICTURE src = RandomPicture(1237, 911, 3, 5);
    const PICTURE grey = RandomPicture(1237, 911, 1, 6);
    const CASE cases[] = {{RECT{0, 0, 1237, 911}, 611, 450},  {RECT{3, 1, 1236, 910}, 401, 303},
                          {RECT{0, 0, 1237, 911}, 1237, 455}, {RECT{0, 0, 1237, 911}, 123, 91},
                          {RECT{5, 7, 1005, 707}, 999, 700},  {RECT{0, 0, 1237, 911}, 1, 1}};
    image::CAreaReducer fast(true), plain(false);
    for (const CASE& k : cases) {
        for (int out : {3, 4}) {
            PICTURE a(k.dw, k.dh, out), b(k.dw, k.dh, out);
            ASSERT_TRUE(Reduce(fast, src, k.rc, a));
            ASSERT_TRUE(Reduce(plain, src, k.rc, b));
            ASSERT_EQ(a.Bytes, b.Bytes) << k.dw << " x " << k.dh << " -> " << out;
        }
        PICTURE a(k.dw, k.dh, 1), b(k.dw, k.dh, 1);
        ASSERT_TRUE(Reduce(fast, grey, k.rc, a));
        ASSERT_TRUE(Reduce(plain, grey, k.rc, b));
        ASSERT_EQ(a.Bytes, b.Bytes) << k.dw << " x " << k.dh << " grey";
    }
}

TEST(AreaReduce, OnlyReductionsAndSoundArguments)
{
    EXPECT_TRUE(image::CAreaReducer::IsReduction(0.31));
    EXPECT_TRUE(image::CAreaReducer::IsReduction(0.99));
    EXPECT_FALSE(image::CAreaReducer::IsReduction(1.0));
    EXPECT_FALSE(image::CAreaReducer::IsReduction(3.0));
    EXPECT_FALSE(image::CAreaReducer::IsReduction(0.0));

    image::CAreaReducer r;
    const PICTURE src = RandomPicture(100, 80, 3, 4);
    PICTURE same(100, 80, 3, 7), larger(200, 160, 3, 7), wider(101, 40, 3, 7), ok(50, 40, 3, 7);
    const std::vector<uint8_t> untouched = same.Bytes;
    EXPECT_FALSE(Reduce(r, src, Whole(src), same));
    EXPECT_EQ(same.Bytes, untouched);
    EXPECT_FALSE(Reduce(r, src, Whole(src), larger));
    EXPECT_FALSE(Reduce(r, src, Whole(src), wider));
    // Regions outside the picture's rows, channel counts other than 1 and 3.
    EXPECT_FALSE(Reduce(r, src, RECT{-1, 0, 99, 80}, ok));
    EXPECT_FALSE(Reduce(r, src, RECT{10, 0, 120, 80}, ok));
    EXPECT_FALSE(Reduce(r, src, RECT{10, 10, 10, 50}, ok));
    EXPECT_FALSE(r.Reduce(src.Bytes.data(), src.nStride, 4, Whole(src), ok.Bytes.data(), ok.nStride, 4, 10, 10));
    EXPECT_FALSE(r.Reduce(src.Bytes.data(), src.nStride, 3, Whole(src), ok.Bytes.data(), ok.nStride, 1, 10, 10));
    EXPECT_FALSE(r.Reduce(nullptr, src.nStride, 3, Whole(src), ok.Bytes.data(), ok.nStride, 3, 10, 10));
    // One direction at full size is still a reduction.
    PICTURE half(100, 40, 3);
    ASSERT_TRUE(Reduce(r, src, Whole(src), half));
    for (int32_t x = 0; x < 100 * 3; ++x) {
        EXPECT_NEAR(half.Pixel(0, 7)[x], (src.Pixel(0, 14)[x] + src.Pixel(0, 15)[x]) / 2.0, 0.5 + 1e-9);
    }
}
