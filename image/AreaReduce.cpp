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

// Rows weigh in units of 2^-16 (a weight below 2^16, 16-bit unsigned): each
// pixel, as 8.8 fixed point, times its weight keeps the upper 16 bits, so a
// row sum is in 1/256 level (at most 255 x 256) and is halved to 1/128 level,
// a positive 16-bit value. Columns weigh in units of 2^-14, so their sums stay
// below 2^31. Truncation and weight rounding move a result by well under
// 0.1 level before the final rounding.
constexpr int kRowWeightShift = 16;
constexpr int kColWeightShift = 14;
constexpr int kRowValueShift = 7;                                  // row sums in 1/128 level
constexpr int kColShift = kColWeightShift + kRowValueShift;         // column sums -> levels
constexpr int kRowPad = 32;                                        // vector reads past the row end

inline uint32_t RowProduct(uint8_t s, int32_t w) { return (uint32_t(s) << 8) * uint32_t(w) >> kRowWeightShift; }

// Rows, portable: the same integers as the vector loop.
void SumRowsPlain(const uint8_t* pRow, std::ptrdiff_t nStride, const int32_t* w, int32_t nRows, int32_t* __restrict sum,
                  int16_t* __restrict out, int32_t n)
{
    for (int32_t i = 0; i < n; ++i) {
        sum[i] = int32_t(RowProduct(pRow[i], w[0]));
    }
    for (int32_t k = 1; k < nRows; ++k) {
        const uint8_t* __restrict s = pRow + k * nStride;
        const int32_t wk = w[k];
        for (int32_t i = 0; i < n; ++i) {
            sum[i] += int32_t(RowProduct(s[i], wk));
        }
    }
    for (int32_t i = 0; i < n; ++i) {
        out[i] = int16_t(sum[i] >> 1);
    }
}

#ifdef PIXMETRA_AREA_AVX2
bool HasAvx2()
{
    static const bool bHas = __builtin_cpu_supports("avx2");
    return bHas;
}

// Rows, 32 bytes at a time: each byte goes to the high half of a 16-bit
// lane (8.8 fixed point) and is multiplied by its row's weight keeping the
// upper 16 bits. unpacklo/hi work per 128-bit lane; the final permutes
// restore the order.
__attribute__((target("avx2"))) void SumRowsAvx2(const uint8_t* pRow, std::ptrdiff_t nStride, const int32_t* w,
                                                 int32_t nRows, int16_t* __restrict out, int32_t n)
{
    constexpr int kMaxRows = 128;
    __m256i weights[kMaxRows];
    for (int32_t k = 0; k < nRows; ++k) {
        weights[k] = _mm256_set1_epi16(int16_t(uint16_t(w[k])));
    }
    const __m256i zero = _mm256_setzero_si256();
    int32_t i = 0;
    for (; i + 32 <= n; i += 32) {
        __m256i lo = zero, hi = zero;
        const uint8_t* s = pRow + i;
        // The rows the next destination row adds; prefetching never faults.
        _mm_prefetch(reinterpret_cast<const char*>(s + nRows * nStride), _MM_HINT_T0);
        _mm_prefetch(reinterpret_cast<const char*>(s + (nRows + 1) * nStride), _MM_HINT_T0);
        for (int32_t k = 0; k < nRows; ++k, s += nStride) {
            const __m256i x = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s));
            lo = _mm256_add_epi16(lo, _mm256_mulhi_epu16(_mm256_unpacklo_epi8(zero, x), weights[k]));
            hi = _mm256_add_epi16(hi, _mm256_mulhi_epu16(_mm256_unpackhi_epi8(zero, x), weights[k]));
        }
        lo = _mm256_srli_epi16(lo, 1);
        hi = _mm256_srli_epi16(hi, 1);
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_permute2x128_si256(lo, hi, 0x20));
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i + 16), _mm256_permute2x128_si256(lo, hi, 0x31));
    }
    for (; i < n; ++i) {
        uint32_t sum = 0;
        for (int32_t k = 0; k < nRows; ++k) {
            sum += RowProduct(pRow[k * nStride + i], w[k]);
        }
        out[i] = int16_t(sum >> 1);
    }
}

