// The picture's place in the main window: the frame, fit and zoom, the ratio
// list, both scroll bars, and the overlay kept on the same image points.
#include "ui_PixmetraDlg.h"
#include "workflow/PixmetraDlg.h"
#include "workflow/live/PictureBox.h"

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

void CPixmetraDlg::InitPictureGeometry()
{
    const QRect f = m_pUi->framePicture->geometry();
    m_Geometry.SetFrameRect(RECT{f.left(), f.top(), f.left() + f.width(), f.top() + f.height()});
    m_Geometry.SetFrameMargins(width(), height());
}

void CPixmetraDlg::ResetPictureView(const IMAGE_INFO& info)
{
    m_Geometry.ResetView(info);
    FillRatioCombo();
    ApplyView();
}

void CPixmetraDlg::FillRatioCombo()
{
    QComboBox* pCombo = m_pUi->comboRatio;
    const QSignalBlocker block(pCombo);
    const DISP_VIEW_STATE& v = m_Geometry.CurrentView();
    if (v.ImageInfo.nWidth <= 0 || v.ImageInfo.nHeight <= 0) {
        pCombo->clear(); // no picture, no ratios
        return;
    }
    if (pCombo->count() != m_Geometry.GetRatioCount() ||
        (pCombo->count() > 0 && pCombo->itemText(0).toStdString() != m_Geometry.GetRatioText(0))) {
        pCombo->clear();
        for (int i = 0; i < m_Geometry.GetRatioCount(); ++i) {
            pCombo->addItem(QString::fromStdString(m_Geometry.GetRatioText(i)));
        }
    }
    pCombo->setCurrentIndex(m_Geometry.GetRatioSel());
}

void CPixmetraDlg::ApplyView()
{
    if (m_pPicture == nullptr) {
        return;
    }
    const DISP_VIEW_STATE& view = m_Geometry.CurrentView();
    // Without a picture the box fills the frame (and shows it empty).
    const QRect box = view.ImageInfo.nWidth > 0 && view.ImageInfo.nHeight > 0
                          ? ToQRect(m_Geometry.GetPictureBoxRect())
                          : ToQRect(m_Geometry.GetFrameRect()).adjusted(1, 1, -1, -1);
    m_pPicture->setGeometry(box);
    const DISP_VIEW_STATE& v = view;
    const double r = v.CurDrawRatio > 0.0 ? v.CurDrawRatio : 1.0;
    SetBar(m_pUi->scrollHorz, m_Geometry.GetHScroll(), int(box.width() / r));
    SetBar(m_pUi->scrollVert, m_Geometry.GetVScroll(), int(box.height() / r));
    const POINT scroll = m_Geometry.GetScrollPos();
    if (m_pLayeredWnd != nullptr) {
        m_pLayeredWnd->setGeometry(0, 0, box.width(), box.height());
        // The overlay repaints only when what it shows moved.
        if (v.CurDrawRatio != m_dOverlayRatio || scroll.x != m_OverlayScroll.x || scroll.y != m_OverlayScroll.y) {
            m_dOverlayRatio = v.CurDrawRatio;
            m_OverlayScroll = scroll;
            m_pLayeredWnd->SetView(v.CurDrawRatio, scroll);
        }
    }
    m_Geometry.UpdateVisibleRegion();
    // What tools driving the program from outside need to find an image pixel on the screen.
    m_pPicture->setProperty("windowMapInfo", QStringLiteral("ratio=%1 scroll=%2,%3")
                                                 .arg(v.CurDrawRatio, 0, 'g', 17)
                                                 .arg(scroll.x)
                                                 .arg(scroll.y));
    m_pPicture->update();
}

void CPixmetraDlg::OnBnClickedBtnZoomFit()
{
    m_Geometry.ZoomFit();
    FillRatioCombo();
    ApplyView();
}

void CPixmetraDlg::OnBnClickedBtnZoomIn()
{
    if (m_Geometry.ZoomIn()) {
        FillRatioCombo();
        ApplyView();
    }
}

void CPixmetraDlg::OnBnClickedBtnZoomOut()
{
    if (m_Geometry.ZoomOut()) {
        FillRatioCombo();
        ApplyView();
    }
}

void CPixmetraDlg::OnCbnSelchangeComboRatio(int nSel)
{
    if (nSel < 0) {
        return;
    }
    m_Geometry.DispCurrentRatioImage(nSel);
    FillRatioCombo();
    ApplyView();
}

void CPixmetraDlg::OnScroll(bool bVertical, int nAction)
{
    QScrollBar* pBar = bVertical ? m_pUi->scrollVert : m_pUi->scrollHorz;
    const DispScrollCode code = ScrollCode(nAction);
    if (code == DispScrollCode::EndScroll) {
        return;
    }
    if (m_Geometry.Scroll(bVertical, code, pBar->sliderPosition(), m_nDispImageKind == DISP_STILL_IMAGE)) {
        const DISP_SCROLL_BAR& bar = bVertical ? m_Geometry.GetVScroll() : m_Geometry.GetHScroll();
        // The bar moves by the geometry's step, not by its own.
        pBar->setSliderPosition(bar.nPos);
        ApplyView();
    }
}
