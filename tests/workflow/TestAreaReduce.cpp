// Area-averaging reduction of the shown picture, and the picture box drawing
// that uses it below a ratio of 1.
#include "image/AccImage.h"
#include "image/AreaReduce.h"
#include "workflow/live/PictureRenderer.h"

#include <QImage>
#include <QPainter>

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

} // namespace

TEST(AreaReduce, MatchesTheExactBoxFilter)
{
    image::CAreaReducer r;
    const PICTURE src = RandomPicture(2592, 1944, 3, 1);
    struct CASE {
        RECT rc;
        int32_t dw, dh;
    };
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

TEST(AreaReduce, OnePixelLinesStayVisible)
{
    // White with black one-pixel lines at every phase against the destination grid.
    PICTURE src(2592, 1944, 3, 255);
    for (int32_t x = 5; x < src.nWidth; x += 11) {
        for (int32_t y = 0; y < src.nHeight; ++y) {
            std::memset(src.Pixel(x, y), 0, 3);
        }
    }
    for (int32_t y = 3; y < src.nHeight; y += 13) {
        std::memset(src.Pixel(0, y), 0, size_t(src.nWidth) * 3);
    }
    // x0.31: 2592 -> 803 (footprint 3.23 source pixels).
    const int32_t dw = 803, dh = 602;
    image::CAreaReducer r;
    PICTURE dst(dw, dh, 3);
    ASSERT_TRUE(Reduce(r, src, Whole(src), dst));
    const double fx = double(src.nWidth) / dw, fy = double(src.nHeight) / dh;
    // A line splits over at most two destination pixels, one of which holds at
    // least half of it: that pixel loses at least 255 x 0.5 / footprint.
    const int limitX = int(255.0 * (1.0 - 0.5 / fx)) + 1;
    const int limitY = int(255.0 * (1.0 - 0.5 / fy)) + 1;
    for (int32_t x = 5; x < src.nWidth; x += 11) {
        const int32_t d0 = int32_t(x / fx), d1 = std::min(int32_t((x + 1) / fx), dw - 1);
        for (int32_t y = 0; y < dh; ++y) {
            const int darkest = std::min(dst.Pixel(d0, y)[1], dst.Pixel(d1, y)[1]);
            ASSERT_LE(darkest, limitX) << "column " << x << " row " << y;
        }
    }
    for (int32_t y = 3; y < src.nHeight; y += 13) {
        const int32_t d0 = int32_t(y / fy), d1 = std::min(int32_t((y + 1) / fy), dh - 1);
        for (int32_t x = 0; x < dw; ++x) {
            const int darkest = std::min(dst.Pixel(x, d0)[0], dst.Pixel(x, d1)[0]);
            ASSERT_LE(darkest, limitY) << "row " << y << " column " << x;
        }
    }
}

TEST(AreaReduce, ConstantStaysConstantAndMeanIsKept)
{
    image::CAreaReducer r;
    for (uint8_t value : {uint8_t(0), uint8_t(1), uint8_t(128), uint8_t(254), uint8_t(255)}) {
        for (int ch : {1, 3}) {
            const PICTURE src(997, 613, ch, value);
            PICTURE dst(311, 191, ch);
            ASSERT_TRUE(Reduce(r, src, RECT{3, 2, 990, 611}, dst));
            for (int32_t y = 0; y < dst.nHeight; ++y) {
                for (int32_t x = 0; x < dst.nWidth * ch; ++x) {
                    ASSERT_EQ(dst.Pixel(0, y)[x], value);
                }
            }
        }
    }
    // A smooth ramp plus noise: the mean brightness comes through.
    PICTURE src(2000, 1500, 3);
    std::mt19937 rng(3);
    for (int32_t y = 0; y < src.nHeight; ++y) {
        for (int32_t x = 0; x < src.nWidth * 3; ++x) {
            src.Pixel(0, y)[x] = uint8_t(std::clamp<int>(x / 30 + y / 20 + int(rng() % 41) - 20, 0, 255));
        }
    }
    PICTURE dst(617, 463, 3);
    ASSERT_TRUE(Reduce(r, src, Whole(src), dst));
    double sumSrc = 0, sumDst = 0;
    for (int32_t y = 0; y < src.nHeight; ++y) {
        for (int32_t x = 0; x < src.nWidth * 3; ++x) {
            sumSrc += src.Pixel(0, y)[x];
        }
    }
    for (int32_t y = 0; y < dst.nHeight; ++y) {
        for (int32_t x = 0; x < dst.nWidth * 3; ++x) {
            sumDst += dst.Pixel(0, y)[x];
        }
    }
    EXPECT_NEAR(sumDst / (dst.nWidth * 3.0 * dst.nHeight), sumSrc / (src.nWidth * 3.0 * src.nHeight), 1.0);
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

TEST(PictureRenderer, GridStaysVisibleAtFitAndCrispAtZoom)
{
    // A white picture with a one-pixel black grid every 8 pixels.
    const int32_t w = 2592, h = 1944;
    PICTURE grid(w, h, 3, 255);
    for (int32_t y = 0; y < h; ++y) {
        for (int32_t x = 0; x < w; ++x) {
            if (x % 8 == 4 || y % 8 == 4) {
                std::memset(grid.Pixel(x, y), 0, 3);
            }
        }
    }
    CAccImage image;
    ASSERT_TRUE(image.SetImage(grid.Bytes.data(), IMAGE_INFO{24, w, h}, grid.nStride));

    CPictureRenderer renderer;
    const double fit = 600.0 / 1944.0;
    QImage box(800, 600, QImage::Format_RGB32);
    box.fill(Qt::red);
    {
        QPainter p(&box);
        EXPECT_EQ(renderer.Draw(p, image, 800, 600, fit, 0, 0), fit);
    }
    // Each 8-pixel cell shrinks to about 2.5 pixels: every row of the box
    // crosses a darkened column at least every 3 pixels, none stays red.
    for (int32_t y = 0; y < 600; ++y) {
        int32_t since = 0;
        for (int32_t x = 0; x < box.width(); ++x) {
            const QRgb c = box.pixel(x, y);
            ASSERT_NE(c, QColor(Qt::red).rgb()) << x << "," << y;
            since = qGreen(c) <= 217 ? 0 : since + 1;  // 255 x (1 - 0.5 / 3.24) = 216
            ASSERT_LE(since, 3) << x << "," << y;
        }
    }

    // At x2.00 the renderer leaves the drawing to the buffer: the same pixels as its own nearest drawing.
    QImage a(800, 600, QImage::Format_RGB32), b(800, 600, QImage::Format_RGB32);
    a.fill(Qt::red);
    b.fill(Qt::red);
    {
        QPainter p(&a);
        EXPECT_EQ(renderer.Draw(p, image, 800, 600, 2.0, 101, 37), 2.0);
    }
    {
        QPainter p(&b);
        image.DrawImage(p, 800, 600, nullptr, 2.0, 101, 37);
    }
    EXPECT_EQ(a, b);
    // Crisp: a grid line is exactly two box pixels wide, black on white.
    const QRgb black = qRgb(0, 0, 0), white = qRgb(255, 255, 255);
    // Image column 108 (108 % 8 == 4) lands on box columns (108 - 101) * 2 = 14 and 15.
    EXPECT_EQ(a.pixel(13, 1), white);
    EXPECT_EQ(a.pixel(14, 1), black);
    EXPECT_EQ(a.pixel(15, 1), black);
    EXPECT_EQ(a.pixel(16, 1), white);
}
