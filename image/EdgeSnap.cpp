#include "image/EdgeSnap.h"

#include <algorithm>
#include <cmath>

namespace image {

namespace {

// Beyond the radius: the line test looks 4 pixels to either side of a
// pixel, on the picture smoothed over 5 x 5.
constexpr int32_t kMargin = 6;
constexpr int32_t kMaxSide = 2 * (CEdgeSnap::kMaxRadius + kMargin) + 1;
// Across a line up to 5 pixels wide both sides lie this far out.
constexpr int32_t kAxisReach = 4;
constexpr int32_t kDiagonalReach = 3;
// The binomial 1 4 6 4 1 both ways: it keeps a single peak in the middle of
// a line 1 to 5 pixels wide, however flat the line's top.
constexpr int32_t kSmoothWeight = 256;
constexpr int32_t kMinResponse = CEdgeSnap::kMinContrast * kSmoothWeight;
// A Sobel response of a step is 4 times the step.
constexpr int64_t kMinGradient2 = int64_t(4 * kMinResponse) * (4 * kMinResponse);

inline int32_t Grey(const uint8_t* p, uint32_t nBits)
{
    if (nBits == 8) {
        return p[0];
    }
    // Blue, green, red as the eye weighs them, in fixed point.
    return (29 * p[0] + 150 * p[1] + 77 * p[2]) >> 8;
}

// The squared Sobel gradient at p, rows n apart.
inline int64_t Gradient2(const int32_t* p, int32_t n)
{
    const int64_t gx = (p[-n + 1] + 2 * p[1] + p[n + 1]) - (p[-n - 1] + 2 * p[-1] + p[n - 1]);
    const int64_t gy = (p[n - 1] + 2 * p[n] + p[n + 1]) - (p[-n - 1] + 2 * p[-n] + p[-n + 1]);
    return gx * gx + gy * gy;
}

// A candidate found so far: its value, then the nearer one on a tie.
struct BEST {
    int64_t nValue = 0;
    int32_t nDist2 = 0;
    int32_t x = 0, y = 0;
    bool bFound = false;
    void Offer(int64_t v, int32_t d2, int32_t cx, int32_t cy)
    {
        if (!bFound || v > nValue || (v == nValue && d2 < nDist2)) {
            nValue = v;
            nDist2 = d2;
            x = cx;
            y = cy;
            bFound = true;
        }
    }
};

} // namespace

struct CEdgeSnap::WORK {
    int16_t grey[kMaxSide * kMaxSide];
    int32_t rowSum[kMaxSide * kMaxSide];
    int32_t smooth[kMaxSide * kMaxSide];
};

int32_t SnapRadius(double dRatio, int32_t nScreenPixels)
{
    if (!(dRatio > 0.0) || !std::isfinite(dRatio)) {
        return 2;
    }
    const double r = std::ceil(double(nScreenPixels) / dRatio - 1e-9);
    return int32_t(std::clamp(r, 2.0, double(CEdgeSnap::kMaxRadius)));
}

int32_t CEdgeSnap::ReadHalfSide(int32_t nRadius)
{
    return std::clamp(nRadius, 1, kMaxRadius) + kMargin;
}

CEdgeSnap::CEdgeSnap() : m_pWork(std::make_unique<WORK>()) {}

CEdgeSnap::~CEdgeSnap() = default;

void CEdgeSnap::ReadGrey(const PIXEL_VIEW& view, POINT pt, int32_t nHalf)
{
    WORK& w = *m_pWork;
    const int32_t n = 2 * nHalf + 1;
    const int32_t nWidth = view.info.nWidth, nHeight = view.info.nHeight;
    const uint32_t nBits = view.info.nBitCount;
    const int32_t nBytes = int32_t(nBits / 8);
    const int32_t x0 = pt.x - nHalf;
    const bool bInside = x0 >= 0 && x0 + n <= nWidth;
    for (int32_t y = 0; y < n; ++y) {
        // Off the picture its border pixels stand in: no edge along the border.
        const int32_t iy = std::clamp(pt.y - nHalf + y, 0, nHeight - 1);
        const uint8_t* pRow = view.pPixels + size_t(iy) * size_t(view.nStride);
        int16_t* pOut = w.grey + size_t(y) * n;
        if (bInside && nBits == 24) {
            const uint8_t* p = pRow + size_t(x0) * 3;
            for (int32_t x = 0; x < n; ++x, p += 3) {
                pOut[x] = int16_t((29 * p[0] + 150 * p[1] + 77 * p[2]) >> 8);
            }
        } else if (bInside && nBits == 8) {
            const uint8_t* p = pRow + x0;
            for (int32_t x = 0; x < n; ++x) {
                pOut[x] = p[x];
            }
        } else {
            for (int32_t x = 0; x < n; ++x) {
                const int32_t ix = std::clamp(x0 + x, 0, nWidth - 1);
                pOut[x] = int16_t(Grey(pRow + size_t(ix) * nBytes, nBits));
            }
        }
    }
}

// Smoothed: the noise averaged out, and a line's middle the extreme
// across it.
void CEdgeSnap::Smooth(int32_t n)
{
    WORK& w = *m_pWork;
    for (int32_t y = 0; y < n; ++y) {
        const int16_t* g = w.grey + size_t(y) * n;
        int32_t* h = w.rowSum + size_t(y) * n;
        for (int32_t x = 2; x < n - 2; ++x) {
            h[x] = g[x - 2] + 4 * (g[x - 1] + g[x + 1]) + 6 * g[x] + g[x + 2];
        }
    }
    for (int32_t y = 2; y < n - 2; ++y) {
        const int32_t* a = w.rowSum + size_t(y - 2) * n;
        const int32_t* b = a + n;
        const int32_t* c = b + n;
        const int32_t* d = c + n;
        const int32_t* e = d + n;
        int32_t* s = w.smooth + size_t(y) * n;
        for (int32_t x = 2; x < n - 2; ++x) {
            s[x] = a[x] + 4 * (b[x] + d[x]) + 6 * c[x] + e[x];
        }
    }
}

bool CEdgeSnap::FindTarget(const PIXEL_VIEW& view, POINT ptPointer, int32_t nRadius, POINT& ptTarget)
{
    const IMAGE_INFO& info = view.info;
    if (view.pPixels == nullptr || info.nWidth <= 0 || info.nHeight <= 0 ||
        (info.nBitCount != 8 && info.nBitCount != 24 && info.nBitCount != 32) || ptPointer.x < 0 ||
        ptPointer.y < 0 || ptPointer.x >= info.nWidth || ptPointer.y >= info.nHeight) {
        return false;
    }
    const int32_t r = std::clamp(nRadius, 1, kMaxRadius);
    const int32_t half = ReadHalfSide(r);
    const int32_t n = 2 * half + 1;
    ReadGrey(view, ptPointer, half);

    Smooth(n);
    const WORK& w = *m_pWork;

    // The candidates: the disk of the radius, on the picture.
    const int32_t dyLo = std::max(-r, -ptPointer.y), dyHi = std::min(r, info.nHeight - 1 - ptPointer.y);
    const int32_t dxLo = std::max(-r, -ptPointer.x), dxHi = std::min(r, info.nWidth - 1 - ptPointer.x);
    const int32_t r2 = r * r;
    const int32_t reach[4] = {kAxisReach, kAxisReach * n, kDiagonalReach * (n + 1), kDiagonalReach * (n - 1)};
    const int32_t* s = w.smooth;

    // First the strongest dark line, bright line and gradient.
    int32_t darkMax = 0, brightMax = 0;
    int64_t grad2Max = 0;
    for (int32_t dy = dyLo; dy <= dyHi; ++dy) {
        const int32_t rowBase = (half + dy) * n + half;
        for (int32_t dx = dxLo; dx <= dxHi; ++dx) {
            if (dx * dx + dy * dy > r2) {
                continue;
            }
            const int32_t c = rowBase + dx;
            const int32_t v = s[c];
            for (int32_t o : reach) {
                const int32_t a = s[c - o], b = s[c + o];
                darkMax = std::max(darkMax, std::min(a, b) - v);
                brightMax = std::max(brightMax, v - std::max(a, b));
            }
            grad2Max = std::max(grad2Max, Gradient2(s + c, n));
        }
    }

    // A line wins over the edges along its own sides (whose steps stay
    // below its contrast) unless a far stronger edge is near.
    const bool bDark = darkMax >= brightMax;
    const int32_t lineMax = bDark ? darkMax : brightMax;
    const int64_t step4 = int64_t(std::sqrt(double(grad2Max))); // 4 x the step
    const bool bLine = lineMax >= kMinResponse && int64_t(lineMax) * 8 >= step4;
    if (!bLine && grad2Max < kMinGradient2) {
        return false;
    }
    BEST best;
    for (int32_t dy = dyLo; dy <= dyHi; ++dy) {
        const int32_t rowBase = (half + dy) * n + half;
        for (int32_t dx = dxLo; dx <= dxHi; ++dx) {
            const int32_t d2 = dx * dx + dy * dy;
            if (d2 > r2) {
                continue;
            }
            const int32_t c = rowBase + dx;
            const int32_t v = s[c];
            if (bLine) {
                // Of the line's pixels, the one that stands out most: its middle.
                int32_t response = 0;
                for (int32_t o : reach) {
                    const int32_t a = s[c - o], b = s[c + o];
                    response = std::max(response, bDark ? std::min(a, b) - v : v - std::max(a, b));
                }
                if (2 * response >= lineMax) {
                    best.Offer(bDark ? -v : v, d2, dx, dy);
                }
            } else {
                best.Offer(Gradient2(s + c, n), d2, dx, dy);
            }
        }
    }
    if (!best.bFound) {
        return false;
    }
    ptTarget = POINT{ptPointer.x + best.x, ptPointer.y + best.y};
    return true;
}

} // namespace image
