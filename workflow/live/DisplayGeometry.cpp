#include "workflow/live/DisplayGeometry.h"

#include "engine/PointerPixel.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>

const std::array<double, CDisplayGeometry::ZOOM_TABLE_COUNT> CDisplayGeometry::ZoomTable = {
    0.1, 0.2, 0.3, 0.4, 0.5, 0.6, 0.7, 0.8, 0.9, 1.0, 1.1, 1.2, 1.3, 1.4, 1.5, 1.6, 1.7, 1.8, 1.9, 2.0, 3.0};

namespace {

int32_t Trunc(double v)
{
    // Sizes and positions here stay far inside int32; the clamp only keeps a
    // broken ratio from turning into undefined behaviour.
    if (!std::isfinite(v)) {
        return 0;
    }
    return int32_t(std::clamp(std::trunc(v), -2147483647.0, 2147483647.0));
}

// Two decimals the way "%.2f" prints them, independent of the C locale.
std::string TwoDecimals(double v)
{
    char buf[64];
    const auto res = std::to_chars(buf, buf + sizeof(buf), v, std::chars_format::fixed, 2);
    return std::string(buf, res.ec == std::errc() ? res.ptr : buf);
}

// The first image pixel of a view span nView long centred on nCenter, kept
// inside 0..nImage; the centre follows when the span had to move.
int32_t ClampViewStart(int32_t& nCenter, int32_t nView, int32_t nImage)
{
    const int32_t nHalf = nView / 2;
    int32_t nStart = nCenter - nHalf;
    if (nStart < 0) {
        nStart = 0;
        nCenter = nHalf;
    }
    if (nStart + nView > nImage) {
        nStart = nImage - nView;
        nCenter = nHalf + nStart;
    }
    return nStart;
}

bool HasPicture(const DISP_VIEW_STATE& v) { return v.ImageInfo.nWidth > 0 && v.ImageInfo.nHeight > 0; }

} // namespace

CDisplayGeometry::CDisplayGeometry()
{
    m_CameraView.bFit = TRUE;
    m_StillView.bFit = TRUE;
}

void CDisplayGeometry::Log(const char* pFormat, ...) const
{
    if (!m_fnLog) {
        return;
    }
    char buf[256];
    va_list args;
    va_start(args, pFormat);
    std::vsnprintf(buf, sizeof(buf), pFormat, args);
    va_end(args);
    m_fnLog(std::string(buf));
}

void CDisplayGeometry::SetFrameMargins(int32_t nClientWidth, int32_t nClientHeight)
{
    m_nRightMargin = nClientWidth - m_FrameRect.right;
    m_nBottomMargin = nClientHeight - m_FrameRect.bottom;
}

double CDisplayGeometry::CalcFitRatio(const IMAGE_INFO& info, RECT* pDrawRect) const
{
    const int32_t W = m_FrameRect.right - m_FrameRect.left;
    const int32_t H = m_FrameRect.bottom - m_FrameRect.top;
    RECT rc{0, 0, W, H};
    double ratio = 0.0;
    if (info.nWidth <= 0 || info.nHeight <= 0 || W <= 0 || H <= 0) {
        rc = RECT{0, 0, 0, 0};
    } else if (info.nWidth < W && info.nHeight < H) {
        ratio = 1.0;
        rc.left = (W - info.nWidth) / 2;
        rc.top = (H - info.nHeight) / 2;
        rc.right = rc.left + info.nWidth;
        rc.bottom = rc.top + info.nHeight;
    } else {
        ratio = FitRectToImage(rc, info.nWidth, info.nHeight);
    }
    if (pDrawRect != nullptr) {
        *pDrawRect = rc;
    }
    return ratio;
}

void CDisplayGeometry::RefreshFit(DISP_VIEW_STATE& v) const
{
    if (!HasPicture(v)) {
        return;
    }
    v.dFitRatio = CalcFitRatio(v.ImageInfo, &v.DrawRect);
    if (v.bFit) {
        v.CurDrawRatio = v.dFitRatio;
    }
}

