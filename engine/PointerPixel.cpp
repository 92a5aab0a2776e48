#include "engine/PointerPixel.h"

#include <cmath>
#include <limits>

namespace {

bool ToImage(int32_t nWnd, double dRatio, int32_t nScroll, int32_t& nImage)
{
    const double v = std::floor((double(nWnd) + 0.5) / dRatio) + double(nScroll);
    if (!(v >= double(std::numeric_limits<int32_t>::min()) && v <= double(std::numeric_limits<int32_t>::max()))) {
        return false;
    }
    nImage = int32_t(v);
    return true;
}

} // namespace

bool PointerToImagePixel(POINT ptWnd, double dRatio, POINT ptScroll, POINT& ptImage)
{
    if (!(dRatio > 0.0) || !std::isfinite(dRatio)) {
        return false;
    }
    POINT p{};
    if (!ToImage(ptWnd.x, dRatio, ptScroll.x, p.x) || !ToImage(ptWnd.y, dRatio, ptScroll.y, p.y)) {
        return false;
    }
    ptImage = p;
    return true;
}
