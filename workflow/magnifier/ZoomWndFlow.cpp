#include "workflow/magnifier/ZoomWndFlow.h"

#include "app/LogFile.h"
#include "app/SystemSetting.h"
#include "image/AccImage.h"
#include "workflow/live/DisplayGeometry.h"
#include "workflow/magnifier/ZoomWndDlg.h"
#include "workflow/toolwnd/MeasureModeDlg.h"

#include <QEvent>
#include <QShowEvent>
#include <QWindow>

CZoomWndFlow::CZoomWndFlow(const ZOOM_FLOW_PARTS& parts)
    : m_Owner(parts.owner), m_Image(parts.image), m_Geometry(parts.geometry), m_Setting(parts.setting),
      m_pTool(parts.pTool)
{
    // Owned by the desktop: a top-level window of its own, deleted with this.
    m_pZoomWnd = std::make_unique<CZoomWndDlg>();
    if (!m_pZoomWnd->InitZoomWndDlg(parts.pMainSink, &m_Image)) {
        WriteLog(QStringLiteral("[MAIN]InitZoomWndDlg() is Error!"));
    }
    m_pZoomWnd->SetCrossColor(m_Setting.Draw.CrossColor);
    m_Owner.installEventFilter(this);
}

CZoomWndFlow::~CZoomWndFlow()
{
    m_Owner.removeEventFilter(this);
}

void CZoomWndFlow::UpdateImageInfo()
{
    const CAccImage& image = m_Image;
    m_pZoomWnd->SetImageInfo(image.IsEmpty() ? IMAGE_INFO{0, 0, 0}
                                             : IMAGE_INFO{image.GetBitCount(), image.GetWidth(), image.GetHeight()});
}

void CZoomWndFlow::OnMoveZoomPoint(int x, int y)
{
    CMeasureModeDlg* pTool = m_pTool;
    if (pTool == nullptr || !pTool->IsDispZoomWindow()) {
        return;
    }
    // The pixel a click there would take; none without a ratio (no picture shown).
    POINT pt{};
    if (!m_Geometry.MagnifierToImage(x, y, &pt)) {
        return;
    }
    UpdateImageInfo();
    m_pZoomWnd->Draw(pt, FALSE);
}

void CZoomWndFlow::OnNewPicture()
{
    if (m_bDispZoomWnd && m_pZoomWnd->isVisible()) {
        UpdateImageInfo();
        m_pZoomWnd->Redraw();
    }
}

void CZoomWndFlow::OnDispZoomWindow(WPARAM wShow)
{
    m_bDispZoomWnd = wShow != 0 ? TRUE : FALSE;
    SetShown(m_bDispZoomWnd != FALSE);
}

void CZoomWndFlow::SetShown(bool bShow)
{
    if (bShow && m_Owner.windowHandle() != nullptr) {
        // Transient for the main window, as the tool window is. With no
        // transient parent the window system makes it transient for the
        // whole program, and window managers then keep it above the
        // program's own dialogs.
        m_pZoomWnd->winId();
        m_pZoomWnd->windowHandle()->setTransientParent(m_Owner.windowHandle());
    }
    m_pZoomWnd->setVisible(bShow);
}

void CZoomWndFlow::OnCloseZoomWindow()
{
    if (CMeasureModeDlg* pTool = m_pTool) {
        pTool->SetDispZoomWindow(FALSE);
    }
    m_bDispZoomWnd = FALSE;
}

void CZoomWndFlow::PlaceAtStart()
{
    const SYSTEM_SETTING& s = m_Setting;
    m_pZoomWnd->adjustSize();
    if (s.bRegistWindowPos && s.ZoomWndLeft != 0 && s.ZoomWndTop != 0) {
        m_pZoomWnd->move(s.ZoomWndLeft, s.ZoomWndTop);
    } else {
        const QRect owner = m_Owner.frameGeometry();
        const QSize size = m_pZoomWnd->frameGeometry().size();
        m_pZoomWnd->move(owner.center().x() - size.width() / 2, owner.center().y() - size.height() / 2);
    }
    m_bDispZoomWnd = s.bDispZoomWnd ? TRUE : FALSE;
    if (m_bDispZoomWnd) {
        SetShown(true);
    }
}

void CZoomWndFlow::SavePlacement()
{
    SYSTEM_SETTING& s = m_Setting;
    if (!s.bRegistWindowPos) {
        s.ZoomWndLeft = 0;
        s.ZoomWndTop = 0;
    } else if (m_bDispZoomWnd && m_pZoomWnd->isVisible() && !m_pZoomWnd->isMinimized()) {
        s.ZoomWndLeft = m_pZoomWnd->x();
        s.ZoomWndTop = m_pZoomWnd->y();
    }
    s.bDispZoomWnd = m_bDispZoomWnd;
}

bool CZoomWndFlow::eventFilter(QObject* pWatched, QEvent* pEvent)
{
    if (pWatched == &m_Owner) {
        if (pEvent->type() == QEvent::Show && !m_bPlaced && !static_cast<QShowEvent*>(pEvent)->spontaneous()) {
            // Placed once the main window's frame is.
            m_bPlaced = true;
            QMetaObject::invokeMethod(this, [this] { PlaceAtStart(); }, Qt::QueuedConnection);
        } else if (pEvent->type() == QEvent::WindowStateChange && m_bDispZoomWnd) {
            // Minimised and restored with the main window.
            if (m_Owner.isMinimized()) {
                m_pZoomWnd->showMinimized();
            } else if (m_pZoomWnd->isMinimized()) {
                m_pZoomWnd->showNormal();
            }
        }
    }
    return QObject::eventFilter(pWatched, pEvent);
}