// Columns of B, G, R pixels, two destination pixels per vector (one per
// 128-bit lane), four per step: eight values from a tap pair's first pixel are regrouped to
// (bA bB gA gB rA rB 0 0) and multiplied by (wA wB) pairwise. Returns the
// number of destination pixels done (a multiple of 4). kPairs as for the rows.
template <int kPairs>
__attribute__((target("avx2"))) int32_t SumColumnsBgrAvx2(const int16_t* pRow, const int32_t* pStart,
                                                          const int16_t* pPairs, int32_t nPairsAny, int32_t nDst,
                                                          uint8_t* pOut, int nOutChannels)
{
    const int32_t nPairs = kPairs > 0 ? kPairs : nPairsAny;
    const __m256i regroup = _mm256_setr_epi8(0, 1, 6, 7, 2, 3, 8, 9, 4, 5, 10, 11, -1, -1, -1, -1, 0, 1, 6, 7, 2, 3,
                                             8, 9, 4, 5, 10, 11, -1, -1, -1, -1);
    const __m256i round = _mm256_set1_epi32(1 << (kColShift - 1));
    const __m256i order = _mm256_setr_epi32(0, 4, 1, 5, 2, 6, 3, 7);
    const __m256i alpha = _mm256_set1_epi32(int32_t(0xff000000u));
    int32_t i = 0;
    const int16_t* w = pPairs;
    // Four destination pixels per step: two per vector sum, packed together.
    for (; i + 4 <= nDst; i += 4) {
        __m256i sums[2];
        for (int h = 0; h < 2; ++h) {
            const int16_t* a0 = pRow + std::ptrdiff_t(pStart[i + 2 * h]) * 3;
            const int16_t* a1 = pRow + std::ptrdiff_t(pStart[i + 2 * h + 1]) * 3;
            __m256i sum = round;
            for (int32_t p = 0; p < nPairs; ++p, w += 16) {
                const __m256i v = _mm256_loadu2_m128i(reinterpret_cast<const __m128i*>(a1 + 6 * p),
                                                      reinterpret_cast<const __m128i*>(a0 + 6 * p));
                const __m256i wv = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(w));
                sum = _mm256_add_epi32(sum, _mm256_madd_epi16(_mm256_shuffle_epi8(v, regroup), wv));
            }
            sums[h] = _mm256_srai_epi32(sum, kColShift);
        }
        // Lane 0 holds pixels i and i + 2, lane 1 pixels i + 1 and i + 3, each as (B G R 0).
        __m256i px = _mm256_packs_epi32(sums[0], sums[1]);
        px = _mm256_packus_epi16(px, px);
        px = _mm256_permutevar8x32_epi32(px, order);
        if (nOutChannels == 4) {
            _mm_storeu_si128(reinterpret_cast<__m128i*>(pOut + std::ptrdiff_t(i) * 4),
                             _mm256_castsi256_si128(_mm256_or_si256(px, alpha)));
        } else {
            alignas(16) uint32_t q[4];
            _mm_store_si128(reinterpret_cast<__m128i*>(q), _mm256_castsi256_si128(px));
            for (int k = 0; k < 4; ++k) {
                std::memcpy(pOut + std::ptrdiff_t(i + k) * 3, &q[k], 3);
            }
        }
    }
    return i;
}

int32_t SumColumnsBgrAvx2Any(const int16_t* pRow, const int32_t* pStart, const int16_t* pPairs, int32_t nPairs,
                             int32_t nDst, uint8_t* pOut, int nOutChannels)
{
    switch (nPairs) {
    case 1:
        return SumColumnsBgrAvx2<1>(pRow, pStart, pPairs, nPairs, nDst, pOut, nOutChannels);
    case 2:
        return SumColumnsBgrAvx2<2>(pRow, pStart, pPairs, nPairs, nDst, pOut, nOutChannels);
    case 3:
        return SumColumnsBgrAvx2<3>(pRow, pStart, pPairs, nPairs, nDst, pOut, nOutChannels);
    default:
        return SumColumnsBgrAvx2<0>(pRow, pStart, pPairs, nPairs, nDst, pOut, nOutChannels);
    }
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
    const int64_t nUnit = int64_t(1) << (bColumns ? kColWeightShift : kRowWeightShift);
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
        int32_t* w = axis.Weights.data() + size_t(i) * size_t(nTaps);
        int32_t sum = 0;
        size_t big = size_t(j0 - first);
        for (int64_t j = j0; j <= j1; ++j) {
            const int64_t overlap = std::min(hi, (j + 1) * m) - std::max(lo, j * m);
            const size_t k = size_t(j - first);
            w[k] = int32_t((overlap * nUnit + n / 2) / n);
            sum += w[k];
            if (w[k] > w[big]) {
                big = k;
            }
        }
        // Rounding leaves the sum a little off the unit; the largest weight takes the difference.
        w[big] += int32_t(nUnit) - sum;
        // A row weight of 2^16 (one source row makes the destination row) does not fit 16 bits.
        if (!bColumns) {
            w[big] = std::min(w[big], 0xffff);
        }
    }
    axis.Pairs.clear();
    if (bColumns) {
        const int32_t nPairs = nTaps / 2;
        axis.Pairs.assign(size_t((nDst + 1) / 2) * size_t(nPairs) * 16, 0);
        for (int32_t i = 0; i < nDst; ++i) {
            const int32_t* w = axis.Weights.data() + size_t(i) * size_t(nTaps);
            for (int32_t p = 0; p < nPairs; ++p) {
                int16_t* q = axis.Pairs.data() + (size_t(i / 2) * size_t(nPairs) + size_t(p)) * 16 + size_t(i & 1) * 8;
                for (int c = 0; c < 3; ++c) {
                    q[2 * c] = int16_t(w[2 * p]);
                    q[2 * c + 1] = int16_t(w[2 * p + 1]);
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
        const int32_t* wy = m_Y.Weights.data() + size_t(dy) * size_t(m_Y.nTaps);
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
                dx = SumColumnsBgrAvx2Any(row, m_X.Start.data(), m_X.Pairs.data(), m_X.nTaps / 2, m_X.nDst, out, DstCh);
            }
        }
#endif
        const int32_t nTaps = m_X.nTaps;
        for (; dx < m_X.nDst; ++dx) {
            const int16_t* a = row + std::ptrdiff_t(m_X.Start[size_t(dx)]) * SrcCh;
            const int32_t* wx = m_X.Weights.data() + size_t(dx) * size_t(nTaps);
            int32_t sum[SrcCh];
            for (int c = 0; c < SrcCh; ++c) {
                sum[c] = 1 << (kColShift - 1);
            }
            for (int32_t t = 0; t < nTaps; ++t, a += SrcCh) {
                for (int c = 0; c < SrcCh; ++c) {
                    sum[c] += wx[t] * a[c];
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
