#include "workflow/live/PictureRenderer.h"

#include <QPaintDevice>
#include <QPainter>

#include <algorithm>
#include <cmath>

double CPictureRenderer::Draw(QPainter& painter, CAccImage& image, int32_t nBoxWidth, int32_t nBoxHeight,
                              double dRatio, int32_t nSrcX, int32_t nSrcY)
{
    const uint32_t nBits = image.GetBitCount();
    if (!image::CAreaReducer::IsReduction(dRatio) || image.IsEmpty() || (nBits != 8 && nBits != 24) ||
        nBoxWidth <= 0 || nBoxHeight <= 0) {
        return image.DrawImage(painter, nBoxWidth, nBoxHeight, nullptr, dRatio, nSrcX, nSrcY);
    }
    const double srcW = std::trunc(nBoxWidth / dRatio);
    const double srcH = std::trunc(nBoxHeight / dRatio);
    const int64_t x0 = std::max<int64_t>(nSrcX, 0), y0 = std::max<int64_t>(nSrcY, 0);
    const int64_t x1 = std::min<int64_t>(int64_t(nSrcX) + int64_t(srcW), image.GetWidth());
    const int64_t y1 = std::min<int64_t>(int64_t(nSrcY) + int64_t(srcH), image.GetHeight());
    if (srcW < 1.0 || srcH < 1.0 || x1 <= x0 || y1 <= y0) {
        return image.DrawImage(painter, nBoxWidth, nBoxHeight, nullptr, dRatio, nSrcX, nSrcY);
    }
    // The region stretches over the whole box; a clipped region covers the
    // matching part of it, at the same stretch.
    const double kx = nBoxWidth / srcW, ky = nBoxHeight / srcH;
    const int32_t dx0 = int32_t(std::lround((x0 - nSrcX) * kx)), dx1 = int32_t(std::lround((x1 - nSrcX) * kx));
    const int32_t dy0 = int32_t(std::lround((y0 - nSrcY) * ky)), dy1 = int32_t(std::lround((y1 - nSrcY) * ky));
    const int32_t dw = std::min(dx1, nBoxWidth) - dx0, dh = std::min(dy1, nBoxHeight) - dy0;
    if (dw <= 0 || dh <= 0) {
        return dRatio;
    }
    // On a scaled screen the region is reduced straight to device pixels, so
    // the blit is one to one instead of a reduction enlarged again.
    const double dpr = painter.device() != nullptr ? painter.device()->devicePixelRatioF() : 1.0;
    int32_t pw = dw, ph = dh;
    if (dpr > 1.0) {
        const int32_t w = int32_t(std::lround(dw * dpr)), h = int32_t(std::lround(dh * dpr));
        if (w <= x1 - x0 && h <= y1 - y0 && (w < x1 - x0 || h < y1 - y0)) {
            pw = w;
            ph = h;
        }
    }
    if (m_Reduced.width() != pw || m_Reduced.height() != ph) {
        m_Reduced = QImage(pw, ph, QImage::Format_RGB32);
    }
    m_Reduced.setDevicePixelRatio(pw == dw ? 1.0 : dpr);
    const RECT rcSrc{int32_t(x0), int32_t(y0), int32_t(x1), int32_t(y1)};
    // The view holds the picture's lock until the condition is decided, before DrawImage takes it.
    const auto reduce = [&](const CAccImage::CPixelView& view) {
        return view.BitCount() == nBits && view.Contains(rcSrc.right - 1, rcSrc.bottom - 1) &&
               m_Reducer.Reduce(view.Pixels(), view.Stride(), int(nBits / 8), rcSrc, m_Reduced.bits(),
                                int32_t(m_Reduced.bytesPerLine()), 4, pw, ph);
    };
    if (m_Reduced.isNull() || !reduce(image.LockPixels())) {
        return image.DrawImage(painter, nBoxWidth, nBoxHeight, nullptr, dRatio, nSrcX, nSrcY);
    }
    const QPainter::CompositionMode mode = painter.compositionMode();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(QPoint(dx0, dy0), m_Reduced);
    painter.setCompositionMode(mode);
    return dRatio;
}
