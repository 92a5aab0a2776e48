// Draws the picture into the picture box at a display ratio. Below 1 the shown
// region is reduced by area averaging, so one-pixel lines stay visible; at 1
// and above the picture buffer draws itself pixel for pixel (crisp). The
// reduced picture is kept between calls: frames of one size allocate nothing.
#pragma once

#include "image/AccImage.h"
#include "image/AreaReduce.h"

#include <QImage>

class QPainter;

class CPictureRenderer {
public:
    // Draws from the painter's point (0, 0) into nBoxWidth x nBoxHeight: the
    // region of trunc(box / ratio) image pixels from (nSrcX, nSrcY), clipped
    // to the picture (as CAccImage::DrawImage places it). Returns the scale
    // used, 0.0 when nothing could be drawn. Call on the thread that sets the
    // picture (it reads the pixels without the buffer's lock).
    double Draw(QPainter& painter, CAccImage& image, int32_t nBoxWidth, int32_t nBoxHeight, double dRatio,
                int32_t nSrcX, int32_t nSrcY);

private:
    image::CAreaReducer m_Reducer;
    QImage m_Reduced;
};
