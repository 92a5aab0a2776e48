// Shrinks part of a picture by area averaging: each destination pixel is the
// mean of the source area it covers, with partly covered source pixels
// weighted by the covered part. Unlike dropping pixels, a one-pixel line
// stays visible at any reduction. Integer weights, separable (rows first,
// then columns); the weights and the accumulator row are kept between calls,
// so a stream of frames of one size allocates nothing after the first.
#pragma once

#include "platform/WinTypes.h"

#include <cstdint>
#include <vector>

namespace image {

class CAreaReducer {
public:
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
        int32_t nTaps = 0;               // weights per destination pixel
        std::vector<int32_t> Start;      // first source pixel of each destination pixel
        std::vector<uint32_t> Weights;   // nTaps per destination pixel; they sum to the axis's unit
    };
    static void BuildAxis(AXIS& axis, int32_t nSrc, int32_t nDst, uint32_t nUnit, bool bPadToTaps);

    template <int SrcCh, int DstCh>
    void Run(const uint8_t* pSrc, int32_t nSrcStride, uint8_t* pDst, int32_t nDstStride);

    AXIS m_X;
    AXIS m_Y;
    std::vector<uint32_t> m_Acc;  // one row of the region, summed over the source rows of a destination row
};

} // namespace image
