#include "image/AreaReduce.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PIXMETRA_AREA_AVX2 1
#endif

namespace image {

namespace {

// Both directions weigh in units of 2^-14, so a weight fits 16 bits even when
// one source pixel makes a whole destination pixel. The rows' sum is kept in
// units of 1/128 level (at most 255 x 128, a 16-bit value); the columns' sum
// then stays below 2^31 and the two roundings move a result by far less than
// one level.
constexpr int kWeightShift = 14;
constexpr int32_t kWeightUnit = 1 << kWeightShift;
constexpr int kRowShift = 7;                           // row sums -> 1/128 level
constexpr int kColShift = kWeightShift * 2 - kRowShift;  // column sums -> levels
constexpr int kRowPad = 32;                            // vector reads past the row end

// Rows, portable: sum[i] = sum_k w[k] src_k[i], then to 1/128 level.
void SumRowsPlain(const uint8_t* pRow, std::ptrdiff_t nStride, const int16_t* w, int32_t nRows, int32_t* __restrict sum,
                  int16_t* __restrict out, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        sum[i] = int32_t(w[0]) * pRow[i];
    }
    for (int32_t k = 1; k < nRows; ++k) {
        const uint8_t* __restrict s = pRow + k * nStride;
        const int32_t wk = w[k];
        for (int32_t i = 0; i < n; ++i) {
            sum[i] += wk * s[i];
        }
    }
    for (int32_t i = 0; i < n; ++i) {
        out[i] = int16_t((sum[i] + (1 << (kRowShift - 1))) >> kRowShift);
    }
}

#ifdef PIXMETRA_AREA_AVX2
bool HasAvx2()
{
    static const bool bHas = __builtin_cpu_supports("avx2");
    return bHas;
}

// Rows, 16 bytes at a time: two rows interleaved, multiplied by their weight
// pair and added in one step. The same sums as SumRowsPlain.
__attribute__((target("avx2"))) void SumRowsAvx2(const uint8_t* pRow, std::ptrdiff_t nStride, const int16_t* w,
                                                 int32_t nRows, int16_t* __restrict out, int32_t n)
{
    constexpr int kMaxPairs = 64;
    __m256i pairs[kMaxPairs];
    const int32_t nPairs = (nRows + 1) / 2;
    for (int32_t p = 0; p < nPairs; ++p) {
        const uint16_t wa = uint16_t(w[2 * p]);
        const uint16_t wb = 2 * p + 1 < nRows ? uint16_t(w[2 * p + 1]) : 0;
        pairs[p] = _mm256_set1_epi32(int32_t(uint32_t(wa) | (uint32_t(wb) << 16)));
    }
    const __m256i round = _mm256_set1_epi32(1 << (kRowShift - 1));
    int32_t i = 0;
    for (; i + 16 <= n; i += 16) {
        __m256i lo = round, hi = round;
        for (int32_t p = 0; p < nPairs; ++p) {
            const uint8_t* s = pRow + 2 * p * nStride + i;
            // An odd last row pairs with itself at weight 0, so nothing past it is read.
            const uint8_t* t = 2 * p + 1 < nRows ? s + nStride : s;
            const __m256i a = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(s)));
            const __m256i b = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(t)));
            lo = _mm256_add_epi32(lo, _mm256_madd_epi16(_mm256_unpacklo_epi16(a, b), pairs[p]));
            hi = _mm256_add_epi32(hi, _mm256_madd_epi16(_mm256_unpackhi_epi16(a, b), pairs[p]));
        }
        // unpacklo/hi and packs work per 128-bit lane, so the pack restores the order.
        const __m256i v = _mm256_packs_epi32(_mm256_srai_epi32(lo, kRowShift), _mm256_srai_epi32(hi, kRowShift));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), v);
    }
    for (; i < n; ++i) {
        int32_t sum = 1 << (kRowShift - 1);
        for (int32_t k = 0; k < nRows; ++k) {
            sum += int32_t(w[k]) * pRow[k * nStride + i];
        }
        out[i] = int16_t(sum >> kRowShift);
    }
}

