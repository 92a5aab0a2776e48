// The picture's place in the main window: the frame, fit and zoom, the ratio
// list, both scroll bars, and the overlay kept on the same image points.
#include "workflow/live/PictureViewController.h"

#include "engine/LayeredWnd.h"
#include "workflow/live/DisplayGeometry.h"
#include "workflow/live/PictureState.h"

#include <QComboBox>

#include <QScrollBar>
#include <QSignalBlocker>

#include <cmath>

namespace {

QRect ToQRect(const RECT& rc)
{
    return QRect(rc.left, rc.top, rc.right - rc.left, rc.bottom - rc.top);
}

DispScrollCode ScrollCode(int nAction)
{
    switch (nAction) {
    case QAbstractSlider::SliderSingleStepSub:
        return DispScrollCode::LineUp;
    case QAbstractSlider::SliderSingleStepAdd:
        return DispScrollCode::LineDown;
    case QAbstractSlider::SliderPageStepSub:
        return DispScrollCode::PageUp;
    case QAbstractSlider::SliderPageStepAdd:
        return DispScrollCode::PageDown;
    case QAbstractSlider::SliderToMinimum:
        return DispScrollCode::Top;
    case QAbstractSlider::SliderToMaximum:
        return DispScrollCode::Bottom;
    case QAbstractSlider::SliderMove:
        return DispScrollCode::ThumbTrack;
    default:
        return DispScrollCode::EndScroll;
    }
}

void SetBar(QScrollBar* pBar, const DISP_SCROLL_BAR& bar, int nPage)
{
    const QSignalBlocker block(pBar);
    pBar->setRange(bar.nMin, std::max(bar.nMin, bar.nMax));
    pBar->setValue(bar.nPos);
    pBar->setSingleStep(1);
    pBar->setPageStep(std::max(1, nPage));
    pBar->setVisible(bar.bVisible != 0);
}

} // namespace

void CPictureViewController::ResetPictureView(const IMAGE_INFO& info)
{
    m_Parts.geometry.ResetView(info);
    Refresh();
}

void CPictureViewController::FillRatioCombo()
{
    QComboBox* pCombo = m_Parts.pRatioCombo;
    const QSignalBlocker block(pCombo);
    const DISP_VIEW_STATE& v = m_Parts.geometry.CurrentView();
    if (v.ImageInfo.nWidth <= 0 || v.ImageInfo.nHeight <= 0) {
        pCombo->clear(); // no picture, no ratios
        return;
    }
    if (pCombo->count() != m_Parts.geometry.GetRatioCount() ||
        (pCombo->count() > 0 && pCombo->itemText(0).toStdString() != m_Parts.geometry.GetRatioText(0))) {
        pCombo->clear();
        for (int i = 0; i < m_Parts.geometry.GetRatioCount(); ++i) {
            pCombo->addItem(QString::fromStdString(m_Parts.geometry.GetRatioText(i)));
        }
    }
    pCombo->setCurrentIndex(m_Parts.geometry.GetRatioSel());
}

void CPictureViewController::ApplyView()
{
    if (m_Parts.pPictureBox == nullptr) {
        return;
    }
    const DISP_VIEW_STATE& view = m_Parts.geometry.CurrentView();
    // Without a picture the box fills the frame (and shows it empty).
    const QRect box = view.ImageInfo.nWidth > 0 && view.ImageInfo.nHeight > 0
                          ? ToQRect(m_Parts.geometry.GetPictureBoxRect())
                          : ToQRect(m_Parts.geometry.GetFrameRect()).adjusted(1, 1, -1, -1);
    m_Parts.pPictureBox->setGeometry(box);
    const DISP_VIEW_STATE& v = view;
    const double r = v.CurDrawRatio > 0.0 ? v.CurDrawRatio : 1.0;
    SetBar(m_Parts.pHorzBar, m_Parts.geometry.GetHScroll(), int(box.width() / r));
    SetBar(m_Parts.pVertBar, m_Parts.geometry.GetVScroll(), int(box.height() / r));
    const POINT scroll = m_Parts.geometry.GetScrollPos();
    if (m_Parts.pOverlay != nullptr) {
        m_Parts.pOverlay->setGeometry(0, 0, box.width(), box.height());
        // The overlay repaints only when what it shows moved.
        if (v.CurDrawRatio != m_dOverlayRatio || scroll.x != m_OverlayScroll.x || scroll.y != m_OverlayScroll.y) {
            m_dOverlayRatio = v.CurDrawRatio;
            m_OverlayScroll = scroll;
            m_Parts.pOverlay->SetView(v.CurDrawRatio, scroll);
        }
    }
    m_Parts.geometry.UpdateVisibleRegion();
    // What tools driving the program from outside need to find an image pixel on the screen.
    m_Parts.pPictureBox->setProperty("windowMapInfo", QStringLiteral("ratio=%1 scroll=%2,%3")
                                                 .arg(v.CurDrawRatio, 0, 'g', 17)
                                                 .arg(scroll.x)
                                                 .arg(scroll.y));
    m_Parts.pPictureBox->update();
}

void CPictureViewController::InitialiseOverlay(int nWidth, int nHeight)
{
    if (m_Parts.pOverlay == nullptr) {
        return;
    }
    m_Parts.pOverlay->Initialise(nWidth, nHeight, m_Parts.geometry.CurrentView().CurDrawRatio);
    m_dOverlayRatio = 0.0;
    ApplyView();
}

void CPictureViewController::Refresh()
{
    FillRatioCombo();
    ApplyView();
}

void CPictureViewController::ZoomFit()
{
    m_Parts.geometry.ZoomFit();
    Refresh();
}

void CPictureViewController::ZoomIn()
{
    if (m_Parts.geometry.ZoomIn()) {
        Refresh();
    }
}

void CPictureViewController::ZoomOut()
{
    if (m_Parts.geometry.ZoomOut()) {
        Refresh();
    }
}

void CPictureViewController::SelectRatio(int nSel)
{
    if (nSel < 0) {
        return;
    }
    m_Parts.geometry.DispCurrentRatioImage(nSel);
    Refresh();
}

void CPictureViewController::Scroll(bool bVertical, int nAction)
{
    QScrollBar* pBar = bVertical ? m_Parts.pVertBar : m_Parts.pHorzBar;
    const DispScrollCode code = ScrollCode(nAction);
    if (code == DispScrollCode::EndScroll) {
        return;
    }
    if (m_Parts.geometry.Scroll(bVertical, code, pBar->sliderPosition(), m_Parts.picture.GetDispImageKind() == DISP_STILL_IMAGE)) {
        const DISP_SCROLL_BAR& bar = bVertical ? m_Parts.geometry.GetVScroll() : m_Parts.geometry.GetHScroll();
        // The bar moves by the geometry's step, not by its own.
        pBar->setSliderPosition(bar.nPos);
        ApplyView();
    }
}
