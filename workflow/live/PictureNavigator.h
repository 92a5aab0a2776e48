// Moving around the picture with the mouse: the wheel scrolls the zoomed
// picture (Shift+wheel sideways), Ctrl+wheel steps through the ratio list
// keeping the image pixel under the pointer under it, and a drag with the
// middle button pulls the picture along. It watches the picture box and the
// overlay over it and takes the wheel and the middle button before the
// overlay's point input sees them; it also tells where the pointer is over
// the picture after every move and every change of the view.
#pragma once

#include <QObject>
#include <QPoint>

#include <functional>
#include <optional>

class CDisplayGeometry;
class CPictureViewController;
class IPictureState;
class QWheelEvent;
class QWidget;

struct PICTURE_NAVIGATOR_PARTS {
    CDisplayGeometry& geometry;
    CPictureViewController& view;
    IPictureState& picture;
    QWidget* pBox;
    QWidget* pOverlay; // absent when the window could not make it
    // The pointer's place in the picture box, or nothing once it left the box.
    std::function<void(std::optional<QPoint>)> fnPointer;
};

class CPictureNavigator : public QObject {
public:
    explicit CPictureNavigator(const PICTURE_NAVIGATOR_PARTS& parts);
    ~CPictureNavigator() override;

    // One wheel turn at a point of the picture box (angle in eighths of a degree, as Qt gives it).
    void OnWheel(QPoint boxPos, QPoint angleDelta, Qt::KeyboardModifiers modifiers);
    // A ratio step up or down (Ctrl+wheel) keeping the pixel under boxPos under it; false when at the end of the list.
    bool ZoomAt(QPoint boxPos, bool bIn);
    // Middle-button drag: the pixel under the pointer at the start stays under it.
    void StartPan(QPoint boxPos);
    void PanTo(QPoint boxPos);
    void EndPan();
    bool IsPanning() const { return m_bPanning; }

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    // Scrolls both ways so that the box point shows image pixel (x, y), each
    // way only where its bar is shown; true when the view moved.
    bool KeepPixelAt(int32_t x, int32_t y, QPoint boxPos);
    bool ScrollTo(int32_t nLeft, int32_t nTop);
    bool IsStillShown() const;
    void ReportPointer();

    PICTURE_NAVIGATOR_PARTS m_Parts;
    bool m_bPanning = false;
    int32_t m_nGrabX = 0, m_nGrabY = 0; // the image pixel taken by the middle button
    // Parts of a scroll step the wheel has turned, in image pixels, and of a zoom step.
    double m_dWheelX = 0.0, m_dWheelY = 0.0;
    int m_nZoomAngle = 0;
    std::optional<QPoint> m_LastPointer;
};