// Columns of B, G, R pixels, two destination pixels per step (one per
// 128-bit lane): eight values from a tap pair's first pixel are regrouped to
// (bA bB gA gB rA rB 0 0) and multiplied by (wA wB) pairwise. Returns the
// number of destination pixels done (even).
__attribute__((target("avx2"))) int32_t SumColumnsBgrAvx2(const int16_t* pRow, const int32_t* pStart,
                                                          const int16_t* pPairs, int32_t nPairs, int32_t nDst,
                                                          uint8_t* pOut, int nOutChannels)
{
    const __m256i regroup = _mm256_setr_epi8(0, 1, 6, 7, 2, 3, 8, 9, 4, 5, 10, 11, -1, -1, -1, -1, 0, 1, 6, 7, 2, 3,
                                             8, 9, 4, 5, 10, 11, -1, -1, -1, -1);
    const __m256i round = _mm256_set1_epi32(1 << (kColShift - 1));
    int32_t i = 0;
    for (; i + 2 <= nDst; i += 2) {
        const int16_t* a0 = pRow + std::ptrdiff_t(pStart[i]) * 3;
        const int16_t* a1 = pRow + std::ptrdiff_t(pStart[i + 1]) * 3;
        const int16_t* w = pPairs + std::ptrdiff_t(i / 2) * nPairs * 16;
        __m256i sum = round;
        for (int32_t p = 0; p < nPairs; ++p, a0 += 6, a1 += 6, w += 16) {
            const __m256i v = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(a1),
                                                  reinterpret_cast<const __m128i*>(a0));
            const __m256i wv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w));
            sum = _mm256_add_epi32(sum, _mm256_madd_epi16(_mm256_shuffle_epi8(v, regroup), wv));
        }
        // (B G R 0) per lane -> bytes; the first dword of each lane is a pixel.
        __m256i px = _mm256_srai_epi32(sum, kColShift);
        px = _mm256_packus_epi16(_mm256_packs_epi32(px, px), px);
        const uint32_t p0 = uint32_t(_mm_cvtsi128_si32(_mm256_castsi256_si128(px)));
        const uint32_t p1 = uint32_t(_mm_cvtsi128_si32(_mm256_extracti128_si256(px, 1)));
        if (nOutChannels == 4) {
            const uint32_t q[2] = {p0 | 0xff000000u, p1 | 0xff000000u};
            std::memcpy(pOut + std::ptrdiff_t(i) * 4, q, 8);
        } else {
            std::memcpy(pOut + std::ptrdiff_t(i) * 3, &p0, 3);
            std::memcpy(pOut + std::ptrdiff_t(i) * 3 + 3, &p1, 3);
        }
    }
    return i;
}
#endif

} // namespace

void CAreaReducer::BuildAxis(AXIS& axis, int32_t nSrc, int32_t nDst, bool bColumns)
{
    if (axis.nSrc == nSrc && axis.nDst == nDst && !axis.Start.empty()) {
        return;
    }
    // Measured in 1/nDst of a source pixel, destination pixel i covers
    // [i nSrc, (i + 1) nSrc) and source pixel j covers [j nDst, (j + 1) nDst):
    // every overlap is an exact integer and the overlaps of i sum to nSrc.
    const int64_t n = nSrc, m = nDst;
    int32_t nTaps = 0;
    for (int64_t i = 0; i < m; ++i) {
        nTaps = std::max<int32_t>(nTaps, int32_t(((i + 1) * n - 1) / m - i * n / m + 1));
    }
    if (bColumns) {
        nTaps += nTaps & 1;  // the vector loop takes taps in pairs
    }
    axis.nSrc = nSrc;
    axis.nDst = nDst;
    axis.nTaps = nTaps;
    axis.Start.assign(size_t(nDst), 0);
    axis.Weights.assign(size_t(nDst) * size_t(nTaps), 0);
    for (int64_t i = 0; i < m; ++i) {
        const int64_t lo = i * n, hi = (i + 1) * n;
        const int64_t j0 = lo / m, j1 = (hi - 1) / m;
        // Columns read nTaps weights for every pixel; the run moves left at
        // the right edge (its extra weights 0) so the reads stay in the row.
        const int64_t first = bColumns ? std::max<int64_t>(0, std::min<int64_t>(j0, n - nTaps)) : j0;
        axis.Start[size_t(i)] = int32_t(first);
        int16_t* w = axis.Weights.data() + size_t(i) * size_t(nTaps);
        int32_t sum = 0;
        size_t big = size_t(j0 - first);
        for (int64_t j = j0; j <= j1; ++j) {
            const int64_t overlap = std::min(hi, (j + 1) * m) - std::max(lo, j * m);
            const size_t k = size_t(j - first);
            w[k] = int16_t((overlap * kWeightUnit + n / 2) / n);
            sum += w[k];
            if (w[k] > w[big]) {
                big = k;
            }
        }
        // Rounding leaves the sum a little off the unit; the largest weight takes the difference.
        w[big] = int16_t(w[big] + kWeightUnit - sum);
    }
    axis.Pairs.clear();
    if (bColumns) {
        const int32_t nPairs = nTaps / 2;
        axis.Pairs.assign(size_t((nDst + 1) / 2) * size_t(nPairs) * 16, 0);
        for (int32_t i = 0; i < nDst; ++i) {
            const int16_t* w = axis.Weights.data() + size_t(i) * size_t(nTaps);
            for (int32_t p = 0; p < nPairs; ++p) {
                int16_t* q = axis.Pairs.data() + (size_t(i / 2) * size_t(nPairs) + size_t(p)) * 16 + size_t(i & 1) * 8;
                for (int c = 0; c < 3; ++c) {
                    q[2 * c] = w[2 * p];
                    q[2 * c + 1] = w[2 * p + 1];
                }
            }
        }
    }
}

