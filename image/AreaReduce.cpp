#include "image/AreaReduce.h"

#include <algorithm>
#include <cstddef>

namespace image {

namespace {

// Row weights sum to 2^15 (they fit 16 bits, so the row pass multiplies
// 16 x 16 bits), column weights to 2^16: the sums stay below 2^40 and the
// quantisation of the weights moves a result by far less than one level.
constexpr int kRowShift = 15;
constexpr int kColShift = 16;
constexpr uint32_t kRowUnit = 1u << kRowShift;
constexpr uint32_t kColUnit = 1u << kColShift;

} // namespace

void CAreaReducer::BuildAxis(AXIS& axis, int32_t nSrc, int32_t nDst, uint32_t nUnit, bool bPadToTaps)
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
        const int64_t j0 = i * n / m, j1 = ((i + 1) * n - 1) / m;
        nTaps = std::max<int32_t>(nTaps, int32_t(j1 - j0 + 1));
    }
    axis.nSrc = nSrc;
    axis.nDst = nDst;
    axis.nTaps = nTaps;
    axis.Start.assign(size_t(nDst), 0);
    axis.Weights.assign(size_t(nDst) * size_t(nTaps), 0);
    for (int64_t i = 0; i < m; ++i) {
        const int64_t lo = i * n, hi = (i + 1) * n;
        const int64_t j0 = lo / m, j1 = (hi - 1) / m;
        // With padding every pixel reads nTaps weights; the run is moved left
        // at the right edge so no read passes the region, the extra weights 0.
        const int64_t first = bPadToTaps ? std::min<int64_t>(j0, n - nTaps) : j0;
        axis.Start[size_t(i)] = int32_t(first);
        uint32_t* w = axis.Weights.data() + size_t(i) * size_t(nTaps);
        uint32_t sum = 0;
        size_t big = 0;
        for (int64_t j = j0; j <= j1; ++j) {
            const int64_t overlap = std::min(hi, (j + 1) * m) - std::max(lo, j * m);
            const size_t k = size_t(j - first);
            w[k] = uint32_t((overlap * int64_t(nUnit) + n / 2) / n);
            sum += w[k];
            if (w[k] > w[big]) {
                big = k;
            }
        }
        // Rounding leaves the sum a little off the unit; the largest weight takes the difference.
        w[big] = uint32_t(int64_t(w[big]) + int64_t(nUnit) - int64_t(sum));
    }
}

template <int SrcCh, int DstCh>
void CAreaReducer::Run(const uint8_t* pSrc, int32_t nSrcStride, uint8_t* pDst, int32_t nDstStride)
{
    const int32_t nRowBytes = m_X.nSrc * SrcCh;
    uint32_t* __restrict acc = m_Acc.data();
    const int32_t nTaps = m_X.nTaps;
    for (int32_t dy = 0; dy < m_Y.nDst; ++dy) {
        // Rows: the weighted sum of the source rows this destination row covers.
        const uint32_t* wy = m_Y.Weights.data() + size_t(dy) * size_t(m_Y.nTaps);
        const uint8_t* row = pSrc + std::ptrdiff_t(m_Y.Start[size_t(dy)]) * nSrcStride;
        int32_t k = 0;
        for (; k < m_Y.nTaps && wy[k] == 0; ++k) {
        }
        {
            const uint16_t w0 = uint16_t(wy[k]);
            const uint8_t* __restrict s0 = row + std::ptrdiff_t(k) * nSrcStride;
            for (int32_t i = 0; i < nRowBytes; ++i) {
                acc[i] = uint32_t(w0) * uint16_t(s0[i]);
            }
            ++k;
        }
        for (; k + 1 < m_Y.nTaps && wy[k + 1] != 0; k += 2) {
            const uint16_t w0 = uint16_t(wy[k]), w1 = uint16_t(wy[k + 1]);
            const uint8_t* __restrict s0 = row + std::ptrdiff_t(k) * nSrcStride;
            const uint8_t* __restrict s1 = s0 + nSrcStride;
            for (int32_t i = 0; i < nRowBytes; ++i) {
                acc[i] += uint32_t(w0) * uint16_t(s0[i]) + uint32_t(w1) * uint16_t(s1[i]);
            }
        }
        for (; k < m_Y.nTaps && wy[k] != 0; ++k) {
            const uint16_t w0 = uint16_t(wy[k]);
            const uint8_t* __restrict s0 = row + std::ptrdiff_t(k) * nSrcStride;
            for (int32_t i = 0; i < nRowBytes; ++i) {
                acc[i] += uint32_t(w0) * uint16_t(s0[i]);
            }
        }
        // Columns: the weighted sum over the covered pixels of the summed row.
        uint8_t* out = pDst + std::ptrdiff_t(dy) * nDstStride;
        const uint32_t* wx = m_X.Weights.data();
        constexpr uint64_t kHalf = uint64_t(1) << (kRowShift + kColShift - 1);
        for (int32_t dx = 0; dx < m_X.nDst; ++dx, wx += nTaps, out += DstCh) {
            const uint32_t* a = acc + std::ptrdiff_t(m_X.Start[size_t(dx)]) * SrcCh;
            uint64_t sum[SrcCh];
            for (int c = 0; c < SrcCh; ++c) {
                sum[c] = kHalf;
            }
            for (int32_t t = 0; t < nTaps; ++t, a += SrcCh) {
                for (int c = 0; c < SrcCh; ++c) {
                    sum[c] += uint64_t(wx[t]) * a[c];
                }
            }
            for (int c = 0; c < SrcCh; ++c) {
                out[c] = uint8_t(sum[c] >> (kRowShift + kColShift));
            }
            if constexpr (DstCh == 4 && SrcCh == 1) {
                out[1] = out[0];
                out[2] = out[0];
            }
            if constexpr (DstCh == 4) {
                out[3] = 255;
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
    BuildAxis(m_X, w, nDstWidth, kColUnit, true);
    BuildAxis(m_Y, h, nDstHeight, kRowUnit, false);
    const size_t nAcc = size_t(w) * size_t(nSrcChannels);
    if (m_Acc.size() < nAcc) {
        m_Acc.resize(nAcc);
    }
    const uint8_t* pRegion = pSrc + std::ptrdiff_t(rcSrc.top) * nSrcStride + std::ptrdiff_t(rcSrc.left) * nSrcChannels;
    if (nSrcChannels == 3) {
        if (nDstChannels == 4) {
            Run<3, 4>(pRegion, nSrcStride, pDst, nDstStride);
        } else {
            Run<3, 3>(pRegion, nSrcStride, pDst, nDstStride);
        }
    } else {
        if (nDstChannels == 4) {
            Run<1, 4>(pRegion, nSrcStride, pDst, nDstStride);
        } else {
            Run<1, 1>(pRegion, nSrcStride, pDst, nDstStride);
        }
    }
    return true;
}

} // namespace image
