// Where a click near an edge belongs: within a radius around the pointer,
// the pixel of the strongest grey-level gradient, or, where a thin line (at
// most 5 px wide) crosses the neighbourhood, the line's middle, its darkest
// or brightest pixel (whichever way it stands out from its surroundings).
// Reads only the pixels around the pointer, in place; the working buffers
// are the object's own, sized once for the largest radius.
#pragma once

#include "image/ImageInfo.h"
#include "platform/WinTypes.h"

#include <cstdint>
#include <memory>

namespace image {

// Pixels read in place: rows top first, nStride bytes apart; 8 bits are
// grey levels, 24 and 32 bits blue, green, red (and a fourth byte).
struct PIXEL_VIEW {
    const uint8_t* pPixels = nullptr;
    IMAGE_INFO info{0, 0, 0};
    int32_t nStride = 0;
};

// The radius a pointer's neighbourhood of nScreenPixels covers at the ratio,
// in image pixels: at least 2, at most CEdgeSnap::kMaxRadius.
int32_t SnapRadius(double dRatio, int32_t nScreenPixels);

class CEdgeSnap {
public:
    static constexpr int32_t kMaxRadius = 64;
    // A line or edge weaker than this many grey levels is the picture's noise.
    static constexpr int kMinContrast = 12;

    CEdgeSnap();
    ~CEdgeSnap();
    CEdgeSnap(const CEdgeSnap&) = delete;
    CEdgeSnap& operator=(const CEdgeSnap&) = delete;

    // The target pixel within nRadius of ptPointer (inside the picture);
    // false when nothing there stands out from the noise or the pointer lies
    // off the picture. nRadius is kept within 1..kMaxRadius.
    bool FindTarget(const PIXEL_VIEW& view, POINT ptPointer, int32_t nRadius, POINT& ptTarget);
    // Half the side of the square of pixels FindTarget reads around the pointer.
    static int32_t ReadHalfSide(int32_t nRadius);

private:
    struct WORK;
    void ReadGrey(const PIXEL_VIEW& view, POINT ptPointer, int32_t nHalf);
    // The binomial 5x5 smoothing of the grey window of side n.
    void Smooth(int32_t n);
    std::unique_ptr<WORK> m_pWork;
};

} // namespace image
