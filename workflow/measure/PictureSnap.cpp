#include "workflow/measure/PictureSnap.h"

#include "image/AccImage.h"

bool CPictureSnap::SnapTarget(POINT ptImage, double dRatio, POINT& ptTarget)
{
    const CAccImage::CPixelView view = m_Image.LockPixels();
    if (view.IsEmpty()) {
        return false;
    }
    const image::PIXEL_VIEW pixels{view.Pixels(), IMAGE_INFO{view.BitCount(), view.Width(), view.Height()},
                                   view.Stride()};
    return m_Search.FindTarget(pixels, ptImage, image::SnapRadius(dRatio, kSnapScreenRadius), ptTarget);
}
