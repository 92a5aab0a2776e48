#include "workflow/PictureBox.h"

#include <QPainter>

#include <cmath>

CPictureBox::CPictureBox(QWidget* pParent, CAccImage* pImage) : QWidget(pParent), m_pImage(pImage)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(320, 240);
}

void CPictureBox::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), QColor(48, 48, 52));
    const double scale = m_pImage->DrawImage(painter, width(), height(), nullptr, 0.0, 0, 0);
    const int w = int(std::trunc(m_pImage->GetWidth() * scale));
    const int h = int(std::trunc(m_pImage->GetHeight() * scale));
    if (scale > 0.0 && (scale != m_dScale || w != m_nShownWidth || h != m_nShownHeight)) {
        m_dScale = scale;
        m_nShownWidth = w;
        m_nShownHeight = h;
        if (m_fnViewChanged) {
            m_fnViewChanged(scale, w, h);
        }
    }
}
