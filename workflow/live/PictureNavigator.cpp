#include "workflow/live/PictureNavigator.h"

#include "engine/PointerPixel.h"
#include "workflow/live/DisplayGeometry.h"
#include "workflow/live/PictureState.h"
#include "workflow/live/PictureViewController.h"

#include <QApplication>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QWheelEvent>
#include <QWidget>

#include <algorithm>
#include <cmath>

namespace {

// One notch of a wheel, in Qt's eighths of a degree.
constexpr int kNotch = 120;
// Screen pixels one of the desktop's wheel lines scrolls.
constexpr int kWheelLinePixels = 20;

} // namespace

CPictureNavigator::CPictureNavigator(const PICTURE_NAVIGATOR_PARTS& parts) : m_Parts(parts)
{
    m_Parts.pBox->installEventFilter(this);
    if (m_Parts.pOverlay != nullptr) {
        m_Parts.pOverlay->installEventFilter(this);
    } else {
        // Without the overlay the box itself tells where the pointer is.
        m_Parts.pBox->setMouseTracking(true);
    }
}

CPictureNavigator::~CPictureNavigator()
{
    if (m_bPanning) {
        QGuiApplication::restoreOverrideCursor();
    }
}

bool CPictureNavigator::IsStillShown() const
{
    return m_Parts.picture.GetDispImageKind() == DISP_STILL_IMAGE;
}

bool CPictureNavigator::ScrollTo(int32_t nLeft, int32_t nTop)
{
    CDisplayGeometry& g = m_Parts.geometry;
    if (g.CurrentView().bFit) {
        return false; // the whole picture is shown from its origin
    }
    const POINT before = g.GetScrollPos();
    // A way whose bar is hidden shows the whole picture that way: nothing to move.
    if (g.GetHScroll().bVisible && nLeft != before.x) {
        g.Scroll(false, DispScrollCode::ThumbPosition, nLeft, IsStillShown());
    }
    if (g.GetVScroll().bVisible && nTop != before.y) {
        g.Scroll(true, DispScrollCode::ThumbPosition, nTop, IsStillShown());
    }
    return g.GetScrollPos() != before;
}

bool CPictureNavigator::KeepPixelAt(int32_t x, int32_t y, QPoint boxPos)
{
    // The image pixel the box point shows from the origin, by the mapping clicks use.
    POINT offset{};
    if (!PointerToImagePixel(POINT{boxPos.x(), boxPos.y()}, m_Parts.geometry.CurrentView().CurDrawRatio, POINT{0, 0},
                             offset)) {
        return false;
    }
    return ScrollTo(x - offset.x, y - offset.y);
}

bool CPictureNavigator::ZoomAt(QPoint boxPos, bool bIn)
{
    CDisplayGeometry& g = m_Parts.geometry;
    const DISP_VIEW_STATE& v = g.CurrentView();
    POINT pixel{};
    const bool bOnPicture = g.ClickToImage(boxPos.x(), boxPos.y(), &pixel);
    // The pointer's place in the window: the box itself moves when the picture outgrows the frame.
    const QPoint client = m_Parts.pBox->mapToParent(boxPos);
    if (!(bIn ? g.ZoomIn() : g.ZoomOut())) {
        return false;
    }
    if (bOnPicture) {
        pixel.x = std::clamp(pixel.x, 0, std::max(0, v.ImageInfo.nWidth - 1));
        pixel.y = std::clamp(pixel.y, 0, std::max(0, v.ImageInfo.nHeight - 1));
        const RECT box = g.GetPictureBoxRect();
        KeepPixelAt(pixel.x, pixel.y, client - QPoint(box.left, box.top));
    }
    m_Parts.view.Refresh();
    return true;
}

