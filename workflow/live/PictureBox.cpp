#include "workflow/live/PictureBox.h"

#include "engine/LayeredWnd.h"

#include <QPainter>

CPictureBox::CPictureBox(QWidget* pParent, CAccImage* pImage, const CDisplayGeometry* pGeometry)
    : QWidget(pParent), m_pImage(pImage), m_pGeometry(pGeometry)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setObjectName(QStringLiteral("pictureBox"));
}

void CPictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const DISP_VIEW_STATE& v = m_pGeometry->CurrentView();
    const POINT scroll = m_pGeometry->GetScrollPos();
    const double scale = m_pImage->IsEmpty() ? 0.0
                                             : m_Renderer.Draw(painter, *m_pImage, width(), height(), v.CurDrawRatio,
                                                               scroll.x, scroll.y);
    if (scale <= 0.0) {
        painter.fillRect(rect(), QColor(32, 32, 36));
    }
    if (m_pOverlay != nullptr && m_pOverlay->isVisible()) {
        painter.translate(m_pOverlay->pos());
        m_pOverlay->PaintOver(painter);
    }
}
