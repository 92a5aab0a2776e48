// The main window's side of the magnifier: creating it, feeding it the
// pointer as the mouse moves over the picture and each new picture, showing
// and hiding it from the tool window and its close box, its placement at
// start and exit, and minimising and restoring it with the main window.
#pragma once

#include "platform/MessageSink.h"
#include "platform/WinTypes.h"
#include "workflow/WindowParts.h"

#include <QObject>

#include <memory>

class CAccImage;
class CZoomWndDlg;

// What the magnifier works on: the main window it follows (placed, minimised
// and restored with it), the picture and its view, and the tool window's
// check box, which may be absent.
struct ZOOM_FLOW_PARTS {
    QWidget& owner;
    IMessageSink* pMainSink; // where the magnifier posts its close notice
    CAccImage& image;
    CDisplayGeometry& geometry;
    SYSTEM_SETTING& setting;
    CMeasureModeDlg* pTool;
};

class CZoomWndFlow : public QObject {
public:
    explicit CZoomWndFlow(const ZOOM_FLOW_PARTS& parts);
    ~CZoomWndFlow() override;

    CZoomWndDlg* ZoomWnd() const { return m_pZoomWnd.get(); }
    BOOL IsShown() const { return m_bDispZoomWnd; }

    // x, y in picture-box pixels.
    void OnMoveZoomPoint(int x, int y);
    void OnDispZoomWindow(WPARAM wShow);
    void OnCloseZoomWindow();
    // A new picture was put on screen: the magnifier follows it.
    void OnNewPicture();
    // Into the settings copy before it is written at exit.
    void SavePlacement();

protected:
    bool eventFilter(QObject* pWatched, QEvent* pEvent) override;

private:
    void PlaceAtStart();
    void SetShown(bool bShow);
    void UpdateImageInfo();

    QWidget& m_Owner;
    CAccImage& m_Image;
    CDisplayGeometry& m_Geometry;
    SYSTEM_SETTING& m_Setting;
    CMeasureModeDlg* m_pTool;
    std::unique_ptr<CZoomWndDlg> m_pZoomWnd;
    BOOL m_bDispZoomWnd = FALSE;
    bool m_bPlaced = false;
};
