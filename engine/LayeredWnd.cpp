#include "engine/LayeredWnd.h"

#include "engine/OverlayMessages.h"

#include <QColor>
#include <QMouseEvent>
#include <QPainter>

CLayeredWnd::CLayeredWnd(QWidget* pParent, IMessageSink* pOwner) : QWidget(pParent), m_Input(pOwner)
{
    setMouseTracking(true);
    // Nothing of its own to paint: the window beneath composes the overlay.
    setAttribute(Qt::WA_NoSystemBackground);
    setAttribute(Qt::WA_TranslucentBackground);
    setCursor(Qt::CrossCursor);
    m_Input.Engine().SetDrawWindow(&m_Measurer);
    m_Input.SetRedrawHandler([this] { Redraw(); });
}

void CLayeredWnd::Redraw()
{
    // The window beneath draws the overlay: a change repaints it there.
    QWidget* pBeneath = parentWidget();
    if (pBeneath != nullptr) {
        pBeneath->update(geometry());
    } else {
        update();
    }
}

void CLayeredWnd::PaintOver(QPainter& painter)
{
    m_Drawer.Draw(Engine(), painter, width(), height());
    if (m_bSnapMarker) {
        DrawSnapMarker(painter);
    }
}

void CLayeredWnd::DrawSnapMarker(QPainter& painter) const
{
    const CRgnDataCtrl& eng = m_Input.Engine();
    const double r = eng.GetRatio();
    const QPointF c((m_ptSnapMarker.x - eng.GetScroll().x + 0.5) * r, (m_ptSnapMarker.y - eng.GetScroll().y + 0.5) * r);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setPen(QPen(QColor::fromRgb(kSnapMarkerColour), 2));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(c, kSnapMarkerRadius, kSnapMarkerRadius);
    painter.drawPoint(c);
    painter.restore();
}

void CLayeredWnd::UpdateSnapMarker(const POINT* pWnd)
{
    POINT t{};
    const bool bPointInput = m_Input.IsMakingShape() || m_Input.IsCalibrating();
    const bool bShow = pWnd != nullptr && bPointInput && Engine().SnapTargetAt(*pWnd, t);
    if (bShow != m_bSnapMarker || (bShow && t != m_ptSnapMarker)) {
        m_bSnapMarker = bShow;
        m_ptSnapMarker = bShow ? t : POINT{0, 0};
        Redraw();
    }
}

BOOL CLayeredWnd::Initialise(int32_t nWidth, int32_t nHeight, double dRatio)
{
    CRgnDataCtrl& eng = Engine();
    if (eng.GetImageWidth() != nWidth || eng.GetImageHeight() != nHeight) {
        if (!eng.SetImageSize(nWidth, nHeight, dRatio)) {
            return FALSE;
        }
    } else {
        eng.SetView(dRatio, 0, 0);
    }
    m_Input.SetInitialised(TRUE);
    Redraw();
    return TRUE;
}

void CLayeredWnd::SetView(double dRatio, POINT ptScroll)
{
    CRgnDataCtrl& eng = Engine();
    if (eng.GetRatio() != dRatio || eng.GetScroll() != ptScroll) {
        eng.SetView(dRatio, ptScroll.x, ptScroll.y);
        Redraw();
    }
}

void CLayeredWnd::paintEvent(QPaintEvent*)
{
    // Drawn by the window beneath (PaintOver); a parentless overlay draws
    // itself.
    if (parentWidget() == nullptr) {
        QPainter painter(this);
        PaintOver(painter);
    }
}

UINT CLayeredWnd::KeyFlags(const QMouseEvent* pEvent)
{
    UINT flags = 0;
    const Qt::MouseButtons b = pEvent->buttons();
    flags |= (b & Qt::LeftButton) ? MK_LBUTTON : 0;
    flags |= (b & Qt::RightButton) ? MK_RBUTTON : 0;
    flags |= (b & Qt::MiddleButton) ? MK_MBUTTON : 0;
    flags |= (pEvent->modifiers() & Qt::ShiftModifier) ? MK_SHIFT : 0;
    flags |= (pEvent->modifiers() & Qt::ControlModifier) ? MK_CONTROL : 0;
    return flags;
}

POINT CLayeredWnd::ClientPoint(const QMouseEvent* pEvent)
{
    const QPoint p = pEvent->position().toPoint();
    return POINT{p.x(), p.y()};
}

void CLayeredWnd::TakeModifiers(const QMouseEvent* pEvent)
{
    Engine().SetExactPointer((pEvent->modifiers() & kExactPointerModifier) != 0);
}

void CLayeredWnd::mousePressEvent(QMouseEvent* pEvent)
{
    TakeModifiers(pEvent);
    const POINT pt = ClientPoint(pEvent);
    if (pEvent->button() == Qt::LeftButton) {
        m_Input.OnLButtonDown(KeyFlags(pEvent), pt);
    } else if (pEvent->button() == Qt::RightButton) {
        m_Input.OnRButtonDown(KeyFlags(pEvent), pt);
    }
    UpdateSnapMarker(&pt);
}

void CLayeredWnd::mouseMoveEvent(QMouseEvent* pEvent)
{
    TakeModifiers(pEvent);
    const POINT pt = ClientPoint(pEvent);
    m_Input.OnMouseMove(KeyFlags(pEvent), pt);
    UpdateSnapMarker(&pt);
}

void CLayeredWnd::leaveEvent(QEvent* pEvent)
{
    UpdateSnapMarker(nullptr);
    QWidget::leaveEvent(pEvent);
}
