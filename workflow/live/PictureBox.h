// The picture box (control 1007): draws the picture at the current view's
// ratio from the scroll position, straight from the picture buffer, and the
// overlay's drawing over it in the same paint. It is sized to the shown
// picture, so nothing is filled under it.
#pragma once

#include "image/AccImage.h"
#include "workflow/live/DisplayGeometry.h"
#include "workflow/live/PictureRenderer.h"

#include <QPointer>
#include <QWidget>

class CLayeredWnd;

class CPictureBox : public QWidget {
public:
    CPictureBox(QWidget* pParent, CAccImage* pImage, const CDisplayGeometry* pGeometry);
    // The overlay whose drawing is composed over the picture.
    void SetOverlay(CLayeredWnd* pOverlay) { m_pOverlay = pOverlay; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;

private:
    CAccImage* m_pImage;
    const CDisplayGeometry* m_pGeometry;
    CPictureRenderer m_Renderer;
    QPointer<CLayeredWnd> m_pOverlay;
};
