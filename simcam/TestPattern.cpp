#include "simcam/TestPattern.h"

#include <algorithm>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace simcam {

namespace {
uint8_t Clamp(double v)
{
    return uint8_t(v < 0 ? 0 : (v > 255 ? 255 : v + 0.5));
}

constexpr size_t kNoiseSpan = size_t(3) << 15; // starting points of a row's noise (whole pixels)

// dst = src - amplitude + noise, saturating at 0 and 255: the noise averages out.
void AddNoise(uint8_t* pDst, const uint8_t* pSrc, const uint8_t* pNoise, size_t n)
{
    size_t i = 0;
#if defined(__SSE2__)
    const __m128i amp = _mm_set1_epi8(char(kNoiseAmplitude));
    if ((reinterpret_cast<uintptr_t>(pDst) & 15) == 0) {
        // Streaming stores: the frame is written whole and not read back
        // here, so its lines need not be fetched first (as memcpy avoids too).
        for (; i + 16 <= n; i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc + i));
            const __m128i z = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pNoise + i));
            _mm_stream_si128(reinterpret_cast<__m128i*>(pDst + i), _mm_adds_epu8(_mm_subs_epu8(v, amp), z));
        }
    }
    for (; i + 16 <= n; i += 16) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pSrc + i));
        const __m128i z = _mm_loadu_si128(reinterpret_cast<const __m128i*>(pNoise + i));
        _mm_storeu_si128(reinterpret_cast<__m128i*>(pDst + i), _mm_adds_epu8(_mm_subs_epu8(v, amp), z));
    }
#endif
    for (; i < n; ++i) {
        const int v = std::max(int(pSrc[i]) - kNoiseAmplitude, 0) + pNoise[i];
        pDst[i] = uint8_t(std::min(v, 255));
    }
}
} // namespace

void CTestPattern::StillOffset(int& ox, int& oy)
{
    ox = kWorldMargin / 2;
    oy = kWorldMargin / 2;
}

std::vector<uint8_t> CTestPattern::StillFrame(int nWidth, int nHeight, const PATTERN_LOOK& look)
{
    CTestPattern pattern;
    pattern.Render(nWidth, nHeight, look);
    int ox = 0, oy = 0;
    StillOffset(ox, oy);
    std::vector<uint8_t> frame(size_t(nWidth) * nHeight * 3);
    pattern.CutFrame(frame.data(), ox, oy, false, 0);
    return frame;
}

void CTestPattern::SwayOffset(uint32_t nFrame, int& ox, int& oy)
{
    const double t = nFrame * 0.02;
    ox = int(kWorldMargin / 2 + (kWorldMargin / 2 - 1) * std::sin(t));
    oy = int(kWorldMargin / 2 + (kWorldMargin / 4) * std::sin(t * 0.7));
}

void CTestPattern::Render(int nWidth, int nHeight, const PATTERN_LOOK& look)
{
    m_nWidth = nWidth;
    m_nHeight = nHeight;
    m_nWorldWidth = nWidth + kWorldMargin;
    m_nWorldHeight = nHeight + kWorldMargin;
    m_World.assign(size_t(m_nWorldWidth) * m_nWorldHeight * 3, 0);
    const double cx0 = m_nWorldWidth * 0.30, cy0 = m_nWorldHeight * 0.45;
    const double cx1 = m_nWorldWidth * 0.62, cy1 = m_nWorldHeight * 0.40;
    const double cx2 = m_nWorldWidth * 0.82, cy2 = m_nWorldHeight * 0.62;
    const int rulerY = m_nWorldHeight - kWorldMargin / 2 - 60;
    for (int y = 0; y < m_nWorldHeight; ++y) {
        uint8_t* row = m_World.data() + size_t(y) * m_nWorldWidth * 3;
        for (int x = 0; x < m_nWorldWidth; ++x) {
            const int wx = look.bMirror ? m_nWorldWidth - 1 - x : x;
            double b = 205, g = 200, r = 190;
            // Grid every 50 px, heavier every 250 px.
            if (wx % kGridPitch == 0 || y % kGridPitch == 0) {
                b = g = r = (wx % (5 * kGridPitch) == 0 || y % (5 * kGridPitch) == 0) ? 60 : 130;
            }
            // Circles of 100, 200 and 400 px diameter, 3 px rings.
            auto ring = [&](double cx, double cy, double d) {
                const double dist = std::hypot(wx - cx, y - cy);
                return std::fabs(dist - d / 2) < 1.5;
            };
            if (ring(cx0, cy0, 400) || ring(cx1, cy1, 200) || ring(cx2, cy2, 100)) {
                b = 40, g = 40, r = 200;
            }
            // Colour patches: blue, green, red.
            if (y > 40 && y < 120 && wx > 40 && wx < 280) {
                const int patch = (wx - 40) / 80;
                b = patch == 0 ? 220 : 30;
                g = patch == 1 ? 200 : 30;
                r = patch == 2 ? 220 : 30;
            }
            // Ruler: a tick every 10 px, longer every 50 and 100 px.
            if (y >= rulerY && y < rulerY + 40 && wx >= 100 && wx <= 100 + 1000) {
                const int t = wx - 100;
                const int len = t % 100 == 0 ? 40 : (t % 50 == 0 ? 28 : (t % 10 == 0 ? 16 : 0));
                if (len > 0 && y < rulerY + len) {
                    b = g = r = 20;
                } else if (y == rulerY) {
                    b = g = r = 20;
                } else {
                    b = 240, g = 245, r = 245;
                }
            }
            if (!look.bColour) {
                const double grey = 0.114 * b + 0.587 * g + 0.299 * r;
                b = g = r = grey;
            }
            row[3 * x] = Clamp(b * look.dGain * look.dChannel[0] + look.nBrightness);
            row[3 * x + 1] = Clamp(g * look.dGain * look.dChannel[1] + look.nBrightness);
            row[3 * x + 2] = Clamp(r * look.dGain * look.dChannel[2] + look.nBrightness);
        }
    }
    // A fixed pseudo-random table, long enough for any row from any start.
    m_Noise.resize(kNoiseSpan + size_t(nWidth) * 3 + 3);
    uint32_t seed = 0x9e3779b9u;
    for (size_t i = 0; i < m_Noise.size(); i += look.bColour ? 1 : 3) {
        seed = seed * 1664525u + 1013904223u;
        const uint8_t v = uint8_t((seed >> 24) % (2 * kNoiseAmplitude + 1));
        for (size_t k = 0; k < (look.bColour ? 1u : 3u) && i + k < m_Noise.size(); ++k) {
            m_Noise[i + k] = v;
        }
    }
}