void CPictureNavigator::OnWheel(QPoint boxPos, QPoint angleDelta, Qt::KeyboardModifiers modifiers)
{
    CDisplayGeometry& g = m_Parts.geometry;
    const double r = g.CurrentView().CurDrawRatio;
    if (!m_Parts.picture.HasPicture() || !(r > 0.0) || !std::isfinite(r)) {
        return;
    }
    if (modifiers & Qt::ControlModifier) {
        m_nZoomAngle += angleDelta.y() != 0 ? angleDelta.y() : angleDelta.x();
        bool bZoomed = false;
        for (; m_nZoomAngle >= kNotch; m_nZoomAngle -= kNotch) {
            bZoomed = ZoomAt(boxPos, true) || bZoomed;
        }
        for (; m_nZoomAngle <= -kNotch; m_nZoomAngle += kNotch) {
            bZoomed = ZoomAt(boxPos, false) || bZoomed;
        }
        if (bZoomed) {
            ReportPointer();
        }
        return;
    }
    int dx = angleDelta.x();
    int dy = angleDelta.y();
    if (modifiers & Qt::ShiftModifier) {
        dx = dy != 0 ? dy : dx;
        dy = 0;
    }
    // Turning the wheel away from the user shows what lies above (or left).
    const double step = QApplication::wheelScrollLines() * kWheelLinePixels / r;
    m_dWheelX -= double(dx) / kNotch * step;
    m_dWheelY -= double(dy) / kNotch * step;
    const int32_t mx = int32_t(std::trunc(m_dWheelX));
    const int32_t my = int32_t(std::trunc(m_dWheelY));
    m_dWheelX -= mx;
    m_dWheelY -= my;
    const POINT s = g.GetScrollPos();
    if ((mx != 0 || my != 0) && ScrollTo(s.x + mx, s.y + my)) {
        m_Parts.view.ApplyView();
        ReportPointer();
    } else if (mx != 0 || my != 0) {
        // Nothing moved (the whole picture shows, or an edge is reached): no part of a step is kept.
        m_dWheelX = m_dWheelY = 0.0;
    }
}

void CPictureNavigator::StartPan(QPoint boxPos)
{
    const CDisplayGeometry& g = m_Parts.geometry;
    POINT pixel{};
    if (g.CurrentView().bFit || !(g.GetHScroll().bVisible || g.GetVScroll().bVisible) ||
        !g.ClickToImage(boxPos.x(), boxPos.y(), &pixel)) {
        return;
    }
    m_nGrabX = pixel.x;
    m_nGrabY = pixel.y;
    if (!m_bPanning) {
        QGuiApplication::setOverrideCursor(Qt::ClosedHandCursor);
    }
    m_bPanning = true;
}

void CPictureNavigator::PanTo(QPoint boxPos)
{
    if (m_bPanning && KeepPixelAt(m_nGrabX, m_nGrabY, boxPos)) {
        m_Parts.view.ApplyView();
        ReportPointer();
    }
}

void CPictureNavigator::EndPan()
{
    if (m_bPanning) {
        m_bPanning = false;
        QGuiApplication::restoreOverrideCursor();
    }
}

void CPictureNavigator::ReportPointer()
{
    if (m_Parts.fnPointer) {
        m_Parts.fnPointer(m_LastPointer);
    }
}

bool CPictureNavigator::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched != m_Parts.pBox && pWatched != m_Parts.pOverlay) {
        return false;
    }
    auto* pWidget = static_cast<QWidget*>(pWatched);
    switch (pEvent->type()) {
    case QEvent::Wheel: {
        auto* e = static_cast<QWheelEvent*>(pEvent);
        const QPoint pos = pWidget->mapTo(m_Parts.pBox, e->position().toPoint());
        m_LastPointer = pos;
        OnWheel(pos, e->angleDelta(), e->modifiers());
        e->accept();
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::MouseButtonRelease:
    case QEvent::MouseMove: {
        auto* e = static_cast<QMouseEvent*>(pEvent);
        const QPoint pos = pWidget->mapTo(m_Parts.pBox, e->position().toPoint());
        if (e->button() == Qt::MiddleButton || (m_bPanning && pEvent->type() == QEvent::MouseMove)) {
            // The middle button only ever moves the picture: no point input sees it.
            if (pEvent->type() == QEvent::MouseButtonPress) {
                StartPan(pos);
            } else if (pEvent->type() == QEvent::MouseButtonRelease) {
                EndPan();
            } else if (pEvent->type() == QEvent::MouseMove) {
                m_LastPointer = pos;
                PanTo(pos);
            }
            e->accept();
            return true;
        }
        if (pEvent->type() == QEvent::MouseMove) {
            m_LastPointer = pos;
            ReportPointer();
        }
        return false;
    }
    case QEvent::Leave:
        if (pWatched == m_Parts.pBox && !m_bPanning) {
            m_LastPointer.reset();
            ReportPointer();
        }
        return false;
    default:
        return false;
    }
}
