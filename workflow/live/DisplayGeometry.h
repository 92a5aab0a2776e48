// Where the picture lies in the main window and which part of it is shown:
// the picture box inside its frame, the fit ratio and the zoom steps, centring,
// clamping and scrolling, and the mapping of picture-box points to image
// pixels. Pure arithmetic on plain records, so it runs without any window;
// the main window moves its controls to what this computes.
#pragma once

#include "image/FitRect.h"
#include "image/ImageInfo.h"
#include "platform/WinTypes.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// One view of a picture. The camera pictures (live or frozen) and an image
// loaded from a file each keep their own.
struct DISP_VIEW_STATE {
    IMAGE_INFO ImageInfo;
    RECT DrawRect;        // the fitted picture inside the frame's client area
    double dFitRatio;     // shows the whole picture in the frame
    double CurDrawRatio;  // window pixels per image pixel
    BOOL bFit;            // the fit ratio is in use, view at the origin
    POINT CenterPos;      // image point at the centre of the view; (0, 0) = not set
    RECT VisibleRect;     // the part of the image shown, in image pixels
};

// The codes a scroll bar reports, in the order of the classic SB_ values.
enum class DispScrollCode : int32_t {
    LineUp = 0,
    LineDown = 1,
    PageUp = 2,
    PageDown = 3,
    ThumbPosition = 4,
    ThumbTrack = 5,
    Top = 6,
    Bottom = 7,
    EndScroll = 8,
};

struct DISP_SCROLL_BAR {
    int32_t nMin;
    int32_t nMax;  // below nMin when the picture is smaller than the view
    int32_t nPos;
    BOOL bVisible;
};

class CDisplayGeometry {
public:
    static constexpr int ZOOM_TABLE_COUNT = 21;
    static constexpr int RATIO_LIST_MAX = 22;
    static const std::array<double, ZOOM_TABLE_COUNT> ZoomTable;

    CDisplayGeometry();

    // Receives every log line ("[MAIN]..."); without a sink nothing is logged.
    void SetLogSink(std::function<void(const std::string&)> fn) { m_fnLog = std::move(fn); }

    // The view state in use: the still one while an image loaded from a file is shown.
    void SelectView(bool bFileImage) { m_bStillView = bFileImage; }
    // Selects a view and shows it: ratio list refilled for it (its ratio kept
    // when still listed, else fit), view recalculated, bars' visibility updated.
    void SwitchView(bool bFileImage);
    bool IsStillView() const { return m_bStillView; }
    DISP_VIEW_STATE& CameraView() { return m_CameraView; }
    DISP_VIEW_STATE& StillView() { return m_StillView; }
    DISP_VIEW_STATE& CurrentView() { return m_bStillView ? m_StillView : m_CameraView; }
    const DISP_VIEW_STATE& CurrentView() const { return m_bStillView ? m_StillView : m_CameraView; }

    // The frame (the area available for the picture) in client coordinates.
    void SetFrameRect(const RECT& rcFrame) { m_FrameRect = rcFrame; }
    const RECT& GetFrameRect() const { return m_FrameRect; }
    // Remembers the right and bottom margins around the frame at start, for resizing.
    void SetFrameMargins(int32_t nClientWidth, int32_t nClientHeight);

    // Fit ratio of a picture in the frame: 1.0 when it is smaller than the
    // frame both ways, else the fit rule. pDrawRect receives the fitted rectangle.
    double CalcFitRatio(const IMAGE_INFO& info, RECT* pDrawRect = nullptr) const;

    // A picture of a new size (or the first one): the current view goes back
    // to fit and the ratio list is refilled. Returns the selected entry (0).
    int ResetView(const IMAGE_INFO& info);

    // Places the picture box inside the frame for the current ratio and
    // returns it (client coordinates); also kept as the picture box rectangle.
    RECT LayoutPictureBox();
    const RECT& GetPictureBoxRect() const { return m_PictureBoxRect; }
    int32_t GetPictureBoxWidth() const { return m_nPictureBoxWidth; }
    int32_t GetPictureBoxHeight() const { return m_nPictureBoxHeight; }

    // Lays out the box, centres and clamps the view, sets both bars' ranges
    // and positions and the scroll position. The caller then hands
    // GetScrollPos() and CurrentView().CurDrawRatio to the overlay.
    void CalcDrawImagePos();

    // The ratio list behind the combo; returns the selected index.
    int FillRatioList(double dFitRatio, double dSelect);
    int GetRatioCount() const { return m_nRatioCount; }
    double GetRatio(int nIndex) const;
    std::string GetRatioText(int nIndex) const;  // "x0.31"
    int GetRatioSel() const { return m_nRatioSel; }

    // Applies entry nSel of the ratio list (the combo's selection).
    void DispCurrentRatioImage(int nSel);
    void ZoomFit();
    bool ZoomIn();   // false at the last entry: nothing changed
    bool ZoomOut();  // false at the fit entry: nothing changed

    // Shows a bar when the scaled picture exceeds the frame in its direction.
    void UpdateScrollBarVisibility();
    const DISP_SCROLL_BAR& GetHScroll() const { return m_HScroll; }
    const DISP_SCROLL_BAR& GetVScroll() const { return m_VScroll; }
    POINT GetScrollPos() const { return m_ScrollPos; }

    // One scroll bar event; nThumbPos is used by the thumb codes. bStillShown:
    // a still picture is on screen, so the visible region follows at once.
    // Returns false when the code changes nothing.
    bool Scroll(bool bVertical, DispScrollCode code, int32_t nThumbPos, bool bStillShown);

    // The visible region of the current view (left as it is while fitting).
    void UpdateVisibleRegion();

    // A click at (x, y) in the picture box -> the image pixel drawn there
    // (the one under the centre of that window pixel); false without a ratio.
    bool ClickToImage(int32_t x, int32_t y, POINT* pImage) const;
    // The magnifier's pointer, mapped alike; the fit ratio stands in for a ratio of 0.
    bool MagnifierToImage(int32_t x, int32_t y, POINT* pImage) const;
    // Image point -> picture-box point, as the overlay draws it.
    bool ImageToWindow(POINT ptImage, POINT* pWindow) const;

    // The client area changed: new frame (client minus the margins), fit
    // ratios recomputed, the ratio list refilled keeping the current ratio
    // when it is still listed (else fit), the view recalculated.
    RECT Resize(int32_t nClientWidth, int32_t nClientHeight);

private:
    void Log(const char* pFormat, ...) const __attribute__((format(printf, 2, 3)));
    void RefreshFit(DISP_VIEW_STATE& v) const;

    DISP_VIEW_STATE m_CameraView{};
    DISP_VIEW_STATE m_StillView{};
    bool m_bStillView = false;
    RECT m_FrameRect{};
    int32_t m_nRightMargin = 0;
    int32_t m_nBottomMargin = 0;
    RECT m_PictureBoxRect{};
    int32_t m_nPictureBoxWidth = 0;
    int32_t m_nPictureBoxHeight = 0;
    POINT m_ScrollPos{};
    DISP_SCROLL_BAR m_HScroll{};
    DISP_SCROLL_BAR m_VScroll{};
    std::array<double, RATIO_LIST_MAX> m_RatioList{};
    int m_nRatioCount = 0;
    int m_nRatioSel = 0;
    std::function<void(const std::string&)> m_fnLog;
};