void CTestPattern::CutFrame(uint8_t* pDst, int ox, int oy, bool bFlipV, uint32_t nFrame) const
{
    ox = std::clamp(ox, 0, kWorldMargin);
    oy = std::clamp(oy, 0, kWorldMargin);
    const size_t rowBytes = size_t(m_nWidth) * 3;
    // Each row starts somewhere else in the table, and every frame elsewhere
    // again; starts stay on whole pixels so a grey pixel stays grey.
    size_t start = (size_t(nFrame) * 7919u * 3) % kNoiseSpan;
    for (int y = 0; y < m_nHeight; ++y) {
        const uint8_t* src = m_World.data() + (size_t(y + oy) * m_nWorldWidth + ox) * 3;
        uint8_t* dst = pDst + size_t(bFlipV ? m_nHeight - 1 - y : y) * rowBytes;
        AddNoise(dst, src, m_Noise.data() + start, rowBytes);
        start = (start + 3 * 4099) % kNoiseSpan;
    }
#if defined(__SSE2__)
    _mm_sfence(); // the streamed rows are visible before the frame is handed on
#endif
}

void CTestPattern::DrawNumber(uint8_t* pFrame, int nWidth, int nHeight, int x, int y, uint32_t nValue, int nScale)
{
    // Segments a..g of each digit.
    static const uint8_t kSegments[10] = {0x3f, 0x06, 0x5b, 0x4f, 0x66, 0x6d, 0x7d, 0x07, 0x7f, 0x6f};
    char digits[12];
    int n = 0;
    do {
        digits[n++] = char(nValue % 10);
        nValue /= 10;
    } while (nValue != 0 && n < 10);
    auto fill = [&](int x0, int y0, int w, int h) {
        for (int yy = std::max(0, y0); yy < std::min(nHeight, y0 + h); ++yy) {
            uint8_t* row = pFrame + size_t(yy) * nWidth * 3;
            for (int xx = std::max(0, x0); xx < std::min(nWidth, x0 + w); ++xx) {
                row[3 * xx] = 0;
                row[3 * xx + 1] = 255;
                row[3 * xx + 2] = 255;
            }
        }
    };
    const int s = nScale, w = 4 * s, h = 7 * s;
    for (int i = 0; i < n; ++i) {
        const uint8_t seg = kSegments[int(digits[n - 1 - i])];
        const int dx = x + i * (w + 2 * s);
        if (seg & 0x01) fill(dx, y, w, s);
        if (seg & 0x02) fill(dx + w - s, y, s, h / 2 + 1);
        if (seg & 0x04) fill(dx + w - s, y + h / 2, s, h / 2 + 1);
        if (seg & 0x08) fill(dx, y + h - s, w, s);
        if (seg & 0x10) fill(dx, y + h / 2, s, h / 2 + 1);
        if (seg & 0x20) fill(dx, y, s, h / 2 + 1);
        if (seg & 0x40) fill(dx, y + h / 2 - s / 2, w, s);
    }
}

} // namespace simcam
