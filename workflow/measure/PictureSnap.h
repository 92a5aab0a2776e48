// Points of measurements and of the reference line landing on the shown
// picture's edges and thin lines: the snap search over the picture buffer,
// read in place under its lock, within a few screen pixels of the pointer.
#pragma once

#include "engine/PointSnap.h"
#include "image/EdgeSnap.h"

class CAccImage;

// How far around the pointer a point looks for an edge, in screen pixels.
constexpr int32_t kSnapScreenRadius = 6;

class CPictureSnap : public IPointSnap {
public:
    explicit CPictureSnap(const CAccImage& image) : m_Image(image) {}
    bool SnapTarget(POINT ptImage, double dRatio, POINT& ptTarget) override;

private:
    const CAccImage& m_Image;
    image::CEdgeSnap m_Search;
};
