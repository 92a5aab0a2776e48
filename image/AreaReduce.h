// Shrinks part of a picture by area averaging: each destination pixel is the
// mean of the source area it covers, with partly covered source pixels
// weighted by the covered part. Unlike dropping pixels, a one-pixel line
// stays visible at any reduction. Integer weights, separable (rows first,
// then columns); the weights and the row buffer are kept between calls, so a
// stream of frames of one size allocates nothing after the first.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <vector>

namespace image {

class CAreaReducer {
public:
    // bAllowSimd false keeps to the portable loops (same results, slower).
    explicit CAreaReducer(bool bAllowSimd = true) : m_bAllowSimd(bAllowSimd) {}

    // Reduces the region rcSrc of a picture (rows top first, nSrcStride bytes
    // each; nSrcChannels 1 = grey, 3 = B, G, R) into nDstWidth x nDstHeight
    // pixels at pDst (nDstStride bytes per row). nDstChannels is nSrcChannels,
    // or 4 for B, G, R, 255 (QImage::Format_RGB32 in memory; grey is
    // replicated). Refuses (false, nothing written) bad arguments and any size
    // that is not a reduction: the destination may not exceed the region in
    // either direction nor equal it in both; those sizes are drawn pixel for
    // pixel instead.
    bool Reduce(const uint8_t* pSrc, int32_t nSrcStride, int nSrcChannels, const RECT& rcSrc, uint8_t* pDst,
                int32_t nDstStride, int nDstChannels, int32_t nDstWidth, int32_t nDstHeight);

    // Display ratios that go through Reduce; 1 and above keep pixels crisp.
    static bool IsReduction(double dRatio) { return dRatio > 0.0 && dRatio < 1.0; }

private:
    // The weights of one direction for nSrc source pixels into nDst.
    struct AXIS {
        int32_t nSrc = 0;
        int32_t nDst = 0;
        int32_t nTaps = 0;              // weights per destination pixel
        std::vector<int32_t> Start;     // first source pixel of each destination pixel
        std::vector<int16_t> Weights;   // nTaps per destination pixel, summing to 2^14
        std::vector<int16_t> Pairs;     // columns only: the weights laid out for the vector loop
    };
    static void BuildAxis(AXIS& axis, int32_t nSrc, int32_t nDst, bool bColumns);

    template <int SrcCh, int DstCh>
    void Run(const uint8_t* pSrc, int32_t nSrcStride, uint8_t* pDst, int32_t nDstStride, bool bSimd);

    bool m_bAllowSimd;
    AXIS m_X;
    AXIS m_Y;
    std::vector<int32_t> m_Sum;   // one region row summed over the source rows of a destination row
    std::vector<int16_t> m_Row;   // the same in units of 1/128 level, padded for whole-vector reads
};

} // namespace image