template <int SrcCh, int DstCh>
void CAreaReducer::Run(const uint8_t* pSrc, int32_t nSrcStride, uint8_t* pDst, int32_t nDstStride, bool bSimd)
{
    const int32_t nRowValues = m_X.nSrc * SrcCh;
    int16_t* row = m_Row.data();
    for (int32_t dy = 0; dy < m_Y.nDst; ++dy) {
        // Rows: the weighted sum of the source rows this destination row covers.
        const int16_t* wy = m_Y.Weights.data() + size_t(dy) * size_t(m_Y.nTaps);
        int32_t nRows = m_Y.nTaps;
        while (nRows > 1 && wy[nRows - 1] == 0) {
            --nRows;  // shorter runs end in zero weights; their rows may lie past the region
        }
        const uint8_t* pRows = pSrc + std::ptrdiff_t(m_Y.Start[size_t(dy)]) * nSrcStride;
        bool bRowsDone = false;
#ifdef PIXMETRA_AREA_AVX2
        if (bSimd && nRows <= 128) {
            SumRowsAvx2(pRows, nSrcStride, wy, nRows, row, nRowValues);
            bRowsDone = true;
        }
#endif
        if (!bRowsDone) {
            SumRowsPlain(pRows, nSrcStride, wy, nRows, m_Sum.data(), row, nRowValues);
        }
        // Columns: the weighted sum over the covered pixels of the summed row.
        uint8_t* out = pDst + std::ptrdiff_t(dy) * nDstStride;
        int32_t dx = 0;
#ifdef PIXMETRA_AREA_AVX2
        if constexpr (SrcCh == 3) {
            if (bSimd) {
                dx = SumColumnsBgrAvx2(row, m_X.Start.data(), m_X.Pairs.data(), m_X.nTaps / 2, m_X.nDst, out, DstCh);
            }
        }
#endif
        const int32_t nTaps = m_X.nTaps;
        for (; dx < m_X.nDst; ++dx) {
            const int16_t* a = row + std::ptrdiff_t(m_X.Start[size_t(dx)]) * SrcCh;
            const int16_t* wx = m_X.Weights.data() + size_t(dx) * size_t(nTaps);
            int32_t sum[SrcCh];
            for (int c = 0; c < SrcCh; ++c) {
                sum[c] = 1 << (kColShift - 1);
            }
            for (int32_t t = 0; t < nTaps; ++t, a += SrcCh) {
                for (int c = 0; c < SrcCh; ++c) {
                    sum[c] += int32_t(wx[t]) * a[c];
                }
            }
            uint8_t* o = out + std::ptrdiff_t(dx) * DstCh;
            for (int c = 0; c < SrcCh; ++c) {
                o[c] = uint8_t(sum[c] >> kColShift);
            }
            if constexpr (DstCh == 4 && SrcCh == 1) {
                o[1] = o[0];
                o[2] = o[0];
            }
            if constexpr (DstCh == 4) {
                o[3] = 255;
            }
        }
    }
}

bool CAreaReducer::Reduce(const uint8_t* pSrc, int32_t nSrcStride, int nSrcChannels, const RECT& rcSrc, uint8_t* pDst,
                          int32_t nDstStride, int nDstChannels, int32_t nDstWidth, int32_t nDstHeight)
{
    const int32_t w = rcSrc.right - rcSrc.left;
    const int32_t h = rcSrc.bottom - rcSrc.top;
    if (pSrc == nullptr || pDst == nullptr || rcSrc.left < 0 || rcSrc.top < 0 || w <= 0 || h <= 0 ||
        nDstWidth <= 0 || nDstHeight <= 0 || nDstWidth > w || nDstHeight > h || (nDstWidth == w && nDstHeight == h)) {
        return false;
    }
    if ((nSrcChannels != 1 && nSrcChannels != 3) || (nDstChannels != nSrcChannels && nDstChannels != 4)) {
        return false;
    }
    if (int64_t(rcSrc.right) * nSrcChannels > nSrcStride || int64_t(nDstWidth) * nDstChannels > nDstStride) {
        return false;
    }
    BuildAxis(m_X, w, nDstWidth, true);
    BuildAxis(m_Y, h, nDstHeight, false);
    const size_t nValues = size_t(w) * size_t(nSrcChannels);
    if (m_Row.size() < nValues + kRowPad) {
        m_Row.assign(nValues + kRowPad, 0);
        m_Sum.assign(nValues, 0);
    }
    bool bSimd = false;
#ifdef PIXMETRA_AREA_AVX2
    bSimd = m_bAllowSimd && HasAvx2();
#endif
    const uint8_t* pRegion = pSrc + std::ptrdiff_t(rcSrc.top) * nSrcStride + std::ptrdiff_t(rcSrc.left) * nSrcChannels;
    if (nSrcChannels == 3) {
        if (nDstChannels == 4) {
            Run<3, 4>(pRegion, nSrcStride, pDst, nDstStride, bSimd);
        } else {
            Run<3, 3>(pRegion, nSrcStride, pDst, nDstStride, bSimd);
        }
    } else {
        if (nDstChannels == 4) {
            Run<1, 4>(pRegion, nSrcStride, pDst, nDstStride, bSimd);
        } else {
            Run<1, 1>(pRegion, nSrcStride, pDst, nDstStride, bSimd);
        }
    }
    return true;
}

} // namespace image