int CDisplayGeometry::ResetView(const IMAGE_INFO& info)
{
    DISP_VIEW_STATE& v = CurrentView();
    v.ImageInfo = info;
    v.dFitRatio = CalcFitRatio(info, &v.DrawRect);
    v.CurDrawRatio = v.dFitRatio;
    v.bFit = TRUE;
    v.CenterPos = POINT{0, 0};
    v.VisibleRect = RECT{0, 0, info.nWidth, info.nHeight};
    const int nSel = FillRatioList(v.dFitRatio, v.dFitRatio);
    CalcDrawImagePos();
    UpdateScrollBarVisibility();
    return nSel;
}

RECT CDisplayGeometry::LayoutPictureBox()
{
    const DISP_VIEW_STATE& v = CurrentView();
    const RECT F = m_FrameRect;
    const int32_t W = F.right - F.left;
    const int32_t H = F.bottom - F.top;
    const int32_t iw = Trunc(v.ImageInfo.nWidth * v.CurDrawRatio);
    const int32_t ih = Trunc(v.ImageInfo.nHeight * v.CurDrawRatio);
    RECT box = F;
    if (iw >= W && ih >= H) {
        box = F;
    } else if (iw >= W) {
        box.top = F.top + (H - ih) / 2;
        box.bottom = box.top + ih;
    } else if (ih < H) {
        box.left = W / 2 - iw / 2 + F.left;
        box.top = H / 2 - ih / 2 + F.top;
        box.right = box.left + iw;
        box.bottom = box.top + ih;
    } else {
        box.left = F.left + (W - iw) / 2;
        box.right = box.left + iw;
    }
    m_PictureBoxRect = box;
    m_nPictureBoxWidth = box.right - box.left;
    m_nPictureBoxHeight = box.bottom - box.top;
    Log("[MAIN]GetPictureBoxRect() Left:%d Top:%d Width:%d Height:%d", box.left, box.top, m_nPictureBoxWidth,
        m_nPictureBoxHeight);
    return box;
}

void CDisplayGeometry::CalcDrawImagePos()
{
    Log("[MAIN]CalcDrawImagePos()");
    LayoutPictureBox();
    DISP_VIEW_STATE& v = CurrentView();
    const double r = v.CurDrawRatio;
    const int32_t w = v.ImageInfo.nWidth;
    const int32_t h = v.ImageInfo.nHeight;
    int32_t left = 0, top = 0;
    const bool bRatio = r > 0.0 && std::isfinite(r);
    if (!v.bFit && bRatio) {
        if (v.CenterPos.x == 0 && v.CenterPos.y == 0) {
            v.CenterPos = POINT{w / 2, h / 2};
            Log("[MAIN]CenterPos X:%d Y:%d", v.CenterPos.x, v.CenterPos.y);
        }
        left = ClampViewStart(v.CenterPos.x, Trunc(m_nPictureBoxWidth / r + 0.5), w);
        top = ClampViewStart(v.CenterPos.y, Trunc(m_nPictureBoxHeight / r + 0.5), h);
    }
    m_HScroll.nMin = 0;
    m_VScroll.nMin = 0;
    m_HScroll.nMax = bRatio ? w - Trunc(m_nPictureBoxWidth / r) : 0;
    m_VScroll.nMax = bRatio ? h - Trunc(m_nPictureBoxHeight / r) : 0;
    m_ScrollPos = POINT{std::max(left, 0), std::max(top, 0)};
    m_HScroll.nPos = m_ScrollPos.x;
    m_VScroll.nPos = m_ScrollPos.y;
    Log("[MAIN]Left:%d Top:%d CurDrawRatio:%f", left, top, r);
}

