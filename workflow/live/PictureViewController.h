// The picture's place in the main window: fit and zoom, the ratio list, both
// scroll bars, and the overlay kept on the same image points as the picture.
#pragma once

#include "image/ImageInfo.h"
#include "platform/WinTypes.h"
#include "workflow/WindowParts.h"

class QComboBox;
class QScrollBar;

struct PICTURE_VIEW_PARTS {
    CDisplayGeometry& geometry;
    IPictureState& picture;
    QWidget* pPictureBox;
    CLayeredWnd* pOverlay; // absent when the window could not make it
    QComboBox* pRatioCombo;
    QScrollBar* pHorzBar;
    QScrollBar* pVertBar;
};

class CPictureViewController {
public:
    explicit CPictureViewController(const PICTURE_VIEW_PARTS& parts) : m_Parts(parts) {}

    // A picture of a new size in the current view: back to fit.
    void ResetPictureView(const IMAGE_INFO& info);
    // The overlay takes a picture of this size; the view is given to it again.
    void InitialiseOverlay(int nWidth, int nHeight);
    void FillRatioCombo();
    // The picture box, the bars and the overlay follow the geometry's view.
    void ApplyView();
    // Ratio list and view after the geometry's view changed.
    void Refresh();

    void ZoomFit();
    void ZoomIn();
    void ZoomOut();
    void SelectRatio(int nSel);
    // nAction: the scroll bar's QAbstractSlider action.
    void Scroll(bool bVertical, int nAction);

private:
    PICTURE_VIEW_PARTS m_Parts;
    // The view the overlay was last given, so it repaints only on a change.
    double m_dOverlayRatio = 0.0;
    POINT m_OverlayScroll{-1, -1};
};
