// The overlay over the picture: one transparent child window that takes the
// mouse in its own client coordinates and drives the engine. Its drawing is
// composed by the window beneath in that window's own paint (PaintOver), so a
// new picture costs one blit of the cached shapes and the overlay itself
// paints nothing.
#pragma once

#include "engine/LayeredInput.h"
#include "engine/QtTextMeasurer.h"
#include "engine/RgnDataDrawer.h"
#include "engine/SnapMarker.h"

#include <QWidget>

class QPainter;

// Held with a click or a move, a point goes exactly where the pointer is, past
// any snap. Shift and Ctrl square segments up; many window managers take
// Alt with a click for moving windows.
constexpr Qt::KeyboardModifier kExactPointerModifier = Qt::MetaModifier;

class CLayeredWnd : public QWidget {
public:
    CLayeredWnd(QWidget* pParent, IMessageSink* pOwner);

    CLayeredInput& Input() { return m_Input; }
    CRgnDataCtrl& Engine() { return m_Input.Engine(); }
    // Sets the image size (clearing all shapes when it changes) and the view.
    BOOL Initialise(int32_t nWidth, int32_t nHeight, double dRatio);
    void SetView(double dRatio, POINT ptScroll);
    void Redraw();
    // Draws the overlay over the picture that painter has just drawn; the
    // painter's origin is this window's top-left corner.
    void PaintOver(QPainter& painter);
    // Where the next point of a measurement or of the reference line lands,
    // shown while a snap moves it off the pointer's pixel.
    bool HasSnapMarker() const { return m_bSnapMarker; }
    POINT SnapMarker() const { return m_ptSnapMarker; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void mousePressEvent(QMouseEvent* pEvent) override;
    void mouseMoveEvent(QMouseEvent* pEvent) override;
    void leaveEvent(QEvent* pEvent) override;

private:
    static UINT KeyFlags(const QMouseEvent* pEvent);
    static POINT ClientPoint(const QMouseEvent* pEvent);
    void TakeModifiers(const QMouseEvent* pEvent);
    // Shows, moves or hides the marker for the pointer at ptWnd (null: gone).
    void UpdateSnapMarker(const POINT* pWnd);
    void DrawSnapMarker(QPainter& painter) const;

    CQtTextMeasurer m_Measurer;
    CLayeredInput m_Input;
    CRgnDataDrawer m_Drawer;
    bool m_bSnapMarker = false;
    POINT m_ptSnapMarker{0, 0};
};