int CDisplayGeometry::FillRatioList(double dFitRatio, double dSelect)
{
    const std::string text = TwoDecimals(dFitRatio);
    double first = 0.0;
    std::from_chars(text.data(), text.data() + text.size(), first);
    m_RatioList.fill(0.0);
    m_nRatioCount = 0;
    m_RatioList[m_nRatioCount++] = first;
    for (double z : ZoomTable) {
        if (z > first && m_nRatioCount < RATIO_LIST_MAX) {
            m_RatioList[m_nRatioCount++] = z;
        }
    }
    m_nRatioSel = 0;
    for (int i = 0; i < m_nRatioCount; ++i) {
        if (m_RatioList[i] == dSelect) {
            m_nRatioSel = i;
            break;
        }
    }
    return m_nRatioSel;
}

double CDisplayGeometry::GetRatio(int nIndex) const
{
    return nIndex >= 0 && nIndex < m_nRatioCount ? m_RatioList[nIndex] : 0.0;
}

std::string CDisplayGeometry::GetRatioText(int nIndex) const
{
    if (nIndex < 0 || nIndex >= m_nRatioCount) {
        return std::string();
    }
    return "x" + TwoDecimals(m_RatioList[nIndex]);
}

void CDisplayGeometry::DispCurrentRatioImage(int nSel)
{
    if (m_nRatioCount == 0) {
        return;
    }
    nSel = std::clamp(nSel, 0, m_nRatioCount - 1);
    m_nRatioSel = nSel;
    DISP_VIEW_STATE& v = CurrentView();
    v.CurDrawRatio = m_RatioList[nSel];
    v.bFit = nSel == 0 ? TRUE : FALSE;
    if (v.bFit) {
        v.CurDrawRatio = v.dFitRatio;
        v.CenterPos = POINT{0, 0};
    }
    Log("[MAIN]DispCurrentRatioImage()  ->Ratio : %f", v.CurDrawRatio);
    CalcDrawImagePos();
    UpdateScrollBarVisibility();
}

void CDisplayGeometry::ZoomFit()
{
    Log("[MAIN]OnBnClickedBtnZoomFit()");
    DISP_VIEW_STATE& v = CurrentView();
    v.CurDrawRatio = v.dFitRatio;
    v.bFit = TRUE;
    m_nRatioSel = 0;
    v.CenterPos = POINT{0, 0};
    CalcDrawImagePos();
    UpdateScrollBarVisibility();
}

bool CDisplayGeometry::ZoomIn()
{
    if (m_nRatioSel + 1 >= m_nRatioCount) {
        return false;
    }
    DispCurrentRatioImage(m_nRatioSel + 1);
    return true;
}

bool CDisplayGeometry::ZoomOut()
{
    if (m_nRatioSel <= 0) {
        return false;
    }
    DispCurrentRatioImage(m_nRatioSel - 1);
    return true;
}

void CDisplayGeometry::UpdateScrollBarVisibility()
{
    const DISP_VIEW_STATE& v = CurrentView();
    const int32_t W = m_FrameRect.right - m_FrameRect.left;
    const int32_t H = m_FrameRect.bottom - m_FrameRect.top;
    m_HScroll.bVisible = Trunc(v.ImageInfo.nWidth * v.CurDrawRatio) > W ? TRUE : FALSE;
    m_VScroll.bVisible = Trunc(v.ImageInfo.nHeight * v.CurDrawRatio) > H ? TRUE : FALSE;
}

