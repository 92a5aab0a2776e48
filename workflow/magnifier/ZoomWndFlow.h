// The main window's side of the magnifier: creating it, feeding it the
// pointer as the mouse moves over the picture and each new picture, showing
// and hiding it from the tool window and its close box, its placement at
// start and exit, and minimising and restoring it with the main window.
#pragma once

#include "platform/MessageSink.h"
#include "platform/WinTypes.h"

#include <QObject>

#include <memory>

class CPixmetraDlg;
class CZoomWndDlg;

class CZoomWndFlow : public QObject {
public:
    // pMainSink: where the magnifier posts its close notice.
    CZoomWndFlow(CPixmetraDlg& dlg, IMessageSink* pMainSink);
    ~CZoomWndFlow() override;

    CZoomWndDlg* ZoomWnd() const { return m_pZoomWnd.get(); }
    BOOL IsShown() const { return m_bDispZoomWnd; }

    bool OnMessage(UINT nMessage, WPARAM wParam, LPARAM lParam);
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
    void UpdateImageInfo();

    CPixmetraDlg& m_Dlg;
    std::unique_ptr<CZoomWndDlg> m_pZoomWnd;
    BOOL m_bDispZoomWnd = FALSE;
    bool m_bPlaced = false;
};