bool CDisplayGeometry::Scroll(bool bVertical, DispScrollCode code, int32_t nThumbPos, bool bStillShown)
{
    DISP_SCROLL_BAR& bar = bVertical ? m_VScroll : m_HScroll;
    int32_t pos = bar.nPos;
    switch (code) {
    case DispScrollCode::LineUp:
    case DispScrollCode::PageUp:
        if (pos > bar.nMin) {
            --pos;
        }
        break;
    case DispScrollCode::LineDown:
    case DispScrollCode::PageDown:
        if (pos < bar.nMax) {
            ++pos;
        }
        break;
    case DispScrollCode::ThumbPosition:
    case DispScrollCode::ThumbTrack:
        pos = std::clamp(nThumbPos, bar.nMin, std::max(bar.nMin, bar.nMax));
        break;
    case DispScrollCode::Top:
        pos = bar.nMin;
        break;
    case DispScrollCode::Bottom:
        pos = std::max(bar.nMin, bar.nMax);
        break;
    default:
        return false;
    }
    pos = std::max(pos, 0);
    DISP_VIEW_STATE& v = CurrentView();
    const double r = v.CurDrawRatio;
    const bool bRatio = r > 0.0 && std::isfinite(r);
    if (bVertical) {
        m_ScrollPos.y = pos;
        v.CenterPos.y = pos + (bRatio ? Trunc(m_nPictureBoxHeight / r * 0.5) : 0);
    } else {
        m_ScrollPos.x = pos;
        v.CenterPos.x = pos + (bRatio ? Trunc(m_nPictureBoxWidth / r * 0.5) : 0);
    }
    bar.nPos = pos;
    if (bStillShown) {
        UpdateVisibleRegion();
    }
    return true;
}

void CDisplayGeometry::UpdateVisibleRegion()
{
    DISP_VIEW_STATE& v = CurrentView();
    const double r = v.CurDrawRatio;
    if (v.bFit || !(r > 0.0) || !std::isfinite(r)) {
        return;
    }
    v.VisibleRect.left = m_ScrollPos.x;
    v.VisibleRect.top = m_ScrollPos.y;
    v.VisibleRect.right = m_ScrollPos.x + Trunc(m_nPictureBoxWidth * (1.0 / r));
    v.VisibleRect.bottom = m_ScrollPos.y + Trunc(m_nPictureBoxHeight * (1.0 / r));
}

bool CDisplayGeometry::ClickToImage(int32_t x, int32_t y, POINT* pImage) const
{
    return pImage != nullptr && PointerToImagePixel(POINT{x, y}, CurrentView().CurDrawRatio, m_ScrollPos, *pImage);
}

bool CDisplayGeometry::MagnifierToImage(int32_t x, int32_t y, POINT* pImage) const
{
    const DISP_VIEW_STATE& v = CurrentView();
    const double r = v.CurDrawRatio == 0.0 ? v.dFitRatio : v.CurDrawRatio;
    return pImage != nullptr && PointerToImagePixel(POINT{x, y}, r, m_ScrollPos, *pImage);
}

bool CDisplayGeometry::ImageToWindow(POINT ptImage, POINT* pWindow) const
{
    const double r = CurrentView().CurDrawRatio;
    if (!(r > 0.0) || !std::isfinite(r) || pWindow == nullptr) {
        return false;
    }
    pWindow->x = int32_t(std::floor((ptImage.x - m_ScrollPos.x) * r + 0.5));
    pWindow->y = int32_t(std::floor((ptImage.y - m_ScrollPos.y) * r + 0.5));
    return true;
}

void CDisplayGeometry::SwitchView(bool bFileImage)
{
    m_bStillView = bFileImage;
    DISP_VIEW_STATE& v = CurrentView();
    RefreshFit(v);
    const int nSel = FillRatioList(v.dFitRatio, v.bFit ? v.dFitRatio : v.CurDrawRatio);
    if (nSel == 0) {
        v.bFit = TRUE;
        v.CurDrawRatio = v.dFitRatio;
        v.CenterPos = POINT{0, 0};
    }
    CalcDrawImagePos();
    UpdateScrollBarVisibility();
}

RECT CDisplayGeometry::Resize(int32_t nClientWidth, int32_t nClientHeight)
{
    m_FrameRect.right = std::max(m_FrameRect.left, nClientWidth - m_nRightMargin);
    m_FrameRect.bottom = std::max(m_FrameRect.top, nClientHeight - m_nBottomMargin);
    // The other view follows too, so switching to it later shows it fitted to the new frame.
    DISP_VIEW_STATE& other = m_bStillView ? m_CameraView : m_StillView;
    RefreshFit(other);
    SwitchView(m_bStillView);
    return m_FrameRect;
}
